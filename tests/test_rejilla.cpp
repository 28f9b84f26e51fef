// The plan grid: sowing windows, placing a crop (rounding, frost, overlap), the
// load of a sheet into the pickers and the follow-on picker.
#include "core/RejillaPlan.h"
#include "fixtures/VentanaPrueba.h"
#include "core/Conexion.h"

using namespace modBasico;
using namespace Qt::StringLiterals;

namespace {

std::optional<int> opc(int v)
{
    return v < 0 ? std::nullopt : std::optional<int>(v);
}
std::optional<double> dias(double v)
{
    return v < 0 ? std::nullopt : std::optional<double>(v);
}

const QString kVacia = QString(24, u'.');
const QString kVerde = u"Época de siembra para %1 en verde. Selecciona quincena"_s;
const QString kValidar = u"Se puede validar la hoja o poner otro cultivo (si fuera posible)"_s;

// Plot Huerto (4 sheets, frost-free from inicio to final) with a test crop
// "Prueba" (sowing 3 to 10, 60 to 90 days, of a family no other crop has).
struct Rejilla : Huerto
{
    explicit Rejilla(int inicio = 1, int final = 1) : Huerto(4, inicio, final) { agregar(u"Prueba"_s, 3, 10, 60, 90); }
    void agregar(const QString &nombre, int s1i, int s1f, double min, double max)
    {
        bd.ejecutar(
            u"insert into horticolas (Nombre, Familia, Parte_aprovechable, Profundidad_raices, Siembra_1_I,"
            " Siembra_1_F, Cosecha_1_min, Cosecha_1_max) values (?, 'Malváceas', 'Hojas', 'Medias', ?, ?, ?, ?)"_s,
            {nombre, s1i, s1f, min, max});
    }
    QString estado() const { return w->PanelEstado->text(); }
    QString picker(int k) const { return w->ComboCult[k]->currentText(); }
    bool ofrece(int k, const QString &cultivo) const { return w->ComboCult[k]->findText(cultivo) >= 0; }
};

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
        QList<int> r = QuincenasSiembra(d);
        std::sort(r.begin(), r.end());
        r.erase(std::unique(r.begin(), r.end()), r.end());
        QCOMPARE(r, verdes);
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
        QTest::addColumn<QList<int>>("cultivo"); // columns in ColorCultivo, in span order
        QTest::addColumn<QList<int>>("cosecha"); // columns in the harvest colour
        QTest::addColumn<QList<int>>("solape");  // columns in ColorSolape
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("final");
        using L = QList<int>;
        QTest::newRow("quincena 5, 60 y 90 días")
            << 5 << 60.0 << 90.0 << L{} << tramo(5, 8) << L{9, 10} << L{} << 5 << 8;
        QTest::newRow("quincena 22, 90 y 120 días")
            << 22 << 90.0 << 120.0 << L{} << L{22, 23, 24, 1, 2, 3} << L{4, 5} << L{} << 22 << 27;
        // 5 + 67.5/15 - 1 = 8.5 rounds to 8; the growing cells compare unrounded.
        QTest::newRow("medio hacia el par, abajo") << 5 << 67.5 << 97.5 << L{} << tramo(5, 9) << L{10} << L{} << 5 << 8;
        QTest::newRow("medio hacia el par, arriba")
            << 6 << 67.5 << 97.5 << L{} << tramo(6, 10) << L{11, 12} << L{} << 6 << 10;
        QTest::newRow("helada en la cosecha") << 5 << 60.0 << 90.0 << L{10} << tramo(5, 8) << L{9} << L{10} << 5 << 8;
        QTest::newRow("helada en la siembra") << 5 << 60.0 << 90.0 << L{5} << tramo(6, 8) << L{9, 10} << L{5} << 5 << 8;
        QTest::newRow("helada tras fin de año")
            << 22 << 90.0 << 120.0 << L{2} << L{22, 23, 24, 1, 3} << L{4, 5} << L{2} << 22 << 27;
        QTest::newRow("sin días de cosecha") << 7 << -1.0 << -1.0 << L{} << L{7} << L{} << L{} << 7 << 7;
        QTest::newRow("más allá de 48") << 24 << 400.0 << 700.0 << L{} << L{24} + tramo(1, 24) << L{} << L{} << 24
                                        << 48;
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
        QMap<qint32, QList<int>> porColor;
        for (const auto &celda : r.celdas)
            porColor[celda.color] << celda.columna;
        QCOMPARE(porColor.value(ColorCultivo), cultivo);
        QCOMPARE(porColor.value(ColorCosecha), cosecha);
        QCOMPARE(porColor.value(ColorSolape), solape);
        QCOMPARE(r.celdas.size(), cultivo.size() + cosecha.size() + solape.size()); // no other colour
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
        bd.ejecutar(u"update horticolas set Cosecha_1_min = 67.5 where Nombre = 'Ajos'"_s);
        Conexion con(bd.fichero());
        const QList<DatosSiembra> d = LeerDatosSiembra(con, u"AJOS"_s);
        QCOMPARE(d.size(), 1);
        QCOMPARE(*d[0].Siembra_1_I, 20);
        QCOMPARE(*d[0].Siembra_1_F, 3);
        QVERIFY(!d[0].Siembra_2_I);
        QCOMPARE(*d[0].Cosecha_1_min, 67.5);
        QVERIFY(LeerDatosSiembra(con, CultivoVacio).isEmpty());
        QVERIFY(LeerDatosSiembra(con, u"Aj_s"_s).isEmpty());
    }

    // ---- Choosing a crop ---------------------------------------------------

    void elegirPintaLasVentanas()
    {
        Rejilla v;
        QVERIFY(v.abrir(2010, 1));
        FormPrincipal &w = *v.w;
        v.elegir(1, u"Ajos"_s);
        QCOMPARE(v.fila(2), u"vvv................vvvvv"_s);
        QCOMPARE(v.estado(), kVerde.arg(u"Ajos"_s));
        QCOMPARE(w.Sesion.ranura(1).inicio, 0); // a choice records nothing
        QCOMPARE(w.Sesion.ranura(1).final, 0);
        QVERIFY(!w.Sesion.ranura(1).colocado);

        v.elegir(1, u"Tomates"_s);
        QCOMPARE(v.fila(2), u".......vvvvv............"_s);
        v.elegir(1, CultivoVacio);
        QCOMPARE(v.estado(), kVerde.arg(CultivoVacio));
        for (int f = 1; f <= 4; ++f)
            QCOMPARE(v.fila(f), kVacia);

        // While a sheet is being loaded a choice paints nothing.
        w.LeyendoCultivo = true;
        v.elegir(0, u"Tomates"_s);
        QCOMPARE(v.fila(1), kVacia);
        w.LeyendoCultivo = false;
    }

    // ---- Placing a crop ------------------------------------------------------

    void colocarConElRaton()
    {
        Rejilla v;
        v.agregar(u"Invernal"_s, 20, 24, 90, 120);
        QVERIFY(v.abrir(2010, 1));
        FormPrincipal &w = *v.w;
        v.plantar(0, u"Prueba"_s, 5);
        QCOMPARE(v.fila(1), u"....CCCCcc.............."_s);
        QCOMPARE(w.Sesion.ranura(0).inicio, 5);
        QCOMPARE(w.Sesion.ranura(0).final, 8);
        QVERIFY(w.Sesion.ranura(0).colocado);
        QCOMPARE(v.estado(), kValidar);
        QCOMPARE(v.r.mensajes().size(), 0);
        // The next picker now offers what may follow: not the crop itself.
        QVERIFY(!v.ofrece(1, u"Prueba"_s));
        QVERIFY(v.ofrece(1, u"Tomates"_s));
        QVERIFY(v.ofrece(2, u"Prueba"_s)); // later pickers keep their lists

        // A click on a painted cell, or on an empty one, changes nothing.
        for (int c : {6, 20}) {
            v.pulsarCelda(1, c);
            QCOMPARE(v.estado(), u"Aqui no hay una época de siembra o transplante. Elige la zona verde"_s);
            QCOMPARE(v.fila(1), u"....CCCCcc.............."_s);
            QCOMPARE(w.Sesion.ranura(0).final, 8);
        }
        // A row whose picker shows no crop: nothing at all.
        w.PanelEstado->setText(u"antes"_s);
        v.pulsarCelda(3, 5);
        QCOMPARE(v.estado(), u"antes"_s);
        // A click on the header leaves the current cell.
        v.pulsarCelda(0, 9);
        QCOMPARE(v.w->MSHFlexTodoAño->fila(), 3);
        QCOMPARE(v.w->MSHFlexTodoAño->columna(), 5);

        // A span over the year end, in a later row (the row above holds no span).
        v.plantar(2, u"Invernal"_s, 22);
        QCOMPARE(v.fila(3), u"CCCcc................CCC"_s);
        QCOMPARE(w.Sesion.ranura(2).inicio, 22);
        QCOMPARE(w.Sesion.ranura(2).final, 27);
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
        Rejilla v(6, 14);
        v.agregar(u"Tardía"_s, 3, 12, 60, 90);
        QVERIFY(v.abrir(2010, 1));
        v.r.respuestaMensaje = respuesta;
        v.plantar(0, u"Tardía"_s, columna);
        QCOMPARE(v.r.avisos(),
                 QStringList{u"Advertencia|SinIcono|SiNo|No es posible <Tardía>, escoge otro u otra fecha"_s});
        QCOMPARE(v.fila(1), kVacia);
        QCOMPARE(v.picker(0), CultivoVacio);
        QCOMPARE(v.estado(), kVerde.arg(CultivoVacio));
        QCOMPARE(v.w->Sesion.ranura(0).inicio, 0); // nothing recorded
        QCOMPARE(v.w->Sesion.ranura(0).final, 0);
        QVERIFY(v.w->MSHFlexTodoAño->tieneImagen(1, 5)); // the marks stay
    }

    void solapeRechaza()
    {
        Rejilla v;
        QVERIFY(v.abrir(2010, 1));
        FormPrincipal &w = *v.w;
        v.plantar(0, u"Tomates"_s, 8);   // 8..12
        v.plantar(1, u"Lechugas"_s, 10); // 10..12
        QCOMPARE(
            v.r.avisos(),
            QStringList{
                u"hay solape de fechas|Critico|SoloAceptar|Esa fecha de siembra/trasplante se solapa con Tomates"_s});
        QCOMPARE(v.fila(2), kVacia);
        QCOMPARE(v.picker(1), CultivoVacio);
        QCOMPARE(v.estado(), kVerde.arg(CultivoVacio));
        QCOMPARE(w.Sesion.ranura(1).inicio, 10); // the refused span stays recorded
        QCOMPARE(w.Sesion.ranura(1).final, 12);
        QVERIFY(!w.Sesion.ranura(1).colocado); // but is no placement
        QVERIFY(w.Sesion.ranura(0).colocado);
        QCOMPARE(v.fila(1), u".......CCCCCccccc......."_s); // row 1 is untouched

        // The row above counts with its recorded span even when its picker
        // shows no crop.
        v.r.limpiar();
        v.plantar(2, u"Prueba"_s, 10);
        QCOMPARE(v.r.textos(), QStringList{u"Esa fecha de siembra/trasplante se solapa con "_s + CultivoVacio});

        // A later date is accepted.
        v.r.limpiar();
        v.plantar(1, u"Lechugas"_s, 15);
        QCOMPARE(v.r.mensajes().size(), 0);
        QCOMPARE(w.Sesion.ranura(1).inicio, 15);
        QCOMPARE(v.estado(), kValidar);
    }

    void siguienteConRegistro()
    {
        Rejilla v;
        QVERIFY(v.abrir(2010, 1));
        v.w->ModoExplicito->setChecked(true);
        v.plantar(0, u"Tomates"_s, 8);
        const QStringList lineas = v.registro();
        QVERIFY(lineas.contains(u"Por repetición de la familia Solanáceas Extraido el cultivo:Pimientos"_s));
        QVERIFY(lineas.contains(u"Por repetición de Flor, Semilla y fruto sacado el cultivo:Judías"_s));
        QVERIFY(lineas.contains(u"Por repetición de Profundas sacado el cultivo:Cardos"_s));
        QCOMPARE(v.picker(1), CultivoVacio); // the picker keeps showing the empty-crop entry

        // A placement in row 4 fills no further picker.
        const QStringList antes = elementos(v.w->ComboCult[3]);
        v.plantar(3, u"Coles"_s, 14);
        QCOMPARE(v.estado(), kValidar);
        QCOMPARE(elementos(v.w->ComboCult[3]), antes);
    }

    void siguienteTrasOtraHoja()
    {
        // After a placement in row 1 the grid's current row is 1, so a click
        // on another sheet narrows picker 1 after an empty slot 1, whose empty
        // properties take the empty-crop entry out: it is put back, and a
        // refused placement falls back to it.
        Rejilla v;
        QVERIFY(v.abrir(2010, 1));
        v.plantar(0, u"Tomates"_s, 8); // records 8..12 for slot 1
        v.pulsarHoja(2);
        QCOMPARE(v.w->ComboCult[1]->itemText(0), CultivoVacio);
        QCOMPARE(v.picker(1), CultivoVacio);
        v.r.limpiar();
        v.plantar(1, u"Lechugas"_s, 10); // overlaps the span still recorded above
        QCOMPARE(v.r.mensajes().size(), 1);
        QCOMPARE(v.picker(1), CultivoVacio);
        QCOMPARE(v.estado(), kVerde.arg(CultivoVacio));
    }

    // ---- Loading a sheet -------------------------------------------------

    void hojaSinFilas()
    {
        Rejilla v;
        QVERIFY(v.abrir(2010, 1));
        FormPrincipal &w = *v.w;
        v.elegir(0, u"Tomates"_s);
        w.LeerCultivos();
        const QStringList lista = elementos(w.ComboCult[0]);
        QCOMPARE(lista.first(), CultivoVacio);
        QCOMPARE(lista.size(), w.CultivosPosiblesSinHelada.size());
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(elementos(w.ComboCult[k]), lista);
            QCOMPARE(v.picker(k), CultivoVacio);
            QCOMPARE(v.fila(k + 1), kVacia);
        }
        QVERIFY(!w.LeyendoCultivo);
    }

    void hojaConCultivosGuardados()
    {
        Rejilla v;
        v.sembrar({u"2010|1|Tomates|8|12"_s, u"2010|2|Coles|5|8"_s});
        v.bd.sembrar(u"HUERTO"_s, {u"2010|1|Ajos|20|30"_s});
        QVERIFY(v.abrir(2010, 1));
        FormPrincipal &w = *v.w;
        QCOMPARE(v.picker(0), u"Tomates"_s);
        QCOMPARE(v.picker(1), u"Ajos"_s);
        QCOMPARE(v.picker(2), CultivoVacio);
        QCOMPARE(w.Sesion.ranura(1).inicio, 20);
        QCOMPARE(w.Sesion.ranura(1).final, 30);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(w.Sesion.ranura(k).colocado, k < 2);
        // Painted without sowing windows, and nothing was asked.
        QCOMPARE(v.fila(1), u".......CCCCC............"_s);
        QCOMPARE(v.fila(2), u"ssssss.............CCCCC"_s);
        QCOMPARE(v.fila(3) + v.fila(4), kVacia + kVacia);
        QCOMPARE(v.r.mensajes().size(), 0);
        QVERIFY(!v.ofrece(0, u"Coles"_s)); // on sheet 2 this year

        // A reload for the grid's current row keeps the stored crop shown.
        w.MSHFlexTodoAño->setCelda(2, 3);
        w.CultivosCombos(w.MSHFlexTodoAño->fila());
        QCOMPARE(v.picker(2), CultivoVacio);
        w.MSHFlexTodoAño->setCelda(1, 3);
        w.CultivosCombos(w.MSHFlexTodoAño->fila());
        QCOMPARE(v.picker(1), u"Ajos"_s);
        QVERIFY(!v.ofrece(1, u"Pimientos"_s));

        // With no sheet chosen the crops of every sheet are left out.
        w.HojaActual = 0;
        w.LeerCultivos();
        QVERIFY(!v.ofrece(0, u"Coles"_s) && !v.ofrece(0, u"Tomates"_s));
        QVERIFY(v.ofrece(0, u"Lechugas"_s));
        QCOMPARE(v.picker(0), CultivoVacio);
    }

    void plurianualesEnLaPrimeraFila_data()
    {
        QTest::addColumn<QStringList>("filas"); // on sheet 1
        QTest::addColumn<int>("veces");         // how many times picker 0 lists Fresas
        QTest::newRow("de años anteriores") << QStringList{"2009|1|Fresas|1|24", "2010|1|Fresas|1|30"} << 1;
        QTest::newRow("plantada este año") << QStringList{"2010|1|Fresas|18|24"} << 2;
    }

    void plurianualesEnLaPrimeraFila()
    {
        QFETCH(QStringList, filas);
        QFETCH(int, veces);
        Rejilla v;
        v.sembrar(filas);
        QVERIFY(v.abrir(2010, 1));
        QCOMPARE(elementos(v.w->ComboCult[0]).count(u"Fresas"_s), veces);
        QCOMPARE(elementos(v.w->ComboCult[1]).count(u"Fresas"_s), veces - 1);
        QCOMPARE(v.picker(0), u"Fresas"_s);
        QCOMPARE(v.r.mensajes().size(), 0);

        // The follow-on picker leaves the appended entry behind and offers
        // no strawberries after strawberries.
        v.w->MSHFlexTodoAño->setCelda(1, 1);
        v.w->CultivosCombos(1);
        QVERIFY(!v.ofrece(1, u"Fresas"_s));
        QVERIFY(v.w->ComboCult[1]->count() > 10);
    }

    void cultivoGuardadoQueYaNoCabe()
    {
        Rejilla v;
        v.sembrar({u"2010|1|Tomates|8|12"_s, u"2010|1|Coles|14|17"_s, u"2010|1|Ajos|20|30"_s, u"2010|3|Coles|14|17"_s});
        QVERIFY(v.abrir(2010, 2));
        v.w->HojaActual = 1;
        v.w->LeerCultivos();
        QCOMPARE(v.r.avisos(), QStringList{u"Cambio del sistema libre de heladas|Critico|SoloAceptar|no puedo poner el"
                                           " cultivo <Coles> porque no pertenece a la fecha libre de heladas"_s});
        QCOMPARE(v.picker(0), u"Tomates"_s);
        QCOMPARE(v.picker(1), CultivoVacio);
        QCOMPARE(v.picker(2), CultivoVacio);
        QVERIFY(!v.fila(3).contains(u'C'));
        QVERIFY(!v.w->LeyendoCultivo);
        // Picking a crop afterwards works as usual.
        v.elegir(1, u"Lechugas"_s);
        QCOMPARE(v.fila(2), u"...vvvvvvv....vvvvvvv..."_s);
    }

    void quintaFilaSinSitio()
    {
        Rejilla v;
        v.sembrar({u"2010|1|Tomates"_s, u"2010|1|Coles"_s, u"2010|1|Lechugas"_s, u"2010|1|Judías"_s, u"2010|1|Ajos"_s});
        QVERIFY(v.abrir(2010, 1));
        QCOMPARE(v.picker(3), u"Judías"_s);
        QCOMPARE(v.r.mensajes().size(), 0);
    }

    void cultivoVacioSacadoPorLasReglas()
    {
        // A crop of last year that the catalogue no longer holds: the family
        // rule takes the empty-crop entry out, yet every slot can stay empty.
        Rejilla v;
        v.sembrar({u"2009|1|Yuca|5|9"_s});
        QVERIFY(v.abrir(2010, 1));
        v.w->ModoExplicito->setChecked(true);
        v.w->LeerCultivos();
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(v.w->ComboCult[k]->itemText(0), CultivoVacio);
            QCOMPARE(v.picker(k), CultivoVacio);
        }
        QCOMPARE(elementos(v.w->ComboCult[0]).count(CultivoVacio), 1);
        QCOMPARE(v.registro().first(), u"Por repetición de la familia  Extraido el cultivo:"_s + CultivoVacio);
    }

    void interruptoresComoEstan()
    {
        Rejilla v;
        v.sembrar({u"2009|1|Tomates|8|12"_s});
        QVERIFY(v.abrir(2010, 1));
        QVERIFY(!v.ofrece(0, u"Judías"_s));
        QVERIFY(!v.ofrece(0, u"Calabazas"_s));
        v.w->CheckRepetirFrutos->setChecked(true); // ticked, not saved
        v.w->LeerCultivos();
        QVERIFY(v.ofrece(0, u"Judías"_s));
        QVERIFY(!v.ofrece(0, u"Calabazas"_s));
        v.w->CheckRepetirRaices->setChecked(true);
        v.w->LeerCultivos();
        QVERIFY(v.ofrece(0, u"Calabazas"_s));
        QVERIFY(!v.ofrece(0, u"Pimientos"_s));
    }

    void falloAlLeer()
    {
        Rejilla v;
        QVERIFY(v.abrir(2010, 1));
        const QStringList antes = elementos(v.w->ComboCult[1]);
        QFile::rename(v.bd.fichero(), v.bd.fichero() + u".fuera"_s);
        QVERIFY_THROWS_EXCEPTION(ErrorBD, v.w->LeerCultivos());
        QVERIFY(!v.w->LeyendoCultivo);
        QVERIFY_THROWS_EXCEPTION(ErrorBD, v.w->CultivosCombos(1));
        // A failed read changes nothing.
        QCOMPARE(elementos(v.w->ComboCult[1]), antes);
        // The handlers tell the user and go on.
        v.r.limpiar();
        v.w->ComboCult_Click(0);
        v.w->MSHFlexTodoAño->setCelda(1, 5);
        v.w->MSHFlexTodoAño_Click();
        QCOMPARE(v.r.mensajes().size(), 2);
        QVERIFY(v.r.textos().first().startsWith(u"No se ha podido leer la base de datos"_s));
        QFile::rename(v.bd.fichero() + u".fuera"_s, v.bd.fichero());
    }
};

QTEST_MAIN(TestRejilla)
#include "test_rejilla.moc"
