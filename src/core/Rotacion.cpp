#include "core/Rotacion.h"

#include "core/Conexion.h"

#include <QSet>

ListaCandidatos CopiaConClave(const ListaCandidatos &lista)
{
    ListaCandidatos copia;
    for (const QString &n : lista)
        copia.agregar(n);
    return copia;
}

namespace {

QHash<QString, int> posiciones(const ColeccionesCatalogo &catalogo)
{
    QHash<QString, int> p;
    p.reserve(catalogo.TodosCultivos.size());
    // Backwards, so that a repeated name keeps its first position.
    for (int i = catalogo.TodosCultivos.size() - 1; i >= 0; --i)
        p.insert(catalogo.TodosCultivos.at(i), i);
    return p;
}

} // namespace

ReglasRotacion::ReglasRotacion(const ColeccionesCatalogo &catalogo, const QString &cadena,
                               const ContextoReglas &contexto, Explicar explicar)
    : m_catalogo(catalogo), m_contexto(contexto), m_explicar(std::move(explicar)), m_posiciones(posiciones(catalogo)),
      m_cadena(cadena)
{
}

ReglasRotacion::ReglasRotacion(const ColeccionesCatalogo &catalogo, Conexion &conexion,
                               const ContextoReglas &contexto, Explicar explicar)
    : m_catalogo(catalogo), m_contexto(contexto), m_explicar(std::move(explicar)), m_posiciones(posiciones(catalogo)),
      m_conexion(&conexion)
{
}

Conexion &ReglasRotacion::conexion() const
{
    if (m_conexion)
        return *m_conexion;
    if (!m_propia)
        m_propia = std::make_shared<Conexion>(m_cadena);
    return *m_propia;
}

void ReglasRotacion::decir(const QString &linea) const
{
    if (m_explicar)
        m_explicar(linea);
}

// ---- Lookups ---------------------------------------------------------------

QString ReglasRotacion::sacar(const QString &cultivo, Propiedad p) const
{
    const int i = m_posiciones.value(cultivo, -1);
    if (i < 0)
        return {};
    const QStringList &columna = p == Propiedad::Familia            ? m_catalogo.TodasFamilias
                                 : p == Propiedad::ParteAprovechable ? m_catalogo.TodasProfit
                                                                     : m_catalogo.TodasRaiz;
    return columna.value(i);
}

QString ReglasRotacion::SacarFamilia(const QString &Cultivo) const
{
    return sacar(Cultivo, Propiedad::Familia);
}

QString ReglasRotacion::SacarParteAprovechable(const QString &Cultivo) const
{
    return sacar(Cultivo, Propiedad::ParteAprovechable);
}

QString ReglasRotacion::SacarProfRaiz(const QString &Cultivo) const
{
    return sacar(Cultivo, Propiedad::ProfRaiz);
}

// ---- Filters -----------------------------------------------------------------

// "parcela in (?, ...)" over the plot's stored spellings, the values appended
// to valores. The spellings are those FiltroParcela finds, sought once: the
// rules only read, so they cannot change meanwhile, and each rule's statement
// is then a plain one that the index on (parcela, año, hoja) serves.
QString ReglasRotacion::filtroParcela(QVariantList &valores) const
{
    if (!m_hayGrafias || m_grafiasDe != m_contexto.parcela) {
        // FiltroParcela is "parcela in (<select>)": its select alone.
        static const QString grafias = [] {
            QString f = FiltroParcela;
            const QString entrada = QStringLiteral("parcela in (");
            Q_ASSERT(f.startsWith(entrada) && f.endsWith(QLatin1Char(')')));
            return f.mid(entrada.size()).chopped(1);
        }();
        QSqlQuery &q = conexion().ejecutarPreparada(grafias, {m_contexto.parcela});
        m_grafias.clear();
        while (q.next())
            m_grafias << q.value(0);
        q.finish();
        m_grafiasDe = m_contexto.parcela;
        m_hayGrafias = true;
    }
    valores << m_grafias;
    if (m_grafias.isEmpty())
        return QStringLiteral("parcela is null and 0");
    QString marcas = QStringLiteral("?");
    for (int i = 1; i < m_grafias.size(); ++i)
        marcas += QStringLiteral(", ?");
    return QStringLiteral("parcela in (") + marcas + QLatin1Char(')');
}

// The crops stored for the plot where dondeMas holds (its values first, then
// the plot's name), in stored order within each sheet.
QStringList ReglasRotacion::cultivosDe(const QString &dondeMas, const QVariantList &valores) const
{
    QStringList cultivos;
    QVariantList v = valores;
    const QString filtro = filtroParcela(v);
    QSqlQuery &q = conexion().ejecutarPreparada(QStringLiteral("select cultivo from BDParcela where ") + dondeMas
                                                    + QStringLiteral(" and ") + filtro
                                                    + QStringLiteral(" order by hoja, rowid"),
                                                v);
    while (q.next())
        cultivos << q.value(0).toString();
    q.finish();
    return cultivos;
}

ListaCandidatos ReglasRotacion::VerificarNoRepeticiónHojas(const ListaCandidatos &ListaPrevia) const
{
    ListaCandidatos resultado = CopiaConClave(ListaPrevia);
    // The other sheets of the plot, sheet by sheet.
    const QStringList filas
        = cultivosDe(QStringLiteral("año = ? and hoja >= 1 and hoja <= ? and hoja <> ?"),
                     {m_contexto.año, m_contexto.nhojas, m_contexto.hoja});
    const QSet<QString> dados(ListaPrevia.begin(), ListaPrevia.end());
    for (const QString &cultivo : filas) {
        if (dados.contains(cultivo) && resultado.quitar(cultivo))
            decir(QStringLiteral("Por repetición en las otras hojas sacado el cultivo : ") + cultivo);
    }
    return resultado;
}

ListaCandidatos ReglasRotacion::porPropiedad(const ListaCandidatos &ListaPrevia, int AñoVerificación,
                                             Propiedad p, bool apagada) const
{
    ListaCandidatos resultado = CopiaConClave(ListaPrevia);
    const QStringList filas
        = cultivosDe(QStringLiteral("año = ? and hoja = ?"), {AñoVerificación, m_contexto.hoja});
    if (apagada)
        return resultado;
    // The entries by their property, each group in the list's order.
    QHash<QString, QStringList> porValor;
    for (const QString &entrada : ListaPrevia)
        porValor[sacar(entrada, p)].append(entrada);
    for (const QString &cultivo : filas) {
        const QString deLaFila = sacar(cultivo, p);
        for (const QString &entrada : porValor.value(deLaFila)) {
            if (!resultado.quitar(entrada))
                continue;
            if (p == Propiedad::Familia)
                decir(QStringLiteral("Por repetición de la familia ") + deLaFila
                      + QStringLiteral(" Extraido el cultivo:") + entrada);
            else
                decir(QStringLiteral("Por repetición de ") + deLaFila + QStringLiteral(" sacado el cultivo:")
                      + entrada);
        }
    }
    return resultado;
}

ListaCandidatos ReglasRotacion::VerificarNoRepeticiónFamilia(const ListaCandidatos &ListaPrevia,
                                                             int AñoVerificación) const
{
    return porPropiedad(ListaPrevia, AñoVerificación, Propiedad::Familia, false);
}

ListaCandidatos ReglasRotacion::VerificarNoRepeticiónParteAprovechable(const ListaCandidatos &ListaPrevia,
                                                                       int AñoVerificación) const
{
    return porPropiedad(ListaPrevia, AñoVerificación, Propiedad::ParteAprovechable, m_contexto.repetirFrutos);
}

ListaCandidatos ReglasRotacion::VerificarNoRepeticiónProfRaices(const ListaCandidatos &ListaPrevia,
                                                                int AñoVerificación) const
{
    return porPropiedad(ListaPrevia, AñoVerificación, Propiedad::ProfRaiz, m_contexto.repetirRaices);
}

ListaCandidatos ReglasRotacion::VerificarNoRepeticiónPorAños(const ListaCandidatos &ListaPrevia, int Años) const
{
    ListaCandidatos resultado = CopiaConClave(ListaPrevia);
    const int desde = m_contexto.año - Años;
    QVariantList v{desde, m_contexto.año, m_contexto.hoja};
    const QString filtro = filtroParcela(v);
    QSqlQuery &q = conexion().ejecutarPreparada(QStringLiteral("select cultivo from BDParcela where año > ? and año < ?"
                                                               " and hoja = ? and ")
                                                    + filtro + QStringLiteral(" order by rowid"),
                                                v);
    const QSet<QString> dados(ListaPrevia.begin(), ListaPrevia.end());
    while (q.next()) {
        const QString cultivo = q.value(0).toString();
        if (!dados.contains(cultivo) || !resultado.quitar(cultivo))
            continue;
        decir(QStringLiteral("Por repetición de «") + cultivo + QStringLiteral("» en alguno de los años previos <")
              + QString::number(desde) + QLatin1Char('-') + QString::number(m_contexto.año)
              + QStringLiteral("> sacado el cultivo de la lista de posibles"));
    }
    q.finish();
    return resultado;
}

ListaCandidatos ReglasRotacion::CandidatosDeLaHoja(const ListaCandidatos &posibles) const
{
    const int añoAnterior = m_contexto.año - 1;
    ListaCandidatos l = VerificarNoRepeticiónHojas(posibles);
    l = VerificarNoRepeticiónFamilia(l, añoAnterior);
    l = VerificarNoRepeticiónParteAprovechable(l, añoAnterior);
    l = VerificarNoRepeticiónProfRaices(l, añoAnterior);
    return VerificarNoRepeticiónPorAños(l, 3);
}

// ---- Follow-on slots -------------------------------------------------------------

bool ReglasRotacion::MarcaPlurianual() const
{
    QVariantList v{m_contexto.año - 1, m_contexto.año};
    const QString filtro = filtroParcela(v);
    QSqlQuery &q = conexion().ejecutarPreparada(
        QStringLiteral("select 1 from BDParcela where año in (?, ?)"
                       " and (coincide(cultivo, 'fresas') or coincide(cultivo, 'alcachofas')"
                       " or coincide(cultivo, 'espárragos')) and ")
            + filtro,
        v);
    const bool hay = q.next();
    q.finish();
    return hay;
}

QStringList ReglasRotacion::ListaArrastrada(const QStringList &listaAnterior, bool marca)
{
    const int n = listaAnterior.size() - (marca ? 1 : 0);
    return n > 0 ? listaAnterior.mid(0, n) : QStringList();
}

namespace {

// How each follow-on stage names the earlier pickers' values, by fila.
QString nombrarFamilias(const QStringList &f)
{
    switch (f.size()) {
    case 1: return f[0];
    case 2: return f[0] + QStringLiteral(" y la ") + f[1];
    default: return f[0] + QLatin1Char(',') + f[1] + QLatin1Char(',') + QStringLiteral(" y la ") + f[2];
    }
}

QString nombrarPartes(const QStringList &p)
{
    return p.join(QStringLiteral(" , "));
}

QString nombrarRaices(const QStringList &r)
{
    return r.size() == 3 ? r.join(QStringLiteral(" o ")) : r.join(QStringLiteral(" , "));
}

} // namespace

QStringList ReglasRotacion::EtapasSiguientes(int fila, const QStringList &candidatos,
                                             const QStringList &anteriores) const
{
    if (fila < 1 || fila > 3)
        return {};
    QStringList F, P, R;
    for (int j = 0; j < fila; ++j) {
        const QString texto = anteriores.value(j);
        F << SacarFamilia(texto);
        P << SacarParteAprovechable(texto);
        R << SacarProfRaiz(texto);
    }

    QStringList trasFamilia;
    for (const QString &c : candidatos) {
        if (F.contains(SacarFamilia(c)))
            decir(QStringLiteral("Por repetición de la familia ") + nombrarFamilias(F)
                  + QStringLiteral(" Extraido el cultivo:") + c);
        else
            trasFamilia << c;
    }

    QStringList trasParte;
    if (m_contexto.repetirFrutos) {
        trasParte = trasFamilia;
    } else {
        for (const QString &c : trasFamilia) {
            if (P.contains(SacarParteAprovechable(c)))
                decir(QStringLiteral("Por repetición de ") + nombrarPartes(P) + QStringLiteral(" sacado el cultivo:")
                      + c);
            else
                trasParte << c;
        }
    }

    if (m_contexto.repetirRaices)
        return trasParte;
    QStringList trasRaiz;
    for (const QString &c : trasParte) {
        if (R.contains(SacarProfRaiz(c)))
            decir(QStringLiteral("Por repetición de ") + nombrarRaices(R) + QStringLiteral(" sacado el cultivo:") + c);
        else
            trasRaiz << c;
    }
    return trasRaiz;
}

QStringList ReglasRotacion::CandidatosSiguientes(int fila, const QStringList &listaAnterior,
                                                 const QStringList &anteriores) const
{
    if (fila < 0 || fila >= 4)
        return {};
    const bool marca = MarcaPlurianual();
    ListaCandidatos previa;
    if (fila > 0)
        for (const QString &n : ListaArrastrada(listaAnterior, marca))
            previa.agregarSinClave(n);
    const ListaCandidatos candidatos = VerificarNoRepeticiónHojas(previa);
    return EtapasSiguientes(fila, candidatos.nombres(), anteriores);
}
