#include "algorithm/ui/condition_frame_label.h"

#include <QPainter>

namespace ostrel {

namespace {

struct Words {
    QString first, last;
    QString leading; // the blanks before the first word
};

Words splitWords(const QString& text)
{
    Words w;
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return w;
    w.first = parts.first();
    if (parts.size() > 1)
        w.last = parts.last();
    w.leading = text.left(text.indexOf(w.first));
    return w;
}

} // namespace

void ConditionFrameLabel::setLastWordPlaces(int narrow, int wide)
{
    narrow_ = narrow;
    wide_ = wide;
    update();
}

void ConditionFrameLabel::setWide(bool wide)
{
    isWide_ = wide;
    update();
}

QRect ConditionFrameLabel::lastWordRect() const
{
    const Words w = splitWords(text());
    if (w.last.isEmpty())
        return {};
    const int x = isWide_ ? wide_ : narrow_;
    return QRect(x, 0, fontMetrics().horizontalAdvance(w.last), height());
}

void ConditionFrameLabel::paintEvent(QPaintEvent*)
{
    const Words w = splitWords(text());
    QPainter p(this);
    p.setPen(palette().color(foregroundRole()));
    p.setFont(font());
    const QRect r = rect();
    const int firstX = fontMetrics().horizontalAdvance(w.leading);
    p.drawText(r.adjusted(firstX, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, w.first);
    if (!w.last.isEmpty())
        p.drawText(lastWordRect(), Qt::AlignLeft | Qt::AlignVCenter, w.last);
}

} // namespace ostrel
