#include "platform/InstalledQtTranslations.h"

#include "base/Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

InstalledQtTranslations::~InstalledQtTranslations()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

void InstalledQtTranslations::apply(const QString& locale)
{
    const QLocale chosen(locale);
    QLocale::setDefault(chosen);
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
    m_installed = false;
    if (chosen.language() == QLocale::English)
        return;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!m_translator.load(chosen, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        // The program's own texts still change; Qt's buttons stay English.
        qCWarning(lcDesktop, "No Qt translation for %s in %s (package qt6-translations-l10n)",
                  qUtf8Printable(locale), qUtf8Printable(folder));
        return;
    }
    m_installed = QCoreApplication::installTranslator(&m_translator);
}
