#include "platform/qt/timer_runtime.h"
#include "ui/face_driver.h"

#include <QDateTime>
#include <QTest>

#include <functional>
#include <map>
#include <vector>

using namespace quelvex;

namespace {

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

// A model that only counts ticks and lets each test decide how a tick changes the face.
class TickModel final : public FaceEvents {
  public:
    explicit TickModel(Face& face) : face_(face) {
        for (std::size_t i = 0; i < kTimerCount; ++i)
            face.disable(static_cast<TimerId>(i));
    }

    std::map<TimerId, std::vector<qint64>> ticks;
    std::function<void(TimerId, int)> onTick;
    std::function<void()> onClick;

    int count(TimerId t) const { return ticks.contains(t) ? static_cast<int>(ticks.at(t).size()) : 0; }

    void timerTick(TimerId t) override {
        ticks[t].push_back(nowMs());
        if (onTick) onTick(t, count(t));
    }
    void click(ControlRef) override {
        if (onClick) onClick();
    }
    void mouseDown(ControlRef, MouseButton, int, int) override {}
    void mouseUp(ControlRef, MouseButton, int, int) override {}
    void mouseMove(ControlRef, int, int) override {}
    void mouseEnter(ControlRef c) override {
        face_.setText(Label::Label2, std::string(imageName(c.image())));
    }
    void mouseLeave(ControlRef) override {}
    void firstShown(int, int) override {}

  private:
    Face& face_;
};

struct Rig {
    explicit Rig(Timer1Mode mode = Timer1Mode::PerSecond) : runtime(face, driver, mode) {
        driver.attach(runtime);
    }
    Face face;
    TickModel model{face};
    FaceDriver driver{face, model};
    TimerRuntime runtime;
};

// Records what each application of changes saw.
class RecordingSink final : public ChangeSink {
  public:
    std::vector<FaceChanges> applied;
    std::function<void()> during;
    bool inside = false;
    bool reentered = false;
    void applyChanges(const FaceChanges& changes) override {
        reentered = reentered || inside;
        inside = true;
        applied.push_back(changes);
        if (during) std::exchange(during, nullptr)();
        inside = false;
    }
};

} // namespace

class RuntimeTest : public QObject {
    Q_OBJECT

  private slots:
    void timer1WakesJustAfterEachSecond() {
        // Start well inside a second, so that a timer that ignores the boundary is caught.
        while (nowMs() % 1000 < 300 || nowMs() % 1000 > 600)
            QTest::qWait(20);
        Rig rig;
        std::vector<qint64> aims;
        rig.model.onTick = [&](TimerId, int) { aims.push_back(rig.runtime.plannedTick(TimerId::Timer1)); };
        const qint64 enabledAt = nowMs();
        rig.face.enable(TimerId::Timer1);
        rig.driver.sync();
        // The first tick follows the switch at once, so a count starts without waiting a second; the
        // rest are aimed just after the boundaries (how late a busy machine delivers them is not checked).
        const qint64 first = rig.runtime.plannedTick(TimerId::Timer1);
        QVERIFY2(first > enabledAt && first <= nowMs() + 1, qPrintable(QString::number(first - enabledAt)));
        QTRY_VERIFY_WITH_TIMEOUT(aims.size() >= 3, 20000);
        for (qint64 aim : aims)
            QVERIFY2(aim % 1000 == 1, qPrintable(QString::number(aim % 1000)));
        QVERIFY(rig.runtime.isRunning(TimerId::Timer1));
    }

    void timer1TicksEveryMillisecondInTheBenchmarkMode() {
        Rig rig(Timer1Mode::EveryMillisecond);
        rig.face.enable(TimerId::Timer1);
        rig.driver.sync();
        QTRY_VERIFY_WITH_TIMEOUT(rig.model.count(TimerId::Timer1) > 20, 15000);
    }

    void aDisabledTimerStopsTicking() {
        Rig rig;
        rig.model.onTick = [&](TimerId t, int n) {
            if (n == 2) rig.face.disable(t);
        };
        rig.face.enable(TimerId::Timer2); // 100 ms
        rig.face.enable(TimerId::Timer1);
        rig.driver.sync();
        QTRY_COMPARE(rig.model.count(TimerId::Timer2), 2);
        QTest::qWait(400);
        QCOMPARE(rig.model.count(TimerId::Timer2), 2);
        QVERIFY(!rig.runtime.isRunning(TimerId::Timer2));

        // Timer1 re-arms itself after each tick, but not once the model has turned it off.
        QTRY_COMPARE_WITH_TIMEOUT(rig.model.count(TimerId::Timer1), 2, 15000);
        QVERIFY(!rig.runtime.isRunning(TimerId::Timer1));
        QTest::qWait(1100);
        QCOMPARE(rig.model.count(TimerId::Timer1), 2);
    }

    void switchingOffAndOnWithinOneEventRestartsTheInterval() {
        Rig rig;
        rig.face.enable(TimerId::Timer6); // 1000 ms
        rig.driver.sync();
        QTest::qWait(600);
        QVERIFY(rig.runtime.remainingTime(TimerId::Timer6) < 500);
        rig.model.onClick = [&] {
            rig.face.disable(TimerId::Timer6);
            rig.face.enable(TimerId::Timer6);
        };
        const qint64 clickedAt = nowMs();
        rig.driver.click(Image::start);
        QVERIFY(rig.runtime.remainingTime(TimerId::Timer6) >= 1000 - (nowMs() - clickedAt));
    }

    void theDriverAppliesEachEventsChangesOnceToEverySink() {
        Face face;
        TickModel model(face);
        FaceDriver driver(face, model);
        RecordingSink first, second;
        driver.attach(first); // applies the timer switches the model made before
        QCOMPARE(first.applied.size(), std::size_t(1));
        driver.attach(second);
        QVERIFY(second.applied.empty());

        model.onClick = [&] { face.put(Image::hup, Image::hupoff); };
        driver.click(Image::hup);
        QCOMPARE(first.applied.size(), std::size_t(2));
        QCOMPARE(second.applied.size(), std::size_t(1));
        QVERIFY(second.applied.back().images.test(static_cast<std::size_t>(Image::hup)));
        QVERIFY(!face.changes().any());

        // An event raised while a sink applies reaches the model at once; its changes follow in a
        // later round, to every sink, without re-entering any of them.
        first.during = [&] { driver.mouseEnter(Image::logo); };
        model.onClick = [&] { face.put(Image::hup, Image::hupon); };
        driver.click(Image::hup);
        QCOMPARE(face.text(Label::Label2), std::string("logo"));
        QVERIFY(!first.reentered && !second.reentered);
        QCOMPARE(second.applied.size(), std::size_t(3));
        QVERIFY(second.applied.back().labels.test(static_cast<std::size_t>(Label::Label2)));

        // An event that changes nothing applies nothing.
        driver.mouseUp(Image::hup, MouseButton::Left, 0, 0);
        QCOMPARE(second.applied.size(), std::size_t(3));
    }
};

QTEST_MAIN(RuntimeTest)
#include "gui_runtime.moc"
