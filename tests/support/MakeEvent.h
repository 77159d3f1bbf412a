#pragma once

#include "core/Event.h"

using namespace Qt::Literals::StringLiterals;

/// An event whose message is its title and " text".
inline Event makeEvent(const QString& date, const QString& time, const QString& title,
                       const QString& status, bool countdown = false)
{
    Event e;
    e.date = date;
    e.time = time;
    e.title = title;
    e.message = title + u" text"_s;
    e.status = status;
    e.countdown = countdown;
    return e;
}
