#include "core/ListaCandidatos.h"

ListaCandidatos::ListaCandidatos(const QStringList &nombres)
{
    for (const QString &n : nombres)
        agregar(n);
}

int ListaCandidatos::posicionClave(const QString &nombre) const
{
    for (int i = 0; i < m_nombres.size(); ++i)
        if (m_conClave.at(i) && m_nombres.at(i).compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool ListaCandidatos::agregar(const QString &nombre)
{
    if (posicionClave(nombre) >= 0)
        return false;
    m_nombres.append(nombre);
    m_conClave.append(true);
    return true;
}

void ListaCandidatos::agregarSinClave(const QString &nombre)
{
    m_nombres.append(nombre);
    m_conClave.append(false);
}

bool ListaCandidatos::quitar(const QString &nombre)
{
    const int i = posicionClave(nombre);
    if (i < 0)
        return false;
    m_nombres.removeAt(i);
    m_conClave.removeAt(i);
    return true;
}

bool ListaCandidatos::contiene(const QString &nombre) const
{
    return posicionClave(nombre) >= 0;
}
