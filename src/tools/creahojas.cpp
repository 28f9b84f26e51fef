// Build tool: writes the sheet layouts hojas3 ... hojas7 into the folder
// given (the program's "hojas" folder).
#include "tools/GeneradorHojas.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "uso: huerta-creahojas <carpeta hojas>\n";
        return 2;
    }
    QString error;
    if (!GeneradorHojas::CrearHojas(args[1], &error)) {
        err << error << '\n';
        return 1;
    }
    QTextStream(stdout) << "Planos de hojas escritos en " << args[1] << '\n';
    return 0;
}
