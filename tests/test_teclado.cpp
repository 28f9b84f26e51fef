// A plan made without the mouse, and what a screen reader is told.
#include "fixtures/VentanaPrueba.h"
#include "core/ArbolPlan.h"
#include "auxiliary/FormPortada.h"
#include "designer/PanelOpciones.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// Tab until destino has the focus; every widget passed through goes to vistos.
bool tabHasta(QWidget *destino, QList<QWidget *> &vistos, Qt::Key tecla = Qt::Key_Tab)
{
    for (int i = 0; i < 80 && QApplication::focusWidget() != destino; ++i) {
        QTest::keyClick(QApplication::focusWidget(), tecla);
        vistos << QApplication::focusWidget();
    }
    return QApplication::focusWidget() == destino;
}

// Presses tecla on w until hecho() holds (at most 30 times).
template <typename F>
bool pulsarHasta(QWidget *w, Qt::Key tecla, F hecho)
{
    for (int i = 0; i < 30 && !hecho(); ++i)
        QTest::keyClick(w, tecla);
    return hecho();
}

} // namespace

class TestTeclado : public QObject
{
    Q_OBJECT

    std::unique_ptr<Huerto> h; // frost-free from fortnight 3; sheet 2 of 2010 holds Habas

private slots:
    // Year from the tree, sheet from the map, crop from a picker, placement in
    // the grid (a refused cell first), validation: keys in, stored rows out.
    void recorridoSinRaton()
    {
        Huerto h;
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QList<QWidget *> vistos;
        QVERIFY(tabHasta(w.arbolaños, vistos));
        QVERIFY(!vistos.contains(w.ListModoExplicito));
        QVERIFY(vistos.indexOf(w.Map1) >= 0 && vistos.indexOf(w.Map1) < vistos.indexOf(w.arbolaños));
        w.arbolaños->setCurrentItem(w.NodoArbol(ArbolPlan::ClaveAño(2010)));
        QTest::keyClick(w.arbolaños, Qt::Key_Space);
        QCOMPARE(w.AñoActual, 2010);

        QVERIFY(tabHasta(w.Map1, vistos, Qt::Key_Backtab));
        const int hoja2 = indiceDeHoja(w.Map1->GetObject(0), 2);
        QVERIFY(pulsarHasta(w.Map1, Qt::Key_Left, [&] { return w.Map1->FormaEnfocada() == hoja2; }));
        QTest::keyClick(w.Map1, Qt::Key_Return);
        QCOMPARE(w.HojaActual, 2);
        QVERIFY(w.FrameCultivo->isVisible());

        QVERIFY(tabHasta(w.ComboCult[0], vistos));
        QTest::keyClicks(w.ComboCult[0], u"Tom"_s); // the picker's own search, as typed
        QCOMPARE(w.ComboCult[0]->currentText(), u"Tomates"_s);
        QVERIFY(tabHasta(w.MSHFlexTodoAño, vistos));
        CuadriculaFlex *g = w.MSHFlexTodoAño;
        QVERIFY(pulsarHasta(g, Qt::Key_Up, [&] { return g->currentRow() == 1; }));
        QVERIFY(pulsarHasta(g, Qt::Key_Right, [&] { return g->currentColumn() >= 2; }));
        QVERIFY(pulsarHasta(g, Qt::Key_Left, [&] { return g->currentColumn() == 2; }));
        QTest::keyClick(g, Qt::Key_Enter); // not a sowing fortnight: refused
        QVERIFY(pulsarHasta(g, Qt::Key_Right, [&] { return g->currentColumn() == 8; }));
        QTest::keyClick(g, Qt::Key_Space);
        QVERIFY(tabHasta(w.BtValidaCultivos, vistos));
        QTest::keyClick(w.BtValidaCultivos, Qt::Key_Space);
        QCOMPARE(h.filas(), QStringList{u"2010|2|Tomates|8|12"_s});
    }

    // The options panel takes Tab past what it covers and closes on Escape;
    // Return in the new plot's name creates it; Escape closes the splash.
    void panelNuevaParcelaYPortada()
    {
        Huerto h;
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QList<QWidget *> vistos;
        QVERIFY(tabHasta(w.CheckParcelasOpciones, vistos));
        QTest::keyClick(w.CheckParcelasOpciones, Qt::Key_Space);
        QVERIFY(w.panelOpciones->isVisible());
        vistos.clear();
        QVERIFY(tabHasta(w.BtValidaCultivos, vistos));
        QVERIFY(vistos.contains(w.panelOpciones->Picture3) && vistos.contains(w.BtGuardar));
        QVERIFY(!vistos.contains(w.arbolaños) && !vistos.contains(w.Map1));
        QTest::keyClick(w.BtValidaCultivos, Qt::Key_Escape);
        QVERIFY(!w.panelOpciones->isVisible());
        QVERIFY(!w.CheckParcelasOpciones->isChecked());

        w.CheckCrearParcela->setChecked(true);
        w.TextCrearNuevaParcela->setFocus();
        QTest::keyClick(w.TextCrearNuevaParcela, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w.TextCrearNuevaParcela, u"Bancal"_s);
        QTest::keyClick(w.TextCrearNuevaParcela, Qt::Key_Return);
        QVERIFY(!w.ListaParcelas->findItems(u"Bancal"_s, Qt::MatchExactly).isEmpty());

        FormPortada portada;
        portada.show();
        QTest::keyClick(&portada, Qt::Key_Escape);
        QCOMPARE(portada.result(), int(QDialog::Accepted));
    }

    void initTestCase()
    {
        h = std::make_unique<Huerto>(4, 3, 24);
        h->sembrar({u"2010|2|Habas|3|10"_s});
        QVERIFY(h->arrancar());
        h->w->AñoActual = 2010;
        h->w->refrescaMapa();
        QVERIFY(h->pulsarHoja(2));
        QVERIFY(h->elegir(1, u"Tomates"_s));
    }

    // Names (and, for the pickers and notices, descriptions) through Qt's
    // accessibility interfaces.
    void nombres_data()
    {
        QTest::addColumn<QString>("objeto");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("descripcion");
        QTest::newRow("encabezado") << "celda 0 5" << "1ª quincena de marzo" << "";
        QTest::newRow("cultivo") << "celda 1 3" << "1ª quincena de febrero: Habas, cultivo" << "";
        QTest::newRow("helada") << "celda 1 2" << "2ª quincena de enero: helada" << "";
        QTest::newRow("vacía") << "celda 1 14" << "2ª quincena de julio: vacía" << "";
        QTest::newRow("siembra") << "celda 2 8" << "2ª quincena de abril: Tomates, siembra" << "";
        QTest::newRow("hoja elegida") << "hoja 2" << "Hoja 2: Habas" << "";
        QTest::newRow("otra hoja") << "hoja 1" << "Hoja 1" << "";
        QTest::newRow("picker lleno") << "Cultivo 1" << "Habas" << "Cultivo 1";
        QTest::newRow("picker vacío") << "Cultivo 3" << modBasico::CultivoVacio << "Cultivo 3";
        QTest::newRow("hojas") << "Hojas a proyectar" << "4" << "Hojas a proyectar";
        QTest::newRow("valor") << "Años de Fresa" << "3" << "Años de Fresa";
        QTest::newRow("flecha luna") << "Mes anterior" << "Mes anterior" << "";
    }

    void nombres()
    {
        QFETCH(QString, objeto);
        QFETCH(QString, nombre);
        QFETCH(QString, descripcion);
        FormPrincipal &w = *h->w;
        const QStringList partes = objeto.split(u' ');
        QAccessibleInterface *i = nullptr;
        if (partes.first() == u"celda"_s) {
            auto *tabla = QAccessible::queryAccessibleInterface(w.MSHFlexTodoAño)->tableInterface();
            i = tabla->cellAt(partes.at(1).toInt(), partes.at(2).toInt());
        } else if (partes.first() == u"hoja"_s) {
            const int hoja = partes.at(1).toInt();
            i = QAccessible::queryAccessibleInterface(w.Map1)->child(indiceDeHoja(w.Map1->GetObject(0), hoja));
            QVERIFY(i);
            QCOMPARE(bool(i->state().selected), hoja == 2);
        } else {
            const QWidget *widgets[] = {w.ComboCult[0], w.ComboCult[2], w.ComboNHojas, w.TextFresa,
                                        w.MonthView1->findChild<QWidget *>(u"qt_calendar_prevmonth"_s)};
            const QStringList claves = {u"Cultivo 1"_s, u"Cultivo 3"_s, u"Hojas a proyectar"_s, u"Años de Fresa"_s,
                                        u"Mes anterior"_s};
            i = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(widgets[claves.indexOf(objeto)]));
        }
        QVERIFY(i);
        QCOMPARE(i->text(QAccessible::Name), nombre);
        if (!descripcion.isEmpty())
            QCOMPARE(i->text(QAccessible::Description), descripcion);
    }
};

QTEST_MAIN(TestTeclado)
#include "test_teclado.moc"
