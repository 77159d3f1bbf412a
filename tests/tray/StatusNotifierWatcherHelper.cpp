// A StatusNotifierItem host on a private session bus, as KDE's panel or GNOME's AppIndicator
// extension offer one, for tests of the real program:
//   status_notifier_watcher_helper BUS_ADDRESS
// Owns org.kde.StatusNotifierWatcher and prints "ready", then "registered SERVICE PATH" for each
// item that registers. Reads commands from its input, one a line:
//   activate   calls Activate(0, 0) on the last item registered, as a left click on its icon
// and ends when its input closes.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

namespace {

const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

class Watcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    [[nodiscard]] QStringList items() const { return m_items; }
    [[nodiscard]] static bool hostRegistered() { return true; }
    [[nodiscard]] static int protocolVersion() { return 0; }
    [[nodiscard]] QString lastService() const { return m_lastService; }
    [[nodiscard]] QString lastPath() const { return m_lastPath; }

    Q_INVOKABLE void RegisterStatusNotifierItem(const QString& serviceOrPath)
    {
        // The protocol takes a bus name (the item at /StatusNotifierItem) or a path on the
        // caller's connection.
        const bool isPath = serviceOrPath.startsWith(u'/');
        m_lastService = isPath ? message().service() : serviceOrPath;
        m_lastPath = isPath ? serviceOrPath : QStringLiteral("/StatusNotifierItem");
        m_items << m_lastService + m_lastPath;
        std::printf("registered %s %s\n", qPrintable(m_lastService), qPrintable(m_lastPath));
        std::fflush(stdout);
    }
    Q_INVOKABLE void RegisterStatusNotifierHost(const QString&) {}

private:
    QStringList m_items;
    QString m_lastService;
    QString m_lastPath;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1) {
        std::fputs("usage: status_notifier_watcher_helper BUS_ADDRESS\n", stderr);
        return 2;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(args[0], QStringLiteral("watcher"));
    Watcher watcher;
    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllInvokables |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fputs("cannot own org.kde.StatusNotifierWatcher on the bus\n", stderr);
        return 1;
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            if (pending.left(end) == "activate" && !watcher.lastService().isEmpty()) {
                QDBusMessage call =
                    QDBusMessage::createMethodCall(watcher.lastService(), watcher.lastPath(),
                                                   kItemInterface, QStringLiteral("Activate"));
                call << 0 << 0;
                bus.asyncCall(call, 2000);
            }
            pending.remove(0, end + 1);
        }
    });
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "StatusNotifierWatcherHelper.moc"
