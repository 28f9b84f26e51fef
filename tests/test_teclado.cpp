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

// Tab (or Shift+Tab) from the focus until it comes back: where focus went.
QList<QWidget *> vuelta(Qt::Key tecla)
{
    QWidget *inicio = QApplication::focusWidget();
    QList<QWidget *> r;
    while (QApplication::focusWidget() && r.size() < 200) {
        QTest::keyClick(QApplication::focusWidget(), tecla);
        r << QApplication::focusWidget();
        if (r.last() == inicio)
            break;
    }
    return r;
}

// Whether the user sees one of paneles (c's own aside) where c is, at some
// point of c (a grid of them, its edges included): the window's topmost widget
// there is that panel or inside it.
bool tapado(const QWidget *c, const QList<QWidget *> &paneles)
{
    const auto puntos = [](int largo) {
        QList<int> r;
        for (int i = 0; i < largo; i += 4)
            r << i;
        return r << largo - 1;
    };
    for (int y : puntos(c->height()))
        for (int x : puntos(c->width())) {
            const QWidget *arriba = c->window()->childAt(c->mapTo(c->window(), QPoint(x, y)));
            for (const QWidget *p : paneles)
                if (arriba && !p->isAncestorOf(c) && (arriba == p || p->isAncestorOf(arriba)))
                    return true;
        }
    return false;
}

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

    // While panels show, Tab and Shift+Tab go round the whole chain without
    // landing on a control that a panel lies over, even in part, and reach
    // the panels' controls and those beside or above them; a control shown
    // under a panel stays out, and the focus on a control a panel covers
    // moves into the panel. Closed, the chain and the policies are as before.
    void paneles_data()
    {
        QTest::addColumn<QStringList>("casillas"); // the boxes opening the panels, in order
        QTest::addColumn<QString>("enfocado"); // focused when the last opens by a click; "" by its Space
        QTest::addColumn<bool>("hojaDebajo"); // the crop frame hidden, then shown by a map click
        QTest::addColumn<QStringList>("alcanzados");
        QTest::addColumn<int>("ajena"); // a policy the first picker is given while covered, or -1
        const QStringList luna{u"CheckLuna"_s}, opciones{u"CheckParcelasOpciones"_s},
            ambas{u"CheckParcelasOpciones"_s, u"CheckLuna"_s};
        // The moon panel hides the top edge of the fourth picker, not the button below.
        const QStringList junto{u"MonthView1"_s, u"ListLunar"_s, u"BtValidaCultivos"_s, u"arbolaños"_s,
                                u"CheckLuna"_s};
        QTest::newRow("luna") << luna << "" << false << junto << -1;
        QTest::newRow("luna, foco tapado") << luna << "ComboCult0" << false << junto << -1;
        QTest::newRow("luna, hoja abierta debajo") << luna << "" << true << junto << -1;
        QTest::newRow("luna, política ajena con Tab") << luna << "" << false << junto << int(Qt::StrongFocus);
        QTest::newRow("luna, política ajena sin Tab") << luna << "" << false << junto << int(Qt::ClickFocus);
        const QStringList alLado{u"ComboNHojas"_s, u"Map2"_s, u"BtGuardar"_s, u"CheckParcelasOpciones"_s,
                                 u"ComboCult0"_s, u"BtValidaCultivos"_s, u"BtVaciaHoja"_s};
        QTest::newRow("opciones") << opciones << "" << false << alLado << -1;
        QTest::newRow("opciones, foco tapado") << opciones << "Map1" << false << alLado << -1;
        // The options panel lies over the moon panel's right side.
        const QStringList encima{u"Map2"_s, u"BtGuardar"_s, u"CheckLuna"_s, u"BtValidaCultivos"_s};
        QTest::newRow("luna bajo opciones") << ambas << "" << false << encima << -1;
    }

    void paneles()
    {
        QFETCH(QStringList, casillas);
        QFETCH(QString, enfocado);
        QFETCH(bool, hojaDebajo);
        QFETCH(QStringList, alcanzados);
        QFETCH(int, ajena);
        Huerto h;
        QVERIFY(h.abrir(2010, 2));
        FormPrincipal &w = *h.w;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto politicas = [&w] {
            QHash<QWidget *, int> r;
            for (QWidget *c : w.findChildren<QWidget *>()) {
                auto *b = qobject_cast<QAbstractButton *>(c);
                if (!b || !b->autoExclusive()) // Qt keeps only the checked one of these on the chain
                    r[c] = c->focusPolicy();
            }
            return r;
        };
        QWidget *inicio = control(w, casillas.last());
        inicio->setFocus();
        QList<QWidget *> antes = vuelta(Qt::Key_Tab);
        QHash<QWidget *, int> politicasAntes = politicas();
        QCOMPARE(antes.last(), inicio);

        MapaControl *mapa = control<MapaControl>(w, "Map1");
        QWidget *marco = control(w, "FrameCultivo");
        if (hojaDebajo) { // a click off the sheets
            QTest::mouseClick(mapa, Qt::LeftButton, {}, QPoint(1, 1));
            QVERIFY2(!marco->isVisible(), "the click hit a sheet");
        }
        QList<QWidget *> paneles;
        for (const QString &nombre : casillas) {
            auto *casilla = control<QCheckBox>(w, nombre);
            paneles << control(w, nombre == u"CheckLuna"_s ? u"FrameFasesLuna"_s : u"PictureOpcionesParcelas"_s);
            if (nombre != casillas.last() || !enfocado.isEmpty()) {
                if (!enfocado.isEmpty())
                    control(w, enfocado)->setFocus();
                casilla->click();
            } else {
                casilla->setFocus();
                QTest::keyClick(casilla, Qt::Key_Space);
            }
            QVERIFY(paneles.last()->isVisible());
        }
        if (!enfocado.isEmpty()) {
            QVERIFY2(tapado(control(w, enfocado), paneles), "the panel leaves the focused control in sight");
            QVERIFY(paneles.last()->isAncestorOf(QApplication::focusWidget()));
        }
        if (hojaDebajo) { // sheet 2 where the panel leaves the map in sight
            const QPoint p = pixelDeHoja(mapa, 2);
            QVERIFY2(w.childAt(mapa->mapTo(&w, p)) == mapa, "the panel hides sheet 2");
            QTest::mouseClick(mapa, Qt::LeftButton, {}, p);
            QVERIFY(marco->isVisible() && tapado(control(w, "ComboCult0"), paneles));
        }
        if (ajena >= 0) { // still out while covered, and kept once uncovered
            control(w, "ComboCult0")->setFocusPolicy(Qt::FocusPolicy(ajena));
            politicasAntes[control(w, "ComboCult0")] = ajena;
            if (!(ajena & Qt::TabFocus))
                antes.removeOne(control(w, "ComboCult0"));
        }

        const QWidget *desde = QApplication::focusWidget();
        for (Qt::Key tecla : {Qt::Key_Tab, Qt::Key_Backtab}) {
            const QList<QWidget *> recorrido = vuelta(tecla);
            QCOMPARE(recorrido.last(), desde);
            for (const QWidget *c : recorrido)
                QVERIFY2(!tapado(c, paneles), qPrintable(c->objectName() + u' ' + c->accessibleName()));
            for (const QString &nombre : alcanzados) {
                const QWidget *c = control(w, nombre);
                QVERIFY2(std::any_of(recorrido.cbegin(), recorrido.cend(),
                                     [c](const QWidget *v) { return v == c || c->isAncestorOf(v); }),
                         qPrintable(nombre));
            }
        }

        for (const QString &nombre : casillas)
            control<QCheckBox>(w, nombre)->click();
        QVERIFY(!paneles.first()->isVisible() && !paneles.last()->isVisible());
        inicio->setFocus();
        QCOMPARE(vuelta(Qt::Key_Tab), antes);
        QCOMPARE(politicas(), politicasAntes);
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
