// Local time and the user's formats, from the system locale.
#pragma once

#include "core/clock.h"

#include <QLocale>
#include <QString>

namespace quelvex {

// A long time format without its time-zone field: drops "t" tokens with their brackets and the
// space that separates them, and spells AM/PM markers so the locale's own designators are kept.
QString longTimeWithoutZone(const QString& format);

class SystemClock : public Clock {
  public:
    explicit SystemClock(const QLocale& locale = QLocale::system());

    LocalDateTime now() override;
    std::string format(const LocalDateTime& when) override;
    LocalDateTime parse(const std::string& text) override;
    bool userLanguageIsSpanish() override;

    const QString& dateTimeFormat() const { return format_; }

  private:
    QLocale locale_;
    QString format_;
    bool twoDigitYear_;
    // The last text written and its value: reading it back needs no parse.
    std::string lastText_;
    LocalDateTime lastValue_;
};

} // namespace quelvex
