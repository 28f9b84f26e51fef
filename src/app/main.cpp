// Huerta: crop-rotation planning for the home vegetable garden.
#include "designer/FormPrincipal.h"
#include "widgets/MotorWeb.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    MotorWeb::Preparar();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Huerta"));
    QApplication::setApplicationDisplayName(QStringLiteral("Huerta"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/huerta.svg")));

    FormPrincipal ventana(QApplication::applicationDirPath());
    if (!ventana.Form_Load())
        return 1;
    ventana.show();
    return app.exec();
}
