#pragma once

#include <QString>

namespace StatusWords {

/// The status an event takes when the language's status words change: a status equal to an old
/// word that was not empty and changed takes the new word; any other status stays. Without this
/// a switch of language would silently stop every alarm.
[[nodiscard]] inline QString translated(const QString& status, const QString& oldActive,
                                        const QString& oldDone, const QString& newActive,
                                        const QString& newDone)
{
    if (!oldActive.isEmpty() && oldActive != newActive && status == oldActive)
        return newActive;
    if (!oldDone.isEmpty() && oldDone != newDone && status == oldDone)
        return newDone;
    return status;
}

} // namespace StatusWords
