#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Twips {
namespace {
double ppp(bool horizontal)
{
    if (const QScreen *s = QGuiApplication::primaryScreen())
        return horizontal ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
    return 96.0;
}
} // namespace

int APixelesX(int twips) { return static_cast<int>(std::lround(twips * ppp(true) / 1440.0)); }
int APixelesY(int twips) { return static_cast<int>(std::lround(twips * ppp(false) / 1440.0)); }
int DesdePixelesX(int px) { return static_cast<int>(std::lround(px * 1440.0 / ppp(true))); }
int DesdePixelesY(int px) { return static_cast<int>(std::lround(px * 1440.0 / ppp(false))); }

QRect Rect(int izquierda, int arriba, int ancho, int alto)
{
    return QRect(APixelesX(izquierda), APixelesY(arriba), APixelesX(ancho), APixelesY(alto));
}
} // namespace Twips
