#pragma once
// The preview's page: the composed image at 1:1 or enlarged by a whole
// factor, nearest neighbour (each display pixel becomes a square), with an
// optional mask drawn over it (the quantisation's visible loss).
#include <QImage>
#include <QWidget>

namespace ostrel {

class PreviewImageView : public QWidget {
    Q_OBJECT
public:
    explicit PreviewImageView(QWidget* parent = nullptr);

    void setImage(const QImage& image, const QImage& mask = {});
    const QImage& image() const { return image_; }
    void setScale(int factor); // 1 or 2
    int scale() const { return scale_; }
    // What the widget shows, at its size.
    QImage rendered() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintOn(QPainter& p) const;

    QImage image_;
    QImage mask_;
    int scale_ = 1;
};

} // namespace ostrel
