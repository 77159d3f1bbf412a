#pragma once

#include "base/AppError.h"
#include "core/AlarmDelivery.h"
#include "core/Clock.h"
#include "core/Event.h"
#include "platform/AutoStart.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeNotifier.h"
#include "support/FakeShell.h"
#include "tray/TrayBackend.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

using namespace Qt::Literals::StringLiterals;

/// A desktop without a notification area: the window keeps its taskbar entry.
class NoTrayBackend : public TrayBackend
{
public:
    [[nodiscard]] bool isAvailable() const override { return false; }
    [[nodiscard]] bool showIcon() override { return false; }
    [[nodiscard]] bool hideIcon() override { return true; }
    void setIcon(const QIcon&) override {}
    void setToolTip(const QString&) override {}
    [[nodiscard]] QIcon applicationIcon() const override { return {}; }
    [[nodiscard]] QPoint cursorPos() const override { return {}; }
    [[nodiscard]] Qt::KeyboardModifiers keyboardModifiers() const override { return {}; }
    void setHandlers(TrayActivationHandler, std::function<void()>) override {}
};

class FakeClock : public Clock
{
public:
    [[nodiscard]] QDateTime now() const override { return current; }
    void advance(int seconds) { current = current.addSecs(seconds); }
    QDateTime current{QDate(2026, 12, 8), QTime(12, 0, 0)};
};

class FakeAutoStart : public AutoStart
{
public:
    void enable(const QString& caption, const QString& executablePath) override
    {
        log << u"enable:"_s + caption + QLatin1Char(':') + executablePath;
        if (fail)
            throw AppError("Failed to set data for '" + caption.toStdString() + "'");
    }
    void disable(const QString& caption) override { log << u"disable:"_s + caption; }
    QStringList log;
    bool fail = false;
};

class FakeDelivery : public AlarmDelivery
{
public:
    void startSound(const Event& event) override
    {
        log << u"sound:"_s + event.title;
        if (whileStarting)
            whileStarting();
    }
    void openExtraFile(const Event& event) override { log << u"extra:"_s + event.title; }
    void afterMessage() override { log << u"after"_s; }
    [[nodiscard]] QStringList takeErrors() override { return std::exchange(errors, {}); }
    QStringList log;
    QStringList errors;
    /// Runs while a sound starts, e.g. a box with its own event loop.
    std::function<void()> whileStarting;
};

/// A program folder in a temporary directory, the current folder holding the language files,
/// and a main window wired to fakes.
struct AppFixture
{
    AppFixture()
    {
        const QString source = qEnvironmentVariable("DORVANE_SOURCE_DIR");
        QDir().mkpath(dir.filePath(u"language"_s));
        for (const char* name : {"English.ini", "Russian.ini"})
            QFile::copy(source + u"/language/"_s + QLatin1String(name),
                        dir.filePath(u"language/"_s) + QLatin1String(name));
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    ~AppFixture() { QDir::setCurrent(previousDir); }

    [[nodiscard]] QString path(const QString& name) const { return dir.filePath(name); }
    [[nodiscard]] QString exe() const { return path(u"dorvane"_s); }

    std::unique_ptr<MainWindow> makeForm()
    {
        return std::make_unique<MainWindow>(
            MainWindowServices{clock, boxes, fileDialogs, autoStart, delivery, shell, notifier,
                               exe(), std::make_unique<NoTrayBackend>(), autoStartUnavailable});
    }

    void writeFile(const QString& name, const QByteArray& content) const
    {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
    }
    [[nodiscard]] QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString previousDir;
    FakeClock clock;
    FakeMessageBoxes boxes;
    FakeFileDialogs fileDialogs;
    FakeAutoStart autoStart;
    FakeDelivery delivery;
    FakeShell shell;
    FakeNotifier notifier;
    QString autoStartUnavailable;
};

inline Event makeEvent(const QString& date, const QString& time, const QString& title,
                       const QString& status, bool countdown = false)
{
    Event e;
    e.date = date;
    e.time = time;
    e.title = title;
    e.message = title + u" text"_s;
    e.status = status;
    e.countdown = countdown;
    return e;
}
