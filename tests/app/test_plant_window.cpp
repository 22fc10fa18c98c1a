// "&Записать установку…" in the configurator: the menu item, the window
// "Запись установки" with its live table, the results of a plant written
// to listeners on 127.0.0.1 (one refusing port), "Отмена" letting the page
// being sent finish, and a plant file refused with the controller and key.
// The sequences are driven by their ticks.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/plant_window.h"
#include "link/byte_sink.h"
#include "link/transfer_engine.h"
#include "link/write_journal.h"
#include "project/plant_write.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class PlantWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;
    std::unique_ptr<QTemporaryDir> tmp;

    PlantWindow& plantWindow() { return app->plantWindow(); }
    QString cell(int row, int column) { return plantWindow().table().item(row, column)->text(); }

    QString plantFile(const QByteArray& json)
    {
        for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"}) {
            const QString to = tmp->filePath(QString::fromLatin1(name));
            if (!QFile::exists(to))
                QFile::copy(kExamples + u'/' + QString::fromLatin1(name), to);
        }
        const QString path = tmp->filePath(QStringLiteral("plant.json"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(json) != json.size())
            return {};
        return path;
    }

    // Every running write's next tick at once, until `until` or the end.
    bool drive(const std::function<bool()>& until = {})
    {
        PlantWrite* plant = plantWindow().plant();
        for (int guard = 0; guard < 20000; ++guard) {
            if (!plant->running() || (until && until()))
                return true;
            for (int i = 0; i < plant->size(); ++i)
                if (TransferEngine* e = plant->engine(i); e && e->link().tcp().socket()->bytesToWrite() == 0)
                    e->tickNow();
            QTest::qWait(1);
        }
        return false;
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

    // The item sits with the writes, the check stays last; the window shows
    // one row a controller and the results once the writes are over.
    void writesThePlant()
    {
        QAction* item = window->action(QStringLiteral("MnuWritePlant"));
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("&Записать установку…"));
        const QList<QAction*> items = window->menu(QStringLiteral("MnuOstrel"))->actions();
        QVERIFY(items.indexOf(item) == items.indexOf(window->action(QStringLiteral("MnuAllSaveOstrelSCADA"))) + 1);
        QCOMPARE(items.last()->text(), QStringLiteral("&Проверить проект"));

        ByteSink a, b;
        QVERIFY(a.listenTcp() && b.listenTcp());
        ui->fileAnswers << plantFile(QStringLiteral(R"({"controllers": [
            {"name": "Котёл 1", "project": "boiler.prt", "tcp": "127.0.0.1:%1", "write": "scheme"},
            {"name": "Котёл 2", "project": "boiler.prt", "tcp": "127.0.0.1:%2", "controller": 2, "write": "pages"},
            {"name": "Отказ", "project": "boiler.prt", "tcp": "127.0.0.1:%3", "write": "scheme"}]})")
                                         .arg(a.tcpPort())
                                         .arg(b.tcpPort())
                                         .arg(closedPort())
                                         .toUtf8());
        item->trigger();
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
        QVERIFY(plantWindow().isVisible());
        QCOMPARE(plantWindow().windowTitle(), QStringLiteral("Запись установки"));
        QVERIFY(!plantWindow().parentWidget());
        QVERIFY(plantWindow().width() <= 1280 && plantWindow().height() <= 1024);
        QCOMPARE(plantWindow().table().rowCount(), 3);
        QCOMPARE(cell(0, PlantWindow::Name), QStringLiteral("Котёл 1"));
        QCOMPARE(cell(1, PlantWindow::What), QStringLiteral("страниц: 8"));
        // Live: the part being sent and the time left while it runs.
        QVERIFY(drive([&] { return cell(1, PlantWindow::Part) == QStringLiteral("страница 2"); }));
        QCOMPARE(cell(1, PlantWindow::Result), QStringLiteral("идёт запись"));
        QVERIFY(!cell(1, PlantWindow::Left).isEmpty());
        QVERIFY(drive());

        QCOMPARE(cell(0, PlantWindow::Result), QStringLiteral("записан"));
        QCOMPARE(cell(1, PlantWindow::Result), QStringLiteral("записан"));
        QCOMPARE(cell(2, PlantWindow::Result), QStringLiteral("ошибка"));
        QTRY_COMPARE(cell(0, PlantWindow::Hash), sha256Hex(a.bytes));
        QTRY_COMPARE(cell(1, PlantWindow::Hash), sha256Hex(b.bytes));
        QVERIFY(plantWindow().table().item(2, PlantWindow::Result)->toolTip().contains(QStringLiteral("Ошибка порта!!!")));
        QVERIFY(!plantWindow().cancelButton().isEnabled());
        QCOMPARE(readJournal(journalPathFor(tmp->filePath(QStringLiteral("boiler.prt")))).records.size(), 1 + 8);
    }

    // "Отмена" during a page: that page goes out to its end, no further page
    // and no waiting controller is started.
    void cancelLetsThePageFinish()
    {
        ByteSink a;
        QVERIFY(a.listenTcp());
        ui->fileAnswers << plantFile(QStringLiteral(R"({"controllers": [
            {"name": "Котёл 1", "project": "boiler.prt", "tcp": "127.0.0.1:%1", "write": "all"},
            {"name": "Котёл 2", "project": "boiler.prt", "tcp": "127.0.0.1:%1", "controller": 2, "write": "all"}]})")
                                         .arg(a.tcpPort())
                                         .toUtf8());
        window->action(QStringLiteral("MnuWritePlant"))->trigger();
        PlantWrite* plant = plantWindow().plant();
        QVERIFY(plant);
        // The same link: the second waits for the first.
        QVERIFY(drive([&] { return plant->progress(0).currentPart() == QStringLiteral("page 1")
                               && plant->engine(0)->pageRunning(); }));
        QCOMPARE(cell(1, PlantWindow::Result), QStringLiteral("ожидает"));
        QMetaObject::invokeMethod(&plantWindow().cancelButton(), "click");
        QCOMPARE(cell(1, PlantWindow::Result), QStringLiteral("отменён"));
        QVERIFY(drive());
        QCOMPARE(plant->progress(0).written, (QList<int>{-1, 0}));
        QCOMPARE(cell(0, PlantWindow::Result), QStringLiteral("отменён"));
        QCOMPARE(plant->progress(1).bytes, 0);
    }

    void plantFileRefused()
    {
        ui->fileAnswers << plantFile(R"({"controllers": [{"name": "Котёл 1", "project": "boiler.prt",
            "tcp": "127.0.0.1:5020", "write": "scheme", "baud": 9600}]})");
        window->action(QStringLiteral("MnuWritePlant"))->trigger();
        QCOMPARE(ui->messages.size(), 1);
        QVERIFY2(ui->messages.first().text.endsWith(QStringLiteral("Котёл 1: unknown key \"baud\"")),
                 qPrintable(ui->messages.first().text));
        QVERIFY(!plantWindow().isVisible());
    }
};

QTEST_MAIN(PlantWindowTest)
#include "test_plant_window.moc"
