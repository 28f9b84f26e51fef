#include "core/ArbolPlan.h"

#include "core/Luna.h"
#include "core/modBasico.h"
#include "core/Conexion.h"

#include <QHash>
#include <QMutex>

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
    static const QStringList etiquetas = [] {
        QStringList e;
        for (const QString &codigo : modBasico::ColeccionQuincenas())
            e << modBasico::NombreQuincena(codigo);
        return e;
    }();
    return etiquetas.at(quincena - 1);
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
    // The date depends on the kind of crop, the fortnight and the year only:
    // each is sought once.
    const bool raiz = EsRaizTuberculo(fila.extraccion);
    const qint64 clave = (qint64(año) * 25 + quincena) * 2 + (raiz ? 1 : 0);
    static QMutex cerrojo;
    static QHash<qint64, QString> fechas;
    {
        const QMutexLocker bloqueo(&cerrojo);
        const auto it = fechas.constFind(clave);
        if (it != fechas.cend())
            return it.value();
    }
    const QString fecha
        = modBasico::FechaSiembraLunar(raiz, static_cast<qint16>(quincena), static_cast<qint16>(año));
    const QMutexLocker bloqueo(&cerrojo);
    fechas.insert(clave, fecha);
    return fecha;
}

QString TextoFila(const FilaPlan &fila)
{
    const QString partes[] = {QStringLiteral("Hoja:"), QString::number(fila.hoja), QStringLiteral("»"), fila.cultivo,
                              QStringLiteral(" » "), fila.familia, QStringLiteral(" » "), fila.profRaiz,
                              QStringLiteral(" » "), fila.extraccion, QStringLiteral(" »De la "),
                              EtiquetaQuincena(fila.mesInicio), QStringLiteral(" a la "),
                              EtiquetaQuincena(fila.mesFinal), QStringLiteral(" »Luna:"), FechaLunarFila(fila)};
    qsizetype largo = 0;
    for (const QString &p : partes)
        largo += p.size();
    QString texto;
    texto.reserve(largo);
    for (const QString &p : partes)
        texto += p;
    return texto;
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

    // The rows of each year, in VaAntes's order.
    QList<QList<Nodo>> porAño(raiz.hijos.size());
    for (const FilaPlan &f : filas) {
        if (f.año < PrimerAño || f.año > UltimoAñoPosible)
            continue;
        Nodo n;
        n.tipo = TipoNodo::Fila;
        n.texto = TextoFila(f);
        n.imagen = ImagenCultivo;
        n.año = f.año;
        n.hoja = f.hoja;
        porAño[f.año - PrimerAño].append(std::move(n));
    }
    for (int i = 0; i < porAño.size(); ++i) {
        QList<Nodo> &nodos = porAño[i];
        if (nodos.isEmpty())
            continue;
        std::stable_sort(nodos.begin(), nodos.end(), VaAntes);
        Nodo &año = raiz.hijos[i];
        año.expandido = true;
        año.hijos = std::move(nodos);
    }

    arbol.claveSeleccionada = ClaveAño(PrimerAño);
    return arbol;
}

namespace {

// The few texts a column repeats over thousands of rows (a crop's family,
// root depth, edible part), each made once.
class Repetidos
{
public:
    QString operator()(QByteArrayView utf8)
    {
        for (const auto &[bytes, texto] : m_vistos)
            if (bytes == utf8)
                return texto;
        QString texto = QString::fromUtf8(utf8);
        if (m_vistos.size() < 32)
            m_vistos.append({utf8.toByteArray(), texto});
        return texto;
    }

private:
    QList<std::pair<QByteArray, QString>> m_vistos;
};

} // namespace

QList<FilaPlan> LeerFilas(Conexion &con, const QString &parcela)
{
    // Read by position, in the order selected (Null gives 0 or "").
    QList<FilaPlan> filas;
    Repetidos familias, raices, extracciones;
    con.recorrer(QStringLiteral("select año, hoja, cultivo, familia, Prof_raiz, extraccion,"
                                " mes_inicio, mes_final from BDParcela"
                                " where año between ? and ? and ")
                     + FiltroParcela,
                 {PrimerAño, UltimoAñoPosible, parcela}, [&](const FilaBD &q) {
                     FilaPlan f;
                     f.año = q.entero(0);
                     f.hoja = q.entero(1);
                     f.cultivo = q.texto(2);
                     f.familia = familias(q.utf8(3));
                     f.profRaiz = raices(q.utf8(4));
                     f.extraccion = extracciones(q.utf8(5));
                     f.mesInicio = q.entero(6);
                     f.mesFinal = q.entero(7);
                     filas.append(std::move(f));
                 });
    return filas;
}

Arbol CargarArbol(Conexion &con, const QString &parcela, int añoHoy)
{
    return ConstruirArbol(parcela, LeerFilas(con, parcela), añoHoy);
}

} // namespace ArbolPlan
