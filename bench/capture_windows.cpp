// Time of one full-screen capture as quelvex.exe takes it (grab, encode, write), for comparison
// with the Linux build's bench/capture.cpp on the same screen.
//
//   quelvex_capture_bench.exe RUNS [FILE]   RUNS captures to FILE (default capture.jpg); prints
//                                           the median, the first, the fastest and the slowest
//
// capture-windows.sh runs it under Wine on Xvfb.

#include "platform/windows/windows_capture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const std::string file = argc > 2 ? argv[2] : "capture.jpg";
    quelvex::WindowsScreenGrab grab;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start{}, end{};
        QueryPerformanceCounter(&start);
        if (auto error = grab.captureTo(file)) {
            std::fprintf(stderr, "%s\n", error->c_str());
            return 1;
        }
        QueryPerformanceCounter(&end);
        ms.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                     static_cast<double>(frequency.QuadPart));
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("median_ms=%.1f first_ms=%.1f min_ms=%.1f max_ms=%.1f runs=%d\n", sorted[sorted.size() / 2],
                ms.front(), sorted.front(), sorted.back(), runs);
    return 0;
}
