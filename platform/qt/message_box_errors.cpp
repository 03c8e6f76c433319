#include "platform/qt/message_box_errors.h"

#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace quelvex {

// Shown once the handler that raised it has finished, as a top-level handler would. The box is
// not modal and runs no event loop of its own: left unanswered, it must not keep the window from
// taking input, nor hold up a later count's actions. While it stays open, later errors (a
// capture failing every minute through the night) reuse it rather than pile up boxes. The text
// also goes to standard error.
void MessageBoxErrors::showError(const std::string& message) {
    std::fprintf(stderr, "quelvex: %s\n", message.c_str());
    const QString text = QString::fromStdString(message);
    QTimer::singleShot(0, &context_, [this, text] {
        if (!box_) {
            box_ =
                new QMessageBox(QMessageBox::Critical, QStringLiteral("Quelvex 5.0"), text, QMessageBox::Ok);
            box_->setAttribute(Qt::WA_DeleteOnClose);
            box_->setWindowModality(Qt::NonModal);
        }
        box_->setText(text);
        box_->show();
        box_->raise();
    });
}

MessageBoxErrors::~MessageBoxErrors() {
    delete box_.data();
}

} // namespace quelvex
