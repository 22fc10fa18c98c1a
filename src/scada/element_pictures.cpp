#include "scada/element_pictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QTransform>

namespace ostrel {

namespace {

// Pure white is the transparent colour: every colour that should stay
// visible is kept just below it.
QColor visible(QColor c)
{
    if (c.red() == 255 && c.green() == 255 && c.blue() == 255)
        return QColor(250, 250, 250);
    return c;
}

const QColor kInk(20, 20, 20);
const QColor kLight(250, 250, 250);

QImage whiteImage(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

QFont pictureFont(int pixels, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void startPainter(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
}

void centredText(QPainter& p, const QRect& r, const QString& text, const QColor& colour, int pixels,
                 bool bold = true)
{
    p.setFont(pictureFont(pixels, bold));
    p.setPen(visible(colour));
    p.drawText(r, Qt::AlignCenter, text);
}

// A raised rectangular button face: dark border, 2-pixel light edge at the
// top and left, 2-pixel shadow at the bottom and right; the four corner
// pixels stay white so the button looks slightly rounded.
void raisedFace(QImage& img, QPainter& p, const QRect& r, const QColor& face)
{
    p.fillRect(r, kInk);
    const QRect in = r.adjusted(1, 1, -1, -1);
    p.fillRect(in, visible(face.darker(170)));
    p.fillRect(in.adjusted(0, 0, -2, -2), visible(face.lighter(140)));
    p.fillRect(in.adjusted(2, 2, -2, -2), visible(face));
    for (const QPoint c : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        if (img.rect().contains(c))
            img.setPixel(c, qRgb(255, 255, 255));
}

QImage labelledButton(QSize size, const QColor& face, const QString& text, const QColor& ink, int pixels)
{
    QImage img = whiteImage(size);
    QPainter p(&img);
    startPainter(p);
    raisedFace(img, p, img.rect(), face);
    if (!text.isEmpty())
        centredText(p, img.rect().adjusted(2, 2, -2, -2), text, ink, pixels);
    return img;
}

QImage roundStartButton()
{
    QImage img = whiteImage({40, 40});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(0, 110, 0));
    p.drawEllipse(QRect(2, 2, 35, 35));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 190, 40));
    p.drawEllipse(QRect(6, 6, 27, 27));
    p.setBrush(kLight);
    p.drawPolygon(QPolygon({QPoint(15, 11), QPoint(28, 19), QPoint(15, 27)}));
    return img;
}

QImage toggleSwitch()
{
    QImage img = whiteImage({40, 40});
    QPainter p(&img);
    startPainter(p);
    raisedFace(img, p, img.rect(), QColor(90, 90, 100));
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(190, 190, 200));
    p.drawEllipse(QRect(12, 20, 15, 15));             // nut
    p.setPen(QPen(QColor(210, 210, 220), 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(20, 27, 24, 9);                        // lever, tilted up
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QRect(20, 4, 8, 8));                // knob
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 40));
    p.drawRect(QRect(5, 5, 5, 5));                    // "on" mark
    return img;
}

QImage mainsButton()
{
    QImage img = whiteImage({33, 45});
    QPainter p(&img);
    startPainter(p);
    raisedFace(img, p, img.rect(), QColor(235, 200, 60));
    // The power symbol: an arc open at the top and a bar through the gap.
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(7, 7, 19, 19), 120 * 16, -240 * 16);
    p.drawLine(16, 4, 16, 16);
    centredText(p, QRect(2, 30, 29, 12), QStringLiteral("СЕТЬ"), kInk, 8);
    return img;
}

QImage beakButton()
{
    QImage img = whiteImage({60, 60});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(200, 200, 205));
    p.drawEllipse(QRect(3, 3, 53, 53));               // dial
    p.setPen(QPen(kInk, 2));
    p.drawLine(12, 14, 16, 18);                       // position marks
    p.drawLine(47, 14, 43, 18);
    centredText(p, QRect(4, 38, 18, 14), QStringLiteral("0"), kInk, 10);
    centredText(p, QRect(38, 38, 18, 14), QStringLiteral("1"), kInk, 10);
    // The beak: a round knob drawn out into a point towards the "1" mark.
    QPainterPath beak;
    beak.addEllipse(QRectF(20, 20, 20, 20));
    beak.moveTo(26, 23);
    beak.lineTo(46, 11);
    beak.lineTo(37, 31);
    beak.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(35, 35, 40));
    p.drawPath(beak.simplified());
    p.setPen(QPen(QColor(230, 230, 230), 2));
    p.drawLine(31, 29, 43, 15);                       // pointer line
    return img;
}

QImage drawButton(int type)
{
    const QColor red(200, 20, 20), green(20, 150, 30), grey(190, 190, 190), steel(160, 185, 215);
    const QSize sz = ElementPictures::buttonSize(type);
    switch (type) {
    case 0: return labelledButton(sz, grey, {}, kInk, 10);
    case 1: return labelledButton(sz, red, QStringLiteral("СТОП"), kLight, 10);
    case 2: return labelledButton(sz, green, QStringLiteral("ПУСК"), kLight, 10);
    case 3: return roundStartButton();
    case 4: return toggleSwitch();
    case 5: return labelledButton(sz, steel, QStringLiteral("N-1"), kInk, 12);
    case 6: return labelledButton(sz, steel, QStringLiteral("N+1"), kInk, 12);
    case 7: return labelledButton(sz, QColor(235, 200, 0), QStringLiteral("КСС"), kInk, 11);
    case 8: return labelledButton(sz, QColor(70, 70, 70), QStringLiteral("OFF"), QColor(255, 90, 90), 12);
    case 9: return labelledButton(sz, QColor(70, 70, 70), QStringLiteral("ON"), QColor(90, 255, 90), 13);
    case 10: return labelledButton(sz, red, QStringLiteral("СТОП"), kLight, 16);
    case 11: return labelledButton(sz, green, QStringLiteral("ПУСК"), kLight, 16);
    case 12: return mainsButton();
    case 13: return beakButton();
    default: return {};
    }
}

// ---- mechanisms -----------------------------------------------------------

QImage rotated(const QImage& img, int quarterTurns)
{
    if (quarterTurns % 4 == 0)
        return img;
    return img.transformed(QTransform().rotate(90.0 * quarterTurns), Qt::FastTransformation);
}

// Centrifugal fan, outlet to the right at the top.
QImage fan()
{
    QImage img = whiteImage({48, 48});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(190, 210, 230));
    p.drawRect(QRect(22, 5, 23, 14));                 // outlet duct
    p.drawEllipse(QRect(4, 6, 36, 36));               // scroll housing
    p.setPen(Qt::NoPen);
    p.drawRect(QRect(22, 7, 6, 10));                  // opening into the housing
    p.setPen(QPen(QColor(40, 70, 120), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(22, 24, 22, 12);                       // impeller blades
    p.drawLine(22, 24, 33, 30);
    p.drawLine(22, 24, 11, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QRect(19, 21, 6, 6));               // hub
    return img;
}

// Pump: a circle with the flow triangle pointing right.
QImage pump()
{
    QImage img = whiteImage({40, 40});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(175, 215, 175));
    p.drawEllipse(QRect(3, 3, 33, 33));
    p.setBrush(QColor(30, 100, 40));
    p.drawPolygon(QPolygon({QPoint(12, 9), QPoint(33, 19), QPoint(12, 30)}));
    return img;
}

// Valve with a motor actuator above it: 38 x 60, flow left to right.
QImage actuatedValve()
{
    QImage img = whiteImage({38, 60});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.drawLine(19, 46, 19, 22);                       // stem
    p.setBrush(QColor(120, 160, 210));
    p.drawPolygon(QPolygon({QPoint(2, 35), QPoint(19, 46), QPoint(2, 57)}));
    p.drawPolygon(QPolygon({QPoint(35, 35), QPoint(19, 46), QPoint(35, 57)}));
    p.setBrush(QColor(225, 225, 200));
    p.drawEllipse(QRect(8, 1, 21, 21));               // actuator
    return img;
}

void motorLetter(QImage& img, const QRect& r)
{
    QPainter p(&img);
    startPainter(p);
    centredText(p, r, QStringLiteral("M"), kInk, 12);
}

// Electric motor standing on its feet, shaft downwards: 30 x 48.
QImage motor()
{
    QImage img = whiteImage({30, 48});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(90, 130, 190));
    p.drawRect(QRect(3, 2, 23, 32));                  // body
    p.setPen(QPen(QColor(40, 60, 110), 1));
    for (int y = 6; y < 32; y += 5)
        p.drawLine(5, y, 24, y);                      // cooling fins
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRect(12, 35, 5, 11));                 // shaft
    return img;
}

// Heat exchanger: a box with a coil, 30 x 48.
QImage heatExchanger()
{
    QImage img = whiteImage({30, 48});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(235, 225, 210));
    p.drawRect(QRect(2, 2, 25, 43));
    p.setPen(QPen(QColor(200, 40, 30), 2));
    QPolygon coil;
    for (int i = 0; i <= 8; ++i)
        coil << QPoint(i % 2 ? 22 : 7, 6 + 4 * i);
    p.drawPolyline(coil);
    return img;
}

// Air damper with three slanted blades, 48 x 18.
QImage damper()
{
    QImage img = whiteImage({48, 18});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(210, 210, 215));
    p.drawRect(QRect(1, 1, 45, 15));
    p.setPen(QPen(QColor(60, 60, 70), 3, Qt::SolidLine, Qt::FlatCap));
    for (int x : {8, 20, 32})
        p.drawLine(x, 14, x + 8, 4);
    return img;
}

// Electric heating element: a tube with a red zigzag, 48 x 12.
QImage heatingElement()
{
    QImage img = whiteImage({48, 12});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRect(0, 2, 47, 7));
    p.setPen(QPen(QColor(220, 30, 20), 2));
    QPolygon zig;
    for (int i = 0; i <= 10; ++i)
        zig << QPoint(3 + 4 * i, i % 2 ? 8 : 3);
    p.drawPolyline(zig);
    return img;
}

// Vertical damper with horizontal blades, 18 x 51.
QImage verticalDamper()
{
    QImage img = whiteImage({18, 51});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(215, 215, 200));
    p.drawRect(QRect(1, 1, 15, 48));
    p.setPen(QPen(QColor(90, 80, 40), 3, Qt::SolidLine, Qt::FlatCap));
    for (int y = 9; y < 48; y += 10)
        p.drawLine(4, y, 13, y - 5);
    return img;
}

// Thermometer: bulb at the bottom and a red column, 18 x 51.
QImage thermometer()
{
    QImage img = whiteImage({18, 51});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(235, 235, 240));
    p.drawRect(QRect(5, 1, 7, 38));
    p.setBrush(QColor(210, 20, 20));
    p.drawEllipse(QRect(2, 35, 13, 13));
    p.setPen(Qt::NoPen);
    p.drawRect(QRect(7, 14, 4, 23));
    p.setPen(QPen(kInk, 1));
    for (int y = 6; y < 36; y += 6)
        p.drawLine(13, y, 16, y);
    return img;
}

// Signal lamp: a circle with a cross, 28 x 28.
QImage lamp()
{
    QImage img = whiteImage({28, 28});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(250, 220, 60));
    p.drawEllipse(QRect(2, 2, 23, 23));
    p.drawLine(7, 7, 20, 20);
    p.drawLine(20, 7, 7, 20);
    return img;
}

// Filter: a diamond with a dashed line across the flow, 28 x 28.
QImage filter()
{
    QImage img = whiteImage({28, 28});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(200, 225, 240));
    p.drawPolygon(QPolygon({QPoint(13, 1), QPoint(26, 13), QPoint(13, 26), QPoint(1, 13)}));
    p.setPen(QPen(QColor(30, 60, 120), 2, Qt::DashLine, Qt::FlatCap));
    p.drawLine(13, 4, 13, 23);
    return img;
}

// Compressor: a circle with two lines closing towards the outlet, 40 x 40.
QImage compressor()
{
    QImage img = whiteImage({40, 40});
    QPainter p(&img);
    startPainter(p);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(205, 195, 235));
    p.drawEllipse(QRect(3, 3, 33, 33));
    p.drawLine(8, 8, 33, 14);
    p.drawLine(8, 31, 33, 25);
    return img;
}

QImage drawMechanism(int picture)
{
    switch (picture) {
    case 0: case 1: case 2: case 3: return rotated(fan(), picture);
    case 4: case 5: case 6: case 7: return rotated(pump(), picture - 4);
    case 8: {
        QImage img = actuatedValve();
        motorLetter(img, QRect(8, 1, 22, 22));
        return img;
    }
    case 10: {
        QImage img = actuatedValve().mirrored(false, true);
        motorLetter(img, QRect(8, 37, 22, 22));
        return img;
    }
    case 9: {
        QImage img = rotated(actuatedValve(), 3);    // actuator on the left
        motorLetter(img, QRect(1, 8, 22, 22));
        return img;
    }
    case 11: {
        QImage img = rotated(actuatedValve(), 1);    // actuator on the right
        motorLetter(img, QRect(37, 8, 22, 22));
        return img;
    }
    case 12: {
        QImage img = motor();
        motorLetter(img, QRect(3, 10, 24, 16));
        return img;
    }
    case 13: {
        QImage img = rotated(motor(), 3);             // shaft to the right
        motorLetter(img, QRect(3, 3, 32, 24));
        return img;
    }
    case 14: return heatExchanger();
    case 15: return rotated(heatExchanger(), 1);
    case 16: return damper();
    case 17: return heatingElement();
    case 18: return verticalDamper();
    case 19: return thermometer();
    case 20: return lamp();
    case 21: return filter();
    case 22: return compressor();
    default: return {};
    }
}

QImage drawMenu()
{
    QImage img = whiteImage(ElementPictures::menuSize());
    QPainter p(&img);
    startPainter(p);
    raisedFace(img, p, img.rect(), QColor(150, 175, 210));
    // A sunken text box for the entry's text.
    const QRect box(ElementPictures::kMenuTextOffset, ElementPictures::kMenuTextSize);
    p.fillRect(box, QColor(70, 80, 100));
    p.fillRect(box.adjusted(1, 1, 0, 0), QColor(235, 238, 245));
    p.fillRect(box.adjusted(1, 1, -1, -1), QColor(244, 244, 244));
    // A small arrow above the box: the entry switches the page.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 50, 90));
    p.drawPolygon(QPolygon({QPoint(106, 4), QPoint(112, 7), QPoint(106, 10)}));
    return img;
}

} // namespace

ElementPictures::ElementPictures()
{
    for (int t = 0; t < kButtonTypes; ++t) {
        buttons_[size_t(t)] = drawButton(t);
        keyedButtons_[size_t(t)] = whiteTransparent(buttons_[size_t(t)]);
    }
    for (int m = 0; m < kMechanisms; ++m) {
        mechanisms_[size_t(m)] = drawMechanism(m);
        keyedMechanisms_[size_t(m)] = whiteTransparent(mechanisms_[size_t(m)]);
    }
    menu_ = drawMenu();
    keyedMenu_ = whiteTransparent(menu_);
}

QSize ElementPictures::buttonSize(int type)
{
    switch (type) {
    case 10: case 11: return {105, 40};
    case 12: return {33, 45};
    case 13: return {60, 60};
    default: return {40, 40};
    }
}

QSize ElementPictures::mechanismSize(int picture)
{
    switch (picture) {
    case 0: case 1: case 2: case 3: return {48, 48};
    case 4: case 5: case 6: case 7: return {40, 40};
    case 8: case 10: return {38, 60};
    case 9: case 11: return {60, 38};
    case 12: case 14: return {30, 48};
    case 13: case 15: return {48, 30};
    case 16: return {48, 18};
    case 17: return {48, 12};
    case 18: case 19: return {18, 51};
    case 20: case 21: return {28, 28};
    case 22: return {40, 40};
    default: return {};
    }
}

const QImage& ElementPictures::button(int type) const
{
    return validButton(type) ? buttons_[size_t(type)] : none_;
}

const QImage& ElementPictures::mechanism(int picture) const
{
    return validMechanism(picture) ? mechanisms_[size_t(picture)] : none_;
}

const QImage& ElementPictures::keyedButton(int type) const
{
    return validButton(type) ? keyedButtons_[size_t(type)] : none_;
}

const QImage& ElementPictures::keyedMechanism(int picture) const
{
    return validMechanism(picture) ? keyedMechanisms_[size_t(picture)] : none_;
}

QImage ElementPictures::whiteTransparent(const QImage& picture)
{
    if (picture.isNull())
        return {};
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu)
                line[x] = 0;
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace ostrel
