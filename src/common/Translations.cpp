#include "common/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

bool installRussianTranslations(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    // qtbase_ru covers QtCore, QtGui, QtWidgets and QtPrintSupport.
    if (!translator->load(u"qtbase_ru"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
