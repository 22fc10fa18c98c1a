#include "scada/page_painter.h"

#include "scada/kind_records.h"
#include "scada/picture_completeness.h"
#include "scheme/block_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ostrel {

namespace {

const QColor kBlack(0, 0, 0);

// Every drawing function leaves the painter as it found it and draws aliased.
class Aliased {
public:
    explicit Aliased(QPainter& p) : p_(p)
    {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setRenderHint(QPainter::TextAntialiasing, false);
        p_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    ~Aliased() { p_.restore(); }
    Aliased(const Aliased&) = delete;
    Aliased& operator=(const Aliased&) = delete;

private:
    QPainter& p_;
};

// The part of a path or reference after its last "\" or "/"; empty for
// nothing usable ("", ".", "..", blanks only).
QString fileNameOf(const QString& pathOrReference)
{
    const qsizetype cut = std::max(pathOrReference.lastIndexOf(u'\\'), pathOrReference.lastIndexOf(u'/'));
    const QString name = pathOrReference.mid(cut + 1);
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

QString inFolder(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || name.isEmpty())
        return {};
    return QDir(folder).filePath(name);
}

// A frame line just inside `r`.
void frameInside(QPainter& p, const QRect& r, const QColor& colour)
{
    if (r.width() < 1 || r.height() < 1)
        return;
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

QRect textBox(int x, int y, const QFont& font, const QString& text, int padding)
{
    const QFontMetrics fm(font);
    const QSize s = fm.size(0, text.isEmpty() ? QStringLiteral(" ") : text);
    return QRect(x, y, s.width() + 2 * padding, s.height() + 2 * padding);
}

QFont textSignalFont(const TextSignalElement& s)
{
    return pageFont(QStringLiteral("DejaVu Sans"), s.font <= 12 ? 10 : 14);
}

} // namespace

QColor recordColor(int32_t color)
{
    const auto c = uint32_t(color);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// ---- fonts ----------------------------------------------------------------

QString pageFontFamily(const QString& fontName)
{
    QString name = fontName.trimmed().toLower();
    // Old Windows installations name the Cyrillic sets "Arial Cyr" and so on.
    if (name.endsWith(QLatin1String(" cyr")))
        name.chop(4);
    if (name == QLatin1String("arial") || name == QLatin1String("liberation sans"))
        return QStringLiteral("Liberation Sans");
    if (name == QLatin1String("times new roman") || name == QLatin1String("liberation serif"))
        return QStringLiteral("Liberation Serif");
    if (name == QLatin1String("courier new") || name == QLatin1String("liberation mono"))
        return QStringLiteral("Liberation Mono");
    if (name == QLatin1String("dejavu serif"))
        return QStringLiteral("DejaVu Serif");
    if (name == QLatin1String("dejavu sans mono"))
        return QStringLiteral("DejaVu Sans Mono");
    return QStringLiteral("DejaVu Sans");
}

QFont pageFont(const QString& family, double points, bool bold, bool italic)
{
    QFont f(family);
    f.setPixelSize(std::max(1, int(points * 96.0 / 72.0 + 0.5)));
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QFont textElementFont(const TextElement& t)
{
    // A size of 0 only comes from a damaged file: the system's 8 points then.
    const int points = t.font_size == 0 ? 8 : t.font_size;
    return pageFont(pageFontFamily(t.font_name), points, t.bold != 0, t.italic != 0);
}

QFont parametrFont(uint8_t code)
{
    const QString face = QStringLiteral("DejaVu Sans");
    if (code <= 12)
        return pageFont(face, 10, true);
    if (code <= 16)
        return pageFont(face, 14, false);
    if (code <= 21)
        return pageFont(face, 14, true);
    if (code <= 24)
        return pageFont(face, 24, true);
    return pageFont(face, 25, false);
}

QFont labelFont(int points, bool bold)
{
    return pageFont(QStringLiteral("DejaVu Sans"), points, bold);
}

// ---- rectangles -----------------------------------------------------------

QRect controlRect(const ControlElement& c)
{
    const int top = c.type == 13 ? c.y - 10 : c.y;
    return QRect(QPoint(c.x, top), ElementPictures::buttonSize(c.type));
}

QRect ventRect(const VentElement& v)
{
    const QSize s = ElementPictures::mechanismSize(v.picture);
    if (s.isEmpty())
        return QRect(v.x, v.y, std::abs(v.width), std::abs(v.height));
    return QRect(QPoint(v.x, v.y), s);
}

QRect menuPictureRect(const MenuElement& m)
{
    return QRect(QPoint(m.x, m.y) - ElementPictures::kMenuTextOffset, ElementPictures::menuSize());
}

QRect menuTextRect(const MenuElement& m)
{
    return QRect(QPoint(m.x, m.y), ElementPictures::kMenuTextSize);
}

QRect textElementRect(const TextElement& t)
{
    return textBox(t.x, t.y, textElementFont(t), t.text, 0);
}

QRect figuraShapeRect(const FiguraElement& f)
{
    const int w = std::abs(int(f.size_x));
    const int h = f.type == 1 ? w : std::abs(int(f.size_y));
    return QRect(f.x, f.y, w, h);
}

QRect figuraRect(const FiguraElement& f)
{
    const QRect box = figuraShapeRect(f);
    const int pen = std::max(1, std::abs(int(f.line_width)));
    return QRect(box.topLeft(), box.size() + QSize(1, 1)).adjusted(-pen, -pen, pen, pen);
}

QRect parametrRect(const ParametrElement& e, const QString& caption)
{
    return textBox(e.x, e.y, parametrFont(e.font), caption, 2);
}

QRect signalRect(const SignalElement& s)
{
    return QRect(s.x, listTop(s.y), signalSize(s.width), signalSize(s.height));
}

QRect textSignalRect(const TextSignalElement& s, const QString& text)
{
    return textBox(s.x, listTop(s.y), textSignalFont(s), textSignalShown(text), 2);
}

QRect levelRect(const LevelElement& l)
{
    return QRect(l.x, l.y, std::abs(int(l.width)), std::abs(int(l.height)));
}

QRect goBlockRect(const GoBlockElement& g)
{
    return QRect(g.x, g.y, 40, 40);
}

QRect grafikRect(const GrafikElement& g)
{
    return QRect(g.x, g.y, std::abs(int(g.width)), std::abs(int(g.height)));
}

QRect clockRect(const ClockElement& c)
{
    const QFontMetrics time(labelFont(12, true));
    const QFontMetrics date(labelFont(10));
    const int w = std::max(time.horizontalAdvance(QStringLiteral("00:00")),
                           date.horizontalAdvance(QStringLiteral("00.00.00")));
    return QRect(c.x, c.y, w, 22 + date.height());
}

// ---- static kinds ---------------------------------------------------------

void paintControl(QPainter& p, const ControlElement& c, const QImage& keyedPicture)
{
    if (keyedPicture.isNull())
        return;
    Aliased guard(p);
    const QRect r = controlRect(c);
    if (keyedPicture.size() == r.size())
        p.drawImage(r.topLeft(), keyedPicture);
    else
        p.drawImage(r, keyedPicture);
}

void paintVent(QPainter& p, const VentElement& v, const ElementPictures& pictures)
{
    const QImage& picture = pictures.keyedMechanism(v.picture);
    if (picture.isNull())
        return;
    Aliased guard(p);
    p.drawImage(QPoint(v.x, v.y), picture);
}

void paintMenu(QPainter& p, const MenuElement& m, const ElementPictures& pictures)
{
    Aliased guard(p);
    p.drawImage(menuPictureRect(m).topLeft(), pictures.keyedMenu());
    p.setFont(labelFont(10));
    p.setPen(kBlack);
    p.drawText(menuTextRect(m).adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               m.text);
}

void paintText(QPainter& p, const TextElement& t)
{
    if (t.text.isEmpty())
        return;
    Aliased guard(p);
    p.setFont(textElementFont(t));
    p.setPen(recordColor(t.color));
    p.drawText(textElementRect(t), Qt::AlignLeft | Qt::AlignTop, t.text);
}

namespace {

long long floorSqrt(long long v)
{
    if (v <= 0)
        return 0;
    auto r = static_cast<long long>(std::sqrt(double(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return r;
}

long long ceilSqrt(long long v)
{
    const long long r = floorSqrt(v);
    return r * r == v ? r : r + 1;
}

long long floorHalf(long long v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
long long ceilHalf(long long v) { return -floorHalf(-v); }

// A circle outline of diameter d and line width w whose box starts at pixel
// (x, y): the pixels whose centres lie within w / 2 of the circle through
// the centres of pixels x and x + d. Worked out in doubled integer
// coordinates, so the outline is exactly symmetric, unlike the platform's
// ellipse stroke.
void paintCircle(QPainter& p, int x, int y, int d, int w, const QColor& colour)
{
    const long long outer = (long long)(d + w) * (d + w);
    const long long inner = d > w ? (long long)(d - w) * (d - w) : 0;
    const long long twiceCentreX = 2LL * x + d;
    for (long long j = y - w; j <= (long long)y + d + w; ++j) {
        const long long dy = 2 * j - (2LL * y + d);
        const long long reach = outer - dy * dy;
        if (reach < 0)
            continue;
        const long long a = floorSqrt(reach);
        const long long left = ceilHalf(twiceCentreX - a), right = floorHalf(twiceCentreX + a);
        auto span = [&](long long from, long long to) {
            if (from <= to)
                p.fillRect(QRect(int(from), int(j), int(to - from + 1), 1), colour);
        };
        const long long hole = inner - dy * dy;
        if (hole <= 0) {
            span(left, right);
            continue;
        }
        const long long b = ceilSqrt(hole);
        span(left, floorHalf(twiceCentreX - b));
        span(ceilHalf(twiceCentreX + b), right);
    }
}

} // namespace

void paintFigura(QPainter& p, const FiguraElement& f)
{
    Aliased guard(p);
    QPen pen(recordColor(f.color), std::max(1, std::abs(int(f.line_width))));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const int w = std::abs(int(f.size_x));
    if (f.type == 1)
        paintCircle(p, f.x, f.y, w, pen.width(), pen.color());
    else
        p.drawRect(QRect(f.x, f.y, w, std::abs(int(f.size_y))));
}

// ---- live kinds -----------------------------------------------------------

QString parametrCaption(int number, uint8_t digits)
{
    const int width = std::min<int>(digits, 4) + 2;
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

void paintParametr(QPainter& p, const ParametrElement& e, const QString& caption)
{
    Aliased guard(p);
    const QRect r = parametrRect(e, caption);
    p.fillRect(r, recordColor(e.back_color));
    p.setFont(parametrFont(e.font));
    p.setPen(recordColor(e.color));
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption);
    if (e.frame == 1)
        frameInside(p, r, kBlack);
}

namespace {

// Fills the pixels whose centres lie inside the triangle or on its edges,
// row by row: the platform's fill leaves pixels on an edge to its fill rule,
// which would drop corners of the valve shapes.
void fillTriangle(QPainter& p, const std::array<QPointF, 3>& v, const QColor& colour)
{
    constexpr double eps = 1e-9;
    const double top = std::min({v[0].y(), v[1].y(), v[2].y()});
    const double bottom = std::max({v[0].y(), v[1].y(), v[2].y()});
    for (int j = int(std::floor(top)); j < int(std::ceil(bottom)); ++j) {
        const double yc = j + 0.5;
        double from = 1e18, to = -1e18;
        for (size_t e = 0; e < 3; ++e) {
            const QPointF a = v[e], b = v[(e + 1) % 3];
            if (yc < std::min(a.y(), b.y()) - eps || yc > std::max(a.y(), b.y()) + eps)
                continue;
            if (std::abs(b.y() - a.y()) < eps) {
                from = std::min({from, a.x(), b.x()});
                to = std::max({to, a.x(), b.x()});
                continue;
            }
            const double x = a.x() + (yc - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
            from = std::min(from, x);
            to = std::max(to, x);
        }
        const int i0 = int(std::ceil(from - 0.5 - eps)), i1 = int(std::floor(to - 0.5 + eps));
        if (i0 <= i1)
            p.fillRect(QRect(i0, j, i1 - i0 + 1, 1), colour);
    }
}

} // namespace

void paintSignalShape(QPainter& p, const QRect& r, int shape, const QColor& colour, bool framed)
{
    if (r.width() < 1 || r.height() < 1)
        return;
    Aliased guard(p);
    // Corners on pixel edges: a pixel is filled when its centre lies inside
    // or on the edge, so every shape fills its rectangle edge to edge.
    const double l = r.left(), t = r.top(), rt = r.left() + r.width(), b = r.top() + r.height();
    const double cx = l + r.width() / 2.0, cy = t + r.height() / 2.0;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    auto triangle = [&](QPointF a, QPointF b2, QPointF c) { fillTriangle(p, {a, b2, c}, colour); };
    switch (shape) {
    case 1: {
        QPainterPath disc;
        disc.addEllipse(QRectF(r));
        p.drawPath(disc);
        if (framed) {
            p.setPen(QPen(kBlack, 1));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(r.adjusted(0, 0, -1, -1));
        }
        return;
    }
    case 2: triangle({l, b}, {rt, b}, {cx, t}); return;
    case 3: triangle({l, t}, {l, b}, {rt, cy}); return;
    case 4: triangle({l, t}, {rt, t}, {cx, b}); return;
    case 5: triangle({rt, t}, {rt, b}, {l, cy}); return;
    case 6:
        triangle({l, t}, {l, b}, {cx, cy});
        triangle({rt, t}, {rt, b}, {cx, cy});
        return;
    case 7:
        triangle({l, t}, {rt, t}, {cx, cy});
        triangle({l, b}, {rt, b}, {cx, cy});
        return;
    default:
        p.fillRect(r, colour);
        if (framed)
            frameInside(p, r, kBlack);
        return;
    }
}

void paintSignal(QPainter& p, const SignalElement& s, bool on)
{
    paintSignalShape(p, signalRect(s), signalShape(s.width, s.height), recordColor(on ? s.color : s.back_color),
                     s.frame == 1);
}

void paintTextSignal(QPainter& p, const TextSignalElement& s, bool on)
{
    Aliased guard(p);
    const QString text = textSignalShown(on ? s.text_on : s.text_off);
    const QRect r = textSignalRect(s, text);
    p.fillRect(r, recordColor(s.back_color));
    p.setFont(textSignalFont(s));
    p.setPen(recordColor(s.color));
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
    if (s.frame == 1)
        frameInside(p, r, kBlack);
}

void paintLevel(QPainter& p, const LevelElement& l)
{
    Aliased guard(p);
    const QRect box = levelRect(l);
    QRect bar;
    if (levelHorizontal(l.style)) {
        p.fillRect(box, recordColor(l.back_color));
        bar = QRect(box.x(), box.y(), box.width() / 2, box.height());
        p.fillRect(bar, recordColor(l.color));
    } else {
        p.fillRect(box, recordColor(l.color));
        bar = QRect(box.x(), box.y(), box.width(), box.height() / 2);
        p.fillRect(bar, recordColor(l.back_color));
    }
    if (levelFramed(l.style)) {
        frameInside(p, box, kBlack);
        frameInside(p, bar, kBlack);
    }
}

void paintLevelFill(QPainter& p, const LevelElement& l, double fraction)
{
    const QRect box = levelRect(l);
    if (box.isEmpty())
        return;
    Aliased guard(p);
    const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    p.fillRect(box, recordColor(l.back_color));
    QRect bar;
    if (levelHorizontal(l.style)) {
        bar = QRect(box.x(), box.y(), int(std::lround(box.width() * f)), box.height());
    } else {
        const int h = int(std::lround(box.height() * f));
        bar = QRect(box.x(), box.y() + box.height() - h, box.width(), h);
    }
    if (!bar.isEmpty())
        p.fillRect(bar, recordColor(l.color));
    if (levelFramed(l.style))
        frameInside(p, box, kBlack);
}

int goBlockNumber(int16_t target)
{
    if (target >= 101 && target <= 199)
        return target - 100;
    if (target >= 201 && target <= 208)
        return BlockTable::kScadaBlock;
    if (target >= 211 && target <= 218)
        return BlockTable::kGraphBlock;
    if (target >= 220 && target <= 251)
        return 0;
    return target;
}

void paintGoBlock(QPainter& p, const GoBlockElement& g)
{
    Aliased guard(p);
    const QRect r = goBlockRect(g);
    const QColor navy(0, 0, 128);
    frameInside(p, r, navy);
    p.setFont(labelFont(10, true));
    p.setPen(navy);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, QString::number(goBlockNumber(g.target)));
}

void paintGrafik(QPainter& p, const GrafikElement& g)
{
    const QRect r = grafikRect(g);
    if (r.width() < 2 || r.height() < 2)
        return;
    Aliased guard(p);
    p.fillRect(r, QColor(248, 248, 240));
    frameInside(p, r, kBlack);
    // Axes 8 pixels in from the left and bottom edges, with a few ticks.
    const int ox = r.left() + 8, oy = r.bottom() - 8;
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.drawLine(ox, r.top() + 4, ox, oy);
    p.drawLine(ox, oy, r.right() - 4, oy);
    for (int x = ox + 20; x < r.right() - 4; x += 20)
        p.drawLine(x, oy, x, oy + 3);
    for (int y = oy - 15; y > r.top() + 4; y -= 15)
        p.drawLine(ox - 3, y, ox, y);
}

void paintClock(QPainter& p, const ClockElement& c, const QString& time, const QString& date)
{
    Aliased guard(p);
    p.setPen(kBlack);
    p.setFont(labelFont(12, true));
    p.drawText(QRect(c.x, c.y, 200, 22), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, time);
    p.setFont(labelFont(10));
    p.drawText(QRect(c.x, c.y + 22, 200, 22), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, date);
}

// ---- the page image -------------------------------------------------------

PagePainter::PagePainter(const ElementPictures& pictures) : pictures_(pictures) {}

bool PagePainter::pictureLargerThanPage(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    return size.isValid() && (size.width() > kPageWidth || size.height() > kPageHeight);
}

QStringList PagePainter::backgroundCandidates(const ScadaPages& pages, int p, const QString& projectFolder)
{
    QStringList out;
    if (p < 0 || p >= ScadaPages::kShownPages)
        return out;
    const QString& full = pages.fullPath(p);
    if (!full.isEmpty() && QDir::isAbsolutePath(full))
        out << full;
    QString name = fileNameOf(pages.shortRef(p));
    if (name.isEmpty())
        name = fileNameOf(full);
    const QString local = inFolder(projectFolder, name);
    if (!local.isEmpty() && !out.contains(local))
        out << local;
    return out;
}

const QImage* PagePainter::load(const QString& path, bool keyed, bool* complete)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return nullptr;
    QHash<QString, Loaded>& cache = keyed ? keyedFiles_ : files_;
    const QString key = info.absoluteFilePath();
    const QDateTime modified = info.lastModified();
    const auto it = cache.find(key);
    if (it != cache.end() && it->modified == modified && it->size == info.size()) {
        if (complete)
            *complete = it->complete;
        return &it->image;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read(); // the first frame of an animated GIF
    if (image.isNull()) {
        cache.remove(key);
        return nullptr;
    }
    // A file cut short decodes without an error, its missing part black.
    QFile file(path);
    const bool whole = !file.open(QIODevice::ReadOnly) || pictureComplete(file.readAll());
    if (complete)
        *complete = whole;
    if (keyed)
        image = ElementPictures::whiteTransparent(image);
    else
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    Loaded& entry = cache[key];
    entry = {image, modified, info.size(), whole};
    return &entry.image;
}

QImage PagePainter::controlPicture(const ControlElement& c, const QString& projectFolder)
{
    for (const QString& path : controlPictureCandidates(c.picture_file, projectFolder))
        if (const QImage* img = load(path, true))
            return *img;
    return pictures_.keyedButton(c.type);
}

QStringList PagePainter::controlPictureCandidates(const QString& pictureFile, const QString& projectFolder)
{
    QStringList out;
    // A picture just chosen in the control dialog is named by its full path
    // until the project is saved (the save copies it beside the project).
    if (!pictureFile.isEmpty() && QDir::isAbsolutePath(pictureFile))
        out << pictureFile;
    const QString local = inFolder(projectFolder, fileNameOf(pictureFile));
    if (!local.isEmpty() && !out.contains(local))
        out << local;
    return out;
}

PagePaintResult PagePainter::paintPage(const ScadaPages& pages, int p, const QString& projectFolder)
{
    PagePaintResult result;
    if (p < 0 || p >= ScadaPages::kShownPages) {
        result.error = {QStringLiteral("Нет страницы %1").arg(p + 1), kPageErrorTitle, MessageIcon::None};
        return result;
    }
    // The page is painted into the same buffer every time; a caller still
    // holding the previous image gets to keep it, and a new buffer is taken.
    if (!canvas_.isDetached() || canvas_.size() != QSize(kPageWidth, kPageHeight)
        || canvas_.format() != QImage::Format_RGB32)
        canvas_ = QImage(kPageWidth, kPageHeight, QImage::Format_RGB32);
    const QColor fill = recordColor(pages.fill_color[size_t(p)]);

    const QImage* background = nullptr;
    if (pages.background_kind[size_t(p)] == 1) {
        const QStringList candidates = backgroundCandidates(pages, p, projectFolder);
        bool complete = true;
        for (const QString& path : candidates) {
            // The size from the file's header: a picture too large to be
            // decoded at all is still one larger than the page.
            if (pictureLargerThanPage(path)) {
                result.error = {kPageTooLarge, kPageErrorTitle, MessageIcon::None};
                return result;
            }
            if ((background = load(path, false, &complete)))
                break;
        }
        QString name = fileNameOf(pages.shortRef(p));
        if (name.isEmpty())
            name = pages.fullPath(p);
        if (!background) {
            result.warnings << QStringLiteral("Рисунок фона страницы %1 не загружен: %2").arg(p + 1).arg(name);
        } else if (background->width() > kPageWidth || background->height() > kPageHeight) {
            result.error = {kPageTooLarge, kPageErrorTitle, MessageIcon::None};
            return result;
        } else if (!complete) {
            result.warnings << QStringLiteral("Рисунок фона страницы %1 загружен не полностью: %2").arg(p + 1).arg(name);
        }
        result.background_picture = background != nullptr;
    }
    if (background && background->size() == canvas_.size() && background->format() == QImage::Format_RGB32) {
        std::memcpy(canvas_.bits(), background->constBits(), size_t(canvas_.sizeInBytes()));
        background = nullptr;
    } else {
        canvas_.fill(fill);
    }

    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (background)
        painter.drawImage(QPoint(0, 0), *background);

    // The kinds of the page image, lowest drawing order first: controls,
    // mechanisms, menu entries, texts, figures.
    const size_t pi = size_t(p);
    const auto paintInImage = [&](QPainter& to, const auto& e, const QString& folder) {
        using T = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<T, ControlElement>) {
            if (e.type != 0)
                paintControl(to, e, controlPicture(e, folder));
        } else if constexpr (std::is_same_v<T, VentElement>) {
            paintVent(to, e, pictures_);
        } else if constexpr (std::is_same_v<T, MenuElement>) {
            paintMenu(to, e, pictures_);
        } else if constexpr (std::is_same_v<T, TextElement>) {
            paintText(to, e);
        } else {
            static_assert(std::is_same_v<T, FiguraElement>, "a kind of the page image without its painter");
            paintFigura(to, e);
        }
    };
    for (ObjectKind kind : kPageImageOrder)
        visitKind(kind, [&](auto k) {
            using K = decltype(k);
            if constexpr (K::info().in_page_image)
                for (int n = 1; n <= K::info().max_number; ++n) {
                    const auto& e = K::record(pages, pi, size_t(n));
                    if (e.used)
                        paintInImage(painter, e, projectFolder);
                }
        });
    painter.end();

    result.ok = true;
    result.image = canvas_;
    return result;
}

} // namespace ostrel
