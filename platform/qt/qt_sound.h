// The alarm through Qt Multimedia: a WAV file looped with QSoundEffect, with a tone built into the
// program standing in for a file that cannot be played.
#pragma once

#include "actions/services.h"

#include <QTimer>

class QSoundEffect;

namespace quelvex {

class QtSound : public Sound {
  public:
    QtSound();
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void playLoop(const std::string& path) override;
    void stopAll() override;

  private:
    static QString userAlarm();
    void fileStatusChanged(QSoundEffect* effect);
    void loadTimedOut();
    void playBuiltin();
    void discard(QSoundEffect* effect);

    QSoundEffect* file_ = nullptr;    // the last file asked for; made anew for each alarm
    QSoundEffect* builtin_ = nullptr; // made with the first alarm, never played: it keeps the
                                      // built-in tone in Qt's sample cache for the program's life
    QSoundEffect* tone_ = nullptr;    // the built-in tone's player, made anew for each alarm
    QTimer loadTimer_;
    bool awaitingFile_ = false;  // the file's load decides between it and the built-in tone
    bool loadAbandoned_ = false; // a load was given up and may still hang in Qt's loader
};

} // namespace quelvex
