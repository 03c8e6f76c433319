#include "app/command_line_start.h"

#include "app/program.h"
#include "platform/linux/logind_power.h"
#include "platform/linux/session_instance.h"
#include "platform/linux/x11_activation.h"
#include "platform/qt/main_view.h"

#include <QTime>

#include <cstdio>

namespace quelvex {
namespace {

std::vector<std::string> toStrings(const QStringList& arguments) {
    std::vector<std::string> out;
    for (const QString& a : arguments)
        out.push_back(a.toStdString());
    return out;
}

void say(std::FILE* stream, const std::string& text) {
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

} // namespace

int answerCommandLine(const QStringList& arguments, CommandRequest& request) {
    const QStringList options = arguments.mid(1);
    const ParsedCommandLine parsed = parseCommandLine(toStrings(options));
    if (!parsed.ok()) {
        say(stderr, "quelvex: " + parsed.error + "\n");
        return 2;
    }
    request = parsed.request;
    if (request.help) {
        say(stdout, commandLineHelp("quelvex"));
        return 0;
    }
    if (request.version) {
        say(stdout, "Quelvex 5.0\n");
        return 0;
    }
    // Refused here, before a hand-over, as a running window would refuse it; a rehearsal too.
    if (request.action && !actionAllowedNow(*request.action)) {
        say(stderr, "quelvex: " + endActionNotAllowedLine(*request.action) + "\n");
        return 2;
    }
    if (const std::string note = commandLineNote(request, QTime::currentTime().msecsSinceStartOfDay() / 1000);
        !note.empty())
        say(stderr, "quelvex: " + note + "\n");
    QString failure;
    switch (handOverToRunning(options, request.dryRun, &failure)) {
    case HandOverResult::Delivered: return 0;
    case HandOverResult::Failed:
        say(stderr,
            "quelvex: the running Quelvex did not take the command line: " + failure.toStdString() + "\n");
        return 1;
    case HandOverResult::NoInstance: break;
    }
    if (request.stop) {
        say(stderr, request.dryRun
                        ? "quelvex: --stop: no Quelvex started with --dry-run runs in this session\n"
                        : "quelvex: --stop: no Quelvex runs in this session\n");
        return 1;
    }
    return -1;
}

void receiveCommandLine(Program& program, const CommandRequest& request, const QVariantMap& platformData) {
    if (!applyHandedOverRequest(program.form(), program.driver(), request)) return;

    MainView& view = program.view();
    // A window hidden by the program itself (during a capture) stays hidden.
    if (!view.isVisible()) return;
    // Wayland lets a window take the focus only with the token the desktop gave the new start.
    if (const QString token = platformData.value(QStringLiteral("XDG_ACTIVATION_TOKEN")).toString();
        !token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    view.setWindowState(view.windowState() & ~Qt::WindowMinimized);
    view.raise();
    view.activateWindow();
    // Under a window manager that guards the focus, the request above carries this program's
    // own last user time; the new start's carries the time its launcher was used.
    activateForStartup(view, platformData.value(QStringLiteral("DESKTOP_STARTUP_ID")).toString().toUtf8());
}

} // namespace quelvex
