#pragma once
// The main window: four tabs, the rotation designer on the first.
//
// The class is split by concern over several files:
//   FormPrincipal.cpp          construction, window-wide helpers
//   FormPrincipal_ui.cpp       the controls and their design-time geometry
//   FormPrincipal_inicio.cpp   start-up, closing, the rebuild for the current plot
//   FormPrincipal_panel.cpp    status line and explanation log
//   FormPrincipal_mapa.cpp     the sheet map
//   FormPrincipal_rotacion.cpp rotation rules and crop-slot candidates
//   FormPrincipal_rejilla.cpp  the plan grid and the crop pickers
//   FormPrincipal_hoja.cpp     storing and emptying a sheet's plan
//   FormPrincipal_calendario.cpp moon panel, calendar page, tutorial
//   FormPrincipal_arbol.cpp    the plan tree by years
//
// Handlers carry the names of the control and the event (BtValidaCultivos_Click).
// Signals and slots are connected with lambdas: moc does not take accented
// identifiers, which the procedures' names have.
#include "catalogue/PanelLuna.h"
#include "core/ArbolPlan.h"
#include "core/Catalogo.h"
#include "core/ListaCandidatos.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QStatusBar;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class PaginaCalendario;
class QWidget;
class QCalendarWidget;
class CuadriculaFlex;
class MapaControl;

class FormPrincipal : public QMainWindow
{
    Q_OBJECT

public:
    // carpetaPrograma: the folder of the running program (database, layouts).
    explicit FormPrincipal(const QString &carpetaPrograma, QWidget *parent = nullptr);
    ~FormPrincipal() override;

    // Start-up. Returns false when the program cannot go on (the database
    // cannot be opened); the user has been told why.
    bool Form_Load();

    // ---- State of the run -------------------------------------------------
    QString carpetaPrograma;
    QString ParcelaActual;
    int AñoActual = 0;
    int HojaActual = 0;
    int Nhojas = 0;
    int MesInicioLibreHeladas = 0;
    int MesFinalLibreHeladas = 0;
    int HojasTotal = 0;
    bool LeyendoCultivo = false;
    bool Iniciando = false;

    // Catalogue collections (TodosCultivos, TodasFamilias, TodasRaiz,
    // TodasProfit) and the crops that fit the plot's frost-free period.
    ColeccionesCatalogo Catalogo;
    ListaCandidatos CultivosPosiblesSinHelada;
    // Handles of the layers added to the maps since the last rebuild.
    QList<int> CapasMapa;

    // ---- Controls -----------------------------------------------------------
    QTabWidget *SSTab1 = nullptr;
    QWidget *tabDiseno = nullptr;
    QWidget *tabCalendario = nullptr;
    QWidget *tabPlantas = nullptr;
    QWidget *tabAcerca = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *PanelEstado = nullptr; // the status bar's first panel

    // Biodynamic-calendar tab: the web page and its print button
    PaginaCalendario *PaginaBiodinamica = nullptr;
    QPushButton *Bt_Printwww = nullptr;

    // Design tab: plots
    QGroupBox *Frame7 = nullptr;
    QListWidget *ListaParcelas = nullptr;
    QCheckBox *CheckCrearParcela = nullptr;
    QPushButton *BtBorrarParcela = nullptr;
    QGroupBox *FrameNuevaParcela = nullptr;
    QWidget *TextCrearNuevaParcela = nullptr; // a QLineEdit
    QPushButton *BtCrearNuevaParcela = nullptr;
    QCheckBox *CheckParcelasOpciones = nullptr;

    // Design tab: map, plan tree, crop editor
    MapaControl *Map1 = nullptr;
    QTreeWidget *arbolaños = nullptr;
    QGroupBox *FrameCultivo = nullptr;
    CuadriculaFlex *MSHFlexTodoAño = nullptr;
    std::array<QComboBox *, 4> ComboCult{};
    QPushButton *BtValidaCultivos = nullptr;
    QPushButton *BtVaciaHoja = nullptr;
    QPushButton *Btimprimir = nullptr;
    std::array<QComboBox *, 2> ComboImpresoras{};
    QCheckBox *ModoExplicito = nullptr;
    QListWidget *ListModoExplicito = nullptr;
    QCheckBox *CheckLuna = nullptr;
    QPushButton *BtTutorial = nullptr;

    // Design tab: moon-phase panel (hidden until asked for)
    PanelLuna *FrameFasesLuna = nullptr;
    QCalendarWidget *MonthView1 = nullptr;
    QListWidget *ListLunar = nullptr;

    // Design tab: plot-options panel
    QFrame *PictureOpcionesParcelas = nullptr;
    QLabel *LabelParcelaOpciones = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *ComboNHojas = nullptr;
    MapaControl *Map2 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QList<QWidget *> OptionMeses; // radio buttons, in the order 3, 6, 9, 12, 0
    std::array<QLabel *, 2> LabelMeses{};
    std::array<QComboBox *, 2> ComboMLH{};
    QGroupBox *Frame3 = nullptr;
    QCheckBox *CheckRepetirFrutos = nullptr;
    QCheckBox *CheckRepetirRaices = nullptr;
    QCheckBox *CheckRepetirVarCicloCorto = nullptr;
    QGroupBox *FramePlurianualesAlcachofa = nullptr;
    std::array<QLabel *, 3> Label3{};
    QSlider *SliderAlcachofa = nullptr;
    QSlider *SliderFresa = nullptr;
    QSlider *SliderEsparrago = nullptr;
    QLabel *TextAlcachofa = nullptr;
    QLabel *TextFresa = nullptr;
    QLabel *LabelEspárrago = nullptr;
    QPushButton *BtGuardar = nullptr;
    QLabel *Picture3 = nullptr;

    // Plant-database tab
    QComboBox *ComboTodasHortalizas = nullptr;
    CuadriculaFlex *MSHFlexBD = nullptr;

    // ---- Moon panel, calendar page, tutorial (FormPrincipal_calendario.cpp) ---
    // Refreshes the phase list, shows or hides the panel, then puts the
    // calendar on today.
    void CheckLuna_Click();
    // Prints the calendar page on the default printer.
    void Bt_Printwww_Click();
    // Opens the tutorial window (modal).
    void BtTutorial_Click();

    // ---- Start-up and rebuild (FormPrincipal_inicio.cpp) --------------------
    void Inicia_Todo();
    // Which way a window height in twips (outer height, caption included).
    int AlturaTwips() const;
    void EstablecerAlturaTwips(int twips);

    // ---- Status line and explanation log (FormPrincipal_panel.cpp) ----------
    void PonerTextoPanel(const QString &Texto);
    void Explicito(const QString &Texto);
    void ModoExplicito_Click();
    void ListModoExplicito_DblClick();

    // ---- Sheet map (FormPrincipal_mapa.cpp) ----------------------------------
    void refrescaMapa();
    void ComboNHojas_Click();
    // Highlights sheets of Map1: by shape indexes (a map click) or by sheet
    // number (field 0; a plan-tree click). Both first bring every sheet back
    // to its plain colours, so ResaltarHoja({}) only clears the highlight.
    void ResaltarHoja(const QList<int> &indices);
    void ResaltarHojaPorNumero(int hoja);
    // Release of a mouse button over Map1 (x, y in the map's pixels).
    void Map1_MouseUp(int Button, int Shift, int x, int y);

    // ---- Plan tree (FormPrincipal_arbol.cpp) ---------------------------------
    // Rebuilds arbolaños for ParcelaActual from the database. Throws ErrorBD
    // (the tree is left as it was).
    void RefrescarArbolAños();
    // A click on the tree: a year node makes its year current, a plan-row node
    // opens its sheet and year for editing.
    void arbolaños_Click();
    // The tree's content as the last rebuild made it; the printout walks it.
    ArbolPlan::Arbol ArbolAños;
    // The item of arbolaños with that key ("TodosAños", "a 2010"), or null.
    QTreeWidgetItem *NodoArbol(const QString &clave) const;

    // ---- Rotation rules and crop slots (FormPrincipal_rotacion.cpp) ----------
    // LeerCultivos fills the four crop pickers of HojaActual in AñoActual and
    // shows its stored crops; CultivosCombos(fila) narrows picker `fila` to the
    // crops that may follow the earlier slots. Both let a database failure
    // pass as ErrorBD: the calling handler reports it. LeyendoCultivo is false
    // however the load ends.
    void LeerCultivos();
    void CultivosCombos(int fila);
    // The five filters (the rule switches are read from the check boxes as
    // they stand) and the three lookups; see designer/Rotacion.h.
    ListaCandidatos VerificarNoRepeticiónHojas(const ListaCandidatos &ListaPrevia);
    ListaCandidatos VerificarNoRepeticiónFamilia(const ListaCandidatos &ListaPrevia, int AñoVerificación);
    ListaCandidatos VerificarNoRepeticiónParteAprovechable(const ListaCandidatos &ListaPrevia, int AñoVerificación);
    ListaCandidatos VerificarNoRepeticiónProfRaices(const ListaCandidatos &ListaPrevia, int AñoVerificación);
    ListaCandidatos VerificarNoRepeticiónPorAños(const ListaCandidatos &ListaPrevia, int Años);
    QString SacarFamilia(const QString &Cultivo) const;
    QString SacarParteAprovechable(const QString &Cultivo) const;
    QString SacarProfRaiz(const QString &Cultivo) const;

    // ---- Plan grid (FormPrincipal_rejilla.cpp) --------------------------------
    // A choice in picker Index paints its crop's sowing fortnights; a click on
    // a sowing fortnight places the crop of that row's picker there.
    void ComboCult_Click(int Index);
    void MSHFlexTodoAño_Click();
    void BorraFila(int fila);
    void BorraTodasFilas();

    // ---- Storing and emptying a sheet (FormPrincipal_hoja.cpp) ---------------
    void BtValidaCultivos_Click();
    void BtVaciaHoja_Click();

    // Start and end fortnight (1..48) recorded for each of the four crop rows.
    std::array<int, 4> MesInicioCultivo{};
    std::array<int, 4> MesFinalCultivo{};
    // True while the span recorded for a row belongs to the crop its picker
    // shows: set by a placement on the grid and by loading a stored crop,
    // cleared by a new choice in the picker. Only such a crop is stored.
    std::array<bool, 4> CultivoColocado{};

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;
    void showEvent(QShowEvent *e) override;

private:
    void construirControles();           // FormPrincipal_ui.cpp
    void construirPestanaDiseno();       // FormPrincipal_ui.cpp
    void construirPanelOpciones();       // FormPrincipal_ui.cpp
    void construirOtrasPestanas();       // FormPrincipal_ui.cpp
    void conectarEventosCalendario();    // FormPrincipal_calendario.cpp
    void conectarEventos();              // FormPrincipal.cpp
    void conectarEventosMapa();          // FormPrincipal_mapa.cpp
    void conectarEventosRejilla();       // FormPrincipal_rejilla.cpp
    void conectarEventosHoja();          // FormPrincipal_hoja.cpp
    void conectarEventosArbol();         // FormPrincipal_arbol.cpp
    void PrepararRejillas();             // FormPrincipal_inicio.cpp
    void MarcarHeladas();                // FormPrincipal_inicio.cpp

    int altoMarco() const;
    int m_alturaTwips = 10140;
};
