#pragma once
// Reading the crop catalogue (table horticolas) into the main window's
// collections, and the crops that fit a plot's frost-free period.
#include "core/ListaCandidatos.h"

#include <QStringList>

class Conexion;

// TodosCultivos holds every crop name ordered by name; the other three hold, at
// the same positions, each crop's family, root depth and edible part.
struct ColeccionesCatalogo
{
    QStringList TodosCultivos;
    QStringList TodasFamilias;
    QStringList TodasRaiz;
    QStringList TodasProfit;

    // Position of the first name exactly equal to cultivo, or -1.
    int posicion(const QString &cultivo) const;
};

// "select * from horticolas order by nombre": a name repeated in the
// catalogue (letter case ignored) is taken once, at its first row.
ColeccionesCatalogo CargarColeccionesCatalogo(Conexion &con);

// Every catalogue name in the table's stored order (the catalogue picker).
QStringList NombresHorticolas(Conexion &con);

// The frost filter of a plot whose frost-free period runs from fortnight
// inicio to fortnight final - 1. A 1 in either bound means no frost limit.
struct FiltroHeladas
{
    bool sinLimite = true;
    int siembraAntesDe = 0;   // Siembra_1_I must be below this
    int siembraHastaDesde = 0; // Siembra_1_F must be at least this
    int diasMaximos = 0;      // Cosecha_1_min must be at most this (15 days a fortnight)

    static FiltroHeladas Para(int inicio, int final);
};

// The empty-crop entry (without key), then the name of every crop that passes
// the filter, ordered by name.
ListaCandidatos CultivosSinHelada(Conexion &con, const FiltroHeladas &filtro);
