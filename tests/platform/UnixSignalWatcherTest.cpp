#include "platform/UnixSignalWatcher.h"

#include "base/AppError.h"

#include <QSignalSpy>
#include <csignal>
#include <gtest/gtest.h>

namespace {

TEST(UnixSignalWatcherTest, SignalsArriveThroughTheEventLoop)
{
    UnixSignalWatcher watcher;
    QSignalSpy received(&watcher, &UnixSignalWatcher::signalReceived);
    for (const int signum : {SIGTERM, SIGINT, SIGHUP}) {
        received.clear();
        ASSERT_EQ(std::raise(signum), 0); // would end the test without the watcher
        EXPECT_TRUE(received.isEmpty());  // delivered later, on the event loop
        ASSERT_TRUE(received.wait(2000)) << signum;
        EXPECT_EQ(received.count(), 1);
        EXPECT_EQ(received.first().first().toInt(), signum);
    }
}

TEST(UnixSignalWatcherTest, SignalHeldBackAtStartArrivesOnceWatched)
{
    UnixSignalWatcher::holdUntilWatched();
    ASSERT_EQ(std::raise(SIGTERM), 0); // pending, not the default end
    UnixSignalWatcher watcher;
    EXPECT_TRUE(watcher.hasPending());
    QSignalSpy received(&watcher, &UnixSignalWatcher::signalReceived);
    ASSERT_TRUE(received.wait(2000));
    EXPECT_EQ(received.first().first().toInt(), SIGTERM);
    EXPECT_FALSE(watcher.hasPending());
}

TEST(UnixSignalWatcherTest, OneAtATimeAndPreviousHandlersComeBack)
{
    struct sigaction ignore
    {};
    struct sigaction before
    {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &before), 0);
    {
        UnixSignalWatcher watcher;
        EXPECT_THROW(UnixSignalWatcher{}, AppError);
    }
    EXPECT_EQ(std::signal(SIGHUP, before.sa_handler), SIG_IGN);
}

} // namespace
