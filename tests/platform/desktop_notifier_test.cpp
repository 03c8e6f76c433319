// The desktop notifier against a notification server of the test's own on a private session bus.
#include "platform/linux/desktop_notifier.h"

#include <QtTest>

using namespace quelvex;

class Server : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    QStringList log;
  public slots:
    uint Notify(QString, uint id, QString, QString title, QString, QStringList, QVariantMap, int) {
        log << QStringLiteral("notify %1 %2").arg(id).arg(title);
        return id ? id : 7;
    }
    void CloseNotification(uint id) { log << QStringLiteral("close %1").arg(id); }
};

class DesktopNotifierTest : public QObject {
    Q_OBJECT
  private slots:
    void theOneMinuteNoticeReplacesTheFiveMinuteOneAndGoesWithTheCount() {
        Server server;
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                           QDBusConnection::ExportAllSlots);
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        DesktopNotifier notifier([] {});
        notifier.show(Notice{"five", "", "Cancel", ""});
        QTRY_COMPARE(server.log.size(), 1);
        notifier.show(Notice{"one", "", "Cancel", ""});
        QTRY_COMPARE(server.log.size(), 2);
        notifier.withdraw();
        QTRY_COMPARE(server.log, (QStringList{"notify 0 five", "notify 7 one", "close 7"}));
    }
};

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "desktop_notifier_test.moc"
