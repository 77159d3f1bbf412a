#pragma once

#include "platform/QtTranslations.h"

#include <QStringList>

/// Records the locales Qt's own texts were asked to follow.
class FakeQtTranslations : public QtTranslations
{
public:
    void apply(const QString& locale) override { applied << locale; }
    QStringList applied;
};
