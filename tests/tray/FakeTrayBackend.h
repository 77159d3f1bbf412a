#pragma once

#include "tray/TrayBackend.h"

#include <QStringList>

/// A notification area that records what it is asked and answers what the test sets.
class FakeTrayBackend final : public TrayBackend
{
public:
    bool available = true;
    bool showSucceeds = true;
    bool hideSucceeds = true;
    bool shown = false;
    int showRequests = 0;
    QIcon icon;
    QString toolTip;
    QIcon appIcon;
    QPoint cursor{10, 20};
    Qt::KeyboardModifiers modifiers;
    std::function<void(MouseMessage)> onMouse;
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
        if (hideSucceeds)
            shown = false;
        return hideSucceeds;
    }
    void setIcon(const QIcon& value) override { icon = value; }
    void setToolTip(const QString& text) override { toolTip = text; }
    [[nodiscard]] QIcon applicationIcon() const override { return appIcon; }
    [[nodiscard]] QPoint cursorPos() const override { return cursor; }
    [[nodiscard]] Qt::KeyboardModifiers keyboardModifiers() const override { return modifiers; }
    void setHandlers(std::function<void(MouseMessage)> mouse, std::function<void()> end) override
    {
        onMouse = std::move(mouse);
        onSessionEnd = std::move(end);
    }
};
