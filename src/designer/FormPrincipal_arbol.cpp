// The plan tree by years.
#include "designer/FormPrincipal.h"

#include "designer/Controles.h"

#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "mapa/MapaControl.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>

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

// An item of the tree: its text is stored, the rest (picture, tooltip, font,
// the node's key, kind, year and sheet) is answered from its node, so that
// building ten thousand of them stores nothing more. A value set on the item
// afterwards (a year's background) is stored as usual and wins.
class ItemArbol : public QTreeWidgetItem
{
public:
    explicit ItemArbol(const ArbolPlan::Nodo &nodo)
        : QTreeWidgetItem(QStringList{nodo.texto}, UserType), m_clave(nodo.clave), m_tipo(nodo.tipo),
          m_imagen(nodo.imagen), m_negrita(nodo.negrita), m_año(nodo.año), m_hoja(nodo.hoja)
    {
    }

    bool negrita() const { return m_negrita; }

    QVariant data(int columna, int rol) const override
    {
        QVariant v = QTreeWidgetItem::data(columna, rol);
        if (columna != 0 || v.isValid())
            return v;
        switch (rol) {
        case Qt::DecorationRole:
            return icono(m_imagen);
        case Qt::ToolTipRole:
            // A plan row's text is wider than the tree: the whole of it on hovering.
            return m_tipo == ArbolPlan::TipoNodo::Fila ? QTreeWidgetItem::data(0, Qt::DisplayRole) : v;
        case Qt::FontRole:
            if (m_negrita) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return v;
        case RolClave:
            return m_clave;
        case RolTipo:
            return static_cast<int>(m_tipo);
        case RolAño:
            return m_año;
        case RolHoja:
            return m_hoja;
        case RolImagen:
            return m_imagen;
        default:
            return v;
        }
    }

private:
    QString m_clave;
    ArbolPlan::TipoNodo m_tipo;
    int m_imagen;
    bool m_negrita;
    int m_año;
    int m_hoja;
};

QTreeWidgetItem *crearItem(const ArbolPlan::Nodo &nodo)
{
    auto *item = new ItemArbol(nodo);
    if (!nodo.hijos.isEmpty()) {
        QList<QTreeWidgetItem *> hijos;
        hijos.reserve(nodo.hijos.size());
        for (const ArbolPlan::Nodo &hijo : nodo.hijos)
            hijos.append(crearItem(hijo));
        item->addChildren(hijos);
    }
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

// Width of a text as the sum of its characters' advances (no kerning or
// shaping): close to the true width and far cheaper, to pick the items worth
// measuring exactly.
class AnchoAproximado
{
public:
    explicit AnchoAproximado(const QFont &fuente) : m_metricas(fuente)
    {
        for (int c = 0; c < 256; ++c)
            m_latin1[c] = m_metricas.horizontalAdvance(QChar(c));
    }
    qreal operator()(const QString &texto) const
    {
        qreal ancho = 0;
        for (QChar c : texto)
            ancho += c.unicode() < 256 ? m_latin1[c.unicode()] : m_metricas.horizontalAdvance(c);
        return ancho;
    }

private:
    QFontMetricsF m_metricas;
    qreal m_latin1[256];
};

// Sizes the column to its widest shown item, as the view measures one (the
// item's size hint plus its indentation). Every text is first sized
// roughly; only the few near the widest are measured through the view.
void ajustarColumna(QTreeWidget *arbol)
{
    struct Medida
    {
        QTreeWidgetItem *item;
        int nivel;
        qreal estimada;
    };
    const int sangria = arbol->indentation();
    const int decorada = arbol->rootIsDecorated() ? 1 : 0;
    // Every item of the tree is an ItemArbol: plain or bold.
    QFont gruesa;
    gruesa.setBold(true);
    const AnchoAproximado normal(arbol->font());
    const AnchoAproximado negrita(gruesa.resolve(arbol->font()));
    QList<Medida> medidas;
    qreal mayor = 0;
    const std::function<void(QTreeWidgetItem *, int)> medir = [&](QTreeWidgetItem *item, int nivel) {
        const AnchoAproximado &ancho = static_cast<const ItemArbol *>(item)->negrita() ? negrita : normal;
        const qreal e = ancho(item->text(0)) + sangria * (nivel + decorada);
        medidas.append({item, nivel, e});
        mayor = std::max(mayor, e);
        if (item->isExpanded())
            for (int i = 0; i < item->childCount(); ++i)
                medir(item->child(i), nivel + 1);
    };
    for (int i = 0; i < arbol->topLevelItemCount(); ++i)
        medir(arbol->topLevelItem(i), 0);
    // Room for kerning and rounding (a few pixels on the longest rows); the
    // picture and spacing the view adds are the same for every row.
    const qreal umbral = mayor - 8 - mayor / 100;
    int ancho = 0;
    for (const Medida &m : medidas)
        if (m.estimada >= umbral)
            ancho = std::max(ancho, arbol->sizeHintForIndex(arbol->indexFromItem(m.item)).width()
                                        + sangria * (m.nivel + decorada));
    arbol->header()->resizeSection(0, ancho);
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
    if (!Sesion.parcela().isEmpty()) {
        Conexion con;
        nuevo = ArbolPlan::CargarArbol(con, Sesion.parcela(), QDate::currentDate().year());
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
    ajustarColumna(arbolaños);

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
        mostrarAñoActual(arbolaños, Sesion.año());
    } else {
        arbolaños->setProperty(kDesplazarAlMostrar, Sesion.año());
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
        Sesion.elegirAño(nodo->data(0, RolAño).toInt());
        ResaltarHoja({});
        refrescaMapa();
        break;
    }
    case ArbolPlan::TipoNodo::Fila: {
        const int hoja = nodo->data(0, RolHoja).toInt();
        if (Map1->CursorMode() != MapaControl::cmSelection || Map1->NumLayers() == 0)
            return;
        FrameCultivo->show();
        Controles::rotular(FrameCultivo, QStringLiteral("Cultivo de hoja :") + QString::number(hoja));
        ResaltarHojaPorNumero(hoja);
        PonerTextoPanel(QStringLiteral("Selecciona el cultivo que desees para esa hoja"));
        CargarHojaElegida(hoja, nodo->data(0, RolAño).toInt());
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
        } catch (const Fallo &e) {
            Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha leído lo elegido en el árbol"),
                                  QStringLiteral("vuelve a intentarlo"));
        }
    });
    // Return, Enter or Space on the current row: its click.
    for (const int tecla : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        new QShortcut(QKeySequence(tecla), arbolaños, arbolaños, [this] {
            if (QTreeWidgetItem *nodo = arbolaños->currentItem())
                emit arbolaños->itemClicked(nodo, 0);
        }, Qt::WidgetShortcut);
}
