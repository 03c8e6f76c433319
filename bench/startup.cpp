// Start-up cost of the program: the time from process start to the main view's first painted
// frame, and resident memory about a second after start.
//
//   quelvex_startup_bench [RUNS]   runs itself RUNS times (default 11, after one warm-up run that
//                                  is not counted) and prints each run and the medians
//   quelvex_startup_bench --once   one measurement, printed as one line of key=value pairs
//
// It builds the window as the program does (quelvex::Program on a QApplication) and needs a
// display: run it under Xvfb with QT_QPA_PLATFORM=xcb, as startup.sh does.
//
// Times, in milliseconds:
//   launch_to_frame  from just before fork() in the driver to the end of the first frame; covers
//                    fork, exec, dynamic loading, static initialisation and Qt start-up
//   proc_to_frame    the same from the process's own start time in /proc/self/stat (field 22,
//                    clock ticks since boot, so only to 1/CLK_TCK s); the figure a lone --once
//                    run can give
//   proc_to_main     process start to main(), from /proc as above
//   main_to_paint    main() to the first QEvent::Paint reaching the main view
//   main_to_frame    main() to the end of that first frame (the event loop's next turn, after the
//                    painted frame has been flushed to the window)
// rss_mib: VmRSS from /proc/self/status, about one second after main().

#include "app/program.h"
#include "platform/qt/main_view.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <climits>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr const char* kLaunchEnv = "QUELVEX_STARTUP_LAUNCH_NS";
constexpr double kFrameGoalMs = 150.0;
constexpr double kRssGoalMib = 40.0;
constexpr int kRssAfterMs = 1000;
constexpr int kGiveUpMs = 20000;

long long clockNs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long long monotonicNs() { return clockNs(CLOCK_MONOTONIC); }

double ms(long long ns) { return static_cast<double>(ns) / 1e6; }

// Nanoseconds since this process started, from /proc/self/stat field 22 and CLOCK_BOOTTIME
// (the kernel keeps the start time on the boot-time clock). Empty if /proc cannot be read.
std::optional<long long> sinceProcessStartNs() {
    const long long bootNow = clockNs(CLOCK_BOOTTIME);
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Field 2 (the command name) may hold spaces; count fields after its closing parenthesis.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int k = 3; k <= 22 && (fields >> field); ++k) {
        if (k == 22) {
            const long ticksPerSecond = sysconf(_SC_CLK_TCK);
            const long long ticks = std::stoll(field);
            return bootNow - ticks * (1000000000LL / ticksPerSecond);
        }
    }
    return std::nullopt;
}

double residentMib() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0; // kB
    }
    return -1.0;
}

// Watches the main view for its first paint and notes when that frame is done.
class FirstPaint final : public QObject {
  public:
    long long paintNs = 0;
    long long frameNs = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintNs == 0) {
            paintNs = monotonicNs();
            // Runs on the event loop's next turn, once this paint and its flush have returned.
            QTimer::singleShot(0, this, [this] { frameNs = monotonicNs(); });
        }
        return QObject::eventFilter(watched, event);
    }
};

int measureOnce(int argc, char** argv, long long mainNs) {
    const std::optional<long long> procAtMain = sinceProcessStartNs();
    std::optional<long long> launchNs;
    if (const char* launch = std::getenv(kLaunchEnv)) launchNs = std::atoll(launch);

    QApplication app(argc, argv);
    quelvex::setUpApplication();
    quelvex::Program program;
    FirstPaint watch;
    program.view().installEventFilter(&watch);
    program.view().show();

    int status = 0;
    auto report = [&] {
        if (watch.frameNs == 0) {
            std::fprintf(stderr, "quelvex_startup_bench: no paint of the main view in %d ms\n", kGiveUpMs);
            status = 3;
            app.quit();
            return;
        }
        std::string line;
        char item[96];
        auto add = [&](const char* key, double value) {
            std::snprintf(item, sizeof item, "%s%s=%.2f", line.empty() ? "" : " ", key, value);
            line += item;
        };
        if (launchNs) add("launch_to_frame", ms(watch.frameNs - *launchNs));
        if (procAtMain) {
            add("proc_to_frame", ms(*procAtMain + watch.frameNs - mainNs));
            add("proc_to_main", ms(*procAtMain));
        }
        add("main_to_paint", ms(watch.paintNs - mainNs));
        add("main_to_frame", ms(watch.frameNs - mainNs));
        add("rss_mib", residentMib());
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        app.quit();
    };
    // Memory about a second after start; later only if the first frame is late.
    std::function<void()> whenReady = [&] {
        const double sinceMain = ms(monotonicNs() - mainNs);
        if (watch.frameNs != 0 || sinceMain >= kGiveUpMs) {
            report();
            return;
        }
        QTimer::singleShot(50, &app, whenReady);
    };
    const int wait = std::max(0, kRssAfterMs - static_cast<int>(ms(monotonicNs() - mainNs)));
    QTimer::singleShot(wait, &app, whenReady);
    app.exec();
    return status;
}

using Sample = std::map<std::string, double>;

Sample parse(const std::string& line) {
    Sample sample;
    std::istringstream in(line);
    std::string pair;
    while (in >> pair) {
        const auto eq = pair.find('=');
        if (eq != std::string::npos) sample[pair.substr(0, eq)] = std::stod(pair.substr(eq + 1));
    }
    return sample;
}

std::optional<Sample> runChild(const std::string& self) {
    int out[2];
    if (pipe(out) != 0) return std::nullopt;
    const long long launch = monotonicNs();
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        setenv(kLaunchEnv, std::to_string(launch).c_str(), 1);
        execl(self.c_str(), self.c_str(), "--once", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    Sample sample = parse(text);
    if (sample.count("launch_to_frame") == 0 || sample.count("rss_mib") == 0) return std::nullopt;
    return sample;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

int drive(int runs) {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        std::fprintf(stderr, "quelvex_startup_bench: cannot find its own executable\n");
        return 2;
    }
    const std::string self(path, static_cast<std::size_t>(length));

    const char* keys[] = {"launch_to_frame", "proc_to_frame", "proc_to_main", "main_to_paint", "main_to_frame",
                          "rss_mib"};
    std::map<std::string, std::vector<double>> all;
    std::printf("run %-16s %-14s %-13s %-14s %-14s %s\n", "launch_to_frame", "proc_to_frame", "proc_to_main",
                "main_to_paint", "main_to_frame", "rss_mib");
    for (int run = 0; run <= runs; ++run) {
        const std::optional<Sample> sample = runChild(self);
        if (!sample) {
            std::fprintf(stderr, "quelvex_startup_bench: run %d failed\n", run);
            return 1;
        }
        if (run == 0) continue; // warm-up: fills the page cache and font caches
        std::printf("%3d", run);
        for (const char* key : keys) {
            const auto it = sample->find(key);
            const double value = it == sample->end() ? -1.0 : it->second;
            std::printf(" %-*.2f", key == keys[0] ? 16 : 14, value);
            all[key].push_back(value);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("median of %d runs:\n", runs);
    for (const char* key : keys) std::printf("  %-16s %8.2f\n", key, median(all[key]));
    const double frame = median(all["launch_to_frame"]);
    const double rss = median(all["rss_mib"]);
    std::printf("first frame %.1f ms (goal <= %.0f ms: %s), resident %.1f MiB (goal <= %.0f MiB: %s)\n", frame,
                kFrameGoalMs, frame <= kFrameGoalMs ? "met" : "NOT met", rss, kRssGoalMib,
                rss <= kRssGoalMib ? "met" : "NOT met");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const long long mainNs = monotonicNs();
    if (argc >= 2 && std::strcmp(argv[1], "--once") == 0) return measureOnce(argc, argv, mainNs);
    int runs = 11;
    if (argc >= 2) {
        runs = std::atoi(argv[1]);
        if (runs < 1) {
            std::fprintf(stderr, "usage: %s [RUNS] | --once\n", argv[0]);
            return 2;
        }
    }
    return drive(runs);
}
