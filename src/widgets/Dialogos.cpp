#include "widgets/Dialogos.h"

#include "core/Conexion.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace Dialogos {

namespace {
Respondedor &respondedor()
{
    static Respondedor r;
    return r;
}
} // namespace

void EstablecerRespondedor(Respondedor r)
{
    respondedor() = std::move(r);
}

QString TituloAplicacion()
{
    const QString t = QApplication::applicationDisplayName();
    return t.isEmpty() ? QStringLiteral("Huerta") : t;
}

Respuesta MsgBox(QWidget *padre, const QString &texto, Botones botones, Icono icono,
                 const QString &titulo, Respuesta porDefecto)
{
    const bool siNo = botones == SiNo || botones == SiNoCancelar;
    Peticion p;
    p.tipo = Peticion::Mensaje;
    p.texto = texto;
    p.titulo = titulo.isEmpty() ? TituloAplicacion() : titulo;
    p.botones = botones;
    p.icono = icono;
    p.porDefecto = siNo ? porDefecto : Aceptar;
    if (respondedor())
        return static_cast<Respuesta>(respondedor()(p));

    QMessageBox caja(padre);
    caja.setWindowTitle(p.titulo);
    caja.setText(texto);
    switch (icono) {
    case Critico: caja.setIcon(QMessageBox::Critical); break;
    case Pregunta: caja.setIcon(QMessageBox::Question); break;
    case Exclamacion: caja.setIcon(QMessageBox::Warning); break;
    case Informacion: caja.setIcon(QMessageBox::Information); break;
    default: break;
    }
    QPushButton *si = nullptr, *no = nullptr, *aceptar = nullptr, *cancelar = nullptr;
    if (siNo) {
        si = caja.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        no = caja.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        if (botones == SiNoCancelar)
            cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        caja.setDefaultButton(porDefecto == No ? no : porDefecto == Cancelar && cancelar ? cancelar : si);
        caja.setEscapeButton(cancelar ? cancelar : no);
    } else {
        aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        caja.setDefaultButton(aceptar);
        if (botones == AceptarCancelar)
            caja.setEscapeButton(caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole));
        else
            caja.setEscapeButton(aceptar);
    }
    caja.exec();
    QAbstractButton *pulsado = caja.clickedButton();
    if (siNo)
        return pulsado == si ? Si : cancelar && pulsado != no ? Cancelar : No;
    return pulsado == aceptar ? Aceptar : Cancelar;
}

int MostrarModal(QDialog *dialogo)
{
    if (respondedor()) {
        Peticion p;
        p.tipo = Peticion::Modal;
        p.titulo = dialogo->windowTitle();
        p.dialogo = dialogo;
        p.clase = QString::fromLatin1(dialogo->metaObject()->className());
        return respondedor()(p);
    }
    return dialogo->exec();
}

void AvisarFallo(QWidget *padre, const Fallo &e, const QString &noHecho, const QString &queda)
{
    const bool rechazo = dynamic_cast<const Rechazo *>(&e) != nullptr;
    MsgBox(padre, ExplicarFallo(e, noHecho, queda), SoloAceptar, rechazo ? Exclamacion : Critico,
           QStringLiteral("Atención"));
}

} // namespace Dialogos
