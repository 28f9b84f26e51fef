// The plan tree by years.
#include "designer/FormPrincipal.h"

#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "mapa/MapaControl.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

// What each item of the tree carries besides its text and picture.
constexpr int RolClave = Qt::UserRole;
constexpr int RolTipo = Qt::UserRole + 1;
constexpr int RolAño = Qt::UserRole + 2;
constexpr int RolHoja = Qt::UserRole + 3;
constexpr int RolImagen = Qt::UserRole + 4;

// Background of the year chosen by a click, and of the others.
constexpr qint32 ColorAñoElegido = 65535;    // yellow
constexpr qint32 ColorAñoNoElegido = 16777215; // white

ArbolPlan::TipoNodo tipoDe(const QTreeWidgetItem *item)
{
    return static_cast<ArbolPlan::TipoNodo>(item->data(0, RolTipo).toInt());
}

// The node pictures, each read once.
QIcon icono(int imagen)
{
    static QHash<int, QIcon> iconos;
    auto it = iconos.find(imagen);
    if (it == iconos.end())
        it = iconos.insert(imagen, QIcon(ArbolPlan::RutaImagen(imagen)));
    return it.value();
}

QTreeWidgetItem *crearItem(const ArbolPlan::Nodo &nodo)
{
    auto *item = new QTreeWidgetItem(QStringList{nodo.texto});
    item->setData(0, RolClave, nodo.clave);
    item->setData(0, RolTipo, static_cast<int>(nodo.tipo));
    item->setData(0, RolAño, nodo.año);
    item->setData(0, RolHoja, nodo.hoja);
    item->setData(0, RolImagen, nodo.imagen);
    item->setIcon(0, icono(nodo.imagen));
    // A plan row's text is wider than the tree: the whole of it on hovering.
    if (nodo.tipo == ArbolPlan::TipoNodo::Fila)
        item->setToolTip(0, nodo.texto);
    if (nodo.negrita) {
        QFont f = item->font(0);
        f.setBold(true);
        item->setFont(0, f);
    }
    for (const ArbolPlan::Nodo &hijo : nodo.hijos)
        item->addChild(crearItem(hijo));
    return item;
}

// Expands the items whose node says so (an item can only be expanded once it
// stands in the tree).
void expandir(QTreeWidgetItem *item, const ArbolPlan::Nodo &nodo)
{
    item->setExpanded(nodo.expandido);
    for (int i = 0; i < item->childCount() && i < nodo.hijos.size(); ++i)
        expandir(item->child(i), nodo.hijos.at(i));
}

// Scrolls to show the year being planned with its crops, and the root when it
// fits too.
void mostrarAñoActual(QTreeWidget *arbol, int año)
{
    // Lay out the items now, so that the scroll bars stand where they will.
    arbol->doItemsLayout();
    arbol->scrollToTop();
    QTreeWidgetItem *actual = nullptr;
    if (QTreeWidgetItem *raiz = arbol->topLevelItem(0))
        for (int i = 0; i < raiz->childCount() && !actual; ++i)
            if (raiz->child(i)->data(0, RolClave).toString() == ArbolPlan::ClaveAño(año))
                actual = raiz->child(i);
    if (actual) {
        if (actual->childCount() > 0)
            arbol->scrollToItem(actual->child(actual->childCount() - 1));
        arbol->scrollToItem(actual);
    }
    arbol->horizontalScrollBar()->setValue(0);
}

// The year to scroll to once the tree is shown (a property of the tree).
constexpr const char *kDesplazarAlMostrar = "huertaDesplazarAlMostrar";

// Watches the tree for being shown, to scroll as a rebuild asked while it was
// hidden.
class AlMostrarArbol : public QObject
{
public:
    explicit AlMostrarArbol(QTreeWidget *arbol) : QObject(arbol), m_arbol(arbol)
    {
        arbol->installEventFilter(this);
    }

    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        if (objeto == m_arbol && evento->type() == QEvent::Show) {
            const QVariant año = m_arbol->property(kDesplazarAlMostrar);
            if (año.isValid()) {
                m_arbol->setProperty(kDesplazarAlMostrar, QVariant());
                mostrarAñoActual(m_arbol, año.toInt());
            }
        }
        return false;
    }

private:
    QTreeWidget *m_arbol;
};

} // namespace

QTreeWidgetItem *FormPrincipal::NodoArbol(const QString &clave) const
{
    if (clave.isEmpty() || arbolaños->topLevelItemCount() == 0)
        return nullptr;
    QTreeWidgetItem *raiz = arbolaños->topLevelItem(0);
    if (raiz->data(0, RolClave).toString() == clave)
        return raiz;
    for (int i = 0; i < raiz->childCount(); ++i)
        if (raiz->child(i)->data(0, RolClave).toString() == clave)
            return raiz->child(i);
    return nullptr;
}

void FormPrincipal::RefrescarArbolAños()
{
    // Read everything first: a failure leaves the tree as it was.
    ArbolPlan::Arbol nuevo;
    if (!ParcelaActual.isEmpty()) {
        Conexion con;
        nuevo = ArbolPlan::CargarArbol(con, ParcelaActual, QDate::currentDate().year());
    }
    MostrarArbol(nuevo);
}

void FormPrincipal::MostrarArbol(const ArbolPlan::Arbol &nuevo)
{
    ArbolAños = nuevo;

    const QSignalBlocker bloqueo(arbolaños);
    arbolaños->clear();
    // No plot, no tree.
    if (ArbolAños.raiz.clave.isEmpty())
        return;
    QTreeWidgetItem *raiz = crearItem(ArbolAños.raiz);
    arbolaños->addTopLevelItem(raiz);
    expandir(raiz, ArbolAños.raiz);
    arbolaños->resizeColumnToContents(0);

    if (QTreeWidgetItem *elegido = NodoArbol(ArbolAños.claveSeleccionada)) {
        // Selected, not scrolled to: the view shows the year being planned.
        const bool auto_ = arbolaños->hasAutoScroll();
        arbolaños->setAutoScroll(false);
        arbolaños->setCurrentItem(elegido);
        arbolaños->setAutoScroll(auto_);
    }
    // A tree not shown yet has no size to scroll in: it scrolls when shown.
    if (arbolaños->isVisible()) {
        arbolaños->setProperty(kDesplazarAlMostrar, QVariant());
        mostrarAñoActual(arbolaños, AñoActual);
    } else {
        arbolaños->setProperty(kDesplazarAlMostrar, AñoActual);
    }
}

void FormPrincipal::arbolaños_Click()
{
    QTreeWidgetItem *nodo = arbolaños->currentItem();
    if (!nodo)
        return;

    switch (tipoDe(nodo)) {
    case ArbolPlan::TipoNodo::Año: {
        // One year marked: the clicked one.
        QTreeWidgetItem *raiz = nodo->parent();
        for (int i = 0; raiz && i < raiz->childCount(); ++i)
            raiz->child(i)->setBackground(0, ColorDesdeEmpaquetado(ColorAñoNoElegido));
        nodo->setBackground(0, ColorDesdeEmpaquetado(ColorAñoElegido));
        AñoActual = nodo->data(0, RolAño).toInt();
        Sesion.soltarHoja();
        ResaltarHoja({});
        refrescaMapa();
        break;
    }
    case ArbolPlan::TipoNodo::Fila: {
        HojaActual = nodo->data(0, RolHoja).toInt();
        AñoActual = nodo->data(0, RolAño).toInt();
        if (Map1->CursorMode() != MapaControl::cmSelection || Map1->NumLayers() == 0)
            return;
        FrameCultivo->show();
        PonerTitulo(FrameCultivo, QStringLiteral("Cultivo de hoja :") + QString::number(HojaActual));
        ResaltarHojaPorNumero(HojaActual);
        PonerTextoPanel(QStringLiteral("Selecciona el cultivo que desees para esa hoja"));
        CargarHojaElegida();
        break;
    }
    case ArbolPlan::TipoNodo::Parcela:
        break;
    }
}

void FormPrincipal::conectarEventosArbol()
{
    new AlMostrarArbol(arbolaños);
    connect(arbolaños, &QTreeWidget::itemClicked, this, [this] {
        try {
            arbolaños_Click();
        } catch (const ErrorBD &e) {
            Dialogos::MsgBox(this, e.texto(), Dialogos::SoloAceptar, Dialogos::Critico);
        }
    });
}
