#include "designer/PanelOpciones.h"

#include "core/Conexion.h"
#include "core/modBasico.h"
#include "designer/Controles.h"
#include "mapa/MapaControl.h"
#include "widgets/Dialogos.h"
#include "widgets/Pulsacion.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

using namespace Controles;

namespace {

// A frost-free preset: the months it stands for, its caption, and the
// fortnights (1..24) both pickers are set to; 0 leaves them as chosen.
struct Preset
{
    int indice;
    const char *texto;
    int inicio;
    int final;
};

const Preset kPresets[] = {{3, "3  (Verano)", 12, 18},
                           {6, "6 (Verano + ½primavera + ½otoño)", 9, 19},
                           {9, "9 (todas menos invierno)", 6, 24},
                           {12, "12 todos los meses", 1, 1},
                           {0, "Especificar", 0, 0}};

// The close box is a label drawn as a box; a screen reader hears it as the
// button it is, whose press action presses it as Space does.
const char *const kComoBoton = "huertaComoBoton";

class EtiquetaBoton : public QAccessibleWidget
{
public:
    explicit EtiquetaBoton(QWidget *w) : QAccessibleWidget(w, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &accion) override
    {
        if (accion == pressAction())
            QCoreApplication::postEvent(widget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
    }
};

QAccessibleInterface *fabricaBotones(const QString &, QObject *objeto)
{
    if (objeto && objeto->isWidgetType() && objeto->property(kComoBoton).toBool())
        return new EtiquetaBoton(static_cast<QWidget *>(objeto));
    return nullptr;
}

} // namespace

PanelOpciones::PanelOpciones(QWidget *padre) : QFrame(padre)
{
    QFrame *p = this;
    colocar(p, 2880, 120, 8040, 6180, QStringLiteral("Opciones de la parcela"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);

    LabelParcelaOpciones = etiqueta(p, QStringLiteral("Opciones para la parcela: <<<>>>"), 120, 90, 7200, 300);
    static const bool fabrica = (QAccessible::installFactory(fabricaBotones), true);
    Q_UNUSED(fabrica);
    auto *cerrar = new QLabel(p);
    cerrar->setProperty(kComoBoton, true); // before anything asks for its accessible interface
    Picture3 = colocar(cerrar, 7740, 90, 240, 240, QStringLiteral("Cerrar"));
    Picture3->setToolTip(QStringLiteral("Cerrar"));
    Picture3->setText(QStringLiteral("✕"));
    Picture3->setAlignment(Qt::AlignCenter);
    Picture3->setFrameShape(QFrame::Box);
    AlPulsar(Picture3, [this] { emit cerrarPulsado(); });
    // From the keyboard: Tab reaches it, Return, Enter or Space press it.
    Picture3->setFocusPolicy(Qt::TabFocus);
    Picture3->installEventFilter(this);
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), padre, this, [this] { emit cerrarPulsado(); },
                             Qt::WidgetWithChildrenShortcut);
    m_escape->setEnabled(false);
    new TapaFoco(this);

    Label1 = etiqueta(p, QStringLiteral("Hojas a proyectar:"), 120, 480, 1860, 300);
    ComboNHojas = lista(p, 2040, 450, 900, 330, QStringLiteral("Hojas a proyectar"));
    Label1->setBuddy(ComboNHojas);
    Map2 = colocar(new MapaControl(p), 120, 900, 3600, 3000, QStringLiteral("Vista previa de las hojas"));

    Frame4 = marco(p, QStringLiteral("Meses libres de heladas"), 3900, 420, 3960, 2820);
    int y = 300;
    for (const Preset &o : kPresets) {
        const QString texto = QString::fromUtf8(o.texto);
        auto *r = colocar(new QRadioButton(texto, Frame4), 120, y, 3720, 270, texto);
        r->setChecked(o.indice == 0);
        connect(r, &QRadioButton::clicked, this, [this, i = o.indice] { OptionMeses_Click(i); });
        OptionMeses.append(r);
        y += 300;
    }
    LabelMeses[0] = etiqueta(Frame4, QStringLiteral("Mes inicio:"), 120, 1890, 1200, 300);
    ComboMLH[0] = lista(Frame4, 1380, 1860, 2400, 330, QStringLiteral("Mes inicio"));
    LabelMeses[1] = etiqueta(Frame4, QStringLiteral("Mes final:"), 120, 2310, 1200, 300);
    ComboMLH[1] = lista(Frame4, 1380, 2280, 2400, 330, QStringLiteral("Mes final"));
    for (int i = 0; i < 2; ++i)
        LabelMeses[i]->setBuddy(ComboMLH[i]);

    Frame3 = marco(p, QStringLiteral("Permisividad en repeticiones"), 3900, 3300, 3960, 1200);
    CheckRepetirFrutos = casilla(Frame3, QStringLiteral("Repetir Frutos, Hoja y Flor"), 120, 270, 3720, 270);
    CheckRepetirRaices = casilla(Frame3, QStringLiteral("Repetir profundidad raices"), 120, 555, 3720, 270);
    CheckRepetirVarCicloCorto = casilla(
        Frame3, QStringLiteral("Repetir varied de ciclo corto: lechugas,rabanitos y escarolas"), 120, 840, 3720, 270);
    // The caption is wider than the frame.
    CheckRepetirVarCicloCorto->setToolTip(CheckRepetirVarCicloCorto->text());
    // Raised whenever the value changes, by the user or by the rebuild.
    connect(CheckRepetirVarCicloCorto, &QCheckBox::toggled, this, [this] { CheckRepetirVarCicloCorto_Click(); });

    FramePlurianualesAlcachofa = marco(
        p, QStringLiteral("Plantas plurianuales. Defina el nº de años para cada una de ellas"), 120, 4560, 7740, 1080);
    const char *plantas[] = {"Alcachofa", "Fresa", "Espárrago"};
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
        Sliders[i] = s;
        // Heard by its digit (the label's own text), described by its plant.
        QLabel *valor = etiqueta(FramePlurianualesAlcachofa, QStringLiteral("2"), x + 1860, 600, 480, 300);
        valor->setAccessibleName(QString());
        valor->setAccessibleDescription(QStringLiteral("Años de %1").arg(planta));
        Valores[i] = valor;
        connect(s, &QSlider::valueChanged, valor, [valor](int v) { valor->setText(QString::number(v)); });
    }

    BtGuardar = boton(p, QStringLiteral("Guardar"), 6600, 5700, 1260, 390);
    hide();
}

void PanelOpciones::showEvent(QShowEvent *e)
{
    QFrame::showEvent(e);
    m_escape->setEnabled(true);
}

void PanelOpciones::hideEvent(QHideEvent *e)
{
    QFrame::hideEvent(e);
    m_escape->setEnabled(false);
}

bool PanelOpciones::eventFilter(QObject *objeto, QEvent *e)
{
    if (objeto == Picture3) {
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)
            Picture3->setLineWidth(e->type() == QEvent::FocusIn ? 2 : 1); // the focus mark
        if (e->type() == QEvent::KeyPress) {
            const int tecla = static_cast<QKeyEvent *>(e)->key();
            if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter || tecla == Qt::Key_Space) {
                emit cerrarPulsado();
                return true;
            }
        }
    }
    return QFrame::eventFilter(objeto, e);
}

void PanelOpciones::cargar(const OpcionesParcela &o)
{
    CheckRepetirFrutos->setChecked(o.repetirFrutos);
    CheckRepetirRaices->setChecked(o.repetirRaices);
    CheckRepetirVarCicloCorto->setChecked(o.cicloCorto);
    const int años[] = {o.alcachofa, o.fresa, o.esparrago};
    for (int i = 0; i < 3; ++i) {
        Sliders[i]->setValue(años[i]);
        Valores[i]->setText(QString::number(años[i]));
    }
}

void PanelOpciones::llenarHojas(int nhojas)
{
    const QSignalBlocker bloqueo(ComboNHojas);
    ComboNHojas->clear();
    for (int n = 3; n <= 7; ++n)
        ComboNHojas->addItem(QString::number(n));
    // Without a plot (an empty garden) the picker still shows a count, and a
    // new plot takes the count shown.
    ComboNHojas->setCurrentIndex(ComboNHojas->findText(QString::number(std::clamp(nhojas, 3, 7))));
}

void PanelOpciones::llenarHeladas(int inicio, int final)
{
    const int bordes[] = {inicio, final};
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker bloqueo(ComboMLH[i]);
        ComboMLH[i]->clear();
        for (int q = 1; q <= 24; ++q)
            ComboMLH[i]->addItem(modBasico::NombreLargoQuincena(q));
        ComboMLH[i]->setCurrentIndex(bordes[i] - 1);
    }
}

OpcionesParcela PanelOpciones::opciones() const
{
    OpcionesParcela o;
    o.hojas = ComboNHojas->currentText().toInt();
    o.inicioSinHeladas = ComboMLH[0]->currentIndex() + 1;
    o.finalSinHeladas = ComboMLH[1]->currentIndex() + 1;
    o.repetirFrutos = CheckRepetirFrutos->checkState() == Qt::Checked;
    o.repetirRaices = CheckRepetirRaices->checkState() == Qt::Checked;
    o.cicloCorto = CheckRepetirVarCicloCorto->checkState() == Qt::Checked;
    o.alcachofa = Sliders[0]->value();
    o.fresa = Sliders[1]->value();
    o.esparrago = Sliders[2]->value();
    return o;
}

bool PanelOpciones::guardar(const QString &parcela)
{
    if (parcela.isEmpty()) { // a database without plots
        Dialogos::AvisarFallo(window(),
                              Rechazo(QStringLiteral("No hay ninguna parcela elegida: crea una antes de guardar sus"
                                                     " opciones.")),
                              {});
        return false;
    }
    try {
        Conexion con;
        GuardarOpcionesParcela(con, parcela, opciones());
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(window(), e,
                              QStringLiteral("no se han guardado las opciones de la parcela <%1>").arg(parcela),
                              QStringLiteral("no se ha cambiado nada: las opciones siguen en pantalla y puedes"
                                             " volver a guardarlas"));
        return false;
    }
    return true;
}

void PanelOpciones::rotular(const QString &parcela)
{
    Controles::rotular(LabelParcelaOpciones, QStringLiteral("Opciones para la parcela: <<<%1>>>").arg(parcela));
}

void PanelOpciones::OptionMeses_Click(int Index)
{
    for (const Preset &o : kPresets) {
        if (o.indice != Index)
            continue;
        const bool bloquear = Index != 0;
        if (bloquear) {
            ComboMLH[0]->setCurrentIndex(o.inicio - 1);
            ComboMLH[1]->setCurrentIndex(o.final - 1);
        }
        for (int i = 0; i < 2; ++i) {
            LabelMeses[i]->setEnabled(!bloquear);
            ComboMLH[i]->setEnabled(!bloquear);
        }
    }
}

void PanelOpciones::CheckRepetirVarCicloCorto_Click()
{
    if (CheckRepetirVarCicloCorto->checkState() == Qt::Checked)
        Dialogos::MsgBox(window(), QStringLiteral("Esta función aún no está completada..."));
}
