#include "widgets/Aplicacion.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Aplicacion {

void Preparar()
{
    QApplication::setApplicationName(QStringLiteral("Huerta"));
    QApplication::setApplicationDisplayName(QStringLiteral("Huerta"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/huerta.svg")));
    auto *qt = new QTranslator(qApp);
    if (qt->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt);
}

} // namespace Aplicacion
