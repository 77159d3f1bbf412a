#pragma once

#include <QFlags>
#include <QObject>
#include <cstdint>
#include <functional>

/// The mouse action on the icon that restores the application or opens the menu.
enum class TTrayIconMessage : std::uint8_t
{
    imClick,            // left button released, only while OnClick is set
    imDoubleClick,      // double click with any button
    imMouseDown,        // any button pressed
    imMouseUp,          // any button released
    imLeftClickUp,      // left button released
    imLeftDoubleClick,  // double click with the left button
    imRightClickUp,     // right button released
    imRightDoubleClick, // double click with the right button
    imNone,             // never
};

/// The mouse messages a notification-area icon reports, with their classic window-message values.
enum class MouseMessage : std::uint16_t
{
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
};

enum class TMouseButton : std::uint8_t
{
    mbLeft,
    mbRight,
    mbMiddle,
};

/// Modifier keys and mouse buttons held during a mouse message.
enum class ShiftFlag : std::uint8_t
{
    Shift = 0x01,
    Alt = 0x02,
    Ctrl = 0x04,
    Left = 0x08,
    Right = 0x10,
    Middle = 0x20,
};
Q_DECLARE_FLAGS(ShiftFlags, ShiftFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ShiftFlags)

/// Event handlers; the first parameter is the component that raised the event.
using TNotifyEvent = std::function<void(QObject* sender)>;
using TMouseMoveEvent = std::function<void(QObject* sender, ShiftFlags shift, int x, int y)>;
using TMouseEvent =
    std::function<void(QObject* sender, TMouseButton button, ShiftFlags shift, int x, int y)>;
