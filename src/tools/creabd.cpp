// Build tool: lays out the database file in the program's folder from the
// project's data, only when the file does not exist yet.
#include "tools/CrearBaseDatos.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "uso: huerta-creabd <fichero.db> <carpeta de datos>\n";
        return 2;
    }
    if (QFileInfo::exists(args[1])) {
        QTextStream(stdout) << args[1] << " ya existe: se conserva tal cual\n";
        return 0;
    }
    QString error;
    if (!CrearBaseDatos(args[1], args[2], &error)) {
        err << error << '\n';
        return 1;
    }
    QTextStream(stdout) << "Creada " << args[1] << '\n';
    return 0;
}
