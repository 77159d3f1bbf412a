#pragma once

#include "platform/Notifier.h"

#include <QList>
#include <optional>

/// Records what is shown and withdrawn; tests send actions and closes through its signals.
class FakeNotifier : public Notifier
{
public:
    std::optional<quint32> notify(const NotificationRequest& request) override
    {
        if (!available)
            return std::nullopt;
        shown.append(request);
        return static_cast<quint32>(shown.size());
    }
    void withdraw(quint32 id) override { withdrawn.append(id); }
    [[nodiscard]] bool supportsActions() override { return actions; }

    QList<NotificationRequest> shown; // the id of shown[i] is i + 1
    QList<quint32> withdrawn;
    bool available = true;
    bool actions = true;
};
