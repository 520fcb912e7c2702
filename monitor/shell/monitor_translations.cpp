#include "monitor/shell/monitor_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>
#include <vector>

#ifdef ZV_MONITOR_TRANSLATIONS
// Q_INIT_RESOURCE must stand outside any namespace; the resources live in a
// static library, so nothing would pull them in otherwise.
static void InitTranslationResources() { Q_INIT_RESOURCE(monitor_translations); }
#else
static void InitTranslationResources() {}
#endif

namespace
{
std::vector<std::unique_ptr<QTranslator>>& Installed()
{
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}
} // namespace

int InstallMonitorTranslations(const QString& sLanguage)
{
    static const bool bResources = (InitTranslationResources(), true);
    (void)bResources;

    auto& installed = Installed();
    for (auto& pTranslator : installed)
        QCoreApplication::removeTranslator(pTranslator.get());
    installed.clear();

    int nOwn = 0;
    const QDir dir(QStringLiteral(":/translations/monitor"));
    for (const QString& sName : dir.entryList({QStringLiteral("*_%1.qm").arg(sLanguage)}, QDir::Files, QDir::Name))
    {
        auto pTranslator = std::make_unique<QTranslator>();
        if (!pTranslator->load(dir.filePath(sName)))
            continue;
        QCoreApplication::installTranslator(pTranslator.get());
        installed.push_back(std::move(pTranslator));
        ++nOwn;
    }
    // Qt's translations of its standard dialogs and buttons ("qtbase_zh_CN").
    if (sLanguage != QLatin1String("en"))
    {
        const QString sLocale = sLanguage == QLatin1String("zh") ? QStringLiteral("zh_CN") : sLanguage;
        auto pQt = std::make_unique<QTranslator>();
        if (pQt->load(QStringLiteral("qtbase_") + sLocale, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        {
            QCoreApplication::installTranslator(pQt.get());
            installed.push_back(std::move(pQt));
        }
    }
    return nOwn;
}
