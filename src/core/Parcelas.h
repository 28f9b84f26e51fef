#pragma once
// Reading and marking plots (table Parcelas).
#include <QString>
#include <QStringList>
#include <optional>

class Conexion;

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
