#include "designer/FormPrincipal.h"

#include "widgets/CuadriculaFlex.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QListWidget>

#include <algorithm>

static void iniciarRecursos() { Q_INIT_RESOURCE(huerta); }

FormPrincipal::FormPrincipal(const QString &carpeta, QWidget *parent)
    : QMainWindow(parent), carpetaPrograma(carpeta)
{
    iniciarRecursos();
    construirControles();
    conectarEventos();
    // Designed client width; the height follows the explanation log's switch.
    resize(Twips::APixelesX(11100) + 2, height());
    EstablecerAlturaTwips(kAlturaSinRegistro);
}

FormPrincipal::~FormPrincipal() = default;

void FormPrincipal::conectarEventos()
{
    conectarEventosCalendario();
    connect(ModoExplicito, &QCheckBox::clicked, this, [this] { ModoExplicito_Click(); });
    // A double-click anywhere on the log, on a line or below the last one.
    ListModoExplicito->viewport()->installEventFilter(this);
    centralWidget()->installEventFilter(this);
    conectarEventosMapa();
    conectarSesion();
    conectarEventosRejilla();
    conectarEventosHoja();
    conectarEventosArbol();
    conectarEventosImprimir();
    conectarEventosParcelas();
}

bool FormPrincipal::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == ListModoExplicito->viewport() && evento->type() == QEvent::MouseButtonDblClick) {
        ListModoExplicito_DblClick();
        return true;
    }
    if (objeto == centralWidget() && evento->type() == QEvent::Resize)
        AjustarRegistro();
    return QMainWindow::eventFilter(objeto, evento);
}

// Caption and borders of the window: what the window manager reports, and
// never less than a classic caption bar, so the client area is the same with
// or without a window manager.
int FormPrincipal::altoMarco() const
{
    return std::max(frameGeometry().height() - geometry().height(), Twips::APixelesY(465));
}

int FormPrincipal::AlturaTwips() const
{
    return Twips::DesdePixelesY(geometry().height() + altoMarco());
}

void FormPrincipal::EstablecerAlturaTwips(int twips)
{
    // The height in twips is the window's outer height, caption and borders
    // included; the frame is known once the window is shown, when showEvent
    // applies the height again.
    m_alturaTwips = twips;
    resize(width(), Twips::APixelesY(twips) - altoMarco());
}

void FormPrincipal::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    EstablecerAlturaTwips(m_alturaTwips);
}

void FormPrincipal::closeEvent(QCloseEvent *e)
{
    // Form_Unload: nothing is stored at exit; put the pointer back.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    e->accept();
}
