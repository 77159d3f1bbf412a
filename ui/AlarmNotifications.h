#pragma once

#include "core/ReminderBook.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class LanguageFile;
class MessageBoxes;
class Notifier;

/// Desktop notifications beside the alarm and passed-events boxes: they show where the window
/// cannot come to the front by itself, bring it back when clicked, and snooze an alarm.
class AlarmNotifications : public QObject
{
    Q_OBJECT
public:
    AlarmNotifications(Notifier& notifier, MessageBoxes& boxes, ReminderBook& book,
                       std::function<void()> restoreWindow, QObject* parent = nullptr);

    /// Sends the notification of the events, unless the settings turned notifications off. A
    /// critical one (an alarm) can be snoozed, all its events at once, which closes the box
    /// showing boxText.
    std::optional<quint32> notify(const DueEvents& events, const QString& body, bool critical,
                                  const QString& boxText);
    /// Takes a notification back once its box is closed.
    void withdraw(std::optional<quint32> id);
    /// Sets the summary's and the buttons' texts; a missing key keeps the current text.
    void applyLanguage(const LanguageFile& file);

private:
    void onAction(quint32 id, const QString& key);

    Notifier& m_notifier;
    MessageBoxes& m_boxes;
    ReminderBook& m_book;
    std::function<void()> m_restoreWindow;
    struct Snoozable
    {
        DueEvents due;
        QString boxText;
    };
    QHash<quint32, Snoozable> m_snoozable;
    QString m_moreEvents = QStringLiteral("%1 +%2 more");
    QString m_andMore = QStringLiteral("\u2026 and %1 more");
    QString m_snooze5 = QStringLiteral("Snooze 5 min");
    QString m_snooze15 = QStringLiteral("Snooze 15 min");
};
