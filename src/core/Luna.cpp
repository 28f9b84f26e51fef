#include "core/Luna.h"

#include <QRegularExpression>
#include <cmath>

namespace modBasico {

const char *const TextoLunaNuevaReferencia = "18/11/1998 9:36:00 pm";

namespace {

// Day 0 of the date count.
qint64 diaCero()
{
    static const qint64 d = QDate(1899, 12, 30).toJulianDay();
    return d;
}

// Month number of a Spanish month name (letter case ignored), 0 if none.
int mesPorNombre(const QString &nombre)
{
    static const char *const meses[] = {"enero", "febrero", "marzo",      "abril",   "mayo",      "junio",
                                        "julio", "agosto",  "septiembre", "octubre", "noviembre", "diciembre"};
    const QString n = nombre.toLower();
    for (int m = 0; m < 12; ++m)
        if (n == QLatin1String(meses[m]))
            return m + 1;
    if (n == QLatin1String("setiembre"))
        return 9;
    return 0;
}

// The reference new moon, read once with the same reader as every other date.
Fecha referencia()
{
    static const Fecha r = *LeerFecha(QString::fromLatin1(TextoLunaNuevaReferencia));
    return r;
}

} // namespace

Fecha FechaDe(const QDate &dia, int segundos)
{
    return static_cast<double>(dia.toJulianDay() - diaCero()) + segundos / 86400.0;
}

QDate DiaDe(Fecha fecha)
{
    return QDate::fromJulianDay(diaCero() + static_cast<qint64>(std::floor(fecha)));
}

std::optional<Fecha> LeerFecha(const QString &texto)
{
    static const QRegularExpression patron(
        QStringLiteral("^\\s*([0-9]{1,2})\\s*/\\s*([0-9]{1,2}|\\p{L}+)\\s*/\\s*([0-9]{1,4})"
                       "(?:\\s+([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))?\\s*(?:([ap])\\.?\\s*m\\.?)?)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = patron.match(texto);
    if (!m.hasMatch())
        return std::nullopt;

    const int dia = m.captured(1).toInt();
    const QString textoMes = m.captured(2);
    const int mes = textoMes.at(0).isDigit() ? textoMes.toInt() : mesPorNombre(textoMes);
    const int año = m.captured(3).toInt();
    if (año < 1 || mes < 1 || mes > 12)
        return std::nullopt;
    const QDate fecha(año, mes, dia);
    if (!fecha.isValid())
        return std::nullopt;

    int segundos = 0;
    if (m.hasCaptured(4)) {
        int hora = m.captured(4).toInt();
        const int minuto = m.captured(5).toInt();
        const int segundo = m.hasCaptured(6) ? m.captured(6).toInt() : 0;
        if (minuto > 59 || segundo > 59)
            return std::nullopt;
        if (m.hasCaptured(7)) {
            if (hora < 1 || hora > 12)
                return std::nullopt;
            const bool tarde = m.captured(7).compare(QLatin1String("p"), Qt::CaseInsensitive) == 0;
            hora = hora % 12 + (tarde ? 12 : 0);
        } else if (hora > 23) {
            return std::nullopt;
        }
        segundos = hora * 3600 + minuto * 60 + segundo;
    }
    return FechaDe(fecha, segundos);
}

QString TextoFechaCorta(Fecha fecha)
{
    const QDate d = DiaDe(fecha);
    return QStringLiteral("%1/%2/%3")
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.year(), 4, 10, QLatin1Char('0'));
}

double Resto(double a, double b)
{
    if (a == 0)
        return 0;
    return a - std::floor(a / b) * b;
}

float EdadLuna(Fecha fecha)
{
    return static_cast<float>(Resto(fecha - referencia(), MesSinodico));
}

qint16 FaseDeEdad(float edad)
{
    if (edad > LimiteLunaNueva)
        return LunaNueva;
    if (edad >= LimiteCrecienteInferior && edad <= LimiteCrecienteSuperior)
        return CuartoCreciente;
    if (edad >= LimiteLlenaInferior && edad <= LimiteLlenaSuperior)
        return LunaLlena;
    if (edad >= LimiteMenguanteInferior && edad <= LimiteMenguanteSuperior)
        return CuartoMenguante;
    return SinFase;
}

qint16 FaseLuna(Fecha fecha)
{
    return FaseDeEdad(EdadLuna(fecha));
}

bool EsPar(qint16 n)
{
    return n % 2 == 0;
}

qint16 DiasDelMes(Fecha fecha)
{
    const QDate d = DiaDe(fecha);
    // The day before the first of the following month.
    return static_cast<qint16>(QDate(d.year(), d.month(), 1).addMonths(1).addDays(-1).day());
}

QString FechaSiembraLunar(bool raiz, qint16 quincena, qint16 año)
{
    QString resultado;
    // The fortnight starts on the 1st or the 15th of its month; years outside
    // 1..9999 name no date.
    if (quincena < 1 || quincena > 24 || año < 1 || año > 9999)
        return resultado;
    const int mes = (quincena + 1) / 2;
    const int n = QDate(año, mes, 1).daysInMonth();
    const qint16 buscada = raiz ? CuartoMenguante : CuartoCreciente;

    // Each day of the window at midnight; the window ends with the year (no
    // day after the second half of December).
    // Dates are whole day counts at midnight: day d of a month is its 1st + d - 1.
    std::optional<Fecha> hallada;
    auto examinar = [&](Fecha primero, int dia) {
        const Fecha f = primero + (dia - 1);
        if (FaseLuna(f) == buscada)
            hallada = f;
    };
    const Fecha primero = FechaDe(QDate(año, mes, 1));
    if (!EsPar(quincena)) {
        for (int dia = 1; dia <= n; ++dia)
            examinar(primero, dia);
    } else {
        for (int dia = 15; dia <= n; ++dia)
            examinar(primero, dia);
        if (mes < 12) {
            const Fecha siguiente = FechaDe(QDate(año, mes + 1, 1));
            for (int dia = 1; dia <= 15; ++dia)
                examinar(siguiente, dia);
        }
    }
    if (hallada)
        resultado = TextoFechaCorta(*hallada);
    return resultado;
}

} // namespace modBasico
