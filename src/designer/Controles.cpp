#include "designer/Controles.h"

#include <QApplication>

#include <algorithm>

namespace Controles {

namespace {

// The policy a control had before a panel covered it; only covered controls
// carry it.
const char *const kPoliticaAntes = "huertaFocoAntesDeTapar";

// A covered control keeps its policy but for Tab.
Qt::FocusPolicy sinTab(int politica)
{
    return Qt::FocusPolicy(politica & ~Qt::TabFocus);
}

// What shows of w, in its window's coordinates: its rectangle cut by its
// parents'.
QRect aLaVista(const QWidget *w)
{
    QRect r = w->rect();
    for (; !w->isWindow(); w = w->parentWidget())
        r = r.translated(w->pos()) & w->parentWidget()->rect();
    return r;
}

// Whether w, neither inside nor around the panel, is painted before it:
// where their lines of parents meet, w's branch comes first among the
// children (raising a child puts it last).
bool debajo(const QWidget *w, const QWidget *tapa)
{
    for (const QWidget *rama = tapa; !rama->isWindow(); rama = rama->parentWidget()) {
        const QWidget *padre = rama->parentWidget();
        if (!padre->isAncestorOf(w))
            continue;
        const QWidget *suya = w;
        while (suya->parentWidget() != padre)
            suya = suya->parentWidget();
        return padre->children().indexOf(suya) < padre->children().indexOf(rama);
    }
    return false;
}

// Every panel's, of every window.
QList<const TapaFoco *> todas;

bool alcanzable(const QWidget *w, const QWidget *ventana)
{
    return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->window() == ventana && w->isVisible()
           && w->isEnabled();
}

// Before a key pressed in the panel's window can move the focus along the
// chain, the window is looked over.
class AntesDeTecla : public QObject
{
public:
    AntesDeTecla(QWidget *tapa, QObject *padre) : QObject(padre), m_tapa(tapa) {}
    bool eventFilter(QObject *objeto, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress && objeto->isWidgetType()
            && static_cast<QWidget *>(objeto)->window() == m_tapa->window())
            TapaFoco::revisar(m_tapa->window());
        return false;
    }

private:
    QWidget *m_tapa;
};

} // namespace

TapaFoco::TapaFoco(QWidget *tapa) : QObject(tapa), m_tapa(tapa), m_teclas(new AntesDeTecla(tapa, this))
{
    tapa->installEventFilter(this);
    todas.append(this);
}

TapaFoco::~TapaFoco()
{
    todas.removeOne(this);
}

bool TapaFoco::eventFilter(QObject *, QEvent *e)
{
    switch (e->type()) {
    case QEvent::Show:
        qApp->installEventFilter(m_teclas);
        break;
    case QEvent::Hide:
        qApp->removeEventFilter(m_teclas);
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ZOrderChange:
        if (!m_tapa->isVisible())
            return false;
        break;
    default:
        return false;
    }
    revisar(m_tapa->window());
    if (e->type() != QEvent::Hide)
        apartarFoco();
    return false;
}

// Shown, the panel lies over some of w: w is neither the panel, nor inside
// it, nor around it, some of both shows at the same place and w is below.
bool TapaFoco::tapa(const QWidget *w) const
{
    return m_tapa->isVisible() && w->isVisible() && w != m_tapa && !m_tapa->isAncestorOf(w)
           && !w->isAncestorOf(m_tapa) && aLaVista(w).intersects(aLaVista(m_tapa)) && debajo(w, m_tapa);
}

void TapaFoco::revisar(QWidget *ventana)
{
    QList<const TapaFoco *> tapas;
    for (const TapaFoco *t : std::as_const(todas))
        if (t->m_tapa->window() == ventana && t->m_tapa->isVisible())
            tapas.append(t);
    for (QWidget *w : ventana->findChildren<QWidget *>()) {
        // A control with a proxy is never on the chain, and its policy is
        // its proxy's.
        if (w->window() != ventana || w->focusProxy())
            continue;
        const Qt::FocusPolicy politica = w->focusPolicy();
        QVariant antes = w->property(kPoliticaAntes);
        if (antes.isValid() && politica != sinTab(antes.toInt())) {
            // Someone else gave it a policy while covered: that one stands.
            w->setProperty(kPoliticaAntes, QVariant());
            antes = QVariant();
        }
        if (!antes.isValid() && !(politica & Qt::TabFocus))
            continue;
        const bool tapado = std::any_of(tapas.cbegin(), tapas.cend(), [w](const TapaFoco *t) { return t->tapa(w); });
        if (tapado && !antes.isValid()) {
            w->setProperty(kPoliticaAntes, int(politica));
            w->setFocusPolicy(sinTab(politica));
        } else if (!tapado && antes.isValid()) {
            w->setProperty(kPoliticaAntes, QVariant());
            w->setFocusPolicy(Qt::FocusPolicy(antes.toInt()));
        }
    }
}

// The focus never stays on a control the panel has just covered: it goes to
// the panel's first control on the chain, else to the next control there.
void TapaFoco::apartarFoco()
{
    QWidget *ventana = m_tapa->window();
    QWidget *foco = ventana->focusWidget();
    if (!foco || !tapa(foco))
        return;
    QWidget *siguiente = nullptr;
    for (QWidget *w = foco->nextInFocusChain(); w != foco; w = w->nextInFocusChain()) {
        if (!alcanzable(w, ventana))
            continue;
        if (m_tapa->isAncestorOf(w)) {
            siguiente = w;
            break;
        }
        if (!siguiente)
            siguiente = w;
    }
    if (siguiente)
        siguiente->setFocus(Qt::OtherFocusReason);
}

} // namespace Controles
