#include "core/RejillaPlan.h"

#include "core/modBasico.h"
#include "core/Conexion.h"

#include <algorithm>
#include <cmath>

namespace {

// A field as read, or nullopt when empty or not a number.
std::optional<double> numero(const QSqlQuery &q, const char *campo)
{
    const QVariant v = q.value(QString::fromUtf8(campo));
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}


void añadirTramo(QList<int> &r, int desde, int hasta)
{
    for (int q = std::max(desde, 1); q <= std::min(hasta, 24); ++q)
        r << q;
}

} // namespace

QList<DatosSiembra> LeerDatosSiembra(Conexion &con, const QString &cultivo,
                                     const std::function<void(const QString &)> &explicar)
{
    auto decir = [&](const char *campo, double valor, const QString &queSeHace) {
        if (explicar)
            explicar(QStringLiteral("El catálogo da a <%1> %2 = %3, fuera de rango: %4")
                         .arg(cultivo, QString::fromUtf8(campo))
                         .arg(valor)
                         .arg(queSeHace));
    };
    auto quincena = [&](const QSqlQuery &q, const char *campo) -> std::optional<int> {
        const std::optional<double> d = numero(q, campo);
        if (!d)
            return std::nullopt;
        if (*d < 0.5 || *d >= 24.5) {
            decir(campo, *d, QStringLiteral("no se tiene en cuenta"));
            return std::nullopt;
        }
        return int(std::lround(*d));
    };
    auto dias = [&](const QSqlQuery &q, const char *campo) -> std::optional<double> {
        const std::optional<double> d = numero(q, campo);
        if (d && (*d < 0 || *d > DiasCosechaMaximos)) {
            const double ajustado = std::clamp(*d, 0.0, double(DiasCosechaMaximos));
            decir(campo, *d, QStringLiteral("se toma %1").arg(ajustado));
            return ajustado;
        }
        return d;
    };
    QList<DatosSiembra> filas;
    QSqlQuery q = con.ejecutar(QStringLiteral("select * from horticolas where coincide(Nombre, ?) order by rowid"),
                               {cultivo});
    while (q.next()) {
        DatosSiembra d;
        d.Siembra_1_I = quincena(q, "Siembra_1_I");
        d.Siembra_1_F = quincena(q, "Siembra_1_F");
        d.Siembra_2_I = quincena(q, "Siembra_2_I");
        d.Siembra_2_F = quincena(q, "Siembra_2_F");
        d.Cosecha_1_min = dias(q, "Cosecha_1_min");
        d.Cosecha_1_max = dias(q, "Cosecha_1_max");
        filas << d;
    }
    return filas;
}

QList<int> QuincenasSiembra(const DatosSiembra &d)
{
    QList<int> r;
    if (d.Siembra_1_I) {
        const int i = *d.Siembra_1_I;
        if (!d.Siembra_1_F) {
            añadirTramo(r, i, i);
        } else if (i < *d.Siembra_1_F) {
            añadirTramo(r, i, *d.Siembra_1_F);
        } else {
            añadirTramo(r, i, 24);
            añadirTramo(r, 1, *d.Siembra_1_F);
        }
    }
    if (d.Siembra_2_I)
        añadirTramo(r, *d.Siembra_2_I, d.Siembra_2_F.value_or(*d.Siembra_2_I));
    return r;
}

int RedondeoPar(double x)
{
    // The default rounding mode rounds a half to the even neighbour.
    return int(std::nearbyint(x));
}

int ColumnaDeQuincena(int q)
{
    return q > 24 ? q - 24 : q;
}

Colocacion Colocar(int c, const DatosSiembra &d, const std::function<bool(int)> &conHelada)
{
    using namespace modBasico;
    // No span reaches past fortnight 48: days beyond two years change nothing.
    const double min = std::clamp(d.Cosecha_1_min.value_or(0.0), 0.0, double(DiasCosechaMaximos));
    const double max = std::clamp(d.Cosecha_1_max.value_or(min), 0.0, double(DiasCosechaMaximos));

    Colocacion r;
    r.inicio = c;
    r.final = std::clamp(RedondeoPar(c + min / 15.0 - 1), c, 48);
    const int fin = std::clamp(RedondeoPar(c + max / 15.0 - 1), r.final, 48);
    for (int q = c; q <= fin; ++q) {
        const int columna = ColumnaDeQuincena(q);
        Colocacion::Celda celda{columna, 0};
        if (conHelada && conHelada(columna)) {
            celda.color = ColorSolape;
            r.heladaEnElCamino = true;
        } else {
            // The growing fortnights are compared unrounded; the sowing
            // fortnight always counts as growing.
            celda.color = (q == c || q < c + min / 15.0) ? ColorCultivo : ColorCosecha;
        }
        r.celdas << celda;
    }
    return r;
}

bool SeSolapan(int Ic, int Fc, int Ip, int Fp)
{
    const bool finFuera = Fc > Fp || Fc < Ip;
    const bool inicioFuera = Ic > Fp || Ic < Ip;
    const bool noEncierra = Fp >= Fc || Ic >= Ip;
    return !(finFuera && inicioFuera && noEncierra);
}
