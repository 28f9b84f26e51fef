#include "mapa/MapaControl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
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

} // namespace

MapaControl::MapaControl(QWidget *parent) : QWidget(parent)
{
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
