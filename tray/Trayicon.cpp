#include "tray/Trayicon.h"

#include "platform/AppError.h"

#include <QEvent>
#include <QScopedValueRollback>
#include <QWindowStateChangeEvent>

namespace {

// Hints of this length and longer do not fit the panel's tip and are ignored.
constexpr qsizetype hintLimit = 64;

} // namespace

TTrayIcon::TTrayIcon(QWidget* applicationWindow, std::unique_ptr<TrayBackend> backend,
                     QObject* parent, TrayRetry retry)
    : QObject(parent), m_window(applicationWindow), m_backend(std::move(backend)), m_retry(retry)
{
    m_currentIcon = m_backend->applicationIcon();

    m_animateTimer.setInterval(1000);
    // Bound once: the overridable step runs on every tick.
    connect(&m_animateTimer, &QTimer::timeout, this, [this] { DoOnAnimate(); });

    m_retryTimer.setInterval(m_retry.interval);
    connect(&m_retryTimer, &QTimer::timeout, this, &TTrayIcon::retryShowIcon);

    m_backend->setHandlers([this](MouseMessage message) { DoMessage(message); },
                           [this] { EndSession(); });
    Update();
}

TTrayIcon::~TTrayIcon()
{
    setHook(false);
    m_backend->setHandlers({}, {});
    if (m_iconShown)
        (void)m_backend->hideIcon();
}

void TTrayIcon::SetVisible(bool value)
{
    m_visible = value;
    if (value) {
        if (m_iconShown || tryShowIcon())
            return;
        if (m_backend->isAvailable())
            throw AppError("Cannot Create System Shell Notification Icon");
        // No notification area yet (the panel may still be starting): run without the icon
        // and keep looking for a while.
        m_retriesLeft = m_retry.attempts;
        m_retryTimer.start();
        return;
    }
    m_retryTimer.stop();
    if (m_iconShown && !m_backend->hideIcon())
        throw AppError("Cannot Remove System Shell Notification Icon");
    m_iconShown = false;
    SetHide(false);
    setHook(false);
}

bool TTrayIcon::tryShowIcon()
{
    if (!m_backend->isAvailable() || !m_backend->showIcon())
        return false;
    iconAdded();
    return true;
}

void TTrayIcon::retryShowIcon()
{
    if (!m_visible || m_iconShown || tryShowIcon() || --m_retriesLeft <= 0)
        m_retryTimer.stop();
}

void TTrayIcon::iconAdded()
{
    m_retryTimer.stop();
    m_iconShown = true;
    SetHide(true);
    setHook(true);
}

void TTrayIcon::setHook(bool on)
{
    if (on == m_hooked || !m_window)
        return;
    if (on)
        m_window->installEventFilter(this);
    else
        m_window->removeEventFilter(this);
    m_hooked = on;
}

void TTrayIcon::SetHint(const QString& text)
{
    if (text == m_hint || text.size() >= hintLimit)
        return;
    m_hint = text;
    m_backend->setToolTip(text);
    Update();
}

void TTrayIcon::SetIcons(const QList<QIcon>& icons)
{
    m_icons = icons;
    if (m_icons.isEmpty()) {
        // Nothing left to step through.
        m_animate = false;
        m_animateTimer.stop();
        m_currentIcon = m_backend->applicationIcon();
        Update();
        return;
    }
    SetIconIndex(m_iconIndex);
}

void TTrayIcon::SetIconIndex(int index)
{
    m_iconIndex = index;
    if (!m_icons.isEmpty())
        m_currentIcon = index >= 0 && index < m_icons.size() ? m_icons.at(index) : QIcon();
    Update();
}

void TTrayIcon::SetAnimate(bool value)
{
    if (m_icons.isEmpty())
        return;
    m_animate = value;
    if (value)
        m_animateTimer.start();
    else
        m_animateTimer.stop();
}

void TTrayIcon::DoOnAnimate()
{
    const auto count = m_icons.size();
    SetIconIndex(m_iconIndex + 1 < count ? m_iconIndex + 1 : 0);
}

void TTrayIcon::Update()
{
    m_backend->setIcon(m_currentIcon);
}

void TTrayIcon::SetDefaultIcon()
{
    m_currentIcon = m_backend->applicationIcon();
    Update();
}

void TTrayIcon::EndSession()
{
    m_retryTimer.stop();
    if (m_iconShown)
        (void)m_backend->hideIcon();
    m_iconShown = false;
}

ShiftFlags TTrayIcon::ShiftState() const
{
    const Qt::KeyboardModifiers keys = m_backend->keyboardModifiers();
    ShiftFlags shift;
    if (keys.testFlag(Qt::ShiftModifier))
        shift |= ShiftFlag::Shift;
    if (keys.testFlag(Qt::ControlModifier))
        shift |= ShiftFlag::Ctrl;
    if (keys.testFlag(Qt::AltModifier))
        shift |= ShiftFlag::Alt;
    return shift;
}

void TTrayIcon::DoMessage(MouseMessage message)
{
    using enum MouseMessage;
    using enum TTrayIconMessage;
    switch (message) {
    case WM_MOUSEMOVE:
        if (OnMouseMove) {
            const ShiftFlags shift = ShiftState();
            const QPoint pos = m_backend->cursorPos();
            DoMouseMove(shift, pos.x(), pos.y());
        }
        break;
    case WM_LBUTTONDOWN:
        buttonDown(TMouseButton::mbLeft, ShiftFlag::Left);
        break;
    case WM_LBUTTONUP:
        buttonUp(TMouseButton::mbLeft, ShiftFlag::Left, imLeftClickUp);
        break;
    case WM_LBUTTONDBLCLK:
        doubleClick(imLeftDoubleClick);
        break;
    case WM_RBUTTONDOWN:
        buttonDown(TMouseButton::mbRight, ShiftFlag::Right);
        break;
    case WM_RBUTTONUP:
        buttonUp(TMouseButton::mbRight, ShiftFlag::Right, imRightClickUp);
        break;
    case WM_RBUTTONDBLCLK:
        doubleClick(imRightDoubleClick);
        break;
    case WM_MBUTTONDOWN:
        buttonDown(TMouseButton::mbMiddle, ShiftFlag::Middle);
        break;
    case WM_MBUTTONUP:
        buttonUp(TMouseButton::mbMiddle, ShiftFlag::Middle, imNone);
        break;
    case WM_MBUTTONDBLCLK:
        DoDblClick();
        break;
    }
}

void TTrayIcon::buttonUp(TMouseButton button, ShiftFlag flag, TTrayIconMessage specific)
{
    const ShiftFlags shift = ShiftState() | flag;
    const QPoint pos = m_backend->cursorPos();
    // Only the left button clicks, and only while someone listens for the click.
    if (button == TMouseButton::mbLeft && OnClick)
        DoClick();
    DoMouseUp(button, shift, pos.x(), pos.y());
    if (specific == TTrayIconMessage::imNone)
        return;
    if (m_restoreOn == specific)
        Restore();
    if (m_popupMenuOn == specific)
        ShowMenu();
}

void TTrayIcon::buttonDown(TMouseButton button, ShiftFlag flag)
{
    const ShiftFlags shift = ShiftState() | flag;
    const QPoint pos = m_backend->cursorPos();
    DoMouseDown(button, shift, pos.x(), pos.y());
}

void TTrayIcon::doubleClick(TTrayIconMessage specific)
{
    DoDblClick();
    if (m_restoreOn == specific)
        Restore();
    if (m_popupMenuOn == specific)
        ShowMenu();
}

void TTrayIcon::DoClick()
{
    if (m_restoreOn == TTrayIconMessage::imClick)
        Restore();
    if (m_popupMenuOn == TTrayIconMessage::imClick)
        ShowMenu();
    if (OnClick)
        OnClick(this);
}

void TTrayIcon::DoDblClick()
{
    if (m_restoreOn == TTrayIconMessage::imDoubleClick)
        Restore();
    if (m_popupMenuOn == TTrayIconMessage::imDoubleClick)
        ShowMenu();
    if (OnDblClick)
        OnDblClick(this);
}

void TTrayIcon::DoMouseMove(ShiftFlags shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TTrayIcon::DoMouseDown(TMouseButton button, ShiftFlags shift, int x, int y)
{
    if (m_restoreOn == TTrayIconMessage::imMouseDown)
        Restore();
    if (m_popupMenuOn == TTrayIconMessage::imMouseDown)
        ShowMenu();
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TTrayIcon::DoMouseUp(TMouseButton button, ShiftFlags shift, int x, int y)
{
    if (m_restoreOn == TTrayIconMessage::imMouseUp)
        Restore();
    if (m_popupMenuOn == TTrayIconMessage::imMouseUp)
        ShowMenu();
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TTrayIcon::ShowMenu()
{
    const QPoint pos = m_backend->cursorPos();
    if (m_popupMenu)
        m_popupMenu->exec(pos);
}

void TTrayIcon::Minimize()
{
    if (m_window) {
        // Our own state changes come back through the hook; they must not start another round.
        const QScopedValueRollback guard(m_changingWindow, true);
        if (!m_window->isMinimized())
            m_window->showMinimized();
        // Hidden a moment later: a window withdrawn while the window manager is still
        // iconifying it can come back iconified instead of hidden.
        QTimer::singleShot(0, this, [this, window = m_window] {
            if (window && m_iconShown && window->isMinimized())
                window->hide();
        });
    }
    if (OnMinimize)
        OnMinimize(this);
}

void TTrayIcon::Restore()
{
    if (m_window) {
        const QScopedValueRollback guard(m_changingWindow, true);
        // Leaves a maximized window maximized.
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    }
    if (OnRestore)
        OnRestore(this);
}

bool TTrayIcon::ApplicationHookProc(QEvent* event)
{
    if (m_changingWindow || !m_window || event->type() != QEvent::WindowStateChange)
        return false;
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const bool wasMinimized = before.testFlag(Qt::WindowMinimized);
    const bool isMinimized = m_window->isMinimized();
    if (!wasMinimized && isMinimized)
        Minimize();
    else if (wasMinimized && !isMinimized)
        Restore();
    return false;
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window)
        ApplicationHookProc(event);
    return QObject::eventFilter(watched, event);
}
