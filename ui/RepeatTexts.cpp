#include "ui/RepeatTexts.h"

void RepeatTexts::bind(std::vector<LanguageBinding>& table)
{
    static constexpr const char* kNameKeys[] = {"StringRepeatNone",     "StringRepeatDaily",
                                                "StringRepeatWeekdays", "StringRepeatWeekly",
                                                "StringRepeatMonthly",  "StringRepeatYearly"};
    table.push_back(bindText("StringRepeat", label));
    for (qsizetype i = 0; i < names.size(); ++i)
        table.push_back(bindText(kNameKeys[i], names[i]));
}
