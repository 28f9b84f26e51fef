// Storing and emptying a sheet's plan: the rows written, perennials over
// several years, refusals, and failures that must leave the stored plan whole.
#include "designer/PlanHoja.h"
#include "designer/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "fixtures/VentanaPrueba.h"
#include "platform/Conexion.h"
#include "platform/CuadriculaFlex.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <unistd.h>

using modBasico::CultivoVacio;

namespace {

// The plot's rows as "año|hoja|cultivo|inicio|final", by year, sheet and
// stored order.
QStringList filasDe(BDPrueba &bd, const QString &parcela = QStringLiteral("Huerto"))
{
    Conexion con(bd.fichero());
    QSqlQuery q = con.ejecutar(QStringLiteral("select año, hoja, cultivo, mes_inicio, mes_final from BDParcela"
                                              " where parcela = ? order by año, hoja, rowid"),
                               {parcela});
    QStringList r;
    while (q.next())
        r << QStringLiteral("%1|%2|%3|%4|%5")
                 .arg(q.value(0).toInt())
                 .arg(q.value(1).toInt())
                 .arg(q.value(2).toString())
                 .arg(q.value(3).toInt())
                 .arg(q.value(4).toInt());
    return r;
}

// Rows written as "año|hoja|cultivo|inicio|final".
void sembrar(BDPrueba &bd, const QStringList &filas, const QString &parcela = QStringLiteral("Huerto"))
{
    for (const QString &f : filas) {
        const QStringList p = f.split(QLatin1Char('|'));
        bd.agregarFila(parcela, p[0].toInt(), p[1].toInt(), p[2], p[3].toInt(), p[4].toInt());
    }
}

// Slots written as "cultivo:inicio-final"; "····" is the empty-crop entry.
QList<CultivoHoja> huecos(const QStringList &l)
{
    QList<CultivoHoja> r;
    for (const QString &s : l) {
        const QString nombre = s.section(QLatin1Char(':'), 0, 0);
        const QString span = s.section(QLatin1Char(':'), 1);
        r << CultivoHoja{nombre == QStringLiteral("····") ? CultivoVacio : nombre,
                         span.section(QLatin1Char('-'), 0, 0).toInt(), span.section(QLatin1Char('-'), 1).toInt()};
    }
    return r;
}

AñosPlurianuales años(int alcachofa, int fresa, int esparrago)
{
    AñosPlurianuales a;
    a.alcachofa = alcachofa;
    a.fresa = fresa;
    a.esparrago = esparrago;
    return a;
}

// A window on plot Huerto (4 sheets, no frost limit) showing sheet 2 of 2010.
struct Ventana
{
    BDPrueba bd;
    Respuestas respuestas;
    std::unique_ptr<VentanaPrueba> v;
    FormPrincipal *w = nullptr;

    Ventana()
    {
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto"), 4, 1, 1, true);
    }
    bool abrir()
    {
        v = std::make_unique<VentanaPrueba>(bd.carpeta());
        w = v->w.get();
        if (!v->arrancada)
            return false;
        w->AñoActual = 2010;
        w->HojaActual = 2;
        w->LeerCultivos();
        respuestas.limpiar();
        return true;
    }
    // The user's choice in picker k, then a click on fortnight c of its row.
    void plantar(int k, const QString &cultivo, int c)
    {
        QComboBox *p = w->ComboCult[k];
        const int i = p->findText(cultivo);
        QVERIFY2(i >= 0, qPrintable(cultivo));
        p->setCurrentIndex(i);
        emit p->activated(i);
        w->MSHFlexTodoAño->setCelda(k + 1, c);
        w->MSHFlexTodoAño_Click();
    }
};

} // namespace

class TestHoja : public QObject
{
    Q_OBJECT

private slots:
    void tomates()
    {
        BDPrueba bd;
        GuardarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, 2,
                    huecos({"Tomates:5-12", "····:0-0", "····:0-0", "····:0-0"}), años(4, 3, 6));
        Conexion con(bd.fichero());
        QSqlQuery q = con.ejecutar(QStringLiteral("select * from BDParcela where parcela = 'Huerto'"));
        QVERIFY(q.next());
        QCOMPARE(LeerTexto(q, "parcela"), QStringLiteral("Huerto"));
        QCOMPARE(LeerEntero(q, "año"), 2010);
        QCOMPARE(LeerEntero(q, "hoja"), 2);
        QCOMPARE(LeerTexto(q, "cultivo"), QStringLiteral("Tomates"));
        QCOMPARE(LeerTexto(q, "familia"), QStringLiteral("Solanáceas"));
        QCOMPARE(LeerTexto(q, "Prof_raiz"), QStringLiteral("Profundas"));
        QCOMPARE(LeerTexto(q, "extraccion"), QStringLiteral("Flor, Semilla y fruto"));
        QCOMPARE(LeerEntero(q, "mes_inicio"), 5);
        QCOMPARE(LeerEntero(q, "mes_final"), 12);
        QVERIFY(!q.next());
    }

    void guardar_data()
    {
        QTest::addColumn<QStringList>("antes");
        QTest::addColumn<QStringList>("cultivos");
        QTest::addColumn<int>("fresa");
        QTest::addColumn<QStringList>("despues");

        const QStringList vacios = {"····:0-0", "····:0-0", "····:0-0"};
        QTest::newRow("fresas tres años") << QStringList{} << QStringList{"Fresas:17-30"} + vacios << 3
                                          << QStringList{"2010|2|Fresas|17|24", "2011|2|Fresas|1|24",
                                                         "2012|2|Fresas|1|30"};
        QTest::newRow("fresas un año") << QStringList{} << QStringList{"Fresas:17-30"} + vacios << 1
                                       << QStringList{"2010|2|Fresas|17|30"};
        QTest::newRow("fresas cero años") << QStringList{} << QStringList{"Fresas:17-30"} + vacios << 0
                                          << QStringList{};
        QTest::newRow("fresas en minúsculas es un cultivo corriente")
            << QStringList{} << QStringList{"fresas:17-30"} + vacios << 3 << QStringList{"2010|2|fresas|17|30"};
        QTest::newRow("fila intermedia vacía")
            << QStringList{} << QStringList{"Tomates:5-12", "····:0-0", "Lechugas:15-18", ":0-0"} << 3
            << QStringList{"2010|2|Tomates|5|12", "2010|2|Lechugas|15|18"};
        QTest::newRow("todo vacío solo borra")
            << QStringList{"2010|2|Tomates|5|12", "2010|2|Coles|14|17", "2009|2|Habas|3|10", "2010|1|Ajos|20|30"}
            << QStringList{"····:0-0", "····:0-0", "····:0-0", "····:0-0"} << 3
            << QStringList{"2009|2|Habas|3|10", "2010|1|Ajos|20|30"};
        QTest::newRow("sustituye la hoja del año")
            << QStringList{"2010|2|Tomates|5|12", "2011|2|Coles|5|8"}
            << QStringList{"Pimientos:9-13", "Coles:14-17"} + QStringList{"····:0-0", "····:0-0"} << 3
            << QStringList{"2010|2|Pimientos|9|13", "2010|2|Coles|14|17", "2011|2|Coles|5|8"};
        QTest::newRow("guardar otra vez no dobla la plantación")
            << QStringList{"2010|2|Fresas|17|24", "2011|2|Fresas|1|24", "2012|2|Fresas|1|30", "2011|2|Ajos|20|30"}
            << QStringList{"Fresas:17-30"} + vacios << 3
            << QStringList{"2010|2|Fresas|17|24", "2011|2|Ajos|20|30", "2011|2|Fresas|1|24", "2012|2|Fresas|1|30"};
        QTest::newRow("menos años quita los sobrantes")
            << QStringList{"2010|2|Fresas|17|24", "2011|2|Fresas|1|24", "2012|2|Fresas|1|24", "2013|2|Fresas|1|30"}
            << QStringList{"Fresas:17-30"} + vacios << 2 << QStringList{"2010|2|Fresas|17|24", "2011|2|Fresas|1|30"};
        QTest::newRow("continuación de una plantación")
            << QStringList{"2009|2|Fresas|17|24", "2010|2|Fresas|1|24", "2011|2|Fresas|1|30"}
            << QStringList{"Fresas:1-24", "Cebollas:25-30", "····:0-0", "····:0-0"} << 3
            << QStringList{"2009|2|Fresas|17|24", "2010|2|Fresas|1|24", "2010|2|Cebollas|25|30",
                           "2011|2|Fresas|1|30"};
    }

    void guardar()
    {
        QFETCH(QStringList, antes);
        QFETCH(QStringList, cultivos);
        QFETCH(int, fresa);
        QFETCH(QStringList, despues);
        BDPrueba bd;
        sembrar(bd, antes);
        sembrar(bd, {"2010|2|Tomates|5|12"}, QStringLiteral("Otra"));
        GuardarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, 2, huecos(cultivos), años(4, fresa, 6));
        QCOMPARE(filasDe(bd), despues);
        QCOMPARE(filasDe(bd, QStringLiteral("Otra")), QStringList{"2010|2|Tomates|5|12"});
    }

    void propiedadesCopiadas()
    {
        BDPrueba bd;
        // A crop the catalogue no longer holds keeps its name, without
        // properties; a name in other letter case takes the catalogue's.
        GuardarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, 2,
                    huecos({"Yuca:5-8", "espárragos:9-10", "····:0-0", "····:0-0"}), años(4, 3, 6));
        QCOMPARE(bd.valor(QStringLiteral("select familia is null and Prof_raiz is null and extraccion is null"
                                         " from BDParcela where cultivo = 'Yuca' and mes_inicio = 5")).toInt(),
                 1);
        QCOMPARE(bd.valor(QStringLiteral("select familia from BDParcela where cultivo = 'espárragos'")).toString(),
                 QStringLiteral("Liliáceas"));
        QCOMPARE(bd.contar(QStringLiteral("BDParcela where cultivo = 'espárragos'")), 1);
    }

    void nombresRaros()
    {
        // A plot named with a quote and pattern characters: its own rows only.
        BDPrueba bd;
        const QString parcela = QStringLiteral("L'Horta_%");
        sembrar(bd, {"2010|2|Tomates|5|12"}, parcela);
        sembrar(bd, {"2010|2|Coles|5|8"}, QStringLiteral("L'HortaX%"));
        sembrar(bd, {"2010|2|Habas|3|10"}, QStringLiteral("l'horta_%"));
        GuardarHoja(bd.fichero(), parcela, 2010, 2, huecos({"Lechugas:4-8", "····:0-0", "····:0-0", "····:0-0"}),
                    años(4, 3, 6));
        QCOMPARE(filasDe(bd, parcela), QStringList{"2010|2|Lechugas|4|8"});
        QCOMPARE(filasDe(bd, QStringLiteral("L'HortaX%")), QStringList{"2010|2|Coles|5|8"});
        QCOMPARE(filasDe(bd, QStringLiteral("l'horta_%")), QStringList{});
        VaciarHoja(bd.fichero(), parcela, 2010, 2);
        QCOMPARE(filasDe(bd, parcela), QStringList{});
        QCOMPARE(filasDe(bd, QStringLiteral("L'HortaX%")), QStringList{"2010|2|Coles|5|8"});
    }

    void rechazos_data()
    {
        QTest::addColumn<int>("hoja");
        QTest::addColumn<QStringList>("cultivos");
        QTest::addColumn<QString>("texto");
        QTest::newRow("sin hoja") << 0 << QStringList{"Tomates:5-12"}
                                  << "No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de validar.";
        QTest::newRow("sin fechas") << 2 << QStringList{"Tomates:5-12", "Coles:0-0"}
                                    << "El cultivo <Coles> de la fila 2 no está colocado en la rejilla: pulsa una"
                                       " quincena verde de su fila antes de validar la hoja.";
        QTest::newRow("final antes del inicio") << 2 << QStringList{"····:0-0", "····:0-0", "Ajos:20-3"}
                                                << "El cultivo <Ajos> de la fila 3 no está colocado en la rejilla:"
                                                   " pulsa una quincena verde de su fila antes de validar la hoja.";
        QTest::newRow("más de cuatro en un año siguiente")
            << 2 << QStringList{"Alcachofas:13-20"}
            << "La hoja 2 tendría más de cuatro cultivos en 2012 con las plantas plurianuales de este año. No se ha"
               " guardado nada: deja sitio en 2012 o reduce sus años en las opciones de la parcela.";
    }

    void rechazos()
    {
        QFETCH(int, hoja);
        QFETCH(QStringList, cultivos);
        QFETCH(QString, texto);
        BDPrueba bd;
        const QStringList antes = {"2010|2|Habas|3|10", "2012|2|Coles|5|8", "2012|2|Ajos|20|30",
                                   "2012|2|Lechugas|9|10", "2012|2|Judías|11|12"};
        sembrar(bd, antes);
        try {
            GuardarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, hoja, huecos(cultivos), años(3, 3, 3));
            QFAIL("the plan was stored");
        } catch (const PlanNoValido &e) {
            QCOMPARE(e.texto(), texto);
        }
        QCOMPARE(filasDe(bd), antes);
    }

    void falloAMitadDejaLoQueHabia()
    {
        BDPrueba bd;
        const QStringList antes = {"2010|2|Habas|3|10", "2010|2|Coles|14|17"};
        sembrar(bd, antes);
        bd.ejecutar(QStringLiteral("create trigger falla before insert on BDParcela when new.cultivo = 'Lechugas'"
                                   " begin select raise(abort, 'fallo de prueba'); end"));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, GuardarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, 2,
                                                      huecos({"Tomates:5-12", "Lechugas:15-18", "····:0-0",
                                                              "····:0-0"}),
                                                      años(3, 3, 3)));
        QCOMPARE(filasDe(bd), antes);
    }

    void bloqueada()
    {
        BDPrueba bd;
        sembrar(bd, {"2010|2|Habas|3|10"});
        {
            Conexion otra(bd.fichero());
            otra.ejecutar(QStringLiteral("BEGIN EXCLUSIVE"));
            try {
                GuardarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, 2,
                            huecos({"Tomates:5-12", "····:0-0", "····:0-0", "····:0-0"}), años(3, 3, 3));
                QFAIL("stored through a lock");
            } catch (const ErrorBD &e) {
                QCOMPARE(MotivoFalloBD(e), QStringLiteral("la base de datos está bloqueada por otro programa"));
            }
            QVERIFY_THROWS_EXCEPTION(ErrorBD, VaciarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, 2));
            otra.ejecutar(QStringLiteral("ROLLBACK"));
        }
        QCOMPARE(filasDe(bd), QStringList{"2010|2|Habas|3|10"});
    }

    void soloLectura()
    {
        if (geteuid() == 0)
            QSKIP("root writes to read-only files");
        BDPrueba bd;
        sembrar(bd, {"2010|2|Habas|3|10"});
        QFile::setPermissions(bd.fichero(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        try {
            GuardarHoja(bd.fichero(), QStringLiteral("Huerto"), 2010, 2,
                        huecos({"Tomates:5-12", "····:0-0", "····:0-0", "····:0-0"}), años(3, 3, 3));
            QFAIL("stored into a read-only file");
        } catch (const ErrorBD &e) {
            QCOMPARE(MotivoFalloBD(e), QStringLiteral("la base de datos es de solo lectura"));
        }
        QFile::setPermissions(bd.fichero(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(filasDe(bd), QStringList{"2010|2|Habas|3|10"});
    }

    void motivos_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("bloqueada") << "database is locked Unable to fetch row"
                                   << "la base de datos está bloqueada por otro programa";
        QTest::newRow("solo lectura") << "attempt to write a readonly database"
                                      << "la base de datos es de solo lectura";
        QTest::newRow("otro") << "disk I/O error" << "error de la base de datos (disk I/O error)";
    }

    void motivos()
    {
        QFETCH(QString, motor);
        QFETCH(QString, motivo);
        QCOMPARE(MotivoFalloBD(ErrorBD(motor)), motivo);
    }

    void vaciar()
    {
        BDPrueba bd;
        sembrar(bd, {"2010|2|Fresas|17|24", "2011|2|Fresas|1|24", "2010|2|Ajos|20|30", "2010|1|Coles|5|8"});
        VaciarHoja(bd.fichero(), QStringLiteral("huerto"), 2010, 2);
        QCOMPARE(filasDe(bd), QStringList({"2010|1|Coles|5|8", "2011|2|Fresas|1|24"}));
    }

    // ---- From the window ---------------------------------------------------

    void validarDesdeLaVentana()
    {
        Ventana v;
        sembrar(v.bd, {"2010|2|Habas|3|10"});
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        v.plantar(0, QStringLiteral("Tomates"), 8);
        v.plantar(1, QStringLiteral("Lechugas"), 15);
        w.SliderFresa->setValue(4); // moved, not saved
        QCOMPARE(w.MesInicioCultivo[0], 8);
        QCOMPARE(w.MesFinalCultivo[0], 12);
        v.respuestas.limpiar();
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 0);
        QCOMPARE(filasDe(v.bd), QStringList({"2010|2|Tomates|8|12", "2010|2|Lechugas|15|17"}));
        // The plan stays on screen.
        QCOMPARE(w.ComboCult[0]->currentText(), QStringLiteral("Tomates"));
        QCOMPARE(w.ComboCult[1]->currentText(), QStringLiteral("Lechugas"));
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 8), modBasico::ColorCultivo);
    }

    void validarPlurianualConElDeslizador()
    {
        Ventana v;
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        w.SliderFresa->setValue(4); // moved, not saved
        v.plantar(0, QStringLiteral("Fresas"), 18); // 18 + 180/15 - 1 = 29
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(filasDe(v.bd), QStringList({"2010|2|Fresas|18|24", "2011|2|Fresas|1|24", "2012|2|Fresas|1|24",
                                             "2013|2|Fresas|1|29"}));
    }

    void validarSinHojaOSinFechas()
    {
        Ventana v;
        sembrar(v.bd, {"2010|2|Habas|3|10"});
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        // Chosen in place of the stored crop, never placed: the span recorded
        // for the row is the stored crop's, not the new one's.
        QComboBox *p = w.ComboCult[0];
        p->setCurrentIndex(p->findText(QStringLiteral("Coles")));
        emit p->activated(p->currentIndex());
        QCOMPARE(w.MesInicioCultivo[0], 3);
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QCOMPARE(v.respuestas.mensajes().first().titulo, QStringLiteral("Atención"));
        QVERIFY(v.respuestas.mensajes().first().texto.contains(QStringLiteral("<Coles>")));
        QCOMPARE(filasDe(v.bd), QStringList{"2010|2|Habas|3|10"});

        v.respuestas.limpiar();
        w.HojaActual = 0;
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QVERIFY(v.respuestas.mensajes().first().texto.startsWith(QStringLiteral("No hay ninguna hoja elegida")));
        QCOMPARE(filasDe(v.bd), QStringList{"2010|2|Habas|3|10"});
    }

    void validarSinColocarTrasUnSolape()
    {
        // A placement refused for overlapping the row above leaves its span
        // recorded; choosing the crop again without placing it stores nothing.
        Ventana v;
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        v.plantar(0, QStringLiteral("Tomates"), 8);  // 8..12
        v.plantar(1, QStringLiteral("Lechugas"), 10); // 10..12: refused
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QCOMPARE(w.MesInicioCultivo[1], 10);
        QComboBox *p = w.ComboCult[1];
        p->setCurrentIndex(p->findText(QStringLiteral("Lechugas")));
        emit p->activated(p->currentIndex());
        v.respuestas.limpiar();
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QCOMPARE(v.respuestas.mensajes().first().texto,
                 QStringLiteral("El cultivo <Lechugas> de la fila 2 no está colocado en la rejilla: pulsa una quincena"
                                " verde de su fila antes de validar la hoja."));
        QCOMPARE(filasDe(v.bd), QStringList{});
        // Placed where it fits, it is stored.
        v.plantar(1, QStringLiteral("Lechugas"), 15);
        v.respuestas.limpiar();
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 0);
        QCOMPARE(filasDe(v.bd), QStringList({"2010|2|Tomates|8|12", "2010|2|Lechugas|15|17"}));
    }

    void sinHojaCargada_data()
    {
        QTest::addColumn<bool>("vaciar");
        QTest::addColumn<QString>("texto");
        QTest::newRow("validar") << false
                                 << "No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de validar.";
        QTest::newRow("vaciar") << true << "No hay ninguna hoja elegida: pulsa una hoja en el mapa antes de vaciarla.";
    }

    void sinHojaCargada()
    {
        // A year chosen in the plan tree empties the pickers; the sheet of
        // before is not loaded for that year, and neither button touches it.
        QFETCH(bool, vaciar);
        QFETCH(QString, texto);
        Ventana v;
        sembrar(v.bd, {"2010|2|Habas|3|10", "2011|2|Coles|5|8"});
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        w.AñoActual = 2011;
        for (QComboBox *c : w.ComboCult)
            c->clear();
        QTest::mouseClick(vaciar ? w.BtVaciaHoja : w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QCOMPARE(v.respuestas.mensajes().first().texto, texto);
        QCOMPARE(filasDe(v.bd), QStringList({"2010|2|Habas|3|10", "2011|2|Coles|5|8"}));
    }

    void validarConLaBaseBloqueada()
    {
        Ventana v;
        sembrar(v.bd, {"2010|2|Habas|3|10"});
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        v.plantar(0, QStringLiteral("Tomates"), 8);
        v.respuestas.limpiar();
        auto otra = std::make_unique<Conexion>(v.bd.fichero());
        otra->ejecutar(QStringLiteral("BEGIN EXCLUSIVE"));
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        const auto m = v.respuestas.mensajes();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().icono, Dialogos::Critico);
        QCOMPARE(m.first().texto, QStringLiteral("No se ha podido guardar la hoja 2: la base de datos está bloqueada"
                                                 " por otro programa.\nNo se ha cambiado nada: el plan sigue en"
                                                 " pantalla y puedes volver a validarlo."));
        QCOMPARE(w.ComboCult[0]->currentText(), QStringLiteral("Tomates"));
        QCOMPARE(w.MesInicioCultivo[0], 8);
        otra->ejecutar(QStringLiteral("ROLLBACK"));
        otra.reset();
        QCOMPARE(filasDe(v.bd), QStringList{"2010|2|Habas|3|10"});

        // Once the other program lets go, the same plan is stored.
        v.respuestas.limpiar();
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 0);
        QCOMPARE(filasDe(v.bd), QStringList{"2010|2|Tomates|8|12"});
    }

    void validarConFalloAMitad()
    {
        Ventana v;
        sembrar(v.bd, {"2010|2|Habas|3|10", "2010|2|Coles|14|17"});
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        v.bd.ejecutar(QStringLiteral("create trigger falla before insert on BDParcela when new.cultivo = 'Coles'"
                                     " begin select raise(abort, 'fallo de prueba'); end"));
        v.respuestas.limpiar();
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QVERIFY(v.respuestas.mensajes().first().texto.contains(QStringLiteral("fallo de prueba")));
        QCOMPARE(filasDe(v.bd), QStringList({"2010|2|Habas|3|10", "2010|2|Coles|14|17"}));
    }

    void vaciarDesdeLaVentana()
    {
        Ventana v;
        sembrar(v.bd, {"2010|2|Fresas|17|24", "2011|2|Fresas|1|24", "2010|1|Coles|5|8"});
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        QCOMPARE(w.ComboCult[0]->currentText(), QStringLiteral("Fresas"));
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 20), modBasico::ColorCultivo);
        QTest::mouseClick(w.BtVaciaHoja, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 0);
        QCOMPARE(filasDe(v.bd), QStringList({"2010|1|Coles|5|8", "2011|2|Fresas|1|24"}));
        for (int k = 0; k < 4; ++k)
            QCOMPARE(w.ComboCult[k]->currentText(), CultivoVacio);
        QCOMPARE(w.ComboCult[0]->findText(QStringLiteral("Fresas")), w.ComboCult[1]->findText(QStringLiteral("Fresas")));
        for (int c = 1; c <= 24; ++c)
            QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, c), modBasico::ColorVacio);
    }

    void vaciarConLaBaseBloqueada()
    {
        Ventana v;
        sembrar(v.bd, {"2010|2|Habas|3|10"});
        QVERIFY(v.abrir());
        FormPrincipal &w = *v.w;
        Conexion otra(v.bd.fichero());
        otra.ejecutar(QStringLiteral("BEGIN EXCLUSIVE"));
        QTest::mouseClick(w.BtVaciaHoja, Qt::LeftButton);
        QCOMPARE(v.respuestas.mensajes().size(), 1);
        QCOMPARE(v.respuestas.mensajes().first().texto,
                 QStringLiteral("No se ha podido vaciar la hoja 2: la base de datos está bloqueada por otro programa.\n"
                                "No se ha borrado nada."));
        QCOMPARE(w.ComboCult[0]->currentText(), QStringLiteral("Habas"));
        otra.ejecutar(QStringLiteral("ROLLBACK"));
        QCOMPARE(filasDe(v.bd), QStringList{"2010|2|Habas|3|10"});
    }
};

QTEST_MAIN(TestHoja)
#include "test_hoja.moc"
