// Storing and emptying a sheet's plan.
#include "designer/FormPrincipal.h"

#include "core/PlanHoja.h"
#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QComboBox>
#include <QPushButton>

namespace {

void avisar(FormPrincipal *w, const QString &texto, Dialogos::Icono icono)
{
    Dialogos::MsgBox(w, texto, Dialogos::SoloAceptar, icono, QStringLiteral("Atención"));
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
    if (ParcelaActual.isEmpty()) {
        avisar(this, QStringLiteral("No hay ninguna parcela: crea una antes de validar una hoja."), Dialogos::Exclamacion);
        return;
    }
    if (!Sesion.hayHojaCargada()) {
        avisar(this, QStringLiteral("No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de validar."),
               Dialogos::Exclamacion);
        return;
    }
    // Storing replaces the sheet's rows of the year with what the slots show:
    // stored crops the load had to hide would go without the user seeing them.
    const QStringList ocultas = Sesion.ocultas();
    if (!ocultas.isEmpty()
        && Dialogos::MsgBox(this,
                            QStringLiteral("La hoja %1 tiene guardados en %2 cultivos que no se muestran: %3.\n"
                                           "Si validas, se borrarán. ¿Validar la hoja de todos modos?")
                                .arg(HojaActual)
                                .arg(AñoActual)
                                .arg(ocultas.join(QStringLiteral(", "))),
                            Dialogos::SiNo, Dialogos::Exclamacion, QStringLiteral("Atención"))
               != Dialogos::Si)
        return;
    try {
        Sesion.validar();
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
    if (ParcelaActual.isEmpty()) {
        avisar(this, QStringLiteral("No hay ninguna parcela: crea una antes de vaciar una hoja."), Dialogos::Exclamacion);
        return;
    }
    if (!Sesion.hayHojaCargada()) {
        avisar(this, QStringLiteral("No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de vaciarla."),
               Dialogos::Exclamacion);
        return;
    }
    try {
        Sesion.vaciar();
    } catch (const ErrorBD &e) {
        avisar(this,
               QStringLiteral("No se ha podido vaciar la hoja %1: %2.\nNo se ha borrado nada.")
                   .arg(HojaActual)
                   .arg(MotivoFalloBD(e)),
               Dialogos::Critico);
        return;
    }
    try {
        CargarHojaElegida();
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
