// Start-up, and the rebuild of the whole window for the current plot.
#include "designer/FormPrincipal.h"

#include "auxiliary/FormPortada.h"
#include "core/Parcelas.h"
#include "core/modBasico.h"
#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"
#include "catalogue/PaginaCalendario.h"
#include "mapa/MapaControl.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPrinterInfo>
#include <QSignalBlocker>
#include <QSlider>
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
    try {
        Conexion con;
        const ListadoParcelas listado = ListarParcelas(con);
        {
            const QSignalBlocker bloqueo(ListaParcelas);
            ListaParcelas->clear();
            ListaParcelas->addItems(listado.nombres);
        }
        int elegida = listado.ultima;
        if (elegida < 0 && !listado.nombres.isEmpty()) {
            // No plot is marked as the last one used (a database edited by
            // hand, say): open the first plot and mark it, as a click on it
            // would.
            elegida = 0;
            MarcarUltimaParcela(con, listado.nombres.first());
        }
        if (elegida >= 0) {
            ListaParcelas->setCurrentRow(elegida);
            ParcelaActual = listado.nombres.at(elegida);
        }
    } catch (const ErrorBD &e) {
        Dialogos::MsgBox(this, e.texto(), Dialogos::SoloAceptar, Dialogos::Critico);
        return false;
    }

    FrameFasesLuna->move(Twips::APixelesX(90), Twips::APixelesY(690));

    try {
        Inicia_Todo();
    } catch (const ErrorBD &e) {
        Dialogos::MsgBox(this, e.texto(), Dialogos::SoloAceptar, Dialogos::Critico);
        return false;
    }
    Iniciando = false;
    // The moon-calendar page: the engine starts once the window is drawn,
    // and nothing waits for the page.
    PaginaBiodinamica->NavegarTrasMostrar(this);
    SSTab1->setCurrentIndex(0);
    return true;
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
    if (MesInicioLibreHeladas == 1 || MesFinalLibreHeladas == 1)
        return;
    const QPixmap heladas = QIcon(QStringLiteral(":/iconos/heladas.svg")).pixmap(32, 32);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= MesInicioLibreHeladas - 1; ++c)
            MSHFlexTodoAño->setImagen(r, c, heladas);
    for (int r = 1; r <= 4; ++r)
        for (int c = MesFinalLibreHeladas; c <= 24; ++c)
            MSHFlexTodoAño->setImagen(r, c, heladas);
}

void FormPrincipal::Inicia_Todo()
{
    AñoActual = QDate::currentDate().year();
    if (ComboImpresoras[0]->count() > 0) {
        ComboImpresoras[0]->setCurrentIndex(0);
        ComboImpresoras[1]->setCurrentIndex(ComboImpresoras[1]->findText(ComboImpresoras[0]->itemText(0)));
    }
    IniciaColores();
    Map1->setSendMouseUp(true);
    Map1->setSendSelectBoxFinal(true);
    PrepararRejillas();
    Catalogo = ColeccionesCatalogo();
    CultivosPosiblesSinHelada = ListaCandidatos();
    CapasMapa.clear();
    Map1->setCursorMode(MapaControl::cmSelection);

    {
        Conexion con;
        {
            const QSignalBlocker bloqueo(ComboTodasHortalizas);
            ComboTodasHortalizas->clear();
            ComboTodasHortalizas->addItems(NombresHorticolas(con));
            ComboTodasHortalizas->setCurrentIndex(-1);
        }

        if (const auto o = LeerOpcionesParcela(con, ParcelaActual)) {
            Nhojas = o->hojas;
            MesInicioLibreHeladas = o->inicioSinHeladas;
            MesFinalLibreHeladas = o->finalSinHeladas;
            CheckRepetirFrutos->setChecked(o->repetirFrutos);
            CheckRepetirRaices->setChecked(o->repetirRaices);
            CheckRepetirVarCicloCorto->setChecked(o->cicloCorto);
            SliderAlcachofa->setValue(o->alcachofa);
            TextAlcachofa->setText(QString::number(o->alcachofa));
            SliderFresa->setValue(o->fresa);
            TextFresa->setText(QString::number(o->fresa));
            SliderEsparrago->setValue(o->esparrago);
            LabelEspárrago->setText(QString::number(o->esparrago));
        }

        refrescaMapa();

        CultivosPosiblesSinHelada =
            CultivosSinHelada(con, FiltroHeladas::Para(MesInicioLibreHeladas, MesFinalLibreHeladas));
        Catalogo = CargarColeccionesCatalogo(con);
    }

    MarcarHeladas();

    {
        const QSignalBlocker bloqueo(ComboNHojas);
        ComboNHojas->clear();
        for (int n = 3; n <= 7; ++n)
            ComboNHojas->addItem(QString::number(n));
        ComboNHojas->setCurrentIndex(ComboNHojas->findText(QString::number(Nhojas)));
    }
    if (ComboNHojas->currentIndex() >= 0)
        ComboNHojas_Click();

    for (QComboBox *c : ComboMLH) {
        const QSignalBlocker bloqueo(c);
        c->clear();
        for (int q = 1; q <= 24; ++q)
            c->addItem(NombreLargoQuincena(q));
    }
    // Giving the frost-free pickers their entry raises nothing.
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker bloqueo(ComboMLH[i]);
        ComboMLH[i]->setCurrentIndex((i == 0 ? MesInicioLibreHeladas : MesFinalLibreHeladas) - 1);
    }

    RefrescarArbolAños();
}
