#pragma once
// Moon arithmetic of the shared module: the moon's age on a day, the phase that
// falls on it, and the lunar sowing day of a fortnight.
//
// The moon follows a mean lunation of fixed length counted from one fixed new
// moon; there is no ephemeris. Dates are local calendar days: a date is a
// double count of days (the time of day as the fraction), built from the
// calendar alone, so no time zone or daylight-saving change can move a day.
#include <QDate>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace modBasico {

// A date: days since 30 December 1899 at midnight, the time of day as the
// fraction. The difference of two dates is the elapsed time in days.
using Fecha = double;

// The date of day d at the given time of day (seconds after midnight).
Fecha FechaDe(const QDate &dia, int segundos = 0);
// The calendar day of a date (its time of day dropped).
QDate DiaDe(Fecha fecha);

// Reads a date written day/month/year: the month as a number or as its Spanish
// name ("Marzo", any letter case), blanks allowed on either side of each slash,
// optionally followed by a time "h:mm[:ss]" with "am"/"pm". Without a time the
// date stands at midnight. Nothing when the text names no day of the calendar.
std::optional<Fecha> LeerFecha(const QString &texto);

// The short text of a date's day: "05/03/2010".
QString TextoFechaCorta(Fecha fecha);

// Reference new moon, as the date reader gets it.
extern const char *const TextoLunaNuevaReferencia; // "18/11/1998 9:36:00 pm"

// Length of the mean lunation, and three of them (start of the last-quarter
// bounds), in days.
constexpr double MesSinodico = 29.53058867;
constexpr double TresMesesSinodicos = 88.59176601;

// Phase windows, each one day long and ending at the age at which its phase
// happens. Computed in double arithmetic and then taken to the nearest float.
constexpr float LimiteLunaNueva = static_cast<float>(MesSinodico - 1);
constexpr float LimiteCrecienteInferior = static_cast<float>(MesSinodico / 4 - 1);
constexpr float LimiteCrecienteSuperior = static_cast<float>(MesSinodico / 4);
constexpr float LimiteLlenaInferior = static_cast<float>(MesSinodico / 2 - 1);
constexpr float LimiteLlenaSuperior = static_cast<float>(MesSinodico / 2);
constexpr float LimiteMenguanteInferior = static_cast<float>(TresMesesSinodicos / 4 - 1);
constexpr float LimiteMenguanteSuperior = static_cast<float>(TresMesesSinodicos / 4);

// Moon phase codes.
enum FaseLunar : qint16 {
    SinFase = 0,
    LunaNueva = 1,
    CuartoCreciente = 2,
    LunaLlena = 3,
    CuartoMenguante = 4,
};

// 0 when a is exactly 0, else a - floor(a / b) * b: in [0, b) for b > 0, also
// for negative a.
double Resto(double a, double b);

// Days since the last new moon, 0 <= age < MesSinodico.
float EdadLuna(Fecha fecha);

// The phase code of an age: the first window that holds it.
qint16 FaseDeEdad(float edad);

// The phase that happens within the 24 hours after the date (0 to 4).
qint16 FaseLuna(Fecha fecha);

// True when n is divisible by 2.
bool EsPar(qint16 n);

// Number of days of the date's month.
qint16 DiasDelMes(Fecha fecha);

// The lunar sowing day of fortnight 1..24 of the year: the last day of the
// fortnight's lunation (from the fortnight's start to the same day a month on)
// on which the moon is in its last quarter (roots and tubers) or its first
// quarter (any other crop). "" when the window holds no such day or the
// fortnight is not one of 1..24.
QString FechaSiembraLunar(bool raiz, qint16 quincena, qint16 año);

} // namespace modBasico
