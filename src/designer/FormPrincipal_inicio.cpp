// Start-up, and the rebuild of the whole window for the current plot.
#include "designer/FormPrincipal.h"

#include "auxiliary/FormPortada.h"
#include "designer/Controles.h"
#include "catalogue/EditorCatalogo.h"
#include "core/Parcelas.h"
#include "core/EtiquetasHojas.h"
#include "core/ArbolPlan.h"
#include "designer/PanelOpciones.h"
#include "core/modBasico.h"
#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "calendario/PaginaCalendario.h"
#include "mapa/MapaControl.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QIcon>
#include <QListWidget>
#include <QPrinterInfo>
#include <QSignalBlocker>
#include <QTabWidget>

using namespace modBasico;

bool FormPrincipal::Form_Load()
{
    {
        FormPortada portada(this);
        Dialogos::MostrarModal(&portada);
    }
    Iniciando = true;

    const QStringList impresoras = QPrinterInfo::availablePrinterNames();
    for (const QString &nombre : impresoras) {
        ComboImpresoras[0]->addItem(nombre);
        ComboImpresoras[1]->addItem(nombre);
    }
    ComboImpresoras[0]->setCurrentIndex(-1);
    ComboImpresoras[1]->setCurrentIndex(-1);

    EstablecerCadenaConexion(carpetaPrograma);
    AsegurarIndices();
    ListadoParcelas listado;
    try {
        Conexion con;
        listado = ListarParcelas(con);
        BaseSoloLectura = SoloLectura(con);
    } catch (const ErrorBD &e) {
        AvisarFalloArranque(e);
        return false;
    }
    int elegida = listado.ultima;
    if (elegida < 0 && !listado.nombres.isEmpty() && BaseSoloLectura)
        elegida = 0;
    if (elegida < 0 && !listado.nombres.isEmpty()) {
        // No plot is marked as the last one used (a database edited by hand,
        // say): open the first plot and mark it, as a click on it would.
        elegida = 0;
        try {
            Conexion con;
            MarcarUltimaParcela(con, listado.nombres.first());
        } catch (const ErrorBD &) {
        }
    }
    {
        const QSignalBlocker bloqueo(ListaParcelas);
        ListaParcelas->clear();
        ListaParcelas->addItems(listado.nombres);
        if (elegida >= 0)
            ListaParcelas->setCurrentRow(elegida);
    }
    FrameFasesLuna->move(Twips::APixelesX(90), Twips::APixelesY(690));

    try {
        AbrirParcela(elegida >= 0 ? listado.nombres.at(elegida) : QString());
    } catch (const ErrorBD &e) {
        AvisarFalloArranque(e);
        return false;
    }
    Iniciando = false;
    if (BaseSoloLectura)
        Dialogos::MsgBox(this,
                         QStringLiteral("La base de datos %1 es de solo lectura: puedes ver todas las parcelas y sus"
                                        " planes, pero no se podrá guardar ningún cambio.")
                             .arg(CadenaConexion),
                         Dialogos::SoloAceptar, Dialogos::Informacion, QStringLiteral("Atención"));
    // The moon-calendar page: the engine starts once the window is drawn,
    // and nothing waits for the page.
    PaginaBiodinamica->NavegarTrasMostrar(this);
    SSTab1->setCurrentIndex(0);
    return true;
}

void FormPrincipal::AvisarFalloArranque(const ErrorBD &e)
{
    Dialogos::MsgBox(this,
                     QStringLiteral("No se puede usar la base de datos %1: %2.\n\n%3")
                         .arg(CadenaConexion, MotivoFalloBD(e), e.texto()),
                     Dialogos::SoloAceptar, Dialogos::Critico);
}

void FormPrincipal::PrepararRejillas()
{
    CuadriculaFlex *rejillas[] = {MSHFlexTodoAño, MSHFlexBD};
    const int altoFila = Twips::DesdePixelesY(ComboCult[0]->height());
    for (CuadriculaFlex *g : rejillas) {
        g->setFilas(5);
        for (int r = 0; r < g->filas(); ++r)
            g->setAltoFilaTwips(r, altoFila);
        g->setColumnas(25);
        for (int c = 1; c <= 24; ++c) {
            g->setAnchoColumnaTwips(c, 305);
            g->setColumnaCentrada(c);
        }
    }
    MSHFlexTodoAño->setTexto(0, 0, QStringLiteral("Cultivo"));
    MSHFlexTodoAño->setAnchoColumnaTwips(0, 2350);

    // The four crop pickers lie over column 0 of rows 1 to 4.
    for (int k = 0; k < 4; ++k) {
        MSHFlexTodoAño->setCelda(k + 1, 0);
        const QRect celda = MSHFlexTodoAño->rectCelda(k + 1, 0);
        const QPoint esquina = MSHFlexTodoAño->pos() + celda.topLeft();
        ComboCult[k]->setGeometry(esquina.x(), esquina.y() - Twips::APixelesY(20), celda.width(),
                                  ComboCult[k]->height());
        ComboCult[k]->raise();
    }

    // Season colours of the header cells, then the fortnight codes.
    for (CuadriculaFlex *g : rejillas)
        for (int c = 1; c <= 24; ++c)
            g->setColorFondo(0, c, ColorEstacion(c));
    const QStringList codigos = ColeccionQuincenas();
    for (int f = 1; f <= 24 && f <= codigos.size(); ++f) {
        MSHFlexTodoAño->setTexto(0, f, codigos.at(f - 1));
        MSHFlexBD->setTexto(0, f, codigos.at(f - 1));
    }
    MSHFlexBD->setTexto(1, 0, QStringLiteral("siembra/tras"));
    for (int f = 1; f <= 24; ++f)
        MSHFlexBD->setTexto(4, f, QString::number(f));
}

void FormPrincipal::MarcarHeladas()
{
    // The marks of the plot shown before go first.
    for (int r = 1; r <= 4; ++r)
        for (int c = 0; c <= 24; ++c)
            if (MSHFlexTodoAño->tieneImagen(r, c))
                MSHFlexTodoAño->quitarImagen(r, c);
    // One icon for the program's life: each new one draws its picture anew
    // into Qt's shared pixmap cache under a key of its own, which no later
    // rebuild asks for again, so every plot switch would leave one behind.
    static const QIcon icono(QStringLiteral(":/iconos/heladas.svg"));
    const QPixmap heladas = icono.pixmap(32, 32);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 24; ++c)
            if (Sesion.conHelada(c))
                MSHFlexTodoAño->setImagen(r, c, heladas);
}

void FormPrincipal::Inicia_Todo()
{
    AbrirParcela(Sesion.parcela());
}

void FormPrincipal::AbrirParcela(const QString &parcela)
{
    // Everything the rebuild shows is read first: a failing database leaves
    // the window as it was, and the caller tells the user.
    const int año = QDate::currentDate().year();
    QStringList nombres;
    SesionHoja::Parcela leida;
    QHash<int, QString> etiquetas;
    ArbolPlan::Arbol arbol;
    {
        Conexion con;
        nombres = NombresHorticolas(con);
        leida = SesionHoja::leerParcela(con, parcela);
        if (!parcela.isEmpty()) {
            etiquetas = TextosEtiquetas(con, parcela, año);
            arbol = ArbolPlan::CargarArbol(con, parcela, año);
        }
    }

    Sesion.abrirParcela(leida, año);
    if (Sesion.hoja() < 1)
        Controles::rotular(FrameCultivo, QStringLiteral("Hoja :"));
    if (ComboImpresoras[0]->count() > 0) {
        ComboImpresoras[0]->setCurrentIndex(0);
        ComboImpresoras[1]->setCurrentIndex(ComboImpresoras[1]->findText(ComboImpresoras[0]->itemText(0)));
    }
    IniciaColores();
    Map1->setSendMouseUp(true);
    Map1->setSendSelectBoxFinal(true);
    PrepararRejillas();
    CapasMapa.clear();
    Map1->setCursorMode(MapaControl::cmSelection);

    {
        const QSignalBlocker bloqueo(ComboTodasHortalizas);
        ComboTodasHortalizas->clear();
        ComboTodasHortalizas->addItems(nombres);
        ComboTodasHortalizas->setCurrentIndex(-1);
    }

    refrescaMapa(etiquetas);

    // The switches and sliders; ticking the short-cycle switch shows its
    // notice.
    if (leida.opciones)
        panelOpciones->cargar(*leida.opciones);

    MarcarHeladas();

    panelOpciones->llenarHojas(Sesion.nhojas());
    if (ComboNHojas->currentIndex() >= 0)
        ComboNHojas_Click();
    else
        Map2->RemoveAllLayers();
    // Giving the frost-free pickers their entry raises nothing.
    panelOpciones->llenarHeladas(Sesion.inicioLibreHeladas(), Sesion.finalLibreHeladas());

    // The catalogue editor's data control, on its first crop by name.
    EditorPlantas->EnlazarDatos(CadenaConexion);

    MostrarArbol(arbol);
}
