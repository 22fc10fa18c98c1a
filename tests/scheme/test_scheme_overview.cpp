// Where the scheme overview places pictures and block numbers, and which
// picture a click hits.
#include "scheme/ui/scheme_overview.h"
#include "workspace/workspace.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace ostrel;

namespace {

const SchemeOverview::Picture* findPicture(const SchemeOverview& v, int k)
{
    for (const auto& p : v.pictures())
        if (p.k == k)
            return &p;
    return nullptr;
}

const SchemeOverview::Label* findLabel(const SchemeOverview& v, const QString& text)
{
    for (const auto& l : v.labels())
        if (l.text == text)
            return &l;
    return nullptr;
}

} // namespace

class TestSchemeOverview : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<SchemeOverview> view;

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        // Blocks 1, 7, 12, 76 in the grid; 77 has no cell; an unknown type number
        // still gets a picture.
        ws->blocks.block_type[1] = 9;
        ws->blocks.block_type[7] = 26;
        ws->blocks.block_type[12] = 26;
        ws->blocks.block_type[40] = 77;
        ws->blocks.block_type[76] = 45;
        ws->blocks.block_type[77] = 10;
        ws->blocks.setFixedBlockTypes(); // as the import leaves them
        view = std::make_unique<SchemeOverview>(ws->blocks, ws->catalog);
        view->resize(810, 525);
        view->redraw();
    }
    void cleanup()
    {
        view.reset();
        ws.reset();
    }

    // The overview only draws: the fixed blocks show the types the block
    // table gives them, and a redraw writes nothing into the table.
    void fixedBlocksComeFromTheModel()
    {
        for (auto [k, type] : {std::pair{1, 43}, {2, 41}, {3, 42}}) {
            const auto* p = findPicture(*view, k);
            QVERIFY(p);
            QCOMPARE(p->type, type);
        }
        ws->blocks.block_type[98] = 0;
        view->redraw();
        QCOMPARE(ws->blocks.block_type[98], 0);
        QCOMPARE(findPicture(*view, 2)->type, 0);
        // The table's rule puts the fixed types back.
        ws->blocks.setFixedBlockTypes();
        QCOMPARE(ws->blocks.block_type[97], 43);
        QCOMPARE(ws->blocks.block_type[98], 41);
        QCOMPARE(ws->blocks.block_type[99], 42);
    }

    void picturePositions_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("SCADA") << 1 << QPoint(20, 20);
        QTest::newRow("graph") << 2 << QPoint(20, 80);
        QTest::newRow("journal") << 3 << QPoint(20, 140);
        // k = 7(c-1) + r: block 1 is k 9 = column 2, row 2.
        QTest::newRow("block 1") << 9 << QPoint(140, 140);
        QTest::newRow("block 7, top of column 3") << 15 << QPoint(200, 80);
        QTest::newRow("block 12") << 20 << QPoint(200, 380);
        QTest::newRow("block 76, last cell") << 84 << QPoint(740, 440);
    }
    void picturePositions()
    {
        QFETCH(int, k);
        QFETCH(QPoint, topLeft);
        const auto* p = findPicture(*view, k);
        QVERIFY(p);
        QCOMPARE(p->rect.topLeft(), topLeft);
        QVERIFY(p->rect.width() > 0 && p->rect.height() > 0);
        QCOMPARE(view->pictureAt(p->rect.center()), k);
    }

    void onlyTypedBlocksInTheGridHavePictures()
    {
        QList<int> ks;
        for (const auto& p : view->pictures())
            ks << p.k;
        // Block 77 (k 85) is beyond the grid; pictures 4..8 never exist.
        QCOMPARE(ks, (QList<int>{1, 2, 3, 9, 15, 20, 48, 84}));
        QCOMPARE(view->pictureAt(QPoint(140 + 5, 200 + 5)), 0); // block 2: empty cell
        QCOMPARE(view->pictureAt(QPoint(80 + 5, 80 + 5)), 0);   // cell 1 of the grid stays empty
    }

    void blockNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("pos");
        QTest::newRow("block 1 above its picture") << "01" << QPoint(150, 127);
        QTest::newRow("empty block 2 in the cell") << "02" << QPoint(150, 210);
        QTest::newRow("block 7") << "07" << QPoint(210, 67);
        QTest::newRow("block 12") << "12" << QPoint(210, 367);
        QTest::newRow("empty block 13") << "13" << QPoint(210, 450);
        QTest::newRow("block 76") << "76" << QPoint(750, 427);
    }
    void blockNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QPoint, pos);
        const auto* l = findLabel(*view, text);
        QVERIFY(l);
        QCOMPARE(l->pos, pos);
        QVERIFY(l->blue);
    }

    void captionsAndNumberCount()
    {
        int numbers = 0;
        for (const auto& l : view->labels())
            numbers += l.blue ? 1 : 0;
        QCOMPARE(numbers, 76); // one per cell 9..84
        QCOMPARE(findLabel(*view, "SCADA")->pos, QPoint(22, 62));
        QCOMPARE(findLabel(*view, "График")->pos, QPoint(22, 122));
        QCOMPARE(findLabel(*view, "Журнал")->pos, QPoint(20, 182));
        QVERIFY(!findLabel(*view, "77"));
    }

    void redrawFollowsTheModel()
    {
        ws->blocks.block_type[7] = 0;
        ws->blocks.block_type[2] = 10;
        view->redraw();
        QVERIFY(!findPicture(*view, 15));
        QCOMPARE(findLabel(*view, "07")->pos, QPoint(210, 90));
        QVERIFY(findPicture(*view, 10));
        QCOMPARE(findLabel(*view, "02")->pos, QPoint(150, 187));

        view->clear();
        QVERIFY(view->pictures().empty());
        QCOMPARE(view->pictureAt(QPoint(25, 25)), 0);
    }

    void numbersArePureBlue()
    {
        const QImage img = view->grab().toImage();
        const auto* l = findLabel(*view, "12");
        bool blue = false;
        for (int y = l->pos.y(); y < l->pos.y() + 14 && !blue; ++y)
            for (int x = l->pos.x(); x < l->pos.x() + 16 && !blue; ++x)
                blue = img.pixelColor(x, y) == QColor(0, 0, 255);
        QVERIFY(blue);
    }

    void clickReportsPictureAndButton_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left on block 12") << 20 << Qt::LeftButton;
        QTest::newRow("right on block 76") << 84 << Qt::RightButton;
        QTest::newRow("left on SCADA") << 1 << Qt::LeftButton;
    }
    void clickReportsPictureAndButton()
    {
        QFETCH(int, k);
        QFETCH(Qt::MouseButton, button);
        QSignalSpy spy(view.get(), &SchemeOverview::blockClicked);
        QTest::mouseClick(view.get(), button, {}, findPicture(*view, k)->rect.center());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), k);
        QCOMPARE(spy.at(0).at(1).value<Qt::MouseButton>(), button);

        spy.clear();
        QTest::mouseClick(view.get(), button, {}, QPoint(5, 5));
        QCOMPARE(spy.count(), 0);
    }
};

QTEST_MAIN(TestSchemeOverview)
#include "test_scheme_overview.moc"
