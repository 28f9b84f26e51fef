// The rotation rules: the five filters, the three lookups, the chain that fills
// a sheet's pickers and the follow-on stages, against a test database.
#include "designer/Catalogo.h"
#include "designer/Rotacion.h"
#include "designer/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "platform/Conexion.h"

#include <QTest>

using modBasico::CultivoVacio;

namespace {

// Plan rows written as "parcela|año|hoja|cultivo", stored in the given order.
void sembrar(BDPrueba &bd, const QStringList &filas)
{
    for (const QString &f : filas) {
        const QStringList p = f.split(QLatin1Char('|'));
        bd.agregarFila(p[0], p[1].toInt(), p[2].toInt(), p[3], 1, 2);
    }
}

// "····" in a table stands for the empty-crop entry.
QStringList nombres(const QStringList &l)
{
    QStringList r;
    for (const QString &n : l)
        r << (n == QStringLiteral("····") ? CultivoVacio : n);
    return r;
}

ListaCandidatos lista(const QStringList &l)
{
    ListaCandidatos c;
    for (const QString &n : nombres(l))
        c.agregarSinClave(n);
    return c;
}

struct Prueba
{
    BDPrueba bd;
    ColeccionesCatalogo catalogo;
    QStringList registro;

    Prueba()
    {
        Conexion con(bd.fichero());
        catalogo = CargarColeccionesCatalogo(con);
    }
    void recargarCatalogo()
    {
        Conexion con(bd.fichero());
        catalogo = CargarColeccionesCatalogo(con);
    }
    ReglasRotacion reglas(int año, int hoja, int nhojas = 4, const QString &parcela = QStringLiteral("Huerto"))
    {
        ReglasRotacion r(catalogo, bd.fichero());
        r.parcela = parcela;
        r.año = año;
        r.hoja = hoja;
        r.nhojas = nhojas;
        r.explicar = [this](const QString &l) { registro << l; };
        return r;
    }
};

const QString kHojas = QStringLiteral("Por repetición en las otras hojas sacado el cultivo : ");

} // namespace

class TestRotacion : public QObject
{
    Q_OBJECT

private slots:
    void reglaDeHojas_data()
    {
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<int>("hoja");
        QTest::addColumn<int>("nhojas");
        QTest::addColumn<QStringList>("entrada");
        QTest::addColumn<QStringList>("salida");
        QTest::addColumn<QStringList>("lineas");

        const QStringList tres = {"····", "Tomates", "Lechugas", "Pimientos"};
        QTest::newRow("otra hoja") << QStringList{"Huerto|2011|2|Tomates"} << 1 << 4 << tres
                                   << QStringList{"····", "Lechugas", "Pimientos"} << QStringList{kHojas + "Tomates"};
        QTest::newRow("la misma hoja no cuenta") << QStringList{"Huerto|2011|1|Tomates"} << 1 << 4 << tres << tres
                                                 << QStringList{};
        QTest::newRow("dos hojas, una línea")
            << QStringList{"Huerto|2011|2|Tomates", "Huerto|2011|3|Tomates"} << 1 << 4 << tres
            << QStringList{"····", "Lechugas", "Pimientos"} << QStringList{kHojas + "Tomates"};
        QTest::newRow("otro año no cuenta") << QStringList{"Huerto|2010|2|Tomates"} << 1 << 4 << tres << tres
                                            << QStringList{};
        QTest::newRow("hoja por encima de Nhojas") << QStringList{"Huerto|2011|5|Tomates"} << 1 << 4 << tres << tres
                                                   << QStringList{};
        QTest::newRow("sin hoja elegida se leen todas")
            << QStringList{"Huerto|2011|1|Tomates", "Huerto|2011|4|Lechugas"} << 0 << 4 << tres
            << QStringList{"····", "Pimientos"} << QStringList{kHojas + "Tomates", kHojas + "Lechugas"};
        QTest::newRow("otra parcela no cuenta") << QStringList{"Huertos|2011|2|Tomates"} << 1 << 4 << tres << tres
                                                << QStringList{};
        QTest::newRow("parcela en otras mayúsculas") << QStringList{"HUERTO|2011|2|Tomates"} << 1 << 4 << tres
                                                     << QStringList{"····", "Lechugas", "Pimientos"}
                                                     << QStringList{kHojas + "Tomates"};
        QTest::newRow("cultivo en otras mayúsculas") << QStringList{"Huerto|2011|2|tomates"} << 1 << 4 << tres
                                                     << tres << QStringList{};
        QTest::newRow("lista vacía") << QStringList{"Huerto|2011|2|Tomates"} << 1 << 4 << QStringList{}
                                     << QStringList{} << QStringList{};
        // Sheets in ascending order, each sheet's rows in stored order.
        QTest::newRow("orden de las filas")
            << QStringList{"Huerto|2011|3|Lechugas", "Huerto|2011|2|Pimientos", "Huerto|2011|2|Tomates"} << 1 << 4
            << tres << QStringList{"····"}
            << QStringList{kHojas + "Pimientos", kHojas + "Tomates", kHojas + "Lechugas"};
    }

    void reglaDeHojas()
    {
        QFETCH(QStringList, filas);
        QFETCH(int, hoja);
        QFETCH(int, nhojas);
        QFETCH(QStringList, entrada);
        QFETCH(QStringList, salida);
        QFETCH(QStringList, lineas);
        Prueba p;
        sembrar(p.bd, filas);
        const ListaCandidatos dada = lista(entrada);
        const ListaCandidatos antes = dada;
        const ListaCandidatos r = p.reglas(2011, hoja, nhojas).VerificarNoRepeticiónHojas(dada);
        QCOMPARE(r.nombres(), nombres(salida));
        QCOMPARE(p.registro, lineas);
        QCOMPARE(dada, antes);
    }

    void reglasDePropiedad_data()
    {
        QTest::addColumn<int>("regla"); // 0 family, 1 edible part, 2 root depth
        QTest::addColumn<bool>("repetir");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QStringList>("entrada");
        QTest::addColumn<QStringList>("salida");
        QTest::addColumn<QStringList>("lineas");

        const QStringList cand = {"····", "Pimientos", "Lechugas", "Judías", "Calabazas", "Patatas"};
        QTest::newRow("familia") << 0 << false << QStringList{"Huerto|2010|2|Tomates"} << cand
                                 << QStringList{"····", "Lechugas", "Judías", "Calabazas"}
                                 << QStringList{"Por repetición de la familia Solanáceas Extraido el cultivo:Pimientos",
                                                "Por repetición de la familia Solanáceas Extraido el cultivo:Patatas"};
        QTest::newRow("familia, dos filas de la misma")
            << 0 << false << QStringList{"Huerto|2010|2|Tomates", "Huerto|2010|2|Berenjenas"} << cand
            << QStringList{"····", "Lechugas", "Judías", "Calabazas"}
            << QStringList{"Por repetición de la familia Solanáceas Extraido el cultivo:Pimientos",
                           "Por repetición de la familia Solanáceas Extraido el cultivo:Patatas"};
        QTest::newRow("familia, por orden de filas")
            << 0 << false << QStringList{"Huerto|2010|2|Judías", "Huerto|2010|2|Tomates"} << cand
            << QStringList{"····", "Lechugas", "Calabazas"}
            << QStringList{"Por repetición de la familia Leguminosas Extraido el cultivo:Judías",
                           "Por repetición de la familia Solanáceas Extraido el cultivo:Pimientos",
                           "Por repetición de la familia Solanáceas Extraido el cultivo:Patatas"};
        QTest::newRow("familia, cultivo fuera del catálogo")
            << 0 << false << QStringList{"Huerto|2010|2|Yuca"} << cand
            << QStringList{"Pimientos", "Lechugas", "Judías", "Calabazas", "Patatas"}
            << QStringList{"Por repetición de la familia  Extraido el cultivo:" + CultivoVacio};
        QTest::newRow("familia, otra hoja no cuenta") << 0 << false << QStringList{"Huerto|2010|1|Tomates"} << cand
                                                      << cand << QStringList{};
        QTest::newRow("familia, otro año no cuenta") << 0 << false << QStringList{"Huerto|2009|2|Tomates"} << cand
                                                     << cand << QStringList{};
        QTest::newRow("parte aprovechable") << 1 << false << QStringList{"Huerto|2010|2|Tomates"} << cand
                                            << QStringList{"····", "Lechugas", "Patatas"}
                                            << QStringList{"Por repetición de Flor, Semilla y fruto sacado el cultivo:Pimientos",
                                                           "Por repetición de Flor, Semilla y fruto sacado el cultivo:Judías",
                                                           "Por repetición de Flor, Semilla y fruto sacado el cultivo:Calabazas"};
        QTest::newRow("parte aprovechable, repetir") << 1 << true << QStringList{"Huerto|2010|2|Tomates"} << cand
                                                     << cand << QStringList{};
        QTest::newRow("profundidad") << 2 << false << QStringList{"Huerto|2010|2|Tomates"} << cand
                                     << QStringList{"····", "Pimientos", "Lechugas", "Judías", "Patatas"}
                                     << QStringList{"Por repetición de Profundas sacado el cultivo:Calabazas"};
        QTest::newRow("profundidad, repetir") << 2 << true << QStringList{"Huerto|2010|2|Tomates"} << cand << cand
                                              << QStringList{};
        QTest::newRow("profundidad, fuera del catálogo")
            << 2 << false << QStringList{"Huerto|2010|2|Yuca"} << cand
            << QStringList{"Pimientos", "Lechugas", "Judías", "Calabazas", "Patatas"}
            << QStringList{"Por repetición de  sacado el cultivo:" + CultivoVacio};
    }

    void reglasDePropiedad()
    {
        QFETCH(int, regla);
        QFETCH(bool, repetir);
        QFETCH(QStringList, filas);
        QFETCH(QStringList, entrada);
        QFETCH(QStringList, salida);
        QFETCH(QStringList, lineas);
        Prueba p;
        sembrar(p.bd, filas);
        ReglasRotacion r = p.reglas(2011, 2);
        r.repetirFrutos = regla == 1 && repetir;
        r.repetirRaices = regla == 2 && repetir;
        const ListaCandidatos dada = lista(entrada);
        const ListaCandidatos antes = dada;
        const ListaCandidatos res = regla == 0   ? r.VerificarNoRepeticiónFamilia(dada, 2010)
                                    : regla == 1 ? r.VerificarNoRepeticiónParteAprovechable(dada, 2010)
                                                 : r.VerificarNoRepeticiónProfRaices(dada, 2010);
        QCOMPARE(res.nombres(), nombres(salida));
        QCOMPARE(p.registro, lineas);
        QCOMPARE(dada, antes);
    }

    // A switched-off rule still reads the plan: an unreadable database fails it.
    void reglaApagadaSigueConsultando()
    {
        Prueba p;
        ReglasRotacion r(p.catalogo, p.bd.carpeta() + QStringLiteral("/no-existe.db"));
        r.repetirFrutos = true;
        r.repetirRaices = true;
        const ListaCandidatos vacia;
        QVERIFY_THROWS_EXCEPTION(ErrorBD, r.VerificarNoRepeticiónParteAprovechable(vacia, 2010));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, r.VerificarNoRepeticiónProfRaices(vacia, 2010));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, r.VerificarNoRepeticiónHojas(vacia));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, r.VerificarNoRepeticiónPorAños(vacia, 3));
    }

    void reglaDeAnios_data()
    {
        QTest::addColumn<int>("año");
        QTest::addColumn<QStringList>("salida");
        QTest::addColumn<QStringList>("lineas");
        const QString linea = QStringLiteral("Por repetición de «%1» en alguno de los años previos <%2> sacado el"
                                             " cultivo de la lista de posibles");
        QTest::newRow("2011 lee 2009 y 2010")
            << 2011 << QStringList{"····", "Tomates", "Patatas", "Habas"}
            << QStringList{linea.arg("Lechugas", "2008-2011"), linea.arg("Coles", "2008-2011")};
        QTest::newRow("2012 lee 2010 y 2011")
            << 2012 << QStringList{"····", "Tomates", "Lechugas", "Habas"}
            << QStringList{linea.arg("Coles", "2009-2012"), linea.arg("Patatas", "2009-2012")};
    }

    void reglaDeAnios()
    {
        QFETCH(int, año);
        QFETCH(QStringList, salida);
        QFETCH(QStringList, lineas);
        Prueba p;
        sembrar(p.bd, {"Huerto|2008|2|Tomates", "Huerto|2009|2|Lechugas", "Huerto|2010|2|Coles",
                       "Huerto|2011|2|Patatas", "Huerto|2010|1|Habas", "Otra|2010|2|Habas"});
        const ListaCandidatos dada = lista({"····", "Tomates", "Lechugas", "Coles", "Patatas", "Habas"});
        const ListaCandidatos r = p.reglas(año, 2).VerificarNoRepeticiónPorAños(dada, 3);
        QCOMPARE(r.nombres(), nombres(salida));
        QCOMPARE(p.registro, lineas);
    }

    void consultas()
    {
        // Names holding a quote or pattern characters are matched as whole
        // texts, letter case ignored.
        Prueba p;
        p.bd.ejecutar(QStringLiteral("insert into horticolas (Nombre, Familia, Parte_aprovechable, Profundidad_raices,"
                                     " Siembra_1_I, Siembra_1_F, Cosecha_1_min, Cosecha_1_max)"
                                     " values ('Col d''Asti_%', 'Crucíferas', 'Hojas', 'Medias', 5, 8, 60, 90)"));
        p.recargarCatalogo();
        sembrar(p.bd, {"O'Brien_%|2011|2|Col d'Asti_%", "O'BrienX%|2011|2|Tomates", "o'brien_%|2011|3|Lechugas"});
        const ListaCandidatos dada = lista({"····", "Col d'Asti_%", "Tomates", "Lechugas"});
        const ListaCandidatos r = p.reglas(2011, 1, 4, QStringLiteral("O'Brien_%")).VerificarNoRepeticiónHojas(dada);
        QCOMPARE(r.nombres(), nombres({"····", "Tomates"}));
        QCOMPARE(p.registro, QStringList({kHojas + "Col d'Asti_%", kHojas + "Lechugas"}));
        QCOMPARE(ReglasRotacion(p.catalogo, p.bd.fichero()).SacarFamilia(QStringLiteral("Col d'Asti_%")),
                 QStringLiteral("Crucíferas"));
    }

    void busquedas_data()
    {
        QTest::addColumn<QString>("cultivo");
        QTest::addColumn<QString>("familia");
        QTest::addColumn<QString>("parte");
        QTest::addColumn<QString>("raiz");
        QTest::newRow("Tomates") << "Tomates" << "Solanáceas" << "Flor, Semilla y fruto" << "Profundas";
        QTest::newRow("Espárragos") << "Espárragos" << "Liliáceas" << "Bulbos y tallos" << "Profundas";
        QTest::newRow("otras mayúsculas") << "tomates" << "" << "" << "";
        QTest::newRow("vacío") << CultivoVacio << "" << "" << "";
        QTest::newRow("fuera del catálogo") << "Yuca" << "" << "" << "";
        QTest::newRow("campos vacíos en el catálogo") << "Ruibarbo" << "" << "" << "Medias";
    }

    void busquedas()
    {
        QFETCH(QString, cultivo);
        QFETCH(QString, familia);
        QFETCH(QString, parte);
        QFETCH(QString, raiz);
        Prueba p;
        p.bd.ejecutar(QStringLiteral("insert into horticolas (Nombre, Profundidad_raices) values ('Ruibarbo', 'Medias')"));
        p.recargarCatalogo();
        const ReglasRotacion r(p.catalogo, p.bd.fichero());
        QCOMPARE(r.SacarFamilia(cultivo), familia);
        QCOMPARE(r.SacarParteAprovechable(cultivo), parte);
        QCOMPARE(r.SacarProfRaiz(cultivo), raiz);
    }

    // The chain that fills a sheet's four pickers, for sheet 2 in 2011.
    void cadenaDeLaHoja()
    {
        Prueba p;
        sembrar(p.bd, {"Huerto|2011|1|Lechugas", "Huerto|2010|2|Tomates", "Huerto|2009|2|Zanahorias",
                       "Huerto|2008|2|Cebollas"});
        ListaCandidatos posibles;
        posibles.agregarSinClave(CultivoVacio);
        for (const QString &n : p.catalogo.TodosCultivos)
            posibles.agregar(n);
        const ListaCandidatos r = p.reglas(2011, 2).CandidatosDeLaHoja(posibles);

        QCOMPARE(r.at(0), CultivoVacio);
        QVERIFY(r.contiene(QStringLiteral("Cebollas")));    // 2008 is not looked at
        QVERIFY(r.contiene(QStringLiteral("Coles")));
        QVERIFY(!r.contiene(QStringLiteral("Lechugas")));   // on sheet 1 this year
        QVERIFY(!r.contiene(QStringLiteral("Pimientos")));  // Solanáceas last year
        QVERIFY(!r.contiene(QStringLiteral("Judías")));     // Flor, Semilla y fruto last year
        QVERIFY(!r.contiene(QStringLiteral("Chirivías")));  // Profundas last year
        QVERIFY(!r.contiene(QStringLiteral("Zanahorias"))); // on the sheet in 2009
        // The candidates keep the catalogue's order.
        int anterior = -1;
        for (int i = 1; i < r.size(); ++i) {
            const int pos = p.catalogo.posicion(r.at(i));
            QVERIFY(pos > anterior);
            anterior = pos;
        }
        // One line per crop taken out, the rules in their order.
        QCOMPARE(p.registro.first(), kHojas + QStringLiteral("Lechugas"));
        QVERIFY(p.registro.contains(QStringLiteral("Por repetición de la familia Solanáceas Extraido el cultivo:Pimientos")));
        QVERIFY(p.registro.contains(QStringLiteral("Por repetición de Flor, Semilla y fruto sacado el cultivo:Judías")));
        QVERIFY(p.registro.contains(QStringLiteral("Por repetición de Profundas sacado el cultivo:Chirivías")));
        QCOMPARE(p.registro.last(), QStringLiteral("Por repetición de «Zanahorias» en alguno de los años previos"
                                                   " <2008-2011> sacado el cultivo de la lista de posibles"));
        QCOMPARE(p.registro.size() + r.size(), posibles.size());
    }

    void listaRepetida()
    {
        // A name given twice (a perennial listed twice in the first picker)
        // passes once, at its first place.
        Prueba p;
        sembrar(p.bd, {"Huerto|2011|2|Fresas"});
        const ListaCandidatos dada = lista({"····", "Fresas", "Lechugas", "Fresas"});
        ReglasRotacion r = p.reglas(2011, 1);
        QCOMPARE(r.VerificarNoRepeticiónFamilia(dada, 2010).nombres(), nombres({"····", "Fresas", "Lechugas"}));
        QCOMPARE(r.VerificarNoRepeticiónHojas(dada).nombres(), nombres({"····", "Lechugas"}));
        QCOMPARE(p.registro, QStringList{kHojas + "Fresas"});
    }

    void siguientes_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<QStringList>("anteriores");
        QTest::addColumn<bool>("repetirFrutos");
        QTest::addColumn<bool>("repetirRaices");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QStringList>("salida");
        QTest::addColumn<QStringList>("lineas");

        const QString fam1 = QStringLiteral("Por repetición de la familia Solanáceas Extraido el cultivo:");
        const QString par1 = QStringLiteral("Por repetición de Flor, Semilla y fruto sacado el cultivo:");
        const QString rai1 = QStringLiteral("Por repetición de Profundas sacado el cultivo:");
        QTest::newRow("fila 1") << 1 << QStringList{"Tomates"} << false << false << QStringList{}
                                << QStringList{"····", "Lechugas", "Zanahorias", "Cebollas"}
                                << QStringList{fam1 + "Tomates", fam1 + "Pimientos", par1 + "Judías",
                                               par1 + "Calabazas", rai1 + "Cardos"};
        QTest::newRow("fila 1, repetir frutos") << 1 << QStringList{"Tomates"} << true << false << QStringList{}
                                                << QStringList{"····", "Lechugas", "Judías", "Zanahorias", "Cebollas"}
                                                << QStringList{fam1 + "Tomates", fam1 + "Pimientos", rai1 + "Calabazas",
                                                               rai1 + "Cardos"};
        QTest::newRow("fila 1, repetir ambas")
            << 1 << QStringList{"Tomates"} << true << true << QStringList{}
            << QStringList{"····", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas", "Cardos"}
            << QStringList{fam1 + "Tomates", fam1 + "Pimientos"};
        QTest::newRow("fila 2") << 2 << QStringList{"Tomates", "Lechugas"} << false << false << QStringList{}
                                << QStringList{"····", "Zanahorias"}
                                << QStringList{"Por repetición de la familia Solanáceas y la Compuestas Extraido el cultivo:Tomates",
                                               "Por repetición de la familia Solanáceas y la Compuestas Extraido el cultivo:Pimientos",
                                               "Por repetición de la familia Solanáceas y la Compuestas Extraido el cultivo:Lechugas",
                                               "Por repetición de la familia Solanáceas y la Compuestas Extraido el cultivo:Cardos",
                                               "Por repetición de Flor, Semilla y fruto , Hojas sacado el cultivo:Judías",
                                               "Por repetición de Flor, Semilla y fruto , Hojas sacado el cultivo:Calabazas",
                                               "Por repetición de Profundas , Superficiales sacado el cultivo:Cebollas"};
        QTest::newRow("fila 3")
            << 3 << QStringList{"Tomates", "Coles", "Lechugas"} << false << false << QStringList{}
            << QStringList{"····", "Zanahorias"}
            << QStringList{"Por repetición de la familia Solanáceas,Crucíferas, y la Compuestas Extraido el cultivo:Tomates",
                           "Por repetición de la familia Solanáceas,Crucíferas, y la Compuestas Extraido el cultivo:Pimientos",
                           "Por repetición de la familia Solanáceas,Crucíferas, y la Compuestas Extraido el cultivo:Lechugas",
                           "Por repetición de la familia Solanáceas,Crucíferas, y la Compuestas Extraido el cultivo:Cardos",
                           "Por repetición de Flor, Semilla y fruto , Hojas , Hojas sacado el cultivo:Judías",
                           "Por repetición de Flor, Semilla y fruto , Hojas , Hojas sacado el cultivo:Calabazas",
                           "Por repetición de Profundas o Superficiales o Superficiales sacado el cultivo:Cebollas"};
        QTest::newRow("fila anterior vacía")
            << 1 << QStringList{"····"} << false << false << QStringList{}
            << QStringList{"Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas", "Cardos"}
            << QStringList{"Por repetición de la familia  Extraido el cultivo:" + CultivoVacio};
        QTest::newRow("cultivo en otra hoja")
            << 1 << QStringList{"Coles"} << true << true << QStringList{"Huerto|2011|3|Zanahorias"}
            << QStringList{"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Cebollas", "Cardos"}
            << QStringList{kHojas + "Zanahorias"};
        QTest::newRow("plurianual en otra hoja el año anterior")
            << 1 << QStringList{"Coles"} << true << true << QStringList{"Huerto|2010|3|fresas"}
            << QStringList{"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas"}
            << QStringList{};
        QTest::newRow("plurianual de otra parcela")
            << 1 << QStringList{"Coles"} << true << true << QStringList{"Otra|2011|3|Fresas"}
            << QStringList{"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas",
                           "Cardos"}
            << QStringList{};
        QTest::newRow("plurianual hace dos años")
            << 1 << QStringList{"Coles"} << true << true << QStringList{"Huerto|2009|2|Espárragos"}
            << QStringList{"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas",
                           "Cardos"}
            << QStringList{};
        QTest::newRow("fila 0") << 0 << QStringList{} << false << false << QStringList{} << QStringList{}
                                << QStringList{};
    }

    void siguientes()
    {
        QFETCH(int, fila);
        QFETCH(QStringList, anteriores);
        QFETCH(bool, repetirFrutos);
        QFETCH(bool, repetirRaices);
        QFETCH(QStringList, filas);
        QFETCH(QStringList, salida);
        QFETCH(QStringList, lineas);
        Prueba p;
        sembrar(p.bd, filas);
        ReglasRotacion r = p.reglas(2011, 2);
        r.repetirFrutos = repetirFrutos;
        r.repetirRaices = repetirRaices;
        const QStringList anterior =
            nombres({"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas", "Cardos"});
        QCOMPARE(r.CandidatosSiguientes(fila, anterior, nombres(anteriores)), nombres(salida));
        QCOMPARE(p.registro, lineas);
    }

    void siguientesFila4NoConsulta()
    {
        Prueba p;
        ReglasRotacion r(p.catalogo, p.bd.carpeta() + QStringLiteral("/no-existe.db"));
        QCOMPARE(r.CandidatosSiguientes(4, {QStringLiteral("Tomates")}, {}), QStringList());
        QVERIFY_THROWS_EXCEPTION(ErrorBD, r.CandidatosSiguientes(1, {QStringLiteral("Tomates")}, {CultivoVacio}));
    }

    void siguientesConPlurianualRepetido()
    {
        // The first picker lists Fresas twice (stored this year and left in by
        // the rules); with the mark set the appended one stays behind and the
        // other passes once.
        Prueba p;
        sembrar(p.bd, {"Huerto|2011|2|Fresas"});
        ReglasRotacion r = p.reglas(2011, 2);
        r.repetirFrutos = r.repetirRaices = true;
        const QStringList anterior = nombres({"····", "Fresas", "Lechugas", "Coles", "Fresas"});
        QCOMPARE(r.CandidatosSiguientes(1, anterior, {QStringLiteral("Coles")}),
                 nombres({"····", "Fresas", "Lechugas"}));
        // Without the mark (the perennial comes from the candidates twice) the
        // repeat still passes once.
        ReglasRotacion otro = p.reglas(2015, 2);
        otro.repetirFrutos = otro.repetirRaices = true;
        QCOMPARE(otro.CandidatosSiguientes(1, nombres({"····", "Fresas", "Fresas", "Lechugas"}),
                                           {QStringLiteral("Coles")}),
                 nombres({"····", "Fresas", "Lechugas"}));
    }
};

QTEST_GUILESS_MAIN(TestRotacion)
#include "test_rotacion.moc"
