// The plan grid and the crop pickers.
#include "designer/FormPrincipal.h"

#include "core/PlanHoja.h"
#include "core/RejillaPlan.h"
#include "core/modBasico.h"
#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QComboBox>
#include <memory>

using namespace modBasico;

namespace {

void avisarLectura(FormPrincipal *w, const ErrorBD &e)
{
    Dialogos::MsgBox(w, QStringLiteral("No se ha podido leer la base de datos: %1.").arg(MotivoFalloBD(e)),
                     Dialogos::SoloAceptar, Dialogos::Critico, QStringLiteral("Atención"));
}

// Puts picker k back on the empty-crop entry (no entry when the picker does
// not list it) and runs its choice, which clears the row.
void volverAlCultivoVacio(FormPrincipal &w, int k)
{
    QComboBox *picker = w.ComboCult[k];
    picker->setCurrentIndex(picker->findText(CultivoVacio, Qt::MatchExactly | Qt::MatchCaseSensitive));
    w.ComboCult_Click(k);
}

} // namespace

void FormPrincipal::BorraFila(int fila)
{
    for (int c = 1; c <= 24; ++c)
        MSHFlexTodoAño->setColorFondo(fila, c, ColorVacio);
}

void FormPrincipal::BorraTodasFilas()
{
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 24; ++c)
            if (MSHFlexTodoAño->colorFondo(r, c) != ColorVacio)
                MSHFlexTodoAño->setColorFondo(r, c, ColorVacio);
}

void FormPrincipal::ComboCult_Click(int Index)
{
    if (LeyendoCultivo || Index < 0 || Index > 3)
        return;
    const int fila = Index + 1;
    BorraFila(fila);
    // Whatever span is recorded for the row now belongs to another choice.
    CultivoColocado[Index] = false;
    const QString cultivo = ComboCult[Index]->currentText();
    QList<DatosSiembra> datos;
    try {
        Conexion con;
        datos = LeerDatosSiembra(con, cultivo);
    } catch (const ErrorBD &e) {
        avisarLectura(this, e);
        return;
    }
    PonerTextoPanel(QStringLiteral("Época de siembra para ") + cultivo
                    + QStringLiteral(" en verde. Selecciona quincena"));
    for (const DatosSiembra &d : datos)
        for (int q : QuincenasSiembra(d))
            MSHFlexTodoAño->setColorFondo(fila, q, ColorSiembra);
}

void FormPrincipal::MSHFlexTodoAño_Click()
{
    const int fila = MSHFlexTodoAño->fila();
    const int columna = MSHFlexTodoAño->columna();
    if (fila < 1 || fila > 4 || columna < 1 || columna > 24)
        return;
    const int k = fila - 1;
    const QString cultivo = ComboCult[k]->currentText();
    try {
        QList<DatosSiembra> datos;
        {
            Conexion con;
            datos = LeerDatosSiembra(con, cultivo);
        }
        for (const DatosSiembra &d : datos) {
            if (MSHFlexTodoAño->colorFondo(fila, columna) != ColorSiembra) {
                PonerTextoPanel(QStringLiteral("Aqui no hay una época de siembra o transplante. Elige la zona verde"));
                continue;
            }
            BorraFila(fila);
            const Colocacion colocacion =
                Colocar(columna, d, [this, fila](int c) { return MSHFlexTodoAño->tieneImagen(fila, c); });
            for (const Colocacion::Celda &celda : colocacion.celdas)
                MSHFlexTodoAño->setColorFondo(fila, celda.columna, celda.color);

            if (colocacion.heladaEnElCamino) {
                const QString aviso = QStringLiteral("No es posible <") + cultivo
                                      + QStringLiteral(">, escoge otro u otra fecha");
                PonerTextoPanel(aviso);
                Dialogos::MsgBox(this, aviso, Dialogos::SiNo, Dialogos::SinIcono, QStringLiteral("Advertencia"));
                BorraFila(fila);
                volverAlCultivoVacio(*this, k);
                continue;
            }

            MesInicioCultivo[k] = colocacion.inicio;
            MesFinalCultivo[k] = colocacion.final;

            if (fila > 1
                && SeSolapan(MesInicioCultivo[k], MesFinalCultivo[k], MesInicioCultivo[k - 1],
                             MesFinalCultivo[k - 1])) {
                Dialogos::MsgBox(this,
                                 QStringLiteral("Esa fecha de siembra/trasplante se solapa con ")
                                     + ComboCult[k - 1]->currentText(),
                                 Dialogos::SoloAceptar, Dialogos::Critico, QStringLiteral("hay solape de fechas"));
                BorraFila(fila);
                volverAlCultivoVacio(*this, k);
                continue;
            }

            CultivoColocado[k] = true;
            CultivosCombos(fila);
            PonerTextoPanel(QStringLiteral("Se puede validar la hoja o poner otro cultivo (si fuera posible)"));
        }
    } catch (const ErrorBD &e) {
        avisarLectura(this, e);
    }
}

void FormPrincipal::conectarEventosRejilla()
{
    // The user's choice in a picker; choices made by the program call
    // ComboCult_Click themselves where they must.
    for (int k = 0; k < 4; ++k)
        connect(ComboCult[k], &QComboBox::activated, this, [this, k] { ComboCult_Click(k); });

    // A click on a fixed cell (the fortnight header, the pickers' column)
    // leaves the current cell where it was, as the grid's own cells do; the
    // current row tells which picker the next reload narrows.
    auto previa = std::make_shared<QPoint>();
    connect(MSHFlexTodoAño, &QTableWidget::cellPressed, this,
            [this, previa](int, int) { *previa = QPoint(MSHFlexTodoAño->columna(), MSHFlexTodoAño->fila()); });
    connect(MSHFlexTodoAño, &CuadriculaFlex::celdaPulsada, this, [this, previa](int fila, int columna) {
        if (fila < 1 || columna < 1) {
            MSHFlexTodoAño->setCelda(previa->y(), previa->x());
            return;
        }
        MSHFlexTodoAño_Click();
    });
}
