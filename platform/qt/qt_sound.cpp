#include "platform/qt/qt_sound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

namespace quelvex {
namespace {

// Some files QSoundEffect cannot play never end their load: a text file or a bare WAV header
// stays in Loading with no error. A file that has not loaded by then counts as unplayable.
constexpr int kLoadLimitMs = 500;

QSoundEffect* loopingEffect() {
    auto* effect = new QSoundEffect;
    effect->setLoopCount(QSoundEffect::Infinite);
    return effect;
}

} // namespace

// Nothing of Qt Multimedia is touched here: its first use connects to the sound server, which
// would slow every start-up for an alarm most counts never sound.
QtSound::QtSound() {
    loadTimer_.setSingleShot(true);
    loadTimer_.setInterval(kLoadLimitMs);
    QObject::connect(&loadTimer_, &QTimer::timeout, &loadTimer_, [this] { loadTimedOut(); });
}

QtSound::~QtSound() {
    stopAll();
    discard(file_);
    discard(builtin_);
}

// The program's folder is not the user's to write on an installed system: a sound of their own in
// their data folder (~/.local/share/quelvex/ALARM.WAV) comes first.
QString QtSound::userAlarm() {
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/quelvex/ALARM.WAV");
    return QFileInfo::exists(file) ? file : QString();
}

void QtSound::playLoop(const std::string& path) {
    stopAll();
    if (!builtin_) {
        // Loaded now, beside the first file, never later: Qt's sample loader thread stops after
        // each load, and a load asked for while it stops may never start (with Qt 6.4, about one
        // time in five right after a failed load).
        builtin_ = loopingEffect();
        builtin_->setSource(QUrl(QStringLiteral("qrc:/sound/alarm-builtin.wav")));
    }
    // A fresh effect reads the file afresh, so a file replaced or mended since the last alarm counts.
    discard(file_);
    file_ = loopingEffect();
    QSoundEffect* effect = file_;
    QObject::connect(effect, &QSoundEffect::statusChanged, effect,
                     [this, effect] { fileStatusChanged(effect); });
    awaitingFile_ = true;
    const QString user = userAlarm();
    effect->setSource(QUrl::fromLocalFile(user.isEmpty() ? QString::fromStdString(path) : user));
    if (effect->status() == QSoundEffect::Error) return; // already handed over to the built-in tone
    effect->play(); // while loading, playback starts by itself once the file is in
    if (awaitingFile_) loadTimer_.start();
}

void QtSound::stopAll() {
    awaitingFile_ = false;
    loadTimer_.stop();
    // Stopping an effect that is still loading also cancels the playback waiting for the load.
    if (file_) file_->stop();
    if (builtin_) builtin_->stop();
}

void QtSound::fileStatusChanged(QSoundEffect* effect) {
    if (effect != file_ || !awaitingFile_) return;
    if (effect->status() == QSoundEffect::Ready) {
        awaitingFile_ = false;
        loadTimer_.stop();
    } else if (effect->status() == QSoundEffect::Error) {
        playBuiltin();
    }
}

void QtSound::loadTimedOut() {
    if (!awaitingFile_) return;
    loadAbandoned_ = true;
    playBuiltin();
}

void QtSound::playBuiltin() {
    awaitingFile_ = false;
    loadTimer_.stop();
    if (file_) file_->stop(); // a load that ends late must not start the file as well
    builtin_->play();
}

// Deleting a loaded effect hands its sample back to Qt's sample cache, which then waits for the
// cache's loader thread to end. That thread never ends while a load that was given up still
// hangs in it, and the window would freeze: such an effect is left alive instead (a few hundred
// kilobytes, and only after a broken file).
void QtSound::discard(QSoundEffect* effect) {
    if (!effect) return;
    if (loadAbandoned_ && effect->status() == QSoundEffect::Ready) return;
    delete effect;
}

} // namespace quelvex
