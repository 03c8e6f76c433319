#include "platform/qt/system_clock.h"

#include <QDateTime>
#include <cstdlib>

namespace quelvex {

QString longTimeWithoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            continue;
        }
        if (quoted || c != u't') {
            out += c;
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == u't') ++i;
        // Drop an opening bracket just before the token and a closing one just after it.
        if (!out.isEmpty() && out.back() == u'(') out.chop(1);
        if (i + 1 < format.size() && format[i + 1] == u')') ++i;
    }
    out = out.trimmed();
    out.replace(QLatin1String("  "), QLatin1String(" "));
    // "AP" forces capitals; "Ap" keeps the locale's own spelling, such as "p. m.".
    QString result;
    quoted = false;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == u'\'') quoted = !quoted;
        if (!quoted && i + 1 < out.size() && (out[i] == u'A' || out[i] == u'a') &&
            (out[i + 1] == u'P' || out[i + 1] == u'p')) {
            result += QLatin1String("Ap");
            ++i;
            continue;
        }
        result += out[i];
    }
    return result;
}

SystemClock::SystemClock(const QLocale& locale)
    : locale_(locale), format_(locale.dateFormat(QLocale::ShortFormat) + u' ' +
                               longTimeWithoutZone(locale.timeFormat(QLocale::LongFormat))) {
    const QString date = locale.dateFormat(QLocale::ShortFormat);
    twoDigitYear_ = date.contains(QLatin1String("yy")) && !date.contains(QLatin1String("yyyy"));
}

LocalDateTime SystemClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    const QTime tm = t.time();
    return {d.year(), d.month(), d.day(), tm.hour(), tm.minute(), tm.second(), tm.msec()};
}

std::string SystemClock::format(const LocalDateTime& when) {
    const QDateTime t(QDate(when.year, when.month, when.day),
                      QTime(when.hour, when.minute, when.second, when.millisecond));
    lastText_ = locale_.toString(t, format_).toStdString();
    lastValue_ = when;
    lastValue_.millisecond = 0;
    return lastText_;
}

LocalDateTime SystemClock::parse(const std::string& text) {
    if (text == lastText_) return lastValue_;
    const QDateTime t = locale_.toDateTime(QString::fromStdString(text), format_);
    if (!t.isValid()) return lastValue_;
    QDate d = t.date();
    if (twoDigitYear_) {
        // Two-digit years read back in the 1900s; take the century nearest to today.
        const int thisYear = QDate::currentDate().year();
        while (d.year() < thisYear - 50) d = d.addYears(100);
    }
    return {d.year(), d.month(), d.day(), t.time().hour(), t.time().minute(), t.time().second(), 0};
}

bool SystemClock::userLanguageIsSpanish() { return locale_.language() == QLocale::Spanish; }

} // namespace quelvex
