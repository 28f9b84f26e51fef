#pragma once
// The text written on a sheet of the map.
#include <QString>

class Conexion;

// "Hoja: " and the sheet number, then the crop of every plan row of that
// sheet for plot parcela (named like it) and year año, in the order the rows
// were stored; every line, the last one included, ends with CR LF.
QString TextoEtiquetaHoja(Conexion &con, const QString &parcela, int año, int hoja);
