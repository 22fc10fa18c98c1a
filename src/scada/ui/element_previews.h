#pragma once
// The live previews of the element dialogs. Each draws its element with the
// page painter's function for the kind, at the element's own size, so the
// preview looks exactly like the element on the page.
#include "scada/scada_pages.h"

#include <QLabel>
#include <QWidget>

namespace ostrel {

// The parameter preview: the caption (text()) in the parameter's font and
// colours, framed when frame is 1. font() is the element's font.
class ParametrPreview : public QLabel {
    Q_OBJECT
public:
    explicit ParametrPreview(QWidget* parent = nullptr);
    void setLook(const ParametrElement& look, const QString& caption);
    const ParametrElement& look() const { return look_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ParametrElement look_;
};

// The signal preview: the shape at its size in the colour it shows now.
class SignalPreview : public QWidget {
    Q_OBJECT
public:
    explicit SignalPreview(QWidget* parent = nullptr);
    void setLook(int shape, QSize size, int32_t shownColor, bool framed);
    int shape() const { return shape_; }
    QSize shapeSize() const { return size_; }
    int32_t shownColor() const { return color_; }
    bool framed() const { return framed_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int shape_ = 0;
    QSize size_{20, 20};
    int32_t color_ = 0;
    bool framed_ = false;
};

// The text-signal preview: the text it shows now (text()) in the element's
// font and colours.
class TextSignalPreview : public QLabel {
    Q_OBJECT
public:
    explicit TextSignalPreview(QWidget* parent = nullptr);
    void setLook(const TextSignalElement& look, bool on);
    const TextSignalElement& look() const { return look_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TextSignalElement look_;
    bool on_ = false;
};

// The level preview: the outer box and the half bar, as the page shows a
// level in the editor.
class LevelPreview : public QWidget {
    Q_OBJECT
public:
    explicit LevelPreview(QWidget* parent = nullptr);
    void setLook(const LevelElement& look);
    const LevelElement& look() const { return look_; }
    // The outer box and the bar in preview coordinates.
    QRect box() const;
    QRect bar() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LevelElement look_;
};

} // namespace ostrel
