#pragma once
// Making the window's controls: each placed inside its parent at design-time
// twips and named for assistive technology.
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
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

// While a panel laid over other controls shows, every control it lies over,
// even in part, leaves the Tab chain (it keeps the rest of its focus policy),
// and the focus on such a control goes into the panel. What lies over what is
// what the eye sees: a control stacked above the panel stays. The window is
// looked over when the panel shows, hides, moves or is raised, and again
// before each key pressed in it while the panel shows, so that a control
// shown, moved or made since then never takes the focus by Tab. A control
// comes back with the policy it had, or with the one someone else gave it
// meanwhile.
class TapaFoco : public QObject
{
public:
    explicit TapaFoco(QWidget *tapa);
    ~TapaFoco() override;
    bool eventFilter(QObject *objeto, QEvent *e) override;

    // Puts in and takes out of the Tab chain the controls of ventana as its
    // shown panels lie over them.
    static void revisar(QWidget *ventana);

private:
    bool tapa(const QWidget *w) const;
    void apartarFoco();
    QWidget *m_tapa;
    QObject *m_teclas; // the application's key presses, while the panel shows
};

} // namespace Controles
