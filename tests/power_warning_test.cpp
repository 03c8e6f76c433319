// The warning before a timed power-off: when it comes, what it says, when it goes.
#include "core/power_warning.h"
#include "tests/face_reading.h"

#include <gtest/gtest.h>

namespace quelvex::testing {
namespace {

// Logs "H:MM:SS show <title>|<body>|<action>" and "H:MM:SS withdraw" in virtual time.
struct FakeNotifier : Notifier {
    FakeClock& clock;
    std::vector<std::string> log;
    explicit FakeNotifier(FakeClock& c) : clock(c) {}
    std::string now() {
        const std::string t = clock.format(clock.now());
        return t.substr(t.rfind(' ') + 1) + " ";
    }
    void show(const Notice& n) override {
        log.push_back(now() + "show " + n.title + "|" + n.body + "|" + n.actionLabel);
    }
    void withdraw() override { log.push_back(now() + "withdraw"); }
};

// The warning looks after every input and every second, as the driver has it do.
struct Watched {
    Rig rig;
    VirtualTime vt{rig};
    FakeNotifier notes{rig.clock};
    PowerWarning warning;
    explicit Watched(bool rehearsal = false, std::int64_t startMs = 0)
        : rig(startMs), warning(rig.form, notes, rehearsal) {}
    void seconds(int n) {
        for (int i = 0; i < n; ++i) {
            vt.advance(1000);
            warning.applyChanges({});
        }
    }
    void click(Image control) {
        vt.clickOn(control);
        warning.applyChanges({});
    }
    void count(int h, int m, int s) {
        click(Image::pc);
        enter(vt, h, m, s);
        click(Image::start);
    }
};

const std::string kOne = "show Quelvex will switch the computer off in 1 minute||Cancel";
const std::string kFive = "show Quelvex will switch the computer off in 5 minutes||Cancel";

TEST(PowerWarning, ProgramCounterWarnsAtFiveAndOneMinuteAndGoesWithTheCount) {
    {
        SCOPED_TRACE("20:00 warns 5 and 1 minute before, 10:00 only 1; each notice goes with its power-off");
        Watched w;
        w.count(0, 20, 0);
        w.seconds(1200);
        w.count(0, 10, 0);
        w.seconds(600);
        EXPECT_EQ(w.notes.log,
                  (std::vector<std::string>{"0:15:00 " + kFive, "0:19:00 " + kOne, "0:20:00 withdraw",
                                            "0:29:00 " + kOne, "0:30:00 withdraw"}));
        EXPECT_EQ(w.rig.power.requests, 2);
    }
    {
        SCOPED_TRACE("resumed with 4 minutes left it does not claim five; RESET, mode and lamp withdraw");
        Watched w;
        w.count(0, 20, 0);
        w.seconds(960);
        w.click(Image::stop);
        w.click(Image::start);
        w.seconds(180);
        w.click(Image::reset);
        w.count(0, 0, 20);
        w.click(Image::st);
        w.count(0, 0, 50);
        w.seconds(1);
        w.click(Image::shutdown);
        EXPECT_EQ(w.notes.log,
                  (std::vector<std::string>{"0:15:00 " + kFive, "0:16:00 withdraw", "0:19:00 " + kOne,
                                            "0:19:00 withdraw", "0:19:00 " + kOne, "0:19:00 withdraw",
                                            "0:19:00 " + kOne, "0:19:01 withdraw"}));
        EXPECT_EQ(w.rig.power.requests, 0);
    }
}

TEST(PowerWarning, TimeOfDayAcrossMidnightRehearsedInSpanish) {
    Watched w(true, toEpochMs({2026, 12, 6, 23, 49, 59, 500}));
    w.seconds(1);          // logged half a second after each step: in the step's second
    enter(w.vt, 0, 0, 30); // fires at 00:00:29, 10:29 from now
    w.click(Image::start);
    w.seconds(330);
    w.click(Image::lan); // the notice shown follows the language, and the action
    w.seconds(180);
    w.vt.run([&] { w.rig.form.endActionChosen(EndAction::Lock); });
    w.warning.applyChanges({});
    w.seconds(420);
    const std::string rehearsal = "Ensayo (--dry-run): el equipo seguir\u00e1 encendido.|Cancelar";
    EXPECT_EQ(w.notes.log, (std::vector<std::string>{
                               "23:55:29 show Quelvex will switch the computer off in 5 minutes|Rehearsal "
                               "(--dry-run): the computer will stay on.|Cancel",
                               "23:55:30 show Quelvex apagar\u00e1 el equipo en 5 minutos|" + rehearsal,
                               "23:58:30 show Quelvex bloquear\u00e1 la pantalla en 5 minutos|Ensayo (--dry-run): "
                               "no se har\u00e1 nada.|Cancelar",
                               "23:59:29 show Quelvex bloquear\u00e1 la pantalla en 1 minuto|Ensayo (--dry-run): "
                               "no se har\u00e1 nada.|Cancelar",
                               "0:00:29 withdraw"}));
    EXPECT_EQ(w.rig.power.requests, 1);
}

} // namespace
} // namespace quelvex::testing
