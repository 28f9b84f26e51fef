// Plot operations on the database, without a window: creating, deleting (with the plot's plan) and saving the
// options; refusals and failures change nothing.
#include "core/Conexion.h"
#include "core/Parcelas.h"
#include "fixtures/BDPrueba.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Two plots, the first one marked as the last used, each with plan rows.
void preparar(BDPrueba &bd)
{
    bd.vaciarParcelas();
    bd.agregarParcela(u"Huerta familiar"_s, 5, 6, 21, true);
    bd.agregarParcela(u"Huerto 50%"_s, 4, 1, 1);
    bd.sembrar(u"Huerta familiar"_s, {u"2010|1|Habas"_s, u"2011|2|Coles"_s});
    bd.sembrar(u"Huerto 50%"_s, {u"2010|1|Ajos"_s});
}

// Runs "crear:nombre", "borrar:nombre", "guardar:nombre" (six sheets, the 3-month preset, fruits repeated, short
// cycle ticked, 5/2/6 years), "heladas I F:nombre" (the defaults, frost-free from I to F) or "hojas N:nombre" (the
// defaults, N sheets).
void operar(const QString &fichero, const QString &operacion)
{
    Conexion con(fichero);
    const QString nombre = operacion.section(u':', 1);
    const QStringList palabras = operacion.section(u':', 0, 0).split(u' ');
    if (operacion.startsWith(u"crear"_s))
        CrearParcela(con, nombre, 5, 5, 21);
    else if (operacion.startsWith(u"borrar"_s))
        BorrarParcela(con, nombre);
    else if (palabras.size() == 3)
        GuardarOpcionesParcela(con, nombre, OpcionesParcela{4, palabras[1].toInt(), palabras[2].toInt()});
    else if (palabras.size() == 2)
        GuardarOpcionesParcela(con, nombre, OpcionesParcela{palabras[1].toInt()});
    else
        GuardarOpcionesParcela(con, nombre, OpcionesParcela{6, 12, 18, true, false, true, 5, 2, 6});
}

const QString kFamiliar = u"Huerta familiar|5|6|21|000|436|1"_s;
const QString k50 = u"Huerto 50%|4|1|1|000|436|0"_s;

} // namespace

class TestParcelas : public QObject
{
    Q_OBJECT

private slots:
    void operar_data()
    {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("rechazo"); // start of the refusal's text
        QTest::addColumn<QStringList>("despues");
        QTest::addColumn<int>("filasPlan");
        using L = QStringList;
        const auto fila = [](const char *nombre, const char *op, const QString &rechazo,
                             const L &despues = {kFamiliar, k50}, int filasPlan = 3) {
            QTest::newRow(nombre) << QString(op) << rechazo << despues << filasPlan;
        };
        fila("crear", "crear:Huerto Norte", "", {kFamiliar, k50, "Huerto Norte|5|5|21|000|436|0"});
        fila("crear sin nombre", "crear:", "Escribe el nombre");
        fila("crear repetida", "crear:HUERTO 50% ", "Ya hay una parcela llamada «HUERTO 50%»");
        fila("borrar la última usada marca otra", "borrar:huerta FAMILIAR", "", {"Huerto 50%|4|1|1|000|436|1"}, 1);
        fila("borrar con comodín no toca otras", "borrar:Huerto 5_%", "");
        fila("guardar", "guardar:huerto 50%", "", {kFamiliar, "huerto 50%|6|12|18|100|526|0"});
        fila("guardar parcela borrada por otra copia", "guardar:Nueva", "La parcela <Nueva> ya no existe");
        const QString invertidas = u"El periodo libre de heladas termina («%1») antes de empezar («%2»)"_s;
        fila("heladas invertidas", "heladas 24 2:Huerto 50%", invertidas.arg("enero ½", "diciembre ½"));
        fila("heladas sin quincena libre", "heladas 12 12:Huerto 50%",
             u"El periodo libre de heladas empieza y termina en «junio ½»: debe terminar después de empezar"_s);
        fila("heladas de una quincena", "heladas 12 13:Huerto 50%", "", {kFamiliar, "Huerto 50%|4|12|13|000|222|0"});
        const QString hojas = u"Elige cuántas hojas tiene la parcela (de 3 a 7)"_s;
        fila("2 hojas", "hojas 2:Huerto 50%", hojas);
        fila("3 hojas", "hojas 3:Huerto 50%", "", {kFamiliar, "Huerto 50%|3|1|1|000|222|0"});
        fila("7 hojas", "hojas 7:Huerto 50%", "", {kFamiliar, "Huerto 50%|7|1|1|000|222|0"});
        fila("8 hojas", "hojas 8:Huerto 50%", hojas);
    }

    void operar()
    {
        QFETCH(QString, operacion);
        QFETCH(QString, rechazo);
        BDPrueba bd;
        preparar(bd);
        try {
            ::operar(bd.fichero(), operacion);
            QVERIFY2(rechazo.isEmpty(), "no rechazada");
        } catch (const ParcelaNoValida &e) {
            QVERIFY2(!rechazo.isEmpty() && e.texto().startsWith(rechazo), qPrintable(e.texto()));
        }
        QTEST(bd.parcelas(), "despues");
        QTEST(bd.contar(u"BDParcela"_s), "filasPlan");
    }

    // A statement refused part way, or the file held by another program: nothing changes, the plan rows of a deleted
    // plot included.
    void fallos_data()
    {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<bool>("bloqueo");
        for (const char *op : {"crear:Nueva", "borrar:Huerta familiar", "guardar:Huerto 50%"}) {
            QTest::addRow("%s, disparador", op) << op << false;
            QTest::addRow("%s, bloqueada", op) << op << true;
        }
    }

    void fallos()
    {
        QFETCH(QString, operacion);
        QFETCH(bool, bloqueo);
        BDPrueba bd;
        preparar(bd);
        for (const char *cuando : {"insert", "update", "delete"})
            bd.ejecutar(u"create trigger falla_%1 before %1 on Parcelas when %2"
                        " begin select raise(abort, 'fallo de prueba'); end"_s.arg(cuando, bloqueo ? u"0"_s : u"1"_s));
        const QStringList parcelas = bd.parcelas();
        Conexion otra(bd.fichero());
        if (bloqueo) otra.ejecutar(u"BEGIN EXCLUSIVE"_s);
        QVERIFY_THROWS_EXCEPTION(ErrorBD, ::operar(bd.fichero(), operacion));
        if (bloqueo) otra.ejecutar(u"ROLLBACK"_s);
        QCOMPARE(bd.parcelas(), parcelas);
        QCOMPARE(bd.contar(u"BDParcela"_s), 3);
    }
};

QTEST_MAIN(TestParcelas)
#include "test_parcelas.moc"
