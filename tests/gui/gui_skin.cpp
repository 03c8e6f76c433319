#include "platform/qt/skin_pictures.h"
#include "ui/layout.h"

#include <QTest>

using namespace quelvex;

// The embedded skin as the view loads and draws it.
class SkinTest : public QObject {
    Q_OBJECT

  private slots:
    void loadsEveryPictureAndKeysOutBackgrounds() {
        const SkinPictures skin = SkinPictures::fromResources();
        QCOMPARE(skin.missing(), QStringList());
        for (Image picture : skinPictures())
            QVERIFY2(skin.pixmap(picture, 2.0).devicePixelRatio() == 2.0, imageName(picture).data());

        // What see-through controls show must lose its background and keep its subject.
        std::vector<Image> pictures{Image::hdownon,   Image::hdownoff, Image::menuupon,
                                    Image::menuupoff, Image::bon,      Image::boff};
        for (int d = 0; d < 10; ++d)
            pictures.push_back(static_cast<Image>(static_cast<int>(Image::n0) + d));
        for (Image picture : pictures) {
            for (qreal ratio : {1.0, 2.0}) {
                const QImage keyed = skin.seeThrough(picture, ratio).toImage();
                int clear = 0;
                for (int y = 0; y < keyed.height(); ++y)
                    for (int x = 0; x < keyed.width(); ++x)
                        clear += qAlpha(keyed.pixel(x, y)) == 0;
                QVERIFY2(clear > 0 && clear < keyed.width() * keyed.height(), imageName(picture).data());
            }
        }
    }
};

QTEST_MAIN(SkinTest)
#include "gui_skin.moc"
