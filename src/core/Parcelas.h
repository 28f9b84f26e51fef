#pragma once
// Reading and marking plots (table Parcelas).
#include "core/Conexion.h"

#include <QString>
#include <QStringList>
#include <optional>

// A plot's settings as the main window uses them. Values outside their range
// are brought into it when read (see LeerOpcionesParcela).
struct OpcionesParcela
{
    int hojas = 3;             // 3..7
    int inicioSinHeladas = 1;  // first frost-free fortnight, 1..24
    int finalSinHeladas = 1;   // first fortnight with frost again, 1..24
    bool repetirFrutos = false;
    bool repetirRaices = false;
    bool cicloCorto = false;
    int alcachofa = 2;         // years a perennial stays, 2..6
    int fresa = 2;
    int esparrago = 2;
};

// The plot's row, or nothing when no row is named like nombre. Out-of-range
// values are repaired so the window can always be laid out: a sheet count
// outside 3..7 is brought to the nearest bound, a frost-free bound outside
// 1..24 becomes 1 (no frost limit), a perennial's years outside 2..6 the
// nearest bound.
std::optional<OpcionesParcela> LeerOpcionesParcela(Conexion &con, const QString &nombre);

// Every plot in the table's stored order, and which one is marked as the last
// one used (the last marked row when several are; -1 when none is).
struct ListadoParcelas
{
    QStringList nombres;
    int ultima = -1;
};
ListadoParcelas ListarParcelas(Conexion &con);

// Marks nombre (and only the rows named like it) as the last plot used.
void MarcarUltimaParcela(Conexion &con, const QString &nombre);

// A plot operation refused before anything is written; texto() tells the user
// why, in Spanish.
using ParcelaNoValida = Rechazo;

// Adds a plot with its sheet count and frost-free bounds; the other columns
// take the table's defaults. The name is stored without leading or trailing
// blanks. Refused (ParcelaNoValida) when the name is empty or blank, names a
// plot that exists already (letter case ignored), since the two could not be
// told apart, when the sheet count is outside 3..7 or the frost-free period
// ends before it starts. Throws ErrorBD.
void CrearParcela(Conexion &con, const QString &nombre, int hojas, int inicio, int final);

// True when the database file can be read but not written.
bool SoloLectura(Conexion &con);

// Deletes the plot's plan rows and its row together: a failure leaves both.
// When no remaining plot is marked as the last one used (the deleted one was),
// the first remaining plot is marked, in the same transaction. Returns the
// plots that remain, with the marked one. Throws ErrorBD.
ListadoParcelas BorrarParcela(Conexion &con, const QString &nombre);

// Writes the options of the plot's row (name, sheets, frost-free bounds, both
// rule switches, the three perennials' years). The short-cycle switch and the
// last-used mark are not written. Refused (ParcelaNoValida) as CrearParcela
// refuses its values, and when the plot has no row (checked in the write's
// own transaction). Throws ErrorBD; nothing is changed then.
void GuardarOpcionesParcela(Conexion &con, const QString &nombre, const OpcionesParcela &o);
