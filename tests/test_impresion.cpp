// The plan tree printed as an outline: its layout written down without paper,
// the refusals without a usable printer, and a real job on the test print
// server's PDF queue (scripts/impresora_prueba.sh).
#include "auxiliary/ImpresionArbol.h"
#include "fixtures/VentanaPrueba.h"

#include <QPrinterInfo>
#include <QUuid>

using namespace ImpresionArbol;
using namespace Qt::StringLiterals;

namespace {

// A tree from lines "text picture", indented one blank per level.
Arbol arbolDe(const QStringList &lineas, int lineStyle, int style)
{
    Arbol a{{}, lineStyle, style, [](int i) { return u"img%1"_s.arg(i); }};
    for (const QString &l : lineas) {
        QList<ArbolPlan::Nodo> *hermanos = &a.Nodes;
        for (int i = l.size() - l.trimmed().size(); i > 0; --i)
            hermanos = &hermanos->last().hijos;
        ArbolPlan::Nodo n;
        n.texto = l.trimmed().section(u' ', 0, 0);
        n.imagen = l.trimmed().section(u' ', 1).toInt();
        hermanos->append(n);
    }
    return a;
}

} // namespace

class TestImpresion : public QObject
{
    Q_OBJECT

private slots:
    // Rows R, A, a1, B, b1: A's line goes on past a1 (B follows), not past b1;
    // a last child's own line stops halfway; root lines; the depth stops at
    // column 10.
    void disposicion()
    {
        const QStringList t{u"R 3"_s, u" A 2"_s, u"  a1 1"_s, u" B 2"_s, u"  b1 1"_s};
        DestinoGrabado g, raiz, hondo;
        ImprimirArbol(arbolDe(t, 0, 1), g);
        QCOMPARE(g.Filas().size(), t.size());
        QCOMPARE(g.Filas().at(2), u"75,400-75,600 375,400-375,500 375,500-600,500 img1 600,400 «a1» 900,400"_s);
        QCOMPARE(g.Filas().at(4), u"375,800-375,900 375,900-600,900 img1 600,800 «b1» 900,800"_s);
        ImprimirArbol(arbolDe(t, 1, 7), raiz);
        QCOMPARE(raiz.Filas().at(0), u"75,0-75,100 75,100-300,100 img3 300,0 «R» 600,0"_s);
        QStringList n;
        for (int d = 0; d <= 13; ++d)
            n << QString(d, u' ') + u"n%1"_s.arg(d);
        ImprimirArbol(arbolDe(n, 0, 0), hondo);
        QCOMPARE(hondo.Filas().at(13), u"2775,2600-2775,2700 2775,2700-3000,2700 «n13» 3000,2600"_s);
    }

    void saltoDePagina()
    {
        QStringList lineas{u"R"_s};
        for (const QString &hijo : {u"A"_s, u"B"_s, u"C"_s})
            for (int i = 0; i <= 4; ++i)
                lineas << (i == 0 ? u" "_s + hijo : u"  %1%2"_s.arg(hijo).arg(i));
        DestinoGrabado g;
        g.Alto = 1000; // five rows a page
        g.CurrentY = 180;
        ImprimirArbol(arbolDe(lineas, 0, 0), g);
        QCOMPARE(g.Filas().size(), lineas.size());
        QCOMPARE(g.Trazos.count(u"página"_s), 3);
        // First row of the second page: A3, with A's line going on.
        QCOMPARE(g.Filas().at(4), u"página 75,0-75,200 375,0-375,200 375,100-600,100 «A3» 600,0"_s);
    }

    // A printer the system does not know.
    void sinImpresora()
    {
        Huerto h;
        QVERIFY(h.arrancar());
        h.w->EstablecerImpresoras([] { return QStringList{u"Huerta-NoExiste"_s}; });
        control<QComboBox>(*h.w, "ComboImpresoras0")->setCurrentIndex(-1);
        h.r.limpiar();
        QTest::mouseClick(control<QPushButton>(*h.w, "Btimprimir"), Qt::LeftButton);
        QCOMPARE(h.r.avisos(), QStringList{u"Atención|Exclamacion|SoloAceptar|La impresora «Huerta-NoExiste» no ha"
                                           " aceptado el trabajo: el plan no se ha impreso."_s});
    }

    void impresoraPdf()
    {
        QVERIFY2(qEnvironmentVariableIsSet("HUERTA_PDF_DIR") && !QPrinterInfo::printerInfo(u"PDF"_s).isNull(),
                 "no test print server: run under scripts/impresora_prueba.sh");
        const QString parcela = u"Ñora-"_s + QUuid::createUuid().toString(QUuid::Id128).left(12);
        Huerto h(4, 1, 1, parcela);
        QStringList filas;
        const QStringList cultivos{u"Zanahorias"_s, u"Ajos"_s, u"Lechugas"_s, u"Tomates"_s};
        for (int año = 2009; año <= 2026; ++año)
            for (int hoja = 1; hoja <= 4; ++hoja)
                filas << u"%1|%2|%3|5|12"_s.arg(año).arg(hoja).arg(cultivos.at((año + hoja) % 4));
        h.sembrar(filas);
        QVERIFY(h.arrancar());
        // The tree as shown, node by node.
        const QTreeWidgetItem *raiz = control<QTreeWidget>(*h.w, "arbolaños")->topLevelItem(0);
        QStringList textos{raiz->text(0)};
        for (int a = 0; a < raiz->childCount(); ++a) {
            textos << raiz->child(a)->text(0).trimmed();
            for (int f = 0; f < raiz->child(a)->childCount(); ++f)
                textos << raiz->child(a)->child(f)->text(0);
        }

        control<QComboBox>(*h.w, "ComboImpresoras0")->setCurrentText(u"PDF"_s);
        h.r.limpiar();
        QTest::mouseClick(control<QPushButton>(*h.w, "Btimprimir"), Qt::LeftButton);
        QCOMPARE(h.r.avisos(), QStringList());
        QString texto;
        QTRY_VERIFY_WITH_TIMEOUT(!(texto = textoImpreso(parcela)).isEmpty(), 120000);
        QVERIFY(texto.count(u'\f') >= 2); // more rows than a page holds
        QStringList lineas = QString(texto).remove(u'\f').split(u'\n', Qt::SkipEmptyParts);
        for (QString &l : lineas)
            l = l.trimmed();
        QCOMPARE(lineas, textos);
    }
};

QTEST_MAIN(TestImpresion)
#include "test_impresion.moc"
