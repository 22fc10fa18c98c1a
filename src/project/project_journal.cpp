#include "project/project_journal.h"
#include "link/sequences.h"
#include "project/project_snapshot.h"
#include "scada/page_painter.h"
#include "wire/page_encoder.h"
#include "wire/scheme_encoder.h"
#include "wire/transfer_state.h"
#include "workspace/workspace.h"

#include <memory>

namespace ostrel {

QString journalLinkName(const Workspace& ws)
{
    if (ws.settings.usesTcp())
        return QStringLiteral("%1:%2").arg(ws.settings.ip_address).arg(ws.settings.tcp_port);
    return QStringLiteral("COM%1").arg(ws.settings.link_port);
}

JournalRecord journalRecord(const Workspace& ws, int page, const QByteArray& sent, const QString& link)
{
    JournalRecord r;
    r.time = QDateTime::currentDateTimeUtc();
    r.link = link;
    r.controller = ws.settings.controller_number;
    r.part = page < 0 ? kSchemePart : kPagePart;
    r.page = page < 0 ? 0 : page + 1;
    r.sha256 = sha256Hex(sent);
    r.content = page < 0 ? schemeSnapshot(ws) : pageSnapshot(ws.pages, page);
    return r;
}

namespace {

// "2 элемента" with the noun's form for the number.
QString counted(qsizetype n, const char* one, const char* few, const char* many)
{
    const qsizetype tens = n % 100, units = n % 10;
    const char* form = (tens >= 11 && tens <= 14) ? many : units == 1 ? one : (units >= 2 && units <= 4) ? few : many;
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(form);
}

} // namespace

std::array<qsizetype, 4> PartState::counts() const
{
    std::array<qsizetype, 4> n{};
    for (const Change& c : changes)
        ++n[size_t(c.kind)];
    return n;
}

QString PartState::summary() const
{
    QString s = page < 0 ? QStringLiteral("scheme") : QStringLiteral("page %1").arg(page + 1);
    if (!error.isEmpty())
        return s + QStringLiteral(": ") + error;
    if (!last)
        return s + QStringLiteral(": never written to controller %1").arg(controller);
    const QString when = last->time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    if (!changed)
        return s + QStringLiteral(": unchanged since ") + when;
    s += QStringLiteral(": not written since ") + when;
    const auto n = counts();
    const QString noun = page >= 0 ? QStringLiteral("element") : QStringLiteral("block");
    const auto count = [](qsizetype k, const QString& what) {
        return QStringLiteral("%1 %2%3").arg(k).arg(what).arg(k == 1 ? QString() : QStringLiteral("s"));
    };
    QStringList parts;
    const char* const verbs[] = {"added", "removed", "moved"};
    for (size_t k = 0; k < 3; ++k)
        if (n[k])
            parts << count(n[k], noun) + QLatin1Char(' ') + QString::fromLatin1(verbs[k]);
    if (n[3])
        parts << count(n[3], QStringLiteral("field")) + QStringLiteral(" changed");
    if (parts.isEmpty())
        parts << QStringLiteral("the image changed");
    return s + QStringLiteral("; ") + parts.join(QStringLiteral(", "));
}

QString PartState::russianSummary() const
{
    QString s = page < 0 ? QStringLiteral("схема") : QStringLiteral("страница %1").arg(page + 1);
    if (!error.isEmpty())
        return s + QStringLiteral(": ") + error;
    if (!last)
        return s + QStringLiteral(": не записывалась в контроллер %1").arg(controller);
    const QString when = last->time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    if (!changed)
        return s + QStringLiteral(": без изменений с записи %1").arg(when);
    s += QStringLiteral(": не записывалась с %1").arg(when);
    const auto n = counts();
    QStringList parts;
    const bool elements = page >= 0;
    const char* one = elements ? "элемент" : "блок";
    const char* few = elements ? "элемента" : "блока";
    const char* many = elements ? "элементов" : "блоков";
    if (n[0])
        parts << counted(n[0], one, few, many) + QStringLiteral(" добавлено");
    if (n[1])
        parts << counted(n[1], one, few, many) + QStringLiteral(" удалено");
    if (n[2])
        parts << counted(n[2], one, few, many) + QStringLiteral(" перемещено");
    if (n[3])
        parts << counted(n[3], "поле изменено", "поля изменено", "полей изменено");
    if (parts.isEmpty())
        parts << QStringLiteral("изменилось изображение");
    return s + QStringLiteral("; ") + parts.join(QStringLiteral(", "));
}

QList<PartState> changedParts(const Workspace& ws, const JournalContents& journal, PagePainter& painter,
                              const QString& projectFolder)
{
    const auto last = lastWrites(journal, ws.settings.controller_number);
    QList<PartState> out;
    // The scheme: its bytes as a write would send them now.
    {
        PartState st;
        st.page = -1;
        st.controller = ws.settings.controller_number;
        st.last = last[0];
        const SchemeImage image = buildSchemeImage(ws.blocks, ws.catalog, ws.alg, ws.settings.controller_number);
        if (!image.fatal.isEmpty()) {
            st.error = image.fatal;
        } else if (st.last) {
            st.changed = sha256Hex(schemeWireStream(image)) != st.last->sha256;
            if (st.changed) {
                auto before = std::make_unique<Workspace>();
                schemeFromSnapshot(st.last->content, *before);
                st.changes = diffSchemes(*before, ws);
            }
        }
        out.append(st);
    }
    auto ts = std::make_unique<TransferState>();
    std::unique_ptr<ScadaPages> before;
    for (int p = 0; p < ScadaPages::kShownPages; ++p) {
        PartState st;
        st.page = p;
        st.controller = ws.settings.controller_number;
        st.last = last[size_t(p + 1)];
        const PagePrepareResult r = preparePage(painter, ws.pages, p, ws.version_code, projectFolder, *ts);
        if (!r.ok) {
            st.error = r.error.text;
        } else if (st.last) {
            const QByteArray bytes = pageWireStream(*ts, uint8_t(ws.settings.controller_number), p);
            st.changed = sha256Hex(bytes) != st.last->sha256;
            if (st.changed) {
                if (!before)
                    before = std::make_unique<ScadaPages>();
                pageFromSnapshot(st.last->content, *before, p);
                st.changes = diffPage(*before, ws.pages, p);
            }
        }
        out.append(st);
    }
    return out;
}

} // namespace ostrel
