#pragma once
// The editing session of one sheet: the plot, year and sheet being planned,
// the four crop slots with their pickers' entries, the crop each shows and the
// span recorded for it, and the plan grid's colours. It runs the designer's
// road (open a sheet, choose a crop, place it, narrow the next slot, validate,
// empty) and tells what changed through its signals; it knows no widget.
//
// Slot k is picker k, row k + 1 of the plan grid. Every operation reads what
// it needs first: a database failure (ErrorBD) leaves the session as it was.
#include "core/Catalogo.h"
#include "core/ListaCandidatos.h"
#include "core/Parcelas.h"
#include "core/PlanHoja.h"

#include <QObject>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class Conexion;
class ReglasRotacion;

class SesionHoja : public QObject
{
    Q_OBJECT

public:
    // The options panel as it stands (saved or not): read at each use.
    struct Interruptores
    {
        bool repetirFrutos = false;
        bool repetirRaices = false;
        AñosPlurianuales años;
    };

    struct Ranura
    {
        QStringList entradas; // the picker's list
        int actual = -1;      // the entry shown, -1 for none
        // First and last fortnight (1..48) recorded for the slot, and whether
        // that span belongs to the crop shown (placed, or loaded as stored).
        int inicio = 0;
        int final = 0;
        bool colocado = false;
        // Placed on the grid since the sheet was loaded or stored last.
        bool sinGuardar = false;
        std::array<qint32, 25> colores{}; // grid columns 1..24 (0 unused)
        QString cultivo() const { return actual >= 0 && actual < entradas.size() ? entradas.at(actual) : QString(); }
    };

    // How a message must be shown.
    enum TipoAviso { AvisoCritico, AvisoSiNo };

    explicit SesionHoja(QObject *parent = nullptr);
    ~SesionHoja() override;

    // While a Gesto lives, everything the session reads goes through one
    // connection, opened at the first read and closed with the outermost
    // Gesto. Each operation below is a gesture of its own; a caller makes
    // several one gesture (a sheet click: its load and the follow-on picker).
    class Gesto
    {
    public:
        explicit Gesto(SesionHoja &sesion);
        ~Gesto();
        Gesto(const Gesto &) = delete;
        Gesto &operator=(const Gesto &) = delete;

    private:
        SesionHoja &m_sesion;
    };

    // ---- The plot, year and sheet ---------------------------------------------
    // What opening a plot reads: its options (none without a plot, or for a
    // plot without its row: then no sheet and no frost limit), the catalogue,
    // and the crops that fit the plot's frost-free period.
    struct Parcela
    {
        QString nombre;
        std::optional<OpcionesParcela> opciones;
        ColeccionesCatalogo catalogo;
        ListaCandidatos posiblesSinHelada;
    };
    static Parcela leerParcela(Conexion &con, const QString &nombre);
    // Opens the plot read in year año: its name, sheet count, frost bounds and
    // catalogue together. The sheet loaded stays (as loaded: the caller reloads
    // it) only when the plot is the same and still has it; otherwise no sheet
    // is left loaded.
    void abrirParcela(const Parcela &p, int año);
    // Another plan year, with no sheet loaded: the sheet chosen stays chosen,
    // to be loaded in that year when it is opened again.
    void elegirAño(int año);
    // Loads sheet `hoja` of `año` into the four pickers with the crops the
    // rules leave, and shows the stored crops. A stored crop no picker offers
    // any more is announced, and it and the later ones stay hidden (ocultas()).
    // A sheet outside 1..nhojas leaves no sheet loaded.
    void abrirHoja(int hoja, int año);
    // Loads the current sheet again (the plot's options may have changed).
    void leerCultivos() { abrirHoja(m_hoja, m_año); }
    // Empties the pickers and the grid: no sheet chosen.
    void soltarHoja();

    const QString &parcela() const { return m_parcela; }
    int año() const { return m_año; }
    int hoja() const { return m_hoja; } // 0: none chosen
    int nhojas() const { return m_nhojas; }
    int inicioLibreHeladas() const { return m_inicioLibreHeladas; } // frost-free from this fortnight ...
    int finalLibreHeladas() const { return m_finalLibreHeladas; }   // ... to this one - 1; a 1 in either: no limit
    const ColeccionesCatalogo &catalogo() const { return m_catalogo; }
    // The options panel's switches as they stand, read at each use.
    void establecerInterruptores(std::function<Interruptores()> leer) { m_interruptores = std::move(leer); }

    const Ranura &ranura(int k) const { return m_ranuras.at(k); }
    // True when the frost mark stands on grid column c (1..24).
    bool conHelada(int columna) const;
    // A sheet is loaded: chosen on the map or in the tree, pickers filled.
    bool hayHojaCargada() const;

    // ---- The road ------------------------------------------------------------
    // Narrows picker `fila` (0..3) to the crops that may follow the earlier ones.
    void cultivosCombos(int fila);
    // The user chose entry `indice` of picker k: its sowing fortnights turn green.
    void elegir(int k, int indice);
    // A click on column c of slot k: places the slot's crop when c is green.
    void colocar(int k, int columna);
    // Empties row k of the grid, or all four.
    void borrarFila(int k);
    void borrarFilas();

    // Some crop has been placed on the grid and not stored since; which ones,
    // in slot order.
    bool haySinGuardar() const;
    QStringList sinGuardar() const;

    // Stored crops of the sheet that the last load left hidden and that no
    // slot shows now: storing would delete them.
    QStringList ocultas() const;
    // Stores what the slots show (PlanNoValido, ErrorBD pass to the caller).
    void validar();
    // Deletes the sheet's rows of the year and empties the grid rows.
    void vaciar();

signals:
    void ranuraCambiada(int k);   // entries or entry shown of picker k
    void filaPintada(int k);      // colours of slot k's grid row
    void estado(const QString &texto);
    void aviso(const QString &texto, const QString &titulo, int tipo);
    void explicacion(const QString &linea);

private:
    ReglasRotacion reglas(int hoja, int año);
    Conexion &conexion();
    void vaciarColores(int k);
    void vaciarRanuras();
    void volverAlCultivoVacio(int k);
    QString m_parcela;
    int m_año = 0;
    int m_hoja = 0;
    int m_nhojas = 0;
    int m_inicioLibreHeladas = 1;
    int m_finalLibreHeladas = 1;
    ColeccionesCatalogo m_catalogo;
    ListaCandidatos m_posiblesSinHelada;
    std::function<Interruptores()> m_interruptores;
    std::array<Ranura, 4> m_ranuras;
    QStringList m_ocultas;
    int m_gestos = 0;
    std::unique_ptr<Conexion> m_conexion;
};
