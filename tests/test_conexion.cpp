// The data connection: opening, bound values, whole-text matching that ignores
// letter case for every letter, ordering and transactions.
#include "fixtures/BDPrueba.h"
#include "platform/Conexion.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestConexion : public QObject
{
    Q_OBJECT

private slots:
    void ficheroAusenteNoSeCrea()
    {
        QTemporaryDir dir;
        const QString fichero = dir.filePath(QStringLiteral("BDHuerta.db"));
        bool fallo = false;
        QString texto;
        try {
            Conexion con(fichero);
        } catch (const ErrorBD &e) {
            fallo = true;
            texto = e.texto();
        }
        QVERIFY(fallo);
        QVERIFY2(texto.contains(QStringLiteral("BDHuerta.db")), qPrintable(texto));
        QVERIFY(!QFileInfo::exists(fichero));
    }

    void cadenaConexion()
    {
        EstablecerCadenaConexion(QStringLiteral("/opt/huerta"));
        QCOMPARE(CadenaConexion, QStringLiteral("/opt/huerta/BDHuerta.db"));
    }

    void coincide_data()
    {
        QTest::addColumn<QString>("guardado");
        QTest::addColumn<QString>("buscado");
        QTest::addColumn<bool>("encuentra");
        QTest::newRow("mismo texto") << "Fresas" << "Fresas" << true;
        QTest::newRow("minúsculas") << "Fresas" << "fresas" << true;
        QTest::newRow("eñe") << "ñora" << "ÑORA" << true;
        QTest::newRow("acento") << "Espárragos" << "ESPÁRRAGOS" << true;
        QTest::newRow("sin acento no es igual") << "Espárragos" << "Esparragos" << false;
        QTest::newRow("porcentaje literal") << "Huerto 100%" << "huerto 100%" << true;
        QTest::newRow("porcentaje no comodín") << "Huerto 100 por cien" << "Huerto 100%" << false;
        QTest::newRow("subrayado literal") << "norte_1" << "NORTE_1" << true;
        QTest::newRow("subrayado no comodín") << "norteX1" << "norte_1" << false;
        QTest::newRow("comilla") << "L'Horta" << "l'horta" << true;
        QTest::newRow("texto parcial") << "Fresas" << "Fresa" << false;
        QTest::newRow("vacío") << "" << "" << true;
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
        QCOMPARE(con.hayFilas(QStringLiteral("select * from Parcelas where coincide(NombreParcela, ?)"), {buscado}),
                 encuentra);
    }

    void nulosNoCoinciden()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(QStringLiteral("select coincide(null, 'a'), coincide('a', null)"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        QCOMPARE(q.value(1).toInt(), 0);
    }

    void ordenEspanol()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        for (const char *n : {"Zanahorias", "espinacas", "Espárragos", "Ñoras", "Nabos", "Acelgas", "Oca"})
            bd.agregarParcela(QString::fromUtf8(n), 4, 1, 1);
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(QStringLiteral("select NombreParcela from Parcelas order by NombreParcela collate ES"));
        QStringList orden;
        while (q.next())
            orden << q.value(0).toString();
        // Accents and case are folded for ordering; ñ folds to n here.
        QCOMPARE(orden, (QStringList{"Acelgas", "Espárragos", "espinacas", "Nabos", "Ñoras", "Oca", "Zanahorias"}));
    }

    void valoresEnlazados()
    {
        BDPrueba bd;
        const QString raro = QStringLiteral("x'); drop table Parcelas; --");
        bd.agregarParcela(raro, 4, 1, 1);
        QCOMPARE(bd.valor(QStringLiteral("select count(*) from Parcelas where NombreParcela = ?"), {raro}).toInt(), 1);
        QVERIFY(bd.contar(QStringLiteral("Parcelas")) >= 2);
    }

    void sentenciaRechazada()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        QVERIFY_THROWS_EXCEPTION(ErrorBD, con.ejecutar(QStringLiteral("select * from NoExiste")));
    }

    void transaccionSinConfirmarSeDeshace()
    {
        BDPrueba bd;
        const int antes = bd.contar(QStringLiteral("BDParcela"));
        {
            Conexion con(bd.fichero());
            try {
                Transaccion t(con);
                con.ejecutar(QStringLiteral("insert into BDParcela (parcela, año, hoja, cultivo) values ('P', 2020, 1, 'Ajos')"));
                con.ejecutar(QStringLiteral("insert into NoExiste values (1)"));
                t.confirmar();
            } catch (const ErrorBD &) {
            }
        }
        QCOMPARE(bd.contar(QStringLiteral("BDParcela")), antes);
        {
            Conexion con(bd.fichero());
            Transaccion t(con);
            con.ejecutar(QStringLiteral("insert into BDParcela (parcela, año, hoja, cultivo) values ('P', 2020, 1, 'Ajos')"));
            t.confirmar();
        }
        QCOMPARE(bd.contar(QStringLiteral("BDParcela")), antes + 1);
    }

    void lecturaPorNombre()
    {
        BDPrueba bd;
        bd.ejecutar(QStringLiteral("insert into Parcelas (NombreParcela, HOJAS, RepetirFrutos, CicloCorto) values ('N', 5, -1, 0)"));
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(QStringLiteral("select *, null as Vacio from Parcelas where NombreParcela = 'N'"));
        QVERIFY(q.next());
        QCOMPARE(LeerEntero(q, "hojas"), 5);       // names ignore case
        QCOMPARE(LeerSiNo(q, "RepetirFrutos"), true); // any true value
        QCOMPARE(LeerSiNo(q, "CicloCorto"), false);
        QCOMPARE(LeerSiNo(q, "Vacio"), false);        // Null is not true
        QCOMPARE(LeerEntero(q, "Vacio"), 0);
        QCOMPARE(LeerTexto(q, "Vacio"), QString());
        QCOMPARE(LeerTexto(q, "NOMBREPARCELA"), QStringLiteral("N"));
    }
};

QTEST_GUILESS_MAIN(TestConexion)
#include "test_conexion.moc"
