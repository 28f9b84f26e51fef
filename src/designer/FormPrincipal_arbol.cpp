// The plan tree by years.
#include "designer/FormPrincipal.h"

#include "designer/Controles.h"

#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "widgets/Pulsacion.h"
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

// An item of the tree: everything it shows (text, picture, tooltip, font)
// and carries (the node's key, kind, year and sheet) is answered from its
// node's values, held in the item, so that building ten thousand of them
// stores nothing more and a rebuild can give an item another node's values
// in place. A value set on the item afterwards (a year's background; never
// its text, which is the node's) is stored as usual and wins.
class ItemArbol : public QTreeWidgetItem
{
public:
    explicit ItemArbol(const ArbolPlan::Nodo &nodo) : QTreeWidgetItem(UserType) { tomar(nodo); }

    bool negrita() const { return m_negrita; }

    // Takes another node's values, as a new item would show them (no
    // background); true when anything shown changed. The caller tells the
    // view.
    bool asignar(const ArbolPlan::Nodo &nodo)
    {
        if (QTreeWidgetItem::data(0, Qt::BackgroundRole).isValid())
            setData(0, Qt::BackgroundRole, QVariant());
        const bool cambia = nodo.texto != m_texto || nodo.imagen != m_imagen || nodo.negrita != m_negrita
                            || nodo.tipo != m_tipo;
        tomar(nodo);
        return cambia;
    }

    QVariant data(int columna, int rol) const override
    {
        if (columna != 0)
            return QTreeWidgetItem::data(columna, rol);
        if (rol == Qt::DisplayRole || rol == Qt::EditRole)
            return m_texto;
        QVariant v = QTreeWidgetItem::data(columna, rol);
        if (v.isValid())
            return v;
        switch (rol) {
        case Qt::DecorationRole:
            return icono(m_imagen);
        case Qt::ToolTipRole:
            // A plan row's text is wider than the tree: the whole of it on hovering.
            return m_tipo == ArbolPlan::TipoNodo::Fila ? QVariant(m_texto) : v;
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
    void tomar(const ArbolPlan::Nodo &nodo)
    {
        m_texto = nodo.texto;
        m_clave = nodo.clave;
        m_tipo = nodo.tipo;
        m_imagen = nodo.imagen;
        m_negrita = nodo.negrita;
        m_año = nodo.año;
        m_hoja = nodo.hoja;
    }

    QString m_texto;
    QString m_clave;
    ArbolPlan::TipoNodo m_tipo = ArbolPlan::TipoNodo::Fila;
    int m_imagen = 0;
    bool m_negrita = false;
    int m_año = 0;
    int m_hoja = 0;
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

// Makes the children of an item those of its node. The items there are kept
// and take the nodes' values (a rebuild mostly shows what it showed before,
// or as many rows): only the rows added or gone are created or deleted, and
// the view is told once per item whose children changed.
void igualarHijos(QTreeWidget *arbol, QTreeWidgetItem *item, const ArbolPlan::Nodo &nodo)
{
    const int quedan = std::min<int>(item->childCount(), nodo.hijos.size());
    bool cambia = false;
    for (int i = 0; i < quedan; ++i) {
        cambia = static_cast<ItemArbol *>(item->child(i))->asignar(nodo.hijos.at(i)) || cambia;
        igualarHijos(arbol, item->child(i), nodo.hijos.at(i));
    }
    if (cambia)
        emit arbol->model()->dataChanged(arbol->indexFromItem(item->child(0)),
                                         arbol->indexFromItem(item->child(quedan - 1)));
    if (quedan == 0)
        qDeleteAll(item->takeChildren());
    while (item->childCount() > quedan)
        delete item->takeChild(item->childCount() - 1);
    QList<QTreeWidgetItem *> nuevos;
    for (int i = quedan; i < nodo.hijos.size(); ++i)
        nuevos.append(crearItem(nodo.hijos.at(i)));
    item->addChildren(nuevos);
}

// Expands the items whose node says so (an item can only be expanded once it
// stands in the tree), and folds the others.
void expandir(QTreeWidgetItem *item, const ArbolPlan::Nodo &nodo)
{
    if (item->isExpanded() != nodo.expandido)
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
// item's size hint plus its indentation), the items standing as their nodes
// say (expanded or not). Every text is first sized roughly from the nodes;
// only the few near the widest are measured through the view.
void ajustarColumna(QTreeWidget *arbol, const ArbolPlan::Nodo &raiz)
{
    struct Medida
    {
        QTreeWidgetItem *padre; // null for the root
        int fila;
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
    const std::function<void(const ArbolPlan::Nodo &, QTreeWidgetItem *, int, int)> medir
        = [&](const ArbolPlan::Nodo &nodo, QTreeWidgetItem *padre, int fila, int nivel) {
              const qreal e = (nodo.negrita ? negrita : normal)(nodo.texto) + sangria * (nivel + decorada);
              medidas.append({padre, fila, nivel, e});
              mayor = std::max(mayor, e);
              if (nodo.expandido) {
                  QTreeWidgetItem *item = padre ? padre->child(fila) : arbol->topLevelItem(fila);
                  for (int i = 0; i < nodo.hijos.size(); ++i)
                      medir(nodo.hijos.at(i), item, i, nivel + 1);
              }
          };
    medir(raiz, nullptr, 0, 0);
    // Room for kerning and rounding (a few pixels on the longest rows); the
    // picture and spacing the view adds are the same for every row.
    const qreal umbral = mayor - 8 - mayor / 100;
    // A plain row's measure depends on its text only, while the font and the
    // picture's size stay: a rebuild mostly measures the texts it measured
    // before.
    static QHash<QString, int> medidos;
    static QString medidosCon;
    const QString con = arbol->font().key() + QString::number(arbol->iconSize().width());
    if (con != medidosCon || medidos.size() > 100000) {
        medidos.clear();
        medidosCon = con;
    }
    int ancho = 0;
    for (const Medida &m : medidas)
        if (m.estimada >= umbral) {
            auto *item = static_cast<ItemArbol *>(m.padre ? m.padre->child(m.fila) : arbol->topLevelItem(m.fila));
            auto it = item->negrita() ? medidos.end() : medidos.find(item->text(0));
            const int medido = it != medidos.end() ? it.value()
                                                   : arbol->sizeHintForIndex(arbol->indexFromItem(item)).width();
            if (it == medidos.end() && !item->negrita())
                medidos.insert(item->text(0), medido);
            ancho = std::max(ancho, medido + sangria * (m.nivel + decorada));
        }
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
    // No plot, no tree.
    if (ArbolAños.raiz.clave.isEmpty()) {
        arbolaños->clear();
        return;
    }
    if (arbolaños->topLevelItemCount() == 1) {
        QTreeWidgetItem *raiz = arbolaños->topLevelItem(0);
        if (static_cast<ItemArbol *>(raiz)->asignar(ArbolAños.raiz))
            emit arbolaños->model()->dataChanged(arbolaños->indexFromItem(raiz), arbolaños->indexFromItem(raiz));
        igualarHijos(arbolaños, raiz, ArbolAños.raiz);
    } else {
        arbolaños->clear();
        arbolaños->addTopLevelItem(crearItem(ArbolAños.raiz));
    }
    expandir(arbolaños->topLevelItem(0), ArbolAños.raiz);
    ajustarColumna(arbolaños, ArbolAños.raiz);

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
    // The item that was current before this click, to put back when the
    // gesture is given up (a key press acts on the current item itself).
    const QModelIndex antes = m_nodoAlPulsar.isValid() ? QModelIndex(m_nodoAlPulsar) : arbolaños->currentIndex();
    m_nodoAlPulsar = QPersistentModelIndex();
    QTreeWidgetItem *nodo = arbolaños->currentItem();
    if (!nodo)
        return;
    // What the node says is taken now: storing the open sheet first rebuilds
    // the tree, and its items may then hold other rows.
    const ArbolPlan::TipoNodo tipo = tipoDe(nodo);
    const int año = nodo->data(0, RolAño).toInt();
    const int hoja = nodo->data(0, RolHoja).toInt();
    const QString texto = nodo->text(0);
    if (tipo == ArbolPlan::TipoNodo::Parcela)
        return;
    if (tipo == ArbolPlan::TipoNodo::Fila
        && (Map1->CursorMode() != MapaControl::cmSelection || Map1->NumLayers() == 0))
        return;
    if (!SoltarHoja()) {
        // Put back where it was, the view not scrolled to it.
        const QSignalBlocker bloqueo(arbolaños);
        const bool desplazar = arbolaños->hasAutoScroll();
        arbolaños->setAutoScroll(false);
        arbolaños->setCurrentIndex(antes);
        arbolaños->setAutoScroll(desplazar);
        return;
    }
    QTreeWidgetItem *nodoAño = NodoArbol(ArbolPlan::ClaveAño(año));

    if (tipo == ArbolPlan::TipoNodo::Año) {
        // One year marked: the clicked one.
        QTreeWidgetItem *raiz = nodoAño ? nodoAño->parent() : nullptr;
        for (int i = 0; raiz && i < raiz->childCount(); ++i)
            raiz->child(i)->setBackground(0, ColorDesdeEmpaquetado(ColorAñoNoElegido));
        if (nodoAño) {
            nodoAño->setBackground(0, ColorDesdeEmpaquetado(ColorAñoElegido));
            const QSignalBlocker bloqueo(arbolaños);
            arbolaños->setCurrentItem(nodoAño);
        }
        Sesion.elegirAño(año);
        ResaltarHoja({});
        refrescaMapa();
        return;
    }
    for (int i = 0; nodoAño && i < nodoAño->childCount(); ++i) {
        if (nodoAño->child(i)->text(0) == texto) {
            const QSignalBlocker bloqueo(arbolaños);
            arbolaños->setCurrentItem(nodoAño->child(i));
            break;
        }
    }
    FrameCultivo->show();
    Controles::rotular(FrameCultivo, QStringLiteral("Cultivo de hoja :") + QString::number(hoja));
    ResaltarHojaPorNumero(hoja);
    PonerTextoPanel(QStringLiteral("Selecciona el cultivo que desees para esa hoja"));
    CargarHojaElegida(hoja, año);
}

void FormPrincipal::conectarEventosArbol()
{
    new AlMostrarArbol(arbolaños);
    AlApretar(arbolaños->viewport(), [this] { m_nodoAlPulsar = arbolaños->currentIndex(); });
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
            if (QTreeWidgetItem *nodo = arbolaños->currentItem()) {
                m_nodoAlPulsar = arbolaños->currentIndex();
                emit arbolaños->itemClicked(nodo, 0);
            }
        }, Qt::WidgetShortcut);
}
