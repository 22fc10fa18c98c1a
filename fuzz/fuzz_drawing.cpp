// Fuzzes the algorithm drawing import: arbitrary bytes are read as netlist
// items and imported into an algorithm block placed between other data; the
// data around the block's fields and setpoints must never change.
#include "algorithm/drawing_import.h"
#include "algorithm/step_program.h"
#include "platform/headless_interaction.h"
#include "scheme/netlist_reader.h"
#include "workspace/workspace.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kBlock = 3;
constexpr int kTextBase = 1000;
constexpr int kParamBase = 50;

ostrel::Workspace& workspace()
{
    static std::unique_ptr<ostrel::Workspace> ws = [] {
        auto w = std::make_unique<ostrel::Workspace>();
        w->blocks.block_type[kBlock] = ostrel::alg::kBlockType;
        w->blocks.text_base[kBlock] = kTextBase;
        w->blocks.param_base[kBlock] = kParamBase;
        w->blocks.TextStore[kTextBase - 1] = QStringLiteral("before");
        w->blocks.TextStore[kTextBase + ostrel::alg::kProgramTexts] = QStringLiteral("after");
        w->blocks.ParamStore[kParamBase] = 77.0f;
        w->blocks.ParamStore[kParamBase + 129] = 88.0f;
        return w;
    }();
    return *ws;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ostrel::Workspace& ws = workspace();
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Most inputs should reach the scan: put the netlist item in front.
    bytes.prepend("(netlist \"f\"\n");
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    const ostrel::NetlistItems items = ostrel::readNetlistItems(buf);
    ostrel::HeadlessInteraction ui;
    ostrel::importAlgorithmDrawingItems(ws.blocks, ws.alg, kBlock, items, ui);

    const auto& bt = ws.blocks;
    if (bt.TextStore[kTextBase - 1] != QLatin1String("before")
        || bt.TextStore[kTextBase + ostrel::alg::kProgramTexts] != QLatin1String("after")
        || bt.ParamStore[kParamBase] != 77.0f || bt.ParamStore[kParamBase + 129] != 88.0f)
        std::abort();
    for (int s = 0; s < ostrel::alg::kSteps; ++s)
        for (int f = 0; f < ostrel::alg::kFields; ++f) {
            const int v = ostrel::alg::stepField(bt, kBlock, s, f);
            if (v < 0 || v > 255)
                std::abort(); // the import never stores a value that does not fit its byte
        }
    return 0;
}
