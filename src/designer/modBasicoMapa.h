#pragma once
// Shared module, map part: loading a sheet layout onto a map control and
// labelling its sheets. Both maps of the main window use them.
#include <QHash>
#include <QList>
#include <QString>

class MapaControl;

namespace modBasico {

// <carpeta>/hojas/hojas<n>.shp: the sheet layout for n sheets.
QString RutaHojas(const QString &carpeta, int hojas);

// Loads the shapefile fichero (full path) onto mapa as a visible layer named
// after the file, in the sheet colours, and appends the layer's handle to
// capas. A path that does not end in "shp" (any letter case), or a file that
// cannot be opened, is reported to the user and nothing is loaded.
void CargarShapefile(MapaControl *mapa, const QString &fichero, QList<int> &capas);

// Labels every sheet of the layer with handle 0 of mapa with its number and
// the crops stored for it in plot parcela and year año, at the centre of the
// sheet's box. capa only says whether to label at all: nothing is done when
// it is empty, nor when the map holds no layer. Throws ErrorBD when the
// database cannot be read; no label is added then.
void EtiquetarHojas(MapaControl *mapa, const QString &capa, const QString &parcela, int año);
// The same with texts already read (TextosEtiquetas): draws only.
void EtiquetarHojas(MapaControl *mapa, const QString &capa, const QHash<int, QString> &textos);

} // namespace modBasico
