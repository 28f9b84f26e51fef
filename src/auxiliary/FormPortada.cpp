#include "auxiliary/FormPortada.h"

#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

QPixmap FormPortada::Imagen()
{
    QPixmap p(557, 476);
    p.fill(Qt::white);
    QSvgRenderer svg(QStringLiteral(":/imagenes/portada.svg"));
    QPainter pintor(&p);
    svg.render(&pintor);
    return p;
}

FormPortada::FormPortada(QWidget *parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setModal(true);
    setWindowTitle(QStringLiteral("Huerta"));
    setAccessibleName(QStringLiteral("Portada de Huerta"));
    setAccessibleDescription(QStringLiteral("Pulsa en la portada para empezar"));
    setFixedSize(Twips::APixelesX(8310), Twips::APixelesY(7125));
    setCursor(Qt::PointingHandCursor);
    // The timer ticks but does nothing: the splash waits for the click.
    Timer1 = new QTimer(this);
    Timer1->setInterval(3500);
    connect(Timer1, &QTimer::timeout, this, [] {});
    Timer1->start();
    if (const QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void FormPortada::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    accept();
}

void FormPortada::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        e->accept();
        accept();
        break;
    default:
        e->accept();
        break;
    }
}

void FormPortada::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QPixmap img = Imagen();
    p.drawPixmap((width() - img.width()) / 2, (height() - img.height()) / 2, img);
}
