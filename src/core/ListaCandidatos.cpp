#include "core/ListaCandidatos.h"

#include "core/TablaLatin1.h"

ListaCandidatos::ListaCandidatos(const QStringList &nombres)
{
    for (const QString &n : nombres)
        agregar(n);
}

QString ListaCandidatos::clave(const QString &nombre)
{
    // Each character folded on its own, as a comparison ignoring letter case
    // folds them: two names are equal so exactly when their keys are equal.
    static const TablaLatin1 tabla([](const QString &c) { return QString(c.at(0).toCaseFolded()); });
    if (std::optional<QString> r = tabla.aplicar(nombre))
        return *std::move(r);
    QString r;
    r.reserve(nombre.size());
    for (qsizetype i = 0; i < nombre.size(); ++i) {
        const QChar c = nombre.at(i);
        if (c.isHighSurrogate() && i + 1 < nombre.size() && nombre.at(i + 1).isLowSurrogate()) {
            const char32_t plegado = QChar::toCaseFolded(QChar::surrogateToUcs4(c, nombre.at(++i)));
            r += QChar::highSurrogate(plegado);
            r += QChar::lowSurrogate(plegado);
        } else {
            r += c.toCaseFolded();
        }
    }
    return r;
}

bool ListaCandidatos::agregar(const QString &nombre)
{
    const QString k = clave(nombre);
    if (m_claves.contains(k))
        return false;
    m_nombres.append(nombre);
    m_conClave.append(true);
    m_claves.insert(k);
    return true;
}

void ListaCandidatos::reservar(qsizetype n)
{
    m_nombres.reserve(n);
    m_conClave.reserve(n);
    m_claves.reserve(n);
}

void ListaCandidatos::agregarSinClave(const QString &nombre)
{
    m_nombres.append(nombre);
    m_conClave.append(false);
}

bool ListaCandidatos::quitar(const QString &nombre)
{
    if (!m_claves.remove(clave(nombre)))
        return false;
    for (int i = 0; i < m_nombres.size(); ++i) {
        if (m_conClave.at(i) && m_nombres.at(i).compare(nombre, Qt::CaseInsensitive) == 0) {
            m_nombres.removeAt(i);
            m_conClave.removeAt(i);
            break;
        }
    }
    return true;
}

bool ListaCandidatos::contiene(const QString &nombre) const
{
    return m_claves.contains(clave(nombre));
}
