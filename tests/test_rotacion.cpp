// The rotation rules: the five filters, the three lookups, the chain that fills a sheet's pickers and the follow-on
// stages, against a test database.
#include "core/Catalogo.h"
#include "core/Conexion.h"
#include "core/Rotacion.h"
#include "core/SesionHoja.h"
#include "core/modBasico.h"
#include "fixtures/BDPrueba.h"

#include <QTest>

using modBasico::CultivoVacio;
using namespace Qt::StringLiterals;
using L = QStringList;

namespace {

// "····" in a table stands for the empty-crop entry.
QStringList nombres(const QStringList &l)
{
    QStringList r;
    for (const QString &n : l) r << (n == u"····"_s ? CultivoVacio : n);
    return r;
}

ListaCandidatos lista(const QStringList &l)
{
    ListaCandidatos c;
    for (const QString &n : nombres(l)) c.agregarSinClave(n);
    return c;
}

// A test database holding plan rows written as "parcela|año|hoja|cultivo", stored in the given order; its catalogue
// and the rules' log.
struct Prueba
{
    BDPrueba bd;
    ColeccionesCatalogo catalogo;
    QStringList registro;

    explicit Prueba(const QStringList &filas)
    {
        for (const QString &f : filas) bd.sembrar(f.section(u'|', 0, 0), {f.section(u'|', 1)});
        Conexion con(bd.fichero());
        catalogo = CargarColeccionesCatalogo(con);
    }
    // The rules for plot Huerto (4 sheets); repetir: 1 edible part, 2 root depth, 3 both.
    ReglasRotacion reglas(int año, int hoja, int repetir = 0)
    {
        return ReglasRotacion(catalogo, bd.fichero(), {u"Huerto"_s, año, hoja, 4, bool(repetir & 1), bool(repetir & 2)},
                              [this](const QString &l) { registro << l; });
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

// A row of the filters' table: the rule, the sheet (of 2011), the repeat switches, the plan rows, the candidates
// given and kept, the log.
struct Filtro
{
    QString regla;
    int hoja, repetir;
    L filas, entrada, salida, lineas;
};

// A row of the follow-on table: the picker's row, the crops above it, the repeat switches, the plan rows, the
// candidates kept, the log.
struct Siguiente
{
    int fila;
    L anteriores;
    int repetir;
    L filas, salida, lineas;
};

} // namespace

Q_DECLARE_METATYPE(Filtro)
Q_DECLARE_METATYPE(Siguiente)

class TestRotacion : public QObject
{
    Q_OBJECT

private slots:
    // The filters of a sheet's candidates for 2011 (the property rules look at 2010, the years rule at the two years
    // before). Each rule runs with the other rule's switch on, and stops with its own.
    void filtros_data()
    {
        QTest::addColumn<Filtro>("f");
        // Other sheets of the same year: sheets in ascending order, each sheet's rows in stored order; the plot's
        // name in any letter case, the crop's exact.
        const L tres = {"····", "Tomates", "Lechugas", "Pimientos"};
        QTest::newRow("otras hojas") << Filtro{"hojas", 1, 3,
            {"Huerto|2011|2|Tomates", "Huerto|2011|3|Tomates", "HUERTO|2011|4|Pimientos", "Huerto|2011|1|Lechugas",
             "Huertos|2011|2|Lechugas"}, tres, {"····", "Lechugas"}, {kHojas + "Tomates", kHojas + "Pimientos"}};
        QTest::newRow("sin hoja elegida se leen todas") << Filtro{"hojas", 0, 3, {"Huerto|2011|1|Tomates",
            "Huerto|2011|4|Lechugas"}, tres, {"····", "Pimientos"}, {kHojas + "Tomates", kHojas + "Lechugas"}};
        QTest::newRow("cultivo en otras mayúsculas") << Filtro{"hojas", 1, 3, {"Huerto|2011|2|tomates"}, tres, tres, {}};

        // The sheet's crops of the year before (another sheet's do not count).
        const L cand = {"····", "Pimientos", "Lechugas", "Judías", "Calabazas", "Patatas"};
        const L tomates = {"Huerto|2010|2|Tomates", "Huerto|2010|1|Lechugas"};
        QTest::newRow("familia") << Filtro{"familia", 2, 3, tomates, cand, {"····", "Lechugas", "Judías", "Calabazas"},
                                           {kSolanaceas + "Pimientos", kSolanaceas + "Patatas"}};
        QTest::newRow("familia, cultivo fuera del catálogo") << Filtro{"familia", 2, 0, {"Huerto|2010|2|Yuca"}, cand,
            {"Pimientos", "Lechugas", "Judías", "Calabazas", "Patatas"}, {kFamilia.arg("") + CultivoVacio}};
        QTest::newRow("parte aprovechable, repetir raíces") << Filtro{"parte", 2, 2, tomates, cand,
            {"····", "Lechugas", "Patatas"}, {kFrutos + "Pimientos", kFrutos + "Judías", kFrutos + "Calabazas"}};
        QTest::newRow("parte aprovechable, repetir") << Filtro{"parte", 2, 1, tomates, cand, cand, {}};
        QTest::newRow("profundidad, repetir frutos") << Filtro{"raíz", 2, 1, tomates, cand,
            {"····", "Pimientos", "Lechugas", "Judías", "Patatas"}, {kProfundas + "Calabazas"}};
        QTest::newRow("profundidad, repetir") << Filtro{"raíz", 2, 2, tomates, cand, cand, {}};

        // The sheet's crops of the two years before.
        QTest::newRow("años, 2011 lee 2009 y 2010") << Filtro{"años", 2, 0,
            {"Huerto|2008|2|Tomates", "Huerto|2009|2|Lechugas", "Huerto|2010|2|Coles", "Huerto|2011|2|Patatas",
             "Huerto|2010|1|Habas", "Otra|2010|2|Habas"},
            {"····", "Tomates", "Lechugas", "Coles", "Patatas", "Habas"}, {"····", "Tomates", "Patatas", "Habas"},
            {kAños.arg("Lechugas", "2008-2011"), kAños.arg("Coles", "2008-2011")}};
    }

    void filtros()
    {
        QFETCH(Filtro, f);
        Prueba p(f.filas);
        ReglasRotacion r = p.reglas(2011, f.hoja, f.repetir);
        const ListaCandidatos dada = lista(f.entrada), antes = dada;
        const ListaCandidatos res = f.regla == u"hojas"_s     ? r.VerificarNoRepeticiónHojas(dada)
                                    : f.regla == u"familia"_s ? r.VerificarNoRepeticiónFamilia(dada, 2010)
                                    : f.regla == u"parte"_s   ? r.VerificarNoRepeticiónParteAprovechable(dada, 2010)
                                    : f.regla == u"raíz"_s    ? r.VerificarNoRepeticiónProfRaices(dada, 2010)
                                                              : r.VerificarNoRepeticiónPorAños(dada, 3);
        QCOMPARE(res.nombres(), nombres(f.salida));
        QCOMPARE(p.registro, f.lineas);
        QCOMPARE(dada, antes); // a filter never changes the list it is given
    }

    // The chain that fills a sheet's four pickers, for sheet 2 in 2011.
    void cadenaDeLaHoja()
    {
        Prueba p({"Huerto|2011|1|Lechugas", "Huerto|2010|2|Tomates", "Huerto|2009|2|Zanahorias",
                  "Huerto|2008|2|Cebollas"});
        ListaCandidatos posibles = lista({"····"});
        for (const QString &n : p.catalogo.TodosCultivos) posibles.agregar(n);
        const ListaCandidatos r = p.reglas(2011, 2).CandidatosDeLaHoja(posibles);

        QCOMPARE(r.at(0), CultivoVacio);
        QVERIFY(r.contiene(u"Cebollas"_s)); // 2008 is not looked at
        QVERIFY(r.contiene(u"Coles"_s));
        // The candidates keep the catalogue's order.
        for (int i = 2; i < r.size(); ++i)
            QVERIFY(p.catalogo.posicion(r.at(i - 1)) < p.catalogo.posicion(r.at(i)));
        // One line per crop taken out, the rules in their order: other sheets, the three properties of last year's
        // crop, earlier years.
        QCOMPARE(p.registro.first(), kHojas + u"Lechugas"_s);
        const qsizetype familia = p.registro.indexOf(kSolanaceas + "Pimientos"),
                        parte = p.registro.indexOf(kFrutos + "Judías"), raiz = p.registro.indexOf(kProfundas + "Chirivías");
        QVERIFY(0 < familia && familia < parte && parte < raiz);
        QCOMPARE(p.registro.last(), kAños.arg(u"Zanahorias"_s, u"2008-2011"_s));
        QCOMPARE(p.registro.size() + r.size(), posibles.size());
    }

    // The chain as a sheet click runs it, through the session and the options panel's switches, set one against the
    // other: sheet 2 of 2011 loaded (Berzas stored in its first slot), then its second picker narrowed. Stored on
    // sheet 2: Tomates in 2010 (Solanáceas, fruit, deep roots), Coles in 2009, Cebollas in 2008; on sheet 3, Lechugas
    // this year and Acelgas the year before. Each probe crop is out of the sheet's pickers for one reason only.
    void cadenaDeLaSesion_data()
    {
        QTest::addColumn<bool>("frutos");
        QTest::addColumn<bool>("raices");
        QTest::addColumn<L>("hoja");      // the probes the sheet's pickers offer
        QTest::addColumn<L>("siguiente"); // the probes the second picker offers after Berzas (leaves, shallow roots)
        QTest::newRow("repetir frutos") << true << false << L{"Cebollas", "Judías", "Acelgas"}
                                        << L{"Judías", "Acelgas"};
        QTest::newRow("repetir raíces") << false << true << L{"Cebollas", "Chirivías", "Acelgas"}
                                        << L{"Cebollas", "Chirivías"};
    }

    void cadenaDeLaSesion()
    {
        QFETCH(bool, frutos);
        QFETCH(bool, raices);
        Prueba p({"Huerto|2011|2|Berzas|5|8", "Huerto|2011|3|Lechugas", "Huerto|2010|3|Acelgas",
                  "Huerto|2010|2|Tomates", "Huerto|2009|2|Coles", "Huerto|2008|2|Cebollas"});
        p.bd.agregarParcela(u"Huerto"_s, 4, 1, 1);
        EstablecerCadenaConexion(p.bd.carpeta());
        SesionHoja s;
        s.establecerInterruptores([=] { return SesionHoja::Interruptores{frutos, raices, {}}; });
        {
            Conexion con;
            s.abrirParcela(SesionHoja::leerParcela(con, u"Huerto"_s), 2011);
        }
        s.abrirHoja(2, 2011);
        s.cultivosCombos(1);
        QCOMPARE(s.ranura(0).cultivo(), u"Berzas"_s);
        const auto ofrecidas = [&](int k) {
            L r;
            for (const QString &c : L{"Cebollas", "Coles", "Pimientos", "Lechugas", "Judías", "Chirivías", "Acelgas"})
                if (s.ranura(k).entradas.contains(c)) r << c;
            return r;
        };
        QTEST(ofrecidas(0), "hoja");
        QTEST(ofrecidas(1), "siguiente");
    }

    // A name given twice (a perennial listed twice in the first picker) passes once, at its first place.
    void listaRepetida()
    {
        Prueba p({u"Huerto|2011|2|Fresas"_s});
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
        QTEST(Prueba({fila}).reglas(2011, 2).MarcaPlurianual(), "marca");
    }

    // The follow-on pickers of sheet 2 in 2011, the row above offering every crop below.
    void siguientes_data()
    {
        QTest::addColumn<Siguiente>("s");
        const QString dos = kFamilia.arg(u"Solanáceas y la Compuestas"_s);
        const L solanaceas = {kSolanaceas + "Tomates", kSolanaceas + "Pimientos"};
        QTest::newRow("fila 1, repetir frutos") << Siguiente{1, {"Tomates"}, 1, {},
            {"····", "Lechugas", "Judías", "Zanahorias", "Cebollas"},
            solanaceas + L{kProfundas + "Calabazas", kProfundas + "Cardos"}};
        QTest::newRow("fila 1, repetir raíces") << Siguiente{1, {"Tomates"}, 2, {},
            {"····", "Lechugas", "Zanahorias", "Cebollas", "Cardos"},
            solanaceas + L{kFrutos + "Judías", kFrutos + "Calabazas"}};
        QTest::newRow("fila 2") << Siguiente{2, {"Tomates", "Lechugas"}, 0, {}, {"····", "Zanahorias"},
            {dos + "Tomates", dos + "Pimientos", dos + "Lechugas", dos + "Cardos",
             "Por repetición de Flor, Semilla y fruto , Hojas sacado el cultivo:Judías",
             "Por repetición de Flor, Semilla y fruto , Hojas sacado el cultivo:Calabazas",
             "Por repetición de Profundas , Superficiales sacado el cultivo:Cebollas"}};
        QTest::newRow("cultivo en otra hoja") << Siguiente{1, {"Coles"}, 3, {"Huerto|2011|3|Zanahorias"},
            {"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Cebollas", "Cardos"},
            {kHojas + "Zanahorias"}};
        QTest::newRow("fila 0") << Siguiente{0, {}, 0, {}, {}, {}};
    }

    void siguientes()
    {
        QFETCH(Siguiente, s);
        Prueba p(s.filas);
        const QStringList anterior = nombres(
            {"····", "Tomates", "Pimientos", "Lechugas", "Judías", "Calabazas", "Zanahorias", "Cebollas", "Cardos"});
        QCOMPARE(p.reglas(2011, 2, s.repetir).CandidatosSiguientes(s.fila, anterior, nombres(s.anteriores)),
                 nombres(s.salida));
        QCOMPARE(p.registro, s.lineas);
    }
};

QTEST_GUILESS_MAIN(TestRotacion)
#include "test_rotacion.moc"
