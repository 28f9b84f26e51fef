#pragma once
// Shared module: the fortnight vocabulary, the colour table and the empty-crop
// entry. Nothing here touches the database or a window.
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace modBasico {

// Heads every crop picker and stands for an empty slot: twenty middle dots.
extern const QString CultivoVacio;

// The perennial crops, recognised by these exact names.
extern const QString Alcachofas;
extern const QString Fresas;
extern const QString Esparragos;
bool EsPlurianual(const QString &cultivo);

// 48 codes: item f (1-based, as ColeccionQuincenas()[f-1]) is the code of
// fortnight f for 1..24 and of fortnight f-24 for 25..48. A new list each call.
QStringList ColeccionQuincenas();

// The tree label of a fortnight code ("M" -> "1ªQ Mayo"); "" for anything else.
QString NombreQuincena(const QString &codigo);

// The start text of fortnight 1..24 ("15/ Marzo"); "" for any other number.
QString FechaQuincena(int quincena);

// The long name of fortnight 1..24 ("enero ½"); "" for any other number.
QString NombreLargoQuincena(int quincena);

// Fortnight 1..24 in full words ("1ª quincena de marzo"); "" for any other.
QString QuincenaEnLetra(int quincena);

// Packed colours: red in the low byte, green in the second, blue in the third.
constexpr qint32 RGB(int r, int g, int b) { return r | (g << 8) | (b << 16); }

extern qint32 ColorSiembra;
extern qint32 ColorCultivo;
extern qint32 ColorSolape;
extern qint32 ColorInvierno;
extern qint32 ColorPrimavera;
extern qint32 ColorVerano;
extern qint32 ColorOtoño;
extern qint32 ColorVacio;
extern qint32 ColorHoja;
extern qint32 ColorBordeHoja;

// Harvest window of a newly placed crop, and following-year fortnights of a
// stored crop.
constexpr qint32 ColorCosecha = RGB(100, 100, 255);
constexpr qint32 ColorAñoSiguiente = RGB(100, 110, 255);

// Sets the colour table (every rebuild of the main window calls it).
void IniciaColores();

// Season colour of the header of fortnight 1..24.
qint32 ColorEstacion(int quincena);

} // namespace modBasico
