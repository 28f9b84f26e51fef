// Huerta: crop-rotation planning for the home vegetable garden.
#include "designer/FormPrincipal.h"
#include "widgets/MotorWeb.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    MotorWeb::Preparar();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Huerta"));
    QApplication::setApplicationDisplayName(QStringLiteral("Huerta"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/huerta.svg")));
    // Qt's own texts (context menus, scroll buttons, standard buttons) in
    // Spanish; without the translations installed they stay in English.
    QTranslator qt;
    if (qt.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt);

    FormPrincipal ventana(QApplication::applicationDirPath());
    if (!ventana.Form_Load())
        return 1;
    ventana.show();
    return app.exec();
}
