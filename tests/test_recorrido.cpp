// The road of one typical request, as the user walks it: a click on a sheet
// of the map, a crop chosen and placed on a sowing fortnight, a follow-on crop
// chosen and placed, the sheet validated; then the stored rows, the map label
// and the explanation log.
#include "designer/modBasico.h"
#include "fixtures/BDPrueba.h"
#include "fixtures/VentanaPrueba.h"
#include "platform/Conexion.h"
#include "platform/CuadriculaFlex.h"
#include "platform/MapaControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace modBasico;

namespace {

// A mouse click in the middle of sheet `hoja` of Map1.
bool pulsarHoja(FormPrincipal &w, int hoja)
{
    const Shapefile *capa = w.Map1->GetObject(0);
    if (!capa)
        return false;
    for (int i = 0; i < capa->NumShapes(); ++i) {
        if (capa->CellValue(0, i).toInt() != hoja)
            continue;
        const Extents caja = capa->ShapeExtents(i);
        double x = 0, y = 0;
        w.Map1->ProjToPixel(caja.centroX(), caja.centroY(), x, y);
        QTest::mouseClick(w.Map1, Qt::LeftButton, {}, QPoint(qRound(x), qRound(y)));
        return true;
    }
    return false;
}

// The user's choice of cultivo in picker k.
bool elegir(FormPrincipal &w, int k, const QString &cultivo)
{
    QComboBox *p = w.ComboCult[k];
    const int i = p->findText(cultivo, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0)
        return false;
    p->setCurrentIndex(i);
    emit p->activated(i);
    return true;
}

// A mouse click on a cell of the plan grid.
void pulsarCelda(CuadriculaFlex *g, int fila, int columna)
{
    const QRect r = g->rectCelda(fila, columna).translated(-g->viewport()->pos());
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
}

QStringList lineasDelRegistro(const FormPrincipal &w)
{
    QStringList r;
    for (int i = 0; i < w.ListModoExplicito->count(); ++i)
        r << w.ListModoExplicito->item(i)->text();
    return r;
}

} // namespace

class TestRecorrido : public QObject
{
    Q_OBJECT

private slots:
    void recorridoCompleto()
    {
        const int año = QDate::currentDate().year();
        BDPrueba bd;
        QVERIFY2(bd.valida(), qPrintable(bd.error()));
        bd.vaciarParcelas();
        bd.agregarParcela(QStringLiteral("Huerto de l'Olivar"), 4, 1, 1, true);
        const QString parcela = QStringLiteral("Huerto de l'Olivar");
        bd.agregarFila(parcela, año - 1, 2, QStringLiteral("Pimientos"), 9, 13); // last year on this sheet
        bd.agregarFila(parcela, año, 1, QStringLiteral("Lechugas"), 4, 6);       // this year, another sheet
        bd.agregarFila(parcela, año - 3, 2, QStringLiteral("Coles"), 5, 9);      // long enough ago

        Respuestas respuestas;
        VentanaPrueba v(bd.carpeta());
        QVERIFY(v.arrancada);
        FormPrincipal &w = *v.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.ModoExplicito, Qt::LeftButton);
        QCOMPARE(w.ModoExplicito->checkState(), Qt::Checked);
        respuestas.limpiar();

        // The sheet.
        QVERIFY(pulsarHoja(w, 2));
        QCOMPARE(w.HojaActual, 2);
        QCOMPARE(w.FrameCultivo->title(), QStringLiteral("Hoja :2"));
        QVERIFY(w.FrameCultivo->isVisible());
        QCOMPARE(w.PanelEstado->text(), QStringLiteral("Selecciona el cultivo que desees para esa hoja"));
        for (int k = 0; k < 4; ++k)
            QCOMPARE(w.ComboCult[k]->currentText(), CultivoVacio);
        QVERIFY(w.ComboCult[0]->findText(QStringLiteral("Lechugas")) < 0);
        QVERIFY(w.ComboCult[0]->findText(QStringLiteral("Tomates")) < 0);
        QVERIFY(w.ComboCult[0]->findText(QStringLiteral("Coles")) >= 0);

        // The first crop: its sowing windows, then a click on one of them.
        QVERIFY(elegir(w, 0, QStringLiteral("Coles")));
        QCOMPARE(w.PanelEstado->text(), QStringLiteral("Época de siembra para Coles en verde. Selecciona quincena"));
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 5), ColorSiembra);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 14), ColorSiembra);
        pulsarCelda(w.MSHFlexTodoAño, 1, 5);
        QCOMPARE(w.MesInicioCultivo[0], 5);
        QCOMPARE(w.MesFinalCultivo[0], 9); // 5 + 70/15 - 1 rounded
        for (int c = 5; c <= 9; ++c)
            QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, c), ColorCultivo);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 10), ColorCosecha);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 11), ColorCosecha);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(1, 12), ColorVacio);
        QCOMPARE(w.PanelEstado->text(), QStringLiteral("Se puede validar la hoja o poner otro cultivo (si fuera posible)"));

        // The follow-on crop, placed over the year end.
        QVERIFY(w.ComboCult[1]->findText(QStringLiteral("Coles")) < 0);
        QVERIFY(w.ComboCult[1]->findText(QStringLiteral("Espinacas")) < 0);
        QVERIFY(elegir(w, 1, QStringLiteral("Chirivías")));
        pulsarCelda(w.MSHFlexTodoAño, 2, 19);
        QCOMPARE(w.MesInicioCultivo[1], 19);
        QCOMPARE(w.MesFinalCultivo[1], 25);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(2, 1), ColorCultivo);
        QCOMPARE(w.MSHFlexTodoAño->colorFondo(2, 6), ColorCosecha);
        QCOMPARE(respuestas.mensajes().size(), 0);

        // Validate.
        QTest::mouseClick(w.BtValidaCultivos, Qt::LeftButton);
        QCOMPARE(respuestas.mensajes().size(), 0);
        {
            Conexion con(bd.fichero());
            QSqlQuery q = con.ejecutar(QStringLiteral("select * from BDParcela where año = ? and hoja = 2"
                                                      " order by rowid"),
                                       {año});
            QVERIFY(q.next());
            QCOMPARE(LeerTexto(q, "parcela"), parcela);
            QCOMPARE(LeerTexto(q, "cultivo"), QStringLiteral("Coles"));
            QCOMPARE(LeerTexto(q, "familia"), QStringLiteral("Crucíferas"));
            QCOMPARE(LeerTexto(q, "Prof_raiz"), QStringLiteral("Superficiales"));
            QCOMPARE(LeerTexto(q, "extraccion"), QStringLiteral("Hojas"));
            QCOMPARE(LeerEntero(q, "mes_inicio"), 5);
            QCOMPARE(LeerEntero(q, "mes_final"), 9);
            QVERIFY(q.next());
            QCOMPARE(LeerTexto(q, "cultivo"), QStringLiteral("Chirivías"));
            QCOMPARE(LeerTexto(q, "familia"), QStringLiteral("Umbelíferas"));
            QCOMPARE(LeerEntero(q, "mes_inicio"), 19);
            QCOMPARE(LeerEntero(q, "mes_final"), 25);
            QVERIFY(!q.next());
        }

        // The map labels sheet 2 with its crops.
        bool etiquetada = false;
        for (const MapaControl::Etiqueta &e : w.Map1->Etiquetas(0))
            if (e.texto == QStringLiteral("Hoja: 2\r\nColes\r\nChirivías\r\n"))
                etiquetada = true;
        QVERIFY(etiquetada);

        // The plan tree shows the stored rows.
        bool enElArbol = false;
        for (QTreeWidgetItemIterator it(w.arbolaños); *it; ++it)
            if ((*it)->text(0).startsWith(QStringLiteral("Hoja:2»Coles » Crucíferas » Superficiales » Hojas »De la"
                                                         " 1ªQ Marzo a la 1ªQ Mayo »Luna:")))
                enElArbol = true;
        QVERIFY(enElArbol);

        // The log explains each crop taken out, in the order of the rules.
        const QStringList lineas = lineasDelRegistro(w);
        const QStringList esperadas = {
            QStringLiteral("Por repetición en las otras hojas sacado el cultivo : Lechugas"),
            QStringLiteral("Por repetición de la familia Solanáceas Extraido el cultivo:Tomates"),
            QStringLiteral("Por repetición de Flor, Semilla y fruto sacado el cultivo:Judías"),
            QStringLiteral("Por repetición de Medias sacado el cultivo:Acelgas"),
            QStringLiteral("Por repetición de la familia Crucíferas Extraido el cultivo:Coles"),
            QStringLiteral("Por repetición de Hojas sacado el cultivo:Espinacas"),
            QStringLiteral("Por repetición de Superficiales sacado el cultivo:Cebollas"),
        };
        int desde = 0;
        for (const QString &e : esperadas) {
            const int i = lineas.indexOf(e, desde);
            QVERIFY2(i >= 0, qPrintable(e));
            desde = i + 1;
        }
        QVERIFY(!lineas.join(QLatin1Char('\n')).contains(QStringLiteral("«Coles»")));

        // The plan stays on screen for another change.
        QCOMPARE(w.ComboCult[0]->currentText(), QStringLiteral("Coles"));
        QCOMPARE(w.ComboCult[1]->currentText(), QStringLiteral("Chirivías"));
    }
};

QTEST_MAIN(TestRecorrido)
#include "test_recorrido.moc"
