#pragma once
// Window geometry is designed in twips (1440 to the inch); these convert at the
// screen's logical resolution.
#include <QRect>

namespace Twips {
int APixelesX(int twips);
int APixelesY(int twips);
int DesdePixelesX(int pixeles);
int DesdePixelesY(int pixeles);
QRect Rect(int izquierda, int arriba, int ancho, int alto);
} // namespace Twips
