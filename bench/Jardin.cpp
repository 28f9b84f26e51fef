#include "Jardin.h"

#include "core/Conexion.h"
#include "tools/CrearBaseDatos.h"
#include "tools/GeneradorHojas.h"

#include <QDir>

QString Jardin::NombreParcela(int i)
{
    return QStringLiteral("Parcela %1").arg(i, 2, 10, QLatin1Char('0'));
}

QString Jardin::ParcelaActual()
{
    return NombreParcela(Parcelas / 2);
}

namespace {

// Tops the catalogue up to `total` crops with numbered copies of the shipped
// ones ("Tomates 2", ...), keeping their properties.
void ampliarCatalogo(Conexion &con, int total)
{
    QStringList columnas;
    QSqlQuery info = con.ejecutar(QStringLiteral("pragma table_info(horticolas)"));
    while (info.next())
        columnas << info.value(1).toString();
    QStringList origen = columnas;
    origen[columnas.indexOf(QStringLiteral("Nombre"))] = QStringLiteral("Nombre || ' ' || ?");
    QSqlQuery n = con.ejecutar(QStringLiteral("select count(*), max(rowid) from horticolas"));
    n.next();
    const int enviados = n.value(0).toInt();
    const int ultimo = n.value(1).toInt();
    const QString sql = QStringLiteral("insert into horticolas (%1) select %2 from horticolas where rowid <= ?")
                            .arg(columnas.join(QLatin1Char(',')), origen.join(QLatin1Char(',')));
    for (int copia = 2; enviados * (copia - 1) < total; ++copia)
        con.ejecutar(sql, {copia, ultimo});
    con.ejecutar(QStringLiteral("delete from horticolas where rowid not in"
                                " (select rowid from horticolas order by rowid limit ?)"),
                 {total});
}

void plantarJardin(Conexion &con, int escala)
{
    con.ejecutar(QStringLiteral("delete from Parcelas"));
    for (int p = 1; p <= Jardin::Parcelas; ++p)
        con.ejecutar(QStringLiteral("insert into Parcelas (NombreParcela, HOJAS, Libre_Heladas_Inicio,"
                                    " Libre_Heladas_Final, ultima) values (?, ?, 6, 21, ?)"),
                     {Jardin::NombreParcela(p), Jardin::Hojas, Jardin::NombreParcela(p) == Jardin::ParcelaActual()});
    QList<int> filas;
    QSqlQuery q = con.ejecutar(QStringLiteral("select rowid from horticolas order by rowid"));
    while (q.next())
        filas << q.value(0).toInt();
    const QString sql = QStringLiteral(
        "insert into BDParcela (parcela, año, hoja, cultivo, familia, Prof_raiz, extraccion, mes_inicio, mes_final)"
        " select ?, ?, ?, Nombre, Familia, Profundidad_raices, Parte_aprovechable, ?, ? from horticolas"
        " where rowid = ?");
    // A fixed sequence, so every run measures the same garden.
    quint32 semilla = 12345;
    auto siguiente = [&semilla] {
        semilla = semilla * 1103515245u + 12345u;
        return (semilla >> 8) & 0xffffff;
    };
    const int años = Jardin::AñosPorEscala * escala;
    for (int p = 1; p <= Jardin::Parcelas; ++p)
        for (int y = Jardin::PrimerAño; y < Jardin::PrimerAño + años; ++y)
            for (int h = 1; h <= Jardin::Hojas; ++h)
                for (int k = 0; k < Jardin::CultivosPorHoja; ++k) {
                    const int inicio = 1 + k * 6 + int(siguiente() % 3);
                    con.ejecutar(sql, {Jardin::NombreParcela(p), y, h, inicio, inicio + 4,
                                       filas.at(int(siguiente() % quint32(filas.size())))});
                }
}

} // namespace

bool CrearJardin(const QString &carpeta, int escala, int cultivos, QString *error)
{
    QDir().mkpath(carpeta);
    const QString fichero = QDir(carpeta).filePath(QString::fromLatin1(NombreFicheroBD));
    if (!CrearBaseDatos(fichero, QStringLiteral(HUERTA_DATOS), error))
        return false;
    if (!GeneradorHojas::CrearHojas(QDir(carpeta).filePath(QStringLiteral("hojas")), error))
        return false;
    try {
        Conexion con(fichero);
        Transaccion t(con);
        ampliarCatalogo(con, cultivos);
        if (escala > 0)
            plantarJardin(con, escala);
        t.confirmar();
    } catch (const ErrorBD &e) {
        *error = e.texto();
        return false;
    }
    return true;
}
