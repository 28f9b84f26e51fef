// The plot list (switching, creating and deleting plots) and the opening,
// closing and saving of the plot-options panel.
#include "designer/FormPrincipal.h"

#include "core/Conexion.h"
#include "core/Parcelas.h"
#include "designer/Controles.h"
#include "designer/PanelOpciones.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "widgets/Pulsacion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <optional>

namespace {

const QString kMarcador = QStringLiteral("Escribe Texto Aquí");

// Selects the plot's entry without raising the switch.
void seleccionar(QListWidget *lista, const QString &nombre)
{
    const QSignalBlocker bloqueo(lista);
    for (int i = 0; i < lista->count(); ++i)
        if (lista->item(i)->text() == nombre)
            lista->setCurrentRow(i);
}

} // namespace

void FormPrincipal::conectarEventosParcelas()
{
    // Selecting another plot (a press on it, the keyboard, or code) switches at
    // once; a click on the plot already selected switches too, on release.
    connect(ListaParcelas, &QListWidget::currentRowChanged, this, [this] { ListaParcelas_Click(); });
    AlApretar(ListaParcelas->viewport(), [this] { m_cambiosAlPulsar = m_cambiosParcela; });
    connect(ListaParcelas, &QListWidget::itemClicked, this, [this] {
        if (m_cambiosParcela == m_cambiosAlPulsar)
            ListaParcelas_Click();
    });
    connect(CheckCrearParcela, &QCheckBox::toggled, this, [this] { CheckCrearParcela_Click(); });
    AlPulsar(TextCrearNuevaParcela, [this] { TextCrearNuevaParcela_Click(); });
    connect(BtCrearNuevaParcela, &QPushButton::clicked, this, [this] { BtCrearNuevaParcela_Click(); });
    connect(BtBorrarParcela, &QPushButton::clicked, this, [this] { BtBorrarParcela_Click(); });
    // Raised whenever the value changes, by the user or by code.
    connect(CheckParcelasOpciones, &QCheckBox::toggled, this, [this] { CheckParcelasOpciones_Click(); });
    connect(panelOpciones, &PanelOpciones::cerrarPulsado, this, [this] { Picture3_Click(); });
    connect(BtGuardar, &QPushButton::clicked, this, [this] { BtGuardar_Click(); });
}

void FormPrincipal::QuitarHeladas()
{
    for (int c = 1; c <= 24; ++c)
        for (int r = 1; r <= 4; ++r)
            MSHFlexTodoAño->quitarImagen(r, c);
}

bool FormPrincipal::Reconstruir(const QString &parcela)
{
    try {
        AbrirParcela(parcela);
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha leído la parcela <%1>").arg(parcela),
                              QStringLiteral("la ventana sigue como estaba; vuelve a intentarlo"));
        return false;
    }
    Controles::rotular(BtBorrarParcela, QStringLiteral("Borrar ") + Sesion.parcela());
    return true;
}

void FormPrincipal::ListaParcelas_Click()
{
    if (BorrandoParcela || Iniciando || !ListaParcelas->currentItem())
        return;
    ++m_cambiosParcela;
    const QString nombre = ListaParcelas->currentItem()->text();
    // The plot as stored now: another copy of the program on the same file
    // may have deleted it, or left it fewer sheets than the one open here.
    // A file that cannot be read now is told by the steps below, after the
    // question about the open sheet, as for any gesture.
    bool leida = false;
    std::optional<OpcionesParcela> guardada;
    try {
        Conexion con;
        guardada = LeerOpcionesParcela(con, nombre);
        leida = true;
    } catch (const Fallo &) {
    }
    if (leida && !guardada) {
        // The list is filled again once its own press or key is over.
        SeleccionarParcelaAbierta();
        QMetaObject::invokeMethod(
            this, [this, nombre] { ParcelaDesaparecida(nombre); }, Qt::QueuedConnection);
        return;
    }
    // Another plot, this one opened again on another year, or on fewer sheets
    // than the open one has, leaves the open sheet.
    const bool misma = nombre == Sesion.parcela();
    const int hojaPerdida = guardada && misma && Sesion.hoja() > guardada->hojas ? Sesion.hoja() : 0;
    if ((!misma || Sesion.año() != QDate::currentDate().year() || hojaPerdida) && !SoltarHoja()) {
        SeleccionarParcelaAbierta();
        return;
    }
    try {
        // A read-only file is browsed without the last-used mark.
        if (!BaseSoloLectura) {
            Conexion con;
            MarcarUltimaParcela(con, nombre);
        }
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha cambiado a la parcela <%1>").arg(nombre),
                              QStringLiteral("sigues en la parcela <%1>").arg(Sesion.parcela()));
        seleccionar(ListaParcelas, Sesion.parcela());
        return;
    }
    const int año = Sesion.año();
    // The same plot again: the rebuild keeps its open sheet, now on the
    // current year, whose crops are read in.
    if (!Reconstruir(nombre))
        return;
    if (Sesion.año() != año)
        RecargarHojaAbierta(QStringLiteral("elige la hoja otra vez en el mapa"));
    if (hojaPerdida)
        Dialogos::MsgBox(this,
                         QStringLiteral("La hoja %1 ya no existe: la parcela <%2> tiene ahora %3 hojas (se ha cambiado"
                                        " desde otra copia del programa que usa el mismo fichero). Elige una de sus"
                                        " hojas en el mapa.")
                             .arg(hojaPerdida)
                             .arg(nombre)
                             .arg(guardada->hojas),
                         Dialogos::SoloAceptar, Dialogos::Exclamacion, QStringLiteral("Atención"));
}

void FormPrincipal::SeleccionarParcelaAbierta()
{
    seleccionar(ListaParcelas, Sesion.parcela());
    // A mouse press goes on to select the row pressed once the handler
    // returns: the plot's row is selected again after it.
    QMetaObject::invokeMethod(
        this, [this] { seleccionar(ListaParcelas, Sesion.parcela()); }, Qt::QueuedConnection);
}

void FormPrincipal::ParcelaDesaparecida(const QString &nombre)
{
    Dialogos::MsgBox(this,
                     QStringLiteral("La parcela <%1> ya no existe en la base de datos: se ha borrado desde otra copia"
                                    " del programa que usa el mismo fichero. Se vuelve a leer la lista de parcelas.")
                         .arg(nombre),
                     Dialogos::SoloAceptar, Dialogos::Exclamacion, QStringLiteral("Atención"));
    ListadoParcelas listado;
    try {
        Conexion con;
        listado = ListarParcelas(con);
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha vuelto a leer la lista de parcelas"),
                              QStringLiteral("sigues en la parcela <%1>").arg(Sesion.parcela()));
        return;
    }
    // The open plot stays when it still exists; otherwise, as after a
    // deletion, the one marked as the last used, or else the first.
    QString abrir = Sesion.parcela();
    const bool sigue = listado.nombres.contains(abrir);
    if (!sigue)
        abrir = listado.ultima >= 0 ? listado.nombres.at(listado.ultima) : listado.nombres.value(0);
    if (!sigue && !SoltarHoja())
        return;
    LlenarListaParcelas(listado.nombres, abrir);
    if (sigue)
        return;
    if (!abrir.isEmpty() && !BaseSoloLectura && listado.ultima < 0) {
        // Marked as a click on it would, as at start-up: a failure only
        // leaves no plot marked.
        try {
            Conexion con;
            MarcarUltimaParcela(con, abrir);
        } catch (const Fallo &) {
        }
    }
    Reconstruir(abrir);
}

void FormPrincipal::LlenarListaParcelas(const QStringList &nombres, const QString &elegida)
{
    const QSignalBlocker bloqueo(ListaParcelas);
    ListaParcelas->clear();
    ListaParcelas->addItems(nombres);
    seleccionar(ListaParcelas, elegida);
}

void FormPrincipal::RecargarHojaAbierta(const QString &queda)
{
    if (Sesion.hoja() < 1)
        return;
    try {
        CargarHojaElegida(Sesion.hoja(), Sesion.año());
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se han leído los cultivos de la hoja %1").arg(Sesion.hoja()),
                              queda);
    }
}

void FormPrincipal::CheckCrearParcela_Click()
{
    FrameNuevaParcela->setVisible(CheckCrearParcela->checkState() == Qt::Checked);
}

void FormPrincipal::TextCrearNuevaParcela_Click()
{
    TextCrearNuevaParcela->clear();
}

void FormPrincipal::BtCrearNuevaParcela_Click()
{
    QLineEdit *caja = TextCrearNuevaParcela;
    const QString nombre = caja->text();
    if (nombre == kMarcador)
        return;
    // The new plot is opened at once: the open sheet is left first, and only
    // once.
    if (!SoltarHoja())
        return;
    const QScopedValueRollback<bool> soltada(m_hojaSoltada, true);
    // The new plot takes what the options panel shows, saved or not.
    const OpcionesParcela o = panelOpciones->opciones();
    try {
        Conexion con;
        CrearParcela(con, nombre, o.hojas, o.inicioSinHeladas, o.finalSinHeladas);
    } catch (const Fallo &e) {
        Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha creado la parcela <%1>").arg(nombre),
                              QStringLiteral("no se ha cambiado nada"));
        return;
    }
    ListaParcelas->addItem(nombre.trimmed()); // as stored
    ListaParcelas->setCurrentRow(ListaParcelas->count() - 1); // switches to it
    caja->setText(kMarcador);
    FrameNuevaParcela->hide();
    CheckCrearParcela->setChecked(false);
    // On to the new plot's options.
    panelOpciones->rotular(Sesion.parcela());
    PictureOpcionesParcelas->show();
    PictureOpcionesParcelas->raise();
}

void FormPrincipal::BtBorrarParcela_Click()
{
    // The switch stays inert until the deletion ends, however it ends.
    struct Guarda
    {
        bool &b;
        ~Guarda() { b = false; }
    } guarda{BorrandoParcela = true};

    if (ListaParcelas->count() <= 1) {
        Dialogos::MsgBox(this, QStringLiteral("No está permitido borrar todas las parcelas"), Dialogos::SoloAceptar,
                         Dialogos::Informacion, QStringLiteral("Atención"));
        return;
    }
    if (!SoltarHoja())
        return;
    const auto respuesta = Dialogos::MsgBox(
        this, QStringLiteral("¿Deseas borrar esta parcela: <%1> y todos sus datos?").arg(Sesion.parcela()),
        Dialogos::SiNo, Dialogos::Critico, QStringLiteral("¡ Atención !"), Dialogos::No);
    if (respuesta == Dialogos::Si) {
        std::optional<ListadoParcelas> quedan;
        try {
            Conexion con;
            quedan = BorrarParcela(con, Sesion.parcela());
        } catch (const Fallo &e) {
            Dialogos::AvisarFallo(this, e, QStringLiteral("no se ha borrado la parcela <%1>").arg(Sesion.parcela()),
                                  QStringLiteral("no se ha borrado nada"));
        }
        if (quedan) {
            // The plot marked as the last one used becomes current.
            const QString nueva = quedan->ultima >= 0 ? quedan->nombres.at(quedan->ultima) : QString();
            LlenarListaParcelas(quedan->nombres, nueva);
            Reconstruir(nueva);
        }
    }
    Picture3_Click();
}

void FormPrincipal::CheckParcelasOpciones_Click()
{
    const bool abierto = CheckParcelasOpciones->checkState() != Qt::Unchecked;
    PictureOpcionesParcelas->setVisible(abierto);
    if (abierto)
        PictureOpcionesParcelas->raise();
    Controles::rotular(CheckParcelasOpciones, abierto ? QStringLiteral("Opciones <<<<<") : QStringLiteral("Opciones >>>>>"));
    panelOpciones->rotular(Sesion.parcela());
    ListaParcelas->setEnabled(!abierto);
}

void FormPrincipal::Picture3_Click()
{
    PictureOpcionesParcelas->hide();
    CheckParcelasOpciones->setChecked(false);
    // Also when the panel was opened without the box (after a creation).
    ListaParcelas->setEnabled(true);
    Controles::rotular(CheckParcelasOpciones, QStringLiteral("Opciones >>>>>"));
}

void FormPrincipal::BtGuardar_Click()
{
    // The saved options reload the open sheet. A refused save has been
    // reported; the panel stays open as edited.
    if (!SoltarHoja() || !panelOpciones->guardar(Sesion.parcela()))
        return;
    QuitarHeladas();
    const bool reconstruida = Reconstruir(Sesion.parcela());
    Picture3_Click();
    // A sheet the plot no longer has (fewer sheets saved) is not reloaded:
    // the rebuild left none.
    if (reconstruida)
        RecargarHojaAbierta(QStringLiteral("las opciones sí se han guardado"));
}
