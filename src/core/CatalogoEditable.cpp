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

ErrorBD errorDe(const QSqlError &e)
{
    const QString t = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return ErrorBD(t.trimmed(), e.nativeErrorCode().toInt());
}

bool mismoNombre(const QVariant &a, const QString &b)
{
    return a.toString().trimmed().compare(b, Qt::CaseInsensitive) == 0;
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
        throw errorDe(m_modelo->lastError());
    // Read to the end: the statement then lets go of the file, so the rest of
    // the program can write while the editor stays open.
    while (m_modelo->canFetchMore())
        m_modelo->fetchMore();
    tomarOriginales();
}

void CatalogoEditable::tomarOriginales()
{
    // Straight after a reading nothing is pending: the rows are the table's,
    // and the reading itself keeps them as read (edits are held apart).
    m_leidas = m_modelo->rowCount();
}

QSqlRecord CatalogoEditable::original(int fila) const
{
    // The model's statement holds every row it read; the edits are the model's.
    QSqlQuery lectura = m_modelo->query();
    return lectura.seek(fila) ? lectura.record() : QSqlRecord();
}

void CatalogoEditable::enlazar(const QString &cadena)
{
    m_cadena = cadena;
    leer(true);
    m_actual = filas() > 0 ? 0 : filas();
    emit movido();
}

void CatalogoEditable::leer(bool conservar)
{
    const QList<Pendiente> anteriores = conservar ? pendientes() + m_sinFila : QList<Pendiente>();
    auto conexion = std::make_unique<Conexion>(m_cadena);
    // The model reads the table's columns without saying why it could not:
    // a file locked or without the table is told here, in the engine's terms.
    conexion->ejecutar(QStringLiteral("select * from horticolas limit 0"));
    QSqlTableModel *modelo = new ModeloHorticolas(nullptr, conexion->bd());
    modelo->setTable(QStringLiteral("horticolas"));
    modelo->setEditStrategy(QSqlTableModel::OnManualSubmit);
    modelo->setSort(modelo->fieldIndex(QStringLiteral("Nombre")), Qt::AscendingOrder);
    if (modelo->fieldIndex(QStringLiteral("Nombre")) < 0) {
        delete modelo;
        throw ErrorBD(TipoFalloBD::Dañada, QStringLiteral("La base de datos no tiene la tabla horticolas."));
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
    if (!conservar)
        m_cambiadas.clear();
    reponer(anteriores);
    emit modeloCambiado();
}

void CatalogoEditable::moverA(int fila)
{
    m_actual = std::clamp(fila, -1, filas());
    emit movido();
}

int CatalogoEditable::buscar(const QString &nombre) const
{
    const int columna = m_modelo ? m_modelo->fieldIndex(QStringLiteral("Nombre")) : -1;
    for (int fila = 0; fila < filas(); ++fila)
        if (m_modelo->data(m_modelo->index(fila, columna)).toString() == nombre)
            return fila;
    return filas();
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
    return m_modelo && (m_modelo->isDirty() || !m_sinFila.isEmpty());
}

QList<CatalogoEditable::Pendiente> CatalogoEditable::pendientes() const
{
    QList<Pendiente> r;
    for (int f = 0; f < filas(); ++f) {
        Pendiente p;
        p.fila = f;
        p.nueva = f >= m_leidas;
        for (int c = 0; c < m_modelo->columnCount(); ++c) {
            const QModelIndex i = m_modelo->index(f, c);
            if (p.nueva ? !i.data().isNull() : m_modelo->isDirty(i))
                p.valores.insert(c, i.data());
        }
        if (!p.nueva && !p.valores.isEmpty())
            p.original = original(f);
        if (p.nueva || !p.valores.isEmpty())
            r.append(p);
    }
    return r;
}

void CatalogoEditable::reponer(const QList<Pendiente> &lista)
{
    m_sinFila.clear();
    QList<bool> usadas(m_leidas, false);
    auto buscar = [&](auto igual) {
        for (int f = 0; f < m_leidas; ++f)
            if (!usadas[f] && igual(original(f)))
                return f;
        return -1;
    };
    for (const Pendiente &p : lista) {
        int fila = -1;
        if (!p.nueva) {
            fila = buscar([&](const QSqlRecord &r) { return r == p.original; });
            if (fila < 0) {
                // Changed elsewhere since it was read: the edits go over the
                // row as it is now (the one with that name). A crop renamed or
                // removed elsewhere is not made again: its edits are kept apart.
                const QVariant nombre = p.original.value(QStringLiteral("Nombre"));
                fila = buscar([&](const QSqlRecord &r) { return r.value(QStringLiteral("Nombre")) == nombre; });
                if (fila < 0) {
                    m_sinFila << p;
                    continue;
                }
                const QString quien = QStringLiteral("«%1»").arg(nombre.toString());
                if (!m_cambiadas.contains(quien))
                    m_cambiadas << quien;
            }
        }
        if (fila < 0) {
            fila = filas();
            m_modelo->insertRow(fila);
        } else {
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
                const QString nombre = v.toString().trimmed();
                if (nombre.isEmpty())
                    return QStringLiteral("Falta el nombre en %1: escríbelo antes de actualizar.").arg(quien);
                for (int g = 0; g < filas(); ++g)
                    if (g != fila && mismoNombre(m_modelo->index(g, cNombre).data(), nombre))
                        return QStringLiteral("El registro %1 no puede llamarse «%2»: ya hay una hortaliza"
                                              " llamada «%3» (registro %4). Las reglas de rotación no distinguen"
                                              " mayúsculas: cada hortaliza necesita un nombre distinto.")
                            .arg(QString::number(fila + 1), nombre,
                                 m_modelo->index(g, cNombre).data().toString(), QString::number(g + 1));
            } else if (esQuincena(campo) && !v.isNull() && (!entero(v, n) || n < 1 || n > 24)) {
                return QStringLiteral("En %1, %2 vale «%3»: las quincenas van de 1 a 24.")
                    .arg(quien, descripcion(campo), v.toString());
            } else if (esDias(campo) && !v.isNull() && (!entero(v, n) || n < 0 || n > DiasCosechaMaximos)) {
                return QStringLiteral("En %1, %2 vale «%3»: los días hasta recolección son un número entero"
                                      " de 0 a %4.")
                    .arg(quien, descripcion(campo), v.toString(), QString::number(DiasCosechaMaximos));
            }
        }
    }
    return {};
}

void CatalogoEditable::recortarNombres()
{
    const int cNombre = m_modelo->fieldIndex(QStringLiteral("Nombre"));
    for (const Pendiente &p : pendientes()) {
        const QString nombre = p.valores.value(cNombre).toString();
        if (p.valores.contains(cNombre) && nombre != nombre.trimmed())
            m_modelo->setData(m_modelo->index(p.fila, cNombre), nombre.trimmed());
    }
}

void CatalogoEditable::comprobarNombresEnTabla(const QList<Pendiente> &lista)
{
    // Another copy of the program may have stored a name since the reading:
    // the table itself, inside the write's transaction, has the last word.
    const int cNombre = m_modelo->fieldIndex(QStringLiteral("Nombre"));
    for (const Pendiente &p : lista) {
        if (!p.valores.contains(cNombre))
            continue;
        const QString nombre = p.valores.value(cNombre).toString();
        // Rows that hold the name now and give it up in this write.
        int libres = 0;
        for (const Pendiente &o : lista)
            if (!o.nueva && (o.fila == p.fila || o.valores.contains(cNombre))
                && mismoNombre(o.original.value(cNombre), nombre))
                ++libres;
        QSqlQuery q = m_conexion->ejecutar(
            QStringLiteral("select count(*), max(Nombre) from horticolas where coincide(Nombre, ?)"), {nombre});
        if (q.next() && q.value(0).toInt() > libres)
            throw Rechazo(QStringLiteral("Otro programa ha guardado ya una hortaliza llamada «%1»: %2 no puede"
                                         " llamarse «%3», porque las reglas de rotación no distinguen mayúsculas."
                                         " No se ha escrito ningún cambio del catálogo; siguen pendientes.")
                              .arg(q.value(1).toString(), etiqueta(p.fila), nombre));
    }
}

void CatalogoEditable::situar(const QString &nombre, int fila)
{
    const int cNombre = m_modelo->fieldIndex(QStringLiteral("Nombre"));
    for (int f = 0; f < filas(); ++f)
        if (m_modelo->index(f, cNombre).data().toString() == nombre)
            fila = f;
    moverA(filas() > 0 ? std::min(fila, filas() - 1) : 0);
}

int CatalogoEditable::escribir(const QList<Pendiente> &lista)
{
    const QSqlRecord campos = m_modelo->record();
    auto columna = [&campos](int c) { return QStringLiteral("\"%1\"").arg(campos.fieldName(c)); };
    for (const Pendiente &p : lista) {
        m_escribiendo = p.nueva ? QStringLiteral("la hortaliza nueva %1").arg(etiqueta(p.fila)) : etiqueta(p.fila);
        QStringList columnas;
        QVariantList valores;
        for (auto it = p.valores.cbegin(); it != p.valores.cend(); ++it) {
            columnas << columna(it.key());
            valores << it.value();
        }
        if (p.nueva) {
            m_conexion->ejecutar(QStringLiteral("insert into horticolas (%1) values (%2)")
                                     .arg(columnas.join(QStringLiteral(", ")),
                                          QStringList(columnas.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                                 valores);
            continue;
        }
        // The table has no key: the row is the one that still holds every
        // value it had when read.
        QStringList donde;
        for (int c = 0; c < p.original.count(); ++c) {
            donde << columna(c) + QStringLiteral(" is ?");
            valores << p.original.value(c);
        }
        QSqlQuery q = m_conexion->ejecutar(QStringLiteral("update horticolas set %1 = ? where %2")
                                               .arg(columnas.join(QStringLiteral(" = ?, ")),
                                                    donde.join(QStringLiteral(" and "))),
                                           valores);
        if (q.numRowsAffected() == 0)
            return p.fila;
    }
    m_escribiendo.clear();
    return -1;
}

void CatalogoEditable::guardar()
{
    if (!m_modelo)
        return;
    recortarNombres();
    const QString motivo = comprobar();
    if (!motivo.isEmpty())
        throw Rechazo(motivo);
    if (!hayCambios())
        return;
    const QString nombre = nombreActual();
    const int actual = m_actual;
    m_escribiendo.clear();
    // Each write reads the table afresh through a new connection: a file
    // replaced or moved since the last reading is opened again, and a crop
    // that another copy of the program changed is found before anything is
    // written. A failed reading leaves the previous one with its edits.
    leer(true);
    if (m_cambiadas.isEmpty() && m_sinFila.isEmpty()) {
        // The statements are our own: the model keeps every edit pending
        // until the transaction is confirmed, whatever fails on the way.
        int cambiada = -1;
        try {
            // BEGIN IMMEDIATE: a locked or read-only file refuses here, before any row.
            Transaccion t(*m_conexion);
            const QList<Pendiente> lista = pendientes();
            comprobarNombresEnTabla(lista);
            cambiada = escribir(lista);
            if (cambiada < 0)
                t.confirmar();
        } catch (const Fallo &) {
            situar(nombre, actual);
            throw;
        }
        if (cambiada >= 0) {
            // Rolled back; the edits go over the row as it is now.
            const QString quien = etiqueta(cambiada);
            try {
                leer(true);
            } catch (const ErrorBD &) {
            }
            if (m_cambiadas.isEmpty() && m_sinFila.isEmpty())
                m_cambiadas << quien;
        } else {
            try {
                leer(false);
            } catch (const ErrorBD &) {
                // Written: a later reading shows it.
            }
        }
    }
    situar(nombre, actual);
    if (!m_sinFila.isEmpty()) {
        QStringList nombres;
        for (const Pendiente &p : std::as_const(m_sinFila))
            nombres << QStringLiteral("«%1»").arg(p.original.value(QStringLiteral("Nombre")).toString());
        throw Rechazo(QStringLiteral("Otro programa ha renombrado o borrado %1 desde que se leyó el catálogo: sus"
                                     " cambios ya no se pueden escribir, y no se ha escrito ningún cambio del"
                                     " catálogo. Siguen pendientes: pulsa «Renovar» para descartarlos.")
                          .arg(nombres.join(QStringLiteral(", "))));
    }
    if (!m_cambiadas.isEmpty()) {
        const QString cambiadas = m_cambiadas.join(QStringLiteral(", "));
        m_cambiadas.clear(); // told once; the next write writes the edits
        throw Rechazo(QStringLiteral("Otro programa ha cambiado %1 desde que se leyó el catálogo: no se ha escrito"
                                     " ningún cambio. Tus cambios siguen en pantalla sobre la hortaliza tal como"
                                     " está ahora: pulsa «Actualizar» para escribirlos o «Renovar» para"
                                     " descartarlos.")
                          .arg(cambiadas));
    }
}

QString CatalogoEditable::fallida() const
{
    return m_escribiendo.isEmpty() ? QStringLiteral("el catálogo") : m_escribiendo;
}

void CatalogoEditable::releer()
{
    if (!m_modelo)
        return;
    leer(false);
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
