// Feeds arbitrary bytes to the netlist reader and the import.
#include "platform/headless_interaction.h"
#include "scheme/netlist_import.h"
#include "scheme/netlist_reader.h"
#include "workspace/workspace.h"

#include <QBuffer>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One workspace for the whole run: imports overwrite it in place, as in the program.
    static auto ws = std::make_unique<ostrel::Workspace>();
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    ostrel::NetlistItems items = ostrel::readNetlistItems(buf);
    ostrel::HeadlessInteraction ui;
    ostrel::importNetlist(ws->blocks, ws->catalog, items, ui);
    return 0;
}
