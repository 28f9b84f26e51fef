#pragma once
// How a box of map units lies in a control of a given size: the box, less a
// blank margin all round, as large as it fits and centred, map y growing
// upwards and pixel y downwards. aMapa() undoes aPixel().
#include "mapa/Shapefile.h"

#include <QPointF>
#include <QSizeF>
#include <QTransform>

class MapaAPixel
{
public:
    // An empty box (nothing to show) is one map unit per pixel about its point.
    MapaAPixel(const Extents &caja, const QSizeF &tamaño);

    QPointF aPixel(const QPointF &mapa) const;
    QPointF aMapa(const QPointF &pixel) const;
    // aPixel() as a transform, for painting.
    QTransform transformacion() const;

private:
    double m_escala = 1; // pixels per map unit
    QPointF m_centroMapa;
    QPointF m_centroPixel;
};
