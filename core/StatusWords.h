#pragma once

#include <QString>
#include <utility>

namespace StatusWords {

/// The status words to use when a language supplies newActive and newDone: a word that is empty
/// or equals the other one would leave no way back to the statuses it replaced, so the old word
/// stays in its place (both old words when the result would still make them equal).
[[nodiscard]] inline std::pair<QString, QString> usable(const QString& oldActive,
                                                        const QString& oldDone,
                                                        const QString& newActive,
                                                        const QString& newDone)
{
    const auto fit = [](const QString& word, const QString& other) {
        return !word.isEmpty() && word != other;
    };
    QString active = fit(newActive, newDone) ? newActive : oldActive;
    QString done = fit(newDone, newActive) ? newDone : oldDone;
    if (active == done && !active.isEmpty())
        return {oldActive, oldDone};
    return {active, done};
}

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
