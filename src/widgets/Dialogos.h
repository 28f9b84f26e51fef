#pragma once
// The one way the program shows a modal window: message boxes, the splash, the
// print dialog. Tests install a Respondedor that answers each request instead
// of showing it, so no test ever blocks.
#include <QString>
#include <functional>

class QWidget;
class QDialog;
class Fallo;

namespace Dialogos {

// Buttons and icons of a message box (the values combine as in the classic
// message-box style: buttons + icon).
enum Botones { SoloAceptar = 0, AceptarCancelar = 1, SiNoCancelar = 3, SiNo = 4 };
enum Icono { SinIcono = 0, Critico = 16, Pregunta = 32, Exclamacion = 48, Informacion = 64 };
// What the user answered.
enum Respuesta { Aceptar = 1, Cancelar = 2, Si = 6, No = 7 };

struct Peticion
{
    enum Tipo { Mensaje, Modal } tipo = Mensaje;
    QString texto;          // message text (Mensaje)
    QString titulo;         // window title as shown
    Botones botones = SoloAceptar;
    Icono icono = SinIcono;
    int porDefecto = 1;         // the answer that Enter gives (a Respuesta)
    QDialog *dialogo = nullptr; // the window (Modal), alive only while answering
    QString clase;              // the window's class name (Modal)
};

// Answers a request. For a Modal request the answer is the dialog's result; the
// respondent may also act on the dialog (click it, accept it) before answering.
using Respondedor = std::function<int(const Peticion &)>;

// Installs a respondent (an empty function restores the real windows).
void EstablecerRespondedor(Respondedor r);

// Shows a message box. An empty title shows the application's title.
// porDefecto is the button that Enter presses when the box asks Sí/No: a
// question whose «Sí» deletes gives No. Escape answers No, or Cancelar.
Respuesta MsgBox(QWidget *padre, const QString &texto, Botones botones = SoloAceptar,
                 Icono icono = SinIcono, const QString &titulo = QString(), Respuesta porDefecto = Si);

// Tells the user what failed and what is kept, in Spanish (ExplicarFallo),
// OK button only, titled "Atención": a refusal with the exclamation icon, a
// database failure with the critical one. noHecho: "no se ha leído la hoja 3".
void AvisarFallo(QWidget *padre, const Fallo &e, const QString &noHecho, const QString &queda = {});

// Runs dialogo modally and returns its result.
int MostrarModal(QDialog *dialogo);

// The application's title, used when a message box has none of its own.
QString TituloAplicacion();

} // namespace Dialogos
