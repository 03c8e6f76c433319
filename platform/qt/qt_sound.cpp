#include "platform/qt/qt_sound.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <cstdio>

namespace quelvex {
namespace {

// Some files QSoundEffect cannot play never end their load: a text file or a bare WAV header
// stays in Loading with no error. wavProblem turns those away first; anything else that has not
// loaded by then still counts as unplayable.
constexpr int kLoadLimitMs = 500;

std::uint32_t le32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}
std::uint16_t le16(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

// Why a file is no WAV the alarm can loop (8- or 16-bit PCM, mono or stereo, all its samples
// there), or nothing. Qt's loader takes some such files for ever; asked first, the built-in tone
// sounds at once instead of after the load limit.
QString wavProblem(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot be read");
    // The chunks before the samples are small; 64 KiB holds them in any file seen in practice.
    const QByteArray head = file.read(64 * 1024);
    const qint64 size = file.size();
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return QStringLiteral("is not a WAV file");
    bool pcm = false;
    for (qint64 at = 12; at + 8 <= head.size();) {
        const char* chunk = head.constData() + at;
        const qint64 length = le32(chunk + 4);
        if (qstrncmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || at + 8 + 16 > head.size()) return QStringLiteral("is not a WAV file");
            const std::uint16_t format = le16(chunk + 8), channels = le16(chunk + 10),
                                bits = le16(chunk + 22);
            // Editors write PCM as "extensible" too; its sub-format then says PCM.
            const bool extensiblePcm =
                format == 0xFFFE && length >= 40 && at + 8 + 40 <= head.size() && le16(chunk + 32) == 1;
            pcm =
                (format == 1 || extensiblePcm) && channels >= 1 && channels <= 2 && (bits == 8 || bits == 16);
        } else if (qstrncmp(chunk, "data", 4) == 0) {
            if (!pcm) return QStringLiteral("is not an 8- or 16-bit PCM WAV");
            if (length == 0) return QStringLiteral("holds no sound");
            return at + 8 + length <= size ? QString() : QStringLiteral("is cut short");
        }
        at += 8 + length + (length & 1);
    }
    return QStringLiteral("is not a WAV file");
}

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
    discard(tone_);
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
    file_ = nullptr;
    const QString user = userAlarm();
    const QString file = user.isEmpty() ? QString::fromStdString(path) : user;
    if (const QString problem = wavProblem(file); !problem.isEmpty()) {
        std::fprintf(stderr, "quelvex: the alarm %s %s: the built-in tone sounds instead\n",
                     QDir::toNativeSeparators(file).toLocal8Bit().constData(),
                     problem.toLocal8Bit().constData());
        playBuiltin();
        return;
    }
    file_ = loopingEffect();
    QSoundEffect* effect = file_;
    QObject::connect(effect, &QSoundEffect::statusChanged, effect,
                     [this, effect] { fileStatusChanged(effect); });
    awaitingFile_ = true;
    effect->setSource(QUrl::fromLocalFile(file));
    if (effect->status() == QSoundEffect::Error) return; // already handed over to the built-in tone
    effect->play(); // while loading, playback starts by itself once the file is in
    if (awaitingFile_) loadTimer_.start();
}

void QtSound::stopAll() {
    awaitingFile_ = false;
    loadTimer_.stop();
    // Stopping an effect that is still loading also cancels the playback waiting for the load.
    if (file_) file_->stop();
    if (tone_) tone_->stop();
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
    // A player started again after a stop first plays what its stream still held from the last
    // alarm, a broken beep: each alarm gets a fresh one, which finds the sample in Qt's cache.
    discard(tone_);
    tone_ = loopingEffect();
    tone_->setSource(builtin_->source());
    tone_->play();
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
