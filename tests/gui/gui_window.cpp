// The real window model behind the real view, with fake services: what a user's mouse does; and
// the help window and the error box beside it.
#include "help/manuals.h"
#include "platform/linux/x11_picture_layer.h"
#include "platform/qt/help_dialog.h"
#include "platform/qt/message_box_errors.h"
#include "tests/fakes.h"
#include "tests/gui/shown_window.h"

#include <QDialog>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using namespace quelvex;
using namespace quelvex::testing;

namespace {

using Window = ShownWindow;

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void releaseOutsideTheButtonEndsTheRepeat() {
        Window w;
        QTest::mousePress(&w.view, Qt::LeftButton, {}, w.centreOf(Image::hup));
        QCOMPARE(w.rig.s().setHours, 1);
        QVERIFY(w.timers.isRunning(TimerId::Timer2));
        QCOMPARE(w.rig.face().picture(Image::hup), Image::hupoff);
        QTest::qWait(350);
        QTest::mouseRelease(&w.view, Qt::LeftButton, {}, QPoint(5, 330));
        const int held = w.rig.s().setHours;
        QVERIFY2(held >= 3 && held <= 6, qPrintable(QString::number(held)));
        QVERIFY(!w.timers.isRunning(TimerId::Timer2));
        QCOMPARE(w.rig.face().picture(Image::hup), Image::hupon);
        QTest::qWait(250);
        QCOMPARE(w.rig.s().setHours, held);
    }

    // The emblem turns on its layer while a count runs, shows the frame the face rests on once
    // stopped, and goes from under a panel laid over it.
    void theEmblemLayerOnX11() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) QSKIP("X11 only (gui_window_x11)");
        Window w;
        w.view.setPictureLayer(&X11PictureLayer::create);
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        const QRect emblem = w.view.controlRect(Image::logo);
        const QPoint at = w.view.mapToGlobal(emblem.topLeft());
        const auto shown = [&] {
            const QPixmap shot = w.view.screen()->grabWindow(0, at.x(), at.y(), emblem.width(), emblem.height());
            return shot.toImage().convertToFormat(QImage::Format_RGB32);
        };
        const auto painted = [&] { return w.view.grab(emblem).toImage().convertToFormat(QImage::Format_RGB32); };
        // Armed in system time, it turns at once (the fake clock stands still).
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::hup));
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::start));
        QList<QImage> frames;
        const auto turned = [&] {
            if (const QImage now = shown(); !frames.contains(now)) frames << now;
            return frames.size() >= 3;
        };
        QTRY_VERIFY_WITH_TIMEOUT(turned(), 15000);
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::stop));
        QTRY_COMPARE_WITH_TIMEOUT(shown(), painted(), 10000);
        w.rig.face().setPanelGeometry(Panel::Panel2, 0, 60);
        w.rig.face().setPanelVisible(Panel::Panel2, true);
        w.driver.sync();
        QTRY_COMPARE_WITH_TIMEOUT(shown(), painted(), 10000);
    }

    void startClickNeedsTheReleaseOnStart() {
        Window w;
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::pc));
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::sup));
        QTest::mousePress(&w.view, Qt::LeftButton, {}, w.centreOf(Image::start));
        QTest::mouseRelease(&w.view, Qt::LeftButton, {}, w.centreOf(Image::reset));
        QVERIFY(w.rig.face().visible(Image::hup)); // no click, so the entry stays
        QVERIFY(w.timers.isRunning(TimerId::Timer1));
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::start));
        QVERIFY(!w.rig.face().visible(Image::hup));
    }

    void draggingTheSkinMovesTheWindow() {
        Window w;
        const QPoint before = w.view.pos();
        QCOMPARE(before, QPoint(w.rig.face().window().left, w.rig.face().window().top));
        const QPoint grip(120, 30); // bare skin under the title
        QTest::mousePress(&w.view, Qt::RightButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(25, 12)), QPointF(), Qt::NoButton,
                         Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(&w.view, &move);
        QTest::mouseRelease(&w.view, Qt::RightButton, {}, grip + QPoint(25, 12));
        QCOMPARE(w.view.pos(), before + QPoint(25, 12));
        QCOMPARE(w.rig.s().dragging, 0);
    }

    // Releases the window never sees still end the hold: a hide (a hidden periodic capture), a
    // modal box, a move with no button down after the compositor kept the release.
    void lostReleasesEndRepeatsAndDrags() {
        Window w;
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::rate));
        QTest::mousePress(&w.view, Qt::LeftButton, {}, w.centreOf(Image::rateup));
        QVERIFY(w.timers.isRunning(TimerId::Timer2));
        w.view.hide();
        QVERIFY(!w.timers.isRunning(TimerId::Timer2));
        const int interval = w.rig.s().captureInterval;
        QTest::qWait(300);
        QCOMPARE(w.rig.s().captureInterval, interval);

        w.view.show();
        QTest::mousePress(&w.view, Qt::LeftButton, {}, w.centreOf(Image::hup));
        QVERIFY(w.timers.isRunning(TimerId::Timer2));
        QDialog box;
        box.setModal(true);
        box.show();
        QVERIFY(!w.timers.isRunning(TimerId::Timer2));
        QCOMPARE(w.rig.face().picture(Image::hup), Image::hupon);
        box.hide();

        const QPoint grip(120, 30);
        QTest::mousePress(&w.view, Qt::RightButton, {}, grip);
        const QPoint before = w.view.pos();
        QMouseEvent bare(QEvent::MouseMove, QPointF(grip + QPoint(30, 10)), QPointF(), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&w.view, &bare);
        QCOMPARE(w.rig.s().dragging, 0);
        QCOMPARE(w.view.pos(), before);
    }

    // The manual on top, where the user reads it, is the one of the checked language.
    void theHelpWindowShowsTheCheckedLanguagesManual() {
        FakeShell shell;
        HelpDialog help{shell};
        help.showHelp();
        const auto shown = [&] {
            return help.window()->childAt(250, 240)->parentWidget()->property("plainText");
        };
        QRadioButton *english = nullptr, *spanish = nullptr;
        for (QRadioButton* r : help.window()->findChildren<QRadioButton*>())
            (r->text() == QStringLiteral("English") ? english : spanish) = r;
        QVERIFY(english && english->isChecked());
        QCOMPARE(shown(), QString::fromStdString(englishManual()));
        QCOMPARE(spanish->text(), QStringLiteral("Español"));
        QTest::mouseClick(spanish, Qt::LeftButton);
        QCOMPARE(shown(), QString::fromStdString(spanishManual()));
    }

    // A second error while the box is still open takes that box over.
    void aLaterErrorReusesTheOpenBox() {
        MessageBoxErrors errors;
        const auto texts = [] {
            QStringList open;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) open << box->text();
            return open;
        };
        errors.showError("first");
        QTRY_COMPARE(texts(), QStringList{QStringLiteral("first")});
        errors.showError("second");
        QTRY_COMPARE(texts(), QStringList{QStringLiteral("second")});
    }

    void foldingResizesTheWindow() {
        Window w;
        QCOMPARE(w.view.height(), 335);
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::menuup));
        QCOMPARE(w.view.height(), 220);
        QVERIFY(w.view.controlRect(Image::shutdown).isEmpty());
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.centreOf(Image::menudown));
        QCOMPARE(w.view.height(), 335);
    }
};

QTEST_MAIN(WindowTest)
#include "gui_window.moc"
