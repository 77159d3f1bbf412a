#include "platform/DBusNotifier.h"

#include "support/FakeNotificationServer.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A bus of our own: no service files, so nothing installed on the machine gets started on it.
const char BusConfig[] =
    R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

const QString NotifierConnection = QStringLiteral("notifier-under-test");

QStringList messagesPrinted;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    messagesPrinted << message;
}

/// A dbus-daemon of the test's own, stopped when it goes.
class PrivateBus
{
public:
    ~PrivateBus()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(2000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(2000);
        }
    }

    /// Starts the daemon; its address, or an empty string with the reason in error.
    QString start(const QString& daemon)
    {
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        if (!m_dir.isValid() || !config.open(QIODevice::WriteOnly))
            return fail("cannot write the bus configuration");
        config.write(QString::fromLatin1(BusConfig).arg(m_dir.path()).toUtf8());
        config.close();

        m_daemon.start(daemon,
                       {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
        const QDeadlineTimer deadline(5000);
        while (!m_daemon.canReadLine() &&
               m_daemon.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        }
        const QString address = QString::fromUtf8(m_daemon.readLine().trimmed());
        return address.isEmpty() ? fail(m_daemon.readAllStandardError()) : address;
    }

    QString error;

private:
    QString fail(const QString& reason)
    {
        error = reason;
        return {};
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
};

class DBusNotifierTest : public ::testing::Test
{
protected:
    // One bus for the whole run: libdbus reads the session bus address once per process.
    static void SetUpTestSuite()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        bus = std::make_unique<PrivateBus>();
        address = bus->start(daemon);
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    static void TearDownTestSuite() { bus.reset(); }

    void SetUp() override
    {
        if (!bus)
            GTEST_SKIP() << "dbus-daemon is not installed (Debian package dbus-daemon)";
        ASSERT_FALSE(address.isEmpty())
            << "dbus-daemon did not start: " << bus->error.toStdString();
    }
    void TearDown() override { dropNotifier(); }

    // The notifier on a connection of its own to the session bus the environment names.
    DBusNotifier& makeNotifier()
    {
        return makeNotifier(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, NotifierConnection));
    }
    DBusNotifier& makeNotifier(const QDBusConnection& connection)
    {
        m_notifier = std::make_unique<DBusNotifier>(connection);
        return *m_notifier;
    }
    void dropNotifier()
    {
        m_notifier.reset();
        QDBusConnection::disconnectFromBus(NotifierConnection);
    }

    static inline std::unique_ptr<PrivateBus> bus;
    static inline QString address;
    std::unique_ptr<DBusNotifier> m_notifier;
};

TEST_F(DBusNotifierTest, RequestReachesServiceWhole)
{
    FakeNotificationServer server(address);
    ASSERT_TRUE(server.isRunning());
    DBusNotifier& notifier = makeNotifier();

    struct Row
    {
        NotificationRequest request;
        QStringList actions;
        uchar urgency;
    };
    const std::vector<Row> rows{
        {{"Dorvane",
          "dorvane",
          "Dentist",
          "At 10:30\nBring the card",
          false,
          {{"snooze", "Snooze"}, {"default", "Open"}}},
         {"snooze", "Snooze", "default", "Open"},
         1},
        {{"Dorvane", "/tmp/alarm icon.png", "Tax return", "", true, {}}, {}, 2},
    };
    std::optional<quint32> previousId;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        const std::optional<quint32> id = notifier.notify(row.request);
        ASSERT_TRUE(id);
        EXPECT_NE(id, previousId);
        previousId = id;

        const std::vector<FakeNotifyCall> calls = server.notifyCalls();
        ASSERT_EQ(calls.size(), i + 1);
        const FakeNotifyCall& call = calls.back();
        EXPECT_EQ(call.appName, row.request.appName);
        EXPECT_EQ(call.appIcon, row.request.iconName);
        EXPECT_EQ(call.summary, row.request.summary);
        EXPECT_EQ(call.body, row.request.body);
        EXPECT_EQ(call.actions, row.actions);
        EXPECT_EQ(call.replacesId, 0u);
        EXPECT_EQ(call.expireTimeout, -1);
        // Services ignore an urgency that is not a byte.
        const QVariant urgency = call.hints.value("urgency");
        EXPECT_EQ(urgency.metaType(), QMetaType::fromType<uchar>());
        EXPECT_EQ(urgency.value<uchar>(), row.urgency);
        EXPECT_EQ(call.hints.value("desktop-entry").toString(), "dorvane");
    }
}

TEST_F(DBusNotifierTest, WithdrawClosesOnlyOwnNotifications)
{
    FakeNotificationServer server(address);
    ASSERT_TRUE(server.isRunning());
    DBusNotifier& notifier = makeNotifier();
    const std::optional<quint32> id = notifier.notify({"Dorvane", "", "Call back", "", false, {}});
    ASSERT_TRUE(id);

    // Calls from one connection arrive in order: had the unknown id been sent, it came first.
    notifier.withdraw(*id + 100);
    notifier.withdraw(*id);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.closeCalls().empty(); }, 5000));
    EXPECT_EQ(server.closeCalls(), std::vector<uint>{*id});
}

// The service tells every client about every notification; only ours may come out, and none
// after it closed.
TEST_F(DBusNotifierTest, ServiceSignalsReportOwnNotifications)
{
    FakeNotificationServer server(address);
    ASSERT_TRUE(server.isRunning());
    DBusNotifier& notifier = makeNotifier();
    QSignalSpy actions(&notifier, &Notifier::actionInvoked);
    QSignalSpy closes(&notifier, &Notifier::closed);
    const std::optional<quint32> first = notifier.notify({"Dorvane", "", "One", "", false, {}});
    const std::optional<quint32> second = notifier.notify({"Dorvane", "", "Two", "", false, {}});
    ASSERT_TRUE(first && second);
    const uint foreign = *second + 100;

    server.sendActionInvoked(foreign, "other");
    server.sendActionInvoked(*first, "snooze");
    server.sendNotificationClosed(foreign, 2);
    server.sendNotificationClosed(*first, 2);
    server.sendActionInvoked(*first, "late");
    server.sendNotificationClosed(*second, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return closes.count() == 2; }, 5000));

    ASSERT_EQ(actions.count(), 1);
    EXPECT_EQ(actions[0][0].value<quint32>(), *first);
    EXPECT_EQ(actions[0][1].toString(), "snooze");
    EXPECT_EQ(closes[0][0].value<quint32>(), *first);
    EXPECT_EQ(closes[0][1].value<NotificationCloseReason>(), NotificationCloseReason::Dismissed);
    EXPECT_EQ(closes[1][0].value<quint32>(), *second);
    EXPECT_EQ(closes[1][1].value<NotificationCloseReason>(), NotificationCloseReason::Withdrawn);
}

TEST_F(DBusNotifierTest, ActionsSupportFollowsCapabilities)
{
    const std::vector<std::pair<QStringList, bool>> rows{
        {{"body", "actions", "sound"}, true},
        {{"body", "body-markup"}, false},
    };
    for (const auto& [capabilities, expected] : rows) {
        SCOPED_TRACE(capabilities.join(' ').toStdString());
        FakeNotificationServer server(address, capabilities);
        ASSERT_TRUE(server.isRunning());
        EXPECT_EQ(makeNotifier().supportsActions(), expected);
        dropNotifier();
    }
}

// A desktop without a notification service, or without a session bus, only loses the
// notifications: no wait, no message on the terminal.
TEST_F(DBusNotifierTest, MissingServiceFailsQuietlyAndFast)
{
    const QTemporaryDir empty;
    const QString nowhere = "unix:path=" + empty.filePath("bus");
    for (const bool busExists : {true, false}) {
        SCOPED_TRACE(busExists ? "no service" : "no bus");
        messagesPrinted.clear();
        const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
        QElapsedTimer elapsed;
        elapsed.start();

        DBusNotifier& notifier =
            busExists ? makeNotifier()
                      : makeNotifier(QDBusConnection::connectToBus(nowhere, NotifierConnection));
        const std::optional<quint32> id =
            notifier.notify({"Dorvane", "", "Dentist", "", true, {{"snooze", "Snooze"}}});
        const bool actions = notifier.supportsActions();
        QTest::qWait(50); // for anything printed late

        qInstallMessageHandler(previous);
        EXPECT_FALSE(id);
        EXPECT_FALSE(actions);
        EXPECT_LT(elapsed.elapsed(), DBusNotifier::callTimeoutMs / 2);
        EXPECT_EQ(messagesPrinted, QStringList{});
        dropNotifier();
    }
}

} // namespace
