#include "widgets/CuadriculaFlex.h"

#include "widgets/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

QColor ColorDesdeEmpaquetado(qint32 c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

qint32 EmpaquetarColor(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

namespace {

const int kRolImagen = Qt::UserRole + 1;
const qint32 kBlanco = 0xFFFFFF;
const qint32 kGrisFijo = 0xC8D0D4; // fixed cells (packed, BGR)

// A cell that is read aloud by the name its grid gives it.
class Celda : public QTableWidgetItem
{
public:
    QVariant data(int rol) const override
    {
        if (rol == Qt::AccessibleTextRole)
            if (auto *g = qobject_cast<const CuadriculaFlex *>(tableWidget()))
                return g->nombreCelda(row(), column());
        return QTableWidgetItem::data(rol);
    }
};

// A header section (hidden, but still read by assistive technology): named
// as the fixed cell of its column (row 0) or of its row (column 0).
class Cabecera : public QTableWidgetItem
{
public:
    Cabecera(int fila, int columna) : m_fila(fila), m_columna(columna) {}
    QVariant data(int rol) const override
    {
        if (rol == Qt::AccessibleTextRole)
            if (auto *g = qobject_cast<const CuadriculaFlex *>(tableWidget()))
                return g->nombreCelda(m_fila, m_columna);
        return QTableWidgetItem::data(rol);
    }

private:
    int m_fila, m_columna;
};

// Draws background, centred picture and centred text of a cell.
class DelegadoCelda : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &opcion, const QModelIndex &indice) const override
    {
        p->save();
        const QVariant fondo = indice.data(Qt::BackgroundRole);
        p->fillRect(opcion.rect, fondo.canConvert<QBrush>() ? fondo.value<QBrush>() : QBrush(Qt::white));
        const QPixmap img = indice.data(kRolImagen).value<QPixmap>();
        if (!img.isNull()) {
            QSize s = img.size().scaled(opcion.rect.size() - QSize(2, 2), Qt::KeepAspectRatio);
            QRect r(QPoint(0, 0), s);
            r.moveCenter(opcion.rect.center());
            p->drawPixmap(r, img);
        }
        const QString t = indice.data(Qt::DisplayRole).toString();
        if (!t.isEmpty()) {
            p->setPen(opcion.palette.color(QPalette::Text));
            const QVariant al = indice.data(Qt::TextAlignmentRole);
            const int alineacion = al.isValid() ? al.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter);
            const int margen = opcion.rect.width() > 40 ? 2 : 0;
            p->drawText(opcion.rect.adjusted(margen, 0, -margen, 0), alineacion, t);
        }
        p->setPen(QColor(128, 128, 128));
        p->drawLine(opcion.rect.topRight(), opcion.rect.bottomRight());
        p->drawLine(opcion.rect.bottomLeft(), opcion.rect.bottomRight());
        const auto *g = qobject_cast<const CuadriculaFlex *>(opcion.widget);
        if ((opcion.state & QStyle::State_HasFocus) && g && g->conMarca()) { // the keyboard's current cell
            p->setPen(QPen(opcion.palette.color(QPalette::Highlight), 2));
            p->drawRect(QRectF(opcion.rect).adjusted(1, 1, -2, -2));
        }
        p->restore();
    }
};

} // namespace

CuadriculaFlex::CuadriculaFlex(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    // A click takes the focus too (a picker clicked before lets it go), but
    // only the keyboard shows where it is.
    setFocusPolicy(Qt::StrongFocus);
    setTabKeyNavigation(false); // Tab leaves the grid; the arrows move in it
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setItemDelegate(new DelegadoCelda(this));
    QFont letra = font();
    letra.setPointSizeF(7.5);
    setFont(letra);
    connect(this, &QTableWidget::cellClicked, this, [this](int f, int c) {
        setCelda(f, c);
        emit celdaPulsada(f, c);
    });
}

QTableWidgetItem *CuadriculaFlex::item(int f, int c) const
{
    if (f < 0 || c < 0 || f >= rowCount() || c >= columnCount())
        return nullptr;
    QTableWidgetItem *it = QTableWidget::item(f, c);
    if (!it) {
        it = new Celda;
        const bool fija = (f == 0 || c == 0);
        it->setBackground(ColorDesdeEmpaquetado(fija ? kGrisFijo : kBlanco));
        const QVariant al = horizontalHeaderItem(c) ? horizontalHeaderItem(c)->data(Qt::TextAlignmentRole) : QVariant();
        if (al.isValid())
            it->setTextAlignment(al.toInt());
        const_cast<CuadriculaFlex *>(this)->setItem(f, c, it);
    }
    return it;
}

void CuadriculaFlex::setFilas(int filas)
{
    setRowCount(filas);
    for (int f = 0; f < filas; ++f)
        if (!verticalHeaderItem(f))
            setVerticalHeaderItem(f, new Cabecera(f, 0));
}

void CuadriculaFlex::setColumnas(int columnas)
{
    setColumnCount(columnas);
    for (int c = 0; c < columnas; ++c)
        if (!horizontalHeaderItem(c))
            setHorizontalHeaderItem(c, new Cabecera(0, c));
}

void CuadriculaFlex::setAltoFilaTwips(int fila, int twips) { setRowHeight(fila, Twips::APixelesY(twips)); }
void CuadriculaFlex::setAnchoColumnaTwips(int columna, int twips) { setColumnWidth(columna, Twips::APixelesX(twips)); }
int CuadriculaFlex::anchoColumnaTwips(int columna) const { return Twips::DesdePixelesX(columnWidth(columna)); }

void CuadriculaFlex::setColumnaCentrada(int columna)
{
    if (!horizontalHeaderItem(columna))
        setHorizontalHeaderItem(columna, new Cabecera(0, columna));
    horizontalHeaderItem(columna)->setData(Qt::TextAlignmentRole, int(Qt::AlignCenter));
    for (int f = 0; f < rowCount(); ++f)
        item(f, columna)->setTextAlignment(Qt::AlignCenter);
}

void CuadriculaFlex::setCelda(int fila, int columna)
{
    m_fila = fila;
    m_columna = columna;
}

void CuadriculaFlex::setTexto(int fila, int columna, const QString &texto)
{
    if (QTableWidgetItem *it = item(fila, columna))
        it->setText(texto);
}

QString CuadriculaFlex::texto(int fila, int columna) const
{
    const QTableWidgetItem *it = QTableWidget::item(fila, columna);
    return it ? it->text() : QString();
}

void CuadriculaFlex::setColorFondo(int fila, int columna, qint32 color)
{
    if (QTableWidgetItem *it = item(fila, columna))
        it->setBackground(ColorDesdeEmpaquetado(color));
}

qint32 CuadriculaFlex::colorFondo(int fila, int columna) const
{
    if (QTableWidgetItem *it = item(fila, columna))
        return EmpaquetarColor(it->background().color());
    return kBlanco;
}

void CuadriculaFlex::setImagen(int fila, int columna, const QPixmap &imagen)
{
    if (QTableWidgetItem *it = item(fila, columna))
        it->setData(kRolImagen, imagen);
}

void CuadriculaFlex::quitarImagen(int fila, int columna)
{
    if (QTableWidgetItem *it = QTableWidget::item(fila, columna))
        it->setData(kRolImagen, QVariant());
}

QPixmap CuadriculaFlex::imagen(int fila, int columna) const
{
    const QTableWidgetItem *it = QTableWidget::item(fila, columna);
    return it ? it->data(kRolImagen).value<QPixmap>() : QPixmap();
}

QString CuadriculaFlex::nombreCelda(int fila, int columna) const
{
    const QString nombre = m_nombreCelda ? m_nombreCelda(fila, columna) : QString();
    return nombre.isEmpty() ? texto(fila, columna) : nombre;
}

void CuadriculaFlex::keyPressEvent(QKeyEvent *e)
{
    ponerMarca(true);
    const QModelIndex actual = currentIndex();
    if (actual.isValid() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space)) {
        // What a click on the cell raises, in the same order.
        emit cellPressed(actual.row(), actual.column());
        emit cellClicked(actual.row(), actual.column());
        e->accept();
        return;
    }
    QTableWidget::keyPressEvent(e);
}

void CuadriculaFlex::focusInEvent(QFocusEvent *e)
{
    // The keyboard starts where the last click left the current cell; a
    // click makes its own cell the current one.
    m_marca = e->reason() != Qt::MouseFocusReason;
    if (m_marca && !currentIndex().isValid() && rowCount() > 1 && columnCount() > 1)
        setCurrentCell(qMax(1, m_fila), qMax(1, m_columna));
    QTableWidget::focusInEvent(e);
}

void CuadriculaFlex::ponerMarca(bool con)
{
    if (m_marca == con)
        return;
    m_marca = con;
    viewport()->update();
}

void CuadriculaFlex::mousePressEvent(QMouseEvent *e)
{
    ponerMarca(false);
    QTableWidget::mousePressEvent(e);
}

QRect CuadriculaFlex::rectCelda(int fila, int columna) const
{
    return QRect(columnViewportPosition(columna) + viewport()->x(), rowViewportPosition(fila) + viewport()->y(),
                 columnWidth(columna), rowHeight(fila));
}
