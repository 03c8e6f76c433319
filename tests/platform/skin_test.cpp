// The embedded skin: every picture the window can show is there, at 1x and at exactly 2x.
#include "ui/layout.h"

#include <QImage>
#include <QtTest>

using namespace quelvex;

class SkinTest : public QObject {
    Q_OBJECT

  private slots:
    void everyPictureAtBothScales() {
        QStringList problems;
        for (Image picture : skinPictures()) {
            const QString name = QString::fromLatin1(imageName(picture).data(), imageName(picture).size());
            const Size size = pictureSize(picture);
            const QImage normal(QStringLiteral(":/skin/%1.png").arg(name));
            const QImage doubled(QStringLiteral(":/skin/%1@2x.png").arg(name));
            if (normal.size() != QSize(size.width, size.height))
                problems << QStringLiteral("%1: %2x%3 at 1x").arg(name).arg(normal.width()).arg(normal.height());
            if (doubled.size() != QSize(2 * size.width, 2 * size.height))
                problems << QStringLiteral("%1: %2x%3 at 2x").arg(name).arg(doubled.width()).arg(doubled.height());
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    // Every picture a handler can put into a control, and every fit control's size, comes from
    // the skin; a name missing from the size table would draw nothing.
    void layoutAndTwinsAreCovered() {
        for (const LayoutEntry& e : layoutTable()) {
            if (e.control.kind != Kind::Image || e.width || e.height) continue;
            QVERIFY2(pictureSize(e.fitPicture) != (Size{0, 0}),
                     imageName(e.control.image()).data());
        }
        const auto twins = {Image::starton, Image::iniciaroff, Image::pararon, Image::resetoff, Image::hdownoff,
                            Image::closeoff, Image::menuupoff, Image::espstoff, Image::english, Image::boff,
                            Image::iconcaptureoff, Image::si, Image::no, Image::n9, Image::nn9, Image::l5};
        for (Image twin : twins) QVERIFY2(pictureSize(twin) != (Size{0, 0}), imageName(twin).data());
        QCOMPARE(pictureSize(Image::n0), (Size{13, 23}));
        QCOMPARE(pictureSize(Image::nn0), (Size{5, 7}));
        QCOMPARE(pictureSize(Image::modulo1), (Size{483, 200}));
        QCOMPARE(pictureSize(Image::modulo2), (Size{483, 145}));
        QCOMPARE(pictureSize(Image::Image4), (Size{483, 31}));
        QCOMPARE(pictureSize(Image::Image5), (Size{483, 20}));
        QCOMPARE(pictureSize(Image::l1), (Size{43, 28}));
        QCOMPARE(pictureSize(Image::nodospuntos), (Size{3, 10}));
        QCOMPARE(pictureSize(Image::pmc), (Size{11, 7}));
    }

    void applicationIcon() {
        QCOMPARE(QImage(QStringLiteral(":/skin/quelvex-48.png")).size(), QSize(48, 48));
        QVERIFY(QFile::exists(QStringLiteral(":/skin/quelvex.svg")));
    }
};

QTEST_GUILESS_MAIN(SkinTest)
#include "skin_test.moc"
