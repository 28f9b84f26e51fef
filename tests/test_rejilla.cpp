// The plan grid: sowing windows, placing a crop (rounding, frost, overlap), the
// load of a sheet into the pickers and the follow-on picker.
#include "designer/RejillaPlan.h"
#include "designer/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "fixtures/VentanaPrueba.h"
#include "platform/Conexion.h"
#include "platform/CuadriculaFlex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <algorithm>

using namespace modBasico;

namespace {

std::optional<int> opc(int v) { return v < 0 ? std::nullopt : std::optional<int>(v); }
std::optional<double> dias(double v) { return v < 0 ? std::nullopt : std::optional<double>(v); }

QList<int> ordenadas(QList<int> l)
{
    std::sort(l.begin(), l.end());
    l.erase(std::unique(l.begin(), l.end()), l.end());
    return l;
}

QList<int> tramo(int desde, int hasta)
{
    QList<int> r;
    for (int q = desde; q <= hasta; ++q)
        r << q;
    return r;
}

QStringList elementos(const QComboBox *c)
{
    QStringList r;
    for (int i = 0; i < c->count(); ++i)
        r << c->itemText(i);
    return r;
}

// A test crop: sowing 3 to 10, 60 to 90 days, of a family no other crop has.
void agregarPrueba(BDPrueba &bd, const QString &nombre = QStringLiteral("Prueba"), int s1i = 3, int s1f = 10,
                   double min = 60, double max = 90)
{
    bd.ejecutar(QStringLiteral("insert into horticolas (Nombre, Familia, Parte_aprovechable, Profundidad_raices,"
                               " Siembra_1_I, Siembra_1_F, Cosecha_1_min, Cosecha_1_max)"
                               " values (?, 'Malváceas', 'Hojas', 'Medias', ?, ?, ?, ?)"),
                {nombre, s1i, s1f, min, max});
}

// A window on plot Huerto (4 sheets) showing sheet 1 of 2010.
struct Ventana
{
    BDPrueba bd;
    Respuestas respuestas;
    std::unique_ptr<VentanaPrueba> v;
    FormPrincipal *w = nullptr;

    explicit Ventana(int inicioHeladas = 1, int finalHeladas = 1)
    {
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, inicioHeladas, finalHeladas, true);
        agregarPrueba(bd);
    }
    bool abrir(int hoja = 1)
    {
        v = std::make_unique<VentanaPrueba>(bd.carpeta());
        w = v->w.get();
        if (!v->arrancada)
            return false;
        w->FrameCultivo->show();
        w->AñoActual = 2010;
        w->HojaActual = hoja;
        w->LeerCultivos();
        respuestas.limpiar();
        return true;
    }
    CuadriculaFlex *g() const { return w->MSHFlexTodoAño; }
    // The user's choice in picker k.
    void elegir(int k, const QString &cultivo)
    {
        QComboBox *p = w->ComboCult[k];
        const int i = p->findText(cultivo, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(i >= 0, qPrintable(cultivo));
        p->setCurrentIndex(i);
        emit p->activated(i);
    }
    // A mouse click on a cell of the grid.
    void pulsar(int fila, int columna)
    {
        const QRect r = g()->rectCelda(fila, columna).translated(-g()->viewport()->pos());
        QTest::mouseClick(g()->viewport(), Qt::LeftButton, {}, r.center());
    }
    QList<int> columnasDe(int fila, qint32 color) const
    {
        QList<int> r;
        for (int c = 1; c <= 24; ++c)
            if (g()->colorFondo(fila, c) == color)
                r << c;
        return r;
    }
    QString estado() const { return w->PanelEstado->text(); }
};

const QString kVerde = QStringLiteral("Época de siembra para %1 en verde. Selecciona quincena");
const QString kNoVerde = QStringLiteral("Aqui no hay una época de siembra o transplante. Elige la zona verde");
const QString kValidar = QStringLiteral("Se puede validar la hoja o poner otro cultivo (si fuera posible)");

} // namespace

class TestRejilla : public QObject
{
    Q_OBJECT

private slots:
    // ---- Arithmetic ------------------------------------------------------

    void quincenasSiembra_data()
    {
        QTest::addColumn<int>("s1i");
        QTest::addColumn<int>("s1f");
        QTest::addColumn<int>("s2i");
        QTest::addColumn<int>("s2f");
        QTest::addColumn<QList<int>>("verdes");
        QTest::newRow("3 a 20") << 3 << 20 << -1 << -1 << tramo(3, 20);
        QTest::newRow("20 a 3 da la vuelta") << 20 << 3 << -1 << -1 << tramo(1, 3) + tramo(20, 24);
        QTest::newRow("7 a 7 es todo el año") << 7 << 7 << -1 << -1 << tramo(1, 24);
        QTest::newRow("dos ventanas") << 8 << 10 << 11 << 12 << tramo(8, 12);
        QTest::newRow("ventanas solapadas") << 4 << 9 << 7 << 16 << tramo(4, 16);
        QTest::newRow("segunda al revés no pinta") << 5 << 8 << 22 << 2 << tramo(5, 8);
        QTest::newRow("segunda de una quincena") << 5 << 8 << 20 << 20 << tramo(5, 8) + QList<int>{20};
        QTest::newRow("ninguna") << -1 << -1 << -1 << -1 << QList<int>{};
        QTest::newRow("solo segunda") << -1 << -1 << 15 << 16 << tramo(15, 16);
        QTest::newRow("sin final") << 6 << -1 << -1 << -1 << QList<int>{6};
        QTest::newRow("fuera de 1 a 24") << 0 << 30 << -1 << -1 << tramo(1, 24);
    }

    void quincenasSiembra()
    {
        QFETCH(int, s1i);
        QFETCH(int, s1f);
        QFETCH(int, s2i);
        QFETCH(int, s2f);
        QFETCH(QList<int>, verdes);
        DatosSiembra d;
        d.Siembra_1_I = opc(s1i);
        d.Siembra_1_F = opc(s1f);
        d.Siembra_2_I = opc(s2i);
        d.Siembra_2_F = opc(s2f);
        QCOMPARE(ordenadas(QuincenasSiembra(d)), verdes);
    }

    void redondeo_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("r");
        QTest::newRow("8.5") << 8.5 << 8;
        QTest::newRow("9.5") << 9.5 << 10;
        QTest::newRow("11.67") << 11.6667 << 12;
        QTest::newRow("11.33") << 11.3333 << 11;
        QTest::newRow("27") << 27.0 << 27;
    }

    void redondeo()
    {
        QFETCH(double, x);
        QFETCH(int, r);
        QCOMPARE(RedondeoPar(x), r);
    }

    void colocar_data()
    {
        QTest::addColumn<int>("c");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<QList<int>>("heladas");
        QTest::addColumn<QList<int>>("cultivo");  // columns in ColorCultivo, in span order
        QTest::addColumn<QList<int>>("cosecha");  // columns in the harvest colour
        QTest::addColumn<QList<int>>("solape");   // columns in ColorSolape
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("final");

        QTest::newRow("quincena 5, 60 y 90 días") << 5 << 60.0 << 90.0 << QList<int>{} << tramo(5, 8)
                                                  << QList<int>{9, 10} << QList<int>{} << 5 << 8;
        QTest::newRow("quincena 22, 90 y 120 días")
            << 22 << 90.0 << 120.0 << QList<int>{} << QList<int>{22, 23, 24, 1, 2, 3} << QList<int>{4, 5}
            << QList<int>{} << 22 << 27;
        // 5 + 67.5/15 - 1 = 8.5 rounds to 8; the growing cells compare unrounded.
        QTest::newRow("medio hacia el par, abajo") << 5 << 67.5 << 97.5 << QList<int>{} << tramo(5, 9)
                                                   << QList<int>{10} << QList<int>{} << 5 << 8;
        QTest::newRow("medio hacia el par, arriba") << 6 << 67.5 << 97.5 << QList<int>{} << tramo(6, 10)
                                                    << QList<int>{11, 12} << QList<int>{} << 6 << 10;
        QTest::newRow("helada en la cosecha") << 5 << 60.0 << 90.0 << QList<int>{10} << tramo(5, 8)
                                              << QList<int>{9} << QList<int>{10} << 5 << 8;
        QTest::newRow("helada en la siembra") << 5 << 60.0 << 90.0 << QList<int>{5} << tramo(6, 8)
                                              << QList<int>{9, 10} << QList<int>{5} << 5 << 8;
        QTest::newRow("helada tras fin de año") << 22 << 90.0 << 120.0 << QList<int>{2} << QList<int>{22, 23, 24, 1, 3}
                                                << QList<int>{4, 5} << QList<int>{2} << 22 << 27;
        QTest::newRow("sin días de cosecha") << 7 << -1.0 << -1.0 << QList<int>{} << QList<int>{7} << QList<int>{}
                                             << QList<int>{} << 7 << 7;
        QTest::newRow("más allá de 48") << 24 << 400.0 << 700.0 << QList<int>{} << QList<int>{24} + tramo(1, 24)
                                        << QList<int>{} << QList<int>{} << 24 << 48;
    }

    void colocar()
    {
        QFETCH(int, c);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(QList<int>, heladas);
        QFETCH(QList<int>, cultivo);
        QFETCH(QList<int>, cosecha);
        QFETCH(QList<int>, solape);
        QFETCH(int, inicio);
        QFETCH(int, final);
        IniciaColores();
        DatosSiembra d;
        d.Cosecha_1_min = dias(min);
        d.Cosecha_1_max = dias(max);
        const Colocacion r = Colocar(c, d, [&](int columna) { return heladas.contains(columna); });
        QList<int> enCultivo, enCosecha, enSolape;
        for (const auto &celda : r.celdas) {
            if (celda.color == ColorCultivo)
                enCultivo << celda.columna;
            else if (celda.color == ColorCosecha)
                enCosecha << celda.columna;
            else if (celda.color == ColorSolape)
                enSolape << celda.columna;
            else
                QFAIL("a cell of another colour");
        }
        QCOMPARE(enCultivo, cultivo);
        QCOMPARE(enCosecha, cosecha);
        QCOMPARE(enSolape, solape);
        QCOMPARE(r.heladaEnElCamino, !solape.isEmpty());
        QCOMPARE(r.inicio, inicio);
        QCOMPARE(r.final, final);
    }

    void solape_data()
    {
        QTest::addColumn<int>("Ic");
        QTest::addColumn<int>("Fc");
        QTest::addColumn<int>("Ip");
        QTest::addColumn<int>("Fp");
        QTest::addColumn<bool>("solapan");
        QTest::newRow("comparte la quincena 5") << 5 << 8 << 2 << 5 << true;
        QTest::newRow("empieza después") << 6 << 9 << 2 << 5 << false;
        QTest::newRow("lo encierra") << 1 << 9 << 2 << 5 << true;
        QTest::newRow("queda dentro") << 3 << 4 << 2 << 5 << true;
        QTest::newRow("acaba antes") << 1 << 1 << 2 << 5 << false;
        QTest::newRow("acaba en su inicio") << 1 << 2 << 2 << 5 << true;
        QTest::newRow("el mismo") << 2 << 5 << 2 << 5 << true;
        QTest::newRow("bajo uno que pasa al año siguiente") << 5 << 10 << 20 << 30 << false;
        QTest::newRow("ambos al año siguiente") << 24 << 28 << 20 << 30 << true;
    }

    void solape()
    {
        QFETCH(int, Ic);
        QFETCH(int, Fc);
        QFETCH(int, Ip);
        QFETCH(int, Fp);
        QFETCH(bool, solapan);
        QCOMPARE(SeSolapan(Ic, Fc, Ip, Fp), solapan);
    }

    void datosDelCatalogo()
    {
        BDPrueba bd;
        bd.ejecutar(QStringLiteral("update horticolas set Cosecha_1_min = 67.5 where Nombre = 'Ajos'"));
        Conexion con(bd.fichero());
        const QList<DatosSiembra> d = LeerDatosSiembra(con, QStringLiteral("AJOS"));
        QCOMPARE(d.size(), 1);
        QCOMPARE(*d[0].Siembra_1_I, 20);
        QCOMPARE(*d[0].Siembra_1_F, 3);
        QVERIFY(!d[0].Siembra_2_I);
        QCOMPARE(*d[0].Cosecha_1_min, 67.5);
        QVERIFY(LeerDatosSiembra(con, CultivoVacio).isEmpty());
        QVERIFY(LeerDatosSiembra(con, QStringLiteral("Aj_s")).isEmpty());
    }

    // ---- Choosing a crop ---------------------------------------------------

    void elegirPintaLasVentanas()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.w->MesInicioCultivo[1] = 3;
        v.w->MesFinalCultivo[1] = 9;
        v.elegir(1, QStringLiteral("Ajos"));
        QCOMPARE(v.columnasDe(2, ColorSiembra), tramo(1, 3) + tramo(20, 24));
        QCOMPARE(v.columnasDe(2, ColorVacio).size(), 16);
        QCOMPARE(v.estado(), kVerde.arg(QStringLiteral("Ajos")));
        QCOMPARE(v.w->MesInicioCultivo[1], 3); // a choice records nothing
        QCOMPARE(v.w->MesFinalCultivo[1], 9);
        QVERIFY(!v.w->CultivoColocado[1]);

        v.elegir(1, QStringLiteral("Tomates"));
        QCOMPARE(v.columnasDe(2, ColorSiembra), tramo(8, 12));

        v.elegir(1, CultivoVacio);
        QCOMPARE(v.columnasDe(2, ColorVacio).size(), 24);
        QCOMPARE(v.estado(), kVerde.arg(CultivoVacio));
        for (int f : {1, 3, 4})
            QCOMPARE(v.columnasDe(f, ColorVacio).size(), 24);
    }

    void elegirMientrasSeLee()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.w->LeyendoCultivo = true;
        v.elegir(0, QStringLiteral("Tomates"));
        QCOMPARE(v.columnasDe(1, ColorSiembra), QList<int>{});
        v.w->LeyendoCultivo = false;
    }

    // ---- Placing a crop ------------------------------------------------------

    void colocarConElRaton()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.elegir(0, QStringLiteral("Prueba"));
        v.pulsar(1, 5);
        QCOMPARE(v.columnasDe(1, ColorCultivo), tramo(5, 8));
        QCOMPARE(v.columnasDe(1, ColorCosecha), tramo(9, 10));
        QCOMPARE(v.w->MesInicioCultivo[0], 5);
        QCOMPARE(v.w->MesFinalCultivo[0], 8);
        QVERIFY(v.w->CultivoColocado[0]);
        QCOMPARE(v.estado(), kValidar);
        QCOMPARE(v.respuestas.mensajes().size(), 0);
        // The next picker now offers what may follow: not the crop itself.
        QVERIFY(v.w->ComboCult[1]->findText(QStringLiteral("Prueba")) < 0);
        QVERIFY(v.w->ComboCult[1]->findText(QStringLiteral("Tomates")) >= 0);
        QVERIFY(v.w->ComboCult[2]->findText(QStringLiteral("Prueba")) >= 0); // later pickers keep their lists

        // A click on a painted cell, or on an empty one, changes nothing.
        for (int c : {6, 20}) {
            v.pulsar(1, c);
            QCOMPARE(v.estado(), kNoVerde);
            QCOMPARE(v.columnasDe(1, ColorCultivo), tramo(5, 8));
            QCOMPARE(v.w->MesFinalCultivo[0], 8);
        }
        // A row whose picker shows no crop: nothing at all.
        v.w->PanelEstado->setText(QStringLiteral("antes"));
        v.pulsar(3, 5);
        QCOMPARE(v.estado(), QStringLiteral("antes"));
    }

    void colocarDaLaVueltaAlAnio()
    {
        Ventana v;
        agregarPrueba(v.bd, QStringLiteral("Invernal"), 20, 24, 90, 120);
        QVERIFY(v.abrir());
        v.elegir(0, QStringLiteral("Invernal"));
        v.g()->setCelda(1, 22);
        v.w->MSHFlexTodoAño_Click();
        QCOMPARE(v.columnasDe(1, ColorCultivo), QList<int>({1, 2, 3, 22, 23, 24}));
        QCOMPARE(v.columnasDe(1, ColorCosecha), QList<int>({4, 5}));
        QCOMPARE(v.w->MesInicioCultivo[0], 22);
        QCOMPARE(v.w->MesFinalCultivo[0], 27);
    }

    void heladaRechaza_data()
    {
        QTest::addColumn<int>("columna");
        QTest::addColumn<int>("respuesta");
        QTest::newRow("en la siembra, Sí") << 5 << int(Dialogos::Si);
        QTest::newRow("en la siembra, No") << 5 << int(Dialogos::No);
        QTest::newRow("solo en la cosecha") << 9 << int(Dialogos::No); // 9..14, frost from 14 on
    }

    void heladaRechaza()
    {
        QFETCH(int, columna);
        QFETCH(int, respuesta);
        Ventana v(6, 14);
        agregarPrueba(v.bd, QStringLiteral("Tardía"), 3, 12, 60, 90);
        QVERIFY(v.abrir());
        v.w->MesInicioCultivo[0] = 2;
        v.w->MesFinalCultivo[0] = 4;
        v.respuestas.respuestaMensaje = respuesta;
        v.elegir(0, QStringLiteral("Tardía"));
        v.pulsar(1, columna);
        const auto m = v.respuestas.mensajes();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].texto, QStringLiteral("No es posible <Tardía>, escoge otro u otra fecha"));
        QCOMPARE(m[0].titulo, QStringLiteral("Advertencia"));
        QCOMPARE(m[0].botones, Dialogos::SiNo);
        QCOMPARE(v.columnasDe(1, ColorVacio).size(), 24);
        QCOMPARE(v.w->ComboCult[0]->currentText(), CultivoVacio);
        QCOMPARE(v.estado(), kVerde.arg(CultivoVacio));
        QCOMPARE(v.w->MesInicioCultivo[0], 2); // nothing recorded
        QCOMPARE(v.w->MesFinalCultivo[0], 4);
        QVERIFY(v.g()->tieneImagen(1, 5)); // the marks stay
    }

    void solapeRechaza()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.elegir(0, QStringLiteral("Tomates"));
        v.pulsar(1, 8); // 8..12
        v.elegir(1, QStringLiteral("Lechugas"));
        v.pulsar(2, 10); // 10..12
        const auto m = v.respuestas.mensajes();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].texto, QStringLiteral("Esa fecha de siembra/trasplante se solapa con Tomates"));
        QCOMPARE(m[0].titulo, QStringLiteral("hay solape de fechas"));
        QCOMPARE(m[0].icono, Dialogos::Critico);
        QCOMPARE(v.columnasDe(2, ColorVacio).size(), 24);
        QCOMPARE(v.w->ComboCult[1]->currentText(), CultivoVacio);
        QCOMPARE(v.estado(), kVerde.arg(CultivoVacio));
        QCOMPARE(v.w->MesInicioCultivo[1], 10); // the refused span stays recorded
        QCOMPARE(v.w->MesFinalCultivo[1], 12);
        QVERIFY(!v.w->CultivoColocado[1]);      // but is no placement
        QVERIFY(v.w->CultivoColocado[0]);
        // Row 1 is untouched; a later date is accepted.
        QCOMPARE(v.columnasDe(1, ColorCultivo), tramo(8, 12));
        v.respuestas.limpiar();
        v.elegir(1, QStringLiteral("Lechugas"));
        v.pulsar(2, 15);
        QCOMPARE(v.respuestas.mensajes().size(), 0);
        QCOMPARE(v.w->MesInicioCultivo[1], 15);
        QCOMPARE(v.estado(), kValidar);
    }

    void laFilaDeArribaSinCultivoTambienCuenta()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.w->MesInicioCultivo[1] = 4;
        v.w->MesFinalCultivo[1] = 6;
        v.elegir(2, QStringLiteral("Prueba"));
        v.pulsar(3, 5);
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QCOMPARE(v.respuestas.mensajes()[0].texto,
                 QStringLiteral("Esa fecha de siembra/trasplante se solapa con ") + CultivoVacio);
    }

    void siguienteConRegistro()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.w->ModoExplicito->setChecked(true);
        v.elegir(0, QStringLiteral("Tomates"));
        v.pulsar(1, 8);
        QStringList lineas;
        for (int i = 0; i < v.w->ListModoExplicito->count(); ++i)
            lineas << v.w->ListModoExplicito->item(i)->text();
        QVERIFY(lineas.contains(QStringLiteral("Por repetición de la familia Solanáceas Extraido el cultivo:Pimientos")));
        QVERIFY(lineas.contains(QStringLiteral("Por repetición de Flor, Semilla y fruto sacado el cultivo:Judías")));
        QVERIFY(lineas.contains(QStringLiteral("Por repetición de Profundas sacado el cultivo:Cardos")));
        // The picker keeps showing the empty-crop entry it showed.
        QCOMPARE(v.w->ComboCult[1]->currentText(), CultivoVacio);

        // A placement in row 4 fills no further picker.
        const QStringList antes = elementos(v.w->ComboCult[3]);
        v.elegir(3, QStringLiteral("Coles"));
        v.pulsar(4, 14);
        QCOMPARE(v.estado(), kValidar);
        QCOMPARE(elementos(v.w->ComboCult[3]), antes);
    }

    void clicEnLaCabecera()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.pulsar(2, 7);
        QCOMPARE(v.g()->fila(), 2);
        v.pulsar(0, 9);
        QCOMPARE(v.g()->fila(), 2);
        QCOMPARE(v.g()->columna(), 7);
    }

    // ---- Loading a sheet -------------------------------------------------

    void hojaSinFilas()
    {
        Ventana v;
        QVERIFY(v.abrir());
        v.w->MesInicioCultivo[2] = 7;
        v.w->MesFinalCultivo[2] = 9;
        v.elegir(0, QStringLiteral("Tomates"));
        v.w->LeerCultivos();
        const QStringList lista = elementos(v.w->ComboCult[0]);
        QCOMPARE(lista.first(), CultivoVacio);
        QCOMPARE(lista.size(), v.w->CultivosPosiblesSinHelada.size());
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(elementos(v.w->ComboCult[k]), lista);
            QCOMPARE(v.w->ComboCult[k]->currentText(), CultivoVacio);
            QCOMPARE(v.columnasDe(k + 1, ColorVacio).size(), 24);
        }
        QCOMPARE(v.w->MesInicioCultivo[2], 7);
        QCOMPARE(v.w->MesFinalCultivo[2], 9);
        QVERIFY(!v.w->LeyendoCultivo);
    }

    void hojaConCultivosGuardados()
    {
        Ventana v;
        v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 1, QStringLiteral("Tomates"), 8, 12);
        v.bd.agregarFila(QStringLiteral("HUERTO"), 2010, 1, QStringLiteral("Ajos"), 20, 30);
        v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 2, QStringLiteral("Coles"), 5, 8);
        QVERIFY(v.abrir());
        QCOMPARE(v.w->ComboCult[0]->currentText(), QStringLiteral("Tomates"));
        QCOMPARE(v.w->ComboCult[1]->currentText(), QStringLiteral("Ajos"));
        QCOMPARE(v.w->ComboCult[2]->currentText(), CultivoVacio);
        QCOMPARE(v.w->MesInicioCultivo[1], 20);
        QCOMPARE(v.w->MesFinalCultivo[1], 30);
        QCOMPARE(v.w->CultivoColocado, (std::array<bool, 4>{true, true, false, false}));
        QCOMPARE(v.columnasDe(1, ColorCultivo), tramo(8, 12));
        QCOMPARE(v.columnasDe(2, ColorCultivo), tramo(20, 24));
        QCOMPARE(v.columnasDe(2, ColorAñoSiguiente), tramo(1, 6));
        // The selections painted no sowing windows, and nothing was asked.
        for (int f = 1; f <= 4; ++f)
            QCOMPARE(v.columnasDe(f, ColorSiembra), QList<int>{});
        QCOMPARE(v.respuestas.mensajes().size(), 0);
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Coles")) < 0); // on sheet 2 this year

        // A reload for the grid's current row keeps the stored crop shown.
        v.g()->setCelda(2, 3);
        v.w->CultivosCombos(v.g()->fila());
        QCOMPARE(v.w->ComboCult[2]->currentText(), CultivoVacio);
        v.g()->setCelda(1, 3);
        v.w->CultivosCombos(v.g()->fila());
        QCOMPARE(v.w->ComboCult[1]->currentText(), QStringLiteral("Ajos"));
        QVERIFY(v.w->ComboCult[1]->findText(QStringLiteral("Pimientos")) < 0);
    }

    void plurianualesEnLaPrimeraFila_data()
    {
        QTest::addColumn<QStringList>("filas"); // "año|cultivo|inicio|final" on sheet 1
        QTest::addColumn<int>("veces");         // how many times picker 0 lists Fresas
        QTest::newRow("de años anteriores") << QStringList{"2009|Fresas|1|24", "2010|Fresas|1|30"} << 1;
        QTest::newRow("plantada este año") << QStringList{"2010|Fresas|18|24"} << 2;
    }

    void plurianualesEnLaPrimeraFila()
    {
        QFETCH(QStringList, filas);
        QFETCH(int, veces);
        Ventana v;
        for (const QString &f : filas) {
            const QStringList p = f.split(QLatin1Char('|'));
            v.bd.agregarFila(QStringLiteral("Huerto"), p[0].toInt(), 1, p[1], p[2].toInt(), p[3].toInt());
        }
        QVERIFY(v.abrir());
        QCOMPARE(elementos(v.w->ComboCult[0]).count(QStringLiteral("Fresas")), veces);
        QCOMPARE(elementos(v.w->ComboCult[1]).count(QStringLiteral("Fresas")), veces - 1);
        QCOMPARE(v.w->ComboCult[0]->currentText(), QStringLiteral("Fresas"));
        QCOMPARE(v.respuestas.mensajes().size(), 0);

        // The follow-on picker leaves the appended entry behind and offers
        // no strawberries after strawberries.
        v.g()->setCelda(1, 1);
        v.w->CultivosCombos(1);
        QCOMPARE(elementos(v.w->ComboCult[1]).count(QStringLiteral("Fresas")), 0);
        QVERIFY(v.w->ComboCult[1]->count() > 10);
    }

    void cultivoGuardadoQueYaNoCabe()
    {
        Ventana v;
        v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 1, QStringLiteral("Tomates"), 8, 12);
        v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 1, QStringLiteral("Coles"), 14, 17);
        v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 1, QStringLiteral("Ajos"), 20, 30);
        v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 3, QStringLiteral("Coles"), 14, 17);
        QVERIFY(v.abrir(2));
        v.w->HojaActual = 1;
        v.respuestas.limpiar();
        v.w->LeerCultivos();
        const auto m = v.respuestas.mensajes();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].texto, QStringLiteral("no puedo poner el cultivo <Coles> porque no pertenece a la fecha libre de"
                                            " heladas"));
        QCOMPARE(m[0].titulo, QStringLiteral("Cambio del sistema libre de heladas"));
        QCOMPARE(m[0].icono, Dialogos::Critico);
        QCOMPARE(m[0].botones, Dialogos::SoloAceptar);
        QCOMPARE(v.w->ComboCult[0]->currentText(), QStringLiteral("Tomates"));
        QCOMPARE(v.w->ComboCult[1]->currentText(), CultivoVacio);
        QCOMPARE(v.w->ComboCult[2]->currentText(), CultivoVacio);
        QCOMPARE(v.columnasDe(3, ColorCultivo), QList<int>{});
        QVERIFY(!v.w->LeyendoCultivo);
        // Picking a crop afterwards works as usual.
        v.elegir(1, QStringLiteral("Lechugas"));
        QCOMPARE(v.columnasDe(2, ColorSiembra), tramo(4, 10) + tramo(15, 21));
    }

    void quintaFilaSinSitio()
    {
        Ventana v;
        for (const char *c : {"Tomates", "Coles", "Lechugas", "Judías", "Ajos"})
            v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 1, QString::fromUtf8(c), 1, 2);
        QVERIFY(v.abrir());
        QCOMPARE(v.w->ComboCult[3]->currentText(), QStringLiteral("Judías"));
        QCOMPARE(v.respuestas.mensajes().size(), 0);
    }

    void cultivoVacioSacadoPorLasReglas()
    {
        // A crop of last year that the catalogue no longer holds: the family
        // rule takes the empty-crop entry out, yet every slot can stay empty.
        Ventana v;
        v.bd.agregarFila(QStringLiteral("Huerto"), 2009, 1, QStringLiteral("Yuca"), 5, 9);
        QVERIFY(v.abrir());
        v.w->ModoExplicito->setChecked(true);
        v.w->LeerCultivos();
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(v.w->ComboCult[k]->itemText(0), CultivoVacio);
            QCOMPARE(v.w->ComboCult[k]->currentText(), CultivoVacio);
        }
        QCOMPARE(elementos(v.w->ComboCult[0]).count(CultivoVacio), 1);
        QCOMPARE(v.w->ListModoExplicito->item(0)->text(),
                 QStringLiteral("Por repetición de la familia  Extraido el cultivo:") + CultivoVacio);
    }

    void interruptoresComoEstan()
    {
        Ventana v;
        v.bd.agregarFila(QStringLiteral("Huerto"), 2009, 1, QStringLiteral("Tomates"), 8, 12);
        QVERIFY(v.abrir());
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Judías")) < 0);
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Calabazas")) < 0);
        v.w->CheckRepetirFrutos->setChecked(true); // ticked, not saved
        v.w->LeerCultivos();
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Judías")) >= 0);
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Calabazas")) < 0);
        v.w->CheckRepetirRaices->setChecked(true);
        v.w->LeerCultivos();
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Calabazas")) >= 0);
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Pimientos")) < 0);
    }

    void sinHojaElegida()
    {
        Ventana v;
        v.bd.agregarFila(QStringLiteral("Huerto"), 2010, 3, QStringLiteral("Coles"), 5, 8);
        QVERIFY(v.abrir(0));
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Coles")) < 0);
        QCOMPARE(v.w->ComboCult[0]->currentText(), CultivoVacio);
        QVERIFY(v.w->ComboCult[0]->findText(QStringLiteral("Ajos")) >= 0);
    }

    void falloAlLeer()
    {
        Ventana v;
        QVERIFY(v.abrir());
        QFile::rename(v.bd.fichero(), v.bd.fichero() + QStringLiteral(".fuera"));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, v.w->LeerCultivos());
        QVERIFY(!v.w->LeyendoCultivo);
        QVERIFY_THROWS_EXCEPTION(ErrorBD, v.w->CultivosCombos(1));
        QCOMPARE(v.w->ComboCult[1]->count(), 0);
        // The handlers tell the user and go on.
        v.respuestas.limpiar();
        v.w->ComboCult_Click(0);
        v.g()->setCelda(1, 5);
        v.w->MSHFlexTodoAño_Click();
        QCOMPARE(v.respuestas.mensajes().size(), 2);
        QVERIFY(v.respuestas.mensajes()[0].texto.startsWith(QStringLiteral("No se ha podido leer la base de datos")));
        QFile::rename(v.bd.fichero() + QStringLiteral(".fuera"), v.bd.fichero());
    }
};

QTEST_MAIN(TestRejilla)
#include "test_rejilla.moc"
