#include "core/modBasico.h"

namespace modBasico {

const QString CultivoVacio = QString(20, QChar(0x00B7));
const QString Alcachofas = QStringLiteral("Alcachofas");
const QString Fresas = QStringLiteral("Fresas");
const QString Esparragos = QStringLiteral("Espárragos");

bool EsPlurianual(const QString &cultivo)
{
    return cultivo == Alcachofas || cultivo == Fresas || cultivo == Esparragos;
}

namespace {
struct Quincena
{
    const char *nombreLargo;
    const char *codigo;
    const char *etiqueta;
    const char *inicio;
};

// One row per fortnight, 1 to 24. The irregular blanks of the start texts are
// data: the lunar date reader accepts a blank on either side of the slash.
const Quincena kQuincenas[24] = {
    {"enero", "e", "1ªQ Enero", "1/Enero"},
    {"enero ½", "e½", "2ªQ Enero", "15/Enero"},
    {"febrero", "f", "1ªQ Febrero", "1/Febrero"},
    {"febrero ½", "f½", "2ªQ Febrero", "15/Febrero"},
    {"marzo", "m", "1ªQ Marzo", "1/Marzo"},
    {"marzo ½", "m½", "2ªQ Marzo", "15/ Marzo"},
    {"abril", "a", "1ªQ Abril", "1/ Abril"},
    {"abril ½", "a½", "2ªQ Abril", "15/ Abril"},
    {"mayo", "M", "1ªQ Mayo", "1/ Mayo"},
    {"mayo ½", "M½", "2ªQ Mayo", "15/ Mayo"},
    {"junio", "j", "1ªQ Junio", "1/ Junio"},
    {"junio ½", "j½", "2ªQ Junio", "15/ Junio"},
    {"julio", "J", "1ªQ Julio", "1 /Julio"},
    {"julio ½", "J½", "2ªQ Julio", "15/ Julio"},
    {"agosto", "A", "1ªQ Agosto", "1 /Agosto"},
    {"agosto ½", "A½", "2ªQ Agosto", "15/ Agosto"},
    {"septiembre", "s", "1ªQ Septiembre", "1 /Septiembre"},
    {"septiembre ½", "s½", "2ªQ Septiembre", "15 /Septiembre"},
    {"octubre", "o", "1ªQ Octubre", "1/ Octubre"},
    {"octubre ½", "o½", "2ªQ Octubre", "15 /Octubre"},
    {"noviembre", "n", "1ªQ Noviembre", "1/ Noviembre"},
    {"noviembre ½", "n½", "2ªQ Noviembre", "15 /Noviembre"},
    {"diciembre", "d", "1ªQ Diciembre", "1/ Diciembre"},
    {"diciembre ½", "d½", "2ªQ Diciembre", "15 /Diciembre"},
};

bool valida(int q) { return q >= 1 && q <= 24; }
} // namespace

QStringList ColeccionQuincenas()
{
    QStringList c;
    c.reserve(48);
    for (int vuelta = 0; vuelta < 2; ++vuelta)
        for (const Quincena &q : kQuincenas)
            c.append(QString::fromUtf8(q.codigo));
    return c;
}

QString NombreQuincena(const QString &codigo)
{
    for (const Quincena &q : kQuincenas)
        if (codigo == QString::fromUtf8(q.codigo))
            return QString::fromUtf8(q.etiqueta);
    return QString();
}

QString FechaQuincena(int quincena)
{
    return valida(quincena) ? QString::fromUtf8(kQuincenas[quincena - 1].inicio) : QString();
}

QString NombreLargoQuincena(int quincena)
{
    return valida(quincena) ? QString::fromUtf8(kQuincenas[quincena - 1].nombreLargo) : QString();
}

QString QuincenaEnLetra(int quincena)
{
    if (!valida(quincena))
        return QString();
    QString mes = QString::fromUtf8(kQuincenas[quincena - 1].nombreLargo);
    const bool segunda = mes.endsWith(QChar(0x00BD));
    mes.remove(QStringLiteral(" ½"));
    return (segunda ? QStringLiteral("2ª") : QStringLiteral("1ª")) + QStringLiteral(" quincena de ") + mes;
}


qint32 ColorSiembra = 0;
qint32 ColorCultivo = 0;
qint32 ColorSolape = 0;
qint32 ColorInvierno = 0;
qint32 ColorPrimavera = 0;
qint32 ColorVerano = 0;
qint32 ColorOtoño = 0;
qint32 ColorVacio = 0;
qint32 ColorHoja = 0;
qint32 ColorBordeHoja = 0;

void IniciaColores()
{
    ColorSiembra = RGB(0, 255, 0);
    ColorCultivo = RGB(50, 50, 255);
    ColorSolape = RGB(255, 0, 0);
    ColorInvierno = RGB(204, 255, 255);
    ColorPrimavera = RGB(255, 204, 255);
    ColorVerano = RGB(255, 153, 0);
    ColorOtoño = RGB(204, 153, 51);
    ColorVacio = RGB(255, 255, 255);
    ColorHoja = RGB(204, 153, 102);
    ColorBordeHoja = RGB(0, 0, 0);
}

qint32 ColorEstacion(int quincena)
{
    if (quincena == 24 || (quincena >= 1 && quincena <= 5))
        return ColorInvierno;
    if (quincena >= 6 && quincena <= 11)
        return ColorPrimavera;
    if (quincena >= 12 && quincena <= 17)
        return ColorVerano;
    if (quincena >= 18 && quincena <= 23)
        return ColorOtoño;
    return ColorVacio;
}

} // namespace modBasico
