#include "platform/qt/desktop_shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace quelvex {

void DesktopShell::openUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

} // namespace quelvex
