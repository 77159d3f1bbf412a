#include "app/Dorvane1.h"

#include "app/AlarmDelivery.h"
#include "app/EventsFile.h"
#include "app/ProgramSettings.h"
#include "platform/AppError.h"
#include "platform/AutoStart.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "tray/TrayBackend.h"
#include "tray/Trayicon.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

namespace {
const QString kCaption = QStringLiteral("Dorvane 1.6");
constexpr int kDesignedListWidth = 520;
constexpr int kDesignedClientHeight = 310;
constexpr int kStatusBarHeight = 19;
} // namespace

TForm1::TForm1(TForm1Services services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services))
{
    setWindowTitle(kCaption);
    // The column widths are laid out for an 8-point face.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    createMenus();
    createListView();
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setFixedHeight(kStatusBarHeight);
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
    resize(kDesignedListWidth, kDesignedClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    TrayIcon1 = new TTrayIcon(this, std::move(m_services.trayBackend), this);
    TrayIcon1->SetPopupMenu(PopupMenu1);
    TrayIcon1->SetRestoreOn(TTrayIconMessage::imDoubleClick);
    TrayIcon1->SetPopupMenuOn(TTrayIconMessage::imRightClickUp);
    TrayIcon1->SetHide(true);
    TrayIcon1->SetVisible(true);

    // The alarm clock runs from the window's construction to the end of the program, also under
    // the modal loops of dialogs and message boxes.
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, [this] {
        // Armed first: the tick may open a modal message box, under which ticks go on.
        scheduleNextTick();
        Timer1Timer();
    });
    m_now = AlarmRules::decodeNow(m_services.clock.now());
    // The start-up second itself counts as not yet checked: the passed-events check only takes
    // what lies strictly before it.
    m_previousTickSecond = m_now.WallSecond - 1;
    scheduleNextTick();
}

TForm1::~TForm1()
{
    // The list repaints while the base class tears the window down: it must not call back
    // into the part of the window that is already gone.
    ListView1->removeEventFilter(this);
    Rows->rowColour = nullptr;
    Rows->rowTip = nullptr;
}

void TForm1::scheduleNextTick()
{
    // Re-armed each second for just after the next wall-clock second: a free-running interval
    // drifts and skips seconds.
    const int msec = m_services.clock.now().time().msec();
    Timer1->start(1000 - msec + 20);
}

void TForm1::createListView()
{
    Rows = new EventRows(this);
    Rows->rowColour = [this](int row) { return ListView1CustomDrawItem(row); };
    Rows->rowTip = [this](int row) { return ListView1InfoTip(row); };

    ListView1 = new QTreeView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setModel(Rows);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSortingEnabled(false);
    ListView1->setAllColumnsShowFocus(true);
    // Row tips also while the window is not the active one.
    ListView1->viewport()->setAttribute(Qt::WA_AlwaysShowToolTips);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->header()->setSectionsClickable(false);
    ListView1->header()->setSectionsMovable(false);
    ListView1->header()->setStretchLastSection(false);
    QPalette palette = ListView1->palette();
    palette.setColor(QPalette::Base, Qt::white);
    ListView1->setPalette(palette);
    setColumnWidths({70, 55, 120, 200, 55});
    ListView1->installEventFilter(this);
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu2->popup(ListView1->viewport()->mapToGlobal(pos));
    });
    setCentralWidget(ListView1);
    ListView1->setFocus();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListView1 && event->type() == QEvent::Resize) {
        // Laid out for the width the list had before this resize.
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->oldSize().isValid())
            FormCanResize(resize->oldSize().width());
    }
    return QMainWindow::eventFilter(watched, event);
}

QString TForm1::settingsFileName() const
{
    const QFileInfo exe(m_services.executablePath);
    return exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".ini");
}

void TForm1::showError(const QString& text)
{
    if (m_unattended)
        std::fprintf(stderr, "dorvane: %s\n", qPrintable(text));
    else
        m_services.boxes.showError(this, m_applicationTitle, text);
}

template <typename Step> bool TForm1::guarded(Step&& step)
{
    try {
        step();
        return true;
    } catch (const AppError& error) {
        showError(QString::fromStdString(error.what()));
        return false;
    }
}

void TForm1::FormCreate()
{
    m_applicationTitle = kCaption;
    AppDir = QFileInfo(m_services.executablePath).absolutePath() + QLatin1Char('/');
    DefaultSoundFile = AppDir + QStringLiteral("sounds/alarm.wav");

    const ProgramSettings settings = ProgramSettings::read(settingsFileName());
    LanguageName = settings.LanguageName;
    EventCount = settings.EventCount;
    AutoStart = settings.AutoStart;
    SoundPlay = settings.SoundPlay;

    ApplyLanguage(LanguageName + QStringLiteral(".ini"));
    LoadEvents(defaultEventsFile(), EventCount);
    if (!guarded([this] { UpdateAutoStart(); }))
        return;
    if (!EventList.empty()) {
        FillEventView();
        CheckPassedEvents();
    }
}

void TForm1::writeAll()
{
    currentSettings().write(settingsFileName());
    UpdateAutoStart();
    SaveEvents(defaultEventsFile());
}

bool TForm1::FormClose()
{
    return guarded([this] { writeAll(); });
}

void TForm1::shutdownUnattended()
{
    m_unattended = true;
    (void)guarded([this] { writeAll(); });
    m_unattended = false;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void TForm1::UpdateAutoStart()
{
    if (AutoStart)
        m_services.autoStart.enable(windowTitle(),
                                    QFileInfo(m_services.executablePath).absoluteFilePath());
    else
        m_services.autoStart.disable(windowTitle());
}

ProgramSettings TForm1::currentSettings() const
{
    ProgramSettings settings;
    settings.LanguageName = LanguageName;
    settings.EventCount = static_cast<int>(EventList.size());
    settings.AutoStart = AutoStart;
    settings.SoundPlay = SoundPlay;
    return settings;
}

void TForm1::LoadEvents(const QString& FileName, std::optional<int> limit)
{
    EventList = EventsFile::load(FileName, limit, DefaultSoundFile);
}

void TForm1::SaveEvents(const QString& FileName)
{
    EventsFile::save(FileName, EventList);
}

void TForm1::SaveEventsAndSettings()
{
    guarded([this] {
        SaveEvents(defaultEventsFile());
        currentSettings().write(settingsFileName());
    });
}

void TForm1::appendEvent(Events event)
{
    Rows->appendRow(EventRows::rowFor(event));
    EventList.append(std::move(event));
}

void TForm1::replaceEvent(int index, Events event)
{
    Rows->replaceRow(index, EventRows::rowFor(event));
    EventList[static_cast<std::size_t>(index)] = std::move(event);
}

void TForm1::removeEventAt(int index)
{
    Rows->removeRowAt(index);
    EventList.removeAt(static_cast<std::size_t>(index));
}

void TForm1::clearEvents()
{
    EventList.clear();
    Rows->clearRows();
}

void TForm1::PRestoreClick()
{
    TrayIcon1->Restore();
}
