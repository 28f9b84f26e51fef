#pragma once
// The biodynamic-calendar tab's page: a moon-calendar page of a web calendar
// service, shown in a web view and printed on the system's default printer.
//
// The web engine is costly to start, so the view is created only when the page
// is asked for; until the page has arrived, or when it cannot arrive (no
// connection), the tab shows a short notice of its own.
#include <QUrl>
#include <QWidget>

class QLabel;
class QStackedLayout;
class QWebEngineView;

class PaginaCalendario : public QWidget
{
    Q_OBJECT

public:
    explicit PaginaCalendario(QWidget *parent = nullptr);

    // The service's base address (the folder that holds mocal.cgi). Taken
    // when the page is asked for.
    static QUrl Servidor();
    static void EstablecerServidor(const QUrl &base);
    // The moon-calendar page on that service.
    static QUrl Direccion();

    // The browser; null until the page has been asked for.
    QWebEngineView *WebBrowser1 = nullptr;
    QLabel *Aviso = nullptr;

    // Creates the browser and asks it for the page (the first time only).
    void Navegar();
    // Asks for the page once ventana has been painted for the first time, so
    // the window never waits for the engine.
    void NavegarTrasMostrar(QWidget *ventana);

    // True while the view shows the page it was asked for.
    bool Cargada() const { return m_cargada; }

    // Prints what the view shows on the default printer. The work ends later
    // (impresionTerminada); a page not loaded prints nothing, and the user is
    // told so.
    void Imprimir();

signals:
    void cargaTerminada(bool ok);
    void impresionTerminada(bool ok);

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void avisar(const QString &texto);
    void enviarAImpresora(const QByteArray &pdf, const QString &titulo);
    void terminarImpresion(bool ok, const QString &error);

    QStackedLayout *m_pila = nullptr;
    QWidget *m_ventana = nullptr;
    bool m_cargada = false;
    bool m_imprimiendo = false;
};
