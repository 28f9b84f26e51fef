#include "widgets/MotorWeb.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <unistd.h>

namespace MotorWeb {

void Preparar()
{
    // The web engine's sandbox refuses to run for the administrator and ends
    // the whole program; run that way (a container, say) it goes without.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen")))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

QWebEngineProfile *Perfil()
{
    static QWebEngineProfile *perfil = new QWebEngineProfile(QCoreApplication::instance());
    return perfil;
}

} // namespace MotorWeb
