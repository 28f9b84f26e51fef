#include "core/ListaCandidatos.h"

#include "core/TablaLatin1.h"

ListaCandidatos::ListaCandidatos(const QStringList &nombres)
{
    for (const QString &n : nombres)
        agregar(n);
}

QString ListaCandidatos::clave(const QString &nombre)
{
    // Folding works character by character.
    static const TablaLatin1 tabla([](const QString &c) { return c.toCaseFolded(); });
    std::optional<QString> r = tabla.aplicar(nombre);
    return r ? *std::move(r) : nombre.toCaseFolded();
}

bool ListaCandidatos::contieneClave(const QString &clave, const QString &nombre) const
{
    // Names of one folded form are compared as the list defines a repeat.
    const auto [desde, hasta] = m_claves.equal_range(clave);
    for (auto it = desde; it != hasta; ++it)
        if (it.value().compare(nombre, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool ListaCandidatos::contiene(const QString &nombre) const
{
    return contieneClave(clave(nombre), nombre);
}

bool ListaCandidatos::agregar(const QString &nombre)
{
    const QString k = clave(nombre);
    if (contieneClave(k, nombre))
        return false;
    m_nombres.append(nombre);
    m_conClave.append(true);
    m_claves.insert(k, nombre);
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
    if (!contiene(nombre))
        return false;
    for (int i = 0; i < m_nombres.size(); ++i) {
        if (m_conClave.at(i) && m_nombres.at(i).compare(nombre, Qt::CaseInsensitive) == 0) {
            m_claves.remove(clave(m_nombres.at(i)), m_nombres.at(i));
            m_nombres.removeAt(i);
            m_conClave.removeAt(i);
            return true;
        }
    }
    return false;
}
