// The speed bench. Builds a garden (see Jardin.h) in a temporary folder and
// times, offscreen and through the calls the window makes, the paths a user
// waits on; beside each, the same SQL run bare on one open connection. Prints
// the medians. It asserts nothing: the figures are for reading.
//
//   huerta_bench [--escala N] [--veces N]     (defaults: escala 1, 5 runs)
#include "Jardin.h"

#include "core/Catalogo.h"
#include "core/Conexion.h"
#include "designer/FormPrincipal.h"
#include "mapa/MapaControl.h"
#include "widgets/CuadriculaFlex.h"
#include "widgets/Dialogos.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int CultivosJardin = 500;
constexpr int CultivosCatalogo = 2000;
constexpr int HojaMedida = 3;

QTextStream salida(stdout);

double mediana(int veces, const std::function<void()> &paso)
{
    QList<double> ms;
    for (int i = 0; i < veces; ++i) {
        QElapsedTimer t;
        t.start();
        paso();
        ms << t.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return ms.at(ms.size() / 2);
}

// Resident memory of this process, in MB (Linux).
double memoriaResidente()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &linea : f.readAll().split('\n'))
        if (linea.startsWith("VmRSS:"))
            return linea.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// A plain connection of the SQLite driver, for the bare statements.
class Desnuda
{
public:
    explicit Desnuda(const QString &fichero) : m_nombre(QStringLiteral("desnuda-") + fichero)
    {
        m_bd = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nombre);
        m_bd.setDatabaseName(fichero);
        m_bd.open();
    }
    ~Desnuda()
    {
        m_bd.close();
        m_bd = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombre);
    }
    // Runs sql and reads every value of every row.
    void leer(const QString &sql, const QVariantList &valores = {})
    {
        QSqlQuery q(m_bd);
        q.setForwardOnly(true);
        q.prepare(sql);
        for (const QVariant &v : valores)
            q.addBindValue(v);
        if (!q.exec()) {
            salida << "SQL: " << sql << ": " << q.lastError().text() << Qt::endl;
            return;
        }
        const int n = q.record().count();
        while (q.next())
            for (int i = 0; i < n; ++i)
                q.value(i);
    }

private:
    QString m_nombre;
    QSqlDatabase m_bd;
};

struct Fila
{
    QString camino;
    double programa;
    double sql; // < 0: no bare equivalent
    QString unidad = QStringLiteral(" ms");
};

void imprimir(const QString &titulo, const QList<Fila> &filas)
{
    salida << Qt::endl << titulo << Qt::endl;
    salida << QStringLiteral("%1 %2 %3").arg(QStringLiteral("camino"), -40).arg(QStringLiteral("programa"), 12)
                  .arg(QStringLiteral("SQL sola"), 12)
           << Qt::endl;
    for (const Fila &f : filas)
        salida << QStringLiteral("%1 %2 %3")
                      .arg(f.camino, -40)
                      .arg(f.programa < 0 ? QStringLiteral("—") : QString::number(f.programa, 'f', 1) + f.unidad, 12)
                      .arg(f.sql < 0 ? QStringLiteral("—") : QString::number(f.sql, 'f', 2) + QStringLiteral(" ms"), 12)
               << Qt::endl;
    salida.flush();
}

std::unique_ptr<FormPrincipal> arrancar(const QString &carpeta)
{
    auto w = std::make_unique<FormPrincipal>(carpeta);
    if (!w->Form_Load())
        return nullptr;
    w->show();
    w->repaint();
    return w;
}

// The sheet click after its blink, as the map reports it at the sheet's
// centre: the load and the follow-on picker.
void abrirHoja(FormPrincipal &w, int hoja)
{
    const MapaControl *mapa = w.findChild<MapaControl *>(QStringLiteral("Map1"));
    const Shapefile *sf = mapa->GetObject(0);
    for (int i = 0; sf && i < sf->NumShapes(); ++i) {
        if (sf->CellValue(0, i).toInt() != hoja)
            continue;
        const Extents c = sf->ShapeExtents(i);
        double x = 0, y = 0;
        mapa->ProjToPixel(c.centroX(), c.centroY(), x, y);
        w.Map1_MouseUp(1, 0, qRound(x), qRound(y));
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only failures reach the terminal: the table is the output.
    qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext &, const QString &texto) {
        if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(texto));
    });
    QApplication app(argc, argv);
    QCommandLineParser opciones;
    opciones.addHelpOption();
    opciones.addOption({QStringLiteral("escala"), QStringLiteral("Plan rows: 1, 4 or 16 times the garden."),
                        QStringLiteral("N"), QStringLiteral("1")});
    opciones.addOption({QStringLiteral("veces"), QStringLiteral("Runs per path (median)."), QStringLiteral("N"),
                        QStringLiteral("5")});
    opciones.process(app);
    const int escala = std::max(1, opciones.value(QStringLiteral("escala")).toInt());
    const int veces = std::max(1, opciones.value(QStringLiteral("veces")).toInt());

    // Every dialog answered at once: the splash closes as if clicked, and a
    // question is answered yes.
    Dialogos::EstablecerRespondedor([](const Dialogos::Peticion &p) {
        if (p.tipo == Dialogos::Peticion::Modal && p.dialogo)
            p.dialogo->done(QDialog::Accepted);
        return int(p.botones == Dialogos::SiNo ? Dialogos::Si : Dialogos::Aceptar);
    });

    QTemporaryDir dir;
    QString error;
    const QString jardin = dir.filePath(QStringLiteral("jardin"));
    const QString catalogo = dir.filePath(QStringLiteral("catalogo"));
    if (!CrearJardin(jardin, escala, CultivosJardin, &error) || !CrearJardin(catalogo, 0, CultivosCatalogo, &error)) {
        salida << "No se ha podido crear el jardín: " << error << Qt::endl;
        return 1;
    }
    const QString fichero = QDir(jardin).filePath(QString::fromLatin1(NombreFicheroBD));
    const QString parcela = Jardin::ParcelaActual();
    const int año = QDate::currentDate().year();
    const int filasPlan = Jardin::Parcelas * Jardin::AñosPorEscala * escala * Jardin::Hojas * Jardin::CultivosPorHoja;

    QList<Fila> filas;
    std::unique_ptr<FormPrincipal> w = arrancar(jardin);
    if (!w) {
        salida << "La ventana no ha arrancado." << Qt::endl;
        return 1;
    }
    const double memoria = memoriaResidente();
    const int nodos = [&] {
        int n = 0;
        for (QTreeWidgetItemIterator i(w->findChild<QTreeWidget *>(QStringLiteral("arbolaños"))); *i; ++i)
            ++n;
        return n;
    }();

    Desnuda bd(fichero);
    const QString dePlan = QStringLiteral("select cultivo from BDParcela where parcela = ? and año = ? and hoja = ?"
                                          " order by rowid");
    auto clicDesnudo = [&] {
        for (int h = 1; h <= Jardin::Hojas; ++h)
            if (h != HojaMedida)
                bd.leer(dePlan, {parcela, año, h});
        for (int i = 0; i < 3; ++i)
            bd.leer(dePlan, {parcela, año - 1, HojaMedida});
        bd.leer(QStringLiteral("select cultivo from BDParcela where parcela = ? and año > ? and año < ? and hoja = ?"
                               " order by rowid"),
                {parcela, año - 3, año, HojaMedida});
        bd.leer(QStringLiteral("select cultivo, mes_inicio, mes_final from BDParcela where parcela = ? and año = ?"
                               " and hoja = ? order by rowid"),
                {parcela, año, HojaMedida});
        bd.leer(QStringLiteral("select 1 from BDParcela where parcela = ? and año in (?, ?) and cultivo in"
                               " ('Fresas', 'Alcachofas', 'Espárragos')"),
                {parcela, año - 1, año});
        for (int h = 1; h <= Jardin::Hojas; ++h)
            if (h != HojaMedida)
                bd.leer(dePlan, {parcela, año, h});
    };
    const QString deArbol = QStringLiteral("select año, hoja, cultivo, familia, Prof_raiz, extraccion, mes_inicio,"
                                           " mes_final from BDParcela where parcela = ? and año between ? and ?");
    const QString deEtiquetas
        = QStringLiteral("select hoja, cultivo from BDParcela where parcela = ? and año = ? order by rowid");
    const QString deCatalogo = QStringLiteral("select Nombre, Familia, Profundidad_raices, Parte_aprovechable"
                                              " from horticolas order by rowid");
    const QString deNombres = QStringLiteral("select Nombre from horticolas order by rowid");

    filas << Fila{QStringLiteral("clic en hoja (carga y siguiente)"),
                  mediana(veces, [&] { abrirHoja(*w, HojaMedida); }), mediana(veces, clicDesnudo)};
    filas << Fila{QStringLiteral("árbol del plan (%1 nodos)").arg(nodos), mediana(veces, [&] { w->RefrescarArbolAños(); }),
                  mediana(veces, [&] { bd.leer(deArbol, {parcela, 2009, 9999}); })};
    abrirHoja(*w, HojaMedida);
    filas << Fila{QStringLiteral("validar la hoja"), mediana(veces, [&] { w->BtValidaCultivos_Click(); }),
                  mediana(veces, [&] {
                      bd.leer(QStringLiteral("select cultivo from BDParcela where parcela = ? and año = ? and hoja = ?"),
                              {parcela, año, HojaMedida});
                      bd.leer(deArbol, {parcela, 2009, 9999});
                      bd.leer(deEtiquetas, {parcela, año});
                  })};
    w.reset();
    filas << Fila{QStringLiteral("arranque tras la portada"), mediana(veces, [&] { arrancar(jardin); }),
                  mediana(veces, [&] {
                      bd.leer(QStringLiteral("select * from Parcelas order by rowid"));
                      bd.leer(QStringLiteral("select * from Parcelas where NombreParcela = ?"), {parcela});
                      bd.leer(deNombres);
                      bd.leer(deNombres);
                      bd.leer(deCatalogo);
                      bd.leer(deEtiquetas, {parcela, año});
                      bd.leer(deArbol, {parcela, 2009, 9999});
                  })};

    {
        const QString ficheroCatalogo = QDir(catalogo).filePath(QString::fromLatin1(NombreFicheroBD));
        Desnuda bc(ficheroCatalogo);
        const double programa = mediana(veces, [&] {
            Conexion con(ficheroCatalogo);
            NombresHorticolas(con);
            CultivosSinHelada(con, FiltroHeladas::Para(6, 21));
            CargarColeccionesCatalogo(con);
        });
        const double desnudo = mediana(veces, [&] {
            bc.leer(deNombres);
            bc.leer(QStringLiteral("select Nombre from horticolas where Siembra_1_I < ? and Siembra_1_F >= ?"
                                   " and Cosecha_1_min <= ? order by rowid"),
                    {21, 6, 225});
            bc.leer(deCatalogo);
        });
        filas << Fila{QStringLiteral("leer un catálogo de %1 cultivos").arg(CultivosCatalogo), programa, desnudo};
    }
    filas << Fila{QStringLiteral("memoria residente tras arrancar"), memoria, -1, QStringLiteral(" MB")};

    imprimir(QStringLiteral("Escala %1× — %2 filas de plan, %3 cultivos; mediana de %4")
                 .arg(escala)
                 .arg(filasPlan)
                 .arg(CultivosJardin)
                 .arg(veces),
             filas);
    return 0;
}
