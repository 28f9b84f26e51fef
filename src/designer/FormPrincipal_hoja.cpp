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

// True when there is a plot and a sheet loaded to act on; otherwise tells the
// user what is missing before `accion` ("validar una hoja") can be done.
bool hayHojaPara(FormPrincipal &w, const QString &accion, const QString &accionSobreHoja)
{
    if (w.ParcelaActual.isEmpty()) {
        avisar(&w, QStringLiteral("No hay ninguna parcela: crea una antes de %1.").arg(accion), Dialogos::Exclamacion);
        return false;
    }
    if (!w.Sesion.hayHojaCargada()) {
        avisar(&w, QStringLiteral("No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de %1.").arg(accionSobreHoja),
               Dialogos::Exclamacion);
        return false;
    }
    return true;
}

} // namespace

void FormPrincipal::BtValidaCultivos_Click()
{
    ValidarHoja();
}

bool FormPrincipal::ValidarHoja()
{
    if (!hayHojaPara(*this, QStringLiteral("validar una hoja"), QStringLiteral("validar")))
        return false;
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
                            Dialogos::SiNo, Dialogos::Exclamacion, QStringLiteral("Atención"), Dialogos::No)
               != Dialogos::Si)
        return false;
    try {
        Sesion.validar();
    } catch (const PlanNoValido &e) {
        avisar(this, e.texto(), Dialogos::Exclamacion);
        return false;
    } catch (const ErrorBD &e) {
        // Nothing was written; the plan stays on screen to be stored again.
        avisar(this,
               QStringLiteral("No se ha podido guardar la hoja %1: %2.\nNo se ha cambiado nada: el plan sigue en"
                              " pantalla y puedes volver a validarlo.")
                   .arg(HojaActual)
                   .arg(MotivoFalloBD(e)),
               Dialogos::Critico);
        return false;
    }
    mostrarLoGuardado(*this);
    return true;
}

void FormPrincipal::BtVaciaHoja_Click()
{
    if (!hayHojaPara(*this, QStringLiteral("vaciar una hoja"), QStringLiteral("vaciarla")))
        return;
    try {
        // A stored plan is deleted only when the user says so; an empty sheet
        // is emptied at once.
        QStringList guardados;
        {
            Conexion con;
            for (const FilaGuardada &f : LeerFilasHoja(con, ParcelaActual, AñoActual, HojaActual))
                guardados << f.cultivo;
        }
        if (!guardados.isEmpty()
            && Dialogos::MsgBox(this,
                                QStringLiteral("La hoja %1 tiene guardados en %2: %3.\n¿Deseas borrarlos?")
                                    .arg(HojaActual)
                                    .arg(AñoActual)
                                    .arg(guardados.join(QStringLiteral(", "))),
                                Dialogos::SiNo, Dialogos::Exclamacion, QStringLiteral("¡ Atención !"), Dialogos::No)
                   != Dialogos::Si)
            return;
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
