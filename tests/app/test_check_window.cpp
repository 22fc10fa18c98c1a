// The project check, the journal and "Что изменится" in the configurator:
// the menu items, the window "Проверка проекта" and its double-click, the
// check before a write with "Записать всё равно", the journal record of a
// page write, and the offer to write only the pages that changed.
#include "algorithm/step_program.h"
#include "algorithm/ui/step_editor.h"
#include "app/app_controller.h"
#include "app/changes_window.h"
#include "app/check_window.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "link/byte_sink.h"
#include "link/transfer_engine.h"
#include "link/ui/scheme_write_controller.h"
#include "link/write_journal.h"
#include "scheme/ui/block_parameter_editor.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"
#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

// Parameter 30 of page `p` bound to block 50, which the scheme lacks.
void plantMissingBlock(Workspace& ws, int p)
{
    ParametrElement& e = ws.pages.parametr[size_t(p)][30];
    e.used = 1;
    e.x = e.y = 200;
    e.font = 10;
    e.block = 50;
}

} // namespace

class CheckWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;
    std::unique_ptr<QTemporaryDir> tmp;

    QString projectPath() const { return tmp->filePath(QStringLiteral("boiler.prt")); }
    TransferEngine& engine() { return app->writer().engine(); }
    CheckWindow& check() { return app->checkWindow(); }

    void openExample()
    {
        for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"})
            QVERIFY(QFile::copy(kExamples + u'/' + QString::fromLatin1(name), tmp->filePath(QString::fromLatin1(name))));
        QVERIFY(app->openProjectFile(projectPath()));
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
    }

    int rowOf(const QString& code)
    {
        for (int r = 0; r < check().problems().size(); ++r)
            if (check().problems()[r].code == code)
                return r;
        return -1;
    }

    void runToEnd()
    {
        QTRY_VERIFY(engine().link().tcp().isConnected());
        for (int guard = 0; engine().isActive() && guard < 1000; ++guard)
            QVERIFY(engine().tickNow());
        QVERIFY(!engine().isActive());
    }

    QByteArray cliDumpPage(int page)
    {
        const QString file = tmp->filePath(QStringLiteral("dump.bin"));
        QFile::remove(file);
        QProcess p;
        p.start(QStringLiteral(OSTREL_CLI), {QStringLiteral("write-pages"), projectPath(), QStringLiteral("--page"),
                                             QString::number(page + 1), QStringLiteral("--dump"), file});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return {};
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        window = std::make_unique<MainWindow>(*ws, *ui);
        app = std::make_unique<AppController>(*ws, *ui, *window);
        window->show();
    }
    void cleanup()
    {
        window->close();
        app.reset();
        window.reset();
        tmp.reset();
    }

    // "&Проверить проект" is the last item of "&Контроллер Ostrel", after a
    // separator; it opens "Проверка проекта" with the example's one warning.
    void menuOpensTheWindow()
    {
        openExample();
        const QList<QAction*> items = window->menu(QStringLiteral("MnuOstrel"))->actions();
        QCOMPARE(items.last()->text(), QStringLiteral("&Проверить проект"));
        QVERIFY(items[items.size() - 2]->isSeparator());
        QCOMPARE(window->action(QStringLiteral("MnuWhatChanges"))->text(), QStringLiteral("&Что изменится"));
        items.last()->trigger();
        QVERIFY(check().isVisible());
        QCOMPARE(check().windowTitle(), QStringLiteral("Проверка проекта"));
        QVERIFY(!check().parentWidget());
        QVERIFY(!check().writeAnywayButton().isVisible());
        QCOMPARE(check().list().topLevelItemCount(), 1);
        QCOMPARE(check().list().topLevelItem(0)->text(1), QStringLiteral("text-cut"));
        QVERIFY(window->isEnabled()); // the places stay reachable
        QVERIFY(check().width() <= 1280 && check().height() <= 1024);
    }

    // A double-click shows the place: the page with the element framed, the
    // block's parameter editor, the algorithm step.
    void doubleClickShowsThePlace()
    {
        openExample();
        plantMissingBlock(*ws, 2);
        ws->blocks.param(1, 2) = 1e10f;                         // does not fit four bytes
        alg::setStepField(ws->blocks, 14, 9, alg::then_next, 200); // step 10 jumps nowhere
        window->action(QStringLiteral("MnuCheckProject"))->trigger();

        const int element = rowOf(QStringLiteral("missing-block"));
        QVERIFY(element >= 0);
        QTreeWidgetItem* item = check().list().topLevelItem(element);
        const QRect rect = check().list().visualItemRect(item);
        // A double-click is a press, a release and the second press.
        QTest::mouseClick(check().list().viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(check().list().viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(window->inScadaMode());
        QCOMPARE(window->shell().current_page, 2);
        const SelectionFrame& frame = app->scadaEditor().state().frame;
        QVERIFY(frame.visible);
        QCOMPARE(frame.page, 2);
        QVERIFY(frame.rect.contains(QPoint(200, 200)));

        check().activate(rowOf(QStringLiteral("parameter")));
        QVERIFY(!window->inScadaMode());
        QTRY_VERIFY(app->parameterEditor().isVisible());
        QCOMPARE(int(ws->blocks.cur_block), 1);
        app->parameterEditor().close();
        QTRY_VERIFY(window->isEnabled());

        check().activate(rowOf(QStringLiteral("expression")));
        QTRY_VERIFY(app->stepEditor().isVisible());
        QCOMPARE(app->stepEditor().currentStep(), 9);
    }

    // A page write whose check finds an error waits in the window; "Записать
    // всё равно" starts it. The page that went out is journalled with the
    // hash of ostrel-cli's --dump of the same page.
    void writeWaitsForWriteAnyway()
    {
        openExample();
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = sink.tcpPort();
        window->action(QStringLiteral("MnuSCADA"))->trigger();
        window->pageTabs().setCurrentIndex(2);
        plantMissingBlock(*ws, 2);
        window->action(QStringLiteral("MnuSaveOstrelSCADA"))->trigger();
        QVERIFY(check().isVisible());
        QVERIFY(check().writeAnywayButton().isVisible());
        QCOMPARE(check().writeAnywayButton().text(), QStringLiteral("Записать всё равно"));
        QVERIFY(!engine().isActive());
        QCOMPARE(check().problems().size(), 1);
        QByteArray sent;
        QObject scope;
        connect(&engine(), &TransferEngine::packetSent, &scope, [&sent](const QByteArray& b) { sent += b; });
        QTest::mouseClick(&check().writeAnywayButton(), Qt::LeftButton);
        QVERIFY(!check().isVisible());
        QVERIFY(engine().isActive());
        runToEnd();
        QTRY_COMPARE(sink.bytes, sent);

        const JournalContents journal = readJournal(app->journalPath());
        QCOMPARE(journal.records.size(), 1);
        QCOMPARE(journal.records[0].page, 3);
        QCOMPARE(journal.records[0].link, QStringLiteral("127.0.0.1:%1").arg(sink.tcpPort()));
        QCOMPARE(journal.records[0].sha256,
                 QString::fromLatin1(QCryptographicHash::hash(sink.bytes, QCryptographicHash::Sha256).toHex()));

        // "&Что изменится": page 3 as written, the others never.
        window->action(QStringLiteral("MnuWhatChanges"))->trigger();
        QVERIFY(app->changesWindow().isVisible());
        const QString text = app->changesWindow().text();
        QVERIFY2(text.contains(QStringLiteral("страница 3: без изменений с записи ")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("страница 4: не записывалась в контроллер 1")));
    }

    // A clean page over TCP: the record's hash is the hash of ostrel-cli's
    // --dump; afterwards "all pages" offers the seven others only.
    void allPagesOffersTheChangedOnes()
    {
        openExample();
        const QByteArray dumped = cliDumpPage(1);
        QVERIFY(!dumped.isEmpty());
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = sink.tcpPort();
        window->action(QStringLiteral("MnuSCADA"))->trigger();
        window->pageTabs().setCurrentIndex(1);
        window->action(QStringLiteral("MnuSaveOstrelSCADA"))->trigger();
        QVERIFY(!check().isVisible());
        runToEnd();
        QTRY_COMPARE(sink.bytes.size(), dumped.size());
        QCOMPARE(sink.bytes, dumped);
        JournalContents journal = readJournal(app->journalPath());
        QCOMPARE(journal.records.size(), 1);
        QCOMPARE(journal.records[0].sha256,
                 QString::fromLatin1(QCryptographicHash::hash(dumped, QCryptographicHash::Sha256).toHex()));

        ui->choiceAnswers = {Answer::Yes};
        QSignalSpy pages(&engine(), &TransferEngine::currentPageChanged);
        window->action(QStringLiteral("MnuAllSaveOstrelSCADA"))->trigger();
        QCOMPARE(ui->questions.size(), 1);
        QVERIFY2(ui->questions[0].text.contains(QStringLiteral("1, 3, 4, 5, 6, 7, 8")), qPrintable(ui->questions[0].text));
        runToEnd();
        QList<int> written;
        for (const auto& args : pages)
            written << args.at(0).toInt();
        QCOMPARE(written, (QList<int>{0, 2, 3, 4, 5, 6, 7}));
        journal = readJournal(app->journalPath());
        QCOMPARE(journal.records.size(), 8);
    }
};

QTEST_MAIN(CheckWindowTest)
#include "test_check_window.moc"
