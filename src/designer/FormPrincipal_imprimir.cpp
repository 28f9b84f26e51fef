// Printing the plan tree on the chosen printer.
#include "designer/FormPrincipal.h"

#include "auxiliary/ImpresionArbol.h"
#include "core/Conexion.h"
#include "widgets/Dialogos.h"

#include <QComboBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTreeWidget>

void FormPrincipal::Btimprimir_Click()
{
    const QStringList impresoras = Printers ? Printers() : QPrinterInfo::availablePrinterNames();
    if (impresoras.isEmpty()) {
        Dialogos::AvisarFallo(this, Rechazo(QStringLiteral("No hay ninguna impresora instalada: no se puede imprimir el"
                                                           " plan.")),
                              {});
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

    const Rechazo rechazo(
        QStringLiteral("La impresora «%1» no ha aceptado el trabajo: el plan no se ha impreso.").arg(nombre));
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setPrinterName(nombre);
    impresora.setDocName(QStringLiteral("Huerta - ") + ArbolPlan::TextoRaiz(Sesion.parcela()));
    ImpresionArbol::DestinoImpresora destino(impresora);
    if (impresora.printerName() != nombre || !destino.Empezar()) {
        Dialogos::AvisarFallo(this, rechazo, {});
        return;
    }
    // The outline starts one text line below the top of the page.
    destino.Print(QString());
    ImpresionArbol::ImprimirArbol(arbol, destino);
    if (!destino.EndDoc())
        Dialogos::AvisarFallo(this, rechazo, {});
}

void FormPrincipal::conectarEventosImprimir()
{
    connect(Btimprimir, &QPushButton::clicked, this, [this] { Btimprimir_Click(); });
}
