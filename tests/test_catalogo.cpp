// The shipped catalogue, the catalogue collections, the frost filter and the
// plots' settings.
#include "designer/Catalogo.h"
#include "designer/Parcelas.h"
#include "designer/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "platform/Conexion.h"

#include <QTest>

using modBasico::CultivoVacio;

class TestCatalogo : public QObject
{
    Q_OBJECT

private slots:
    void catalogoEnviado()
    {
        BDPrueba bd;
        QVERIFY2(bd.valida(), qPrintable(bd.error()));
        Conexion con(bd.fichero());
        const QStringList familias = {"Solanáceas", "Crucíferas", "Compuestas", "Leguminosas", "Cucurbitáceas",
                                      "Quenopodiáceas", "Liliáceas", "Umbelíferas", "Convolvulaceae", "Rosaceae",
                                      "Gramineae"};
        const QStringList partes = {"Raices y tubérculos", "Flor, Semilla y fruto", "Hojas", "Bulbos y tallos"};
        const QStringList raices = {"Superficiales", "Profundas", "Medias"};
        QSqlQuery q = con.ejecutar(QStringLiteral("select * from horticolas"));
        QStringList nombres;
        while (q.next()) {
            const QString n = LeerTexto(q, "Nombre");
            nombres << n;
            QVERIFY2(familias.contains(LeerTexto(q, "Familia")), qPrintable(n));
            QVERIFY2(partes.contains(LeerTexto(q, "Parte_aprovechable")), qPrintable(n));
            QVERIFY2(raices.contains(LeerTexto(q, "Profundidad_raices")), qPrintable(n));
            for (const char *c : {"Latin", "Abonado", "asoc_desfavorable", "asoc_favorable", "carencias_correccion",
                                  "carencias_posibles", "enfermedades_posibles", "enfermedades_tratamiento", "labor",
                                  "Precedente", "riego"})
                QVERIFY2(!LeerTexto(q, c).isEmpty(), qPrintable(n + QLatin1Char(' ') + QLatin1String(c)));
            const int i1 = LeerEntero(q, "Siembra_1_I"), f1 = LeerEntero(q, "Siembra_1_F");
            QVERIFY2(i1 >= 1 && i1 <= 24 && f1 >= 1 && f1 <= 24, qPrintable(n));
            QVERIFY2(LeerEntero(q, "Cosecha_1_min") > 0, qPrintable(n));
            QVERIFY2(LeerEntero(q, "Cosecha_1_min") <= LeerEntero(q, "Cosecha_1_max"), qPrintable(n));
            // A second window is both ends or neither.
            QCOMPARE(q.value(QStringLiteral("Siembra_2_I")).isNull(), q.value(QStringLiteral("Siembra_2_F")).isNull());
        }
        QVERIFY(nombres.size() >= 45);
        for (const char *p : {"Alcachofas", "Fresas", "Espárragos"})
            QVERIFY(nombres.contains(QString::fromUtf8(p)));
        QCOMPARE(QSet<QString>(nombres.begin(), nombres.end()).size(), nombres.size());
        // One plot, marked as the last one used.
        QCOMPARE(bd.valor(QStringLiteral("select count(*) from Parcelas where ultima <> 0")).toInt(), 1);
    }

    void colecciones()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        const ColeccionesCatalogo c = CargarColeccionesCatalogo(con);
        QCOMPARE(c.TodosCultivos.size(), bd.contar(QStringLiteral("horticolas")));
        QCOMPARE(c.TodasFamilias.size(), c.TodosCultivos.size());
        QCOMPARE(c.TodasRaiz.size(), c.TodosCultivos.size());
        QCOMPARE(c.TodasProfit.size(), c.TodosCultivos.size());
        const int i = c.posicion(QStringLiteral("Tomates"));
        QVERIFY(i >= 0);
        QCOMPARE(c.TodasFamilias.at(i), QStringLiteral("Solanáceas"));
        QCOMPARE(c.TodasRaiz.at(i), QStringLiteral("Profundas"));
        QCOMPARE(c.TodasProfit.at(i), QStringLiteral("Flor, Semilla y fruto"));
        QCOMPARE(c.posicion(QStringLiteral("tomates")), -1); // exact names only
        // Ordered by name as a Spanish reader expects.
        QVERIFY(c.posicion(QStringLiteral("Espárragos")) < c.posicion(QStringLiteral("Espinacas")));
        QStringList ordenado = c.TodosCultivos;
        QCOMPARE(ordenado.first(), QStringLiteral("Acelgas"));
    }

    void nombreRepetidoSeTomaUnaVez()
    {
        BDPrueba bd;
        bd.ejecutar(QStringLiteral("insert into horticolas (Nombre, Familia, Siembra_1_I, Siembra_1_F, Cosecha_1_min)"
                                   " values ('TOMATES', 'Rosaceae', 8, 10, 70)"));
        Conexion con(bd.fichero());
        const ColeccionesCatalogo c = CargarColeccionesCatalogo(con);
        QCOMPARE(c.TodosCultivos.filter(QStringLiteral("tomates"), Qt::CaseInsensitive).size(), 1);
        QCOMPARE(c.TodasFamilias.size(), c.TodosCultivos.size());
        const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(1, 1));
        QCOMPARE(l.nombres().filter(QStringLiteral("tomates"), Qt::CaseInsensitive).size(), 1);
    }

    void filtroHeladas_data()
    {
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("final");
        QTest::addColumn<bool>("sinLimite");
        QTest::addColumn<int>("antesDe");
        QTest::addColumn<int>("desde");
        QTest::addColumn<int>("dias");
        QTest::newRow("5 a 19") << 5 << 19 << false << 19 << 5 << 210;
        QTest::newRow("6 a 21") << 6 << 21 << false << 21 << 6 << 225;
        QTest::newRow("final antes que inicio") << 20 << 4 << false << 4 << 20 << -240;
        QTest::newRow("1 y 1") << 1 << 1 << true << 0 << 0 << 0;
        QTest::newRow("1 y 18") << 1 << 18 << true << 0 << 0 << 0;
        QTest::newRow("5 y 1") << 5 << 1 << true << 0 << 0 << 0;
    }
    void filtroHeladas()
    {
        QFETCH(int, inicio);
        QFETCH(int, final);
        QFETCH(bool, sinLimite);
        QFETCH(int, antesDe);
        QFETCH(int, desde);
        QFETCH(int, dias);
        const FiltroHeladas f = FiltroHeladas::Para(inicio, final);
        QCOMPARE(f.sinLimite, sinLimite);
        if (!sinLimite) {
            QCOMPARE(f.siembraAntesDe, antesDe);
            QCOMPARE(f.siembraHastaDesde, desde);
            QCOMPARE(f.diasMaximos, dias);
        }
    }

    void cultivosSinHelada()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        const QStringList todos = CargarColeccionesCatalogo(con).TodosCultivos;

        // No frost limit: the empty entry, then every crop in name order.
        for (auto [i, f] : {std::pair{1, 1}, std::pair{1, 18}, std::pair{5, 1}}) {
            const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(i, f));
            QCOMPARE(l.at(0), CultivoVacio);
            QCOMPARE(l.nombres().mid(1), todos);
        }

        // 5 to 19: exactly the crops whose first window and minimum harvest fit.
        const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(5, 19));
        QCOMPARE(l.at(0), CultivoVacio);
        QSqlQuery q = con.ejecutar(QStringLiteral("select * from horticolas"));
        int esperados = 0;
        while (q.next()) {
            const QString n = LeerTexto(q, "Nombre");
            const bool cabe = LeerEntero(q, "Siembra_1_I") < 19 && LeerEntero(q, "Siembra_1_F") >= 5
                && LeerEntero(q, "Cosecha_1_min") <= 210;
            QCOMPARE(l.contiene(n), cabe);
            esperados += cabe;
        }
        QCOMPARE(l.size(), esperados + 1);
        QVERIFY(l.contiene(QStringLiteral("Tomates")));  // 8-10, 70 days
        QVERIFY(!l.contiene(QStringLiteral("Ajos")));    // 20-3
        QVERIFY(!l.contiene(QStringLiteral("Espárragos"))); // 330 days

        // A period where nothing fits.
        const ListaCandidatos nada = CultivosSinHelada(con, FiltroHeladas::Para(12, 13));
        QCOMPARE(nada.size(), 1);
        QCOMPARE(nada.at(0), CultivoVacio);
    }

    void listaCandidatos()
    {
        ListaCandidatos l;
        l.agregarSinClave(CultivoVacio);
        QVERIFY(l.agregar(QStringLiteral("Fresas")));
        QVERIFY(!l.agregar(QStringLiteral("FRESAS")));
        QVERIFY(l.agregar(QStringLiteral("Ñoras")));
        QVERIFY(!l.agregar(QStringLiteral("ñoras")));
        QVERIFY(l.contiene(QStringLiteral("fresas")));
        QVERIFY(!l.contiene(CultivoVacio)); // added without a key
        QCOMPARE(l.size(), 3);
        QVERIFY(l.quitar(QStringLiteral("fresas")));
        QCOMPARE(l.nombres(), (QStringList{CultivoVacio, QStringLiteral("Ñoras")}));
    }

    void parcelas()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 5, 19);
        bd.agregarParcela(QStringLiteral("Norte"), 6, 1, 1, true);
        bd.agregarParcela(QStringLiteral("Sur"), 3, 6, 21);
        Conexion con(bd.fichero());
        ListadoParcelas l = ListarParcelas(con);
        QCOMPARE(l.nombres, (QStringList{"Huerto", "Norte", "Sur"}));
        QCOMPARE(l.ultima, 1);

        MarcarUltimaParcela(con, QStringLiteral("SUR"));
        l = ListarParcelas(con);
        QCOMPARE(l.ultima, 2);
        QCOMPARE(bd.valor(QStringLiteral("select count(*) from Parcelas where ultima <> 0")).toInt(), 1);

        const auto o = LeerOpcionesParcela(con, QStringLiteral("huerto"));
        QVERIFY(o.has_value());
        QCOMPARE(o->hojas, 4);
        QCOMPARE(o->inicioSinHeladas, 5);
        QCOMPARE(o->finalSinHeladas, 19);
        QVERIFY(!LeerOpcionesParcela(con, QStringLiteral("Nadie")).has_value());
    }

    void opcionesFueraDeRango()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.ejecutar(QStringLiteral("insert into Parcelas (NombreParcela, HOJAS, Libre_Heladas_Inicio,"
                                   " Libre_Heladas_Final, Alcachofa, Fresa, Espárrago) values ('X', 9, 0, 30, 1, 9, 4)"));
        Conexion con(bd.fichero());
        const auto o = LeerOpcionesParcela(con, QStringLiteral("X"));
        QVERIFY(o.has_value());
        QCOMPARE(o->hojas, 7);
        QCOMPARE(o->inicioSinHeladas, 1);
        QCOMPARE(o->finalSinHeladas, 1);
        QCOMPARE(o->alcachofa, 2);
        QCOMPARE(o->fresa, 6);
        QCOMPARE(o->esparrago, 4);
    }
};

QTEST_GUILESS_MAIN(TestCatalogo)
#include "test_catalogo.moc"
