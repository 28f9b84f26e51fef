#include "mapa/MapaControl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRegularExpression>
#include <QRubberBand>

#include <cmath>

namespace {

QColor color(qint32 empaquetado)
{
    return QColor(empaquetado & 0xFF, (empaquetado >> 8) & 0xFF, (empaquetado >> 16) & 0xFF);
}

int boton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int mayusculas(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// One shape of the map as assistive technology sees it.
class FormaAccesible : public QAccessibleInterface
{
public:
    FormaAccesible(MapaControl *mapa, int forma) : m_mapa(mapa), m_forma(forma) {}
    bool isValid() const override { return m_mapa && m_forma < m_mapa->NumFormas(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_mapa ? m_mapa->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_mapa); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString &) override {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_mapa->NombreForma(m_forma) : QString();
    }
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect r = m_mapa->CaminoForma(m_forma).boundingRect().toAlignedRect();
        return QRect(m_mapa->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = s.focusable = true;
        if (!isValid())
            return s;
        s.selected = m_mapa->FormaMarcada(m_forma);
        s.focused = m_mapa->hasFocus() && m_mapa->FormaEnfocada() == m_forma;
        return s;
    }

private:
    QPointer<MapaControl> m_mapa;
    int m_forma;
};

// The map: a list of its shapes. The children's interfaces are made once per
// shape number and kept by Qt's registry.
class MapaAccesible : public QAccessibleWidget
{
public:
    explicit MapaAccesible(MapaControl *mapa) : QAccessibleWidget(mapa, QAccessible::List) {}
    ~MapaAccesible() override
    {
        for (QAccessible::Id id : std::as_const(m_hijos))
            QAccessible::deleteAccessibleInterface(id);
    }
    MapaControl *mapa() const { return static_cast<MapaControl *>(object()); }
    int childCount() const override { return mapa()->NumFormas(); }
    QAccessibleInterface *child(int i) const override
    {
        if (i < 0 || i >= childCount())
            return nullptr;
        while (m_hijos.size() <= i)
            m_hijos.append(QAccessible::registerAccessibleInterface(new FormaAccesible(mapa(), int(m_hijos.size()))));
        return QAccessible::accessibleInterface(m_hijos.at(i));
    }
    int indexOfChild(const QAccessibleInterface *hijo) const override
    {
        for (int i = 0; i < m_hijos.size(); ++i)
            if (QAccessible::accessibleInterface(m_hijos.at(i)) == hijo)
                return i < childCount() ? i : -1;
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        return mapa()->hasFocus() ? child(mapa()->FormaEnfocada()) : nullptr;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint p = mapa()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < childCount(); ++i)
            if (mapa()->CaminoForma(i).contains(p))
                return child(i);
        return nullptr;
    }

private:
    mutable QList<QAccessible::Id> m_hijos;
};

QAccessibleInterface *fabricaAccesible(const QString &, QObject *objeto)
{
    if (auto *mapa = qobject_cast<MapaControl *>(objeto))
        return new MapaAccesible(mapa);
    return nullptr;
}

} // namespace

MapaControl::MapaControl(QWidget *parent) : QWidget(parent)
{
    static const bool fabrica = (QAccessible::installFactory(fabricaAccesible), true);
    Q_UNUSED(fabrica);
    // Reached by Tab, not by a click, so that a mouse user never sees the mark.
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

MapaControl::~MapaControl() = default;

MapaControl::Capa *MapaControl::capa(int handle)
{
    for (Capa &c : m_capas)
        if (c.handle == handle)
            return &c;
    return nullptr;
}

const MapaControl::Capa *MapaControl::capa(int handle) const
{
    for (const Capa &c : m_capas)
        if (c.handle == handle)
            return &c;
    return nullptr;
}

void MapaControl::RemoveAllLayers()
{
    m_capas.clear();
    m_siguiente = 0;
    update();
}

int MapaControl::AddLayer(std::shared_ptr<Shapefile> shapefile, bool visible)
{
    if (!shapefile || !shapefile->abierto())
        return -1;
    Capa c;
    c.handle = m_siguiente++;
    c.shapefile = std::move(shapefile);
    c.visible = visible;
    c.relleno = 0xC0C0C0;
    c.linea = 0;
    m_capas.append(c);
    update();
    return c.handle;
}

Shapefile *MapaControl::GetObject(int handle) const
{
    const Capa *c = capa(handle);
    return c ? c->shapefile.get() : nullptr;
}

QString MapaControl::LayerName(int handle) const
{
    const Capa *c = capa(handle);
    return c ? c->nombre : QString();
}

void MapaControl::setLayerName(int handle, const QString &nombre)
{
    if (Capa *c = capa(handle))
        c->nombre = nombre;
}

bool MapaControl::LayerVisible(int handle) const
{
    const Capa *c = capa(handle);
    return c && c->visible;
}

void MapaControl::setLayerVisible(int handle, bool visible)
{
    if (Capa *c = capa(handle)) {
        c->visible = visible;
        update();
    }
}

qint32 MapaControl::ShapeLayerFillColor(int handle) const
{
    const Capa *c = capa(handle);
    return c ? c->relleno : 0;
}

void MapaControl::setShapeLayerFillColor(int handle, qint32 color)
{
    if (Capa *c = capa(handle)) {
        c->relleno = color;
        c->rellenoForma.clear();
        update();
    }
}

qint32 MapaControl::ShapeLayerLineColor(int handle) const
{
    const Capa *c = capa(handle);
    return c ? c->linea : 0;
}

void MapaControl::setShapeLayerLineColor(int handle, qint32 color)
{
    if (Capa *c = capa(handle)) {
        c->linea = color;
        c->lineaForma.clear();
        update();
    }
}

qint32 MapaControl::ShapeFillColor(int handle, int forma) const
{
    const Capa *c = capa(handle);
    return c ? c->rellenoForma.value(forma, c->relleno) : 0;
}

void MapaControl::setShapeFillColor(int handle, int forma, qint32 color)
{
    Capa *c = capa(handle);
    if (c && forma >= 0 && forma < c->shapefile->NumShapes()) {
        c->rellenoForma.insert(forma, color);
        update();
    }
}

qint32 MapaControl::ShapeLineColor(int handle, int forma) const
{
    const Capa *c = capa(handle);
    return c ? c->lineaForma.value(forma, c->linea) : 0;
}

void MapaControl::setShapeLineColor(int handle, int forma, qint32 color)
{
    Capa *c = capa(handle);
    if (c && forma >= 0 && forma < c->shapefile->NumShapes()) {
        c->lineaForma.insert(forma, color);
        update();
    }
}

void MapaControl::AddLabelEx(int handle, const QString &texto, qint32 color, double x, double y, int justificacion,
                             double rotacion)
{
    Capa *c = capa(handle);
    if (!c || !std::isfinite(x) || !std::isfinite(y))
        return;
    Etiqueta e;
    e.texto = texto;
    e.color = color;
    e.x = x;
    e.y = y;
    e.justificacion = justificacion;
    e.rotacion = std::isfinite(rotacion) ? rotacion : 0;
    c->etiquetas.append(e);
    update();
}

QList<MapaControl::Etiqueta> MapaControl::Etiquetas(int handle) const
{
    const Capa *c = capa(handle);
    return c ? c->etiquetas : QList<Etiqueta>();
}

void MapaControl::setCursorMode(int modo)
{
    m_modo = modo;
    setCursor(modo == cmSelection ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

Extents MapaControl::extension() const
{
    Extents e;
    bool primera = true;
    for (const Capa &c : m_capas) {
        if (!c.visible || c.shapefile->NumShapes() == 0)
            continue;
        const Extents x = c.shapefile->extension();
        if (primera) {
            e = x;
            primera = false;
        } else {
            e.unir(x);
        }
    }
    if (primera) // nothing to show: one map unit per pixel about the origin
        e.SetBounds(0, 0, 0, 0, 0, 0);
    return e;
}

MapaAPixel MapaControl::encuadre() const
{
    return MapaAPixel(extension(), size());
}

void MapaControl::PixelToProj(double x, double y, double &px, double &py) const
{
    const QPointF mapa = encuadre().aMapa(QPointF(x, y));
    px = mapa.x();
    py = mapa.y();
}

void MapaControl::ProjToPixel(double px, double py, double &x, double &y) const
{
    const QPointF pixel = encuadre().aPixel(QPointF(px, py));
    x = pixel.x();
    y = pixel.y();
}

void MapaControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);

    const QTransform t = encuadre().transformacion();

    for (const Capa &c : m_capas) {
        if (!c.visible)
            continue;
        const Shapefile &sf = *c.shapefile;
        // Fills first, then outlines, so that a coloured outline shows whole.
        QList<QPainterPath> caminos;
        for (int i = 0; i < sf.NumShapes(); ++i) {
            QPainterPath camino;
            camino.setFillRule(Qt::OddEvenFill);
            for (const QPolygonF &anillo : sf.ShapeRings(i))
                camino.addPolygon(t.map(anillo));
            camino.closeSubpath();
            caminos.append(camino);
            p.fillPath(camino, color(c.rellenoForma.value(i, c.relleno)));
        }
        for (int i = 0; i < caminos.size(); ++i) {
            const bool propia = c.lineaForma.contains(i);
            QPen pluma(color(propia ? c.lineaForma.value(i) : c.linea), propia ? 2 : 1);
            pluma.setCosmetic(true);
            p.strokePath(caminos.at(i), pluma);
        }
        for (const Etiqueta &e : c.etiquetas) {
            QString texto = e.texto;
            texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            while (texto.endsWith(QLatin1Char('\n')))
                texto.chop(1);
            const QPointF punto = t.map(QPointF(e.x, e.y));
            const QRectF medida = p.fontMetrics().boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft, texto);
            QRectF caja(QPointF(0, -medida.height() / 2), medida.size());
            int alineacion = Qt::AlignVCenter;
            if (e.justificacion == hjCenter) {
                caja.moveLeft(-medida.width() / 2);
                alineacion |= Qt::AlignHCenter;
            } else if (e.justificacion == hjRight) {
                caja.moveLeft(-medida.width());
                alineacion |= Qt::AlignRight;
            } else {
                alineacion |= Qt::AlignLeft;
            }
            p.save();
            p.translate(punto);
            p.rotate(-e.rotacion);
            p.setPen(color(e.color));
            p.drawText(caja, alineacion, texto);
            p.restore();
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus() && m_enfocada >= 0 && m_enfocada < NumFormas()) {
        // The focus mark: a thick dashed outline inside the shape (half the pen
        // width, the outer half clipped away).
        QPen pluma(palette().color(QPalette::Highlight), 6, Qt::DashLine);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(CaminoForma(m_enfocada));
        p.strokePath(CaminoForma(m_enfocada), pluma);
    }
}

int MapaControl::NumFormas() const
{
    return m_capas.isEmpty() || !m_capas.first().visible ? 0 : m_capas.first().shapefile->NumShapes();
}

QString MapaControl::NombreForma(int forma) const
{
    if (forma < 0 || forma >= NumFormas())
        return QString();
    // The label drawn inside the shape, its line breaks as CR LF.
    const Capa &c = m_capas.first();
    const QPainterPath camino = CaminoForma(forma);
    const QTransform t = encuadre().transformacion();
    for (const Etiqueta &e : c.etiquetas) {
        if (!camino.contains(t.map(QPointF(e.x, e.y))))
            continue;
        QStringList lineas = e.texto.split(QRegularExpression(QStringLiteral("[\\r\\n]+")), Qt::SkipEmptyParts);
        if (lineas.isEmpty())
            break;
        const QString titulo = lineas.takeFirst().remove(QLatin1Char(':')).simplified();
        return lineas.isEmpty() ? titulo : titulo + QStringLiteral(": ") + lineas.join(QStringLiteral(", "));
    }
    return QString::number(forma + 1);
}

bool MapaControl::FormaMarcada(int forma) const
{
    return forma >= 0 && forma < NumFormas() && m_capas.first().rellenoForma.contains(forma);
}

QPainterPath MapaControl::CaminoForma(int forma) const
{
    QPainterPath camino;
    if (forma < 0 || forma >= NumFormas())
        return camino;
    camino.setFillRule(Qt::OddEvenFill);
    const QTransform t = encuadre().transformacion();
    for (const QPolygonF &anillo : m_capas.first().shapefile->ShapeRings(forma))
        camino.addPolygon(t.map(anillo));
    camino.closeSubpath();
    return camino;
}

QPoint MapaControl::PuntoInterior(int forma) const
{
    // The middle of the box when it lies inside; otherwise the inside point
    // farthest from the box's edges along the middle lines.
    const QPainterPath camino = CaminoForma(forma);
    const QRectF caja = camino.boundingRect();
    const QPointF centro = caja.center();
    if (camino.contains(centro))
        return centro.toPoint();
    for (int paso = 1; paso < 64; ++paso) {
        for (int signo : {1, -1}) {
            const QPointF d(signo * paso * caja.width() / 128, signo * paso * caja.height() / 128);
            for (const QPointF &p : {QPointF(centro.x() + d.x(), centro.y()), QPointF(centro.x(), centro.y() + d.y())})
                if (camino.contains(p))
                    return p.toPoint();
        }
    }
    return centro.toPoint();
}

void MapaControl::enfocar(int forma)
{
    const int n = NumFormas();
    m_enfocada = n == 0 ? -1 : qBound(0, forma, n - 1);
    update();
    if (m_enfocada >= 0 && hasFocus()) {
        QAccessibleEvent ev(this, QAccessible::Focus);
        ev.setChild(m_enfocada);
        QAccessible::updateAccessibility(&ev);
    }
}

void MapaControl::keyPressEvent(QKeyEvent *e)
{
    const int n = NumFormas();
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        enfocar(m_enfocada - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        enfocar(m_enfocada + 1);
        break;
    case Qt::Key_Home:
        enfocar(0);
        break;
    case Qt::Key_End:
        enfocar(n - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_enfocada >= 0 && m_enfocada < n && m_enviarMouseUp) {
            // What a left click in the middle of the shape reports.
            const QPoint p = PuntoInterior(m_enfocada);
            emit MouseUp(1, mayusculas(e->modifiers() & ~Qt::KeypadModifier), p.x(), p.y());
        }
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
}

void MapaControl::focusInEvent(QFocusEvent *e)
{
    // Coming in forwards starts at the first shape, backwards at the last.
    if (e->reason() == Qt::BacktabFocusReason)
        m_enfocada = NumFormas() - 1;
    else if (e->reason() == Qt::TabFocusReason || m_enfocada < 0 || m_enfocada >= NumFormas())
        m_enfocada = NumFormas() > 0 ? 0 : -1;
    QWidget::focusInEvent(e);
    enfocar(m_enfocada);
}

void MapaControl::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    update();
}

bool MapaControl::focusNextPrevChild(bool siguiente)
{
    // Tab walks the shapes before it leaves the map.
    const int otra = m_enfocada + (siguiente ? 1 : -1);
    if (hasFocus() && otra >= 0 && otra < NumFormas()) {
        enfocar(otra);
        return true;
    }
    return QWidget::focusNextPrevChild(siguiente);
}

void MapaControl::resizeEvent(QResizeEvent *e)
{
    // The layers are fitted to the control anew at every size.
    QWidget::resizeEvent(e);
    update();
}

void MapaControl::mousePressEvent(QMouseEvent *e)
{
    m_inicioCaja = e->position().toPoint();
    m_arrastrando = false;
    QWidget::mousePressEvent(e);
}

void MapaControl::mouseMoveEvent(QMouseEvent *e)
{
    if (m_modo == cmSelection && (e->buttons() & Qt::LeftButton)) {
        const QPoint aqui = e->position().toPoint();
        if (!m_arrastrando && (aqui - m_inicioCaja).manhattanLength() >= QApplication::startDragDistance())
            m_arrastrando = true;
        if (m_arrastrando) {
            if (!m_banda)
                m_banda = new QRubberBand(QRubberBand::Rectangle, this);
            m_banda->setGeometry(QRect(m_inicioCaja, aqui).normalized());
            m_banda->show();
        }
    }
    QWidget::mouseMoveEvent(e);
}

void MapaControl::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint aqui = e->position().toPoint();
    if (m_arrastrando) {
        m_arrastrando = false;
        if (m_banda)
            m_banda->hide();
        if (m_modo == cmSelection && m_enviarCaja) {
            const QRect r = QRect(m_inicioCaja, aqui).normalized();
            emit SelectBoxFinal(r.left(), r.right(), r.bottom(), r.top());
        }
    }
    if (m_enviarMouseUp)
        emit MouseUp(boton(e->button()), mayusculas(e->modifiers()), aqui.x(), aqui.y());
    QWidget::mouseReleaseEvent(e);
}
