#pragma once

#include "ui/LanguageTable.h"

#include <QStringList>
#include <vector>

/// The texts that name how an event repeats: the label, and a name for each kind in
/// RepeatRules::Kind order (None first).
struct RepeatTexts
{
    QString label = QStringLiteral("Repeat:");
    QStringList names{QStringLiteral("None"),     QStringLiteral("Daily"),
                      QStringLiteral("Weekdays"), QStringLiteral("Weekly"),
                      QStringLiteral("Monthly"),  QStringLiteral("Yearly")};

    /// The language keys of these texts, appended to table.
    void bind(std::vector<LanguageBinding>& table);
};
