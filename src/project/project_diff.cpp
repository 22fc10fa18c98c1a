#include "project/project_diff.h"
#include "algorithm/step_program.h"
#include "project/record_field_names.h"
#include "scada/element_ref.h"
#include "scada/kind_records.h"
#include "scheme/parameter_rows.h"
#include "workspace/workspace.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace ostrel {

QString changeKindName(Change::Kind k)
{
    switch (k) {
    case Change::Kind::Added: return QStringLiteral("added");
    case Change::Kind::Removed: return QStringLiteral("removed");
    case Change::Kind::Moved: return QStringLiteral("moved");
    case Change::Kind::Changed: break;
    }
    return QStringLiteral("changed");
}

QJsonObject Change::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("change"), changeKindName(kind));
    o.insert(QStringLiteral("place"), place.toJson());
    if (kind == Kind::Changed)
        o.insert(QStringLiteral("field"), field);
    o.insert(QStringLiteral("old"), old_value);
    o.insert(QStringLiteral("new"), new_value);
    return o;
}

namespace {

QString valueText(const QJsonValue& v)
{
    if (v.isObject() && v.toObject().contains(QStringLiteral("x")))
        return QStringLiteral("(%1, %2)").arg(v[QStringLiteral("x")].toInt()).arg(v[QStringLiteral("y")].toInt());
    if (v.isString())
        return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 9);
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("-");
    return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
}

} // namespace

QString Change::line() const
{
    QString s = changeKindName(kind) + QStringLiteral(": ");
    const QString where = place.text();
    s += where.isEmpty() ? QStringLiteral("project") : where;
    if (kind == Kind::Changed)
        s += QStringLiteral(": ") + field;
    if (kind == Kind::Changed || kind == Kind::Moved)
        s += QStringLiteral(": ") + valueText(old_value) + QStringLiteral(" -> ") + valueText(new_value);
    else if (!new_value.isNull() || !old_value.isNull())
        s += QStringLiteral(": ") + valueText(kind == Kind::Added ? new_value : old_value);
    return s;
}

QJsonObject changesJson(const QList<Change>& changes)
{
    QJsonArray list;
    for (const Change& c : changes)
        list.append(c.toJson());
    QJsonObject o;
    o.insert(QStringLiteral("changes"), list);
    return o;
}

QString parameterCaption(const BlockCatalog& catalog, int type, int k, bool text)
{
    QString found;
    int rows = 0;
    for (int r = 0; r < BlockCatalog::kRows; ++r) {
        const EditorRow& row = catalog.row(type, r);
        if (row.kind == RowKind::Hidden)
            continue;
        const RowBinding b = rowBinding(row, RowContext{});
        if (b.index == k && b.kind == (text ? SlotKind::Text : SlotKind::Param)) {
            found = row.caption.trimmed();
            ++rows;
        }
    }
    const QString index = (text ? QStringLiteral("t") : QStringLiteral("p")) + QString::number(k);
    if (rows == 1 && !found.isEmpty())
        return found + QStringLiteral(" (") + index + QLatin1Char(')');
    return index;
}

namespace {

void add(QList<Change>& out, Change::Kind kind, const Place& place, const QString& field = {},
         const QJsonValue& old_value = {}, const QJsonValue& new_value = {})
{
    out.append({kind, place, field, old_value, new_value});
}

const char* const kStepFieldNames[] = {"then_kind", "else_kind", "then_operand", "else_operand",
                                       "cond_a", "cond_b", "ops"};

QString stepFieldName(int f)
{
    using namespace alg;
    if (f >= then_kind && f <= ops)
        return QString::fromLatin1(kStepFieldNames[f - then_kind]);
    if (f == then_next)
        return QStringLiteral("then_next");
    if (f == else_next)
        return QStringLiteral("else_next");
    if (f < else_flags)
        return QStringLiteral("then_flags %1").arg(f - then_flags + 1);
    if (f < then_kind)
        return QStringLiteral("else_flags %1").arg(f - else_flags + 1);
    if (f < else_outputs)
        return QStringLiteral("then_outputs %1").arg(f - then_outputs + 1);
    return QStringLiteral("else_outputs %1").arg(f - else_outputs + 1);
}

void diffSteps(QList<Change>& out, const Workspace& a, const Workspace& b, int n)
{
    for (int s = 0; s < alg::kSteps; ++s) {
        const Place at = Place::ofStep(n, s + 1);
        for (int f = 0; f < alg::kFields; ++f) {
            const int va = alg::stepField(a.blocks, n, s, f), vb = alg::stepField(b.blocks, n, s, f);
            if (va != vb)
                add(out, Change::Kind::Changed, at, stepFieldName(f), va, vb);
        }
        for (int br = 0; br < 2; ++br)
            if (a.alg.call_flags[size_t(s)][size_t(br)] != b.alg.call_flags[size_t(s)][size_t(br)])
                add(out, Change::Kind::Changed, at, br == 0 ? QStringLiteral("then_call") : QStringLiteral("else_call"),
                    int(a.alg.call_flags[size_t(s)][size_t(br)]), int(b.alg.call_flags[size_t(s)][size_t(br)]));
    }
}

template <size_t N> QJsonArray bytesArray(const std::array<uint8_t, N>& v)
{
    QJsonArray out;
    for (uint8_t x : v)
        out.append(int(x));
    return out;
}

} // namespace

QList<Change> diffSchemes(const Workspace& a, const Workspace& b)
{
    QList<Change> out;
    const BlockTable& ta = a.blocks;
    const BlockTable& tb = b.blocks;
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int typeA = ta.block_type[size_t(n)], typeB = tb.block_type[size_t(n)];
        const Place at = Place::ofBlock(n);
        if (typeA == 0 && typeB == 0)
            continue;
        if (typeA == 0) {
            add(out, Change::Kind::Added, at, {}, {}, b.catalog.typeCode(typeB));
            continue;
        }
        if (typeB == 0) {
            add(out, Change::Kind::Removed, at, {}, a.catalog.typeCode(typeA), {});
            continue;
        }
        if (typeA != typeB) {
            add(out, Change::Kind::Changed, at, QStringLiteral("type"), a.catalog.typeCode(typeA),
                b.catalog.typeCode(typeB));
            continue;
        }
        const int pc = std::min(a.catalog.paramCount(typeA), b.catalog.paramCount(typeA));
        for (int k = 0; k < pc; ++k) {
            const float va = ta.ParamStore[size_t(ta.param_base[size_t(n)] + k)];
            const float vb = tb.ParamStore[size_t(tb.param_base[size_t(n)] + k)];
            if (va != vb && !(va != va && vb != vb))
                add(out, Change::Kind::Changed, at, parameterCaption(b.catalog, typeA, k, false), double(va), double(vb));
        }
        const bool algorithm = typeA == alg::kBlockType && alg::isAlgorithmBlock(ta, n) && alg::isAlgorithmBlock(tb, n);
        // An algorithm block's texts are its steps, compared field by field.
        const int tc = algorithm ? 0 : std::min(a.catalog.textCount(typeA), b.catalog.textCount(typeA));
        for (int k = 0; k < tc; ++k) {
            const QString& va = ta.TextStore[size_t(ta.text_base[size_t(n)] + k)];
            const QString& vb = tb.TextStore[size_t(tb.text_base[size_t(n)] + k)];
            if (va != vb)
                add(out, Change::Kind::Changed, at, parameterCaption(b.catalog, typeA, k, true), va, vb);
        }
        if (ta.InputLink[size_t(n)] != tb.InputLink[size_t(n)])
            add(out, Change::Kind::Changed, at, QStringLiteral("inputs"), bytesArray(ta.InputLink[size_t(n)]),
                bytesArray(tb.InputLink[size_t(n)]));
        if (ta.invert_mask[size_t(n)] != tb.invert_mask[size_t(n)])
            add(out, Change::Kind::Changed, at, QStringLiteral("invert_mask"), int(ta.invert_mask[size_t(n)]),
                int(tb.invert_mask[size_t(n)]));
        if (algorithm)
            diffSteps(out, a, b, n);
    }
    const auto table = [&](const char* name, const auto& va, const auto& vb) {
        if (va != vb)
            add(out, Change::Kind::Changed, Place::project(), QString::fromLatin1(name), bytesArray(va), bytesArray(vb));
    };
    table("graph_input_link", ta.graph_input_link, tb.graph_input_link);
    table("journal_input_link", ta.journal_input_link, tb.journal_input_link);
    for (size_t r = 0; r < ta.special_link.size(); ++r)
        table("special_link", ta.special_link[r], tb.special_link[r]);
    table("journal_invert", ta.journal_invert, tb.journal_invert);
    table("report_invert", ta.report_invert, tb.report_invert);
    return out;
}

namespace {

template <class R> QJsonObject positionJson(const R& e)
{
    const QPoint pos = objectPos(e);
    return QJsonObject{{QStringLiteral("x"), pos.x()}, {QStringLiteral("y"), pos.y()}};
}

} // namespace

QList<Change> diffPage(const ScadaPages& a, const ScadaPages& b, int p)
{
    QList<Change> out;
    const size_t pi = size_t(p);
    const Place page = Place::ofPage(p + 1);
    if (a.background_kind[pi] != b.background_kind[pi])
        add(out, Change::Kind::Changed, page, QStringLiteral("background_kind"), int(a.background_kind[pi]),
            int(b.background_kind[pi]));
    if (a.fill_color[pi] != b.fill_color[pi])
        add(out, Change::Kind::Changed, page, QStringLiteral("fill_color"), a.fill_color[pi], b.fill_color[pi]);
    if (a.shortRef(p) != b.shortRef(p))
        add(out, Change::Kind::Changed, page, QStringLiteral("background"), a.shortRef(p), b.shortRef(p));
    forEachKind([&](auto k) {
        using K = decltype(k);
        using R = typename K::Record;
        const int last = K::info().numbered() ? K::info().max_number : 1;
        for (int n = 1; n <= last; ++n) {
            const R& ea = K::record(a, pi, size_t(n));
            const R& eb = K::record(b, pi, size_t(n));
            if (!ea.used && !eb.used)
                continue;
            const Place at = Place::ofElement(p + 1, K::kind, n);
            if (!ea.used) {
                add(out, Change::Kind::Added, at, {}, {}, positionJson(eb));
                continue;
            }
            if (!eb.used) {
                add(out, Change::Kind::Removed, at, {}, positionJson(ea), {});
                continue;
            }
            const QPoint pa = objectPos(ea), pb = objectPos(eb);
            if (pa != pb)
                add(out, Change::Kind::Moved, at, {}, positionJson(ea), positionJson(eb));
            const auto va = fieldValues(ea);
            const auto vb = fieldValues(eb);
            for (size_t f = 0; f < va.size(); ++f) {
                if (va[f] == vb[f])
                    continue;
                const QLatin1StringView name(FieldNames<R>::names[f]);
                // x and y belong to the move, unless the position stayed (a
                // signal's list number lives in y too).
                if ((name == QLatin1StringView("x") || name == QLatin1StringView("y")) && pa != pb)
                    continue;
                add(out, Change::Kind::Changed, at, QString(name), va[f].toJson(), vb[f].toJson());
            }
        }
    });
    return out;
}

QList<Change> diffSettings(const Workspace& a, const Workspace& b)
{
    QList<Change> out;
    const Place at = Place::project();
    const auto field = [&](const char* name, const QJsonValue& va, const QJsonValue& vb) {
        if (va != vb)
            add(out, Change::Kind::Changed, at, QString::fromLatin1(name), va, vb);
    };
    field("project_name", a.settings.project_name, b.settings.project_name);
    // The netlist by its file name: a project folder moves as a whole.
    field("netlist", QFileInfo(a.settings.netlist_path).fileName(), QFileInfo(b.settings.netlist_path).fileName());
    field("link_port", a.settings.link_port, b.settings.link_port);
    field("controller_number", a.settings.controller_number, b.settings.controller_number);
    field("ip_address", a.settings.ip_address, b.settings.ip_address);
    field("tcp_port", a.settings.tcp_port, b.settings.tcp_port);
    field("version_code", int(a.version_code), int(b.version_code));
    return out;
}

QList<Change> diffProjects(const Workspace& a, const Workspace& b)
{
    QList<Change> out = diffSettings(a, b);
    out += diffSchemes(a, b);
    for (int p = 0; p < ScadaPages::kShownPages; ++p)
        out += diffPage(a.pages, b.pages, p);
    return out;
}

} // namespace ostrel
