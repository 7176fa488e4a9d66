#include "widgets/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtTranslations(QCoreApplication& app) {
    // Parented to the application, so it lives as long as the texts it translates.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_pt_BR"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}
