// quelvex-web-view: the page view's engine in a process of its own. Started by the program when
// the page view opens, it draws the page in a window made inside the program's (X11), and ends
// when told to or when the program goes; with it go the engine's own processes and memory.
// See platform/qt/web_helper_protocol.h for what it reads and writes.
#include "platform/qt/web_helper_protocol.h"
#include "platform/webengine/engine_pane.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quelvex {
namespace {

void say(const QByteArray& line) {
    for (qsizetype done = 0; done < line.size();) {
        const ssize_t n = ::write(webhelper::kReportDescriptor, line.constData() + done,
                                  static_cast<std::size_t>(line.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // the program has gone
        done += n;
    }
}

// Reads the program's commands from standard input and applies them to the pane.
class Commands final : public QObject {
  public:
    explicit Commands(WebPane& pane) : pane_(pane), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
        connect(&notifier_, &QSocketNotifier::activated, this, &Commands::readable);
    }

  private:
    void readable() {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) { // the program has gone
            notifier_.setEnabled(false);
            QCoreApplication::exit(0);
            return;
        }
        pending_.append(chunk, n);
        for (qsizetype end; (end = pending_.indexOf('\n')) >= 0;) {
            const auto [word, argument] = webhelper::split(pending_.left(end));
            pending_.remove(0, end + 1);
            apply(word, argument);
        }
    }

    void apply(const QByteArray& word, const QByteArray& argument) {
        if (word == webhelper::kNavigate) {
            pane_.navigate(QUrl::fromEncoded(argument, QUrl::StrictMode));
        } else if (word == webhelper::kResize) {
            const QList<QByteArray> size = argument.split(' ');
            if (size.size() == 2) pane_.widget()->setGeometry(0, 0, size[0].toInt(), size[1].toInt());
        } else if (word == webhelper::kQuit) {
            notifier_.setEnabled(false);
            QCoreApplication::exit(0);
        }
    }

    WebPane& pane_;
    QSocketNotifier notifier_;
    QByteArray pending_;
};

// The engine's processes outlive its closing by a moment. They and theirs are this process's to
// collect (it takes them over when their own parent ends), so that none is left behind, not even
// as an entry for the system's first process to clear. Those still running after a while are
// ended; they are all in this process's group.
void collectEngineProcesses() {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 1500ms;
    for (;;) {
        const pid_t pid = ::waitpid(-1, nullptr, WNOHANG);
        if (pid < 0) return; // none left
        if (pid > 0) continue;
        if (std::chrono::steady_clock::now() > deadline) break;
        std::this_thread::sleep_for(20ms);
    }
    if (::getpgrp() != ::getpid()) return; // not a group of its own: nothing to end safely
    std::signal(SIGTERM, SIG_IGN);
    ::kill(0, SIGTERM);
    while (::waitpid(-1, nullptr, 0) > 0) {
    }
}

// Shows the page until told to quit; returns the exit status.
int showPage(int argc, char** argv) {
    // The engine's sandbox cannot run as root; anyone else keeps it.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    prepareEngineGraphics();
    QApplication app(argc, argv);
    // The engine's start-up report is of no use to the person in the program's terminal.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    WId parentId = 0;
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--parent")); at >= 0 && at + 1 < args.size())
        parentId = static_cast<WId>(args[at + 1].toULongLong());
    // The reports' descriptor stays this process's own: the engine's processes start from it.
    if (!parentId || ::fcntl(webhelper::kReportDescriptor, F_SETFD, FD_CLOEXEC) != 0) {
        std::fprintf(stderr,
                     "usage: quelvex-web-view --parent WINDOW_ID, reports on descriptor %d "
                     "(started by quelvex)\n",
                     webhelper::kReportDescriptor);
        return 2;
    }
    std::unique_ptr<QWindow> parent(QWindow::fromWinId(parentId));

    WebPane* pane = nullptr;
    std::unique_ptr<QWidget> view;
    // The window is made once the engine has something to show, as the module's view is: by
    // then the engine's own OpenGL child is in the view, which made earlier would be remade
    // for it as a new window, outside the program's.
    auto embed = [&] {
        if (view->windowHandle() && view->windowHandle()->parent()) return;
        view->winId();
        view->windowHandle()->setParent(parent.get());
        view->show();
        say(webhelper::line(webhelper::kWindow, QByteArray::number(static_cast<qulonglong>(view->winId()))));
    };
    auto report = [&](const QByteArray& line) {
        embed();
        say(webhelper::line(webhelper::kLocation, pane->location()));
        say(line);
    };
    WebPaneEvents events;
    events.titleChanged = [&] { report(webhelper::line(webhelper::kTitle)); };
    events.loadFinished = [&](bool ok) { report(webhelper::line(webhelper::kLoaded, ok ? "1" : "0")); };
    events.newWindow = [](const QUrl& url) {
        if (browserAddressAllowed(url)) say(webhelper::line(webhelper::kNewWindow, url));
    };
    pane = createEnginePane(std::move(events));
    view.reset(pane->widget());
    view->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    view->setAttribute(Qt::WA_ShowWithoutActivating);

    Commands commands(*pane);
    const int status = QApplication::exec();
    // The page goes before the program ends, and the engine's processes with it.
    view.reset();
    parent.reset();
    return status;
}

} // namespace
} // namespace quelvex

int main(int argc, char** argv) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    // A report to a program that has gone must not end this process before it has collected
    // the engine's: it learns of the program's end from its standard input.
    std::signal(SIGPIPE, SIG_IGN);
    const int status = quelvex::showPage(argc, argv);
    quelvex::collectEngineProcesses();
    return status;
}
