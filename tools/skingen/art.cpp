#include "art.h"

#include "ui/layout.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace skingen {

using quelvex::Image;
using quelvex::Size;
using I = quelvex::Image;

namespace {

QColor rgb(std::uint32_t v) {
    return QColor(QRgb(0xFF000000u | v));
}

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QColor mix(const QColor& a, const QColor& b, double t) {
    auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

// The face's palette. The three lavender fields and the caption colour are the ones the program
// itself paints with, so they must not drift.
const QColor kBody = rgb(0x252752);      // flat face; also the key colour of see-through parts
const QColor kBodyHi = rgb(0x3D4080);    // bevel highlights
const QColor kBodyLo = rgb(0x0B0C1F);    // bevel shadows and outlines
const QColor kWell = rgb(0x111229);      // recesses around the displays
const QColor kFooter = rgb(0x0E0F24);    // rows hidden under the link bar
const QColor kLcd = rgb(0x9DA0C8);       // large digit field
const QColor kLcdGhost = rgb(0x918BBC);  // unlit segments
const QColor kLcdSmall = rgb(0xB1B4DC);  // small digit field
const QColor kLcdPrint = rgb(0x66649A);  // markings printed on the displays
const QColor kInk = rgb(0x000000);       // lit segments
const QColor kCaption = rgb(0xBDB7E8);   // captions
const QColor kLavender = rgb(0x8F89D8);  // accents
const QColor kGlyph = rgb(0xEEECFF);     // symbols on released buttons
const QColor kGlyphDown = rgb(0xB3AEE2); // symbols on pressed buttons
const QColor kDisplay = rgb(0x1B1A40);   // options display background
const QColor kLampLit = rgb(0x7FD4FF);
const QColor kPictogram = rgb(0x15142E);
const QColor kDim = rgb(0x7C77AE); // quiet words on the display

QString gSans;
QString gNarrow;

bool isDouble(const QPainter& p) {
    return p.transform().m11() > 1.5;
}

class Draw : public QPainter {
  public:
    Draw(QImage& image, int scale) : QPainter(&image) {
        setRenderHint(QPainter::Antialiasing);
        setRenderHint(QPainter::TextAntialiasing);
        setRenderHint(QPainter::SmoothPixmapTransform);
        QPainter::scale(scale, scale);
    }
};

// ---------------------------------------------------------------------------------------------
// Text

QFont font(int px, bool bold, bool narrow = false, qreal spacing = 0) {
    QFont f(narrow ? gNarrow : gSans);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoFontMerging));
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setKerning(true);
    if (spacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return f;
}

qreal textWidth(const QFont& f, const QString& s) {
    // Letter spacing is added after every letter, the last one included; it is not ink.
    return QFontMetricsF(f).horizontalAdvance(s) - f.letterSpacing();
}

qreal capHeight(const QFont& f) {
    return QFontMetricsF(f).capHeight();
}

// Picks the font in which `s` fits `width`: Liberation Sans, then its narrow cut, then smaller.
QFont fitting(const QString& s, qreal width, int px, bool bold, qreal spacing = 0, bool narrowFirst = false) {
    for (int size = px; size >= px - 2; --size) {
        for (int pass = 0; pass < 2; ++pass) {
            const bool narrow = (pass == 0) == narrowFirst;
            for (qreal sp = spacing; sp >= 0; sp -= 0.5) {
                QFont f = font(size, bold, narrow, sp);
                if (textWidth(f, s) <= width) return f;
            }
        }
    }
    std::fprintf(stderr, "skingen: \"%s\" does not fit in %.0f px\n", qPrintable(s), width);
    return font(px - 2, bold, true);
}

enum class Align { Left, Centre, Right };

// Draws `s` on the baseline `baseline`, placed in [x, x + width] as `align` says.
void text(QPainter& p, const QFont& f, const QString& s, qreal x, qreal width, qreal baseline,
          const QColor& c, Align align = Align::Left, const QColor& shadow = Qt::transparent,
          QPointF shadowOffset = {0, 1}) {
    const qreal w = textWidth(f, s);
    qreal left = x;
    if (align == Align::Centre) left = x + (width - w) / 2;
    if (align == Align::Right) left = x + width - w;
    // Whole pixels at 1× keep small captions sharp.
    left = std::round(left);
    p.setFont(f);
    if (shadow.alpha() > 0) {
        p.setPen(shadow);
        p.drawText(QPointF(left, baseline) + shadowOffset, s);
    }
    p.setPen(c);
    p.drawText(QPointF(left, baseline), s);
}

// The baseline that centres capitals vertically in a band [top, top + height).
qreal capBaseline(const QFont& f, qreal top, qreal height) {
    return std::round(top + (height + capHeight(f)) / 2);
}

// ---------------------------------------------------------------------------------------------
// Tiny lettering: strokes between pixel centres. At 1× the strokes are laid pixel by pixel so the
// letters stay crisp; at 2× the same strokes are drawn as smooth lines.

using Stroke = std::vector<QPoint>;
using TinyGlyph = std::vector<Stroke>;

TinyGlyph tinyGlyph(QChar c) {
    switch (c.unicode()) {
    // 5 × 7 digits
    case '0': return {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}};
    case '1': return {{{1, 1}, {2, 0}, {2, 6}}, {{1, 6}, {3, 6}}};
    case '2': return {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 2}, {0, 6}, {4, 6}}};
    case '3':
        return {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {1, 6}, {0, 5}},
                {{2, 3}, {3, 3}}};
    case '4': return {{{3, 6}, {3, 0}, {0, 3}, {0, 4}, {4, 4}}};
    case '5': return {{{4, 0}, {0, 0}, {0, 2}, {3, 2}, {4, 3}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}};
    case '6': return {{{3, 0}, {2, 0}, {0, 2}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 4}, {3, 3}, {0, 3}}};
    case '7': return {{{0, 0}, {4, 0}, {4, 1}, {1, 4}, {1, 6}}};
    case '8':
        return {{{1, 3},
                 {0, 2},
                 {0, 1},
                 {1, 0},
                 {3, 0},
                 {4, 1},
                 {4, 2},
                 {3, 3},
                 {1, 3},
                 {0, 4},
                 {0, 5},
                 {1, 6},
                 {3, 6},
                 {4, 5},
                 {4, 4},
                 {3, 3}}};
    case '9': return {{{1, 6}, {2, 6}, {4, 4}, {4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 2}, {1, 3}, {4, 3}}};
    // 5 × 5 capitals
    case 'A': return {{{0, 4}, {0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 4}}, {{0, 2}, {4, 2}}};
    case 'P': return {{{0, 4}, {0, 0}, {3, 0}, {4, 1}, {3, 2}, {0, 2}}};
    case 'M': return {{{0, 4}, {0, 0}, {2, 2}, {4, 0}, {4, 4}}};
    case 'H': return {{{0, 0}, {0, 4}}, {{4, 0}, {4, 4}}, {{0, 2}, {4, 2}}};
    case 'S': return {{{4, 0}, {1, 0}, {0, 1}, {1, 2}, {3, 2}, {4, 3}, {3, 4}, {0, 4}}};
    // 3 × 5 digits and colon, for the counter pictogram
    case 'o': return {{{0, 0}, {2, 0}, {2, 4}, {0, 4}, {0, 0}}};
    case ':': return {{{0, 1}}, {{0, 3}}};
    default: return {};
    }
}

int tinyAdvance(QChar c) {
    if (c == 'o') return 4;
    if (c == ':') return 2;
    if (c == ' ') return 3;
    return 6;
}

void tinyText(QPainter& p, QPointF origin, const QString& s, const QColor& c) {
    qreal x = origin.x();
    for (QChar ch : s) {
        for (const Stroke& stroke : tinyGlyph(ch)) {
            if (!isDouble(p)) {
                // Lay each segment pixel by pixel (the segments are straight or 45°).
                p.save();
                p.setRenderHint(QPainter::Antialiasing, false);
                for (std::size_t k = 0; k < stroke.size(); ++k) {
                    const QPoint a = stroke[k];
                    const QPoint b = k + 1 < stroke.size() ? stroke[k + 1] : a;
                    const int steps = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
                    for (int i = 0; i <= steps; ++i) {
                        const int px = a.x() + (steps ? (b.x() - a.x()) * i / steps : 0);
                        const int py = a.y() + (steps ? (b.y() - a.y()) * i / steps : 0);
                        p.fillRect(QRectF(x + px, origin.y() + py, 1, 1), c);
                    }
                }
                p.restore();
            } else if (stroke.size() == 1) {
                p.setPen(Qt::NoPen);
                p.setBrush(c);
                const QPointF centre(x + stroke[0].x() + 0.5, origin.y() + stroke[0].y() + 0.5);
                p.drawEllipse(centre, 0.55, 0.55);
            } else {
                QPainterPath path;
                path.moveTo(x + stroke[0].x() + 0.5, origin.y() + stroke[0].y() + 0.5);
                for (std::size_t k = 1; k < stroke.size(); ++k)
                    path.lineTo(x + stroke[k].x() + 0.5, origin.y() + stroke[k].y() + 0.5);
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(c, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPath(path);
            }
        }
        x += tinyAdvance(ch);
    }
}

qreal tinyWidth(const QString& s) {
    qreal w = 0;
    for (QChar ch : s)
        w += tinyAdvance(ch);
    return s.isEmpty() ? 0 : w - 1;
}

// ---------------------------------------------------------------------------------------------
// Seven-segment digits, 13 × 23: two-pixel bars on rows 2, 11 and 20, columns 1 and 10.

void segmentDigit(QPainter& p, QPointF o, int digit, const QColor& lit, const QColor& unlit) {
    const qreal t = 2.0, g = 0.55;
    const qreal xl = 2, xr = 11, yt = 3, ym = 12, yb = 21;
    auto horizontal = [&](qreal y) {
        QPolygonF poly{{xl + g, y}, {xl + g + t / 2, y - t / 2}, {xr - g - t / 2, y - t / 2},
                       {xr - g, y}, {xr - g - t / 2, y + t / 2}, {xl + g + t / 2, y + t / 2}};
        return poly.translated(o);
    };
    auto vertical = [&](qreal x, qreal ya, qreal yb2) {
        QPolygonF poly{{x, ya + g},  {x + t / 2, ya + g + t / 2},  {x + t / 2, yb2 - g - t / 2},
                       {x, yb2 - g}, {x - t / 2, yb2 - g - t / 2}, {x - t / 2, ya + g + t / 2}};
        return poly.translated(o);
    };
    // a b c d e f g
    const std::array<QPolygonF, 7> segments{horizontal(yt), vertical(xr, yt, ym), vertical(xr, ym, yb),
                                            horizontal(yb), vertical(xl, ym, yb), vertical(xl, yt, ym),
                                            horizontal(ym)};
    static constexpr std::array<const char*, 10> kLit{"abcdef", "bc",     "abged", "abgcd",   "fgbc",
                                                      "afgcd",  "afgedc", "abc",   "abcdefg", "abcdfg"};
    p.setPen(Qt::NoPen);
    if (unlit.alpha() > 0) {
        p.setBrush(unlit);
        for (const QPolygonF& s : segments)
            p.drawPolygon(s);
    }
    if (digit < 0) return;
    p.setBrush(lit);
    for (const char* c = kLit[static_cast<std::size_t>(digit)]; *c; ++c)
        p.drawPolygon(segments[static_cast<std::size_t>(*c - 'a')]);
}

void colonDots(QPainter& p, qreal x, qreal y1, qreal y2, const QColor& c) {
    // Three-pixel dots with softened corners.
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(x, y1, 3, 3), 0.7, 0.7);
    p.drawRoundedRect(QRectF(x, y2, 3, 3), 0.7, 0.7);
}

// ---------------------------------------------------------------------------------------------
// Buttons

struct Tone {
    QColor top, bottom;
};
const Tone kNormal{rgb(0x6368B4), rgb(0x272A62)};
const Tone kPrimary{rgb(0x7F7BDB), rgb(0x2F2C80)};
const Tone kTitle{rgb(0x585CA4), rgb(0x22245A)};
const Tone kLit{rgb(0x6E72C4), rgb(0x30347A)};
const Tone kUnlit{rgb(0x3D4077), rgb(0x1E2049)};

void roundedFill(QPainter& p, const QRectF& r, qreal radius, const QBrush& b) {
    p.setPen(Qt::NoPen);
    p.setBrush(b);
    p.drawRoundedRect(r, radius, radius);
}

void button(QPainter& p, const QRectF& r, qreal radius, bool pressed, const Tone& tone) {
    // Both looks share their outer silhouette (shadow and outline), so that a see-through key
    // pressed over the released one painted on the face leaves no fringe.
    roundedFill(p, r.translated(0, 1), radius, withAlpha(kBodyLo, 110));
    if (!pressed) {
        // Outline, glossy body, lit upper rim.
        roundedFill(p, r, radius, kBodyLo);
        const QRectF body = r.adjusted(1, 1, -1, -1);
        QLinearGradient g(body.topLeft(), body.bottomLeft());
        g.setColorAt(0.0, tone.top);
        g.setColorAt(0.48, mix(tone.top, tone.bottom, 0.38));
        g.setColorAt(0.52, mix(tone.top, tone.bottom, 0.62));
        g.setColorAt(1.0, tone.bottom);
        roundedFill(p, body, radius - 1, g);
        QLinearGradient rim(body.topLeft(), body.bottomLeft());
        rim.setColorAt(0.0, withAlpha(Qt::white, 110));
        rim.setColorAt(0.5, withAlpha(Qt::white, 0));
        rim.setColorAt(0.85, withAlpha(Qt::white, 0));
        rim.setColorAt(1.0, withAlpha(Qt::white, 25));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QBrush(rim), 1.0));
        p.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), radius - 1.5, radius - 1.5);
    } else {
        // Sunk: darker body, shadow along the top.
        roundedFill(p, r, radius, rgb(0x06071A));
        const QRectF body = r.adjusted(1, 1, -1, -1);
        QLinearGradient g(body.topLeft(), body.bottomLeft());
        g.setColorAt(0.0, mix(tone.bottom, Qt::black, 0.35));
        g.setColorAt(1.0, mix(tone.top, tone.bottom, 0.55));
        roundedFill(p, body, radius - 1, g);
        QLinearGradient shade(body.topLeft(), body.bottomLeft());
        shade.setColorAt(0.0, withAlpha(Qt::black, 150));
        shade.setColorAt(0.35, withAlpha(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QBrush(shade), 1.5));
        p.drawRoundedRect(body.adjusted(0.75, 0.75, -0.75, -0.75), radius - 1.5, radius - 1.5);
    }
}

QColor glyphColour(bool pressed) {
    return pressed ? kGlyphDown : kGlyph;
}
QPointF press(bool pressed) {
    return pressed ? QPointF(0.5, 1) : QPointF(0, 0);
}

void chevron(QPainter& p, QPointF centre, qreal halfWidth, qreal height, bool up, const QColor& c,
             qreal width = 2.4) {
    const qreal dy = up ? -height / 2 : height / 2;
    QPainterPath path;
    path.moveTo(centre.x() - halfWidth, centre.y() - dy);
    path.lineTo(centre.x(), centre.y() + dy);
    path.lineTo(centre.x() + halfWidth, centre.y() - dy);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(kBodyLo, 150), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path.translated(0, 1));
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// A round recess holding a button's symbol.
void socket(QPainter& p, QPointF centre, qreal r, bool pressed) {
    QRadialGradient g(centre - QPointF(0, r * 0.4), r * 1.4);
    g.setColorAt(0.0, pressed ? rgb(0x1A1B44) : rgb(0x2A2C66));
    g.setColorAt(1.0, pressed ? rgb(0x0B0C24) : rgb(0x14153A));
    p.setPen(QPen(withAlpha(Qt::white, pressed ? 20 : 45), 1.0));
    p.setBrush(g);
    p.drawEllipse(centre, r, r);
    p.setPen(QPen(withAlpha(Qt::black, 120), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - r + 0.5, centre.y() - r + 0.5, 2 * r - 1, 2 * r - 1), 30 * 16, 120 * 16);
}

void playSymbol(QPainter& p, QPointF c, qreal s, const QColor& colour) {
    QPainterPath tri;
    tri.moveTo(c.x() - s * 0.45, c.y() - s * 0.62);
    tri.lineTo(c.x() + s * 0.65, c.y());
    tri.lineTo(c.x() - s * 0.45, c.y() + s * 0.62);
    tri.closeSubpath();
    p.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(tri);
}

void stopSymbol(QPainter& p, QPointF c, qreal s, const QColor& colour) {
    roundedFill(p, QRectF(c.x() - s / 2, c.y() - s / 2, s, s), 1.2, colour);
}

void resetSymbol(QPainter& p, QPointF c, qreal r, const QColor& colour) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 110 * 16, 290 * 16);
    // Arrow head at the arc's open end (top, pointing clockwise).
    const double a = 110.0 * M_PI / 180.0;
    const QPointF tip(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
    QPainterPath head;
    head.moveTo(tip + QPointF(2.6, -0.2));
    head.lineTo(tip + QPointF(-1.2, -2.6));
    head.lineTo(tip + QPointF(-0.9, 2.4));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(head);
}

void starSymbol(QPainter& p, QPointF c, qreal outer, qreal inner, bool pressed) {
    QPolygonF star;
    for (int k = 0; k < 10; ++k) {
        const double a = -M_PI / 2 + k * M_PI / 5;
        const qreal r = (k % 2) ? inner : outer;
        star << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    QLinearGradient g(c - QPointF(0, outer), c + QPointF(0, outer));
    g.setColorAt(0.0, pressed ? rgb(0xE8D27A) : rgb(0xFFF6B0));
    g.setColorAt(0.55, pressed ? rgb(0xD0A018) : rgb(0xFFD23C));
    g.setColorAt(1.0, pressed ? rgb(0xA07008) : rgb(0xE89A08));
    p.setPen(QPen(rgb(0x4A3000), 0.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPolygon(star);
}

void globeSymbol(QPainter& p, QPointF c, qreal r, const QColor& colour) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 1.1));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(colour, 0.9));
    p.drawEllipse(c, r * 0.42, r);
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    const qreal dy = r * 0.5, dx = r * std::sqrt(1 - 0.25);
    p.drawLine(QPointF(c.x() - dx + 0.6, c.y() - dy), QPointF(c.x() + dx - 0.6, c.y() - dy));
    p.drawLine(QPointF(c.x() - dx + 0.6, c.y() + dy), QPointF(c.x() + dx - 0.6, c.y() + dy));
}

// ---------------------------------------------------------------------------------------------
// The emblem: three curved blades turning in a ring, with swept wings either side.

QPainterPath blade() {
    // Unit radius, pointing right; turns clockwise on screen.
    QPainterPath b;
    b.moveTo(0.18, 0.04);
    b.cubicTo(0.30, -0.40, 0.78, -0.50, 1.0, -0.14);
    b.cubicTo(0.72, -0.22, 0.52, -0.02, 0.42, 0.28);
    b.cubicTo(0.32, 0.26, 0.22, 0.18, 0.18, 0.04);
    return b;
}

void rotor(QPainter& p, QPointF c, qreal r, qreal angle, const QColor& light, const QColor& dark,
           int alpha = 255) {
    QRadialGradient g(c, r);
    g.setColorAt(0.0, withAlpha(light, alpha));
    g.setColorAt(1.0, withAlpha(dark, alpha));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    for (int k = 0; k < 3; ++k) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(angle + 120.0 * k);
        t.scale(r, r);
        p.drawPath(t.map(blade()));
    }
}

void medallion(QPainter& p, QPointF c, qreal r) {
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(kBodyLo, 140));
    p.drawEllipse(c + QPointF(0, 0.8), r + 0.3, r + 0.3);
    p.setBrush(kBodyLo);
    p.drawEllipse(c, r, r);
    QLinearGradient ring(c - QPointF(0, r), c + QPointF(0, r));
    ring.setColorAt(0.0, rgb(0xD8D4FF));
    ring.setColorAt(0.5, rgb(0x7D78C8));
    ring.setColorAt(1.0, rgb(0x2E3070));
    p.setBrush(ring);
    p.drawEllipse(c, r - 0.8, r - 0.8);
    QRadialGradient inner(c - QPointF(0, r * 0.3), r);
    inner.setColorAt(0.0, rgb(0x343878));
    inner.setColorAt(1.0, rgb(0x121336));
    p.setBrush(inner);
    p.drawEllipse(c, r - 2.4, r - 2.4);
}

void wings(QPainter& p, QPointF c, qreal r, qreal reach) {
    // Three thin speed lines on each side, longest in the middle, fading away from the ring.
    const std::array<qreal, 3> dy{-5, 0, 5};
    const std::array<qreal, 3> len{reach - 2, reach, reach - 2};
    for (int side = -1; side <= 1; side += 2) {
        for (std::size_t k = 0; k < 3; ++k) {
            const qreal y = c.y() + dy[k] + 0.5;
            const qreal x0 = c.x() + side * (std::sqrt(std::max(0.0, r * r - dy[k] * dy[k])) + 1.0);
            const qreal x1 = x0 + side * len[k];
            QLinearGradient g(QPointF(x0, y), QPointF(x1, y));
            g.setColorAt(0.0, rgb(0xD6D2FF));
            g.setColorAt(1.0, withAlpha(kLavender, 0));
            p.fillRect(QRectF(std::min(x0, x1), y - 0.5, std::abs(x1 - x0), 1), g);
        }
    }
}

// phase < 0: the emblem at rest.
void emblem(QPainter& p, QRectF box, int phase) {
    const QPointF c = box.center();
    const qreal r = 12.5;
    wings(p, c, r, c.x() - box.left() - r - 1.5);
    medallion(p, c, r);
    const qreal angle = phase < 0 ? 0 : 24.0 * phase;
    const QColor light = phase < 0 ? rgb(0xE6E3FF) : rgb(0xF6F4FF);
    const QColor dark = phase < 0 ? rgb(0x8F89D8) : rgb(0xA7A1F0);
    if (phase >= 0) {
        // Motion trails behind the turning blades.
        rotor(p, c, r - 2.6, angle - 16, light, dark, 45);
        rotor(p, c, r - 2.6, angle - 8, light, dark, 90);
    }
    rotor(p, c, r - 2.6, angle, light, dark);
    p.setPen(QPen(kBodyLo, 0.8));
    p.setBrush(phase < 0 ? rgb(0xF4F2FF) : rgb(0xFFFFFF));
    p.drawEllipse(c, 2.1, 2.1);
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0x3A3D80));
    p.drawEllipse(c, 0.8, 0.8);
}

// ---------------------------------------------------------------------------------------------
// Pictograms for the options display, 18 × 14.

void bellPictogram(QPainter& p, QPointF o, const QColor& c) {
    QPainterPath bell;
    bell.moveTo(o.x() + 3.0, o.y() + 10.5);
    bell.cubicTo(o.x() + 4.6, o.y() + 9.0, o.x() + 4.6, o.y() + 7.5, o.x() + 4.8, o.y() + 5.6);
    bell.cubicTo(o.x() + 5.2, o.y() + 2.6, o.x() + 7.0, o.y() + 1.6, o.x() + 9.0, o.y() + 1.6);
    bell.cubicTo(o.x() + 11.0, o.y() + 1.6, o.x() + 12.8, o.y() + 2.6, o.x() + 13.2, o.y() + 5.6);
    bell.cubicTo(o.x() + 13.4, o.y() + 7.5, o.x() + 13.4, o.y() + 9.0, o.x() + 15.0, o.y() + 10.5);
    bell.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(bell);
    p.drawRect(QRectF(o.x() + 2.5, o.y() + 10.0, 13, 1.3));
    p.drawEllipse(QPointF(o.x() + 9, o.y() + 12.4), 1.4, 1.2);
    p.drawEllipse(QPointF(o.x() + 9, o.y() + 1.2), 0.9, 0.9);
}

void plugPictogram(QPainter& p, QPointF o, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    // Prongs, body, and the cord leaving downwards.
    p.drawRect(QRectF(o.x() + 6, o.y() + 0.5, 1.5, 3.5));
    p.drawRect(QRectF(o.x() + 10.5, o.y() + 0.5, 1.5, 3.5));
    QPainterPath body;
    body.moveTo(o.x() + 4, o.y() + 4);
    body.lineTo(o.x() + 14, o.y() + 4);
    body.lineTo(o.x() + 14, o.y() + 6.5);
    body.cubicTo(o.x() + 14, o.y() + 8.8, o.x() + 12, o.y() + 9.8, o.x() + 10.2, o.y() + 9.8);
    body.lineTo(o.x() + 7.8, o.y() + 9.8);
    body.cubicTo(o.x() + 6, o.y() + 9.8, o.x() + 4, o.y() + 8.8, o.x() + 4, o.y() + 6.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, 1.4, Qt::SolidLine, Qt::FlatCap));
    QPainterPath cord;
    cord.moveTo(o.x() + 9, o.y() + 9.5);
    cord.cubicTo(o.x() + 9, o.y() + 12, o.x() + 12, o.y() + 11.5, o.x() + 14.5, o.y() + 12.5);
    p.drawPath(cord);
}

void cameraPictogram(QPainter& p, QPointF o, const QColor& c, const QColor& background) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(o.x() + 1.5, o.y() + 3.5, 15, 9), 1.5, 1.5);
    QPainterPath hump;
    hump.moveTo(o.x() + 5.5, o.y() + 4);
    hump.lineTo(o.x() + 6.8, o.y() + 1.5);
    hump.lineTo(o.x() + 11.2, o.y() + 1.5);
    hump.lineTo(o.x() + 12.5, o.y() + 4);
    hump.closeSubpath();
    p.drawPath(hump);
    // Lens: a ring cut out of the body.
    p.setBrush(background);
    p.drawEllipse(QPointF(o.x() + 9, o.y() + 8), 3.2, 3.2);
    p.setBrush(c);
    p.drawEllipse(QPointF(o.x() + 9, o.y() + 8), 1.9, 1.9);
    p.setBrush(background);
    p.drawRect(QRectF(o.x() + 13, o.y() + 5, 2, 1.2));
}

void drivePictogram(QPainter& p, QRectF r, const QColor& c, const QColor& background) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setBrush(background);
    // Slot and activity light.
    p.drawRect(QRectF(r.left() + 2, r.center().y() - 0.5, r.width() - 7, 1));
    p.drawEllipse(QPointF(r.right() - 2.5, r.center().y()), 1, 1);
}

// ---------------------------------------------------------------------------------------------
// Lamps, 16 × 12

void lamp(QPainter& p, bool lit) {
    const QRectF oval(1.5, 1.5, 13, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(kBodyHi, 160));
    p.drawEllipse(oval.translated(0, 0.7));
    p.setBrush(kBodyLo);
    p.drawEllipse(oval);
    const QRectF glass = oval.adjusted(1, 1, -1, -1);
    QRadialGradient g(glass.center() + QPointF(0, 0.5), glass.width() / 2);
    if (lit) {
        g.setColorAt(0.0, rgb(0xF2FCFF));
        g.setColorAt(0.45, kLampLit);
        g.setColorAt(1.0, rgb(0x2F7FC0));
    } else {
        g.setColorAt(0.0, rgb(0x3B3E6E));
        g.setColorAt(1.0, rgb(0x17183A));
    }
    p.setBrush(g);
    p.drawEllipse(glass);
    p.setBrush(withAlpha(Qt::white, lit ? 170 : 45));
    p.drawEllipse(QRectF(glass.left() + 2.5, glass.top() + 0.8, glass.width() - 5, 2.2));
}

// ---------------------------------------------------------------------------------------------
// Shared pieces of the backgrounds.

// A recess: dark floor with a shadowed top edge and a lit lower lip.
void well(QPainter& p, const QRectF& r, qreal radius, const QColor& floor = kWell) {
    roundedFill(p, r.translated(0, 1), radius, withAlpha(kBodyHi, 170));
    roundedFill(p, r, radius, kBodyLo);
    roundedFill(p, r.adjusted(1, 1, -1, -1), radius - 1, floor);
}

// A raised plate: outline, a rim lit from above, a flat face.
void plate(QPainter& p, const QRectF& r, qreal radius) {
    roundedFill(p, r.translated(0, 1.5), radius, withAlpha(kBodyLo, 90));
    roundedFill(p, r, radius, kBodyLo);
    QLinearGradient rim(r.topLeft(), r.bottomLeft());
    rim.setColorAt(0.0, rgb(0x565AA0));
    rim.setColorAt(0.3, rgb(0x34376E));
    rim.setColorAt(1.0, rgb(0x2A2C5C));
    roundedFill(p, r.adjusted(1, 1, -1, -1), radius - 1, rim);
    roundedFill(p, r.adjusted(2, 2, -2, -2), radius - 2, kBody);
}

// A display field with a faint shadow along its top edge.
void field(QPainter& p, const QRectF& r, const QColor& colour) {
    roundedFill(p, r, 1.5, colour);
    p.fillRect(QRectF(r.left() + 1, r.top(), r.width() - 2, 1), mix(colour, Qt::black, 0.12));
}

void groove(QPainter& p, qreal x0, qreal x1, qreal y) {
    p.fillRect(QRectF(x0, y, x1 - x0, 1), kBodyLo);
    p.fillRect(QRectF(x0, y + 1, x1 - x0, 1), withAlpha(kBodyHi, 200));
}

void windowEdges(QPainter& p, qreal width, qreal height, bool top, bool bottom) {
    p.fillRect(QRectF(0, 0, 1, height), withAlpha(kBodyHi, 220));
    p.fillRect(QRectF(width - 1, 0, 1, height), kBodyLo);
    if (top) p.fillRect(QRectF(0, 0, width, 1), rgb(0x6A6EB8));
    if (bottom) p.fillRect(QRectF(0, height - 1, width, 1), kBodyLo);
}

// "COUNTER MODE" with rules to either side, centred in its band.
void heading(QPainter& p, const QRectF& band, const QString& s) {
    const QFont f = fitting(s, band.width() - 24, 9, true, 1.0);
    const qreal w = textWidth(f, s);
    const qreal left = std::round(band.left() + (band.width() - w) / 2);
    text(p, f, s, left, w, capBaseline(f, band.top(), band.height()), kCaption, Align::Left,
         withAlpha(kBodyLo, 200));
    const qreal y = band.top() + std::floor(band.height() / 2) - 1;
    auto rule = [&](qreal x0, qreal x1, bool fadeLeft) {
        if (x1 - x0 < 2) return;
        QLinearGradient g(QPointF(x0, y), QPointF(x1, y));
        g.setColorAt(fadeLeft ? 0.0 : 1.0, withAlpha(kLavender, 0));
        g.setColorAt(fadeLeft ? 1.0 : 0.0, withAlpha(kLavender, 220));
        p.fillRect(QRectF(x0, y, x1 - x0, 1), g);
    };
    // The rules stay inside the plate the heading sits on.
    rule(band.left() + 8, left - 5, true);
    rule(left + w + 5, band.right() - 8, false);
}

// Options display rows: captions laid from the row tops the program's digit and status fields use.
const std::array<int, 5> kDisplayRows{36, 49, 63, 75, 88};

QFont displayFont(const QStringList& words, qreal width) {
    // One font for the whole column, so the rows match.
    for (bool narrow : {false, true}) {
        for (int px : {10, 9}) {
            const QFont f = font(px, false, narrow);
            bool fits = true;
            for (const QString& w : words)
                fits = fits && textWidth(f, w) <= width;
            if (fits) return f;
        }
    }
    return font(9, false, true);
}

const QStringList kEnglishDisplay{"Disk space", "Free space", "Shutdown", "Capture", "Alarm"};
const QStringList kSpanishDisplay{"Espacio HD", "Espacio libre", "Apagar", "Capturar", "Alarma"};
constexpr int kShutdownRow = 2;

void displayRow(QPainter& p, const QFont& f, QPointF origin, int k, const QString& word) {
    text(p, f, word, origin.x() + 1, 54,
         capBaseline(f, origin.y() + kDisplayRows[k] - kDisplayRows[0] + 1, 9), kCaption);
}

void displayCaptions(QPainter& p, QPointF origin, const QStringList& words) {
    const QFont f = displayFont(words, 54);
    for (int k = 0; k < words.size(); ++k)
        displayRow(p, f, origin, k, words[k]);
}

// The dotted leader from a status row's name to its status word, from the first dot at or past
// `from` on.
void leader(QPainter& p, int rowTop, qreal from = 0) {
    for (int x = 82; x <= 136; x += 3)
        if (x >= from) p.fillRect(QRectF(x, rowTop + 7, 1, 1), withAlpha(kLavender, 90));
}

QFont actionFont(const QStringList& words, qreal width) {
    for (bool narrow : {false, true}) {
        for (int px : {10, 9}) {
            const QFont f = font(px, true, narrow);
            bool fits = true;
            for (const QString& w : words)
                fits = fits && textWidth(f, w) <= width;
            if (fits) return f;
        }
    }
    return font(9, true, true);
}

// Captions of the actions side: one font for all of a language's lines, so they match.
struct ActionWords {
    QString title, shutdown, alarm, capture, hide, every;
};
const ActionWords kEnglishActions{
    "ACTIONS TO PERFORM...", "SHUT DOWN THE COMPUTER",           "SOUND THE ALARM",
    "CAPTURE THE SCREEN",    "HIDE THIS PROGRAM WHEN CAPTURING", "CAPTURE EVERY..."};
const ActionWords kSpanishActions{
    "OPERACIONES A REALIZAR...",         "APAGAR EL ORDENADOR", "AVISAR CON ALARMA", "CAPTURAR PANTALLA",
    "OCULTAR ESTE PROGRAMA AL CAPTURAR", "CAPTURAR CADA..."};

// What the end of a count may do, in the order images.def lists the act_ and row_ pictures: the
// power-off, which the panel prints, first.
const QStringList kEnglishEndCaptions{kEnglishActions.shutdown,
                                      "RESTART THE COMPUTER",
                                      "SUSPEND THE COMPUTER",
                                      "HIBERNATE THE COMPUTER",
                                      "LOG OUT",
                                      "LOCK THE SCREEN"};
const QStringList kSpanishEndCaptions{kSpanishActions.shutdown, "REINICIAR EL EQUIPO",
                                      "SUSPENDER EL EQUIPO",    "HIBERNAR EL EQUIPO",
                                      "CERRAR LA SESIÓN",       "BLOQUEAR LA PANTALLA"};
const QStringList kEnglishEndRows{
    kEnglishDisplay[kShutdownRow], "Restart", "Suspend", "Hibernate", "Log out", "Lock"};
const QStringList kSpanishEndRows{
    kSpanishDisplay[kShutdownRow], "Reiniciar", "Suspender", "Hibernar", "Cerrar sesión", "Bloquear"};

QFont actionsFont() {
    // Both languages share the font so that switching does not change the look.
    QStringList all;
    for (const ActionWords* w : {&kEnglishActions, &kSpanishActions})
        all << w->shutdown << w->alarm << w->capture << w->hide;
    return actionFont(all, 198);
}

QFont everyFont() {
    const QFont f = actionsFont();
    if (textWidth(f, kEnglishActions.every) <= 108 && textWidth(f, kSpanishActions.every) <= 108) return f;
    return actionFont({kEnglishActions.every, kSpanishActions.every}, 108);
}

QFont titleFont() {
    return fitting(kSpanishActions.title, 218, 10, true, 0.8);
}

void actionsTitle(QPainter& p, QPointF o, const QString& s) {
    const QFont f = titleFont();
    text(p, f, s, o.x() + 1, 218, capBaseline(f, o.y(), 12), kCaption, Align::Left, withAlpha(kBodyLo, 220));
}

void actionLines(QPainter& p, QPointF o, const QStringList& lines) {
    const QFont f = actionsFont();
    for (int k = 0; k < lines.size(); ++k)
        text(p, f, lines[k], o.x(), 200, capBaseline(f, o.y() + 18 * k, 10), kCaption);
}

} // namespace

// -------------------------------------------------------------------------------------------------

QString loadFonts() {
    const char* files[] = {
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Regular.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf",
    };
    QStringList families;
    for (const char* file : files) {
        const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(file));
        if (id < 0)
            return QStringLiteral("cannot load %1 (install fonts-liberation and fonts-liberation2)")
                .arg(file);
        families << QFontDatabase::applicationFontFamilies(id).value(0);
    }
    gSans = families[0];
    gNarrow = families[2];
    return {};
}

void paste(QImage& canvas, int scale, const QImage& picture, QPoint at, bool seeThrough) {
    QImage pic = picture.convertToFormat(QImage::Format_ARGB32);
    if (seeThrough) {
        const QRgb key = pic.pixel(0, pic.height() - 1);
        for (int y = 0; y < pic.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(pic.scanLine(y));
            for (int x = 0; x < pic.width(); ++x)
                if (line[x] == key) line[x] = 0;
        }
    }
    QPainter p(&canvas);
    p.drawImage(QPoint(at.x() * scale, at.y() * scale), pic);
}

Artist::Artist(int scale) : scale_(scale) {}

QImage Artist::blank(int width, int height, QColor fill) const {
    QImage img(width * scale_, height * scale_, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

template <class Paint> QImage Artist::onKey(int width, int height, QColor key, Paint draw) const {
    QImage layer(width * scale_, height * scale_, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        Draw p(layer, scale_);
        draw(p);
    }
    QImage img = blank(width, height, key);
    {
        QPainter p(&img);
        p.drawImage(0, 0, layer);
    }
    const QRgb k = key.rgb();
    const QRgb nudged = qRgb(qRed(k), qGreen(k), qBlue(k) > 0 ? qBlue(k) - 1 : 1);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* drawn = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(drawn[x]) > 0 && out[x] == k) out[x] = nudged;
    }
    return img;
}

const QImage& Artist::bare(Backdrop backdrop) {
    auto it = bare_.find(backdrop);
    if (it != bare_.end()) return it->second;
    QImage img = backdrop == Backdrop::Face    ? renderFace()
                 : backdrop == Backdrop::Panel ? renderPanel()
                                               : renderStrip();
    return bare_.emplace(backdrop, std::move(img)).first->second;
}

QImage Artist::crop(Backdrop backdrop, QRect r) {
    return bare(backdrop).copy(r.x() * scale_, r.y() * scale_, r.width() * scale_, r.height() * scale_);
}

QImage Artist::cropUnder(Image control, Backdrop backdrop, Size size) {
    const quelvex::LayoutEntry* e = quelvex::findLayout(control);
    return crop(backdrop, QRect(e->left, e->top, size.width, size.height));
}

const QImage& Artist::picture(Image image) {
    auto it = pictures_.find(image);
    if (it != pictures_.end()) return it->second;
    QImage img = render(image);
    return pictures_.emplace(image, std::move(img)).first->second;
}

// ---------------------------------------------------------------------------------------------
// Backgrounds without their overlays

QImage Artist::renderFace() {
    QImage img = blank(483, 200, kBody);
    Draw p(img, scale_);

    // Title band: brushed metal in indigo, gloss on its upper half, a lavender seam below.
    {
        QLinearGradient g(0, 0, 0, 36);
        g.setColorAt(0.0, rgb(0x4C5098));
        g.setColorAt(0.47, rgb(0x363A7A));
        g.setColorAt(0.53, rgb(0x2A2D66));
        g.setColorAt(1.0, rgb(0x1D1F4C));
        p.fillRect(QRectF(0, 0, 483, 35), g);
        for (int k = 0; k < 34; k += 2)
            p.fillRect(QRectF(0, k + 1, 483, 1), withAlpha(Qt::white, 6));
        p.fillRect(QRectF(0, 34, 483, 1), kBodyLo);
        QLinearGradient seam(0, 0, 483, 0);
        seam.setColorAt(0.0, withAlpha(kLavender, 40));
        seam.setColorAt(0.5, withAlpha(rgb(0xB9B3FF), 230));
        seam.setColorAt(1.0, withAlpha(kLavender, 40));
        p.fillRect(QRectF(0, 35, 483, 1), seam);
    }

    // Name plate beside the emblem, as large as fits before the version label at 184,16.
    {
        int px = 22;
        while (px > 16 && textWidth(font(px, true, false, 1.5), QStringLiteral("QUELVEX")) > 176 - 57)
            --px;
        const QFont f = font(px, true, false, 1.5);
        QPainterPath name;
        name.addText(QPointF(57, 26), f, QStringLiteral("QUELVEX"));
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(kBodyLo, 200));
        p.drawPath(name.translated(1, 1));
        QLinearGradient g(0, 12, 0, 26);
        g.setColorAt(0.0, rgb(0xFFFFFF));
        g.setColorAt(0.55, rgb(0xD6D2FF));
        g.setColorAt(1.0, rgb(0x9E98DC));
        p.setBrush(g);
        p.drawPath(name);
    }

    // HELP and a pointer towards the star.
    {
        const QFont f = font(9, true, false, 1.0);
        text(p, f, QStringLiteral("HELP"), 366, 0, capBaseline(f, 5, 22), kCaption, Align::Left,
             withAlpha(kBodyLo, 220));
        QPolygonF arrow{{397.5, 12.5}, {402, 16}, {397.5, 19.5}};
        p.setPen(Qt::NoPen);
        p.setBrush(kCaption);
        p.drawPolygon(arrow);
    }

    // The body: a soft fall of light from the title band, and three raised plates grouping the
    // controls. The plates' faces are flat kBody, the key colour of the clock's down keys.
    {
        QLinearGradient g(0, 36, 0, 169);
        g.setColorAt(0.0, rgb(0x2E3163));
        g.setColorAt(1.0, rgb(0x1B1D42));
        p.fillRect(QRectF(0, 36, 483, 133), g);
        for (const QRectF& r : {QRectF(4, 37, 173, 133), QRectF(192, 46, 129, 114), QRectF(328, 37, 148, 91)})
            plate(p, r, 6);
    }

    // Left instruments: the countdown display and the progress gauge in one recess.
    well(p, QRectF(8, 118, 165, 50), 4);
    field(p, QRectF(10, 120, 161, 32), kLcd);
    for (int x : {34, 50, 76, 92, 118, 134})
        segmentDigit(p, QPointF(x, 128), -1, kInk, kLcdGhost);
    colonDots(p, 68, 135, 142, kInk);
    colonDots(p, 110, 135, 142, kInk);
    tinyText(p, QPointF(150, 133), QStringLiteral("AM"), kLcdGhost);
    tinyText(p, QPointF(150, 142), QStringLiteral("PM"), kLcdGhost);
    for (auto [x, s] : {std::pair{48.5, "HH"}, std::pair{90.5, "MM"}, std::pair{132.5, "SS"}})
        tinyText(p, QPointF(std::round(x - tinyWidth(s) / 2), 122), QString::fromLatin1(s), kLcdPrint);
    {
        // Hourglass printed on the display.
        p.setPen(QPen(kLcdPrint, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(14.5, 129.5), QPointF(25.5, 129.5));
        p.drawLine(QPointF(14.5, 148.5), QPointF(25.5, 148.5));
        QPainterPath glass;
        glass.moveTo(16, 130);
        glass.cubicTo(16, 135, 19.2, 137, 19.2, 139);
        glass.cubicTo(19.2, 141, 16, 143, 16, 148);
        glass.moveTo(24, 130);
        glass.cubicTo(24, 135, 20.8, 137, 20.8, 139);
        glass.cubicTo(20.8, 141, 24, 143, 24, 148);
        p.drawPath(glass);
        p.setPen(Qt::NoPen);
        p.setBrush(kLcdPrint);
        QPainterPath sand;
        sand.moveTo(17.5, 133);
        sand.lineTo(22.5, 133);
        sand.cubicTo(22, 135, 20.5, 136, 20, 137.5);
        sand.cubicTo(19.5, 136, 18, 135, 17.5, 133);
        p.drawPath(sand);
        QPainterPath heap;
        heap.moveTo(17, 148);
        heap.cubicTo(17.5, 145.5, 19, 144.5, 20, 144.2);
        heap.cubicTo(21, 144.5, 22.5, 145.5, 23, 148);
        p.drawPath(heap);
    }
    // Gauge trough: the program paints the bar and its caption inside.
    p.fillRect(QRectF(11, 153, 159, 12), kBodyLo);
    p.fillRect(QRectF(12, 154, 157, 10), rgb(0x000080));

    // Right clock display, its setting keys above and below.
    well(p, QRectF(332, 72, 138, 28), 4);
    field(p, QRectF(334, 74, 134, 24), kLcd);
    for (int x : {338, 354, 380, 396, 422, 438})
        segmentDigit(p, QPointF(x, 75), -1, kInk, kLcdGhost);
    colonDots(p, 372, 82, 89, kInk);
    colonDots(p, 414, 82, 89, kInk);
    tinyText(p, QPointF(454, 80), QStringLiteral("AM"), kLcdGhost);
    tinyText(p, QPointF(454, 89), QStringLiteral("PM"), kLcdGhost);

    // The rows under the link bar and the options panel stay plain.
    p.fillRect(QRectF(0, 169, 483, 31), kFooter);
    windowEdges(p, 483, 200, true, false);
    p.end();
    return img;
}

QImage Artist::renderPanel(bool shutdownLeader) {
    QImage img = blank(483, 145, kBody);
    Draw p(img, scale_);
    p.fillRect(QRectF(0, 2, 483, 1), withAlpha(kBodyHi, 255));

    // Options display: a status strip of pictograms over rows of captions and readouts.
    well(p, QRectF(14, 12, 167, 99), 4, kDisplay);
    field(p, QRectF(19, 16, 157, 17), kLcdSmall);
    drivePictogram(p, QRectF(24.5, 22.5, 16, 8), kPictogram, kLcdSmall);
    {
        // Free space: a drive beside a half-empty bar.
        drivePictogram(p, QRectF(104.5, 22.5, 12, 8), kPictogram, kLcdSmall);
        p.setPen(QPen(kPictogram, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(119.5, 23.5, 8, 6));
        p.fillRect(QRectF(121, 25, 2.5, 3), kPictogram);
    }
    // Thin dividers between the pictogram groups.
    p.fillRect(QRectF(43.5, 19, 1, 11), withAlpha(kLcdPrint, 120));
    p.fillRect(QRectF(94.5, 19, 1, 11), withAlpha(kLcdPrint, 120));

    field(p, QRectF(78, 35, 65, 9), kLcdSmall);
    field(p, QRectF(78, 48, 65, 9), kLcdSmall);
    {
        const QFont f = font(10, false);
        for (int y : {36, 49})
            text(p, f, QStringLiteral("kb"), 146, 0, capBaseline(f, y, 8), kCaption);
        // Dotted leaders from the caption column to the status words.
        for (int k : {2, 3, 4})
            if (k != kShutdownRow || shutdownLeader) leader(p, kDisplayRows[k]);
    }

    // Actions side.
    {
        plate(p, QRectF(189, 5, 284, 108), 6);
        QLinearGradient g(199, 0, 470, 0);
        g.setColorAt(0.0, withAlpha(kLavender, 220));
        g.setColorAt(1.0, withAlpha(kLavender, 0));
        p.fillRect(QRectF(199, 26, 268, 1), g);
        // Tree lines tying the two capture options to the capture switch.
        const QColor line = withAlpha(kLavender, 110);
        p.fillRect(QRectF(206, 82, 1, 21), line);
        p.fillRect(QRectF(207, 88, 25, 1), line);
        p.fillRect(QRectF(207, 102, 25, 1), line);
    }
    // The capture interval: minus key, three small digits, plus key, unit.
    {
        auto key = [&](QRectF r, bool plus) {
            button(p, r, 2.5, false, kNormal);
            const QPointF c = r.center();
            p.fillRect(QRectF(c.x() - 2.5, c.y() - 0.5, 5, 1.2), kGlyph);
            if (plus) p.fillRect(QRectF(c.x() - 0.6, c.y() - 3, 1.2, 5.2), kGlyph);
        };
        key(QRectF(374, 95, 11, 12), false);
        key(QRectF(415, 95, 11, 12), true);
        field(p, QRectF(388, 96, 23, 11), kLcdSmall);
        const QFont f = font(10, false);
        text(p, f, QStringLiteral("min"), 430, 0, capBaseline(f, 97, 8), kCaption);
    }

    groove(p, 6, 195, 127);
    groove(p, 289, 477, 127);
    windowEdges(p, 483, 145, false, true);
    p.end();
    return img;
}

QImage Artist::renderStrip() {
    QImage img = blank(483, 31, kBody);
    Draw p(img, scale_);
    QLinearGradient g(0, 2, 0, 31);
    g.setColorAt(0.0, rgb(0x2E3164));
    g.setColorAt(1.0, rgb(0x1E2046));
    p.fillRect(QRectF(0, 2, 483, 29), g);
    p.fillRect(QRectF(0, 2, 483, 1), kBodyHi);
    groove(p, 6, 194, 14);
    groove(p, 288, 477, 14);
    windowEdges(p, 483, 31, false, true);
    p.end();
    return img;
}

// ---------------------------------------------------------------------------------------------
// Pictures

namespace {

struct TwinText {
    QString first, second;
};

void modeButton(QPainter& p, bool lit, const TwinText& words, bool clock) {
    const QRectF face(1, 1, 107, 24);
    button(p, face, 4, false, lit ? kLit : kUnlit);
    // Indicator light along the right edge.
    {
        const QRectF led(100, 6, 3, 14);
        roundedFill(p, led.adjusted(-0.5, -0.5, 0.5, 0.5), 1.5, kBodyLo);
        if (lit) {
            QLinearGradient g(led.topLeft(), led.bottomLeft());
            g.setColorAt(0.0, rgb(0xE8F8FF));
            g.setColorAt(1.0, kLampLit);
            roundedFill(p, led, 1.2, g);
        } else {
            roundedFill(p, led, 1.2, rgb(0x2A2C56));
        }
    }
    if (clock) {
        const QPointF c(17, 13);
        p.setPen(QPen(kBodyLo, 1.0));
        p.setBrush(lit ? rgb(0xECEAFF) : rgb(0x55588C));
        p.drawEllipse(c, 8, 8);
        const QColor hand = lit ? rgb(0x1A1B40) : rgb(0x2A2C58);
        p.setPen(QPen(hand, 0.8));
        for (int k = 0; k < 12; k += 3) {
            const double a = k * M_PI / 6;
            p.drawLine(c + QPointF(6.2 * std::sin(a), -6.2 * std::cos(a)),
                       c + QPointF(7.2 * std::sin(a), -7.2 * std::cos(a)));
        }
        p.setPen(QPen(hand, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(-3.2, -2.2));
        p.setPen(QPen(hand, 1.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(2.8, -5.0));
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? rgb(0x5A55C0) : hand);
        p.drawEllipse(c, 1.2, 1.2);
    } else {
        const QRectF lcd(4.5, 7.5, 25, 11);
        p.setPen(QPen(kBodyLo, 1.0));
        p.setBrush(lit ? kLcd : rgb(0x44467A));
        p.drawRoundedRect(lcd, 1.5, 1.5);
        const QString reading = QStringLiteral("oo:oo");
        tinyText(p, QPointF(std::round(lcd.center().x() - tinyWidth(reading) / 2), 11), reading,
                 lit ? kInk : rgb(0x2C2E5C));
    }
    QStringList lines{words.first, words.second};
    const QFont f = [&] {
        QFont best = font(9, true);
        for (const QString& l : lines)
            if (textWidth(best, l) > 64) best = font(9, true, true);
        return best;
    }();
    const QColor ink = lit ? rgb(0xF4F2FF) : rgb(0x9A95CC);
    const QColor shade = withAlpha(kBodyLo, lit ? 200 : 120);
    text(p, f, lines[0], 32, 0, 11, ink, Align::Left, shade);
    text(p, f, lines[1], 32, 0, 21, ink, Align::Left, shade);
}

void languageButton(QPainter& p, const QString& word) {
    const QRectF face(3, 1, 107, 24);
    button(p, face, 4, false, kNormal);
    globeSymbol(p, QPointF(17.5, 13), 7, kGlyph);
    const QFont f = fitting(word, 72, 10, true, 1.5);
    text(p, f, word, 30, 76, capBaseline(f, 1, 24), kGlyph, Align::Centre, withAlpha(kBodyLo, 200));
}

void bigButton(QPainter& p, const QRectF& face, qreal radius, bool pressed, const Tone& tone,
               const QString& word, int px, qreal spacing, qreal socketRadius, int symbol) {
    button(p, face, radius, pressed, tone);
    const QPointF shift = press(pressed);
    const QPointF centre(face.left() + face.height() / 2 + 2, face.center().y());
    socket(p, centre + shift, socketRadius, pressed);
    const QColor ink = glyphColour(pressed);
    if (symbol == 0) playSymbol(p, centre + shift + QPointF(0.5, 0), socketRadius * 0.85, ink);
    if (symbol == 1) stopSymbol(p, centre + shift, socketRadius * 0.95, ink);
    if (symbol == 2) resetSymbol(p, centre + shift, socketRadius * 0.55, ink);
    const qreal textLeft = centre.x() + socketRadius + 4;
    const QFont f = fitting(word, face.right() - textLeft - 8, px, true, spacing);
    text(p, f, word, textLeft + shift.x(), face.right() - textLeft - 4,
         capBaseline(f, face.top(), face.height()) + shift.y(), ink, Align::Centre,
         withAlpha(kBodyLo, pressed ? 0 : 220));
}

void setKey(QPainter& p, QSize size, bool up, bool pressed, const QString& caption) {
    // Up keys start lower so they sit inside the clock plate, whose top edge runs under them.
    const QRectF face = up ? QRectF(2, 4, size.width() - 4, size.height() - 6)
                           : QRectF(2, 2, size.width() - 4, size.height() - 4);
    button(p, face, 5, pressed, kNormal);
    const QPointF shift = press(pressed);
    const QColor ink = glyphColour(pressed);
    if (up) {
        chevron(p, QPointF(18, 13) + shift, 6, 5, true, ink);
        const QFont f = font(8, true, false, 1.0);
        text(p, f, caption, 2 + shift.x(), 32, 27 + shift.y(), pressed ? kGlyphDown : kCaption,
             Align::Centre);
    } else {
        chevron(p, QPointF(18, 12) + shift, 6, 5, false, ink);
    }
}

void titleKey(QPainter& p, bool pressed, int kind) {
    const QRectF face(1.5, 1.5, 19, 19);
    button(p, face, 4, pressed, kTitle);
    const QPointF c = QPointF(11, 11) + press(pressed);
    const QColor ink = glyphColour(pressed);
    if (kind == 0) starSymbol(p, c, 6.8, 2.9, pressed);
    if (kind == 1) {
        roundedFill(p, QRectF(c.x() - 4.5, c.y() + 2.5, 9, 2.4), 1, withAlpha(kBodyLo, 150));
        roundedFill(p, QRectF(c.x() - 4.5, c.y() + 1.8, 9, 2.4), 1, ink);
    }
    if (kind == 2) {
        for (QPointF off : {QPointF(0, 0.8), QPointF(0, 0)}) {
            p.setPen(QPen(off.y() > 0 ? withAlpha(kBodyLo, 150) : ink, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c + off + QPointF(-4, -4), c + off + QPointF(4, 4));
            p.drawLine(c + off + QPointF(4, -4), c + off + QPointF(-4, 4));
        }
    }
}

void tab(QPainter& p, bool up, bool pressed) {
    const QRectF face(4, 3, 80, 18);
    button(p, face, 9, pressed, kNormal);
    const QPointF shift = press(pressed);
    const QColor ink = glyphColour(pressed);
    chevron(p, QPointF(44, 12) + shift, 7, 4.5, up, ink, 2.2);
    // Grip ridges either side of the arrow.
    for (int side = -1; side <= 1; side += 2)
        for (int k = 0; k < 3; ++k) {
            const qreal x = 44 + side * (16 + 3 * k) + shift.x();
            p.fillRect(QRectF(x, 9 + shift.y(), 1, 6), withAlpha(kBodyLo, 140));
            p.fillRect(QRectF(x + 1, 9 + shift.y(), 1, 6), withAlpha(Qt::white, 40));
        }
}

void statusWord(QPainter& p, const QString& word, bool lit) {
    const QFont f = font(9, true, false, 0.5);
    text(p, f, word, 0, 26, capBaseline(f, 0, 10), lit ? kLampLit : kDim, Align::Centre);
}

// Draws what a picture of the end action adds to its backdrop, in the panel's coordinates.
void endActionArt(QPainter& p, Image image) {
    if (image == I::actmark) {
        const quelvex::LayoutEntry* e = quelvex::findLayout(I::endactionmark);
        p.setPen(Qt::NoPen);
        p.setBrush(kCaption);
        p.drawPolygon(QPolygonF({QPointF(e->left + 1, e->top + 1), QPointF(e->left + 8, e->top + 1),
                                 QPointF(e->left + 4.5, e->top + 4.5)}));
        return;
    }
    const bool caption = image >= I::act_en_poweroff && image <= I::act_es_lock;
    const int k =
        static_cast<int>(image) - static_cast<int>(caption ? I::act_en_poweroff : I::row_en_poweroff);
    const bool spanish = k >= 6;
    if (caption) {
        // The panel's first caption line, which mess2 also holds, in its place.
        const quelvex::LayoutEntry* printed = quelvex::findLayout(I::mess2);
        actionLines(p, QPointF(printed->left, printed->top),
                    {(spanish ? kSpanishEndCaptions : kEnglishEndCaptions)[k % 6]});
        return;
    }
    // The display column's font and place, as esppantalla prints it over the panel's.
    const quelvex::LayoutEntry* column = quelvex::findLayout(I::esppantalla);
    const QPointF origin(column->left, column->top);
    const QFont f = displayFont(spanish ? kSpanishDisplay : kEnglishDisplay, 54);
    const QString& word = (spanish ? kSpanishEndRows : kEnglishEndRows)[k % 6];
    displayRow(p, f, origin, kShutdownRow, word);
    // A long name pushes the leader back rather than running into it.
    leader(p, kDisplayRows[kShutdownRow], origin.x() + 1 + textWidth(f, word) + 3);
}

} // namespace

Image endActionControl(Image picture) {
    if (picture == I::actmark) return I::endactionmark;
    return picture >= I::act_en_poweroff && picture <= I::act_es_lock ? I::endaction : I::endactionrow;
}

QRect endActionInk(Image picture, int scale) {
    QImage layer(483 * scale, 145 * scale, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        Draw p(layer, scale);
        endActionArt(p, picture);
    }
    QRect ink;
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x)
            if (qAlpha(layer.pixel(x, y)) > 0) ink |= QRect(x, y, 1, 1);
    return ink;
}

QImage Artist::render(Image image) {
    const Size size = quelvex::pictureSize(image);
    auto digitOf = [](Image first, Image i) { return static_cast<int>(i) - static_cast<int>(first); };

    switch (image) {
    case I::modulo1: {
        QImage img = bare(Backdrop::Face).copy();
        // What the controls show before the program sets them.
        paste(img, scale_, picture(I::logo), {8, 5}, false);
        {
            Draw p(img, scale_);
            heading(p, QRectF(188, 87, 136, 10), QStringLiteral("COUNTER MODE"));
        }
        const std::pair<Image, Image> faces[] = {
            {I::estrella, I::estrellaon}, {I::minimice, I::minimiceon}, {I::close, I::closeon},
            {I::start, I::starton},       {I::reset, I::reseton},       {I::lan, I::english},
            {I::st, I::engston},          {I::pc, I::engpcoff},         {I::hup, I::hupon},
            {I::mup, I::mupon},           {I::sup, I::supon},           {I::hdown, I::hdownon},
            {I::mdown, I::mdownon},       {I::sdown, I::sdownon},       {I::stop, I::stopon},
        };
        for (auto [control, face] : faces) {
            const quelvex::LayoutEntry* e = quelvex::findLayout(control);
            paste(img, scale_, picture(face), {e->left, e->top}, e->seeThrough);
        }
        return img;
    }
    case I::modulo2: {
        QImage img = bare(Backdrop::Panel).copy();
        paste(img, scale_, picture(I::iconbelloff), {47, 19}, false);
        paste(img, scale_, picture(I::iconshutoffoff), {68, 20}, false);
        paste(img, scale_, picture(I::iconcaptureoff), {132, 19}, false);
        for (Image lampControl : {I::shutdown, I::alarm, I::capture, I::show, I::rate}) {
            const quelvex::LayoutEntry* e = quelvex::findLayout(lampControl);
            paste(img, scale_, picture(I::boff), {e->left, e->top}, true);
        }
        paste(img, scale_, picture(I::menuupon), {198, 116}, true);
        Draw p(img, scale_);
        displayCaptions(p, QPointF(23, 35), kEnglishDisplay);
        actionsTitle(p, QPointF(200, 11), kEnglishActions.title);
        actionLines(p, QPointF(223, 34),
                    {kEnglishActions.shutdown, kEnglishActions.alarm, kEnglishActions.capture});
        actionLines(p, QPointF(258, 83), {kEnglishActions.hide});
        {
            const QFont f = everyFont();
            text(p, f, kEnglishActions.every, 258, 110, capBaseline(f, 97, 10), kCaption);
        }
        p.end();
        return img;
    }
    case I::Image4: {
        QImage img = bare(Backdrop::Strip).copy();
        paste(img, scale_, picture(I::menudownon), {197, 3}, false);
        return img;
    }
    case I::Image5: {
        QImage img = blank(size.width, size.height, rgb(0x1A3590));
        Draw p(img, scale_);
        QLinearGradient g(0, 0, 0, 20);
        g.setColorAt(0.0, rgb(0x3A62D8));
        g.setColorAt(0.5, rgb(0x2447B0));
        g.setColorAt(1.0, rgb(0x142C80));
        p.fillRect(QRectF(0, 0, 483, 20), g);
        p.fillRect(QRectF(0, 0, 483, 1), rgb(0x7E9CF0));
        p.fillRect(QRectF(0, 19, 483, 1), rgb(0x081647));
        const QRectF box(465.5, 1.5, 14, 14);
        QLinearGradient red(box.topLeft(), box.bottomLeft());
        red.setColorAt(0.0, rgb(0xF46A72));
        red.setColorAt(1.0, rgb(0xB01C2A));
        p.setPen(QPen(rgb(0x4A0810), 1.0));
        p.setBrush(red);
        p.drawRoundedRect(box, 3, 3);
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = box.center();
        p.drawLine(c + QPointF(-3.2, -3.2), c + QPointF(3.2, 3.2));
        p.drawLine(c + QPointF(3.2, -3.2), c + QPointF(-3.2, 3.2));
        p.end();
        return img;
    }

    case I::logo:
    case I::l1:
    case I::l2:
    case I::l3:
    case I::l4:
    case I::l5: {
        QImage img = cropUnder(I::logo, Backdrop::Face, size);
        Draw p(img, scale_);
        emblem(p, QRectF(0, 0, 43, 28), image == I::logo ? -1 : digitOf(I::l1, image));
        p.end();
        return img;
    }

    case I::modocontador: {
        QImage img = cropUnder(I::modocontador, Backdrop::Face, size);
        Draw p(img, scale_);
        heading(p, QRectF(0, 0, 136, 10), QStringLiteral("MODO DE CONTADOR"));
        p.end();
        return img;
    }
    case I::esppantalla: {
        QImage img = cropUnder(I::esppantalla, Backdrop::Panel, size);
        Draw p(img, scale_);
        displayCaptions(p, QPointF(0, 0), kSpanishDisplay);
        p.end();
        return img;
    }
    case I::mess1: {
        QImage img = cropUnder(I::mess1, Backdrop::Panel, size);
        Draw p(img, scale_);
        actionsTitle(p, QPointF(0, 0), kSpanishActions.title);
        p.end();
        return img;
    }
    case I::mess2: {
        QImage img = cropUnder(I::mess2, Backdrop::Panel, size);
        Draw p(img, scale_);
        actionLines(p, QPointF(0, 0),
                    {kSpanishActions.shutdown, kSpanishActions.alarm, kSpanishActions.capture});
        p.end();
        return img;
    }
    case I::mess3: {
        QImage img = cropUnder(I::mess3, Backdrop::Panel, size);
        Draw p(img, scale_);
        actionLines(p, QPointF(0, 0), {kSpanishActions.hide});
        p.end();
        return img;
    }
    case I::mess4: {
        QImage img = cropUnder(I::mess4, Backdrop::Panel, size);
        Draw p(img, scale_);
        const QFont f = everyFont();
        text(p, f, kSpanishActions.every, 0, 110, capBaseline(f, 0, 10), kCaption);
        p.end();
        return img;
    }

    case I::act_en_poweroff:
    case I::act_en_restart:
    case I::act_en_suspend:
    case I::act_en_hibernate:
    case I::act_en_logout:
    case I::act_en_lock:
    case I::act_es_poweroff:
    case I::act_es_restart:
    case I::act_es_suspend:
    case I::act_es_hibernate:
    case I::act_es_logout:
    case I::act_es_lock:
    case I::row_en_poweroff:
    case I::row_en_restart:
    case I::row_en_suspend:
    case I::row_en_hibernate:
    case I::row_en_logout:
    case I::row_en_lock:
    case I::row_es_poweroff:
    case I::row_es_restart:
    case I::row_es_suspend:
    case I::row_es_hibernate:
    case I::row_es_logout:
    case I::row_es_lock:
    case I::actmark: {
        const quelvex::LayoutEntry* e = quelvex::findLayout(endActionControl(image));
        QImage img;
        if (e->control == I::endactionrow) {
            if (panelWithoutLeader_.isNull()) panelWithoutLeader_ = renderPanel(false);
            img = panelWithoutLeader_.copy(e->left * scale_, e->top * scale_, size.width * scale_,
                                           size.height * scale_);
        } else {
            img = cropUnder(endActionControl(image), Backdrop::Panel, size);
        }
        Draw p(img, scale_);
        p.translate(-e->left, -e->top);
        endActionArt(p, image);
        p.end();
        return img;
    }

    case I::starton:
    case I::startoff:
    case I::iniciaron:
    case I::iniciaroff: {
        QImage img = cropUnder(I::start, Backdrop::Face, size);
        Draw p(img, scale_);
        const bool pressed = image == I::startoff || image == I::iniciaroff;
        const bool english = image == I::starton || image == I::startoff;
        bigButton(p, QRectF(5, 2, 161, 40), 7, pressed, kPrimary, english ? "START" : "INICIAR", 18, 3, 12,
                  0);
        p.end();
        return img;
    }
    case I::stopon:
    case I::stopoff:
    case I::pararon:
    case I::pararoff: {
        QImage img = cropUnder(I::stop, Backdrop::Face, size);
        Draw p(img, scale_);
        const bool pressed = image == I::stopoff || image == I::pararoff;
        const bool english = image == I::stopon || image == I::stopoff;
        bigButton(p, QRectF(18, 2, 130, 28), 6, pressed, kNormal, english ? "STOP" : "PARAR", 14, 2.5, 9, 1);
        p.end();
        return img;
    }
    case I::reseton:
    case I::resetoff: {
        QImage img = cropUnder(I::reset, Backdrop::Face, size);
        Draw p(img, scale_);
        bigButton(p, QRectF(1, 2, 123, 24), 6, image == I::resetoff, kNormal, "RESET", 12, 2, 8, 2);
        p.end();
        return img;
    }

    case I::hupon:
    case I::hupoff:
    case I::mupon:
    case I::mupoff:
    case I::supon:
    case I::supoff: {
        const Image control = (image == I::hupon || image == I::hupoff)   ? I::hup
                              : (image == I::mupon || image == I::mupoff) ? I::mup
                                                                          : I::sup;
        QImage img = cropUnder(control, Backdrop::Face, size);
        Draw p(img, scale_);
        const QString caption = control == I::hup ? "HH" : control == I::mup ? "MM" : "SS";
        setKey(p, QSize(36, 34), true, image == I::hupoff || image == I::mupoff || image == I::supoff,
               caption);
        p.end();
        return img;
    }
    case I::hdownon:
    case I::hdownoff:
    case I::mdownon:
    case I::mdownoff:
    case I::sdownon:
    case I::sdownoff: {
        // See-through: drawn on the flat face colour, which is the key.
        const bool pressed = image == I::hdownoff || image == I::mdownoff || image == I::sdownoff;
        return onKey(size.width, size.height, kBody,
                     [&](QPainter& p) { setKey(p, QSize(36, 24), false, pressed, {}); });
    }

    case I::estrellaon:
    case I::estrellaoff:
    case I::minimiceon:
    case I::minimiceoff:
    case I::closeon:
    case I::closeoff: {
        const int kind = (image == I::estrellaon || image == I::estrellaoff)   ? 0
                         : (image == I::minimiceon || image == I::minimiceoff) ? 1
                                                                               : 2;
        const Image control = kind == 0 ? I::estrella : kind == 1 ? I::minimice : I::close;
        QImage img = cropUnder(control, Backdrop::Face, size);
        Draw p(img, scale_);
        titleKey(p, image == I::estrellaoff || image == I::minimiceoff || image == I::closeoff, kind);
        p.end();
        return img;
    }

    case I::menudownon:
    case I::menudownoff: {
        QImage img = cropUnder(I::menudown, Backdrop::Strip, size);
        Draw p(img, scale_);
        tab(p, false, image == I::menudownoff);
        p.end();
        return img;
    }
    case I::menuupon:
    case I::menuupoff: {
        return onKey(size.width, size.height, kBody,
                     [&](QPainter& p) { tab(p, true, image == I::menuupoff); });
    }

    case I::engpcon:
    case I::engpcoff:
    case I::esppcon:
    case I::esppcoff: {
        QImage img = cropUnder(I::pc, Backdrop::Face, size);
        Draw p(img, scale_);
        const bool english = image == I::engpcon || image == I::engpcoff;
        modeButton(p, image == I::engpcon || image == I::esppcon,
                   english ? TwinText{"PROGRAM", "COUNTER"} : TwinText{"CONTADOR", "DEL PROG."}, false);
        p.end();
        return img;
    }
    case I::engston:
    case I::engstoff:
    case I::espston:
    case I::espstoff: {
        QImage img = cropUnder(I::st, Backdrop::Face, size);
        Draw p(img, scale_);
        const bool english = image == I::engston || image == I::engstoff;
        modeButton(p, image == I::engston || image == I::espston,
                   english ? TwinText{"SYSTEM", "TIME"} : TwinText{"HORA DEL", "SISTEMA"}, true);
        p.end();
        return img;
    }
    case I::english:
    case I::spanish: {
        QImage img = cropUnder(I::lan, Backdrop::Face, size);
        Draw p(img, scale_);
        languageButton(p, image == I::english ? "LANGUAGE" : "IDIOMA");
        p.end();
        return img;
    }

    case I::bon:
    case I::boff: {
        return onKey(size.width, size.height, kBody, [&](QPainter& p) { lamp(p, image == I::bon); });
    }

    case I::iconshutoffon:
    case I::iconshutoffoff:
    case I::iconbellon:
    case I::iconbelloff:
    case I::iconcaptureon:
    case I::iconcaptureoff: {
        const bool on = image == I::iconshutoffon || image == I::iconbellon || image == I::iconcaptureon;
        const Image control = (image == I::iconshutoffon || image == I::iconshutoffoff) ? I::iconshutoff
                              : (image == I::iconbellon || image == I::iconbelloff)     ? I::iconbell
                                                                                        : I::iconcapture;
        QImage img = cropUnder(control, Backdrop::Panel, size);
        Draw p(img, scale_);
        // Unlit pictograms are ghosts on the strip, as unlit segments are on the clocks.
        const QColor ink = on ? kPictogram : mix(kLcdSmall, kPictogram, 0.16);
        if (control == I::iconshutoff) plugPictogram(p, {0, 0}, ink);
        if (control == I::iconbell) bellPictogram(p, {0, 0}, ink);
        if (control == I::iconcapture) cameraPictogram(p, {0, 0}, ink, kLcdSmall);
        p.end();
        return img;
    }

    case I::on:
    case I::off:
    case I::si:
    case I::no: {
        QImage img = blank(size.width, size.height, kDisplay);
        Draw p(img, scale_);
        const QString word = image == I::on ? "ON" : image == I::off ? "OFF" : image == I::si ? "SÍ" : "NO";
        statusWord(p, word, image == I::on || image == I::si);
        p.end();
        return img;
    }

    case I::nodospuntos: return blank(size.width, size.height, kLcd);
    case I::am:
    case I::amc:
    case I::pm:
    case I::pmc: {
        QImage img = blank(size.width, size.height, kLcd);
        Draw p(img, scale_);
        tinyText(p, QPointF(0, 1), (image == I::am || image == I::amc) ? "AM" : "PM", kInk);
        p.end();
        return img;
    }

    default: break;
    }

    if (image >= I::n0 && image <= I::n9) {
        // See-through on the left clock, whose field is this same colour.
        const int digit = digitOf(I::n0, image);
        return onKey(size.width, size.height, kLcd,
                     [&](QPainter& p) { segmentDigit(p, QPointF(0, 0), digit, kInk, kLcdGhost); });
    }
    if (image >= I::nn0 && image <= I::nn9) {
        QImage img = blank(size.width, size.height, kLcdSmall);
        Draw p(img, scale_);
        tinyText(p, QPointF(0, 0), QString::number(digitOf(I::nn0, image)), kInk);
        p.end();
        return img;
    }

    std::fprintf(stderr, "skingen: no drawing for %s\n", std::string(quelvex::imageName(image)).c_str());
    return blank(size.width, size.height, Qt::magenta);
}

// ---------------------------------------------------------------------------------------------
// Application icon: the emblem's ring and blades on an indigo tile (the same design as quelvex.svg).

QImage Artist::appIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    QLinearGradient tile(0, 2, 0, 46);
    tile.setColorAt(0.0, rgb(0x5A5EAA));
    tile.setColorAt(0.5, rgb(0x33367A));
    tile.setColorAt(1.0, rgb(0x1A1C48));
    p.setPen(QPen(rgb(0x0B0C1F), 1.0));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2.5, 2.5, 43, 43), 9, 9);
    p.setPen(QPen(withAlpha(Qt::white, 70), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3.5, 3.5, 41, 41), 8, 8);
    const QPointF c(24, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0x0B0C1F));
    p.drawEllipse(c, 17, 17);
    QLinearGradient ring(0, 7, 0, 41);
    ring.setColorAt(0.0, rgb(0xD8D4FF));
    ring.setColorAt(0.5, rgb(0x7D78C8));
    ring.setColorAt(1.0, rgb(0x2E3070));
    p.setBrush(ring);
    p.drawEllipse(c, 16, 16);
    QRadialGradient inner(QPointF(24, 19), 16);
    inner.setColorAt(0.0, rgb(0x343878));
    inner.setColorAt(1.0, rgb(0x121336));
    p.setBrush(inner);
    p.drawEllipse(c, 13, 13);
    rotor(p, c, 12, 0, rgb(0xF0EEFF), rgb(0x8F89D8));
    p.setPen(QPen(rgb(0x0B0C1F), 1.0));
    p.setBrush(rgb(0xF4F2FF));
    p.drawEllipse(c, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0x3A3D80));
    p.drawEllipse(c, 1.1, 1.1);
    p.end();
    return img;
}

// ---------------------------------------------------------------------------------------------
// The help window's logo and icon.

QImage Artist::helpLogo(int scale) {
    QImage img(119 * scale, 23 * scale, QImage::Format_RGB32);
    img.fill(Qt::black);
    Draw p(img, scale);
    const QPointF c(11.5, 11.5);
    medallion(p, c, 10.5);
    rotor(p, c, 8.2, 0, rgb(0xE6E3FF), kLavender);
    p.setPen(QPen(kBodyLo, 0.7));
    p.setBrush(rgb(0xF4F2FF));
    p.drawEllipse(c, 1.7, 1.7);

    // The name in the face's lavenders, lit from above, with the version beside it.
    const QFont name = font(14, true, false, 0.6);
    QLinearGradient ink(0, 5, 0, 18);
    ink.setColorAt(0.0, rgb(0xF0EEFF));
    ink.setColorAt(1.0, rgb(0x9C96E0));
    QPainterPath word;
    word.addText(QPointF(27, 16.5), name, QStringLiteral("QUELVEX"));
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(kLavender, 90));
    p.drawPath(word.translated(0, 1));
    p.setBrush(ink);
    p.drawPath(word);
    const qreal end = 27 + textWidth(name, QStringLiteral("QUELVEX"));
    const QFont version = font(10, true);
    text(p, version, QStringLiteral("5.0"), end + 4, 119 - end - 4, 17, kCaption);
    // A fine rule under the name, fading out to the right.
    QLinearGradient rule(27, 0, 119, 0);
    rule.setColorAt(0.0, withAlpha(kLavender, 200));
    rule.setColorAt(1.0, withAlpha(kLavender, 0));
    p.fillRect(QRectF(27, 20, 92, 1), rule);
    p.end();
    return img;
}

QImage Artist::helpIcon(int size) {
    QImage img = appIcon(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 48.0, size / 48.0);
    // A badge at the lower right, over the emblem's ring.
    const QPointF c(34, 34);
    p.setPen(QPen(rgb(0x0B0C1F), 1.2));
    QLinearGradient badge(0, 22, 0, 46);
    badge.setColorAt(0.0, rgb(0xF4F2FF));
    badge.setColorAt(1.0, rgb(0xB3AEE2));
    p.setBrush(badge);
    p.drawEllipse(c, 11, 11);
    const QFont f = font(17, true);
    QPainterPath mark;
    mark.addText(0, 0, f, QStringLiteral("?"));
    const QRectF box = mark.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0x252752));
    p.drawPath(mark.translated(c - box.center()));
    p.end();
    return img;
}

} // namespace skingen
