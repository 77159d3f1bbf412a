#pragma once

#include <QString>

/// The eight texts a language file supplies that no window carries: the status words and the
/// program's messages. Empty until a language file names them.
struct LanguageStrings
{
    QString active;
    QString done;
    QString enterTitle;
    QString enterText;
    QString confirmDelete;
    QString deleteCaption;
    QString selectFirst;
    QString passed;
};
