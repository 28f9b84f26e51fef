// The road of one typical request, as the user walks it: a click on a sheet
// of the map, a crop chosen and placed on a sowing fortnight, a follow-on crop
// chosen and placed, the sheet validated; then the stored rows, the map label
// and the explanation log.
#include "catalogue/EditorCatalogo.h"
#include "core/Conexion.h"
#include "fixtures/VentanaPrueba.h"

#include <QDate>
#include <qpa/qwindowsysteminterface.h>

using namespace modBasico;
using namespace Qt::StringLiterals;

class TestRecorrido : public QObject
{
    Q_OBJECT

private slots:
    void recorridoCompleto()
    {
        const int año = QDate::currentDate().year();
        const QString parcela = u"Huerto de l'Olivar"_s;
        Huerto h(4, 1, 1, parcela);
        h.sembrar({u"%1|2|Pimientos|9|13"_s.arg(año - 1), // last year on this sheet
                   u"%1|1|Lechugas|4|6"_s.arg(año),       // this year, another sheet
                   u"%1|2|Coles|5|9"_s.arg(año - 3)});    // long enough ago
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(control<QCheckBox>(w, "ModoExplicito"), Qt::LeftButton);
        h.r.limpiar();

        // The sheet, then the first crop on one of its sowing fortnights.
        QVERIFY(h.pulsarHoja(2));
        const QStringList ofrecidos = elementos(control<QComboBox>(w, "ComboCult0"));
        QVERIFY(!ofrecidos.contains(u"Lechugas"_s) && !ofrecidos.contains(u"Tomates"_s));
        QVERIFY(h.elegir(0, u"Coles"_s));
        QCOMPARE(control<CuadriculaFlex>(w, "MSHFlexTodoAño")->colorFondo(1, 14), ColorSiembra);
        h.pulsarCelda(1, 5);
        QCOMPARE(h.fila(1), u"....CCCCCcc............."_s);

        // The follow-on crop, placed over the year end; then validate.
        QVERIFY(control<QComboBox>(w, "ComboCult1")->findText(u"Coles"_s) < 0);
        QVERIFY(h.plantar(1, u"Chirivías"_s, 19));
        QCOMPARE(h.fila(2), u"CCcccc............CCCCCC"_s);
        QTest::mouseClick(control<QPushButton>(w, "BtValidaCultivos"), Qt::LeftButton);
        QCOMPARE(h.r.mensajes().size(), 0);
        const QString y = QString::number(año);
        QCOMPARE(h.filas(),
                 QStringList({u"%1|2|Coles|5|9"_s.arg(año - 3), u"%1|2|Pimientos|9|13"_s.arg(año - 1),
                              y + u"|1|Lechugas|4|6"_s, y + u"|2|Coles|5|9"_s, y + u"|2|Chirivías|19|25"_s}));
        QCOMPARE(h.bd.valor(u"select group_concat(familia || '/' || Prof_raiz || '/' || extraccion, ';') from"
                            " (select * from BDParcela where año = ? and hoja = 2 order by rowid)"_s,
                            {año})
                     .toString(),
                 u"Crucíferas/Superficiales/Hojas;Umbelíferas/Profundas/Raices y tubérculos"_s);
        const MapaControl *mapa = control<MapaControl>(w, "Map1");
        QCOMPARE(mapa->Etiquetas(0).at(indiceDeHoja(mapa->GetObject(0), 2)).texto,
                 u"Hoja: 2\r\nColes\r\nChirivías\r\n"_s);

        // The log explains the crops taken out for both pickers.
        const QStringList lineas = h.registro();
        QVERIFY(lineas.contains(u"Por repetición en las otras hojas sacado el cultivo : Lechugas"_s));
        QVERIFY(lineas.contains(u"Por repetición de Superficiales sacado el cultivo:Cebollas"_s));
    }

    // A click on the map made while a refusal blinks on the status line is
    // not let in: it runs after the refusal, so the refusal cannot empty a
    // slot of the sheet that click opens.
    void clicDuranteUnRechazo()
    {
        Huerto h(4, 6, 14);
        h.bd.ejecutar(u"insert into horticolas (Nombre, Familia, Parte_aprovechable, Profundidad_raices, Siembra_1_I,"
                      " Siembra_1_F, Cosecha_1_min, Cosecha_1_max) values"
                      " ('Tardía', 'Malváceas', 'Hojas', 'Medias', 3, 12, 60, 90),"
                      " ('Temprana', 'Aráceas', 'Bulbos y tallos', 'Profundas', 3, 12, 60, 90)"_s);
        const QStringList guardadas{u"2029|1|Temprana|6|9"_s, u"2030|2|Temprana|8|11"_s};
        h.sembrar(guardadas);
        QVERIFY(h.abrir(2030, 1));
        FormPrincipal &w = *h.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // The user's click on sheet 2 reaches the program while the refusal
        // of a crop sown in a frost fortnight blinks.
        const MapaControl *mapa = control<MapaControl>(w, "Map1");
        const QPointF punto = mapa->mapTo(&w, pixelDeHoja(mapa, 2));
        bool enviado = false;
        connect(&w.sesion(), &SesionHoja::filaPintada, &w, [&](int k) {
            const auto &colores = w.sesion().ranura(k).colores;
            if (enviado || std::find(colores.begin(), colores.end(), ColorSolape) == colores.end())
                return;
            enviado = true;
            const QPointF global = w.mapToGlobal(punto);
            using Q = QWindowSystemInterface;
            Q::handleMouseEvent<Q::AsynchronousDelivery>(w.windowHandle(), punto, global, Qt::LeftButton,
                                                          Qt::LeftButton, QEvent::MouseButtonPress);
            Q::handleMouseEvent<Q::AsynchronousDelivery>(w.windowHandle(), punto, global, Qt::NoButton,
                                                          Qt::LeftButton, QEvent::MouseButtonRelease);
        });
        QVERIFY(h.plantar(0, u"Tardía"_s, 5));
        QVERIFY(enviado);
        QCOMPARE(h.r.avisos(),
                 QStringList{u"Advertencia|SinIcono|SiNo|No es posible <Tardía>, escoge otro u otra fecha"_s});
        QTRY_COMPARE(w.sesion().hoja(), 2);
        QCOMPARE(control<QComboBox>(w, "ComboCult0")->currentText(), u"Temprana"_s);
        QTest::mouseClick(control<QPushButton>(w, "BtValidaCultivos"), Qt::LeftButton);
        QCOMPARE(h.filas(), guardadas);
    }

    // A stored crop the rules refuse when its sheet is opened is announced,
    // and it and every later crop stay hidden: validating asks before it
    // deletes them, and Enter («No») stores nothing.
    void validarConCultivosOcultos_data()
    {
        QTest::addColumn<int>("respuesta");
        QTest::newRow("Intro") << int(Respuestas::Intro);
        QTest::newRow("Sí") << int(Dialogos::Si);
    }

    void validarConCultivosOcultos()
    {
        QFETCH(int, respuesta);
        Huerto h;
        const QStringList guardadas{u"2030|1|Pimientos|9|13"_s, u"2031|1|Lechugas|4|6"_s, u"2031|1|Tomates|8|12"_s};
        h.sembrar(guardadas);
        QVERIFY(h.abrir(2031, 1));
        QCOMPARE(control<QComboBox>(*h.w, "ComboCult0")->currentText(), u"Lechugas"_s);
        QCOMPARE(h.w->sesion().ocultas(), QStringList{u"Tomates"_s});
        h.r.respuestaMensaje = respuesta;
        QTest::mouseClick(control<QPushButton>(*h.w, "BtValidaCultivos"), Qt::LeftButton);
        QVERIFY2(h.r.textos().size() == 1 && h.r.textos()[0].contains(u"Tomates"_s), qPrintable(h.r.textos().value(0)));
        QCOMPARE(h.filas(), respuesta == Dialogos::Si ? QStringList({guardadas[0], guardadas[1]}) : guardadas);
    }

    // Closing with a crop placed but not validated, or a catalogue edit not
    // written, asks once: «Sí» writes and closes (a failed write keeps the
    // window open with the work), «No» drops it, «Cancelar» stays.
    void cerrar_data()
    {
        QTest::addColumn<QString>("pendiente");
        QTest::addColumn<int>("respuesta");
        QTest::addColumn<bool>("bloqueada");
        QTest::addColumn<bool>("cerrada");
        QTest::newRow("nada pendiente") << "" << int(Dialogos::Cancelar) << false << true;
        for (const char *p : {"hoja", "catálogo"}) {
            QTest::addRow("%s, Sí", p) << p << int(Dialogos::Si) << false << true;
            QTest::addRow("%s, Sí sin poder escribir", p) << p << int(Dialogos::Si) << true << false;
            QTest::addRow("%s, No", p) << p << int(Dialogos::No) << false << true;
            QTest::addRow("%s, Cancelar", p) << p << int(Dialogos::Cancelar) << false << false;
        }
    }

    void cerrar()
    {
        QFETCH(QString, pendiente);
        QFETCH(int, respuesta);
        QFETCH(bool, bloqueada);
        QFETCH(bool, cerrada);
        Huerto h;
        QVERIFY(h.abrir(2010, 2));
        FormPrincipal &w = *h.w;
        if (pendiente == u"hoja"_s)
            QVERIFY(h.plantar(0, u"Tomates"_s, 8));
        else if (!pendiente.isEmpty())
            control<EditorCatalogo>(w, "EditorPlantas")->txtFields[1]->setText(u"Latín nuevo"_s);
        h.r.limpiar();
        h.r.respuestaMensaje = respuesta;
        Conexion otra(h.bd.fichero());
        if (bloqueada)
            otra.ejecutar(u"BEGIN EXCLUSIVE"_s);
        QCOMPARE(w.close(), cerrada);
        if (bloqueada)
            otra.ejecutar(u"ROLLBACK"_s);
        // Written only by «Sí», and then the window closed.
        const QString latin = u"select count(*) from horticolas where Latin = 'Latín nuevo'"_s;
        QCOMPARE(h.filas().size() + h.bd.valor(latin).toInt(), int(respuesta == Dialogos::Si && cerrada));
        QCOMPARE(h.r.mensajes().size(), pendiente.isEmpty() ? 0 : 1 + int(bloqueada));
        if (!cerrada) // the work is still there
            QVERIFY(w.sesion().haySinGuardar() || control<EditorCatalogo>(w, "EditorPlantas")->HayCambios());
    }
};

QTEST_MAIN(TestRecorrido)
#include "test_recorrido.moc"
