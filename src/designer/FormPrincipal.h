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
//   FormPrincipal_imprimir.cpp printing the plan tree
//   FormPrincipal_parcelas.cpp the plot list and the plot-options panel
//
// Handlers carry the names of the control and the event (BtValidaCultivos_Click).
// Signals and slots are connected with lambdas: moc does not take accented
// identifiers, which the procedures' names have.
#include "calendario/PanelLuna.h"
#include "core/ArbolPlan.h"
#include "core/Catalogo.h"
#include "core/ListaCandidatos.h"
#include "core/SesionHoja.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
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
class ErrorBD;
class EditorCatalogo;
class MapaControl;
class PanelOpciones;

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

    // ---- Moon panel, calendar page, tutorial (FormPrincipal_calendario.cpp) ---
    // Refreshes the phase list, shows or hides the panel, then puts the
    // calendar on today.
    void CheckLuna_Click();
    // Prints the calendar page on the default printer.
    void Bt_Printwww_Click();
    // Opens the tutorial window (modal).
    void BtTutorial_Click();

    // ---- Start-up and rebuild (FormPrincipal_inicio.cpp) --------------------
    // Rebuilds the whole window for the session's plot in the current year.
    // Throws ErrorBD (nothing changed).
    void Inicia_Todo();

    // ---- Plots and their options (FormPrincipal_parcelas.cpp) --------------
    void ListaParcelas_Click();
    void BtCrearNuevaParcela_Click();
    void BtBorrarParcela_Click();
    void CheckCrearParcela_Click();
    void TextCrearNuevaParcela_Click();
    void CheckParcelasOpciones_Click();
    void Picture3_Click();
    void BtGuardar_Click();

    // ---- Status line and explanation log (FormPrincipal_panel.cpp) ----------
    void PonerTextoPanel(const QString &Texto);
    void Explicito(const QString &Texto);
    void ModoExplicito_Click();
    void ListModoExplicito_DblClick();

    // ---- Sheet map (FormPrincipal_mapa.cpp) ----------------------------------
    void refrescaMapa();
    void refrescaMapa(const QHash<int, QString> &textos); // labels already read
    void ComboNHojas_Click();
    // Highlights sheets of Map1: by shape indexes (a map click) or by sheet
    // number (field 0; a plan-tree click). Both first bring every sheet back
    // to its plain colours, so ResaltarHoja({}) only clears the highlight.
    void ResaltarHoja(const QList<int> &indices);
    void ResaltarHojaPorNumero(int hoja);
    // Release of a mouse button over Map1 (x, y in the map's pixels); a
    // failure to read the sheet reached is reported.
    void Map1_MouseUp(int Button, int Shift, int x, int y);

    // ---- Plan tree (FormPrincipal_arbol.cpp) ---------------------------------
    // Rebuilds arbolaños for the session's plot from the database. Throws ErrorBD
    // (the tree is left as it was).
    void RefrescarArbolAños();
    // A click on the tree: a year node makes its year current, a plan-row node
    // opens its sheet and year for editing.
    void arbolaños_Click();

    // ---- Printing the plan tree (FormPrincipal_imprimir.cpp) ------------------
    // Prints the plan tree as an outline on the printer that ComboImpresoras[0]
    // names, or on the current printer when none has that name.
    void Btimprimir_Click();

    // ---- Crop slots (FormPrincipal_rotacion.cpp) -----------------------------
    // LeerCultivos fills the four crop pickers of the session's sheet and year
    // and shows its stored crops; CultivosCombos(fila) narrows picker `fila` to the
    // crops that may follow the earlier slots. Both let a database failure
    // pass as ErrorBD (nothing changed then): the calling handler reports it.
    void LeerCultivos();
    void CultivosCombos(int fila);

    // ---- Plan grid (FormPrincipal_rejilla.cpp) --------------------------------
    // A choice in picker Index paints its crop's sowing fortnights; a click on
    // a sowing fortnight places the crop of that row's picker there.
    void ComboCult_Click(int Index);
    void MSHFlexTodoAño_Click();

    // ---- Storing and emptying a sheet (FormPrincipal_hoja.cpp) ---------------
    void BtValidaCultivos_Click();
    void BtVaciaHoja_Click();

    // ---- For tests --------------------------------------------------------------
    // The session as the window holds it, to read. The controls are found by
    // their object names, which are their variables' names ("Map1",
    // "ComboCult0").
    const SesionHoja &sesion() const { return Sesion; }
    // The installed printers' names; unset, the printing system's.
    void EstablecerImpresoras(std::function<QStringList()> lista) { Printers = std::move(lista); }

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;
    void showEvent(QShowEvent *e) override;

private:
    // ---- State of the run -------------------------------------------------
    QString carpetaPrograma;
    // The sheet being edited: plot, year, sheet, the four crop slots and the
    // road through them. The window renders what it says.
    SesionHoja Sesion;
    bool LeyendoCultivo = false;
    bool Iniciando = false;
    bool BorrandoParcela = false;
    // The database file cannot be written: plots are browsed, nothing stored.
    bool BaseSoloLectura = false;

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
    QLineEdit *TextCrearNuevaParcela = nullptr;
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

    // Design tab: plot-options panel (its own widget; the names below are its
    // controls)
    PanelOpciones *panelOpciones = nullptr;
    QFrame *PictureOpcionesParcelas = nullptr;
    QLabel *LabelParcelaOpciones = nullptr;
    QComboBox *ComboNHojas = nullptr;
    MapaControl *Map2 = nullptr;
    QList<QWidget *> OptionMeses; // radio buttons, in the order 3, 6, 9, 12, 0
    std::array<QLabel *, 2> LabelMeses{};
    std::array<QComboBox *, 2> ComboMLH{};
    QCheckBox *CheckRepetirFrutos = nullptr;
    QCheckBox *CheckRepetirRaices = nullptr;
    QCheckBox *CheckRepetirVarCicloCorto = nullptr;
    QSlider *SliderAlcachofa = nullptr;
    QSlider *SliderFresa = nullptr;
    QSlider *SliderEsparrago = nullptr;
    QLabel *TextFresa = nullptr;
    QPushButton *BtGuardar = nullptr;

    // Plant-database tab: the catalogue editor, and two of its controls that
    // the rebuild lays out and fills
    EditorCatalogo *EditorPlantas = nullptr;
    QComboBox *ComboTodasHortalizas = nullptr;
    CuadriculaFlex *MSHFlexBD = nullptr;

    // Printing the plan tree. The current printer's name; empty for the system's default printer.
    QString Printer;
    // The names of the installed printers; unset, the printing system's.
    std::function<QStringList()> Printers;
    // The tree's content as the last rebuild made it; the printout walks it.
    ArbolPlan::Arbol ArbolAños;
    // The item of arbolaños with that key ("TodosAños", "a 2010"), or null.
    QTreeWidgetItem *NodoArbol(const QString &clave) const;
    // Shows a tree content already read.
    void MostrarArbol(const ArbolPlan::Arbol &arbol);
    // While one lives, the log's lines wait and are added in one batch, with
    // one scroll, when the outermost ends.
    class RegistroEnLote
    {
    public:
        explicit RegistroEnLote(FormPrincipal &w);
        ~RegistroEnLote();
        RegistroEnLote(const RegistroEnLote &) = delete;
        RegistroEnLote &operator=(const RegistroEnLote &) = delete;

    private:
        FormPrincipal &m_w;
    };
    // Stores the sheet as BtValidaCultivos does; false when it was not stored
    // (the user has been told why, or chose not to).
    bool ValidarHoja();
    // The window's outer height in twips (caption and borders included).
    int AlturaTwips() const;
    void EstablecerAlturaTwips(int twips);

    // Every control takes its variable's name as its object name.
    void nombrarControles();             // FormPrincipal_ui.cpp
    void construirControles();           // FormPrincipal_ui.cpp
    void construirPestanaDiseno();       // FormPrincipal_ui.cpp
    void construirPanelOpciones();       // FormPrincipal_ui.cpp
    void construirOtrasPestanas();       // FormPrincipal_ui.cpp
    void conectarEventosCalendario();    // FormPrincipal_calendario.cpp
    void conectarEventos();              // FormPrincipal.cpp
    void conectarEventosMapa();          // FormPrincipal_mapa.cpp
    void conectarEventosRejilla();       // FormPrincipal_rejilla.cpp
    void conectarSesion();               // FormPrincipal_rotacion.cpp
    void conectarEventosHoja();          // FormPrincipal_hoja.cpp
    void conectarEventosArbol();         // FormPrincipal_arbol.cpp
    void conectarEventosImprimir();      // FormPrincipal_imprimir.cpp
    void conectarEventosParcelas();      // FormPrincipal_parcelas.cpp
    // The window rebuilt for that plot, the delete button named after it; a
    // database failure is reported.
    bool Reconstruir(const QString &parcela); // FormPrincipal_parcelas.cpp
    void QuitarHeladas();                // FormPrincipal_parcelas.cpp
    // The open plot's row selected in the list again, now and once the
    // mouse press that is running is over.
    void SeleccionarParcelaAbierta();    // FormPrincipal_parcelas.cpp
    // The plot list filled with nombres, elegida selected, raising no switch.
    void LlenarListaParcelas(const QStringList &nombres, const QString &elegida); // FormPrincipal_parcelas.cpp
    // A plot clicked in the list that the database no longer has (another
    // copy of the program deleted it): the user is told, the list read again,
    // and the open plot stays when it exists; otherwise the open sheet is left
    // as by any gesture and the plot marked last used, or the first, opens.
    void ParcelaDesaparecida(const QString &nombre); // FormPrincipal_parcelas.cpp
    // Opens the plot (Inicia_Todo's rebuild). Throws ErrorBD (nothing changed).
    void AbrirParcela(const QString &parcela); // FormPrincipal_inicio.cpp
    // Sheet hoja of año chosen: its pickers, then the picker of the grid's
    // current row narrowed, through one connection and with the log's lines
    // added at once. Throws ErrorBD.
    void CargarHojaElegida(int hoja, int año); // FormPrincipal_mapa.cpp
    // The sheet a rebuild kept open, read again for the session's year; a
    // failure is told with what stays (queda).
    void RecargarHojaAbierta(const QString &queda); // FormPrincipal_parcelas.cpp
    void PrepararRejillas();             // FormPrincipal_inicio.cpp
    void MarcarHeladas();                // FormPrincipal_inicio.cpp
    void AvisarFalloArranque(const ErrorBD &e); // FormPrincipal_inicio.cpp

    int altoMarco() const;
    // Pending work at close: asks to write it, drop it or stay. True to close.
    bool PuedeCerrar();
    // Every gesture that leaves or reloads the open sheet asks here first.
    // With crops placed and not stored it asks to store them («Sí», as
    // «Validar Hoja» does), drop them («No») or stay («Cancelar»). True when
    // the gesture may go on; false when the user stays or storing them failed
    // or was refused (the user has been told), and then nothing has changed.
    bool SoltarHoja();
    // The crops placed and not stored, for a question: "cultivos colocados en
    // la hoja 1 de 2026 sin guardar con «Validar Hoja»: Lechugas".
    QString DescribirSinGuardar() const;
    // A gesture already allowed to leave the sheet: the handlers it runs in
    // turn (a plot created, then switched to) do not ask again.
    bool m_hojaSoltada = false;
    // The tree's current item when the mouse was pressed on it: a click whose
    // gesture is given up puts it back.
    QPersistentModelIndex m_nodoAlPulsar;
    void AnunciarEstado(const QString &Texto); // FormPrincipal_panel.cpp
    void AjustarRegistro();                    // FormPrincipal_panel.cpp
    int m_lotesRegistro = 0;                   // RegistroEnLote alive
    QStringList m_registroPendiente;
    // The window's outer height in twips, without and with the explanation log.
    static constexpr int kAlturaSinRegistro = 10140;
    static constexpr int kAlturaConRegistro = 11310;
    int m_alturaTwips = kAlturaSinRegistro;
    // Plot switches run so far, and their count when the list was last
    // pressed: a click that switched on the press is not run again.
    int m_cambiosParcela = 0;
    int m_cambiosAlPulsar = 0;
};
