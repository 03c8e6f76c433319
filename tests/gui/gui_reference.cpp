// The whole window, drawn with the real skin at 1x in a few states, against reference pictures
// kept in tests/reference/. Any change of layout, digit placement or artwork shows up here pixel
// for pixel. After an intended change, rewrite them with tools/update-reference-pictures.sh and
// look at the new pictures before committing them.
#include "platform/qt/main_view.h"
#include "tests/face_reading.h"
#include "ui/face_driver.h"

#include <QDir>
#include <QTest>
#include <QtMath>

using namespace quelvex;
using namespace quelvex::testing;

namespace {

struct Window {
    Rig rig{toEpochMs({2026, 12, 7, 9, 41, 27, 0})};
    VirtualTime vt{rig};
    FaceDriver driver{rig.face(), rig.form};
    MainView view;

    explicit Window(SkinPictures skin = SkinPictures::fromResources())
        : view(rig.face(), driver, std::move(skin)) {
        rig.disk.total = 987654321ll * 1024;
        rig.disk.free = 123456789ll * 1024;
        driver.attach(view);
        view.show();
        settle();
    }
    // Lets the timers run for a while of virtual time and brings the whole view up to date
    // (virtual time takes the face's changes itself).
    void settle(std::int64_t ms = 1500) {
        vt.advance(ms);
        FaceChanges all;
        all.images.set();
        all.labels.set();
        all.panels.set();
        all.gauge = all.window = true;
        view.applyChanges(all);
    }
};

// Each picture one flat colour of its own, at the real pictures' sizes.
constexpr QRgb kKey = 0xFFFF00FF;
QRgb flatColourOf(Image picture) {
    const int i = static_cast<int>(picture);
    return qRgb((i * 67 + 30) % 256, (i * 131 + 90) % 256, (i * 29 + 150) % 256);
}
SkinPictures flatSkin() {
    const SkinPictures real = SkinPictures::fromResources();
    SkinPictures flat;
    for (Image picture : skinPictures()) {
        QImage one = real.pixmap(picture, 1.0).toImage(), two = real.pixmap(picture, 2.0).toImage();
        one.fill(flatColourOf(picture));
        two.fill(flatColourOf(picture));
        // See-through controls key out the colour of the bottom-left pixel: make it only that one.
        one.setPixel(0, one.height() - 1, kKey);
        for (int y : {two.height() - 2, two.height() - 1})
            for (int x : {0, 1})
                two.setPixel(x, y, kKey);
        flat.set(picture, one, two);
    }
    return flat;
}

} // namespace

class ReferenceTest : public QObject {
    Q_OBJECT

    void check(Window& w, const QString& name) {
        w.settle(0);
        const QImage shot = w.view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString refDir = QStringLiteral(QUELVEX_REFERENCE_DIR);
        const QString refPath = refDir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (qEnvironmentVariableIsSet("QUELVEX_UPDATE_REFERENCES")) {
            QVERIFY(QDir().mkpath(refDir));
            QVERIFY(shot.save(refPath));
            qInfo("rewrote %s", qPrintable(refPath));
            return;
        }
        const QImage ref = QImage(refPath).convertToFormat(QImage::Format_RGB32);
        if (shot == ref) return;
        const QString out = QDir::currentPath() + QLatin1Char('/') + name + QStringLiteral("-actual.png");
        shot.save(out);
        QFAIL(qPrintable(QStringLiteral("the window differs from %1; drawn: %2").arg(refPath, out)));
    }

  private slots:
    // Start-up: system time on the left clock, the options panel open, the disk rows filled.
    void systemTimeAtStart() {
        Window w;
        check(w, QStringLiteral("system-time"));
    }

    // Every right-clock digit position and the capture interval, with a count under way.
    void programCounterRunning() {
        Window w;
        w.vt.press(Image::pc);
        enter(w.vt, 12, 34, 56);
        w.vt.clickOn(Image::alarm);
        w.vt.clickOn(Image::capture);
        w.vt.clickOn(Image::rate);
        for (int i = 0; i < 7; ++i)
            w.vt.clickOn(Image::rateup);
        w.vt.clickOn(Image::start);
        w.settle(3000);
        check(w, QStringLiteral("program-counter"));
    }

    // Spanish captions and pictures, folded, armed in system time.
    void spanishFoldedArmed() {
        Window w;
        w.vt.clickOn(Image::lan);
        enter(w.vt, 10, 5, 0);
        w.vt.clickOn(Image::start);
        w.vt.clickOn(Image::menuup);
        w.settle(1000);
        check(w, QStringLiteral("spanish-folded"));
    }

    // Between whole ratios, a device pixel shows the picture its centre falls in: neighbours share
    // their edges (no gap, no overlap, no blend along a seam) and every picture keeps its place on
    // the pixel grid, in the window and in the panels alike.
    void fractionalRatiosKeepThePixelGrid_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("125%") << 1.25;
        QTest::newRow("150%") << 1.5;
        QTest::newRow("175%") << 1.75;
    }
    void fractionalRatiosKeepThePixelGrid() {
        QFETCH(qreal, ratio);
        Window w(flatSkin());
        w.vt.press(Image::pc);
        enter(w.vt, 12, 34, 56);
        w.settle(0);
        const QSize size = w.view.size();
        // The colour of the opaque picture on top at each window pixel, 0 where none is.
        std::vector<QRgb> onTop(static_cast<std::size_t>(size.width() * size.height()), 0);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const auto hit = w.view.controlAt({x, y});
                if (!hit || hit->kind != Kind::Image) continue;
                const QRect rect = w.view.controlRect(*hit);
                // The key colour, or what it lets through, and the resampling around it.
                if (x <= rect.left() + 1 && y >= rect.bottom() - 1) continue;
                // A control larger than its picture shows what lies below in the rest.
                const Image picture = w.rig.face().picture(hit->image());
                const Size own = pictureSize(picture);
                if (rect.size() == QSize(own.width, own.height))
                    onTop[static_cast<std::size_t>(y * size.width() + x)] = flatColourOf(picture);
            }
        // Text lies over pictures; its pixels are not the pictures'.
        for (const LayoutEntry& e : layoutTable()) {
            if (e.control.kind != Kind::Label) continue;
            const QRect text = w.view.controlRect(e.control).adjusted(-1, -1, 1, 1) & QRect(QPoint(), size);
            for (int y = text.top(); y <= text.bottom(); ++y)
                for (int x = text.left(); x <= text.right(); ++x)
                    onTop[static_cast<std::size_t>(y * size.width() + x)] = 0;
        }
        const QSize device(qCeil(size.width() * ratio), qCeil(size.height() * ratio));
        QPixmap target(device);
        target.setDevicePixelRatio(ratio);
        target.fill(Qt::black);
        w.view.render(&target);
        const QImage shot = target.toImage();
        int judged = 0;
        QStringList wrong;
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x) {
                // The window pixel whose area holds this pixel's centre; a centre on an edge goes
                // to the left or upper one (edges at half pixels round up, as Qt's own geometry).
                const int lx = qCeil((x + 0.5) / ratio) - 1, ly = qCeil((y + 0.5) / ratio) - 1;
                if (lx >= size.width() || ly >= size.height()) continue;
                const QRgb expected = onTop[static_cast<std::size_t>(ly * size.width() + lx)];
                if (!expected) continue;
                ++judged;
                if (shot.pixel(x, y) != expected && wrong.size() < 10)
                    wrong << QStringLiteral("%1,%2 is %3, not %4")
                                 .arg(x)
                                 .arg(y)
                                 .arg(shot.pixel(x, y) & 0xFFFFFF, 6, 16)
                                 .arg(expected & 0xFFFFFF, 6, 16);
            }
        QVERIFY(judged > device.width() * device.height() / 2);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(ReferenceTest)
#include "gui_reference.moc"
