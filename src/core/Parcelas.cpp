#include "core/Parcelas.h"

#include "core/Conexion.h"

#include <algorithm>

std::optional<OpcionesParcela> LeerOpcionesParcela(Conexion &con, const QString &nombre)
{
    QSqlQuery q = con.ejecutar(QStringLiteral("select * from Parcelas where coincide(NombreParcela, ?)"),
                               {nombre});
    if (!q.next())
        return std::nullopt;
    auto quincena = [](int v) { return (v >= 1 && v <= 24) ? v : 1; };
    auto años = [](int v) { return std::clamp(v, 2, 6); };
    OpcionesParcela o;
    o.hojas = std::clamp(LeerEntero(q, "HOJAS"), 3, 7);
    o.inicioSinHeladas = quincena(LeerEntero(q, "Libre_Heladas_Inicio"));
    o.finalSinHeladas = quincena(LeerEntero(q, "Libre_Heladas_Final"));
    o.repetirFrutos = LeerSiNo(q, "RepetirFrutos");
    o.repetirRaices = LeerSiNo(q, "RepetirRaices");
    o.cicloCorto = LeerSiNo(q, "CicloCorto");
    o.alcachofa = años(LeerEntero(q, "Alcachofa"));
    o.fresa = años(LeerEntero(q, "Fresa"));
    o.esparrago = años(LeerEntero(q, "Espárrago"));
    return o;
}

ListadoParcelas ListarParcelas(Conexion &con)
{
    ListadoParcelas l;
    QSqlQuery q = con.ejecutar(QStringLiteral("select * from Parcelas order by rowid"));
    while (q.next()) {
        l.nombres.append(LeerTexto(q, "NombreParcela"));
        if (LeerSiNo(q, "ultima"))
            l.ultima = l.nombres.size() - 1;
    }
    return l;
}

void MarcarUltimaParcela(Conexion &con, const QString &nombre)
{
    Transaccion t(con);
    con.ejecutar(QStringLiteral("update Parcelas set ultima = 0"));
    con.ejecutar(QStringLiteral("update Parcelas set ultima = 1 where coincide(NombreParcela, ?)"), {nombre});
    t.confirmar();
}
