// Huerta: crop-rotation planning for the home vegetable garden.
#include "designer/FormPrincipal.h"
#include "widgets/Aplicacion.h"
#include "widgets/MotorWeb.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    MotorWeb::Preparar();
    QApplication app(argc, argv);
    Aplicacion::Preparar();

    FormPrincipal ventana(QApplication::applicationDirPath());
    if (!ventana.Form_Load())
        return 1;
    ventana.show();
    return app.exec();
}
