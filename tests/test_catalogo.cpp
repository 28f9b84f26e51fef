// The data connection (whole-text matching, reading by name), the
// shipped catalogue, the frost filter, the catalogue's value ranges and the
// plots' settings out of range.
#include "core/Catalogo.h"
#include "core/CatalogoEditable.h"
#include "core/Parcelas.h"
#include "core/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "core/Conexion.h"

#include <QSqlTableModel>
#include <QTest>

using modBasico::CultivoVacio;

using namespace Qt::StringLiterals;

class TestCatalogo : public QObject
{
    Q_OBJECT

private slots:
    // Whole texts, letter case ignored for accented letters too (the other
    // cases go through the plan-row lookups in test_indices).
    void coincide()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(u"select coincide('Espárragos', 'ESPÁRRAGOS'), coincide('Espárragos', 'Esparragos'),"
                                   " coincide(null, 'a'), coincide('a', null)"_s);
        QVERIFY(q.next());
        QCOMPARE(QList<int>({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt()}),
                 QList<int>({1, 0, 0, 0}));
    }

    void lecturaPorNombre()
    {
        BDPrueba bd;
        bd.ejecutar(u"insert into Parcelas (NombreParcela, HOJAS, RepetirFrutos, CicloCorto) values ('N', 5, -1, 0)"_s);
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(u"select *, null as Vacio from Parcelas where NombreParcela = 'N'"_s);
        QVERIFY(q.next());
        QCOMPARE(LeerEntero(q, "hojas"), 5);          // names ignore case
        QCOMPARE(LeerSiNo(q, "RepetirFrutos"), true); // any true value
        QCOMPARE(LeerSiNo(q, "CicloCorto"), false);
        QCOMPARE(LeerSiNo(q, "Vacio"), false); // Null is not true
    }

    // Every shipped crop has its properties in the rules' vocabulary, sowing
    // fortnights 1..24, a second window of both ends or neither, and a name of
    // its own in any letter case; one plot is marked as the last one used.
    void catalogoEnviado()
    {
        BDPrueba bd;
        QCOMPARE(bd.valor(u"select group_concat(Nombre) from horticolas h where ifnull(Familia, '') = ''"
                          " or Parte_aprovechable not in ('Raices y tubérculos', 'Flor, Semilla y fruto', 'Hojas',"
                          " 'Bulbos y tallos') or Profundidad_raices not in ('Superficiales', 'Profundas', 'Medias')"
                          " or ifnull(Siembra_1_I, 0) not between 1 and 24 or ifnull(Siembra_1_F, 0) not between 1 and 24"
                          " or not (ifnull(Cosecha_1_min, 0) between 1 and ifnull(Cosecha_1_max, 0))"
                          " or (Siembra_2_I is null) <> (Siembra_2_F is null) or exists (select 1 from horticolas o"
                          " where o.rowid <> h.rowid and coincide(o.Nombre, h.Nombre))"_s)
                     .toString(),
                 QString());
        QVERIFY(bd.contar(u"horticolas"_s) >= 45);
        QCOMPARE(bd.valor(u"select count(*) from Parcelas where ultima <> 0"_s).toInt(), 1);
    }

    // A crop made up on each side of each edge of the frost filter: sown
    // before the last frost-free fortnight, sowable until the first one, days
    // to harvest within the frost-free months. A 1 in either bound: no limit.
    void cultivosSinHelada_data()
    {
        QTest::addColumn<QList<int>>("filtro"); // first and last frost-free fortnight
        QTest::addColumn<QList<int>>("cultivo"); // Siembra_1_I, Siembra_1_F, Cosecha_1_min
        QTest::addColumn<bool>("pasa");
        using L = QList<int>;
        QTest::newRow("siembra desde la víspera del final") << L{5, 19} << L{18, 18, 60} << true;
        QTest::newRow("siembra desde el final") << L{5, 19} << L{19, 19, 60} << false;
        QTest::newRow("siembra hasta el inicio") << L{5, 19} << L{3, 5, 60} << true;
        QTest::newRow("siembra hasta la víspera del inicio") << L{5, 19} << L{3, 4, 60} << false;
        QTest::newRow("días justos") << L{5, 19} << L{6, 10, 210} << true;
        QTest::newRow("un día más") << L{5, 19} << L{6, 10, 211} << false;
        QTest::newRow("inicio 1, sin límite") << L{1, 19} << L{19, 19, 211} << true;
        QTest::newRow("final 1, sin límite") << L{5, 1} << L{19, 19, 211} << true;
        QTest::newRow("inicio 2 limita") << L{2, 19} << L{19, 19, 60} << false;
    }

    void cultivosSinHelada()
    {
        QFETCH(QList<int>, filtro);
        QFETCH(QList<int>, cultivo);
        QFETCH(bool, pasa);
        BDPrueba bd;
        bd.ejecutar(u"insert into horticolas (Nombre, Familia, Parte_aprovechable, Profundidad_raices, Siembra_1_I,"
                    " Siembra_1_F, Cosecha_1_min, Cosecha_1_max) values ('Prueba', 'Malváceas', 'Hojas', 'Medias',"
                    " ?, ?, ?, 400)"_s,
                    {cultivo[0], cultivo[1], cultivo[2]});
        Conexion con(bd.fichero());
        const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(filtro[0], filtro[1]));
        QCOMPARE(l.contiene(u"Prueba"_s), pasa);
        if (filtro.contains(1)) // the empty entry, then every crop in name order
            QCOMPARE(l.nombres(), QStringList{CultivoVacio} + CargarColeccionesCatalogo(con).TodosCultivos);
    }

    // The editor's ranges: fortnights 1 to 24, days to harvest from 0.
    void rangosDelCatalogo_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<int>("valor");
        QTest::addColumn<QString>("aviso"); // empty: accepted
        const QString quincenas = u"las quincenas van de 1 a 24"_s, dias = u"igual o mayor que 0"_s;
        QTest::newRow("quincena 0") << u"Siembra_1_I"_s << 0 << quincenas;
        QTest::newRow("quincena 1") << u"Siembra_1_I"_s << 1 << QString();
        QTest::newRow("quincena 24") << u"Siembra_2_F"_s << 24 << QString();
        QTest::newRow("quincena 25") << u"Siembra_2_F"_s << 25 << quincenas;
        QTest::newRow("días -1") << u"Cosecha_1_min"_s << -1 << dias;
        QTest::newRow("días 0") << u"Cosecha_2_max"_s << 0 << QString();
    }

    void rangosDelCatalogo()
    {
        QFETCH(QString, campo);
        QFETCH(int, valor);
        QFETCH(QString, aviso);
        BDPrueba bd;
        CatalogoEditable c;
        c.enlazar(bd.fichero());
        QSqlTableModel *m = c.modelo();
        QVERIFY(m->setData(m->index(1, m->fieldIndex(campo)), valor));
        const QString motivo = c.comprobar();
        QVERIFY2(aviso.isEmpty() ? motivo.isEmpty() : motivo.contains(aviso), qPrintable(motivo));
    }

    void opcionesFueraDeRango()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.ejecutar(
            QStringLiteral("insert into Parcelas (NombreParcela, HOJAS, Libre_Heladas_Inicio,"
                           " Libre_Heladas_Final, Alcachofa, Fresa, Espárrago) values ('X', 9, 0, 30, 1, 9, 4)"));
        Conexion con(bd.fichero());
        const auto o = LeerOpcionesParcela(con, u"X"_s);
        QVERIFY(o.has_value());
        // Sheets 3 to 7, fortnights 1 to 24 (else no limit), years 2 to 6.
        QCOMPARE(QList<int>({o->hojas, o->inicioSinHeladas, o->finalSinHeladas, o->alcachofa, o->fresa, o->esparrago}),
                 QList<int>({7, 1, 1, 2, 6, 4}));
    }
};

QTEST_GUILESS_MAIN(TestCatalogo)
#include "test_catalogo.moc"
