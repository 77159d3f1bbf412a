#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QLockFile;

/// One running instance per identity (class name + application title) and user: a running
/// instance answers on a local socket in the user's runtime folder; a later start asks it.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    SingleInstance(QString className, QString ownTitle, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// Asks a running instance announcing className + one of titles to come forward;
    /// true if one answered. Until announce(), holds the start lock so that of two
    /// simultaneous starts only one finds nothing.
    [[nodiscard]] bool activateRunning(const QStringList& titles);
    /// Starts answering for (className, ownTitle). Call only after activateRunning returned
    /// false. A socket left by a crashed instance is replaced. False when it cannot listen,
    /// also when there is no safe runtime folder (said on the standard error stream).
    bool announce();
    /// Stops answering and removes the socket, as the destructor does.
    void close();

    /// The socket path an instance with this identity listens on; empty without a runtime folder.
    [[nodiscard]] static QString socketPath(const QString& className, const QString& title);

    /// What answers a command a later start hands over: one line (no line break) for the
    /// arguments it was given.
    using CommandHandler = std::function<QByteArray(const QStringList& arguments)>;
    /// Without a handler every command is refused ("no").
    void setCommandHandler(CommandHandler handler) { m_commandHandler = std::move(handler); }
    /// Hands arguments to the running instance of this identity; its answer line, or nothing
    /// when none answered within waitMs.
    [[nodiscard]] static std::optional<QByteArray> sendCommand(const QString& className,
                                                               const QString& title,
                                                               const QStringList& arguments,
                                                               int waitMs);

signals:
    /// A later start asked us to come forward.
    void activationRequested();

private:
    [[nodiscard]] bool ask(const QString& path, const QString& title) const;
    [[nodiscard]] bool isAlive(const QString& path) const;
    void takeConnection();
    void answer(QLocalSocket* socket);
    void releaseLock();

    QString m_className;
    QString m_ownTitle;
    QString m_ownPath;
    std::unique_ptr<QLockFile> m_lock;
    bool m_locked = false;
    QLocalServer* m_server = nullptr;
    CommandHandler m_commandHandler;
};
