#include "mapa/Shapefile.h"

#include "mapa/ShapefileFormato.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cmath>
#include <memory>
#include <shapefil.h>

void Extents::SetBounds(double xmin, double ymin, double, double xmax, double ymax, double)
{
    xMin = xmin;
    yMin = ymin;
    xMax = xmax;
    yMax = ymax;
}

void Extents::unir(const Extents &otra)
{
    xMin = qMin(xMin, otra.xMin);
    yMin = qMin(yMin, otra.yMin);
    xMax = qMax(xMax, otra.xMax);
    yMax = qMax(yMax, otra.yMax);
}

bool Extents::seCortaCon(const Extents &o) const
{
    return xMin <= o.xMax && o.xMin <= xMax && yMin <= o.yMax && o.yMin <= yMax;
}

namespace {

// Beyond this no map projection reaches (metres, feet or degrees alike);
// it also rules out NaN and infinities.
constexpr double kMaxCoordenada = 1e12;

// The library builds the names of the companion files itself (.shp or .SHP,
// .shx or .SHX ...). Its file hooks send each of them to the file that Open()
// found and checked, whatever the letter case of its extension.
struct Rutas
{
    QByteArray shp, shx, dbf;
};
Rutas *g_rutas = nullptr;
SAFile (*g_abrirDefecto)(const char *, const char *) = nullptr;

SAFile abrirFichero(const char *nombre, const char *modo)
{
    const char *real = nombre;
    if (g_rutas) {
        const QByteArray ext = QByteArray(nombre).right(4).toLower();
        if (ext == ".shp")
            real = g_rutas->shp.constData();
        else if (ext == ".shx")
            real = g_rutas->shx.constData();
        else if (ext == ".dbf")
            real = g_rutas->dbf.constData();
    }
    return g_abrirDefecto(real, modo);
}

// The library's own messages are in English and go to the standard error
// stream by default; Open() reports every failure in its own words instead.
void errorBiblioteca(const char *) {}

SAHooks ganchos()
{
    SAHooks h;
    SASetupDefaultHooks(&h);
    g_abrirDefecto = h.FOpen;
    h.FOpen = abrirFichero;
    h.Error = errorBiblioteca;
    return h;
}

// Sets the routes for the library's hooks while an Open() runs.
class UsarRutas
{
public:
    explicit UsarRutas(Rutas *r) { g_rutas = r; }
    ~UsarRutas() { g_rutas = nullptr; }
};

// The companion of a .shp with extension ext ("shx", "dbf"): the first that
// exists of the name with the extension in the letter case of the .shp's,
// in lower case, in upper case; the first of them when none exists.
QString compañero(const QString &shp, const QString &ext)
{
    const QFileInfo info(shp);
    const QString sufijo = info.suffix();
    const QString base = sufijo.isEmpty() ? shp : shp.left(shp.size() - sufijo.size() - 1);
    QString espejo = ext;
    if (sufijo.size() == ext.size())
        for (int i = 0; i < ext.size(); ++i)
            espejo[i] = sufijo.at(i).isUpper() ? ext.at(i).toUpper() : ext.at(i).toLower();
    const QStringList candidatos = {base + QLatin1Char('.') + espejo, base + QLatin1Char('.') + ext.toLower(),
                                    base + QLatin1Char('.') + ext.toUpper()};
    for (const QString &c : candidatos)
        if (QFileInfo(c).isFile())
            return c;
    return candidatos.first();
}

// Texts of the table are in the code page that the .cpg file names when it
// says UTF-8; otherwise in the Windows Western page, read as Latin-1.
QString decodificar(const char *s, bool utf8)
{
    if (!s)
        return {};
    return utf8 ? QString::fromUtf8(s) : QString::fromLatin1(s);
}

QVariant valorCelda(DBFFieldType tipo, const QString &texto)
{
    const QString t = texto.trimmed();
    bool ok = false;
    switch (tipo) {
    case FTInteger:
    case FTDouble: {
        const qlonglong entero = t.toLongLong(&ok);
        if (ok)
            return entero >= INT_MIN && entero <= INT_MAX ? QVariant(int(entero)) : QVariant(entero);
        const double real = t.toDouble(&ok);
        if (ok && std::isfinite(real))
            return real;
        return t;
    }
    case FTLogical:
        if (t.size() == 1 && QStringLiteral("TtYy").contains(t))
            return true;
        if (t.size() == 1 && QStringLiteral("FfNn").contains(t))
            return false;
        return QVariant();
    case FTDate: {
        const QDate fecha = QDate::fromString(t, QStringLiteral("yyyyMMdd"));
        return fecha.isValid() ? QVariant(fecha) : QVariant(t);
    }
    default:
        // Text fields are padded with blanks on the right.
        QString s = texto;
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    }
}

bool enSegmento(const QPointF &a, const QPointF &b, double x, double y)
{
    const double cruz = (b.x() - a.x()) * (y - a.y()) - (b.y() - a.y()) * (x - a.x());
    if (cruz != 0)
        return false;
    return x >= qMin(a.x(), b.x()) && x <= qMax(a.x(), b.x()) && y >= qMin(a.y(), b.y()) && y <= qMax(a.y(), b.y());
}

int orientacion(const QPointF &a, const QPointF &b, const QPointF &c)
{
    const double v = (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

bool segmentosSeCortan(const QPointF &p1, const QPointF &p2, const QPointF &q1, const QPointF &q2)
{
    const int o1 = orientacion(p1, p2, q1), o2 = orientacion(p1, p2, q2);
    const int o3 = orientacion(q1, q2, p1), o4 = orientacion(q1, q2, p2);
    if (o1 != o2 && o3 != o4)
        return true;
    return (o1 == 0 && enSegmento(p1, p2, q1.x(), q1.y())) || (o2 == 0 && enSegmento(p1, p2, q2.x(), q2.y()))
        || (o3 == 0 && enSegmento(q1, q2, p1.x(), p1.y())) || (o4 == 0 && enSegmento(q1, q2, p2.x(), p2.y()));
}

struct CerrarShp
{
    void operator()(SHPInfo *h) const { SHPClose(h); }
};
struct CerrarDbf
{
    void operator()(DBFInfo *h) const { DBFClose(h); }
};
struct DestruirObjeto
{
    void operator()(SHPObject *o) const { SHPDestroyObject(o); }
};

QString nombreForma(int i)
{
    return QStringLiteral("la forma nº %1").arg(i + 1);
}

} // namespace

bool Shapefile::fallar(CodigoError codigo, const QString &detalle)
{
    m_abierto = false;
    m_codigo = codigo;
    m_detalle = detalle;
    m_formas.clear();
    m_campos.clear();
    m_valores.clear();
    m_extension = Extents();
    return false;
}

bool Shapefile::Open(const QString &fichero)
{
    fallar(SinError);
    m_fichero = fichero;
    const QFileInfo info(fichero);
    if (!info.exists() || !info.isFile())
        return fallar(FicheroNoExiste, QStringLiteral("el fichero no existe."));

    const QString shx = compañero(fichero, QStringLiteral("shx"));
    const QString dbf = compañero(fichero, QStringLiteral("dbf"));
    ShapefileFormato::Fallo f;
    int registros = 0, campos = 0, filas = 0;
    if (!ShapefileFormato::ComprobarShpShx(fichero, shx, registros, f)
        || !ShapefileFormato::ComprobarDbf(dbf, campos, filas, f))
        return fallar(CodigoError(f.codigo), f.detalle);
    if (filas != registros)
        return fallar(DbfNoCoincide,
                      QStringLiteral("su tabla de atributos tiene %1 registros y el fichero tiene %2 formas: no tiene"
                                     " un registro por forma.")
                          .arg(filas)
                          .arg(registros));

    Rutas rutas{QFile::encodeName(fichero), QFile::encodeName(shx), QFile::encodeName(dbf)};
    const UsarRutas usar(&rutas);
    // What the library reads must agree with what the checks found.
    if (!leerGeometria(fichero))
        return false;
    if (m_formas.size() != registros)
        return fallar(ShxNoCoincide, QStringLiteral("su fichero de índice %1 no corresponde a este fichero.")
                                         .arg(QFileInfo(shx).fileName()));
    if (!leerAtributos(dbf))
        return false;
    if (m_valores.size() != registros || m_campos.size() != campos)
        return fallar(DbfNoValido,
                      QStringLiteral("su tabla de atributos %1 está dañada.").arg(QFileInfo(dbf).fileName()));
    if (!comprobarCampoHoja())
        return false;

    for (int i = 0; i < m_formas.size(); ++i) {
        const Extents &c = m_formas.at(i).caja;
        if (i == 0)
            m_extension = c;
        else
            m_extension.unir(c);
    }
    m_abierto = true;
    return true;
}

bool Shapefile::leerGeometria(const QString &shp)
{
    SAHooks h = ganchos();
    std::unique_ptr<SHPInfo, CerrarShp> fichero(SHPOpenLL(QFile::encodeName(shp).constData(), "rb", &h));
    if (!fichero)
        return fallar(ShpNoValido, QStringLiteral("no se puede interpretar su geometría."));
    int n = 0, tipo = 0;
    double minimos[4] = {}, maximos[4] = {};
    SHPGetInfo(fichero.get(), &n, &tipo, minimos, maximos);
    if (tipo != SHPT_POLYGON)
        return fallar(TipoNoPoligono, QStringLiteral("sus formas no son polígonos (tipo de forma %1).").arg(tipo));

    QVector<Forma> formas;
    formas.reserve(n);
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<SHPObject, DestruirObjeto> o(SHPReadObject(fichero.get(), i));
        if (!o)
            return fallar(FormaNoValida, nombreForma(i) + QStringLiteral(" está dañada: no se puede leer."));
        if (o->nSHPType != SHPT_POLYGON)
            return fallar(FormaNoValida, nombreForma(i) + QStringLiteral(" no es un polígono."));
        const int partes = o->nParts, vertices = o->nVertices;
        if (partes < 1 || vertices < 3 || !o->panPartStart || !o->padfX || !o->padfY || o->panPartStart[0] != 0)
            return fallar(FormaNoValida, nombreForma(i) + QStringLiteral(" está dañada (partes no válidas)."));
        Forma forma;
        for (int p = 0; p < partes; ++p) {
            const int desde = o->panPartStart[p];
            const int hasta = p + 1 < partes ? o->panPartStart[p + 1] : vertices;
            if (desde < 0 || hasta > vertices || hasta - desde < 3)
                return fallar(FormaNoValida,
                              nombreForma(i) + QStringLiteral(" está dañada: su parte %1 no es un anillo de al menos tres"
                                                              " vértices.")
                                                   .arg(p + 1));
            QPolygonF anillo;
            anillo.reserve(hasta - desde);
            for (int v = desde; v < hasta; ++v) {
                const double x = o->padfX[v], y = o->padfY[v];
                if (!(std::abs(x) <= kMaxCoordenada) || !(std::abs(y) <= kMaxCoordenada))
                    return fallar(CoordenadaNoValida,
                                  nombreForma(i) + QStringLiteral(" tiene coordenadas que no son válidas (no son"
                                                                  " números o quedan fuera de cualquier mapa)."));
                anillo.append(QPointF(x, y));
            }
            forma.anillos.append(anillo);
        }
        bool primero = true;
        for (const QPolygonF &anillo : forma.anillos)
            for (const QPointF &p : anillo) {
                if (primero) {
                    forma.caja.SetBounds(p.x(), p.y(), 0, p.x(), p.y(), 0);
                    primero = false;
                }
                forma.caja.xMin = qMin(forma.caja.xMin, p.x());
                forma.caja.yMin = qMin(forma.caja.yMin, p.y());
                forma.caja.xMax = qMax(forma.caja.xMax, p.x());
                forma.caja.yMax = qMax(forma.caja.yMax, p.y());
            }
        formas.append(forma);
    }
    m_formas = formas;
    return true;
}

bool Shapefile::leerAtributos(const QString &dbf)
{
    SAHooks h = ganchos();
    std::unique_ptr<DBFInfo, CerrarDbf> tabla(DBFOpenLL(QFile::encodeName(dbf).constData(), "rb", &h));
    const QString dañada = QStringLiteral("su tabla de atributos %1 está dañada.").arg(QFileInfo(dbf).fileName());
    if (!tabla)
        return fallar(DbfNoValido, dañada);
    const QByteArray pagina = QByteArray(DBFGetCodePage(tabla.get())).toUpper();
    const bool utf8 = pagina.contains("UTF-8") || pagina.contains("UTF8") || pagina.contains("65001");

    const int campos = DBFGetFieldCount(tabla.get());
    const int filas = DBFGetRecordCount(tabla.get());
    QStringList nombres;
    QVector<DBFFieldType> tipos;
    for (int c = 0; c < campos; ++c) {
        char nombre[XBASE_FLDNAME_LEN_READ + 1] = {};
        int ancho = 0, decimales = 0;
        tipos.append(DBFGetFieldInfo(tabla.get(), c, nombre, &ancho, &decimales));
        nombres.append(decodificar(nombre, utf8).trimmed());
    }
    QVector<QVector<QVariant>> valores(filas);
    for (int r = 0; r < filas; ++r) {
        valores[r].reserve(campos);
        for (int c = 0; c < campos; ++c) {
            if (DBFIsAttributeNULL(tabla.get(), r, c)) {
                valores[r].append(QVariant());
                continue;
            }
            const char *texto = DBFReadStringAttribute(tabla.get(), r, c);
            if (!texto)
                return fallar(DbfNoValido, dañada);
            valores[r].append(valorCelda(tipos.at(c), decodificar(texto, utf8)));
        }
    }
    m_campos = nombres;
    m_valores = valores;
    return true;
}

bool Shapefile::comprobarCampoHoja()
{
    if (m_campos.isEmpty())
        return fallar(SinCampos, QStringLiteral("su tabla de atributos no tiene campos: falta el número de hoja."));
    for (int i = 0; i < m_valores.size(); ++i) {
        const QVariant v = m_valores.at(i).value(0);
        bool ok = false;
        const double numero = v.isNull() ? 0 : v.toString().trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(numero) || numero != std::floor(numero) || numero < 1 || numero > 255) {
            const QString visto = v.isNull() ? QStringLiteral("vacío") : QStringLiteral("«%1»").arg(v.toString());
            return fallar(CampoHojaNoValido,
                          QStringLiteral("el número de hoja (campo 0) de %1 no es un número entero de 1 a 255: %2.")
                              .arg(nombreForma(i), visto));
        }
        // A whole number held in a decimal or text field reads as an int.
        m_valores[i][0] = int(numero);
    }
    return true;
}

QString Shapefile::ErrorMsg(int codigo) const
{
    if (codigo == m_codigo && codigo != SinError && !m_detalle.isEmpty())
        return m_detalle;
    switch (codigo) {
    case SinError: return QStringLiteral("no hay ningún error.");
    case FicheroNoExiste: return QStringLiteral("el fichero no existe.");
    case FicheroNoLegible: return QStringLiteral("no se puede leer el fichero (falta permiso o lo tiene bloqueado otro programa).");
    case ShpIncompleto: return QStringLiteral("el fichero está incompleto.");
    case ShpNoValido: return QStringLiteral("no es un fichero ESRI shape: su cabecera no es la de ese formato.");
    case TipoNoPoligono: return QStringLiteral("sus formas no son polígonos.");
    case ShxNoExiste: return QStringLiteral("falta su fichero de índice (.shx).");
    case ShxNoValido: return QStringLiteral("su fichero de índice (.shx) está dañado.");
    case ShxNoCoincide: return QStringLiteral("su fichero de índice (.shx) no corresponde a este fichero.");
    case FormaNoValida: return QStringLiteral("una de sus formas está dañada.");
    case CoordenadaNoValida: return QStringLiteral("una de sus formas tiene coordenadas que no son válidas.");
    case DemasiadoGrande: return QStringLiteral("es demasiado grande para ser un plano de hojas.");
    case DbfNoExiste: return QStringLiteral("falta su tabla de atributos (.dbf).");
    case DbfNoValido: return QStringLiteral("su tabla de atributos (.dbf) está dañada.");
    case DbfNoCoincide: return QStringLiteral("su tabla de atributos (.dbf) no tiene un registro por forma.");
    case SinCampos: return QStringLiteral("su tabla de atributos no tiene campos: falta el número de hoja.");
    case CampoHojaNoValido: return QStringLiteral("el número de hoja (campo 0) de una forma no es un número entero de 1 a 255.");
    }
    return QStringLiteral("error desconocido (%1).").arg(codigo);
}

QVariant Shapefile::CellValue(int campo, int forma) const
{
    if (forma < 0 || forma >= m_valores.size() || campo < 0 || campo >= m_valores.at(forma).size())
        return QVariant();
    return m_valores.at(forma).at(campo);
}

Extents Shapefile::ShapeExtents(int forma) const
{
    return m_formas.value(forma).caja;
}

bool Shapefile::contienePunto(int forma, double x, double y) const
{
    if (forma < 0 || forma >= m_formas.size())
        return false;
    bool dentro = false;
    for (const QPolygonF &anillo : m_formas.at(forma).anillos) {
        const int n = int(anillo.size());
        for (int j = 0; j < n; ++j) {
            const QPointF &a = anillo.at(j);
            const QPointF &b = anillo.at((j + 1) % n);
            if (enSegmento(a, b, x, y))
                return true;
            if ((a.y() > y) != (b.y() > y)) {
                const double xCorte = a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
                if (x < xCorte)
                    dentro = !dentro;
            }
        }
    }
    return dentro;
}

bool Shapefile::cortaCaja(int indice, const Extents &c) const
{
    const Forma &f = m_formas.at(indice);
    if (!f.caja.seCortaCon(c))
        return false;
    for (const QPolygonF &anillo : f.anillos)
        for (const QPointF &p : anillo)
            if (p.x() >= c.xMin && p.x() <= c.xMax && p.y() >= c.yMin && p.y() <= c.yMax)
                return true;
    const QPointF esquinas[4] = {{c.xMin, c.yMin}, {c.xMax, c.yMin}, {c.xMax, c.yMax}, {c.xMin, c.yMax}};
    for (const QPointF &e : esquinas)
        if (contienePunto(indice, e.x(), e.y()))
            return true;
    for (const QPolygonF &anillo : f.anillos) {
        const int n = int(anillo.size());
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < 4; ++k)
                if (segmentosSeCortan(anillo.at(j), anillo.at((j + 1) % n), esquinas[k], esquinas[(k + 1) % 4]))
                    return true;
    }
    return false;
}

bool Shapefile::SelectShapes(const Extents &caja, double tolerancia, int modo, QList<int> &resultado) const
{
    resultado.clear();
    const double t = std::isfinite(tolerancia) && tolerancia > 0 ? tolerancia : 0;
    Extents c;
    c.xMin = qMin(caja.xMin, caja.xMax) - t;
    c.xMax = qMax(caja.xMin, caja.xMax) + t;
    c.yMin = qMin(caja.yMin, caja.yMax) - t;
    c.yMax = qMax(caja.yMin, caja.yMax) + t;
    if (!std::isfinite(c.xMin) || !std::isfinite(c.xMax) || !std::isfinite(c.yMin) || !std::isfinite(c.yMax))
        return false;
    for (int i = 0; i < m_formas.size(); ++i) {
        const Forma &f = m_formas.at(i);
        const bool elegida = modo == Inclusion
            ? f.caja.xMin >= c.xMin && f.caja.xMax <= c.xMax && f.caja.yMin >= c.yMin && f.caja.yMax <= c.yMax
            : cortaCaja(i, c);
        if (elegida)
            resultado.append(i);
    }
    return !resultado.isEmpty();
}
