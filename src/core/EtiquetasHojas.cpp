#include "core/EtiquetasHojas.h"

#include "core/Conexion.h"

QString TextoEtiquetaHoja(Conexion &con, const QString &parcela, int año, int hoja)
{
    static const QString finLinea = QStringLiteral("\r\n");
    QString texto = QStringLiteral("Hoja: ") + QString::number(hoja) + finLinea;
    QSqlQuery q = con.ejecutar(QStringLiteral("select cultivo from BDParcela where año = ? and hoja = ?"
                                              " and coincide(parcela, ?) order by rowid"),
                               {año, hoja, parcela});
    while (q.next())
        texto += LeerTexto(q, "cultivo") + finLinea;
    return texto;
}
