// Step editor timings: opening (build of the page and first tab), paging,
// changing tab and a search hit on another page. Offscreen; medians of
// repeated runs in milliseconds.
#include "algorithm/ui/step_editor.h"
#include "algorithm/step_program.h"
#include "platform/headless_interaction.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

double medianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        work();
        t.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Workspace ws;
    HeadlessInteraction ui;
    constexpr int block = 4;
    ws.blocks.block_type[block] = 45;
    ws.blocks.text_base[block] = 10000;
    ws.blocks.param_base[block] = 300;
    alg::applyDefaultFields(ws.blocks, block);
    // A busy program: every step has actions, outputs and jumps.
    for (int s = 0; s < alg::kSteps; ++s) {
        alg::setStepField(ws.blocks, block, s, alg::then_kind, 33 + s % 32);
        alg::setStepField(ws.blocks, block, s, alg::then_operand, s);
        alg::setStepField(ws.blocks, block, s, alg::else_kind, 97 + s % 96);
        alg::setStepField(ws.blocks, block, s, alg::else_operand, 40);
        alg::setStepField(ws.blocks, block, s, alg::then_outputs + s % 8, 0x99);
        alg::setStepField(ws.blocks, block, s, alg::then_next, (s * 7) % 128);
        alg::setStepField(ws.blocks, block, s, alg::else_next, (s + 1) % 128);
    }
    alg::setStepField(ws.blocks, block, 120, alg::cond_a, 69); // "Flag_5": the only search hit

    const int runs = 25;
    std::unique_ptr<StepEditor> ed;
    const double construct = medianMs(runs, [&] { ed.reset(); },
                                      [&] { ed = std::make_unique<StepEditor>(ws.blocks, ws.alg, ui); });
    const double open = medianMs(runs, [&] { ed->hide(); }, [&] { ed->openFor(block); app.processEvents(); });
    auto* next = ed->findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* back = ed->findChild<QPushButton*>(QStringLiteral("Command2"));
    const double paging = medianMs(runs, [&] { back->click(); back->click(); back->click(); },
                                   [&] { next->click(); app.processEvents(); });
    auto* tabs = ed->findChild<QTabBar*>(QStringLiteral("Step_ALGORITM"));
    int tab = 0;
    const double tabChange = medianMs(runs, [] {}, [&] {
        tab = (tab + 7) % 32;
        tabs->setCurrentIndex(tab);
        app.processEvents();
    });
    auto* category = ed->findChild<QComboBox*>(QStringLiteral("Serch"));
    auto* number = ed->findChild<QLineEdit*>(QStringLiteral("Serch_N"));
    auto* go = ed->findChild<QPushButton*>(QStringLiteral("Serch_GO"));
    category->setCurrentIndex(2);
    const double search = medianMs(runs, [&] {
        back->click(); back->click(); back->click();
        number->setText(QStringLiteral("5"));
        emit number->textEdited(number->text());
    }, [&] { go->click(); app.processEvents(); });

    if (ed->currentStep() != 120)
        std::printf("search did not reach step 121\n");
    const double render = medianMs(runs, [&] { ed->hide(); }, [&] {
        ed->openFor(block);
        ed->grab();
    });

    std::printf("step editor (median of %d runs, ms)\n", runs);
    std::printf("%-28s %8.2f\n", "construct window", construct);
    std::printf("%-28s %8.2f\n", "open (fill page, show)", open);
    std::printf("%-28s %8.2f\n", "open and paint everything", render);
    std::printf("%-28s %8.2f\n", "page forward", paging);
    std::printf("%-28s %8.2f\n", "tab change", tabChange);
    std::printf("%-28s %8.2f\n", "search hit on page 4", search);
    return ui.messages().isEmpty() ? 0 : 1;
}
