#include "core/CatalogoEditable.h"

#include "core/Conexion.h"
#include "core/RejillaPlan.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlTableModel>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

bool entero(const QVariant &v, qlonglong &n)
{
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        const double d = v.toDouble();
        n = qlonglong(d);
        return double(n) == d;
    }
    bool ok = false;
    n = v.toString().trimmed().toLongLong(&ok);
    return ok;
}

bool esQuincena(const QString &campo) { return campo.startsWith(QLatin1String("Siembra_"), Qt::CaseInsensitive); }
bool esDias(const QString &campo) { return campo.startsWith(QLatin1String("Cosecha_"), Qt::CaseInsensitive); }

// "Siembra_2_I" -> "la primera quincena de la época 2", for the messages.
QString descripcion(const QString &campo)
{
    const QString epoca = campo.mid(8, 1);
    if (esQuincena(campo))
        return (campo.endsWith(QLatin1Char('I'), Qt::CaseInsensitive) ? QStringLiteral("la primera quincena de la época %1")
                                                                        : QStringLiteral("la última quincena de la época %1"))
            .arg(epoca);
    return (campo.endsWith(QLatin1String("min"), Qt::CaseInsensitive)
                ? QStringLiteral("el mínimo de días hasta recolección de la época %1")
                : QStringLiteral("el máximo de días hasta recolección de la época %1"))
        .arg(epoca);
}

QString textoError(const QSqlError &e)
{
    const QString t = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return t.trimmed();
}

// The catalogue in the order of the crop pickers; rowid keeps equal names in
// the order they were stored.
class ModeloHorticolas : public QSqlTableModel
{
public:
    using QSqlTableModel::QSqlTableModel;

protected:
    QString orderByClause() const override
    {
        const QString campo = record().fieldName(fieldIndex(QStringLiteral("Nombre")));
        return QStringLiteral("ORDER BY \"%1\" COLLATE ES, rowid").arg(campo);
    }
};

} // namespace

SiembraHortaliza LeerSiembra(Conexion &con, const QString &nombre)
{
    SiembraHortaliza s;
    QSqlQuery q = con.ejecutar(QStringLiteral("select * from horticolas where coincide(Nombre, ?) order by rowid"),
                               {nombre});
    // A fortnight field: a whole number, or empty.
    auto quincena = [&q](const char *campo) -> std::optional<int> {
        qlonglong n = 0;
        if (!entero(q.value(QString::fromUtf8(campo)), n) || n < std::numeric_limits<int>::min()
            || n > std::numeric_limits<int>::max())
            return std::nullopt;
        return int(n);
    };
    while (q.next()) {
        s.hayFilas = true;
        s.textoCosecha = QStringLiteral("C:%1d").arg(LeerTexto(q, "Cosecha_1_min"));
        const DatosSiembra d{quincena("Siembra_1_I"), quincena("Siembra_1_F"), quincena("Siembra_2_I"),
                             quincena("Siembra_2_F"), {}, {}};
        for (int c : QuincenasSiembra(d))
            if (!s.quincenas.contains(c))
                s.quincenas.append(c);
    }
    std::sort(s.quincenas.begin(), s.quincenas.end());
    return s;
}

CatalogoEditable::CatalogoEditable(QObject *parent) : QObject(parent) {}

CatalogoEditable::~CatalogoEditable()
{
    // The model goes before the connection it reads through.
    delete m_modelo;
    m_modelo = nullptr;
}

int CatalogoEditable::filas() const
{
    return m_modelo ? m_modelo->rowCount() : 0;
}

void CatalogoEditable::seleccionar()
{
    if (!m_modelo->select())
        throw ErrorBD(textoError(m_modelo->lastError()));
    // Read to the end: the statement then lets go of the file, so the rest of
    // the program can write while the editor stays open.
    while (m_modelo->canFetchMore())
        m_modelo->fetchMore();
    tomarOriginales();
}

void CatalogoEditable::tomarOriginales()
{
    // Straight after a reading nothing is pending: the rows are the table's.
    m_originales.clear();
    for (int f = 0; f < m_modelo->rowCount(); ++f)
        m_originales.append(m_modelo->record(f));
}

void CatalogoEditable::enlazar(const QString &cadena)
{
    const QList<Pendiente> anteriores = m_modelo ? pendientes() : QList<Pendiente>();
    auto conexion = std::make_unique<Conexion>(cadena);
    QSqlTableModel *modelo = new ModeloHorticolas(nullptr, conexion->bd());
    modelo->setTable(QStringLiteral("horticolas"));
    modelo->setEditStrategy(QSqlTableModel::OnManualSubmit);
    modelo->setSort(modelo->fieldIndex(QStringLiteral("Nombre")), Qt::AscendingOrder);
    if (modelo->fieldIndex(QStringLiteral("Nombre")) < 0) {
        delete modelo;
        throw ErrorBD(QStringLiteral("La base de datos no tiene la tabla horticolas."));
    }
    QSqlTableModel *anterior = m_modelo;
    m_modelo = modelo;
    try {
        seleccionar();
    } catch (const ErrorBD &) {
        m_modelo = anterior;
        delete modelo;
        throw;
    }
    delete anterior; // the previous reading, before its connection closes
    m_conexion = std::move(conexion);
    m_modelo->setParent(this);
    connect(m_modelo, &QSqlTableModel::beforeUpdate, this,
            [this](int fila, QSqlRecord &) { m_escribiendo = etiqueta(fila); });
    connect(m_modelo, &QSqlTableModel::beforeInsert, this, [this](QSqlRecord &r) {
        m_escribiendo = QStringLiteral("la hortaliza nueva «%1»").arg(r.value(QStringLiteral("Nombre")).toString());
    });
    reponer(anteriores);
    m_actual = filas() > 0 ? 0 : filas();
    emit modeloCambiado();
    emit movido();
}

void CatalogoEditable::moverA(int fila)
{
    m_actual = std::clamp(fila, -1, filas());
    emit movido();
}

void CatalogoEditable::moverPrimero() { moverA(filas() > 0 ? 0 : filas()); }
void CatalogoEditable::moverAnterior() { moverA(m_actual - 1); }
void CatalogoEditable::moverSiguiente() { moverA(m_actual + 1); }
void CatalogoEditable::moverUltimo() { moverA(filas() > 0 ? filas() - 1 : filas()); }

QVariant CatalogoEditable::campo(const QString &nombre) const
{
    if (!enRegistro())
        return {};
    return m_modelo->data(m_modelo->index(m_actual, m_modelo->fieldIndex(nombre)));
}

void CatalogoEditable::agregar()
{
    if (!m_modelo)
        return;
    m_modelo->insertRow(filas());
    moverA(filas() - 1);
}

bool CatalogoEditable::hayCambios() const
{
    return m_modelo && m_modelo->isDirty();
}

QList<CatalogoEditable::Pendiente> CatalogoEditable::pendientes() const
{
    QList<Pendiente> r;
    for (int f = 0; f < filas(); ++f) {
        Pendiente p;
        p.fila = f;
        p.nueva = f >= m_originales.size();
        if (!p.nueva)
            p.original = m_originales.at(f);
        for (int c = 0; c < m_modelo->columnCount(); ++c) {
            const QModelIndex i = m_modelo->index(f, c);
            if (p.nueva ? !i.data().isNull() : m_modelo->isDirty(i))
                p.valores.insert(c, i.data());
        }
        if (p.nueva || !p.valores.isEmpty())
            r.append(p);
    }
    return r;
}

void CatalogoEditable::reponer(const QList<Pendiente> &lista)
{
    QList<bool> usadas(m_originales.size(), false);
    for (const Pendiente &p : lista) {
        int fila = -1;
        if (p.nueva) {
            fila = filas();
            m_modelo->insertRow(fila);
        } else {
            for (int f = 0; f < m_originales.size() && fila < 0; ++f)
                if (!usadas[f] && m_originales.at(f) == p.original)
                    fila = f;
            if (fila < 0)
                continue; // the row has gone from the table
            usadas[fila] = true;
        }
        for (auto it = p.valores.cbegin(); it != p.valores.cend(); ++it)
            m_modelo->setData(m_modelo->index(fila, it.key()), it.value());
    }
}

QString CatalogoEditable::etiqueta(int fila) const
{
    const QString nombre = m_modelo->data(m_modelo->index(fila, m_modelo->fieldIndex(QStringLiteral("Nombre"))))
                               .toString();
    return nombre.trimmed().isEmpty() ? QStringLiteral("el registro %1").arg(fila + 1)
                                      : QStringLiteral("«%1» (registro %2)").arg(nombre, QString::number(fila + 1));
}

QString CatalogoEditable::comprobar() const
{
    if (!m_modelo)
        return {};
    const int cNombre = m_modelo->fieldIndex(QStringLiteral("Nombre"));
    for (const Pendiente &p : pendientes()) {
        const int fila = p.fila;
        const QString quien = etiqueta(fila);
        if (p.nueva && !p.valores.contains(cNombre))
            return QStringLiteral("Falta el nombre en %1: escríbelo antes de actualizar.").arg(quien);
        for (auto it = p.valores.cbegin(); it != p.valores.cend(); ++it) {
            const QString campo = m_modelo->record().fieldName(it.key());
            const QVariant v = it.value();
            qlonglong n = 0;
            if (it.key() == cNombre) {
                const QString nombre = v.toString();
                if (nombre.trimmed().isEmpty())
                    return QStringLiteral("Falta el nombre en %1: escríbelo antes de actualizar.").arg(quien);
                for (int g = 0; g < filas(); ++g)
                    if (g != fila
                        && m_modelo->index(g, cNombre).data().toString().compare(nombre, Qt::CaseInsensitive) == 0)
                        return QStringLiteral("El registro %1 no puede llamarse «%2»: ya hay una hortaliza"
                                              " llamada «%3» (registro %4). Las reglas de rotación no distinguen"
                                              " mayúsculas: cada hortaliza necesita un nombre distinto.")
                            .arg(QString::number(fila + 1), nombre,
                                 m_modelo->index(g, cNombre).data().toString(), QString::number(g + 1));
            } else if (esQuincena(campo) && !v.isNull() && (!entero(v, n) || n < 1 || n > 24)) {
                return QStringLiteral("En %1, %2 vale «%3»: las quincenas van de 1 a 24.")
                    .arg(quien, descripcion(campo), v.toString());
            } else if (esDias(campo) && !v.isNull() && (!entero(v, n) || n < 0)) {
                return QStringLiteral("En %1, %2 vale «%3»: los días hasta recolección son un número entero"
                                      " igual o mayor que 0.")
                    .arg(quien, descripcion(campo), v.toString());
            }
        }
    }
    return {};
}

void CatalogoEditable::guardar()
{
    if (!m_modelo)
        return;
    const QString motivo = comprobar();
    if (!motivo.isEmpty())
        throw ErrorBD(motivo);
    if (!hayCambios())
        return;
    const QList<Pendiente> lista = pendientes();
    const QString nombre = nombreActual();
    const int actual = m_actual;
    // BEGIN IMMEDIATE: a locked or read-only file refuses here, before any row.
    std::optional<Transaccion> t;
    try {
        t.emplace(*m_conexion);
    } catch (const ErrorBD &e) {
        throw ErrorBD(QStringLiteral("No se ha podido guardar el catálogo: %1. No se ha escrito ningún cambio;"
                                     " siguen pendientes.")
                          .arg(e.texto()));
    }
    QString error;
    m_escribiendo.clear();
    try {
        if (!m_modelo->submitAll())
            throw ErrorBD(textoError(m_modelo->lastError()));
        while (m_modelo->canFetchMore())
            m_modelo->fetchMore();
        t->confirmar();
    } catch (const ErrorBD &e) {
        error = e.texto();
    }
    if (!error.isEmpty()) {
        // Roll back, read the table as it still is and put the edits back.
        const QString quien = m_escribiendo.isEmpty() ? QStringLiteral("el catálogo") : m_escribiendo;
        t.reset();
        seleccionar();
        reponer(lista);
        moverA(actual);
        throw ErrorBD(QStringLiteral("No se ha podido guardar %1: %2. No se ha escrito ningún cambio; siguen"
                                     " pendientes.")
                          .arg(quien, error));
    }
    tomarOriginales();
    int fila = 0;
    for (int f = 0; f < filas(); ++f)
        if (m_modelo->index(f, m_modelo->fieldIndex(QStringLiteral("Nombre"))).data().toString() == nombre) {
            fila = f;
            break;
        }
    moverA(filas() > 0 ? fila : 0);
}

void CatalogoEditable::releer()
{
    if (!m_modelo)
        return;
    seleccionar();
    moverPrimero();
}

QString CatalogoEditable::Mostrar(const QString &campo, const QVariant &valor)
{
    if (!valor.isValid() || valor.isNull())
        return {};
    qlonglong n = 0;
    if (esQuincena(campo) && entero(valor, n) && n >= 0 && n <= 99)
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return valor.toString();
}

QVariant CatalogoEditable::Leer(const QString &campo, const QString &texto)
{
    if (texto.trimmed().isEmpty())
        return {};
    if (esQuincena(campo) || esDias(campo)) {
        bool ok = false;
        const int n = texto.trimmed().toInt(&ok);
        if (ok)
            return n;
    }
    return texto;
}

QStringList CatalogoEditable::Familias()
{
    return {QStringLiteral("Solanáceas"),     QStringLiteral("Crucíferas"),     QStringLiteral("Compuestas"),
            QStringLiteral("Leguminosas"),    QStringLiteral("Cucurbitáceas"),  QStringLiteral("Quenopodiáceas"),
            QStringLiteral("Liliáceas"),      QStringLiteral("Umbelíferas"),    QStringLiteral("Convolvulaceae"),
            QStringLiteral("Rosaceae"),       QStringLiteral("Gramineae")};
}

QStringList CatalogoEditable::PartesAprovechables()
{
    return {QStringLiteral("Raices y tubérculos"), QStringLiteral("Flor, Semilla y fruto"), QStringLiteral("Hojas"),
            QStringLiteral("Bulbos y tallos")};
}

QStringList CatalogoEditable::ProfundidadesRaices()
{
    return {QStringLiteral("Superficiales"), QStringLiteral("Profundas"), QStringLiteral("Medias")};
}
