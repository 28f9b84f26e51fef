#pragma once
// A sheet's plan for one year in table BDParcela: reading it, storing it in
// place of what the sheet held, and emptying it.
//
// Storing runs as one transaction: the sheet's rows of the year are deleted and
// the new ones inserted together, so a failure part way (a locked or read-only
// file, a refused statement) leaves the rows the sheet held before.
#include "core/Conexion.h"

#include <QList>
#include <QString>

// One stored row of a sheet, as the crop editor reads it.
struct FilaGuardada
{
    QString cultivo;
    int inicio = 0;
    int final = 0;
};

// The rows of the sheet and year of the plot (named like parcela, letter case
// ignored), in stored order. Throws ErrorBD.
QList<FilaGuardada> LeerFilasHoja(Conexion &con, const QString &parcela, int año, int hoja);

// What one crop slot holds when the sheet is stored.
struct CultivoHoja
{
    QString cultivo;  // the picker's text
    int inicio = 0;   // span recorded for the slot
    int final = 0;
};

// Years a perennial planting stays on its sheet (the plot's sliders).
struct AñosPlurianuales
{
    int alcachofa = 1;
    int fresa = 1;
    int esparrago = 1;
    // Years for cultivo: its slider for the three perennials (exact names), 1
    // for any other crop.
    int para(const QString &cultivo) const;
};

// A plan that cannot be stored as it stands; texto() tells the user why.
using PlanNoValido = Rechazo;

// Stores the four slots of a sheet (slot i = cultivos[i]) for the year, in
// place of the rows the sheet held that year. Empty slots (the empty-crop entry
// or empty text) give no row. Each row copies the crop's family, root depth and
// edible part from the catalogue (empty when the crop is not there).
//
// A perennial planted this year (the sheet did not hold it the year before) is
// stored for as many years as años says, the first year from its recorded
// start, the middle years 1 to 24 and the last year up to its recorded end;
// rows of that crop standing on the sheet in the following years are replaced,
// so storing again never doubles a planting. A perennial that continues a
// planting of the year before is stored for this year only.
//
// Refused before anything is written (PlanNoValido): no sheet chosen (hoja < 1);
// a plot without its row in Parcelas, or a sheet beyond its sheet count (both
// read inside the write's own transaction); a slot whose crop has no span
// recorded within 1 to 48; a following year that would hold more than four
// crops on the sheet. Throws ErrorBD when the
// database fails; nothing is changed then.
void GuardarHoja(const QString &cadena, const QString &parcela, int año, int hoja,
                 const QList<CultivoHoja> &cultivos, const AñosPlurianuales &años);

// Deletes the sheet's rows of the year (other years stay). Throws ErrorBD.
void VaciarHoja(const QString &cadena, const QString &parcela, int año, int hoja);

