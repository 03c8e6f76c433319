#include "platform/qt/placeholder_services.h"

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

// Shown once the handler that raised it has finished, as a top-level handler would. The box is
// not modal and runs no event loop of its own: left unanswered, it must not keep the window from
// taking input, nor hold up a later count's actions. The text also goes to standard error.
void MessageBoxErrors::showError(const std::string& message) {
    std::fprintf(stderr, "quelvex: %s\n", message.c_str());
    const QString text = QString::fromStdString(message);
    QTimer::singleShot(0, [text] {
        auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Quelvex 5.0"), text, QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    });
}

} // namespace quelvex
