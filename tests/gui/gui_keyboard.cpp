// The real view by keyboard and as a screen reader sees it, over the real model with fakes.
#include "platform/qt/help_dialog.h"
#include "tests/fakes.h"
#include "tests/gui/shown_window.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

using namespace quelvex;
using namespace quelvex::testing;

namespace {

struct Window : ShownWindow {
    void keys(std::initializer_list<Qt::Key> keys, Qt::KeyboardModifiers mods = {}) {
        for (Qt::Key k : keys)
            QTest::keyClick(&view, k, mods);
    }
};

QAccessibleInterface* childNamed(QAccessibleInterface* window, const QString& name) {
    for (int i = 0; i < window->childCount(); ++i)
        if (window->child(i)->text(QAccessible::Name) == name) return window->child(i);
    return nullptr;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    void screenReadersSeeNamedControlsWithValues() {
        Window w;
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w.view);
        QVERIFY(window);
        QAccessibleInterface* start = childNamed(window, QStringLiteral("START"));
        QVERIFY(start);
        QCOMPARE(start->role(), QAccessible::Button);
        QVERIFY(start->rect().contains(w.view.mapToGlobal(w.view.controlRect(Image::start).center())));
        QAccessibleInterface* hours = childNamed(window, QStringLiteral("hours"));
        QVERIFY(hours);
        QCOMPARE(hours->role(), QAccessible::SpinBox);
        QCOMPARE(hours->text(QAccessible::Value), QStringLiteral("00"));
        // Its action is what its up button does.
        hours->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
        QCOMPARE(hours->text(QAccessible::Value), QStringLiteral("01"));
        QCOMPARE(w.rig.s().setHours, 1);
        QCOMPARE(window->focusChild(), hours);
        hours->valueInterface()->setCurrentValue(12); // a reader sets the number outright
        QCOMPARE(w.rig.s().setHours, 12);
        QCOMPARE(hours->valueInterface()->currentValue().toInt(), 12);
        QAccessibleInterface* status = childNamed(window, QStringLiteral("Status: DISABLED"));
        QVERIFY(status);
        QCOMPARE(status->role(), QAccessible::StatusBar);
        // Named in the window's language.
        QTest::mouseClick(&w.view, Qt::LeftButton, {}, w.view.controlRect(Image::lan).center());
        QVERIFY(childNamed(window, QStringLiteral("INICIAR")));
        QCOMPARE(status->text(QAccessible::Name), QStringLiteral("Estado: INACTIVO"));
    }

    void tabSpaceAndArrowsStartACount() {
        Window w;
        const QImage untouched = w.view.grab().toImage();
        w.keys({Qt::Key_Escape});
        QCOMPARE(w.view.grab().toImage(), untouched); // no mark before Tab; Escape does nothing
        QVERIFY(w.view.isVisible());
        // Title link, help, minimise, close, START, RESET, language, system time, program counter.
        w.keys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab,
                Qt::Key_Tab, Qt::Key_Tab});
        QVERIFY(w.view.keyboard().focused() == ControlRef(Image::pc));
        QVERIFY(w.view.grab().toImage() != untouched);
        w.keys({Qt::Key_Space});
        QCOMPARE(w.rig.face().picture(Image::pc), Image::engpcon);
        w.keys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab,
                Qt::Key_Tab, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down});
        QCOMPARE(w.rig.s().setSeconds, 1);
        QVERIFY(!w.timers.isRunning(TimerId::Timer2)); // no repeat left running
        w.keys({Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab,
                Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab,
                Qt::Key_Backtab, Qt::Key_Backtab});
        QVERIFY(w.view.keyboard().focused() == ControlRef(Image::start));
        w.keys({Qt::Key_Return});
        QVERIFY(w.rig.form.actionArmed());
        QVERIFY(!w.rig.face().visible(Image::hup)); // the entry gives way to the count
    }

    void theEndActionIsChosenFromItsMenu() {
        Window w;
        const QRect caption = w.view.controlRect(Image::endaction);
        QTest::mousePress(&w.view, Qt::LeftButton, {}, caption.center());
        w.driver.allowedActionsFound(actionBit(EndAction::Restart)); // the platform's answer
        QMenu* menu = w.view.openMenu();
        QVERIFY(menu && menu->pos() == w.view.mapToGlobal(caption.bottomLeft() + QPoint(0, 1)));
        QVERIFY(menu->actions().size() == 4 && menu->activeAction()->isChecked()); // with log out and lock
        QTest::keySequence(menu, QKeySequence(Qt::Key_Down, Qt::Key_Return));
        QVERIFY(!w.view.openMenu() && w.rig.face().picture(Image::endaction) == Image::act_en_restart);
        auto* choice = childNamed(QAccessible::queryAccessibleInterface(&w.view), "At the end");
        QVERIFY(choice->role() == QAccessible::ComboBox && choice->textInterface());
        QCOMPARE(choice->textInterface()->text(0, -1), QStringLiteral("RESTART THE COMPUTER"));
        choice->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        w.driver.allowedActionsFound(actionBit(EndAction::Restart));
        QVERIFY(w.view.openMenu() && w.view.openMenu()->activeAction()->text() == "Restart the computer");
    }

    void helpWindowByTab() {
        FakeShell shell;
        HelpDialog help{shell};
        help.showHelp();
        QVERIFY(QTest::qWaitForWindowActive(help.window()));
        QVERIFY(qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())); // opens in the manual
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Tab);        // round to the languages
        auto* spanish = qobject_cast<QRadioButton*>(QApplication::focusWidget());
        QVERIFY(spanish && !spanish->isChecked());
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Space);
        QVERIFY(spanish->isChecked());
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Tab);   // one stop for the language
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Space); // the site link
        QCOMPARE(shell.opened.size(), std::size_t(1));
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Tab);
        QVERIFY(qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())->isVisible());
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Escape); // closes nothing here either
        QVERIFY(help.window()->isVisible());
    }
};

QTEST_MAIN(KeyboardTest)
#include "gui_keyboard.moc"
