// The sheet map: Map1 shows the current plot's sheets and selects the sheet
// to plan; Map2 previews the layout for the sheet count of the options panel.
#include "designer/FormPrincipal.h"

#include "designer/Controles.h"

#include "designer/modBasicoMapa.h"
#include "core/Conexion.h"
#include "core/EtiquetasHojas.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "mapa/MapaControl.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QScopedValueRollback>

using namespace modBasico;

namespace {

// Handle of the sheets layer: every load empties its map first.
constexpr int kCapaHojas = 0;
constexpr qint32 kRellenoResaltado = 65535; // yellow
constexpr qint32 kLineaResaltado = 255;     // red

} // namespace

void FormPrincipal::conectarEventosMapa()
{
    // A failing database must not escape an event: the user is told and the
    // window goes on.
    // A click on the map reads the sheet it reached (a failure is reported by
    // the handler, which knows that sheet).
    connect(Map1, &MapaControl::MouseUp, this, [this](int boton, int mayus, int x, int y) {
        Map1_MouseUp(boton, mayus, x, y);
    });
    // A choice of the user, even of the entry already shown.
    connect(ComboNHojas, &QComboBox::activated, this, [this](int) {
        try {
            ComboNHojas_Click();
        } catch (const Fallo &e) {
            Dialogos::AvisarFallo(this, e, QStringLiteral("no se han leído las hojas de la parcela"),
                                  QStringLiteral("vuelve a intentarlo"));
        }
    });
}

void FormPrincipal::refrescaMapa()
{
    // The labels are read first: a failing database leaves the map as it was.
    QHash<int, QString> textos;
    if (Sesion.nhojas() > 0) {
        Conexion con;
        textos = TextosEtiquetas(con, Sesion.parcela(), Sesion.año());
    }
    refrescaMapa(textos);
}

void FormPrincipal::refrescaMapa(const QHash<int, QString> &textos)
{
    Map1->RemoveAllLayers();
    // Without a plot there is no sheet count and nothing to draw.
    if (Sesion.nhojas() <= 0)
        return;
    CargarShapefile(Map1, RutaHojas(carpetaPrograma, Sesion.nhojas()), CapasMapa);
    EtiquetarHojas(Map1, QStringLiteral("hojas"), textos);
}

void FormPrincipal::ComboNHojas_Click()
{
    Map2->RemoveAllLayers();
    bool ok = false;
    const int n = ComboNHojas->currentText().toInt(&ok);
    if (!ok || n < 3 || n > 7)
        return;
    const QString ruta = RutaHojas(carpetaPrograma, n);
    if (QFileInfo(ruta).isFile()) {
        CargarShapefile(Map2, ruta, CapasMapa);
        EtiquetarHojas(Map2, QStringLiteral("Hojas"), Sesion.parcela(), Sesion.año());
    } else {
        Dialogos::MsgBox(this, QStringLiteral("The file, ") + ruta + QStringLiteral(" was not found."),
                         Dialogos::SoloAceptar, Dialogos::Critico);
    }
}

void FormPrincipal::ResaltarHoja(const QList<int> &indices)
{
    if (!Map1->GetObject(kCapaHojas))
        return;
    // Writing the layer colours wipes every sheet's own colours.
    Map1->setShapeLayerFillColor(kCapaHojas, Map1->ShapeLayerFillColor(kCapaHojas));
    Map1->setShapeLayerLineColor(kCapaHojas, Map1->ShapeLayerLineColor(kCapaHojas));
    for (int forma : indices) {
        Map1->setShapeFillColor(kCapaHojas, forma, kRellenoResaltado);
        Map1->setShapeLineColor(kCapaHojas, forma, kLineaResaltado);
    }
}

void FormPrincipal::ResaltarHojaPorNumero(int hoja)
{
    const Shapefile *hojas = Map1->GetObject(kCapaHojas);
    if (!hojas)
        return;
    QList<int> indices;
    for (int i = 0; i < hojas->NumShapes(); ++i) {
        if (hojas->CellValue(0, i).toInt() == hoja) {
            indices.append(i);
            break;
        }
    }
    ResaltarHoja(indices);
}

void FormPrincipal::Map1_MouseUp(int, int, int x, int y)
{
    // Any button selects; only the selection mode does.
    if (Map1->CursorMode() != MapaControl::cmSelection)
        return;
    // Any click reloads a sheet (the one reached, or the open one on a miss).
    if (!SoltarHoja())
        return;
    int hoja = Sesion.hoja();
    if (Map1->NumLayers() > 0) {
        const int capa = CapasMapa.isEmpty() ? kCapaHojas : CapasMapa.first();
        if (const Shapefile *hojas = Map1->GetObject(capa)) {
            double px = 0, py = 0;
            Map1->PixelToProj(double(x), double(y), px, py);
            Extents caja;
            caja.SetBounds(px, py, 0, px, py, 0);
            QList<int> resultado;
            if (!hojas->SelectShapes(caja, 0.0, Shapefile::Interseccion, resultado)) {
                Map1->setShapeLayerFillColor(capa, Map1->ShapeLayerFillColor(capa));
                Map1->setShapeLayerLineColor(capa, Map1->ShapeLayerLineColor(capa));
                FrameCultivo->hide();
            } else {
                FrameCultivo->show();
                hoja = hojas->CellValue(0, resultado.first()).toInt();
                Controles::rotular(FrameCultivo, QStringLiteral("Hoja :") + QString::number(hoja));
                ResaltarHoja(resultado);
                PonerTextoPanel(QStringLiteral("Selecciona el cultivo que desees para esa hoja"));
            }
        }
    }
    try {
        CargarHojaElegida(hoja, Sesion.año());
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha leído la hoja %1").arg(hoja),
                              QStringLiteral("vuelve a intentarlo"));
    }
}

void FormPrincipal::CargarHojaElegida(int hoja, int año)
{
    const SesionHoja::Gesto gesto(Sesion);
    const RegistroEnLote lote(*this);
    {
        const QScopedValueRollback<bool> leyendo(LeyendoCultivo, true);
        Sesion.abrirHoja(hoja, año);
    }
    CultivosCombos(MSHFlexTodoAño->fila());
}
