#include "designer/FormPrincipal.h"

#include "catalogue/EditorCatalogo.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "widgets/Rueda.h"
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
    nombrarControles();
    conectarEventos();
    Rueda::SoloConFoco(this);
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

QString FormPrincipal::DescribirSinGuardar() const
{
    return QStringLiteral("cultivos colocados en la hoja %1 de %2 sin guardar con «Validar Hoja»: %3")
        .arg(Sesion.hoja())
        .arg(Sesion.año())
        .arg(Sesion.sinGuardar().join(QStringLiteral(", ")));
}

bool FormPrincipal::PuedeCerrar()
{
    const bool catalogo = EditorPlantas->HayCambios();
    const bool hoja = Sesion.haySinGuardar();
    QStringList pendiente;
    if (catalogo)
        pendiente << QStringLiteral("cambios de la base de datos de plantas sin guardar con «Actualizar»");
    if (hoja)
        pendiente << DescribirSinGuardar();
    if (pendiente.isEmpty())
        return true;
    const auto respuesta = Dialogos::MsgBox(
        this,
        QStringLiteral("Hay trabajo sin guardar:\n- %1\n\n¿Guardarlo antes de salir?\n«Sí» lo guarda y sale, «No» sale"
                       " sin guardarlo, «Cancelar» vuelve al programa.")
            .arg(pendiente.join(QStringLiteral("\n- "))),
        Dialogos::SiNoCancelar, Dialogos::Pregunta);
    if (respuesta != Dialogos::Si)
        return respuesta == Dialogos::No;
    // A write that fails has told the user why; the window stays with the work.
    if (catalogo) {
        EditorPlantas->cmdUpdate_Click();
        if (EditorPlantas->HayCambios())
            return false;
    }
    return !hoja || ValidarHoja();
}

bool FormPrincipal::SoltarHoja()
{
    if (m_hojaSoltada || !Sesion.haySinGuardar())
        return true;
    const auto respuesta = Dialogos::MsgBox(
        this,
        QStringLiteral("Hay trabajo sin guardar:\n- %1\n\n¿Guardarlo antes de seguir?\n«Sí» lo guarda y sigue, «No» sigue"
                       " sin guardarlo, «Cancelar» vuelve a la hoja como estaba.")
            .arg(DescribirSinGuardar()),
        Dialogos::SiNoCancelar, Dialogos::Pregunta);
    if (respuesta == Dialogos::Si)
        return ValidarHoja(); // a refusal or failure has been told: the gesture stops
    return respuesta == Dialogos::No;
}

void FormPrincipal::closeEvent(QCloseEvent *e)
{
    // Work not yet stored is written or dropped as the user says, or the
    // window stays open with it. Nothing else is written at exit.
    if (!PuedeCerrar()) {
        e->ignore();
        return;
    }
    // Form_Unload: put the pointer back.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    e->accept();
}
