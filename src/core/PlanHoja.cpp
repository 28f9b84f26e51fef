#include "core/PlanHoja.h"

#include "core/modBasico.h"
#include "core/Conexion.h"
#include "core/Parcelas.h"

#include <QSet>

#include <algorithm>

using modBasico::CultivoVacio;


int AñosPlurianuales::para(const QString &cultivo) const
{
    if (cultivo == modBasico::Alcachofas)
        return alcachofa;
    if (cultivo == modBasico::Fresas)
        return fresa;
    if (cultivo == modBasico::Esparragos)
        return esparrago;
    return 1;
}

QList<FilaGuardada> LeerFilasHoja(Conexion &con, const QString &parcela, int año, int hoja)
{
    QList<FilaGuardada> filas;
    QSqlQuery q = con.ejecutar(QStringLiteral("select cultivo, mes_inicio, mes_final from BDParcela"
                                              " where año = ? and hoja = ? and ")
                                   + FiltroParcela + QStringLiteral(" order by rowid"),
                               {año, hoja, parcela});
    while (q.next())
        filas << FilaGuardada{LeerTexto(q, "cultivo"), LeerEntero(q, "mes_inicio"), LeerEntero(q, "mes_final")};
    return filas;
}

namespace {

const QString kBorrarHoja = QStringLiteral("delete from BDParcela where hoja = ? and año = ? and ") + FiltroParcela;

bool vacio(const QString &cultivo)
{
    return cultivo.isEmpty() || cultivo == CultivoVacio;
}

struct Propiedades
{
    QString familia, raiz, parte;
};

Propiedades propiedades(Conexion &con, const QString &cultivo)
{
    QSqlQuery q = con.ejecutar(QStringLiteral("select Familia, Profundidad_raices, Parte_aprovechable from horticolas"
                                              " where coincide(Nombre, ?) order by rowid"),
                               {cultivo});
    if (!q.next())
        return {};
    return {LeerTexto(q, "Familia"), LeerTexto(q, "Profundidad_raices"), LeerTexto(q, "Parte_aprovechable")};
}

} // namespace

void GuardarHoja(const QString &cadena, const QString &parcela, int año, int hoja,
                 const QList<CultivoHoja> &cultivos, const AñosPlurianuales &años)
{
    if (hoja < 1)
        throw PlanNoValido(QStringLiteral("No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de validar."));
    for (int i = 0; i < cultivos.size(); ++i) {
        const CultivoHoja &c = cultivos.at(i);
        if (vacio(c.cultivo))
            continue;
        if (c.inicio < 1 || c.inicio > 48 || c.final < c.inicio || c.final > 48)
            throw PlanNoValido(QStringLiteral("El cultivo <%1> de la fila %2 no está colocado en la rejilla: pulsa una"
                                              " quincena verde de su fila antes de validar la hoja.")
                                   .arg(c.cultivo)
                                   .arg(i + 1));
    }

    Conexion con(cadena);
    Transaccion t(con);
    // What the window read may be stale (another copy of the program deleted
    // the plot or lowered its sheet count): the plot is checked as it stands.
    const std::optional<OpcionesParcela> o = LeerOpcionesParcela(con, parcela);
    if (!o)
        throw PlanNoValido(QStringLiteral("La parcela <%1> ya no existe en la base de datos: no se ha guardado nada.")
                               .arg(parcela));
    if (hoja > o->hojas)
        throw PlanNoValido(QStringLiteral("La parcela <%1> no tiene hoja %2 (tiene %3): no se ha guardado nada."
                                          " Pulsa una de sus hojas en el mapa.")
                               .arg(parcela)
                               .arg(hoja)
                               .arg(o->hojas));
    con.ejecutar(kBorrarHoja, {hoja, año, parcela});

    const QString insertar = QStringLiteral(
        "insert into BDParcela (parcela, año, hoja, cultivo, familia, Prof_raiz, extraccion, mes_inicio, mes_final)"
        " values (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    QSet<int> añosSiguientes;
    for (const CultivoHoja &c : cultivos) {
        if (vacio(c.cultivo))
            continue;
        const Propiedades p = propiedades(con, c.cultivo);
        int n = 1;
        if (modBasico::EsPlurianual(c.cultivo)) {
            const bool continua = con.hayFilas(QStringLiteral("select 1 from BDParcela where año = ? and hoja = ?"
                                                              " and cultivo = ? and ")
                                                   + FiltroParcela,
                                               {año - 1, hoja, c.cultivo, parcela});
            n = continua ? 1 : años.para(c.cultivo);
            if (!continua) {
                // The planting starts this year: what the sheet holds of it in
                // the following years is this planting's, stored before.
                for (int y = año + 1; y <= año + 100; ++y) {
                    QSqlQuery b = con.ejecutar(QStringLiteral("delete from BDParcela where año = ? and hoja = ?"
                                                              " and cultivo = ? and ")
                                                   + FiltroParcela,
                                               {y, hoja, c.cultivo, parcela});
                    if (b.numRowsAffected() <= 0)
                        break;
                }
            }
        }
        for (int y = año; y <= año + n - 1; ++y) {
            const int inicio = y == año ? c.inicio : 1;
            const int final = y == año + n - 1 ? c.final : 24;
            con.ejecutar(insertar, {parcela, y, hoja, c.cultivo, p.familia, p.raiz, p.parte, inicio, final});
            if (y > año)
                añosSiguientes.insert(y);
        }
    }

    QList<int> ordenados(añosSiguientes.begin(), añosSiguientes.end());
    std::sort(ordenados.begin(), ordenados.end());
    for (int y : ordenados) {
        QSqlQuery q = con.ejecutar(QStringLiteral("select count(*) from BDParcela where año = ? and hoja = ? and ")
                                       + FiltroParcela,
                                   {y, hoja, parcela});
        if (q.next() && q.value(0).toInt() > 4)
            throw PlanNoValido(QStringLiteral("La hoja %1 tendría más de cuatro cultivos en %2 con las plantas"
                                              " plurianuales de este año. No se ha guardado nada: deja sitio en %2"
                                              " o reduce sus años en las opciones de la parcela.")
                                   .arg(hoja)
                                   .arg(y));
    }
    t.confirmar();
}

void VaciarHoja(const QString &cadena, const QString &parcela, int año, int hoja)
{
    Conexion con(cadena);
    Transaccion t(con);
    con.ejecutar(kBorrarHoja, {hoja, año, parcela});
    t.confirmar();
}
