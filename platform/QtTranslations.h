#pragma once

#include <QString>

/// Qt's own texts (the standard buttons, the file dialogs, the calendar) and the locale that
/// dates and numbers follow.
class QtTranslations
{
public:
    virtual ~QtTranslations() = default;
    /// Shows Qt's own texts in the language of locale (a name such as "ru"), untranslated for
    /// English, and makes locale the default one.
    virtual void apply(const QString& locale) = 0;
};
