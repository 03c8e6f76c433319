#include "platform/qt/skin_pictures.h"

#include "ui/face_drawing.h"
#include "ui/layout.h"

#include <utility>

namespace quelvex {
namespace {

QPixmap toPixmap(const QImage& image, qreal ratio) {
    if (image.isNull()) return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QPixmap keyedOut(const QPixmap& source) {
    if (source.isNull()) return source;
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
    keyOutCornerColour(reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                       static_cast<std::size_t>(image.bytesPerLine()) / 4);
    QPixmap out = QPixmap::fromImage(image);
    out.setDevicePixelRatio(source.devicePixelRatio());
    return out;
}

} // namespace

SkinPictures SkinPictures::fromResources(const QString& prefix) {
    SkinPictures skin;
    for (Image picture : skinPictures()) {
        const QString base = prefix + QString::fromLatin1(imageName(picture));
        skin.set(picture, QImage(base + QStringLiteral(".png")));
        skin.entries_[static_cast<std::size_t>(picture)].doubledPath = base + QStringLiteral("@2x.png");
    }
    return skin;
}

void SkinPictures::set(Image picture, const QImage& normal, const QImage& doubled) {
    if (picture >= Image::Count) return;
    Entry& e = entries_[static_cast<std::size_t>(picture)];
    e = Entry{};
    e.normal.plain = toPixmap(normal, 1.0);
    e.doubled.plain = toPixmap(doubled, 2.0);
}

const SkinPictures::Version& SkinPictures::version(Image picture, qreal devicePixelRatio) const {
    static const Version none;
    if (picture >= Image::Count) return none;
    const Entry& e = entries_[static_cast<std::size_t>(picture)];
    if (devicePixelRatio <= 1.0) return e.normal;
    if (!e.doubledPath.isEmpty()) e.doubled.plain = toPixmap(QImage(std::exchange(e.doubledPath, {})), 2.0);
    return e.doubled.plain.isNull() ? e.normal : e.doubled;
}

const QPixmap& SkinPictures::pixmap(Image picture, qreal devicePixelRatio) const {
    return version(picture, devicePixelRatio).plain;
}

const QPixmap& SkinPictures::seeThrough(Image picture, qreal devicePixelRatio) const {
    const Version& v = version(picture, devicePixelRatio);
    if (!v.keyedReady) {
        v.keyed = keyedOut(v.plain);
        v.keyedReady = true;
    }
    return v.keyed;
}

const QPixmap& SkinPictures::fitted(Image picture, bool seeThrough, QSize deviceSize) const {
    static const QPixmap none;
    if (picture >= Image::Count || deviceSize.isEmpty()) return none;
    const quint64 key = (quint64(picture) << 33) | (quint64(seeThrough) << 32) |
                        (quint64(deviceSize.width() & 0xFFFF) << 16) | quint64(deviceSize.height() & 0xFFFF);
    if (const auto it = fitted_.constFind(key); it != fitted_.constEnd()) return *it;
    const QPixmap& source = seeThrough ? this->seeThrough(picture, 2.0) : pixmap(picture, 2.0);
    if (source.isNull()) return none;
    // Every size a screen change brings is another set; a few hundred is one or two ratios.
    if (fitted_.size() > 1024) fitted_.clear();
    QImage image = source.toImage().scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1.0);
    QPixmap out = QPixmap::fromImage(std::move(image));
    return *fitted_.insert(key, out);
}

QStringList SkinPictures::missing() const {
    QStringList names;
    for (Image picture : skinPictures())
        if (entries_[static_cast<std::size_t>(picture)].normal.plain.isNull())
            names << QString::fromLatin1(imageName(picture));
    return names;
}

} // namespace quelvex
