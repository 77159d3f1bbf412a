#include "tray/TrayIcon.h"

#include "base/AppError.h"

#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <functional>
#include <gmock/gmock.h>
#include <set>

namespace {

using enum TrayTrigger;
using Reason = QSystemTrayIcon::ActivationReason;
using testing::ThrowsMessage;

/// A notification area that records what it is asked and answers what the test sets.
class FakeTrayBackend final : public TrayBackend
{
public:
    explicit FakeTrayBackend(bool isAvailable = true) : available(isAvailable) {}

    bool available, showSucceeds = true, hideSucceeds = true, shown = false;
    int showRequests = 0;
    QIcon icon, appIcon;
    QString toolTip;
    Qt::KeyboardModifiers modifiers;
    TrayActivationHandler onActivation;
    std::function<void()> onSessionEnd;

    [[nodiscard]] bool isAvailable() const override { return available; }
    [[nodiscard]] bool showIcon() override
    {
        ++showRequests;
        shown = shown || (available && showSucceeds);
        return available && showSucceeds;
    }
    [[nodiscard]] bool hideIcon() override
    {
        shown = shown && !hideSucceeds;
        return hideSucceeds;
    }
    void setIcon(const QIcon& value) override { icon = value; }
    void setToolTip(const QString& text) override { toolTip = text; }
    [[nodiscard]] QIcon applicationIcon() const override { return appIcon; }
    [[nodiscard]] QPoint cursorPos() const override { return {10, 20}; }
    [[nodiscard]] Qt::KeyboardModifiers keyboardModifiers() const override { return modifiers; }
    void setHandlers(TrayActivationHandler activation, std::function<void()> end) override
    {
        onActivation = std::move(activation);
        onSessionEnd = std::move(end);
    }
};

/// Logs the overridable actions and every event instead of touching a window or a menu.
class RecordingTrayIcon final : public TrayIcon
{
public:
    using TrayIcon::TrayIcon;
    QStringList log;

    void restore() override { log << QStringLiteral("Restore"); }
    void showMenu() override { log << QStringLiteral("ShowMenu"); }
    void tick() { animateStep(); }

    void recordEvents(bool withClick)
    {
        const auto mouse = [this](const char* what, QObject*, MouseButton b, ShiftFlags s, int x,
                                  int y) {
            const char* name = b == MouseButton::Left ? "L" : b == MouseButton::Right ? "R" : "M";
            log << QStringLiteral("%1 %2 %3 %4,%5").arg(what, name).arg(s.toInt()).arg(x).arg(y);
        };
        if (withClick)
            onClick = [this](QObject* sender) { log << sender->objectName() + "Click"; };
        onDoubleClick = [this](QObject*) { log << QStringLiteral("DblClick"); };
        onMouseMove = [this](QObject*, ShiftFlags s, int x, int y) {
            log << QStringLiteral("Move %1 %2,%3").arg(s.toInt()).arg(x).arg(y);
        };
        onMouseDown = std::bind_front(mouse, "Down");
        onMouseUp = std::bind_front(mouse, "Up");
    }
};

struct Rig
{
    FakeTrayBackend* backend;
    std::unique_ptr<RecordingTrayIcon> tray;
};

Rig makeRig(TrayRetry retry = {})
{
    auto backend = std::make_unique<FakeTrayBackend>();
    FakeTrayBackend* raw = backend.get();
    return {raw, std::make_unique<RecordingTrayIcon>(nullptr, std::move(backend), nullptr, retry)};
}

} // namespace

// Every trigger setting against every activation: the action runs exactly once where the
// trigger matches a step of the activation, never elsewhere; Click only while onClick is set.
TEST(TrayIconActivations, EachTriggerFiresOnItsActivationsOnly)
{
    const std::pair<Reason, std::set<TrayTrigger>> table[] = {
        {Reason::Trigger, {MouseDown, Click, MouseUp, LeftClickUp}},
        {Reason::DoubleClick, {DoubleClick, LeftDoubleClick}},
        {Reason::Context, {MouseDown, MouseUp, RightClickUp}},
        {Reason::MiddleClick, {MouseDown, MouseUp}},
        {Reason::Unknown, {}}};
    const TrayTrigger triggers[] = {Click,        DoubleClick,      MouseDown,
                                    MouseUp,      LeftClickUp,      LeftDoubleClick,
                                    RightClickUp, RightDoubleClick, None};
    for (const auto& [reason, firing] : table) {
        for (const bool withClick : {false, true}) {
            // Named in the capture: clang 14 cannot capture a structured binding.
            const auto fires = [&expected = firing, withClick](TrayTrigger t) {
                return expected.contains(t) && (t != Click || withClick) ? 1 : 0;
            };
            for (const TrayTrigger restoreOn : triggers) {
                for (const TrayTrigger menuOn : triggers) {
                    Rig rig = makeRig();
                    rig.tray->recordEvents(withClick);
                    rig.tray->setRestoreOn(restoreOn);
                    rig.tray->setPopupMenuOn(menuOn);
                    rig.tray->handleActivation(reason);
                    SCOPED_TRACE(testing::Message()
                                 << "reason " << reason << " restoreOn "
                                 << static_cast<int>(restoreOn) << " menuOn "
                                 << static_cast<int>(menuOn) << " OnClick " << withClick);
                    EXPECT_EQ(rig.tray->log.count("Restore"), fires(restoreOn));
                    EXPECT_EQ(rig.tray->log.count("ShowMenu"), fires(menuOn));
                }
            }
        }
    }
}

// A click is the press, then the click step, then the release, then the button-specific
// triggers; inside each step restore before menu before event. Shift (1) and alt (2) are held;
// the cursor is at 10,20; the button adds its own flag (left 8, right 16, middle 32).
TEST(TrayIconActivations, StepsRunInOrderWithShiftStateAndCursor)
{
    const struct
    {
        Reason reason;
        TrayTrigger restoreOn, menuOn;
        bool withClick;
        QString expected;
    } table[] = {
        {Reason::Trigger, MouseDown, MouseDown, false,
         "Restore|ShowMenu|Down L 11 10,20|Up L 11 10,20"},
        {Reason::Trigger, Click, LeftClickUp, true,
         "Down L 11 10,20|Restore|trayClick|Up L 11 10,20|ShowMenu"},
        {Reason::Trigger, LeftClickUp, MouseUp, true,
         "Down L 11 10,20|trayClick|ShowMenu|Up L 11 10,20|Restore"},
        {Reason::Trigger, Click, None, false, "Down L 11 10,20|Up L 11 10,20"},
        {Reason::DoubleClick, LeftDoubleClick, DoubleClick, false, "ShowMenu|DblClick|Restore"},
        {Reason::Context, MouseUp, RightClickUp, false,
         "Down R 19 10,20|Restore|Up R 19 10,20|ShowMenu"},
        {Reason::MiddleClick, MouseUp, None, false, "Down M 35 10,20|Restore|Up M 35 10,20"},
    };
    for (const auto& c : table) {
        Rig rig = makeRig();
        rig.tray->setObjectName("tray");
        rig.backend->modifiers = Qt::ShiftModifier | Qt::AltModifier;
        rig.tray->recordEvents(c.withClick);
        rig.tray->setRestoreOn(c.restoreOn);
        rig.tray->setPopupMenuOn(c.menuOn);
        rig.tray->handleActivation(c.reason);
        EXPECT_EQ(rig.tray->log.join('|'), c.expected) << c.reason;
    }
}

TEST(TrayIcon, BackendActivationsReachTheTableAndSessionEndRemovesTheIcon)
{
    Rig rig = makeRig();
    rig.tray->setPopupMenuOn(RightClickUp);
    for (const Reason reason : {Reason::Context, Reason::DoubleClick})
        rig.backend->onActivation(reason);
    EXPECT_EQ(rig.tray->log, QStringList({"ShowMenu", "Restore"}));

    rig.tray->setVisible(true);
    ASSERT_TRUE(rig.backend->shown);
    rig.backend->onSessionEnd();
    EXPECT_FALSE(rig.backend->shown);
    EXPECT_FALSE(rig.tray->isIconShown());
    EXPECT_TRUE(rig.tray->isVisible());
}

TEST(TrayIcon, HintShorterThan64CharactersIsTakenLongerIsIgnored)
{
    const QString fits(63, 'a');
    const QString tooLong(64, 'b');
    const std::pair<QString, QString> steps[] = {
        {"Wake up", "Wake up"}, {fits, fits}, {tooLong, fits}, {"", ""}, {tooLong, ""}};
    Rig rig = makeRig();
    for (const auto& [text, expected] : steps) {
        rig.tray->setHint(text);
        EXPECT_EQ(rig.tray->hint(), expected) << text.size();
        EXPECT_EQ(rig.backend->toolTip, expected) << text.size();
    }
}

TEST(TrayIcon, AnimationStepsThroughTheIconsWrapsAndNeedsIcons)
{
    QList<QIcon> icons;
    for (const QColor color : {Qt::red, Qt::green, Qt::blue, Qt::black}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(color);
        icons << QIcon(pixmap);
    }
    Rig rig = makeRig();
    rig.backend->appIcon = icons.takeLast();
    rig.tray->setAnimated(true);
    EXPECT_FALSE(rig.tray->isAnimated()) << "no icons to step through";

    rig.tray->setIcons(icons);
    EXPECT_EQ(rig.backend->icon.cacheKey(), icons[0].cacheKey());
    rig.tray->setAnimated(true);
    for (const int expected : {1, 2, 0, 1}) {
        rig.tray->tick();
        EXPECT_EQ(rig.tray->iconIndex(), expected);
        EXPECT_EQ(rig.backend->icon.cacheKey(), icons[expected].cacheKey());
    }
    rig.tray->setAnimateInterval(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.tray->iconIndex() != 1; })) << "no timer";

    rig.tray->setIcons({});
    EXPECT_FALSE(rig.tray->isAnimated());
    EXPECT_EQ(rig.backend->icon.cacheKey(), rig.backend->appIcon.cacheKey());
    rig.tray->setIcons(icons);
    rig.tray->setIconIndex(7);
    EXPECT_TRUE(rig.backend->icon.isNull()) << "an index outside the list shows no image";
}

// A panel that starts after the program still gets the icon, unless the icon was hidden in the
// meantime or the attempts ran out.
TEST(TrayIconVisibility, LooksForALateTrayUntilHiddenOrOutOfAttempts)
{
    const struct
    {
        int attempts;
        bool hide, shows;
    } cases[] = {{1000, false, true}, {3, false, false}, {1000, true, false}};
    for (const auto& c : cases) {
        Rig rig = makeRig({std::chrono::milliseconds(1), c.attempts});
        rig.backend->available = false;
        ASSERT_NO_THROW(rig.tray->setVisible(true));
        EXPECT_TRUE(rig.tray->isVisible());
        if (c.hide)
            rig.tray->setVisible(false);
        QTest::qWait(60);
        rig.backend->available = true;
        EXPECT_EQ(QTest::qWaitFor([&] { return rig.tray->isIconShown(); }, c.shows ? 2000 : 60),
                  c.shows)
            << c.attempts << c.hide;
        EXPECT_EQ(rig.backend->showRequests, c.shows ? 1 : 0);
    }
}

TEST(TrayIconVisibility, RefusedIconRaisesTheUsersMessage)
{
    Rig rig = makeRig();
    rig.backend->showSucceeds = false;
    EXPECT_THAT([&] { rig.tray->setVisible(true); },
                ThrowsMessage<AppError>("Cannot Create System Shell Notification Icon"));
    EXPECT_TRUE(rig.tray->isVisible());

    rig.backend->showSucceeds = true;
    rig.tray->setVisible(true);
    rig.backend->hideSucceeds = false;
    EXPECT_THAT([&] { rig.tray->setVisible(false); },
                ThrowsMessage<AppError>("Cannot Remove System Shell Notification Icon"));
}

// Minimizing leaves the taskbar only while the icon is there to bring the window back;
// restoring (by the icon or by the window itself) counts once and keeps a maximized window
// maximized. Without the icon the hook is gone.
TEST(TrayIconWindow, MinimizeHidesTheWindowOnlyWhileTheIconIsShown)
{
    const struct
    {
        bool available, maximized, ownRestore;
    } cases[] = {
        {true, false, false}, {false, false, false}, {true, true, false}, {true, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.available << c.maximized << c.ownRestore);
        QWidget window;
        TrayIcon tray(&window, std::make_unique<FakeTrayBackend>(c.available));
        int minimized = 0;
        int restored = 0;
        tray.onMinimize = [&](QObject*) { ++minimized; };
        tray.onRestore = [&](QObject*) { ++restored; };
        tray.setVisible(true);
        c.maximized ? window.showMaximized() : window.show();
        QTest::qWait(20);
        window.showMinimized();
        QTest::qWait(20);
        EXPECT_TRUE(window.isMinimized());
        EXPECT_EQ(window.isVisible(), !c.available);
        EXPECT_EQ(minimized, c.available ? 1 : 0);

        c.ownRestore ? window.showNormal() : tray.restore();
        QTest::qWait(20);
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.isMinimized());
        EXPECT_EQ(window.isMaximized(), c.maximized);
        EXPECT_EQ(restored, 1);

        tray.setVisible(false);
        window.showMinimized();
        QTest::qWait(20);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(minimized, c.available ? 1 : 0);
    }
}
