// A plan made without the mouse, and what a screen reader is told.
#include "fixtures/VentanaPrueba.h"
#include "auxiliary/FormPortada.h"
#include "calendario/PaginaCalendario.h"
#include "designer/PanelOpciones.h"

#include <QAccessible>
#include <QApplication>

using namespace Qt::StringLiterals;

namespace {

// Presses tecla on the focus widget until hecho(); vistos: where focus went.
QList<QWidget *> vistos;
template <typename F>
bool pulsarHasta(Qt::Key tecla, F hecho)
{
    for (int i = 0; i < 80 && !hecho(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), tecla);
        vistos << QApplication::focusWidget();
    }
    return hecho();
}
auto foco(QWidget *destino) { return [destino] { return QApplication::focusWidget() == destino; }; }

} // namespace

class TestTeclado : public QObject
{
    Q_OBJECT

    std::unique_ptr<Huerto> h; // frost-free from fortnight 3; sheet 2 of 2010 holds Habas

private slots:
    // Year from the tree, sheet from the map, crop, placement (a refused cell
    // first), validation; the options panel, a new plot, the splash.
    void recorridoSinRaton()
    {
        Huerto h;
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(pulsarHasta(Qt::Key_Tab, foco(control<QTreeWidget>(w, "arbolaños"))));
        QVERIFY(!vistos.contains(control(w, "ListModoExplicito")) && vistos.contains(control(w, "Map1"))); // map first
        control<QTreeWidget>(w, "arbolaños")->setCurrentItem(h.nodoAño(2010));
        QTest::keyClick(control<QTreeWidget>(w, "arbolaños"), Qt::Key_Space);

        QVERIFY(pulsarHasta(Qt::Key_Backtab, foco(control<MapaControl>(w, "Map1"))));
        const int hoja2 = indiceDeHoja(control<MapaControl>(w, "Map1")->GetObject(0), 2);
        QVERIFY(pulsarHasta(Qt::Key_Left, [&] { return control<MapaControl>(w, "Map1")->FormaEnfocada() == hoja2; }));
        QTest::keyClick(control<MapaControl>(w, "Map1"), Qt::Key_Return);

        QVERIFY(pulsarHasta(Qt::Key_Tab, foco(control<QComboBox>(w, "ComboCult0"))));
        QTest::keyClicks(control<QComboBox>(w, "ComboCult0"), u"Tom"_s); // the picker's own search, as typed
        QVERIFY(pulsarHasta(Qt::Key_Tab, foco(control<CuadriculaFlex>(w, "MSHFlexTodoAño"))));
        CuadriculaFlex *g = control<CuadriculaFlex>(w, "MSHFlexTodoAño");
        QVERIFY(pulsarHasta(Qt::Key_Up, [&] { return g->currentRow() == 1; }));
        QVERIFY(pulsarHasta(Qt::Key_Right, [&] { return g->currentColumn() == 2; }));
        QTest::keyClick(g, Qt::Key_Enter); // not a sowing fortnight: refused
        QVERIFY(pulsarHasta(Qt::Key_Right, [&] { return g->currentColumn() == 8; }));
        QTest::keyClick(g, Qt::Key_Space);
        QVERIFY(pulsarHasta(Qt::Key_Tab, foco(control<QPushButton>(w, "BtValidaCultivos"))));
        QTest::keyClick(control<QPushButton>(w, "BtValidaCultivos"), Qt::Key_Space);
        QCOMPARE(h.filas(), QStringList{u"2010|2|Tomates|8|12"_s});

        QVERIFY(pulsarHasta(Qt::Key_Backtab, foco(control<QCheckBox>(w, "CheckParcelasOpciones"))));
        QTest::keyClick(control<QCheckBox>(w, "CheckParcelasOpciones"), Qt::Key_Space);
        vistos.clear();
        QVERIFY(pulsarHasta(Qt::Key_Tab, foco(control<QPushButton>(w, "BtValidaCultivos"))));
        QVERIFY(vistos.contains(control<PanelOpciones>(w, "PictureOpcionesParcelas")->Picture3)
                && vistos.contains(control(w, "BtGuardar")));
        QVERIFY(!vistos.contains(control(w, "arbolaños")) && !vistos.contains(control(w, "Map1")));
        QTest::keyClick(control<QPushButton>(w, "BtValidaCultivos"), Qt::Key_Escape);
        QVERIFY(!control(w, "PictureOpcionesParcelas")->isVisible()
                && !control<QCheckBox>(w, "CheckParcelasOpciones")->isChecked());

        control<QCheckBox>(w, "CheckCrearParcela")->setChecked(true);
        QTest::keyClick(control<QLineEdit>(w, "TextCrearNuevaParcela"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(control<QLineEdit>(w, "TextCrearNuevaParcela"), u"Bancal"_s);
        QTest::keyClick(control<QLineEdit>(w, "TextCrearNuevaParcela"), Qt::Key_Return);
        QVERIFY(!control<QListWidget>(w, "ListaParcelas")->findItems(u"Bancal"_s, Qt::MatchExactly).isEmpty());
        FormPortada portada;
        portada.show();
        QTest::keyClick(&portada, Qt::Key_Escape);
        QCOMPARE(portada.result(), int(QDialog::Accepted));
    }

    void initTestCase()
    {
        h = std::make_unique<Huerto>(4, 3, 24);
        h->sembrar({u"2010|2|Habas|3|10"_s});
        QVERIFY(h->abrir(2010, 2));
        QVERIFY(h->elegir(1, u"Tomates"_s));
    }

    // Every control that Tab reaches is named or described (web pages aside).
    void todosConNombre()
    {
        for (QWidget *c : h->w->findChildren<QWidget *>()) {
            if (!(c->focusPolicy() & Qt::TabFocus) || c->objectName().startsWith(u"qt_"_s)
                || c->parentWidget()->inherits("QWebEngineView"))
                continue;
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(c);
            QVERIFY2(!(i->text(QAccessible::Name) + i->text(QAccessible::Description)).isEmpty(),
                     c->metaObject()->className());
        }
    }

    // Names and descriptions through Qt's accessibility interfaces.
    void nombres_data()
    {
        FormPrincipal &w = *h->w;
        QTest::addColumn<QObject *>("objeto");
        QTest::addColumn<QString>("hijo"); // a grid cell "row column", or a child's index
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("descripcion");
        QObject *g = control<CuadriculaFlex>(w, "MSHFlexTodoAño"), *mapa = control<MapaControl>(w, "Map1");
        const Shapefile *hojas = control<MapaControl>(w, "Map1")->GetObject(0);
        QTest::newRow("encabezado") << g << "0 5" << "1ª quincena de marzo" << "";
        QTest::newRow("cultivo") << g << "1 3" << "1ª quincena de febrero: Habas, cultivo" << "";
        QTest::newRow("helada") << g << "1 2" << "2ª quincena de enero: helada" << "";
        QTest::newRow("vacía") << g << "1 14" << "2ª quincena de julio: vacía" << "";
        QTest::newRow("siembra") << g << "2 8" << "2ª quincena de abril: Tomates, siembra" << "";
        QTest::newRow("hoja elegida") << mapa << QString::number(indiceDeHoja(hojas, 2)) << "Hoja 2: Habas" << "";
        QTest::newRow("otra hoja") << mapa << QString::number(indiceDeHoja(hojas, 1)) << "Hoja 1" << "";
        QTest::newRow("picker lleno") << control<QObject>(w, "ComboCult0") << "" << "Habas" << "Cultivo 1";
        QTest::newRow("picker vacío") << control<QObject>(w, "ComboCult2") << "" << modBasico::CultivoVacio << "Cultivo 3";
        QTest::newRow("valor") << control<QObject>(w, "TextFresa") << "" << "3" << "Años de Fresa";
        QTest::newRow("aviso") << (QObject *)control<PaginaCalendario>(w, "PaginaBiodinamica")->Aviso << "" << "Cargando el calendario biodinámico…"
                               << "Aviso del calendario";
        QTest::newRow("cerrar") << (QObject *)control<PanelOpciones>(w, "PictureOpcionesParcelas")->Picture3 << "" << "Cerrar"
                                << "Cerrar";
    }

    void nombres()
    {
        QFETCH(QObject *, objeto);
        QFETCH(QString, hijo);
        QFETCH(QString, nombre);
        QFETCH(QString, descripcion);
        QAccessibleInterface *i = QAccessible::queryAccessibleInterface(objeto);
        const QStringList celda = hijo.split(u' ');
        if (celda.size() == 2)
            i = i->tableInterface()->cellAt(celda.at(0).toInt(), celda.at(1).toInt());
        else if (!hijo.isEmpty())
            i = i->child(hijo.toInt());
        QVERIFY(i);
        QCOMPARE(i->role() == QAccessible::Button, nombre == u"Cerrar"_s); // the close box is heard as a button
        QCOMPARE(i->text(QAccessible::Name), nombre);
        QCOMPARE(i->text(QAccessible::Description), descripcion);
        if (objeto == control<MapaControl>(*h->w, "Map1")) // the chosen sheet, and only it, is selected
            QCOMPARE(bool(i->state().selected), nombre.contains(u"Habas"_s));
    }
};

QTEST_MAIN(TestTeclado)
#include "test_teclado.moc"
