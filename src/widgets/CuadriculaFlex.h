#pragma once
// A flex grid: rows and columns of cells with text, background colour and a
// centred picture; row 0 and column 0 are fixed (header) cells. Sizes are in
// twips, colours packed (red in the low byte), as the rest of the program
// speaks of them.
//
// From the keyboard: Tab brings focus in (a click does not, so a mouse user
// never sees the mark), the arrows move the current cell, and Return, Enter or
// Space on it raise what a click on it raises. Assistive technology hears each
// cell by the name its owner gives (setNombreCelda), else by its text.
#include <QColor>
#include <QPixmap>
#include <QTableWidget>
#include <functional>

QColor ColorDesdeEmpaquetado(qint32 empaquetado);
qint32 EmpaquetarColor(const QColor &color);

class CuadriculaFlex : public QTableWidget
{
    Q_OBJECT

public:
    explicit CuadriculaFlex(QWidget *parent = nullptr);

    void setFilas(int filas);
    void setColumnas(int columnas);
    int filas() const { return rowCount(); }
    int columnas() const { return columnCount(); }

    void setAltoFilaTwips(int fila, int twips);
    void setAnchoColumnaTwips(int columna, int twips);
    int anchoColumnaTwips(int columna) const;
    void setColumnaCentrada(int columna);

    // Current cell (the cell that the painting operations below address when
    // called without coordinates).
    void setCelda(int fila, int columna);
    int fila() const { return m_fila; }
    // The current cell is marked only while the keyboard is in use: a click
    // takes the focus without the mark.
    bool conMarca() const { return m_marca; }
    int columna() const { return m_columna; }

    void setTexto(int fila, int columna, const QString &texto);
    QString texto(int fila, int columna) const;

    void setColorFondo(int fila, int columna, qint32 color);
    qint32 colorFondo(int fila, int columna) const;

    void setImagen(int fila, int columna, const QPixmap &imagen);
    void quitarImagen(int fila, int columna);
    QPixmap imagen(int fila, int columna) const; // null where there is none
    bool tieneImagen(int fila, int columna) const { return !imagen(fila, columna).isNull(); }

    // The cell's rectangle in the grid's own coordinates (pixels).
    QRect rectCelda(int fila, int columna) const;

    // The spoken name of a cell, asked for each time it is read.
    void setNombreCelda(std::function<QString(int fila, int columna)> nombre) { m_nombreCelda = std::move(nombre); }
    QString nombreCelda(int fila, int columna) const;

signals:
    // A click on a cell; the cell has become the current one.
    void celdaPulsada(int fila, int columna);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    bool m_marca = false;
    void ponerMarca(bool con);
    QTableWidgetItem *item(int fila, int columna) const;
    std::function<QString(int, int)> m_nombreCelda;
    int m_fila = 0;
    int m_columna = 0;
};
