#pragma once
// The map control: draws shapefile layers of polygons fitted to the control,
// with per-layer and per-shape colours and text labels, converts between the
// control's pixels and map units, and reports mouse releases.
//
// From the keyboard the control is a list of the shapes of its first layer
// (the sheets): Tab brings focus in, the arrows and Tab move a focus mark from
// shape to shape, and Return, Enter or Space report a left-button release in
// the middle of the marked shape, as a click there does. Assistive technology
// sees one child per shape, named by its label and selected while the shape
// has a colour of its own.
//
// Layers are addressed by handle. The first layer added after
// RemoveAllLayers() gets handle 0, the next one 1, and so on.
// Colours are packed RGB values, red in the low byte (0x00BBGGRR).
#include "mapa/MapaAPixel.h"
#include "mapa/Shapefile.h"

#include <QList>
#include <QPainterPath>
#include <QMap>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>

class QRubberBand;

class MapaControl : public QWidget
{
    Q_OBJECT

public:
    // Cursor modes. Only the selection mode acts on the mouse: a drag draws
    // a selection box. In every mode the control reports mouse releases
    // (when SendMouseUp is on) and leaves the action to its owner.
    enum ModoCursor { cmZoomIn = 0, cmZoomOut = 1, cmPan = 2, cmSelection = 3, cmNone = 4 };
    // Horizontal justification of a label about its point.
    enum Justificacion { hjLeft = 0, hjCenter = 1, hjRight = 2 };

    explicit MapaControl(QWidget *parent = nullptr);
    ~MapaControl() override;

    // ---- Layers -------------------------------------------------------------
    // Removes every layer with its labels; the next layer added gets handle 0.
    void RemoveAllLayers();
    // Adds an open shapefile as a layer on top of the others and returns its
    // handle; -1 when the shapefile is missing or not open.
    int AddLayer(std::shared_ptr<Shapefile> shapefile, bool visible);
    int NumLayers() const { return int(m_capas.size()); }
    // The layer's shapefile; nullptr for an unknown handle.
    Shapefile *GetObject(int capa) const;
    QString LayerName(int capa) const;
    void setLayerName(int capa, const QString &nombre);
    bool LayerVisible(int capa) const;
    void setLayerVisible(int capa, bool visible);

    // ---- Colours ------------------------------------------------------------
    // Writing a layer colour paints every shape of the layer with it and
    // wipes the colours set per shape.
    qint32 ShapeLayerFillColor(int capa) const;
    void setShapeLayerFillColor(int capa, qint32 color);
    qint32 ShapeLayerLineColor(int capa) const;
    void setShapeLayerLineColor(int capa, qint32 color);
    // A shape's colour (the layer's, unless one was set for the shape). The
    // shape keeps it until the layer colour is written again.
    qint32 ShapeFillColor(int capa, int forma) const;
    void setShapeFillColor(int capa, int forma, qint32 color);
    qint32 ShapeLineColor(int capa, int forma) const;
    void setShapeLineColor(int capa, int forma, qint32 color);

    // ---- Labels -------------------------------------------------------------
    struct Etiqueta
    {
        QString texto;
        qint32 color = 0;
        double x = 0, y = 0; // map units
        int justificacion = hjCenter;
        double rotacion = 0; // degrees, counter-clockwise
    };
    // Draws texto at (x, y) in map units on the layer; lines are separated by
    // CR LF (a line break that ends the text adds no empty line). The label
    // goes away with its layer.
    void AddLabelEx(int capa, const QString &texto, qint32 color, double x, double y, int justificacion,
                    double rotacion);
    QList<Etiqueta> Etiquetas(int capa) const;

    // ---- Mouse and coordinates ------------------------------------------------
    int CursorMode() const { return m_modo; }
    void setCursorMode(int modo);
    bool SendMouseUp() const { return m_enviarMouseUp; }
    void setSendMouseUp(bool enviar) { m_enviarMouseUp = enviar; }
    bool SendSelectBoxFinal() const { return m_enviarCaja; }
    void setSendSelectBoxFinal(bool enviar) { m_enviarCaja = enviar; }

    // Control pixels to map units and back, for the control's present size.
    void PixelToProj(double x, double y, double &px, double &py) const;
    void ProjToPixel(double px, double py, double &x, double &y) const;
    // The box of map units that the layers fill (all visible layers' shapes).
    Extents extension() const;

    // ---- Keyboard and assistive technology --------------------------------------
    // The shape of the first layer that carries the focus mark; -1 for none.
    int FormaEnfocada() const { return m_enfocada; }
    int NumFormas() const;
    // A shape's spoken name: its label's first line, then its other lines
    // ("Hoja 3: Lechugas, Tomates").
    QString NombreForma(int forma) const;
    // Whether the shape has a fill colour of its own (the selected sheet).
    bool FormaMarcada(int forma) const;
    // The shape's outline and a point well inside it, in the control's pixels.
    QPainterPath CaminoForma(int forma) const;
    QPoint PuntoInterior(int forma) const;

signals:
    // A mouse button was released over the map (when SendMouseUp is on).
    // Button: 1 left, 2 right, 4 middle. Shift: 1 shift, 2 control, 4 alt.
    // x, y: the pointer in the control's pixels.
    void MouseUp(int Button, int Shift, int x, int y);
    // A selection box was dragged in selection mode (when SendSelectBoxFinal
    // is on); the box's edges in the control's pixels.
    void SelectBoxFinal(int left, int right, int bottom, int top);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool focusNextPrevChild(bool siguiente) override;

private:
    struct Capa
    {
        int handle = 0;
        std::shared_ptr<Shapefile> shapefile;
        QString nombre;
        bool visible = true;
        qint32 relleno = 0;
        qint32 linea = 0;
        QMap<int, qint32> rellenoForma;
        QMap<int, qint32> lineaForma;
        QList<Etiqueta> etiquetas;
    };

    Capa *capa(int handle);
    const Capa *capa(int handle) const;
    // The layers fitted to the control's present size.
    MapaAPixel encuadre() const;
    void enfocar(int forma);

    QList<Capa> m_capas;
    int m_siguiente = 0;
    int m_modo = cmNone;
    bool m_enviarMouseUp = false;
    bool m_enviarCaja = false;
    QPoint m_inicioCaja;
    bool m_arrastrando = false;
    QRubberBand *m_banda = nullptr;
    int m_enfocada = -1;
};
