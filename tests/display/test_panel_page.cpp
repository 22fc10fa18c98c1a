// The page as the panel shows it, composed without a link: equal pixel for
// pixel to what the virtual controller's session makes of the same write
// (the example's pages and a page with every slot in use, with values and
// touch cells); an encoding error comes back as the write's message; the
// quantisation's visible loss; the sample values' table and file.
#include "display/image_difference.h"
#include "display/panel_page.h"
#include "display/panel_preview.h"
#include "display/values_table.h"
#include "link/sequences.h"
#include "panel/panel_session.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "workspace/workspace.h"
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

const QString kExample = QStringLiteral(OSTREL_EXAMPLES "/boiler.prt");
const QString kFull = QStringLiteral(OSTREL_TEST_DATA "/full/full.prt");
const QDateTime kClock(QDate(2026, 12, 10), QTime(10, 15));

std::unique_ptr<Workspace> load(const QString& path)
{
    auto ws = std::make_unique<Workspace>();
    QString error;
    if (!loadProjectForCli(*ws, path, &error)) {
        qWarning() << path << error;
        return nullptr;
    }
    return ws;
}

// The preview over a workspace, on page p.
struct Preview {
    ElementPictures pictures;
    PagePainter painter{pictures};
    int page = 0;
    QString folder;
    QString valuesFile;
    PanelPreview preview;

    Preview(Workspace& ws, QString projectFolder)
        : folder(std::move(projectFolder)),
          preview(PanelPreviewSource{ws.pages, painter, [this] { return page; },
                                     [&ws] { return int(ws.version_code); },
                                     [&ws] { return int(ws.settings.controller_number); },
                                     [this] { return folder; }, [this] { return valuesFile; }})
    {
        preview.setClockTime(kClock);
    }
};

// Block values the full project's elements show: outputs and setpoints of
// most of its blocks, some of them too wide for their fields.
BlockValues fullValues()
{
    BlockValues v;
    for (int b = 1; b <= 15; ++b) {
        v.setOutputs(b, {b * 1.25, b % 2 == 0 ? 1.0 : 0.0, 1234.5, -7});
        v.setSetpoints(b, {b * 10.0, 99999});
    }
    v.setOutputs(97, {1, 0, 1});
    return v;
}

} // namespace

class PanelPageTest : public QObject {
    Q_OBJECT

private slots:
    void equalsWhatThePanelShows_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("touchCells");
        QTest::addColumn<bool>("bound"); // elements on the page show values
        QTest::newRow("example, page 1") << kExample << 0 << false << true;
        QTest::newRow("example, page 1, touch cells") << kExample << 0 << true << true;
        QTest::newRow("example, page 2") << kExample << 1 << false << false;
        QTest::newRow("full, page 1") << kFull << 0 << false << true;
        QTest::newRow("full, page 8, touch cells") << kFull << 7 << true << true;
    }

    // The page written as a page write sends it, received by the panel's
    // session, drawn as its view draws it; against the preview.
    void equalsWhatThePanelShows()
    {
        QFETCH(QString, project);
        QFETCH(int, page);
        QFETCH(bool, touchCells);
        QFETCH(bool, bound);
        auto ws = load(project);
        QVERIFY(ws);
        const QString folder = QFileInfo(project).absolutePath();
        BlockValues values = fullValues();
        if (project == kExample) {
            QString error;
            QVERIFY2(loadBlockValues(QStringLiteral(OSTREL_EXAMPLES "/boiler-values.json"), values, error),
                     qPrintable(error));
        }

        ElementPictures pictures;
        PagePainter painter(pictures);
        auto ts = std::make_unique<TransferState>();
        QVERIFY(preparePage(painter, ws->pages, page, ws->version_code, folder, *ts).ok);
        SessionOptions so;
        so.version = ws->version_code;
        so.call_flags = ws->alg.call_flags;
        so.idle_ms = 0;
        PanelSession session(so);
        const int channel = session.openChannel(QStringLiteral("test"), false);
        session.feed(channel, pageWireStream(*ts, uint8_t(ws->settings.controller_number), page));
        session.closeAll();
        QVERIFY2(!session.hadErrors(), qPrintable(session.problemLines().join(u'\n')));
        const DecodedPage* received = session.page(page);
        QVERIFY(received);
        LiveOptions live;
        live.touch_cells = touchCells;
        live.now = kClock;
        const QImage panel = composePanelPage(pageImage(*received), received->tables, values, live);

        Preview p(*ws, folder);
        p.page = page;
        p.preview.values().setValues(values);
        p.preview.setTouchCells(touchCells);
        p.preview.refresh();
        QVERIFY2(p.preview.result().ok, qPrintable(p.preview.result().error.text));
        QCOMPARE(p.preview.image().size(), QSize(800, 480));
        QCOMPARE(p.preview.image(), panel);
        // The live layer is there: the values change the picture.
        p.preview.values().setValues({});
        QCOMPARE(p.preview.image() != panel, bound);
    }

    void encodingErrorGivesTheMessage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("noise");
        QTest::addColumn<QString>("message");
        QTest::newRow("detailed picture") << QSize(800, 480) << true << kNotEnoughMemory;
        QTest::newRow("larger than the page") << QSize(801, 480) << false << kPageTooLarge;
    }

    // A background the write cannot send: no image, the write's message.
    void encodingErrorGivesTheMessage()
    {
        QFETCH(QSize, size);
        QFETCH(bool, noise);
        QFETCH(QString, message);
        QTemporaryDir tmp;
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QRandomGenerator random(7);
        if (noise)
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    picture.setPixel(x, y, random.generate() | 0xFF000000u);
        QVERIFY(picture.save(tmp.filePath(QStringLiteral("noise.png"))));
        auto ws = load(kExample);
        QVERIFY(ws);
        ws->pages.background_kind[0] = 1;
        ws->pages.shortRef(0) = QStringLiteral("\\noise.png");
        ws->pages.fullPath(0) = tmp.filePath(QStringLiteral("noise.png"));

        Preview p(*ws, tmp.path());
        QSignalSpy updated(&p.preview, &PanelPreview::updated);
        p.preview.refresh();
        QCOMPARE(updated.size(), 1);
        QVERIFY(!p.preview.result().ok);
        QVERIFY(p.preview.image().isNull());
        QCOMPARE(p.preview.result().error.text, message);
    }

    // A fill colour between two bins differs visibly everywhere; one at the
    // middle of its bins not at all.
    void differencesMarkTheQuantisationLoss_data()
    {
        QTest::addColumn<int>("fill");
        QTest::addColumn<bool>("differs");
        QTest::newRow("bin middles") << (levelMiddle(0) | (levelMiddle(7) << 8) | (levelMiddle(15) << 16)) << false;
        QTest::newRow("between bins") << 0x1D1D1D << true;
    }

    void differencesMarkTheQuantisationLoss()
    {
        QFETCH(int, fill);
        QFETCH(bool, differs);
        auto ws = std::make_unique<Workspace>();
        ws->pages.background_kind[2] = 0;
        ws->pages.fill_color[2] = fill;
        Preview p(*ws, QString());
        p.page = 2;
        p.preview.setDifferences(true);
        p.preview.refresh();
        QVERIFY(p.preview.result().ok);
        const ImageDifference& d = p.preview.difference();
        QCOMPARE(d.pixels, differs ? qint64(800 * 480) : qint64(0));
        QCOMPARE(d.mask.pixel(400, 240), differs ? qRgb(255, 0, 0) : qRgba(0, 0, 0, 0));
        p.preview.setDifferences(false);
        QCOMPARE(p.preview.difference().pixels, 0);
        // Against an image of another size nothing is compared.
        QCOMPARE(visibleDifference(QImage(10, 10, QImage::Format_RGB32), QImage(10, 11, QImage::Format_RGB32)).pixels,
                 0);
    }

    // Edits come in bursts: one update for all of them, soon after; none
    // while the preview is not shown, one when it is shown again.
    void updatesCoalesce()
    {
        auto ws = std::make_unique<Workspace>();
        Preview p(*ws, QString());
        QSignalSpy updated(&p.preview, &PanelPreview::updated);
        p.preview.schedule();
        QTest::qWait(2 * PanelPreview::kUpdateDelayMs);
        QCOMPARE(updated.size(), 0);
        p.preview.setActive(true);
        QCOMPARE(updated.size(), 1);
        for (int i = 0; i < 5; ++i)
            p.preview.schedule();
        QVERIFY(p.preview.pending());
        QTRY_COMPARE(updated.size(), 2);
        QTest::qWait(2 * PanelPreview::kUpdateDelayMs);
        QCOMPARE(updated.size(), 2);
    }

    void valueListsInTheTable_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("shown");
        QTest::newRow("semicolons") << "72.5; 48.3; 420" << true << "72.5; 48.3; 420";
        QTest::newRow("blanks and commas") << " 1,5  -2 3e2 " << true << "1.5; -2; 300";
        QTest::newRow("empty") << "" << true << "";
        QTest::newRow("a word") << "1; abc" << false << "7";
        QTest::newRow("not finite") << "inf" << false << "7";
    }

    void valueListsInTheTable()
    {
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        QFETCH(QString, shown);
        BlockValuesModel model;
        model.setBlocks({{3, QStringLiteral("AI")}});
        BlockValues v;
        v.setOutputs(5, {7});
        model.setValues(v);
        QCOMPARE(model.rowCount(), 2); // the scheme's block 3 and block 5 of the values
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("3  AI"));
        QSignalSpy refused(&model, &BlockValuesModel::refused);
        QCOMPARE(model.setData(model.index(1, BlockValuesModel::OutputsColumn), typed), taken);
        QCOMPARE(refused.size(), taken ? 0 : 1);
        QCOMPARE(model.data(model.index(1, BlockValuesModel::OutputsColumn)).toString(), shown);
        QVERIFY(!model.setData(model.index(1, BlockValuesModel::BlockColumn), QStringLiteral("9")));
    }

    // Setpoints are kept beside outputs; the file written reads back the
    // same, and the example's file comes back as it was read.
    void valuesFileRoundTrip()
    {
        BlockValues example;
        QString error;
        QVERIFY(loadBlockValues(QStringLiteral(OSTREL_EXAMPLES "/boiler-values.json"), example, error));
        QCOMPARE(example.setpointsOf(7), std::vector<double>{80});
        BlockValuesModel model;
        model.setValues(example);
        QVERIFY(model.setData(model.index(model.rowOfBlock(1), BlockValuesModel::SetpointsColumn),
                              QStringLiteral("5; 6")));
        QCOMPARE(model.values().outputsOf(1), (std::vector<double>{72.5, 48.3, 420}));
        QCOMPARE(model.values().setpointsOf(1), (std::vector<double>{5, 6}));

        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("boiler-values.json"));
        QCOMPARE(saveBlockValues(path, model.values()), QString());
        BlockValues back;
        QVERIFY2(loadBlockValues(path, back, error), qPrintable(error));
        QVERIFY(back == model.values());
        // A folder where the file goes is refused and named.
        QVERIFY(!saveBlockValues(tmp.path(), back).isEmpty());
    }
};

QTEST_MAIN(PanelPageTest)
#include "test_panel_page.moc"
