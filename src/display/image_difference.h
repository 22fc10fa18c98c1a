#pragma once
// Where the controller's 12-bit image loses what the page showed at 24 bits:
// the pixels whose colour changed visibly by the quantisation, as a mask to
// draw over the page.
#include <QImage>

namespace ostrel {

// A component that moved by more than this (of 255) counts as visible.
inline constexpr int kVisibleDifference = 8;

struct ImageDifference {
    QImage mask;      // Format_ARGB32_Premultiplied: `colour` where they differ, transparent elsewhere
    qint64 pixels = 0; // how many differ
};

// Compares two images of the same size pixel by pixel; any component that
// differs by more than `threshold` marks the pixel. Images of different
// sizes give an empty mask and no pixels.
ImageDifference visibleDifference(const QImage& a, const QImage& b, int threshold = kVisibleDifference,
                                  QRgb colour = qRgb(255, 0, 0));

} // namespace ostrel
