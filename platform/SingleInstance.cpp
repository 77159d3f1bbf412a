#include "platform/SingleInstance.h"

#include "base/Logging.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <unistd.h>
#include <utility>

namespace {

// Every wait is short: a start must never hang on an instance that does not answer.
constexpr int ConnectWaitMs = 300;
constexpr int AnswerWaitMs = 400;
constexpr int LockWaitMs = 500;
// The lock covers only the moment between asking and listening.
constexpr int StaleLockMs = 5000;
// A command carries an event's texts, percent-encoded.
constexpr int RequestLimit = 256 * 1024;
constexpr int ClientTimeoutMs = 1000;

const QByteArray RequestVerb = "activate";
const QByteArray CommandVerb = "command";
const QByteArray Accepted = "ok\n";
const QByteArray Refused = "no\n";

QByteArray request(const QString& className, const QString& title)
{
    return RequestVerb + ' ' + QUrl::toPercentEncoding(className) + ' ' +
           QUrl::toPercentEncoding(title) + '\n';
}

QByteArray commandRequest(const QString& className, const QString& title,
                          const QStringList& arguments)
{
    QByteArray line = CommandVerb + ' ' + QUrl::toPercentEncoding(className) + ' ' +
                      QUrl::toPercentEncoding(title);
    // An empty argument still takes its place: "%" alone never comes out of the encoding.
    for (const QString& argument : arguments)
        line += ' ' + (argument.isEmpty() ? QByteArray("%") : QUrl::toPercentEncoding(argument));
    return line + '\n';
}

QString decoded(const QByteArray& part)
{
    return part == "%" ? QString() : QUrl::fromPercentEncoding(part);
}

} // namespace

SingleInstance::SingleInstance(QString className, QString ownTitle, QObject* parent)
    : QObject(parent), m_className(std::move(className)), m_ownTitle(std::move(ownTitle))
{
    m_ownPath = socketPath(m_className, m_ownTitle);
    if (!m_ownPath.isEmpty()) {
        m_lock = std::make_unique<QLockFile>(m_ownPath + QStringLiteral(".lock"));
        m_lock->setStaleLockTime(StaleLockMs);
    }
}

SingleInstance::~SingleInstance()
{
    close();
}

void SingleInstance::close()
{
    releaseLock();
    if (m_server)
        m_server->close(); // removes the socket file
}

QString SingleInstance::socketPath(const QString& className, const QString& title)
{
    // Qt checks the runtime folder (owner and mode 0700), or makes a private one in the
    // temp folder when XDG_RUNTIME_DIR is not set.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        return {};
    // A hash keeps the name short (socket paths are limited to about 100 bytes) and free of
    // whatever characters a title holds.
    const QByteArray identity = className.toUtf8() + '\n' + title.toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(24);
    return QDir(dir).filePath(QStringLiteral("dorvane-%1-%2").arg(getuid()).arg(hash));
}

bool SingleInstance::activateRunning(const QStringList& titles)
{
    if (m_lock && !m_locked)
        m_locked = m_lock->tryLock(LockWaitMs);
    for (const QString& title : titles) {
        const QString path = socketPath(m_className, title);
        if (!path.isEmpty() && ask(path, title)) {
            releaseLock();
            return true;
        }
    }
    return false;
}

bool SingleInstance::ask(const QString& path, const QString& title) const
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(ConnectWaitMs))
        return false;
    socket.write(request(m_className, title));
    if (!socket.waitForBytesWritten(ConnectWaitMs))
        return false;
    const QDeadlineTimer deadline(AnswerWaitMs);
    while (!socket.canReadLine()) {
        const auto left = static_cast<int>(deadline.remainingTime());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return false;
    }
    return socket.readLine(RequestLimit) == Accepted;
}

std::optional<QByteArray> SingleInstance::sendCommand(const QString& className,
                                                      const QString& title,
                                                      const QStringList& arguments, int waitMs)
{
    const QString path = socketPath(className, title);
    if (path.isEmpty())
        return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(ConnectWaitMs))
        return std::nullopt;
    socket.write(commandRequest(className, title, arguments));
    const QDeadlineTimer deadline(waitMs);
    while (socket.bytesToWrite() > 0) {
        const auto left = static_cast<int>(deadline.remainingTime());
        if (left <= 0 || !socket.waitForBytesWritten(left))
            return std::nullopt;
    }
    while (!socket.canReadLine()) {
        const auto left = static_cast<int>(deadline.remainingTime());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return std::nullopt;
    }
    return socket.readLine(RequestLimit).chopped(1);
}

bool SingleInstance::isAlive(const QString& path) const
{
    QLocalSocket socket;
    socket.connectToServer(path);
    return socket.waitForConnected(ConnectWaitMs);
}

bool SingleInstance::announce()
{
    if (m_server || m_ownPath.isEmpty()) {
        releaseLock();
        if (m_ownPath.isEmpty())
            qCWarning(lcDesktop, "No safe runtime folder (XDG_RUNTIME_DIR): a later start cannot "
                                 "bring this instance forward");
        return m_server != nullptr;
    }
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    bool listening = server->listen(m_ownPath);
    if (!listening && server->serverError() == QAbstractSocket::AddressInUseError) {
        // A socket nobody accepts on was left by a crashed instance. Only the holder of the
        // start lock may remove it: two starts removing it at once would both listen.
        if (m_locked && !isAlive(m_ownPath)) {
            QLocalServer::removeServer(m_ownPath);
            listening = server->listen(m_ownPath);
        }
    }
    releaseLock();
    if (!listening) {
        qCWarning(lcDesktop, "Cannot answer later starts on %s: %s", qPrintable(m_ownPath),
                  qPrintable(server->errorString()));
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
    return true;
}

void SingleInstance::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        // A client that never finishes its request is dropped.
        QTimer::singleShot(ClientTimeoutMs, socket, [socket] { socket->abort(); });
        if (socket->canReadLine())
            answer(socket);
    }
}

void SingleInstance::answer(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > RequestLimit)
            socket->abort();
        return;
    }
    const QList<QByteArray> parts = socket->readLine(RequestLimit).trimmed().split(' ');
    const bool ours = parts.size() >= 3 && QUrl::fromPercentEncoding(parts[1]) == m_className &&
                      QUrl::fromPercentEncoding(parts[2]) == m_ownTitle;
    const bool forUs = ours && parts.size() == 3 && parts[0] == RequestVerb;
    socket->disconnect(this); // one request per connection
    if (ours && parts[0] == CommandVerb && m_commandHandler) {
        QStringList arguments;
        for (qsizetype i = 3; i < parts.size(); ++i)
            arguments << decoded(parts[i]);
        socket->write(m_commandHandler(arguments) + '\n');
    } else {
        socket->write(forUs ? Accepted : Refused);
    }
    socket->flush();
    socket->disconnectFromServer();
    if (forUs)
        emit activationRequested();
}

void SingleInstance::releaseLock()
{
    if (m_locked) {
        m_lock->unlock();
        m_locked = false;
    }
}
