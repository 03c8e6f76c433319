#include "platform/qt/helper_web_pane.h"

#include "platform/qt/web_helper_protocol.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QResizeEvent>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quelvex {
namespace {

// How long an ending helper may take to close its page and its engine before it is killed.
constexpr int kQuitGraceMs = 3000;

// The helper leads a process group of its own, the engine's processes in it.
void killHelper(QProcess* helper) {
    if (const qint64 pid = helper->processId(); pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
    helper->kill();
}

} // namespace

HelperWebPane::HelperWebPane(const QString& program, WebPaneEvents events)
    : events_(std::move(events)), helper_(new QProcess) {
    // The window the helper draws in: made now, and never remade, since the helper holds its id.
    // Being a window of its own, it can later be placed inside the main window (see EmbeddedPane).
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    const WId window = winId();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    helper_->setProcessEnvironment(env);
    helper_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // What the engine's processes print is no report: they share the helper's standard output.
    helper_->setStandardOutputFile(QProcess::nullDevice());
    int pipe[2] = {-1, -1};
    if (::pipe2(pipe, O_CLOEXEC) == 0) {
        reports_ = pipe[0];
        ::fcntl(reports_, F_SETFL, O_NONBLOCK);
        helper_->setChildProcessModifier([w = pipe[1]] {
            if (w == webhelper::kReportDescriptor)
                ::fcntl(w, F_SETFD, 0);
            else
                ::dup2(w, webhelper::kReportDescriptor);
        });
        notifier_ = new QSocketNotifier(reports_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            if (!readReports()) notifier_->setEnabled(false);
        });
    }
    connect(helper_, &QProcess::finished, this, [this](int status, QProcess::ExitStatus how) {
        std::fprintf(stderr, "quelvex: the web view helper ended (%s %d)\n",
                     how == QProcess::NormalExit ? "status" : "signal", status);
        if (events_.lost) events_.lost();
    });
    connect(helper_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        std::fprintf(stderr, "quelvex: the web view helper did not start (%s)\n",
                     qPrintable(helper_->errorString()));
        if (events_.lost) events_.lost();
    });
    helper_->start(program, {QStringLiteral("--parent"), QString::number(static_cast<qulonglong>(window))});
    if (pipe[1] >= 0) ::close(pipe[1]);
}

HelperWebPane::~HelperWebPane() {
    if (reports_ >= 0) {
        delete notifier_;
        ::close(reports_);
    }
    // Asked to quit, the helper closes its page and the engine's processes end with it; one that
    // does not is killed. The process object outlives the pane until then.
    helper_->disconnect(this);
    if (helper_->state() == QProcess::NotRunning) {
        delete helper_;
        return;
    }
    send(webhelper::line(webhelper::kQuit));
    helper_->closeWriteChannel();
    if (QThread::currentThread()->loopLevel() == 0) { // the program is ending: no loop to wait in
        if (!helper_->waitForFinished(kQuitGraceMs)) killHelper(helper_);
        delete helper_;
        return;
    }
    helper_->setParent(qApp);
    QProcess* helper = helper_;
    QObject::connect(helper, &QProcess::finished, helper, &QObject::deleteLater);
    QTimer::singleShot(kQuitGraceMs, helper, [helper] { killHelper(helper); });
}

void HelperWebPane::navigate(const QUrl& url) {
    if (!webAddressAllowed(url)) return;
    location_ = url;
    send(webhelper::line(webhelper::kNavigate, url));
}

void HelperWebPane::resizeEvent(QResizeEvent* event) {
    const QSize size = event->size();
    send(webhelper::line(webhelper::kResize,
                         QByteArray::number(size.width()) + ' ' + QByteArray::number(size.height())));
}

void HelperWebPane::send(const QByteArray& line) {
    if (helper_->state() != QProcess::NotRunning) helper_->write(line);
}

// A line too long for any report is dropped whole. False once the helper has closed its end.
bool HelperWebPane::readReports() {
    char chunk[4096];
    const ssize_t n = ::read(reports_, chunk, sizeof chunk);
    if (n < 0) return errno == EAGAIN || errno == EINTR;
    if (n == 0) return false;
    for (QByteArrayView rest(chunk, n); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView part = rest.first(end < 0 ? rest.size() : end);
        if (pending_.size() + part.size() > webhelper::kMaxReportLine)
            overlong_ = true;
        else
            pending_ += part;
        if (end < 0) break;
        rest = rest.sliced(end + 1);
        if (!overlong_) {
            const auto [word, argument] = webhelper::split(pending_);
            report(word, argument);
        }
        pending_.clear();
        overlong_ = false;
    }
    return true;
}

void HelperWebPane::report(const QByteArray& word, const QByteArray& argument) {
    if (word == webhelper::kLocation) {
        location_ = QUrl::fromEncoded(argument, QUrl::StrictMode);
    } else if (word == webhelper::kTitle) {
        if (events_.titleChanged) events_.titleChanged();
    } else if (word == webhelper::kLoaded) {
        if (events_.loadFinished) events_.loadFinished(argument == "1");
    } else if (word == webhelper::kNewWindow) {
        const QUrl url = QUrl::fromEncoded(argument, QUrl::StrictMode);
        if (browserAddressAllowed(url) && events_.newWindow) events_.newWindow(url);
    }
}

namespace {

class HelperFactory final : public WebPaneFactory {
  public:
    explicit HelperFactory(QString program) : program_(std::move(program)) {}
    WebPane* createPane(WebPaneEvents events) override {
        return new HelperWebPane(program_, std::move(events));
    }

  private:
    QString program_;
};

} // namespace

WebPaneFactory* webHelperFactory() {
#ifdef QUELVEX_WEB_HELPER
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/" QUELVEX_WEB_HELPER);
    if (!QFileInfo(program).isExecutable()) return nullptr;
    static HelperFactory factory(program);
    return &factory;
#else
    return nullptr;
#endif
}

} // namespace quelvex
