// The plot list and the plot-options panel, driven from the window.
#include "core/Conexion.h"
#include "designer/PanelOpciones.h"
#include "fixtures/VentanaPrueba.h"

#include <QSlider>

using namespace Qt::StringLiterals;

namespace {

// A click near the left end, where every button's caption starts.
void pulsar(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(qMin(8, w->width() / 2), w->height() / 2));
}

// False (call it inside QVERIFY) when the list lacks the plot.
[[nodiscard]] bool pulsarParcela(FormPrincipal &w, const QString &nombre)
{
    QListWidget *l = control<QListWidget>(w, "ListaParcelas");
    const auto hallada = l->findItems(nombre, Qt::MatchExactly);
    if (!hallada.isEmpty())
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(hallada.first()).center());
    return !hallada.isEmpty();
}

// The preset button for that many months (0: "Especificar").
void pulsarPreset(FormPrincipal &w, int meses)
{
    pulsar(control(w, u"OptionMeses%1"_s.arg(QList<int>{3, 6, 9, 12, 0}.indexOf(meses))));
}

int marcasHelada(const FormPrincipal &w)
{
    int n = 0;
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 24; ++c)
            n += control<CuadriculaFlex>(w, "MSHFlexTodoAño")->tieneImagen(r, c);
    return n;
}

} // namespace

class TestOpciones : public QObject
{
    Q_OBJECT

private slots:
    // A switch to another plot moves the last-used mark and clears the crop
    // editor and the frost marks: no sheet is open, and validating (after a
    // save too) stores nothing.
    void cambiar()
    {
        Huerto h(4, 5, 19);
        h.bd.agregarParcela(u"Otra"_s, 6, 1, 1);
        h.sembrar({u"2010|2|Tomates|8|12"_s});
        QVERIFY(h.abrir(2010, 2));
        QCOMPARE(control<QComboBox>(*h.w, "ComboCult0")->currentText(), u"Tomates"_s);
        QCOMPARE(marcasHelada(*h.w), 40);
        QVERIFY(pulsarParcela(*h.w, u"Otra"_s));
        QCOMPARE(h.bd.valor(u"select group_concat(NombreParcela) from Parcelas where ultima"_s).toString(), u"Otra"_s);
        QCOMPARE(control<QComboBox>(*h.w, "ComboCult0")->currentText(), QString());
        QCOMPARE(marcasHelada(*h.w), 0);
        QCOMPARE(h.w->sesion().hoja(), 0);
        pulsar(control<QCheckBox>(*h.w, "CheckParcelasOpciones"));
        pulsar(control<QPushButton>(*h.w, "BtGuardar"));
        pulsar(control<QPushButton>(*h.w, "BtValidaCultivos"));
        QCOMPARE(h.r.textos(), {u"No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de validar."_s});
        QCOMPARE(h.bd.contar(u"BDParcela"_s), 1);
    }

    // The plot clicked again rebuilds on the current year: a sheet opened in
    // another year shows and stores the current year's crops, never that year's.
    void mismaParcelaOtraVez()
    {
        Huerto h(4);
        const int hoy = QDate::currentDate().year();
        h.sembrar({u"2010|2|Habas|4|8"_s, u"%1|2|Tomates|8|12"_s.arg(hoy)});
        QVERIFY(h.abrir(2010, 2));
        QVERIFY(pulsarParcela(*h.w, u"Huerto"_s));
        QCOMPARE(control<QComboBox>(*h.w, "ComboCult0")->currentText(), u"Tomates"_s);
        pulsar(control<QPushButton>(*h.w, "BtValidaCultivos"));
        QCOMPARE(h.filas(), QStringList({u"2010|2|Habas|4|8"_s, u"%1|2|Tomates|8|12"_s.arg(hoy)}));
    }

    // Switching back and forth leaves nothing behind: the frost mark is one
    // picture drawn once (every drawing of it would stay in Qt's pixmap
    // cache), and back on the same plot the window holds as many objects,
    // and the program as many database connections, as the first time.
    void cambiosSinRestos()
    {
        Huerto h(4, 5, 19);
        h.bd.agregarParcela(u"Otra"_s, 6, 6, 21);
        QVERIFY(h.arrancar());
        QListWidget *l = control<QListWidget>(*h.w, "ListaParcelas");
        const CuadriculaFlex *g = control<CuadriculaFlex>(*h.w, "MSHFlexTodoAño");
        const auto idaYVuelta = [l] {
            l->setCurrentRow(1 - l->currentRow());
            l->setCurrentRow(1 - l->currentRow());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        idaYVuelta();
        const qint64 marca = g->imagen(1, 1).cacheKey();
        QVERIFY(!g->imagen(1, 1).isNull());
        const qsizetype objetos = h.w->findChildren<QObject *>().size();
        const qsizetype conexiones = QSqlDatabase::connectionNames().size();
        for (int vez = 0; vez < 3; ++vez) {
            idaYVuelta();
            QCOMPARE(g->imagen(1, 1).cacheKey(), marca);
            QCOMPARE(h.w->findChildren<QObject *>().size(), objetos);
            QCOMPARE(QSqlDatabase::connectionNames().size(), conexiones);
        }
    }

    // Presets move and lock the pickers; "Guardar" stores the bounds and
    // redraws the frost marks; a plot row gone meanwhile is not written anew,
    // and with the file held by another program the user is told: the panel
    // stays open as edited, nothing rebuilt.
    void presets_data()
    {
        QTest::addColumn<QList<int>>("pulsados");
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("final");
        QTest::addColumn<QString>("otra"); // run meanwhile from another connection
        QTest::addColumn<QString>("fila");
        QTest::addColumn<int>("marcas");
        QTest::newRow("3") << QList<int>{3} << 12 << 18 << "" << "Huerto|4|12|18|000|436|1" << 72;
        // Deleted by another copy of the program: refused, not brought back.
        QTest::newRow("parcela borrada") << QList<int>{12} << 1 << 1 << "delete from Parcelas" << "" << 40;
        QTest::newRow("bloqueada") << QList<int>{12} << 1 << 1 << "BEGIN EXCLUSIVE" << "Huerto|4|5|19|000|436|1" << 40;
    }

    void presets()
    {
        QFETCH(QList<int>, pulsados);
        QFETCH(int, inicio);
        QFETCH(int, final);
        QFETCH(QString, otra);
        QFETCH(QString, fila);
        QFETCH(int, marcas);
        Huerto h(4, 5, 19);
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        pulsar(control<QCheckBox>(w, "CheckParcelasOpciones"));
        for (int meses : pulsados)
            pulsarPreset(w, meses);
        QCOMPARE(control<QComboBox>(w, "ComboMLH0")->currentIndex(), inicio - 1);
        QCOMPARE(control<QComboBox>(w, "ComboMLH1")->currentIndex(), final - 1);
        QVERIFY(!control(w, "ComboMLH0")->isEnabled() && !control(w, "LabelMeses1")->isEnabled());
        const bool bloqueada = otra.startsWith(u"BEGIN"_s), rechazada = !otra.isEmpty();
        Conexion con(h.bd.fichero());
        if (rechazada)
            con.ejecutar(otra);
        pulsar(control<QPushButton>(w, "BtGuardar"));
        if (bloqueada)
            con.ejecutar(u"ROLLBACK"_s);
        QCOMPARE(h.bd.parcelas(), fila.isEmpty() ? QStringList() : QStringList{fila});
        QCOMPARE(h.r.mensajes().size(), int(rechazada));
        QCOMPARE(control<QFrame>(w, "PictureOpcionesParcelas")->isVisible(), rechazada);
        QCOMPARE(control<QComboBox>(w, "ComboMLH0")->currentIndex(), inicio - 1);
        QCOMPARE(marcasHelada(w), marcas);
    }

    void perenneDeSeis()
    {
        Huerto h;
        QVERIFY(h.abrir(2010, 2));
        pulsar(control<QCheckBox>(*h.w, "CheckParcelasOpciones"));
        QTest::keyClick(control<QSlider>(*h.w, "SliderFresa"), Qt::Key_End);
        QVERIFY(h.plantar(0, u"Fresas"_s, 18));
        pulsar(control<QPushButton>(*h.w, "BtValidaCultivos"));
        QCOMPARE(h.filas().mid(5), QStringList{u"2015|2|Fresas|1|29"_s}); // six years
        pulsar(control<QPushButton>(*h.w, "BtGuardar"));
        QCOMPARE(h.bd.parcelas(), QStringList{u"Huerto|4|1|1|000|466|1"_s});
    }

    // A save of fewer sheets than the one open leaves no sheet open, and
    // validating stores nothing; as many as the open one keep it.
    void menosHojasQueLaAbierta()
    {
        Huerto h(7);
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        for (int hojas : {6, 5}) {
            QVERIFY(h.pulsarHoja(6));
            pulsar(control<QCheckBox>(w, "CheckParcelasOpciones"));
            control<QComboBox>(w, "ComboNHojas")->setCurrentText(QString::number(hojas));
            pulsar(control<QPushButton>(w, "BtGuardar"));
            QCOMPARE(w.sesion().hoja(), hojas == 6 ? 6 : 0);
            QCOMPARE(control<QGroupBox>(w, "FrameCultivo")->title(), hojas == 6 ? u"Hoja :6"_s : u"Hoja :"_s);
        }
        h.r.limpiar();
        pulsar(control<QPushButton>(w, "BtValidaCultivos"));
        QCOMPARE(h.r.textos(), {u"No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de validar."_s});
        QCOMPARE(h.bd.contar(u"BDParcela"_s), 0);
    }

    // Create, set the options, save, switch back and delete, by clicks alone;
    // the refusals on the way change nothing.
    void recorrido()
    {
        Huerto h(4, 5, 19);
        h.sembrar({u"2010|2|Habas|3|10"_s});
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        pulsar(control<QCheckBox>(w, "CheckCrearParcela"));
        pulsar(control<QPushButton>(w, "BtCrearNuevaParcela")); // the placeholder: nothing at all
        pulsar(control<QWidget>(w, "TextCrearNuevaParcela"));
        pulsar(control<QPushButton>(w, "BtCrearNuevaParcela"));
        QTest::keyClicks(control<QWidget>(w, "TextCrearNuevaParcela"), u"HUERTO"_s);
        pulsar(control<QPushButton>(w, "BtCrearNuevaParcela"));
        QCOMPARE(h.r.avisos().size(), 2);
        QVERIFY(h.r.avisos()[0].startsWith(u"Atención|Exclamacion|SoloAceptar|Escribe el nombre"_s));
        QVERIFY(h.r.avisos()[1].startsWith(u"Atención|Exclamacion|SoloAceptar|Ya hay una parcela"_s));
        QCOMPARE(control<QListWidget>(w, "ListaParcelas")->count(), 1);

        pulsar(control<QWidget>(w, "TextCrearNuevaParcela"));
        QTest::keyClicks(control<QWidget>(w, "TextCrearNuevaParcela"), u"Huerto Norte"_s);
        control<QComboBox>(w, "ComboNHojas")->setCurrentIndex(control<QComboBox>(w, "ComboNHojas")->findText(u"5"_s));
        control<QComboBox>(w, "ComboMLH0")->setCurrentIndex(4);
        control<QComboBox>(w, "ComboMLH1")->setCurrentIndex(20);
        pulsar(control<QPushButton>(w, "BtCrearNuevaParcela"));
        QCOMPARE(h.bd.parcelas(), QStringList({u"Huerto|4|5|19|000|436|0"_s, u"Huerto Norte|5|5|21|000|436|1"_s}));
        QVERIFY(control(w, "PictureOpcionesParcelas")->isVisible() && !control(w, "FrameNuevaParcela")->isVisible());
        QCOMPARE(control<QLabel>(w, "LabelParcelaOpciones")->text(), u"Opciones para la parcela: <<<Huerto Norte>>>"_s);

        pulsarPreset(w, 12);
        pulsar(control<QCheckBox>(w, "CheckRepetirRaices"));
        pulsar(control<QPushButton>(w, "BtGuardar"));
        QCOMPARE(h.bd.parcelas().last(), u"Huerto Norte|5|1|1|010|436|1"_s);
        QCOMPARE(control<MapaControl>(w, "Map1")->GetObject(0)->NumShapes(), 5);

        QVERIFY(pulsarParcela(w, u"Huerto"_s));
        QCOMPARE(control<QCheckBox>(w, "CheckRepetirRaices")->checkState(), Qt::Unchecked);
        pulsar(control<QCheckBox>(w, "CheckParcelasOpciones"));
        h.r.limpiar();
        h.r.respuestaMensaje = Respuestas::Intro; // a stray Enter deletes nothing
        pulsar(control<QPushButton>(w, "BtBorrarParcela"));
        QCOMPARE(h.r.avisos(),
                 QStringList{u"¡ Atención !|Critico|SiNo|¿Deseas borrar esta parcela: <Huerto> y todos sus datos?"_s});
        QCOMPARE(h.bd.parcelas().size(), 2);
        QVERIFY(!control(w, "PictureOpcionesParcelas")->isVisible() && control(w, "ListaParcelas")->isEnabled());

        h.r.respuestaMensaje = Dialogos::Si;
        pulsar(control<QPushButton>(w, "BtBorrarParcela"));
        QCOMPARE(h.bd.parcelas(), QStringList{u"Huerto Norte|5|1|1|010|436|1"_s});
        QCOMPARE(h.filas().size(), 0);
        QCOMPARE(lineas(control<QListWidget>(w, "ListaParcelas")), QStringList{u"Huerto Norte"_s});
        QCOMPARE(control<QListWidget>(w, "ListaParcelas")->currentRow(), 0);
        QCOMPARE(control<QPushButton>(w, "BtBorrarParcela")->text(), u"Borrar Huerto Norte"_s);
        h.r.limpiar(); // the last plot is not deleted
        pulsar(control<QPushButton>(w, "BtBorrarParcela"));
        QCOMPARE(h.r.avisos(),
                 QStringList{u"Atención|Informacion|SoloAceptar|No está permitido borrar todas las parcelas"_s});
        QCOMPARE(h.bd.parcelas().size(), 1);
    }
};

QTEST_MAIN(TestOpciones)
#include "test_opciones.moc"
