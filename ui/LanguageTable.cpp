#include "ui/LanguageTable.h"

#include "i18n/LanguageFile.h"

#include <QObject>
#include <QVariant>

LanguageBinding bindText(const char* key, QObject* object, const char* property)
{
    return {key, [object, property] { return object->property(property).toString(); },
            [object, property](const QString& text) { object->setProperty(property, text); }};
}

LanguageBinding bindText(const char* key, QString& target)
{
    return {key, [&target] { return target; }, [&target](const QString& text) { target = text; }};
}

void applyLanguage(const LanguageFile& file, const std::vector<LanguageBinding>& table)
{
    for (const LanguageBinding& binding : table)
        binding.set(file.text(binding.key, binding.get()));
}
