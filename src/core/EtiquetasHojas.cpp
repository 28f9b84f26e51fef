#include "core/EtiquetasHojas.h"

#include "core/Conexion.h"

QString TextoEtiquetaHoja(Conexion &con, const QString &parcela, int año, int hoja)
{
    static const QString finLinea = QStringLiteral("\r\n");
    QString texto = QStringLiteral("Hoja: ") + QString::number(hoja) + finLinea;
    QSqlQuery q = con.ejecutar(QStringLiteral("select cultivo from BDParcela where año = ? and hoja = ? and ")
                                   + FiltroParcela + QStringLiteral(" order by rowid"),
                               {año, hoja, parcela});
    while (q.next())
        texto += LeerTexto(q, "cultivo") + finLinea;
    return texto;
}

QHash<int, QString> TextosEtiquetas(Conexion &con, const QString &parcela, int año)
{
    static const QString finLinea = QStringLiteral("\r\n");
    QHash<int, QString> textos;
    QSqlQuery q = con.ejecutar(
        QStringLiteral("select hoja, cultivo from BDParcela where año = ? and ") + FiltroParcela
            + QStringLiteral(" order by rowid"),
        {año, parcela});
    while (q.next()) {
        const int hoja = LeerEntero(q, "hoja");
        QString &texto = textos[hoja];
        if (texto.isEmpty())
            texto = QStringLiteral("Hoja: ") + QString::number(hoja) + finLinea;
        texto += LeerTexto(q, "cultivo") + finLinea;
    }
    return textos;
}

QString TextoEtiqueta(const QHash<int, QString> &textos, int hoja)
{
    return textos.value(hoja, QStringLiteral("Hoja: ") + QString::number(hoja) + QStringLiteral("\r\n"));
}
