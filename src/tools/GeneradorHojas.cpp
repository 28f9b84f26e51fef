#include "tools/GeneradorHojas.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <shapefil.h>
#include <vector>

namespace GeneradorHojas {

namespace {

using Anillo = QVector<QPointF>;

Anillo rectangulo(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

Anillo circulo(double cx, double cy, double r, int lados)
{
    Anillo a;
    for (int i = 0; i < lados; ++i) {
        const double t = 2 * M_PI * i / lados;
        a.append({cx + r * std::cos(t), cy + r * std::sin(t)});
    }
    return a;
}

Cantero cantero(int hoja, const Anillo &exterior, const Anillo &hueco = {})
{
    Cantero c;
    c.hoja = hoja;
    c.anillos.append(exterior);
    if (!hueco.isEmpty())
        c.anillos.append(hueco);
    return c;
}

// A square garden of 22 m with a cross of 2 m paths and a round space of
// radio metres at its centre; the bed of the quadrant (sx, sy) runs from the
// paths to a 1 m margin, its inner corner cut by the round space.
Anillo cuadrante(int sx, int sy, double radio)
{
    const double c = 11;
    Anillo a = {{12, 21}, {21, 21}, {21, 12}};
    const double desde = std::asin(1 / radio);
    const double hasta = M_PI / 2 - desde;
    const int pasos = 8;
    for (int i = 0; i <= pasos; ++i) {
        const double t = desde + (hasta - desde) * i / pasos;
        a.append({c + radio * std::cos(t), c + radio * std::sin(t)});
    }
    for (QPointF &p : a)
        p = QPointF(c + sx * (p.x() - c), c + sy * (p.y() - c));
    return a;
}

// The east edge of the six-bed garden runs slanted along its neighbour's wall.
double bordeEste(double y)
{
    return 29 - y * 4 / 18;
}

} // namespace

QVector<Cantero> Diseño(int n)
{
    switch (n) {
    case 3: // a long bed on the north side, two on the south, cut at the gate and the compost bin
        return {cantero(3, {{12, 1}, {12, 8}, {23, 8}, {23, 4}, {20, 4}, {20, 1}}),
                cantero(1, rectangulo(1, 9, 23, 15)),
                cantero(2, {{1, 3}, {1, 8}, {11, 8}, {11, 1}, {3, 1}})};
    case 4: // four beds round a cross of paths with a round space in the middle
        return {cantero(2, cuadrante(1, 1, 3.5)), cantero(4, cuadrante(-1, -1, 3.5)),
                cantero(1, cuadrante(-1, 1, 3.5)), cantero(3, cuadrante(1, -1, 3.5))};
    case 5: // the same garden with a round bed in the middle
        return {cantero(5, circulo(11, 11, 3, 24)), cantero(1, cuadrante(-1, 1, 4.5)),
                cantero(2, cuadrante(1, 1, 4.5)), cantero(3, cuadrante(1, -1, 4.5)),
                cantero(4, cuadrante(-1, -1, 4.5))};
    case 6: // two rows of three beds; numbered round the garden
        return {cantero(6, rectangulo(1, 1, 9, 8)),
                cantero(5, rectangulo(10, 1, 18, 8)),
                cantero(4, {{19, 1}, {19, 8}, {bordeEste(8), 8}, {bordeEste(1), 1}}),
                cantero(1, rectangulo(1, 9.5, 9, 17)),
                cantero(2, rectangulo(10, 9.5, 18, 17)),
                cantero(3, {{19, 9.5}, {19, 17}, {bordeEste(17), 17}, {bordeEste(9.5), 9.5}})};
    case 7: // three beds on the north, one each on the west, east and south, and
            // one in the middle round a fruit tree
        return {cantero(5, {{9, 1}, {9, 5}, {25, 5}, {25, 3}, {23, 1}}),
                cantero(6, rectangulo(1, 1, 8, 12)),
                cantero(7, rectangulo(9, 6, 17, 12), circulo(15.5, 10.5, 0.8, 16)),
                cantero(4, rectangulo(18, 6, 25, 12)),
                cantero(1, rectangulo(1, 13, 8, 19)),
                cantero(2, rectangulo(9, 13, 17, 19)),
                cantero(3, rectangulo(18, 13, 25, 19))};
    default:
        return {};
    }
}

bool EscribirHojas(const QString &carpeta, const QString &nombre, const QVector<Cantero> &canteros,
                   QString *error)
{
    auto fallo = [error](const QString &texto) {
        if (error)
            *error = texto;
        return false;
    };
    if (!QDir().mkpath(carpeta))
        return fallo(QStringLiteral("no se puede crear la carpeta ") + carpeta);
    const QString base = QDir(carpeta).filePath(nombre);

    SHPHandle shp = SHPCreate(QFile::encodeName(base + QStringLiteral(".shp")).constData(), SHPT_POLYGON);
    if (!shp)
        return fallo(QStringLiteral("no se puede escribir ") + base + QStringLiteral(".shp"));
    for (const Cantero &c : canteros) {
        std::vector<int> partes;
        std::vector<double> xs, ys;
        for (const Anillo &anillo : c.anillos) {
            partes.push_back(int(xs.size()));
            for (const QPointF &p : anillo) {
                xs.push_back(OrigenX + p.x());
                ys.push_back(OrigenY + p.y());
            }
            // Rings are closed: the first point again.
            xs.push_back(OrigenX + anillo.first().x());
            ys.push_back(OrigenY + anillo.first().y());
        }
        SHPObject *o = SHPCreateObject(SHPT_POLYGON, -1, int(partes.size()), partes.data(), nullptr, int(xs.size()),
                                       xs.data(), ys.data(), nullptr, nullptr);
        // Outer rings clockwise, holes counter-clockwise.
        SHPRewindObject(shp, o);
        const int escrito = SHPWriteObject(shp, -1, o);
        SHPDestroyObject(o);
        if (escrito < 0) {
            SHPClose(shp);
            return fallo(QStringLiteral("no se puede escribir ") + base + QStringLiteral(".shp"));
        }
    }
    SHPClose(shp);

    // Field names in the Windows Western code page (language driver 87).
    DBFHandle dbf = DBFCreateEx(QFile::encodeName(base + QStringLiteral(".dbf")).constData(), "LDID/87");
    if (!dbf)
        return fallo(QStringLiteral("no se puede escribir ") + base + QStringLiteral(".dbf"));
    bool bien = DBFAddField(dbf, "Hoja", FTInteger, 4, 0) == 0
        && DBFAddField(dbf, QString::fromUtf8("año").toLatin1().constData(), FTInteger, 4, 0) == 1;
    for (int i = 0; bien && i < canteros.size(); ++i)
        bien = DBFWriteIntegerAttribute(dbf, i, 0, canteros.at(i).hoja) && DBFWriteIntegerAttribute(dbf, i, 1, 0);
    // A fixed date keeps the files the same from one build to the next.
    DBFSetLastModifiedDate(dbf, 125, 1, 1);
    DBFClose(dbf);
    if (!bien)
        return fallo(QStringLiteral("no se puede escribir ") + base + QStringLiteral(".dbf"));
    return true;
}

bool CrearHojas(const QString &carpeta, QString *error)
{
    for (int n = 3; n <= 7; ++n)
        if (!EscribirHojas(carpeta, QStringLiteral("hojas%1").arg(n), Diseño(n), error))
            return false;
    return true;
}

} // namespace GeneradorHojas
