#pragma once

#include <QObject>

class QSocketNotifier;

/// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the thread that created the watcher,
/// so that a logout or kill runs the normal shutdown instead of ending the program at once.
/// One watcher at a time; the previous handlers come back when it is destroyed.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT
public:
    /// Installs the handlers, then lets signals held back by holdUntilWatched() through.
    /// Throws AppError when the handlers cannot be installed.
    explicit UnixSignalWatcher(QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

    /// Holds the watched signals back (on this thread and the threads it starts from now on)
    /// until a watcher is installed: one arriving while the program starts would otherwise end
    /// it at once. Call first thing in main().
    static void holdUntilWatched();

    UnixSignalWatcher(const UnixSignalWatcher&) = delete;
    UnixSignalWatcher& operator=(const UnixSignalWatcher&) = delete;

    /// True when a watched signal arrived and waits for the event loop: a start that has not
    /// loaded anything yet can end before building the rest.
    [[nodiscard]] bool hasPending() const;

signals:
    /// One of the watched signals arrived.
    void signalReceived(int signum);

private:
    void readSignals();
    void restore();

    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
