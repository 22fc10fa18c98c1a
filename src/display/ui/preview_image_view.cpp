#include "display/ui/preview_image_view.h"

#include "scada/page_size.h"
#include <QPainter>
#include <algorithm>

namespace ostrel {

PreviewImageView::PreviewImageView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("previewImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setScale(1);
}

void PreviewImageView::setImage(const QImage& image, const QImage& mask)
{
    image_ = image;
    mask_ = mask;
    update();
}

void PreviewImageView::setScale(int factor)
{
    scale_ = std::clamp(factor, 1, 2);
    setFixedSize(sizeHint());
    update();
}

QSize PreviewImageView::sizeHint() const { return QSize(kPageWidth, kPageHeight) * scale_; }

void PreviewImageView::paintOn(QPainter& p) const
{
    p.fillRect(QRect(QPoint(0, 0), sizeHint()), Qt::black);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.scale(scale_, scale_);
    p.drawImage(0, 0, image_);
    if (!mask_.isNull())
        p.drawImage(0, 0, mask_);
}

QImage PreviewImageView::rendered() const
{
    QImage out(sizeHint(), QImage::Format_RGB32);
    QPainter p(&out);
    paintOn(p);
    return out;
}

void PreviewImageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintOn(p);
}

} // namespace ostrel
