#include "core/Catalogo.h"

#include "core/modBasico.h"
#include "core/Conexion.h"

int ColeccionesCatalogo::posicion(const QString &cultivo) const
{
    return TodosCultivos.indexOf(cultivo);
}

ColeccionesCatalogo CargarColeccionesCatalogo(Conexion &con)
{
    ColeccionesCatalogo c;
    ListaCandidatos vistos;
    QSqlQuery q = con.ejecutar(QStringLiteral("select * from horticolas order by nombre collate ES"));
    while (q.next()) {
        const QString nombre = LeerTexto(q, "Nombre");
        if (!vistos.agregar(nombre))
            continue;
        c.TodosCultivos.append(nombre);
        c.TodasFamilias.append(LeerTexto(q, "Familia"));
        c.TodasRaiz.append(LeerTexto(q, "Profundidad_raices"));
        c.TodasProfit.append(LeerTexto(q, "Parte_aprovechable"));
    }
    return c;
}

QStringList NombresHorticolas(Conexion &con)
{
    QStringList nombres;
    QSqlQuery q = con.ejecutar(QStringLiteral("select * from horticolas order by rowid"));
    while (q.next()) {
        const QString nombre = LeerTexto(q, "Nombre");
        if (!nombres.contains(nombre, Qt::CaseInsensitive))
            nombres.append(nombre);
    }
    return nombres;
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
    QSqlQuery q = filtro.sinLimite
        ? con.ejecutar(QStringLiteral("select * from horticolas order by nombre collate ES"))
        : con.ejecutar(QStringLiteral("select * from horticolas where Siembra_1_I < ? and Siembra_1_F >= ?"
                                      " and Cosecha_1_min <= ? order by nombre collate ES"),
                       {filtro.siembraAntesDe, filtro.siembraHastaDesde, filtro.diasMaximos});
    while (q.next())
        lista.agregar(LeerTexto(q, "Nombre"));
    return lista;
}
