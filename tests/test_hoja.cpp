// Storing and emptying a sheet's plan: the rows written, perennials over
// several years, refusals, and failures that must leave the stored plan whole;
// and a read-only database at start-up. The read-only cases need a user that
// file permissions bind: under root, CTest runs them again as nobody.
#include "core/PlanHoja.h"
#include "fixtures/VentanaPrueba.h"
#include "core/Conexion.h"

#include <QFile>
#include <unistd.h>

using modBasico::CultivoVacio;
using namespace Qt::StringLiterals;

namespace {

const QString H = u"Huerto"_s;

// Stores sheet hoja of 2010 from slots written as "cultivo:inicio-final" ("····"
// is the empty-crop entry), perennials staying three years, on plot H of four
// sheets (added unless conParcela is false).
void guardar(BDPrueba &bd, const QStringList &huecos, int hoja = 2, bool conParcela = true)
{
    if (conParcela && !bd.valor(u"select count(*) from Parcelas where NombreParcela = ?"_s, {H}).toInt())
        bd.agregarParcela(H, 4, 1, 1);
    QList<CultivoHoja> r;
    for (const QString &s : huecos) {
        const QString nombre = s.section(u':', 0, 0), span = s.section(u':', 1);
        r << CultivoHoja{nombre == u"····"_s ? CultivoVacio : nombre, span.section(u'-', 0, 0).toInt(),
                         span.section(u'-', 1).toInt()};
    }
    GuardarHoja(bd.fichero(), H, 2010, hoja, r, AñosPlurianuales{3, 3, 3});
}

} // namespace

class TestHoja : public QObject
{
    Q_OBJECT

private slots:
    // The rows a store leaves (another plot's untouched), or its refusal in
    // words with nothing changed.
    void guardar_data()
    {
        QTest::addColumn<QStringList>("antes");
        QTest::addColumn<int>("hoja");
        QTest::addColumn<QStringList>("cultivos");
        QTest::addColumn<QStringList>("despues");
        QTest::addColumn<QString>("rechazo");
        using L = QStringList;
        QTest::newRow("fresas tres años") << L{} << 2 << L{"Fresas:17-30"}
                                          << L{"2010|2|Fresas|17|24", "2011|2|Fresas|1|24", "2012|2|Fresas|1|30"} << "";
        QTest::newRow("fila intermedia vacía") << L{} << 2 << L{"Tomates:5-12", "····:0-0", "Lechugas:15-18", ":0-0"}
                                               << L{"2010|2|Tomates|5|12", "2010|2|Lechugas|15|18"} << "";
        QTest::newRow("todo vacío solo borra")
            << L{"2010|2|Tomates|5|12", "2010|2|Coles|14|17", "2009|2|Habas|3|10", "2010|1|Ajos|20|30"} << 2
            << L{"····:0-0", "····:0-0", "····:0-0", "····:0-0"} << L{"2009|2|Habas|3|10", "2010|1|Ajos|20|30"} << "";
        QTest::newRow("guardar otra vez no dobla la plantación")
            << L{"2010|2|Fresas|17|24", "2011|2|Fresas|1|24", "2012|2|Fresas|1|30", "2011|2|Ajos|20|30"} << 2
            << L{"Fresas:17-30"}
            << L{"2010|2|Fresas|17|24", "2011|2|Ajos|20|30", "2011|2|Fresas|1|24", "2012|2|Fresas|1|30"} << "";
        QTest::newRow("continuación de una plantación")
            << L{"2009|2|Fresas|17|24", "2010|2|Fresas|1|24", "2011|2|Fresas|1|30"} << 2
            << L{"Fresas:1-24", "Cebollas:25-30"}
            << L{"2009|2|Fresas|17|24", "2010|2|Fresas|1|24", "2010|2|Cebollas|25|30", "2011|2|Fresas|1|30"} << "";
        const L lleno = {"2010|2|Habas|3|10", "2010|5|Habas|3|10", "2012|2|Coles|5|8", "2012|2|Ajos|20|30",
                         "2012|2|Lechugas|9|10", "2012|2|Judías|11|12"};
        QTest::newRow("sin fechas") << lleno << 2 << L{"Tomates:5-12", "Coles:0-0"} << lleno
            << "El cultivo <Coles> de la fila 2 no está colocado en la rejilla: pulsa una quincena verde de su fila"
               " antes de validar la hoja.";
        QTest::newRow("hoja que la parcela no tiene") << lleno << 5 << L{"Tomates:5-12"} << lleno
            << "La parcela <Huerto> no tiene hoja 5 (tiene 4): no se ha guardado nada. Pulsa una de sus hojas en el"
               " mapa.";
        QTest::newRow("parcela borrada por otra copia") << lleno << 2 << L{"Tomates:5-12"} << lleno
            << "La parcela <Huerto> ya no existe en la base de datos: no se ha guardado nada.";
        QTest::newRow("más de cuatro en un año siguiente") << lleno << 2 << L{"Alcachofas:13-20"} << lleno
            << "La hoja 2 tendría más de cuatro cultivos en 2012 con las plantas plurianuales de este año. No se ha"
               " guardado nada: deja sitio en 2012 o reduce sus años en las opciones de la parcela.";
    }

    void guardar()
    {
        QFETCH(QStringList, antes);
        QFETCH(int, hoja);
        QFETCH(QStringList, cultivos);
        QFETCH(QStringList, despues);
        QFETCH(QString, rechazo);
        BDPrueba bd;
        bd.sembrar(H, antes);
        bd.sembrar(u"Otra"_s, {u"2010|2|Tomates|5|12"_s});
        try {
            ::guardar(bd, cultivos, hoja, !rechazo.contains(u"ya no existe"_s));
            QCOMPARE(QString(), rechazo);
        } catch (const PlanNoValido &e) {
            QCOMPARE(e.texto(), rechazo);
        }
        QCOMPARE(bd.filas(H), despues);
        QCOMPARE(bd.filas(u"Otra"_s), QStringList{u"2010|2|Tomates|5|12"_s});
    }

    void falloAMitadDejaLoQueHabia()
    {
        BDPrueba bd;
        const QStringList antes = {"2010|2|Habas|3|10", "2010|2|Coles|14|17"};
        bd.sembrar(H, antes);
        bd.ejecutar(u"create trigger falla before insert on BDParcela when new.cultivo = 'Lechugas'"
                    " begin select raise(abort, 'fallo de prueba'); end"_s);
        QVERIFY_THROWS_EXCEPTION(ErrorBD, ::guardar(bd, {u"Tomates:5-12"_s, u"Lechugas:15-18"_s}));
        QCOMPARE(bd.filas(H), antes);
    }

    // A read-only file: nothing stored or emptied, and the reason in words
    // (a locked one: conLaBaseBloqueada).
    void baseNoEscribible()
    {
        if (geteuid() == 0)
            QSKIP("root writes to read-only files");
        BDPrueba bd;
        bd.sembrar(H, {u"2010|2|Habas|3|10"_s});
        bd.agregarParcela(H, 4, 1, 1);
        QFile::setPermissions(bd.fichero(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        try {
            ::guardar(bd, {u"Tomates:5-12"_s}, 2, false); // the plot was added before the lock
            QFAIL("stored into a file that cannot take it");
        } catch (const ErrorBD &e) {
            QCOMPARE(MotivoFalloBD(e), u"la base de datos es de solo lectura"_s);
        }
        QVERIFY_THROWS_EXCEPTION(ErrorBD, VaciarHoja(bd.fichero(), H, 2010, 2));
        QFile::setPermissions(bd.fichero(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(bd.filas(H), QStringList{u"2010|2|Habas|3|10"_s});
    }

    // Another program holds the file: the user is told (a click on the map
    // too), the screen and the stored plan stay, and once the file is free the
    // same click works.
    void conLaBaseBloqueada_data()
    {
        QTest::addColumn<bool>("vaciar");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QStringList>("despues");
        QTest::newRow("validar") << false
                                 << "La base de datos está bloqueada por otro programa: no se ha guardado la hoja 2;"
                                    " no se ha cambiado nada: el plan sigue en pantalla y puedes volver a validarlo."
                                 << QStringList{"2010|2|Tomates|8|12"};
        QTest::newRow("vaciar") << true
                                << "La base de datos está bloqueada por otro programa: no se ha vaciado la hoja 2;"
                                   " no se ha borrado nada." << QStringList{};
    }

    void conLaBaseBloqueada()
    {
        QFETCH(bool, vaciar);
        QFETCH(QString, texto);
        QFETCH(QStringList, despues);
        Huerto h;
        h.sembrar({u"2010|2|Habas|3|10"_s});
        QVERIFY(h.abrir(2010, 2));
        QPushButton *boton = control<QPushButton>(*h.w, vaciar ? "BtVaciaHoja" : "BtValidaCultivos");
        if (!vaciar)
            QVERIFY(h.plantar(0, u"Tomates"_s, 8));
        h.r.limpiar();
        {
            Conexion otra(h.bd.fichero());
            otra.ejecutar(u"BEGIN EXCLUSIVE"_s);
            QTest::mouseClick(boton, Qt::LeftButton);
            h.r.respuestaMensaje = Dialogos::No; // the crop left unstored (the click asks), sheet 3 read
            QVERIFY(h.pulsarHoja(3));
            h.r.respuestaMensaje = Dialogos::Aceptar;
            otra.ejecutar(u"ROLLBACK"_s);
        }
        const QStringList textos = h.r.textos();
        QCOMPARE(textos.size(), vaciar ? 2 : 3);
        QCOMPARE(textos.first(), texto);
        QCOMPARE(textos.last(), u"La base de datos está bloqueada por otro programa: no se ha leído"
                                " la hoja 3; vuelve a intentarlo."_s);
        QCOMPARE(h.r.avisos().first(), u"Atención|Critico|SoloAceptar|"_s + texto);
        QCOMPARE(h.fila(1).left(12), vaciar ? u"..CCCCCCCC.."_s : u".......CCCCC"_s);
        QCOMPARE(h.filas(), QStringList{u"2010|2|Habas|3|10"_s});
        // Emptying a stored plan asks first, and Enter keeps it.
        h.r.limpiar();
        h.r.respuestaMensaje = Respuestas::Intro;
        QTest::mouseClick(boton, Qt::LeftButton);
        QCOMPARE(h.r.mensajes().size(), int(vaciar));
        h.r.respuestaMensaje = Dialogos::Si;
        if (vaciar) {
            QCOMPARE(h.filas(), QStringList{u"2010|2|Habas|3|10"_s});
            QTest::mouseClick(boton, Qt::LeftButton);
        }
        QCOMPARE(h.filas(), despues);
        h.r.limpiar(); // an empty sheet is emptied without a question
        QTest::mouseClick(control<QPushButton>(*h.w, "BtVaciaHoja"), Qt::LeftButton);
        QCOMPARE(h.r.mensajes().size(), int(!vaciar));
    }

    // Plots that carry no mark of the last one used: the program starts on
    // the first plot and marks it. A read-only file is said so once, every
    // plot is browsed, and nothing is marked.
    void arranqueSoloLectura_data()
    {
        QTest::addColumn<bool>("soloLectura");
        QTest::newRow("escribible") << false;
        QTest::newRow("solo lectura") << true;
    }

    void arranqueSoloLectura()
    {
        QFETCH(bool, soloLectura);
        if (soloLectura && geteuid() == 0)
            QSKIP("root writes to read-only files: the unprivileged run of this suite covers it");
        Huerto h(0);
        h.bd.agregarParcela(u"Primera"_s, 5, 5, 19);
        h.bd.agregarParcela(u"Segunda"_s, 4, 1, 1);
        const auto lectura = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (soloLectura) {
            QVERIFY(QFile::setPermissions(h.bd.fichero(), lectura));
            QVERIFY(QFile::setPermissions(h.bd.carpeta(), lectura | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        }
        struct Restaurar
        {
            BDPrueba &bd;
            ~Restaurar()
            {
                QFile::setPermissions(bd.carpeta(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QFile::setPermissions(bd.fichero(), QFile::ReadOwner | QFile::WriteOwner);
            }
        } restaurar{h.bd};
        const bool arrancada = h.arrancar();
        if (arrancada)
            control<QListWidget>(*h.w, "ListaParcelas")->setCurrentRow(1);
        QVERIFY(arrancada);
        QCOMPARE(h.r.mensajes().size(), int(soloLectura));
        QCOMPARE(h.w->sesion().parcela(), u"Segunda"_s);
        QCOMPARE(h.bd.valor(u"select group_concat(NombreParcela) from Parcelas where ultima <> 0"_s).toString(),
                 soloLectura ? QString() : u"Segunda"_s);
        // A crop placed, then another sheet: «Sí» stores it first, or, on a
        // file that cannot take it, says why and stays on the sheet.
        QVERIFY(h.pulsarHoja(1));
        QVERIFY(h.plantar(0, u"Tomates"_s, 8));
        h.r.limpiar();
        h.r.respuestaMensaje = Dialogos::Si;
        QVERIFY(h.pulsarHoja(2));
        QCOMPARE(h.w->sesion().hoja(), soloLectura ? 1 : 2);
        QCOMPARE(h.w->sesion().haySinGuardar(), soloLectura);
        QCOMPARE(h.r.textos().size(), 1 + int(soloLectura));
        QVERIFY2(!soloLectura || h.r.textos().last().contains(u"solo lectura"_s), qPrintable(h.r.textos().last()));
    }
};

QTEST_MAIN(TestHoja)
#include "test_hoja.moc"
