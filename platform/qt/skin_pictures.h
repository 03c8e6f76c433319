// The skin's pictures, decoded once, at 1x and 2x, with see-through variants made on first use.
#pragma once

#include "ui/face.h"

#include <QImage>
#include <QPixmap>
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

    // Names of the pictures the skin should hold but does not, at 1x.
    QStringList missing() const;

  private:
    struct Version {
        QPixmap plain;
        mutable QPixmap keyed;
        mutable bool keyedReady = false;
    };
    struct Entry {
        Version normal, doubled;
    };
    const Version& version(Image picture, qreal devicePixelRatio) const;

    std::array<Entry, kImageCount> entries_;
};

} // namespace quelvex
