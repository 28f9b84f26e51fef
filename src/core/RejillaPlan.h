#pragma once
// Arithmetic of the plan grid: which fortnights a crop may be sown in, the
// span a crop occupies when it is sown in a fortnight, and whether two slots'
// spans overlap. Columns 1 to 24 are the fortnights of the year; a span value
// above 24 is a fortnight of the following year, shown in column value - 24.
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

class Conexion;

// The sowing windows and harvest delays of one catalogue row. An empty field
// is std::nullopt; days may hold a fraction.
struct DatosSiembra
{
    std::optional<int> Siembra_1_I, Siembra_1_F, Siembra_2_I, Siembra_2_F;
    std::optional<double> Cosecha_1_min, Cosecha_1_max;
};

// Days to harvest beyond two years change no span: the most the grid reads.
constexpr int DiasCosechaMaximos = 720;

// The catalogue rows named like cultivo (letter case ignored), in stored
// order; none for the empty-crop entry. A fortnight outside 1 to 24 is left
// empty, and harvest days are kept within 0 to 720 (two years), each told to
// `explicar` (a hand-edited or damaged catalogue). Throws ErrorBD.
QList<DatosSiembra> LeerDatosSiembra(Conexion &con, const QString &cultivo,
                                     const std::function<void(const QString &)> &explicar = {});

// The fortnights to paint as sowing fortnights, in painting order (a fortnight
// of both windows comes twice), on the plan grid and on the catalogue grid
// alike. The first window wraps over the year end when its start is not before
// its end (so a window 7 to 7 is the whole year); the second never wraps. A
// window, first or second, with a start but no end is its start alone; values
// outside 1 to 24 are left out.
QList<int> QuincenasSiembra(const DatosSiembra &d);

// Rounds to the nearest whole number, a half to the even neighbour.
int RedondeoPar(double x);

// The grid column of span value q (1..48): q, or q - 24 above 24.
int ColumnaDeQuincena(int q);

// A crop sown in fortnight c: the cells its span paints and the span it
// records.
struct Colocacion
{
    struct Celda
    {
        int columna;
        qint32 color;
    };
    QList<Celda> celdas;      // in span order, from the sowing fortnight on
    bool heladaEnElCamino = false; // a cell of the span carries the frost mark
    int inicio = 0;           // recorded first fortnight (c)
    int final = 0;            // recorded last growing fortnight
};

// Grows from c up to (not including) c + min/15, in ColorCultivo; then its
// harvest window up to round(c + max/15 - 1) in the harvest colour. Cells for
// which conHelada(column) is true get ColorSolape and mark the placement as
// refused. The recorded end is round(c + min/15 - 1). A crop occupies at least
// its sowing fortnight, and no span reaches past fortnight 48 (missing or
// nonsensical delays in the catalogue are brought within these bounds).
Colocacion Colocar(int c, const DatosSiembra &d, const std::function<bool(int)> &conHelada);

// The overlap rule between the span just recorded for a slot (Ic..Fc) and the
// span recorded for the slot above it (Ip..Fp): values compared as 1..48, not
// folded into the year. Sharing one fortnight is an overlap.
bool SeSolapan(int Ic, int Fc, int Ip, int Fp);
