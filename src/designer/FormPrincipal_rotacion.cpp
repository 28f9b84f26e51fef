// Rotation rules and the candidates of the crop slots.
#include "designer/FormPrincipal.h"

#include "core/PlanHoja.h"
#include "core/Rotacion.h"
#include "core/modBasico.h"
#include "core/Conexion.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QCheckBox>
#include <QComboBox>

using namespace modBasico;

namespace {

// The rules over the window's state as it stands now: plot, year, sheet,
// sheet count and the two switches of the options panel, saved or not.
ReglasRotacion reglasDe(FormPrincipal &w)
{
    ReglasRotacion r(w.Catalogo, CadenaConexion);
    r.parcela = w.ParcelaActual;
    r.año = w.AñoActual;
    r.hoja = w.HojaActual;
    r.nhojas = w.Nhojas;
    r.repetirFrutos = w.CheckRepetirFrutos->checkState() == Qt::Checked;
    r.repetirRaices = w.CheckRepetirRaices->checkState() == Qt::Checked;
    r.explicar = [&w](const QString &linea) { w.Explicito(linea); };
    return r;
}

// Position of cultivo in the picker: the entry written exactly so, else one
// that differs only in letter case; -1 when there is none.
int posicionEn(const QComboBox *picker, const QString &cultivo)
{
    const int i = picker->findText(cultivo, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return i >= 0 ? i : picker->findText(cultivo, Qt::MatchFixedString);
}

// Sets a flag for as long as it lives.
struct Bandera
{
    bool &valor;
    explicit Bandera(bool &v) : valor(v) { valor = true; }
    ~Bandera() { valor = false; }
};

} // namespace

ListaCandidatos FormPrincipal::VerificarNoRepeticiónHojas(const ListaCandidatos &ListaPrevia)
{
    return reglasDe(*this).VerificarNoRepeticiónHojas(ListaPrevia);
}

ListaCandidatos FormPrincipal::VerificarNoRepeticiónFamilia(const ListaCandidatos &ListaPrevia, int AñoVerificación)
{
    return reglasDe(*this).VerificarNoRepeticiónFamilia(ListaPrevia, AñoVerificación);
}

ListaCandidatos FormPrincipal::VerificarNoRepeticiónParteAprovechable(const ListaCandidatos &ListaPrevia,
                                                                      int AñoVerificación)
{
    return reglasDe(*this).VerificarNoRepeticiónParteAprovechable(ListaPrevia, AñoVerificación);
}

ListaCandidatos FormPrincipal::VerificarNoRepeticiónProfRaices(const ListaCandidatos &ListaPrevia,
                                                               int AñoVerificación)
{
    return reglasDe(*this).VerificarNoRepeticiónProfRaices(ListaPrevia, AñoVerificación);
}

ListaCandidatos FormPrincipal::VerificarNoRepeticiónPorAños(const ListaCandidatos &ListaPrevia, int Años)
{
    return reglasDe(*this).VerificarNoRepeticiónPorAños(ListaPrevia, Años);
}

QString FormPrincipal::SacarFamilia(const QString &Cultivo) const
{
    return ReglasRotacion(Catalogo, CadenaConexion).SacarFamilia(Cultivo);
}

QString FormPrincipal::SacarParteAprovechable(const QString &Cultivo) const
{
    return ReglasRotacion(Catalogo, CadenaConexion).SacarParteAprovechable(Cultivo);
}

QString FormPrincipal::SacarProfRaiz(const QString &Cultivo) const
{
    return ReglasRotacion(Catalogo, CadenaConexion).SacarProfRaiz(Cultivo);
}

void FormPrincipal::LeerCultivos()
{
    // The selections made here must not paint sowing windows.
    const Bandera leyendo(LeyendoCultivo);

    for (QComboBox *c : ComboCult)
        c->clear();

    ListaCandidatos candidatos = VerificarNoRepeticiónHojas(CultivosPosiblesSinHelada);
    candidatos = VerificarNoRepeticiónFamilia(candidatos, AñoActual - 1);
    candidatos = VerificarNoRepeticiónParteAprovechable(candidatos, AñoActual - 1);
    candidatos = VerificarNoRepeticiónProfRaices(candidatos, AñoActual - 1);
    candidatos = VerificarNoRepeticiónPorAños(candidatos, 3);

    // A slot can always be left empty: the empty-crop entry heads the pickers
    // even when a rule took it out (a stored crop that is no longer in the
    // catalogue has the same empty properties).
    QStringList entradas = candidatos.nombres();
    if (!entradas.contains(CultivoVacio))
        entradas.prepend(CultivoVacio);
    for (QComboBox *c : ComboCult) {
        c->addItems(entradas);
        c->setCurrentIndex(c->findText(CultivoVacio, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }

    BorraTodasFilas();
    CultivoColocado.fill(false);

    const QList<FilaGuardada> filas = LeerFilasHoja(CadenaConexion, ParcelaActual, AñoActual, HojaActual);

    // A perennial planted in an earlier year is no candidate any more, but it
    // still stands on the sheet: slot 1 offers it.
    for (const QString &plurianual : {Alcachofas, Fresas, Esparragos}) {
        for (const FilaGuardada &f : filas) {
            if (f.cultivo == plurianual) {
                ComboCult[0]->addItem(plurianual);
                break;
            }
        }
    }

    // The k-th stored row goes to slot k; a sheet holds at most four.
    for (int k = 0; k < filas.size() && k < 4; ++k) {
        const FilaGuardada &f = filas.at(k);
        const int i = posicionEn(ComboCult[k], f.cultivo);
        if (i < 0) {
            Dialogos::MsgBox(this,
                             QStringLiteral("no puedo poner el cultivo <") + f.cultivo
                                 + QStringLiteral("> porque no pertenece a la fecha libre de heladas"),
                             Dialogos::SoloAceptar, Dialogos::Critico,
                             QStringLiteral("Cambio del sistema libre de heladas"));
            break;
        }
        ComboCult[k]->setCurrentIndex(i);
        MesInicioCultivo[k] = f.inicio;
        MesFinalCultivo[k] = f.final;
        CultivoColocado[k] = true;
        for (int q = f.inicio; q <= f.final; ++q) {
            const int columna = q > 24 ? q - 24 : q;
            if (columna < 1 || columna > 24)
                continue;
            MSHFlexTodoAño->setColorFondo(k + 1, columna, q > 24 ? ColorAñoSiguiente : ColorCultivo);
        }
    }
}

void FormPrincipal::CultivosCombos(int fila)
{
    if (fila < 0 || fila >= 4)
        return;
    QComboBox *destino = ComboCult[fila];
    const QString mostrado = destino->currentText();
    destino->clear();

    QStringList anterior;
    if (fila > 0)
        for (int i = 0; i < ComboCult[fila - 1]->count(); ++i)
            anterior << ComboCult[fila - 1]->itemText(i);
    QStringList anteriores;
    for (int j = 0; j < fila; ++j)
        anteriores << ComboCult[j]->currentText();

    // As in LeerCultivos, the empty-crop entry heads the list even when the
    // follow-on rules took it out (an earlier slot left empty has the same
    // empty properties), so a refused placement can always fall back to it.
    QStringList entradas = reglasDe(*this).CandidatosSiguientes(fila, anterior, anteriores);
    if (!entradas.contains(CultivoVacio))
        entradas.prepend(CultivoVacio);
    destino->addItems(entradas);

    // The picker keeps showing its crop when that crop may still follow the
    // earlier ones (a sheet just loaded keeps its stored crops); otherwise it
    // shows no entry.
    destino->setCurrentIndex(
        mostrado.isEmpty() ? -1 : destino->findText(mostrado, Qt::MatchExactly | Qt::MatchCaseSensitive));
}
