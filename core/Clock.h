#pragma once

#include <QDateTime>

/// The local wall clock; tests inject a fake one.
class Clock
{
public:
    virtual ~Clock() = default;
    /// The current local date and time.
    [[nodiscard]] virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    [[nodiscard]] QDateTime now() const override { return QDateTime::currentDateTime(); }
};
