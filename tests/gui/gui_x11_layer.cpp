// The emblem's picture layer on a real X server: what the screen shows, read over a connection of
// the test's own, so that nothing the program left unsent reaches the server on the test's behalf.
#include "platform/linux/x11_picture_layer.h"
#include "tests/gui/shown_window.h"

#include <QSet>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace quelvex;
using namespace quelvex::testing;

namespace {

QImage onScreen(xcb_connection_t* c, const QRect& r) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<std::int16_t>(r.x()),
                      static_cast<std::int16_t>(r.y()), static_cast<std::uint16_t>(r.width()),
                      static_cast<std::uint16_t>(r.height()), ~0u),
        nullptr);
    if (!reply) return {};
    const QImage image =
        QImage(xcb_get_image_data(reply), r.width(), r.height(), r.width() * 4, QImage::Format_RGB32).copy();
    std::free(reply);
    return image;
}

} // namespace

class X11LayerTest : public QObject {
    Q_OBJECT

  private slots:
    void theEmblemTurnsWhileCountingAndRestsOnTheFaceFrame() {
        ShownWindow w;
        w.view.setPictureLayer(&X11PictureLayer::create);
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(c));
        const QRect emblem = w.view.controlRect(Image::logo);
        const QRect screen(w.view.mapToGlobal(emblem.topLeft()), emblem.size());
        const auto shown = [&] { return onScreen(c, screen); };
        const auto painted = [&] {
            return w.view.grab(emblem).toImage().convertToFormat(QImage::Format_RGB32);
        };

        // Armed in system time, the emblem turns at once (the fake clock stands still).
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::hup));
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::start));
        QSet<QByteArray> frames;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QImage now = shown();
                frames.insert(QByteArray(reinterpret_cast<const char*>(now.constBits()), now.sizeInBytes()));
                return frames.size() >= 3;
            }(),
            15000);

        // Stopped, the screen shows the frame the face rests on, as the window paints it.
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::stop));
        QVERIFY(!w.rig.face().enabled(TimerId::Timer7));
        QTRY_COMPARE_WITH_TIMEOUT(shown(), painted(), 10000);
        // A panel over the emblem takes the layer away.
        w.rig.face().setPanelGeometry(Panel::Panel2, 0, 60);
        w.rig.face().setPanelVisible(Panel::Panel2, true);
        w.driver.sync();
        QTRY_COMPARE_WITH_TIMEOUT(shown(), painted(), 10000);
        xcb_disconnect(c);
    }
};

QTEST_MAIN(X11LayerTest)
#include "gui_x11_layer.moc"
