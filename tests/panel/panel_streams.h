#pragma once
// What the configurator sends for the example project, made in-process for
// the panel tests and the benchmark: the scheme write's bytes and the page
// writes' packets (the page painted, encoded and run through the page
// sequence without its pacing), with the painted image and the page model
// to compare the decoded page with.
#include "wire/page_encoder.h"
#include "wire/scheme_encoder.h"
#include "link/sequences.h"
#include "wire/transfer_state.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "workspace/workspace.h"
#include <QByteArray>
#include <QDebug>
#include <QImage>
#include <QList>
#include <memory>

namespace ostrel::testing {

inline QString examplesFolder() { return QStringLiteral(OSTREL_EXAMPLES); }
inline QString exampleProject() { return examplesFolder() + QStringLiteral("/boiler.prt"); }

inline std::unique_ptr<Workspace> loadExample()
{
    auto ws = std::make_unique<Workspace>();
    QString error;
    if (!loadProjectForCli(*ws, exampleProject(), &error)) {
        qWarning() << "cannot open the example project:" << error;
        return nullptr;
    }
    return ws;
}

// The bytes of a scheme write of the workspace, checksums included.
inline QByteArray schemeStream(const Workspace& ws)
{
    return schemeWireStream(buildSchemeImage(ws.blocks, ws.catalog, ws.alg, ws.settings.controller_number));
}

struct SentPage {
    bool ok = false;
    QImage painted;                // the page as painted, before the 12-bit conversion
    QList<QByteArray> packets;     // C0, D0, .., C7, D7 as sent
    QByteArray stream() const { return packets.join(); }
};

// Page p of the workspace as a page write sends it.
inline SentPage sentPage(Workspace& ws, PagePainter& painter, int p)
{
    SentPage out;
    const PagePrepareResult r = preparePage(painter, ws.pages, p, ws.version_code, examplesFolder(), ws.transfer);
    if (!r.ok) {
        qWarning() << "page" << p + 1 << "not prepared:" << r.error.text;
        return out;
    }
    out.painted = r.image;
    ws.transfer.timer_multiplier = 1;
    PageSequence sequence(ws.transfer, uint8_t(ws.settings.controller_number), p, false);
    for (int guard = 0; guard < 40; ++guard) {
        const SequenceTick t = sequence.tick();
        if (!t.bytes.isEmpty())
            out.packets << t.bytes;
        if (t.finished)
            break;
    }
    out.ok = out.packets.size() == 16;
    return out;
}

} // namespace ostrel::testing
