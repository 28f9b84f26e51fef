#include "core/Parcelas.h"

#include "core/Conexion.h"
#include "core/modBasico.h"

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


namespace {

// The sheet count and frost-free period as the window can lay them out: 3 to 7
// sheets, and a period (a 1 in either bound: no frost limit) that ends after
// it starts; otherwise no sheet could ever take a crop.
void comprobar(int hojas, int inicio, int final)
{
    if (hojas < 3 || hojas > 7)
        throw ParcelaNoValida(QStringLiteral("Elige cuántas hojas tiene la parcela (de 3 a 7): no se ha guardado nada."));
    if (inicio >= 1 && inicio <= 24 && final >= 1 && final <= 24 && (inicio == 1 || final == 1 || final > inicio))
        return;
    if (final == inicio)
        throw ParcelaNoValida(
            QStringLiteral("El periodo libre de heladas empieza y termina en «%1»: debe terminar después de empezar;"
                           " elige un mes final posterior al de inicio. No se ha guardado nada.")
                .arg(modBasico::NombreLargoQuincena(inicio)));
    throw ParcelaNoValida(
        QStringLiteral("El periodo libre de heladas termina («%1») antes de empezar («%2»): elige un mes final"
                       " posterior al de inicio. No se ha guardado nada.")
            .arg(modBasico::NombreLargoQuincena(final), modBasico::NombreLargoQuincena(inicio)));
}

} // namespace

void CrearParcela(Conexion &con, const QString &nombreEscrito, int hojas, int inicio, int final)
{
    // Blanks around a name cannot be seen: "Huerto " would pass for "Huerto".
    const QString nombre = nombreEscrito.trimmed();
    if (nombre.isEmpty())
        throw ParcelaNoValida(QStringLiteral("Escribe el nombre de la nueva parcela antes de pulsar «Crear»."));
    comprobar(hojas, inicio, final);
    Transaccion t(con);
    if (con.hayFilas(QStringLiteral("select 1 from Parcelas where coincide(NombreParcela, ?)"), {nombre}))
        throw ParcelaNoValida(
            QStringLiteral("Ya hay una parcela llamada «%1»: elige otro nombre para la nueva parcela.").arg(nombre));
    con.ejecutar(QStringLiteral("insert into Parcelas (NombreParcela, HOJAS, Libre_Heladas_Inicio,"
                                " Libre_Heladas_Final) values (?, ?, ?, ?)"),
                 {nombre, hojas, inicio, final});
    t.confirmar();
}

bool SoloLectura(Conexion &con)
{
    // A statement that writes nothing still needs a writable file.
    try {
        con.ejecutar(QStringLiteral("update Parcelas set ultima = ultima where 0"));
    } catch (const ErrorBD &e) {
        return e.tipo() == TipoFalloBD::SoloLectura;
    }
    return false;
}

ListadoParcelas BorrarParcela(Conexion &con, const QString &nombre)
{
    Transaccion t(con);
    con.ejecutar(QStringLiteral("delete from BDParcela where ") + FiltroParcela, {nombre});
    con.ejecutar(QStringLiteral("delete from Parcelas where coincide(NombreParcela, ?)"), {nombre});
    ListadoParcelas l = ListarParcelas(con);
    if (l.ultima < 0 && !l.nombres.isEmpty()) {
        con.ejecutar(QStringLiteral("update Parcelas set ultima = 1 where rowid = (select min(rowid) from Parcelas)"));
        l.ultima = 0;
    }
    t.confirmar();
    return l;
}

void GuardarOpcionesParcela(Conexion &con, const QString &nombre, const OpcionesParcela &o)
{
    const QVariantList valores = {o.hojas,         o.inicioSinHeladas,  o.finalSinHeladas,
                                  int(o.repetirFrutos), int(o.repetirRaices), o.alcachofa,
                                  o.fresa,         o.esparrago,         nombre};
    comprobar(o.hojas, o.inicioSinHeladas, o.finalSinHeladas);
    Transaccion t(con);
    // A plot deleted meanwhile (by another copy of the program) is not brought
    // back: its plan went with it.
    if (!con.hayFilas(QStringLiteral("select 1 from Parcelas where coincide(NombreParcela, ?)"), {nombre}))
        throw ParcelaNoValida(
            QStringLiteral("La parcela <%1> ya no existe en la base de datos: no se han guardado sus opciones.")
                .arg(nombre));
    con.ejecutar(QStringLiteral("update Parcelas set HOJAS = ?, Libre_Heladas_Inicio = ?,"
                                " Libre_Heladas_Final = ?, RepetirFrutos = ?, RepetirRaices = ?, Alcachofa = ?,"
                                " Fresa = ?, Espárrago = ?, NombreParcela = ?"
                                " where coincide(NombreParcela, ?)"),
                 valores + QVariantList{nombre});
    t.confirmar();
}
