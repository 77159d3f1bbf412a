// Runs GoogleTest inside a QApplication so widget and event-loop tests work without a screen; the
// tests of the folders that link Qt Core only run inside a QCoreApplication.
// The whole run gets a home, a config folder and a runtime folder of its own: no test can touch
// the real ones.
#ifdef DORVANE_TEST_CORE_ONLY
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif
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

    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
