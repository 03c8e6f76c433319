// The lines the program and its web view helper (quelvex-web-view) exchange: commands on the
// helper's standard input, reports on a descriptor of their own (kReportDescriptor), which the
// engine's processes never inherit: they share the helper's standard output, which goes nowhere.
// One message a line, a word first, then its argument after a space. Addresses travel fully
// encoded, so they hold no space or line break; a report line longer than kMaxReportLine is
// dropped.
//
// To the helper:   navigate URL | resize WIDTH HEIGHT | quit
// From the helper: window ID (its window, made inside the one the program named)
//                  location URL (sent before each title and loaded line)
//                  title | loaded 1 or 0 | newwindow URL (a link the person followed)
//
// The helper is started with the program's window to draw in, quelvex-web-view --parent ID, and
// the reports' descriptor open. It ends on quit or when its standard input closes.
#pragma once

#include <QByteArray>
#include <QUrl>

#include <utility>

namespace quelvex::webhelper {

inline constexpr int kReportDescriptor = 3;
inline constexpr qsizetype kMaxReportLine = 8192;

inline constexpr char kNavigate[] = "navigate";
inline constexpr char kResize[] = "resize";
inline constexpr char kQuit[] = "quit";
inline constexpr char kWindow[] = "window";
inline constexpr char kLocation[] = "location";
inline constexpr char kTitle[] = "title";
inline constexpr char kLoaded[] = "loaded";
inline constexpr char kNewWindow[] = "newwindow";

inline QByteArray line(const char* word, const QByteArray& argument = {}) {
    QByteArray out(word);
    if (!argument.isEmpty()) out += ' ' + argument;
    return out + '\n';
}

inline QByteArray line(const char* word, const QUrl& url) {
    return line(word, url.toEncoded(QUrl::FullyEncoded));
}

// A received line, its end of line removed, as its word and its argument.
inline std::pair<QByteArray, QByteArray> split(QByteArray received) {
    received = received.trimmed();
    const qsizetype space = received.indexOf(' ');
    if (space < 0) return {received, {}};
    return {received.left(space), received.mid(space + 1)};
}

} // namespace quelvex::webhelper
