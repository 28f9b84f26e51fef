// The fortnight vocabulary and the colour table.
#include "core/modBasico.h"

#include <QTest>

using namespace modBasico;

using namespace Qt::StringLiterals;

class TestVocabulario : public QObject
{
    Q_OBJECT

private slots:
    void coleccionQuincenas()
    {
        const QStringList c = ColeccionQuincenas();
        QCOMPARE(c.size(), 48);
        const QStringList esperados = {"e", "e½", "f", "f½", "m", "m½", "a", "a½", "M", "M½", "j", "j½",
                                       "J", "J½", "A", "A½", "s", "s½", "o", "o½", "n", "n½", "d", "d½"};
        QCOMPARE(c.mid(0, 24), esperados);
        QCOMPARE(c.mid(24), esperados);
        QStringList otra = ColeccionQuincenas();
        otra[0] = u"x"_s;
        QCOMPARE(ColeccionQuincenas().at(0), u"e"_s); // independent copies
    }

    void nombreQuincena_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("etiqueta");
        QTest::newRow("M es mayo") << "M" << "1ªQ Mayo";
        QTest::newRow("m es marzo") << "m" << "1ªQ Marzo";
        QTest::newRow("j es junio") << "j" << "1ªQ Junio";
        QTest::newRow("J½ es julio") << "J½" << "2ªQ Julio";
        QTest::newRow("a½ es abril") << "a½" << "2ªQ Abril";
        QTest::newRow("A es agosto") << "A" << "1ªQ Agosto";
        QTest::newRow("d½") << "d½" << "2ªQ Diciembre";
        QTest::newRow("mayúscula desconocida") << "E" << "";
        QTest::newRow("con blanco") << "e ½" << "";
        QTest::newRow("vacío") << "" << "";
    }
    void nombreQuincena()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, etiqueta);
        QCOMPARE(NombreQuincena(codigo), etiqueta);
    }

    void fechaQuincena_data()
    {
        QTest::addColumn<int>("quincena");
        QTest::addColumn<QString>("inicio");
        QTest::newRow("1") << 1 << "1/Enero";
        QTest::newRow("5") << 5 << "1/Marzo";
        QTest::newRow("6 blanco tras la barra") << 6 << "15/ Marzo";
        QTest::newRow("13 blanco antes de la barra") << 13 << "1 /Julio";
        QTest::newRow("18") << 18 << "15 /Septiembre";
        QTest::newRow("24") << 24 << "15 /Diciembre";
        QTest::newRow("0") << 0 << "";
        QTest::newRow("25") << 25 << "";
        QTest::newRow("-1") << -1 << "";
    }
    void fechaQuincena()
    {
        QFETCH(int, quincena);
        QFETCH(QString, inicio);
        QCOMPARE(FechaQuincena(quincena), inicio);
    }

    void nombresLargos()
    {
        QCOMPARE(NombreLargoQuincena(1), u"enero"_s);
        QCOMPARE(NombreLargoQuincena(2), u"enero ½"_s);
        QCOMPARE(NombreLargoQuincena(5), u"marzo"_s);
        QCOMPARE(NombreLargoQuincena(19), u"octubre"_s);
        QCOMPARE(NombreLargoQuincena(24), u"diciembre ½"_s);
        QCOMPARE(NombreLargoQuincena(25), QString());
    }

    void colores_data()
    {
        QTest::addColumn<qint32>("valor");
        QTest::addColumn<qint32>("esperado");
        IniciaColores();
        QTest::newRow("siembra") << ColorSiembra << 65280;
        QTest::newRow("blanco") << ColorBlanco << 16777215;
        QTest::newRow("cultivo") << ColorCultivo << 16724530;
        QTest::newRow("solape") << ColorSolape << 255;
        QTest::newRow("invierno") << ColorInvierno << 16777164;
        QTest::newRow("primavera") << ColorPrimavera << 16764159;
        QTest::newRow("verano") << ColorVerano << 39423;
        QTest::newRow("otoño") << ColorOtoño << 3381708;
        QTest::newRow("vacío") << ColorVacio << 16777215;
        QTest::newRow("hoja") << ColorHoja << 6724044;
        QTest::newRow("borde") << ColorBordeHoja << 0;
        QTest::newRow("cosecha") << ColorCosecha << RGB(100, 100, 255);
        QTest::newRow("año siguiente") << ColorAñoSiguiente << (100 | (110 << 8) | (255 << 16));
    }
    void colores()
    {
        QFETCH(qint32, valor);
        QFETCH(qint32, esperado);
        QCOMPARE(valor, esperado);
    }

    void estaciones_data()
    {
        QTest::addColumn<int>("quincena");
        QTest::addColumn<qint32>("color");
        IniciaColores();
        QTest::newRow("11 j primavera") << 11 << ColorPrimavera;
        QTest::newRow("12 j½ verano") << 12 << ColorVerano;
        QTest::newRow("24 d½ invierno") << 24 << ColorInvierno;
        QTest::newRow("1 invierno") << 1 << ColorInvierno;
        QTest::newRow("5 invierno") << 5 << ColorInvierno;
        QTest::newRow("6 m½ primavera") << 6 << ColorPrimavera;
        QTest::newRow("17 verano") << 17 << ColorVerano;
        QTest::newRow("18 s½ otoño") << 18 << ColorOtoño;
        QTest::newRow("23 otoño") << 23 << ColorOtoño;
    }
    void estaciones()
    {
        QFETCH(int, quincena);
        QFETCH(qint32, color);
        QCOMPARE(ColorEstacion(quincena), color);
    }

    void cultivoVacio()
    {
        QCOMPARE(CultivoVacio, u"····················"_s);
        QVERIFY(EsPlurianual(u"Espárragos"_s));
        QVERIFY(!EsPlurianual(u"espárragos"_s));
        QVERIFY(!EsPlurianual(u"Esparragos"_s));
    }
};

QTEST_APPLESS_MAIN(TestVocabulario)
#include "test_vocabulario.moc"
