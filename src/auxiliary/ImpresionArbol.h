#pragma once
// The plan tree printed as an indented outline: one row per node with the
// tree's connecting lines, the node's picture and its text.
//
// The walk draws on a Destino, in twips from the top left of the printable
// area: DestinoImpresora puts it on a QPrinter, DestinoGrabado writes it down.
#include "core/ArbolPlan.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPrinter;

namespace ImpresionArbol {

// Lengths of the outline, in twips.
constexpr int AnchoColumna = 300;  // one depth level, the connector, the picture
constexpr int DesvioLinea = 75;    // vertical line from the left of its column
constexpr int AltoFila = 200;      // one node's row
constexpr int MedioFila = 100;     // height of the connector within the row
constexpr int LargoConector = 225; // from the vertical line to the next column

// Deepest level with its own column; deeper nodes are printed in this one.
constexpr int NivelMaximo = 10;

// Where the outline is drawn. Positions are in twips; a line leaves the pen at
// its end point.
class Destino
{
public:
    virtual ~Destino() = default;

    int CurrentX = 0;
    int CurrentY = 0;

    // A black line from (x, y), or from the pen, to dx, dy further.
    void Line(int x, int y, int dx, int dy);
    void Line(int dx, int dy);
    // The picture with its top left corner at (x, y).
    virtual void PaintPicture(const QString &imagen, int x, int y) = 0;
    // The text at the pen, then a line end: the pen goes to the left margin of
    // the next text line.
    virtual void Print(const QString &texto) = 0;
    // Height of the printable area of a page.
    virtual int AltoPagina() const = 0;
    // Ends the page and starts another; the pen goes to its top left.
    virtual void NewPage() = 0;
    // Ends the job and hands it to the printing system; false when refused.
    virtual bool EndDoc() = 0;

protected:
    virtual void trazar(int x1, int y1, int x2, int y2) = 0;
};

// The outline written down instead of drawn, to check it without paper:
// "x1,y1-x2,y2" for a line, "picture x,y", "«text» x,y" (which ends a row),
// "página" for a new page.
class DestinoGrabado : public Destino
{
public:
    int Alto = 1000000; // height of a page
    QStringList Trazos;

    // What each row drew, in order, joined by blanks.
    QStringList Filas() const;

    void PaintPicture(const QString &imagen, int x, int y) override;
    void Print(const QString &texto) override;
    int AltoPagina() const override { return Alto; }
    void NewPage() override;
    bool EndDoc() override { return true; }

protected:
    void trazar(int x1, int y1, int x2, int y2) override;
};

// A tree as the printout sees it: its top-level nodes and how it shows them.
struct Arbol
{
    QList<ArbolPlan::Nodo> Nodes;
    int LineStyle = 0; // 0 lines between nodes only, 1 also to the top-level nodes
    int Style = 7;     // 0 to 7; every style but 0 shows the pictures
    // The picture of each image number of the nodes; unset for a tree without
    // pictures.
    std::function<QString(int)> ImageList;
};

// Prints every top-level node of arbol with its whole subtree, each row below
// the previous one from the pen's vertical position. A row that does not fit
// on the page starts a new one.
void ImprimirArbol(const Arbol &arbol, Destino &destino);

// Prints node hermanos[indice] (its following sibling is hermanos[indice + 1])
// at depth nivel, 0 for a top-level node, then its children.
void ImprimirNodo(const Arbol &arbol, const QList<ArbolPlan::Nodo> &hermanos, int indice, int nivel,
                  Destino &destino);

// The outline on a printer: twips mapped with the printer's resolution.
class DestinoImpresora : public Destino
{
public:
    explicit DestinoImpresora(QPrinter &impresora);
    ~DestinoImpresora() override;

    // Starts the job; false when the printing system refuses it.
    bool Empezar();

    void PaintPicture(const QString &imagen, int x, int y) override;
    void Print(const QString &texto) override;
    int AltoPagina() const override;
    void NewPage() override;
    bool EndDoc() override;

protected:
    void trazar(int x1, int y1, int x2, int y2) override;

private:
    double pixeles(int twips) const;

    QPrinter &m_impresora;
    std::unique_ptr<QPainter> m_pintor;
    // The measures of the painter's font, taken once for every row.
    std::optional<QFontMetricsF> m_medida;
    // Width of each letter printed so far, in that font.
    QHash<char16_t, double> m_anchos;
    // Each picture drawn once at the printer's size of a row, then reused.
    QHash<QString, QImage> m_iconos;
};

} // namespace ImpresionArbol
