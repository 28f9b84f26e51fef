#include "widgets/Pulsacion.h"

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

namespace {

class FiltroPulsacion : public QObject
{
public:
    FiltroPulsacion(QWidget *control, QEvent::Type tipo, std::function<void()> accion)
        : QObject(control), m_control(control), m_tipo(tipo), m_accion(std::move(accion))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == m_tipo && m_control->isEnabled()) {
            const auto *raton = static_cast<QMouseEvent *>(e);
            if (raton->button() == Qt::LeftButton && m_control->rect().contains(raton->position().toPoint()))
                m_accion();
        }
        return false;
    }

private:
    QWidget *m_control;
    QEvent::Type m_tipo;
    std::function<void()> m_accion;
};

} // namespace

void AlPulsar(QWidget *control, std::function<void()> accion)
{
    control->installEventFilter(new FiltroPulsacion(control, QEvent::MouseButtonRelease, std::move(accion)));
}

void AlApretar(QWidget *control, std::function<void()> accion)
{
    control->installEventFilter(new FiltroPulsacion(control, QEvent::MouseButtonPress, std::move(accion)));
}
