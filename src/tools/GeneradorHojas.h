#pragma once
// The sheet layouts that the program ships: hojas3.shp ... hojas7.shp (with
// their .shx and .dbf), one polygon per sheet of a garden drawn as beds with
// paths between them, in metres of a projected grid (UTM zone 30, in the
// Madrid area). The attribute table has the integer fields "Hoja" (field 0,
// the sheet number) and "año" (field 1, written as 0).
//
// The beds are not written in the order of their numbers, and the centre of
// every bed's bounding box lies inside the bed, where its label goes.
#include <QPointF>
#include <QString>
#include <QVector>

namespace GeneradorHojas {

// The south-west corner of every layout, in map units.
constexpr double OrigenX = 440000.0;
constexpr double OrigenY = 4474000.0;

struct Cantero
{
    int hoja = 0;
    // The outer ring first, then holes; points in metres from the origin.
    QVector<QVector<QPointF>> anillos;
};

// The beds of the layout for n sheets (3 to 7) in the order they are written.
QVector<Cantero> Diseño(int n);

// Writes the layout of the beds given as <carpeta>/<nombre>.shp/.shx/.dbf,
// creating the folder when missing and replacing any earlier files.
bool EscribirHojas(const QString &carpeta, const QString &nombre, const QVector<Cantero> &canteros,
                   QString *error);

// Writes hojas3 to hojas7 into carpeta.
bool CrearHojas(const QString &carpeta, QString *error);

} // namespace GeneradorHojas
