#include "project/project_snapshot.h"
#include "project/record_field_names.h"
#include "scada/kind_records.h"
#include "workspace/workspace.h"

#include <QJsonArray>

namespace ostrel {

namespace {

template <size_t N> QJsonArray bytesJson(const std::array<uint8_t, N>& a)
{
    QJsonArray out;
    for (uint8_t v : a)
        out.append(int(v));
    return out;
}

template <size_t N> void bytesFromJson(std::array<uint8_t, N>& a, const QJsonValue& v)
{
    const QJsonArray in = v.toArray();
    a.fill(0);
    for (qsizetype i = 0; i < in.size() && i < qsizetype(N); ++i)
        a[size_t(i)] = uint8_t(std::clamp(in[i].toInt(), 0, 255));
}

QString key(int n) { return QString::number(n); }

} // namespace

QJsonObject schemeSnapshot(const Workspace& ws)
{
    const BlockTable& bt = ws.blocks;
    QJsonObject blocks;
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int type = bt.block_type[size_t(n)];
        if (type == 0)
            continue;
        QJsonObject b;
        b.insert(QStringLiteral("type"), type);
        QJsonArray params, texts;
        const int pc = ws.catalog.paramCount(type), tc = ws.catalog.textCount(type);
        for (int k = 0; k < pc && bt.param_base[size_t(n)] + k < BlockTable::kParams; ++k)
            params.append(double(bt.ParamStore[size_t(bt.param_base[size_t(n)] + k)]));
        for (int k = 0; k < tc && bt.text_base[size_t(n)] + k < BlockTable::kTexts; ++k)
            texts.append(bt.TextStore[size_t(bt.text_base[size_t(n)] + k)]);
        b.insert(QStringLiteral("params"), params);
        b.insert(QStringLiteral("texts"), texts);
        b.insert(QStringLiteral("inputs"), bytesJson(bt.InputLink[size_t(n)]));
        b.insert(QStringLiteral("invert"), int(bt.invert_mask[size_t(n)]));
        blocks.insert(key(n), b);
    }
    QJsonObject o;
    o.insert(QStringLiteral("version"), int(ws.version_code));
    o.insert(QStringLiteral("blocks"), blocks);
    o.insert(QStringLiteral("graph_input_link"), bytesJson(bt.graph_input_link));
    o.insert(QStringLiteral("journal_input_link"), bytesJson(bt.journal_input_link));
    QJsonArray special;
    for (const auto& row : bt.special_link)
        special.append(bytesJson(row));
    o.insert(QStringLiteral("special_link"), special);
    o.insert(QStringLiteral("journal_invert"), bytesJson(bt.journal_invert));
    o.insert(QStringLiteral("report_invert"), bytesJson(bt.report_invert));
    QJsonArray calls;
    for (const auto& f : ws.alg.call_flags)
        calls.append(QJsonArray{int(f[0]), int(f[1])});
    o.insert(QStringLiteral("call_flags"), calls);
    return o;
}

bool schemeFromSnapshot(const QJsonObject& o, Workspace& ws)
{
    if (!o.value(QStringLiteral("blocks")).isObject())
        return false;
    const int version = o.value(QStringLiteral("version")).toInt(kDefaultVersion);
    ws.selectVersion(uint8_t(isOfferedVersion(version) ? version : kDefaultVersion));
    BlockTable& bt = ws.blocks;
    bt.block_type.fill(0);
    bt.clearWiring();
    const QJsonObject blocks = o.value(QStringLiteral("blocks")).toObject();
    for (auto it = blocks.begin(); it != blocks.end(); ++it) {
        const int n = it.key().toInt();
        const int type = it.value().toObject().value(QStringLiteral("type")).toInt();
        if (n >= 1 && n <= BlockTable::kLastBlock && type >= 1 && type <= BlockCatalog::kTypes)
            bt.block_type[size_t(n)] = int16_t(type);
    }
    allocateBlocks(bt, ws.catalog);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int type = bt.block_type[size_t(n)];
        if (type == 0)
            continue;
        const QJsonObject b = blocks.value(key(n)).toObject();
        const QJsonArray params = b.value(QStringLiteral("params")).toArray();
        const QJsonArray texts = b.value(QStringLiteral("texts")).toArray();
        for (int k = 0; k < ws.catalog.paramCount(type); ++k)
            bt.ParamStore[size_t(bt.param_base[size_t(n)] + k)] = k < params.size() ? float(params[k].toDouble()) : 0.0f;
        for (int k = 0; k < ws.catalog.textCount(type); ++k)
            bt.TextStore[size_t(bt.text_base[size_t(n)] + k)] = k < texts.size() ? texts[k].toString() : QString();
        bytesFromJson(bt.InputLink[size_t(n)], b.value(QStringLiteral("inputs")));
        bt.invert_mask[size_t(n)] = uint8_t(std::clamp(b.value(QStringLiteral("invert")).toInt(), 0, 255));
    }
    bytesFromJson(bt.graph_input_link, o.value(QStringLiteral("graph_input_link")));
    bytesFromJson(bt.journal_input_link, o.value(QStringLiteral("journal_input_link")));
    const QJsonArray special = o.value(QStringLiteral("special_link")).toArray();
    for (size_t r = 0; r < bt.special_link.size(); ++r)
        bytesFromJson(bt.special_link[r], r < size_t(special.size()) ? special[qsizetype(r)] : QJsonValue());
    bytesFromJson(bt.journal_invert, o.value(QStringLiteral("journal_invert")));
    bytesFromJson(bt.report_invert, o.value(QStringLiteral("report_invert")));
    const QJsonArray calls = o.value(QStringLiteral("call_flags")).toArray();
    for (size_t s = 0; s < ws.alg.call_flags.size(); ++s) {
        const QJsonArray f = s < size_t(calls.size()) ? calls[qsizetype(s)].toArray() : QJsonArray();
        ws.alg.call_flags[s] = {uint8_t(f.size() > 0 ? f[0].toInt() : 0), uint8_t(f.size() > 1 ? f[1].toInt() : 0), 0};
    }
    return true;
}

QJsonObject pageSnapshot(const ScadaPages& pages, int p)
{
    QJsonObject o;
    o.insert(QStringLiteral("background_kind"), int(pages.background_kind[size_t(p)]));
    o.insert(QStringLiteral("fill_color"), pages.fill_color[size_t(p)]);
    o.insert(QStringLiteral("background"), pages.shortRef(p));
    QJsonObject elements;
    forEachKind([&](auto k) {
        using K = decltype(k);
        QJsonObject table;
        const int last = K::info().numbered() ? K::info().max_number : 1;
        for (int n = 1; n <= last; ++n) {
            const auto& e = K::record(pages, size_t(p), size_t(n));
            if (e.used)
                table.insert(key(n), recordJson(e));
        }
        if (!table.isEmpty())
            elements.insert(K::info().table_name.toString(), table);
    });
    o.insert(QStringLiteral("elements"), elements);
    return o;
}

bool pageFromSnapshot(const QJsonObject& o, ScadaPages& pages, int p)
{
    if (p < 0 || p >= ScadaPages::kShownPages || !o.value(QStringLiteral("elements")).isObject())
        return false;
    pages.background_kind[size_t(p)] = uint8_t(std::clamp(o.value(QStringLiteral("background_kind")).toInt(), 0, 255));
    pages.fill_color[size_t(p)] = int32_t(o.value(QStringLiteral("fill_color")).toDouble());
    pages.shortRef(p) = o.value(QStringLiteral("background")).toString();
    const QJsonObject elements = o.value(QStringLiteral("elements")).toObject();
    forEachKind([&](auto k) {
        using K = decltype(k);
        using R = typename K::Record;
        const QJsonObject table = elements.value(K::info().table_name.toString()).toObject();
        const int last = K::info().numbered() ? K::info().max_number : 1;
        for (int n = 1; n <= last; ++n) {
            R& e = K::record(pages, size_t(p), size_t(n));
            e = R{};
            const QJsonValue v = table.value(key(n));
            if (v.isObject())
                recordFromJson(e, v.toObject());
        }
    });
    return true;
}

} // namespace ostrel
