#pragma once

#include <QString>

/// The eight texts a language file supplies that no window carries: the status words and the
/// program's messages. Empty until a language file names them.
struct LanguageStrings
{
    QString StringActive;
    QString StringDone;
    QString StringEnterTitle;
    QString StringEnterText;
    QString StringReally;
    QString StringDelete;
    QString StringSelectFirst;
    QString StringPassed;
};
