#pragma once

#include "core/Clock.h"

/// A clock that stands still until a test moves it.
class FakeClock : public Clock
{
public:
    [[nodiscard]] QDateTime now() const override { return current; }
    void advance(int seconds) { current = current.addSecs(seconds); }
    QDateTime current{QDate(2026, 12, 8), QTime(12, 0, 0)};
};
