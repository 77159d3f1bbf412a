#include "platform/UnixSignalWatcher.h"

#include "base/AppError.h"

#include <QPointer>
#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array WatchedSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but static storage. Only the write end lives here.
std::atomic<int> g_writeFd{-1};
std::array<struct sigaction, WatchedSignals.size()> g_previous{};

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free descriptor");

extern "C" void onSignal(int signum)
{
    // Only async-signal-safe calls here: write one byte and keep errno.
    const int savedErrno = errno;
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signum);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

sigset_t watchedSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signum : WatchedSignals)
        sigaddset(&set, signum);
    return set;
}

[[noreturn]] void fail(const char* what)
{
    throw AppError(std::string("Cannot watch the termination signals: ") + what + ": " +
                   std::strerror(errno));
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(QObject* parent) : QObject(parent)
{
    if (g_writeFd.load() >= 0)
        throw AppError("Only one signal watcher may be installed");
    std::array<int, 2> fds{};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds.data()) != 0)
        fail("socketpair");
    m_readFd = fds[0];
    m_writeFd = fds[1];
    // A full pipe must never block the handler; a lost byte only repeats a pending signal.
    ::fcntl(m_writeFd, F_SETFL, ::fcntl(m_writeFd, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_readFd, F_SETFL, ::fcntl(m_readFd, F_GETFL) | O_NONBLOCK);
    g_writeFd.store(m_writeFd);

    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::readSignals);

    struct sigaction action
    {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < WatchedSignals.size(); ++i) {
        if (::sigaction(WatchedSignals[i], &action, &g_previous[i]) != 0) {
            const int savedErrno = errno;
            for (std::size_t j = 0; j < i; ++j)
                ::sigaction(WatchedSignals[j], &g_previous[j], nullptr);
            restore();
            errno = savedErrno;
            fail("sigaction");
        }
    }
    // A signal held back since the start arrives now, in the handler.
    const sigset_t watched = watchedSet();
    pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
}

void UnixSignalWatcher::holdUntilWatched()
{
    const sigset_t watched = watchedSet();
    pthread_sigmask(SIG_BLOCK, &watched, nullptr);
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (std::size_t i = 0; i < WatchedSignals.size(); ++i)
        ::sigaction(WatchedSignals[i], &g_previous[i], nullptr);
    restore();
}

void UnixSignalWatcher::restore()
{
    g_writeFd.store(-1);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_writeFd);
    ::close(m_readFd);
    m_readFd = m_writeFd = -1;
}

bool UnixSignalWatcher::hasPending() const
{
    unsigned char byte = 0;
    return ::recv(m_readFd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
}

void UnixSignalWatcher::readSignals()
{
    // A receiver may destroy the watcher while it handles the signal.
    const QPointer<UnixSignalWatcher> self(this);
    std::array<unsigned char, 64> buffer{};
    for (;;) {
        const ssize_t count = ::read(m_readFd, buffer.data(), buffer.size());
        if (count <= 0)
            return;
        for (ssize_t i = 0; i < count; ++i) {
            emit signalReceived(buffer[static_cast<std::size_t>(i)]);
            if (!self)
                return;
        }
    }
}
