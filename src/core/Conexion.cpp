#include "core/Conexion.h"

#include "core/TablaLatin1.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#include <memory>

#include <array>
#include <optional>


QString CadenaConexion;

void EstablecerCadenaConexion(const QString &carpeta)
{
    CadenaConexion = QDir(carpeta).filePath(QString::fromLatin1(NombreFicheroBD));
}

namespace {

QString plegarGeneral(const QString &s);

// Letters without accents and in lower case.
QString plegar(const QString &s)
{
    // Latin-1 holds no combining marks, so a Latin-1 text decomposes (and is
    // folded) character by character: the common case, done from a table.
    static const TablaLatin1 tabla(plegarGeneral);
    std::optional<QString> r = tabla.aplicar(s);
    return r ? *std::move(r) : plegarGeneral(s);
}

QString plegarGeneral(const QString &s)
{
    const QString d = s.normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(d.size());
    for (QChar c : d) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        r.append(c.toCaseFolded());
    }
    return r;
}
// Characters below 256 as plegar() folds each: 0 where one folds to other
// than a single character.
const std::array<char16_t, 256> &plegadoLatin1()
{
    static const std::array<char16_t, 256> tabla = [] {
        std::array<char16_t, 256> t{};
        for (int c = 0; c < 256; ++c) {
            const QString p = plegar(QString(QChar(c)));
            t[c] = p.size() == 1 ? p.at(0).unicode() : 0;
        }
        return t;
    }();
    return tabla;
}

// Readers of a text character by character: siguiente() gives the next one
// when it is below 256, -1 for any other (or a malformed sequence).
class LectorUtf16
{
public:
    explicit LectorUtf16(const QString &s) : m_p(reinterpret_cast<const char16_t *>(s.utf16())), m_n(s.size()) {}
    bool fin() const { return m_i >= m_n; }
    int siguiente() { return m_p[m_i] < 256 ? m_p[m_i++] : -1; }

private:
    const char16_t *m_p;
    qsizetype m_n, m_i = 0;
};

class LectorUtf8
{
public:
    LectorUtf8(const void *p, int n) : m_p(static_cast<const unsigned char *>(p)), m_n(n) {}
    bool fin() const { return m_i >= m_n; }
    int siguiente()
    {
        const unsigned char c = m_p[m_i];
        if (c < 0x80) {
            ++m_i;
            return c;
        }
        if ((c == 0xC2 || c == 0xC3) && m_i + 1 < m_n && (m_p[m_i + 1] & 0xC0) == 0x80) {
            const int r = ((c & 0x1F) << 6) | (m_p[m_i + 1] & 0x3F);
            m_i += 2;
            return r;
        }
        return -1;
    }

private:
    const unsigned char *m_p;
    int m_n, m_i = 0;
};

// CompararES for two texts of characters below 256 (names nearly always are),
// in place and stopping at the first difference: each such character folds
// to one. Nothing when a text holds any other character.
template <typename Lector>
std::optional<int> compararEnLatin1(Lector a, Lector b)
{
    const std::array<char16_t, 256> &tabla = plegadoLatin1();
    int exacta = 0;
    while (!a.fin() && !b.fin()) {
        const int ca = a.siguiente();
        const int cb = b.siguiente();
        if (ca < 0 || cb < 0 || !tabla[ca] || !tabla[cb])
            return std::nullopt;
        if (tabla[ca] != tabla[cb])
            return tabla[ca] < tabla[cb] ? -1 : 1;
        if (!exacta && ca != cb)
            exacta = ca < cb ? -1 : 1;
    }
    // What is left of the longer one must fold too for it to come after.
    const int resto = a.fin() ? (b.fin() ? 0 : -1) : 1;
    auto pliega = [&tabla](Lector &l) {
        while (!l.fin()) {
            const int c = l.siguiente();
            if (c < 0 || !tabla[c])
                return false;
        }
        return true;
    };
    if (!pliega(a) || !pliega(b))
        return std::nullopt;
    return resto != 0 ? resto : exacta;
}

} // namespace

QString PlegarES(const QString &s)
{
    return plegar(s);
}

int CompararES(const QString &a, const QString &b)
{
    if (const std::optional<int> r = compararEnLatin1(LectorUtf16(a), LectorUtf16(b)))
        return *r;
    const int c = plegar(a).compare(plegar(b));
    return c != 0 ? c : a.compare(b);
}

Fallo::Fallo(const QString &texto) : std::runtime_error(texto.toStdString()), m_texto(texto) {}

namespace {

TipoFalloBD clasificar(const QString &texto, int codigo)
{
    switch (codigo & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return TipoFalloBD::Bloqueada;
    case SQLITE_READONLY:
        return TipoFalloBD::SoloLectura;
    case SQLITE_PERM:
        return TipoFalloBD::SinPermiso;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return TipoFalloBD::Dañada;
    default:
        break;
    }
    // Errors raised by the driver itself carry no code: their text tells.
    const QString t = texto.toLower();
    if (t.contains(QLatin1String("locked")) || t.contains(QLatin1String("busy")))
        return TipoFalloBD::Bloqueada;
    if (t.contains(QLatin1String("readonly")) || t.contains(QLatin1String("read-only"))
        || t.contains(QLatin1String("read only")))
        return TipoFalloBD::SoloLectura;
    // A file emptied or replaced by something else lacks the program's tables.
    if (t.contains(QLatin1String("no such table")) || t.contains(QLatin1String("not a database"))
        || t.contains(QLatin1String("malformed")))
        return TipoFalloBD::Dañada;
    return TipoFalloBD::Otra;
}

} // namespace

ErrorBD::ErrorBD(const QString &texto, int codigo) : Fallo(texto), m_tipo(clasificar(texto, codigo)) {}

ErrorBD::ErrorBD(TipoFalloBD tipo, const QString &texto) : Fallo(texto), m_tipo(tipo) {}

QString MotivoFalloBD(const ErrorBD &e)
{
    switch (e.tipo()) {
    case TipoFalloBD::Bloqueada:
        return QStringLiteral("la base de datos está bloqueada por otro programa");
    case TipoFalloBD::SoloLectura:
        return QStringLiteral("la base de datos es de solo lectura");
    case TipoFalloBD::Falta:
        return QStringLiteral("el fichero no existe");
    case TipoFalloBD::SinPermiso:
        return QStringLiteral("no hay permiso para leer el fichero");
    case TipoFalloBD::Dañada:
        return QStringLiteral("el fichero no es una base de datos de Huerta válida o está dañado");
    case TipoFalloBD::Otra:
        break;
    }
    return QStringLiteral("la base de datos ha fallado");
}

QString ExplicarFallo(const Fallo &e, const QString &noHecho, const QString &queda)
{
    const auto *bd = dynamic_cast<const ErrorBD *>(&e);
    if (!bd)
        return e.texto();
    QString motivo = MotivoFalloBD(*bd);
    motivo[0] = motivo[0].toUpper();
    QString r = motivo + QStringLiteral(": ") + noHecho;
    if (!queda.isEmpty())
        r += QStringLiteral("; ") + queda;
    r += QLatin1Char('.');
    if (bd->tipo() == TipoFalloBD::Otra || bd->tipo() == TipoFalloBD::Dañada)
        r += QStringLiteral("\n\nDetalle: ") + bd->texto();
    return r;
}

namespace {

QString textoDe(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char16_t *>(sqlite3_value_text16(v));
    if (!p)
        return {};
    return QString::fromUtf16(p, sqlite3_value_bytes16(v) / 2);
}

void funcionCoincide(sqlite3_context *ctx, int, sqlite3_value **args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const QString a = textoDe(args[0]);
    const QString b = textoDe(args[1]);
    sqlite3_result_int(ctx, a.compare(b, Qt::CaseInsensitive) == 0 ? 1 : 0);
}

int colacionES(void *, int n1, const void *p1, int n2, const void *p2)
{
    if (const std::optional<int> r = compararEnLatin1(LectorUtf8(p1, n1), LectorUtf8(p2, n2)))
        return *r;
    return CompararES(QString::fromUtf8(static_cast<const char *>(p1), n1),
                      QString::fromUtf8(static_cast<const char *>(p2), n2));
}

sqlite3 *manejador(QSqlDatabase &bd)
{
    const QVariant v = bd.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.data());
    return nullptr;
}

QString textoError(const QSqlError &e)
{
    QString t = e.driverText();
    const QString bdt = e.databaseText();
    if (!bdt.isEmpty() && bdt != t)
        t = t.isEmpty() ? bdt : t + QStringLiteral(": ") + bdt;
    return t.isEmpty() ? e.text() : t;
}

ErrorBD errorDe(const QSqlError &e)
{
    return ErrorBD(textoError(e), e.nativeErrorCode().toInt());
}

QAtomicInteger<quint64> contador;
ObservadorSQL observador;

} // namespace

void ObservarSQL(ObservadorSQL o)
{
    observador = std::move(o);
}

Conexion::Conexion(const QString &cadena)
    : m_numero(++contador), m_nombre(QStringLiteral("huerta-%1").arg(m_numero))
{
    m_bd = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nombre);
    // mode=rw: open an existing file for reading and writing, never create one.
    QUrl url = QUrl::fromLocalFile(QFileInfo(cadena).absoluteFilePath());
    url.setQuery(QStringLiteral("mode=rw"));
    m_bd.setDatabaseName(url.toString(QUrl::FullyEncoded));
    m_bd.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1500"));
    if (!m_bd.open()) {
        const ErrorBD motor = errorDe(m_bd.lastError());
        m_bd = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombre);
        const QFileInfo info(cadena);
        const TipoFalloBD tipo = !info.exists()       ? TipoFalloBD::Falta
                                 : !info.isReadable() ? TipoFalloBD::SinPermiso
                                                      : motor.tipo();
        throw ErrorBD(tipo, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(cadena), motor.texto()));
    }
    if (sqlite3 *h = manejador(m_bd)) {
        sqlite3_create_function_v2(h, "coincide", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, funcionCoincide, nullptr, nullptr, nullptr);
        sqlite3_create_collation_v2(h, "ES", SQLITE_UTF8, nullptr, colacionES, nullptr);
    }
}

void AsegurarIndices(const QString &cadena)
{
    try {
        Conexion con(cadena);
        if (!con.hayFilas(QStringLiteral("select 1 from sqlite_master where type = 'index'"
                                         " and name = 'BDParcela_parcela_año'")))
            con.ejecutar(QStringLiteral("create index if not exists BDParcela_parcela_año"
                                        " on BDParcela (parcela, año, hoja)"));
    } catch (const ErrorBD &) {
    }
}

Conexion::~Conexion()
{
    m_preparadas.clear();
    m_bd.close();
    m_bd = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_nombre);
}

QSqlQuery Conexion::ejecutar(const QString &sql, const QVariantList &valores)
{
    if (observador)
        observador(m_numero, sql, valores, false);
    QSqlQuery q(m_bd);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw errorDe(q.lastError());
    for (const QVariant &v : valores)
        q.addBindValue(v);
    if (!q.exec())
        throw errorDe(q.lastError());
    return q;
}

QSqlQuery &Conexion::ejecutarPreparada(const QString &sql, const QVariantList &valores)
{
    if (observador)
        observador(m_numero, sql, valores, false);
    auto it = m_preparadas.find(sql);
    if (it == m_preparadas.end()) {
        QSqlQuery q(m_bd);
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            throw ErrorBD(textoError(q.lastError()));
        it = m_preparadas.insert(sql, std::move(q));
    }
    QSqlQuery &q = it.value();
    q.finish();
    for (int i = 0; i < valores.size(); ++i)
        q.bindValue(i, valores.at(i));
    if (!q.exec())
        throw ErrorBD(textoError(q.lastError()));
    return q;
}

bool Conexion::hayFilas(const QString &sql, const QVariantList &valores)
{
    QSqlQuery q = ejecutar(sql, valores);
    return q.next();
}

int FilaBD::entero(int columna) const
{
    return sqlite3_column_int(m_sentencia, columna);
}

QString FilaBD::texto(int columna) const
{
    return QString::fromUtf8(utf8(columna));
}

int FilaBD::columnas() const
{
    return sqlite3_column_count(m_sentencia);
}

QByteArrayView FilaBD::utf8(int columna) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_sentencia, columna));
    return p ? QByteArrayView(p, sqlite3_column_bytes(m_sentencia, columna)) : QByteArrayView();
}

void Conexion::recorrer(const QString &sql, const QVariantList &valores,
                        const std::function<void(const FilaBD &)> &fila)
{
    if (observador)
        observador(m_numero, sql, valores, true);
    sqlite3 *h = manejador(m_bd);
    if (!h)
        throw ErrorBD(QStringLiteral("La base de datos no está abierta."));
    const auto fallo = [h](int codigo) { return ErrorBD(QString::fromUtf8(sqlite3_errmsg(h)), codigo); };
    sqlite3_stmt *preparada = nullptr;
    const QByteArray texto = sql.toUtf8();
    const int r = sqlite3_prepare_v2(h, texto.constData(), int(texto.size()), &preparada, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> s(preparada, sqlite3_finalize);
    if (r != SQLITE_OK)
        throw fallo(r);
    for (int i = 0; i < valores.size(); ++i) {
        const QVariant &v = valores.at(i);
        int b;
        if (v.isNull())
            b = sqlite3_bind_null(s.get(), i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
            b = sqlite3_bind_int64(s.get(), i + 1, v.toLongLong());
        else if (v.typeId() == QMetaType::Double)
            b = sqlite3_bind_double(s.get(), i + 1, v.toDouble());
        else {
            const QByteArray t = v.toString().toUtf8();
            b = sqlite3_bind_text(s.get(), i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        if (b != SQLITE_OK)
            throw fallo(b);
    }
    const FilaBD actual(s.get());
    int paso;
    while ((paso = sqlite3_step(s.get())) == SQLITE_ROW)
        fila(actual);
    if (paso != SQLITE_DONE)
        throw fallo(paso);
}

Transaccion::Transaccion(Conexion &conexion) : m_conexion(conexion)
{
    // BEGIN IMMEDIATE takes the write lock now, so a locked file is reported
    // before anything is changed.
    m_conexion.ejecutar(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaccion::~Transaccion()
{
    if (m_abierta) {
        QSqlQuery q(m_conexion.m_bd);
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

void Transaccion::confirmar()
{
    m_conexion.ejecutar(QStringLiteral("COMMIT"));
    m_abierta = false;
}

int LeerEntero(const QSqlQuery &q, const char *campo)
{
    const QVariant v = q.value(QString::fromUtf8(campo));
    return v.isNull() ? 0 : v.toInt();
}

QString LeerTexto(const QSqlQuery &q, const char *campo)
{
    const QVariant v = q.value(QString::fromUtf8(campo));
    return v.isNull() ? QString() : v.toString();
}

bool LeerSiNo(const QSqlQuery &q, const char *campo)
{
    const QVariant v = q.value(QString::fromUtf8(campo));
    if (v.isNull())
        return false;
    bool ok = false;
    const int n = v.toInt(&ok);
    if (ok)
        return n != 0;
    const QString t = v.toString().trimmed().toLower();
    return t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("sí");
}
