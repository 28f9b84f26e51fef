#pragma once
// Window geometry is designed in twips (1440 to the inch); these convert at the
// screen's logical resolution.
#include <QRect>
#include <QString>
#include <QWidget>

namespace Twips {
int APixelesX(int twips);
int APixelesY(int twips);
int DesdePixelesX(int pixeles);
int DesdePixelesY(int pixeles);
QRect Rect(int izquierda, int arriba, int ancho, int alto);

// Places w inside its parent at the given twips and names it for assistive
// technology.
template <typename W>
W *Colocar(W *w, int izquierda, int arriba, int ancho, int alto, const QString &nombre)
{
    w->setGeometry(Rect(izquierda, arriba, ancho, alto));
    w->setAccessibleName(nombre);
    return w;
}
} // namespace Twips
