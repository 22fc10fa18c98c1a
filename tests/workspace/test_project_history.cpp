// Undo and redo over the whole project: a step taken back gives the project
// file it had before, byte for byte, and done again the file after it.
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "scada/element_ref.h"
#include "workspace/project_history.h"
#include "workspace/workspace.h"

#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <functional>
#include <memory>

using namespace ostrel;

namespace {

using Edit = std::function<void(Workspace&)>;

std::unique_ptr<Workspace> example()
{
    auto ws = std::make_unique<Workspace>();
    QString error;
    HeadlessInteraction ui;
    if (!loadProjectForCli(*ws, QStringLiteral(OSTREL_TEST_DATA "/full/full.prt"), &error, &ui))
        qFatal("cannot open the full project: %s", qPrintable(error));
    return ws;
}

QByteArray fileBytes(Workspace& ws) { return projectFileBytes(ws, QLocale::c()); }

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestProjectHistory : public QObject {
    Q_OBJECT
private slots:
    // One change of each kind of table: undo gives the file before it, redo
    // the file after it, and the step names the part it touched.
    void undoRestoresTheFile_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("scheme");
        QTest::newRow("parameter moved") << Edit([](Workspace& ws) {
            storeObjectPos(ws.pages, {ObjectKind::Parametr, 1, 3}, {300, 200});
        }) << 0x2 << false;
        QTest::newRow("text deleted") << Edit([](Workspace& ws) {
            ws.pages.text[2][5] = TextElement{};
        }) << 0x4 << false;
        QTest::newRow("menu text") << Edit([](Workspace& ws) {
            ws.pages.menu[3][1].text = QStringLiteral("Новое");
        }) << 0x8 << false;
        QTest::newRow("background picture") << Edit([](Workspace& ws) {
            ws.pages.shortRef(4) = QStringLiteral("\\pump.gif");
            ws.pages.fullPath(4) = QStringLiteral("/tmp/pump.gif");
            ws.pages.background_kind[4] = 1;
        }) << 0x10 << false;
        QTest::newRow("grid") << Edit([](Workspace& ws) {
            ws.pages.grid_step = ws.pages.grid_step_copy = 10;
        }) << 0xff << false;
        QTest::newRow("clock deleted") << Edit([](Workspace& ws) {
            *ws.pages.clockOfPage(5) = ClockElement{};
        }) << 0x20 << false;
        QTest::newRow("parameter value") << Edit([](Workspace& ws) {
            ws.blocks.param(12, 1) = 42.5f;
        }) << 0 << true;
        QTest::newRow("block text") << Edit([](Workspace& ws) {
            ws.blocks.text(12, 0) = QStringLiteral("Котёл");
        }) << 0 << true;
        QTest::newRow("step comment") << Edit([](Workspace& ws) {
            ws.alg.alg_comments[7] = QStringLiteral("Пуск насоса");
        }) << 0 << false;
        QTest::newRow("settings") << Edit([](Workspace& ws) {
            ws.settings.link_port = 9;
            ws.settings.ip_address = QStringLiteral("10.0.0.2");
        }) << 0 << false;
        QTest::newRow("version") << Edit([](Workspace& ws) { ws.selectVersion(1); }) << 0 << false;
    }
    void undoRestoresTheFile()
    {
        QFETCH(Edit, edit);
        QFETCH(int, pages);
        QFETCH(bool, scheme);
        auto ws = example();
        const QByteArray before = fileBytes(*ws);
        ProjectHistory history(*ws);
        HistoryEffect seen;
        history.setOnApplied([&](const HistoryEffect& e) { seen = e; });

        edit(*ws);
        const QByteArray after = fileBytes(*ws);
        QVERIFY(after != before);
        QVERIFY(history.hasUncommittedChanges());
        QVERIFY(history.commit(QStringLiteral("правка")));
        QVERIFY(!history.hasUncommittedChanges());
        QCOMPARE(history.undoText(), QStringLiteral("правка"));

        history.undo();
        QCOMPARE(fileBytes(*ws), before);
        QCOMPARE(int(seen.pages), pages);
        QCOMPARE(seen.scheme, scheme);
        QVERIFY(history.canRedo());
        history.redo();
        QCOMPARE(fileBytes(*ws), after);
        history.undo();
        QCOMPARE(fileBytes(*ws), before);
        QVERIFY(!history.hasUncommittedChanges());
    }

    // Whatever one action changed is one step; an action that changed
    // nothing leaves no step.
    void oneActionOneStep()
    {
        auto ws = example();
        const QByteArray before = fileBytes(*ws);
        ProjectHistory history(*ws);
        QVERIFY(!history.commit(QStringLiteral("ничего")));
        QCOMPARE(history.steps(), 0);

        // A drag: twenty positions on the way, one step when it is released.
        for (int i = 1; i <= 20; ++i)
            storeObjectPos(ws->pages, {ObjectKind::Signal, 2, 4}, {100 + i, 50 + i});
        for (int n = 1; n <= 32; ++n)
            storeObjectPos(ws->pages, {ObjectKind::Level, 2, n}, {10 + n, 300});
        QVERIFY(history.commit(QStringLiteral("перемещение")));
        QCOMPARE(history.steps(), 1);
        ws->pages.fill_color[2] = 0x123456;
        QVERIFY(history.commit(QStringLiteral("цвет")));
        QCOMPARE(history.steps(), 2);

        history.undo();
        history.undo();
        QCOMPARE(fileBytes(*ws), before);
        QVERIFY(!history.canUndo());
    }

    // The saved mark follows the stack: back at the saved step the project
    // is clean again; a recovered copy is never clean.
    void cleanStateFollowsTheSteps()
    {
        auto ws = example();
        ProjectHistory history(*ws);
        QSignalSpy changed(&history, &ProjectHistory::changed);
        QVERIFY(history.isClean());
        ws->pages.text[1][1].text = QStringLiteral("a");
        history.commit(QStringLiteral("a"));
        QVERIFY(!history.isClean());
        history.setClean();
        ws->pages.text[1][1].text = QStringLiteral("b");
        history.commit(QStringLiteral("b"));
        QVERIFY(!history.isClean());
        history.undo();
        QVERIFY(history.isClean());
        history.undo();
        QVERIFY(!history.isClean());
        QVERIFY(changed.count() > 0);

        history.reset();
        QVERIFY(history.isClean());
        QCOMPARE(history.steps(), 0);
        history.forgetClean();
        QVERIFY(!history.isClean());
    }

    // A parameter stored as NaN equals itself: it never makes a step of its own.
    void storedNanIsNoChange()
    {
        auto ws = example();
        ws->blocks.param(12, 2) = std::nanf("");
        ProjectHistory history(*ws);
        QVERIFY(!history.hasUncommittedChanges());
        QVERIFY(!history.commit(QStringLiteral("ничего")));
    }

    // A new step after an undo drops the steps that were undone.
    void newStepAfterUndoDropsRedo()
    {
        auto ws = example();
        ProjectHistory history(*ws);
        ws->pages.text[1][2].text = QStringLiteral("a");
        history.commit(QStringLiteral("a"));
        history.undo();
        ws->pages.text[1][3].text = QStringLiteral("b");
        history.commit(QStringLiteral("b"));
        QVERIFY(!history.canRedo());
        QCOMPARE(ws->pages.text[1][2].text, QStringLiteral("2"));
        history.undo();
        QCOMPARE(ws->pages.text[1][3].text, QStringLiteral("3"));
    }
};

QTEST_GUILESS_MAIN(TestProjectHistory)
#include "test_project_history.moc"
