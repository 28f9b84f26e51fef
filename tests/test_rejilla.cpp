// The plan grid's arithmetic (sowing windows, placing a crop, overlap) and the editing session of a sheet driven as
// the window drives it: loading a sheet, choosing, placing, refusals, the follow-on picker, storing and emptying.
#include "core/Conexion.h"
#include "core/modBasico.h"
#include "core/PlanHoja.h"
#include "core/RejillaPlan.h"
#include "core/SesionHoja.h"
#include "fixtures/BDPrueba.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <numeric>

using namespace modBasico;
using namespace Qt::StringLiterals;
using L = QList<int>;
Q_DECLARE_METATYPE(DatosSiembra)

namespace {

QList<int> tramo(int desde, int hasta)
{
    QList<int> r(hasta - desde + 1);
    std::iota(r.begin(), r.end(), desde);
    return r;
}

const QString kVacia = QString(24, u'.');

// A session on plot Huerto (4 sheets, frost-free from inicio to final) of a test database holding a crop "Prueba"
// (sowing 3 to 10, 60 to 90 days, of a family no other crop has). Signals are recorded.
struct Sesion
{
    BDPrueba bd;
    SesionHoja s;
    QSignalSpy avisos{&s, &SesionHoja::aviso};
    QStringList registro;

    explicit Sesion(int inicio = 1, int final = 1)
    {
        EstablecerCadenaConexion(bd.carpeta());
        agregar(u"Prueba"_s, 3, 10, 60, 90);
        bd.agregarParcela(u"Huerto"_s, 4, inicio, final);
        QObject::connect(&s, &SesionHoja::explicacion, [this](const QString &l) { registro << l; });
    }
    void agregar(const QString &nombre, int s1i, int s1f, double min, double max)
    {
        bd.ejecutar(u"insert into horticolas (Nombre, Familia, Parte_aprovechable, Profundidad_raices, Siembra_1_I,"
                    " Siembra_1_F, Cosecha_1_min, Cosecha_1_max) values (?, 'Malváceas', 'Hojas', 'Medias', ?, ?, ?, ?)"_s,
                    {nombre, s1i, s1f, min, max});
    }
    void sembrar(const QStringList &filas) { bd.sembrar(u"Huerto"_s, filas); }
    // Reads the catalogue as a rebuild does and loads the sheet.
    void abrir(int año, int hoja)
    {
        {
            Conexion con;
            s.abrirParcela(SesionHoja::leerParcela(con, u"Huerto"_s), año);
        }
        s.abrirHoja(hoja, año);
        avisos.clear();
    }
    [[nodiscard]] bool elegir(int k, const QString &cultivo)
    {
        const int i = s.ranura(k).entradas.indexOf(cultivo);
        if (i >= 0) s.elegir(k, i);
        return i >= 0;
    }
    [[nodiscard]] bool plantar(int k, const QString &c, int col) { return elegir(k, c) && (s.colocar(k, col), true); }
    QString cultivo(int k) const { return s.ranura(k).cultivo(); }
    QStringList cultivos() const { return {cultivo(0), cultivo(1), cultivo(2), cultivo(3)}; }
    L inicioFinal(int k) const { return {s.ranura(k).inicio, s.ranura(k).final}; }
    bool ofrece(int k, const QString &c) const { return s.ranura(k).entradas.contains(c); }
    // Each message as "titulo|tipo|texto".
    QStringList textosAvisos() const
    {
        QStringList r;
        for (const QList<QVariant> &a : avisos)
            r << a.at(1).toString() + u'|' + QString::number(a.at(2).toInt()) + u'|' + a.at(0).toString();
        return r;
    }
    // Slot k's grid row as LetrasFila writes it.
    QString fila(int k) const { return LetrasFila([&](int c) { return s.ranura(k).colores[c]; }); }
    QStringList filas() { return bd.filas(u"Huerto"_s); }
};

} // namespace

class TestRejilla : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { IniciaColores(); }

    // The sowing fortnights that both grids paint, a window's start against its end (the first window wraps over the
    // year end, the second never does).
    void quincenasSiembra_data()
    {
        QTest::addColumn<DatosSiembra>("epocas");
        QTest::addColumn<L>("pintadas");
        QTest::newRow("1ª de una: todo el año") << DatosSiembra{7, 7, {}, {}, {}, {}} << tramo(7, 24) + tramo(1, 7);
        QTest::newRow("2ª de una quincena") << DatosSiembra{{}, {}, 8, 8, {}, {}} << L{8};
        QTest::newRow("2ª al revés: nada") << DatosSiembra{{}, {}, 9, 8, {}, {}} << L{};
        QTest::newRow("2ª sin final: su inicio") << DatosSiembra{{}, {}, 8, {}, {}, {}} << L{8};
    }

    void quincenasSiembra()
    {
        QFETCH(DatosSiembra, epocas);
        QTEST(QuincenasSiembra(epocas), "pintadas");
    }

    // Placing a crop away from frost (the session covers frost and the year end): rounding, and a span held at 48.
    void colocar_data()
    {
        QTest::addColumn<int>("c");
        QTest::addColumn<DatosSiembra>("dias"); // only the harvest days
        QTest::addColumn<L>("cultivo"); // columns in ColorCultivo, in span order
        QTest::addColumn<L>("cosecha");
        QTest::addColumn<L>("tramo"); // recorded start and end
        // 5 + 67.5/15 - 1 = 8.5 rounds to the even 8; the growing cells compare unrounded.
        QTest::newRow("medio al par, abajo") << 5 << DatosSiembra{{}, {}, {}, {}, 67.5, 97.5} << tramo(5, 9) << L{10}
                                             << L{5, 8};
        QTest::newRow("más allá de 48") << 24 << DatosSiembra{{}, {}, {}, {}, 400.0, 700.0} << L{24} + tramo(1, 24)
                                        << L{} << L{24, 48};
    }

    void colocar()
    {
        QFETCH(int, c);
        QFETCH(DatosSiembra, dias);
        const Colocacion r = Colocar(c, dias, [](int) { return false; });
        QMap<qint32, QList<int>> porColor;
        for (const auto &celda : r.celdas) porColor[celda.color] << celda.columna;
        QTEST(porColor.take(ColorCultivo), "cultivo");
        QTEST(porColor.take(ColorCosecha), "cosecha");
        QVERIFY(porColor.isEmpty()); // no other colour
        QTEST(L({r.inicio, r.final}), "tramo");
    }

    // The span just placed (Ic..Fc) against the one above (5..10).
    void solape_data()
    {
        QTest::addColumn<int>("Ic");
        QTest::addColumn<int>("Fc");
        QTest::addColumn<bool>("solapa");
        QTest::newRow("mismo inicio") << 5 << 8 << true;
        QTest::newRow("mismo inicio, más largo") << 5 << 12 << true;
        QTest::newRow("mismo final") << 7 << 10 << true;
        QTest::newRow("mismo final, empieza antes") << 3 << 10 << true;
        QTest::newRow("lo encierra") << 4 << 12 << true;
        QTest::newRow("encerrado") << 6 << 8 << true;
        QTest::newRow("acaba en su inicio") << 3 << 5 << true;
        QTest::newRow("empieza en su final") << 10 << 12 << true;
        QTest::newRow("justo antes") << 2 << 4 << false;
        QTest::newRow("una quincena justo antes") << 4 << 4 << false;
        QTest::newRow("justo después") << 11 << 14 << false;
        QTest::newRow("una quincena justo después") << 11 << 11 << false;
        QTest::newRow("el año siguiente, sin plegar") << 29 << 34 << false;
    }

    void solape()
    {
        QFETCH(int, Ic);
        QFETCH(int, Fc);
        QTEST(SeSolapan(Ic, Fc, 5, 10), "solapa");
    }

    // A damaged or hand-edited file: values far outside their range are brought within it (with a log line) instead
    // of looping on them.
    void valoresFueraDeRango_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("fila");     // the grid row once placed (or loaded)
        QTest::newRow("mes_final enorme") << u"mes_final"_s << QString(24, u's'); // up to 48
        QTest::newRow("mes_inicio negativo") << u"mes_inicio"_s << u"CCCC...................."_s;
        QTest::newRow("Siembra_1_F enorme") << u"Siembra_1_F"_s << u"..v....................."_s; // left out
        QTest::newRow("Cosecha_1_max enorme") << u"Cosecha_1_max"_s << QString(24, u'c'); // up to 48
    }

    void valoresFueraDeRango()
    {
        QFETCH(QString, campo);
        QFETCH(QString, fila);
        Sesion v;
        const bool plan = campo.startsWith(u"mes_"_s);
        v.sembrar({u"2010|1|Prueba|3|4"_s});
        v.bd.ejecutar(u"update %1 set %2 = ? where %3 = 'Prueba'"_s.arg(plan ? u"BDParcela"_s : u"horticolas"_s, campo,
                                                                      plan ? u"cultivo"_s : u"Nombre"_s),
                      {campo == u"mes_inicio"_s ? -2147483647 : 2147483647});
        v.abrir(2010, 1);
        if (campo == u"Siembra_1_F"_s)
            QVERIFY(v.elegir(0, u"Prueba"_s));
        else if (!plan)
            QVERIFY(v.plantar(0, u"Prueba"_s, 3));
        QCOMPARE(v.fila(0), fila);
        QVERIFY(v.registro.join(u'\n').contains(u"fuera de"_s));
    }

    void elegirYColocar()
    {
        Sesion v;
        v.abrir(2010, 1);
        QVERIFY(v.elegir(0, u"Prueba"_s));
        QCOMPARE(v.fila(0), u"..vvvvvvvv.............."_s);
        QVERIFY(!v.s.ranura(0).colocado); // a choice records nothing
        v.s.colocar(0, 5);
        QCOMPARE(v.fila(0), u"....CCCCcc.............."_s);
        QCOMPARE(v.inicioFinal(0), L({5, 8}));
        QVERIFY(v.s.ranura(0).colocado && v.avisos.isEmpty());
        // The next picker now offers what may follow: not the crop itself.
        QVERIFY(!v.ofrece(1, u"Prueba"_s));
        QVERIFY(v.ofrece(2, u"Prueba"_s)); // later pickers keep their lists
        // A click on a painted cell, or on an empty one, changes nothing.
        for (int c : {6, 20}) {
            v.s.colocar(0, c);
            QCOMPARE(v.fila(0), u"....CCCCcc.............."_s);
            QCOMPARE(v.s.ranura(0).final, 8);
        }
    }

    // Refused placements: frost in the sowing fortnight, or only in the harvest (9..14, frost from 14 on); a span
    // overlapping the crop above. The slot goes back to empty; an overlapping span stays recorded but is no
    // placement, so it refuses nothing below.
    void rechazos_data()
    {
        QTest::addColumn<int>("columna");
        QTest::addColumn<QString>("aviso");
        const QString helada
            = u"Advertencia|%1|No es posible <Tardía>, escoge otro u otra fecha"_s.arg(SesionHoja::AvisoSiNo);
        QTest::newRow("helada al sembrar") << 5 << helada;
        QTest::newRow("helada en la cosecha") << 9 << helada;
        QTest::newRow("solape") << 10 << u"hay solape de fechas|%1|Esa fecha de siembra/trasplante se solapa con"
                                         " Tomates"_s.arg(SesionHoja::AvisoCritico);
    }

    void rechazos()
    {
        QFETCH(int, columna);
        QFETCH(QString, aviso);
        const bool solape = aviso.startsWith(u"hay solape"_s);
        Sesion v(solape ? 1 : 6, solape ? 1 : 14);
        v.agregar(u"Tardía"_s, 3, 12, 60, 90);
        v.abrir(2010, 1);
        QVERIFY(v.plantar(0, u"Tomates"_s, 8)); // 8..12
        v.avisos.clear();
        QVERIFY(v.plantar(1, solape ? u"Lechugas"_s : u"Tardía"_s, columna));
        QCOMPARE(v.textosAvisos(), QStringList{aviso});
        QCOMPARE(v.fila(1) + v.cultivo(1), kVacia + CultivoVacio);
        QVERIFY(!v.s.ranura(1).colocado);
        QCOMPARE(v.s.ranura(1).inicio, solape ? 10 : 0);
        v.avisos.clear();
        QVERIFY(v.plantar(2, u"Prueba"_s, solape ? 10 : 6));
        QVERIFY(v.avisos.isEmpty());
    }

    void hojaConCultivosGuardados()
    {
        Sesion v;
        v.sembrar({u"2010|1|Tomates|8|12"_s, u"2010|2|Coles|5|8"_s});
        v.bd.sembrar(u"HUERTO"_s, {u"2010|1|Ajos|20|30"_s});
        v.abrir(2010, 1);
        QCOMPARE(v.cultivos(), QStringList({"Tomates", "Ajos", CultivoVacio, CultivoVacio}));
        QCOMPARE(v.inicioFinal(1), L({20, 30}));
        for (int k = 0; k < 4; ++k) QCOMPARE(v.s.ranura(k).colocado, k < 2);
        // Painted without sowing windows, and nothing was asked.
        QCOMPARE(v.fila(0), u".......CCCCC............"_s);
        QCOMPARE(v.fila(1), u"ssssss.............CCCCC"_s);
        QCOMPARE(v.fila(2) + v.fila(3), kVacia + kVacia);
        QVERIFY(v.avisos.isEmpty());
        QVERIFY(!v.ofrece(0, u"Coles"_s)); // on sheet 2 this year

        // Narrowing keeps a stored crop that may still follow.
        v.s.cultivosCombos(1);
        QCOMPARE(v.cultivo(1), u"Ajos"_s);
        QVERIFY(!v.ofrece(1, u"Pimientos"_s));
    }

    void cultivoGuardadoQueYaNoCabe()
    {
        Sesion v;
        v.sembrar({u"2010|1|Tomates|8|12"_s, u"2010|1|Coles|14|17"_s, u"2010|1|Ajos|20|30"_s, u"2010|3|Coles|14|17"_s});
        v.abrir(2010, 2);
        v.s.abrirHoja(1, 2010);
        QCOMPARE(v.textosAvisos(), QStringList{u"Cambio del sistema libre de heladas|%1|no puedo poner el cultivo"
                                               " <Coles> porque no pertenece a la fecha libre de heladas"_s.arg(
                                                   SesionHoja::AvisoCritico)});
        QCOMPARE(v.cultivos(), QStringList({"Tomates", CultivoVacio, CultivoVacio, CultivoVacio}));
        QVERIFY(!v.fila(2).contains(u'C'));
        QCOMPARE(v.s.ocultas(), QStringList({u"Coles"_s, u"Ajos"_s}));
    }

    void cultivoVacioSacadoPorLasReglas()
    {
        // A crop of last year that the catalogue no longer holds: the family rule takes the empty-crop entry out, yet
        // every slot can stay empty.
        Sesion v;
        v.sembrar({u"2009|1|Yuca|5|9"_s});
        v.abrir(2010, 1);
        QCOMPARE(v.cultivos(), QStringList(4, CultivoVacio));
        for (int k = 0; k < 4; ++k) QCOMPARE(v.s.ranura(k).entradas.count(CultivoVacio), 1);
        QCOMPARE(v.registro.first(), u"Por repetición de la familia  Extraido el cultivo:"_s + CultivoVacio);
    }

    void falloAlLeer()
    {
        Sesion v;
        v.abrir(2010, 1);
        QVERIFY(v.plantar(0, u"Tomates"_s, 8));
        const QStringList antes = v.s.ranura(1).entradas;
        const QString fila = v.fila(0);
        QVERIFY(QFile::rename(v.bd.fichero(), v.bd.fichero() + u".fuera"_s));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, v.s.leerCultivos());
        QVERIFY_THROWS_EXCEPTION(ErrorBD, v.s.colocar(0, 8));
        // A failed read changes nothing.
        QCOMPARE(v.s.ranura(1).entradas, antes);
        QCOMPARE(v.cultivo(0), u"Tomates"_s);
        QCOMPARE(v.fila(0), fila);
        QVERIFY(QFile::rename(v.bd.fichero() + u".fuera"_s, v.bd.fichero()));
    }

    void validar()
    {
        Sesion v;
        v.sembrar({u"2010|2|Habas|3|10"_s});
        v.abrir(2010, 2);
        // Chosen in place of the stored crop, never placed: the span recorded for the slot is the stored crop's, and
        // nothing is stored.
        QVERIFY(v.elegir(0, u"Coles"_s));
        QCOMPARE(v.s.ranura(0).inicio, 3);
        QVERIFY(!v.s.haySinGuardar()); // chosen, not placed: nothing to store
        try {
            v.s.validar();
            QFAIL("a crop never placed was stored");
        } catch (const PlanNoValido &e) {
            QVERIFY2(e.texto().contains(u"<Coles>"_s), qPrintable(e.texto()));
        }
        // A refused placement, then the crop chosen again: not stored either.
        QVERIFY(v.plantar(0, u"Tomates"_s, 8));
        QVERIFY(v.plantar(1, u"Lechugas"_s, 10));
        QVERIFY(v.elegir(1, u"Lechugas"_s));
        QVERIFY_THROWS_EXCEPTION(PlanNoValido, v.s.validar());
        QCOMPARE(v.filas(), QStringList{u"2010|2|Habas|3|10"_s});

        QVERIFY(v.plantar(1, u"Lechugas"_s, 15));
        v.s.validar();
        QVERIFY(!v.s.haySinGuardar());
        QCOMPARE(v.filas(), QStringList({u"2010|2|Tomates|8|12"_s, u"2010|2|Lechugas|15|17"_s}));
        QCOMPARE(v.cultivo(1), u"Lechugas"_s); // the plan stays loaded
    }

    // A perennial planted in 2010 stays on its sheet until 2012: at most four crops in each of its years.
    void cuatroCultivosEnUnAnioSiguiente_data()
    {
        QTest::addColumn<int>("antes"); // crops already on the sheet in 2012
        QTest::newRow("tres y la plurianual") << 3;
        QTest::newRow("cuatro y la plurianual") << 4;
    }

    void cuatroCultivosEnUnAnioSiguiente()
    {
        QFETCH(int, antes);
        BDPrueba bd;
        bd.agregarParcela(u"Huerto"_s, 4, 1, 1);
        const QStringList filas = QStringList{"2012|2|Coles|1|1", "2012|2|Ajos|2|2", "2012|2|Lechugas|3|3",
                                              "2012|2|Judías|4|4"}.first(antes);
        bd.sembrar(u"Huerto"_s, filas);
        try {
            GuardarHoja(bd.fichero(), u"Huerto"_s, 2010, 2, {{u"Alcachofas"_s, 13, 20}}, AñosPlurianuales{3, 3, 3});
            QCOMPARE(bd.valor(u"select count(*) from BDParcela where año = 2012"_s).toInt(), 4);
        } catch (const PlanNoValido &) {
            QCOMPARE(antes, 4);
            QCOMPARE(bd.filas(u"Huerto"_s), filas);
        }
    }

    void vaciar()
    {
        Sesion v;
        v.sembrar({u"2010|2|Fresas|17|24"_s, u"2011|2|Fresas|1|24"_s, u"2010|1|Coles|5|8"_s});
        v.abrir(2010, 2);
        QCOMPARE(v.fila(0), u"................CCCCCCCC"_s);
        v.s.vaciar();
        QCOMPARE(v.filas(), QStringList({u"2010|1|Coles|5|8"_s, u"2011|2|Fresas|1|24"_s}));
        for (int k = 0; k < 4; ++k) QCOMPARE(v.fila(k), kVacia);
        v.s.leerCultivos();
        QCOMPARE(v.cultivo(0), CultivoVacio);
        QCOMPARE(v.s.ranura(0).entradas.count(u"Fresas"_s), 1);
    }
};

QTEST_GUILESS_MAIN(TestRejilla)
#include "test_rejilla.moc"
