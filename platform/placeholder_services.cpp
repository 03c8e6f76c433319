#include "platform/placeholder_services.h"

#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace quelvex {

void ReportingSound::playLoop(const std::string& path) {
    std::fprintf(stderr, "quelvex: alarm requested: %s (sound output not available yet)\n", path.c_str());
}

void ReportingSound::stopAll() {}

void ReportingPower::powerOff() {
    std::fprintf(stderr, "quelvex: power-off requested (not performed: no power service in this build)\n");
}

std::optional<std::string> ReportingScreenGrab::captureTo(const std::string& fileName) {
    std::fprintf(stderr, "quelvex: screen capture requested: %s (not taken: capture not available yet)\n",
                 fileName.c_str());
    return std::nullopt;
}

void ReportingHelpWindow::showHelp() {
    std::fprintf(stderr, "quelvex: help window requested (not available yet)\n");
}

void ReportingHelpWindow::followLanguage(bool) {}

// Shown once the handler that raised it has finished, as a top-level handler would: the box runs
// its own event loop, and the model must never be entered from inside one of its handlers.
void MessageBoxErrors::showError(const std::string& message) {
    const QString text = QString::fromStdString(message);
    QTimer::singleShot(0, [text] { QMessageBox::critical(nullptr, QStringLiteral("Quelvex 5.0"), text); });
}

} // namespace quelvex
