#pragma once
// Checks of the binary layout of the three files of a shapefile, made before
// the shapefile library reads them: every size, count and offset that the
// library would trust is compared with the files' real sizes, so that a damaged
// or foreign file is refused here and never handed over.
#include <QString>

namespace ShapefileFormato {

// Beyond these a file is no sheet layout (and reading it would cost too much).
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
constexpr int kMaxFormas = 10000;
constexpr int kMaxPartes = 10000;
constexpr int kMaxVertices = 1000000;

struct Fallo
{
    int codigo = 0; // a Shapefile::CodigoError
    QString detalle;
};

// The .shp and its .shx: headers, polygon type, one index entry per record,
// every record inside the .shp with the length the index gives, polygon
// records whose part and vertex counts fit in them. registros receives the
// number of records.
bool ComprobarShpShx(const QString &shp, const QString &shx, int &registros, Fallo &fallo);

// The .dbf: header, field descriptors, record length and the records within
// the file. campos receives the number of fields, registros the records'.
bool ComprobarDbf(const QString &dbf, int &campos, int &registros, Fallo &fallo);

} // namespace ShapefileFormato
