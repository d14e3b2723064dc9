#include "winbaselib/src/i18n/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The translator is a child of the application so it lives as long as the
// application does; the name lets a later call find and replace it.
const QString translatorName = QStringLiteral("vantrel-qt-translations");

void removeInstalled(QCoreApplication& app)
{
    const auto installed = app.findChildren<QTranslator*>(translatorName, Qt::FindDirectChildrenOnly);
    for (QTranslator* translator : installed) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

bool installQtTranslations(QCoreApplication& app, int languageId)
{
    removeInstalled(app);
    if (languageId == 1)
        return true;
    if (languageId != 0)
        return false;

    auto* translator = new QTranslator(&app);
    translator->setObjectName(translatorName);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder)
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
