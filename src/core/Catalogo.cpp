#include "core/Catalogo.h"

#include "core/modBasico.h"
#include "core/Conexion.h"

#include <QSqlRecord>

#include <algorithm>

int ColeccionesCatalogo::posicion(const QString &cultivo) const
{
    return TodosCultivos.indexOf(cultivo);
}

namespace {

// A catalogue row as the collections take it.
struct FilaCatalogo
{
    QString nombre, familia, raiz, parte;
    QString plegado; // the name folded once, for ordering
};

// The rows sql yields (name first, then optionally family, root depth and
// edible part), in the order COLLATE ES gives the names; rows of one name keep
// their stored order. Each name is folded once rather than at every comparison.
QList<FilaCatalogo> leerOrdenado(Conexion &con, const QString &sql, const QVariantList &valores = {})
{
    QList<FilaCatalogo> filas;
    QSqlQuery q = con.ejecutar(sql, valores);
    const int columnas = q.record().count();
    while (q.next()) {
        FilaCatalogo &f = filas.emplace_back();
        f.nombre = q.value(0).toString();
        if (columnas >= 4) {
            f.familia = q.value(1).toString();
            f.raiz = q.value(2).toString();
            f.parte = q.value(3).toString();
        }
        f.plegado = PlegarES(f.nombre);
    }
    std::stable_sort(filas.begin(), filas.end(), [](const FilaCatalogo &a, const FilaCatalogo &b) {
        const int c = a.plegado.compare(b.plegado);
        return c != 0 ? c < 0 : a.nombre.compare(b.nombre) < 0;
    });
    return filas;
}

} // namespace

ColeccionesCatalogo CargarColeccionesCatalogo(Conexion &con)
{
    ColeccionesCatalogo c;
    const QList<FilaCatalogo> filas = leerOrdenado(
        con, QStringLiteral("select Nombre, Familia, Profundidad_raices, Parte_aprovechable from horticolas"
                            " order by rowid"));
    ListaCandidatos vistos;
    vistos.reservar(filas.size());
    for (QStringList *l : {&c.TodosCultivos, &c.TodasFamilias, &c.TodasRaiz, &c.TodasProfit})
        l->reserve(filas.size());
    for (const FilaCatalogo &f : filas) {
        if (!vistos.agregar(f.nombre))
            continue;
        c.TodosCultivos.append(f.nombre);
        c.TodasFamilias.append(f.familia);
        c.TodasRaiz.append(f.raiz);
        c.TodasProfit.append(f.parte);
    }
    return c;
}

QStringList NombresHorticolas(Conexion &con)
{
    QStringList todos;
    QSqlQuery q = con.ejecutar(QStringLiteral("select Nombre from horticolas order by rowid"));
    while (q.next())
        todos.append(q.value(0).toString());
    ListaCandidatos nombres;
    nombres.reservar(todos.size());
    for (const QString &n : todos)
        nombres.agregar(n);
    return nombres.nombres();
}

FiltroHeladas FiltroHeladas::Para(int inicio, int final)
{
    FiltroHeladas f;
    f.sinLimite = (inicio == 1 || final == 1);
    if (!f.sinLimite) {
        f.siembraAntesDe = final;
        f.siembraHastaDesde = inicio;
        f.diasMaximos = (final - inicio) * 15;
    }
    return f;
}

ListaCandidatos CultivosSinHelada(Conexion &con, const FiltroHeladas &filtro)
{
    ListaCandidatos lista;
    lista.agregarSinClave(modBasico::CultivoVacio);
    const QList<FilaCatalogo> filas = filtro.sinLimite
        ? leerOrdenado(con, QStringLiteral("select Nombre from horticolas order by rowid"))
        : leerOrdenado(con,
                       QStringLiteral("select Nombre from horticolas where Siembra_1_I < ? and Siembra_1_F >= ?"
                                      " and Cosecha_1_min <= ? order by rowid"),
                       {filtro.siembraAntesDe, filtro.siembraHastaDesde, filtro.diasMaximos});
    lista.reservar(filas.size() + 1);
    for (const FilaCatalogo &f : filas)
        lista.agregar(f.nombre);
    return lista;
}
