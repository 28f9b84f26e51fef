// Printing the plan tree on the chosen printer.
#include "designer/FormPrincipal.h"

#include "auxiliary/ImpresionArbol.h"
#include "widgets/Dialogos.h"

#include <QComboBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTreeWidget>

namespace {

void avisar(QWidget *padre, const QString &texto)
{
    Dialogos::MsgBox(padre, texto, Dialogos::SoloAceptar, Dialogos::Exclamacion, QStringLiteral("Atención"));
}

} // namespace

void FormPrincipal::Btimprimir_Click()
{
    const QStringList impresoras = Printers ? Printers() : QPrinterInfo::availablePrinterNames();
    if (impresoras.isEmpty()) {
        avisar(this, QStringLiteral("No hay ninguna impresora instalada: no se puede imprimir el plan."));
        return;
    }
    // The last printer of that name; none keeps the current one.
    for (const QString &nombre : impresoras)
        if (nombre == ComboImpresoras[0]->currentText())
            Printer = nombre;
    QString nombre = Printer;
    if (nombre.isEmpty())
        nombre = QPrinterInfo::defaultPrinterName();
    if (nombre.isEmpty() || !impresoras.contains(nombre))
        nombre = impresoras.first();

    ImpresionArbol::Arbol arbol;
    if (!ArbolAños.raiz.clave.isEmpty())
        arbol.Nodes.append(ArbolAños.raiz);
    arbol.LineStyle = arbolaños->rootIsDecorated() ? 1 : 0;
    arbol.ImageList = &ArbolPlan::RutaImagen;

    const QString rechazo = QStringLiteral("La impresora «%1» no ha aceptado el trabajo: el plan no se ha impreso.");
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setPrinterName(nombre);
    impresora.setDocName(QStringLiteral("Huerta - ") + ArbolPlan::TextoRaiz(Sesion.parcela()));
    ImpresionArbol::DestinoImpresora destino(impresora);
    if (impresora.printerName() != nombre || !destino.Empezar()) {
        avisar(this, rechazo.arg(nombre));
        return;
    }
    // The outline starts one text line below the top of the page.
    destino.Print(QString());
    ImpresionArbol::ImprimirArbol(arbol, destino);
    if (!destino.EndDoc())
        avisar(this, rechazo.arg(nombre));
}

void FormPrincipal::conectarEventosImprimir()
{
    connect(Btimprimir, &QPushButton::clicked, this, [this] { Btimprimir_Click(); });
}
