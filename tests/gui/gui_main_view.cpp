#include "platform/qt/main_view.h"
#include "ui/face_driver.h"

#include <QScreen>

#include <QTest>
#include <functional>
#include <map>

using namespace quelvex;

namespace {

// Each picture is a solid, distinct colour, so a pixel tells which picture is drawn there; the
// 2x version has its own colour so that tests can tell which one was used.
QRgb colourOf(Image picture) {
    return qRgb(0x20 + static_cast<int>(picture), 0x40, 0x60);
}
QRgb doubledColourOf(Image picture) {
    return qRgb(0x20 + static_cast<int>(picture), 0xC0, 0x60);
}

QImage solid(Image picture, int scale, QRgb colour) {
    const Size size = pictureSize(picture);
    QImage image(size.width * scale, size.height * scale, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

SkinPictures fakeSkin() {
    SkinPictures skin;
    for (Image picture : skinPictures())
        skin.set(picture, solid(picture, 1, colourOf(picture)), solid(picture, 2, doubledColourOf(picture)));
    return skin;
}

QString nameOf(ControlRef c) {
    switch (c.kind) {
    case Kind::Image: return QString::fromLatin1(imageName(c.image()));
    case Kind::Label: return QString::fromLatin1(labelName(c.label()));
    case Kind::Panel: return QString::fromLatin1(panelName(c.panel()));
    case Kind::Gauge: return QStringLiteral("Gauge");
    }
    return {};
}

QString buttonName(MouseButton b) {
    return b == MouseButton::Left    ? QStringLiteral("L")
           : b == MouseButton::Right ? QStringLiteral("R")
                                     : QStringLiteral("M");
}

// Stands in for the window model: records what reaches it and reacts the way its handlers do.
class FakeModel final : public FaceEvents {
  public:
    explicit FakeModel(Face& face) : face_(face) {
        face.setWindowWidth(kWindowWidth);
        face.setWindowHeight(kPanelOpenHeight);
        face.put(Image::hup, Image::hupon);
        face.put(Image::mup, Image::mupon);
        face.put(Image::estrella, Image::estrellaon);
        face.put(Image::hdown, Image::hdownon);
        face.put(Image::iconbell, Image::iconbellon);
        face.setText(Label::Label7, "Home");
        face.takeChanges();
    }

    QStringList log;

    void mouseDown(ControlRef c, MouseButton b, int x, int y) override {
        log << QStringLiteral("down %1 %2 %3 %4").arg(nameOf(c), buttonName(b)).arg(x).arg(y);
        if (c == ControlRef(Image::hup)) face_.put(Image::hup, Image::hupoff);
        if (c == ControlRef(Image::modulo1)) dragFrom_ = QPoint(x, y);
    }
    void mouseUp(ControlRef c, MouseButton b, int x, int y) override {
        log << QStringLiteral("up %1 %2 %3 %4").arg(nameOf(c), buttonName(b)).arg(x).arg(y);
        if (c == ControlRef(Image::hup)) face_.put(Image::hup, Image::hupon);
        if (c == ControlRef(Image::modulo1)) dragFrom_.reset();
    }
    void mouseMove(ControlRef c, int x, int y) override {
        log << QStringLiteral("move %1 %2 %3").arg(nameOf(c)).arg(x).arg(y);
        if (c == ControlRef(Image::modulo1) && dragFrom_)
            face_.moveWindowBy(x - dragFrom_->x(), y - dragFrom_->y());
    }
    void click(ControlRef c) override { log << QStringLiteral("click %1").arg(nameOf(c)); }
    void mouseEnter(ControlRef c) override { log << QStringLiteral("enter %1").arg(nameOf(c)); }
    void mouseLeave(ControlRef c) override { log << QStringLiteral("leave %1").arg(nameOf(c)); }
    void timerTick(TimerId) override {
        log << QStringLiteral("tick");
        if (duringTick) duringTick();
        log << QStringLiteral("tick done");
    }
    std::function<void()> duringTick;
    void firstShown(int w, int h) override {
        log << QStringLiteral("first %1 %2").arg(w).arg(h);
        face_.setWindowLeft((w - face_.window().width) / 2);
        face_.setWindowTop((h - face_.window().height) / 2);
    }

    QStringList take() { return std::exchange(log, {}); }

  private:
    Face& face_;
    std::optional<QPoint> dragFrom_;
};

QString firstShown() {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    return QStringLiteral("first %1 %2").arg(screen.width()).arg(screen.height());
}

// A picture layer that keeps the frames it is given and says what it shows.
struct FakeLayer final : PictureLayer {
    bool show(int slot, const QRect& rect, const std::function<QImage()>& render) override {
        if (!accept) return false;
        if (!held.count(slot)) {
            held[slot] = render();
            ++renders;
        }
        shown = slot;
        at = rect;
        visible = true;
        return true;
    }
    void hide() override { visible = false; }
    void forget(int slot) override { held.erase(slot); }
    bool accept = true, visible = false;
    int renders = 0, shown = -1;
    QRect at;
    std::map<int, QImage> held;
};

struct Rig {
    explicit Rig(SkinPictures skin = fakeSkin()) : view(face, driver, std::move(skin)) {
        driver.attach(view);
    }
    void showAndWait() {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    QPoint centreOf(ControlRef c) const { return view.controlRect(c).center(); }
    QPoint at(ControlRef c, int x, int y) const { return view.controlRect(c).topLeft() + QPoint(x, y); }
    // What the window shows now, as painted into its backing store (not a fresh render), so that
    // a missing repaint shows up as a stale pixel.
    QRgb shown(QPoint at) const {
        QCoreApplication::processEvents();
        return view.screen()->grabWindow(view.winId()).toImage().pixel(at);
    }
    void moveTo(QPoint at, Qt::MouseButtons held) {
        QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &move);
    }

    Face face;
    FakeModel model{face};
    FaceDriver driver{face, model};
    MainView view;
};

} // namespace

class MainViewTest : public QObject {
    Q_OBJECT

  private slots:
    void buildsEveryControlWhereTheLayoutPutsIt() {
        Rig rig;
        MainView& v = rig.view;
        QCOMPARE(v.size(), QSize(483, 335));
        QCOMPARE(v.windowTitle(), QStringLiteral("Quelvex 5.0"));
        QVERIFY(v.windowFlags().testFlag(Qt::FramelessWindowHint));

        QCOMPARE(v.controlRect(Image::hup), QRect(336, 36, 36, 34));
        QCOMPARE(v.controlRect(Image::estrella), QRect(407, 5, 22, 22)); // fit, takes estrellaon's size
        QCOMPARE(v.controlRect(Image::r3), QRect(390, 188 + 98, 5, 7));  // fit, empty: keeps a digit's size
        QCOMPARE(v.controlRect(Image::iconbell), QRect(47, 188 + 19, 18, 14));
        QCOMPARE(v.controlRect(kGauge), QRect(12, 154, 157, 10));
        const QRect home = v.controlRect(Label::Label7);
        QCOMPARE(home.topLeft(), QPoint(1 + 32, 169 + 3));
        QVERIFY(home.width() > 10 && home.height() > 8);
        QVERIFY(v.controlRect(Image::modocontador).isEmpty()); // hidden at start
        QVERIFY(v.controlRect(Image::Image6).isEmpty());       // inside the hidden Panel2

        QCOMPARE(v.panelWidget(Panel::Panel1)->geometry(), QRect(0, 188, 483, 145));
        QCOMPARE(v.panelWidget(Panel::Panel3)->geometry(), QRect(1, 169, 480, 21));
        QVERIFY(v.panelWidget(Panel::Panel2)->isHidden());

        const QImage shot = v.grab().toImage();
        QCOMPARE(shot.pixel(rig.centreOf(Image::hup)), colourOf(Image::hupon));
        QCOMPARE(shot.pixel(rig.centreOf(Image::estrella)), colourOf(Image::estrellaon));
        QCOMPARE(shot.pixel(rig.centreOf(Image::iconbell)), colourOf(Image::iconbellon));
        QCOMPARE(shot.pixel(QPoint(3, 3)), colourOf(Image::modulo1));
        QCOMPARE(shot.pixel(QPoint(3, 188 + 100)), colourOf(Image::modulo2));
        QCOMPARE(shot.pixel(QPoint(470, 180)), qRgb(0, 0, 0)); // Panel3's fill, over modulo1
        // Fit controls with no picture draw nothing: what lies below shows through.
        QCOMPARE(shot.pixel(rig.centreOf(Image::r3)), colourOf(Image::modulo2));
    }

    void hitTestingFollowsStackingAndVisibility() {
        Rig rig;
        MainView& v = rig.view;
        QCOMPARE(v.controlAt(rig.centreOf(Image::hup)), ControlRef(Image::hup));
        QCOMPARE(v.controlAt(QPoint(3, 3)), ControlRef(Image::modulo1));
        QCOMPARE(v.controlAt(QPoint(470, 180)), ControlRef(Panel::Panel3));
        QCOMPARE(v.controlAt(rig.centreOf(Label::Label7)), ControlRef(Label::Label7));
        QCOMPARE(v.controlAt(rig.centreOf(kGauge) + QPoint(60, 0)), kGauge);
        QCOMPARE(v.controlAt(rig.centreOf(Image::iconbell)), ControlRef(Image::iconbell));
        QCOMPARE(v.controlAt(QPoint(390 + 2, 188 + 98 + 3)), ControlRef(Image::r3)); // empty, still hit
        QCOMPARE(v.controlAt(QPoint(-1, 5)), std::nullopt);

        const QPoint underCounterMode(250, 90);
        QCOMPARE(v.controlAt(underCounterMode), ControlRef(Image::modulo1));
        QCOMPARE(v.controlAt(QPoint(190, 45)), ControlRef(Image::modulo1));
        rig.face.show(Image::modocontador);
        rig.face.setPanelVisible(Panel::Panel2, true);
        rig.driver.sync();
        QCOMPARE(v.controlAt(underCounterMode), ControlRef(Image::modocontador));
        QCOMPARE(v.controlAt(QPoint(190, 45)), ControlRef(Label::Label5));
        QCOMPARE(v.controlAt(QPoint(470, 40)), ControlRef(Image::Image6));
        QVERIFY(!v.panelWidget(Panel::Panel2)->isHidden());
    }

    void pressAndReleaseReachTheModelAndRepaintThePicture() {
        Rig rig;
        rig.showAndWait();
        QCOMPARE(rig.model.take(), QStringList{firstShown()});
        const QPoint at = rig.at(Image::hup, 18, 17);
        QCOMPARE(rig.shown(at), colourOf(Image::hupon));

        QTest::mousePress(&rig.view, Qt::LeftButton, {}, at);
        QCOMPARE(rig.model.take(), QStringList{QStringLiteral("down hup L 18 17")});
        QTRY_COMPARE(rig.shown(at), colourOf(Image::hupoff));

        QTest::mouseRelease(&rig.view, Qt::LeftButton, {}, at);
        QCOMPARE(rig.model.take(),
                 (QStringList{QStringLiteral("click hup"), QStringLiteral("up hup L 18 17")}));
        QTRY_COMPARE(rig.shown(at), colourOf(Image::hupon));

        // Other buttons press and release too, but only the left one clicks.
        QTest::mouseClick(&rig.view, Qt::RightButton, {}, at);
        QCOMPARE(rig.model.take(),
                 (QStringList{QStringLiteral("down hup R 18 17"), QStringLiteral("up hup R 18 17")}));
    }

    void theReleaseGoesToThePressedControlWherever() {
        Rig rig;
        rig.showAndWait();
        rig.model.take();
        const QPoint on = rig.at(Image::hup, 18, 17);
        const QPoint overMup = rig.at(Image::mup, 18, 17);
        QTest::mousePress(&rig.view, Qt::LeftButton, {}, on);
        rig.moveTo(overMup, Qt::LeftButton);
        QTest::mouseRelease(&rig.view, Qt::LeftButton, {}, overMup);
        QCOMPARE(rig.model.take(),
                 (QStringList{QStringLiteral("down hup L 18 17"), QStringLiteral("enter mup"),
                              QStringLiteral("move hup 60 17"), QStringLiteral("up hup L 60 17")}));
        QTRY_COMPARE(rig.shown(on), colourOf(Image::hupon));

        // Outside the window altogether: still the pressed control, in its own coordinates.
        QTest::mousePress(&rig.view, Qt::LeftButton, {}, on);
        QTest::mouseRelease(&rig.view, Qt::LeftButton, {}, QPoint(-20, 400));
        const QStringList log = rig.model.take();
        QCOMPARE(log.last(), QStringLiteral("up hup L -356 364"));
        QVERIFY(!log.join(' ').contains(QStringLiteral("click")));

        // The compositor took the pointer (a system move): the press ends there, with no click.
        QTest::mousePress(&rig.view, Qt::LeftButton, {}, on);
        QEvent ungrab(QEvent::UngrabMouse);
        QCoreApplication::sendEvent(&rig.view, &ungrab);
        QCOMPARE(rig.model.take(),
                 (QStringList{QStringLiteral("down hup L 18 17"), QStringLiteral("up hup L 18 17")}));
    }

    void hoverReportsEnterAndLeaveAndSetsTheCursor() {
        Rig rig;
        rig.showAndWait();
        rig.model.take();
        rig.moveTo(rig.at(Image::hup, 18, 17), Qt::NoButton);
        QCOMPARE(rig.model.take(),
                 (QStringList{QStringLiteral("enter hup"), QStringLiteral("move hup 18 17")}));
        QCOMPARE(rig.view.cursor().shape(), Qt::PointingHandCursor);
        rig.moveTo(rig.at(Image::hup, 19, 17), Qt::NoButton);
        QCOMPARE(rig.model.take(), QStringList{QStringLiteral("move hup 19 17")});
        rig.moveTo(QPoint(3, 3), Qt::NoButton);
        QCOMPARE(rig.model.take(), (QStringList{QStringLiteral("leave hup"), QStringLiteral("enter modulo1"),
                                                QStringLiteral("move modulo1 3 3")}));
        QCOMPARE(rig.view.cursor().shape(), Qt::ArrowCursor);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&rig.view, &leave);
        QCOMPARE(rig.model.take(), QStringList{QStringLiteral("leave modulo1")});
    }

    void theWindowFollowsTheModelsDrag() {
        Rig rig;
        rig.showAndWait();
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QCOMPARE(rig.view.pos(), QPoint((screen.width() - 483) / 2, (screen.height() - 335) / 2));
        const QPoint start = rig.view.pos();
        QCOMPARE(rig.view.controlAt(QPoint(60, 10)), ControlRef(Image::modulo1));
        QTest::mousePress(&rig.view, Qt::LeftButton, {}, QPoint(60, 10));
        rig.moveTo(QPoint(100, 60), Qt::LeftButton);
        QCOMPARE(rig.view.pos(), start + QPoint(40, 50));
        // The window moved under the pointer, so the next move arrives near the grab point.
        rig.moveTo(QPoint(65, 10), Qt::LeftButton);
        QCOMPARE(rig.view.pos(), start + QPoint(45, 50));
        QTest::mouseRelease(&rig.view, Qt::LeftButton, {}, QPoint(65, 10));
        rig.moveTo(QPoint(90, 30), Qt::NoButton);
        QCOMPARE(rig.view.pos(), start + QPoint(45, 50));
    }

    void windowStateFollowsTheFace() {
        Rig rig;
        rig.showAndWait();
        rig.face.setWindowHeight(kPanelClosedHeight);
        rig.driver.sync();
        QCOMPARE(rig.view.size(), QSize(483, 220));
        rig.face.setWindowVisible(false);
        rig.driver.sync();
        QVERIFY(!rig.view.isVisible());
        rig.face.setWindowVisible(true);
        rig.driver.sync();
        QVERIFY(rig.view.isVisible());
        QCOMPARE(rig.model.log.count(firstShown()), 1); // only the first show asks
        rig.face.requestClose();
        rig.driver.sync();
        QVERIFY(!rig.view.isVisible());
    }

    void seeThroughControlsKeyOutTheirBottomLeftColour() {
        // The key is the bottom-left pixel's colour; the top-left square is a different colour
        // and must stay.
        SkinPictures skin = fakeSkin();
        QImage picture = solid(Image::hdownon, 1, qRgb(1, 2, 3));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                picture.setPixel(x, y, qRgb(200, 10, 10));
        skin.set(Image::hdownon, picture);
        Rig rig(std::move(skin));
        const QImage shot = rig.view.grab().toImage();
        const QPoint origin = rig.view.controlRect(Image::hdown).topLeft();
        QCOMPARE(shot.pixel(origin + QPoint(3, 3)), qRgb(200, 10, 10));
        QCOMPARE(shot.pixel(origin + QPoint(20, 20)), colourOf(Image::modulo1));
        // The same picture in a control without the flag is drawn whole.
        rig.face.put(Image::mup, Image::hdownon);
        rig.driver.sync();
        const QImage after = rig.view.grab().toImage();
        QCOMPARE(after.pixel(rig.view.controlRect(Image::mup).topLeft() + QPoint(20, 20)), qRgb(1, 2, 3));
    }

    void gaugeAndLabelsDrawFromTheFace() {
        Rig rig;
        rig.showAndWait();
        const QRect bar = rig.view.controlRect(kGauge);
        rig.face.setGaugeMaximum(200);
        rig.face.setGaugePosition(100);
        rig.driver.sync();
        QTRY_COMPARE(rig.shown(bar.topLeft() + QPoint(bar.width() / 2 - 3, 5)), qRgb(0x80, 0, 0));
        QCOMPARE(rig.shown(bar.topLeft() + QPoint(bar.width() / 2 + 3, 5)), qRgb(0, 0, 0x80));

        // A caption that grows is painted where it now reaches, beyond its old place.
        const int before = rig.view.controlRect(Label::Label7).width();
        rig.face.setText(Label::Label7, "Home, and a longer caption");
        rig.face.setColor(Label::Label7, kLime);
        rig.driver.sync();
        const QRect caption = rig.view.controlRect(Label::Label7);
        QVERIFY(caption.width() > 100);
        QTRY_VERIFY([&] {
            QCoreApplication::processEvents();
            const QImage shot = rig.view.screen()->grabWindow(rig.view.winId()).toImage().copy(caption);
            for (int y = 0; y < shot.height(); ++y)
                for (int x = before; x < shot.width(); ++x)
                    if (QColor(shot.pixel(x, y)).green() > 200 && QColor(shot.pixel(x, y)).red() < 60)
                        return true;
            return false;
        }());
    }

    void aReplacementPanelWidgetTakesThePanelsPlace() {
        Rig rig;
        auto* web = new QWidget;
        rig.view.setPanelWidget(Panel::CppWebBrowser1, web);
        QCOMPARE(rig.view.panelWidget(Panel::CppWebBrowser1), web);
        QCOMPARE(web->parentWidget(), &rig.view);
        QCOMPARE(web->geometry(), QRect(1, 169, 481, 21));
        // Still under Panel3 and over Panel1, as the table stacks them.
        const QObjectList& stack = rig.view.children();
        QVERIFY(stack.indexOf(web) > stack.indexOf(rig.view.panelWidget(Panel::Panel1)));
        QVERIFY(stack.indexOf(web) < stack.indexOf(rig.view.panelWidget(Panel::Panel3)));
        rig.face.setPanelVisible(Panel::CppWebBrowser1, false);
        rig.driver.sync();
        QVERIFY(web->isHidden());
    }

    // A tick that hides the window and applies that at once (as a capture does) loses the held
    // button's release; the release still comes, but only once the tick is over.
    void eventsRaisedInsideAHandlerWaitForIt() {
        Rig rig;
        rig.showAndWait();
        QTest::mousePress(&rig.view, Qt::LeftButton, {}, rig.centreOf(Image::hup));
        rig.model.take();
        rig.model.duringTick = [&] {
            rig.face.setWindowVisible(false);
            rig.driver.sync();
        };
        rig.driver.timerTick(TimerId::Timer4);
        QVERIFY(!rig.view.isVisible());
        const QStringList log = rig.model.take();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log.mid(0, 2), QStringList({QStringLiteral("tick"), QStringLiteral("tick done")}));
        QVERIFY2(log[2].startsWith(QStringLiteral("up hup L")), qPrintable(log.join(QLatin1Char('|'))));
        QCOMPARE(rig.face.picture(Image::hup), Image::hupon);
        rig.model.duringTick = nullptr;
        rig.driver.timerTick(TimerId::Timer4); // the release is not delivered again
        QCOMPARE(rig.model.take(), QStringList({QStringLiteral("tick"), QStringLiteral("tick done")}));
    }

    void theEmblemTurnsOnALayerAndTheWindowRepaintsItWhenTheLayerGoes() {
        Rig rig;
        FakeLayer* layer = nullptr;
        rig.view.setPictureLayer([&layer](QWidget&) {
            auto made = std::make_unique<FakeLayer>();
            layer = made.get();
            return made;
        });
        rig.showAndWait();
        const Image frames[] = {Image::l1, Image::l2, Image::l3, Image::l4, Image::l5};
        for (int turn = 0; turn < 10; ++turn) {
            rig.face.put(Image::logo, frames[turn % 5]);
            rig.driver.sync();
            QVERIFY(layer && layer->visible);
            QCOMPARE(layer->at, rig.view.controlRect(Image::logo));
            QCOMPARE(layer->held.at(layer->shown).pixel(2, 2), colourOf(frames[turn % 5]));
        }
        QCOMPARE(layer->renders, 5); // each frame made once, then shown from the layer's copy
        // The layer would lie over a panel over the emblem: it goes, and comes back after.
        rig.face.setPanelVisible(Panel::Panel2, true);
        rig.face.setPanelGeometry(Panel::Panel2, 0, 60);
        rig.driver.sync();
        QVERIFY(!layer->visible);
        rig.face.setPanelVisible(Panel::Panel2, false);
        rig.driver.sync();
        QVERIFY(layer->visible);
        QCoreApplication::processEvents(); // the repaint of the window where the panel was
        // A frame the layer cannot show is painted by the window, over what the layer hid.
        layer->accept = false;
        rig.face.put(Image::logo, Image::l2);
        rig.driver.sync();
        QVERIFY(!layer->visible);
        QCOMPARE(rig.shown(rig.centreOf(Image::logo)), colourOf(Image::l2));
    }

    void highDensityDevicesGetTheDoubledPictures() {
        Rig rig;
        QPixmap target(rig.view.size() * 2);
        target.setDevicePixelRatio(2);
        rig.view.render(&target);
        const QImage shot = target.toImage();
        QCOMPARE(shot.pixel(rig.centreOf(Image::hup) * 2), doubledColourOf(Image::hupon));
        QCOMPARE(shot.pixel(rig.centreOf(Image::iconbell) * 2), doubledColourOf(Image::iconbellon));
        QCOMPARE(rig.view.grab().toImage().pixel(rig.centreOf(Image::hup)), colourOf(Image::hupon));
    }
};

QTEST_MAIN(MainViewTest)
#include "gui_main_view.moc"
