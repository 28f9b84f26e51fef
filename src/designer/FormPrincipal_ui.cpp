// The main window's controls, with their captions, accessible names and
// design-time geometry (twips, converted at the screen's resolution).
#include "designer/FormPrincipal.h"

#include "designer/Controles.h"
#include "designer/PanelOpciones.h"

#include "auxiliary/FormPortada.h"
#include "core/modBasico.h"
#include "catalogue/EditorCatalogo.h"
#include "widgets/CuadriculaFlex.h"
#include "mapa/MapaControl.h"
#include "widgets/Twips.h"
#include "calendario/PaginaCalendario.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Controles;

namespace {

// What a crop-row cell of the plan grid holds, by its colour: the words a
// screen reader says where the eye sees the colour.
QString contenidoPorColor(qint32 color)
{
    using namespace modBasico;
    if (color == ColorSiembra)
        return QStringLiteral("siembra");
    if (color == ColorCultivo)
        return QStringLiteral("cultivo");
    if (color == ColorCosecha)
        return QStringLiteral("cosecha");
    if (color == ColorAñoSiguiente)
        return QStringLiteral("cultivo del año siguiente");
    if (color == ColorSolape)
        return QStringLiteral("rechazada por helada");
    return QString();
}

// Keeps a widget in the Tab chain only while some of it shows inside its
// parent (the explanation log lies below the window until it is made taller).
class FocoSiSeVe : public QObject
{
public:
    explicit FocoSiSeVe(QWidget *w) : QObject(w), m_w(w)
    {
        w->installEventFilter(this);
        w->parentWidget()->installEventFilter(this);
        ajustar();
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize || e->type() == QEvent::Move)
            ajustar();
        return false;
    }

private:
    void ajustar()
    {
        const bool seVe = m_w->height() > 0 && m_w->geometry().intersects(m_w->parentWidget()->rect());
        m_w->setFocusPolicy(seVe ? Qt::StrongFocus : Qt::NoFocus);
    }
    QWidget *m_w;
};

} // namespace

// Client area of the window as designed, and where the explanation log lies:
// just below the visible area until the window is made taller.
static const int kAnchoCliente = 11100;
static const int kAltoPestanas = 9300;

void FormPrincipal::nombrarControles()
{
#define NOMBRAR(c) c->setObjectName(QStringLiteral(#c))
    NOMBRAR(SSTab1);
    NOMBRAR(tabDiseno);
    NOMBRAR(tabCalendario);
    NOMBRAR(tabPlantas);
    NOMBRAR(tabAcerca);
    NOMBRAR(StatusBar1);
    NOMBRAR(PanelEstado);
    NOMBRAR(PaginaBiodinamica);
    NOMBRAR(Bt_Printwww);
    NOMBRAR(Frame7);
    NOMBRAR(ListaParcelas);
    NOMBRAR(CheckCrearParcela);
    NOMBRAR(BtBorrarParcela);
    NOMBRAR(FrameNuevaParcela);
    NOMBRAR(TextCrearNuevaParcela);
    NOMBRAR(BtCrearNuevaParcela);
    NOMBRAR(CheckParcelasOpciones);
    NOMBRAR(Map1);
    NOMBRAR(arbolaños);
    NOMBRAR(FrameCultivo);
    NOMBRAR(MSHFlexTodoAño);
    NOMBRAR(BtValidaCultivos);
    NOMBRAR(BtVaciaHoja);
    NOMBRAR(Btimprimir);
    NOMBRAR(ModoExplicito);
    NOMBRAR(ListModoExplicito);
    NOMBRAR(CheckLuna);
    NOMBRAR(BtTutorial);
    NOMBRAR(FrameFasesLuna);
    NOMBRAR(MonthView1);
    NOMBRAR(ListLunar);
    NOMBRAR(PictureOpcionesParcelas); // also panelOpciones: the same widget
    NOMBRAR(LabelParcelaOpciones);
    NOMBRAR(ComboNHojas);
    NOMBRAR(Map2);
    NOMBRAR(CheckRepetirFrutos);
    NOMBRAR(CheckRepetirRaices);
    NOMBRAR(CheckRepetirVarCicloCorto);
    NOMBRAR(SliderAlcachofa);
    NOMBRAR(SliderFresa);
    NOMBRAR(SliderEsparrago);
    NOMBRAR(TextFresa);
    NOMBRAR(BtGuardar);
    NOMBRAR(EditorPlantas);
    NOMBRAR(ComboTodasHortalizas);
    NOMBRAR(MSHFlexBD);
#undef NOMBRAR
    // Arrays: the name and the index ("ComboCult0"); OptionMeses in the order
    // 3, 6, 9, 12, 0 months.
    auto nombrar = [](const auto &controles, const QString &nombre) {
        int i = 0;
        for (QWidget *c : controles)
            c->setObjectName(nombre + QString::number(i++));
    };
    nombrar(ComboCult, QStringLiteral("ComboCult"));
    nombrar(ComboImpresoras, QStringLiteral("ComboImpresoras"));
    nombrar(OptionMeses, QStringLiteral("OptionMeses"));
    nombrar(LabelMeses, QStringLiteral("LabelMeses"));
    nombrar(ComboMLH, QStringLiteral("ComboMLH"));
}

void FormPrincipal::construirControles()
{
    setWindowTitle(QStringLiteral("Huerta: diseño de rotaciones de cultivos"));
    auto *lienzo = new QWidget(this);
    lienzo->setMinimumSize(Twips::APixelesX(kAnchoCliente), 1);
    setCentralWidget(lienzo);

    SSTab1 = colocar(new QTabWidget(lienzo), 0, 0, kAnchoCliente, kAltoPestanas, QStringLiteral("Pestañas"));
    tabDiseno = new QWidget;
    tabCalendario = new QWidget;
    tabPlantas = new QWidget;
    tabAcerca = new QWidget;
    SSTab1->addTab(tabDiseno, QStringLiteral("Fase de diseño"));
    SSTab1->addTab(tabCalendario, QStringLiteral("Calendario Biodinámico"));
    SSTab1->addTab(tabPlantas, QStringLiteral("Base de datos de plantas"));
    SSTab1->addTab(tabAcerca, QStringLiteral("Acerca de..."));
    SSTab1->tabBar()->setAccessibleName(QStringLiteral("Pestañas"));
    tabDiseno->setAccessibleName(QStringLiteral("Fase de diseño"));
    tabCalendario->setAccessibleName(QStringLiteral("Calendario Biodinámico"));
    tabPlantas->setAccessibleName(QStringLiteral("Base de datos de plantas"));
    tabAcerca->setAccessibleName(QStringLiteral("Acerca de..."));


    StatusBar1 = statusBar();
    StatusBar1->setAccessibleName(QStringLiteral("Barra de estado"));
    StatusBar1->setSizeGripEnabled(false);
    PanelEstado = new QLabel(StatusBar1);
    PanelEstado->setAccessibleName(QStringLiteral("Línea de estado"));
    PanelEstado->setMinimumWidth(Twips::APixelesX(7000));
    StatusBar1->addWidget(PanelEstado, 1);

    construirPestanaDiseno();
    construirPanelOpciones();
    construirOtrasPestanas();

    // Made last, so that it ends the Tab chain; out of it while out of sight.
    ListModoExplicito = colocar(new QListWidget(lienzo), 0, 9720, 11115, 1155,
                                QStringLiteral("Registro explícito"));
    ListModoExplicito->setToolTip(QStringLiteral("Pulsa doble click para borrar el contenido"));
    ListModoExplicito->setUniformItemSizes(true);
    new FocoSiSeVe(ListModoExplicito);
}

void FormPrincipal::construirPestanaDiseno()
{
    QWidget *t = tabDiseno;

    // Plots
    Frame7 = marco(t, QStringLiteral("Selección de parcelas"), 120, 120, 2640, 2640);
    ListaParcelas = colocar(new QListWidget(Frame7), 120, 300, 2400, 1620, QStringLiteral("Parcelas"));
    CheckCrearParcela = casilla(Frame7, QStringLiteral("Crear nueva Parcela"), 120, 1980, 2400, 255);
    BtBorrarParcela = boton(Frame7, QStringLiteral("Borrar"), 120, 2280, 2400, 330);

    FrameNuevaParcela = marco(t, QStringLiteral("Crear Nueva parcela"), 120, 2820, 2640, 780);
    TextCrearNuevaParcela = colocar(new QLineEdit(QStringLiteral("Escribe Texto Aquí"), FrameNuevaParcela), 120, 300,
                                    1680, 330, QStringLiteral("Nombre de la nueva parcela"));
    BtCrearNuevaParcela = boton(FrameNuevaParcela, QStringLiteral("Crear"), 1860, 300, 660, 330);
    connect(TextCrearNuevaParcela, &QLineEdit::returnPressed, BtCrearNuevaParcela, &QPushButton::click);
    FrameNuevaParcela->hide();

    CheckParcelasOpciones = casilla(t, QStringLiteral("Opciones >>>>>"), 240, 3720, 2400, 255);

    // Map and plan tree
    Map1 = colocar(new MapaControl(t), 2880, 180, 4560, 3840, QStringLiteral("Mapa de hojas"));
    arbolaños = colocar(new QTreeWidget(t), 7560, 180, 3360, 3840, QStringLiteral("Árbol de años"));
    arbolaños->setHeaderHidden(true);
    arbolaños->setColumnCount(1);
    arbolaños->setHeaderLabel(QStringLiteral("Años y hojas")); // heard, never shown
    // Sized to its texts once per rebuild (MostrarArbol), not at every change.
    arbolaños->header()->setSectionResizeMode(QHeaderView::Fixed);
    arbolaños->header()->setStretchLastSection(false);
    // One line and one picture of the same size in every row.
    arbolaños->setUniformRowHeights(true);

    // Crop editor: the plan grid with the four crop pickers over column 0
    FrameCultivo = marco(t, QStringLiteral("Hoja :"), 120, 4140, 10800, 2040);
    MSHFlexTodoAño = colocar(new CuadriculaFlex(FrameCultivo), 120, 300, 9675, 1575, QStringLiteral("Plan del año"));
    for (int k = 0; k < 4; ++k) {
        ComboCult[k] = lista(FrameCultivo, 120, 300 + 315 * (k + 1), 2350, 315,
                             QStringLiteral("Cultivo %1").arg(k + 1));
        ComboCult[k]->setMaxVisibleItems(20);
    }
    // Each cell is heard by its fortnight and what it holds.
    MSHFlexTodoAño->setNombreCelda([this](int fila, int columna) {
        if (columna < 1 || columna > 24)
            return fila >= 1 && fila <= 4 ? QStringLiteral("Cultivo %1").arg(fila) : QString();
        const QString quincena = modBasico::QuincenaEnLetra(columna);
        if (fila < 1 || fila > 4)
            return quincena;
        QStringList partes;
        const QString contenido = contenidoPorColor(MSHFlexTodoAño->colorFondo(fila, columna));
        const QString cultivo = ComboCult[fila - 1]->currentText();
        if (!contenido.isEmpty() && !cultivo.isEmpty() && cultivo != modBasico::CultivoVacio)
            partes << cultivo;
        if (!contenido.isEmpty())
            partes << contenido;
        if (MSHFlexTodoAño->tieneImagen(fila, columna))
            partes << QStringLiteral("helada");
        return quincena + QStringLiteral(": ")
               + (partes.isEmpty() ? QStringLiteral("vacía") : partes.join(QStringLiteral(", ")));
    });
    // Tab as the eye reads the frame: the pickers in column 0, then the grid.
    QWidget::setTabOrder(ComboCult[3], MSHFlexTodoAño);

    BtValidaCultivos = boton(t, QStringLiteral("Validar Hoja"), 120, 6300, 1800, 420);
    BtVaciaHoja = boton(t, QStringLiteral("Vacía la hoja"), 2040, 6300, 1800, 420);
    Btimprimir = boton(t, QStringLiteral("Imprimir"), 4560, 6300, 1200, 420);
    ComboImpresoras[0] = lista(t, 5820, 6345, 2880, 330, QStringLiteral("Impresora"));
    ModoExplicito = casilla(t, QStringLiteral("Modo explícito"), 9000, 6360, 1920, 300);

    CheckLuna = casilla(t, QStringLiteral("Ver fases de la luna"), 120, 6840, 2640, 300);
    BtTutorial = boton(t, QStringLiteral("Ver mini tutorial"), 9000, 6780, 1920, 420);

    // Moon-phase panel, hidden as designed
    FrameFasesLuna = colocar(new PanelLuna(t), 90, 690, 3840, 5040, QStringLiteral("Fases de la luna"));
    MonthView1 = FrameFasesLuna->MonthView1;
    ListLunar = FrameFasesLuna->ListLunar;
    FrameFasesLuna->hide();
    new TapaFoco(FrameFasesLuna);
}

void FormPrincipal::construirPanelOpciones()
{
    // The panel owns its controls; the window keeps its names for them, read
    // by the rotation rules and by storing a sheet.
    auto *p = new PanelOpciones(tabDiseno);
    panelOpciones = p;
    PictureOpcionesParcelas = p;
    LabelParcelaOpciones = p->LabelParcelaOpciones;
    ComboNHojas = p->ComboNHojas;
    Map2 = p->Map2;
    OptionMeses.clear();
    for (QRadioButton *r : p->OptionMeses)
        OptionMeses.append(r);
    LabelMeses = p->LabelMeses;
    ComboMLH = p->ComboMLH;
    CheckRepetirFrutos = p->CheckRepetirFrutos;
    CheckRepetirRaices = p->CheckRepetirRaices;
    CheckRepetirVarCicloCorto = p->CheckRepetirVarCicloCorto;
    SliderAlcachofa = p->Sliders[0];
    SliderFresa = p->Sliders[1];
    SliderEsparrago = p->Sliders[2];
    TextFresa = p->Valores[1];
    BtGuardar = p->BtGuardar;

    // Tab goes from the box that opens the panel into the panel, then on to
    // the controls below it (those it covers leave the chain while it shows).
    QWidget *antes = CheckParcelasOpciones;
    for (QWidget *c : p->findChildren<QWidget *>()) {
        if (!(c->focusPolicy() & Qt::TabFocus) || c->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QWidget::setTabOrder(antes, c);
        antes = c;
    }
    QWidget::setTabOrder(antes, Map1);
}

void FormPrincipal::construirOtrasPestanas()
{
    // Biodynamic calendar: the print button, the page (asked for once the
    // window is on screen) and the printer picker.
    Bt_Printwww = boton(tabCalendario, QStringLiteral("Imprime"), 3840, 120, 1200, 330);
    PaginaBiodinamica = colocar(new PaginaCalendario(tabCalendario), 120, 570, 10740, 8160,
                                QStringLiteral("Página del calendario biodinámico"));
    ComboImpresoras[1] = lista(tabCalendario, 120, 120, 3600, 330, QStringLiteral("Impresora del calendario"));

    // Plant database: the catalogue editor fills the tab
    auto *capa = new QVBoxLayout(tabPlantas);
    capa->setContentsMargins(0, 0, 0, 0);
    EditorPlantas = new EditorCatalogo(tabPlantas);
    capa->addWidget(EditorPlantas);
    ComboTodasHortalizas = EditorPlantas->ComboTodasHortalizas;
    MSHFlexBD = EditorPlantas->MSHFlexBD;

    // About
    auto *imagen = colocar(new QLabel(tabAcerca), 120, 120, 8355, 7140, QStringLiteral("Portada de Huerta"));
    imagen->setObjectName(QStringLiteral("ImagenAcerca"));
    imagen->setPixmap(FormPortada::Imagen());
    imagen->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    etiqueta(tabAcerca, QStringLiteral("Huerta: diseño de rotaciones de cultivos para el huerto familiar."),
             8600, 240, 2300, 2400)
        ->setWordWrap(true);
}
