// The data connection (whole-text matching, transactions, reading by name), the
// shipped catalogue, the frost filter, the plots' settings out of range, and
// the catalogue editor's writes (refusals, conflicts, failures).
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

void cambiar(CatalogoEditable &c, const QString &columna, const QVariant &valor)
{
    QSqlTableModel *m = c.modelo();
    m->setData(m->index(c.actual(), m->fieldIndex(columna)), valor);
}

} // namespace

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

    void catalogoEnviado()
    {
        BDPrueba bd;
        QVERIFY2(bd.valida(), qPrintable(bd.error()));
        Conexion con(bd.fichero());
        const QStringList partes = {"Raices y tubérculos", "Flor, Semilla y fruto", "Hojas", "Bulbos y tallos"};
        const QStringList raices = {"Superficiales", "Profundas", "Medias"};
        QSqlQuery q = con.ejecutar(u"select * from horticolas"_s);
        QStringList nombres;
        while (q.next()) {
            const QString n = LeerTexto(q, "Nombre");
            nombres << n;
            QVERIFY2(!LeerTexto(q, "Familia").isEmpty(), qPrintable(n));
            QVERIFY2(partes.contains(LeerTexto(q, "Parte_aprovechable")), qPrintable(n));
            QVERIFY2(raices.contains(LeerTexto(q, "Profundidad_raices")), qPrintable(n));
            const int i1 = LeerEntero(q, "Siembra_1_I"), f1 = LeerEntero(q, "Siembra_1_F");
            QVERIFY2(i1 >= 1 && i1 <= 24 && f1 >= 1 && f1 <= 24, qPrintable(n));
            QVERIFY2(LeerEntero(q, "Cosecha_1_min") > 0, qPrintable(n));
            QVERIFY2(LeerEntero(q, "Cosecha_1_min") <= LeerEntero(q, "Cosecha_1_max"), qPrintable(n));
            // A second window is both ends or neither.
            QCOMPARE(q.value(u"Siembra_2_I"_s).isNull(), q.value(u"Siembra_2_F"_s).isNull());
        }
        QVERIFY(nombres.size() >= 45);
        QCOMPARE(QSet<QString>(nombres.begin(), nombres.end()).size(), nombres.size());
        // One plot, marked as the last one used.
        QCOMPARE(bd.valor(u"select count(*) from Parcelas where ultima <> 0"_s).toInt(), 1);
    }

    void cultivosSinHelada()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        const QStringList todos = CargarColeccionesCatalogo(con).TodosCultivos;

        // A 1 in either bound: no frost limit; the empty entry, then every crop in name order.
        QCOMPARE(CultivosSinHelada(con, FiltroHeladas::Para(5, 1)).nombres(), QStringList{CultivoVacio} + todos);

        // 5 to 19: out go the crops sown from 19 on, sown round the year end, or
        // too long to harvest in those months.
        const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(5, 19));
        QCOMPARE(l.at(0), CultivoVacio);
        for (const char *n : {"Habas", "Ajos", "Espárragos"})
            QVERIFY(!l.contiene(QString::fromUtf8(n)));
        QVERIFY(l.contiene(u"Tomates"_s));
        QCOMPARE(l.size(), 1 + todos.size() - 6);
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

    // What a catalogue write accepts, on both sides of each bound; "otra" is
    // stored by another copy of the program after the reading.
    void validacion_data()
    {
        QTest::addColumn<QString>("columna");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("otra");
        QTest::addColumn<QString>("guardado"); // quote() of the stored value; "" refused
        QTest::newRow("días -1") << u"Cosecha_2_max"_s << QVariant(-1) << QString() << QString();
        QTest::newRow("días 0") << u"Cosecha_2_max"_s << QVariant(0) << QString() << u"0"_s;
        QTest::newRow("días 720") << u"Cosecha_1_min"_s << QVariant(720) << QString() << u"720"_s;
        QTest::newRow("días 721") << u"Cosecha_1_min"_s << QVariant(721) << QString() << QString();
        QTest::newRow("sin nombre") << u"Nombre"_s << QVariant(u"  "_s) << QString() << QString();
        QTest::newRow("blancos") << u"Nombre"_s << QVariant(u" Chayote  "_s) << QString() << u"'Chayote'"_s;
        QTest::newRow("otra copia") << u"Nombre"_s << QVariant(u" Chayote"_s) << u"CHAYOTE"_s << QString();
        QTest::newRow("la misma, mayúsculas") << u"Nombre"_s << QVariant(u"ACELGAS"_s) << QString() << u"'ACELGAS'"_s;
    }

    void validacion()
    {
        QFETCH(QString, columna);
        QFETCH(QVariant, valor);
        QFETCH(QString, otra);
        QFETCH(QString, guardado);
        BDPrueba bd;
        CatalogoEditable c;
        c.enlazar(bd.fichero());
        const QString sql = u"select quote(%1) from horticolas where rowid = %2"_s.arg(
            columna, bd.valor(u"select rowid from horticolas where Nombre = ?"_s, {c.nombreActual()}).toString());
        const QString antes = bd.valor(sql).toString();
        if (!otra.isEmpty())
            bd.ejecutar(u"insert into horticolas (Nombre) values (?)"_s, {otra});
        cambiar(c, columna, valor);
        if (guardado.isEmpty())
            QVERIFY_THROWS_EXCEPTION(Rechazo, c.guardar());
        else
            c.guardar();
        QCOMPARE(c.hayCambios(), guardado.isEmpty());
        QCOMPARE(bd.valor(sql).toString(), guardado.isEmpty() ? antes : guardado);
    }

    // Two copies on one file: the second write meets a row the first changed, writes
    // nothing, and writes its edits over the row as it is now when asked again.
    void dosCopias()
    {
        BDPrueba bd;
        CatalogoEditable a, b;
        a.enlazar(bd.fichero());
        b.enlazar(bd.fichero());
        const QString sql = u"select (select Latin || '/' || ifnull(riego, '') from horticolas where Nombre = 'Acelgas')"
                            " || '|' || (select ifnull(riego, '') from horticolas where Nombre = 'Achicorias')"_s;
        cambiar(a, u"Latin"_s, u"A"_s);
        a.guardar();
        const QString antes = bd.valor(sql).toString();
        cambiar(b, u"riego"_s, u"B"_s);
        b.moverSiguiente();
        cambiar(b, u"riego"_s, u"B"_s); // a crop nobody else changed: not written either
        QVERIFY_THROWS_EXCEPTION(Rechazo, b.guardar());
        QCOMPARE(bd.valor(sql).toString(), antes);
        b.moverPrimero();
        QCOMPARE(b.campo(u"Latin"_s).toString() + b.campo(u"riego"_s).toString(), u"AB"_s);
        b.guardar();
        QCOMPARE(bd.valor(sql).toString(), u"A/B|B"_s);
    }

    // The same when the row changes while the write runs (a trigger plays the other copy).
    void conflictoAlEscribir()
    {
        BDPrueba bd;
        bd.ejecutar(u"create trigger otra after update on horticolas when new.Nombre = 'Acelgas'"
                    " begin update horticolas set riego = 'z' where Nombre = 'Achicorias'; end"_s);
        CatalogoEditable c;
        c.enlazar(bd.fichero());
        cambiar(c, u"Latin"_s, u"X"_s);
        c.moverSiguiente();
        cambiar(c, u"Latin"_s, u"Y"_s);
        QVERIFY_THROWS_EXCEPTION(Rechazo, c.guardar());
        QCOMPARE(bd.valor(u"select count(*) from horticolas where Latin in ('X', 'Y') or riego = 'z'"_s).toInt(), 0);
        bd.ejecutar(u"drop trigger otra"_s);
        c.guardar();
        QCOMPARE(bd.valor(u"select count(*) from horticolas where Latin in ('X', 'Y')"_s).toInt(), 2);
    }

    // The file unreadable for a moment (emptied, then put back as a new file):
    // the failed write keeps every edit, and the next one writes them all.
    void escrituraTrasFallo()
    {
        BDPrueba bd;
        CatalogoEditable c;
        c.enlazar(bd.fichero());
        QVERIFY(QFile::copy(bd.fichero(), bd.fichero() + u".copia"_s));
        cambiar(c, u"Latin"_s, u"X"_s);
        c.moverSiguiente();
        cambiar(c, u"riego"_s, u"Y"_s);
        QVERIFY(QFile::resize(bd.fichero(), 0));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, c.guardar());
        QVERIFY(QFile::remove(bd.fichero()) && QFile::rename(bd.fichero() + u".copia"_s, bd.fichero()));
        c.guardar();
        QCOMPARE(bd.valor(u"select count(*) from horticolas where Latin = 'X' or riego = 'Y'"_s).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCatalogo)
#include "test_catalogo.moc"
