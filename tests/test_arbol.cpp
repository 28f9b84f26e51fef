// The plan tree by years: its content from the database, the widget that shows
// it, and the clicks on it.
#include "core/ArbolPlan.h"
#include "core/Luna.h"
#include "fixtures/VentanaPrueba.h"
#include "core/Conexion.h"

#include <QDate>

using namespace ArbolPlan;
using namespace Qt::StringLiterals;

namespace {

FilaPlan fila(int año, int hoja, const QString &cultivo, int inicio, int final, const QString &extraccion = {})
{
    FilaPlan f;
    f.año = año;
    f.hoja = hoja;
    f.cultivo = cultivo;
    f.extraccion = extraccion;
    f.mesInicio = inicio;
    f.mesFinal = final;
    return f;
}

FilaPlan lechugas(int año, int hoja, int inicio, int final)
{
    FilaPlan f = fila(año, hoja, u"Lechugas"_s, inicio, final, u"Hojas"_s);
    f.familia = u"Compuestas"_s;
    f.profRaiz = u"Superficiales"_s;
    return f;
}

QStringList textosHijos(const Nodo &n)
{
    QStringList r;
    for (const Nodo &h : n.hijos)
        r << h.texto;
    return r;
}

const int kHoy = QDate::currentDate().year();
constexpr qint32 kAmarillo = 65535, kBlanco = 16777215, kSinFondo = -1;

// The window's tree: the node of a key, its background, a mouse click on it.
struct Arbolado : Huerto
{
    using Huerto::Huerto;
    QTreeWidgetItem *nodo(const QString &clave) const { return w->NodoArbol(clave); }
    QTreeWidgetItem *año(int a) const { return nodo(ClaveAño(a)); }
    static qint32 fondo(const QTreeWidgetItem *item)
    {
        const QBrush b = item->background(0);
        return b.style() == Qt::NoBrush ? kSinFondo : EmpaquetarColor(b.color());
    }
    QList<int> amarillos() const
    {
        QList<int> r;
        for (int a = PrimerAño; año(a); ++a)
            if (fondo(año(a)) == kAmarillo)
                r << a;
        return r;
    }
    void pulsar(QTreeWidgetItem *item)
    {
        QTreeWidget *t = w->arbolaños;
        t->scrollToItem(item);
        // On the item's picture: the text may run past the visible width.
        const QRect r = t->visualItemRect(item);
        const QPoint p(r.left() + 8, r.center().y());
        QVERIFY(t->viewport()->rect().contains(p));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(t->currentItem(), item);
    }
    QString etiquetasDelMapa() const
    {
        QString t;
        for (const MapaControl::Etiqueta &e : w->Map1->Etiquetas(0))
            t += e.texto;
        return t;
    }
};

} // namespace

class TestArbol : public QObject
{
    Q_OBJECT

private slots:
    // ---- Content -----------------------------------------------------------

    void raizYAnios()
    {
        // A row before 2009 has no year to hang from; one of 2009 does.
        const Arbol a = ConstruirArbol(u"Huerto"_s, {lechugas(2008, 1, 5, 8), lechugas(2009, 2, 5, 8)}, 2012);
        QCOMPARE(a.raiz.tipo, TipoNodo::Parcela);
        QCOMPARE(a.raiz.clave, u"TodosAños"_s);
        QCOMPARE(a.raiz.texto, u"Parcela: <<<Huerto>>>"_s);
        QCOMPARE(a.raiz.imagen, 3);
        QVERIFY(a.raiz.negrita && a.raiz.expandido);
        QCOMPARE(a.raiz.hijos.size(), 12); // 13 nodes in all
        for (int i = 0; i < 12; ++i) {
            const Nodo &año = a.raiz.hijos.at(i);
            QCOMPARE(año.tipo, TipoNodo::Año);
            QCOMPARE(año.texto, u" %1"_s.arg(2009 + i));
            QCOMPARE(año.clave, u"a %1"_s.arg(2009 + i));
            QCOMPARE(año.imagen, 2);
            QCOMPARE(año.año, 2009 + i);
            QVERIFY(!año.negrita);
            QCOMPARE(año.expandido, i == 0);
            QCOMPARE(año.hijos.size(), i == 0 ? 1 : 0);
        }
        QCOMPARE(a.raiz.hijos.first().hijos.first().hoja, 2);
        QCOMPARE(a.claveSeleccionada, u"a 2009"_s);
        QVERIFY(a.buscar(u"a 2015"_s));
        QCOMPARE(a.buscar(u"a 2015"_s)->año, 2015);
        QVERIFY(!a.buscar(u"a 2021"_s));
        QCOMPARE(a.buscar(u"TodosAños"_s), &a.raiz);
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
        const Arbol a = ConstruirArbol(u"P"_s, filas, hoy);
        QCOMPARE(a.raiz.hijos.size(), ultimo - 2009 + 1);
        QCOMPARE(a.raiz.hijos.last().texto, u" %1"_s.arg(ultimo));
    }

    void textoDeUnaFila()
    {
        // 2010, sheet 2, from the first half of March to the second half of June.
        const FilaPlan f = lechugas(2010, 2, 5, 12);
        QCOMPARE(TextoFila(f), u"Hoja:2»Lechugas » Compuestas » Superficiales » Hojas »De la 1ªQ Marzo a la 2ªQ Junio"
                               " »Luna:22/03/2010"_s);
        const Arbol a = ConstruirArbol(u"Huerto"_s, {f}, 2015);
        const Nodo *año = a.buscar(u"a 2010"_s);
        QVERIFY(año && año->expandido);
        QVERIFY(!a.buscar(u"a 2011"_s)->expandido); // the other years stay collapsed
        QCOMPARE(año->hijos.size(), 1);
        const Nodo &n = año->hijos.first();
        QCOMPARE(n.tipo, TipoNodo::Fila);
        QVERIFY(n.clave.isEmpty());
        QCOMPARE(n.imagen, 1);
        QCOMPARE(n.hoja, 2);
        QCOMPARE(n.año, 2010);
        QCOMPARE(n.texto, TextoFila(f));
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
        QVERIFY2(inicio != 0 || t.endsWith(u" »Luna:"_s), qPrintable(t));
    }

    void anioLunar()
    {
        // A crop that reaches the following year is sown in its own year; a
        // first fortnight of the following year is sought in that year.
        QCOMPARE(FechaLunarFila(lechugas(2010, 1, 21, 30)), modBasico::FechaSiembraLunar(false, 21, 2010));
        QVERIFY(!FechaLunarFila(lechugas(2010, 1, 21, 30)).isEmpty());
        QCOMPARE(FechaLunarFila(lechugas(2010, 1, 26, 30)), modBasico::FechaSiembraLunar(false, 2, 2011));
        QVERIFY(FechaLunarFila(lechugas(2010, 1, 26, 30)).endsWith(u"/2011"_s));
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
            const QString luna = TextoFila(fila(2013, 1, u"X"_s, q, q + 2, extraccion)).section(u" »Luna:"_s, 1);
            QCOMPARE(luna, modBasico::FechaSiembraLunar(fase == modBasico::CuartoMenguante, qint16(q), 2013));
            if (!luna.isEmpty())
                QCOMPARE(int(modBasico::FaseLuna(*modBasico::LeerFecha(luna))), fase);
        }
    }

    void ordenPorHojaYNombre()
    {
        const QList<FilaPlan> filas = {fila(2012, 3, u"Ajos"_s, 5, 8),      fila(2012, 1, u"Tomates"_s, 9, 14),
                                       fila(2012, 1, u"Espinacas"_s, 3, 6), fila(2012, 1, u"Espárragos"_s, 5, 48),
                                       fila(2012, 1, u"acelgas"_s, 5, 8),   fila(2012, 2, u"Zanahorias"_s, 5, 8)};
        QStringList cultivos;
        const Arbol arbol = ConstruirArbol(u"P"_s, filas, 2015);
        for (const Nodo &n : arbol.buscar(u"a 2012"_s)->hijos)
            cultivos << QString::number(n.hoja) + n.texto.section(u"»"_s, 1, 1).trimmed();
        QCOMPARE(cultivos, (QStringList{"1acelgas", "1Espárragos", "1Espinacas", "1Tomates", "2Zanahorias", "3Ajos"}));
    }

    void filasDeLaBaseDeDatos()
    {
        BDPrueba bd;
        const QString parcela = u"O'Brien_%"_s;
        bd.vaciarParcelas();
        bd.agregarParcela(parcela, 4, 1, 1, true);
        bd.agregarParcela(u"OXBrienX%"_s, 4, 1, 1);
        bd.sembrar(parcela, {u"2010|2|Zanahorias|5|12"_s, u"2008|3|Ajos|7|10"_s, u"2033|4|Espárragos|5|48"_s});
        bd.sembrar(u"o'brien_%"_s, {u"2010|1|Lechugas|7|10"_s});
        bd.sembrar(u"OXBrienX%"_s, {u"2010|3|Ajos|7|10"_s});
        Conexion con(bd.fichero());
        const Arbol a = CargarArbol(con, parcela, 2015);
        QCOMPARE(a.raiz.texto, u"Parcela: <<<O'Brien_%>>>"_s);
        QCOMPARE(a.raiz.hijos.size(), 2033 - 2009 + 1);
        QCOMPARE(textosHijos(*a.buscar(u"a 2010"_s)),
                 (QStringList{u"Hoja:1»Lechugas » Compuestas » Superficiales » Hojas »De la 1ªQ Abril a la 2ªQ Mayo"
                              " »Luna:"_s
                                  + modBasico::FechaSiembraLunar(false, 7, 2010),
                              u"Hoja:2»Zanahorias » Umbelíferas » Medias » Raices y tubérculos »De la 1ªQ Marzo a la"
                              " 2ªQ Junio »Luna:07/03/2010"_s}));
        QCOMPARE(a.buscar(u"a 2033"_s)->hijos.size(), 1);
        QVERIFY(a.buscar(u"a 2033"_s)->expandido);
    }

    // ---- The widget ----------------------------------------------------------

    void arbolTrasElArranque()
    {
        Arbolado h;
        h.sembrar({u"2012|3|Ajos|5|8"_s, u"2012|1|Tomates|9|14"_s, u"2014|2|Patatas|5|10"_s,
                   u"%1|1|Habas|21|30"_s.arg(kHoy)});
        h.bd.sembrar(u"Otra"_s, {u"2013|2|Patatas|5|10"_s});
        QVERIFY(h.arrancar());
        QTreeWidget *t = h.w->arbolaños;

        // The year being planned is in view with its crop.
        QTreeWidgetItem *actual = h.año(kHoy);
        for (QTreeWidgetItem *i : {actual, actual->child(0)}) {
            const QRect f = t->visualItemRect(i);
            QVERIFY(f.top() >= 0 && f.bottom() < t->viewport()->height());
            QCOMPARE(f.left(), t->visualItemRect(t->topLevelItem(0)).left() + t->indentation() * (i == actual ? 1 : 2));
        }

        QCOMPARE(t->topLevelItemCount(), 1);
        QTreeWidgetItem *raiz = t->topLevelItem(0);
        QCOMPARE(raiz->text(0), u"Parcela: <<<Huerto>>>"_s);
        QVERIFY(raiz->font(0).bold() && raiz->isExpanded() && !raiz->icon(0).isNull());
        QCOMPARE(h.nodo(u"TodosAños"_s), raiz);
        QCOMPARE(raiz->childCount(), std::max(2020, kHoy + 5) - 2009 + 1);
        for (int i = 0; i < raiz->childCount(); ++i) {
            QTreeWidgetItem *año = raiz->child(i);
            QCOMPARE(año->text(0), u" %1"_s.arg(2009 + i));
            QCOMPARE(h.año(2009 + i), año);
            QVERIFY(!año->icon(0).isNull());
            QCOMPARE(año->isExpanded(), año->childCount() > 0);
            QCOMPARE(Arbolado::fondo(año), kSinFondo);
        }
        QCOMPARE(t->currentItem(), h.año(2009));
        QVERIFY(t->currentItem()->isSelected());

        QTreeWidgetItem *y2012 = h.año(2012);
        QCOMPARE(y2012->childCount(), 2);
        QVERIFY(y2012->child(0)->text(0).startsWith(u"Hoja:1»Tomates » Solanáceas"_s));
        QVERIFY(y2012->child(1)->text(0).startsWith(u"Hoja:3»Ajos » Liliáceas"_s));
        QVERIFY(!y2012->child(0)->icon(0).isNull());
        QCOMPARE(h.año(2013)->childCount(), 0);
        QCOMPARE(h.año(2014)->child(0)->text(0), h.w->ArbolAños.buscar(u"a 2014"_s)->hijos.first().texto);
        QCOMPARE(h.año(2014)->childCount(), 1);
        QCOMPARE(h.r.mensajes().size(), 0);
    }

    void reconstruirElArbol()
    {
        Arbolado h;
        QVERIFY(h.arrancar());
        h.pulsar(h.año(2011));
        QCOMPARE(h.amarillos(), QList<int>{2011});
        QCOMPARE(h.año(2015)->childCount(), 0);

        // A plan stored elsewhere shows after the rebuild; the current year stays.
        h.sembrar({u"2015|1|Habas|21|30"_s});
        h.w->RefrescarArbolAños();
        QCOMPARE(h.w->AñoActual, 2011);
        QCOMPARE(Arbolado::fondo(h.año(2011)), kSinFondo);
        QCOMPARE(h.año(2015)->childCount(), 1);
        QVERIFY(h.año(2015)->isExpanded());
        QCOMPARE(h.w->arbolaños->currentItem(), h.año(2009));

        // A failed read leaves the tree as it was.
        h.bd.ejecutar(u"alter table BDParcela rename to Otra"_s);
        QVERIFY_THROWS_EXCEPTION(ErrorBD, h.w->RefrescarArbolAños());
        QCOMPARE(h.año(2015)->childCount(), 1);
        QCOMPARE(h.w->ArbolAños.buscar(u"a 2015"_s)->hijos.size(), 1);
    }

    // ---- Clicks --------------------------------------------------------------

    void clicEnUnAnio()
    {
        Arbolado h;
        h.sembrar({u"2020|2|Ajos|5|8"_s, u"2013|2|Ajos|5|8"_s});
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        QCOMPARE(w.AñoActual, kHoy);
        for (QComboBox *c : w.ComboCult)
            c->addItems({modBasico::CultivoVacio, u"Ajos"_s});
        w.MSHFlexTodoAño->setColorFondo(1, 5, modBasico::ColorCultivo);
        w.MSHFlexTodoAño->setColorFondo(4, 20, modBasico::ColorSiembra);

        // The year becomes current and is marked; pickers and grid rows are
        // emptied, and the map shows that year's crops.
        h.pulsar(h.año(2020));
        QCOMPARE(w.AñoActual, 2020);
        QCOMPARE(Arbolado::fondo(h.año(2020)), kAmarillo);
        QCOMPARE(Arbolado::fondo(h.año(kHoy)), kBlanco);
        for (QComboBox *c : w.ComboCult)
            QCOMPARE(c->count(), 0);
        QCOMPARE(h.fila(1) + h.fila(4), QString(48, u'.'));
        QVERIFY(h.etiquetasDelMapa().contains(u"Ajos"_s));

        h.pulsar(h.año(2012));
        QVERIFY(!h.etiquetasDelMapa().contains(u"Ajos"_s));
        QCOMPARE(w.AñoActual, 2012);
        QCOMPARE(Arbolado::fondo(h.año(2020)), kBlanco);
        QCOMPARE(h.amarillos(), QList<int>{2012});

        // A plan row of another year changes the current year without
        // recolouring; the next year click still leaves one year marked.
        h.pulsar(h.año(2013)->child(0));
        QCOMPARE(w.AñoActual, 2013);
        QCOMPARE(h.amarillos(), QList<int>{2012});
        h.pulsar(h.año(2016));
        QCOMPARE(h.amarillos(), QList<int>{2016});

        // The root changes nothing.
        w.HojaActual = 3;
        w.ComboCult[0]->addItem(u"Ajos"_s);
        h.pulsar(h.nodo(u"TodosAños"_s));
        QCOMPARE(w.AñoActual, 2016);
        QCOMPARE(w.HojaActual, 3);
        QCOMPARE(w.ComboCult[0]->count(), 1);
        QCOMPARE(h.amarillos(), QList<int>{2016});
        QCOMPARE(h.r.mensajes().size(), 0);
    }

    // A plan row chooses its sheet and year; the map highlights the sheet and
    // the crop frame comes up only when the map is in selection mode.
    void clicEnUnaFila_data()
    {
        QTest::addColumn<bool>("seleccion");
        QTest::newRow("mapa en selección") << true;
        QTest::newRow("mapa en otro modo") << false;
    }

    void clicEnUnaFila()
    {
        QFETCH(bool, seleccion);
        Arbolado h(5);
        h.sembrar({u"2010|4|Ajos|5|8"_s});
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        QCOMPARE(w.Map1->CursorMode(), int(MapaControl::cmSelection));
        if (!seleccion)
            w.Map1->setCursorMode(0);
        w.FrameCultivo->hide();
        const QString titulo = w.FrameCultivo->title(), estado = w.PanelEstado->text();
        h.pulsar(h.año(2010)->child(0));
        QCOMPARE(w.HojaActual, 4);
        QCOMPARE(w.AñoActual, 2010);
        QCOMPARE(w.FrameCultivo->isVisible(), seleccion);
        QCOMPARE(w.FrameCultivo->title(), seleccion ? u"Cultivo de hoja :4"_s : titulo);
        QCOMPARE(w.PanelEstado->text(), seleccion ? u"Selecciona el cultivo que desees para esa hoja"_s : estado);
        QList<int> resaltadas;
        const Shapefile *hojas = w.Map1->GetObject(0);
        for (int i = 0; i < hojas->NumShapes(); ++i)
            if (w.Map1->ShapeFillColor(0, i) == kAmarillo)
                resaltadas << hojas->CellValue(0, i).toInt();
        QCOMPARE(resaltadas, seleccion ? QList<int>{4} : QList<int>{});
        QCOMPARE(Arbolado::fondo(h.año(2010)), kSinFondo); // the year nodes keep their colours
        QCOMPARE(h.r.mensajes().size(), 0);
    }
};

QTEST_MAIN(TestArbol)
#include "test_arbol.moc"
