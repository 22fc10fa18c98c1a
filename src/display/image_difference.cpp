#include "display/image_difference.h"

#include <cstdlib>

namespace ostrel {

ImageDifference visibleDifference(const QImage& a, const QImage& b, int threshold, QRgb colour)
{
    ImageDifference out;
    if (a.isNull() || a.size() != b.size())
        return out;
    const QImage ra = a.convertToFormat(QImage::Format_RGB32);
    const QImage rb = b.convertToFormat(QImage::Format_RGB32);
    out.mask = QImage(a.size(), QImage::Format_ARGB32_Premultiplied);
    out.mask.fill(Qt::transparent);
    const QRgb mark = qPremultiply(colour | 0xFF000000u);
    for (int y = 0; y < ra.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(ra.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(rb.constScanLine(y));
        auto* lm = reinterpret_cast<QRgb*>(out.mask.scanLine(y));
        for (int x = 0; x < ra.width(); ++x) {
            const QRgb pa = la[x], pb = lb[x];
            if (pa == pb)
                continue;
            if (std::abs(qRed(pa) - qRed(pb)) > threshold || std::abs(qGreen(pa) - qGreen(pb)) > threshold
                || std::abs(qBlue(pa) - qBlue(pb)) > threshold) {
                lm[x] = mark;
                ++out.pixels;
            }
        }
    }
    return out;
}

} // namespace ostrel
