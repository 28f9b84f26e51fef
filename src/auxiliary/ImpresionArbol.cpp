#include "auxiliary/ImpresionArbol.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace ImpresionArbol {

namespace {

// Whether a vertical line goes on below the node being printed at each depth:
// the node there has a following sibling. Each node writes its own entry
// before its children read it.
std::array<bool, NivelMaximo + 1> LineaNivel{};

constexpr int TwipsPorPulgada = 1440;
constexpr double PuntosLetra = 8.0; // size of the text, if it fits in a row
constexpr int GruesoLinea = 10;     // twips

} // namespace

void Destino::Line(int x, int y, int dx, int dy)
{
    CurrentX = x;
    CurrentY = y;
    Line(dx, dy);
}

void Destino::Line(int dx, int dy)
{
    trazar(CurrentX, CurrentY, CurrentX + dx, CurrentY + dy);
    CurrentX += dx;
    CurrentY += dy;
}

void ImprimirArbol(const Arbol &arbol, Destino &destino)
{
    for (int i = 0; i < arbol.Nodes.size(); ++i)
        ImprimirNodo(arbol, arbol.Nodes, i, 0, destino);
}

void ImprimirNodo(const Arbol &arbol, const QList<ArbolPlan::Nodo> &hermanos, int indice, int nivel,
                  Destino &destino)
{
    const ArbolPlan::Nodo &nodo = hermanos.at(indice);
    const bool siguiente = indice + 1 < hermanos.size();
    // Below the deepest column a node is drawn as one of that depth.
    const int columnas = std::min(nivel, NivelMaximo);

    // A row that does not fit goes to the top of a new page; every row draws
    // its ancestors' lines, so they go on there.
    if (destino.CurrentY > 0 && destino.CurrentY + AltoFila > destino.AltoPagina())
        destino.NewPage();

    const int y = destino.CurrentY;
    int x = 0;
    for (int i = arbol.LineStyle == 1 ? 0 : 1; i < columnas; ++i) {
        if (LineaNivel[i])
            destino.Line(x + DesvioLinea, y, 0, AltoFila);
        x += AnchoColumna;
    }
    if (nivel <= NivelMaximo)
        LineaNivel[nivel] = siguiente;

    if (arbol.LineStyle == 1 || nivel > 0) {
        if (!siguiente) {
            destino.Line(x + DesvioLinea, y, 0, MedioFila);
        } else {
            destino.Line(x + DesvioLinea, y, 0, AltoFila);
            destino.CurrentY -= MedioFila;
        }
        destino.Line(LargoConector, 0);
        x += AnchoColumna;
    }

    if (arbol.ImageList && (arbol.Style & 7) != 0) {
        if (nodo.imagen != 0) {
            const QString imagen = arbol.ImageList(nodo.imagen);
            if (!imagen.isEmpty())
                destino.PaintPicture(imagen, x, y);
        }
        x += AnchoColumna;
    }

    destino.CurrentX = x;
    destino.CurrentY = y;
    destino.Print(nodo.texto);
    destino.CurrentY = y + AltoFila;

    for (int i = 0; i < nodo.hijos.size(); ++i)
        ImprimirNodo(arbol, nodo.hijos, i, nivel + 1, destino);
}

QStringList DestinoGrabado::Filas() const
{
    QStringList filas, fila;
    for (const QString &t : Trazos) {
        fila << t;
        if (t.startsWith(u'«')) {
            filas << fila.join(u' ');
            fila.clear();
        }
    }
    return filas;
}

void DestinoGrabado::PaintPicture(const QString &imagen, int x, int y)
{
    Trazos << QStringLiteral("%1 %2,%3").arg(imagen).arg(x).arg(y);
}

void DestinoGrabado::Print(const QString &texto)
{
    Trazos << QStringLiteral("«%1» %2,%3").arg(texto).arg(CurrentX).arg(CurrentY);
    CurrentX = 0;
    CurrentY += AltoFila - 20; // a text line is a little less than a row
}

void DestinoGrabado::NewPage()
{
    Trazos << QStringLiteral("página");
    CurrentX = 0;
    CurrentY = 0;
}

void DestinoGrabado::trazar(int x1, int y1, int x2, int y2)
{
    Trazos << QStringLiteral("%1,%2-%3,%4").arg(x1).arg(y1).arg(x2).arg(y2);
}

DestinoImpresora::DestinoImpresora(QPrinter &impresora) : m_impresora(impresora) {}

DestinoImpresora::~DestinoImpresora() = default;

bool DestinoImpresora::Empezar()
{
    auto pintor = std::make_unique<QPainter>();
    if (!pintor->begin(&m_impresora))
        return false;
    pintor->setRenderHint(QPainter::Antialiasing);
    pintor->setPen(QPen(Qt::black, pixeles(GruesoLinea), Qt::SolidLine, Qt::FlatCap));

    // One text line fits in a row, so that texts do not run into each other.
    QFont letra(QStringLiteral("DejaVu Sans"));
    letra.setStyleHint(QFont::SansSerif);
    // No ligatures: a printed "fi" stays two letters for whoever reads the
    // job's text back (a PDF printer, a search).
    letra.setStyleStrategy(QFont::PreferNoShaping);
    letra.setPointSizeF(PuntosLetra);
    pintor->setFont(letra);
    const double alto = pintor->fontMetrics().height();
    if (alto > pixeles(AltoFila)) {
        letra.setPointSizeF(PuntosLetra * pixeles(AltoFila) / alto);
        pintor->setFont(letra);
    }
    m_medida.emplace(pintor->font(), &m_impresora);
    m_pintor = std::move(pintor);
    CurrentX = 0;
    CurrentY = 0;
    return true;
}

double DestinoImpresora::pixeles(int twips) const
{
    return double(twips) * m_impresora.resolution() / TwipsPorPulgada;
}

void DestinoImpresora::trazar(int x1, int y1, int x2, int y2)
{
    m_pintor->drawLine(QLineF(pixeles(x1), pixeles(y1), pixeles(x2), pixeles(y2)));
}

void DestinoImpresora::PaintPicture(const QString &imagen, int x, int y)
{
    // The icons are drawn one row high, at the printer's resolution.
    const double lado = pixeles(AltoFila);
    auto it = m_iconos.constFind(imagen);
    if (it == m_iconos.cend()) {
        QImage dibujada;
        QSvgRenderer dibujo(imagen);
        if (dibujo.isValid()) {
            const int n = std::max(1, int(std::ceil(lado)));
            dibujada = QImage(n, n, QImage::Format_ARGB32_Premultiplied);
            dibujada.fill(Qt::transparent);
            QPainter p(&dibujada);
            p.setRenderHint(QPainter::Antialiasing);
            dibujo.render(&p);
        }
        it = m_iconos.insert(imagen, dibujada);
    }
    if (!it->isNull())
        m_pintor->drawImage(QRectF(pixeles(x), pixeles(y), lado, lado), *it);
}

void DestinoImpresora::Print(const QString &texto)
{
    const QFontMetricsF &medida = *m_medida;
    const double izquierda = pixeles(CurrentX);
    const double arriba = pixeles(CurrentY);
    const double cabe = m_impresora.width() - izquierda;
    // Measuring shapes the text a second time. A text of letters the font has
    // whose letters' widths add up well short of the line fits without it.
    double suma = 0;
    for (const QChar c : texto) {
        if (c.unicode() >= 0x300) {
            suma = cabe;
            break;
        }
        auto it = m_anchos.constFind(c.unicode());
        if (it == m_anchos.cend())
            it = m_anchos.insert(c.unicode(), medida.horizontalAdvance(c));
        suma += *it;
    }
    const bool corto = suma * 1.05 < cabe;
    const double ancho = corto ? 0 : medida.horizontalAdvance(texto);
    if (ancho > cabe && cabe > 0) {
        // A text longer than the line is narrowed to fit rather than cut.
        m_pintor->save();
        QFont estrecha = m_pintor->font();
        estrecha.setPointSizeF(estrecha.pointSizeF() * cabe / ancho * 0.98);
        m_pintor->setFont(estrecha);
        m_pintor->drawText(QPointF(izquierda, arriba + medida.ascent()), texto);
        m_pintor->restore();
    } else {
        m_pintor->drawText(QPointF(izquierda, arriba + medida.ascent()), texto);
    }
    CurrentX = 0;
    CurrentY += int(medida.height() * TwipsPorPulgada / m_impresora.resolution() + 0.5);
}

int DestinoImpresora::AltoPagina() const
{
    return int(double(m_impresora.height()) * TwipsPorPulgada / m_impresora.resolution());
}

void DestinoImpresora::NewPage()
{
    m_impresora.newPage();
    CurrentX = 0;
    CurrentY = 0;
}

bool DestinoImpresora::EndDoc()
{
    if (!m_pintor)
        return false;
    const bool terminado = m_pintor->end();
    m_pintor.reset();
    return terminado && m_impresora.printerState() != QPrinter::Error;
}

} // namespace ImpresionArbol
