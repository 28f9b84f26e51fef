#pragma once
// The plot-options panel laid over the design tab: sheet count with its map
// preview, the frost-free period and its presets, the rule switches, the
// perennials' years and "Guardar". The rule switches and the sliders are read
// where they are used; the rest counts once saved and the window rebuilt.
#include "core/Parcelas.h"

#include <QFrame>
#include <QList>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QShortcut;
class QSlider;
class MapaControl;

class PanelOpciones : public QFrame
{
    Q_OBJECT

public:
    explicit PanelOpciones(QWidget *padre);

    // Fills the controls from a plot's row. Ticking the short-cycle switch
    // from here shows its notice, as a tick by hand does.
    void cargar(const OpcionesParcela &o);
    // Lists "3" to "7" and selects nhojas brought within them (raising nothing).
    void llenarHojas(int nhojas);
    // Lists the 24 fortnight names in both pickers and selects the bounds
    // (raising nothing).
    void llenarHeladas(int inicio, int final);
    // What the controls show, as the save writes it (a picker with nothing
    // chosen gives 0).
    OpcionesParcela opciones() const;
    // Writes opciones() into the plot's row. On a refusal or a database
    // failure the user is told and false is returned: nothing stored, the
    // edited values stay.
    bool guardar(const QString &parcela);

    // "Opciones para la parcela: <<<parcela>>>".
    void rotular(const QString &parcela);

    // Frost-free presets: Index 3, 6, 9 or 12 months sets both pickers and
    // locks them; 0 ("Especificar") unlocks them. Other values do nothing.
    void OptionMeses_Click(int Index);
    void CheckRepetirVarCicloCorto_Click();

    QLabel *LabelParcelaOpciones = nullptr;
    QLabel *Picture3 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *ComboNHojas = nullptr;
    MapaControl *Map2 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QList<QRadioButton *> OptionMeses; // in the order 3, 6, 9, 12, 0
    std::array<QLabel *, 2> LabelMeses{};
    std::array<QComboBox *, 2> ComboMLH{};
    QGroupBox *Frame3 = nullptr;
    QCheckBox *CheckRepetirFrutos = nullptr;
    QCheckBox *CheckRepetirRaices = nullptr;
    QCheckBox *CheckRepetirVarCicloCorto = nullptr;
    QGroupBox *FramePlurianualesAlcachofa = nullptr;
    std::array<QLabel *, 3> Label3{};
    std::array<QSlider *, 3> Sliders{};  // Alcachofa, Fresa, Espárrago
    std::array<QLabel *, 3> Valores{};   // TextAlcachofa, TextFresa, LabelEspárrago
    QPushButton *BtGuardar = nullptr;

signals:
    // Picture3 was clicked (or pressed from the keyboard), or Escape was
    // pressed while the panel is open: close without saving.
    void cerrarPulsado();

protected:
    // Escape closes the panel only while it is open.
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    bool eventFilter(QObject *objeto, QEvent *e) override;

private:
    QShortcut *m_escape = nullptr;
};
