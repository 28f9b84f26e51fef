#include "calendario/PanelLuna.h"

#include "core/Luna.h"
#include "widgets/Twips.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QListWidget>
#include <QTableView>

namespace {
const int kDias = 42;
}

PanelLuna::PanelLuna(QWidget *parent) : QGroupBox(QStringLiteral("Fases de la luna"), parent)
{
    setAccessibleName(title());
    // The panel lies over the plots and the map: nothing of them shows through.
    setAutoFillBackground(true);
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setGeometry(Twips::Rect(120, 300, 3600, 2700));
    MonthView1->setAccessibleName(QStringLiteral("Calendario"));
    // Spanish month and day names (the week then starts on Monday), and no
    // week numbers, as a month calendar of this size shows them.
    MonthView1->setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // The calendar's own arrows carry only a picture.
    const std::pair<const char *, const char *> flechas[] = {{"qt_calendar_prevmonth", "Mes anterior"},
                                                             {"qt_calendar_nextmonth", "Mes siguiente"},
                                                             {"qt_calendar_yearedit", "Año"}};
    for (const auto &[objeto, nombre] : flechas)
        if (auto *w = MonthView1->findChild<QWidget *>(QLatin1String(objeto)))
            w->setAccessibleName(QString::fromUtf8(nombre));
    ListLunar = new QListWidget(this);
    ListLunar->setGeometry(Twips::Rect(120, 3060, 3600, 1860));
    ListLunar->setAccessibleName(QStringLiteral("Fases lunares"));

    // A new month on view (the arrows, the month menu) changes what the list
    // must show as much as a new selection does.
    connect(MonthView1, &QCalendarWidget::selectionChanged, this, [this] { MonthView1_SelChange(); });
    connect(MonthView1, &QCalendarWidget::currentPageChanged, this, [this] { MonthView1_SelChange(); });
}

QString PanelLuna::LineaFase(const QDate &dia, int fase)
{
    static const char *const textos[] = {"",
                                         "--> Nueva",
                                         "--> ¼ Creciente-> Resto plantas",
                                         "--> LLena",
                                         "--> ¼ Menguante-> Raices, tubérculos"};
    if (fase < 1 || fase > 4)
        return QString();
    return QStringLiteral("%1/%2/%3").arg(dia.day()).arg(dia.month()).arg(dia.year())
        + QString::fromUtf8(textos[fase]);
}

QList<QDate> PanelLuna::DiasVisibles() const
{
    // The grid is the calendar's own table: its last six rows and seven
    // columns hold the day numbers (a header row and a week-number column
    // may come first). The cells are consecutive days, and the first cell
    // numbered 1 is the first of the month shown.
    const QDate primero(MonthView1->yearShown(), MonthView1->monthShown(), 1);
    QList<int> numeros;
    if (const auto *tabla = MonthView1->findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"))) {
        const QAbstractItemModel *m = tabla->model();
        const int fila0 = m->rowCount() - 6, columna0 = m->columnCount() - 7;
        for (int f = 0; f < 6; ++f)
            for (int c = 0; c < 7; ++c)
                numeros << m->data(m->index(fila0 + f, columna0 + c), Qt::DisplayRole).toInt();
    }
    int desfase = numeros.size() == kDias ? static_cast<int>(numeros.indexOf(1)) : -1;
    if (desfase < 0) {
        // No table to read: the calendar's rule, a whole week of the month
        // before when the 1st falls on the first day of the week.
        desfase = (primero.dayOfWeek() - MonthView1->firstDayOfWeek() + 7) % 7;
        if (desfase == 0)
            desfase = 7;
    }
    QList<QDate> dias;
    for (int i = 0; i < kDias; ++i)
        dias << primero.addDays(i - desfase);
    return dias;
}

void PanelLuna::VerFasesLuna()
{
    QStringList lineas;
    for (const QDate &dia : DiasVisibles()) {
        const QString linea = LineaFase(dia, modBasico::FaseLuna(modBasico::FechaDe(dia)));
        if (!linea.isEmpty())
            lineas << linea;
    }
    ListLunar->clear();
    ListLunar->addItems(lineas);
}

void PanelLuna::MonthView1_SelChange()
{
    VerFasesLuna();
}
