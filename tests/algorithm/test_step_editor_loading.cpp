// The loading window and its hand-over to the step editor after an insert.
#include "algorithm/ui/step_editor.h"
#include "algorithm/step_program.h"
#include "app/loading_window.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

using namespace ostrel;

class TestLoadingWindow : public QObject {
    Q_OBJECT

private slots:
    void fillsInHundredTicksThenCloses()
    {
        LoadingWindow w;
        QCOMPARE(w.objectName(), QStringLiteral("Zagruzka"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Загрузка"));
        QSignalSpy finished(&w, &LoadingWindow::finished);
        w.start();
        QVERIFY(w.isVisible());
        QVERIFY(w.isRunning());
        for (int i = 1; i < 100; ++i) {
            w.tick();
            QCOMPARE(w.progress(), i);
        }
        QCOMPARE(finished.count(), 0);
        w.tick();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(w.progress(), 0);
        QVERIFY(!w.isRunning());
        QVERIFY(!w.isVisible());
        // A second run starts from an empty bar again.
        w.start();
        QCOMPARE(w.progress(), 0);
        QVERIFY(w.isRunning());
    }

    void runsOnItsTimer()
    {
        LoadingWindow w;
        QSignalSpy finished(&w, &LoadingWindow::finished);
        w.start();
        QVERIFY(finished.wait(5000));
        QVERIFY(!w.isVisible());
    }

    void editorReturnsAfterLoading()
    {
        Workspace ws;
        ScriptedInteraction ui;
        ws.blocks.block_type[3] = 45;
        ws.blocks.text_base[3] = 10000;
        ws.blocks.param_base[3] = 100;
        alg::applyDefaultFields(ws.blocks, 3);
        StepEditor ed(ws.blocks, ws.alg, ui);
        LoadingWindow loading;
        connect(&ed, &StepEditor::reloadRequested, &loading, [&] { loading.start(); });
        connect(&loading, &LoadingWindow::finished, &ed, [&] { ed.openFor(ws.blocks.cur_block); });
        ed.openFor(3);
        ed.findChild<QTabBar*>(QStringLiteral("Step_ALGORITM"))->setCurrentIndex(6);
        ed.findChild<QAction*>(QStringLiteral("mnuInsertStep"))->trigger();
        QVERIFY(!ed.isVisible());
        QVERIFY(loading.isVisible());
        for (int i = 0; i < 100; ++i)
            loading.tick();
        QVERIFY(!loading.isVisible());
        QVERIFY(ed.isVisible());
        QCOMPARE(ed.currentStep(), 6);
        QVERIFY(ui.messages.isEmpty());
    }
};

QTEST_MAIN(TestLoadingWindow)
#include "test_step_editor_loading.moc"
