// The skin's pictures, decoded once, at 1x and (on first use) 2x, with see-through variants made
// on first use and resampled sizes for fractional ratios.
#pragma once

#include "ui/face.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

namespace quelvex {

class SkinPictures {
  public:
    // Every picture the skin holds (skinPictures()), read from `<prefix><name>.png` and, where
    // present, `<prefix><name>@2x.png`.
    static SkinPictures fromResources(const QString& prefix = QStringLiteral(":/skin/"));

    // `doubled`, when given, is the same picture at twice the size, for 2x devices.
    void set(Image picture, const QImage& normal, const QImage& doubled = {});

    // The version that suits a device of this pixel ratio; null when the skin lacks the picture.
    const QPixmap& pixmap(Image picture, qreal devicePixelRatio) const;
    // The same with every pixel of the colour of its bottom-left pixel made transparent.
    const QPixmap& seeThrough(Image picture, qreal devicePixelRatio) const;

    // The picture resampled to exactly `deviceSize` pixels (ratio 1), for ratios between whole
    // numbers where each control is laid on the device's own pixel grid. Made from the 2x version
    // (downscaling keeps it sharp) and kept for the next paint.
    const QPixmap& fitted(Image picture, bool seeThrough, QSize deviceSize) const;

    // Names of the pictures the skin should hold but does not, at 1x.
    QStringList missing() const;

  private:
    struct Version {
        QPixmap plain;
        mutable QPixmap keyed;
        mutable bool keyedReady = false;
    };
    struct Entry {
        Version normal;
        mutable Version doubled;
        // Where the 2x version is read from on first use: most screens never ask for it.
        mutable QString doubledPath;
    };
    const Version& version(Image picture, qreal devicePixelRatio) const;

    std::array<Entry, kImageCount> entries_;
    mutable QHash<quint64, QPixmap> fitted_;
};

} // namespace quelvex
