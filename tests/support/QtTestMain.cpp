// Runs GoogleTest inside a QApplication so widget and event-loop tests work without a screen.
// The whole run gets a home, a config folder and a runtime folder of its own: no test can touch
// the real ones.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir sandbox;
    if (!sandbox.isValid())
        return 2;
    const QString home = sandbox.filePath(QStringLiteral("home"));
    const QString runtime = sandbox.filePath(QStringLiteral("runtime"));
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());

    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
