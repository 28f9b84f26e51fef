#include "calendario/PaginaCalendario.h"

#include "widgets/Dialogos.h"
#include "widgets/MotorWeb.h"

#include <QEvent>
#include <QLabel>
#include <QMarginsF>
#include <QPageLayout>
#include <QPointer>
#include <QPrinterInfo>
#include <QStackedLayout>
#include <QTemporaryFile>
#include <QUrlQuery>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <cups/cups.h>

namespace {
QUrl &servidor()
{
    // Astrodienst's public moon calendar (sidereal zodiac, English).
    static QUrl base(QStringLiteral("https://www.astro.com/cgi/"));
    return base;
}
} // namespace

QUrl PaginaCalendario::Servidor() { return servidor(); }
void PaginaCalendario::EstablecerServidor(const QUrl &base) { servidor() = base; }

QUrl PaginaCalendario::Direccion()
{
    QUrl url = servidor().resolved(QUrl(QStringLiteral("mocal.cgi")));
    url.setQuery(QStringLiteral("language=eng&sidtrop=sid"));
    return url;
}

PaginaCalendario::PaginaCalendario(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Página del calendario biodinámico"));
    m_pila = new QStackedLayout(this);
    m_pila->setContentsMargins(0, 0, 0, 0);
    Aviso = new QLabel(QStringLiteral("Cargando el calendario biodinámico…"), this);
    Aviso->setAlignment(Qt::AlignCenter);
    Aviso->setWordWrap(true);
    // Heard by its words; described by what it is.
    Aviso->setAccessibleDescription(QStringLiteral("Aviso del calendario"));
    m_pila->addWidget(Aviso);
}

void PaginaCalendario::NavegarTrasMostrar(QWidget *ventana)
{
    if (WebBrowser1 || m_ventana)
        return;
    m_ventana = ventana;
    ventana->installEventFilter(this);
}

bool PaginaCalendario::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == m_ventana && evento->type() == QEvent::Paint) {
        // The window has been drawn: start the engine once this event is over.
        m_ventana->removeEventFilter(this);
        QMetaObject::invokeMethod(this, [this] { Navegar(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(objeto, evento);
}

void PaginaCalendario::Navegar()
{
    if (WebBrowser1)
        return;
    WebBrowser1 = new QWebEngineView(MotorWeb::Perfil(), this);
    WebBrowser1->setAccessibleName(QStringLiteral("Calendario biodinámico"));
    // A page that cannot load shows our notice, not the engine's error page.
    WebBrowser1->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    m_pila->addWidget(WebBrowser1);
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] { m_cargada = false; });
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_cargada = ok;
        if (ok)
            m_pila->setCurrentWidget(WebBrowser1);
        else
            avisar(QStringLiteral("No se ha podido abrir el calendario biodinámico de %1.\n"
                                  "Compruebe la conexión a Internet.")
                       .arg(Direccion().host()));
        emit cargaTerminada(ok);
    });
    WebBrowser1->load(Direccion());
}

void PaginaCalendario::avisar(const QString &texto)
{
    Aviso->setText(texto);
    m_pila->setCurrentWidget(Aviso);
}

void PaginaCalendario::Imprimir()
{
    if (m_imprimiendo)
        return;
    if (!m_cargada) {
        Dialogos::MsgBox(this, QStringLiteral("La página del calendario no se ha cargado: no se imprime nada."),
                         Dialogos::SoloAceptar, Dialogos::Exclamacion, QStringLiteral("Atención"));
        emit impresionTerminada(false);
        return;
    }
    const QPrinterInfo impresora = QPrinterInfo::defaultPrinter();
    if (impresora.isNull()) {
        Dialogos::MsgBox(this, QStringLiteral("No hay ninguna impresora predeterminada: no se imprime nada."),
                         Dialogos::SoloAceptar, Dialogos::Exclamacion, QStringLiteral("Atención"));
        emit impresionTerminada(false);
        return;
    }
    // The engine lays the page out for paper itself, text as text; the
    // document then goes to the printer as it is.
    m_imprimiendo = true;
    const QPageLayout hoja(impresora.defaultPageSize(), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                           QPageLayout::Millimeter);
    const QString titulo = WebBrowser1->title().isEmpty() ? QStringLiteral("Calendario biodinámico")
                                                          : WebBrowser1->title();
    QPointer<PaginaCalendario> yo(this);
    WebBrowser1->printToPdf(
        [yo, titulo](const QByteArray &pdf) {
            if (yo)
                yo->enviarAImpresora(pdf, titulo);
        },
        hoja);
}

void PaginaCalendario::enviarAImpresora(const QByteArray &pdf, const QString &titulo)
{
    if (pdf.isEmpty()) {
        terminarImpresion(false, QStringLiteral("No se ha podido preparar la página para imprimirla."));
        return;
    }
    QTemporaryFile fichero;
    if (!fichero.open() || fichero.write(pdf) != pdf.size() || !fichero.flush()) {
        terminarImpresion(false, QStringLiteral("No se ha podido preparar la página para imprimirla."));
        return;
    }
    const QString impresora = QPrinterInfo::defaultPrinterName();
    const int trabajo = cupsPrintFile(impresora.toUtf8().constData(), fichero.fileName().toLocal8Bit().constData(),
                                      titulo.toUtf8().constData(), 0, nullptr);
    if (trabajo == 0)
        terminarImpresion(false, QStringLiteral("La impresora «%1» no ha aceptado la página: %2")
                                     .arg(impresora, QString::fromUtf8(cupsLastErrorString())));
    else
        terminarImpresion(true, QString());
}

void PaginaCalendario::terminarImpresion(bool ok, const QString &error)
{
    m_imprimiendo = false;
    if (!ok)
        Dialogos::MsgBox(this, error, Dialogos::SoloAceptar, Dialogos::Exclamacion, QStringLiteral("Atención"));
    emit impresionTerminada(ok);
}
