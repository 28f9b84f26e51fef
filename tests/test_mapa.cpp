// The sheet map of the main window (Map1 and the preview Map2): map units to
// pixels and back, the sheet labels, choosing a sheet with real mouse clicks,
// the highlight, and damaged or missing layout files.
#include "designer/modBasicoMapa.h"
#include "mapa/MapaAPixel.h"
#include "fixtures/VentanaPrueba.h"
#include "tools/GeneradorHojas.h"

#include <QDate>
#include <QDir>
#include <QFile>

using namespace modBasico;
using namespace Qt::StringLiterals;
using GeneradorHojas::OrigenX;
using GeneradorHojas::OrigenY;

namespace {

constexpr qint32 kAmarillo = 65535, kRojo = 255;

QString enHojas(const Huerto &h, const QString &fichero)
{
    return QDir(h.bd.carpeta()).filePath(u"hojas/"_s + fichero);
}

// The sheets (by number) drawn in the highlight colours; -1 for a sheet with
// one highlight colour without the other, or any other colour of its own.
QList<int> resaltadas(const MapaControl *m)
{
    QList<int> r;
    const Shapefile *sf = m->GetObject(0);
    for (int i = 0; sf && i < sf->NumShapes(); ++i) {
        const qint32 relleno = m->ShapeFillColor(0, i), linea = m->ShapeLineColor(0, i);
        if (relleno == kAmarillo && linea == kRojo)
            r.append(sf->CellValue(0, i).toInt());
        else if (relleno != ColorHoja || linea != ColorBordeHoja)
            r.append(-1);
    }
    std::sort(r.begin(), r.end());
    return r;
}

// The user's choice of a sheet count for the preview.
void verHojas(FormPrincipal &w, const QString &n)
{
    const int i = control<QComboBox>(w, "ComboNHojas")->findText(n);
    control<QComboBox>(w, "ComboNHojas")->setCurrentIndex(i);
    emit control<QComboBox>(w, "ComboNHojas")->activated(i);
}

} // namespace

class TestMapa : public QObject
{
    Q_OBJECT

private slots:
    // Boxes off the origin in a window wider, then taller, than they are: the
    // narrow way fills 92 % of it. A corner (map point to pixel) goes to its
    // pixel, is painted there, and comes back.
    void mapaAPixel()
    {
        const MapaAPixel ancha(Extents{900, 500, 1000, 600}, QSizeF(200, 100));
        const MapaAPixel alta(Extents{-300, 900, -100, 1000}, QSizeF(100, 200));
        for (const auto &[m, esquina] : {std::pair(ancha, QLineF(900, 600, 54, 4)),
                                         std::pair(alta, QLineF(-100, 900, 96, 123))}) {
            QCOMPARE(m.aPixel(esquina.p1()), esquina.p2());
            QCOMPARE(m.aMapa(esquina.p2()), esquina.p1());
            QCOMPARE(m.transformacion().map(esquina.p1()), esquina.p2());
        }
    }

    void rotulosPorAnio()
    {
        Huerto h(5);
        const int año = QDate::currentDate().year();
        h.sembrar(
            {u"%1|2|Tomates|8|14"_s.arg(año), u"%1|2|Coles|16|22"_s.arg(año - 1), u"%1|2|Lechugas|15|18"_s.arg(año)});
        h.bd.sembrar(u"Otra"_s, {u"%1|4|Patatas"_s.arg(año)});
        h.bd.sembrar(u"huerto"_s, {u"%1|4|Ajos"_s.arg(año)});
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        const QStringList esperado = {"Hoja: 1\r\n", "Hoja: 2\r\nTomates\r\nLechugas\r\n", "Hoja: 3\r\n",
                                      "Hoja: 4\r\nAjos\r\n", "Hoja: 5\r\n"};
        QCOMPARE(etiquetas(control<MapaControl>(w, "Map1")), esperado);
        QCOMPARE(etiquetas(control<MapaControl>(w, "Map2")), esperado);
        // Another year: the map is drawn anew with that year's crops, without
        // the highlight.
        QVERIFY(h.pulsarHoja(2));
        QCOMPARE(resaltadas(control<MapaControl>(w, "Map1")), QList<int>{2});
        QVERIFY(h.pulsar(h.nodoAño(año - 1)));
        QVERIFY(resaltadas(control<MapaControl>(w, "Map1")).isEmpty());
        QCOMPARE(etiquetas(control<MapaControl>(w, "Map1")).mid(1, 3),
                 QStringList({"Hoja: 2\r\nColes\r\n", "Hoja: 3\r\n", "Hoja: 4\r\n"}));
    }

    // After a click on sheet 3, another click through the window: on a
    // sheet, off the sheets (the frame goes; the pickers are refilled for the
    // unchanged sheet).
    void clic_data()
    {
        QTest::addColumn<int>("destino"); // a sheet; 0 the path north of the middle
        QTest::addColumn<int>("hoja");
        QTest::addColumn<QList<int>>("resaltada");
        QTest::newRow("otra hoja") << 5 << 5 << QList<int>{5};
        QTest::newRow("camino entre hojas") << 0 << 3 << QList<int>{};
    }

    void clic()
    {
        QFETCH(int, destino);
        QFETCH(int, hoja);
        QFETCH(QList<int>, resaltada);
        Huerto h(5);
        QVERIFY(h.abrir(QDate::currentDate().year(), 3));
        FormPrincipal &w = *h.w;

        control<QLabel>(w, "PanelEstado")->clear();
        control<QComboBox>(w, "ComboCult0")->clear();
        MapaControl *mapa = control<MapaControl>(w, "Map1");
        const QPoint p = destino > 0 ? pixelDeHoja(mapa, destino) : pixelDe(mapa, OrigenX + 11, OrigenY + 19);
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, mapa->mapTo(&w, p));
        QCOMPARE(w.sesion().hoja(), hoja);
        QCOMPARE(resaltadas(mapa), resaltada);
        QCOMPARE(control<QGroupBox>(w, "FrameCultivo")->isVisible(), destino > 0);
        QCOMPARE(control<QLabel>(w, "PanelEstado")->text().isEmpty(), destino == 0);
        QVERIFY(control<QComboBox>(w, "ComboCult0")->count() > 0);
        QCOMPARE(h.r.mensajes().size(), 0);
    }

    // An empty layout file and a missing one: each reported, and the rest of
    // the window goes on.
    void planosRotos()
    {
        Huerto h(5);
        QVERIFY(QFile::resize(enHojas(h, u"hojas5.shp"_s), 0));
        QVERIFY(QFile::remove(enHojas(h, u"hojas6.shp"_s)));
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        // Reported twice: for the map and for the preview of the same count.
        QCOMPARE(h.r.avisos().size(), 2);
        const QString inicio
            = u"*|Critico|SoloAceptar|el fichero: "_s + enHojas(h, u"hojas5.shp"_s) + u" no se puede abrir por\r\n"_s;
        for (const QString &a : h.r.avisos())
            QVERIFY2(a.startsWith(inicio) && a.mid(inicio.size()).contains(u"vacío"_s), qPrintable(a));
        QCOMPARE(control<MapaControl>(w, "Map1")->NumLayers(), 0);
        QCOMPARE(control<MapaControl>(w, "Map2")->NumLayers(), 0);

        // The missing file is reported on its preview; another count previews,
        // and the plot keeps its sheets.
        h.r.limpiar();
        verHojas(w, u"6"_s);
        QCOMPARE(h.r.avisos(), QStringList{u"*|Critico|SoloAceptar|The file, "_s + enHojas(h, u"hojas6.shp"_s)
                                           + u" was not found."_s});
        QCOMPARE(control<MapaControl>(w, "Map2")->NumLayers(), 0);
        verHojas(w, u"7"_s);
        QCOMPARE(etiquetas(control<MapaControl>(w, "Map2")).size(), 7);
        QCOMPARE(h.r.mensajes().size(), 1);
        QCOMPARE(h.bd.valor(u"select HOJAS from Parcelas"_s).toInt(), 5);
    }
};

QTEST_MAIN(TestMapa)
#include "test_mapa.moc"
