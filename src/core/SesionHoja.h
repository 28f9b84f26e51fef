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
#include "core/PlanHoja.h"

#include <QObject>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

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

    // ---- Context: the plot as the last rebuild read it ----------------------
    QString parcela;
    int año = 0;
    int hoja = 0;
    int nhojas = 0;
    int inicioLibreHeladas = 0; // frost-free from this fortnight ...
    int finalLibreHeladas = 0;  // ... to this one - 1; a 1 in either: no limit
    ColeccionesCatalogo catalogo;
    ListaCandidatos posiblesSinHelada;
    std::function<Interruptores()> interruptores;

    const Ranura &ranura(int k) const { return m_ranuras.at(k); }
    // True when the frost mark stands on grid column c (1..24).
    bool conHelada(int columna) const;
    // A sheet is loaded: chosen on the map or in the tree, pickers filled.
    bool hayHojaCargada() const;

    // ---- The road ------------------------------------------------------------
    // Fills the four pickers of `hoja` in `año` with the crops the rules leave
    // and shows the stored crops. A stored crop no picker offers any more is
    // announced, and it and the later ones stay hidden (ocultas()).
    void leerCultivos();
    // Narrows picker `fila` (0..3) to the crops that may follow the earlier ones.
    void cultivosCombos(int fila);
    // The user chose entry `indice` of picker k: its sowing fortnights turn green.
    void elegir(int k, int indice);
    // A click on column c of slot k: places the slot's crop when c is green.
    void colocar(int k, int columna);
    // Empties the rows of the grid, and with soltarHoja the pickers too (a year
    // chosen in the tree leaves no sheet loaded).
    void borrarFila(int k);
    void borrarFilas();
    void soltarHoja();

    // Some crop has been placed on the grid and not stored since.
    bool haySinGuardar() const;

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
    ReglasRotacion reglas();
    Conexion &conexion();
    void vaciarColores(int k);
    void volverAlCultivoVacio(int k);
    std::array<Ranura, 4> m_ranuras;
    QStringList m_ocultas;
    int m_gestos = 0;
    std::unique_ptr<Conexion> m_conexion;
};
