// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tamrisk {

bool InstallQtGermanTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace tamrisk
