#pragma once

#include "base/AppError.h"
#include "core/AlarmDelivery.h"
#include "core/Event.h"
#include "core/ReminderBook.h"
#include "platform/AutoStart.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeNotifier.h"
#include "support/FakeQtTranslations.h"
#include "support/FakeShell.h"
#include "support/MakeEvent.h"
#include "tray/TrayBackend.h"
#include "ui/EventTableModel.h"
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

/// A main window and the reminder book it shows; the window goes first.
struct TestForm
{
    TestForm() = default;
    TestForm(TestForm&&) = default;
    TestForm& operator=(TestForm&& other) noexcept
    {
        reset();
        book = std::move(other.book);
        window = std::move(other.window);
        return *this;
    }
    ~TestForm() { reset(); }
    void reset()
    {
        window.reset();
        book.reset();
    }
    MainWindow* operator->() const { return window.get(); }
    MainWindow& operator*() const { return *window; }

    std::unique_ptr<ReminderBook> book;
    std::unique_ptr<MainWindow> window;
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

    TestForm makeForm()
    {
        TestForm form;
        form.book = std::make_unique<ReminderBook>(clock, ProgramFolder::ofExecutable(exe()));
        form.window = std::make_unique<MainWindow>(
            *form.book,
            MainWindowServices{clock, boxes, fileDialogs, autoStart, delivery, shell, notifier,
                               qtTranslations, std::make_unique<NoTrayBackend>(),
                               autoStartUnavailable});
        return form;
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
    FakeQtTranslations qtTranslations;
    QString autoStartUnavailable;
};
