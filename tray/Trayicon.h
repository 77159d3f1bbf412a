#pragma once

#include "tray/TrayBackend.h"
#include "tray/TrayTypes.h"

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
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

/// The program's icon in the desktop's notification area. It turns mouse actions on the icon
/// into events and into two configurable actions (restore the application window, open a
/// pop-up menu), takes the window off the taskbar while it is minimized, and can animate the
/// icon through a list of images.
class TTrayIcon : public QObject
{
    Q_OBJECT
public:
    /// applicationWindow is the window that is minimized to and restored from the icon.
    TTrayIcon(QWidget* applicationWindow, std::unique_ptr<TrayBackend> backend,
              QObject* parent = nullptr, TrayRetry retry = {});
    ~TTrayIcon() override;

    [[nodiscard]] bool Visible() const { return m_visible; }
    /// Shows or removes the icon. Showing with no notification area yet does not fail: the
    /// icon appears once one turns up. Throws AppError when the desktop refuses the icon.
    virtual void SetVisible(bool value);
    [[nodiscard]] QString Hint() const { return m_hint; }
    /// Texts of 64 characters or more are ignored.
    void SetHint(const QString& text);
    [[nodiscard]] QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    [[nodiscard]] bool Hide() const { return m_hide; }
    void SetHide(bool value) { m_hide = value; }
    [[nodiscard]] TTrayIconMessage RestoreOn() const { return m_restoreOn; }
    void SetRestoreOn(TTrayIconMessage value) { m_restoreOn = value; }
    [[nodiscard]] TTrayIconMessage PopupMenuOn() const { return m_popupMenuOn; }
    void SetPopupMenuOn(TTrayIconMessage value) { m_popupMenuOn = value; }
    [[nodiscard]] const QList<QIcon>& Icons() const { return m_icons; }
    /// An empty list means none: the icon goes back to the application's icon.
    void SetIcons(const QList<QIcon>& icons);
    [[nodiscard]] int IconIndex() const { return m_iconIndex; }
    virtual void SetIconIndex(int index);
    [[nodiscard]] int GetAnimateInterval() const { return m_animateTimer.interval(); }
    void SetAnimateInterval(int milliseconds) { m_animateTimer.setInterval(milliseconds); }
    [[nodiscard]] bool GetAnimate() const { return m_animate; }
    /// Stays false while there are no Icons.
    void SetAnimate(bool value);

    /// The image shown now.
    [[nodiscard]] QIcon CurrentIcon() const { return m_currentIcon; }
    /// Whether the icon is in the notification area right now.
    [[nodiscard]] bool IconShown() const { return m_iconShown; }

    /// Handles one mouse message reported on the icon.
    virtual void DoMessage(MouseMessage message);
    /// Minimizes the application window; while the icon is shown the window also leaves the
    /// taskbar.
    virtual void Minimize();
    /// Brings the application window back to the screen and to the front.
    virtual void Restore();
    /// Hands the current image to the notification area.
    virtual void Update();
    /// Opens PopupMenu at the mouse cursor and returns when it has closed.
    virtual void ShowMenu();
    /// Shows the application's icon again.
    virtual void SetDefaultIcon();
    /// Removes the icon as the desktop session ends; Visible keeps its value.
    void EndSession();
    /// The modifier keys held down now.
    [[nodiscard]] ShiftFlags ShiftState() const;
    /// Watches the application window for minimize and restore; never consumes the event.
    bool ApplicationHookProc(QEvent* event);

    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    virtual void DoClick();
    virtual void DoDblClick();
    virtual void DoMouseMove(ShiftFlags shift, int x, int y);
    virtual void DoMouseDown(TMouseButton button, ShiftFlags shift, int x, int y);
    virtual void DoMouseUp(TMouseButton button, ShiftFlags shift, int x, int y);
    virtual void DoOnAnimate();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buttonDown(TMouseButton button, ShiftFlag flag);
    void buttonUp(TMouseButton button, ShiftFlag flag, TTrayIconMessage specific);
    void doubleClick(TTrayIconMessage specific);
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
    TTrayIconMessage m_restoreOn = TTrayIconMessage::imDoubleClick;
    TTrayIconMessage m_popupMenuOn = TTrayIconMessage::imNone;
};
