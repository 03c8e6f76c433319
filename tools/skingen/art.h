// Draws every picture of the skin with QPainter, at 1× for ordinary screens or 2× for
// high-density ones. Everything is vector drawing in 1× coordinates under a scaled painter, so
// the 2× pictures are drawn, not enlarged.
#pragma once

#include "ui/face.h"
#include "ui/layout.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <map>

namespace skingen {

// Loads the Liberation fonts from their Debian files, so that the pictures do not depend on
// which fonts fontconfig would pick. Returns an error message, empty on success.
QString loadFonts();

// Paints `picture` over `canvas` (both at the same scale) with its top-left corner at the 1×
// point `at`. A see-through picture loses every pixel of its key colour, the colour of its
// bottom-left pixel, as the program draws it.
void paste(QImage& canvas, int scale, const QImage& picture, QPoint at, bool seeThrough);

// The end action's pictures (act_, row_, actmark): the control each lies in, and the device
// pixels that its words, leader or mark cover in the options panel at `scale`, drawn unclipped.
quelvex::Image endActionControl(quelvex::Image picture);
QRect endActionInk(quelvex::Image picture, int scale);

class Artist {
  public:
    explicit Artist(int scale);

    int scale() const { return scale_; }
    // The finished picture that `image` owns, at this artist's scale.
    const QImage& picture(quelvex::Image image);
    // The application icon as a square of `size` × `size` pixels (not scaled).
    static QImage appIcon(int size);
    // The help window's logo, 119 × 23 at 1×, on the window's black.
    static QImage helpLogo(int scale);
    // The help window's icon: the application's tile with a question mark, `size` pixels square.
    static QImage helpIcon(int size);

    enum class Backdrop { Face, Panel, Strip };
    // A background as it is before any picture that lies over it is painted: modulo1, modulo2 or
    // Image4 without their buttons, captions and emblem.
    const QImage& bare(Backdrop backdrop);

  private:
    QImage render(quelvex::Image image);
    QImage blank(int width, int height, QColor fill) const;
    // A see-through picture: `draw` painted over a flat `key` colour. A drawn pixel that happens
    // to come out exactly the key colour is nudged off it, or it would turn into a hole.
    template <class Paint> QImage onKey(int width, int height, QColor key, Paint draw) const;
    QImage crop(Backdrop backdrop, QRect logical);
    QImage cropUnder(quelvex::Image control, Backdrop backdrop, quelvex::Size size);

    QImage renderFace();
    // Without the leader of the shutdown row, for the pictures that redraw that row.
    QImage renderPanel(bool shutdownLeader = true);
    QImage renderStrip();

    int scale_;
    std::map<quelvex::Image, QImage> pictures_;
    std::map<Backdrop, QImage> bare_;
    QImage panelWithoutLeader_;
};

} // namespace skingen
