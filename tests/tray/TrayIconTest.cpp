#include "tray/Trayicon.h"

#include "platform/AppError.h"
#include "tray/FakeTrayBackend.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPixmap>
#include <gtest/gtest.h>
#include <set>

namespace {

using enum MouseMessage;
using enum TTrayIconMessage;

/// Logs the overridable actions and every event instead of touching a window or a menu.
class RecordingTrayIcon final : public TTrayIcon
{
public:
    using TTrayIcon::TTrayIcon;
    QStringList log;

    void Restore() override { log << QStringLiteral("Restore"); }
    void ShowMenu() override { log << QStringLiteral("ShowMenu"); }
    void tick() { DoOnAnimate(); }

    void recordEvents(bool withClick)
    {
        const auto name = [](TMouseButton b) {
            return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
        };
        if (withClick)
            OnClick = [this](QObject* sender) { log << sender->objectName() + "Click"; };
        OnDblClick = [this](QObject*) { log << QStringLiteral("DblClick"); };
        OnMouseMove = [this](QObject*, ShiftFlags s, int x, int y) {
            log << QStringLiteral("Move %1 %2,%3").arg(s.toInt()).arg(x).arg(y);
        };
        OnMouseDown = [this, name](QObject*, TMouseButton b, ShiftFlags s, int x, int y) {
            log << QStringLiteral("Down %1 %2 %3,%4").arg(name(b)).arg(s.toInt()).arg(x).arg(y);
        };
        OnMouseUp = [this, name](QObject*, TMouseButton b, ShiftFlags s, int x, int y) {
            log << QStringLiteral("Up %1 %2 %3,%4").arg(name(b)).arg(s.toInt()).arg(x).arg(y);
        };
    }
};

struct Rig
{
    FakeTrayBackend* backend;
    std::unique_ptr<RecordingTrayIcon> tray;
};

Rig makeRig(QWidget* window = nullptr, TrayRetry retry = {})
{
    auto backend = std::make_unique<FakeTrayBackend>();
    FakeTrayBackend* raw = backend.get();
    auto tray = std::make_unique<RecordingTrayIcon>(window, std::move(backend), nullptr, retry);
    return {raw, std::move(tray)};
}

template <typename Done> bool waitFor(Done done, int ms = 2000)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

int count(const QStringList& log, const QString& entry)
{
    return static_cast<int>(log.count(entry));
}

constexpr TTrayIconMessage allTriggers[] = {imClick,        imDoubleClick,      imMouseDown,
                                            imMouseUp,      imLeftClickUp,      imLeftDoubleClick,
                                            imRightClickUp, imRightDoubleClick, imNone};

} // namespace

// Every trigger setting against every mouse message: the action runs exactly once where the
// trigger matches the message, never elsewhere; imClick only while OnClick is set.
TEST(TrayIconMessages, EachTriggerFiresOnItsMessagesOnly)
{
    const std::pair<MouseMessage, std::set<TTrayIconMessage>> table[] = {
        {WM_MOUSEMOVE, {}},
        {WM_LBUTTONDOWN, {imMouseDown}},
        {WM_LBUTTONUP, {imClick, imMouseUp, imLeftClickUp}},
        {WM_LBUTTONDBLCLK, {imDoubleClick, imLeftDoubleClick}},
        {WM_RBUTTONDOWN, {imMouseDown}},
        {WM_RBUTTONUP, {imMouseUp, imRightClickUp}},
        {WM_RBUTTONDBLCLK, {imDoubleClick, imRightDoubleClick}},
        {WM_MBUTTONDOWN, {imMouseDown}},
        {WM_MBUTTONUP, {imMouseUp}},
        {WM_MBUTTONDBLCLK, {imDoubleClick}},
    };
    for (const auto& [message, triggers] : table) {
        for (const bool withClick : {false, true}) {
            for (const TTrayIconMessage restoreOn : allTriggers) {
                for (const TTrayIconMessage menuOn : allTriggers) {
                    const auto fires = [&](TTrayIconMessage t) {
                        return triggers.contains(t) && (t != imClick || withClick) ? 1 : 0;
                    };
                    Rig rig = makeRig();
                    rig.tray->recordEvents(withClick);
                    rig.tray->SetRestoreOn(restoreOn);
                    rig.tray->SetPopupMenuOn(menuOn);
                    rig.tray->DoMessage(message);
                    SCOPED_TRACE(testing::Message()
                                 << "message " << static_cast<int>(message) << " restoreOn "
                                 << static_cast<int>(restoreOn) << " popupMenuOn "
                                 << static_cast<int>(menuOn) << " OnClick " << withClick);
                    EXPECT_EQ(count(rig.tray->log, "Restore"), fires(restoreOn));
                    EXPECT_EQ(count(rig.tray->log, "ShowMenu"), fires(menuOn));
                }
            }
        }
    }
}

// Restore before menu before event inside each step; the click step before the release step,
// the button-specific triggers after both. Shift (1) and alt (2) are held; the cursor is at
// 10,20; the button adds its own flag (left 8, right 16, middle 32).
TEST(TrayIconMessages, StepsRunInOrderWithShiftStateAndCursor)
{
    struct Case
    {
        MouseMessage message;
        TTrayIconMessage restoreOn;
        TTrayIconMessage menuOn;
        bool withClick;
        QStringList expected;
    };
    const Case table[] = {
        {WM_MOUSEMOVE, imNone, imNone, false, {"Move 3 10,20"}},
        {WM_LBUTTONDOWN,
         imMouseDown,
         imMouseDown,
         false,
         {"Restore", "ShowMenu", "Down L 11 10,20"}},
        {WM_LBUTTONUP,
         imClick,
         imLeftClickUp,
         true,
         {"Restore", "trayClick", "Up L 11 10,20", "ShowMenu"}},
        {WM_LBUTTONUP,
         imLeftClickUp,
         imMouseUp,
         true,
         {"trayClick", "ShowMenu", "Up L 11 10,20", "Restore"}},
        {WM_LBUTTONUP, imClick, imNone, false, {"Up L 11 10,20"}},
        {WM_LBUTTONDBLCLK,
         imLeftDoubleClick,
         imDoubleClick,
         false,
         {"ShowMenu", "DblClick", "Restore"}},
        {WM_RBUTTONDOWN, imNone, imRightClickUp, false, {"Down R 19 10,20"}},
        {WM_RBUTTONUP, imMouseUp, imRightClickUp, false, {"Restore", "Up R 19 10,20", "ShowMenu"}},
        {WM_RBUTTONDBLCLK,
         imDoubleClick,
         imRightDoubleClick,
         false,
         {"Restore", "DblClick", "ShowMenu"}},
        {WM_MBUTTONDOWN, imMouseDown, imNone, false, {"Restore", "Down M 35 10,20"}},
        {WM_MBUTTONUP, imMouseUp, imNone, false, {"Restore", "Up M 35 10,20"}},
        {WM_MBUTTONDBLCLK, imDoubleClick, imLeftDoubleClick, false, {"Restore", "DblClick"}},
    };
    for (const Case& c : table) {
        Rig rig = makeRig();
        rig.tray->setObjectName("tray");
        rig.backend->modifiers = Qt::ShiftModifier | Qt::AltModifier;
        rig.tray->recordEvents(c.withClick);
        rig.tray->SetRestoreOn(c.restoreOn);
        rig.tray->SetPopupMenuOn(c.menuOn);
        rig.tray->DoMessage(c.message);
        EXPECT_EQ(rig.tray->log, c.expected) << "message " << static_cast<int>(c.message);
    }
}

TEST(TrayIconMessages, ActivationsFromTheBackendReachTheTable)
{
    Rig rig = makeRig();
    rig.tray->SetPopupMenuOn(imRightClickUp);
    rig.backend->onMouse(WM_RBUTTONDOWN);
    EXPECT_TRUE(rig.tray->log.isEmpty());
    rig.backend->onMouse(WM_RBUTTONUP);
    rig.backend->onMouse(WM_LBUTTONDBLCLK);
    EXPECT_EQ(rig.tray->log, QStringList({"ShowMenu", "Restore"}));
}

TEST(TrayIconHint, ShorterThan64CharactersIsTakenLongerIsIgnored)
{
    const QString fits(63, 'a');
    const QString tooLong(64, 'b');
    const std::pair<QString, QString> steps[] = {
        {"Wake up", "Wake up"}, {fits, fits}, {tooLong, fits}, {"", ""}, {tooLong, ""}};
    Rig rig = makeRig();
    for (const auto& [text, expected] : steps) {
        rig.tray->SetHint(text);
        EXPECT_EQ(rig.tray->Hint(), expected) << text.size();
        EXPECT_EQ(rig.backend->toolTip, expected) << text.size();
    }
}

TEST(TrayIconAnimation, StepsThroughTheIconsAndWraps)
{
    QList<QIcon> icons;
    for (const QColor color : {Qt::red, Qt::green, Qt::blue}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(color);
        icons << QIcon(pixmap);
    }
    Rig rig = makeRig();
    rig.tray->SetIcons(icons);
    EXPECT_EQ(rig.backend->icon.cacheKey(), icons[0].cacheKey());
    rig.tray->SetAnimate(true);
    EXPECT_TRUE(rig.tray->GetAnimate());
    for (const int expected : {1, 2, 0, 1}) {
        rig.tray->tick();
        EXPECT_EQ(rig.tray->IconIndex(), expected);
        EXPECT_EQ(rig.backend->icon.cacheKey(), icons[expected].cacheKey());
    }

    rig.tray->SetAnimateInterval(5);
    EXPECT_TRUE(waitFor([&] { return rig.tray->IconIndex() != 1; })) << "the timer drives it";

    // An index outside the list shows no image.
    rig.tray->SetAnimate(false);
    rig.tray->SetIconIndex(7);
    EXPECT_TRUE(rig.backend->icon.isNull());
}

TEST(TrayIconAnimation, NeedsIcons)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    Rig rig = makeRig();
    rig.backend->appIcon = QIcon(pixmap);
    rig.tray->SetDefaultIcon();

    rig.tray->SetAnimate(true);
    EXPECT_FALSE(rig.tray->GetAnimate());

    rig.tray->SetIcons({QIcon(pixmap), QIcon(pixmap)});
    rig.tray->SetAnimate(true);
    rig.tray->SetIcons({});
    EXPECT_FALSE(rig.tray->GetAnimate()) << "no icons left to step through";
    EXPECT_EQ(rig.backend->icon.cacheKey(), rig.backend->appIcon.cacheKey());
}

TEST(TrayIconVisibility, EndSessionRemovesTheIconButVisibleStaysTrue)
{
    Rig rig = makeRig();
    rig.tray->SetVisible(true);
    ASSERT_TRUE(rig.backend->shown);
    rig.backend->onSessionEnd();
    EXPECT_FALSE(rig.backend->shown);
    EXPECT_FALSE(rig.tray->IconShown());
    EXPECT_TRUE(rig.tray->Visible());
}

TEST(TrayIconVisibility, WithoutTrayRunsOnAndShowsTheIconWhenOneTurnsUp)
{
    Rig rig = makeRig(nullptr, {std::chrono::milliseconds(5), 1000});
    rig.backend->available = false;
    ASSERT_NO_THROW(rig.tray->SetVisible(true));
    EXPECT_TRUE(rig.tray->Visible());
    EXPECT_FALSE(rig.tray->IconShown());

    rig.backend->available = true;
    EXPECT_TRUE(waitFor([&] { return rig.tray->IconShown(); }));
    EXPECT_TRUE(rig.backend->shown);
    EXPECT_TRUE(rig.tray->Hide());
}

TEST(TrayIconVisibility, StopsLookingForATrayAfterItsAttemptsOrWhenHidden)
{
    for (const bool hideFirst : {false, true}) {
        Rig rig = makeRig(nullptr, {std::chrono::milliseconds(1), hideFirst ? 1000 : 3});
        rig.backend->available = false;
        rig.tray->SetVisible(true);
        if (hideFirst)
            rig.tray->SetVisible(false);
        else
            waitFor([] { return false; }, 60);
        rig.backend->available = true;
        waitFor([] { return false; }, 60);
        EXPECT_FALSE(rig.backend->shown) << hideFirst;
        EXPECT_EQ(rig.backend->showRequests, 0) << hideFirst;
    }
}

TEST(TrayIconVisibility, RefusedIconRaisesTheUsersMessage)
{
    Rig rig = makeRig();
    rig.backend->showSucceeds = false;
    try {
        rig.tray->SetVisible(true);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "Cannot Create System Shell Notification Icon");
    }
    EXPECT_TRUE(rig.tray->Visible());

    rig.backend->showSucceeds = true;
    rig.tray->SetVisible(true);
    rig.backend->hideSucceeds = false;
    try {
        rig.tray->SetVisible(false);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "Cannot Remove System Shell Notification Icon");
    }
}
