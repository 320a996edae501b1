#include "ApplicationSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

namespace App {

bool setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(u"tarnwick"_s);
    auto* translator = new QTranslator(&app);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    if (translator->load(chinese, u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace App
