// The moon-phase panel, the biodynamic-calendar page and its printing, the
// tutorial window.
#include "auxiliary/FormTutorial.h"
#include "catalogue/PaginaCalendario.h"
#include "core/Luna.h"
#include "fixtures/VentanaPrueba.h"
#include "widgets/Twips.h"

#include <QCalendarWidget>
#include <QDirIterator>
#include <QPrinterInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUuid>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {

QStringList lineas(const QListWidget *l)
{
    QStringList r;
    for (int i = 0; i < l->count(); ++i)
        r << l->item(i)->text();
    return r;
}

// The lines that the phase list must hold for these days.
QStringList lineasDe(const QList<QDate> &dias)
{
    const QStringList textos = {u""_s, u"--> Nueva"_s, u"--> ¼ Creciente-> Resto plantas"_s, u"--> LLena"_s,
                                u"--> ¼ Menguante-> Raices, tubérculos"_s};
    QStringList r;
    for (const QDate &d : dias)
        if (const int f = modBasico::FaseLuna(modBasico::FechaDe(d)); f > 0)
            r << u"%1/%2/%3"_s.arg(d.day()).arg(d.month()).arg(d.year()) + textos.at(f);
    return r;
}

// Serves one page to every request and keeps the requests' targets.
class Servidor : public QTcpServer
{
public:
    explicit Servidor(const QByteArray &html) : m_html(html)
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { responder(s); });
        });
    }
    QStringList pedidas;

private:
    void responder(QTcpSocket *s)
    {
        m_entrada[s] += s->readAll();
        if (!m_entrada[s].contains("\r\n\r\n"))
            return;
        pedidas << QString::fromLatin1(m_entrada[s].split(' ').value(1));
        s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: "
                 + QByteArray::number(m_html.size()) + "\r\n\r\n" + m_html);
        s->disconnectFromHost();
    }
    QByteArray m_html;
    QHash<QTcpSocket *, QByteArray> m_entrada;
};

// The text of the PDFs that the PDF printer wrote after `desde`.
QStringList textosImpresos(const QDateTime &desde)
{
    QStringList r;
    const QStringList carpetas = {QDir::home().filePath(u"PDF"_s), u"/var/spool/cups-pdf/ANONYMOUS"_s,
                                  u"/var/spool/cups-pdf/"_s + qEnvironmentVariable("USER")};
    for (const QString &c : carpetas)
        for (QDirIterator it(c, {u"*.pdf"_s}, QDir::Files); it.hasNext();) {
            const QFileInfo f(it.next());
            if (f.lastModified() < desde)
                continue;
            QProcess p;
            p.start(u"pdftotext"_s, {f.filePath(), u"-"_s});
            p.waitForFinished();
            r << QString::fromUtf8(p.readAllStandardOutput());
        }
    return r;
}

} // namespace

class TestCalendario : public QObject
{
    Q_OBJECT

private slots:
    // The list follows the grid that the calendar draws, neighbouring days
    // included, whatever the first day of the week.
    void fasesDeLaRejilla_data()
    {
        QTest::addColumn<QDate>("dia");
        QTest::addColumn<Qt::DayOfWeek>("primerDia");
        QTest::addColumn<bool>("semanas");
        QTest::addColumn<QDate>("primeraCelda");
        // 1 March 2010 is a Monday: the grid starts a whole week before.
        QTest::newRow("marzo 2010, lunes") << QDate(2010, 3, 15) << Qt::Monday << false << QDate(2010, 2, 22);
        QTest::newRow("agosto 2010, domingo") << QDate(2010, 8, 9) << Qt::Sunday << false << QDate(2010, 7, 25);
        QTest::newRow("junio 2011, lunes, semanas") << QDate(2011, 6, 30) << Qt::Monday << true << QDate(2011, 5, 30);
        QTest::newRow("febrero 2015, domingo") << QDate(2015, 2, 1) << Qt::Sunday << true << QDate(2015, 1, 25);
    }
    void fasesDeLaRejilla()
    {
        QFETCH(QDate, dia);
        QFETCH(Qt::DayOfWeek, primerDia);
        QFETCH(bool, semanas);
        QFETCH(QDate, primeraCelda);
        PanelLuna panel;
        panel.MonthView1->setFirstDayOfWeek(primerDia);
        panel.MonthView1->setVerticalHeaderFormat(semanas ? QCalendarWidget::ISOWeekNumbers
                                                          : QCalendarWidget::NoVerticalHeader);
        panel.MonthView1->setSelectedDate(dia);

        QList<QDate> dias;
        for (int i = 0; i < 42; ++i)
            dias << primeraCelda.addDays(i);
        QCOMPARE(panel.DiasVisibles(), dias);
        QCOMPARE(lineas(panel.ListLunar), lineasDe(dias));

        // The day numbers that the calendar itself draws, cell by cell.
        const auto *tabla = panel.MonthView1->findChild<QTableView *>();
        QVERIFY(tabla);
        const QAbstractItemModel *m = tabla->model();
        QCOMPARE(m->columnCount(), semanas ? 8 : 7);
        for (int i = 0; i < 42; ++i)
            QCOMPARE(m->index(m->rowCount() - 6 + i / 7, m->columnCount() - 7 + i % 7).data().toInt(),
                     dias.at(i).day());
    }

    void mesConLasCuatroFases()
    {
        PanelLuna panel;
        panel.MonthView1->setFirstDayOfWeek(Qt::Monday);
        panel.MonthView1->setSelectedDate(QDate(2010, 3, 1));
        QCOMPARE(lineas(panel.ListLunar), (QStringList{u"28/2/2010--> LLena"_s,
                                                       u"7/3/2010--> ¼ Menguante-> Raices, tubérculos"_s,
                                                       u"15/3/2010--> Nueva"_s,
                                                       u"22/3/2010--> ¼ Creciente-> Resto plantas"_s,
                                                       u"29/3/2010--> LLena"_s}));
    }

    // The check box refreshes the list, shows or hides the panel and puts the
    // calendar back on today, also when it unticks.
    void casillaLuna_data()
    {
        QTest::addColumn<QDate>("antes");
        QTest::newRow("ya en hoy") << QDate::currentDate();
        QTest::newRow("en marzo de 2010") << QDate(2010, 3, 15);
    }
    void casillaLuna()
    {
        QFETCH(QDate, antes);
        Huerto h;
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        QTest::mouseClick(w.CheckLuna, Qt::LeftButton);
        QVERIFY(w.FrameFasesLuna->isVisible());
        QCOMPARE(w.MonthView1->selectedDate(), QDate::currentDate());
        const QStringList deHoy = lineasDe(w.FrameFasesLuna->DiasVisibles());
        QCOMPARE(lineas(w.ListLunar), deHoy);

        w.MonthView1->setSelectedDate(antes);
        w.ListLunar->addItem(u"sobra"_s);
        QTest::mouseClick(w.CheckLuna, Qt::LeftButton);
        QVERIFY(w.FrameFasesLuna->isHidden());
        QCOMPARE(w.MonthView1->selectedDate(), QDate::currentDate());
        QCOMPARE(lineas(w.ListLunar), deHoy);
    }

    // The page is asked for once the window is up, from the service's
    // mocal.cgi, and prints on the default printer (PDF, set by .ci/run).
    void paginaEImpresion()
    {
        QVERIFY2(QPrinterInfo::defaultPrinterName() == u"PDF"_s, "make PDF the default printer (lpadmin -d PDF)");
        const QString marca = u"Luna"_s + QUuid::createUuid().toString(QUuid::Id128).left(12);
        Servidor servidor("<html><head><title>" + marca.toUtf8() + "</title></head><body><h1>Calendario lunar "
                          + marca.toUtf8() + "</h1></body></html>");
        QVERIFY(servidor.listen(QHostAddress::LocalHost));
        PaginaCalendario::EstablecerServidor(QUrl(u"http://127.0.0.1:%1/cgi/"_s.arg(servidor.serverPort())));

        Huerto h;
        QVERIFY(h.arrancar());
        PaginaCalendario *pagina = h.w->PaginaBiodinamica;
        // The window came up without waiting for the engine.
        QVERIFY(!pagina->WebBrowser1);
        QSignalSpy carga(pagina, &PaginaCalendario::cargaTerminada);
        QVERIFY(carga.wait(60000));
        QCOMPARE(carga.first().first().toBool(), true);
        QCOMPARE(servidor.pedidas.filter(u"mocal"_s), QStringList{u"/cgi/mocal.cgi?language=eng&sidtrop=sid"_s});

        const QDateTime desde = QDateTime::currentDateTime().addSecs(-1);
        QSignalSpy impresa(pagina, &PaginaCalendario::impresionTerminada);
        h.w->SSTab1->setCurrentIndex(1);
        QTest::mouseClick(h.w->Bt_Printwww, Qt::LeftButton);
        QVERIFY(impresa.wait(60000));
        QCOMPARE(h.r.textos(), QStringList());
        QCOMPARE(impresa.first().first().toBool(), true);
        QTRY_VERIFY_WITH_TIMEOUT(textosImpresos(desde).join(u'\n').contains(u"Calendario lunar "_s + marca), 60000);
        QCOMPARE(servidor.pedidas.filter(u"mocal"_s).size(), 1);
    }

    void sinConexion()
    {
        QTcpServer cerrado;
        QVERIFY(cerrado.listen(QHostAddress::LocalHost));
        const quint16 puerto = cerrado.serverPort();
        cerrado.close();
        PaginaCalendario::EstablecerServidor(QUrl(u"http://127.0.0.1:%1/"_s.arg(puerto)));

        Huerto h;
        QVERIFY(h.arrancar());
        PaginaCalendario *pagina = h.w->PaginaBiodinamica;
        h.w->SSTab1->setCurrentIndex(1);
        QSignalSpy carga(pagina, &PaginaCalendario::cargaTerminada);
        QVERIFY(carga.wait(60000));
        QCOMPARE(carga.first().first().toBool(), false);
        QVERIFY(pagina->Aviso->isVisible());
        QVERIFY(!pagina->WebBrowser1->isVisible());
        QVERIFY(pagina->Aviso->text().startsWith(u"No se ha podido abrir el calendario biodinámico"_s));

        QSignalSpy impresa(pagina, &PaginaCalendario::impresionTerminada);
        QTest::mouseClick(h.w->Bt_Printwww, Qt::LeftButton);
        QCOMPARE(impresa.size(), 1);
        QCOMPARE(impresa.first().first().toBool(), false);
        QCOMPARE(h.r.avisos(),
                 QStringList{u"Atención|Exclamacion|SoloAceptar|La página del calendario no se ha cargado: "
                             "no se imprime nada."_s});
    }

    // The tutorial is 1000 twips wider and 1800 taller than the main window,
    // its browser 100 twips short of its outer size, also after a resize.
    void tutorial_data()
    {
        QTest::addColumn<QSize>("principal"); // client size of the main window, pixels
        QTest::newRow("como se diseñó") << QSize();
        QTest::newRow("agrandada") << QSize(900, 760);
    }
    void tutorial()
    {
        QFETCH(QSize, principal);
        Huerto h;
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        if (principal.isValid())
            w.resize(principal);
        const QSize dueño(Twips::DesdePixelesX(w.frameGeometry().width()), w.AlturaTwips());

        QList<QSize> tamaños, navegador;
        QList<QPoint> esquinas;
        QString clase;
        QUrl pagina;
        bool modal = false;
        Dialogos::EstablecerRespondedor([&](const Dialogos::Peticion &p) {
            clase = p.clase;
            auto *t = static_cast<FormTutorial *>(p.dialogo);
            modal = t->isModal() && t->parentWidget() == &w;
            pagina = t->WebBrowser1->page()->requestedUrl();
            t->show();
            for (QSize tamaño : {QSize(), QSize(500, 400)}) {
                if (tamaño.isValid())
                    t->resize(tamaño);
                tamaños << t->TamañoTwips();
                esquinas << t->WebBrowser1->pos();
                navegador << QSize(Twips::DesdePixelesX(t->WebBrowser1->width()),
                                   Twips::DesdePixelesY(t->WebBrowser1->height()));
            }
            t->reject();
            return 0;
        });
        QTest::mouseClick(w.BtTutorial, Qt::LeftButton);
        QCOMPARE(clase, u"FormTutorial"_s);
        QVERIFY(modal);
        QCOMPARE(pagina, QUrl::fromLocalFile(h.bd.carpeta() + u"/video/Huerta Proj.html"_s));
        QCOMPARE(esquinas, (QList<QPoint>{QPoint(0, 0), QPoint(0, 0)}));
        QCOMPARE(tamaños.size(), 2);
        auto cerca = [](QSize a, QSize b) { return qAbs(a.width() - b.width()) <= 15 && qAbs(a.height() - b.height()) <= 15; };
        QVERIFY(cerca(tamaños.at(0), dueño + QSize(1000, 1800)));
        for (int i = 0; i < 2; ++i)
            QVERIFY(cerca(navegador.at(i), tamaños.at(i) - QSize(100, 100)));
        QVERIFY(tamaños.at(1) != tamaños.at(0));
    }

    // The page that the build puts beside the program loads with every picture.
    void paginaDelTutorial()
    {
        QWidget dueño;
        FormTutorial t(&dueño, QStringLiteral(HUERTA_PROGRAMA), QSize(9000, 9000));
        QSignalSpy carga(t.WebBrowser1, &QWebEngineView::loadFinished);
        QVERIFY(carga.wait(60000));
        QCOMPARE(carga.first().first().toBool(), true);
        QVariant imagenes;
        t.WebBrowser1->page()->runJavaScript(
            u"Array.from(document.images).map(i => i.complete && i.naturalWidth > 0)"_s,
            [&](const QVariant &v) { imagenes = v; });
        QTRY_VERIFY_WITH_TIMEOUT(imagenes.isValid(), 30000);
        const QVariantList cargadas = imagenes.toList();
        QVERIFY(cargadas.size() >= 3);
        QVERIFY(!cargadas.contains(false));
    }
};

QTEST_MAIN(TestCalendario)
#include "test_calendario.moc"
