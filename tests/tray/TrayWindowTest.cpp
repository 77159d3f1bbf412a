#include "tray/FakeTrayBackend.h"
#include "tray/Trayicon.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

// Minimizing leaves the taskbar only while the icon is there to bring the window back;
// restoring brings it back once, without the window's own state change restoring again.
TEST(TrayIconWindow, MinimizeHidesTheWindowOnlyWhileTheIconIsShown)
{
    for (const bool trayAvailable : {true, false}) {
        SCOPED_TRACE(trayAvailable);
        QWidget window;
        window.show();
        auto backend = std::make_unique<FakeTrayBackend>();
        backend->available = trayAvailable;
        TTrayIcon tray(&window, std::move(backend));
        int minimized = 0;
        int restored = 0;
        tray.OnMinimize = [&](QObject*) { ++minimized; };
        tray.OnRestore = [&](QObject*) { ++restored; };
        tray.SetVisible(true);

        window.showMinimized();
        settle();
        EXPECT_TRUE(window.isMinimized());
        EXPECT_EQ(window.isVisible(), !trayAvailable);
        EXPECT_EQ(minimized, trayAvailable ? 1 : 0) << "the hook is there with the icon only";

        tray.Restore();
        settle();
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.isMinimized());
        EXPECT_EQ(restored, 1);
        EXPECT_EQ(minimized, trayAvailable ? 1 : 0);
    }
}

TEST(TrayIconWindow, HookFollowsTheIconAndTheWindowsOwnRestore)
{
    QWidget window;
    window.show();
    TTrayIcon tray(&window, std::make_unique<FakeTrayBackend>());
    int minimized = 0;
    int restored = 0;
    tray.OnMinimize = [&](QObject*) { ++minimized; };
    tray.OnRestore = [&](QObject*) { ++restored; };
    tray.SetVisible(true);

    tray.Minimize();
    settle();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(minimized, 1);

    window.showNormal();
    settle();
    EXPECT_EQ(restored, 1) << "restoring the window by other means counts as a restore";

    tray.SetVisible(false);
    window.showMinimized();
    settle();
    EXPECT_TRUE(window.isVisible()) << "no icon, no hook: the window keeps its taskbar entry";
    EXPECT_EQ(minimized, 1);
}

TEST(TrayIconWindow, RestoreKeepsAMaximizedWindowMaximized)
{
    QWidget window;
    window.showMaximized();
    TTrayIcon tray(&window, std::make_unique<FakeTrayBackend>());
    tray.SetVisible(true);
    window.showMinimized();
    settle();
    tray.Restore();
    EXPECT_TRUE(window.isMaximized());
    EXPECT_FALSE(window.isMinimized());
}
