// The system clock service: the user's formats without a time zone, read back, and what the
// window's 12-hour and morning scans make of the texts it writes.
#include "platform/qt/system_clock.h"
#include "tests/fakes.h"

#include <QtTest>

using namespace quelvex;
using namespace quelvex::testing;

namespace {

// The system clock's formats with a time of day the test chooses.
class PinnedClock : public Clock {
  public:
    PinnedClock(const QLocale& locale, LocalDateTime at) : real_(locale), at_(at) {}
    LocalDateTime now() override { return at_; }
    std::string format(const LocalDateTime& t) override { return real_.format(t); }
    LocalDateTime parse(const std::string& text) override { return real_.parse(text); }
    bool userLanguageIsSpanish() override { return real_.userLanguageIsSpanish(); }

  private:
    SystemClock real_;
    LocalDateTime at_;
};

struct ScanResult {
    int twelveHour, morning;
    bool am, pm;
    int hoursShown;
};

ScanResult scanAt(const char* locale, int hour) {
    PinnedClock clock(QLocale(QString::fromLatin1(locale)), {2026, 12, 7, hour, 50, 0, 0});
    FakeSound sound;
    FakePower power;
    FakeGrab grab;
    FakeDisk disk;
    FakeErrors errors;
    FakeHelp help;
    TForm1 form(Services{clock, sound, power, grab, disk, errors, help, "/"});
    form.Timer1Timer();
    const SharedState& s = form.state();
    return {s.twelveHourClock, s.morning, form.face().visible(Image::am), form.face().visible(Image::pm),
            s.clockHoursShown};
}

} // namespace

class SystemClockTest : public QObject {
    Q_OBJECT

  private slots:
    void dropsTheTimeZoneField() {
        QCOMPARE(longTimeWithoutZone("h:mm:ss AP t"), QString("h:mm:ss Ap"));
        QCOMPARE(longTimeWithoutZone("H:mm:ss (t)"), QString("H:mm:ss"));
        QCOMPARE(longTimeWithoutZone("HH:mm:ss t"), QString("HH:mm:ss"));
        QCOMPARE(longTimeWithoutZone("HH:mm:ss tttt"), QString("HH:mm:ss"));
        QCOMPARE(longTimeWithoutZone("t HH:mm:ss"), QString("HH:mm:ss"));
        // A quoted literal keeps its letters.
        QCOMPARE(longTimeWithoutZone("HH 'h' mm 'min' ss 'st' t"), QString("HH 'h' mm 'min' ss 'st'"));
    }

    void formatsInTheUsersOwnWay_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("evening");
        QTest::addColumn<QString>("morning");
        QTest::newRow("en_US") << "en_US" << "12/7/26 11:50:00 PM" << "12/7/26 9:05:07 AM";
        QTest::newRow("es_ES") << "es_ES" << "7/12/26 23:50:00" << "7/12/26 9:05:07";
        QTest::newRow("es_MX") << "es_MX" << "07/12/26 23:50:00" << "07/12/26 09:05:07";
        QTest::newRow("de_DE") << "de_DE" << "07.12.26 23:50:00" << "07.12.26 09:05:07";
        // The locale's own designators, written with a no-break space.
        QTest::newRow("es_US") << "es_US" << QStringLiteral("7/12/2026 11:50:00 p.\u00A0m.")
                               << QStringLiteral("7/12/2026 9:05:07 a.\u00A0m.");
    }

    void formatsInTheUsersOwnWay() {
        QFETCH(QString, locale);
        QFETCH(QString, evening);
        QFETCH(QString, morning);
        SystemClock clock{QLocale(locale)};
        const LocalDateTime late{2026, 12, 7, 23, 50, 0, 0};
        const LocalDateTime early{2026, 12, 7, 9, 5, 7, 0};
        QCOMPARE(QString::fromStdString(clock.format(late)), evening);
        QCOMPARE(QString::fromStdString(clock.format(early)), morning);

        // Read back by a fresh instance, so a real parse is done; two-digit years land in this century.
        SystemClock reader{QLocale(locale)};
        QCOMPARE(reader.parse(evening.toStdString()), late);
        QCOMPARE(reader.parse(morning.toStdString()), early);
        const LocalDateTime noon{2026, 12, 7, 12, 0, 30, 0};
        const LocalDateTime midnight{2026, 12, 7, 0, 0, 30, 0};
        QCOMPARE(reader.parse(clock.format(noon)), noon);
        QCOMPARE(reader.parse(clock.format(midnight)), midnight);
    }

    void spanishUserIsSpanishWhateverTheCountry() {
        QVERIFY(SystemClock(QLocale("es_ES")).userLanguageIsSpanish());
        QVERIFY(SystemClock(QLocale("es_AR")).userLanguageIsSpanish());
        QVERIFY(!SystemClock(QLocale("ca_ES")).userLanguageIsSpanish());
        QVERIFY(!SystemClock(QLocale("pt_BR")).userLanguageIsSpanish());
        QVERIFY(!SystemClock(QLocale("en_US")).userLanguageIsSpanish());
    }

    void scansSeeTheDesignators() {
        // "p. m." puts an m before the last character: a 12-hour afternoon clock.
        ScanResult r = scanAt("es_US", 23);
        QCOMPARE(r.twelveHour, 1);
        QCOMPARE(r.morning, 0);
        QVERIFY(!r.am && r.pm);
        QCOMPARE(r.hoursShown, 11);
        r = scanAt("es_US", 9);
        QCOMPARE(r.twelveHour, 1);
        QCOMPARE(r.morning, 1);
        QVERIFY(r.am && !r.pm);

        // "PM": its only M is the last character, so the clock runs in 24-hour form.
        r = scanAt("en_US", 23);
        QCOMPARE(r.twelveHour, 0);
        QVERIFY(!r.am && !r.pm);
        QCOMPARE(r.hoursShown, 23);
        r = scanAt("en_US", 9);
        QCOMPARE(r.twelveHour, 0);
        QCOMPARE(r.morning, 1);

        for (const char* locale : {"es_ES", "es_MX", "de_DE"}) {
            r = scanAt(locale, 23);
            QCOMPARE(r.twelveHour, 0);
            QCOMPARE(r.morning, 0);
            QVERIFY(!r.am && !r.pm);
            QCOMPARE(r.hoursShown, 23);
        }
    }
};

QTEST_GUILESS_MAIN(SystemClockTest)
#include "system_clock_test.moc"
