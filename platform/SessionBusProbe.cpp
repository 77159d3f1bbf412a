#include "platform/SessionBusProbe.h"

#include "base/Logging.h"

#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Connecting to it fails at once: no such socket can exist.
constexpr char NoBus[] = "unix:path=/dev/null/dorvane-no-session-bus";

class Socket
{
public:
    Socket() : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    [[nodiscard]] int fd() const { return m_fd; }

private:
    int m_fd;
};

bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd watched{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&watched, 1, static_cast<int>(deadline.remainingTime()));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

/// The socket address of "unix:path=P" or "unix:abstract=N"; false for other kinds.
bool socketAddress(const QByteArray& entry, sockaddr_un& where, socklen_t& length)
{
    if (!entry.startsWith("unix:"))
        return false;
    for (const QByteArray& pair : entry.mid(5).split(',')) {
        const bool abstract = pair.startsWith("abstract=");
        if (!abstract && !pair.startsWith("path="))
            continue;
        const QByteArray name = QByteArray::fromPercentEncoding(pair.mid(pair.indexOf('=') + 1));
        const std::size_t offset = abstract ? 1 : 0; // an abstract name starts with a zero byte
        if (name.isEmpty() || offset + std::size_t(name.size()) >= sizeof where.sun_path)
            return false;
        where = {};
        where.sun_family = AF_UNIX;
        std::memcpy(where.sun_path + offset, name.constData(), std::size_t(name.size()));
        length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + std::size_t(name.size()) +
                           (abstract ? 0 : 1));
        return true;
    }
    return false;
}

enum class Probe
{
    Answers,
    Silent,
    NoDaemon, // libdbus fails at once and tries the next address
};

Probe probe(const sockaddr_un& where, socklen_t length, const QDeadlineTimer& deadline)
{
    const Socket socket;
    if (socket.fd() < 0)
        return Probe::Answers; // nothing to tell: leave it to libdbus
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&where), length) != 0) {
        // Only a full backlog makes a connection wait.
        if (errno != EINPROGRESS && errno != EAGAIN)
            return Probe::NoDaemon;
        if (!waitFor(socket.fd(), POLLOUT, deadline))
            return Probe::Silent;
    }
    // The client's first words; a daemon answers with OK or REJECTED at once.
    const QByteArray uid = QByteArray::number(::getuid()).toHex();
    const QByteArray hello = QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\n";
    if (::send(socket.fd(), hello.constData(), std::size_t(hello.size()), MSG_NOSIGNAL) !=
        hello.size())
        return Probe::NoDaemon;
    // An answer, or a closed connection, which libdbus also takes at once.
    return waitFor(socket.fd(), POLLIN, deadline) ? Probe::Answers : Probe::Silent;
}

} // namespace

bool sessionBusAnswers(const QByteArray& address, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    // libdbus takes the first address it can connect to.
    for (const QByteArray& entry : address.split(';')) {
        sockaddr_un where{};
        socklen_t length = 0;
        if (!socketAddress(entry, where, length))
            return true;
        const Probe result = probe(where, length, deadline);
        if (result != Probe::NoDaemon)
            return result == Probe::Answers;
    }
    return true;
}

void avoidSilentSessionBus(std::chrono::milliseconds limit)
{
    QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
        // Where libdbus looks without an address.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty() || !QFileInfo::exists(QString::fromLocal8Bit(runtime + "/bus")))
            return;
        address = "unix:path=" + runtime + "/bus";
    }
    if (sessionBusAnswers(address, limit))
        return;
    qCWarning(lcDesktop, "The session bus does not answer: Dorvane goes on without it, so no "
                         "desktop notifications are shown");
    qputenv("DBUS_SESSION_BUS_ADDRESS", NoBus);
}
