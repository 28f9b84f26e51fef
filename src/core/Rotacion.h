#pragma once
// The rotation rules: which crops a sheet may take in a plan year.
//
// Five filters read the plot's stored plan (table BDParcela) and return a new
// candidate list from which every crop their rule forbids has been taken out;
// each crop taken out is explained through the callback `explicar` (the main
// window's log). Three lookups give a crop's family, edible part and root depth
// from the catalogue collections. The follow-on stages narrow the picker of a
// later slot of the same year.
//
// The filters of one ReglasRotacion read through one connection: the one it is
// given (a gesture's), or its own on the file named by `cadena`, opened at the
// first read (a file that fails to open fails that read, and the next one
// tries again). They run their statements with bound values and let failures
// pass as ErrorBD. The list a filter is given is never changed; the catalogue
// must not change while the rules live.
#include "core/Catalogo.h"
#include "core/ListaCandidatos.h"

#include <QHash>
#include <QString>
#include <QVariantList>
#include <QStringList>
#include <functional>
#include <memory>

class Conexion;

// State the rules read: the plot, the plan year, the sheet being planned
// (0 when none is chosen) and the plot's sheet count; and the plot's
// switches as they stand: true lets a crop repeat the edible part (resp.
// root depth) of the crops before it.
struct ContextoReglas
{
    QString parcela;
    int año = 0;
    int hoja = 0;
    int nhojas = 0;
    bool repetirFrutos = false;
    bool repetirRaices = false;
};

class ReglasRotacion
{
public:
    using Explicar = std::function<void(const QString &)>;

    // `explicar` receives one line per crop taken out; it may be empty.
    ReglasRotacion(const ColeccionesCatalogo &catalogo, const QString &cadena, const ContextoReglas &contexto = {},
                   Explicar explicar = {});
    ReglasRotacion(const ColeccionesCatalogo &catalogo, Conexion &conexion, const ContextoReglas &contexto = {},
                   Explicar explicar = {});

    const ContextoReglas &contexto() const { return m_contexto; }

    // Sheet rule: out goes every crop that another sheet of the plot (1 to
    // nhojas) holds in `año`.
    ListaCandidatos VerificarNoRepeticiónHojas(const ListaCandidatos &ListaPrevia) const;
    // Out goes every crop that shares its family (edible part, root depth) with
    // a crop the sheet held in AñoVerificación. The last two do nothing while
    // their switch is on, but still read the rows.
    ListaCandidatos VerificarNoRepeticiónFamilia(const ListaCandidatos &ListaPrevia, int AñoVerificación) const;
    ListaCandidatos VerificarNoRepeticiónParteAprovechable(const ListaCandidatos &ListaPrevia,
                                                          int AñoVerificación) const;
    ListaCandidatos VerificarNoRepeticiónProfRaices(const ListaCandidatos &ListaPrevia, int AñoVerificación) const;
    // Years rule: out goes every crop the sheet held in the years strictly
    // between año - Años and año.
    ListaCandidatos VerificarNoRepeticiónPorAños(const ListaCandidatos &ListaPrevia, int Años) const;

    // A crop's properties from the catalogue: the first name exactly equal to
    // Cultivo; empty text for the empty-crop entry, a name not in the catalogue,
    // a name in other letter case, and a property the catalogue leaves empty.
    QString SacarFamilia(const QString &Cultivo) const;
    QString SacarParteAprovechable(const QString &Cultivo) const;
    QString SacarProfRaiz(const QString &Cultivo) const;

    // The chain that fills the four pickers of a sheet, through the filters
    // above: sheet rule, then the family, edible-part and root-depth rules
    // against año - 1, then the years rule with 3 years.
    ListaCandidatos CandidatosDeLaHoja(const ListaCandidatos &posibles) const;

    // ---- Follow-on slots ----------------------------------------------------
    // True when the plot holds a perennial (any sheet, letter case ignored) in
    // año - 1 or año.
    bool MarcaPlurianual() const;
    // The entries of the previous picker that are carried over: all but the
    // last `marca` ones.
    static QStringList ListaArrastrada(const QStringList &listaAnterior, bool marca);
    // The family, edible-part and root-depth stages for picker `fila` (1 to 3),
    // against the crops shown in the earlier pickers (`anteriores`, one text
    // each, fila of them). Each crop dropped is explained once.
    QStringList EtapasSiguientes(int fila, const QStringList &candidatos, const QStringList &anteriores) const;
    // The whole follow-on narrowing: the mark, the carried-over list, the sheet
    // rule and, for fila 1 to 3, the three stages. Nothing for fila 0; for fila
    // 4 (no picker after the fourth slot) nothing and no query.
    QStringList CandidatosSiguientes(int fila, const QStringList &listaAnterior, const QStringList &anteriores) const;

private:
    enum class Propiedad { Familia, ParteAprovechable, ProfRaiz };
    QString sacar(const QString &cultivo, Propiedad p) const;
    Conexion &conexion() const;
    QStringList cultivosDe(const QString &dondeMas, const QVariantList &valores) const;
    ListaCandidatos porPropiedad(const ListaCandidatos &ListaPrevia, int AñoVerificación, Propiedad p,
                                 bool apagada) const;
    void decir(const QString &linea) const;

    const ColeccionesCatalogo &m_catalogo;
    ContextoReglas m_contexto;
    Explicar m_explicar;
    QHash<QString, int> m_posiciones; // each name's first position in the catalogue
    QString m_cadena;
    Conexion *m_conexion = nullptr;
    mutable std::shared_ptr<Conexion> m_propia;
    // The plot's stored spellings, sought once for the plot named in grafiasDe.
    QString filtroParcela(QVariantList &valores) const;
    mutable QString m_grafiasDe;
    mutable QVariantList m_grafias;
    mutable bool m_hayGrafias = false;
};

// A copy of the list keyed by each entry's own text. A text repeated (letter
// case ignored) is kept once, at its first place.
ListaCandidatos CopiaConClave(const ListaCandidatos &lista);
