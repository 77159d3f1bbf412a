// A window with a tray icon for tray_xvfb_test.sh. Prints READY once the window is minimized
// into the icon, MENU and MENU CLOSED around the pop-up menu, RESTORED once the window is back.
#include "tray/SystemTrayBackend.h"
#include "tray/TrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

void say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Dorvane tray probe"));
    window.resize(320, 200);
    window.show();

    using namespace std::chrono_literals;
    TrayIcon tray(&window, std::make_unique<SystemTrayBackend>(), nullptr, {100ms, 50});
    tray.setHint(QStringLiteral("Dorvane"));
    tray.onRestore = [](QObject*) { say("RESTORED"); };
    QMenu menu;
    menu.addAction(QStringLiteral("Restore"), &tray, &TrayIcon::restore);
    QObject::connect(&menu, &QMenu::aboutToShow, [] { say("MENU"); });
    QObject::connect(&menu, &QMenu::aboutToHide, [] { say("MENU CLOSED"); });
    tray.setPopupMenu(&menu);
    tray.setPopupMenuOn(TrayTrigger::RightClickUp);
    tray.setVisible(true);

    bool minimized = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!tray.isIconShown())
            return;
        if (!minimized) {
            minimized = true;
            window.showMinimized();
        } else if (!window.isVisible()) {
            say("READY");
            poll.stop();
        }
    });
    poll.start(100);

    QTimer::singleShot(20s, &app, [] { QCoreApplication::exit(3); });
    return QApplication::exec();
}
