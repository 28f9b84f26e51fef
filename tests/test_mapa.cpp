// The sheet map of the main window (Map1 and the preview Map2) and the map
// control itself: loading the layouts, the sheet labels, choosing a sheet with
// real mouse clicks, the highlight, and damaged or missing layout files.
#include "designer/modBasico.h"
#include "designer/modBasicoMapa.h"
#include "fixtures/BDPrueba.h"
#include "fixtures/VentanaPrueba.h"
#include "platform/CuadriculaFlex.h"
#include "platform/MapaControl.h"
#include "tools/GeneradorHojas.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace modBasico;
using GeneradorHojas::Cantero;
using GeneradorHojas::OrigenX;
using GeneradorHojas::OrigenY;

namespace {

constexpr qint32 kAmarillo = 65535;
constexpr qint32 kRojo = 255;
const QString kTextoPanel = QStringLiteral("Selecciona el cultivo que desees para esa hoja");

// A test database with one plot of the given sheet count, marked as the last
// one used; the window starts when arrancar() is called.
struct Huerto
{
    BDPrueba bd;
    Respuestas r;
    std::unique_ptr<VentanaPrueba> v;

    explicit Huerto(int hojas)
    {
        bd.vaciarParcelas();
        if (hojas > 0)
            bd.agregarParcela(QStringLiteral("Huerto"), hojas, 1, 1, true);
    }
    bool arrancar()
    {
        v = std::make_unique<VentanaPrueba>(bd.carpeta());
        return v->arrancada;
    }
    FormPrincipal &w() { return *v->w; }
    QString hojas(const QString &fichero) const { return QDir(bd.carpeta()).filePath(QStringLiteral("hojas/") + fichero); }
};

int indiceDeHoja(const Shapefile *sf, int hoja)
{
    for (int i = 0; sf && i < sf->NumShapes(); ++i)
        if (sf->CellValue(0, i).toInt() == hoja)
            return i;
    return -1;
}

QPoint pixelDe(const MapaControl *m, double x, double y)
{
    double px = 0, py = 0;
    m->ProjToPixel(x, y, px, py);
    return QPoint(qRound(px), qRound(py));
}

// The pixel at the centre of the box of the sheet numbered hoja (the
// layouts keep that point inside the sheet).
QPoint pixelDeHoja(const MapaControl *m, int hoja)
{
    const Shapefile *sf = m->GetObject(0);
    const Extents c = sf->ShapeExtents(indiceDeHoja(sf, hoja));
    return pixelDe(m, c.centroX(), c.centroY());
}

// The sheets (by number) drawn in the highlight colours; fails when a sheet
// has one highlight colour without the other, or any other colour of its own.
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

Cantero cuadrado(int hoja, double x0, double y0, double x1, double y1)
{
    Cantero c;
    c.hoja = hoja;
    c.anillos.append({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
    return c;
}

void soltarEn(QWidget *w, QEvent::Type tipo, QPoint p, Qt::MouseButton boton, Qt::MouseButtons botones)
{
    QMouseEvent e(tipo, p, w->mapToGlobal(p), boton, botones, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class TestMapa : public QObject
{
    Q_OBJECT

private slots:
    // ---- Loading and labelling ------------------------------------------------

    void cargaDelPlano_data()
    {
        QTest::addColumn<int>("n");
        for (int n = 3; n <= 7; ++n)
            QTest::addRow("%d hojas", n) << n;
    }

    void cargaDelPlano()
    {
        QFETCH(int, n);
        Huerto h(n);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QCOMPARE(h.r.mensajes().size(), 0);
        const QString nombre = QStringLiteral("hojas%1.shp").arg(n);
        for (MapaControl *m : {w.Map1, w.Map2}) {
            QCOMPARE(m->NumLayers(), 1);
            QCOMPARE(m->LayerName(0), nombre);
            QVERIFY(m->LayerVisible(0));
            QCOMPARE(m->ShapeLayerFillColor(0), RGB(204, 153, 102));
            QCOMPARE(m->ShapeLayerLineColor(0), RGB(0, 0, 0));
            const Shapefile *sf = m->GetObject(0);
            QVERIFY(sf);
            QCOMPARE(sf->Filename(), h.hojas(nombre));
            QCOMPARE(sf->NumShapes(), n);
            QCOMPARE(m->Etiquetas(0).size(), n);
        }
        QVERIFY(resaltadas(w.Map1).isEmpty());
        // Map1's layer first, then the preview's.
        QCOMPARE(w.CapasMapa, (QList<int>{0, 0}));
        QCOMPARE(w.Map1->CursorMode(), int(MapaControl::cmSelection));
        QVERIFY(w.Map1->SendMouseUp());
        QVERIFY(w.Map1->SendSelectBoxFinal());
        QVERIFY(!w.Map2->SendMouseUp());
    }

    void etiquetas()
    {
        Huerto h(5);
        const int año = QDate::currentDate().year();
        h.bd.agregarFila(QStringLiteral("Huerto"), año, 2, QStringLiteral("Tomates"), 8, 14);
        h.bd.agregarFila(QStringLiteral("Huerto"), año - 1, 2, QStringLiteral("Coles"), 16, 22);
        h.bd.agregarFila(QStringLiteral("Otra"), año, 4, QStringLiteral("Patatas"), 5, 12);
        h.bd.agregarFila(QStringLiteral("Huerto"), año, 2, QStringLiteral("Lechugas"), 15, 18);
        h.bd.agregarFila(QStringLiteral("huerto"), año, 4, QStringLiteral("Ajos"), 20, 26);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        const QMap<int, QString> esperado = {
            {1, "Hoja: 1\r\n"}, {2, "Hoja: 2\r\nTomates\r\nLechugas\r\n"}, {3, "Hoja: 3\r\n"},
            {4, "Hoja: 4\r\nAjos\r\n"}, {5, "Hoja: 5\r\n"}};
        for (MapaControl *m : {w.Map1, w.Map2}) {
            const Shapefile *sf = m->GetObject(0);
            const auto etiquetas = m->Etiquetas(0);
            QCOMPARE(etiquetas.size(), 5);
            for (int i = 0; i < 5; ++i) {
                const Extents c = sf->ShapeExtents(i);
                QCOMPARE(etiquetas.at(i).texto, esperado.value(sf->CellValue(0, i).toInt()));
                QCOMPARE(etiquetas.at(i).x, c.centroX());
                QCOMPARE(etiquetas.at(i).y, c.centroY());
                QCOMPARE(etiquetas.at(i).color, 0);
                QCOMPARE(etiquetas.at(i).justificacion, int(MapaControl::hjCenter));
                QCOMPARE(etiquetas.at(i).rotacion, 0.0);
            }
        }
        // Another year: the map is drawn anew with that year's crops.
        w.AñoActual = año - 1;
        w.refrescaMapa();
        const Shapefile *sf = w.Map1->GetObject(0);
        QCOMPARE(w.Map1->NumLayers(), 1);
        QCOMPARE(w.Map1->Etiquetas(0).at(indiceDeHoja(sf, 2)).texto, QStringLiteral("Hoja: 2\r\nColes\r\n"));
        QCOMPARE(w.Map1->Etiquetas(0).at(indiceDeHoja(sf, 4)).texto, QStringLiteral("Hoja: 4\r\n"));
        QCOMPARE(w.CapasMapa, (QList<int>{0, 0, 0}));
    }

    // ---- Choosing a sheet ------------------------------------------------------

    void clicEnHojas()
    {
        Huerto h(5);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        w.ComboCult[0]->clear();
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, pixelDeHoja(w.Map1, 3));
        QCOMPARE(w.HojaActual, 3);
        QVERIFY(w.FrameCultivo->isVisible());
        QCOMPARE(w.FrameCultivo->title(), QStringLiteral("Hoja :3"));
        QCOMPARE(resaltadas(w.Map1), QList<int>{3});
        QCOMPARE(w.PanelEstado->text(), kTextoPanel);
        QVERIFY(w.ComboCult[0]->count() > 0); // the pickers were filled for sheet 3

        // This time through the window, as the pointer reaches the map.
        w.ComboCult[0]->clear();
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, w.Map1->mapTo(&w, pixelDeHoja(w.Map1, 5)));
        QCOMPARE(w.HojaActual, 5);
        QCOMPARE(w.FrameCultivo->title(), QStringLiteral("Hoja :5"));
        QCOMPARE(resaltadas(w.Map1), QList<int>{5});
        QVERIFY(w.ComboCult[0]->count() > 0);
        QCOMPARE(h.r.mensajes().size(), 0);
    }

    void clicFuera()
    {
        Huerto h(5);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, pixelDeHoja(w.Map1, 3));
        QCOMPARE(resaltadas(w.Map1), QList<int>{3});
        const QPoint fuera[] = {
            pixelDe(w.Map1, OrigenX + 11, OrigenY + 19), // the path north of the middle
            QPoint(1, 1),                                // the blank margin
        };
        for (const QPoint &p : fuera) {
            w.FrameCultivo->show();
            w.PanelEstado->clear();
            w.ComboCult[0]->clear();
            QTest::mouseClick(w.Map1, Qt::LeftButton, {}, p);
            QVERIFY(resaltadas(w.Map1).isEmpty());
            QVERIFY(!w.FrameCultivo->isVisible());
            QCOMPARE(w.HojaActual, 3);
            QCOMPARE(w.PanelEstado->text(), QString());
            QVERIFY(w.ComboCult[0]->count() > 0); // refilled for the unchanged sheet
        }
    }

    void clicSinModoSeleccion_data()
    {
        QTest::addColumn<int>("modo");
        QTest::newRow("acercar") << int(MapaControl::cmZoomIn);
        QTest::newRow("alejar") << int(MapaControl::cmZoomOut);
        QTest::newRow("desplazar") << int(MapaControl::cmPan);
        QTest::newRow("ninguno") << int(MapaControl::cmNone);
    }

    void clicSinModoSeleccion()
    {
        QFETCH(int, modo);
        Huerto h(5);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, pixelDeHoja(w.Map1, 3));
        w.Map1->setCursorMode(modo);
        w.PanelEstado->clear();
        w.ComboCult[0]->clear();
        QSignalSpy avisos(w.Map1, &MapaControl::MouseUp);
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, pixelDeHoja(w.Map1, 5));
        QCOMPARE(avisos.size(), 1); // the map reported the release...
        QCOMPARE(w.HojaActual, 3);  // ... and nothing else happened
        QCOMPARE(w.FrameCultivo->title(), QStringLiteral("Hoja :3"));
        QCOMPARE(resaltadas(w.Map1), QList<int>{3});
        QCOMPARE(w.PanelEstado->text(), QString());
        QCOMPARE(w.ComboCult[0]->count(), 0);
    }

    void cualquierBoton_data()
    {
        QTest::addColumn<int>("boton");
        QTest::addColumn<int>("teclas");
        QTest::addColumn<int>("Button");
        QTest::addColumn<int>("Shift");
        QTest::newRow("derecho") << int(Qt::RightButton) << int(Qt::NoModifier) << 2 << 0;
        QTest::newRow("central con mayúsculas")
            << int(Qt::MiddleButton) << int(Qt::ShiftModifier) << 4 << 1;
        QTest::newRow("izquierdo con control y alt")
            << int(Qt::LeftButton) << int(Qt::ControlModifier | Qt::AltModifier) << 1 << 6;
    }

    void cualquierBoton()
    {
        QFETCH(int, boton);
        QFETCH(int, teclas);
        QFETCH(int, Button);
        QFETCH(int, Shift);
        Huerto h(4);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QSignalSpy avisos(w.Map1, &MapaControl::MouseUp);
        const QPoint p = pixelDeHoja(w.Map1, 4);
        QTest::mouseClick(w.Map1, Qt::MouseButton(boton), Qt::KeyboardModifiers(teclas), p);
        QCOMPARE(avisos.size(), 1);
        QCOMPARE(avisos.first(), (QList<QVariant>{Button, Shift, p.x(), p.y()}));
        QCOMPARE(w.HojaActual, 4);
        QCOMPARE(resaltadas(w.Map1), QList<int>{4});
    }

    void bordeCompartido()
    {
        Huerto h(3);
        // Sheet 2 west of sheet 1, sharing the edge x = 1; sheet 3 apart, so
        // that the layout's middle is that edge.
        QString error;
        QVERIFY(GeneradorHojas::EscribirHojas(QDir(h.bd.carpeta()).filePath(QStringLiteral("hojas")),
                                              QStringLiteral("hojas3"),
                                              {cuadrado(2, 0, 0, 1, 1), cuadrado(1, 1, 0, 2, 1),
                                               cuadrado(3, 0, 1.5, 2, 2)},
                                              &error));
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        w.Map1->resize(300, 200);
        const int y = pixelDe(w.Map1, OrigenX + 1, OrigenY + 0.5).y();
        double px = 0, py = 0;
        w.Map1->PixelToProj(150, y, px, py);
        QCOMPARE(px, OrigenX + 1);
        QVERIFY(py > OrigenY && py < OrigenY + 1);
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, QPoint(150, y));
        QCOMPARE(resaltadas(w.Map1), (QList<int>{1, 2}));
        QCOMPARE(w.HojaActual, 2); // the sheet of the first shape in the file
        QCOMPARE(w.FrameCultivo->title(), QStringLiteral("Hoja :2"));
    }

    // ---- Highlight -------------------------------------------------------------

    void resaltarPorNumero()
    {
        Huerto h(5);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        const Shapefile *sf = w.Map1->GetObject(0);
        // The sheet is found by its number, not by its place in the file.
        QVERIFY(indiceDeHoja(sf, 4) != 3);
        w.ResaltarHojaPorNumero(4);
        QCOMPARE(resaltadas(w.Map1), QList<int>{4});
        QCOMPARE(w.Map1->ShapeFillColor(0, indiceDeHoja(sf, 4)), kAmarillo);
        w.ResaltarHojaPorNumero(9);
        QVERIFY(resaltadas(w.Map1).isEmpty());
        w.ResaltarHoja({indiceDeHoja(sf, 1), indiceDeHoja(sf, 2)});
        QCOMPARE(resaltadas(w.Map1), (QList<int>{1, 2}));
        w.ResaltarHoja({});
        QVERIFY(resaltadas(w.Map1).isEmpty());
        w.ResaltarHoja({-1, 99});
        QVERIFY(resaltadas(w.Map1).isEmpty());
        QCOMPARE(w.Map1->ShapeLayerFillColor(0), ColorHoja);
        QCOMPARE(w.Map1->ShapeLayerLineColor(0), ColorBordeHoja);
    }

    void refrescoQuitaResaltado()
    {
        Huerto h(6);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, pixelDeHoja(w.Map1, 6));
        QCOMPARE(resaltadas(w.Map1), QList<int>{6});
        w.refrescaMapa();
        QVERIFY(resaltadas(w.Map1).isEmpty());
        QCOMPARE(w.Map1->NumLayers(), 1);
        QCOMPARE(w.Map1->Etiquetas(0).size(), 6);
        QCOMPARE(w.HojaActual, 6);
    }

    void dibujo()
    {
        Huerto h(5);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, pixelDeHoja(w.Map1, 3));
        const QImage img = w.Map1->grab().toImage();
        const Shapefile *sf = w.Map1->GetObject(0);
        const int tres = indiceDeHoja(sf, 3);
        // A pixel counts as on a sheet when the sheet, grown by two pixels, holds it.
        double x0, y0, x1, y1;
        w.Map1->PixelToProj(0, 0, x0, y0);
        w.Map1->PixelToProj(2, 0, x1, y1);
        const double dosPixeles = x1 - x0;
        int amarillos = 0, marrones = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                const bool amarillo = c == qRgb(255, 255, 0);
                const bool marron = c == qRgb(204, 153, 102);
                if (!amarillo && !marron)
                    continue;
                double px, py;
                w.Map1->PixelToProj(x + 0.5, y + 0.5, px, py);
                Extents punto;
                punto.SetBounds(px, py, 0, px, py, 0);
                QList<int> r;
                QVERIFY2(sf->SelectShapes(punto, dosPixeles, Shapefile::Interseccion, r),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                if (amarillo) {
                    ++amarillos;
                    QVERIFY(r.contains(tres));
                } else {
                    ++marrones;
                    QVERIFY(r != QList<int>{tres});
                }
            }
        QVERIFY(amarillos > 200);
        QVERIFY(marrones > 4 * 200);
    }

    void redimensionar()
    {
        Huerto h(5);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        const QPoint antes = pixelDeHoja(w.Map1, 2);
        w.Map1->resize(200, 150);
        QVERIFY(pixelDeHoja(w.Map1, 2) != antes);
        // The layer fits the control, and the two conversions undo each other.
        const Shapefile *sf = w.Map1->GetObject(0);
        for (int i = 0; i < sf->NumShapes(); ++i) {
            const Extents c = sf->ShapeExtents(i);
            for (const QPoint &p : {pixelDe(w.Map1, c.xMin, c.yMin), pixelDe(w.Map1, c.xMax, c.yMax)})
                QVERIFY(QRect(0, 0, 200, 150).contains(p));
            double x, y, px, py;
            w.Map1->ProjToPixel(c.xMin, c.yMax, x, y);
            w.Map1->PixelToProj(x, y, px, py);
            QVERIFY(qAbs(px - c.xMin) < 1e-6 && qAbs(py - c.yMax) < 1e-6);
        }
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, pixelDeHoja(w.Map1, 2));
        QCOMPARE(w.HojaActual, 2);
    }

    // ---- Layout files ------------------------------------------------------------

    void rutaEnMayusculas()
    {
        Huerto h(4);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        const QString carpeta = QDir(h.bd.carpeta()).filePath(QStringLiteral("otros"));
        QDir().mkpath(carpeta);
        for (const char *ext : {"shp", "shx", "dbf"})
            QVERIFY(QFile::copy(h.hojas(QStringLiteral("hojas4.") + QLatin1String(ext)),
                                carpeta + QStringLiteral("/HOJAS4.") + QString::fromLatin1(ext).toUpper()));
        w.Map2->RemoveAllLayers();
        const int capas = w.CapasMapa.size();
        CargarShapefile(w.Map2, carpeta + QStringLiteral("/HOJAS4.SHP"), w.CapasMapa);
        QCOMPARE(h.r.mensajes().size(), 0);
        QCOMPARE(w.Map2->NumLayers(), 1);
        QCOMPARE(w.Map2->LayerName(0), QStringLiteral("HOJAS4.SHP"));
        QCOMPARE(w.Map2->ShapeLayerFillColor(0), ColorHoja);
        QCOMPARE(w.CapasMapa.size(), capas + 1);
        QCOMPARE(w.CapasMapa.last(), 0);
    }

    void rutaNoShape_data()
    {
        QTest::addColumn<QString>("fichero");
        QTest::newRow("txt") << "hojas4.txt";
        QTest::newRow("copia de seguridad") << "hojas4.shp.bak";
        QTest::newRow("sin extensión") << "hojas4";
        QTest::newRow("sh") << "hojas4.sh";
    }

    void rutaNoShape()
    {
        QFETCH(QString, fichero);
        Huerto h(4);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        const QString ruta = h.hojas(fichero);
        QFile::copy(h.hojas(QStringLiteral("hojas4.shp")), ruta);
        const QList<int> capas = w.CapasMapa;
        CargarShapefile(w.Map2, ruta, w.CapasMapa);
        const auto m = h.r.mensajes();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().texto, QStringLiteral("El fichero, ") + ruta + QStringLiteral(" no es del tipo ESRI shape."));
        QCOMPARE(m.first().icono, Dialogos::SinIcono);
        QCOMPARE(m.first().botones, Dialogos::SoloAceptar);
        QCOMPARE(m.first().titulo, Dialogos::TituloAplicacion());
        QCOMPARE(w.CapasMapa, capas);
        QCOMPARE(w.Map2->NumLayers(), 1);
        QCOMPARE(w.Map2->LayerName(0), QStringLiteral("hojas4.shp"));
    }

    void vistaPreviaSinFichero()
    {
        Huerto h(4);
        QVERIFY(QFile::remove(h.hojas(QStringLiteral("hojas6.shp"))));
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QCOMPARE(h.r.mensajes().size(), 0);
        auto elegir = [&](const QString &n) {
            const int i = w.ComboNHojas->findText(n);
            w.ComboNHojas->setCurrentIndex(i);
            emit w.ComboNHojas->activated(i); // as the user's choice raises it
        };
        elegir(QStringLiteral("6"));
        const auto m = h.r.mensajes();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().texto, QStringLiteral("The file, ") + h.hojas(QStringLiteral("hojas6.shp"))
                                      + QStringLiteral(" was not found."));
        QCOMPARE(m.first().icono, Dialogos::Critico);
        QCOMPARE(m.first().titulo, Dialogos::TituloAplicacion());
        QCOMPARE(w.Map2->NumLayers(), 0);
        // The preview changes nothing else.
        QCOMPARE(w.Nhojas, 4);
        QCOMPARE(w.Map1->LayerName(0), QStringLiteral("hojas4.shp"));
        QCOMPARE(w.CapasMapa.size(), 2);
        QCOMPARE(h.bd.valor(QStringLiteral("select HOJAS from Parcelas")).toInt(), 4);

        elegir(QStringLiteral("7"));
        QCOMPARE(h.r.mensajes().size(), 1);
        QCOMPARE(w.Map2->LayerName(0), QStringLiteral("hojas7.shp"));
        QCOMPARE(w.Map2->Etiquetas(0).size(), 7);
        QCOMPARE(w.CapasMapa, (QList<int>{0, 0, 0}));
        QCOMPARE(w.Map1->LayerName(0), QStringLiteral("hojas4.shp"));
    }

    void planoRoto_data()
    {
        QTest::addColumn<QString>("fichero");
        QTest::addColumn<QByteArray>("contenido"); // empty: the file is removed
        QTest::addColumn<QString>("motivo");
        QTest::newRow(".shp vacío") << "hojas5.shp" << QByteArray("") << "el fichero está vacío.";
        QTest::newRow(".shp de texto") << "hojas5.shp" << QByteArray("hola\n").repeated(40)
                                       << "no es un fichero ESRI shape";
        QTest::newRow("sin .dbf") << "hojas5.dbf" << QByteArray() << "falta su tabla de atributos hojas5.dbf.";
        QTest::newRow("sin .shx") << "hojas5.shx" << QByteArray() << "falta su fichero de índice hojas5.shx.";
        QTest::newRow("número de hoja 0") << "hojas5.dbf" << QByteArray("hoja 0") << "no es un número entero de 1 a 255";
    }

    void planoRoto()
    {
        QFETCH(QString, fichero);
        QFETCH(QByteArray, contenido);
        QFETCH(QString, motivo);
        Huerto h(5);
        const QString ruta = h.hojas(fichero);
        if (contenido == "hoja 0") {
            auto diseño = GeneradorHojas::Diseño(5);
            diseño[1].hoja = 0;
            QString error;
            QVERIFY(GeneradorHojas::EscribirHojas(QFileInfo(ruta).path(), QStringLiteral("hojas5"), diseño, &error));
        } else if (contenido.isNull()) {
            QVERIFY(QFile::remove(ruta));
        } else {
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(contenido);
        }
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        // Reported twice: for the map and for the preview of the same count.
        const auto m = h.r.mensajes();
        QCOMPARE(m.size(), 2);
        const QString inicio = QStringLiteral("el fichero: ") + h.hojas(QStringLiteral("hojas5.shp"))
            + QStringLiteral(" no se puede abrir por\r\n");
        for (const auto &p : m) {
            QVERIFY2(p.texto.startsWith(inicio), qPrintable(p.texto));
            QVERIFY2(p.texto.mid(inicio.size()).contains(motivo), qPrintable(p.texto));
            QCOMPARE(p.icono, Dialogos::Critico);
            QCOMPARE(p.titulo, Dialogos::TituloAplicacion());
        }
        QCOMPARE(w.Map1->NumLayers(), 0);
        QCOMPARE(w.Map2->NumLayers(), 0);
        QVERIFY(w.CapasMapa.isEmpty());

        // A click selects nothing but still refreshes the pickers.
        const QString titulo = w.FrameCultivo->title();
        w.ComboCult[0]->clear();
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, w.Map1->rect().center());
        QCOMPARE(w.HojaActual, 0);
        QCOMPARE(w.FrameCultivo->title(), titulo);
        QVERIFY(w.ComboCult[0]->count() > 0);

        // The rest of the window goes on: another count previews.
        const int i = w.ComboNHojas->findText(QStringLiteral("4"));
        w.ComboNHojas->setCurrentIndex(i);
        emit w.ComboNHojas->activated(i);
        QCOMPARE(w.Map2->LayerName(0), QStringLiteral("hojas4.shp"));
        QCOMPARE(h.r.mensajes().size(), 2);
    }

    void sinParcela()
    {
        Huerto h(0);
        QVERIFY(h.arrancar());
        FormPrincipal &w = h.w();
        QCOMPARE(h.r.mensajes().size(), 0);
        QCOMPARE(w.Map1->NumLayers(), 0);
        QCOMPARE(w.Map2->NumLayers(), 0);
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, w.Map1->rect().center());
        QCOMPARE(w.HojaActual, 0);
        QCOMPARE(h.r.mensajes().size(), 0);
    }

    // ---- The map control on its own ------------------------------------------------

    void capas()
    {
        BDPrueba bd;
        auto sf = std::make_shared<Shapefile>();
        QVERIFY(sf->Open(QDir(bd.carpeta()).filePath(QStringLiteral("hojas/hojas3.shp"))));
        MapaControl m;
        QCOMPARE(m.NumLayers(), 0);
        QCOMPARE(m.AddLayer(sf, true), 0);
        QCOMPARE(m.AddLayer(sf, false), 1);
        QCOMPARE(m.NumLayers(), 2);
        QVERIFY(!m.LayerVisible(1));
        QCOMPARE(m.GetObject(1), sf.get());
        QCOMPARE(m.AddLayer(nullptr, true), -1);
        QCOMPARE(m.AddLayer(std::make_shared<Shapefile>(), true), -1); // never opened
        QCOMPARE(m.NumLayers(), 2);
        m.AddLabelEx(0, QStringLiteral("uno\r\ndos\r\n"), 0, 1, 2, MapaControl::hjCenter, 0.0);
        m.AddLabelEx(7, QStringLiteral("sin capa"), 0, 1, 2, MapaControl::hjCenter, 0.0);
        m.AddLabelEx(0, QStringLiteral("fuera"), 0, qQNaN(), 2, MapaControl::hjCenter, 0.0);
        QCOMPARE(m.Etiquetas(0).size(), 1);
        QCOMPARE(m.Etiquetas(0).first().texto, QStringLiteral("uno\r\ndos\r\n"));
        QVERIFY(m.GetObject(7) == nullptr);
        QCOMPARE(m.LayerName(7), QString());

        m.RemoveAllLayers();
        QCOMPARE(m.NumLayers(), 0);
        QVERIFY(m.GetObject(0) == nullptr);
        QCOMPARE(m.AddLayer(sf, true), 0); // numbering starts again
        QVERIFY(m.Etiquetas(0).isEmpty()); // labels went with their layer
    }

    void coloresPorForma()
    {
        BDPrueba bd;
        auto sf = std::make_shared<Shapefile>();
        QVERIFY(sf->Open(QDir(bd.carpeta()).filePath(QStringLiteral("hojas/hojas3.shp"))));
        MapaControl m;
        const int c = m.AddLayer(sf, true);
        m.setShapeLayerFillColor(c, RGB(1, 2, 3));
        m.setShapeLayerLineColor(c, RGB(4, 5, 6));
        m.setShapeFillColor(c, 1, kAmarillo);
        m.setShapeLineColor(c, 1, kRojo);
        m.setShapeFillColor(c, 99, kAmarillo); // no such shape: ignored
        QCOMPARE(m.ShapeFillColor(c, 0), RGB(1, 2, 3));
        QCOMPARE(m.ShapeFillColor(c, 1), kAmarillo);
        QCOMPARE(m.ShapeLineColor(c, 1), kRojo);
        QCOMPARE(m.ShapeFillColor(c, 99), RGB(1, 2, 3));
        // Writing the layer colour, even the same one, wipes the shape's own.
        m.setShapeLayerFillColor(c, m.ShapeLayerFillColor(c));
        QCOMPARE(m.ShapeFillColor(c, 1), RGB(1, 2, 3));
        QCOMPARE(m.ShapeLineColor(c, 1), kRojo);
        m.setShapeLayerLineColor(c, m.ShapeLayerLineColor(c));
        QCOMPARE(m.ShapeLineColor(c, 1), RGB(4, 5, 6));
    }

    void eventosDelRaton()
    {
        MapaControl m;
        m.resize(200, 150);
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QSignalSpy soltado(&m, &MapaControl::MouseUp);
        QSignalSpy caja(&m, &MapaControl::SelectBoxFinal);
        QTest::mouseClick(&m, Qt::LeftButton, {}, QPoint(20, 30));
        QCOMPARE(soltado.size(), 0); // not asked for

        m.setSendMouseUp(true);
        m.setSendSelectBoxFinal(true);
        QTest::mouseClick(&m, Qt::LeftButton, {}, QPoint(20, 30));
        QCOMPARE(soltado.size(), 1);
        QCOMPARE(soltado.takeFirst(), (QList<QVariant>{1, 0, 20, 30}));

        // A drag draws a box only in selection mode.
        for (int modo : {int(MapaControl::cmNone), int(MapaControl::cmSelection)}) {
            m.setCursorMode(modo);
            soltarEn(&m, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
            soltarEn(&m, QEvent::MouseMove, QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
            soltarEn(&m, QEvent::MouseMove, QPoint(60, 40), Qt::NoButton, Qt::LeftButton);
            soltarEn(&m, QEvent::MouseButtonRelease, QPoint(60, 40), Qt::LeftButton, Qt::NoButton);
        }
        QCOMPARE(soltado.size(), 2);
        QCOMPARE(caja.size(), 1);
        QCOMPARE(caja.first(), (QList<QVariant>{10, 60, 40, 10}));
    }
};

QTEST_MAIN(TestMapa)
#include "test_mapa.moc"
