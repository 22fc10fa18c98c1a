#pragma once
// The scheme overview of the main window in scheme mode: the SCADA, graph and
// journal pictures in a left column and a 12 x 7 grid of block pictures, each
// block's number printed in blue above its picture. A click on a picture is
// reported by its picture number k (1..3 for blocks 97..99, k > 8 for block
// k - 8); what the click opens is the main window's business.
#include "scheme/block_catalog.h"
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

namespace ostrel {

struct BlockTable;

class SchemeOverview : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPictures = 84;   // pictures 1..84 (4..8 never shown)
    static constexpr int kColumns = 12, kRows = 7;
    static constexpr int kFirstBlockPicture = 9;
    // The block that picture k (k >= kFirstBlockPicture) shows.
    static constexpr int blockOfPicture(int k) { return k - (kFirstBlockPicture - 1); }

    // One picture of the overview as drawn.
    struct Picture {
        int k = 0;          // picture number
        int type = 0;       // block type shown
        QRect rect;         // where the picture is drawn
    };
    // One printed text: a block number or a caption; pos is its top-left corner.
    struct Label {
        QString text;
        QPoint pos;
        bool blue = false;  // block numbers are printed in pure blue
    };

    SchemeOverview(const BlockTable& blocks, const BlockCatalog& catalog, QWidget* parent = nullptr);

    // Draws the overview from the block table as it stands.
    void redraw();
    // Empties the drawing area until the next redraw.
    void clear();
    bool isDrawn() const { return drawn_; }

    // What the last redraw placed, in drawing order.
    const std::vector<Picture>& pictures() const { return pictures_; }
    const std::vector<Label>& labels() const { return labels_; }

    // Picture number under the point, 0 when none.
    int pictureAt(const QPoint& pos) const;

    // Geometry of the grid, shared with anyone who needs it.
    static QPoint cellTopLeft(int column, int row) { return {60 * column + 20, 60 * row + 20}; }

signals:
    void blockClicked(int k, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const QImage& symbol(int type);

    const BlockTable& blocks_;
    const BlockCatalog& catalog_;
    bool drawn_ = false;
    std::vector<Picture> pictures_;
    std::vector<Label> labels_;
    std::array<QImage, BlockCatalog::kTypes + 1> symbols_; // cached pictures per type 0..50
};

} // namespace ostrel
