// The plan tree by years: its content from the database, the widget that shows
// it, and the clicks on it.
#include "designer/ArbolPlan.h"
#include "designer/Luna.h"
#include "designer/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "fixtures/VentanaPrueba.h"
#include "platform/Conexion.h"
#include "platform/CuadriculaFlex.h"
#include "platform/MapaControl.h"

#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

using namespace ArbolPlan;

namespace {

FilaPlan fila(int año, int hoja, const QString &cultivo, const QString &familia, const QString &prof,
              const QString &extraccion, int inicio, int final)
{
    FilaPlan f;
    f.año = año;
    f.hoja = hoja;
    f.cultivo = cultivo;
    f.familia = familia;
    f.profRaiz = prof;
    f.extraccion = extraccion;
    f.mesInicio = inicio;
    f.mesFinal = final;
    return f;
}

FilaPlan lechugas(int año, int hoja, int inicio, int final)
{
    return fila(año, hoja, QStringLiteral("Lechugas"), QStringLiteral("Compuestas"), QStringLiteral("Superficiales"),
                QStringLiteral("Hojas"), inicio, final);
}

QStringList textosHijos(const Nodo &n)
{
    QStringList r;
    for (const Nodo &h : n.hijos)
        r << h.texto;
    return r;
}

QStringList textosHijos(const QTreeWidgetItem *item)
{
    QStringList r;
    for (int i = 0; i < item->childCount(); ++i)
        r << item->child(i)->text(0);
    return r;
}

int añoHoy()
{
    return QDate::currentDate().year();
}

qint32 fondo(const QTreeWidgetItem *item)
{
    const QBrush b = item->background(0);
    return b.style() == Qt::NoBrush ? -1 : EmpaquetarColor(b.color());
}

QString etiquetasDelMapa(const FormPrincipal &w)
{
    QString t;
    for (const MapaControl::Etiqueta &e : w.Map1->Etiquetas(0))
        t += e.texto;
    return t;
}

void pulsar(QTreeWidget *arbol, QTreeWidgetItem *item)
{
    arbol->scrollToItem(item);
    // On the item's picture: the text may run past the visible width.
    const QRect r = arbol->visualItemRect(item);
    QVERIFY(arbol->viewport()->rect().contains(QPoint(r.left() + 8, r.center().y())));
    QTest::mouseClick(arbol->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 8, r.center().y()));
    QCOMPARE(arbol->currentItem(), item);
}

} // namespace

class TestArbol : public QObject
{
    Q_OBJECT

private slots:
    // ---- Content -----------------------------------------------------------

    void parcelaSinFilas()
    {
        const Arbol a = ConstruirArbol(QStringLiteral("Huerto"), {}, 2012);
        QCOMPARE(a.raiz.tipo, TipoNodo::Parcela);
        QCOMPARE(a.raiz.clave, QStringLiteral("TodosAños"));
        QCOMPARE(a.raiz.texto, QStringLiteral("Parcela: <<<Huerto>>>"));
        QCOMPARE(a.raiz.imagen, 3);
        QVERIFY(a.raiz.negrita);
        QVERIFY(a.raiz.expandido);
        QCOMPARE(a.raiz.hijos.size(), 12); // 13 nodes in all
        for (int i = 0; i < 12; ++i) {
            const Nodo &año = a.raiz.hijos.at(i);
            QCOMPARE(año.tipo, TipoNodo::Año);
            QCOMPARE(año.texto, QStringLiteral(" %1").arg(2009 + i));
            QCOMPARE(año.clave, QStringLiteral("a %1").arg(2009 + i));
            QCOMPARE(año.imagen, 2);
            QCOMPARE(año.año, 2009 + i);
            QVERIFY(!año.negrita);
            QVERIFY(!año.expandido);
            QVERIFY(año.hijos.isEmpty());
        }
        QCOMPARE(a.claveSeleccionada, QStringLiteral("a 2009"));
        QVERIFY(a.buscar(QStringLiteral("a 2015")));
        QCOMPARE(a.buscar(QStringLiteral("a 2015"))->año, 2015);
        QVERIFY(!a.buscar(QStringLiteral("a 2021")));
        QCOMPARE(a.buscar(QStringLiteral("TodosAños")), &a.raiz);
    }

    void ultimoAnio_data()
    {
        QTest::addColumn<int>("hoy");
        QTest::addColumn<QList<int>>("años");
        QTest::addColumn<int>("ultimo");
        QTest::newRow("antes de 2015: hasta 2020") << 2012 << QList<int>{} << 2020;
        QTest::newRow("2015: 2020") << 2015 << QList<int>{2016} << 2020;
        QTest::newRow("2026: cinco más") << 2026 << QList<int>{} << 2031;
        QTest::newRow("fila más tardía") << 2026 << QList<int>{2010, 2034, 2030} << 2034;
        QTest::newRow("año imposible") << 2026 << QList<int>{12000} << 2031;
    }
    void ultimoAnio()
    {
        QFETCH(int, hoy);
        QFETCH(QList<int>, años);
        QFETCH(int, ultimo);
        QList<FilaPlan> filas;
        for (int y : años)
            filas << lechugas(y, 1, 5, 8);
        QCOMPARE(UltimoAño(hoy, filas), ultimo);
        const Arbol a = ConstruirArbol(QStringLiteral("P"), filas, hoy);
        QCOMPARE(a.raiz.hijos.size(), ultimo - 2009 + 1);
        QCOMPARE(a.raiz.hijos.last().texto, QStringLiteral(" %1").arg(ultimo));
    }

    void anteriorA2009NoSeMuestra()
    {
        const Arbol a = ConstruirArbol(QStringLiteral("P"), {lechugas(2008, 1, 5, 8), lechugas(2009, 2, 5, 8)}, 2015);
        int filas = 0;
        for (const Nodo &año : a.raiz.hijos)
            filas += año.hijos.size();
        QCOMPARE(filas, 1);
        QCOMPARE(a.raiz.hijos.first().hijos.first().hoja, 2);
    }

    void textoDeUnaFila()
    {
        // 2010, sheet 2, from the first half of March to the second half of June.
        const FilaPlan f = lechugas(2010, 2, 5, 12);
        const QString luna = modBasico::FechaSiembraLunar(false, 5, 2010);
        QCOMPARE(luna, QStringLiteral("22/03/2010"));
        QCOMPARE(TextoFila(f), QStringLiteral("Hoja:2»Lechugas » Compuestas » Superficiales » Hojas »De la 1ªQ Marzo"
                                              " a la 2ªQ Junio »Luna:22/03/2010"));
        const Arbol a = ConstruirArbol(QStringLiteral("Huerto"), {f}, 2015);
        const Nodo *año = a.buscar(QStringLiteral("a 2010"));
        QVERIFY(año);
        QVERIFY(año->expandido);
        QCOMPARE(año->hijos.size(), 1);
        const Nodo &n = año->hijos.first();
        QCOMPARE(n.tipo, TipoNodo::Fila);
        QVERIFY(n.clave.isEmpty());
        QCOMPARE(n.imagen, 1);
        QCOMPARE(n.hoja, 2);
        QCOMPARE(n.año, 2010);
        QVERIFY(n.texto.startsWith(QStringLiteral("Hoja:2»")));
        // The other years stay collapsed.
        QVERIFY(!a.buscar(QStringLiteral("a 2011"))->expandido);
    }

    void etiquetas_data()
    {
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("final");
        QTest::addColumn<QString>("tramo");
        QTest::newRow("hasta el año siguiente") << 21 << 30 << " »De la 1ªQ Noviembre a la 2ªQ Marzo »Luna:";
        QTest::newRow("última de diciembre") << 23 << 24 << " »De la 1ªQ Diciembre a la 2ªQ Diciembre »Luna:";
        QTest::newRow("48") << 23 << 48 << " »De la 1ªQ Diciembre a la 2ªQ Diciembre »Luna:";
        QTest::newRow("sin fijar") << 0 << 0 << " »De la ? a la ? »Luna:";
    }
    void etiquetas()
    {
        QFETCH(int, inicio);
        QFETCH(int, final);
        QFETCH(QString, tramo);
        const QString t = TextoFila(lechugas(2010, 1, inicio, final));
        QVERIFY2(t.contains(tramo), qPrintable(t));
        if (inicio == 0)
            QVERIFY(t.endsWith(QStringLiteral(" »Luna:")));
    }

    void anioLunar()
    {
        // A crop that reaches the following year is sown in its own year.
        QCOMPARE(FechaLunarFila(lechugas(2010, 1, 21, 30)), modBasico::FechaSiembraLunar(false, 21, 2010));
        QVERIFY(!FechaLunarFila(lechugas(2010, 1, 21, 30)).isEmpty());
        // A first fortnight of the following year is sought in that year.
        QCOMPARE(FechaLunarFila(lechugas(2010, 1, 26, 30)), modBasico::FechaSiembraLunar(false, 2, 2011));
        QVERIFY(FechaLunarFila(lechugas(2010, 1, 26, 30)).endsWith(QStringLiteral("/2011")));
        QCOMPARE(FechaLunarFila(lechugas(2010, 1, 0, 8)), QString());
        QCOMPARE(FechaLunarFila(lechugas(2010, 1, 49, 50)), QString());
    }

    void raicesBuscanElMenguante_data()
    {
        QTest::addColumn<QString>("extraccion");
        QTest::addColumn<int>("fase");
        QTest::newRow("raíces") << "Raices y tubérculos" << int(modBasico::CuartoMenguante);
        QTest::newRow("otra caja") << "raices y tubérculos" << int(modBasico::CuartoCreciente);
        QTest::newRow("con tilde") << "Raíces y tubérculos" << int(modBasico::CuartoCreciente);
        QTest::newRow("hojas") << "Hojas" << int(modBasico::CuartoCreciente);
        QTest::newRow("frutos") << "Flor, Semilla y fruto" << int(modBasico::CuartoCreciente);
        QTest::newRow("vacía") << "" << int(modBasico::CuartoCreciente);
    }
    void raicesBuscanElMenguante()
    {
        QFETCH(QString, extraccion);
        QFETCH(int, fase);
        for (int q = 1; q <= 24; ++q) {
            const QString texto = TextoFila(fila(2013, 1, QStringLiteral("X"), {}, {}, extraccion, q, q + 2));
            const QString luna = texto.section(QStringLiteral(" »Luna:"), 1);
            QCOMPARE(luna, modBasico::FechaSiembraLunar(fase == modBasico::CuartoMenguante, qint16(q), 2013));
            if (!luna.isEmpty())
                QCOMPARE(int(modBasico::FaseLuna(*modBasico::LeerFecha(luna))), fase);
        }
    }

    void ordenPorHojaYNombre()
    {
        const QList<FilaPlan> filas = {
            fila(2012, 3, QStringLiteral("Ajos"), {}, {}, {}, 5, 8),
            fila(2012, 1, QStringLiteral("Tomates"), {}, {}, {}, 9, 14),
            fila(2012, 1, QStringLiteral("Espinacas"), {}, {}, {}, 3, 6),
            fila(2012, 1, QStringLiteral("Espárragos"), {}, {}, {}, 5, 48),
            fila(2012, 1, QStringLiteral("acelgas"), {}, {}, {}, 5, 8),
            fila(2012, 2, QStringLiteral("Zanahorias"), {}, {}, {}, 5, 8),
        };
        const Arbol a = ConstruirArbol(QStringLiteral("P"), filas, 2015);
        QStringList cultivos;
        for (const Nodo &n : a.buscar(QStringLiteral("a 2012"))->hijos)
            cultivos << QString::number(n.hoja) + n.texto.section(QStringLiteral("»"), 1, 1).trimmed();
        QCOMPARE(cultivos, (QStringList{"1acelgas", "1Espárragos", "1Espinacas", "1Tomates", "2Zanahorias", "3Ajos"}));
    }

    void filasDeLaBaseDeDatos()
    {
        BDPrueba bd;
        QVERIFY2(bd.valida(), qPrintable(bd.error()));
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("O'Brien_%"), 4, 1, 1, true);
        bd.agregarParcela(QStringLiteral("OXBrienX%"), 4, 1, 1);
        bd.agregarFila(QStringLiteral("O'Brien_%"), 2010, 2, QStringLiteral("Zanahorias"), 5, 12);
        bd.agregarFila(QStringLiteral("o'brien_%"), 2010, 1, QStringLiteral("Lechugas"), 7, 10);
        bd.agregarFila(QStringLiteral("OXBrienX%"), 2010, 3, QStringLiteral("Ajos"), 7, 10);
        bd.agregarFila(QStringLiteral("O'Brien_%"), 2008, 3, QStringLiteral("Ajos"), 7, 10);
        bd.agregarFila(QStringLiteral("O'Brien_%"), 2033, 4, QStringLiteral("Espárragos"), 5, 48);
        Conexion con(bd.fichero());
        const Arbol a = CargarArbol(con, QStringLiteral("O'Brien_%"), 2015);
        QCOMPARE(a.raiz.texto, QStringLiteral("Parcela: <<<O'Brien_%>>>"));
        QCOMPARE(a.raiz.hijos.size(), 2033 - 2009 + 1);
        const Nodo *y2010 = a.buscar(QStringLiteral("a 2010"));
        QCOMPARE(textosHijos(*y2010),
                 (QStringList{QStringLiteral("Hoja:1»Lechugas » Compuestas » Superficiales » Hojas »De la 1ªQ Abril"
                                             " a la 2ªQ Mayo »Luna:") +
                                  modBasico::FechaSiembraLunar(false, 7, 2010),
                              QStringLiteral("Hoja:2»Zanahorias » Umbelíferas » Medias » Raices y tubérculos »De la"
                                             " 1ªQ Marzo a la 2ªQ Junio »Luna:07/03/2010")}));
        QCOMPARE(a.buscar(QStringLiteral("a 2033"))->hijos.size(), 1);
        QVERIFY(a.buscar(QStringLiteral("a 2033"))->expandido);
    }

    // ---- The widget ----------------------------------------------------------

    void arbolTrasElArranque()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
        bd.agregarFila(QStringLiteral("Huerto"), 2012, 3, QStringLiteral("Ajos"), 5, 8);
        bd.agregarFila(QStringLiteral("Huerto"), 2012, 1, QStringLiteral("Tomates"), 9, 14);
        bd.agregarFila(QStringLiteral("Huerto"), 2014, 2, QStringLiteral("Patatas"), 5, 10);
        bd.agregarFila(QStringLiteral("Otra"), 2013, 2, QStringLiteral("Patatas"), 5, 10);
        bd.agregarFila(QStringLiteral("Huerto"), añoHoy(), 1, QStringLiteral("Habas"), 21, 30);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        QTreeWidget *t = w.arbolaños;

        // The year being planned is in view with its crop.
        QTreeWidgetItem *actual = w.NodoArbol(QStringLiteral("a %1").arg(añoHoy()));
        for (QTreeWidgetItem *i : {actual, actual->child(0)}) {
            const QRect f = t->visualItemRect(i);
            QVERIFY(f.top() >= 0 && f.bottom() < t->viewport()->height());
            QCOMPARE(f.left(), t->visualItemRect(t->topLevelItem(0)).left() + t->indentation() * (i == actual ? 1 : 2));
        }

        QCOMPARE(t->topLevelItemCount(), 1);
        QTreeWidgetItem *raiz = t->topLevelItem(0);
        QCOMPARE(raiz->text(0), QStringLiteral("Parcela: <<<Huerto>>>"));
        QVERIFY(raiz->font(0).bold());
        QVERIFY(!raiz->icon(0).isNull());
        QVERIFY(raiz->isExpanded());
        QCOMPARE(w.NodoArbol(QStringLiteral("TodosAños")), raiz);
        const int ultimo = std::max(2020, añoHoy() + 5);
        QCOMPARE(raiz->childCount(), ultimo - 2009 + 1);
        for (int i = 0; i < raiz->childCount(); ++i) {
            QTreeWidgetItem *año = raiz->child(i);
            QCOMPARE(año->text(0), QStringLiteral(" %1").arg(2009 + i));
            QCOMPARE(w.NodoArbol(QStringLiteral("a %1").arg(2009 + i)), año);
            QVERIFY(!año->icon(0).isNull());
            QCOMPARE(año->isExpanded(), año->childCount() > 0);
            QCOMPARE(fondo(año), -1);
        }
        QCOMPARE(t->currentItem(), w.NodoArbol(QStringLiteral("a 2009")));
        QVERIFY(t->currentItem()->isSelected());

        QTreeWidgetItem *y2012 = w.NodoArbol(QStringLiteral("a 2012"));
        QCOMPARE(y2012->childCount(), 2);
        QVERIFY(y2012->child(0)->text(0).startsWith(QStringLiteral("Hoja:1»Tomates » Solanáceas")));
        QVERIFY(y2012->child(1)->text(0).startsWith(QStringLiteral("Hoja:3»Ajos » Liliáceas")));
        QVERIFY(!y2012->child(0)->icon(0).isNull());
        QCOMPARE(w.NodoArbol(QStringLiteral("a 2013"))->childCount(), 0);
        QCOMPARE(textosHijos(w.NodoArbol(QStringLiteral("a 2014"))),
                 textosHijos(*w.ArbolAños.buscar(QStringLiteral("a 2014"))));
        QCOMPARE(r.mensajes().size(), 0);
    }

    void reconstruirBorraLosColores()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2011")));
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2011"))), 65535);
        QCOMPARE(w.NodoArbol(QStringLiteral("a 2015"))->childCount(), 0);

        // A plan stored elsewhere shows after the rebuild; the current year stays.
        bd.agregarFila(QStringLiteral("Huerto"), 2015, 1, QStringLiteral("Habas"), 21, 30);
        w.RefrescarArbolAños();
        QCOMPARE(w.AñoActual, 2011);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2011"))), -1);
        QCOMPARE(w.NodoArbol(QStringLiteral("a 2015"))->childCount(), 1);
        QVERIFY(w.NodoArbol(QStringLiteral("a 2015"))->isExpanded());
        QCOMPARE(w.arbolaños->currentItem(), w.NodoArbol(QStringLiteral("a 2009")));
    }

    void fallaLaLecturaYElArbolQueda()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
        bd.agregarFila(QStringLiteral("Huerto"), 2012, 3, QStringLiteral("Ajos"), 5, 8);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        bd.ejecutar(QStringLiteral("alter table BDParcela rename to Otra"));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, w.RefrescarArbolAños());
        QCOMPARE(w.NodoArbol(QStringLiteral("a 2012"))->childCount(), 1);
        QCOMPARE(w.ArbolAños.buscar(QStringLiteral("a 2012"))->hijos.size(), 1);
    }

    // ---- Clicks --------------------------------------------------------------

    void clicEnUnAnio()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
        bd.agregarFila(QStringLiteral("Huerto"), 2020, 2, QStringLiteral("Ajos"), 5, 8);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        QCOMPARE(w.AñoActual, añoHoy());
        for (QComboBox *c : w.ComboCult)
            c->addItems({QStringLiteral("····················"), QStringLiteral("Ajos")});
        w.MSHFlexTodoAño->setColorFondo(1, 5, modBasico::ColorCultivo);
        w.MSHFlexTodoAño->setColorFondo(4, 20, modBasico::ColorSiembra);

        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2020")));
        QCOMPARE(w.AñoActual, 2020);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2020"))), 65535);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a %1").arg(añoHoy()))), 16777215);
        for (QComboBox *c : w.ComboCult)
            QCOMPARE(c->count(), 0);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 5), modBasico::ColorVacio);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(4, 20), modBasico::ColorVacio);

        // The map was drawn again for 2020: sheet 2 carries its crop.
        QVERIFY(etiquetasDelMapa(w).contains(QStringLiteral("Ajos")));

        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2012")));
        QVERIFY(!etiquetasDelMapa(w).contains(QStringLiteral("Ajos")));
        QCOMPARE(w.AñoActual, 2012);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2012"))), 65535);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2020"))), 16777215);
        QCOMPARE(r.mensajes().size(), 0);
    }

    void soloUnAnioMarcado()
    {
        // A plan row of another year changes the current year without
        // recolouring; the next year click still leaves one year marked.
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
        bd.agregarFila(QStringLiteral("Huerto"), 2013, 2, QStringLiteral("Ajos"), 5, 8);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2010")));
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2013"))->child(0));
        QCOMPARE(w.AñoActual, 2013);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2010"))), 65535);
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2016")));
        QTreeWidgetItem *raiz = w.NodoArbol(QStringLiteral("TodosAños"));
        int amarillos = 0;
        for (int i = 0; i < raiz->childCount(); ++i)
            amarillos += fondo(raiz->child(i)) == 65535;
        QCOMPARE(amarillos, 1);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2016"))), 65535);
    }

    void clicEnUnaFilaSinMapaEnSeleccion()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
        bd.agregarFila(QStringLiteral("Huerto"), 2010, 4, QStringLiteral("Ajos"), 5, 8);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        w.Map1->setCursorMode(0);
        const QString titulo = w.FrameCultivo->title();
        const QString estado = w.PanelEstado->text();
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2010"))->child(0));
        QCOMPARE(w.HojaActual, 4);
        QCOMPARE(w.AñoActual, 2010);
        QCOMPARE(w.FrameCultivo->title(), titulo);
        QCOMPARE(w.PanelEstado->text(), estado);
        // The year nodes keep their colours.
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2010"))), -1);
    }

    void clicEnUnaFilaConMapaEnSeleccion()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 5, 1, 1, true);
        bd.agregarFila(QStringLiteral("Huerto"), 2010, 4, QStringLiteral("Ajos"), 5, 8);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        QCOMPARE(w.Map1->CursorMode(), int(MapaControl::cmSelection));
        QCOMPARE(w.Map1->NumLayers(), 1);
        w.FrameCultivo->hide();
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2010"))->child(0));
        QCOMPARE(w.HojaActual, 4);
        QCOMPARE(w.AñoActual, 2010);
        QVERIFY(w.FrameCultivo->isVisible());
        QCOMPARE(w.FrameCultivo->title(), QStringLiteral("Cultivo de hoja :4"));
        QCOMPARE(w.PanelEstado->text(), QStringLiteral("Selecciona el cultivo que desees para esa hoja"));
        // Sheet 4 is the one highlighted.
        const Shapefile *hojas = w.Map1->GetObject(0);
        QVERIFY(hojas);
        int resaltadas = 0;
        for (int i = 0; i < hojas->NumShapes(); ++i)
            if (w.Map1->ShapeFillColor(0, i) == 65535) {
                ++resaltadas;
                QCOMPARE(hojas->CellValue(0, i).toInt(), 4);
            }
        QCOMPARE(resaltadas, 1);
        // The year nodes keep their colours; no message was shown.
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2010"))), -1);
        QCOMPARE(r.mensajes().size(), 0);
    }

    void clicEnLaRaiz()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("a 2011")));
        w.HojaActual = 3;
        w.ComboCult[0]->addItem(QStringLiteral("Ajos"));
        pulsar(w.arbolaños, w.NodoArbol(QStringLiteral("TodosAños")));
        QCOMPARE(w.arbolaños->currentItem(), w.NodoArbol(QStringLiteral("TodosAños")));
        QCOMPARE(w.AñoActual, 2011);
        QCOMPARE(w.HojaActual, 3);
        QCOMPARE(w.ComboCult[0]->count(), 1);
        QCOMPARE(fondo(w.NodoArbol(QStringLiteral("a 2011"))), 65535);
    }
};

QTEST_MAIN(TestArbol)
#include "test_arbol.moc"
