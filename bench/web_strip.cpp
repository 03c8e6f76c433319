// The simple HTML view of the web strip on its own (any platform; offscreen works): loads one
// address at the strip's or the page view's size and prints the longest time the window's thread
// was held, when the load ended, and the process's peak memory.
//   quelvex_web_strip_bench URL [WIDTHxHEIGHT=481x21] [SECONDS=20]
#include "platform/qt/text_web_pane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s URL [WIDTHxHEIGHT=481x21] [SECONDS=20]\n", argv[0]);
        return 2;
    }
    const QStringList size = QString::fromLatin1(argc > 2 ? argv[2] : "481x21").split(QLatin1Char('x'));
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 20;

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    quelvex::WebPaneEvents events;
    events.loadFinished = [&](bool ok) {
        std::printf("load %s after %lld ms\n", ok ? "finished" : "failed",
                    static_cast<long long>(clock.elapsed()));
    };
    quelvex::TextWebPane pane(events);
    pane.resize(size.value(0).toInt(), size.value(1).toInt());
    pane.show();

    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    tick.start(10);
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    pane.navigate(QUrl(QString::fromLocal8Bit(argv[1])));
    QApplication::exec();

    QFile status(QStringLiteral("/proc/self/status"));
    const QString peak = status.open(QIODevice::ReadOnly)
                             ? QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+)"))
                                   .match(QString::fromLatin1(status.readAll()))
                                   .captured(1)
                             : QString();
    std::printf("longest hold of the window's thread %lld ms over %d s; peak memory %lld MiB\n",
                static_cast<long long>(worst), seconds, peak.toLongLong() / 1024);
    return 0;
}
