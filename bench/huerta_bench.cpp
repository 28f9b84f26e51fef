// The speed bench. Builds a garden (see Jardin.h) in a temporary folder and
// times, offscreen, the paths a user waits on as the user drives them: a real
// mouse click on the map, a fresh process for start-up, the window's own
// handlers with their repaints. Beside each, the statements that path ran,
// replayed bare through the program's own connections (same text, same
// filter, a connection per gesture as the program opens them): the floor a
// wait can approach. Prints the median and the spread (min–max) of the runs.
// It asserts nothing: the figures are for reading.
//
// Last of the window's rows, what plot switches leave behind: after a
// warm-up, how much the memory the process allocated grows every 100
// switches.
//
//   huerta_bench [--escala N] [--veces N] [--cambios N]
//                (defaults: escala 1, 5 runs, growth over 100 switches)
//
// Printing is timed when CUPS_SERVER names a print server with a default
// queue (scripts/impresora_prueba.sh starts one); otherwise the row says so.
#include "Jardin.h"

#include "calendario/PaginaCalendario.h"
#include "catalogue/EditorCatalogo.h"
#include "core/Catalogo.h"
#include "core/CatalogoEditable.h"
#include "core/Conexion.h"
#include "core/modBasico.h"
#include "designer/FormPrincipal.h"
#include "mapa/MapaControl.h"
#include "mapa/Shapefile.h"
#include "widgets/Aplicacion.h"
#include "widgets/Dialogos.h"
#include "widgets/MotorWeb.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
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
// Plot switches before the memory is first read: the caches a switch fills
// once are full by then.
constexpr int CambiosPrevios = 50;
// The status line's blink sleeps this long on every message (two blinks of
// 20 + 40 ms): the user waits for it by design, the bench reports beyond it.
constexpr double PausasParpadeo = 120.0;

QTextStream salida(stdout);

struct Medida
{
    double mediana = -1, minimo = -1, maximo = -1;
};

Medida medir(int veces, const std::function<double()> &paso)
{
    QList<double> ms;
    for (int i = 0; i < veces; ++i)
        ms << paso();
    std::sort(ms.begin(), ms.end());
    if (ms.isEmpty())
        return {};
    return {ms.at(ms.size() / 2), ms.first(), ms.last()};
}

Medida cronometrar(int veces, const std::function<void()> &paso)
{
    return medir(veces, [&] {
        QElapsedTimer t;
        t.start();
        paso();
        return t.nsecsElapsed() / 1e6;
    });
}

// A figure of this process's memory from /proc/self/status, in kB (Linux):
// "VmRSS" all it holds in memory, "RssAnon" the part it allocated itself.
double memoria(const char *campo)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray clave = QByteArray(campo) + ':';
    for (const QByteArray &linea : f.readAll().split('\n'))
        if (linea.startsWith(clave))
            return linea.mid(clave.size()).trimmed().split(' ').value(0).toDouble();
    return 0;
}

// The statements a gesture ran, in order, each with its connection's number.
struct Sentencia
{
    quint64 conexion;
    QString sql;
    QVariantList valores;
    bool directa; // read straight from the engine, as the plan tree does
};
using Grabacion = QList<Sentencia>;

// Records what paso runs through the program's connections.
Grabacion grabar(const std::function<void()> &paso)
{
    Grabacion g;
    ObservarSQL([&g](quint64 c, const QString &sql, const QVariantList &v, bool d) { g.append({c, sql, v, d}); });
    paso();
    ObservarSQL({});
    return g;
}

// Runs a recording again on fichero: a new connection wherever the program
// opened one, each statement by the route the program took, every value of
// every row read.
void reproducir(const QString &fichero, const Grabacion &g)
{
    std::unique_ptr<Conexion> con;
    quint64 actual = 0;
    for (const Sentencia &s : g) {
        if (!con || s.conexion != actual) {
            con.reset();
            con = std::make_unique<Conexion>(fichero);
            actual = s.conexion;
        }
        try {
            if (s.directa) {
                con->recorrer(s.sql, s.valores, [](const FilaBD &f) {
                    for (int i = 0; i < f.columnas(); ++i)
                        f.utf8(i);
                });
                continue;
            }
            QSqlQuery q = con->ejecutar(s.sql, s.valores);
            const int n = q.record().count();
            while (q.next())
                for (int i = 0; i < n; ++i)
                    q.value(i);
        } catch (const ErrorBD &e) {
            salida << "SQL: " << s.sql << ": " << e.texto() << Qt::endl;
        }
    }
}

struct Fila
{
    Fila(const QString &c, const Medida &p, const Medida &s = {}, const QString &u = QStringLiteral(" ms"),
         const QString &n = {})
        : camino(c), programa(p), sql(s), unidad(u), nota(n)
    {
    }
    QString camino;
    Medida programa;
    Medida sql; // mediana < 0: no bare equivalent
    QString unidad;
    QString nota; // shown instead of the figures
};

QString cifra(const Medida &m, const QString &unidad)
{
    if (m.mediana < 0)
        return QStringLiteral("—");
    return QString::number(m.mediana, 'f', 1) + unidad;
}

QString margen(const Medida &m)
{
    if (m.mediana < 0)
        return QString();
    return QStringLiteral("%1–%2").arg(m.minimo, 0, 'f', 1).arg(m.maximo, 0, 'f', 1);
}

void imprimir(const QString &titulo, const QList<Fila> &filas)
{
    salida << Qt::endl << titulo << Qt::endl;
    salida << QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(QStringLiteral("camino"), -46)
                  .arg(QStringLiteral("programa"), 11)
                  .arg(QStringLiteral("mín–máx"), 15)
                  .arg(QStringLiteral("SQL sola"), 10)
                  .arg(QStringLiteral("mín–máx"), 13)
           << Qt::endl;
    for (const Fila &f : filas) {
        if (!f.nota.isEmpty()) {
            salida << QStringLiteral("%1 %2").arg(f.camino, -46).arg(f.nota) << Qt::endl;
            continue;
        }
        salida << QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(f.camino, -46)
                      .arg(cifra(f.programa, f.unidad), 11)
                      .arg(margen(f.programa), 15)
                      .arg(cifra(f.sql, QStringLiteral(" ms")), 10)
                      .arg(margen(f.sql), 13)
               << Qt::endl;
    }
    salida.flush();
}

// Every dialog answered at once: the splash closes as if clicked, a question
// is answered yes. A splash is shown and clicked for real; antesDeClic runs
// just before that click.
void responderDialogos(std::function<void()> antesDeClic = {})
{
    Dialogos::EstablecerRespondedor([antesDeClic](const Dialogos::Peticion &p) {
        if (p.tipo == Dialogos::Peticion::Modal && p.dialogo) {
            if (p.clase == QLatin1String("FormPortada")) {
                p.dialogo->show();
                QApplication::processEvents();
                if (antesDeClic)
                    antesDeClic();
                QTest::mouseClick(p.dialogo, Qt::LeftButton);
                return p.dialogo->result();
            }
            p.dialogo->done(QDialog::Accepted);
        }
        return int(p.botones == Dialogos::SiNo ? Dialogos::Si : Dialogos::Aceptar);
    });
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

// The child process of the start-up row: main() of the program, with the
// splash clicked at once. Prints the milliseconds from the click to the main
// window painted, and to the web engine started after it.
int arranqueHijo(int argc, char **argv, const QString &carpeta)
{
    MotorWeb::Preparar();
    QApplication app(argc, argv);
    Aplicacion::Preparar();
    QElapsedTimer reloj;
    responderDialogos([&reloj] { reloj.start(); });

    FormPrincipal ventana(carpeta);
    if (!ventana.Form_Load())
        return 1;
    double pintada = -1;
    // Installed after the window's own filters, so it sees the first paint
    // first; its call is queued ahead of the engine's start, and the second
    // call behind it.
    struct Filtro : QObject
    {
        std::function<void()> alPintar;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint && alPintar) {
                QMetaObject::invokeMethod(this, alPintar, Qt::QueuedConnection);
                alPintar = nullptr;
            }
            return false;
        }
    } filtro;
    filtro.alPintar = [&] {
        pintada = reloj.nsecsElapsed() / 1e6;
        QMetaObject::invokeMethod(
            &app,
            [&] {
                fprintf(stdout, "%.3f %.3f\n", pintada, reloj.nsecsElapsed() / 1e6);
                fflush(stdout);
                QApplication::exit(0);
            },
            Qt::QueuedConnection);
    };
    ventana.installEventFilter(&filtro);
    ventana.show();
    QTimer::singleShot(60000, &app, [] { QApplication::exit(2); });
    return app.exec();
}

// Start-up in a fresh process per run: column 0 the window painted, 1 with
// the web engine started.
Medida arranqueProceso(int veces, const QString &carpeta, int columna)
{
    static QHash<QString, QList<QList<double>>> medidas;
    QList<QList<double>> &m = medidas[carpeta];
    while (m.size() < veces) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--arranque"), carpeta});
        p.waitForFinished(90000);
        const QList<QByteArray> t = p.readAllStandardOutput().trimmed().split(' ');
        if (p.exitCode() != 0 || t.size() != 2) {
            salida << "El arranque en un proceso nuevo ha fallado." << Qt::endl;
            return {};
        }
        m.append({t.at(0).toDouble(), t.at(1).toDouble()});
    }
    return medir(veces, [&, i = 0]() mutable { return m.at(i++).at(columna); });
}

// The window's control of that object name (its variable's name).
template <class T>
T *control(const FormPrincipal &w, const char *nombre)
{
    return w.findChild<T *>(QString::fromUtf8(nombre));
}

// Where on Map1 (in its pixels) sheet hoja lies: the centre of its shape.
QPoint puntoDeHoja(FormPrincipal &w, int hoja)
{
    const MapaControl *mapa = control<MapaControl>(w, "Map1");
    const Shapefile *capa = mapa->GetObject(0);
    for (int i = 0; capa && i < capa->NumShapes(); ++i)
        if (capa->CellValue(0, i).toInt() == hoja) {
            const Extents e = capa->ShapeExtents(i);
            double x = 0, y = 0;
            mapa->ProjToPixel(e.centroX(), e.centroY(), x, y);
            return QPoint(int(x), int(y));
        }
    return {};
}

// What the window repaints once a handler returns: the parts it changed.
void repintar()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// A click of the user on the map: press, release, and the repaint.
void clicEnMapa(FormPrincipal &w, const QPoint &punto)
{
    QTest::mousePress(control<MapaControl>(w, "Map1"), Qt::LeftButton, {}, punto);
    QTest::mouseRelease(control<MapaControl>(w, "Map1"), Qt::LeftButton, {}, punto);
    repintar();
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
    if (argc == 3 && qstrcmp(argv[1], "--arranque") == 0)
        return arranqueHijo(argc, argv, QString::fromLocal8Bit(argv[2]));

    // The window starts the web engine once drawn, as the program's does.
    MotorWeb::Preparar();
    QApplication app(argc, argv);
    QCommandLineParser opciones;
    opciones.addHelpOption();
    opciones.addOption({QStringLiteral("escala"), QStringLiteral("Plan rows: 1, 4 or 16 times the garden."),
                        QStringLiteral("N"), QStringLiteral("1")});
    opciones.addOption({QStringLiteral("veces"), QStringLiteral("Runs per path (median)."), QStringLiteral("N"),
                        QStringLiteral("5")});
    opciones.addOption({QStringLiteral("cambios"),
                        QStringLiteral("Plot switches over which memory growth is measured, after a warm-up of %1.")
                            .arg(CambiosPrevios),
                        QStringLiteral("N"), QStringLiteral("100")});
    opciones.process(app);
    const int escala = std::max(1, opciones.value(QStringLiteral("escala")).toInt());
    const int veces = std::max(1, opciones.value(QStringLiteral("veces")).toInt());
    const int cambios = std::max(1, opciones.value(QStringLiteral("cambios")).toInt());
    responderDialogos();

    QTemporaryDir dir;
    QString error;
    const QString jardin = dir.filePath(QStringLiteral("jardin"));
    const QString catalogo = dir.filePath(QStringLiteral("catalogo"));
    if (!CrearJardin(jardin, escala, CultivosJardin, &error) || !CrearJardin(catalogo, 0, CultivosCatalogo, &error)) {
        salida << "No se ha podido crear el jardín: " << error << Qt::endl;
        return 1;
    }
    const QString fichero = QDir(jardin).filePath(QString::fromLatin1(NombreFicheroBD));
    const int filasPlan = Jardin::Parcelas * Jardin::AñosPorEscala * escala * Jardin::Hojas * Jardin::CultivosPorHoja;

    QList<Fila> filas;
    // Start-up first, before this process has touched the file.
    filas << Fila{QStringLiteral("arranque: portada → ventana pintada"), arranqueProceso(veces, jardin, 0), {}};
    filas << Fila{QStringLiteral("  … y el motor web arrancado"), arranqueProceso(veces, jardin, 1), {}};

    std::unique_ptr<FormPrincipal> w;
    const Grabacion deArranque = grabar([&] { w = arrancar(jardin); });
    if (!w) {
        salida << "La ventana no ha arrancado." << Qt::endl;
        return 1;
    }
    // The window starts the web engine once drawn; the calendar page then
    // loads (or fails to, offline) in the background.
    bool paginaTerminada = false;
    QObject::connect(control<PaginaCalendario>(*w, "PaginaBiodinamica"), &PaginaCalendario::cargaTerminada,
                     [&paginaTerminada] { paginaTerminada = true; });
    filas.first().sql = cronometrar(veces, [&] { reproducir(fichero, deArranque); });
    const double residente = memoria("VmRSS") / 1024.0;
    const int nodos = [&] {
        int n = 0;
        for (QTreeWidgetItemIterator i(control<QTreeWidget>(*w, "arbolaños")); *i; ++i)
            ++n;
        return n;
    }();

    // A gesture timed through the window, and its statements replayed bare.
    auto fila = [&](const QString &camino, const std::function<void()> &paso, double descontar = 0) {
        const Grabacion g = grabar(paso);
        Fila f{camino, medir(veces,
                             [&] {
                                 QElapsedTimer t;
                                 t.start();
                                 paso();
                                 return t.nsecsElapsed() / 1e6 - descontar;
                             }),
               cronometrar(veces, [&] { reproducir(fichero, g); })};
        filas << f;
    };

    const QPoint hoja = puntoDeHoja(*w, HojaMedida);
    fila(QStringLiteral("clic en la hoja, más allá del parpadeo"), [&] { clicEnMapa(*w, hoja); }, PausasParpadeo);
    if (w->sesion().hoja() != HojaMedida)
        salida << "El clic no ha elegido la hoja " << HojaMedida << "." << Qt::endl;
    fila(QStringLiteral("árbol del plan (%1 nodos) y su repintado").arg(nodos), [&] {
        w->RefrescarArbolAños();
        repintar();
    });
    fila(QStringLiteral("validar la hoja"), [&] {
        w->BtValidaCultivos_Click();
        repintar();
    });
    // Back and forth between the plot the window opened and the next one.
    QListWidget *parcelas = control<QListWidget>(*w, "ListaParcelas");
    const int abierta = parcelas->currentRow();
    auto cambiarDeParcela = [&] {
        parcelas->setCurrentRow(parcelas->currentRow() == abierta ? abierta + 1 : abierta);
        repintar();
    };
    fila(QStringLiteral("cambio de parcela"), cambiarDeParcela);
    parcelas->setCurrentRow(abierta);
    if (qEnvironmentVariableIsSet("CUPS_SERVER")) {
        fila(QStringLiteral("imprimir el árbol hasta que se acepta"), [&] {
            control<QPushButton>(*w, "Btimprimir")->click();
            repintar();
        });
        filas.last().sql = {};
    } else {
        filas << Fila{QStringLiteral("imprimir el árbol"), {}, {}, {},
                      QStringLiteral("sin servidor de impresión (CUPS_SERVER): se omite")};
    }
    {
        // The warm-up also outlasts the calendar page's loading (half a
        // minute at most), whose memory grows with time, not with switches.
        QElapsedTimer espera;
        espera.start();
        for (int i = 0; i < CambiosPrevios || (!paginaTerminada && espera.elapsed() < 30000); ++i)
            cambiarDeParcela();
        const double antes = memoria("RssAnon");
        for (int i = 0; i < cambios; ++i)
            cambiarDeParcela();
        const double crecida = (memoria("RssAnon") - antes) * 100 / cambios;
        filas << Fila{QStringLiteral("memoria que crece cada 100 cambios de parcela"), {crecida, crecida, crecida}, {},
                      QStringLiteral(" kB")};
    }
    w.reset();

    {
        const QString ficheroCatalogo = QDir(catalogo).filePath(QString::fromLatin1(NombreFicheroBD));
        auto leerDiseñador = [&] {
            Conexion con(ficheroCatalogo);
            NombresHorticolas(con);
            CultivosSinHelada(con, FiltroHeladas::Para(6, 21));
            CargarColeccionesCatalogo(con);
        };
        const Grabacion g = grabar(leerDiseñador);
        filas << Fila{QStringLiteral("catálogo de %1 cultivos: el diseñador").arg(CultivosCatalogo),
                      cronometrar(veces, leerDiseñador),
                      cronometrar(veces, [&] { reproducir(ficheroCatalogo, g); })};
        // The editor reads through a table model, whose own statement does
        // not pass through Conexion: it runs on the editor's connection, read
        // to the end, after the editor's check of its table there.
        const Sentencia delModelo{
            0, QStringLiteral("SELECT * FROM horticolas ORDER BY \"Nombre\" COLLATE ES, rowid"), {}, false};
        // What the user waits for on every rebuild: the editor's EnlazarDatos
        // (the model read, the bound fields and the sowing grid of the first
        // crop) and its repaint.
        modBasico::IniciaColores();
        EditorCatalogo editor;
        const QRect ocupa = editor.childrenRect();
        editor.resize(ocupa.right() + ocupa.left(), ocupa.bottom() + ocupa.top());
        editor.show();
        repintar();
        const auto enlazarEditor = [&] {
            editor.EnlazarDatos(ficheroCatalogo);
            repintar();
        };
        Grabacion deEditor = grabar(enlazarEditor);
        if (!deEditor.isEmpty())
            deEditor.insert(1, Sentencia{deEditor.first().conexion, delModelo.sql, {}, false});
        filas << Fila{QStringLiteral("  … el editor del catálogo y su repintado"), cronometrar(veces, enlazarEditor),
                      cronometrar(veces, [&] { reproducir(ficheroCatalogo, deEditor); })};
        filas << Fila{QStringLiteral("    … de ello, el modelo solo"), cronometrar(veces, [&] {
                          CatalogoEditable c;
                          c.enlazar(ficheroCatalogo);
                      }),
                      cronometrar(veces, [&] { reproducir(ficheroCatalogo, {delModelo}); })};
    }
    filas << Fila{QStringLiteral("memoria residente tras arrancar"), {residente, residente, residente}, {},
                  QStringLiteral(" MB")};

    imprimir(QStringLiteral("Escala %1× — %2 filas de plan, %3 cultivos; mediana de %4")
                 .arg(escala)
                 .arg(filasPlan)
                 .arg(CultivosJardin)
                 .arg(veces),
             filas);
    return 0;
}
