// Start-up, the rebuild for the current plot, the status line and the log.
#include "designer/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "fixtures/VentanaPrueba.h"
#include "platform/CuadriculaFlex.h"
#include "platform/Twips.h"
#include "auxiliary/FormPortada.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPrinterInfo>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace modBasico;

class TestInicio : public QObject
{
    Q_OBJECT

private slots:
    void ordenDeArranque()
    {
        BDPrueba bd;
        QVERIFY2(bd.valida(), qPrintable(bd.error()));
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 5, 19);
        bd.agregarParcela(QStringLiteral("Norte"), 6, 6, 21, true);
        bd.agregarParcela(QStringLiteral("Sur"), 3, 1, 1);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        // The splash came first, and nothing else asked the user anything.
        QCOMPARE(r.peticiones.size(), 1);
        QCOMPARE(r.peticiones.first().tipo, Dialogos::Peticion::Modal);
        QCOMPARE(r.peticiones.first().clase, QStringLiteral("FormPortada"));

        FormPrincipal &w = *v.w;
        QCOMPARE(w.ListaParcelas->count(), 3);
        QCOMPARE(w.ListaParcelas->item(0)->text(), QStringLiteral("Huerto"));
        QCOMPARE(w.ListaParcelas->item(1)->text(), QStringLiteral("Norte"));
        QCOMPARE(w.ListaParcelas->item(2)->text(), QStringLiteral("Sur"));
        QCOMPARE(w.ListaParcelas->currentRow(), 1);
        QCOMPARE(w.ParcelaActual, QStringLiteral("Norte"));
        QCOMPARE(w.Nhojas, 6);
        QCOMPARE(w.AñoActual, QDate::currentDate().year());
        QVERIFY(!w.Iniciando);
        QCOMPARE(w.SSTab1->currentIndex(), 0);
        QCOMPARE(w.SSTab1->tabText(0), QStringLiteral("Fase de diseño"));
        QCOMPARE(w.SSTab1->tabText(1), QStringLiteral("Calendario Biodinámico"));
        QCOMPARE(w.SSTab1->tabText(2), QStringLiteral("Base de datos de plantas"));
        QCOMPARE(w.SSTab1->tabText(3), QStringLiteral("Acerca de..."));
        QCOMPARE(w.FrameFasesLuna->pos(), QPoint(Twips::APixelesX(90), Twips::APixelesY(690)));
        QVERIFY(w.FrameFasesLuna->isHidden());
    }

    void impresoras()
    {
        BDPrueba bd;
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        const QStringList nombres = QPrinterInfo::availablePrinterNames();
        for (QComboBox *c : v.w->ComboImpresoras) {
            QStringList lista;
            for (int i = 0; i < c->count(); ++i)
                lista << c->itemText(i);
            QCOMPARE(lista, nombres);
            QCOMPARE(c->currentText(), nombres.value(0));
        }
    }

    void sinParcelaMarcada()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Primera"), 5, 5, 19);
        bd.agregarParcela(QStringLiteral("Segunda"), 4, 1, 1);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        QCOMPARE(v.w->ParcelaActual, QStringLiteral("Primera"));
        QCOMPARE(v.w->ListaParcelas->currentRow(), 0);
        QCOMPARE(v.w->Nhojas, 5);
        QCOMPARE(bd.valor(QStringLiteral("select NombreParcela from Parcelas where ultima <> 0")).toString(),
                 QStringLiteral("Primera"));
    }

    void tablaDeParcelasVacia()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        QCOMPARE(v.w->ListaParcelas->count(), 0);
        QVERIFY(v.w->ParcelaActual.isEmpty());
        QCOMPARE(r.mensajes().size(), 0);
    }

    void sinBaseDeDatos()
    {
        QTemporaryDir dir;
        Respuestas r;
        VentanaPrueba v(dir.path());
        QVERIFY(!v.arrancada);
        const auto m = r.mensajes();
        QCOMPARE(m.size(), 1);
        QVERIFY2(m.first().texto.contains(QStringLiteral("BDHuerta.db")), qPrintable(m.first().texto));
        QCOMPARE(m.first().icono, Dialogos::Critico);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("BDHuerta.db"))));
    }

    void rejillas()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Helada"), 4, 5, 19, true);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        CuadriculaFlex *g = w.MSHFlexTodoAño;
        QCOMPARE(g->filas(), 5);
        QCOMPARE(g->columnas(), 25);
        QCOMPARE(g->texto(0, 0), QStringLiteral("Cultivo"));
        const QStringList codigos = ColeccionQuincenas();
        for (int f = 1; f <= 24; ++f) {
            QCOMPARE(g->texto(0, f), codigos.at(f - 1));
            QCOMPARE(w.MSHFlexBD->texto(0, f), codigos.at(f - 1));
            QCOMPARE(w.MSHFlexBD->texto(4, f), QString::number(f));
            QCOMPARE(g->colorFondo(0, f), ColorEstacion(f));
            QCOMPARE(w.MSHFlexBD->colorFondo(0, f), ColorEstacion(f));
            QCOMPARE(g->anchoColumnaTwips(f), Twips::DesdePixelesX(Twips::APixelesX(305)));
        }
        QCOMPARE(g->colorFondo(0, 11), ColorPrimavera);
        QCOMPARE(g->colorFondo(0, 12), ColorVerano);
        QCOMPARE(g->colorFondo(0, 24), ColorInvierno);
        QCOMPARE(w.MSHFlexBD->texto(1, 0), QStringLiteral("siembra/tras"));

        // Frost marks outside 5..18.
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 24; ++c)
                QVERIFY2(g->tieneImagen(r, c) == (c < 5 || c >= 19), qPrintable(QStringLiteral("%1,%2").arg(r).arg(c)));
        QCOMPARE(w.ComboMLH[0]->currentText(), QStringLiteral("marzo"));
        QCOMPARE(w.ComboMLH[1]->currentText(), QStringLiteral("octubre"));
        QCOMPARE(w.ComboNHojas->currentText(), QStringLiteral("4"));

        // The pickers lie over column 0 of rows 1 to 4.
        for (int k = 0; k < 4; ++k) {
            const QRect celda = g->rectCelda(k + 1, 0).translated(g->pos());
            QCOMPARE(w.ComboCult[k]->x(), celda.x());
            QCOMPARE(w.ComboCult[k]->width(), celda.width());
            QVERIFY(qAbs(w.ComboCult[k]->y() - (celda.y() - Twips::APixelesY(20))) <= 1);
        }
    }

    void sinLimiteDeHeladas()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Templada"), 3, 1, 18, true);
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 24; ++c)
                QVERIFY(!v.w->MSHFlexTodoAño->tieneImagen(r, c));
        QCOMPARE(v.w->CultivosPosiblesSinHelada.size(), bd.contar(QStringLiteral("horticolas")) + 1);
        QCOMPARE(v.w->CultivosPosiblesSinHelada.at(0), CultivoVacio);
    }

    void reconstruirNoDuplica()
    {
        BDPrueba bd;
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        const int n = v.w->ComboTodasHortalizas->count();
        QCOMPARE(n, bd.contar(QStringLiteral("horticolas")));
        v.w->AñoActual = 2011;
        for (int i = 0; i < 3; ++i)
            v.w->Inicia_Todo();
        QCOMPARE(v.w->ComboTodasHortalizas->count(), n);
        QCOMPARE(v.w->ComboMLH[0]->count(), 24);
        QCOMPARE(v.w->ComboMLH[1]->count(), 24);
        QCOMPARE(v.w->ComboNHojas->count(), 5);
        QCOMPARE(v.w->Catalogo.TodosCultivos.size(), n);
        QCOMPARE(v.w->AñoActual, QDate::currentDate().year());
    }

    void opcionesDeLaParcela()
    {
        BDPrueba bd;
        bd.vaciarParcelas();
        bd.ejecutar(QStringLiteral("insert into Parcelas (NombreParcela, HOJAS, Libre_Heladas_Inicio, Libre_Heladas_Final,"
                                   " RepetirFrutos, RepetirRaices, Alcachofa, Fresa, Espárrago, ultima)"
                                   " values ('Opciones', 7, 6, 24, 1, 0, 5, 3, 6, 1)"));
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        QCOMPARE(w.CheckRepetirFrutos->checkState(), Qt::Checked);
        QCOMPARE(w.CheckRepetirRaices->checkState(), Qt::Unchecked);
        QCOMPARE(w.SliderAlcachofa->value(), 5);
        QCOMPARE(w.TextAlcachofa->text(), QStringLiteral("5"));
        QCOMPARE(w.SliderFresa->value(), 3);
        QCOMPARE(w.TextFresa->text(), QStringLiteral("3"));
        QCOMPARE(w.SliderEsparrago->value(), 6);
        QCOMPARE(w.LabelEspárrago->text(), QStringLiteral("6"));
        QCOMPARE(w.ComboNHojas->currentText(), QStringLiteral("7"));
        QCOMPARE(w.ComboMLH[0]->currentText(), QStringLiteral("marzo ½"));
        QCOMPARE(w.ComboMLH[1]->currentText(), QStringLiteral("diciembre ½"));
    }

    void registroExplicito()
    {
        BDPrueba bd;
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        QCOMPARE(w.AlturaTwips(), Twips::DesdePixelesY(Twips::APixelesY(10140)));
        QVERIFY(w.ListModoExplicito->y() >= w.centralWidget()->height()); // just below the visible area

        w.Explicito(QStringLiteral("perdida"));
        QCOMPARE(w.ListModoExplicito->count(), 0);

        QTest::mouseClick(w.ModoExplicito, Qt::LeftButton);
        QCOMPARE(w.ModoExplicito->checkState(), Qt::Checked);
        QCOMPARE(w.AlturaTwips(), Twips::DesdePixelesY(Twips::APixelesY(11310)));
        QVERIFY(w.ListModoExplicito->y() + 20 < w.centralWidget()->height()); // the log shows
        QCOMPARE(w.ListModoExplicito->count(), 0); // the lost line does not come back
        for (int i = 0; i < 40; ++i)
            w.Explicito(QStringLiteral("línea"));
        QCOMPARE(w.ListModoExplicito->count(), 40); // repeats are kept
        w.Explicito(QStringLiteral("última"));
        QCOMPARE(w.ListModoExplicito->item(40)->text(), QStringLiteral("última"));
        QVERIFY(w.ListModoExplicito->visualItemRect(w.ListModoExplicito->item(40)).intersects(
            w.ListModoExplicito->viewport()->rect()));

        QTest::mouseClick(w.ModoExplicito, Qt::LeftButton);
        QCOMPARE(w.AlturaTwips(), Twips::DesdePixelesY(Twips::APixelesY(10140)));
        QCOMPARE(w.ListModoExplicito->count(), 41); // lines stay while unticked

        QTest::mouseDClick(w.ListModoExplicito->viewport(), Qt::LeftButton);
        QCOMPARE(w.ListModoExplicito->count(), 0);
        QTest::mouseDClick(w.ListModoExplicito->viewport(), Qt::LeftButton);
        QCOMPARE(w.ListModoExplicito->count(), 0);
        QCOMPARE(w.ListModoExplicito->toolTip(), QStringLiteral("Pulsa doble click para borrar el contenido"));
    }

    void parpadeo()
    {
        BDPrueba bd;
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        // Watch the panel's text change while the blink runs.
        QStringList vistos;
        QString anterior = QStringLiteral("<inicio>");
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, [&] {});
        class Espia : public QObject
        {
        public:
            QStringList *vistos;
            QLabel *panel;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (o == panel && e->type() == QEvent::Paint)
                    vistos->append(panel->text());
                return false;
            }
        } espia;
        espia.vistos = &vistos;
        espia.panel = w.PanelEstado;
        w.PanelEstado->installEventFilter(&espia);

        QElapsedTimer t;
        t.start();
        w.PonerTextoPanel(QStringLiteral("Elige la zona verde"));
        QVERIFY(t.elapsed() >= 120);
        QCOMPARE(w.PanelEstado->text(), QStringLiteral("Elige la zona verde"));
        QVERIFY(vistos.contains(QString()));
        QVERIFY(vistos.contains(QStringLiteral("Elige la zona verde")));

        w.PonerTextoPanel(QStringLiteral("Segundo"));
        QCOMPARE(w.PanelEstado->text(), QStringLiteral("Segundo"));
        t.restart();
        w.PonerTextoPanel(QString());
        QVERIFY(t.elapsed() >= 120);
        QCOMPARE(w.PanelEstado->text(), QString());
        w.PanelEstado->removeEventFilter(&espia);
    }

    void nombresAccesibles()
    {
        BDPrueba bd;
        Respuestas r;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        for (int k = 0; k < 4; ++k)
            QCOMPARE(w.ComboCult[k]->accessibleName(), QStringLiteral("Cultivo %1").arg(k + 1));
        QCOMPARE(w.MSHFlexTodoAño->accessibleName(), QStringLiteral("Plan del año"));
        QCOMPARE(w.arbolaños->accessibleName(), QStringLiteral("Árbol de años"));
        QCOMPARE(w.ListaParcelas->accessibleName(), QStringLiteral("Parcelas"));
        QCOMPARE(w.ListModoExplicito->accessibleName(), QStringLiteral("Registro explícito"));
        QCOMPARE(w.BtValidaCultivos->accessibleName(), QStringLiteral("Validar Hoja"));
        QCOMPARE(w.BtVaciaHoja->text(), QStringLiteral("Vacía la hoja"));
        QCOMPARE(w.Btimprimir->text(), QStringLiteral("Imprimir"));
        QCOMPARE(w.ModoExplicito->text(), QStringLiteral("Modo explícito"));
        // Every widget of the window carries a name.
        for (QWidget *c : w.findChildren<QWidget *>()) {
            if (c->inherits("QAbstractButton") || c->inherits("QComboBox") || c->inherits("QAbstractItemView")
                || c->inherits("QGroupBox") || c->inherits("QSlider") || c->inherits("QLineEdit")) {
                if (c->parent() && (c->parent()->inherits("QComboBox") || c->parent()->inherits("QTabBar")
                                    || c->parent()->inherits("QCalendarWidget")
                                    || c->parentWidget()->inherits("QAbstractScrollArea")))
                    continue;
                if (c->objectName().startsWith(QLatin1String("qt_")))
                    continue;
                QVERIFY2(!c->accessibleName().isEmpty(), c->metaObject()->className());
            }
        }
    }

    void portada()
    {
        FormPortada p;
        QCOMPARE(p.Timer1->interval(), 3500);
        QCOMPARE(FormPortada::Imagen().size(), QSize(557, 476));
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QTest::qWait(3700); // the timer ticks; the splash stays
        QVERIFY(p.isVisible());
        QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!p.isVisible());
        QCOMPARE(p.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestInicio)
#include "test_inicio.moc"
