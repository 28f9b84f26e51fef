#include "widgets/Rueda.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>
#include <QWidget>

namespace {

bool esSelector(const QObject *o)
{
    return qobject_cast<const QComboBox *>(o) || qobject_cast<const QAbstractSpinBox *>(o)
           || (qobject_cast<const QAbstractSlider *>(o) && !qobject_cast<const QScrollBar *>(o));
}

// A picker given the focus by the wheel would then turn under it.
void sinFocoPorRueda(QWidget *w)
{
    if (w->focusPolicy() & Qt::WheelFocus)
        w->setFocusPolicy(Qt::StrongFocus);
}

class FiltroRueda : public QObject
{
public:
    explicit FiltroRueda(QWidget *ventana) : QObject(ventana), m_ventana(ventana) {}

    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::Wheel && e->type() != QEvent::Polish)
            return false;
        if (!esSelector(o))
            return false;
        auto *w = static_cast<QWidget *>(o);
        if (!m_ventana->isAncestorOf(w))
            return false;
        if (e->type() == QEvent::Polish) {
            sinFocoPorRueda(w);
            return false;
        }
        const QWidget *foco = QApplication::focusWidget();
        if (foco && (foco == w || w->isAncestorOf(foco)))
            return false;
        // Not taken here: the application hands it to the parents in turn.
        e->ignore();
        return true;
    }

private:
    QWidget *m_ventana;
};

} // namespace

namespace Rueda {

void SoloConFoco(QWidget *ventana)
{
    for (QWidget *w : ventana->findChildren<QWidget *>())
        if (esSelector(w))
            sinFocoPorRueda(w);
    qApp->installEventFilter(new FiltroRueda(ventana));
}

} // namespace Rueda
