#pragma once
// A SCADA page as the panel shows it after a write, computed without a link:
// the page is painted and encoded by the code of a real page write, its
// sixteen packets are framed and decoded by the receiving end the virtual
// controller uses, and the live elements are drawn from the decoded tables
// with sample values. An encoding error ("Не хватает памяти!", the picture
// size message) comes back instead of an image, as a write would show it.
#include "display/block_values.h"
#include "display/live_layer.h"
#include "platform/interaction.h"
#include "wire/page_decoder.h"
#include "wire/page_encoder.h"
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace ostrel {

class PagePainter;
struct ScadaPages;
struct TransferState;

struct PanelPageOptions {
    int version_code = 5;    // the project's controller version: table layout
    int controller = 1;      // controller number in the packets
    QString project_folder;  // where pictures named by file name only are looked for
    LiveOptions live;        // touch cells, the clock's time
};

struct PanelPage {
    bool ok = false;
    Message error;              // why the page cannot be written or was not received (when !ok)
    // The write's own result: the static layer as painted at 24 bits (the
    // canvas's look), the band lengths, the warnings a write reports once.
    PagePrepareResult prepared;
    DecodedPage received;       // what the panel decoded from the packets
    QImage shown;               // the received image in 12-bit colour, without live elements
    QImage image;               // `shown` with the live elements: what the panel displays
};

// Page p (0..7) of `pages` through paint, encode, packets, decode and the
// live layer. `ts` is a scratch transfer state (its buffer is reused; never
// the one a running write uses).
PanelPage composePanelPage(PagePainter& painter, const ScadaPages& pages, int p, const BlockValues& values,
                           const PanelPageOptions& options, TransferState& ts);

// Only the live layer again, over a page composed before (values or touch
// cells changed): `page.image` is drawn anew from `page.shown` and the tables.
void recomposeLiveLayer(PanelPage& page, const BlockValues& values, const LiveOptions& options);

// The decoder's errors as one line each, empty when the page decoded cleanly.
QStringList decodeErrors(const DecodedPage& page);

} // namespace ostrel
