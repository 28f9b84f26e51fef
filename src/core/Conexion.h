#pragma once
// Data connection: each user gesture (a click, a rebuild) opens one Conexion
// from the shared CadenaConexion, passes it to the procedures it runs, and
// lets it close when it goes out of scope. Values always travel as bound
// parameters.
//
// Two SQL helpers are registered on every connection:
//   coincide(a, b)  true when a and b are the same text ignoring letter case,
//                   for every letter (accented ones too); no pattern characters.
//                   Use it wherever a name is looked up: "where coincide(nombre, ?)".
//   COLLATE ES      orders names as a Spanish reader expects (case and accents
//                   folded first, then the exact text).
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <stdexcept>

// Path of the database file, built once at start-up from the program's folder.
extern QString CadenaConexion;

// Orders two names as COLLATE ES does: case and accents folded first, then
// the exact text. Negative, zero or positive.
int CompararES(const QString &a, const QString &b);
// The folded form CompararES compares first: to sort many names, fold each
// once and compare the folded forms, then the exact texts.
QString PlegarES(const QString &s);

// "parcela in (...)": the plan rows (table BDParcela) of the plot whose name is
// bound at this fragment's one '?', matched as coincide() does. The plot's
// stored spellings are sought through the index on (parcela, año, hoja), one
// step per spelling, so a statement that also names the year (and sheet)
// searches the index instead of scanning the table.
inline constexpr QLatin1String FiltroParcela(
    "parcela in (with recursive g(n) as (select min(parcela) from BDParcela"
    " union all select (select min(parcela) from BDParcela where parcela > g.n) from g where g.n is not null)"
    " select n from g where coincide(n, ?))");

// Creates the indexes the program's statements rely on when a database file
// made by an earlier version lacks them. A file that cannot be written (read
// only, locked) is left as it is: it is read more slowly, nothing else.
void AsegurarIndices(const QString &cadena = CadenaConexion);

// The database file's name inside the program's folder.
inline constexpr const char *NombreFicheroBD = "BDHuerta.db";

// Sets CadenaConexion to <carpeta>/BDHuerta.db.
void EstablecerCadenaConexion(const QString &carpeta);

// Something the program could not do. Two kinds: a database failure (ErrorBD)
// and a refusal (Rechazo), which is not a database error: the input or the
// state of the file does not allow the change, and texto() already tells the
// user why, in Spanish. Catch Fallo to report either with ExplicarFallo.
class Fallo : public std::runtime_error
{
public:
    explicit Fallo(const QString &texto);
    QString texto() const { return m_texto; }

private:
    QString m_texto;
};

// What went wrong with the database, as the user can act on it.
enum class TipoFalloBD {
    Bloqueada,   // another program holds the file locked
    SoloLectura, // the file (or its folder) cannot be written
    Falta,       // the file does not exist
    SinPermiso,  // the file cannot be read
    Dañada,      // not a database of this program, or damaged
    Otra,        // anything else the engine refused
};

// A failure of the database engine; texto() is the engine's own message, for a
// detail at most: tipo() says what happened.
class ErrorBD : public Fallo
{
public:
    // codigo: the engine's result code (0 when unknown); the kind is taken
    // from it, or from the engine's text when it says nothing.
    explicit ErrorBD(const QString &texto, int codigo = 0);
    ErrorBD(TipoFalloBD tipo, const QString &texto);
    TipoFalloBD tipo() const { return m_tipo; }

private:
    TipoFalloBD m_tipo;
};

// A change refused before anything is written; texto() says why, in Spanish.
class Rechazo : public Fallo
{
public:
    using Fallo::Fallo;
};

// The reason of a database failure in words for the user, lower case, no
// final stop: "la base de datos está bloqueada por otro programa".
QString MotivoFalloBD(const ErrorBD &e);

// The message that tells the user what failed and what is kept, in Spanish.
// A refusal is its own text. A database failure reads "<Motivo>: <noHecho>;
// <queda>." ("La base de datos está bloqueada por otro programa: no se ha
// leído la hoja 3; vuelve a intentarlo."), with the engine's text after it as
// a detail only when the reason is not one of the known ones.
QString ExplicarFallo(const Fallo &e, const QString &noHecho, const QString &queda = {});

// Sees every statement a connection runs, with the number of that connection
// and whether it went straight to the engine (recorrer) rather than through
// the driver (the speed bench replays a gesture's statements the same way).
// None by default; an empty function stops watching.
using ObservadorSQL =
    std::function<void(quint64 conexion, const QString &sql, const QVariantList &valores, bool directa)>;
void ObservarSQL(ObservadorSQL observador);

struct sqlite3_stmt;

// The current row of a statement run by Conexion::recorrer(), read straight
// from the engine. A Null reads as 0 or "".
class FilaBD
{
public:
    explicit FilaBD(sqlite3_stmt *sentencia) : m_sentencia(sentencia) {}
    int columnas() const;
    int entero(int columna) const;
    QString texto(int columna) const;
    // The text as the engine holds it, valid until the next row.
    QByteArrayView utf8(int columna) const;

private:
    sqlite3_stmt *m_sentencia;
};

class Conexion
{
public:
    // Opens the database file named by cadena. A missing file is an error: the
    // file is never created here. Throws ErrorBD.
    explicit Conexion(const QString &cadena = CadenaConexion);
    ~Conexion();
    Conexion(const Conexion &) = delete;
    Conexion &operator=(const Conexion &) = delete;

    // Prepares sql, binds valores to its '?' placeholders in order and runs it.
    // The returned query is positioned before the first row. Throws ErrorBD.
    QSqlQuery ejecutar(const QString &sql, const QVariantList &valores = {});

    // As ejecutar(), through a statement prepared once for this connection
    // (for one that a gesture runs again and again). The query stays the
    // connection's: read what it yields before running the same text again.
    QSqlQuery &ejecutarPreparada(const QString &sql, const QVariantList &valores = {});

    // True when the statement yields at least one row.
    bool hayFilas(const QString &sql, const QVariantList &valores = {});

    // As ejecutar(), handing each row to fila as the engine yields it,
    // without the driver's copy of every value: for a statement that yields
    // thousands of rows. Throws ErrorBD.
    void recorrer(const QString &sql, const QVariantList &valores, const std::function<void(const FilaBD &)> &fila);

    QSqlDatabase &bd() { return m_bd; }

private:
    friend class Transaccion;
    quint64 m_numero;
    QString m_nombre;
    QSqlDatabase m_bd;
    QHash<QString, QSqlQuery> m_preparadas;
};

// All statements run between construction and confirmar() land together or not
// at all: leaving the scope without confirmar() rolls everything back.
class Transaccion
{
public:
    explicit Transaccion(Conexion &conexion);
    ~Transaccion();
    Transaccion(const Transaccion &) = delete;
    Transaccion &operator=(const Transaccion &) = delete;
    void confirmar(); // throws ErrorBD

private:
    Conexion &m_conexion;
    bool m_abierta = true;
};

// Reads a field by name as the program expects: Null becomes 0 / "" / false.
int LeerEntero(const QSqlQuery &q, const char *campo);
QString LeerTexto(const QSqlQuery &q, const char *campo);
bool LeerSiNo(const QSqlQuery &q, const char *campo);
