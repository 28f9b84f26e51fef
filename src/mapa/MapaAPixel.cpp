#include "mapa/MapaAPixel.h"

#include <algorithm>
#include <cmath>

namespace {

// Blank space kept around the box, as a share of the control's size.
constexpr double kMargen = 0.04;

} // namespace

MapaAPixel::MapaAPixel(const Extents &caja, const QSizeF &tamaño)
    : m_centroMapa(caja.centroX(), caja.centroY()), m_centroPixel(tamaño.width() / 2, tamaño.height() / 2)
{
    const double ancho = tamaño.width() * (1 - 2 * kMargen);
    const double alto = tamaño.height() * (1 - 2 * kMargen);
    const double dx = caja.xMax - caja.xMin, dy = caja.yMax - caja.yMin;
    if (dx <= 0 && dy <= 0)
        return;
    const double ex = dx > 0 ? ancho / dx : INFINITY;
    const double ey = dy > 0 ? alto / dy : INFINITY;
    m_escala = std::min(ex, ey);
    if (!(m_escala > 0) || !std::isfinite(m_escala))
        m_escala = 1;
}

QPointF MapaAPixel::aPixel(const QPointF &mapa) const
{
    return {m_centroPixel.x() + (mapa.x() - m_centroMapa.x()) * m_escala,
            m_centroPixel.y() - (mapa.y() - m_centroMapa.y()) * m_escala};
}

QPointF MapaAPixel::aMapa(const QPointF &pixel) const
{
    return {m_centroMapa.x() + (pixel.x() - m_centroPixel.x()) / m_escala,
            m_centroMapa.y() - (pixel.y() - m_centroPixel.y()) / m_escala};
}

QTransform MapaAPixel::transformacion() const
{
    QTransform t;
    t.translate(m_centroPixel.x(), m_centroPixel.y());
    t.scale(m_escala, -m_escala);
    t.translate(-m_centroMapa.x(), -m_centroMapa.y());
    return t;
}
