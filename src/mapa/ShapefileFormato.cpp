#include "mapa/ShapefileFormato.h"

#include "mapa/Shapefile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace ShapefileFormato {

namespace {

constexpr int kCabecera = 100;      // main header of .shp and .shx
constexpr int kCodigoFichero = 9994;
constexpr int kVersion = 1000;
constexpr int kPoligono = 5;
constexpr int kCabeceraRegistro = 8;
constexpr int kPoligonoFijo = 44;   // type, box, part and vertex counts

qint64 be32(const QByteArray &d, qint64 p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(d.constData() + p);
    return (qint64(u[0]) << 24) | (qint64(u[1]) << 16) | (qint64(u[2]) << 8) | qint64(u[3]);
}

qint64 le32(const QByteArray &d, qint64 p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(d.constData() + p);
    return (qint64(u[3]) << 24) | (qint64(u[2]) << 16) | (qint64(u[1]) << 8) | qint64(u[0]);
}

qint32 le32s(const QByteArray &d, qint64 p)
{
    return static_cast<qint32>(static_cast<quint32>(le32(d, p)));
}

int le16(const QByteArray &d, qint64 p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(d.constData() + p);
    return (int(u[1]) << 8) | int(u[0]);
}

bool fallar(Fallo &f, int codigo, const QString &detalle)
{
    f.codigo = codigo;
    f.detalle = detalle;
    return false;
}

// Reads a whole file of at most maximo bytes. codigoAusente is the failure
// for a missing file.
bool leer(const QString &ruta, qint64 maximo, int codigoAusente, const QString &textoAusente, QByteArray &datos,
          Fallo &f)
{
    const QFileInfo info(ruta);
    if (!info.exists() || !info.isFile())
        return fallar(f, codigoAusente, textoAusente);
    if (info.size() > maximo)
        return fallar(f, Shapefile::DemasiadoGrande,
                      QStringLiteral("%1 mide %2 bytes: es demasiado grande para ser un plano de hojas.")
                          .arg(info.fileName())
                          .arg(info.size()));
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly))
        return fallar(f, Shapefile::FicheroNoLegible,
                      QStringLiteral("no se puede leer %1 (falta permiso o lo tiene bloqueado otro programa).")
                          .arg(info.fileName()));
    datos = fichero.readAll();
    if (datos.size() != info.size())
        return fallar(f, Shapefile::FicheroNoLegible,
                      QStringLiteral("no se puede leer %1 entero.").arg(info.fileName()));
    return true;
}

QString forma(qint64 i)
{
    return QStringLiteral("la forma nº %1").arg(i + 1);
}

} // namespace

bool ComprobarShpShx(const QString &shp, const QString &shx, int &registros, Fallo &f)
{
    registros = 0;
    QByteArray d;
    if (!leer(shp, kMaxBytes, Shapefile::FicheroNoExiste, QStringLiteral("el fichero no existe."), d, f))
        return false;
    if (d.isEmpty())
        return fallar(f, Shapefile::ShpIncompleto, QStringLiteral("el fichero está vacío."));
    if (d.size() < kCabecera)
        return fallar(f, Shapefile::ShpIncompleto,
                      QStringLiteral("el fichero está incompleto: no tiene ni la cabecera entera."));
    if (be32(d, 0) != kCodigoFichero || le32(d, 28) != kVersion)
        return fallar(f, Shapefile::ShpNoValido,
                      QStringLiteral("no es un fichero ESRI shape: su cabecera no es la de ese formato."));
    const qint64 largoShp = be32(d, 24) * 2;
    if (largoShp < kCabecera)
        return fallar(f, Shapefile::ShpNoValido, QStringLiteral("su cabecera está dañada (longitud imposible)."));
    if (largoShp > d.size())
        return fallar(f, Shapefile::ShpIncompleto,
                      QStringLiteral("el fichero está incompleto: su cabecera dice %1 bytes y solo tiene %2.")
                          .arg(largoShp)
                          .arg(d.size()));
    const qint32 tipo = le32s(d, 32);
    if (tipo != kPoligono)
        return fallar(f, Shapefile::TipoNoPoligono,
                      QStringLiteral("sus formas no son polígonos (tipo de forma %1; un plano de hojas es de tipo 5).")
                          .arg(tipo));

    const QString nombreShx = QFileInfo(shx).fileName();
    QByteArray x;
    if (!leer(shx, kCabecera + qint64(kMaxFormas) * 8 + 1024, Shapefile::ShxNoExiste,
              QStringLiteral("falta su fichero de índice %1.").arg(nombreShx), x, f)) {
        if (f.codigo == Shapefile::DemasiadoGrande)
            f.detalle = QStringLiteral("tiene más de %1 formas: es demasiado grande para ser un plano de hojas.")
                            .arg(kMaxFormas);
        return false;
    }
    const QString shxDañado = QStringLiteral("su fichero de índice %1 está dañado.").arg(nombreShx);
    if (x.size() < kCabecera || be32(x, 0) != kCodigoFichero || le32(x, 28) != kVersion)
        return fallar(f, Shapefile::ShxNoValido, shxDañado);
    const qint64 largoShx = be32(x, 24) * 2;
    if (largoShx < kCabecera || largoShx > x.size() || (largoShx - kCabecera) % 8 != 0)
        return fallar(f, Shapefile::ShxNoValido, shxDañado);
    const QString noCoincide = QStringLiteral("su fichero de índice %1 no corresponde a este fichero.").arg(nombreShx);
    if (le32s(x, 32) != tipo)
        return fallar(f, Shapefile::ShxNoCoincide, noCoincide);
    const qint64 n = (largoShx - kCabecera) / 8;

    qint64 verticesTotales = 0;
    for (qint64 i = 0; i < n; ++i) {
        const qint64 inicio = be32(x, kCabecera + 8 * i) * 2;
        const qint64 largo = be32(x, kCabecera + 8 * i + 4) * 2;
        if (inicio < kCabecera || inicio + kCabeceraRegistro + largo > largoShp)
            return fallar(f, Shapefile::ShxNoCoincide, noCoincide);
        if (be32(d, inicio + 4) * 2 != largo)
            return fallar(f, Shapefile::ShxNoCoincide, noCoincide);
        const qint64 c = inicio + kCabeceraRegistro; // the record's content
        if (largo < 4)
            return fallar(f, Shapefile::FormaNoValida, forma(i) + QStringLiteral(" está dañada (registro vacío)."));
        const qint32 tipoForma = le32s(d, c);
        if (tipoForma == 0)
            return fallar(f, Shapefile::FormaNoValida, forma(i) + QStringLiteral(" no tiene geometría."));
        if (tipoForma != kPoligono)
            return fallar(f, Shapefile::FormaNoValida,
                          forma(i) + QStringLiteral(" no es un polígono (tipo %1).").arg(tipoForma));
        if (largo < kPoligonoFijo)
            return fallar(f, Shapefile::FormaNoValida, forma(i) + QStringLiteral(" está dañada (registro corto)."));
        const qint64 partes = le32s(d, c + 36);
        const qint64 vertices = le32s(d, c + 40);
        if (partes < 1 || partes > kMaxPartes)
            return fallar(f, Shapefile::FormaNoValida,
                          forma(i) + QStringLiteral(" está dañada (dice tener %1 partes).").arg(partes));
        if (vertices < 3 || vertices > kMaxVertices)
            return fallar(f, Shapefile::FormaNoValida,
                          forma(i) + QStringLiteral(" está dañada (dice tener %1 vértices).").arg(vertices));
        if (kPoligonoFijo + 4 * partes + 16 * vertices > largo)
            return fallar(f, Shapefile::FormaNoValida,
                          forma(i) + QStringLiteral(" está dañada: sus vértices no caben en su registro."));
        verticesTotales += vertices;
        if (verticesTotales > kMaxVertices)
            return fallar(f, Shapefile::DemasiadoGrande,
                          QStringLiteral("tiene más de %1 vértices: es demasiado grande para ser un plano de hojas.")
                              .arg(kMaxVertices));
    }
    registros = int(n);
    return true;
}

bool ComprobarDbf(const QString &dbf, int &campos, int &registros, Fallo &f)
{
    campos = registros = 0;
    const QString nombre = QFileInfo(dbf).fileName();
    QByteArray d;
    if (!leer(dbf, kMaxBytes, Shapefile::DbfNoExiste, QStringLiteral("falta su tabla de atributos %1.").arg(nombre),
              d, f))
        return false;
    const QString dañada = QStringLiteral("su tabla de atributos %1 está dañada.").arg(nombre);
    if (d.size() < 32)
        return fallar(f, Shapefile::DbfNoValido, dañada);
    const qint64 n = le32(d, 4);
    const int largoCabecera = le16(d, 8);
    const int largoRegistro = le16(d, 10);
    if (largoCabecera < 33 || largoCabecera > d.size())
        return fallar(f, Shapefile::DbfNoValido, dañada);

    // Field descriptors: 32 bytes each after the 32-byte header, up to the
    // terminator byte 0x0D or the end of the header.
    int nCampos = 0;
    qint64 suma = 1; // the deletion flag that opens every record
    for (qint64 p = 32; p + 32 <= largoCabecera && d.at(p) != '\x0D'; p += 32) {
        const int ancho = static_cast<unsigned char>(d.at(p + 16));
        if (ancho == 0)
            return fallar(f, Shapefile::DbfNoValido, dañada);
        suma += ancho;
        ++nCampos;
    }
    if (nCampos == 0)
        return fallar(f, Shapefile::SinCampos,
                      QStringLiteral("su tabla de atributos %1 no tiene campos: falta el número de hoja.").arg(nombre));
    if (suma > largoRegistro)
        return fallar(f, Shapefile::DbfNoValido, dañada);
    if (n > kMaxFormas)
        return fallar(f, Shapefile::DemasiadoGrande,
                      QStringLiteral("su tabla de atributos tiene %1 registros: es demasiado grande para ser un plano"
                                     " de hojas.")
                          .arg(n));
    if (largoCabecera + n * largoRegistro > d.size())
        return fallar(f, Shapefile::DbfNoValido,
                      QStringLiteral("su tabla de atributos %1 está incompleta.").arg(nombre));
    campos = nCampos;
    registros = int(n);
    return true;
}

} // namespace ShapefileFormato
