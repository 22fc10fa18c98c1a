#include "panel/ui/panel_view.h"

#include "display/live_layer.h"
#include <QPainter>

namespace ostrel {

PanelView::PanelView(const BlockValues& values, QWidget* parent) : QWidget(parent), values_(values)
{
    setObjectName(QStringLiteral("panelView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    clockTimer_.setInterval(1000);
    connect(&clockTimer_, &QTimer::timeout, this, [this] { update(); });
    setFitToWindow(false);
}

void PanelView::showPage(const DecodedPage* page)
{
    hasPage_ = page != nullptr;
    if (page) {
        image_ = pageImage(*page);
        tables_ = page->tables;
    } else {
        image_ = QImage();
        tables_ = PageTables{};
    }
    if (hasPage_ && clockRecord(tables_.clock).used)
        clockTimer_.start();
    else
        clockTimer_.stop();
    update();
}

void PanelView::setTouchCells(bool on)
{
    touchCells_ = on;
    update();
}

void PanelView::setFitToWindow(bool on)
{
    fit_ = on;
    if (fit_) {
        setMinimumSize(minimumSizeHint());
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(kPageWidth, kPageHeight);
    }
    updateGeometry();
    update();
}

QSize PanelView::sizeHint() const { return {kPageWidth, kPageHeight}; }

QSize PanelView::minimumSizeHint() const { return fit_ ? QSize(kPageWidth / 4, kPageHeight / 4) : sizeHint(); }

QRect PanelView::pageRect() const
{
    if (!fit_)
        return QRect(0, 0, kPageWidth, kPageHeight);
    const QSize s = QSize(kPageWidth, kPageHeight).scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
}

QImage PanelView::composed() const
{
    if (!hasPage_) {
        QImage blank(kPageWidth, kPageHeight, QImage::Format_RGB32);
        blank.fill(Qt::black);
        return blank;
    }
    LiveOptions o;
    o.touch_cells = touchCells_;
    o.now = clockTime_;
    return composePanelPage(image_, tables_, values_, o);
}

void PanelView::setClockTime(const QDateTime& time)
{
    clockTime_ = time;
    update();
}

void PanelView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(48, 48, 48));
    const QRect target = pageRect();
    if (!hasPage_) {
        p.fillRect(target, Qt::black);
        p.setPen(QColor(200, 200, 200));
        p.drawText(target, Qt::AlignCenter, QStringLiteral("Страница ещё не принята"));
        return;
    }
    p.translate(target.topLeft());
    const double scale = double(target.width()) / kPageWidth;
    p.scale(scale, scale);
    p.setRenderHint(QPainter::SmoothPixmapTransform, fit_);
    p.drawImage(0, 0, image_);
    LiveOptions o;
    o.touch_cells = touchCells_;
    o.now = clockTime_;
    paintLiveElements(p, tables_, values_, o);
}

} // namespace ostrel
