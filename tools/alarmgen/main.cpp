// alarmgen: synthesises Quelvex's two alarm sounds and writes them into the skin folder.
//
// It is run by hand, never by the build, and its output is committed:
//
//   cmake --build build --target alarmgen
//   build/tools/alarmgen/alarmgen skin/
//
// ALARM.WAV is the alarm shipped next to the program, which users may replace with a sound of
// their own: a two-tone chime struck four times, then a rest, 1.5 s at 44.1 kHz. alarm-builtin.wav
// is the tone embedded in the program for when ALARM.WAV cannot be played: a lower double beep,
// 1 s at 22.05 kHz, small enough to carry in the binary.
//
// Both are 16-bit mono PCM and loop without a seam: every note starts from silence with a short
// attack and the file fades out to exact zero, so the last sample meets the first. The same
// input always gives the same bytes, so an unchanged generator shows no diff.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct Note {
    double start;     // s
    double frequency; // Hz
};

struct Voice {
    std::vector<double> partials; // amplitude of harmonic 1, 2, 3...
    double attack;                // s, raised-cosine rise from silence
    double decay;                 // s, time constant of the exponential fall after the attack
    double length;                // s, after which the note is cut (with a short release)
};

struct Sound {
    int rate;
    double duration; // s
    double fadeOut;  // s, raised-cosine fade to zero at the end
    double peak;     // of full scale
    Voice voice;
    std::vector<Note> notes;
};

double envelope(const Voice& v, double t) {
    if (t < 0 || t >= v.length) return 0;
    double e = t < v.attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / v.attack)
                            : std::exp(-(t - v.attack) / v.decay);
    const double release = 0.01;
    if (t > v.length - release) e *= (v.length - t) / release;
    return e;
}

std::vector<std::int16_t> render(const Sound& s) {
    const auto count = static_cast<std::size_t>(std::lround(s.duration * s.rate));
    std::vector<double> mix(count, 0.0);
    for (const Note& n : s.notes) {
        for (std::size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / s.rate - n.start;
            const double e = envelope(s.voice, t);
            if (e == 0) continue;
            double v = 0;
            for (std::size_t h = 0; h < s.voice.partials.size(); ++h)
                v += s.voice.partials[h] * std::sin(kTwoPi * n.frequency * static_cast<double>(h + 1) * t);
            mix[i] += e * v;
        }
    }
    const auto fade = static_cast<std::size_t>(std::lround(s.fadeOut * s.rate));
    for (std::size_t k = 0; k < fade && k < count; ++k)
        mix[count - 1 - k] *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(k) / fade);

    double top = 0;
    for (double v : mix)
        top = std::max(top, std::abs(v));
    const double gain = top > 0 ? s.peak * 32767.0 / top : 0;
    std::vector<std::int16_t> out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(std::lround(mix[i] * gain), -32767L, 32767L));
    return out;
}

void put16(std::string& b, unsigned v) {
    b += static_cast<char>(v & 0xff);
    b += static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// A canonical 44-byte-header RIFF/WAVE file: one fmt chunk (PCM), one data chunk.
std::string wav(const std::vector<std::int16_t>& samples, int rate) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string b = "RIFF";
    put32(b, 36 + dataBytes);
    b += "WAVEfmt ";
    put32(b, 16);
    put16(b, 1); // PCM
    put16(b, 1); // mono
    put32(b, static_cast<std::uint32_t>(rate));
    put32(b, static_cast<std::uint32_t>(rate) * 2);
    put16(b, 2);
    put16(b, 16);
    b += "data";
    put32(b, dataBytes);
    for (std::int16_t s : samples)
        put16(b, static_cast<std::uint16_t>(s));
    return b;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// E6 and C6, a major third apart, alternate like a door chime; bell-like partials, a soft
// 6 ms strike and a ring that overlaps the next note.
Sound shippedAlarm() {
    const double high = 1318.51, low = 1046.50;
    return Sound{44100,
                 1.5,
                 0.12,
                 0.7,
                 Voice{{1.0, 0.3, 0.1}, 0.006, 0.16, 1.0},
                 {{0.00, high}, {0.16, low}, {0.32, high}, {0.48, low}}};
}

// A plain A5 double beep: clearly another sound than the chime, so a broken ALARM.WAV is noticed.
Sound builtinAlarm() {
    return Sound{22050, 1.0, 0.05, 0.6, Voice{{1.0, 0.2}, 0.015, 0.5, 0.14}, {{0.00, 880.0}, {0.22, 880.0}}};
}

} // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : "skin";
    if (argc > 2 || dir == "--help" || dir == "-h") {
        std::fprintf(stderr, "usage: %s [SKIN_DIR]\n", argv[0]);
        return 2;
    }
    if (!dir.empty() && dir.back() != '/') dir += '/';
    const struct {
        const char* name;
        Sound sound;
    } outputs[] = {{"ALARM.WAV", shippedAlarm()}, {"alarm-builtin.wav", builtinAlarm()}};
    for (const auto& o : outputs) {
        const std::string path = dir + o.name;
        if (!writeFile(path, wav(render(o.sound), o.sound.rate))) {
            std::fprintf(stderr, "alarmgen: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("wrote %s\n", path.c_str());
    }
    return 0;
}
