#include "project/project_check.h"
#include "algorithm/step_program.h"
#include "scada/element_pictures.h"
#include "scada/element_ref.h"
#include "scada/kind_records.h"
#include "scada/output_list.h"
#include "scada/page_painter.h"
#include "scada/page_size.h"
#include "wire/page_encoder.h"
#include "wire/scheme_encoder.h"
#include "wire/transfer_state.h"
#include "workspace/workspace.h"

#include <QImageReader>
#include <QJsonArray>
#include <memory>
#include <type_traits>

namespace ostrel {

QString severityName(Severity s)
{
    return s == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QJsonObject Problem::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("severity"), severityName(severity));
    o.insert(QStringLiteral("code"), code);
    o.insert(QStringLiteral("place"), place.toJson());
    o.insert(QStringLiteral("message"), message);
    return o;
}

QString Problem::line(const QString& lead) const
{
    const QString where = place.text();
    QString s = (lead.isEmpty() ? severityName(severity) : lead) + QStringLiteral(": ") + code + QStringLiteral(": ");
    if (!where.isEmpty())
        s += where + QStringLiteral(": ");
    return s + message;
}

bool hasErrors(const QList<Problem>& problems)
{
    for (const Problem& p : problems)
        if (p.isError())
            return true;
    return false;
}

QJsonObject problemsJson(const QList<Problem>& problems)
{
    QJsonArray list;
    for (const Problem& p : problems)
        list.append(p.toJson());
    QJsonObject o;
    o.insert(QStringLiteral("problems"), list);
    return o;
}

namespace {

const QRect kPage(0, 0, kPageWidth, kPageHeight);

// The element's name in a message: "Параметр 3".
QString elementName(ObjectKind kind, int number)
{
    return kindInfo(kind).tooltip_word.toString() + QLatin1Char(' ') + QString::number(number);
}

class Checker {
public:
    Checker(const Workspace& ws, const CheckContext& context, QList<Problem>& out)
        : ws_(ws), context_(context), out_(out)
    {
    }

    void scheme();
    void page(int p, bool encode);
    void netlist();

private:
    void add(Severity s, const char* code, const Place& place, const QString& message)
    {
        out_.append({s, QString::fromLatin1(code), place, message});
    }
    bool blockExists(int n) const
    {
        return n >= 1 && n <= BlockTable::kLastBlock && ws_.blocks.block_type[size_t(n)] != 0;
    }
    void algorithmSteps(int n);
    template <class E> void binding(const E& e, const Place& at);
    void goTarget(const GoBlockElement& g, const Place& at);
    void encoding(int p);

    const Workspace& ws_;
    const CheckContext& context_;
    QList<Problem>& out_;
    // What the page encodings need, made at the first page.
    std::unique_ptr<ElementPictures> pictures_;
    std::unique_ptr<PagePainter> painter_;
    std::unique_ptr<TransferState> transfer_;
};

void Checker::scheme()
{
    const BlockTable& bt = ws_.blocks;
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int type = bt.block_type[size_t(n)];
        if (type == 0)
            continue;
        const int count = ws_.catalog.paramCount(type);
        for (int k = 0; k < count; ++k) {
            const int at = bt.param_base[size_t(n)] + k;
            if (at < 0 || at >= BlockTable::kParams)
                break;
            uint8_t bytes[4];
            if (!encodeParameter(bt.ParamStore[size_t(at)], bytes))
                add(Severity::Error, "parameter", Place::ofBlock(n),
                    QStringLiteral("Параметр p%1 = %2 не помещается в четыре байта (значение x 1000)")
                        .arg(k).arg(double(bt.ParamStore[size_t(at)])));
        }
        if (type == alg::kBlockType && alg::isAlgorithmBlock(bt, n))
            algorithmSteps(n);
    }
}

// A step's fields as the download sends them: every field one byte, a call
// only of an action below 128, the next steps 1..128, "выход" or "возврат".
void Checker::algorithmSteps(int n)
{
    const BlockTable& bt = ws_.blocks;
    for (int s = 0; s < alg::kSteps; ++s) {
        const Place at = Place::ofStep(n, s + 1);
        for (int f = 0; f < alg::kFields; ++f) {
            const int v = alg::stepField(bt, n, s, f);
            if (v < 0 || v > 255) {
                add(Severity::Error, "expression", at,
                    QStringLiteral("Шаг %1: поле %2 = %3 не помещается в байт").arg(s + 1).arg(f).arg(v));
                return;
            }
        }
        for (const alg::Branch b : {alg::Branch::Then, alg::Branch::Else}) {
            const bool then = b == alg::Branch::Then;
            const int kind = alg::stepField(bt, n, s, then ? alg::then_kind : alg::else_kind);
            if (alg::isCall(ws_.alg, s, b) && kind >= alg::kCallAdjustment)
                add(Severity::Error, "expression", at,
                    QStringLiteral("Шаг %1: действие %2 с кодом больше 127 не может быть вызовом шага")
                        .arg(s + 1).arg(kind));
            const int next = alg::stepField(bt, n, s, then ? alg::then_next : alg::else_next);
            if (next > alg::kNextRet)
                add(Severity::Error, "expression", at,
                    QStringLiteral("Шаг %1: переход %2 ведёт на несуществующий шаг")
                        .arg(s + 1).arg(then ? QStringLiteral("ТО") : QStringLiteral("ИНАЧЕ")));
        }
    }
}

template <class E> void Checker::binding(const E& e, const Place& at)
{
    // The element's name is made only for a problem.
    const auto name = [&at] { return elementName(at.kind, at.number); };
    if (e.block == 0) {
        add(Severity::Warning, "unbound", at, name() + QStringLiteral(" не привязан к блоку (номер блока 0)"));
        return;
    }
    if (!blockExists(e.block)) {
        add(Severity::Error, "missing-block", at, name() + QStringLiteral(": блока %1 нет в схеме").arg(e.block));
        return;
    }
    if constexpr (requires { e.output; }) {
        const int type = ws_.blocks.block_type[e.block];
        int index = e.output;
        bool setpoint = false;
        if constexpr (std::is_same_v<E, ParametrElement>) {
            setpoint = paramOutputIsSetpoint(e.output);
            index = paramOutputIndex(e.output);
        }
        const qsizetype entries = setpoint ? setpointEntries(ws_.catalog, type).size()
                                           : outputEntries(ws_.catalog, type).size();
        if (index >= entries)
            add(Severity::Error, "missing-output", at,
                (setpoint ? QStringLiteral("%1: номер задатчика %2, а у блока %3 (%4) их %5")
                          : QStringLiteral("%1: номер выхода %2, а у блока %3 (%4) их %5"))
                    .arg(name()).arg(index + 1).arg(e.block).arg(ws_.catalog.info(type).code).arg(entries));
    }
}

void Checker::goTarget(const GoBlockElement& g, const Place& at)
{
    const auto name = [&at] { return elementName(at.kind, at.number); };
    const int target = g.target;
    if (target == 0) {
        add(Severity::Warning, "unbound", at, name() + QStringLiteral(" без цели перехода"));
        return;
    }
    const bool process = target > 100 && target < 200;
    if (target >= 200)
        return; // pages, graph groups, the text-signal list
    const int block = process ? target - 100 : target;
    if (!blockExists(block)) {
        add(Severity::Error, "missing-block", at, name() + QStringLiteral(": блока %1 нет в схеме").arg(block));
        return;
    }
    if (process) {
        const int type = ws_.blocks.block_type[size_t(block)];
        const qsizetype entries = setpointEntries(ws_.catalog, type).size();
        const int index = goOptionIndex(g.option);
        if (index >= entries)
            add(Severity::Error, "missing-output", at,
                QStringLiteral("%1: номер задатчика %2, а у блока %3 (%4) их %5")
                    .arg(name()).arg(index + 1).arg(block).arg(ws_.catalog.info(type).code).arg(entries));
    }
}

void Checker::page(int p, bool encode)
{
    const ScadaPages& pages = ws_.pages;
    const bool mechanisms = hasMechanismTables(ws_.version_code);
    forEachKind([&](auto k) {
        using K = decltype(k);
        using R = typename K::Record;
        constexpr ObjectKind kind = K::kind;
        if (kind == ObjectKind::Vent && !mechanisms)
            return; // not sent to this version
        const int last = K::info().numbered() ? K::info().max_number : 1;
        for (int n = 1; n <= last; ++n) {
            const R& e = K::record(pages, size_t(p), size_t(n));
            if (!e.used)
                continue;
            const Place at = Place::ofElement(p + 1, kind, n);
            const auto name = [&] { return elementName(kind, n); };
            if constexpr (std::is_same_v<R, GoBlockElement>)
                goTarget(e, at);
            else if constexpr (requires { e.block; })
                binding(e, at);
            if constexpr (std::is_same_v<R, TextSignalElement>) {
                for (const QString* text : {&e.text_off, &e.text_on})
                    if (text->size() > kTextSignalChars)
                        add(Severity::Warning, "text-cut", at,
                            QStringLiteral("%1: текст «%2» длиннее %3 символов, в контроллер уйдёт «%4»")
                                .arg(name(), *text).arg(kTextSignalChars).arg(textSignalShown(*text)));
            }
            if constexpr (std::is_same_v<R, ControlElement>) {
                if (e.type != 0 && !e.picture_file.isEmpty()) {
                    bool found = false;
                    for (const QString& path :
                         PagePainter::controlPictureCandidates(e.picture_file, context_.projectFolder))
                        if (QImageReader(path).canRead()) {
                            found = true;
                            break;
                        }
                    if (!found)
                        add(Severity::Error, "picture-missing", at,
                            QStringLiteral("%1: рисунок кнопки не загружается: %2").arg(name(), e.picture_file));
                }
            }
            const ElementRef ref{kind, p, n};
            const QRect painted = elementGeometry(pages, ref, recordObjectPos(pages, ref)).painted;
            if (!kPage.contains(painted))
                add(Severity::Error, "off-page", at,
                    QStringLiteral("%1 выходит за страницу 800 x 480: (%2, %3) - (%4, %5)")
                        .arg(name())
                        .arg(painted.left())
                        .arg(painted.top())
                        .arg(painted.left() + painted.width())
                        .arg(painted.top() + painted.height()));
        }
    });
    if (encode)
        encoding(p);
}

void Checker::encoding(int p)
{
    PagePainter* painter = context_.painter;
    if (!painter) {
        if (!painter_) {
            pictures_ = std::make_unique<ElementPictures>();
            painter_ = std::make_unique<PagePainter>(*pictures_);
        }
        painter = painter_.get();
    }
    if (!transfer_)
        transfer_ = std::make_unique<TransferState>();
    const PagePrepareResult r =
        preparePage(*painter, ws_.pages, p, ws_.version_code, context_.projectFolder, *transfer_);
    const Place at = Place::ofPage(p + 1);
    if (!r.ok) {
        add(Severity::Error, "page-encoding", at, r.error.text);
        return;
    }
    if (ws_.pages.background_kind[size_t(p)] == 1 && !r.background_picture) {
        QString name = ws_.pages.shortRef(p);
        if (name.startsWith(QLatin1Char('\\')))
            name.remove(0, 1);
        add(Severity::Error, "picture-missing", at,
            QStringLiteral("Рисунок фона страницы %1 не загружается: %2; страница уйдёт с цветом заливки")
                .arg(p + 1)
                .arg(name.isEmpty() ? ws_.pages.fullPath(p) : name));
        return;
    }
    for (const QString& warning : r.warnings)
        add(Severity::Warning, "picture-incomplete", at, warning);
}

void Checker::netlist()
{
    if (context_.netlistMissing)
        add(Severity::Warning, "netlist-missing", Place::project(),
            QStringLiteral("Netlist проекта не найден рядом с ним: %1").arg(ws_.settings.netlist_path));
}

} // namespace

QList<Problem> checkProject(const Workspace& ws, const CheckContext& context, const CheckScope& scope)
{
    QList<Problem> out;
    Checker c(ws, context, out);
    if (scope.project)
        c.netlist();
    if (scope.scheme)
        c.scheme();
    for (int p = 0; p < ScadaPages::kShownPages; ++p)
        if (scope.hasPage(p))
            c.page(p, scope.encodings);
    return out;
}

} // namespace ostrel
