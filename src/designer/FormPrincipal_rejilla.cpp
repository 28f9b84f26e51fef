// The plan grid and the crop pickers.
#include "designer/FormPrincipal.h"

#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QComboBox>
#include <memory>


void FormPrincipal::ComboCult_Click(int Index)
{
    if (LeyendoCultivo || Index < 0 || Index > 3)
        return;
    try {
        Sesion.elegir(Index, ComboCult[Index]->currentIndex());
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se han leído los cultivos de la hoja %1").arg(Sesion.hoja()),
                              QStringLiteral("la rejilla sigue como estaba; vuelve a intentarlo"));
    }
}

void FormPrincipal::MSHFlexTodoAño_Click()
{
    const int fila = MSHFlexTodoAño->fila();
    const int columna = MSHFlexTodoAño->columna();
    if (fila < 1 || fila > 4 || columna < 1 || columna > 24)
        return;
    try {
        Sesion.colocar(fila - 1, columna);
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha colocado el cultivo en la hoja %1").arg(Sesion.hoja()),
                              QStringLiteral("la rejilla sigue como estaba; vuelve a intentarlo"));
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
