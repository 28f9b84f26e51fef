#include "core/SesionHoja.h"

#include "core/Conexion.h"
#include "core/RejillaPlan.h"
#include "core/Rotacion.h"
#include "core/modBasico.h"

#include <algorithm>

using namespace modBasico;

namespace {

// Position of cultivo in a picker's list: the entry written exactly so, else
// one that differs only in letter case; -1 when there is none.
int posicionEn(const QStringList &entradas, const QString &cultivo)
{
    const int i = entradas.indexOf(cultivo);
    if (i >= 0)
        return i;
    for (int j = 0; j < entradas.size(); ++j)
        if (entradas.at(j).compare(cultivo, Qt::CaseInsensitive) == 0)
            return j;
    return -1;
}

// A slot can always be left empty: the empty-crop entry heads the list even
// when a rule took it out (a crop no longer in the catalogue, or an earlier
// slot left empty, has the same empty properties).
QStringList conCultivoVacio(QStringList entradas)
{
    if (!entradas.contains(CultivoVacio))
        entradas.prepend(CultivoVacio);
    return entradas;
}

} // namespace

SesionHoja::SesionHoja(QObject *parent) : QObject(parent)
{
    for (int k = 0; k < 4; ++k)
        vaciarColores(k);
}

SesionHoja::~SesionHoja() = default;

SesionHoja::Gesto::Gesto(SesionHoja &sesion) : m_sesion(sesion)
{
    ++m_sesion.m_gestos;
}

SesionHoja::Gesto::~Gesto()
{
    if (--m_sesion.m_gestos == 0)
        m_sesion.m_conexion.reset();
}

Conexion &SesionHoja::conexion()
{
    if (!m_conexion)
        m_conexion = std::make_unique<Conexion>(CadenaConexion);
    return *m_conexion;
}

ReglasRotacion SesionHoja::reglas(int hoja, int año)
{
    ContextoReglas c{m_parcela, año, hoja, m_nhojas};
    if (m_interruptores) {
        const Interruptores i = m_interruptores();
        c.repetirFrutos = i.repetirFrutos;
        c.repetirRaices = i.repetirRaices;
    }
    return ReglasRotacion(m_catalogo, conexion(), c, [this](const QString &linea) { emit explicacion(linea); });
}

SesionHoja::Parcela SesionHoja::leerParcela(Conexion &con, const QString &nombre)
{
    Parcela p;
    p.nombre = nombre;
    if (!nombre.isEmpty())
        p.opciones = LeerOpcionesParcela(con, nombre);
    const OpcionesParcela o = p.opciones.value_or(OpcionesParcela{0, 1, 1});
    p.posiblesSinHelada = CultivosSinHelada(con, FiltroHeladas::Para(o.inicioSinHeladas, o.finalSinHeladas));
    p.catalogo = CargarColeccionesCatalogo(con);
    return p;
}

void SesionHoja::abrirParcela(const Parcela &p, int año)
{
    const OpcionesParcela o = p.opciones.value_or(OpcionesParcela{0, 1, 1});
    const bool conservaHoja = p.nombre == m_parcela && m_hoja >= 1 && m_hoja <= o.hojas;
    const bool otroAño = año != m_año;
    m_parcela = p.nombre;
    m_año = año;
    m_nhojas = o.hojas;
    m_inicioLibreHeladas = o.inicioSinHeladas;
    m_finalLibreHeladas = o.finalSinHeladas;
    m_catalogo = p.catalogo;
    m_posiblesSinHelada = p.posiblesSinHelada;
    if (!conservaHoja)
        soltarHoja();
    else if (otroAño)
        vaciarRanuras(); // the slots held another year's crops
}

void SesionHoja::elegirAño(int año)
{
    m_año = año;
    vaciarRanuras();
}

bool SesionHoja::conHelada(int columna) const
{
    if (m_inicioLibreHeladas == 1 || m_finalLibreHeladas == 1)
        return false;
    return columna < m_inicioLibreHeladas || columna >= m_finalLibreHeladas;
}

bool SesionHoja::hayHojaCargada() const
{
    if (m_hoja < 1)
        return false;
    return std::any_of(m_ranuras.begin(), m_ranuras.end(), [](const Ranura &r) { return !r.entradas.isEmpty(); });
}

void SesionHoja::vaciarColores(int k)
{
    m_ranuras[k].colores.fill(ColorVacio);
}

void SesionHoja::borrarFila(int k)
{
    if (k < 0 || k > 3)
        return;
    vaciarColores(k);
    emit filaPintada(k);
}

void SesionHoja::borrarFilas()
{
    for (int k = 0; k < 4; ++k)
        borrarFila(k);
}

void SesionHoja::soltarHoja()
{
    m_hoja = 0;
    vaciarRanuras();
}

void SesionHoja::vaciarRanuras()
{
    for (int k = 0; k < 4; ++k) {
        m_ranuras[k].entradas.clear();
        m_ranuras[k].actual = -1;
        m_ranuras[k].colocado = m_ranuras[k].sinGuardar = false;
        vaciarColores(k);
        emit ranuraCambiada(k);
        emit filaPintada(k);
    }
    m_ocultas.clear();
}

void SesionHoja::abrirHoja(int hoja, int año)
{
    if (hoja < 1 || hoja > m_nhojas) {
        soltarHoja();
        return;
    }
    // Everything is read first: a failing database changes nothing.
    const Gesto gesto(*this);
    const ReglasRotacion r = reglas(hoja, año);
    const QStringList entradas = conCultivoVacio(r.CandidatosDeLaHoja(m_posiblesSinHelada).nombres());
    QList<FilaGuardada> filas = LeerFilasHoja(conexion(), m_parcela, año, hoja);

    // A hand-edited or damaged file may hold a span outside the two years the
    // grid shows: it is brought within them, and the log says so.
    for (FilaGuardada &f : filas) {
        const int inicio = std::clamp(f.inicio, 1, 48);
        const int final = std::clamp(f.final, inicio, 48);
        if (inicio != f.inicio || final != f.final) {
            emit explicacion(QStringLiteral("La hoja %1 guarda <%2> de la quincena %3 a la %4, fuera de 1 a 48:"
                                            " se muestra de la %5 a la %6")
                                 .arg(hoja)
                                 .arg(f.cultivo)
                                 .arg(f.inicio)
                                 .arg(f.final)
                                 .arg(inicio)
                                 .arg(final));
            f.inicio = inicio;
            f.final = final;
        }
    }

    m_hoja = hoja;
    m_año = año;
    for (Ranura &ranura : m_ranuras) {
        ranura.entradas = entradas;
        ranura.actual = entradas.indexOf(CultivoVacio);
        ranura.inicio = ranura.final = 0;
        ranura.colocado = ranura.sinGuardar = false;
    }
    for (int k = 0; k < 4; ++k)
        vaciarColores(k);
    m_ocultas.clear();

    // A perennial planted in an earlier year is no candidate any more, but it
    // still stands on the sheet: slot 1 offers it.
    for (const QString &plurianual : {Alcachofas, Fresas, Esparragos})
        if (std::any_of(filas.begin(), filas.end(), [&](const FilaGuardada &f) { return f.cultivo == plurianual; }))
            m_ranuras[0].entradas << plurianual;

    // The k-th stored row goes to slot k; a sheet holds at most four.
    QString rechazo;
    for (int k = 0; k < filas.size(); ++k) {
        const FilaGuardada &f = filas.at(k);
        const int i = k < 4 && rechazo.isEmpty() ? posicionEn(m_ranuras[k].entradas, f.cultivo) : -1;
        if (i < 0) {
            if (k < 4 && rechazo.isEmpty())
                rechazo = QStringLiteral("no puedo poner el cultivo <") + f.cultivo
                          + QStringLiteral("> porque no pertenece a la fecha libre de heladas");
            m_ocultas << f.cultivo;
            continue;
        }
        Ranura &ranura = m_ranuras[k];
        ranura.actual = i;
        ranura.inicio = f.inicio;
        ranura.final = f.final;
        ranura.colocado = true;
        for (int q = f.inicio; q <= f.final; ++q)
            ranura.colores[ColumnaDeQuincena(q)] = q > 24 ? ColorAñoSiguiente : ColorCultivo;
    }

    for (int k = 0; k < 4; ++k) {
        emit ranuraCambiada(k);
        emit filaPintada(k);
    }
    if (!rechazo.isEmpty())
        emit aviso(rechazo, QStringLiteral("Cambio del sistema libre de heladas"), AvisoCritico);
}

void SesionHoja::cultivosCombos(int fila)
{
    if (fila < 0 || fila >= 4)
        return;
    Ranura &destino = m_ranuras[fila];
    const QString mostrado = destino.cultivo();
    QStringList anteriores;
    for (int j = 0; j < fila; ++j)
        anteriores << m_ranuras[j].cultivo();
    const QStringList anterior = fila > 0 ? m_ranuras[fila - 1].entradas : QStringList();

    const Gesto gesto(*this);
    const QStringList entradas
        = conCultivoVacio(reglas(m_hoja, m_año).CandidatosSiguientes(fila, anterior, anteriores));

    // The picker keeps showing its crop when that crop may still follow the
    // earlier ones (a sheet just loaded keeps its stored crops); otherwise it
    // shows no entry.
    destino.entradas = entradas;
    destino.actual = mostrado.isEmpty() ? -1 : entradas.indexOf(mostrado);
    emit ranuraCambiada(fila);
}

void SesionHoja::elegir(int k, int indice)
{
    if (k < 0 || k > 3)
        return;
    Ranura &ranura = m_ranuras[k];
    const QString cultivo = indice >= 0 && indice < ranura.entradas.size() ? ranura.entradas.at(indice) : QString();
    const Gesto gesto(*this);
    const QList<DatosSiembra> datos
        = LeerDatosSiembra(conexion(), cultivo, [this](const QString &l) { emit explicacion(l); });
    ranura.actual = indice < ranura.entradas.size() ? indice : -1;
    // Whatever span is recorded for the row now belongs to another choice.
    ranura.colocado = ranura.sinGuardar = false;
    vaciarColores(k);
    emit filaPintada(k);
    emit estado(QStringLiteral("Época de siembra para ") + cultivo
                + QStringLiteral(" en verde. Selecciona quincena"));
    for (const DatosSiembra &d : datos)
        for (int q : QuincenasSiembra(d))
            ranura.colores[q] = ColorSiembra;
    emit filaPintada(k);
}

void SesionHoja::volverAlCultivoVacio(int k)
{
    const int i = m_ranuras[k].entradas.indexOf(CultivoVacio);
    m_ranuras[k].actual = i;
    emit ranuraCambiada(k);
    elegir(k, i);
}

void SesionHoja::colocar(int k, int columna)
{
    if (k < 0 || k > 3 || columna < 1 || columna > 24)
        return;
    const QString cultivo = m_ranuras[k].cultivo();
    const Gesto gesto(*this);
    const QList<DatosSiembra> datos
        = LeerDatosSiembra(conexion(), cultivo, [this](const QString &l) { emit explicacion(l); });
    for (const DatosSiembra &d : datos) {
        Ranura &ranura = m_ranuras[k];
        if (ranura.colores[columna] != ColorSiembra) {
            emit estado(QStringLiteral("Aqui no hay una época de siembra o transplante. Elige la zona verde"));
            continue;
        }
        const Colocacion colocacion = Colocar(columna, d, [this](int c) { return conHelada(c); });
        vaciarColores(k);
        for (const Colocacion::Celda &celda : colocacion.celdas)
            ranura.colores[celda.columna] = celda.color;
        emit filaPintada(k);

        if (colocacion.heladaEnElCamino) {
            const QString texto = QStringLiteral("No es posible <") + cultivo
                                  + QStringLiteral(">, escoge otro u otra fecha");
            emit estado(texto);
            emit aviso(texto, QStringLiteral("Advertencia"), AvisoSiNo);
            borrarFila(k);
            volverAlCultivoVacio(k);
            continue;
        }

        ranura.inicio = colocacion.inicio;
        ranura.final = colocacion.final;
        // Only a crop standing in the slot above (placed or stored) can be
        // overlapped; an empty slot's old span is no crop.
        const Ranura &arriba = m_ranuras[qMax(k - 1, 0)];
        if (k > 0 && arriba.colocado && SeSolapan(ranura.inicio, ranura.final, arriba.inicio, arriba.final)) {
            emit aviso(QStringLiteral("Esa fecha de siembra/trasplante se solapa con ") + arriba.cultivo(),
                       QStringLiteral("hay solape de fechas"), AvisoCritico);
            borrarFila(k);
            volverAlCultivoVacio(k);
            continue;
        }

        ranura.colocado = ranura.sinGuardar = true;
        cultivosCombos(k + 1);
        emit estado(QStringLiteral("Se puede validar la hoja o poner otro cultivo (si fuera posible)"));
    }
}

bool SesionHoja::haySinGuardar() const
{
    return std::any_of(m_ranuras.begin(), m_ranuras.end(), [](const Ranura &r) { return r.sinGuardar; });
}

QStringList SesionHoja::sinGuardar() const
{
    QStringList r;
    for (const Ranura &x : m_ranuras)
        if (x.sinGuardar)
            r << x.cultivo();
    return r;
}

QStringList SesionHoja::ocultas() const
{
    QStringList r;
    for (const QString &c : m_ocultas)
        if (std::none_of(m_ranuras.begin(), m_ranuras.end(), [&](const Ranura &x) { return x.cultivo() == c; }))
            r << c;
    return r;
}

void SesionHoja::validar()
{
    // A crop chosen but not placed since has no span of its own: storing
    // refuses it rather than take the span last recorded for its row (another
    // crop's, or one refused for overlapping the row above).
    QList<CultivoHoja> cultivos;
    for (const Ranura &r : m_ranuras)
        cultivos << CultivoHoja{r.cultivo(), r.colocado ? r.inicio : 0, r.colocado ? r.final : 0};
    const AñosPlurianuales años = m_interruptores ? m_interruptores().años : AñosPlurianuales();
    GuardarHoja(CadenaConexion, m_parcela, m_año, m_hoja, cultivos, años);
    m_ocultas.clear();
    for (Ranura &r : m_ranuras)
        r.sinGuardar = false;
}

void SesionHoja::vaciar()
{
    VaciarHoja(CadenaConexion, m_parcela, m_año, m_hoja);
    for (Ranura &r : m_ranuras)
        r.sinGuardar = false;
    borrarFilas();
}
