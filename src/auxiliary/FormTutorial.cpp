#include "auxiliary/FormTutorial.h"

#include "widgets/MotorWeb.h"
#include "widgets/Twips.h"

#include <QShortcut>
#include <QUrl>
#include <QWebEngineView>

FormTutorial::FormTutorial(QWidget *dueño, const QString &carpetaPrograma, QSize tamañoDueño) : QDialog(dueño)
{
    setModal(true);
    setWindowTitle(QStringLiteral("mini tutorial"));
    setAccessibleName(windowTitle());
    WebBrowser1 = new QWebEngineView(MotorWeb::Perfil(), this);
    WebBrowser1->setAccessibleName(QStringLiteral("Tutorial"));
    // The page would keep Escape for itself; the window closes on it.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, [this] { reject(); });
    Form_Load(carpetaPrograma, tamañoDueño);
}

void FormTutorial::Form_Load(const QString &carpetaPrograma, QSize tamañoDueño)
{
    // A missing page gets the engine's own notice; the window stays usable.
    WebBrowser1->load(QUrl::fromLocalFile(carpetaPrograma + QStringLiteral("/video/Huerta Proj.html")));
    m_tamañoTwips = QSize(tamañoDueño.width() + 1000, tamañoDueño.height() + 1800);
    aplicarTamaño();
}

QSize FormTutorial::TamañoTwips() const
{
    const QRect marco = frameGeometry();
    return QSize(Twips::DesdePixelesX(marco.width()), Twips::DesdePixelesY(marco.height()));
}

void FormTutorial::aplicarTamaño()
{
    // The size asked for is the outer one; the frame is known once shown,
    // when showEvent applies it again.
    const QSize marco = frameGeometry().size() - geometry().size();
    resize(Twips::APixelesX(m_tamañoTwips.width()) - marco.width(),
           Twips::APixelesY(m_tamañoTwips.height()) - marco.height());
}

void FormTutorial::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    aplicarTamaño();
}

void FormTutorial::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    Form_Resize();
}

void FormTutorial::Form_Resize()
{
    // The browser follows the window's outer size, 100 twips short each way.
    const QSize exterior = TamañoTwips();
    WebBrowser1->setGeometry(0, 0, Twips::APixelesX(exterior.width() - 100),
                             Twips::APixelesY(exterior.height() - 100));
}
