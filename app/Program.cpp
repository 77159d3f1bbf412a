#include "app/Program.h"

#include "Version.h"
#include "ui/MainWindow.h"
#include "app/SoundAlarmDelivery.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DBusNotifier.h"
#include "platform/DesktopShell.h"
#include "platform/gstreamer/GstMediaDevice.h"
#include "platform/gstreamer/GstWaveSound.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SingleInstance.h"
#include "platform/UnixSignalWatcher.h"
#include "platform/XdgAutoStart.h"
#include "tray/DefaultIcon.h"
#include "tray/SystemTrayBackend.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace {

const QString kClassName = QStringLiteral("TApplication");
const QString kTitle = QStringLiteral(DORVANE_TITLE);

/// Tells the user once that sounds go nowhere.
class NoAudioNotice
{
public:
    explicit NoAudioNotice(MessageBoxes& boxes) : m_boxes(boxes) {}
    void operator()()
    {
        if (std::exchange(m_told, true))
            return;
        // Noticed while a sound starts, in the middle of an alarm: said once the alarm's own
        // message is up, not before it.
        QTimer::singleShot(0, [this] {
            m_boxes.showError(
                nullptr, kTitle,
                QStringLiteral("No audio output was found: alarm sounds cannot be heard."));
        });
    }

private:
    MessageBoxes& m_boxes;
    bool m_told = false;
};

} // namespace

int runDorvane(int argc, char** argv)
{
    qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dorvane"));
    // Ties the windows to the installed menu entry, so the desktop shows its icon and can pin it.
    QGuiApplication::setDesktopFileName(QStringLiteral("dorvane"));
    // The window goes to the notification area and comes back; only an explicit end quits.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(programIcon());

    QtMessageBoxes boxes;
    QtFileDialogs fileDialogs;
    try {
        // The identity an older version announced, and our own: two instances side by side
        // would overwrite each other's events.
        SingleInstance instance(kClassName, kTitle);
        if (instance.activateRunning({QStringLiteral("Dorvane 1.4"), kTitle}))
            return 0;
        instance.announce();

        const QString executable =
            QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath();
        const QString defaultSound =
            QFileInfo(executable).absolutePath() + QStringLiteral("/sounds/alarm.wav");
        SystemClock clock;
        XdgAutoStart autoStart;
        DesktopShell shell;
        NoAudioNotice noAudio(boxes);
        GstWaveSound wave(defaultSound);
        wave.setNoAudioOutputHandler([&noAudio] { noAudio(); });
        GstMediaDeviceFactory devices;
        devices.setNoAudioOutputHandler([&noAudio] { noAudio(); });
        devices.setErrorHandler(
            [&boxes](const QString& message) { boxes.showError(nullptr, kTitle, message); });
        SoundAlarmDelivery delivery(wave, shell, devices, defaultSound);
        DBusNotifier notifier;

        MainWindow form(
            {clock, boxes, fileDialogs, autoStart, delivery, shell, notifier, executable,
             std::make_unique<SystemTrayBackend>()});
        QObject::connect(&form, &MainWindow::exitRequested, &app, &QCoreApplication::quit);
        QObject::connect(&form, &MainWindow::closed, &app, &QCoreApplication::quit);
        QObject::connect(&instance, &SingleInstance::activationRequested, &form,
                         &MainWindow::restoreFromTray);

        // Ended by a signal or by the session: the same writes as closing the window.
        UnixSignalWatcher signalWatcher;
        QObject::connect(&signalWatcher, &UnixSignalWatcher::signalReceived, &form, [&form] {
            form.shutdownUnattended();
            // Not quit(): that closes the windows first, and the main window's close writes
            // everything again and shows a box when a write fails, which refuses the close and
            // leaves the program running.
            QCoreApplication::exit(0);
        });
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                         [&form] { form.shutdownUnattended(); });

        form.startUp();
        form.show();
        app.exec();
    } catch (const AppError& error) {
        boxes.showError(nullptr, kTitle, QString::fromStdString(error.what()));
    }
    return 0;
}
