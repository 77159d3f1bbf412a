#pragma once

#include "platform/MessageBoxes.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

/// Records every box asked for and answers OK/Cancel questions from a queue.
class FakeMessageBoxes : public MessageBoxes
{
public:
    enum class Kind
    {
        Message,
        OkCancel,
        Error
    };
    struct Call
    {
        Kind kind;
        QString caption;
        QString text;
        QWidget* parent;
    };

    void showMessage(QWidget* parent, const QString& caption, const QString& text) override
    {
        record(Kind::Message, parent, caption, text);
    }
    void showAlarm(QWidget* parent, const QString& caption, const QString& text,
                   const std::function<void()>& onShown) override
    {
        record(Kind::Message, parent, caption, text, onShown);
    }
    [[nodiscard]] bool askOkCancel(QWidget* parent, const QString& caption,
                                   const QString& text) override
    {
        record(Kind::OkCancel, parent, caption, text);
        if (answers.empty())
            return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showError(QWidget* parent, const QString& caption, const QString& text) override
    {
        record(Kind::Error, parent, caption, text);
    }

    void closeMessage(const QString& text) override { closed << text; }

    [[nodiscard]] int showSnoozableAlarm(QWidget* parent, const QString& caption,
                                         const QString& text, const SnoozeChoice& snooze,
                                         const std::function<void()>& onShown) override
    {
        record(Kind::Message, parent, caption, text, onShown);
        snoozeChoices.push_back(snooze);
        return snoozeAnswer;
    }
    /// What each snoozable alarm box offered, and the minutes they all answer (0: OK).
    std::vector<SnoozeChoice> snoozeChoices;
    int snoozeAnswer = 0;

    std::vector<Call> calls;
    /// Texts of the boxes asked to close.
    QStringList closed;
    /// Answers of the next askOkCancel calls, first in first out; then defaultAnswer.
    std::deque<bool> answers;
    bool defaultAnswer = true;
    /// Runs while a box is "open", e.g. to let timers tick as a modal loop would.
    std::function<void(const Call&)> whileOpen;

private:
    void record(Kind kind, QWidget* parent, const QString& caption, const QString& text,
                const std::function<void()>& onShown = {})
    {
        calls.push_back({kind, caption, text, parent});
        const Call call = calls.back(); // what runs while it is open may add calls
        if (onShown)
            onShown();
        if (whileOpen)
            whileOpen(call);
    }
};
