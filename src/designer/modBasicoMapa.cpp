#include "designer/modBasicoMapa.h"

#include "core/EtiquetasHojas.h"
#include "core/modBasico.h"
#include "core/Conexion.h"
#include "widgets/Dialogos.h"
#include "mapa/MapaControl.h"

#include <QDir>
#include <QFileInfo>

namespace modBasico {

QString RutaHojas(const QString &carpeta, int hojas)
{
    return QDir(carpeta).filePath(QStringLiteral("hojas/hojas%1.shp").arg(hojas));
}

void CargarShapefile(MapaControl *mapa, const QString &fichero, QList<int> &capas)
{
    if (fichero.right(3).toLower() != QLatin1String("shp")) {
        Dialogos::MsgBox(mapa->window(), QStringLiteral("El fichero, ") + fichero
                                             + QStringLiteral(" no es del tipo ESRI shape."),
                         Dialogos::SoloAceptar, Dialogos::SinIcono);
        return;
    }
    auto shapefile = std::make_shared<Shapefile>();
    if (!shapefile->Open(fichero)) {
        Dialogos::MsgBox(mapa->window(), QStringLiteral("el fichero: ") + fichero
                                             + QStringLiteral(" no se puede abrir por\r\n")
                                             + shapefile->ErrorMsg(shapefile->LastErrorCode()),
                         Dialogos::SoloAceptar, Dialogos::Critico);
        return;
    }
    const int capa = mapa->AddLayer(shapefile, true);
    capas.append(capa);
    if (capa >= 0) {
        mapa->setLayerName(capa, QFileInfo(shapefile->Filename()).fileName());
        mapa->setShapeLayerFillColor(capa, ColorHoja);
        mapa->setShapeLayerLineColor(capa, ColorBordeHoja);
    }
}

void EtiquetarHojas(MapaControl *mapa, const QString &capa, const QString &parcela, int año)
{
    if (capa.isEmpty() || mapa->NumLayers() == 0 || !mapa->GetObject(0))
        return;
    // Every text is read before the first label is drawn, so that a database
    // failure leaves no half-labelled map.
    QHash<int, QString> textos;
    {
        Conexion con;
        textos = TextosEtiquetas(con, parcela, año);
    }
    EtiquetarHojas(mapa, capa, textos);
}

void EtiquetarHojas(MapaControl *mapa, const QString &capa, const QHash<int, QString> &textos)
{
    if (capa.isEmpty() || mapa->NumLayers() == 0)
        return;
    const Shapefile *hojas = mapa->GetObject(0);
    if (!hojas)
        return;
    for (int i = 0; i < hojas->NumShapes(); ++i) {
        const Extents caja = hojas->ShapeExtents(i);
        mapa->AddLabelEx(0, TextoEtiqueta(textos, hojas->CellValue(0, i).toInt()), 0, caja.centroX(), caja.centroY(),
                         MapaControl::hjCenter, 0.0);
    }
}

} // namespace modBasico
