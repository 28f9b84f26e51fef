// The shipped catalogue, the catalogue collections, the frost filter and the
// plots' settings.
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
        for (const char *p : {"Alcachofas", "Fresas", "Espárragos"})
            QVERIFY(nombres.contains(QString::fromUtf8(p)));
        QCOMPARE(QSet<QString>(nombres.begin(), nombres.end()).size(), nombres.size());
        // One plot, marked as the last one used.
        QCOMPARE(bd.valor(u"select count(*) from Parcelas where ultima <> 0"_s).toInt(), 1);
    }

    void colecciones()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        const ColeccionesCatalogo c = CargarColeccionesCatalogo(con);
        const int n = bd.contar(u"horticolas"_s);
        QCOMPARE(QList<qsizetype>(
                     {c.TodosCultivos.size(), c.TodasFamilias.size(), c.TodasRaiz.size(), c.TodasProfit.size()}),
                 QList<qsizetype>(4, n));
        const int i = c.posicion(u"Tomates"_s);
        QVERIFY(i >= 0);
        QCOMPARE(c.TodasFamilias.at(i) + u'|' + c.TodasRaiz.at(i) + u'|' + c.TodasProfit.at(i),
                 u"Solanáceas|Profundas|Flor, Semilla y fruto"_s);
        QCOMPARE(c.posicion(u"tomates"_s), -1); // exact names only
        // Ordered by name as a Spanish reader expects.
        QVERIFY(c.posicion(u"Espárragos"_s) < c.posicion(u"Espinacas"_s));
    }

    void nombreRepetidoSeTomaUnaVez()
    {
        BDPrueba bd;
        bd.ejecutar(QStringLiteral("insert into horticolas (Nombre, Familia, Siembra_1_I, Siembra_1_F, Cosecha_1_min)"
                                   " values ('TOMATES', 'Rosaceae', 8, 10, 70)"));
        Conexion con(bd.fichero());
        const ColeccionesCatalogo c = CargarColeccionesCatalogo(con);
        QCOMPARE(c.TodosCultivos.filter(u"tomates"_s, Qt::CaseInsensitive).size(), 1);
        QCOMPARE(c.TodasFamilias.size(), c.TodosCultivos.size());
        const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(1, 1));
        QCOMPARE(l.nombres().filter(u"tomates"_s, Qt::CaseInsensitive).size(), 1);
    }

    void cultivosSinHelada()
    {
        BDPrueba bd;
        Conexion con(bd.fichero());
        const QStringList todos = CargarColeccionesCatalogo(con).TodosCultivos;

        // A 1 in either bound: no frost limit; the empty entry, then every crop in name order.
        for (auto [i, f] : {std::pair{1, 18}, std::pair{5, 1}}) {
            const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(i, f));
            QCOMPARE(l.at(0), CultivoVacio);
            QCOMPARE(l.nombres().mid(1), todos);
        }

        // 5 to 19: exactly the crops whose first window and minimum harvest fit.
        const ListaCandidatos l = CultivosSinHelada(con, FiltroHeladas::Para(5, 19));
        QCOMPARE(l.at(0), CultivoVacio);
        QSqlQuery q = con.ejecutar(u"select * from horticolas"_s);
        int esperados = 0;
        while (q.next()) {
            const QString n = LeerTexto(q, "Nombre");
            const bool cabe = LeerEntero(q, "Siembra_1_I") < 19 && LeerEntero(q, "Siembra_1_F") >= 5
                              && LeerEntero(q, "Cosecha_1_min") <= 210;
            QCOMPARE(l.contiene(n), cabe);
            esperados += cabe;
        }
        QCOMPARE(l.size(), esperados + 1);
        QVERIFY(esperados > 5 && esperados < todos.size());

        // A period where nothing fits.
        const ListaCandidatos nada = CultivosSinHelada(con, FiltroHeladas::Para(12, 13));
        QCOMPARE(nada.size(), 1);
        QCOMPARE(nada.at(0), CultivoVacio);
    }

    void listaCandidatos()
    {
        ListaCandidatos l;
        l.agregarSinClave(CultivoVacio);
        QVERIFY(l.agregar(u"Fresas"_s));
        QVERIFY(!l.agregar(u"FRESAS"_s));
        QVERIFY(l.agregar(u"Ñoras"_s));
        QVERIFY(!l.agregar(u"ñoras"_s));
        QVERIFY(l.contiene(u"fresas"_s));
        QVERIFY(!l.contiene(CultivoVacio)); // added without a key
        QCOMPARE(l.size(), 3);
        QVERIFY(l.quitar(u"fresas"_s));
        QCOMPARE(l.nombres(), (QStringList{CultivoVacio, u"Ñoras"_s}));
    }

    void parcelas()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(u"Huerto"_s, 4, 5, 19);
        bd.agregarParcela(u"Norte"_s, 6, 1, 1, true);
        bd.agregarParcela(u"Sur"_s, 3, 6, 21);
        Conexion con(bd.fichero());
        ListadoParcelas l = ListarParcelas(con);
        QCOMPARE(l.nombres, (QStringList{"Huerto", "Norte", "Sur"}));
        QCOMPARE(l.ultima, 1);

        MarcarUltimaParcela(con, u"SUR"_s);
        l = ListarParcelas(con);
        QCOMPARE(l.ultima, 2);
        QCOMPARE(bd.valor(u"select count(*) from Parcelas where ultima <> 0"_s).toInt(), 1);

        const auto o = LeerOpcionesParcela(con, u"huerto"_s);
        QVERIFY(o.has_value());
        QCOMPARE(QList<int>({o->hojas, o->inicioSinHeladas, o->finalSinHeladas}), QList<int>({4, 5, 19}));
        QVERIFY(!LeerOpcionesParcela(con, u"Nadie"_s).has_value());
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
