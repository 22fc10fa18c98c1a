// The project check and the diff over the full project (tests/data/full:
// every slot of every page in use, the boiler scheme with its algorithm):
// the check of everything, page encodings included, with the painter kept
// between runs (as the configurator keeps it) and with a new one each run;
// the diff of two copies of it, equal, and with every element of every page
// moved.
#include "platform/headless_interaction.h"
#include "project/project_check.h"
#include "project/project_diff.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/kind_records.h"
#include "scada/page_painter.h"
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "workspace/workspace.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

const QString kFull = QStringLiteral(OSTREL_TEST_DATA "/full/full.prt");

double medianMs(int runs, const std::function<void()>& f)
{
    std::vector<double> v;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        v.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::unique_ptr<Workspace> open()
{
    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui;
    if (readProject(*ws, kFull, ui).status != ProjectReadStatus::Ok)
        return nullptr;
    return ws;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto a = open();
    auto b = open();
    if (!a || !b) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(kFull));
        return 1;
    }
    const int runs = 21;
    const QString folder = QStringLiteral(OSTREL_TEST_DATA "/full");
    ElementPictures pictures;
    PagePainter painter(pictures);
    CheckContext warm{folder, false, &painter};
    qsizetype problems = 0;
    const double checkWarm = medianMs(runs, [&] { problems = checkProject(*a, warm).size(); });
    const double checkCold = medianMs(runs, [&] { checkProject(*a, CheckContext{folder}); });
    const double checkSchemeOnly = medianMs(runs, [&] { checkProject(*a, warm, CheckScope{true, 0, true, true}); });
    const double checkElements = medianMs(runs, [&] { checkProject(*a, warm, CheckScope{true, 0xFF, true, false}); });
    auto ts = std::make_unique<TransferState>();
    const double encodings = medianMs(runs, [&] {
        for (int p = 0; p < 8; ++p)
            preparePage(painter, a->pages, p, a->version_code, folder, *ts);
    });

    qsizetype equalChanges = 0, movedChanges = 0;
    const double diffEqual = medianMs(runs, [&] { equalChanges = diffProjects(*a, *b).size(); });
    forEachKind([&](auto k) {
        using K = decltype(k);
        const int last = K::info().numbered() ? K::info().max_number : 1;
        for (int p = 0; p < 8; ++p)
            for (int n = 1; n <= last; ++n) {
                auto& e = K::record(b->pages, size_t(p), size_t(n));
                if (e.used)
                    e.x = int16_t(e.x + 1);
            }
    });
    const double diffMoved = medianMs(runs, [&] { movedChanges = diffProjects(*a, *b).size(); });

    std::printf("full project: %lld problems; %d runs each\n", static_cast<long long>(problems), runs);
    std::printf("%-52s %10s\n", "operation", "median ms");
    std::printf("%-52s %10.2f\n", "check, all (8 page encodings, painter kept)", checkWarm);
    std::printf("%-52s %10.2f\n", "check, all (8 page encodings, new painter)", checkCold);
    std::printf("%-52s %10.2f\n", "check, scheme and project only", checkSchemeOnly);
    std::printf("%-52s %10.2f\n", "check, all without the page encodings", checkElements);
    std::printf("%-52s %10.2f\n", "  the 8 page encodings alone (paint + encode)", encodings);
    std::printf("%-52s %10.2f\n", QStringLiteral("diff, two equal full projects (%1 changes)").arg(equalChanges).toUtf8().constData(), diffEqual);
    std::printf("%-52s %10.2f\n", QStringLiteral("diff, every element moved (%1 changes)").arg(movedChanges).toUtf8().constData(), diffMoved);
    return 0;
}
