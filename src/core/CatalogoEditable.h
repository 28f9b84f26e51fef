#pragma once
// The crop catalogue as the editor sees it: a record set over table horticolas
// in name order (the order of the crop pickers), with a current record that may
// also stand before the first or after the last one, edits kept pending until
// they are written all together, and the sowing windows of a crop as the
// catalogue grid paints them.
#include <QList>
#include <QMap>
#include <QObject>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class Conexion;
class QSqlTableModel;

// What the catalogue grid shows for a crop, read afresh from the table: the
// fortnights that the plan grid paints as sowing fortnights (QuincenasSiembra),
// for every row whose name matches (letter case ignored), in column order, and
// "C:<days>d" from the last of them. hayFilas is false when no row matches. A
// fortnight that is not a whole number counts as empty.
struct SiembraHortaliza
{
    QList<int> quincenas;
    QString textoCosecha;
    bool hayFilas = false;
};
SiembraHortaliza LeerSiembra(Conexion &con, const QString &nombre);

class CatalogoEditable : public QObject
{
    Q_OBJECT

public:
    explicit CatalogoEditable(QObject *parent = nullptr);
    ~CatalogoEditable() override;

    // Opens a connection of its own on the database file and reads the whole
    // catalogue; the current record becomes the first one. Edits still pending
    // from the previous reading are kept pending; a crop changed elsewhere
    // meanwhile is told by the next guardar(), as if it had found it. Throws
    // ErrorBD (the previous reading stays).
    void enlazar(const QString &cadena);
    bool enlazado() const { return m_modelo != nullptr; }
    QSqlTableModel *modelo() const { return m_modelo; }

    // Rows and the current one: -1 before the first record, filas() after the
    // last; posicion() is 1-based, 0 where there is no current record.
    int filas() const;
    int actual() const { return m_actual; }
    bool alPrincipio() const { return m_actual < 0; }
    bool alFinal() const { return m_actual >= filas(); }
    bool enRegistro() const { return !alPrincipio() && !alFinal(); }
    int posicion() const { return enRegistro() ? m_actual + 1 : 0; }

    void moverPrimero();
    void moverAnterior(); // stops before the first record
    void moverSiguiente(); // stops after the last record
    void moverUltimo();
    void moverA(int fila);
    // The first record named exactly `nombre` (letter case counts), or filas()
    // when none is.
    int buscar(const QString &nombre) const;

    // A field of the current record (an invalid value where there is none).
    QVariant campo(const QString &nombre) const;
    QString nombreActual() const { return campo(QStringLiteral("Nombre")).toString(); }

    // Appends an empty record and makes it current.
    void agregar();

    bool hayCambios() const;
    // Why the pending edits cannot be written (the first reason found), or "".
    // Names are compared without their leading and trailing blanks.
    QString comprobar() const;
    // Writes every pending edit in one transaction, through a connection
    // opened afresh, with the names' leading and trailing blanks removed.
    // Whatever fails, nothing is written and every edit stays pending, on the
    // same crop:
    //  - Rechazo: an edit comprobar() refuses; a name that another crop of the
    //    table holds (letter case ignored); a crop that another copy of the
    //    program changed since the reading (its edits then stand over the row
    //    as it is now, to be written by the next call); a crop that another
    //    copy renamed or removed (its edits stay pending, never written, and
    //    every call refuses until releer() drops them);
    //  - ErrorBD: the database failed; fallida() names the crop being written.
    // On success the catalogue is read again and the current crop stays current.
    void guardar();
    QString fallida() const;
    // Reads the catalogue again, dropping the pending edits; first record.
    // Throws ErrorBD (the previous reading and its edits stay).
    void releer();

    // What the editor's pickers offer; the rotation rules compare these texts.
    static QStringList Familias();
    static QStringList PartesAprovechables();
    static QStringList ProfundidadesRaices();

    // Field values as the editor's boxes and pickers show them, and back:
    // fortnights with two digits, nothing for Null; text that is not a whole
    // number stays text (and comprobar() refuses it).
    static QString Mostrar(const QString &campo, const QVariant &valor);
    static QVariant Leer(const QString &campo, const QString &texto);

signals:
    // After every move of the current record (and after each reading).
    void movido();
    // enlazar() has replaced the model (before its first movido()).
    void modeloCambiado();

private:
    struct Pendiente
    {
        bool nueva = false;
        int fila = -1; // where it stands now
        QSqlRecord original;
        QMap<int, QVariant> valores;
    };
    QList<Pendiente> pendientes() const;
    // Puts the edits back over the rows as read; adds to m_cambiadas the crops
    // whose row changed elsewhere since their edits began, and keeps in
    // m_sinFila the edits of crops no row is named after any more.
    void reponer(const QList<Pendiente> &lista);
    // Reads the catalogue through a new connection into a new model and puts
    // the pending edits back (reponer), or drops them when not `conservar`.
    // Throws ErrorBD: the previous model and its edits stay.
    void leer(bool conservar);
    void recortarNombres();
    void comprobarNombresEnTabla(const QList<Pendiente> &lista); // throws Rechazo
    void situar(const QString &nombre, int fila); // the crop named so, else the row
    // Runs the statements of the edits; the row whose update matched nothing
    // (changed elsewhere), or -1. Throws ErrorBD.
    int escribir(const QList<Pendiente> &lista);
    void seleccionar(); // throws ErrorBD
    void tomarOriginales();
    QSqlRecord original(int fila) const; // a row read, as read (0 <= fila < m_leidas)
    QString etiqueta(int fila) const;

    QString m_cadena;
    std::unique_ptr<Conexion> m_conexion;
    QSqlTableModel *m_modelo = nullptr;
    int m_actual = -1;
    int m_leidas = 0; // the rows read; rows after them are new
    QString m_escribiendo; // the crop whose statement runs while writing
    QStringList m_cambiadas; // crops found changed elsewhere, not yet told by guardar()
    QList<Pendiente> m_sinFila; // edits of crops renamed or removed elsewhere
};
