#include "tools/CrearBaseDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>

namespace {

class BDTemporal
{
public:
    explicit BDTemporal(const QString &fichero)
        : m_nombre(QStringLiteral("huerta-semilla-%1").arg(reinterpret_cast<quintptr>(this)))
    {
        m_bd = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nombre);
        m_bd.setDatabaseName(fichero);
    }
    ~BDTemporal()
    {
        m_bd.close();
        m_bd = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombre);
    }
    QSqlDatabase &bd() { return m_bd; }

private:
    QString m_nombre;
    QSqlDatabase m_bd;
};

bool fallo(QString *error, const QString &texto)
{
    if (error)
        *error = texto;
    return false;
}

bool ejecutarGuion(QSqlDatabase &bd, const QString &guion, QString *error)
{
    // Statements end with ';'; lines starting with "--" are comments.
    QString limpio;
    for (const QString &linea : guion.split(QLatin1Char('\n')))
        if (!linea.trimmed().startsWith(QLatin1String("--")))
            limpio += linea + QLatin1Char('\n');
    for (const QString &sentencia : limpio.split(QLatin1Char(';'))) {
        if (sentencia.trimmed().isEmpty())
            continue;
        QSqlQuery q(bd);
        if (!q.exec(sentencia))
            return fallo(error, q.lastError().text());
    }
    return true;
}

bool cargarTSV(QSqlDatabase &bd, const QString &tsv, const QString &tabla, QString *error)
{
    QFile f(tsv);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return fallo(error, QStringLiteral("No se puede leer %1").arg(tsv));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    const QStringList columnas = in.readLine().split(QLatin1Char('\t'));
    QStringList huecos;
    for (int i = 0; i < columnas.size(); ++i)
        huecos << QStringLiteral("?");
    const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                            .arg(tabla, columnas.join(QLatin1Char(',')), huecos.join(QLatin1Char(',')));
    int numLinea = 1;
    while (!in.atEnd()) {
        const QString linea = in.readLine();
        ++numLinea;
        if (linea.trimmed().isEmpty())
            continue;
        const QStringList celdas = linea.split(QLatin1Char('\t'));
        if (celdas.size() != columnas.size())
            return fallo(error, QStringLiteral("%1:%2: %3 columnas en lugar de %4")
                                    .arg(tsv).arg(numLinea).arg(celdas.size()).arg(columnas.size()));
        QSqlQuery q(bd);
        q.prepare(sql);
        for (const QString &c : celdas)
            q.addBindValue(c.isEmpty() ? QVariant() : QVariant(c));
        if (!q.exec())
            return fallo(error, QStringLiteral("%1:%2: %3").arg(tsv).arg(numLinea).arg(q.lastError().text()));
    }
    return true;
}

} // namespace

bool CargarTablaTSV(const QString &fichero, const QString &tsv, const QString &tabla, QString *error)
{
    BDTemporal t(fichero);
    if (!t.bd().open())
        return fallo(error, t.bd().lastError().text());
    return cargarTSV(t.bd(), tsv, tabla, error);
}

bool CrearBaseDatos(const QString &fichero, const QString &carpetaDatos, QString *error)
{
    if (QFileInfo::exists(fichero))
        return fallo(error, QStringLiteral("%1 ya existe; no se sobrescribe").arg(fichero));
    const QDir datos(carpetaDatos);
    QFile esquema(datos.filePath(QStringLiteral("esquema.sql")));
    if (!esquema.open(QIODevice::ReadOnly | QIODevice::Text))
        return fallo(error, QStringLiteral("No se puede leer %1").arg(esquema.fileName()));
    const QString guion = QString::fromUtf8(esquema.readAll());

    // Build under a temporary name and move into place only when complete, so
    // a failed build never leaves a half-made database behind.
    const QString temporal = fichero + QStringLiteral(".nuevo");
    QFile::remove(temporal);
    bool ok;
    {
        BDTemporal t(temporal);
        ok = t.bd().open();
        if (!ok && error)
            *error = t.bd().lastError().text();
        if (ok)
            ok = t.bd().transaction()
                && ejecutarGuion(t.bd(), guion, error)
                && cargarTSV(t.bd(), datos.filePath(QStringLiteral("horticolas.tsv")), QStringLiteral("horticolas"), error)
                && cargarTSV(t.bd(), datos.filePath(QStringLiteral("parcelas.tsv")), QStringLiteral("Parcelas"), error)
                && t.bd().commit();
    }
    if (!ok || !QFile::rename(temporal, fichero)) {
        QFile::remove(temporal);
        if (ok)
            return fallo(error, QStringLiteral("No se puede crear %1").arg(fichero));
        return false;
    }
    return true;
}
