// A start of the program reduced to its single-instance step, for the tests:
//   platform_instance_helper [--wait-go] OWN_TITLE [TITLE...]
// Prints "found" when a running instance answered, otherwise "won", then answers later
// starts (printing "activated" for each) until its input closes or 10 s have passed.
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

void say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == "--wait-go") {
        args.removeFirst();
        char line[8] = {};
        if (!std::fgets(line, sizeof line, stdin))
            return 2;
    }
    if (args.isEmpty())
        return 2;
    SingleInstance instance("TApplication", args.first());
    const QStringList titles = args.size() > 1 ? args.mid(1) : QStringList{args.first()};
    if (instance.activateRunning(titles)) {
        say("found");
        return 0;
    }
    say("won");
    if (!instance.announce())
        return 1;
    say("announced");
    QObject::connect(&instance, &SingleInstance::activationRequested, [] { say("activated"); });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    return app.exec();
}
