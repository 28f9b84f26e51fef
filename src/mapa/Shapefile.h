#pragma once
// A polygon shapefile (the .shp geometry, its .shx index and its .dbf
// attribute table) read into memory, for the sheet layouts of the map.
//
// Open() checks the three files against each other and against the published
// ESRI format before anything is trusted: a damaged, truncated or foreign file
// is refused with an error code and a Spanish explanation, never half loaded.
// A sheet layout holds polygons (shape type 5) only, and attribute field 0 of
// every record holds the sheet number, a whole number from 1 to 255.
//
// Once open, the object holds no file: the shapes and the attribute table live
// in memory, so the files may be replaced or removed afterwards.
#include <QList>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// A box in map units. SetBounds takes the bounds in the order of the classic
// extents object (the z bounds are accepted and ignored: layouts are flat).
struct Extents
{
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;

    void SetBounds(double xmin, double ymin, double zmin, double xmax, double ymax, double zmax);
    double centroX() const { return (xMin + xMax) / 2; }
    double centroY() const { return (yMin + yMax) / 2; }
    // True when the two boxes meet (touching edges count).
    bool seCortaCon(const Extents &otra) const;
    // Grows this box to hold otra too.
    void unir(const Extents &otra);
};

class Shapefile
{
public:
    // Failure codes of Open(); LastErrorCode() is SinError after a good open.
    enum CodigoError {
        SinError = 0,
        FicheroNoExiste,      // the .shp is missing (or is a folder)
        FicheroNoLegible,     // it cannot be read (permissions, lock)
        ShpIncompleto,        // shorter than its header or than it says
        ShpNoValido,          // not an ESRI shapefile header
        TipoNoPoligono,       // its shapes are not polygons (type 5)
        ShxNoExiste,          // the .shx index is missing
        ShxNoValido,          // the .shx is damaged
        ShxNoCoincide,        // the .shx does not describe this .shp
        FormaNoValida,        // a record's geometry is damaged
        CoordenadaNoValida,   // a coordinate is not a finite number
        DemasiadoGrande,      // beyond any sheet layout's size
        DbfNoExiste,          // the .dbf attribute table is missing
        DbfNoValido,          // the .dbf is damaged
        DbfNoCoincide,        // its record count differs from the shapes'
        SinCampos,            // the table has no field
        CampoHojaNoValido,    // field 0 is not a whole number from 1 to 255
    };

    Shapefile() = default;

    // Reads fichero (the .shp; its .shx and .dbf lie beside it with the same
    // name). Returns false, and leaves the object empty, when the files cannot
    // be used; LastErrorCode() and ErrorMsg() then tell why.
    bool Open(const QString &fichero);

    int LastErrorCode() const { return m_codigo; }
    // The text of a code. For the code of the last failure the text names the
    // record or value at fault.
    QString ErrorMsg(int codigo) const;

    // The path given to the last Open().
    QString Filename() const { return m_fichero; }
    bool abierto() const { return m_abierto; }

    int NumShapes() const { return int(m_formas.size()); }
    int NumFields() const { return int(m_campos.size()); }
    QString FieldName(int campo) const { return m_campos.value(campo); }

    // The value of a field for a shape: an int (or qlonglong) for whole
    // numbers, a double for others, a QString for text, a bool for logical
    // fields, a QDate for dates; a null QVariant for an empty cell and an
    // invalid one for indexes out of range. Field 0, the sheet number, is
    // always an int.
    QVariant CellValue(int campo, int forma) const;

    // The bounding box of a shape (computed from its vertices), or an empty
    // box at 0,0 for an index out of range.
    Extents ShapeExtents(int forma) const;
    // The rings of a shape, outer rings and holes alike.
    QVector<QPolygonF> ShapeRings(int forma) const { return m_formas.value(forma).anillos; }
    // The box holding every shape.
    Extents extension() const { return m_extension; }

    // Modes of SelectShapes: shapes that meet the box, or that lie inside it.
    enum ModoSeleccion { Interseccion = 0, Inclusion = 1 };
    // The indexes of the shapes that meet (or lie within) caja grown by
    // tolerancia on every side, in file order. A box that is a single point
    // selects the polygons that hold it, the border included, so a point on a
    // border shared by several polygons selects all of them; a point in a
    // hole selects nothing. True when at least one shape was selected.
    bool SelectShapes(const Extents &caja, double tolerancia, int modo, QList<int> &resultado) const;

    // Point in polygon: inside (even-odd over all rings) or on a ring's edge.
    bool contienePunto(int forma, double x, double y) const;

private:
    struct Forma
    {
        QVector<QPolygonF> anillos;
        Extents caja;
    };

    bool fallar(CodigoError codigo, const QString &detalle = QString());
    bool leerGeometria(const QString &shp);
    bool leerAtributos(const QString &dbf);
    bool comprobarCampoHoja();
    bool cortaCaja(int forma, const Extents &c) const;

    QString m_fichero;
    bool m_abierto = false;
    int m_codigo = SinError;
    QString m_detalle;
    QVector<Forma> m_formas;
    QStringList m_campos;
    QVector<QVector<QVariant>> m_valores; // [forma][campo]
    Extents m_extension;
};
