// Time of one full-screen capture as the program takes it (grab, encode, write), and the
// resident memory a long series of captures leaves behind.
//
//   quelvex_capture_bench [--armed] RUNS [FILE]
//       RUNS captures to FILE (default capture.jpg in the current folder); prints each in ms (up
//       to 50 runs), then the median of all, the first, the median of the later ones and the
//       resident memory after the first capture and after the last. The first capture of a
//       process also sets up the X shared memory; with --armed the capture service is first
//       told a capture is armed, as the program does when a count starts with the capture
//       switch on, and the first capture comes a second later, as the end of a count would.
//
// Needs an X display (QT_QPA_PLATFORM=xcb): capture.sh runs it under Xvfb.

#include "platform/linux/screen_grab.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct StderrErrors : quelvex::ErrorDisplay {
    void showError(const std::string& message) override {
        std::fprintf(stderr, "error: %s\n", message.c_str());
    }
};

double rssKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const bool armed = argc > 1 && std::strcmp(argv[1], "--armed") == 0;
    if (armed) {
        --argc;
        ++argv;
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const std::string file = argc > 2 ? argv[2] : "capture.jpg";
    StderrErrors errors;
    quelvex::DesktopScreenGrab grab(errors);
    if (armed) {
        const auto start = std::chrono::steady_clock::now();
        grab.prepare();
        std::printf(
            "prepare: %.1f ms on this thread\n",
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
    }

    std::vector<double> ms;
    double rssFirst = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (auto error = grab.captureTo(file)) {
            std::fprintf(stderr, "%s\n", error->c_str());
            return 1;
        }
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (i == 0) rssFirst = rssKiB();
        if (runs <= 50) std::printf("capture %d: %.1f ms\n", i + 1, ms.back());
    }
    const double rssLast = rssKiB();
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::vector<double> later(ms.begin() + 1, ms.end());
    std::sort(later.begin(), later.end());
    std::printf("median_ms=%.1f first_ms=%.1f later_ms=%.1f min_ms=%.1f max_ms=%.1f runs=%d "
                "rss_first_kib=%.0f rss_last_kib=%.0f growth_kib=%.0f\n",
                sorted[sorted.size() / 2], ms.front(), later.empty() ? ms.front() : later[later.size() / 2],
                sorted.front(), sorted.back(), runs, rssFirst, rssLast, rssLast - rssFirst);
    return 0;
}
