#pragma once
// Making the window's controls: each placed inside its parent at design-time
// twips and named for assistive technology.
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QString>

namespace Controles {

template <typename W>
W *colocar(W *w, int izquierda, int arriba, int ancho, int alto, const QString &nombre)
{
    return Twips::Colocar(w, izquierda, arriba, ancho, alto, nombre);
}

inline QGroupBox *marco(QWidget *padre, const QString &titulo, int x, int y, int an, int al)
{
    return colocar(new QGroupBox(titulo, padre), x, y, an, al, titulo);
}

inline QCheckBox *casilla(QWidget *padre, const QString &texto, int x, int y, int an, int al)
{
    return colocar(new QCheckBox(texto, padre), x, y, an, al, texto);
}

inline QPushButton *boton(QWidget *padre, const QString &texto, int x, int y, int an, int al)
{
    return colocar(new QPushButton(texto, padre), x, y, an, al, texto);
}

inline QLabel *etiqueta(QWidget *padre, const QString &texto, int x, int y, int an, int al)
{
    return colocar(new QLabel(texto, padre), x, y, an, al, texto);
}

// A picker is heard by what it shows (Qt's own name for it) and told apart by
// its description, which says what it is for.
inline QComboBox *lista(QWidget *padre, int x, int y, int an, int al, const QString &papel)
{
    auto *c = colocar(new QComboBox(padre), x, y, an, al, QString());
    c->setAccessibleDescription(papel);
    c->setEditable(false);
    return c;
}

// A caption that changes takes its accessible name with it.
template <typename W>
void rotular(W *w, const QString &texto)
{
    w->setText(texto);
    w->setAccessibleName(texto);
}

inline void rotular(QGroupBox *marco, const QString &titulo)
{
    marco->setTitle(titulo);
    marco->setAccessibleName(titulo);
}

// While a panel laid over other controls shows, those it hides whole leave
// the Tab chain; they come back when it hides.
class TapaFoco : public QObject
{
public:
    explicit TapaFoco(QWidget *tapa) : QObject(tapa), m_tapa(tapa) { tapa->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            tapar();
        else if (e->type() == QEvent::Hide)
            destapar();
        return false;
    }

private:
    void tapar()
    {
        QWidget *padre = m_tapa->parentWidget();
        for (QWidget *w : padre->findChildren<QWidget *>()) {
            if (w == m_tapa || m_tapa->isAncestorOf(w) || w->focusPolicy() == Qt::NoFocus || !w->isVisible()
                || !m_tapa->geometry().contains(QRect(w->mapTo(padre, QPoint(0, 0)), w->size())))
                continue;
            m_tapados.append({w, w->focusPolicy()});
            w->setFocusPolicy(Qt::NoFocus);
        }
    }
    void destapar()
    {
        for (const auto &[w, politica] : std::as_const(m_tapados))
            if (w)
                w->setFocusPolicy(politica);
        m_tapados.clear();
    }
    QWidget *m_tapa;
    QList<QPair<QPointer<QWidget>, Qt::FocusPolicy>> m_tapados;
};

} // namespace Controles
