#pragma once

#include "tray/TrayBackend.h"
#include "tray/TrayTypes.h"

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <memory>

/// How long the component keeps looking for a notification area that is not there yet
/// (the panel may start after the program at log-in).
struct TrayRetry
{
    std::chrono::milliseconds interval{2000};
    int attempts = 60;
};

/// The program's icon in the desktop's notification area. It turns the panel's activations of
/// the icon into mouse events and into two configurable actions (restore the application
/// window, open a pop-up menu), takes the window off the taskbar while it is minimized, and can
/// animate the icon through a list of images.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    /// applicationWindow is the window that is minimized to and restored from the icon.
    TrayIcon(QWidget* applicationWindow, std::unique_ptr<TrayBackend> backend,
             QObject* parent = nullptr, TrayRetry retry = {});
    ~TrayIcon() override;

    [[nodiscard]] bool isVisible() const { return m_visible; }
    /// Shows or removes the icon. Showing with no notification area yet does not fail: the
    /// icon appears once one turns up. Throws AppError when the desktop refuses the icon.
    virtual void setVisible(bool value);
    [[nodiscard]] QString hint() const { return m_hint; }
    /// Texts of hintLimit characters or more are ignored.
    void setHint(const QString& text);
    /// Hints of this length and longer do not fit the panel's tip.
    static constexpr qsizetype hintLimit = 64;
    [[nodiscard]] QMenu* popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    [[nodiscard]] bool hidesOnMinimize() const { return m_hide; }
    void setHideOnMinimize(bool value) { m_hide = value; }
    [[nodiscard]] TrayTrigger restoreOn() const { return m_restoreOn; }
    void setRestoreOn(TrayTrigger value) { m_restoreOn = value; }
    [[nodiscard]] TrayTrigger popupMenuOn() const { return m_popupMenuOn; }
    void setPopupMenuOn(TrayTrigger value) { m_popupMenuOn = value; }
    [[nodiscard]] const QList<QIcon>& icons() const { return m_icons; }
    /// An empty list means none: the icon goes back to the application's icon.
    void setIcons(const QList<QIcon>& icons);
    [[nodiscard]] int iconIndex() const { return m_iconIndex; }
    virtual void setIconIndex(int index);
    [[nodiscard]] int animateInterval() const { return m_animateTimer.interval(); }
    void setAnimateInterval(int milliseconds) { m_animateTimer.setInterval(milliseconds); }
    [[nodiscard]] bool isAnimated() const { return m_animate; }
    /// Stays false while there are no Icons.
    void setAnimated(bool value);

    /// The image shown now.
    [[nodiscard]] QIcon currentIcon() const { return m_currentIcon; }
    /// Whether the icon is in the notification area right now.
    [[nodiscard]] bool isIconShown() const { return m_iconShown; }

    /// Raises the events of one activation: Trigger, Context and MiddleClick are a press and a
    /// release of the left, right and middle button; DoubleClick is a left double click.
    virtual void handleActivation(QSystemTrayIcon::ActivationReason reason);
    /// Minimizes the application window; while the icon is shown the window also leaves the
    /// taskbar.
    virtual void minimize();
    /// Brings the application window back to the screen and to the front.
    virtual void restore();
    /// Hands the current image to the notification area.
    virtual void updateIcon();
    /// Opens PopupMenu at the mouse cursor and returns when it has closed.
    virtual void showMenu();
    /// Shows the application's icon again.
    virtual void setDefaultIcon();
    /// Removes the icon as the desktop session ends; Visible keeps its value.
    void endSession();
    /// The modifier keys held down now.
    [[nodiscard]] ShiftFlags shiftState() const;
    /// Watches the application window for minimize and restore; never consumes the event.
    bool watchApplicationWindow(QEvent* event);

    TrayEventHandler onMinimize;
    TrayEventHandler onRestore;
    TrayEventHandler onClick;
    TrayEventHandler onDoubleClick;
    // Never raised: Qt reports no pointer movement over a notification-area icon.
    MouseMoveHandler onMouseMove;
    MouseHandler onMouseDown;
    MouseHandler onMouseUp;

protected:
    virtual void doClick();
    virtual void doDoubleClick();
    virtual void doMouseDown(MouseButton button, ShiftFlags shift, int x, int y);
    virtual void doMouseUp(MouseButton button, ShiftFlags shift, int x, int y);
    virtual void animateStep();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buttonDown(MouseButton button, ShiftFlag flag);
    void buttonUp(MouseButton button, ShiftFlag flag, TrayTrigger specific);
    void doubleClick(TrayTrigger specific);
    [[nodiscard]] bool tryShowIcon();
    void retryShowIcon();
    void iconAdded();
    void setHook(bool on);

    QPointer<QWidget> m_window;
    std::unique_ptr<TrayBackend> m_backend;
    TrayRetry m_retry;
    QIcon m_currentIcon;
    QList<QIcon> m_icons;
    QPointer<QMenu> m_popupMenu;
    QTimer m_animateTimer;
    QTimer m_retryTimer;
    int m_retriesLeft = 0;
    QString m_hint;
    int m_iconIndex = 0;
    bool m_visible = false;
    bool m_hide = true;
    bool m_animate = false;
    bool m_iconShown = false;
    bool m_hooked = false;
    bool m_changingWindow = false;
    TrayTrigger m_restoreOn = TrayTrigger::DoubleClick;
    TrayTrigger m_popupMenuOn = TrayTrigger::None;
};
