#include "QtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qv {

void installQtTexts() {
    auto* texts = new QTranslator(QCoreApplication::instance());
    if (texts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(texts);
    else
        delete texts;
}

}  // namespace qv
