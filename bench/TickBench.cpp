// One tick of the alarm timer over the rows, with no event due.
#include "core/AlarmDelivery.h"
#include "core/Clock.h"
#include "platform/AutoStart.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Notifier.h"
#include "platform/Shell.h"
#include "tray/TrayBackend.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct FixedClock : Clock
{
    [[nodiscard]] QDateTime now() const override { return current; }
    QDateTime current{QDate(2026, 12, 8), QTime(12, 0, 0)};
};

struct SilentBoxes : MessageBoxes
{
    void showMessage(QWidget*, const QString&, const QString&) override {}
    void showAlarm(QWidget*, const QString&, const QString&,
                   const std::function<void()>& onShown) override
    {
        onShown();
    }
    bool askOkCancel(QWidget*, const QString&, const QString&) override { return true; }
    void showError(QWidget*, const QString&, const QString&) override {}
    void closeMessage(const QString&) override {}
};

struct NoFileDialogs : FileDialogs
{
    QString openFileName(QWidget*, const QString&, const QString&, const QString&,
                         Existing) override
    {
        return {};
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

struct NoAutoStart : AutoStart
{
    void enable(const QString&, const QString&) override {}
    void disable(const QString&) override {}
};

struct NoDelivery : AlarmDelivery
{
    void startSound(const Event&) override {}
    void openExtraFile(const Event&) override {}
    void afterMessage() override {}
    QStringList takeErrors() override { return {}; }
};

struct NoShell : Shell
{
    void openFile(const QByteArray&) override {}
    void openUrl(const QUrl&) override {}
};

struct NoNotifier : Notifier
{
    std::optional<quint32> notify(const NotificationRequest&) override { return std::nullopt; }
    void withdraw(quint32) override {}
    bool supportsActions() override { return false; }
};

struct NoTray : TrayBackend
{
    bool isAvailable() const override { return false; }
    bool showIcon() override { return false; }
    bool hideIcon() override { return true; }
    void setIcon(const QIcon&) override {}
    void setToolTip(const QString&) override {}
    QIcon applicationIcon() const override { return {}; }
    QPoint cursorPos() const override { return {}; }
    Qt::KeyboardModifiers keyboardModifiers() const override { return {}; }
    void setHandlers(TrayActivationHandler, std::function<void()>) override {}
};

void BM_Tick(benchmark::State& state)
{
    QTemporaryDir dir;
    FixedClock clock;
    SilentBoxes boxes;
    NoFileDialogs fileDialogs;
    NoAutoStart autoStart;
    NoDelivery delivery;
    NoShell shell;
    NoNotifier notifier;
    MainWindow form({clock, boxes, fileDialogs, autoStart, delivery, shell, notifier,
                     dir.filePath(QStringLiteral("dorvane")), std::make_unique<NoTray>()});
    form.startUp();
    for (int i = 0; i < state.range(0); ++i) {
        Event e;
        e.date = QStringLiteral("%1.01.2027").arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        e.time = QStringLiteral("12:00:00");
        e.title = QStringLiteral("Event %1").arg(i);
        e.status = i % 4 == 0 ? QStringLiteral("Done") : QStringLiteral("Active");
        form.appendEvent(e);
    }
    for (auto _ : state) {
        clock.current = clock.current.addSecs(1);
        form.onTick();
    }
}

BENCHMARK(BM_Tick)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
