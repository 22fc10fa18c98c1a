// The panel window offscreen: the page switcher offers the pages received
// so far and shows the last one, the view draws the received page with its
// live elements, "Сенсорные зоны" outlines the touch cells, the view scales
// to the window keeping the page's proportions, and the packet log lists
// every packet under Russian column titles.
#include "display/live_layer.h"
#include "panel/ui/packet_log_model.h"
#include "panel/panel_session.h"
#include "panel/ui/panel_view.h"
#include "panel/ui/panel_window.h"
#include "panel_streams.h"
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

// The image without the clock, whose minutes may turn between two drawings.
QImage withoutClock(QImage img, const PageTables& t)
{
    QPainter p(&img);
    p.fillRect(clockRect(clockRecord(t.clock)).adjusted(-2, -2, 60, 2), Qt::black);
    return img;
}

} // namespace

class PanelWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    QByteArray stream; // scheme, page 1, page 2
    BlockValues values;

    SessionOptions options() const
    {
        SessionOptions o;
        o.version = ws->version_code;
        o.call_flags = ws->alg.call_flags;
        o.idle_ms = 0;
        return o;
    }

private slots:
    void initTestCase()
    {
        ws = loadExample();
        QVERIFY(ws);
        ElementPictures pictures;
        PagePainter painter(pictures);
        const SentPage page1 = sentPage(*ws, painter, 0), page2 = sentPage(*ws, painter, 1);
        QVERIFY(page1.ok && page2.ok);
        stream = schemeStream(*ws) + page1.stream() + page2.stream();
        values.setOutputs(1, {61.5, 47.0, 300.0});
        values.setOutputs(3, {1.0, 1.0});
    }

    void pagesAsTheyArrive_data()
    {
        QTest::addColumn<bool>("before"); // the stream arrives before the window is made
        QTest::newRow("window first") << false;
        QTest::newRow("stream first") << true;
    }

    void pagesAsTheyArrive()
    {
        QFETCH(bool, before);
        PanelSession session(options());
        const int ch = session.openChannel(QStringLiteral("test"), false);
        if (before)
            session.feed(ch, stream);
        PanelWindow w(session, values, QStringLiteral("TCP порт 5020"));
        w.show();
        QCOMPARE(w.shownPage(), before ? 1 : -1);
        QVERIFY(!w.view()->hasPage() || before);
        if (!before)
            session.feed(ch, stream);
        session.closeChannel(ch);

        // The last page received is shown; only received pages can be chosen.
        QCOMPARE(w.shownPage(), 1);
        for (int i = 1; i <= 8; ++i) {
            auto* b = w.findChild<QPushButton*>(QStringLiteral("pageButton%1").arg(i));
            QVERIFY(b);
            QCOMPARE(b->isEnabled(), i <= 2);
            QCOMPARE(b->isChecked(), i == 2);
        }
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("pageButton1")), Qt::LeftButton);
        QCOMPARE(w.shownPage(), 0);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("pageButton5")), Qt::LeftButton);
        QCOMPARE(w.shownPage(), 0);

        const DecodedPage& page = *session.page(0);
        const QImage expected = composePanelPage(pageImage(page), page.tables, values, LiveOptions());
        QCOMPARE(withoutClock(w.view()->composed(), page.tables), withoutClock(expected, page.tables));

        const QString scheme = w.findChild<QLabel*>(QStringLiteral("schemeLabel"))->text();
        QCOMPARE(scheme, QStringLiteral("Схема: контроллер 1, версия 5, блоков 18, параметров 447, ошибок 0"));
        QVERIFY(w.findChild<QLabel*>(QStringLiteral("statusLabel"))->text().startsWith(
            QStringLiteral("Приём: TCP порт 5020    Записей: 3    Пакетов: 42")));

        auto* log = w.findChild<QTableView*>(QStringLiteral("packetLog"));
        QVERIFY(log);
        QCOMPARE(log->model()->rowCount(), 42);
        QStringList titles;
        for (int c = 0; c < log->model()->columnCount(); ++c)
            titles << log->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(titles, QStringList({"Время", "Интервал, мс", "Канал", "№", "Пакет", "Контроллер", "Длина",
                                      "Проверка", "Замечания"}));
        QCOMPARE(log->model()->index(41, PacketLogModel::Packet).data().toString(), QStringLiteral("D7"));
        QCOMPARE(log->model()->index(2, PacketLogModel::Check).data().toString(), QStringLiteral("CRC ok"));
    }

    // Page 1 has two go-to targets on the bottom row: their cells are
    // outlined only while the box is ticked.
    void touchCellsOnDemand()
    {
        PanelSession session(options());
        session.feed(session.openChannel(QStringLiteral("test"), false), stream);
        PanelWindow w(session, values, QStringLiteral("test"));
        w.showPage(0);
        auto* box = w.findChild<QCheckBox*>(QStringLiteral("touchCells"));
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Сенсорные зоны"));
        const QRect cell = touchCellRect(session.page(0)->tables.go_block[0].touch_cell);
        QVERIFY(!cell.isEmpty());
        const QPoint edge(cell.left() + 1, cell.center().y());
        const QRgb outline = qRgb(255, 0, 255);
        QVERIFY(w.view()->composed().pixel(edge) != outline);
        box->click();
        QVERIFY(w.view()->touchCells());
        QCOMPARE(w.view()->composed().pixel(edge), outline);
        box->click();
        QVERIFY(w.view()->composed().pixel(edge) != outline);
    }

    // 1:1 the view is the page's size; fitted, it follows the window and the
    // page keeps its proportions inside it.
    void fitToWindow()
    {
        PanelSession session(options());
        session.feed(session.openChannel(QStringLiteral("test"), false), stream);
        PanelWindow w(session, values, QStringLiteral("test"));
        w.resize(700, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.view()->size(), QSize(800, 480));
        QCOMPARE(w.view()->pageRect(), QRect(0, 0, 800, 480));
        auto* fit = w.findChild<QCheckBox*>(QStringLiteral("fitToWindow"));
        QCOMPARE(fit->text(), QStringLiteral("По размеру окна"));
        fit->click();
        QTRY_VERIFY(w.view()->width() < 700);
        const QRect r = w.view()->pageRect();
        QVERIFY(r.width() < 800);
        QVERIFY(qAbs(r.width() * 480 - r.height() * 800) <= 800);
        QVERIFY(w.view()->rect().contains(r));
        fit->click();
        QTRY_COMPARE(w.view()->size(), QSize(800, 480));
    }
};

QTEST_MAIN(PanelWindowTest)
#include "test_panel_window.moc"
