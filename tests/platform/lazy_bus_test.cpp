// The lazily opened bus against a private dbus-daemon of the test's own, which the test stops and
// starts again under the same address.
#include "platform/linux/lazy_bus.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace quelvex;

class LazyBusTest : public QObject {
    Q_OBJECT

  private slots:
    void aLostConnectionIsOpenedAgainByTheNextCall() {
        QTemporaryDir dir;
        const QString address = QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("bus"));
        QProcess daemon;
        const auto startDaemon = [&] {
            daemon.start(QStringLiteral("dbus-daemon"),
                         {QStringLiteral("--session"), QStringLiteral("--nofork"),
                          QStringLiteral("--print-address"), QStringLiteral("--address=") + address});
            return daemon.waitForReadyRead(5000);
        };
        if (!startDaemon()) QSKIP("no dbus-daemon");
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
        LazyBus bus(QDBusConnection::SessionBus);
        const auto ask = [&] {
            auto answer = std::make_shared<std::optional<BusAnswer>>();
            bus.call(QDBusMessage::createMethodCall(
                         QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                         QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")),
                     3000, [answer](const BusAnswer& a) { *answer = a; });
            return answer;
        };
        auto first = ask();
        QTRY_VERIFY(first->has_value());
        QVERIFY2((*first)->ok(), qPrintable((*first)->failure));

        daemon.kill();
        daemon.waitForFinished();
        QVERIFY(startDaemon());
        QTest::qWait(300); // time for the old connection to see its end
        auto again = ask();
        QTRY_VERIFY(again->has_value());
        QVERIFY2((*again)->ok(), qPrintable((*again)->failure));
        daemon.kill();
        daemon.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(LazyBusTest)
#include "lazy_bus_test.moc"
