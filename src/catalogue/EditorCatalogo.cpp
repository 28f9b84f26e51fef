#include "catalogue/EditorCatalogo.h"

#include "core/CatalogoEditable.h"
#include "core/Conexion.h"
#include "core/modBasico.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QDataWidgetMapper>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>

using namespace modBasico;

namespace {

using Twips::Colocar;

QString columnaDe(const QModelIndex &i)
{
    const auto *m = qobject_cast<const QSqlQueryModel *>(i.model());
    return m ? m->record().fieldName(i.column()) : QString();
}

// Moves values between the fields and the record set as the catalogue keeps
// them: fortnights shown with two digits, an empty field stored as Null, and
// nothing written unless the user changed what the field showed.
class DelegadoCampos : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setEditorData(QWidget *editor, const QModelIndex &i) const override
    {
        const QString texto = CatalogoEditable::Mostrar(columnaDe(i), i.data(Qt::EditRole));
        if (auto *l = qobject_cast<QLineEdit *>(editor)) {
            l->setText(texto);
            l->setCursorPosition(0);
        } else if (auto *c = qobject_cast<QComboBox *>(editor)) {
            // A stored value that the list does not offer is shown as an extra
            // entry, so it is seen and kept.
            const int fijas = c->property("fijas").toInt();
            while (c->count() > fijas)
                c->removeItem(c->count() - 1);
            int n = texto.isEmpty() ? -1 : c->findText(texto, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (n < 0 && !texto.isEmpty()) {
                c->addItem(texto);
                n = c->count() - 1;
            }
            c->setCurrentIndex(n);
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *modelo, const QModelIndex &i) const override
    {
        QString texto;
        if (auto *l = qobject_cast<QLineEdit *>(editor))
            texto = l->text();
        else if (auto *c = qobject_cast<QComboBox *>(editor))
            texto = c->currentText();
        const QString columna = columnaDe(i);
        if (texto != CatalogoEditable::Mostrar(columna, i.data(Qt::EditRole)))
            modelo->setData(i, CatalogoEditable::Leer(columna, texto));
    }
};

} // namespace

ControlDatos::ControlDatos(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    auto flecha = [this](const QString &texto, const QString &nombre) {
        auto *b = new QToolButton(this);
        b->setText(texto);
        b->setAccessibleName(nombre);
        b->setToolTip(nombre);
        return b;
    };
    BtPrimero = flecha(QStringLiteral("|◀"), QStringLiteral("Primer registro"));
    BtAnterior = flecha(QStringLiteral("◀"), QStringLiteral("Registro anterior"));
    Etiqueta = new QLabel(this);
    Etiqueta->setAlignment(Qt::AlignCenter);
    BtSiguiente = flecha(QStringLiteral("▶"), QStringLiteral("Registro siguiente"));
    BtUltimo = flecha(QStringLiteral("▶|"), QStringLiteral("Último registro"));
    const int alto = Twips::APixelesY(360), flechaAncho = Twips::APixelesX(420), ancho = Twips::APixelesX(5040);
    BtPrimero->setGeometry(0, 0, flechaAncho, alto);
    BtAnterior->setGeometry(flechaAncho, 0, flechaAncho, alto);
    Etiqueta->setGeometry(2 * flechaAncho, 0, ancho - 4 * flechaAncho, alto);
    BtSiguiente->setGeometry(ancho - 2 * flechaAncho, 0, flechaAncho, alto);
    BtUltimo->setGeometry(ancho - flechaAncho, 0, flechaAncho, alto);
    setCaption(QString());
}

void ControlDatos::setCaption(const QString &texto)
{
    Etiqueta->setText(texto);
    Etiqueta->setAccessibleName(texto.isEmpty() ? QStringLiteral("Registro") : texto);
}

QString ControlDatos::caption() const
{
    return Etiqueta->text();
}

EditorCatalogo::EditorCatalogo(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Editor de la base de datos de plantas"));
    Registros = new CatalogoEditable(this);
    m_mapper = new QDataWidgetMapper(this);
    m_mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    m_mapper->setItemDelegate(new DelegadoCampos(m_mapper));
    TimerHort = new QTimer(this);
    TimerHort->setSingleShot(true);
    construir();

    connect(Registros, &CatalogoEditable::modeloCambiado, this, [this] { vincular(); });
    connect(Registros, &CatalogoEditable::movido, this, [this] { datPrimaryRS_MoveComplete(); });
    connect(TimerHort, &QTimer::timeout, this, [this] { TimerHort_Timer(); });
    connect(ComboTodasHortalizas, qOverload<int>(&QComboBox::activated), this, [this] { ComboTodasHortalizas_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(datPrimaryRS->BtPrimero, &QToolButton::clicked, this, [this] { navegar(&CatalogoEditable::moverPrimero); });
    connect(datPrimaryRS->BtAnterior, &QToolButton::clicked, this, [this] { navegar(&CatalogoEditable::moverAnterior); });
    connect(datPrimaryRS->BtSiguiente, &QToolButton::clicked, this,
            [this] { navegar(&CatalogoEditable::moverSiguiente); });
    connect(datPrimaryRS->BtUltimo, &QToolButton::clicked, this, [this] { navegar(&CatalogoEditable::moverUltimo); });
    mostrarRegistro();
}

EditorCatalogo::~EditorCatalogo() = default;

void EditorCatalogo::construir()
{
    ComboTodasHortalizas = Colocar(new QComboBox(this), 120, 120, 3600, 330, QString());
    ComboTodasHortalizas->setAccessibleDescription(QStringLiteral("Hortaliza"));
    ComboTodasHortalizas->setEditable(false);
    ComboTodasHortalizas->setMaxVisibleItems(20);

    // The right column's captions are longer: its boxes start further in.
    auto caja = [this](int indice, const QString &columna, const QString &rotulo, int x, int y) {
        const int rotuloAncho = x < 5000 ? 1980 : 2400;
        lblLabels[indice] = Colocar(new QLabel(rotulo, this), x, y + 30, rotuloAncho, 300, rotulo);
        txtFields[indice] = Colocar(new QLineEdit(this), x + rotuloAncho + 60, y, x < 5000 ? 3000 : 3180, 315, rotulo);
        m_campos.append({txtFields[indice], columna});
    };
    auto lista = [this](int indice, const QString &columna, const QString &rotulo, const QStringList &opciones,
                        int x, int y) {
        lblLabels[indice] = Colocar(new QLabel(rotulo, this), x, y + 30, 1980, 300, rotulo);
        // Heard by what it shows, told apart by its caption.
        auto *c = Colocar(new QComboBox(this), x + 2040, y, 3000, 315, QString());
        c->setAccessibleDescription(rotulo);
        lblLabels[indice]->setBuddy(c);
        c->addItems(opciones);
        c->setProperty("fijas", opciones.size());
        m_campos.append({c, columna});
        return c;
    };
    // Left column, then right column; 360 twips a row.
    int y = 600;
    caja(0, QStringLiteral("Nombre"), QStringLiteral("Nombre:"), 120, y);
    caja(1, QStringLiteral("Latin"), QStringLiteral("Latin:"), 120, y += 360);
    Combo3 = lista(2, QStringLiteral("Profundidad_raices"), QStringLiteral("Profundidad_raices:"),
                   CatalogoEditable::ProfundidadesRaices(), 120, y += 360);
    Combo1 = lista(3, QStringLiteral("Familia"), QStringLiteral("Familia:"), CatalogoEditable::Familias(), 120,
                   y += 360);
    Combo2 = lista(4, QStringLiteral("Parte_aprovechable"), QStringLiteral("Parte aprovechable:"),
                   CatalogoEditable::PartesAprovechables(), 120, y += 360);
    caja(5, QStringLiteral("Abonado"), QStringLiteral("Necesidad abonado:"), 120, y += 360);
    caja(6, QStringLiteral("asoc_desfavorable"), QStringLiteral("asoc desfavorable:"), 120, y += 360);
    caja(7, QStringLiteral("asoc_favorable"), QStringLiteral("asoc favorable:"), 120, y += 360);
    y = 600;
    caja(8, QStringLiteral("carencias_correccion"), QStringLiteral("carencias, corrección:"), 5280, y);
    caja(9, QStringLiteral("carencias_posibles"), QStringLiteral("carencias posibles:"), 5280, y += 360);
    caja(10, QStringLiteral("enfermedades_posibles"), QStringLiteral("enfermedades posibles:"), 5280, y += 360);
    caja(11, QStringLiteral("enfermedades_tratamiento"), QStringLiteral("enfermedades,tratamiento:"), 5280, y += 360);
    caja(13, QStringLiteral("labor"), QStringLiteral("labor:"), 5280, y += 360);
    caja(14, QStringLiteral("Precedente"), QStringLiteral("Precedente:"), 5280, y += 360);
    caja(17, QStringLiteral("riego"), QStringLiteral("riego:"), 5280, y += 360);

    // The two windows: fortnight pickers and days to harvest, one row each.
    FrameSiembras = Colocar(new QGroupBox(QStringLiteral("Quincena: siembras / Transplante"), this), 120, 3600, 3720,
                           1140, QStringLiteral("Quincena: siembras / Transplante"));
    FrameCosecha = Colocar(new QGroupBox(QStringLiteral("Días hasta recolección. Mínimo- máximo"), this), 3960, 3600,
                          3720, 1140, QStringLiteral("Días hasta recolección. Mínimo- máximo"));
    QStringList quincenas;
    for (int q = 1; q <= 24; ++q)
        quincenas << QStringLiteral("%1").arg(q, 2, 10, QLatin1Char('0'));
    const char *siembras[] = {"Siembra_1_I", "Siembra_1_F", "Siembra_2_F", "Siembra_2_I"};
    const char *cosechas[] = {"Cosecha_1_min", "Cosecha_1_max", "Cosecha_2_min", "Cosecha_2_max"};
    for (int epoca = 0; epoca < 2; ++epoca) {
        const QString rotulo = QStringLiteral("Época %1:").arg(epoca + 1);
        const int fy = 330 + epoca * 420;
        for (QGroupBox *marco : {FrameSiembras, FrameCosecha})
            Colocar(new QLabel(rotulo, marco), 120, fy + 30, 900, 300, rotulo);
        // Row "Época 2:" shows picker 3 (its first fortnight), then picker 2.
        const int primero = epoca == 0 ? 0 : 3, ultimo = epoca == 0 ? 1 : 2;
        const int indices[2] = {primero, ultimo};
        for (int k = 0; k < 2; ++k) {
            const int i = indices[k];
            const QString desde = k == 0 ? QStringLiteral("primera") : QStringLiteral("última");
            Combo4[i] = Colocar(new QComboBox(FrameSiembras), 1080 + k * 1260, fy, 1140, 315, QString());
            Combo4[i]->setAccessibleDescription(QStringLiteral("Época %1: %2 quincena").arg(epoca + 1).arg(desde));
            Combo4[i]->addItems(quincenas);
            Combo4[i]->setProperty("fijas", quincenas.size());
            m_campos.append({Combo4[i], QString::fromLatin1(siembras[i])});
            const int j = epoca * 2 + k;
            Text1[j] = Colocar(new QLineEdit(FrameCosecha), 1080 + k * 1260, fy, 1140, 315,
                              QStringLiteral("Época %1: días %2").arg(epoca + 1).arg(k == 0 ? "mínimos" : "máximos"));
            m_campos.append({Text1[j], QString::fromLatin1(cosechas[j])});
        }
    }

    // Tab walks one frame, then the other.
    QWidget *antes = Combo4[0];
    for (QWidget *c : {static_cast<QWidget *>(Combo4[1]), static_cast<QWidget *>(Combo4[3]),
                       static_cast<QWidget *>(Combo4[2]), static_cast<QWidget *>(Text1[0]),
                       static_cast<QWidget *>(Text1[1]), static_cast<QWidget *>(Text1[2]),
                       static_cast<QWidget *>(Text1[3])}) {
        QWidget::setTabOrder(antes, c);
        antes = c;
    }

    // Column 0 takes what the 24 fortnights leave inside the frame.
    MSHFlexBD = Colocar(new CuadriculaFlex(this), 120, 4860, 8175, 1575, QStringLiteral("Épocas de siembra"));
    MSHFlexBD->setFilas(5);
    MSHFlexBD->setColumnas(25);
    MSHFlexBD->setNombreCelda([](int fila, int columna) { return fila == 0 ? modBasico::QuincenaEnLetra(columna) : QString(); });
    MSHFlexBD->setColumnWidth(0, MSHFlexBD->width() - 2 * MSHFlexBD->frameWidth() - 24 * Twips::APixelesX(305));

    picButtons = Colocar(new QFrame(this), 120, 6600, 6360, 420, QStringLiteral("Botones del catálogo"));
    const QString botones[] = {QStringLiteral("Ag&regar"), QStringLiteral("A&ctualizar"), QStringLiteral("&Eliminar"),
                               QStringLiteral("Reno&var")};
    std::array<QPushButton *, 4> b{};
    for (int i = 0; i < 4; ++i) {
        b[i] = Colocar(new QPushButton(botones[i], picButtons), i * 1590, 30, 1500, 360,
                      QString(botones[i]).remove(QLatin1Char('&')));
    }
    cmdAdd = b[0];
    cmdUpdate = b[1];
    cmdDelete = b[2];
    cmdRefresh = b[3];

    datPrimaryRS = Colocar(new ControlDatos(this), 120, 7140, 5040, 360, QStringLiteral("Registros del catálogo"));
}

void EditorCatalogo::vincular()
{
    QSqlTableModel *modelo = Registros->modelo();
    m_mapper->clearMapping();
    m_mapper->setModel(modelo);
    for (const auto &[w, columna] : m_campos) {
        const int c = modelo->fieldIndex(columna);
        if (c >= 0)
            m_mapper->addMapping(w, c);
    }
}

void EditorCatalogo::EnlazarDatos(const QString &cadena)
{
    confirmarCampos();
    m_cadena = cadena;
    m_errorMostrado = false;
    try {
        Registros->enlazar(cadena);
    } catch (const Fallo &e) {
        datPrimaryRS_Error(ExplicarFallo(e, QStringLiteral("no se ha leído el catálogo de hortalizas"),
                                         Registros->hayCambios() ? QStringLiteral("los cambios siguen pendientes")
                                                                 : QStringLiteral("vuelve a intentarlo")));
    }
}

void EditorCatalogo::confirmarCampos()
{
    if (Registros->enRegistro() && m_mapper->model() == Registros->modelo())
        m_mapper->submit();
}

bool EditorCatalogo::HayCambios()
{
    confirmarCampos();
    return Registros->hayCambios();
}

void EditorCatalogo::mostrarRegistro()
{
    const bool hay = Registros->enRegistro();
    for (const auto &par : m_campos)
        par.first->setEnabled(hay);
    if (hay) {
        m_mapper->setCurrentIndex(Registros->actual());
        return;
    }
    // No current record: the fields stand empty, with nothing to edit.
    for (const auto &par : m_campos) {
        if (auto *l = qobject_cast<QLineEdit *>(par.first))
            l->clear();
        else if (auto *c = qobject_cast<QComboBox *>(par.first))
            c->setCurrentIndex(-1);
    }
}

template <typename Mover> void EditorCatalogo::navegar(Mover mover)
{
    confirmarCampos();
    (Registros->*mover)();
}

void EditorCatalogo::datPrimaryRS_MoveComplete()
{
    if (!BuscandoHortaliza)
        mostrarRegistro();
    RellenaFechasSiembraHortalizas();
}

void EditorCatalogo::datPrimaryRS_Error(const QString &Description)
{
    Dialogos::MsgBox(this, QStringLiteral("Data error event hit err:") + Description, Dialogos::SoloAceptar);
}

void EditorCatalogo::RellenaFechasSiembraHortalizas()
{
    datPrimaryRS->setCaption(QStringLiteral("Registro: %1").arg(Registros->posicion()));
    if (BuscandoHortaliza || MSHFlexBD->columnas() < 5)
        return;
    SiembraHortaliza s;
    bool leida = false;
    if (Registros->enRegistro()) {
        try {
            Conexion con(m_cadena);
            s = LeerSiembra(con, Registros->nombreActual());
            leida = true;
            m_errorMostrado = false;
        } catch (const Fallo &e) {
            // Told once, however many moves meet the same failure.
            if (!m_errorMostrado) {
                m_errorMostrado = true;
                Dialogos::AvisarFallo(this, e,
                                      QStringLiteral("no se han leído las épocas de siembra de «%1»")
                                          .arg(Registros->nombreActual()),
                                      QStringLiteral("los cambios pendientes se conservan"));
            }
        }
    }
    for (int c = 1; c <= 24; ++c)
        MSHFlexBD->setColorFondo(1, c, s.quincenas.contains(c) ? ColorSiembra : ColorVacio);
    if (leida && s.hayFilas)
        MSHFlexBD->setTexto(2, 0, s.textoCosecha);
}

void EditorCatalogo::ComboTodasHortalizas_Click()
{
    if (!Registros->enlazado())
        return;
    confirmarCampos();
    const QString buscada = ComboTodasHortalizas->currentText();
    BuscandoHortaliza = true;
    Registros->moverA(Registros->buscar(buscada));
    BuscandoHortaliza = false;
    mostrarRegistro();
    TimerHort->start(300);
}

void EditorCatalogo::TimerHort_Timer()
{
    TimerHort->stop();
    RellenaFechasSiembraHortalizas();
}

void EditorCatalogo::cmdAdd_Click()
{
    confirmarCampos();
    Registros->agregar();
    txtFields[0]->setFocus();
}

void EditorCatalogo::cmdUpdate_Click()
{
    confirmarCampos();
    try {
        Registros->guardar();
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha guardado %1").arg(Registros->fallida()),
                              QStringLiteral("no se ha escrito ningún cambio y siguen pendientes; vuelve a pulsar"
                                             " «Actualizar» cuando se pueda"));
    }
}

void EditorCatalogo::cmdDelete_Click()
{
    confirmarCampos();
    if (!Registros->enRegistro()) {
        Dialogos::MsgBox(this, QStringLiteral("No hay ninguna hortaliza en pantalla."), Dialogos::SoloAceptar);
        return;
    }
    Dialogos::MsgBox(this, Registros->nombreActual(), Dialogos::SoloAceptar);
    Registros->moverSiguiente();
    if (Registros->alFinal())
        Registros->moverUltimo();
}

void EditorCatalogo::cmdRefresh_Click()
{
    confirmarCampos();
    if (Registros->hayCambios()
        && Dialogos::MsgBox(this,
                            QStringLiteral("Hay cambios del catálogo sin guardar. ¿Descartarlos y volver a leer"
                                           " las hortalizas de la base de datos?"),
                            Dialogos::SiNo, Dialogos::Pregunta, QString(), Dialogos::No)
               != Dialogos::Si)
        return;
    try {
        Registros->releer();
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha vuelto a leer el catálogo"),
                              QStringLiteral("los cambios siguen en pantalla"));
    }
}
