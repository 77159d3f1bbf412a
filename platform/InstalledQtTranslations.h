#pragma once

#include "platform/QtTranslations.h"

#include <QTranslator>

/// Qt's own translations as the system installed them (Debian's qt6-translations-l10n).
class InstalledQtTranslations : public QtTranslations
{
public:
    InstalledQtTranslations() = default;
    ~InstalledQtTranslations() override;
    InstalledQtTranslations(const InstalledQtTranslations&) = delete;
    InstalledQtTranslations& operator=(const InstalledQtTranslations&) = delete;

    void apply(const QString& locale) override;

private:
    QTranslator m_translator;
    bool m_installed = false;
};
