// The whole window, drawn with the real skin at 1x in a few states, against reference pictures
// kept in tests/reference/. Any change of layout, digit placement or artwork shows up here pixel
// for pixel. After an intended change, rewrite them with tools/update-reference-pictures.sh and
// look at the new pictures before committing them.
#include "platform/qt/face_driver.h"
#include "platform/qt/main_view.h"
#include "tests/face_reading.h"

#include <QDir>
#include <QTest>

using namespace quelvex;
using namespace quelvex::testing;

namespace {

struct Window {
    Rig rig{toEpochMs({2026, 12, 7, 9, 41, 27, 0})};
    VirtualTime vt{rig};
    FaceDriver driver{rig.face(), rig.form};
    MainView view{rig.face(), driver};

    Window() {
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
};

QTEST_MAIN(ReferenceTest)
#include "gui_reference.moc"
