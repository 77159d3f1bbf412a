#include "platform/DBusNotifier.h"

#include "platform/SessionBusProbe.h"
#include "support/FakeNotificationServer.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

        ASSERT_TRUE(QTest::qWaitFor([&] { return server.notifyCalls().size() == i + 1; }, 5000));
        const std::vector<FakeNotifyCall> calls = server.notifyCalls();
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
        EXPECT_EQ(call.hints.value("desktop-entry").toString(), "org.dorvane.Dorvane");
    }
}

TEST_F(DBusNotifierTest, WithdrawClosesOnlyOwnNotifications)
{
    FakeNotificationServer server(address);
    ASSERT_TRUE(server.isRunning());
    DBusNotifier& notifier = makeNotifier();
    QSignalSpy closes(&notifier, &Notifier::closed);
    QSignalSpy actions(&notifier, &Notifier::actionInvoked);
    // Withdrawn before the service told its id, and after.
    std::vector<uint> closed;
    for (const bool answered : {false, true}) {
        SCOPED_TRACE(answered ? "answered" : "on its way");
        const std::optional<quint32> id =
            notifier.notify({"Dorvane", "", "Call back", "", false, {}});
        ASSERT_TRUE(id);
        const uint serviceId = FakeNotificationService::firstId + uint(closed.size());
        if (answered) { // known to the notifier once it passes on the service's signal
            ASSERT_TRUE(QTest::qWaitFor([&] { return server.notifyCalls().size() == 2; }, 5000));
            server.sendActionInvoked(serviceId, "seen");
            ASSERT_TRUE(actions.wait(5000));
        }

        // Calls from one connection arrive in order: had the unknown id been sent, it came
        // first.
        notifier.withdraw(*id + 100);
        notifier.withdraw(*id);
        closed.push_back(serviceId);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return server.closeCalls().size() == closed.size(); }, 5000));
        EXPECT_EQ(server.closeCalls(), closed);
        server.sendNotificationClosed(serviceId, 3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !closes.isEmpty(); }, 5000));
        EXPECT_EQ(closes.takeFirst()[0].value<quint32>(), *id);
    }
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
    // The service answers before it signals, and both reach the notifier in that order.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.notifyCalls().size() == 2; }, 5000));
    const uint firstId = FakeNotificationService::firstId;
    const uint secondId = firstId + 1;
    const uint foreign = secondId + 100;

    server.sendActionInvoked(foreign, "other");
    server.sendActionInvoked(firstId, "snooze");
    server.sendNotificationClosed(foreign, 2);
    server.sendNotificationClosed(firstId, 2);
    server.sendActionInvoked(firstId, "late");
    server.sendNotificationClosed(secondId, 3);
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
        DBusNotifier& notifier = makeNotifier();
        // Asked once, at the start, and known by the time a notification was answered.
        ASSERT_TRUE(notifier.notify({"Dorvane", "", "One", "", false, {}}));
        QSignalSpy closes(&notifier, &Notifier::closed);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !server.notifyCalls().empty(); }, 5000));
        server.sendNotificationClosed(FakeNotificationService::firstId, 2);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !closes.isEmpty(); }, 5000));
        EXPECT_EQ(notifier.supportsActions(), expected);
        dropNotifier();
    }
}

// A desktop without a notification service, with one that never answers, or without a
// session bus only loses the notifications: no wait, no message on the terminal.
TEST_F(DBusNotifierTest, MissingOrHungServiceDelaysNothing)
{
    enum class Desk
    {
        NoService,
        HungService,
        NoBus
    };
    const QTemporaryDir empty;
    const QString nowhere = "unix:path=" + empty.filePath("bus");
    for (const Desk desk : {Desk::NoService, Desk::HungService, Desk::NoBus}) {
        SCOPED_TRACE(static_cast<int>(desk));
        std::optional<FakeNotificationServer> hung;
        if (desk == Desk::HungService) {
            hung.emplace(address, QStringList{"actions"}, true);
            ASSERT_TRUE(hung->isRunning());
        }
        messagesPrinted.clear();
        const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
        QElapsedTimer elapsed;
        elapsed.start();

        DBusNotifier& notifier =
            desk != Desk::NoBus
                ? makeNotifier()
                : makeNotifier(QDBusConnection::connectToBus(nowhere, NotifierConnection));
        QSignalSpy closes(&notifier, &Notifier::closed);
        const std::optional<quint32> id =
            notifier.notify({"Dorvane", "", "Dentist", "", true, {{"snooze", "Snooze"}}});
        const bool actions = notifier.supportsActions();
        if (id)
            notifier.withdraw(*id);
        const qint64 took = elapsed.elapsed();
        // A refused notification is closed; a hung one stays on its way.
        if (desk == Desk::NoService)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !closes.isEmpty(); }, 5000));
        else
            QTest::qWait(50); // for anything printed late

        qInstallMessageHandler(previous);
        EXPECT_EQ(id.has_value(), desk != Desk::NoBus);
        EXPECT_FALSE(actions);
        EXPECT_FALSE(notifier.supportsActions());
        EXPECT_LT(took, 100);
        EXPECT_EQ(messagesPrinted, QStringList{});
        if (hung) {
            EXPECT_EQ(hung->notifyCalls().size(), 1u);
        }
        dropNotifier();
    }
}

// A daemon answers the first words of a connection at once; a stopped one never does, and Qt
// would wait for it on the GUI thread. Addresses libdbus fails on at once need no probe.
TEST_F(DBusNotifierTest, SilentSessionBusIsTold)
{
    const QTemporaryDir dir;
    const QByteArray silentPath = QFile::encodeName(dir.filePath("silent bus"));
    const int silent = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(silent, 0);
    const auto closeSilent = qScopeGuard([silent] { ::close(silent); });
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    ASSERT_LT(silentPath.size(), qsizetype(sizeof where.sun_path));
    std::memcpy(where.sun_path, silentPath.constData(), std::size_t(silentPath.size()));
    // Listening but never accepting: the kernel takes the connection, nobody speaks.
    ASSERT_EQ(::bind(silent, reinterpret_cast<const sockaddr*>(&where), sizeof where), 0);
    ASSERT_EQ(::listen(silent, 4), 0);

    const std::vector<std::pair<QByteArray, bool>> rows{
        {address.toUtf8(), true},
        {"unix:path=" + silentPath, false},
        {"unix:path=" + silentPath.toPercentEncoding("/") + ";" + address.toUtf8(), false},
        {"unix:path=" + QFile::encodeName(dir.filePath("none")), true},
        {"unix:path=" + QFile::encodeName(dir.filePath("none")) + ";unix:path=" + silentPath,
         false},
        {"tcp:host=localhost,port=1", true},
    };
    for (const auto& [busAddress, answers] : rows) {
        SCOPED_TRACE(busAddress.toStdString());
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(sessionBusAnswers(busAddress, std::chrono::milliseconds(200)), answers);
        EXPECT_LT(elapsed.elapsed(), 400);
    }
}

} // namespace
