// The data connection (whole-text matching, reading by name), the shipped catalogue, the frost filter, the plots'
// settings out of range, and the catalogue editor's writes (refusals, conflicts, failures).
#include "core/Catalogo.h"
#include "core/CatalogoEditable.h"
#include "core/Parcelas.h"
#include "core/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "core/Conexion.h"

#include <QFile>
#include <QSqlTableModel>
#include <QTest>

using modBasico::CultivoVacio;

using namespace Qt::StringLiterals;

namespace {

// The catalogue editor on a test database.
struct Editor
{
    BDPrueba bd;
    CatalogoEditable c;
    Editor() { c.enlazar(bd.fichero()); }
    void cambiar(const QString &columna, const QVariant &valor) { cambiar(c, columna, valor); }
    static void cambiar(CatalogoEditable &c, const QString &columna, const QVariant &valor)
    {
        c.modelo()->setData(c.modelo()->index(c.actual(), c.modelo()->fieldIndex(columna)), valor);
    }
};

} // namespace

class TestCatalogo : public QObject
{
    Q_OBJECT

private slots:
    // coincide(): whole texts, letter case ignored for accented letters too (the other cases go through the plan-row
    // lookups in test_indices). The readers of a row's fields by name.
    void conexion()
    {
        BDPrueba bd;
        bd.ejecutar(u"insert into Parcelas (NombreParcela, HOJAS, RepetirFrutos, CicloCorto) values ('N', 5, -1, 0)"_s);
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(u"select coincide('Espárragos', 'ESPÁRRAGOS') || coincide('Espárragos', 'Esparragos')"
                                   " || ifnull(coincide(null, 'a'), 0) || ifnull(coincide('a', null), 0), *,"
                                   " null as Vacio from Parcelas where NombreParcela = 'N'"_s);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), u"1000"_s);
        QCOMPARE(LeerEntero(q, "hojas"), 5);          // names ignore case
        QCOMPARE(LeerSiNo(q, "RepetirFrutos"), true); // any true value
        QCOMPARE(LeerSiNo(q, "CicloCorto"), false);
        QCOMPARE(LeerSiNo(q, "Vacio"), false); // Null is not true
    }

    // Every shipped crop has its properties in the rules' vocabulary, sowing fortnights 1..24, a second window of
    // both ends or neither, and a name of its own in any letter case; one plot is marked as the last one used.
    void catalogoEnviado()
    {
        BDPrueba bd;
        QCOMPARE(bd.valor(u"select group_concat(Nombre) from horticolas h where ifnull(Familia, '') = ''"
                          " or Parte_aprovechable not in ('Raices y tubérculos', 'Flor, Semilla y fruto', 'Hojas',"
                          " 'Bulbos y tallos') or Profundidad_raices not in ('Superficiales', 'Profundas', 'Medias')"
                          " or ifnull(Siembra_1_I, 0) not between 1 and 24 or ifnull(Siembra_1_F, 0) not between 1 and 24"
                          " or not (ifnull(Cosecha_1_min, 0) between 1 and ifnull(Cosecha_1_max, 0))"
                          " or (Siembra_2_I is null) <> (Siembra_2_F is null) or exists (select 1 from horticolas o"
                          " where o.rowid <> h.rowid and coincide(o.Nombre, h.Nombre))"_s).toString(), QString());
        QVERIFY(bd.contar(u"horticolas"_s) >= 45);
        QCOMPARE(bd.valor(u"select count(*) from Parcelas where ultima <> 0"_s).toInt(), 1);
    }

    // A crop made up on each side of each edge of the frost filter: sown before the last frost-free fortnight,
    // sowable until the first one, days to harvest within the frost-free months. A 1 in either bound: no limit.
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
        BDPrueba bd;
        bd.ejecutar(u"insert into horticolas (Nombre, Familia, Parte_aprovechable, Profundidad_raices, Siembra_1_I,"
                    " Siembra_1_F, Cosecha_1_min, Cosecha_1_max) values ('Prueba', 'Malváceas', 'Hojas', 'Medias',"
                    " ?, ?, ?, 400)"_s, {cultivo[0], cultivo[1], cultivo[2]});
        Conexion con(bd.fichero());
        const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(filtro[0], filtro[1]));
        QTEST(l.contiene(u"Prueba"_s), "pasa");
        if (filtro.contains(1)) // the empty entry, then every crop in name order
            QCOMPARE(l.nombres(), QStringList{CultivoVacio} + CargarColeccionesCatalogo(con).TodosCultivos);
    }

    void opcionesFueraDeRango()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.ejecutar(u"insert into Parcelas (NombreParcela, HOJAS, Libre_Heladas_Inicio, Libre_Heladas_Final, Alcachofa,"
                    " Fresa, Espárrago) values ('X', 9, 0, 30, 1, 9, 4)"_s);
        Conexion con(bd.fichero());
        const auto o = LeerOpcionesParcela(con, u"X"_s).value();
        // Sheets 3 to 7, fortnights 1 to 24 (else no limit), years 2 to 6.
        QCOMPARE(QList<int>({o.hojas, o.inicioSinHeladas, o.finalSinHeladas, o.alcachofa, o.fresa, o.esparrago}),
                 QList<int>({7, 1, 1, 2, 6, 4}));
    }

    // What a catalogue write accepts, on both sides of each bound; "otra" is stored by another copy of the program
    // after the reading.
    void validacion_data()
    {
        QTest::addColumn<QString>("columna");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("otra");
        QTest::addColumn<QString>("guardado"); // quote() of the stored value; "" refused
        QTest::newRow("quincena 0") << u"Siembra_1_I"_s << QVariant(0) << "" << "";
        QTest::newRow("quincena 1") << u"Siembra_1_I"_s << QVariant(1) << "" << u"1"_s;
        QTest::newRow("quincena 24") << u"Siembra_2_F"_s << QVariant(24) << "" << u"24"_s;
        QTest::newRow("quincena 25") << u"Siembra_2_F"_s << QVariant(25) << "" << "";
        QTest::newRow("días -1") << u"Cosecha_2_max"_s << QVariant(-1) << "" << "";
        QTest::newRow("días 0") << u"Cosecha_2_max"_s << QVariant(0) << "" << u"0"_s;
        QTest::newRow("días 720") << u"Cosecha_1_min"_s << QVariant(720) << "" << u"720"_s;
        QTest::newRow("días 721") << u"Cosecha_1_min"_s << QVariant(721) << "" << "";
        QTest::newRow("sin nombre") << u"Nombre"_s << QVariant(u"  "_s) << "" << "";
        QTest::newRow("blancos") << u"Nombre"_s << QVariant(u" Chayote  "_s) << "" << u"'Chayote'"_s;
        QTest::newRow("otra copia") << u"Nombre"_s << QVariant(u" Chayote"_s) << u"CHAYOTE"_s << "";
        QTest::newRow("la misma, mayúsculas") << u"Nombre"_s << QVariant(u"ACELGAS"_s) << "" << u"'ACELGAS'"_s;
    }

    void validacion()
    {
        QFETCH(QString, columna);
        QFETCH(QVariant, valor);
        QFETCH(QString, otra);
        QFETCH(QString, guardado);
        Editor e;
        const QString sql = u"select quote(%1) from horticolas where rowid = %2"_s.arg(
            columna, e.bd.valor(u"select rowid from horticolas where Nombre = ?"_s, {e.c.nombreActual()}).toString());
        const QString antes = e.bd.valor(sql).toString();
        if (!otra.isEmpty()) e.bd.ejecutar(u"insert into horticolas (Nombre) values (?)"_s, {otra});
        e.cambiar(columna, valor);
        if (guardado.isEmpty())
            QVERIFY_THROWS_EXCEPTION(Rechazo, e.c.guardar());
        else
            e.c.guardar();
        QCOMPARE(e.c.hayCambios(), guardado.isEmpty());
        QCOMPARE(e.bd.valor(sql).toString(), guardado.isEmpty() ? antes : guardado);
    }

    // Two copies on one file: B's write, after A's to Acelgas (and B's reading again on a plot switch), names it,
    // writes nothing, and the next one writes B's edits over the row as it is now; a renamed crop never comes back.
    void dosCopias_data()
    {
        QTest::addColumn<QString>("columna"); // A's change
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("releida");
        QTest::addColumn<QString>("despues"); // rows with B's edit / with A's change, after B's second write
        QTest::newRow("otro campo") << u"Latin"_s << u"A"_s << false << u"2/1"_s;
        QTest::newRow("mismo campo, releída") << u"riego"_s << u"A"_s << true << u"2/0"_s;
        QTest::newRow("renombrada") << u"Nombre"_s << u"Acelga"_s << false << u"0/1"_s;
        QTest::newRow("renombrada, releída") << u"Nombre"_s << u"Acelga"_s << true << u"0/1"_s;
    }

    void dosCopias()
    {
        QFETCH(QString, columna);
        QFETCH(QString, valor);
        QFETCH(bool, releida);
        QFETCH(QString, despues);
        Editor a;
        CatalogoEditable b;
        b.enlazar(a.bd.fichero());
        const QString sql = u"select sum(riego is 'B') || '/' || sum(\"%1\" is ?) from horticolas"_s.arg(columna);
        a.cambiar(columna, valor);
        a.c.guardar();
        const QString antes = a.bd.valor(sql, {valor}).toString();
        Editor::cambiar(b, u"riego"_s, u"B"_s);
        b.moverSiguiente();
        Editor::cambiar(b, u"riego"_s, u"B"_s); // a crop nobody else changed: not written either
        if (releida) b.enlazar(a.bd.fichero()); // the edits go over the rows as they are now: still a conflict
        auto rechazo = [&b] { try { b.guardar(); } catch (const Rechazo &r) { return r.texto(); } return QString(); };
        QVERIFY(rechazo().contains(u"«Acelgas»"_s));
        QCOMPARE(a.bd.valor(sql, {valor}).toString(), antes);
        const bool renombrada = columna == u"Nombre"_s;
        b.moverPrimero();
        QCOMPARE(b.campo(u"riego"_s).toString() == u"B"_s, !renombrada);
        QCOMPARE(rechazo().contains(u"«Acelgas»"_s), renombrada); // refused until dropped
        QCOMPARE(a.bd.valor(sql, {valor}).toString(), despues);
        QCOMPARE(b.hayCambios(), renombrada);
        b.releer();
        QVERIFY(!b.hayCambios());
    }

    // The same when the row changes while the write runs (a trigger plays the other copy).
    void conflictoAlEscribir()
    {
        Editor e;
        e.bd.ejecutar(u"create trigger otra after update on horticolas when new.Nombre = 'Acelgas'"
                      " begin update horticolas set riego = 'z' where Nombre = 'Achicorias'; end"_s);
        e.cambiar(u"Latin"_s, u"X"_s);
        e.c.moverSiguiente();
        e.cambiar(u"Latin"_s, u"Y"_s);
        QVERIFY_THROWS_EXCEPTION(Rechazo, e.c.guardar());
        QCOMPARE(e.bd.valor(u"select count(*) from horticolas where Latin in ('X', 'Y') or riego = 'z'"_s).toInt(), 0);
        e.bd.ejecutar(u"drop trigger otra"_s);
        e.c.guardar();
        QCOMPARE(e.bd.valor(u"select count(*) from horticolas where Latin in ('X', 'Y')"_s).toInt(), 2);
    }

    // The file unreadable for a moment (emptied, then put back as a new file): the failed write keeps every edit, and
    // the next one writes them all.
    void escrituraTrasFallo()
    {
        Editor e;
        QVERIFY(QFile::copy(e.bd.fichero(), e.bd.fichero() + u".copia"_s));
        e.cambiar(u"Latin"_s, u"X"_s);
        e.c.moverSiguiente();
        e.cambiar(u"riego"_s, u"Y"_s);
        QVERIFY(QFile::resize(e.bd.fichero(), 0));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, e.c.guardar());
        QVERIFY(QFile::remove(e.bd.fichero()) && QFile::rename(e.bd.fichero() + u".copia"_s, e.bd.fichero()));
        e.c.guardar();
        QCOMPARE(e.bd.valor(u"select count(*) from horticolas where Latin = 'X' or riego = 'Y'"_s).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCatalogo)
#include "test_catalogo.moc"
