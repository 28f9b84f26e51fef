#include "widgets/CuadriculaFlex.h"

#include "widgets/Twips.h"

#include <QHeaderView>
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
    setFocusPolicy(Qt::NoFocus);
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
        it = new QTableWidgetItem;
        const bool fija = (f == 0 || c == 0);
        it->setBackground(ColorDesdeEmpaquetado(fija ? kGrisFijo : kBlanco));
        const QVariant al = horizontalHeaderItem(c) ? horizontalHeaderItem(c)->data(Qt::TextAlignmentRole) : QVariant();
        if (al.isValid())
            it->setTextAlignment(al.toInt());
        const_cast<CuadriculaFlex *>(this)->setItem(f, c, it);
    }
    return it;
}

void CuadriculaFlex::setFilas(int filas) { setRowCount(filas); }
void CuadriculaFlex::setColumnas(int columnas) { setColumnCount(columnas); }

void CuadriculaFlex::setAltoFilaTwips(int fila, int twips) { setRowHeight(fila, Twips::APixelesY(twips)); }
void CuadriculaFlex::setAnchoColumnaTwips(int columna, int twips) { setColumnWidth(columna, Twips::APixelesX(twips)); }
int CuadriculaFlex::anchoColumnaTwips(int columna) const { return Twips::DesdePixelesX(columnWidth(columna)); }

void CuadriculaFlex::setColumnaCentrada(int columna)
{
    if (!horizontalHeaderItem(columna))
        setHorizontalHeaderItem(columna, new QTableWidgetItem);
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

bool CuadriculaFlex::tieneImagen(int fila, int columna) const
{
    const QTableWidgetItem *it = QTableWidget::item(fila, columna);
    return it && !it->data(kRolImagen).value<QPixmap>().isNull();
}

QRect CuadriculaFlex::rectCelda(int fila, int columna) const
{
    return QRect(columnViewportPosition(columna) + viewport()->x(), rowViewportPosition(fila) + viewport()->y(),
                 columnWidth(columna), rowHeight(fila));
}
