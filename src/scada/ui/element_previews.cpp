#include "scada/ui/element_previews.h"

#include "scada/page_painter.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace ostrel {

namespace {

// Largest sizes an element of each kind can have, so the dialog does not
// change its size with the preview.
constexpr QSize kParametrArea{170, 48};
constexpr QSize kSignalArea{64, 64};
constexpr QSize kTextSignalArea{260, 30};
constexpr QSize kLevelArea{204, 204};

} // namespace

ParametrPreview::ParametrPreview(QWidget* parent)
    : QLabel(parent)
{
    setFixedSize(kParametrArea);
}

void ParametrPreview::setLook(const ParametrElement& look, const QString& caption)
{
    look_ = look;
    look_.x = look_.y = 0;
    setText(caption);
    setFont(parametrFont(look.font));
    update();
}

void ParametrPreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintParametr(p, look_, text());
}

SignalPreview::SignalPreview(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(kSignalArea);
}

void SignalPreview::setLook(int shape, QSize size, int32_t shownColor, bool framed)
{
    shape_ = shape;
    size_ = size.boundedTo(kSignalArea).expandedTo({0, 0});
    color_ = shownColor;
    framed_ = framed;
    update();
}

void SignalPreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintSignalShape(p, QRect(QPoint(0, 0), size_), shape_, recordColor(color_), framed_);
}

TextSignalPreview::TextSignalPreview(QWidget* parent)
    : QLabel(parent)
{
    setFixedSize(kTextSignalArea);
}

void TextSignalPreview::setLook(const TextSignalElement& look, bool on)
{
    look_ = look;
    look_.x = 0;
    look_.y = 0;
    on_ = on;
    setText(on ? look.text_on : look.text_off);
    update();
}

void TextSignalPreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintTextSignal(p, look_, on_);
}

LevelPreview::LevelPreview(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(kLevelArea);
}

void LevelPreview::setLook(const LevelElement& look)
{
    look_ = look;
    look_.x = look_.y = 0;
    update();
}

QRect LevelPreview::box() const
{
    return levelRect(look_);
}

QRect LevelPreview::bar() const
{
    const QRect b = box();
    return levelHorizontal(look_.style) ? QRect(b.x(), b.y(), b.width() / 2, b.height())
                                        : QRect(b.x(), b.y(), b.width(), b.height() / 2);
}

void LevelPreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintLevel(p, look_);
}

} // namespace ostrel
