#pragma once
// An ordered list of crop names in which each name stands at most once, letter
// case ignored (the name is its own key). The empty-crop entry may be added
// without a key, so it never collides with a crop name.
#include <QSet>
#include <QString>
#include <QStringList>

class ListaCandidatos
{
public:
    ListaCandidatos() = default;
    explicit ListaCandidatos(const QStringList &nombres); // repeated names kept once

    // Appends nombre keyed by itself; false (and nothing added) when an entry
    // with an equal key, letter case ignored, is already there.
    bool agregar(const QString &nombre);
    // Room for n entries in all.
    void reservar(qsizetype n);
    // Appends nombre without a key (no test for repeats).
    void agregarSinClave(const QString &nombre);
    // Takes out the keyed entry equal to nombre, letter case ignored.
    bool quitar(const QString &nombre);
    bool contiene(const QString &nombre) const;

    int size() const { return m_nombres.size(); }
    bool isEmpty() const { return m_nombres.isEmpty(); }
    const QString &at(int i) const { return m_nombres.at(i); }
    const QStringList &nombres() const { return m_nombres; }
    QStringList::const_iterator begin() const { return m_nombres.cbegin(); }
    QStringList::const_iterator end() const { return m_nombres.cend(); }
    bool operator==(const ListaCandidatos &o) const { return m_nombres == o.m_nombres; }

private:
    static QString clave(const QString &nombre);
    QStringList m_nombres;
    QList<bool> m_conClave;
    QSet<QString> m_claves; // the keyed names, folded
};
