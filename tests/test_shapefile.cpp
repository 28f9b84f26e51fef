// Reading sheet layouts: the shipped layouts, point and box selection, the
// label text of a sheet, and a corpus of damaged files that must be refused
// cleanly (this suite also runs under AddressSanitizer).
#include "designer/EtiquetasHojas.h"
#include "fixtures/BDPrueba.h"
#include "platform/Conexion.h"
#include "platform/Shapefile.h"
#include "tools/GeneradorHojas.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <shapefil.h>

using GeneradorHojas::Cantero;
using GeneradorHojas::OrigenX;
using GeneradorHojas::OrigenY;

namespace {

QByteArray leer(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void escribir(const QString &ruta, const QByteArray &datos)
{
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(datos), datos.size());
}

void ponerBe32(QByteArray &d, int pos, qint32 v)
{
    for (int i = 0; i < 4; ++i)
        d[pos + i] = char((quint32(v) >> (24 - 8 * i)) & 0xFF);
}

void ponerLe32(QByteArray &d, int pos, qint32 v)
{
    for (int i = 0; i < 4; ++i)
        d[pos + i] = char((quint32(v) >> (8 * i)) & 0xFF);
}

void ponerLe64(QByteArray &d, int pos, double v)
{
    quint64 u;
    std::memcpy(&u, &v, 8);
    for (int i = 0; i < 8; ++i)
        d[pos + i] = char((u >> (8 * i)) & 0xFF);
}

int be32(const QByteArray &d, int pos)
{
    return int((quint32(quint8(d[pos])) << 24) | (quint32(quint8(d[pos + 1])) << 16)
               | (quint32(quint8(d[pos + 2])) << 8) | quint32(quint8(d[pos + 3])));
}

// Byte position of record i's content in the .shp, from the .shx.
int contenidoRegistro(const QString &shx, int i)
{
    return be32(leer(shx), 100 + 8 * i) * 2 + 8;
}

Cantero cuadrado(int hoja, double x0, double y0, double x1, double y1, QVector<QPointF> hueco = {})
{
    Cantero c;
    c.hoja = hoja;
    c.anillos.append({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
    if (!hueco.isEmpty())
        c.anillos.append(hueco);
    return c;
}

// A file of shapes of another type (points or lines) with a valid table.
void escribirOtroTipo(const QString &base, int tipo)
{
    SHPHandle h = SHPCreate(QFile::encodeName(base + ".shp").constData(), tipo);
    QVERIFY(h);
    double xs[2] = {0, 1}, ys[2] = {0, 1};
    for (int i = 0; i < 3; ++i) {
        SHPObject *o = SHPCreateSimpleObject(tipo, tipo == SHPT_POINT ? 1 : 2, xs, ys, nullptr);
        SHPWriteObject(h, -1, o);
        SHPDestroyObject(o);
    }
    SHPClose(h);
    DBFHandle d = DBFCreate(QFile::encodeName(base + ".dbf").constData());
    DBFAddField(d, "Hoja", FTInteger, 4, 0);
    for (int i = 0; i < 3; ++i)
        DBFWriteIntegerAttribute(d, i, 0, i + 1);
    DBFClose(d);
}

// A table with one field "Hoja" of the given type holding valores (a null
// QVariant is an empty cell).
void escribirDbf(const QString &ruta, DBFFieldType tipo, const QVariantList &valores)
{
    QFile::remove(ruta);
    DBFHandle d = DBFCreate(QFile::encodeName(ruta).constData());
    QVERIFY(d);
    DBFAddField(d, "Hoja", tipo, tipo == FTString ? 10 : 8, tipo == FTDouble ? 2 : 0);
    for (int i = 0; i < valores.size(); ++i) {
        const QVariant &v = valores.at(i);
        if (v.isNull())
            DBFWriteNULLAttribute(d, i, 0);
        else if (tipo == FTString)
            DBFWriteStringAttribute(d, i, 0, v.toString().toLatin1().constData());
        else if (tipo == FTDouble)
            DBFWriteDoubleAttribute(d, i, 0, v.toDouble());
        else
            DBFWriteIntegerAttribute(d, i, 0, v.toInt());
    }
    DBFClose(d);
}

// Ways of damaging a good layout (hojas5, or hojas7 for the hole's part).
enum Daño {
    SinShp, CarpetaShp, ShpVacio, ShpSinCabecera, ShpTruncado, ShpAleatorio, ShpTexto, ShpVersion,
    ShpLargoMayor, TipoPuntos, TipoLineas, SinShx, ShxVacio, ShxTruncado, ShxDeOtro, ShxFueraDelShp,
    ShxAleatorio, RegistroLargoDistinto, SinDbf, DbfVacio, DbfTruncado, DbfAleatorio, DbfDeOtro,
    DbfSinCampos, DbfAnchoCero, CoordenadaNaN, CoordenadaInfinita, CoordenadaEnorme, PartesCero, PartesMillon,
    VerticesEnormes, VerticesNegativos, VerticesDos, PrimeraParteNoCero, ParteDesordenada, ParteFuera,
    FormaNula, FormaPunto, ShpCabeceraPoligonoShxPuntos,
};

} // namespace

class TestShapefile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_hojas; // the shipped layouts, written once

    QString ruta(int n) const { return m_hojas + QStringLiteral("/hojas%1.shp").arg(n); }

    // A copy of hojas<n> named base in a fresh folder; returns the .shp path.
    QString copia(int n, const QString &nombre = QStringLiteral("copia"))
    {
        const QString carpeta = m_dir.filePath(QStringLiteral("c%1").arg(m_copias++));
        QDir().mkpath(carpeta);
        for (const char *ext : {"shp", "shx", "dbf"})
            QFile::copy(m_hojas + QStringLiteral("/hojas%1.").arg(n) + QLatin1String(ext),
                        carpeta + QLatin1Char('/') + nombre + QLatin1Char('.') + QLatin1String(ext));
        return carpeta + QLatin1Char('/') + nombre + QStringLiteral(".shp");
    }
    int m_copias = 0;

    static QString cambiarExt(const QString &shp, const char *ext)
    {
        return shp.left(shp.size() - 3) + QLatin1String(ext);
    }

    static void comprobarVacio(const Shapefile &sf)
    {
        QVERIFY(!sf.abierto());
        QCOMPARE(sf.NumShapes(), 0);
        QCOMPARE(sf.NumFields(), 0);
        QVERIFY(!sf.CellValue(0, 0).isValid());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_hojas = m_dir.filePath(QStringLiteral("hojas"));
        QString error;
        QVERIFY2(GeneradorHojas::CrearHojas(m_hojas, &error), qPrintable(error));
    }

    // ---- The shipped layouts -------------------------------------------------

    void planosEnviados_data()
    {
        QTest::addColumn<int>("n");
        for (int n = 3; n <= 7; ++n)
            QTest::addRow("hojas%d", n) << n;
    }

    void planosEnviados()
    {
        QFETCH(int, n);
        Shapefile sf;
        QVERIFY2(sf.Open(ruta(n)), qPrintable(sf.ErrorMsg(sf.LastErrorCode())));
        QCOMPARE(sf.LastErrorCode(), int(Shapefile::SinError));
        QCOMPARE(sf.Filename(), ruta(n));
        QCOMPARE(sf.NumShapes(), n);
        QCOMPARE(sf.NumFields(), 2);
        QCOMPARE(sf.FieldName(0), QStringLiteral("Hoja"));
        QCOMPARE(sf.FieldName(1), QStringLiteral("año"));
        QSet<int> numeros;
        for (int i = 0; i < n; ++i) {
            QCOMPARE(sf.CellValue(0, i).typeId(), QMetaType::Int);
            numeros.insert(sf.CellValue(0, i).toInt());
            QCOMPARE(sf.CellValue(1, i).toInt(), 0);
        }
        QCOMPARE(numeros.size(), n);
        QCOMPARE(*std::min_element(numeros.begin(), numeros.end()), 1);
        QCOMPARE(*std::max_element(numeros.begin(), numeros.end()), n);

        for (int i = 0; i < n; ++i) {
            // The label goes at the centre of the box: it must fall on the
            // sheet itself and on no other.
            const Extents c = sf.ShapeExtents(i);
            Extents punto;
            punto.SetBounds(c.centroX(), c.centroY(), 0, c.centroX(), c.centroY(), 0);
            QList<int> r;
            QVERIFY(sf.SelectShapes(punto, 0.0, Shapefile::Interseccion, r));
            QCOMPARE(r, QList<int>{i});
            // Paths between the beds: no vertex of a bed touches another bed.
            for (const QPolygonF &anillo : sf.ShapeRings(i))
                for (const QPointF &v : anillo) {
                    punto.SetBounds(v.x(), v.y(), 0, v.x(), v.y(), 0);
                    QVERIFY(sf.SelectShapes(punto, 0.0, Shapefile::Interseccion, r));
                    QCOMPARE(r, QList<int>{i});
                }
            // Beds of a garden, in metres, round the projected origin.
            QVERIFY(c.xMin > OrigenX && c.xMax < OrigenX + 40 && c.yMin > OrigenY && c.yMax < OrigenY + 40);
            QVERIFY(c.xMax - c.xMin >= 4 && c.yMax - c.yMin >= 4);
        }
        // The layer's box is the union of the beds' boxes.
        Extents union_ = sf.ShapeExtents(0);
        for (int i = 1; i < n; ++i) {
            const Extents c = sf.ShapeExtents(i);
            union_.xMin = qMin(union_.xMin, c.xMin);
            union_.yMin = qMin(union_.yMin, c.yMin);
            union_.xMax = qMax(union_.xMax, c.xMax);
            union_.yMax = qMax(union_.yMax, c.yMax);
        }
        QCOMPARE(sf.extension().xMin, union_.xMin);
        QCOMPARE(sf.extension().yMin, union_.yMin);
        QCOMPARE(sf.extension().xMax, union_.xMax);
        QCOMPARE(sf.extension().yMax, union_.yMax);
    }

    void planosFueraDeOrden()
    {
        int desordenados = 0;
        for (int n = 3; n <= 7; ++n) {
            Shapefile sf;
            QVERIFY(sf.Open(ruta(n)));
            for (int i = 0; i < n; ++i)
                if (sf.CellValue(0, i).toInt() != i + 1) {
                    ++desordenados;
                    break;
                }
        }
        QVERIFY(desordenados >= 1);
    }

    void caminosYHueco()
    {
        Shapefile tres, siete;
        QVERIFY(tres.Open(ruta(3)));
        QVERIFY(siete.Open(ruta(7)));
        QList<int> r;
        Extents p;
        // The path between the two southern beds of the three-bed garden.
        p.SetBounds(OrigenX + 11.5, OrigenY + 4, 0, OrigenX + 11.5, OrigenY + 4, 0);
        QVERIFY(!tres.SelectShapes(p, 0.0, Shapefile::Interseccion, r));
        QVERIFY(r.isEmpty());
        // The fruit tree in the middle bed of the seven-bed garden is a hole...
        p.SetBounds(OrigenX + 15.5, OrigenY + 10.5, 0, OrigenX + 15.5, OrigenY + 10.5, 0);
        QVERIFY(!siete.SelectShapes(p, 0.0, Shapefile::Interseccion, r));
        // ... whose edge belongs to the bed.
        p.SetBounds(OrigenX + 16.3, OrigenY + 10.5, 0, OrigenX + 16.3, OrigenY + 10.5, 0);
        QVERIFY(siete.SelectShapes(p, 0.0, Shapefile::Interseccion, r));
        QCOMPARE(r.size(), 1);
        QCOMPARE(siete.CellValue(0, r.first()).toInt(), 7);
        QCOMPARE(siete.ShapeRings(r.first()).size(), 2);
    }

    // ---- Selection -------------------------------------------------------------

    void seleccion_data()
    {
        QTest::addColumn<double>("x0");
        QTest::addColumn<double>("y0");
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("y1");
        QTest::addColumn<double>("tolerancia");
        QTest::addColumn<int>("modo");
        QTest::addColumn<QList<int>>("esperado");
        const int I = Shapefile::Interseccion;
        // Shapes: 0 = square 0..1, 1 = square 1..2 (sharing the edge x = 1),
        // 2 = square 3..6 with a square hole 4..5.
        QTest::newRow("dentro del primero") << 0.5 << 0.5 << 0.5 << 0.5 << 0.0 << I << QList<int>{0};
        QTest::newRow("dentro del segundo") << 1.5 << 0.5 << 1.5 << 0.5 << 0.0 << I << QList<int>{1};
        QTest::newRow("borde compartido") << 1.0 << 0.5 << 1.0 << 0.5 << 0.0 << I << QList<int>{0, 1};
        QTest::newRow("esquina compartida") << 1.0 << 1.0 << 1.0 << 1.0 << 0.0 << I << QList<int>{0, 1};
        QTest::newRow("borde exterior") << 0.0 << 0.3 << 0.0 << 0.3 << 0.0 << I << QList<int>{0};
        QTest::newRow("justo fuera") << -1e-9 << 0.3 << -1e-9 << 0.3 << 0.0 << I << QList<int>{};
        QTest::newRow("lejos") << 10.0 << 10.0 << 10.0 << 10.0 << 0.0 << I << QList<int>{};
        QTest::newRow("en el hueco") << 4.5 << 4.5 << 4.5 << 4.5 << 0.0 << I << QList<int>{};
        QTest::newRow("borde del hueco") << 4.0 << 4.5 << 4.0 << 4.5 << 0.0 << I << QList<int>{2};
        QTest::newRow("anillo con hueco") << 3.5 << 3.5 << 3.5 << 3.5 << 0.0 << I << QList<int>{2};
        QTest::newRow("con tolerancia") << 2.05 << 0.5 << 2.05 << 0.5 << 0.1 << I << QList<int>{1};
        QTest::newRow("tolerancia corta") << 2.05 << 0.5 << 2.05 << 0.5 << 0.01 << I << QList<int>{};
        QTest::newRow("caja sobre ambos") << 0.5 << 0.2 << 1.5 << 0.8 << 0.0 << I << QList<int>{0, 1};
        QTest::newRow("caja invertida") << 1.5 << 0.8 << 0.5 << 0.2 << 0.0 << I << QList<int>{0, 1};
        QTest::newRow("caja en el interior") << 0.2 << 0.2 << 0.3 << 0.3 << 0.0 << I << QList<int>{0};
        QTest::newRow("caja que solo cruza aristas") << -1.0 << 0.4 << 2.5 << 0.6 << 0.0 << I << QList<int>{0, 1};
        QTest::newRow("caja dentro del hueco") << 4.2 << 4.2 << 4.8 << 4.8 << 0.0 << I << QList<int>{};
        QTest::newRow("caja que envuelve el hueco") << 3.9 << 3.9 << 5.1 << 5.1 << 0.0 << I << QList<int>{2};
        QTest::newRow("inclusión") << -1.0 << -1.0 << 1.5 << 2.0 << 0.0 << int(Shapefile::Inclusion) << QList<int>{0};
        QTest::newRow("caja no finita") << qQNaN() << 0.0 << 1.0 << 1.0 << 0.0 << I << QList<int>{};
    }

    void seleccion()
    {
        QFETCH(double, x0);
        QFETCH(double, y0);
        QFETCH(double, x1);
        QFETCH(double, y1);
        QFETCH(double, tolerancia);
        QFETCH(int, modo);
        QFETCH(QList<int>, esperado);
        const QString carpeta = m_dir.filePath(QStringLiteral("seleccion"));
        QString error;
        QVERIFY(GeneradorHojas::EscribirHojas(
            carpeta, QStringLiteral("tres"),
            {cuadrado(1, 0, 0, 1, 1), cuadrado(2, 1, 0, 2, 1),
             cuadrado(3, 3, 3, 6, 6, {{4, 4}, {5, 4}, {5, 5}, {4, 5}})},
            &error));
        Shapefile sf;
        QVERIFY2(sf.Open(carpeta + QStringLiteral("/tres.shp")), qPrintable(sf.ErrorMsg(sf.LastErrorCode())));
        Extents caja;
        caja.SetBounds(OrigenX + x0, OrigenY + y0, 0, OrigenX + x1, OrigenY + y1, 0);
        QList<int> r = {99};
        QCOMPARE(sf.SelectShapes(caja, tolerancia, modo, r), !esperado.isEmpty());
        QCOMPARE(r, esperado);
    }

    // ---- The label text of a sheet ---------------------------------------------

    void textoEtiqueta_data()
    {
        QTest::addColumn<QString>("parcela");
        QTest::addColumn<int>("año");
        QTest::addColumn<int>("hoja");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("sin filas") << "Huerto" << 2024 << 3 << "Hoja: 3\r\n";
        QTest::newRow("dos cultivos y otra grafía") << "Huerto" << 2024 << 2
                                                   << "Hoja: 2\r\nTomates\r\nLechugas\r\nAjos\r\n";
        QTest::newRow("otro año") << "Huerto" << 2023 << 2 << "Hoja: 2\r\nColes\r\n";
        QTest::newRow("comillas y porcentaje") << "Huerto 'el 50%'" << 2024 << 1 << "Hoja: 1\r\nHabas\r\n";
        QTest::newRow("el guion bajo no es comodín") << "Huerto_1" << 2024 << 1 << "Hoja: 1\r\n";
        QTest::newRow("hoja 255") << "Huerto" << 2024 << 255 << "Hoja: 255\r\n";
    }

    void textoEtiqueta()
    {
        QFETCH(QString, parcela);
        QFETCH(int, año);
        QFETCH(int, hoja);
        QFETCH(QString, esperado);
        BDPrueba bd;
        QVERIFY2(bd.valida(), qPrintable(bd.error()));
        bd.agregarFila(QStringLiteral("Huerto"), 2024, 2, QStringLiteral("Tomates"), 5, 12);
        bd.agregarFila(QStringLiteral("Huerto"), 2023, 2, QStringLiteral("Coles"), 5, 12);
        bd.agregarFila(QStringLiteral("Huerto"), 2024, 2, QStringLiteral("Lechugas"), 13, 16);
        bd.agregarFila(QStringLiteral("Otra"), 2024, 2, QStringLiteral("Patatas"), 5, 12);
        bd.agregarFila(QStringLiteral("HUERTO"), 2024, 2, QStringLiteral("Ajos"), 17, 20);
        bd.agregarFila(QStringLiteral("Huerto 'el 50%'"), 2024, 1, QStringLiteral("Habas"), 3, 8);
        bd.agregarFila(QStringLiteral("Huerto 'el 5000%'"), 2024, 1, QStringLiteral("Puerros"), 3, 8);
        bd.agregarFila(QStringLiteral("HuertoX1"), 2024, 1, QStringLiteral("Cebollas"), 3, 8);
        Conexion con(bd.fichero());
        QCOMPARE(TextoEtiquetaHoja(con, parcela, año, hoja), esperado);
    }

    // ---- Files that must be refused ----------------------------------------------

    void corpusRoto_data()
    {
        QTest::addColumn<int>("daño");
        QTest::addColumn<int>("codigo"); // -1: any failure
        QTest::newRow("sin .shp") << int(SinShp) << int(Shapefile::FicheroNoExiste);
        QTest::newRow(".shp que es una carpeta") << int(CarpetaShp) << int(Shapefile::FicheroNoExiste);
        QTest::newRow(".shp vacío") << int(ShpVacio) << int(Shapefile::ShpIncompleto);
        QTest::newRow(".shp sin cabecera entera") << int(ShpSinCabecera) << int(Shapefile::ShpIncompleto);
        QTest::newRow(".shp truncado") << int(ShpTruncado) << int(Shapefile::ShpIncompleto);
        QTest::newRow(".shp de bytes al azar") << int(ShpAleatorio) << int(Shapefile::ShpNoValido);
        QTest::newRow(".shp de texto") << int(ShpTexto) << int(Shapefile::ShpNoValido);
        QTest::newRow("versión desconocida") << int(ShpVersion) << int(Shapefile::ShpNoValido);
        QTest::newRow("longitud mayor que el fichero") << int(ShpLargoMayor) << int(Shapefile::ShpIncompleto);
        QTest::newRow("puntos") << int(TipoPuntos) << int(Shapefile::TipoNoPoligono);
        QTest::newRow("líneas") << int(TipoLineas) << int(Shapefile::TipoNoPoligono);
        QTest::newRow("sin .shx") << int(SinShx) << int(Shapefile::ShxNoExiste);
        QTest::newRow(".shx vacío") << int(ShxVacio) << int(Shapefile::ShxNoValido);
        QTest::newRow(".shx truncado") << int(ShxTruncado) << int(Shapefile::ShxNoValido);
        QTest::newRow(".shx de otro plano") << int(ShxDeOtro) << int(Shapefile::ShxNoCoincide);
        QTest::newRow(".shx que apunta fuera") << int(ShxFueraDelShp) << int(Shapefile::ShxNoCoincide);
        QTest::newRow(".shx de bytes al azar") << int(ShxAleatorio) << int(Shapefile::ShxNoValido);
        QTest::newRow("registro de otra longitud") << int(RegistroLargoDistinto) << int(Shapefile::ShxNoCoincide);
        QTest::newRow("sin .dbf") << int(SinDbf) << int(Shapefile::DbfNoExiste);
        QTest::newRow(".dbf vacío") << int(DbfVacio) << int(Shapefile::DbfNoValido);
        QTest::newRow(".dbf truncado") << int(DbfTruncado) << int(Shapefile::DbfNoValido);
        QTest::newRow(".dbf de bytes al azar") << int(DbfAleatorio) << -1;
        QTest::newRow(".dbf de otro plano") << int(DbfDeOtro) << int(Shapefile::DbfNoCoincide);
        QTest::newRow(".dbf sin campos") << int(DbfSinCampos) << int(Shapefile::SinCampos);
        QTest::newRow("campo de ancho cero") << int(DbfAnchoCero) << int(Shapefile::DbfNoValido);
        QTest::newRow("coordenada NaN") << int(CoordenadaNaN) << int(Shapefile::CoordenadaNoValida);
        QTest::newRow("coordenada infinita") << int(CoordenadaInfinita) << int(Shapefile::CoordenadaNoValida);
        QTest::newRow("coordenada desmesurada") << int(CoordenadaEnorme) << int(Shapefile::CoordenadaNoValida);
        QTest::newRow("cero partes") << int(PartesCero) << int(Shapefile::FormaNoValida);
        QTest::newRow("un millón de partes") << int(PartesMillon) << int(Shapefile::FormaNoValida);
        QTest::newRow("vértices enormes") << int(VerticesEnormes) << int(Shapefile::FormaNoValida);
        QTest::newRow("vértices negativos") << int(VerticesNegativos) << int(Shapefile::FormaNoValida);
        QTest::newRow("dos vértices") << int(VerticesDos) << int(Shapefile::FormaNoValida);
        QTest::newRow("primera parte no en 0") << int(PrimeraParteNoCero) << int(Shapefile::FormaNoValida);
        QTest::newRow("partes desordenadas") << int(ParteDesordenada) << int(Shapefile::FormaNoValida);
        QTest::newRow("parte fuera de los vértices") << int(ParteFuera) << int(Shapefile::FormaNoValida);
        QTest::newRow("forma nula") << int(FormaNula) << int(Shapefile::FormaNoValida);
        QTest::newRow("forma punto en fichero de polígonos") << int(FormaPunto) << int(Shapefile::FormaNoValida);
        QTest::newRow(".shx de puntos") << int(ShpCabeceraPoligonoShxPuntos) << int(Shapefile::ShxNoCoincide);
    }

    void corpusRoto()
    {
        QFETCH(int, daño);
        QFETCH(int, codigo);
        const bool conHueco = daño == ParteDesordenada || daño == ParteFuera;
        const QString shp = copia(conHueco ? 7 : 5);
        const QString shx = cambiarExt(shp, "shx");
        const QString dbf = cambiarExt(shp, "dbf");
        QRandomGenerator azar(1234 + daño);
        auto aleatorio = [&](int n) {
            QByteArray b(n, Qt::Uninitialized);
            for (int i = 0; i < n; ++i)
                b[i] = char(azar.bounded(256));
            return b;
        };
        QByteArray d = leer(shp);
        const int c0 = contenidoRegistro(shx, 0); // content of record 0
        switch (Daño(daño)) {
        case SinShp: QFile::remove(shp); break;
        case CarpetaShp: QFile::remove(shp); QDir().mkpath(shp); break;
        case ShpVacio: escribir(shp, {}); break;
        case ShpSinCabecera: escribir(shp, d.left(50)); break;
        case ShpTruncado: escribir(shp, d.left(d.size() - 30)); break;
        case ShpAleatorio: escribir(shp, aleatorio(d.size())); break;
        case ShpTexto: escribir(shp, QByteArray("esto no es un plano de hojas, sino un texto cualquiera\n").repeated(5)); break;
        case ShpVersion: ponerLe32(d, 28, 1001); escribir(shp, d); break;
        case ShpLargoMayor: ponerBe32(d, 24, d.size() / 2 + 100); escribir(shp, d); break;
        case TipoPuntos: escribirOtroTipo(shp.left(shp.size() - 4), SHPT_POINT); break;
        case TipoLineas: escribirOtroTipo(shp.left(shp.size() - 4), SHPT_ARC); break;
        case SinShx: QFile::remove(shx); break;
        case ShxVacio: escribir(shx, {}); break;
        case ShxTruncado: escribir(shx, leer(shx).chopped(4)); break;
        case ShxDeOtro: QFile::remove(shx); QFile::copy(cambiarExt(ruta(3), "shx"), shx); break;
        case ShxFueraDelShp: {
            QByteArray x = leer(shx);
            ponerBe32(x, 100 + 8 * 2, 0x10000000);
            escribir(shx, x);
            break;
        }
        case ShxAleatorio: escribir(shx, aleatorio(leer(shx).size())); break;
        case RegistroLargoDistinto: ponerBe32(d, c0 - 4, be32(d, c0 - 4) + 2); escribir(shp, d); break;
        case SinDbf: QFile::remove(dbf); break;
        case DbfVacio: escribir(dbf, {}); break;
        case DbfTruncado: escribir(dbf, leer(dbf).chopped(10)); break;
        case DbfAleatorio: escribir(dbf, aleatorio(leer(dbf).size())); break;
        case DbfDeOtro: QFile::remove(dbf); QFile::copy(cambiarExt(ruta(3), "dbf"), dbf); break;
        case DbfSinCampos: {
            // A header, the terminator and five one-byte records.
            QByteArray t(32, '\0');
            t[0] = 3;
            t[4] = 5;
            t[8] = 33;
            t[10] = 1;
            t.append('\x0D');
            t.append(QByteArray(5, ' '));
            escribir(dbf, t);
            break;
        }
        case DbfAnchoCero: {
            QByteArray t = leer(dbf);
            t[32 + 16] = 0;
            escribir(dbf, t);
            break;
        }
        case CoordenadaNaN: ponerLe64(d, c0 + 44 + 4, std::numeric_limits<double>::quiet_NaN()); escribir(shp, d); break;
        case CoordenadaInfinita: ponerLe64(d, c0 + 44 + 4 + 8, INFINITY); escribir(shp, d); break;
        case CoordenadaEnorme: ponerLe64(d, c0 + 44 + 4 + 16, -1e200); escribir(shp, d); break;
        case PartesCero: ponerLe32(d, c0 + 36, 0); escribir(shp, d); break;
        case PartesMillon: ponerLe32(d, c0 + 36, 1000000); escribir(shp, d); break;
        case VerticesEnormes: ponerLe32(d, c0 + 40, 0x7FFFFFFF); escribir(shp, d); break;
        case VerticesNegativos: ponerLe32(d, c0 + 40, -5); escribir(shp, d); break;
        case VerticesDos: ponerLe32(d, c0 + 40, 2); escribir(shp, d); break;
        case PrimeraParteNoCero: ponerLe32(d, c0 + 44, 3); escribir(shp, d); break;
        case ParteDesordenada:
        case ParteFuera: {
            // Record 2 of hojas7 is the bed round the tree: two parts.
            const int c = contenidoRegistro(shx, 2);
            QCOMPARE(int(quint8(d[c + 36])), 2);
            ponerLe32(d, c + 44 + 4, daño == ParteFuera ? 100000 : 0);
            escribir(shp, d);
            break;
        }
        case FormaNula: ponerLe32(d, c0, 0); escribir(shp, d); break;
        case FormaPunto: ponerLe32(d, c0, 1); escribir(shp, d); break;
        case ShpCabeceraPoligonoShxPuntos: {
            QByteArray x = leer(shx);
            ponerLe32(x, 32, 1);
            escribir(shx, x);
            break;
        }
        }

        Shapefile sf;
        QVERIFY(!sf.Open(shp));
        if (codigo >= 0)
            QCOMPARE(sf.LastErrorCode(), codigo);
        else
            QVERIFY(sf.LastErrorCode() != Shapefile::SinError);
        const QString mensaje = sf.ErrorMsg(sf.LastErrorCode());
        QVERIFY(!mensaje.isEmpty());
        QVERIFY2(mensaje.endsWith(QLatin1Char('.')), qPrintable(mensaje));
        QVERIFY2(mensaje != sf.ErrorMsg(Shapefile::SinError), qPrintable(mensaje));
        QCOMPARE(sf.Filename(), shp);
        comprobarVacio(sf);
        QList<int> r;
        Extents e;
        QVERIFY(!sf.SelectShapes(e, 1e9, Shapefile::Interseccion, r));
    }

    void campoHoja_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<int>("leido");
        QTest::newRow("entero 1") << int(FTInteger) << QVariant(1) << true << 1;
        QTest::newRow("entero 255") << int(FTInteger) << QVariant(255) << true << 255;
        QTest::newRow("entero 0") << int(FTInteger) << QVariant(0) << false << 0;
        QTest::newRow("entero 256") << int(FTInteger) << QVariant(256) << false << 0;
        QTest::newRow("entero -1") << int(FTInteger) << QVariant(-1) << false << 0;
        QTest::newRow("vacío") << int(FTInteger) << QVariant() << false << 0;
        QTest::newRow("decimal 3,00") << int(FTDouble) << QVariant(3.0) << true << 3;
        QTest::newRow("decimal 2,50") << int(FTDouble) << QVariant(2.5) << false << 0;
        QTest::newRow("texto 7") << int(FTString) << QVariant(QStringLiteral("7")) << true << 7;
        QTest::newRow("texto abc") << int(FTString) << QVariant(QStringLiteral("abc")) << false << 0;
        QTest::newRow("texto 1e999") << int(FTString) << QVariant(QStringLiteral("1e999")) << false << 0;
        QTest::newRow("texto nan") << int(FTString) << QVariant(QStringLiteral("nan")) << false << 0;
    }

    void campoHoja()
    {
        QFETCH(int, tipo);
        QFETCH(QVariant, valor);
        QFETCH(bool, valido);
        QFETCH(int, leido);
        const QString shp = copia(3);
        // The odd value goes to the last of the three records.
        escribirDbf(cambiarExt(shp, "dbf"), DBFFieldType(tipo), {1, 2, valor});
        Shapefile sf;
        QCOMPARE(sf.Open(shp), valido);
        if (valido) {
            QCOMPARE(sf.CellValue(0, 2).typeId(), QMetaType::Int);
            QCOMPARE(sf.CellValue(0, 2).toInt(), leido);
        } else {
            QCOMPARE(sf.LastErrorCode(), int(Shapefile::CampoHojaNoValido));
            const QString m = sf.ErrorMsg(sf.LastErrorCode());
            QVERIFY2(m.contains(QStringLiteral("forma nº 3")), qPrintable(m));
            QVERIFY2(m.contains(QStringLiteral("de 1 a 255")), qPrintable(m));
            comprobarVacio(sf);
        }
    }

    // Random damage in every part of the three files: every outcome is either
    // a clean refusal or a layout that keeps every promise of the class.
    void roturaAlAzar()
    {
        QRandomGenerator azar(20240611);
        int rechazados = 0, aceptados = 0;
        for (int vuelta = 0; vuelta < 600; ++vuelta) {
            const QString shp = copia(vuelta % 2 ? 7 : 5);
            const char *exts[] = {"shp", "shx", "dbf"};
            const QString fichero = cambiarExt(shp, exts[vuelta % 3]);
            QByteArray d = leer(fichero);
            if (azar.bounded(5) == 0) {
                d.truncate(azar.bounded(int(d.size())));
            } else {
                const int cambios = 1 + azar.bounded(6);
                for (int k = 0; k < cambios; ++k)
                    d[azar.bounded(int(d.size()))] = char(azar.bounded(256));
            }
            escribir(fichero, d);
            Shapefile sf;
            if (!sf.Open(shp)) {
                ++rechazados;
                QVERIFY(sf.LastErrorCode() != Shapefile::SinError);
                QVERIFY(!sf.ErrorMsg(sf.LastErrorCode()).isEmpty());
                comprobarVacio(sf);
                continue;
            }
            ++aceptados;
            QVERIFY(sf.NumShapes() > 0);
            QVERIFY(sf.NumFields() >= 1);
            for (int i = 0; i < sf.NumShapes(); ++i) {
                const int hoja = sf.CellValue(0, i).toInt();
                QVERIFY(hoja >= 1 && hoja <= 255);
                for (const QPolygonF &anillo : sf.ShapeRings(i)) {
                    QVERIFY(anillo.size() >= 3);
                    for (const QPointF &p : anillo)
                        QVERIFY(std::abs(p.x()) <= 1e12 && std::abs(p.y()) <= 1e12);
                }
                const Extents c = sf.ShapeExtents(i);
                Extents p;
                p.SetBounds(c.centroX(), c.centroY(), 0, c.centroX(), c.centroY(), 0);
                QList<int> r;
                sf.SelectShapes(p, 0.0, Shapefile::Interseccion, r);
                for (int k : r)
                    QVERIFY(k >= 0 && k < sf.NumShapes());
            }
        }
        QVERIFY(rechazados > 100);
        QVERIFY(aceptados > 10); // damage to coordinates or the year field passes
    }

    // ---- Opening again, names and letter case ------------------------------------

    void reabrir()
    {
        Shapefile sf;
        QVERIFY(sf.Open(ruta(4)));
        QCOMPARE(sf.NumShapes(), 4);
        QVERIFY(!sf.Open(m_dir.filePath(QStringLiteral("no/existe.shp"))));
        QCOMPARE(sf.LastErrorCode(), int(Shapefile::FicheroNoExiste));
        comprobarVacio(sf);
        QVERIFY(sf.Open(ruta(6)));
        QCOMPARE(sf.LastErrorCode(), int(Shapefile::SinError));
        QCOMPARE(sf.NumShapes(), 6);

        // Once open, the files are not needed any more.
        const QString shp = copia(6);
        Shapefile suelto;
        QVERIFY(suelto.Open(shp));
        for (const char *ext : {"shp", "shx", "dbf"})
            QVERIFY(QFile::remove(cambiarExt(shp, ext)));
        QCOMPARE(suelto.NumShapes(), 6);
        QVERIFY(suelto.CellValue(0, 5).toInt() >= 1);
        QVERIFY(!suelto.ShapeRings(5).isEmpty());
    }

    void mayusculas_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QStringList>("extensiones");
        QTest::newRow("todo en mayúsculas") << "HOJAS5" << QStringList{"SHP", "SHX", "DBF"};
        QTest::newRow("mixto") << "Hojas5" << QStringList{"Shp", "Shx", "Dbf"};
        QTest::newRow(".SHP con compañeros en minúsculas") << "hojas5" << QStringList{"SHP", "shx", "dbf"};
        QTest::newRow(".shp con compañeros en mayúsculas") << "hojas5" << QStringList{"shp", "SHX", "DBF"};
    }

    void mayusculas()
    {
        QFETCH(QString, nombre);
        QFETCH(QStringList, extensiones);
        const QString carpeta = m_dir.filePath(QStringLiteral("may%1").arg(m_copias++));
        QDir().mkpath(carpeta);
        const QStringList originales = {"shp", "shx", "dbf"};
        for (int i = 0; i < 3; ++i)
            QVERIFY(QFile::copy(cambiarExt(ruta(5), qPrintable(originales.at(i))),
                                carpeta + QLatin1Char('/') + nombre + QLatin1Char('.') + extensiones.at(i)));
        const QString shp = carpeta + QLatin1Char('/') + nombre + QLatin1Char('.') + extensiones.at(0);
        Shapefile sf;
        QVERIFY2(sf.Open(shp), qPrintable(sf.ErrorMsg(sf.LastErrorCode())));
        QCOMPARE(sf.NumShapes(), 5);
        QCOMPARE(sf.Filename(), shp);
    }

    void mensajesDeCadaCodigo()
    {
        Shapefile sf;
        QSet<QString> textos;
        for (int c = Shapefile::FicheroNoExiste; c <= Shapefile::CampoHojaNoValido; ++c) {
            const QString t = sf.ErrorMsg(c);
            QVERIFY(!t.isEmpty());
            textos.insert(t);
        }
        QCOMPARE(textos.size(), Shapefile::CampoHojaNoValido - Shapefile::FicheroNoExiste + 1);
        QVERIFY(sf.ErrorMsg(999).contains(QStringLiteral("999")));
        // The detailed text belongs to the last failure only.
        QVERIFY(!sf.Open(m_dir.filePath(QStringLiteral("nada.shp"))));
        QCOMPARE(sf.ErrorMsg(Shapefile::DbfNoExiste), QStringLiteral("falta su tabla de atributos (.dbf)."));
    }
};

QTEST_GUILESS_MAIN(TestShapefile)
#include "test_shapefile.moc"
