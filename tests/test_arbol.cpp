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

FilaPlan lechugas(int año, int hoja, int inicio, int final)
{
    return FilaPlan{año, hoja, u"Lechugas"_s, u"Compuestas"_s, u"Superficiales"_s, u"Hojas"_s, inicio, final};
}

const int kHoy = QDate::currentDate().year();
constexpr qint32 kAmarillo = 65535;

// The years whose tree node is drawn on yellow.
QList<int> amarillos(const Huerto &h)
{
    QList<int> r;
    for (int a = PrimerAño; h.nodoAño(a); ++a)
        if (const QBrush b = h.nodoAño(a)->background(0);
            b.style() != Qt::NoBrush && EmpaquetarColor(b.color()) == kAmarillo)
            r << a;
    return r;
}

} // namespace

class TestArbol : public QObject
{
    Q_OBJECT

private slots:
    void ultimoAnio_data()
    {
        QTest::addColumn<int>("hoy");
        QTest::addColumn<QList<int>>("años");
        QTest::addColumn<int>("ultimo");
        QTest::newRow("antes de 2015: hasta 2020") << 2012 << QList<int>{} << 2020;
        // A row before 2009 has no year to hang from.
        QTest::newRow("fila más tardía") << 2026 << QList<int>{2010, 2034, 2008, 2030} << 2034;
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
        for (const Nodo &n : a.raiz.hijos) // only years with rows open
            QCOMPARE(n.expandido, !n.hijos.isEmpty());
        QCOMPARE(a.buscar(u"a 2010"_s)->hijos.size(), int(años.contains(2010)));
    }

    // A row's text: the crop and its properties, the span by fortnight names
    // and the moon date of its sowing fortnight, sought in the year that
    // fortnight falls in.
    void textoFila_data()
    {
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("final");
        QTest::addColumn<QString>("tramo");
        QTest::addColumn<QString>("luna");
        using modBasico::FechaSiembraLunar;
        QTest::newRow("hasta el año siguiente")
            << 21 << 30 << "De la 1ªQ Noviembre a la 2ªQ Marzo" << FechaSiembraLunar(false, 21, 2010);
        QTest::newRow("en el año siguiente")
            << 26 << 30 << "De la 2ªQ Enero a la 2ªQ Marzo" << FechaSiembraLunar(false, 2, 2011);
        QTest::newRow("sin fijar") << 0 << 0 << "De la ? a la ?" << "";
    }

    void textoFila()
    {
        QFETCH(int, inicio);
        QFETCH(int, final);
        QFETCH(QString, tramo);
        QFETCH(QString, luna);
        const FilaPlan f = lechugas(2010, 2, inicio, final);
        const QString t = TextoFila(f);
        QVERIFY2(t.startsWith(u"Hoja:2»Lechugas » Compuestas » Superficiales » Hojas »"_s), qPrintable(t));
        QVERIFY2(t.contains(u" »"_s + tramo + u" »Luna:"_s), qPrintable(t));
        QCOMPARE(t.section(u" »Luna:"_s, 1), luna);
        QCOMPARE(FechaLunarFila(f), luna);
        const Nodo &n = ConstruirArbol(u"Huerto"_s, {f}, 2015).buscar(u"a 2010"_s)->hijos.value(0);
        QCOMPARE(n.texto, t);
    }

    // Roots (the catalogue's spelling, without the accent) seek the last
    // quarter.
    void raicesBuscanElMenguante()
    {
        for (int q = 1; q <= 24; ++q)
            QCOMPARE(FechaLunarFila(FilaPlan{2013, 1, u"X"_s, {}, {}, u"Raices y tubérculos"_s, q, q + 2}),
                     modBasico::FechaSiembraLunar(true, qint16(q), 2013));
    }

    void arbolDeLaVentana()
    {
        Huerto h;
        h.sembrar({u"2012|3|Ajos|5|8"_s, u"2012|1|Tomates|9|14"_s, u"%1|1|Habas|21|30"_s.arg(kHoy)});
        h.bd.sembrar(u"Otra"_s, {u"2013|2|Patatas|5|10"_s});
        QVERIFY(h.arrancar());
        QVERIFY(h.nodoAño(2012)->child(1)->text(0).startsWith(u"Hoja:3»Ajos » Liliáceas"_s));
        QCOMPARE(h.nodoAño(2013)->childCount(), 0); // another plot's row

        // A plan stored elsewhere shows after the rebuild; the current year stays.
        QVERIFY(h.pulsar(h.nodoAño(2011)));
        h.sembrar({u"2015|1|Habas|21|30"_s});
        h.w->RefrescarArbolAños();
        QCOMPARE(h.w->sesion().año(), 2011);
        QCOMPARE(h.nodoAño(2015)->childCount(), 1);
        QVERIFY(h.nodoAño(2015)->isExpanded());

        // A failed read leaves the tree as it was.
        h.bd.ejecutar(u"alter table BDParcela rename to Otra"_s);
        QVERIFY_THROWS_EXCEPTION(ErrorBD, h.w->RefrescarArbolAños());
        QCOMPARE(h.nodoAño(2015)->childCount(), 1);
        QCOMPARE(h.r.mensajes().size(), 0);
    }

    void clicEnUnAnio()
    {
        Huerto h;
        h.sembrar({u"2020|2|Ajos|5|8"_s, u"2013|2|Ajos|5|8"_s, u"%1|2|Habas|3|6"_s.arg(kHoy)});
        QVERIFY(h.abrir(kHoy, 2));
        FormPrincipal &w = *h.w;
        QCOMPARE(h.fila(1), u"..CCCC.................."_s);

        // The year becomes current and is marked; pickers and grid rows are
        // emptied (the sheet stays chosen).
        QVERIFY(h.pulsar(h.nodoAño(2020)));
        QCOMPARE(QList<int>({w.sesion().año(), w.sesion().hoja()}), QList<int>({2020, 2}));
        QCOMPARE(amarillos(h), QList<int>{2020});
        for (int k = 0; k < 4; ++k)
            QCOMPARE(control<QComboBox>(w, u"ComboCult%1"_s.arg(k))->count(), 0);
        QCOMPARE(h.fila(1) + h.fila(4), QString(48, u'.'));

        // A plan row chooses its sheet and year; the map highlights the sheet
        // and the crop frame comes up.
        control<QGroupBox>(w, "FrameCultivo")->hide();
        QVERIFY(h.pulsar(h.nodoAño(2013)->child(0)));
        QCOMPARE(QList<int>({w.sesion().año(), w.sesion().hoja()}), QList<int>({2013, 2}));
        QVERIFY(control<QGroupBox>(w, "FrameCultivo")->isVisible());
        const MapaControl *mapa = control<MapaControl>(w, "Map1");
        for (int i = 0; i < mapa->GetObject(0)->NumShapes(); ++i)
            QCOMPARE(mapa->ShapeFillColor(0, i) == kAmarillo, mapa->GetObject(0)->CellValue(0, i).toInt() == 2);
        QCOMPARE(amarillos(h), QList<int>{2020}); // the year nodes keep their colours
        QCOMPARE(h.r.mensajes().size(), 0);
    }
};

QTEST_MAIN(TestArbol)
#include "test_arbol.moc"
