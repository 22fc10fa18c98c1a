// A new project from a netlist file: what "Загрузить" and "Ok" do to the
// workspace, and that a file that cannot be read changes nothing.
#include "scheme/test_netlist_builder.h"
#include "support/scripted_interaction.h"
#include "workspace/new_project.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QtTest>
#include <memory>

using namespace ostrel;
using namespace ostrel::test;

namespace {

const QString kBoiler = QStringLiteral(OSTREL_EXAMPLES "/boiler.net");

} // namespace

class TestNewProject : public QObject {
    Q_OBJECT
private slots:
    void unreadableNetlistChangesNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("cancelled choice") << QString();
        QTest::newRow("missing file") << QStringLiteral(OSTREL_TEST_DATA "/netlist/does-not-exist.net");
    }
    void unreadableNetlistChangesNothing()
    {
        QFETCH(QString, path);
        auto ws = std::make_unique<Workspace>();
        ScriptedInteraction ui;
        importBytes(*ws, ui, NetlistBuilder().comp("U3", "MUL", {"1", "2", "3", "4"}).bytes());
        ws->settings.netlist_path = QStringLiteral("old.net");
        ws->blocks.text(3, 0) = QStringLiteral("kept");
        QVERIFY(!importProjectNetlist(*ws, path, ui));
        QVERIFY(!newProjectFromNetlist(*ws, path, ui));
        QCOMPARE(int(ws->blocks.block_type[3]), 9);
        QCOMPARE(ws->blocks.text(3, 0), QStringLiteral("kept"));
        QCOMPARE(ws->settings.netlist_path, QStringLiteral("old.net"));
        QVERIFY(ui.messages.isEmpty());
    }

    // "Загрузить" (or "&Открыть Netlist P-CAD"): the scheme is replaced and the
    // file becomes the project's netlist; the blocks keep what the import gave.
    void importedNetlistBecomesTheProjects()
    {
        auto ws = std::make_unique<Workspace>();
        ScriptedInteraction ui;
        importBytes(*ws, ui, NetlistBuilder().comp("U3", "MUL", {"1", "2", "3", "4"}).bytes());
        QVERIFY(importProjectNetlist(*ws, kBoiler, ui));
        QCOMPARE(ws->settings.netlist_path, QDir::toNativeSeparators(kBoiler));
        QCOMPARE(int(ws->blocks.block_type[3]), 3);
        QCOMPARE(ws->blocks.text(14, 0), QString()); // step field of the algorithm block, not reset
    }

    // The whole sequence without windows gives the workspace that "Загрузить"
    // followed by "Ok" of a new project gives.
    void newProjectIsImportThenReset()
    {
        auto expected = std::make_unique<Workspace>();
        ScriptedInteraction ui;
        QVERIFY(importNetlistFile(expected->blocks, expected->catalog, kBoiler, ui));
        resetNewProjectBlocks(expected->blocks, expected->catalog);

        auto ws = std::make_unique<Workspace>();
        ImportResult result;
        QVERIFY(newProjectFromNetlist(*ws, kBoiler, ui, &result));
        QVERIFY(result.completed);
        QCOMPARE(result.component[6], QStringLiteral("PID_IMPULS"));
        QCOMPARE(ws->settings.netlist_path, QDir::toNativeSeparators(kBoiler));
        const BlockTable& a = ws->blocks;
        const BlockTable& b = expected->blocks;
        QVERIFY(a.block_type == b.block_type && a.param_base == b.param_base && a.text_base == b.text_base);
        QVERIFY(a.InputLink == b.InputLink && a.invert_mask == b.invert_mask && a.special_link == b.special_link);
        QVERIFY(a.ParamStore == b.ParamStore);
        QVERIFY(a.TextStore == b.TextStore);
        QCOMPARE(ws->blocks.text(14, 0), QStringLiteral("0"));
        QVERIFY(ui.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNewProject)
#include "test_new_project.moc"
