#pragma once
// The content of the plan tree: the plot, under it one node per year, under
// each year one node per stored plan row with its lunar sowing date. Built
// from the database without any window, so that the tree widget and the
// printout show the same thing.
#include <QList>
#include <QString>

// moc reads this header through the main window's and takes no accented
// identifiers; it needs nothing from here.
#ifndef Q_MOC_RUN

class Conexion;

namespace ArbolPlan {

// The kinds of node, and the pictures that go with them.
enum class TipoNodo { Parcela, Año, Fila };
enum Imagen { ImagenCultivo = 1, ImagenAño = 2, ImagenParcela = 3 };

// Resource path of a node picture (1 carrot, 2 yellow folder, 3 the plot's four
// coloured squares); "" for any other number.
QString RutaImagen(int imagen);

// The first year that has a node, and the last year that always has one.
constexpr int PrimerAño = 2009;
constexpr int UltimoAñoFijo = 2020;
// Years past the current one that always have a node: a perennial planted
// this year may stand as long as that.
constexpr int AñosPorDelante = 5;
// Rows of later years are not dates of any calendar and are left out.
constexpr int UltimoAñoPosible = 9999;

// A row of table BDParcela.
struct FilaPlan
{
    int año = 0;
    int hoja = 0;
    QString cultivo;
    QString familia;
    QString profRaiz;
    QString extraccion;
    int mesInicio = 0;
    int mesFinal = 0;
};

struct Nodo
{
    TipoNodo tipo = TipoNodo::Fila;
    QString clave; // "TodosAños", "a 2010"; plan rows have none
    QString texto;
    int imagen = 0;
    bool negrita = false;
    bool expandido = false;
    int año = 0;  // year nodes and plan rows
    int hoja = 0; // plan rows
    QList<Nodo> hijos;
};

struct Arbol
{
    Nodo raiz;
    QString claveSeleccionada; // the node selected after a rebuild
    // The node with that key, or null.
    const Nodo *buscar(const QString &clave) const;
};

// Texts and keys.
QString TextoRaiz(const QString &parcela); // "Parcela: <<<Huerto>>>"
QString ClaveRaiz();                       // "TodosAños"
QString TextoAño(int año);                 // " 2010"
QString ClaveAño(int año);                 // "a 2010"

// Tree label of fortnight 1..48 ("1ªQ Marzo"; f and f + 24 share it); "?" for a
// fortnight that was never set.
QString EtiquetaQuincena(int quincena);

// True when the edible part selects the last-quarter moon (exact text).
bool EsRaizTuberculo(const QString &extraccion);

// The lunar sowing date of a row: sought for the row's first fortnight in the
// year that fortnight falls in (a first fortnight of 25..48 is in the year
// after the row's). "" when there is none.
QString FechaLunarFila(const FilaPlan &fila);

// "Hoja:2»Ajos » Liliáceas » Superficiales » Bulbos y tallos »De la 1ªQ Marzo a la 2ªQ Junio »Luna:05/03/2010"
QString TextoFila(const FilaPlan &fila);

// Order of the plan rows of a year: by sheet, then alphabetically by text
// (letter case and accents folded first, then the exact text).
bool VaAntes(const Nodo &a, const Nodo &b);

// Last year with a node: the latest of UltimoAñoFijo, añoHoy + AñosPorDelante
// and the year of the last row.
int UltimoAño(int añoHoy, const QList<FilaPlan> &filas);

// The whole tree for a plot from its rows (rows outside PrimerAño to
// UltimoAñoPosible are left out).
Arbol ConstruirArbol(const QString &parcela, const QList<FilaPlan> &filas, int añoHoy);

// The plot's rows of PrimerAño to UltimoAñoPosible, as the database returns
// them. Throws ErrorBD.
QList<FilaPlan> LeerFilas(Conexion &con, const QString &parcela);

// ConstruirArbol over LeerFilas. Throws ErrorBD.
Arbol CargarArbol(Conexion &con, const QString &parcela, int añoHoy);

} // namespace ArbolPlan

#endif // Q_MOC_RUN
