#pragma once
// The controller's display: the received page image with the live elements
// drawn over it, at 1:1 (800 x 480) or scaled to the widget with its
// proportions kept; the touch cells of controls and go-to targets outlined
// on demand. The page image is expanded once per received page; a repaint
// only draws it and the live layer, so the view keeps up with any pacing.
#include "wire/page_decoder.h"
#include "display/block_values.h"
#include <QDateTime>
#include <QImage>
#include <QTimer>
#include <QWidget>

namespace ostrel {

class PanelView : public QWidget {
    Q_OBJECT
public:
    explicit PanelView(const BlockValues& values, QWidget* parent = nullptr);

    // The page to show (copied); nullptr shows that nothing was received.
    void showPage(const DecodedPage* page);
    bool hasPage() const { return hasPage_; }
    void setTouchCells(bool on);
    bool touchCells() const { return touchCells_; }
    void setFitToWindow(bool on);
    bool fitToWindow() const { return fit_; }
    // Where the page lies in the widget, in widget pixels.
    QRect pageRect() const;
    // The page at 1:1 as the view draws it.
    QImage composed() const;
    // The time the clock shows; an invalid time (the start) follows the current time.
    void setClockTime(const QDateTime& time);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const BlockValues& values_;
    QImage image_;
    PageTables tables_{};
    bool hasPage_ = false;
    bool touchCells_ = false;
    bool fit_ = false;
    QDateTime clockTime_;
    QTimer clockTimer_; // the clock's minutes go on while the page stands
};

} // namespace ostrel
