// Storing and emptying a sheet's plan.
#include "designer/FormPrincipal.h"

#include "core/Conexion.h"
#include "core/PlanHoja.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QComboBox>
#include <QPushButton>

namespace {

// The plan tree and the map show what is stored now.
void mostrarLoGuardado(FormPrincipal &w)
{
    try {
        w.RefrescarArbolAños();
        w.refrescaMapa();
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(&w, e, QStringLiteral("no se ha podido volver a leer el plan guardado"),
                              QStringLiteral("lo guardado no cambia"));
    }
}

// True when there is a plot and a sheet loaded to act on; otherwise tells the
// user what is missing before `accion` ("validar una hoja") can be done.
bool hayHojaPara(FormPrincipal &w, const QString &accion, const QString &accionSobreHoja)
{
    if (w.sesion().parcela().isEmpty()) {
        Dialogos::AvisarFallo(&w, Rechazo(QStringLiteral("No hay ninguna parcela: crea una antes de %1.").arg(accion)),
                              {});
        return false;
    }
    if (!w.sesion().hayHojaCargada()) {
        Dialogos::AvisarFallo(&w,
                              Rechazo(QStringLiteral("No hay ninguna hoja elegida: pulsa una hoja en el mapa antes"
                                                     " de %1.")
                                          .arg(accionSobreHoja)),
                              {});
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
                                .arg(Sesion.hoja())
                                .arg(Sesion.año())
                                .arg(ocultas.join(QStringLiteral(", "))),
                            Dialogos::SiNo, Dialogos::Exclamacion, QStringLiteral("Atención"), Dialogos::No)
               != Dialogos::Si)
        return false;
    try {
        Sesion.validar();
    } catch (const Fallo &e) {
        // Nothing was written; the plan stays on screen to be stored again.
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha guardado la hoja %1").arg(Sesion.hoja()),
                              QStringLiteral("no se ha cambiado nada: el plan sigue en pantalla y puedes volver a"
                                             " validarlo"));
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
            for (const FilaGuardada &f : LeerFilasHoja(con, Sesion.parcela(), Sesion.año(), Sesion.hoja()))
                guardados << f.cultivo;
        }
        if (!guardados.isEmpty()
            && Dialogos::MsgBox(this,
                                QStringLiteral("La hoja %1 tiene guardados en %2: %3.\n¿Deseas borrarlos?")
                                    .arg(Sesion.hoja())
                                    .arg(Sesion.año())
                                    .arg(guardados.join(QStringLiteral(", "))),
                                Dialogos::SiNo, Dialogos::Exclamacion, QStringLiteral("¡ Atención !"), Dialogos::No)
                   != Dialogos::Si)
            return;
        Sesion.vaciar();
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha vaciado la hoja %1").arg(Sesion.hoja()),
                              QStringLiteral("no se ha borrado nada"));
        return;
    }
    RecargarHojaAbierta(QStringLiteral("vuelve a intentarlo"));
    mostrarLoGuardado(*this);
}

void FormPrincipal::conectarEventosHoja()
{
    connect(BtValidaCultivos, &QPushButton::clicked, this, [this] { BtValidaCultivos_Click(); });
    connect(BtVaciaHoja, &QPushButton::clicked, this, [this] { BtVaciaHoja_Click(); });
}
