// Storing and emptying a sheet's plan.
#include "designer/FormPrincipal.h"

#include "core/PlanHoja.h"
#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QComboBox>
#include <QPushButton>
#include <QSlider>

namespace {

void avisar(FormPrincipal *w, const QString &texto, Dialogos::Icono icono)
{
    Dialogos::MsgBox(w, texto, Dialogos::SoloAceptar, icono, QStringLiteral("Atención"));
}

// True when the pickers show a sheet: a sheet chosen on the map or in the tree
// for the year shown. Choosing a year in the tree empties them.
bool hayHojaCargada(const FormPrincipal &w)
{
    if (w.HojaActual < 1)
        return false;
    for (const QComboBox *c : w.ComboCult)
        if (c->count() > 0)
            return true;
    return false;
}

// The plan tree and the map show what is stored now.
void mostrarLoGuardado(FormPrincipal &w)
{
    try {
        w.RefrescarArbolAños();
        w.refrescaMapa();
    } catch (const ErrorBD &e) {
        avisar(&w, QStringLiteral("No se ha podido leer la base de datos: %1.").arg(MotivoFalloBD(e)),
               Dialogos::Critico);
    }
}

} // namespace

void FormPrincipal::BtValidaCultivos_Click()
{
    if (!hayHojaCargada(*this)) {
        avisar(this, QStringLiteral("No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de validar."),
               Dialogos::Exclamacion);
        return;
    }
    // A crop chosen but not placed since has no span of its own: storing
    // refuses it rather than take the span last recorded for its row (another
    // crop's, or one refused for overlapping the row above).
    QList<CultivoHoja> cultivos;
    for (int k = 0; k < 4; ++k) {
        const bool colocado = CultivoColocado[k];
        cultivos << CultivoHoja{ComboCult[k]->currentText(), colocado ? MesInicioCultivo[k] : 0,
                                colocado ? MesFinalCultivo[k] : 0};
    }
    AñosPlurianuales años;
    años.alcachofa = SliderAlcachofa->value();
    años.fresa = SliderFresa->value();
    años.esparrago = SliderEsparrago->value();

    try {
        GuardarHoja(CadenaConexion, ParcelaActual, AñoActual, HojaActual, cultivos, años);
    } catch (const PlanNoValido &e) {
        avisar(this, e.texto(), Dialogos::Exclamacion);
        return;
    } catch (const ErrorBD &e) {
        // Nothing was written; the plan stays on screen to be stored again.
        avisar(this,
               QStringLiteral("No se ha podido guardar la hoja %1: %2.\nNo se ha cambiado nada: el plan sigue en"
                              " pantalla y puedes volver a validarlo.")
                   .arg(HojaActual)
                   .arg(MotivoFalloBD(e)),
               Dialogos::Critico);
        return;
    }
    mostrarLoGuardado(*this);
}

void FormPrincipal::BtVaciaHoja_Click()
{
    if (!hayHojaCargada(*this)) {
        avisar(this, QStringLiteral("No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de vaciarla."),
               Dialogos::Exclamacion);
        return;
    }
    try {
        VaciarHoja(CadenaConexion, ParcelaActual, AñoActual, HojaActual);
    } catch (const ErrorBD &e) {
        avisar(this,
               QStringLiteral("No se ha podido vaciar la hoja %1: %2.\nNo se ha borrado nada.")
                   .arg(HojaActual)
                   .arg(MotivoFalloBD(e)),
               Dialogos::Critico);
        return;
    }
    BorraTodasFilas();
    try {
        LeerCultivos();
        CultivosCombos(MSHFlexTodoAño->fila());
    } catch (const ErrorBD &e) {
        avisar(this, QStringLiteral("No se ha podido leer la base de datos: %1.").arg(MotivoFalloBD(e)),
               Dialogos::Critico);
    }
    mostrarLoGuardado(*this);
}

void FormPrincipal::conectarEventosHoja()
{
    connect(BtValidaCultivos, &QPushButton::clicked, this, [this] { BtValidaCultivos_Click(); });
    connect(BtVaciaHoja, &QPushButton::clicked, this, [this] { BtVaciaHoja_Click(); });
}
