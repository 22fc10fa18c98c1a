#include "scheme/ui/scheme_overview.h"

#include "scheme/block_catalog.h"
#include "scheme/block_symbol.h"
#include "scheme/block_table.h"

#include <QMouseEvent>
#include <QPainter>

namespace ostrel {

namespace {

QFont overviewFont()
{
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(11);
    return f;
}

} // namespace

SchemeOverview::SchemeOverview(const BlockTable& blocks, const BlockCatalog& catalog, QWidget* parent)
    : QWidget(parent), blocks_(blocks), catalog_(catalog)
{
    setObjectName(QStringLiteral("SchemeOverview"));
    setMinimumSize(800, 500);
    setAutoFillBackground(true);
}

const QImage& SchemeOverview::symbol(int type)
{
    const int slot = (type >= 1 && type <= BlockCatalog::kTypes) ? type : 0;
    QImage& img = symbols_[slot];
    if (img.isNull())
        img = blockSymbol(slot, slot ? catalog_.typeCode(slot) : QStringLiteral("?"));
    return img;
}

void SchemeOverview::clear()
{
    drawn_ = false;
    pictures_.clear();
    labels_.clear();
    update();
}

void SchemeOverview::redraw()
{
    pictures_.clear();
    labels_.clear();

    labels_.push_back({QStringLiteral("SCADA"), {22, 62}, false});
    labels_.push_back({QStringLiteral("График"), {22, 122}, false});
    labels_.push_back({QStringLiteral("Журнал"), {20, 182}, false});

    const int fixed[3] = {BlockTable::kScadaBlock, BlockTable::kGraphBlock, BlockTable::kJournalBlock};
    for (int i = 0; i < 3; ++i) {
        const int type = blocks_.block_type[fixed[i]];
        pictures_.push_back({i + 1, type, QRect(QPoint(20, 20 + 60 * i), symbol(type).size())});
    }

    // Cell k = 7(c-1) + r; cells 1..8 stay empty, cell k > 8 is block k - 8.
    for (int c = 1; c <= kColumns; ++c) {
        for (int r = 1; r <= kRows; ++r) {
            const int k = kRows * (c - 1) + r;
            if (k < kFirstBlockPicture)
                continue;
            const int n = blockOfPicture(k);
            const int type = blocks_.block_type[n];
            if (type != kNoBlockType)
                pictures_.push_back({k, type, QRect(cellTopLeft(c, r), symbol(type).size())});
            const int y = type != kNoBlockType ? 60 * r + 7 : 60 * r + 30;
            labels_.push_back({QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')), {60 * c + 30, y}, true});
        }
    }
    drawn_ = true;
    update();
}

int SchemeOverview::pictureAt(const QPoint& pos) const
{
    for (const Picture& p : pictures_)
        if (p.rect.contains(pos))
            return p.k;
    return 0;
}

void SchemeOverview::paintEvent(QPaintEvent*)
{
    if (!drawn_)
        return;
    QPainter painter(this);
    painter.setFont(overviewFont());
    const QFontMetrics fm(painter.font());
    for (const Picture& p : pictures_)
        painter.drawImage(p.rect.topLeft(), symbol(p.type));
    for (const Label& l : labels_) {
        painter.setPen(l.blue ? QColor(0, 0, 255) : palette().color(QPalette::WindowText));
        painter.drawText(l.pos.x(), l.pos.y() + fm.ascent(), l.text);
    }
}

void SchemeOverview::mousePressEvent(QMouseEvent* event)
{
    const int k = pictureAt(event->position().toPoint());
    if (k != 0)
        emit blockClicked(k, event->button());
    QWidget::mousePressEvent(event);
}

} // namespace ostrel
