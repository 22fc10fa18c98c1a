#include "scheme/block_symbol.h"
#include "scheme/block_types.h"

#include <QFont>
#include <QPainter>

namespace ostrel {

namespace {

// Frame colour by block family.
QColor familyColor(int type)
{
    if (type >= kAnalogInput && type <= kSystem)
        return QColor(0, 110, 0);       // modules, RS485, system
    if (type >= kMultiplier && type <= kAbsolute)
        return QColor(0, 0, 160);       // arithmetic
    if (type >= kAnd && type <= kRegister)
        return QColor(150, 0, 150);     // logic
    if (type >= kSetpointBlock && type < kGraph)
        return QColor(160, 60, 0);      // control: setters, PID, timers
    if (type >= kGraph && type <= kTouch)
        return QColor(0, 110, 130);     // display, journal, algorithm
    return QColor(128, 128, 128);
}

} // namespace

QImage blockSymbol(int type, const QString& code)
{
    const int s = kBlockSymbolSize;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);

    QPainter p(&img);
    const QColor frame = familyColor(type);
    // Body with a double frame; a small pin stub left (inputs) and right (outputs).
    p.setPen(QPen(frame, 2));
    p.setBrush(QColor(255, 255, 230));
    p.drawRect(QRect(5, 3, s - 11, s - 7));
    p.setPen(QPen(frame, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(8, 6, s - 17, s - 13));
    p.drawLine(0, s / 2, 4, s / 2);
    p.drawLine(s - 5, s / 2, s - 1, s / 2);

    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(6, 4, s - 12, s - 8), Qt::AlignCenter, code.left(3));
    p.end();
    return img;
}

} // namespace ostrel
