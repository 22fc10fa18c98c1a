// The page painter and the element pictures: what the page image shows and
// where, the background rules, and the look of the live kinds.
#include "scada/element_pictures.h"
#include "scada/page_painter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <functional>
#include <memory>

using namespace ostrel;

namespace {

using Setup = std::function<void(ScadaPages&)>;

constexpr int32_t kFill = 0x00A000;             // green, as a record colour
const QRgb kFillRgb = qRgb(0x00, 0xA0, 0x00);

// The smallest rectangle holding every pixel that differs from `ground`.
QRect paintedArea(const QImage& img, QRgb ground)
{
    QRect area;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != ground)
                area |= QRect(x, y, 1, 1);
    return area;
}

bool savePicture(const QString& path, QSize size, QRgb ground, QRect square = {}, QRgb ink = 0)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(ground);
    for (int y = square.top(); y <= square.bottom(); ++y)
        for (int x = square.left(); x <= square.right(); ++x)
            img.setPixel(x, y, ink);
    return img.save(path);
}

// What a keyed picture looks like drawn by itself at `at` over the fill.
QImage alone(const QImage& keyed, QPoint at)
{
    QImage img(kPageWidth, kPageHeight, QImage::Format_RGB32);
    img.fill(kFillRgb);
    QPainter p(&img);
    p.drawImage(at, keyed);
    return img;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class PagePainterTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ElementPictures> pictures;
    std::unique_ptr<ScadaPages> pages;

    PagePaintResult paint(int p = 0, const QString& folder = {})
    {
        PagePainter painter(*pictures);
        return painter.paintPage(*pages, p, folder);
    }

private slots:
    void initTestCase() { pictures = std::make_unique<ElementPictures>(); }
    void init()
    {
        pages = std::make_unique<ScadaPages>();
        for (auto& c : pages->fill_color)
            c = kFill;
    }

    void pictureSizes_data()
    {
        QTest::addColumn<int>("kind");   // 0 button, 1 mechanism, 2 menu
        QTest::addColumn<int>("number");
        QTest::addColumn<QSize>("size");
        for (int t = 0; t <= 9; ++t)
            QTest::addRow("button %d", t) << 0 << t << QSize(40, 40);
        QTest::newRow("button 10") << 0 << 10 << QSize(105, 40);
        QTest::newRow("button 11") << 0 << 11 << QSize(105, 40);
        QTest::newRow("button 12") << 0 << 12 << QSize(33, 45);
        QTest::newRow("button 13") << 0 << 13 << QSize(60, 60);
        const QSize mech[23] = {{48, 48}, {48, 48}, {48, 48}, {48, 48}, {40, 40}, {40, 40}, {40, 40}, {40, 40},
                                {38, 60}, {60, 38}, {38, 60}, {60, 38}, {30, 48}, {48, 30}, {30, 48}, {48, 30},
                                {48, 18}, {48, 12}, {18, 51}, {18, 51}, {28, 28}, {28, 28}, {40, 40}};
        for (int m = 0; m < 23; ++m)
            QTest::addRow("mechanism %d", m) << 1 << m << mech[m];
        QTest::newRow("menu") << 2 << 0 << QSize(120, 40);
    }
    void pictureSizes()
    {
        QFETCH(int, kind);
        QFETCH(int, number);
        QFETCH(QSize, size);
        const QImage& img = kind == 0 ? pictures->button(number) : kind == 1 ? pictures->mechanism(number) : pictures->menu();
        const QImage& keyed = kind == 0 ? pictures->keyedButton(number)
            : kind == 1 ? pictures->keyedMechanism(number) : pictures->keyedMenu();
        QCOMPARE(img.size(), size);
        QCOMPARE(keyed.size(), size);
        QCOMPARE(kind == 0 ? ElementPictures::buttonSize(number)
                 : kind == 1 ? ElementPictures::mechanismSize(number) : ElementPictures::menuSize(), size);
        // White ground where transparent, something drawn on it; the keyed
        // copy is transparent exactly where the picture is white.
        int white = 0, drawn = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const bool isWhite = img.pixel(x, y) == qRgb(255, 255, 255);
                (isWhite ? white : drawn)++;
                QCOMPARE(qAlpha(keyed.pixel(x, y)) == 0, isWhite);
            }
        QVERIFY(white > 0);
        QVERIFY(drawn > size.width() * size.height() / 4);
    }

    void picturesAreDistinct()
    {
        for (int a = 0; a < ElementPictures::kButtonTypes; ++a)
            for (int b = a + 1; b < ElementPictures::kButtonTypes; ++b)
                QVERIFY2(pictures->button(a) != pictures->button(b), qPrintable(QStringLiteral("buttons %1 %2").arg(a).arg(b)));
        for (int a = 0; a < ElementPictures::kMechanisms; ++a)
            for (int b = a + 1; b < ElementPictures::kMechanisms; ++b)
                QVERIFY2(pictures->mechanism(a) != pictures->mechanism(b),
                         qPrintable(QStringLiteral("mechanisms %1 %2").arg(a).arg(b)));
        QVERIFY(pictures->button(14).isNull());
        QVERIFY(pictures->mechanism(-1).isNull());
    }

    void fillBackground()
    {
        pages->fill_color[3] = 0x563412;
        const PagePaintResult r = paint(3);
        QVERIFY(r.ok);
        QVERIFY(r.warnings.isEmpty());
        QCOMPARE(r.image.size(), QSize(800, 480));
        QCOMPARE(r.image.format(), QImage::Format_RGB32);
        QCOMPARE(paintedArea(r.image, qRgb(0x12, 0x34, 0x56)), QRect());
    }

    // One painter paints page after page into its buffer; an image the
    // caller kept from an earlier page stays as it was.
    void earlierImageIsKept()
    {
        PagePainter painter(*pictures);
        pages->fill_color[0] = 0x0000FF;
        pages->fill_color[1] = 0xFF0000;
        const PagePaintResult first = painter.paintPage(*pages, 0, {});
        const PagePaintResult second = painter.paintPage(*pages, 1, {});
        QCOMPARE(paintedArea(first.image, qRgb(255, 0, 0)), QRect());
        QCOMPARE(paintedArea(second.image, qRgb(0, 0, 255)), QRect());
    }

    // Where a page's picture is found: its full path when that is absolute,
    // else the project folder with the short reference's file name; never
    // the process's current folder.
    void backgroundPicture_data()
    {
        QTest::addColumn<QString>("fullPath");     // "DIR/" stands for the picture folder
        QTest::addColumn<QString>("shortRef");
        QTest::addColumn<bool>("projectFolder");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("full path") << QStringLiteral("DIR/pics/bg.png") << QStringLiteral("\\other.png") << false << true;
        QTest::newRow("windows path, project folder") << QStringLiteral("C:\\pics\\bg.png") << QStringLiteral("\\bg.png") << true << true;
        QTest::newRow("missing full path, project folder") << QStringLiteral("DIR/gone/bg.png") << QStringLiteral("\\bg.png") << true << true;
        QTest::newRow("reference only, no folder") << QStringLiteral("\\bg.png") << QStringLiteral("\\bg.png") << false << false;
        QTest::newRow("nothing named") << QString() << QString() << true << false;
    }
    void backgroundPicture()
    {
        QFETCH(QString, fullPath);
        QFETCH(QString, shortRef);
        QFETCH(bool, projectFolder);
        QFETCH(bool, loaded);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pics")));
        QVERIFY(savePicture(dir.filePath(QStringLiteral("pics/bg.png")), {800, 480}, qRgb(10, 20, 200)));
        QVERIFY(savePicture(dir.filePath(QStringLiteral("bg.png")), {800, 480}, qRgb(10, 20, 200)));
        // The current folder holds the picture too, under the name of the reference.
        QVERIFY(savePicture(dir.filePath(QStringLiteral("\\bg.png")), {800, 480}, qRgb(10, 20, 200)));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        pages->background_kind[1] = 1;
        pages->fullPath(1) = fullPath.replace(QStringLiteral("DIR/"), dir.path() + u'/');
        pages->shortRef(1) = shortRef;
        const PagePaintResult r = paint(1, projectFolder ? dir.path() : QString());
        QDir::setCurrent(previous);
        QVERIFY(r.ok);
        QCOMPARE(r.image.pixel(400, 240), loaded ? qRgb(10, 20, 200) : kFillRgb);
        QCOMPARE(r.warnings.size(), loaded ? 0 : 1);
        if (!loaded)
            QVERIFY(r.warnings.front().contains(QStringLiteral("страницы 2")));
    }

    void missingPictureIsReportedOnce()
    {
        pages->background_kind[0] = 1;
        pages->shortRef(0) = QStringLiteral("\\pump.gif");
        pages->fullPath(0) = QStringLiteral("/nowhere/pump.gif");
        pages->control[0][1] = {1, 100, 100, 0, 0, QStringLiteral("\\button.gif"), 40, 40, 1};
        const PagePaintResult r = paint(0, QStringLiteral("/nowhere/either"));
        QVERIFY(r.ok);
        QCOMPARE(r.warnings.size(), 1);
        QVERIFY(r.warnings.front().contains(QStringLiteral("pump.gif")));
        QCOMPARE(r.image.pixel(5, 5), kFillRgb);
        // The control without its own picture shows its standard one.
        QCOMPARE(r.image, [&] { return alone(pictures->keyedButton(1), {100, 100}); }());
    }

    void pictureSizeLimit_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("ok");
        QTest::newRow("800 x 480") << QSize(800, 480) << true;
        QTest::newRow("smaller") << QSize(400, 300) << true;
        QTest::newRow("too wide") << QSize(801, 480) << false;
        QTest::newRow("too high") << QSize(800, 481) << false;
    }
    void pictureSizeLimit()
    {
        QFETCH(QSize, size);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        QVERIFY(savePicture(dir.filePath(QStringLiteral("bg.png")), size, qRgb(200, 0, 0)));
        pages->background_kind[0] = 1;
        pages->shortRef(0) = QStringLiteral("\\bg.png");
        const PagePaintResult r = paint(0, dir.path());
        QCOMPARE(r.ok, ok);
        if (!ok) {
            QVERIFY(r.image.isNull());
            QCOMPARE(r.error.text, QStringLiteral("Размер Х x Y должен быть меньше 800 x 480"));
            QCOMPARE(r.error.title, QStringLiteral("Ошибка !!!"));
            return;
        }
        QCOMPARE(r.image.size(), QSize(800, 480));
        QCOMPARE(r.image.pixel(size.width() - 1, size.height() - 1), qRgb(200, 0, 0));
        // Beyond a smaller picture the page keeps its fill colour.
        QCOMPARE(r.image.pixel(799, 479), size == QSize(800, 480) ? qRgb(200, 0, 0) : kFillRgb);
    }

    // A picture file that ends before its picture does decodes without an
    // error in Qt, its missing rows black: the page is painted with what
    // there is and one warning says so (a cut file Qt cannot read at all is
    // one not loaded). The whole file gives none.
    void cutPictureWarned_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("cut");
        for (const char* format : {"gif", "png", "jpg", "bmp"}) {
            QTest::addRow("%s, whole", format) << QString::fromLatin1(format) << false;
            QTest::addRow("%s, cut short", format) << QString::fromLatin1(format) << true;
        }
    }
    void cutPictureWarned()
    {
        QFETCH(QString, format);
        QFETCH(bool, cut);
        QTemporaryDir dir;
        QByteArray bytes;
        if (format == QLatin1String("gif")) {
            QFile gif(QStringLiteral(OSTREL_EXAMPLES "/boiler.gif"));
            QVERIFY(gif.open(QIODevice::ReadOnly));
            bytes = gif.readAll();
        } else {
            QImage picture(800, 480, QImage::Format_RGB32);
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 800; ++x)
                    picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, qPrintable(format)));
        }
        if (cut)
            bytes.truncate(bytes.size() * 2 / 3);
        QFile file(dir.filePath(QStringLiteral("bg.") + format));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        pages->background_kind[0] = 1;
        pages->shortRef(0) = QStringLiteral("\\bg.") + format;
        const PagePaintResult r = paint(0, dir.path());
        QVERIFY(r.ok);
        if (!cut) {
            QVERIFY2(r.warnings.isEmpty(), qPrintable(r.warnings.join(u'\n')));
            QVERIFY(r.background_picture);
            return;
        }
        QCOMPARE(r.warnings.size(), 1);
        const QString expected = r.background_picture ? QStringLiteral("Рисунок фона страницы 1 загружен не полностью: bg.")
                                                      : QStringLiteral("Рисунок фона страницы 1 не загружен: bg.");
        QCOMPARE(r.warnings.front(), expected + format);
    }

    // The example's background is a real GIF; its ground colour is (236, 236, 236).
    void gifBackground()
    {
        pages->background_kind[0] = 1;
        pages->shortRef(0) = QStringLiteral("\\boiler.gif");
        pages->fullPath(0) = QStringLiteral("\\boiler.gif");
        const PagePaintResult r = paint(0, QStringLiteral(OSTREL_EXAMPLES));
        QVERIFY(r.ok);
        QVERIFY(r.warnings.isEmpty());
        QCOMPARE(r.image.pixel(5, 5), qRgb(236, 236, 236));
    }

    // Pictures are drawn with white transparent, at their place; a type-13
    // button 10 pixels above its stored y.
    void picturesAtTheirPlace_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("kind");   // 0 button, 1 mechanism, 2 menu
        QTest::addColumn<int>("number");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("stop button") << Setup([](ScadaPages& s) { s.control[0][1] = {1, 100, 100, 0, 0, {}, 40, 40, 1}; })
                                     << 0 << 1 << QPoint(100, 100);
        QTest::newRow("beak button, 10 higher") << Setup([](ScadaPages& s) { s.control[0][5] = {1, 200, 100, 0, 0, {}, 60, 60, 13}; })
                                                << 0 << 13 << QPoint(200, 90);
        QTest::newRow("wide start") << Setup([](ScadaPages& s) { s.control[0][32] = {1, 600, 400, 0, 0, {}, 105, 40, 11}; })
                                    << 0 << 11 << QPoint(600, 400);
        QTest::newRow("mechanism") << Setup([](ScadaPages& s) { s.vent[0][3] = {1, 300, 200, 38, 60, 8, 0, 0}; })
                                   << 1 << 8 << QPoint(300, 200);
        QTest::newRow("menu, text empty") << Setup([](ScadaPages& s) {
            s.menu[0][8].used = 1;
            s.menu[0][8].x = 57;
            s.menu[0][8].y = 413;
        }) << 2 << 0 << QPoint(50, 400);
    }
    void picturesAtTheirPlace()
    {
        QFETCH(Setup, setup);
        QFETCH(int, kind);
        QFETCH(int, number);
        QFETCH(QPoint, at);
        setup(*pages);
        const QImage& keyed = kind == 0 ? pictures->keyedButton(number)
            : kind == 1 ? pictures->keyedMechanism(number) : pictures->keyedMenu();
        const PagePaintResult r = paint();
        QVERIFY(r.ok);
        QCOMPARE(r.image, alone(keyed, at));
        // The white corner of every picture lets the page show through.
        QCOMPARE(r.image.pixel(at), kFillRgb);
    }

    // Only used static elements are painted: controls of type 0, free
    // slots, templates and every live kind leave the page as it is.
    void staticLayerOnly()
    {
        ScadaPages& s = *pages;
        s.control[0][1] = {1, 100, 100, 0, 0, {}, 40, 40, 0};
        s.control[0][2] = {0, 200, 100, 0, 0, {}, 40, 40, 1};
        s.control[0][0] = {1, 300, 100, 0, 0, {}, 40, 40, 1};
        s.vent[0][1] = {0, 100, 200, 48, 48, 0, 0, 0};
        s.figura[0][1] = {0, 10, 10, 100, 100, 0xFF, 0, 3};
        s.text[0][0].used = 1;
        s.text[0][0].text = QStringLiteral("шаблон");
        s.parametr[0][1] = {1, 10, 10, 0xFF, 0xFF, 1, 14, 2, 1, 0};
        s.signal[0][1] = {1, 50, 50, packSignalWidth(20, 0), packSignalHeight(20, 0), 0xFF, 0xFF, 1, 0, 1, 0};
        s.text_signal[0][1].used = 1;
        s.text_signal[0][1].text_off = QStringLiteral("Выкл");
        s.level[0][1] = {1, 400, 100, 30, 100, 100, 0xFF, 0xFF0000, 1, 1, 0};
        s.go_block[0][1] = {1, 500, 300, 5, 0};
        s.grafik[1] = {1, 20, 60, 240, 150, 0};
        s.clock[1] = {1, 700, 5};
        // Elements of another page are not painted either.
        s.figura[1][1] = {1, 10, 10, 100, 100, 0xFF, 0, 3};
        const PagePaintResult r = paint(0);
        QVERIFY(r.ok);
        QCOMPARE(paintedArea(r.image, kFillRgb), QRect());
    }

    // Controls, mechanisms, menus, texts, figures: later kinds over earlier ones.
    void paintOrder()
    {
        ScadaPages& s = *pages;
        s.control[0][1] = {1, 100, 100, 0, 0, {}, 40, 40, 1};
        s.figura[0][1] = {1, 95, 95, 50, 50, 0xFF0000, 0, 11};     // blue, over the button's edge
        s.vent[0][1] = {1, 300, 300, 40, 40, 22, 0, 0};
        s.text[0][1].used = 1;
        s.text[0][1].x = 300;
        s.text[0][1].y = 300;
        s.text[0][1].text = QStringLiteral("██████");
        s.text[0][1].font_name = QStringLiteral("Courier New");
        s.text[0][1].font_size = 20;
        s.text[0][1].color = 0x00FFFF;                                 // yellow
        const PagePaintResult r = paint();
        QVERIFY(r.ok);
        QCOMPARE(r.image.pixel(100, 120), qRgb(0, 0, 255));
        QCOMPARE(r.image.pixel(120, 120), pictures->button(1).pixel(20, 20));   // inside the figure
        QCOMPARE(r.image.pixel(318, 318), qRgb(255, 255, 0));
    }

    void rectangleFigure()
    {
        pages->figura[0][1] = {1, 10, 20, 30, 40, 0x0000FF, 0, 1};
        const PagePaintResult r = paint();
        const QRgb red = qRgb(255, 0, 0);
        for (const QPoint pt : {QPoint(10, 20), QPoint(40, 20), QPoint(10, 60), QPoint(40, 60), QPoint(25, 20), QPoint(10, 40)})
            QCOMPARE(r.image.pixel(pt), red);
        QCOMPARE(r.image.pixel(25, 40), kFillRgb);
        QCOMPARE(paintedArea(r.image, kFillRgb), QRect(QPoint(10, 20), QPoint(40, 60)));
    }

    // A circle is size_x across, centred at (x + size_x / 2, y + size_x / 2),
    // whatever size_y holds.
    void circleCentredAndRound_data()
    {
        QTest::addColumn<int>("diameter");
        QTest::addColumn<int>("sizeY");
        QTest::addColumn<int>("lineWidth");
        QTest::newRow("30, size_y 10") << 30 << 10 << 1;
        QTest::newRow("40, size_y 200") << 40 << 200 << 1;
        QTest::newRow("41, thick") << 41 << 0 << 3;
    }
    void circleCentredAndRound()
    {
        QFETCH(int, diameter);
        QFETCH(int, sizeY);
        QFETCH(int, lineWidth);
        pages->figura[0][1] = {1, 100, 100, int16_t(diameter), int16_t(sizeY), 0x000000, 1, int16_t(lineWidth)};
        const PagePaintResult r = paint();
        // Like a rectangle's box, the circle runs through pixels 100 and
        // 100 + diameter; the line width spreads to both sides.
        const int half = lineWidth / 2;
        QCOMPARE(paintedArea(r.image, kFillRgb),
                 QRect(QPoint(100 - half, 100 - half), QPoint(100 + diameter + half, 100 + diameter + half)));
        const QImage outline = r.image.copy(paintedArea(r.image, kFillRgb));
        QCOMPARE(outline.mirrored(true, false), outline);
        QCOMPARE(outline.mirrored(false, true), outline);
        QCOMPARE(outline.transformed(QTransform().rotate(90)), outline);
        // An outline, not a disc: the centre and the box's corners stay empty.
        QCOMPARE(r.image.pixel(100 + diameter / 2, 100 + diameter / 2), kFillRgb);
        QCOMPARE(r.image.pixel(100, 100), kFillRgb);
        QCOMPARE(r.image.pixel(100, 100 + diameter / 2), qRgb(0, 0, 0));
    }

    void staticText()
    {
        TextElement& t = pages->text[2][64];
        t.used = 1;
        t.x = 200;
        t.y = 100;
        t.text = QStringLiteral("Котельная");
        t.font_name = QStringLiteral("Arial");
        t.bold = -1;
        t.font_size = 16;
        t.color = 0x0000C0;
        const PagePaintResult r = paint(2);
        const QRect area = paintedArea(r.image, kFillRgb);
        QVERIFY(!area.isEmpty());
        QVERIFY(textElementRect(t).contains(area));
        QVERIFY(area.left() - 200 < 4 && area.top() - 100 < 8);
        // Drawn without antialiasing: nothing but the text colour and the fill.
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                QVERIFY(r.image.pixel(x, y) == kFillRgb || r.image.pixel(x, y) == qRgb(0xC0, 0, 0));
    }

    void menuText()
    {
        MenuElement& m = pages->menu[0][1];
        m.used = 1;
        m.x = 107;
        m.y = 213;
        m.text = QStringLiteral("Котёл");
        const PagePaintResult r = paint();
        const QImage picture = alone(pictures->keyedMenu(), {100, 200});
        int black = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 800; ++x) {
                const QRgb px = r.image.pixel(x, y);
                if (px == picture.pixel(x, y))
                    continue;
                QCOMPARE(px, qRgb(0, 0, 0));
                QVERIFY(menuTextRect(m).contains(x, y));
                ++black;
            }
        QVERIFY(black > 20);
    }

    // A control's own picture from the project folder replaces the standard
    // one, at the button type's size, with its white transparent.
    void ownControlPicture()
    {
        QTemporaryDir dir;
        QVERIFY(savePicture(dir.filePath(QStringLiteral("mine.png")), {40, 40}, qRgb(255, 255, 255), QRect(10, 10, 20, 20),
                            qRgb(0, 0, 0)));
        pages->control[0][1] = {1, 100, 100, 0, 0, QStringLiteral("\\mine.png"), 40, 40, 2};
        pages->control[0][2] = {1, 300, 100, 0, 0, QStringLiteral(" "), 40, 40, 2};
        const PagePaintResult r = paint(0, dir.path());
        QCOMPARE(paintedArea(r.image.copy(0, 0, 200, 480), kFillRgb), QRect(110, 110, 20, 20));
        QCOMPARE(r.image.copy(300, 100, 40, 40), alone(pictures->keyedButton(2), {0, 0}).copy(0, 0, 40, 40));
    }

    void fontFamilies_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::newRow("Arial") << QStringLiteral("Arial") << QStringLiteral("Liberation Sans");
        QTest::newRow("Arial Cyr") << QStringLiteral("Arial Cyr") << QStringLiteral("Liberation Sans");
        QTest::newRow("Times New Roman") << QStringLiteral("Times New Roman") << QStringLiteral("Liberation Serif");
        QTest::newRow("Courier New") << QStringLiteral("courier new") << QStringLiteral("Liberation Mono");
        QTest::newRow("MS Sans Serif") << QStringLiteral("MS Sans Serif") << QStringLiteral("DejaVu Sans");
        QTest::newRow("empty") << QString() << QStringLiteral("DejaVu Sans");
    }
    void fontFamilies()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QCOMPARE(pageFontFamily(name), family);
        TextElement t;
        t.font_name = name;
        t.font_size = 12;
        t.italic = -1;
        const QFont f = textElementFont(t);
        QCOMPARE(f.family(), family);
        QCOMPARE(f.pixelSize(), 16);        // 12 points at 96 dots per inch
        QVERIFY(f.italic());
        QVERIFY(!f.bold());
        QCOMPARE(f.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    }

    void parametrCaptions_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("caption");
        QTest::newRow("5, width 3") << 5 << 1 << QStringLiteral("005");
        QTest::newRow("12, width 3") << 12 << 1 << QStringLiteral("012");
        QTest::newRow("5, width 2") << 5 << 0 << QStringLiteral("05");
        QTest::newRow("7, width 6") << 7 << 4 << QStringLiteral("000007");
        QTest::newRow("longer than the field") << 123 << 0 << QStringLiteral("123");
    }
    void parametrCaptions()
    {
        QFETCH(int, number);
        QFETCH(int, digits);
        QFETCH(QString, caption);
        QCOMPARE(parametrCaption(number, uint8_t(digits)), caption);
    }

    void parametrFonts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::newRow("10") << 10 << 13 << true;
        QTest::newRow("14") << 14 << 19 << false;
        QTest::newRow("18") << 18 << 19 << true;
        QTest::newRow("25") << 25 << 33 << false;
        QTest::newRow("24 time") << 24 << 32 << true;
        QTest::newRow("8 start value") << 8 << 13 << true;
    }
    void parametrFonts()
    {
        QFETCH(int, code);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        const QFont f = parametrFont(uint8_t(code));
        QCOMPARE(f.pixelSize(), pixels);
        QCOMPARE(f.bold(), bold);
    }

    // Each signal shape on a 21 x 21 square: probes that must be coloured
    // and probes that must not.
    void signalShapes_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QList<QPoint>>("inside");
        QTest::addColumn<QList<QPoint>>("outside");
        QTest::newRow("rectangle") << 0 << QList<QPoint>{{0, 0}, {20, 20}, {10, 10}} << QList<QPoint>{{21, 10}};
        QTest::newRow("circle") << 1 << QList<QPoint>{{10, 10}, {0, 10}, {10, 0}} << QList<QPoint>{{0, 0}, {20, 20}};
        QTest::newRow("triangle ^") << 2 << QList<QPoint>{{0, 20}, {20, 20}, {10, 0}} << QList<QPoint>{{0, 0}, {20, 0}};
        QTest::newRow("triangle >") << 3 << QList<QPoint>{{0, 0}, {0, 20}, {20, 10}} << QList<QPoint>{{20, 0}, {20, 20}};
        QTest::newRow("triangle v") << 4 << QList<QPoint>{{0, 0}, {20, 0}, {10, 20}} << QList<QPoint>{{0, 20}, {20, 20}};
        QTest::newRow("triangle <") << 5 << QList<QPoint>{{20, 0}, {20, 20}, {0, 10}} << QList<QPoint>{{0, 0}, {0, 20}};
        QTest::newRow("valve ><") << 6 << QList<QPoint>{{0, 0}, {20, 20}, {9, 10}, {11, 10}} << QList<QPoint>{{10, 0}, {10, 20}};
        QTest::newRow("valve X") << 7 << QList<QPoint>{{0, 0}, {20, 20}, {10, 9}, {10, 11}} << QList<QPoint>{{0, 10}, {20, 10}};
    }
    void signalShapes()
    {
        QFETCH(int, shape);
        QFETCH(QList<QPoint>, inside);
        QFETCH(QList<QPoint>, outside);
        SignalElement s;
        s.width = packSignalWidth(21, shape);
        s.height = packSignalHeight(21, shape);
        s.color = 0x0000FF;
        s.back_color = 0xFF0000;
        for (const bool on : {true, false}) {
            QImage img(30, 30, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            paintSignal(p, s, on);
            p.end();
            const QRgb colour = on ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
            for (const QPoint& pt : inside)
                QVERIFY2(img.pixel(pt) == colour, qPrintable(QStringLiteral("(%1, %2)").arg(pt.x()).arg(pt.y())));
            for (const QPoint& pt : outside)
                QVERIFY2(img.pixel(pt) == qRgb(255, 255, 255), qPrintable(QStringLiteral("(%1, %2)").arg(pt.x()).arg(pt.y())));
        }
    }

    // The editor's half-filled level: vertical, the upper half in the
    // background colour; horizontal, the left half in the level colour.
    void levelLook_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QPoint>("levelProbe");
        QTest::addColumn<QPoint>("backProbe");
        QTest::newRow("vertical") << false << QPoint(15, 150) << QPoint(15, 50);
        QTest::newRow("horizontal") << true << QPoint(5, 100) << QPoint(25, 100);
    }
    void levelLook()
    {
        QFETCH(bool, horizontal);
        QFETCH(QPoint, levelProbe);
        QFETCH(QPoint, backProbe);
        const LevelElement l{1, 0, 0, 30, 200, 100, 0x0000FF, 0xFF0000, packLevelStyle(horizontal, true), 0, 0};
        QImage img(40, 210, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        paintLevel(p, l);
        p.end();
        QCOMPARE(img.pixel(levelProbe), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(backProbe), qRgb(0, 0, 255));
        QCOMPARE(img.pixel(0, 0), qRgb(0, 0, 0));            // framed
        QCOMPARE(img.pixel(30, 0), qRgb(255, 255, 255));
    }

    // A level showing a value: the filled part grows from the bottom
    // (vertical) or from the left (horizontal) by the fraction, clamped to
    // 0..1; the rest is the background colour.
    void levelFill_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("filled"); // rows from the bottom, or columns from the left
        QTest::newRow("vertical, a quarter") << false << 0.25 << 50;
        QTest::newRow("vertical, empty") << false << 0.0 << 0;
        QTest::newRow("vertical, over full") << false << 1.7 << 200;
        QTest::newRow("vertical, below empty") << false << -3.0 << 0;
        QTest::newRow("vertical, not a number") << false << std::nan("") << 0;
        QTest::newRow("horizontal, 0.6") << true << 0.6 << 18;
        QTest::newRow("horizontal, full") << true << 1.0 << 30;
    }
    void levelFill()
    {
        QFETCH(bool, horizontal);
        QFETCH(double, fraction);
        QFETCH(int, filled);
        const LevelElement l{1, 5, 5, 30, 200, 100, 0x0000FF, 0xFF0000, packLevelStyle(horizontal, false), 0, 0};
        QImage img(40, 210, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        paintLevelFill(p, l, fraction);
        p.end();
        const QRgb level = qRgb(255, 0, 0), back = qRgb(0, 0, 255);
        for (int i = 0; i < (horizontal ? 30 : 200); ++i) {
            const QPoint at = horizontal ? QPoint(5 + i, 100) : QPoint(20, 5 + 199 - i);
            QCOMPARE(img.pixel(at), i < filled ? level : back);
        }
        QCOMPARE(img.pixel(4, 4), qRgb(255, 255, 255));
        QCOMPARE(img.pixel(35, 205), qRgb(255, 255, 255));
    }

    // The controller keeps 12 characters of a text-signal text: the editor
    // must not promise more.
    void textSignalShowsWhatIsSent()
    {
        TextSignalElement longText;
        longText.used = 1;
        longText.x = 10;
        longText.y = packListY(10, 0);
        longText.color = 0x000000;
        longText.back_color = 0xFFFFFF;
        longText.text_off = QStringLiteral("Горелка выкл. надолго");
        longText.text_on = QStringLiteral("Горелка вкл.");
        TextSignalElement cut = longText;
        cut.text_off = QStringLiteral("Горелка выкл");
        auto draw = [](const TextSignalElement& e) {
            QImage img(300, 60, QImage::Format_RGB32);
            img.fill(Qt::gray);
            QPainter p(&img);
            paintTextSignal(p, e, false);
            return img;
        };
        QCOMPARE(textSignalRect(longText, longText.text_off), textSignalRect(cut, cut.text_off));
        QCOMPARE(draw(longText), draw(cut));
    }

    void goToNumbers_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("block");
        QTest::newRow("block 12") << 12 << 12;
        QTest::newRow("process of 12") << 112 << 12;
        QTest::newRow("page 3") << 203 << 97;
        QTest::newRow("graph group 8") << 218 << 98;
        QTest::newRow("text signals") << 220 << 0;
    }
    void goToNumbers()
    {
        QFETCH(int, target);
        QFETCH(int, block);
        QCOMPARE(goBlockNumber(int16_t(target)), block);
    }
};

QTEST_MAIN(PagePainterTest)
#include "test_page_painter.moc"
