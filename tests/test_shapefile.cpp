// Reading sheet layouts: the shipped layouts, point and box selection, and a corpus of damaged files that must be
// refused cleanly, one for each check of the reader (this suite also runs under AddressSanitizer).
#include "mapa/Shapefile.h"
#include "tools/GeneradorHojas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <shapefil.h>

using namespace Qt::StringLiterals;
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

// Byte position of record i's content in the .shp, from the .shx.
int contenidoRegistro(const QString &shx, int i)
{
    const QByteArray x = leer(shx);
    return x.size() < 108 + 8 * i ? 0 : qFromBigEndian<qint32>(x.constData() + 100 + 8 * i) * 2 + 8;
}

// The shapes of sf at the point (x, y).
QList<int> enPunto(const Shapefile &sf, double x, double y)
{
    Extents p;
    p.SetBounds(x, y, 0, x, y, 0);
    QList<int> r;
    sf.SelectShapes(p, 0.0, Shapefile::Interseccion, r);
    return r;
}

Cantero cuadrado(int hoja, double x0, double y0, double x1, double y1, QVector<QPointF> hueco = {})
{
    Cantero c;
    c.hoja = hoja;
    c.anillos.append({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
    if (!hueco.isEmpty()) c.anillos.append(hueco);
    return c;
}

// The writers below fail the test through QVERIFY: their callers check QTest::currentTestFailed() before going on.
// The shipped layouts, written once by initTestCase.
QString gHojas;
QString enviado(int n, const char *ext) { return gHojas + u"/hojas%1."_s.arg(n) + QLatin1String(ext); }

// A copy of a good layout (hojas5, or hojas7 for the hole's part) being damaged: the three files, the .shp's bytes
// and where record 0's content is.
struct Roto
{
    QRandomGenerator azar;
    QString shp, shx = shp.chopped(3) + u"shx"_s, dbf = shp.chopped(3) + u"dbf"_s;
    QByteArray d = leer(shp);
    int c0 = contenidoRegistro(shx, 0);

    QByteArray aleatorio(qsizetype n)
    {
        QByteArray b(n, Qt::Uninitialized);
        for (char &c : b) c = char(azar.bounded(256));
        return b;
    }
    // Writes a little- (or big-) endian value at pos in one of the files.
    template <typename T> static void poner(const QString &fichero, int pos, T v, bool grande = false)
    {
        QByteArray b = leer(fichero);
        grande ? qToBigEndian(v, b.data() + pos) : qToLittleEndian(v, b.data() + pos);
        escribir(fichero, b);
    }
    // Writes texto, right-aligned, as the sheet number of the table's last row.
    void hojaFinal(const QByteArray &texto)
    {
        QByteArray t = leer(dbf);
        const int cabecera = qFromLittleEndian<quint16>(t.constData() + 8), n = qFromLittleEndian<qint32>(t.constData() + 4);
        const int largo = qFromLittleEndian<quint16>(t.constData() + 10), ancho = quint8(t[32 + 16]);
        escribir(dbf, t.replace(cabecera + (n - 1) * largo + 1, ancho, texto.rightJustified(ancho)));
    }
    static void sustituir(const QString &fichero, const QString &por) { QFile::remove(fichero), QFile::copy(por, fichero); }
    // Sets the first vertex index of record 2's second part (hojas7's bed round the tree); a negative one counts from
    // the last vertex.
    void segundaParte(qint32 v)
    {
        const int c = contenidoRegistro(shx, 2);
        QCOMPARE(int(quint8(d[c + 36])), 2);
        poner(shp, c + 44 + 4, v < 0 ? qFromLittleEndian<qint32>(d.constData() + c + 40) + v : v);
    }
};

// Ways of damaging a good layout, and the error each must give.
struct Daño
{
    const char *nombre;
    int codigo;
    void (*romper)(Roto &);
    bool conHueco = false;
};
using S = Shapefile;
const Daño kDaños[] = {
    {"sin .shp", S::FicheroNoExiste, [](Roto &r) { QFile::remove(r.shp); }},
    {".shp que es una carpeta", S::FicheroNoExiste, [](Roto &r) { QFile::remove(r.shp), QDir().mkpath(r.shp); }},
    {".shp vacío", S::ShpIncompleto, [](Roto &r) { escribir(r.shp, {}); }},
    {".shp sin cabecera entera", S::ShpIncompleto, [](Roto &r) { escribir(r.shp, r.d.left(50)); }},
    {".shp truncado", S::ShpIncompleto, [](Roto &r) { escribir(r.shp, r.d.chopped(30)); }},
    {".shp de bytes al azar", S::ShpNoValido, [](Roto &r) { escribir(r.shp, r.aleatorio(r.d.size())); }},
    {"versión desconocida", S::ShpNoValido, [](Roto &r) { r.poner(r.shp, 28, 1001); }},
    {"longitud mayor que el fichero", S::ShpIncompleto,
     [](Roto &r) { r.poner(r.shp, 24, qint32(r.d.size() / 2 + 100), true); }},
    {"puntos", S::TipoNoPoligono, [](Roto &r) { r.poner(r.shp, 32, SHPT_POINT), r.poner(r.shx, 32, SHPT_POINT); }},
    {"sin .shx", S::ShxNoExiste, [](Roto &r) { QFile::remove(r.shx); }},
    {".shx vacío", S::ShxNoValido, [](Roto &r) { escribir(r.shx, {}); }},
    {".shx truncado", S::ShxNoValido, [](Roto &r) { escribir(r.shx, leer(r.shx).chopped(4)); }},
    {".shx de otro plano", S::ShxNoCoincide, [](Roto &r) { r.sustituir(r.shx, enviado(3, "shx")); }},
    {".shx que apunta fuera", S::ShxNoCoincide, [](Roto &r) { r.poner(r.shx, 100 + 8 * 2, 0x10000000, true); }},
    {".shx de puntos", S::ShxNoCoincide, [](Roto &r) { r.poner(r.shx, 32, 1); }},
    {"registro de otra longitud", S::ShxNoCoincide,
     [](Roto &r) { r.poner(r.shp, r.c0 - 4, qFromBigEndian<qint32>(r.d.constData() + r.c0 - 4) + 2, true); }},
    {"sin .dbf", S::DbfNoExiste, [](Roto &r) { QFile::remove(r.dbf); }},
    {".dbf vacío", S::DbfNoValido, [](Roto &r) { escribir(r.dbf, {}); }},
    {".dbf truncado", S::DbfNoValido, [](Roto &r) { escribir(r.dbf, leer(r.dbf).chopped(10)); }},
    {".dbf de otro plano", S::DbfNoCoincide, [](Roto &r) { r.sustituir(r.dbf, enviado(3, "dbf")); }},
    {".dbf sin campos", S::SinCampos, // a header, the terminator and five one-byte records
     [](Roto &r) { escribir(r.dbf, QByteArray::fromHex("03000000050000002100010000") + QByteArray(19, '\0') + "\r     "); }},
    {"campo de ancho cero", S::DbfNoValido, [](Roto &r) { r.poner(r.dbf, 32 + 16, quint8(0)); }},
    {"hoja 256", S::CampoHojaNoValido, [](Roto &r) { r.hojaFinal("256"); }},
    {"hoja 0", S::CampoHojaNoValido, [](Roto &r) { r.hojaFinal("0"); }},
    {"hoja 2,50", S::CampoHojaNoValido, [](Roto &r) { r.hojaFinal("2.50"); }},
    {"x NaN", S::CoordenadaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 48, qQNaN()); }},
    {"y infinita", S::CoordenadaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 56, qInf()); }},
    {"x desmesurada", S::CoordenadaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 64, -1e200); }},
    {"cero partes", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 36, 0); }},
    {"un millón de partes", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 36, 1000000); }},
    {"vértices enormes", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 40, 0x7FFFFFFF); }},
    {"vértices negativos", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 40, -5); }},
    {"dos vértices", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 40, 2); }},
    {"primera parte no en 0", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0 + 44, 3); }},
    {"partes desordenadas", S::FormaNoValida, [](Roto &r) { r.segundaParte(0); }, true},
    {"parte fuera de los vértices", S::FormaNoValida, [](Roto &r) { r.segundaParte(100000); }, true},
    {"parte de dos vértices", S::FormaNoValida, [](Roto &r) { r.segundaParte(-2); }, true},
    {"forma nula", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0, 0); }},
    {"forma punto en fichero de polígonos", S::FormaNoValida, [](Roto &r) { r.poner(r.shp, r.c0, 1); }},
};

} // namespace

class TestShapefile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A copy of hojas<n>'s .shp, .shx and .dbf in a fresh folder, named nombre with the extensions given; returns the
    // .shp path.
    QString copia(int n, const QString &nombre = u"copia"_s, const QStringList &exts = {"shp", "shx", "dbf"})
    {
        const QString base = m_dir.filePath(u"c%1/"_s.arg(m_copias++)) + nombre + u'.';
        QDir().mkpath(QFileInfo(base).path());
        for (int i = 0; i < 3; ++i)
            QFile::copy(gHojas + u"/hojas%1."_s.arg(n) + QStringList{"shp", "shx", "dbf"}.at(i), base + exts.at(i));
        return base + exts.at(0);
    }
    int m_copias = 0;

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
        gHojas = m_dir.filePath(u"hojas"_s);
        QString error;
        QVERIFY2(GeneradorHojas::CrearHojas(gHojas, &error), qPrintable(error));
    }

    void planosEnviados()
    {
        for (int n = 3; n <= 7; ++n) {
            Shapefile sf;
            QVERIFY2(sf.Open(enviado(n, "shp")), qPrintable(sf.ErrorMsg(sf.LastErrorCode())));
            QCOMPARE(sf.NumShapes(), n);
            QList<int> numeros, esperados;
            for (int i = 0; i < n; ++i) {
                numeros << sf.CellValue(0, i).toInt();
                esperados << i + 1;
                // The label goes at the centre of the box: it must fall on the sheet itself and on no other.
                const Extents c = sf.ShapeExtents(i);
                QCOMPARE(enPunto(sf, c.centroX(), c.centroY()), QList<int>{i});
                // Paths between the beds: no vertex of a bed touches another bed.
                for (const QPolygonF &anillo : sf.ShapeRings(i))
                    for (const QPointF &v : anillo) QCOMPARE(enPunto(sf, v.x(), v.y()), QList<int>{i});
            }
            std::sort(numeros.begin(), numeros.end());
            QCOMPARE(numeros, esperados);
        }
    }

    // The box of a click: both squares on their shared edge, the hole's edge belonging to its shape, nothing for a
    // box that is not finite.
    void seleccion_data()
    {
        QTest::addColumn<QList<double>>("caja"); // x0, y0, x1, y1
        QTest::addColumn<QList<int>>("esperado");
        // Shapes: 0 = square 0..1, 1 = square 1..2 (sharing the edge x = 1), 2 = square 3..6 with a square hole 4..5.
        QTest::newRow("borde compartido") << QList<double>{1.0, 0.5, 1.0, 0.5} << QList<int>{0, 1};
        QTest::newRow("en el hueco") << QList<double>{4.5, 4.5, 4.5, 4.5} << QList<int>{};
        QTest::newRow("borde del hueco") << QList<double>{4.0, 4.5, 4.0, 4.5} << QList<int>{2};
        QTest::newRow("caja no finita") << QList<double>{qQNaN(), 0.0, 1.0, 1.0} << QList<int>{};
    }

    void seleccion()
    {
        QFETCH(QList<double>, caja);
        QFETCH(QList<int>, esperado);
        const QString carpeta = m_dir.filePath(u"seleccion"_s);
        QString error;
        QVERIFY2(GeneradorHojas::EscribirHojas(carpeta, u"tres"_s, {cuadrado(1, 0, 0, 1, 1), cuadrado(2, 1, 0, 2, 1),
                 cuadrado(3, 3, 3, 6, 6, {{4, 4}, {5, 4}, {5, 5}, {4, 5}})}, &error), qPrintable(error));
        Shapefile sf;
        QVERIFY2(sf.Open(carpeta + u"/tres.shp"_s), qPrintable(sf.ErrorMsg(sf.LastErrorCode())));
        Extents e;
        e.SetBounds(OrigenX + caja[0], OrigenY + caja[1], 0, OrigenX + caja[2], OrigenY + caja[3], 0);
        QList<int> r = {99};
        QCOMPARE(sf.SelectShapes(e, 0.0, Shapefile::Interseccion, r), !esperado.isEmpty());
        QCOMPARE(r, esperado);
    }

    void corpusRoto_data()
    {
        QTest::addColumn<int>("daño");
        for (int i = 0; i < int(std::size(kDaños)); ++i) QTest::newRow(kDaños[i].nombre) << i;
    }

    void corpusRoto()
    {
        QFETCH(int, daño);
        const Daño &k = kDaños[daño];
        Roto r{QRandomGenerator(quint32(1234 + daño)), copia(k.conHueco ? 7 : 5)};
        QVERIFY(r.c0 > 0 && r.d.size() > r.c0 + 72); // the copy to damage is whole
        k.romper(r);
        if (QTest::currentTestFailed())
            return; // the damage could not be written

        Shapefile sf;
        QVERIFY(!sf.Open(r.shp));
        QCOMPARE(sf.LastErrorCode(), k.codigo);
        const QString mensaje = sf.ErrorMsg(sf.LastErrorCode());
        QVERIFY2(mensaje.endsWith(QLatin1Char('.')), qPrintable(mensaje));
        QVERIFY2(mensaje != sf.ErrorMsg(Shapefile::SinError), qPrintable(mensaje));
        QCOMPARE(sf.Filename(), r.shp);
        comprobarVacio(sf);
        QList<int> sel;
        QVERIFY(!sf.SelectShapes(Extents(), 1e9, Shapefile::Interseccion, sel));
    }

    void reabrir()
    {
        Shapefile sf;
        QVERIFY(sf.Open(enviado(4, "shp")));
        QVERIFY(!sf.Open(m_dir.filePath(u"no/existe.shp"_s)));
        QCOMPARE(sf.LastErrorCode(), int(Shapefile::FicheroNoExiste));
        comprobarVacio(sf);

        // Once open, the files are not needed any more.
        const QString shp = copia(6);
        Shapefile suelto;
        QVERIFY(suelto.Open(shp));
        for (const char *ext : {"shp", "shx", "dbf"})
            QVERIFY(QFile::remove(shp.chopped(3) + QLatin1String(ext)));
        QCOMPARE(suelto.NumShapes(), 6);
        QVERIFY(!suelto.ShapeRings(5).isEmpty());

        // The companions of an upper-case .shp, in either letter case.
        QVERIFY(sf.Open(copia(5, u"HOJAS5"_s, {"SHP", "shx", "DBF"})));
        QCOMPARE(sf.NumShapes(), 5);
    }

};

QTEST_GUILESS_MAIN(TestShapefile)
#include "test_shapefile.moc"
