// The data connection (whole-text matching, transactions, reading by name), the
// shipped catalogue, the frost filter and the plots' settings out of range.
#include "core/Catalogo.h"
#include "core/Parcelas.h"
#include "core/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "core/Conexion.h"

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

    void transaccionSinConfirmarSeDeshace()
    {
        BDPrueba bd;
        const int antes = bd.contar(u"BDParcela"_s);
        for (bool falla : {true, false}) {
            Conexion con(bd.fichero());
            try {
                Transaccion t(con);
                con.ejecutar(u"insert into BDParcela (parcela, año, hoja, cultivo) values ('P', 2020, 1, 'Ajos')"_s);
                if (falla)
                    con.ejecutar(u"insert into NoExiste values (1)"_s);
                t.confirmar();
            } catch (const ErrorBD &) {
            }
            QCOMPARE(bd.contar(u"BDParcela"_s), antes + !falla);
        }
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
};

QTEST_GUILESS_MAIN(TestCatalogo)
#include "test_catalogo.moc"
