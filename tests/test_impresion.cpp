// The plan tree printed as an outline: its layout recorded without paper, the
// handler's refusal without printers, and a real job on the cups-pdf printer.
#include "auxiliary/ImpresionArbol.h"
#include "fixtures/VentanaPrueba.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPrinterInfo>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <QUuid>

using namespace ImpresionArbol;
using namespace Qt::StringLiterals;

namespace {

// Records what is drawn: "x1,y1-x2,y2" lines, "imgN x,y" pictures, "«text» x,y"
// texts (each ends a row), "página" for a new page.
class Grabadora : public Destino
{
public:
    int alto = 1000000;
    QStringList trazos;

    void PaintPicture(const QString &imagen, int x, int y) override { trazos << u"%1 %2,%3"_s.arg(imagen).arg(x).arg(y); }
    void Print(const QString &texto) override
    {
        trazos << u"«%1» %2,%3"_s.arg(texto).arg(CurrentX).arg(CurrentY);
        CurrentX = 0;
        CurrentY += 180;
    }
    int AltoPagina() const override { return alto; }
    void NewPage() override
    {
        trazos << u"página"_s;
        CurrentX = CurrentY = 0;
    }
    bool EndDoc() override { return true; }

    // What each row drew, its text last.
    QStringList filas() const
    {
        QStringList r, fila;
        for (const QString &t : trazos) {
            fila << t;
            if (t.startsWith(u'«')) {
                r << fila.join(u' ');
                fila.clear();
            }
        }
        return r;
    }

protected:
    void trazar(int x1, int y1, int x2, int y2) override { trazos << u"%1,%2-%3,%4"_s.arg(x1).arg(y1).arg(x2).arg(y2); }
};

// A tree from lines "text picture", indented one blank per level.
QList<ArbolPlan::Nodo> arbolDe(const QStringList &lineas)
{
    QList<ArbolPlan::Nodo> raices;
    for (const QString &l : lineas) {
        const int nivel = l.size() - l.trimmed().size();
        const QStringList partes = l.trimmed().split(u' ');
        QList<ArbolPlan::Nodo> *hermanos = &raices;
        for (int i = 0; i < nivel; ++i)
            hermanos = &hermanos->last().hijos;
        ArbolPlan::Nodo n;
        n.texto = partes.at(0);
        n.imagen = partes.value(1).toInt();
        hermanos->append(n);
    }
    return raices;
}

Arbol conEstilo(const QList<ArbolPlan::Nodo> &nodos, int lineStyle, int style)
{
    Arbol a;
    a.Nodes = nodos;
    a.LineStyle = lineStyle;
    a.Style = style;
    a.ImageList = [](int i) { return u"img%1"_s.arg(i); };
    return a;
}

void preorden(const ArbolPlan::Nodo &n, QStringList &textos)
{
    textos << n.texto;
    for (const ArbolPlan::Nodo &h : n.hijos)
        preorden(h, textos);
}

// The PDFs that cups-pdf has written: under the spool and the user's PDF folder.
QStringList pdfs()
{
    QStringList r;
    for (const QString &carpeta : {QDir::homePath() + u"/PDF"_s, u"/var/spool/cups-pdf"_s}) {
        QDirIterator it(carpeta, {u"*.pdf"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            r << it.next();
    }
    return r;
}

QString textoPdf(const QString &fichero)
{
    QProcess p;
    p.start(u"pdftotext"_s, {fichero, u"-"_s});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestImpresion : public QObject
{
    Q_OBJECT

private slots:
    void disposicion_data();
    void disposicion();
    void saltoDePagina();
    void masDeDiezNiveles();
    void sinImpresoras();
    void impresoraPdf();
};

void TestImpresion::disposicion_data()
{
    QTest::addColumn<int>("lineStyle");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("fila");
    QTest::addColumn<QString>("trazos");

    // Rows: R, A, a1, a2 (no picture), B, b1.
    QTest::newRow("raíz con imagen") << 0 << 7 << 0 << u"img3 0,0 «R» 300,0"_s;
    QTest::newRow("raíz sin imágenes") << 0 << 0 << 0 << u"«R» 0,0"_s;
    QTest::newRow("hijo con hermano") << 0 << 7 << 1 << u"75,200-75,400 75,300-300,300 img2 300,200 «A» 600,200"_s;
    QTest::newRow("nieto con hermano, bajo la línea de A")
        << 0 << 1 << 2 << u"75,400-75,600 375,400-375,600 375,500-600,500 img1 600,400 «a1» 900,400"_s;
    QTest::newRow("último nieto sin imagen") << 0 << 7 << 3 << u"75,600-75,800 375,600-375,700 375,700-600,700 «a2» 900,600"_s;
    QTest::newRow("último hijo") << 0 << 7 << 4 << u"75,800-75,900 75,900-300,900 img2 300,800 «B» 600,800"_s;
    QTest::newRow("sin línea bajo el último hijo") << 0 << 7 << 5 << u"375,1000-375,1100 375,1100-600,1100 img1 600,1000 «b1» 900,1000"_s;
    QTest::newRow("sin imágenes, nivel 2") << 0 << 0 << 5 << u"375,1000-375,1100 375,1100-600,1100 «b1» 600,1000"_s;
    QTest::newRow("raíz con líneas de raíz") << 1 << 7 << 0 << u"75,0-75,100 75,100-300,100 img3 300,0 «R» 600,0"_s;
    QTest::newRow("líneas de raíz, nivel 2")
        << 1 << 4 << 2 << u"375,400-375,600 675,400-675,600 675,500-900,500 img1 900,400 «a1» 1200,400"_s;
    QTest::newRow("líneas de raíz sin imágenes, último") << 1 << 0 << 5 << u"675,1000-675,1100 675,1100-900,1100 «b1» 900,1000"_s;
}

void TestImpresion::disposicion()
{
    QFETCH(int, lineStyle);
    QFETCH(int, style);
    QFETCH(int, fila);
    QFETCH(QString, trazos);

    Grabadora g;
    ImprimirArbol(conEstilo(arbolDe({u"R 3"_s, u" A 2"_s, u"  a1 1"_s, u"  a2"_s, u" B 2"_s, u"  b1 1"_s}), lineStyle, style), g);
    QCOMPARE(g.filas().size(), 6);
    QCOMPARE(g.filas().at(fila), trazos);
}

void TestImpresion::saltoDePagina()
{
    QStringList lineas{u"R"_s};
    for (const QString &hijo : {u"A"_s, u"B"_s, u"C"_s})
        for (int i = 0; i <= 4; ++i)
            lineas << (i == 0 ? u" "_s + hijo : u"  %1%2"_s.arg(hijo).arg(i));
    Grabadora g;
    g.alto = 1000; // five rows a page
    g.CurrentY = 180;
    ImprimirArbol(conEstilo(arbolDe(lineas), 0, 0), g);

    QStringList textos;
    for (const QString &t : g.trazos)
        if (t.startsWith(u'«'))
            textos << t.mid(1, t.indexOf(u'»') - 1);
    for (QString &l : lineas)
        l = l.trimmed();
    QCOMPARE(textos, lineas);
    QCOMPARE(g.trazos.count(u"página"_s), 3);
    // First row of the second page: A3, under A's line going on.
    QCOMPARE(g.filas().at(4), u"página 75,0-75,200 375,0-375,200 375,100-600,100 «A3» 600,0"_s);
}

void TestImpresion::masDeDiezNiveles()
{
    QStringList lineas;
    for (int d = 0; d <= 13; ++d)
        lineas << QString(d, u' ') + u"n%1"_s.arg(d);
    Grabadora g;
    ImprimirArbol(conEstilo(arbolDe(lineas), 0, 0), g);
    const QStringList filas = g.filas();
    QCOMPARE(filas.size(), 14);
    for (int d = 10; d <= 13; ++d)
        QVERIFY2(filas.at(d).endsWith(u"«n%1» 3000,%2"_s.arg(d).arg(200 * d)), qPrintable(filas.at(d)));
}

void TestImpresion::sinImpresoras()
{
    Huerto h;
    QVERIFY(h.arrancar());
    h.w->Printers = [] { return QStringList(); };
    h.r.limpiar();
    QTest::mouseClick(h.w->Btimprimir, Qt::LeftButton);
    QCOMPARE(h.r.avisos(),
             QStringList{u"Atención|Exclamacion|SoloAceptar|No hay ninguna impresora instalada: no se puede imprimir el plan."_s});
}

void TestImpresion::impresoraPdf()
{
    QVERIFY2(!QPrinterInfo::printerInfo(u"PDF"_s).isNull(), "no CUPS printer named PDF (see .ci/run)");
    const QString parcela = u"Ñora-"_s + QUuid::createUuid().toString(QUuid::Id128).left(12);
    Huerto h(4, 1, 1, parcela);
    QStringList filas;
    const QStringList cultivos{u"Zanahorias"_s, u"Ajos"_s, u"Lechugas"_s, u"Tomates"_s};
    for (int año = 2009; año <= 2026; ++año)
        for (int hoja = 1; hoja <= 4; ++hoja)
            filas << u"%1|%2|%3|5|12"_s.arg(año).arg(hoja).arg(cultivos.at((año + hoja) % 4));
    h.sembrar(filas);
    QVERIFY(h.arrancar());
    QStringList textos;
    preorden(h.w->ArbolAños.raiz, textos);
    QVERIFY(textos.size() > 90);

    const QStringList previos = pdfs();
    const QSet<QString> antes(previos.cbegin(), previos.cend());
    h.w->ComboImpresoras[0]->setCurrentIndex(h.w->ComboImpresoras[0]->findText(u"PDF"_s));
    h.r.limpiar();
    QTest::mouseClick(h.w->Btimprimir, Qt::LeftButton);
    QCOMPARE(h.r.avisos(), QStringList());

    // Our PDF is the new one that holds the plot's name.
    QString texto;
    QElapsedTimer reloj;
    reloj.start();
    while (texto.isEmpty() && reloj.elapsed() < 120000) {
        QThread::msleep(250);
        for (const QString &f : pdfs())
            if (!antes.contains(f) && textoPdf(f).contains(parcela))
                texto = textoPdf(f);
    }
    QVERIFY2(!texto.isEmpty(), "the printed PDF did not appear");

    QStringList lineas = texto.split(u'\n');
    for (QString &l : lineas)
        l = l.remove(u'\f').trimmed();
    lineas.removeAll(QString());
    for (QString &t : textos)
        t = t.trimmed(); // the years' leading blank
    QCOMPARE(lineas, textos);
    QVERIFY(texto.count(u'\f') >= 2); // more rows than one page holds
}

QTEST_MAIN(TestImpresion)
#include "test_impresion.moc"
