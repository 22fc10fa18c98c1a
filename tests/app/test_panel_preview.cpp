// "Просмотр панели" driven as the user does: F5 in SCADA mode opens it beside
// the main window; it shows what ostrel-panel shows for the same write
// (ostrel-cli write-pages --dump into the panel's session and view) and what
// `render-page --panel` saves, pixel for pixel; a drag on the canvas and a
// page switch show in it; a page that cannot be encoded shows the message.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "display/panel_preview.h"
#include "display/ui/panel_preview_window.h"
#include "display/ui/preview_image_view.h"
#include "panel/panel_session.h"
#include "panel/ui/panel_view.h"
#include "panel/ui/panel_window.h"
#include "scada/ui/page_canvas.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);
const QString kFullDir = QStringLiteral(OSTREL_TEST_DATA "/full");
const QDateTime kClock(QDate(2026, 12, 10), QTime(10, 15));
const QString kClockArg = QStringLiteral("2026-12-10T10:15");

// Runs ostrel-cli; its standard error on failure.
QString runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(OSTREL_CLI), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString::fromUtf8(p.readAllStandardError()) + QStringLiteral(" (exit %1)").arg(p.exitCode());
    return {};
}

} // namespace

class PanelPreviewTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;

    PanelPreviewWindow& preview() { return app->panelPreviewWindow(); }

    // The files of `folder` copied into the temporary folder; the project's path.
    QString copyProject(const QString& folder, const QString& project, const QStringList& files)
    {
        for (const QString& name : files)
            if (!QFile::copy(folder + u'/' + name, tmp->filePath(name)))
                return {};
        return tmp->filePath(project);
    }

    void openInScada(const QString& path)
    {
        QVERIFY(!path.isEmpty());
        QVERIFY(app->openProjectFile(path));
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
        window->action(QStringLiteral("MnuSCADA"))->trigger();
    }

    void openPreview()
    {
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key_F5);
        QTRY_VERIFY(preview().isVisible());
        app->panelPreview().setClockTime(kClock);
        QTRY_VERIFY(!app->panelPreview().pending());
    }

    QImage shown() { return preview().view()->image(); }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        window = std::make_unique<MainWindow>(*ws, *ui);
        app = std::make_unique<AppController>(*ws, *ui, *window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup()
    {
        window->close();
        app.reset();
        window.reset();
    }

    // The last item of "&SCADA", after a separator; F5 opens the window in
    // SCADA mode only; it has no parent and leaves the main window enabled.
    void menuItemAndShortcut()
    {
        QMenu* scada = window->menu(QStringLiteral("MnuSCADA1"));
        const QList<QAction*> items = scada->actions();
        QAction* item = window->scadaActions().preview;
        QCOMPARE(items.last(), item);
        QVERIFY(items[items.size() - 2]->isSeparator());
        QCOMPARE(item->text(), QStringLiteral("&Просмотр на панели"));
        QCOMPARE(item->shortcut(), QKeySequence(Qt::Key_F5));

        const QString path = copyProject(kExamples, QStringLiteral("boiler.prt"),
                                         {QStringLiteral("boiler.prt"), QStringLiteral("boiler.net"),
                                          QStringLiteral("boiler.gif")});
        QVERIFY(app->openProjectFile(path));
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key_F5); // scheme mode: nothing
        QTest::qWait(50);
        QVERIFY(!preview().isVisible());
        window->action(QStringLiteral("MnuSCADA"))->trigger();
        openPreview();
        QCOMPARE(preview().windowTitle(), QStringLiteral("Просмотр панели"));
        QVERIFY(!preview().parentWidget());
        QVERIFY(window->isEnabled());
        QVERIFY(preview().showsImage());
        const QSize size = preview().frameGeometry().size();
        QVERIFY2(size.width() <= 1280 && size.height() <= 1024, qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        // "Масштаб" 2:1 doubles every pixel.
        preview().findChild<QComboBox*>(QStringLiteral("previewScale"))->setCurrentIndex(1);
        const QImage twice = preview().view()->rendered();
        QCOMPARE(twice.size(), QSize(1600, 960));
        QCOMPARE(twice.pixel(2 * 390 + 1, 2 * 140 + 1), shown().pixel(390, 140));
        QCOMPARE(twice.scaled(800, 480), shown().convertToFormat(twice.format()));
    }

    void sameAsThePanel_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("project");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("touchCells");
        QTest::newRow("example, page 1") << kExamples << "boiler.prt" << 1 << false;
        QTest::newRow("full, page 8, touch cells") << kFullDir << "full.prt" << 8 << true;
    }

    // The same write: ostrel-cli's dump into the panel's session and view,
    // with the same values file; and render-page --panel.
    void sameAsThePanel()
    {
        QFETCH(QString, folder);
        QFETCH(QString, project);
        QFETCH(int, page);
        QFETCH(bool, touchCells);
        const QString path = copyProject(folder, project, {project, QStringLiteral("boiler.net"), QStringLiteral("boiler.gif")});
        const QString values = tmp->filePath(QFileInfo(project).completeBaseName() + QStringLiteral("-values.json"));
        QVERIFY(QFile::copy(kExamples + QStringLiteral("/boiler-values.json"), values));
        openInScada(path);
        window->selectPage(page - 1);
        openPreview();
        preview().findChild<QCheckBox*>(QStringLiteral("previewTouchCells"))->setChecked(touchCells);
        QVERIFY(preview().showsImage());
        // The values file beside the project was read when it was opened.
        QCOMPARE(app->panelPreview().values().values().outputsOf(1), (std::vector<double>{72.5, 48.3, 420}));
        const QImage inPreview = shown();

        const QString dump = tmp->filePath(QStringLiteral("page.bin"));
        const QString png = tmp->filePath(QStringLiteral("page.png"));
        QCOMPARE(runCli({QStringLiteral("write-pages"), path, QStringLiteral("--page"), QString::number(page),
                         QStringLiteral("--dump"), dump}),
                 QString());
        QFile f(dump);
        QVERIFY(f.open(QIODevice::ReadOnly));
        SessionOptions so;
        so.version = ws->version_code;
        so.call_flags = ws->alg.call_flags;
        so.idle_ms = 0;
        PanelSession session(so);
        const int channel = session.openChannel(dump, false);
        session.feed(channel, f.readAll());
        session.closeAll();
        BlockValues panelValues;
        QString error;
        QVERIFY(loadBlockValues(values, panelValues, error));
        PanelWindow panel(session, panelValues, dump);
        panel.view()->setClockTime(kClock);
        panel.view()->setTouchCells(touchCells);
        QCOMPARE(panel.shownPage(), page - 1);
        QCOMPARE(inPreview, panel.view()->composed());

        QCOMPARE(runCli({QStringLiteral("render-page"), path, QStringLiteral("--page"), QString::number(page),
                         QStringLiteral("--png"), png, QStringLiteral("--panel"), QStringLiteral("--values"), values,
                         QStringLiteral("--clock"), kClockArg}),
                 QString());
        if (!touchCells)
            QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), inPreview);
    }

    // A drag on the canvas and a page switch show in the open preview.
    void followsTheEditor()
    {
        openInScada(copyProject(kExamples, QStringLiteral("boiler.prt"),
                                {QStringLiteral("boiler.prt"), QStringLiteral("boiler.net"), QStringLiteral("boiler.gif")}));
        window->scadaActions().lock->setChecked(false);
        ws->pages.grid_step = ws->pages.grid_step_copy = 1;
        openPreview();
        const QImage before = shown();
        const int updates = app->panelPreview().updates();
        // Parameter 1 of page 1 stands at (380, 130).
        QCOMPARE(QPoint(ws->pages.parametr[0][1].x, ws->pages.parametr[0][1].y), QPoint(380, 130));
        QWidget* view = app->scadaEditor().canvas(0).viewport();
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(385, 135));
        QTest::mouseMove(view, QPoint(305, 415));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(305, 415));
        QCOMPARE(QPoint(ws->pages.parametr[0][1].x, ws->pages.parametr[0][1].y), QPoint(300, 410));
        QTRY_VERIFY(app->panelPreview().updates() > updates);
        QVERIFY(shown() != before);
        QVERIFY(shown().pixel(302, 412) != before.pixel(302, 412));

        // Ctrl+Z takes the move back: the preview shows the page as before.
        const int moved = app->panelPreview().updates();
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(QPoint(ws->pages.parametr[0][1].x, ws->pages.parametr[0][1].y), QPoint(380, 130));
        QTRY_VERIFY(app->panelPreview().updates() > moved);
        QTRY_VERIFY(!app->panelPreview().pending());
        QCOMPARE(shown(), before);

        window->selectPage(1);
        QTRY_COMPARE(app->panelPreview().page(), 1);
        QVERIFY(preview().findChild<QLabel*>(QStringLiteral("previewStatus"))->text().startsWith(QStringLiteral("Страница 2")));
    }

    // A background too detailed for a band: the message instead of the page;
    // back to the fill colour, the page again.
    void undecodablePageShowsTheMessage()
    {
        openInScada(copyProject(kExamples, QStringLiteral("boiler.prt"),
                                {QStringLiteral("boiler.prt"), QStringLiteral("boiler.net"), QStringLiteral("boiler.gif")}));
        QImage noise(800, 480, QImage::Format_RGB32);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 800; ++x)
                noise.setPixel(x, y, qRgb((x * 37 + y * 91) % 256, (x * x + y) % 256, (x ^ y) % 256));
        const QString picture = tmp->filePath(QStringLiteral("noise.png"));
        QVERIFY(noise.save(picture));
        openPreview();
        ui->fileAnswers << picture;
        window->scadaActions().background->trigger();
        QTRY_VERIFY(!preview().showsImage());
        QCOMPARE(preview().shownMessage(), QStringLiteral("Не хватает памяти!"));
        QVERIFY(ui->messages.isEmpty()); // the preview shows it; nothing pops up

        ws->pages.background_kind[0] = 0;
        PageChanges back;
        back.background = true;
        back.page = 0;
        app->scadaEditor().apply(back);
        QTRY_VERIFY(preview().showsImage());
    }

    // The values table edits what the live elements show; "Сохранить
    // значения" writes NAME-values.json beside the project, "Загрузить
    // значения" reads it back.
    void valuesInTheWindow()
    {
        const QString path = copyProject(kExamples, QStringLiteral("boiler.prt"),
                                         {QStringLiteral("boiler.prt"), QStringLiteral("boiler.net"),
                                          QStringLiteral("boiler.gif")});
        openInScada(path);
        openPreview();
        auto* table = preview().findChild<QTableView*>(QStringLiteral("valuesTable"));
        BlockValuesModel& model = app->panelPreview().values();
        QCOMPARE(table->model(), &model);
        QVERIFY(model.rowOfBlock(1) >= 0); // the scheme's blocks, without values yet
        const QImage before = shown();
        QVERIFY(model.setData(model.index(model.rowOfBlock(1), BlockValuesModel::OutputsColumn),
                              QStringLiteral("12.5; 3")));
        QVERIFY(shown() != before);
        QTest::mouseClick(preview().findChild<QPushButton*>(QStringLiteral("saveValues")), Qt::LeftButton);
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
        const QString file = tmp->filePath(QStringLiteral("boiler-values.json"));
        BlockValues saved;
        QString error;
        QVERIFY2(loadBlockValues(file, saved, error), qPrintable(error));
        QCOMPARE(saved.outputsOf(1), (std::vector<double>{12.5, 3}));

        QVERIFY(model.setData(model.index(model.rowOfBlock(1), BlockValuesModel::OutputsColumn), QString()));
        QTest::mouseClick(preview().findChild<QPushButton*>(QStringLiteral("loadValues")), Qt::LeftButton);
        QCOMPARE(model.values().outputsOf(1), (std::vector<double>{12.5, 3}));

        // A broken file is refused with its reason; the table keeps its values.
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("{\"1\": [1, \"x\"]}");
        broken.close();
        QTest::mouseClick(preview().findChild<QPushButton*>(QStringLiteral("loadValues")), Qt::LeftButton);
        QCOMPARE(ui->messages.size(), 1);
        QVERIFY2(ui->messages[0].text.contains(QStringLiteral("not a number")), qPrintable(ui->messages[0].text));
        QCOMPARE(model.values().outputsOf(1), (std::vector<double>{12.5, 3}));
    }
};

QTEST_MAIN(PanelPreviewTest)
#include "test_panel_preview.moc"
