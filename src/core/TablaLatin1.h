#pragma once
// A per-character mapping of text, tabulated for the 256 Latin-1 characters:
// nearly every name the program handles is Latin-1, so folding one is a table
// lookup per character instead of a Unicode algorithm.
#include <QString>

#include <functional>
#include <optional>

class TablaLatin1
{
public:
    // `de` maps one character; it is called once for each Latin-1 character.
    explicit TablaLatin1(const std::function<QString(const QString &)> &de);

    // The text mapped character by character; nothing when the text holds a
    // character outside Latin-1.
    std::optional<QString> aplicar(const QString &texto) const;

private:
    QString m_de[256];
    qsizetype m_mayor = 1; // longest mapping
};
