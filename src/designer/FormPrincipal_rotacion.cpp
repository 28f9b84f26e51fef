// The crop slots: the window renders the editing session and forwards to it.
#include "designer/FormPrincipal.h"

#include "core/modBasico.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QScopedValueRollback>
#include <QSlider>

void FormPrincipal::conectarSesion()
{
    // The switches and sliders of the options panel, saved or not.
    Sesion.establecerInterruptores([this] {
        SesionHoja::Interruptores i;
        i.repetirFrutos = CheckRepetirFrutos->checkState() == Qt::Checked;
        i.repetirRaices = CheckRepetirRaices->checkState() == Qt::Checked;
        i.años.alcachofa = SliderAlcachofa->value();
        i.años.fresa = SliderFresa->value();
        i.años.esparrago = SliderEsparrago->value();
        return i;
    });
    connect(&Sesion, &SesionHoja::ranuraCambiada, this, [this](int k) {
        const SesionHoja::Ranura &r = Sesion.ranura(k);
        QComboBox *picker = ComboCult[k];
        QStringList actuales;
        for (int i = 0; i < picker->count(); ++i)
            actuales << picker->itemText(i);
        if (actuales != r.entradas) {
            picker->clear();
            picker->addItems(r.entradas);
        }
        picker->setCurrentIndex(r.actual);
    });
    connect(&Sesion, &SesionHoja::filaPintada, this, [this](int k) {
        const SesionHoja::Ranura &r = Sesion.ranura(k);
        for (int c = 1; c <= 24; ++c)
            if (MSHFlexTodoAño->colorFondo(k + 1, c) != r.colores[c])
                MSHFlexTodoAño->setColorFondo(k + 1, c, r.colores[c]);
    });
    connect(&Sesion, &SesionHoja::estado, this, [this](const QString &texto) { PonerTextoPanel(texto); });
    connect(&Sesion, &SesionHoja::explicacion, this, [this](const QString &linea) { Explicito(linea); });
    connect(&Sesion, &SesionHoja::aviso, this, [this](const QString &texto, const QString &titulo, int tipo) {
        if (tipo == SesionHoja::AvisoSiNo)
            Dialogos::MsgBox(this, texto, Dialogos::SiNo, Dialogos::SinIcono, titulo);
        else
            Dialogos::MsgBox(this, texto, Dialogos::SoloAceptar, Dialogos::Critico, titulo);
    });
}

void FormPrincipal::LeerCultivos()
{
    // The selections made here must not paint sowing windows.
    const QScopedValueRollback<bool> leyendo(LeyendoCultivo, true);
    Sesion.leerCultivos();
}

void FormPrincipal::CultivosCombos(int fila)
{
    Sesion.cultivosCombos(fila);
}
