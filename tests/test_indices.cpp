// Plan rows are looked up through the index on (parcela, año, hoja), and the plot's name still matches whole, letter
// case ignored, with ' % _ literal.
#include "core/ArbolPlan.h"
#include "core/Catalogo.h"
#include "core/Conexion.h"
#include "core/EtiquetasHojas.h"
#include "core/Parcelas.h"
#include "core/PlanHoja.h"
#include "core/Rotacion.h"
#include "fixtures/BDPrueba.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

sqlite3 *manejador(Conexion &con)
{
    return *static_cast<sqlite3 *const *>(con.bd().driver()->handle().data());
}

int anotar(unsigned, void *sentencias, void *, void *sql)
{
    static_cast<QSet<QString> *>(sentencias)->insert(QString::fromUtf8(static_cast<const char *>(sql)));
    return 0;
}

// The "detail" lines of the statement's query plan.
QStringList plan(sqlite3 *bd, const QString &sql)
{
    QStringList lineas;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(bd, ("explain query plan " + sql).toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
        return {u"no se prepara: "_s + QString::fromUtf8(sqlite3_errmsg(bd))};
    while (sqlite3_step(s) == SQLITE_ROW)
        lineas << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 3)));
    sqlite3_finalize(s);
    return lineas;
}

} // namespace

class TestIndices : public QObject
{
    Q_OBJECT

private slots:
    // Every statement on plan rows that a sheet load, the follow-on picker, the tree, the labels and deleting a plot
    // run searches the index. The index is also added to a file that lacks it.
    void planesBuscanEnElIndice()
    {
        BDPrueba bd;
        bd.sembrar(u"Huerto"_s, {u"2010|1|Tomates"_s, u"2011|2|Fresas"_s, u"2012|1|Ajos"_s});
        bd.ejecutar(u"drop index BDParcela_parcela_año"_s);
        AsegurarIndices(bd.fichero());

        Conexion con(bd.fichero());
        QSet<QString> sentencias;
        sqlite3_trace_v2(manejador(con), SQLITE_TRACE_STMT, anotar, &sentencias);
        const ColeccionesCatalogo catalogo = CargarColeccionesCatalogo(con);
        const ReglasRotacion r(catalogo, con, {u"huerto"_s, 2012, 1, 4});
        r.CandidatosDeLaHoja(ListaCandidatos(catalogo.TodosCultivos));
        r.CandidatosSiguientes(1, catalogo.TodosCultivos, {u"Ajos"_s});
        const QString parcela = r.contexto().parcela;
        LeerFilasHoja(con, parcela, 2012, 1);
        ArbolPlan::LeerFilas(con, parcela);
        TextosEtiquetas(con, parcela, 2012);
        TextoEtiquetaHoja(con, parcela, 2012, 1);
        BorrarParcela(con, parcela);
        sqlite3_trace_v2(manejador(con), 0, nullptr, nullptr);

        const QRegularExpression busca(u"^SEARCH BDParcela USING (COVERING )?INDEX BDParcela_parcela_año \\(parcela[=>]\\?"_s);
        const QRegularExpression recorre(u"^SCAN BDParcela\\b"_s);
        int vistas = 0;
        for (const QString &sql : std::as_const(sentencias)) {
            if (!sql.contains(u"from BDParcela"_s)) continue;
            ++vistas;
            const QStringList p = plan(manejador(con), sql);
            const QByteArray motivo = (sql + u'\n' + p.join(u'\n')).toUtf8();
            QVERIFY2(!p.filter(busca).isEmpty() && p.filter(recorre).isEmpty(), motivo.constData());
        }
        QVERIFY(vistas >= 8);
    }

    void nombresEnteros_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QStringList>("encontradas"); // the stored spellings whose rows are read, sorted
        QTest::newRow("guion bajo") << u"a_b"_s << QStringList{u"A_B"_s, u"a_b"_s};
        QTest::newRow("por ciento") << u"A%B"_s << QStringList{u"a%b"_s};
        QTest::newRow("eñe") << u"ÑAME"_s << QStringList{u"Ñame"_s, u"ñame"_s};
        QTest::newRow("parte de un nombre") << u"a"_s << QStringList{};
    }

    void nombresEnteros()
    {
        QFETCH(QString, nombre);
        BDPrueba bd;
        // Each stored spelling holds one row, in a year of its own.
        const QStringList guardadas = {u"a_b"_s,     u"A_B"_s,  u"axb"_s,  u"a%b"_s,   u"a%%b"_s,
                                       u"O'Brien"_s, u"ñame"_s, u"Ñame"_s, u"Ñame "_s, u"ab"_s};
        for (int i = 0; i < guardadas.size(); ++i)
            bd.sembrar(guardadas.at(i), {QString::number(2010 + i) + u"|1|Tomates"_s});
        Conexion con(bd.fichero());
        QStringList leidas;
        for (const ArbolPlan::FilaPlan &f : ArbolPlan::LeerFilas(con, nombre))
            leidas << guardadas.at(f.año - 2010);
        leidas.sort();
        QTEST(leidas, "encontradas");
    }
};

QTEST_GUILESS_MAIN(TestIndices)
#include "test_indices.moc"
