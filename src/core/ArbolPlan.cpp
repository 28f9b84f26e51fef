#include "core/ArbolPlan.h"

#include "core/Luna.h"
#include "core/modBasico.h"
#include "core/Conexion.h"

#include <algorithm>

namespace ArbolPlan {

QString RutaImagen(int imagen)
{
    switch (imagen) {
    case ImagenCultivo:
        return QStringLiteral(":/iconos/zanahoria.svg");
    case ImagenAño:
        return QStringLiteral(":/iconos/carpeta.svg");
    case ImagenParcela:
        return QStringLiteral(":/iconos/parcela.svg");
    default:
        return QString();
    }
}

const Nodo *Arbol::buscar(const QString &clave) const
{
    if (clave.isEmpty())
        return nullptr;
    if (raiz.clave == clave)
        return &raiz;
    for (const Nodo &año : raiz.hijos)
        if (año.clave == clave)
            return &año;
    return nullptr;
}

QString TextoRaiz(const QString &parcela)
{
    return QStringLiteral("Parcela: <<<") + parcela + QStringLiteral(">>>");
}

QString ClaveRaiz()
{
    return QStringLiteral("TodosAños");
}

QString TextoAño(int año)
{
    return QLatin1Char(' ') + QString::number(año);
}

QString ClaveAño(int año)
{
    return QStringLiteral("a ") + QString::number(año);
}

QString EtiquetaQuincena(int quincena)
{
    if (quincena < 1 || quincena > 48)
        return QStringLiteral("?");
    return modBasico::NombreQuincena(modBasico::ColeccionQuincenas().at(quincena - 1));
}

bool EsRaizTuberculo(const QString &extraccion)
{
    return extraccion == QStringLiteral("Raices y tubérculos");
}

QString FechaLunarFila(const FilaPlan &fila)
{
    int quincena = fila.mesInicio;
    int año = fila.año;
    if (quincena > 24 && quincena <= 48) {
        quincena -= 24;
        ++año;
    }
    if (quincena < 1 || quincena > 24)
        return QString();
    return modBasico::FechaSiembraLunar(EsRaizTuberculo(fila.extraccion), static_cast<qint16>(quincena),
                                        static_cast<qint16>(año));
}

QString TextoFila(const FilaPlan &fila)
{
    return QStringLiteral("Hoja:") + QString::number(fila.hoja) + QStringLiteral("»") + fila.cultivo +
           QStringLiteral(" » ") + fila.familia + QStringLiteral(" » ") + fila.profRaiz + QStringLiteral(" » ") +
           fila.extraccion + QStringLiteral(" »De la ") + EtiquetaQuincena(fila.mesInicio) +
           QStringLiteral(" a la ") + EtiquetaQuincena(fila.mesFinal) + QStringLiteral(" »Luna:") +
           FechaLunarFila(fila);
}

bool VaAntes(const Nodo &a, const Nodo &b)
{
    if (a.hoja != b.hoja)
        return a.hoja < b.hoja;
    return CompararES(a.texto, b.texto) < 0;
}

int UltimoAño(int añoHoy, const QList<FilaPlan> &filas)
{
    int ultimo = std::max(UltimoAñoFijo, añoHoy + AñosPorDelante);
    for (const FilaPlan &f : filas)
        if (f.año <= UltimoAñoPosible)
            ultimo = std::max(ultimo, f.año);
    return ultimo;
}

Arbol ConstruirArbol(const QString &parcela, const QList<FilaPlan> &filas, int añoHoy)
{
    Arbol arbol;
    Nodo &raiz = arbol.raiz;
    raiz.tipo = TipoNodo::Parcela;
    raiz.clave = ClaveRaiz();
    raiz.texto = TextoRaiz(parcela);
    raiz.imagen = ImagenParcela;
    raiz.negrita = true;
    raiz.expandido = true;

    const int ultimo = UltimoAño(añoHoy, filas);
    for (int y = PrimerAño; y <= ultimo; ++y) {
        Nodo año;
        año.tipo = TipoNodo::Año;
        año.clave = ClaveAño(y);
        año.texto = TextoAño(y);
        año.imagen = ImagenAño;
        año.año = y;
        raiz.hijos.append(año);
    }

    for (const FilaPlan &f : filas) {
        if (f.año < PrimerAño || f.año > UltimoAñoPosible)
            continue;
        Nodo n;
        n.tipo = TipoNodo::Fila;
        n.texto = TextoFila(f);
        n.imagen = ImagenCultivo;
        n.año = f.año;
        n.hoja = f.hoja;
        Nodo &año = raiz.hijos[f.año - PrimerAño];
        año.hijos.append(n);
        año.expandido = true;
    }
    for (Nodo &año : raiz.hijos)
        std::stable_sort(año.hijos.begin(), año.hijos.end(), VaAntes);

    arbol.claveSeleccionada = ClaveAño(PrimerAño);
    return arbol;
}

QList<FilaPlan> LeerFilas(Conexion &con, const QString &parcela)
{
    QSqlQuery q = con.ejecutar(QStringLiteral("select año, hoja, cultivo, familia, Prof_raiz, extraccion,"
                                              " mes_inicio, mes_final from BDParcela"
                                              " where año between ? and ? and coincide(parcela, ?)"),
                               {PrimerAño, UltimoAñoPosible, parcela});
    QList<FilaPlan> filas;
    while (q.next()) {
        FilaPlan f;
        f.año = LeerEntero(q, "año");
        f.hoja = LeerEntero(q, "hoja");
        f.cultivo = LeerTexto(q, "cultivo");
        f.familia = LeerTexto(q, "familia");
        f.profRaiz = LeerTexto(q, "Prof_raiz");
        f.extraccion = LeerTexto(q, "extraccion");
        f.mesInicio = LeerEntero(q, "mes_inicio");
        f.mesFinal = LeerEntero(q, "mes_final");
        filas.append(f);
    }
    return filas;
}

Arbol CargarArbol(Conexion &con, const QString &parcela, int añoHoy)
{
    return ConstruirArbol(parcela, LeerFilas(con, parcela), añoHoy);
}

} // namespace ArbolPlan
