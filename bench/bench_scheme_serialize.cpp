// Scheme serialisation of a maximal scheme: all 10001 parameters and all
// 20001 texts (three algorithm blocks, 87 RS485 blocks, a setter, a panel,
// the graph and the journal). Prints the median of repeated builds.
#include "algorithm/step_program.h"
#include "wire/scheme_encoder.h"
#include "workspace/workspace.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

void buildMaximalScheme(Workspace& ws)
{
    ws.selectVersion(5);
    BlockTable& bt = ws.blocks;
    for (int n = 1; n <= 3; ++n)
        bt.block_type[n] = 45;   // ALG: 5248 texts each
    for (int n = 4; n <= 90; ++n)
        bt.block_type[n] = 5;    // RS4: 48 texts each
    bt.block_type[91] = 25;      // S_P: 9
    bt.block_type[92] = 29;      // PAN: 5
    bt.block_type[97] = 43;
    bt.block_type[98] = 41;      // GRA: 34
    bt.block_type[99] = 42;      // JUR: 33
    int P = 0, T = 0, bytes = 0;
    for (int n = 1; n <= 99; ++n) {
        const int t = bt.block_type[n];
        if (t == 0)
            continue;
        bt.param_base[n] = int16_t(P);
        bt.text_base[n] = int16_t(T);
        P += ws.catalog.paramCount(t);
        T += ws.catalog.textCount(t);
        bytes += ws.catalog.textCount(t) * ws.catalog.textWidth(t);
    }
    bt.text_bytes = bytes;
    bt.param_bytes = 4 * BlockTable::kParams; // every parameter entry goes out
    for (int i = 0; i < BlockTable::kParams; ++i)
        bt.ParamStore[i] = float((i % 2 ? -1 : 1) * (i * 0.37));
    for (int i = 0; i < T && i < BlockTable::kTexts; ++i)
        bt.TextStore[i] = QString::number(i % 128);
    for (int n = 91; n <= 99; ++n)
        for (int k = 0; k < ws.catalog.textCount(bt.block_type[n]); ++k)
            bt.text(n, k) = QStringLiteral("Канал %1").arg(k);
    for (int s = 0; s < 128; s += 3)
        ws.alg.call_flags[s][0] = 1;
    std::printf("texts %d of %d, text bytes %d, parameters %d\n", T, BlockTable::kTexts, bytes,
                BlockTable::kParams);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    auto ws = std::make_unique<Workspace>();
    buildMaximalScheme(*ws);

    std::vector<double> image, stream;
    qsizetype size = 0;
    for (int run = 0; run < 41; ++run) {
        QElapsedTimer t;
        t.start();
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        image.push_back(t.nsecsElapsed() / 1e6);
        if (!img.fatal.isEmpty()) {
            std::fprintf(stderr, "serialisation refused: %s\n", qPrintable(img.fatal));
            return 1;
        }
        t.restart();
        size = schemeWireStream(img).size();
        stream.push_back(t.nsecsElapsed() / 1e6);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%-34s %12s\n", "step (41 runs)", "median ms");
    std::printf("%-34s %12.3f\n", "buildSchemeImage", median(image));
    std::printf("%-34s %12.3f\n", "schemeWireStream (checksums)", median(stream));
    std::printf("%-34s %12lld\n", "bytes on the wire", qlonglong(size));
    return 0;
}
