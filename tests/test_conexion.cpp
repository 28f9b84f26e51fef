// The data connection: opening, bound values, whole-text matching that ignores
// letter case for every letter, ordering and transactions.
#include "fixtures/BDPrueba.h"
#include "core/Conexion.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestConexion : public QObject
{
    Q_OBJECT

private slots:
    void ficheroAusenteNoSeCrea()
    {
        QTemporaryDir dir;
        const QString fichero = dir.filePath(u"BDHuerta.db"_s);
        try {
            Conexion con(fichero);
            QFAIL("a missing file was opened");
        } catch (const ErrorBD &e) {
            QVERIFY2(e.texto().contains(u"BDHuerta.db"_s), qPrintable(e.texto()));
        }
        QVERIFY(!QFileInfo::exists(fichero));
    }

    void coincide_data()
    {
        QTest::addColumn<QString>("guardado");
        QTest::addColumn<QString>("buscado");
        QTest::addColumn<bool>("encuentra");
        QTest::newRow("minúsculas") << "Fresas" << "fresas" << true;
        QTest::newRow("eñe") << "ñora" << "ÑORA" << true;
        QTest::newRow("acento") << "Espárragos" << "ESPÁRRAGOS" << true;
        QTest::newRow("sin acento no es igual") << "Espárragos" << "Esparragos" << false;
        QTest::newRow("porcentaje no comodín") << "Huerto 100 por cien" << "Huerto 100%" << false;
        QTest::newRow("subrayado no comodín") << "norteX1" << "norte_1" << false;
        QTest::newRow("comilla") << "L'Horta" << "l'horta" << true;
        QTest::newRow("texto parcial") << "Fresas" << "Fresa" << false;
    }
    void coincide()
    {
        QFETCH(QString, guardado);
        QFETCH(QString, buscado);
        QFETCH(bool, encuentra);
        BDPrueba bd;
        QVERIFY2(bd.valida(), qPrintable(bd.error()));
        bd.vaciarParcelas();
        bd.agregarParcela(guardado, 4, 1, 1);
        Conexion con(bd.fichero());
        QCOMPARE(con.hayFilas(u"select * from Parcelas where coincide(NombreParcela, ?)"_s, {buscado}), encuentra);
    }

    void nulosNoCoinciden()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(u"select coincide(null, 'a'), coincide('a', null)"_s);
        QVERIFY(q.next());
        QCOMPARE(QList<int>({q.value(0).toInt(), q.value(1).toInt()}), QList<int>({0, 0}));
    }

    void ordenEspanol()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        for (const char *n : {"Zanahorias", "espinacas", "Espárragos", "Ñoras", "Nabos", "Acelgas", "Oca"})
            bd.agregarParcela(QString::fromUtf8(n), 4, 1, 1);
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(u"select NombreParcela from Parcelas order by NombreParcela collate ES"_s);
        QStringList orden;
        while (q.next())
            orden << q.value(0).toString();
        // Accents and case are folded for ordering; ñ folds to n here.
        QCOMPARE(orden, (QStringList{"Acelgas", "Espárragos", "espinacas", "Nabos", "Ñoras", "Oca", "Zanahorias"}));
    }

    void valoresEnlazados()
    {
        BDPrueba bd;
        const QString raro = u"x'); drop table Parcelas; --"_s;
        bd.agregarParcela(raro, 4, 1, 1);
        QCOMPARE(bd.valor(u"select count(*) from Parcelas where NombreParcela = ?"_s, {raro}).toInt(), 1);
        QVERIFY(bd.contar(u"Parcelas"_s) >= 2);
        Conexion con(bd.fichero());
        QVERIFY_THROWS_EXCEPTION(ErrorBD, con.ejecutar(u"select * from NoExiste"_s));
    }

    void transaccionSinConfirmarSeDeshace()
    {
        BDPrueba bd;
        const int antes = bd.contar(u"BDParcela"_s);
        {
            Conexion con(bd.fichero());
            try {
                Transaccion t(con);
                con.ejecutar(u"insert into BDParcela (parcela, año, hoja, cultivo) values ('P', 2020, 1, 'Ajos')"_s);
                con.ejecutar(u"insert into NoExiste values (1)"_s);
                t.confirmar();
            } catch (const ErrorBD &) {
            }
        }
        QCOMPARE(bd.contar(u"BDParcela"_s), antes);
        {
            Conexion con(bd.fichero());
            Transaccion t(con);
            con.ejecutar(u"insert into BDParcela (parcela, año, hoja, cultivo) values ('P', 2020, 1, 'Ajos')"_s);
            t.confirmar();
        }
        QCOMPARE(bd.contar(u"BDParcela"_s), antes + 1);
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
        QCOMPARE(LeerTexto(q, "NOMBREPARCELA"), u"N"_s);
    }
};

QTEST_GUILESS_MAIN(TestConexion)
#include "test_conexion.moc"
