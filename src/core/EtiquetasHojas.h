#pragma once
// The text written on a sheet of the map.
#include <QHash>
#include <QString>

class Conexion;

// "Hoja: " and the sheet number, then the crop of every plan row of that
// sheet for plot parcela (named like it) and year año, in the order the rows
// were stored; every line, the last one included, ends with CR LF.
QString TextoEtiquetaHoja(Conexion &con, const QString &parcela, int año, int hoja);

// The texts of every sheet of the plot in año, read at once: sheet number ->
// text as TextoEtiquetaHoja writes it. A sheet without rows is not in it.
QHash<int, QString> TextosEtiquetas(Conexion &con, const QString &parcela, int año);
// The text of sheet hoja from what TextosEtiquetas read.
QString TextoEtiqueta(const QHash<int, QString> &textos, int hoja);
