#include "display/panel_page.h"

#include "link/sequences.h"
#include "scada/page_painter.h"
#include "wire/link_receiver.h"
#include "wire/transfer_state.h"

namespace ostrel {

PanelPage composePanelPage(PagePainter& painter, const ScadaPages& pages, int p, const BlockValues& values,
                           const PanelPageOptions& options, TransferState& ts)
{
    PanelPage out;
    out.prepared = preparePage(painter, pages, p, options.version_code, options.project_folder, ts);
    if (!out.prepared.ok) {
        out.error = out.prepared.error;
        return out;
    }

    // The packets as the page sequence sends them, into the receiver the
    // panel runs for every channel.
    const QByteArray stream = pageWireStream(ts, uint8_t(options.controller), p);
    ReceiverOptions ro;
    ro.version = options.version_code;
    LinkReceiver receiver(ro);
    receiver.feed(stream);
    receiver.finish();
    LinkReceiver::Output received = receiver.take();
    if (received.pages.size() != 1) {
        out.error = {QStringLiteral("Страница не принята: %1 записей страниц в потоке").arg(received.pages.size()),
                     kPageErrorTitle, MessageIcon::Error};
        return out;
    }
    out.received = std::move(received.pages.front());
    const QStringList errors = decodeErrors(out.received);
    if (!errors.isEmpty()) {
        out.error = {errors.join(QLatin1Char('\n')), kPageErrorTitle, MessageIcon::Error};
        return out;
    }
    out.shown = pageImage(out.received);
    out.ok = true;
    recomposeLiveLayer(out, values, options.live);
    return out;
}

void recomposeLiveLayer(PanelPage& page, const BlockValues& values, const LiveOptions& options)
{
    if (!page.ok)
        return;
    page.image = composePanelPage(page.shown, page.received.tables, values, options);
}

QStringList decodeErrors(const DecodedPage& page)
{
    QStringList lines;
    for (const DecodeProblem& problem : page.problems)
        if (severity(problem.kind) == Severity::Error)
            lines << describe(problem);
    return lines;
}

} // namespace ostrel
