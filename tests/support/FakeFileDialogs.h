#pragma once

#include "platform/FileDialogs.h"

#include <QString>
#include <deque>
#include <vector>

/// Records every dialog asked for and answers with the next queued file name; an empty queue
/// answers as a cancelled dialog.
class FakeFileDialogs : public FileDialogs
{
public:
    struct Call
    {
        QString directory;
        QString filter;
        bool mustExist;
        bool save;
    };

    QString openFileName(QWidget*, const QString&, const QString& directory, const QString& filter,
                         Existing existing) override
    {
        calls.push_back({directory, filter, existing == Existing::Required, false});
        return next();
    }
    QString saveFileName(QWidget*, const QString&, const QString& fileName,
                         const QString& filter) override
    {
        calls.push_back({fileName, filter, false, true});
        return next();
    }

    std::vector<Call> calls;
    std::deque<QString> answers;

private:
    QString next()
    {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
