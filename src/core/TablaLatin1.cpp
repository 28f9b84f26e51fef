#include "core/TablaLatin1.h"

#include <algorithm>

TablaLatin1::TablaLatin1(const std::function<QString(const QString &)> &de)
{
    for (int c = 0; c < 256; ++c) {
        m_de[c] = de(QString(QChar(c)));
        m_mayor = std::max(m_mayor, m_de[c].size());
    }
}

std::optional<QString> TablaLatin1::aplicar(const QString &texto) const
{
    QString r(texto.size() * m_mayor, Qt::Uninitialized);
    QChar *fin = r.data();
    for (QChar c : texto) {
        if (c.unicode() >= 256)
            return std::nullopt;
        const QString &m = m_de[c.unicode()];
        fin = std::copy(m.cbegin(), m.cend(), fin);
    }
    r.truncate(fin - r.constData());
    return r;
}
