#include "platform/SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString Class = "TApplication";
const QString Own = "Dorvane 1.6";
const QStringList Searched{"Dorvane 1.4", "Dorvane 1.6"};

class SingleInstanceTest : public ::testing::Test
{
protected:
    // A runtime folder per test, so no test sees another's sockets.
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8()); }

    static std::unique_ptr<QProcess> start(const QStringList& args)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(INSTANCE_HELPER, args);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    // Keeps our own event loop running so an instance in this process can answer.
    static QByteArray waitLine(QProcess& process)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return process.canReadLine(); }, 5000));
        return process.readLine().trimmed();
    }

    static bool finished(QProcess& process)
    {
        return process.state() == QProcess::NotRunning || process.waitForFinished(5000);
    }

    QTemporaryDir m_runtime;
};

TEST_F(SingleInstanceTest, LaterStartFindsRunningInstance)
{
    SingleInstance first(Class, Own);
    ASSERT_FALSE(first.activateRunning(Searched));
    ASSERT_TRUE(first.announce());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);

    // The later start blocks while asking, so it runs in its own process.
    auto later = start({Own, "Dorvane 1.4", "Dorvane 1.6"});
    EXPECT_TRUE(activated.wait(5000));
    EXPECT_EQ(waitLine(*later), "found");
    EXPECT_TRUE(finished(*later));
    EXPECT_EQ(later->exitCode(), 0);

    // Another identity is not an answer.
    auto other = start({"Dorvane 1.4"});
    EXPECT_EQ(waitLine(*other), "won");
    other->closeWriteChannel();
    EXPECT_TRUE(finished(*other));
    EXPECT_EQ(activated.count(), 1);
}

// What a crashed instance leaves behind: a plain file, or a bound socket nobody listens on.
TEST_F(SingleInstanceTest, LeftoverSocketFileDoesNotBlock)
{
    const QString path = SingleInstance::socketPath(Class, Own);
    ASSERT_FALSE(path.isEmpty());
    for (const bool plainFile : {true, false}) {
        if (plainFile) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        } else {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, QFile::encodeName(path).constData(),
                     sizeof address.sun_path);
            ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ASSERT_EQ(::listen(fd, 1), 0);
            ::close(fd);
        }
        ASSERT_TRUE(QFile::exists(path));

        auto instance = std::make_unique<SingleInstance>(Class, Own);
        EXPECT_FALSE(instance->activateRunning(Searched));
        EXPECT_TRUE(instance->announce());
        auto later = start({Own});
        EXPECT_EQ(waitLine(*later), "found");
        EXPECT_TRUE(finished(*later));
        instance.reset();
        EXPECT_FALSE(QFile::exists(path)) << "a clean end leaves nothing behind";
    }
}

TEST_F(SingleInstanceTest, SimultaneousStartsHaveOneWinner)
{
    for (int round = 0; round < 3; ++round) {
        auto a = start({"--wait-go", Own});
        auto b = start({"--wait-go", Own});
        a->write("go\n");
        b->write("go\n");
        const QByteArray results = waitLine(*a) + " " + waitLine(*b);
        EXPECT_TRUE(results == "won found" || results == "found won") << results.constData();
        a->closeWriteChannel();
        b->closeWriteChannel();
        EXPECT_TRUE(finished(*a));
        EXPECT_TRUE(finished(*b));
    }
}

} // namespace
