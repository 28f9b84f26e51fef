// The main window's controls, with their captions, accessible names and
// design-time geometry (twips, converted at the screen's resolution).
#include "designer/FormPrincipal.h"

#include "auxiliary/FormPortada.h"
#include "widgets/CuadriculaFlex.h"
#include "mapa/MapaControl.h"
#include "widgets/Twips.h"
#include "catalogue/PaginaCalendario.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// Places w inside its parent at the given twips and names it for assistive
// technology.
template <typename W>
W *colocar(W *w, int izquierda, int arriba, int ancho, int alto, const QString &nombre)
{
    w->setGeometry(Twips::Rect(izquierda, arriba, ancho, alto));
    w->setAccessibleName(nombre);
    return w;
}

QGroupBox *marco(QWidget *padre, const QString &titulo, int x, int y, int an, int al)
{
    return colocar(new QGroupBox(titulo, padre), x, y, an, al, titulo);
}

QCheckBox *casilla(QWidget *padre, const QString &texto, int x, int y, int an, int al)
{
    return colocar(new QCheckBox(texto, padre), x, y, an, al, texto);
}

QPushButton *boton(QWidget *padre, const QString &texto, int x, int y, int an, int al)
{
    return colocar(new QPushButton(texto, padre), x, y, an, al, texto);
}

QLabel *etiqueta(QWidget *padre, const QString &texto, int x, int y, int an, int al)
{
    return colocar(new QLabel(texto, padre), x, y, an, al, texto);
}

QComboBox *lista(QWidget *padre, int x, int y, int an, int al, const QString &nombre)
{
    auto *c = colocar(new QComboBox(padre), x, y, an, al, nombre);
    c->setEditable(false);
    return c;
}

} // namespace

// Client area of the window as designed, and where the explanation log lies:
// just below the visible area until the window is made taller.
static const int kAnchoCliente = 11100;
static const int kAltoPestanas = 9300;

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
    tabDiseno->setAccessibleName(QStringLiteral("Fase de diseño"));
    tabCalendario->setAccessibleName(QStringLiteral("Calendario Biodinámico"));
    tabPlantas->setAccessibleName(QStringLiteral("Base de datos de plantas"));
    tabAcerca->setAccessibleName(QStringLiteral("Acerca de..."));

    ListModoExplicito = colocar(new QListWidget(lienzo), 0, 9720, 11115, 1155,
                                QStringLiteral("Registro explícito"));
    ListModoExplicito->setToolTip(QStringLiteral("Pulsa doble click para borrar el contenido"));
    ListModoExplicito->setUniformItemSizes(true);

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
    auto *nombre = colocar(new QLineEdit(QStringLiteral("Escribe Texto Aquí"), FrameNuevaParcela), 120, 300, 1680, 330,
                           QStringLiteral("Nombre de la nueva parcela"));
    TextCrearNuevaParcela = nombre;
    BtCrearNuevaParcela = boton(FrameNuevaParcela, QStringLiteral("Crear"), 1860, 300, 660, 330);
    FrameNuevaParcela->hide();

    CheckParcelasOpciones = casilla(t, QStringLiteral("Opciones >>>>>"), 240, 3720, 2400, 255);

    // Map and plan tree
    Map1 = colocar(new MapaControl(t), 2880, 180, 4560, 3840, QStringLiteral("Mapa de hojas"));
    arbolaños = colocar(new QTreeWidget(t), 7560, 180, 3360, 3840, QStringLiteral("Árbol de años"));
    arbolaños->setHeaderHidden(true);
    arbolaños->setColumnCount(1);
    arbolaños->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    arbolaños->header()->setStretchLastSection(false);

    // Crop editor: the plan grid with the four crop pickers over column 0
    FrameCultivo = marco(t, QStringLiteral("Hoja :"), 120, 4140, 10800, 2040);
    MSHFlexTodoAño = colocar(new CuadriculaFlex(FrameCultivo), 120, 300, 9675, 1575, QStringLiteral("Plan del año"));
    for (int k = 0; k < 4; ++k) {
        ComboCult[k] = lista(FrameCultivo, 120, 300 + 315 * (k + 1), 2350, 315,
                             QStringLiteral("Cultivo %1").arg(k + 1));
        ComboCult[k]->setMaxVisibleItems(20);
    }

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
}

void FormPrincipal::construirPanelOpciones()
{
    auto *p = new QFrame(tabDiseno);
    PictureOpcionesParcelas = colocar(p, 2880, 120, 8040, 6180, QStringLiteral("Opciones de la parcela"));
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Raised);
    p->setAutoFillBackground(true);

    LabelParcelaOpciones = etiqueta(p, QStringLiteral("Opciones para la parcela: <<<>>>"), 120, 90, 7200, 300);
    Picture3 = colocar(new QLabel(p), 7740, 90, 240, 240, QStringLiteral("Cerrar"));
    Picture3->setToolTip(QStringLiteral("Cerrar"));
    Picture3->setText(QStringLiteral("✕"));
    Picture3->setAlignment(Qt::AlignCenter);
    Picture3->setFrameShape(QFrame::Box);

    Label1 = etiqueta(p, QStringLiteral("Hojas a proyectar:"), 120, 480, 1500, 300);
    ComboNHojas = lista(p, 1680, 450, 900, 330, QStringLiteral("Hojas a proyectar"));
    Map2 = colocar(new MapaControl(p), 120, 900, 3600, 3000, QStringLiteral("Vista previa de las hojas"));

    Frame4 = marco(p, QStringLiteral("Meses libres de heladas"), 3900, 420, 3960, 2820);
    struct Opcion { int indice; const char *texto; };
    const Opcion opciones[] = {{3, "3  (Verano)"},
                               {6, "6 (Verano + ½primavera + ½otoño)"},
                               {9, "9 (todas menos invierno)"},
                               {12, "12 todos los meses"},
                               {0, "Especificar"}};
    int y = 300;
    for (const Opcion &o : opciones) {
        auto *r = colocar(new QRadioButton(QString::fromUtf8(o.texto), Frame4), 120, y, 3720, 270,
                          QString::fromUtf8(o.texto));
        r->setProperty("Index", o.indice);
        r->setChecked(o.indice == 0);
        OptionMeses.append(r);
        y += 300;
    }
    LabelMeses[0] = etiqueta(Frame4, QStringLiteral("Mes inicio:"), 120, 1890, 1200, 300);
    ComboMLH[0] = lista(Frame4, 1380, 1860, 2400, 330, QStringLiteral("Mes inicio"));
    LabelMeses[1] = etiqueta(Frame4, QStringLiteral("Mes final:"), 120, 2310, 1200, 300);
    ComboMLH[1] = lista(Frame4, 1380, 2280, 2400, 330, QStringLiteral("Mes final"));

    Frame3 = marco(p, QStringLiteral("Permisividad en repeticiones"), 3900, 3300, 3960, 1200);
    CheckRepetirFrutos = casilla(Frame3, QStringLiteral("Repetir Frutos, Hoja y Flor"), 120, 270, 3720, 270);
    CheckRepetirRaices = casilla(Frame3, QStringLiteral("Repetir profundidad raices"), 120, 555, 3720, 270);
    CheckRepetirVarCicloCorto = casilla(
        Frame3, QStringLiteral("Repetir varied de ciclo corto: lechugas,rabanitos y escarolas"), 120, 840, 3720, 270);

    FramePlurianualesAlcachofa = marco(
        p, QStringLiteral("Plantas plurianuales. Defina el nº de años para cada una de ellas"), 120, 4560, 7740, 1080);
    const char *plantas[] = {"Alcachofa", "Fresa", "Espárrago"};
    std::array<QSlider *, 3> deslizadores{};
    std::array<QLabel *, 3> valores{};
    for (int i = 0; i < 3; ++i) {
        const int x = 120 + i * 2560;
        const QString planta = QString::fromUtf8(plantas[i]);
        Label3[i] = etiqueta(FramePlurianualesAlcachofa, planta, x, 300, 1100, 270);
        auto *s = colocar(new QSlider(Qt::Horizontal, FramePlurianualesAlcachofa), x, 600, 1800, 330,
                          QStringLiteral("Años de %1").arg(planta));
        s->setRange(2, 6);
        s->setSingleStep(1);
        s->setPageStep(1);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(1);
        s->setValue(2);
        deslizadores[i] = s;
        valores[i] = etiqueta(FramePlurianualesAlcachofa, QStringLiteral("2"), x + 1860, 600, 480, 300);
        valores[i]->setAccessibleName(QStringLiteral("Años de %1 (valor)").arg(planta));
    }
    SliderAlcachofa = deslizadores[0];
    SliderFresa = deslizadores[1];
    SliderEsparrago = deslizadores[2];
    TextAlcachofa = valores[0];
    TextFresa = valores[1];
    LabelEspárrago = valores[2];

    BtGuardar = boton(p, QStringLiteral("Guardar"), 6600, 5700, 1260, 390);
    p->hide();
}

void FormPrincipal::construirOtrasPestanas()
{
    // Biodynamic calendar: the print button, the page (asked for once the
    // window is on screen) and the printer picker.
    Bt_Printwww = boton(tabCalendario, QStringLiteral("Imprime"), 3840, 120, 1200, 330);
    PaginaBiodinamica = colocar(new PaginaCalendario(tabCalendario), 120, 570, 10740, 8160,
                                QStringLiteral("Página del calendario biodinámico"));
    ComboImpresoras[1] = lista(tabCalendario, 120, 120, 3600, 330, QStringLiteral("Impresora del calendario"));

    // Plant database: the catalogue picker and the sowing-window grid
    ComboTodasHortalizas = lista(tabPlantas, 120, 120, 3600, 330, QStringLiteral("Hortaliza"));
    MSHFlexBD = colocar(new CuadriculaFlex(tabPlantas), 120, 600, 8175, 1575,
                        QStringLiteral("Épocas de siembra"));

    // About
    auto *imagen = colocar(new QLabel(tabAcerca), 120, 120, 8355, 7140, QStringLiteral("Portada de Huerta"));
    imagen->setObjectName(QStringLiteral("ImagenAcerca"));
    imagen->setPixmap(FormPortada::Imagen());
    imagen->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    etiqueta(tabAcerca, QStringLiteral("Huerta: diseño de rotaciones de cultivos para el huerto familiar."),
             8600, 240, 2300, 2400)
        ->setWordWrap(true);
}
