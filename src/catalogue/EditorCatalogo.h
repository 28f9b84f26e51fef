#pragma once
// The tab "Base de datos de plantas": the editor of the crop catalogue. Its
// data control datPrimaryRS walks the catalogue in name order; the boxes and
// pickers show and change the fields of the current crop (kept pending until
// "Actualizar" writes them all); the picker ComboTodasHortalizas jumps to a
// crop by name; the grid MSHFlexBD shows the current crop's sowing windows as
// they are stored.
#include <QFrame>
#include <QString>
#include <array>

class CatalogoEditable;
class CuadriculaFlex;
class QComboBox;
class QDataWidgetMapper;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

// Record navigation: first, previous, next and last, with the caption between.
class ControlDatos : public QFrame
{
    Q_OBJECT

public:
    explicit ControlDatos(QWidget *parent = nullptr);
    void setCaption(const QString &texto);
    QString caption() const;

    QToolButton *BtPrimero = nullptr;
    QToolButton *BtAnterior = nullptr;
    QToolButton *BtSiguiente = nullptr;
    QToolButton *BtUltimo = nullptr;
    QLabel *Etiqueta = nullptr;
};

class EditorCatalogo : public QWidget
{
    Q_OBJECT

public:
    explicit EditorCatalogo(QWidget *parent = nullptr);
    ~EditorCatalogo() override;

    // Binds the data control to the database file (every rebuild of the main
    // window): reads the catalogue in name order and shows its first crop.
    // Edits not yet written stay pending. A failure goes to datPrimaryRS_Error.
    void EnlazarDatos(const QString &cadena);

    // Edits not yet written with «Actualizar», the field being edited included.
    bool HayCambios();

    void RellenaFechasSiembraHortalizas();
    void datPrimaryRS_MoveComplete();
    void datPrimaryRS_Error(const QString &Description);
    void ComboTodasHortalizas_Click();
    void TimerHort_Timer();
    void cmdAdd_Click();
    void cmdUpdate_Click();
    void cmdDelete_Click();
    void cmdRefresh_Click();

    // The record set behind the data control.
    CatalogoEditable *Registros = nullptr;
    bool BuscandoHortaliza = false;

    QComboBox *ComboTodasHortalizas = nullptr;
    CuadriculaFlex *MSHFlexBD = nullptr;
    ControlDatos *datPrimaryRS = nullptr;
    QTimer *TimerHort = nullptr;

    // Bound fields: text boxes by index (0..17 as laid out; unused ones stay
    // null), their captions, the three property pickers, the fortnight pickers
    // (0/1 first window, 3/2 second window) and the harvest-day boxes.
    std::array<QLineEdit *, 18> txtFields{};
    std::array<QLabel *, 18> lblLabels{};
    QComboBox *Combo1 = nullptr; // Familia
    QComboBox *Combo2 = nullptr; // Parte_aprovechable
    QComboBox *Combo3 = nullptr; // Profundidad_raices
    std::array<QComboBox *, 4> Combo4{};
    std::array<QLineEdit *, 4> Text1{};
    QGroupBox *FrameSiembras = nullptr;
    QGroupBox *FrameCosecha = nullptr;

    QFrame *picButtons = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdUpdate = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdRefresh = nullptr;

private:
    void construir();
    void vincular(); // maps the fields onto the record set's model
    void mostrarRegistro();
    void confirmarCampos(); // the fields' edits into the pending changes
    template <typename Mover> void navegar(Mover mover);

    QDataWidgetMapper *m_mapper = nullptr;
    QList<std::pair<QWidget *, QString>> m_campos; // widget, column
    QString m_cadena;
    bool m_errorMostrado = false;
};
