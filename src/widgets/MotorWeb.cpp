#include "widgets/MotorWeb.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace MotorWeb {

void Preparar()
{
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
