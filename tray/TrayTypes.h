#pragma once

#include <QFlags>
#include <QObject>
#include <cstdint>
#include <functional>

/// The mouse action on the icon that restores the application or opens the menu.
enum class TrayTrigger : std::uint8_t
{
    Click,            // left button released, only while onClick is set
    DoubleClick,      // double click with any button
    MouseDown,        // any button pressed
    MouseUp,          // any button released
    LeftClickUp,      // left button released
    LeftDoubleClick,  // double click with the left button
    RightClickUp,     // right button released
    RightDoubleClick, // double click with the right button
    None,             // never
};

enum class MouseButton : std::uint8_t
{
    Left,
    Right,
    Middle,
};

/// Modifier keys and mouse buttons held during a mouse event on the icon.
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
using TrayEventHandler = std::function<void(QObject* sender)>;
using MouseMoveHandler = std::function<void(QObject* sender, ShiftFlags shift, int x, int y)>;
using MouseHandler =
    std::function<void(QObject* sender, MouseButton button, ShiftFlags shift, int x, int y)>;
