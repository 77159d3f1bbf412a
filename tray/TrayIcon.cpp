#include "tray/TrayIcon.h"

#include "base/AppError.h"

#include <QApplication>
#include <QEvent>
#include <QScopedValueRollback>
#include <QWindowStateChangeEvent>

TrayIcon::TrayIcon(QWidget* applicationWindow, std::unique_ptr<TrayBackend> backend,
                   QObject* parent, TrayRetry retry)
    : QObject(parent), m_window(applicationWindow), m_backend(std::move(backend)), m_retry(retry)
{
    m_currentIcon = m_backend->applicationIcon();

    m_animateTimer.setInterval(1000);
    // Bound once: the overridable step runs on every tick.
    connect(&m_animateTimer, &QTimer::timeout, this, [this] { animateStep(); });

    m_retryTimer.setInterval(m_retry.interval);
    connect(&m_retryTimer, &QTimer::timeout, this, &TrayIcon::retryShowIcon);

    m_backend->setHandlers(
        [this](QSystemTrayIcon::ActivationReason reason) { handleActivation(reason); },
        [this] { endSession(); });
    updateIcon();
}

TrayIcon::~TrayIcon()
{
    setHook(false);
    m_backend->setHandlers({}, {});
    if (m_iconShown)
        (void)m_backend->hideIcon();
}

void TrayIcon::setVisible(bool value)
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
    setHideOnMinimize(false);
    setHook(false);
}

bool TrayIcon::tryShowIcon()
{
    if (!m_backend->isAvailable() || !m_backend->showIcon())
        return false;
    iconAdded();
    return true;
}

void TrayIcon::retryShowIcon()
{
    if (!m_visible || m_iconShown || tryShowIcon() || --m_retriesLeft <= 0)
        m_retryTimer.stop();
}

void TrayIcon::iconAdded()
{
    m_retryTimer.stop();
    m_iconShown = true;
    setHideOnMinimize(true);
    setHook(true);
}

void TrayIcon::setHook(bool on)
{
    if (on == m_hooked || !m_window)
        return;
    if (on)
        m_window->installEventFilter(this);
    else
        m_window->removeEventFilter(this);
    m_hooked = on;
}

void TrayIcon::setHint(const QString& text)
{
    if (text == m_hint || text.size() >= hintLimit)
        return;
    m_hint = text;
    m_backend->setToolTip(text);
    updateIcon();
}

void TrayIcon::setIcons(const QList<QIcon>& icons)
{
    m_icons = icons;
    if (m_icons.isEmpty()) {
        // Nothing left to step through.
        m_animate = false;
        m_animateTimer.stop();
        m_currentIcon = m_backend->applicationIcon();
        updateIcon();
        return;
    }
    setIconIndex(m_iconIndex);
}

void TrayIcon::setIconIndex(int index)
{
    m_iconIndex = index;
    if (!m_icons.isEmpty())
        m_currentIcon = index >= 0 && index < m_icons.size() ? m_icons.at(index) : QIcon();
    updateIcon();
}

void TrayIcon::setAnimated(bool value)
{
    if (m_icons.isEmpty())
        return;
    m_animate = value;
    if (value)
        m_animateTimer.start();
    else
        m_animateTimer.stop();
}

void TrayIcon::animateStep()
{
    const auto count = m_icons.size();
    setIconIndex(m_iconIndex + 1 < count ? m_iconIndex + 1 : 0);
}

void TrayIcon::updateIcon()
{
    m_backend->setIcon(m_currentIcon);
}

void TrayIcon::setDefaultIcon()
{
    m_currentIcon = m_backend->applicationIcon();
    updateIcon();
}

void TrayIcon::endSession()
{
    m_retryTimer.stop();
    if (m_iconShown)
        (void)m_backend->hideIcon();
    m_iconShown = false;
}

ShiftFlags TrayIcon::shiftState() const
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

void TrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason)
{
    using enum TrayTrigger;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        buttonDown(MouseButton::Left, ShiftFlag::Left);
        buttonUp(MouseButton::Left, ShiftFlag::Left, LeftClickUp);
        break;
    case QSystemTrayIcon::DoubleClick:
        doubleClick(LeftDoubleClick);
        break;
    case QSystemTrayIcon::Context:
        buttonDown(MouseButton::Right, ShiftFlag::Right);
        buttonUp(MouseButton::Right, ShiftFlag::Right, RightClickUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        buttonDown(MouseButton::Middle, ShiftFlag::Middle);
        buttonUp(MouseButton::Middle, ShiftFlag::Middle, None);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void TrayIcon::buttonUp(MouseButton button, ShiftFlag flag, TrayTrigger specific)
{
    const ShiftFlags shift = shiftState() | flag;
    const QPoint pos = m_backend->cursorPos();
    // Only the left button clicks, and only while someone listens for the click.
    if (button == MouseButton::Left && onClick)
        doClick();
    doMouseUp(button, shift, pos.x(), pos.y());
    if (specific == TrayTrigger::None)
        return;
    if (m_restoreOn == specific)
        restore();
    if (m_popupMenuOn == specific)
        showMenu();
}

void TrayIcon::buttonDown(MouseButton button, ShiftFlag flag)
{
    const ShiftFlags shift = shiftState() | flag;
    const QPoint pos = m_backend->cursorPos();
    doMouseDown(button, shift, pos.x(), pos.y());
}

void TrayIcon::doubleClick(TrayTrigger specific)
{
    doDoubleClick();
    if (m_restoreOn == specific)
        restore();
    if (m_popupMenuOn == specific)
        showMenu();
}

void TrayIcon::doClick()
{
    if (m_restoreOn == TrayTrigger::Click)
        restore();
    if (m_popupMenuOn == TrayTrigger::Click)
        showMenu();
    if (onClick)
        onClick(this);
}

void TrayIcon::doDoubleClick()
{
    if (m_restoreOn == TrayTrigger::DoubleClick)
        restore();
    if (m_popupMenuOn == TrayTrigger::DoubleClick)
        showMenu();
    if (onDoubleClick)
        onDoubleClick(this);
}

void TrayIcon::doMouseDown(MouseButton button, ShiftFlags shift, int x, int y)
{
    if (m_restoreOn == TrayTrigger::MouseDown)
        restore();
    if (m_popupMenuOn == TrayTrigger::MouseDown)
        showMenu();
    if (onMouseDown)
        onMouseDown(this, button, shift, x, y);
}

void TrayIcon::doMouseUp(MouseButton button, ShiftFlags shift, int x, int y)
{
    if (m_restoreOn == TrayTrigger::MouseUp)
        restore();
    if (m_popupMenuOn == TrayTrigger::MouseUp)
        showMenu();
    if (onMouseUp)
        onMouseUp(this, button, shift, x, y);
}

void TrayIcon::showMenu()
{
    const QPoint pos = m_backend->cursorPos();
    if (m_popupMenu)
        m_popupMenu->exec(pos);
}

void TrayIcon::minimize()
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
    if (onMinimize)
        onMinimize(this);
}

void TrayIcon::restore()
{
    if (m_window) {
        const QScopedValueRollback guard(m_changingWindow, true);
        // Leaves a maximized window maximized.
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        // A dialog open over the window went to the taskbar with it; while it is open it is the
        // only way into the window, so it comes back too.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
            modal->raise();
            modal->activateWindow();
        }
    }
    if (onRestore)
        onRestore(this);
}

bool TrayIcon::watchApplicationWindow(QEvent* event)
{
    if (m_changingWindow || !m_window || event->type() != QEvent::WindowStateChange)
        return false;
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const bool wasMinimized = before.testFlag(Qt::WindowMinimized);
    const bool isMinimized = m_window->isMinimized();
    if (!wasMinimized && isMinimized)
        minimize();
    else if (wasMinimized && !isMinimized)
        restore();
    return false;
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window)
        watchApplicationWindow(event);
    return QObject::eventFilter(watched, event);
}
