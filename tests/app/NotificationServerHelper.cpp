// A notification service on a private session bus, for tests of the real program:
//   notification_server_helper BUS_ADDRESS LOG_FILE [--no-actions | --stall]
// (--stall: records the calls but never answers them, as a hung service)
// Appends one line per call to LOG_FILE, fields separated by tabs, line breaks shown as \n:
//   Notify ID APP_NAME SUMMARY BODY ACTIONS(key|label|...) URGENCY
//   CloseNotification ID
// Prints "ready" once it owns the service name. Reads commands from its input, one a line:
//   invoke ID KEY      sends ActionInvoked
//   closed ID REASON   sends NotificationClosed
// and ends when its input closes.
#include "support/FakeNotificationServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

QString field(QString text)
{
    return text.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"));
}

/// Writes the calls the server has recorded since the last time.
class CallLog
{
public:
    CallLog(const FakeNotificationServer& server, const QString& fileName)
        : m_server(server), m_file(fileName)
    {}

    [[nodiscard]] bool open() { return m_file.open(QIODevice::WriteOnly | QIODevice::Append); }

    void update()
    {
        // Close calls are only ever compared with ids the log already shows.
        const std::vector<FakeNotifyCall> notifies = m_server.notifyCalls();
        for (; m_notifiesWritten < notifies.size(); ++m_notifiesWritten) {
            const FakeNotifyCall& call = notifies[m_notifiesWritten];
            const QStringList fields{
                QStringLiteral("Notify"),
                QString::number(FakeNotificationService::firstId + m_notifiesWritten),
                field(call.appName),
                field(call.summary),
                field(call.body),
                field(call.actions.join(u'|')),
                QString::number(call.hints.value(QStringLiteral("urgency")).toUInt())};
            write(fields.join(u'\t'));
        }
        const std::vector<uint> closes = m_server.closeCalls();
        for (; m_closesWritten < closes.size(); ++m_closesWritten)
            write(QStringLiteral("CloseNotification\t%1").arg(closes[m_closesWritten]));
    }

private:
    void write(const QString& line)
    {
        // One write per line: a reader never sees half a line.
        m_file.write((line + u'\n').toUtf8());
        m_file.flush();
    }

    const FakeNotificationServer& m_server;
    QFile m_file;
    std::size_t m_notifiesWritten = 0;
    std::size_t m_closesWritten = 0;
};

void runCommand(FakeNotificationServer& server, const QString& line)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (words.size() != 3)
        return;
    const uint id = words[1].toUInt();
    if (words[0] == QLatin1String("invoke"))
        server.sendActionInvoked(id, words[2]);
    else if (words[0] == QLatin1String("closed"))
        server.sendNotificationClosed(id, words[2].toUInt());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString option = args.value(2);
    if (args.size() < 2 || args.size() > 3 ||
        (args.size() == 3 && option != "--no-actions" && option != "--stall")) {
        std::fputs("usage: notification_server_helper BUS_ADDRESS LOG_FILE "
                   "[--no-actions | --stall]\n",
                   stderr);
        return 2;
    }
    QStringList capabilities{QStringLiteral("body")};
    if (option != "--no-actions")
        capabilities << QStringLiteral("actions");
    FakeNotificationServer server(args[0], capabilities, option == "--stall");
    if (!server.isRunning()) {
        std::fputs("cannot own org.freedesktop.Notifications on the bus\n", stderr);
        return 1;
    }
    CallLog log(server, args[1]);
    if (!log.open()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&log] { log.update(); });
    poll.start(20);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            log.update();
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            // The calls before a command are in the log before its signal goes out.
            log.update();
            runCommand(server, QString::fromUtf8(pending.left(end)));
            pending.remove(0, end + 1);
        }
    });
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
