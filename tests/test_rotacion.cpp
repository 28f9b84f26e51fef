// The rotation rules: the five filters, the three lookups, the chain that fills
// a sheet's pickers and the follow-on stages, against a test database.
#include "core/Catalogo.h"
#include "core/Rotacion.h"
#include "core/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "core/Conexion.h"

#include <QTest>

using modBasico::CultivoVacio;
using namespace Qt::StringLiterals;
using L = QStringList;

namespace {

// "····" in a table stands for the empty-crop entry.
QStringList nombres(const QStringList &l)
{
    QStringList r;
    for (const QString &n : l)
        r << (n == u"····"_s ? CultivoVacio : n);
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

    Prueba() { recargarCatalogo(); }
    void recargarCatalogo()
    {
        Conexion con(bd.fichero());
        catalogo = CargarColeccionesCatalogo(con);
    }
    // Plan rows written as "parcela|año|hoja|cultivo", stored in the given order.
    void sembrar(const QStringList &filas)
    {
        for (const QString &f : filas)
            bd.sembrar(f.section(u'|', 0, 0), {f.section(u'|', 1)});
    }
    ReglasRotacion reglas(int año, int hoja, const QString &parcela = u"Huerto"_s)
    {
        ReglasRotacion r(catalogo, bd.fichero());
        r.parcela = parcela;
        r.año = año;
        r.hoja = hoja;
        r.nhojas = 4;
        r.explicar = [this](const QString &l) { registro << l; };
        return r;
    }
};

// The log's lines, as the window shows them.
const QString kHojas = u"Por repetición en las otras hojas sacado el cultivo : "_s;
const QString kFamilia = u"Por repetición de la familia %1 Extraido el cultivo:"_s;
const QString kSolanaceas = kFamilia.arg(u"Solanáceas"_s);
const QString kFrutos = u"Por repetición de Flor, Semilla y fruto sacado el cultivo:"_s;
const QString kProfundas = u"Por repetición de Profundas sacado el cultivo:"_s;
const QString kAños
    = u"Por repetición de «%1» en alguno de los años previos <%2> sacado el cultivo de la lista de posibles"_s;

} // namespace

class TestRotacion : public QObject
{
    Q_OBJECT

private slots:
    // The filters of a sheet's candidates for year año (the property rules
    // look at año - 1, the years rule at the two years before). Each rule
    // runs with the other rule's switch on, and stops with its own.
    void filtros_data()
    {
        QTest::addColumn<QString>("regla");
        QTest::addColumn<int>("año");
        QTest::addColumn<int>("hoja");
        QTest::addColumn<int>("repetir"); // 1 edible part, 2 root depth, 3 both
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QStringList>("entrada");
        QTest::addColumn<QStringList>("salida");
        QTest::addColumn<QStringList>("lineas");

        // Other sheets of the same year: sheets in ascending order, each
        // sheet's rows in stored order; the plot's name in any letter case, the
        // crop's exact.
        const L tres = {"····", "Tomates", "Lechugas", "Pimientos"};
        auto hojas = [&](const char *fila, int hoja, const L &filas, const L &salida, const L &lineas) {
            QTest::newRow(fila) << u"hojas"_s << 2011 << hoja << 3 << filas << tres << salida << lineas;
        };
        hojas("otras hojas", 1,
              {"Huerto|2011|2|Tomates", "Huerto|2011|3|Tomates", "HUERTO|2011|4|Pimientos", "Huerto|2011|1|Lechugas",
               "Huertos|2011|2|Lechugas"},
              {"····", "Lechugas"}, {kHojas + "Tomates", kHojas + "Pimientos"});
        hojas("sin hoja elegida se leen todas", 0, {"Huerto|2011|1|Tomates", "Huerto|2011|4|Lechugas"},
              {"····", "Pimientos"}, {kHojas + "Tomates", kHojas + "Lechugas"});
        hojas("cultivo en otras mayúsculas", 1, {"Huerto|2011|2|tomates"}, tres, {});

        // The sheet's crops of the year before (another sheet's do not count).
        const L cand = {"····", "Pimientos", "Lechugas", "Judías", "Calabazas", "Patatas"};
        const L tomates = {"Huerto|2010|2|Tomates", "Huerto|2010|1|Lechugas"};
        auto propiedad
            = [&](const char *fila, const char *regla, int repetir, const L &filas, const L &salida, const L &lineas) {
                  QTest::newRow(fila) << QString::fromUtf8(regla) << 2011 << 2 << repetir << filas << cand << salida
                                      << lineas;
              };
        propiedad("familia", "familia", 3, tomates, {"····", "Lechugas", "Judías", "Calabazas"},
                  {kSolanaceas + "Pimientos", kSolanaceas + "Patatas"});
        propiedad("familia, cultivo fuera del catálogo", "familia", 0, {"Huerto|2010|2|Yuca"},
                  {"Pimientos", "Lechugas", "Judías", "Calabazas", "Patatas"}, {kFamilia.arg("") + CultivoVacio});
        propiedad("parte aprovechable, repetir raíces", "parte", 2, tomates, {"····", "Lechugas", "Patatas"},
                  {kFrutos + "Pimientos", kFrutos + "Judías", kFrutos + "Calabazas"});
        propiedad("parte aprovechable, repetir", "parte", 1, tomates, cand, {});
        propiedad("profundidad, repetir frutos", "raíz", 1, tomates, {"····", "Pimientos", "Lechugas", "Judías", "Patatas"},
                  {kProfundas + "Calabazas"});
        propiedad("profundidad, repetir", "raíz", 2, tomates, cand, {});

        // The sheet's crops of the two years before.
        QTest::newRow("años, 2011 lee 2009 y 2010")
            << u"años"_s << 2011 << 2 << 0
            << L{"Huerto|2008|2|Tomates", "Huerto|2009|2|Lechugas", "Huerto|2010|2|Coles", "Huerto|2011|2|Patatas",
                 "Huerto|2010|1|Habas", "Otra|2010|2|Habas"}
            << L{"····", "Tomates", "Lechugas", "Coles", "Patatas", "Habas"} << L{"····", "Tomates", "Patatas", "Habas"}
            << L{kAños.arg("Lechugas", "2008-2011"), kAños.arg("Coles", "2008-2011")};
    }

    void filtros()
    {
        QFETCH(QString, regla);
        QFETCH(int, año);
        QFETCH(int, hoja);
        QFETCH(int, repetir);
        QFETCH(QStringList, filas);
        QFETCH(QStringList, entrada);
        QFETCH(QStringList, salida);
        QFETCH(QStringList, lineas);
        Prueba p;
        p.sembrar(filas);
        ReglasRotacion r = p.reglas(año, hoja);
        r.repetirFrutos = repetir & 1;
        r.repetirRaices = repetir & 2;
        const ListaCandidatos dada = lista(entrada);
        const ListaCandidatos antes = dada;
        const ListaCandidatos res = regla == u"hojas"_s     ? r.VerificarNoRepeticiónHojas(dada)
                                    : regla == u"familia"_s ? r.VerificarNoRepeticiónFamilia(dada, año - 1)
                                    : regla == u"parte"_s   ? r.VerificarNoRepeticiónParteAprovechable(dada, año - 1)
                                    : regla == u"raíz"_s    ? r.VerificarNoRepeticiónProfRaices(dada, año - 1)
                                                            : r.VerificarNoRepeticiónPorAños(dada, 3);
        QCOMPARE(res.nombres(), nombres(salida));
        QCOMPARE(p.registro, lineas);
        QCOMPARE(dada, antes); // a filter never changes the list it is given
    }

    // The chain that fills a sheet's four pickers, for sheet 2 in 2011.
    void cadenaDeLaHoja()
    {
        Prueba p;
        p.sembrar({u"Huerto|2011|1|Lechugas"_s, u"Huerto|2010|2|Tomates"_s, u"Huerto|2009|2|Zanahorias"_s,
                   u"Huerto|2008|2|Cebollas"_s});
        ListaCandidatos posibles;
        posibles.agregarSinClave(CultivoVacio);
        for (const QString &n : p.catalogo.TodosCultivos)
            posibles.agregar(n);
        const ListaCandidatos r = p.reglas(2011, 2).CandidatosDeLaHoja(posibles);

        QCOMPARE(r.at(0), CultivoVacio);
        QVERIFY(r.contiene(u"Cebollas"_s)); // 2008 is not looked at
        QVERIFY(r.contiene(u"Coles"_s));
        // The candidates keep the catalogue's order.
        for (int i = 2; i < r.size(); ++i)
            QVERIFY(p.catalogo.posicion(r.at(i - 1)) < p.catalogo.posicion(r.at(i)));
        // One line per crop taken out, the rules in their order: other
        // sheets, the three properties of last year's crop, earlier years.
        QCOMPARE(p.registro.first(), kHojas + u"Lechugas"_s);
        const qsizetype familia = p.registro.indexOf(kSolanaceas + u"Pimientos"_s),
                        parte = p.registro.indexOf(kFrutos + u"Judías"_s),
                        raiz = p.registro.indexOf(kProfundas + u"Chirivías"_s);
        QVERIFY(0 < familia && familia < parte && parte < raiz);
        QCOMPARE(p.registro.last(), kAños.arg(u"Zanahorias"_s, u"2008-2011"_s));
        QCOMPARE(p.registro.size() + r.size(), posibles.size());
    }

    void listaRepetida()
    {
        // A name given twice (a perennial listed twice in the first picker)
        // passes once, at its first place.
        Prueba p;
        p.sembrar({u"Huerto|2011|2|Fresas"_s});
        const ListaCandidatos dada = lista({"····", "Fresas", "Lechugas", "Fresas"});
        ReglasRotacion r = p.reglas(2011, 1);
        QCOMPARE(r.VerificarNoRepeticiónFamilia(dada, 2010).nombres(), nombres({"····", "Fresas", "Lechugas"}));
        QCOMPARE(r.VerificarNoRepeticiónHojas(dada).nombres(), nombres({"····", "Lechugas"}));
        QCOMPARE(p.registro, QStringList{kHojas + u"Fresas"_s});
    }

    // A perennial stored in year Y marks the plan of Y and Y + 1.
    void marca_data()
    {
        QTest::addColumn<QString>("fila");
        QTest::addColumn<bool>("marca");
        QTest::newRow("plantada este año") << "Huerto|2011|3|Fresas" << true;
        QTest::newRow("del año anterior") << "Huerto|2010|1|Alcachofas" << true;
        QTest::newRow("de hace dos años") << "Huerto|2009|1|Espárragos" << false;
        QTest::newRow("del año siguiente") << "Huerto|2012|1|Fresas" << false;
        QTest::newRow("otras mayúsculas") << "huerto|2011|1|ESPÁRRAGOS" << true;
        QTest::newRow("otra parcela") << "Otra|2011|1|Fresas" << false;
        QTest::newRow("no plurianual") << "Huerto|2011|1|Tomates" << false;
    }

    void marca()
    {
        QFETCH(QString, fila);
        QFETCH(bool, marca);
        Prueba p;
        p.sembrar({fila});
        QCOMPARE(p.reglas(2011, 2).MarcaPlurianual(), marca);
    }

    void siguientes_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<QStringList>("anteriores");
        QTest::addColumn<int>("repetir"); // 1 edible part, 2 root depth, 3 both
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QStringList>("salida");
        QTest::addColumn<QStringList>("lineas");
        const QString dos = kFamilia.arg(u"Solanáceas y la Compuestas"_s);
        const L solanaceas = {kSolanaceas + "Tomates", kSolanaceas + "Pimientos"};
        QTest::newRow("fila 1, repetir frutos") << 1 << L{"Tomates"} << 1 << L{}
            << L{"····", "Lechugas", "Judías", "Zanahorias", "Cebollas"}
            << solanaceas + L{kProfundas + "Calabazas", kProfundas + "Cardos"};
        QTest::newRow("fila 1, repetir raíces") << 1 << L{"Tomates"} << 2 << L{}
            << L{"····", "Lechugas", "Zanahorias", "Cebollas", "Cardos"}
            << solanaceas + L{kFrutos + "Judías", kFrutos + "Calabazas"};
        QTest::newRow("fila 2") << 2 << L{"Tomates", "Lechugas"} << 0 << L{} << L{"····", "Zanahorias"}
                                << L{dos + "Tomates",
                                     dos + "Pimientos",
                                     dos + "Lechugas",
                                     dos + "Cardos",
                                     "Por repetición de Flor, Semilla y fruto , Hojas sacado el cultivo:Judías",
                                     "Por repetición de Flor, Semilla y fruto , Hojas sacado el cultivo:Calabazas",
                                     "Por repetición de Profundas , Superficiales sacado el cultivo:Cebollas"};
        QTest::newRow("cultivo en otra hoja") << 1 << L{"Coles"} << 3 << L{"Huerto|2011|3|Zanahorias"}
            << L{"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Cebollas", "Cardos"}
            << L{kHojas + "Zanahorias"};
        QTest::newRow("fila 0") << 0 << L{} << 0 << L{} << L{} << L{};
    }

    void siguientes()
    {
        QFETCH(int, fila);
        QFETCH(QStringList, anteriores);
        QFETCH(int, repetir);
        QFETCH(QStringList, filas);
        QFETCH(QStringList, salida);
        QFETCH(QStringList, lineas);
        Prueba p;
        p.sembrar(filas);
        ReglasRotacion r = p.reglas(2011, 2);
        r.repetirFrutos = repetir & 1;
        r.repetirRaices = repetir & 2;
        const QStringList anterior = nombres(
            {"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas", "Cardos"});
        QCOMPARE(r.CandidatosSiguientes(fila, anterior, nombres(anteriores)), nombres(salida));
        QCOMPARE(p.registro, lineas);
    }
};

QTEST_GUILESS_MAIN(TestRotacion)
#include "test_rotacion.moc"
