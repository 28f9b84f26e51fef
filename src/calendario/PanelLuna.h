#pragma once
// The moon-phase panel: a month calendar and, below it, the days of its grid on
// which the moon is new, full or in a quarter, with the sowing advice of the
// quarters ("5/3/2010--> LLena").
#include <QDate>
#include <QGroupBox>
#include <QList>

class QCalendarWidget;
class QListWidget;

class PanelLuna : public QGroupBox
{
    Q_OBJECT

public:
    explicit PanelLuna(QWidget *parent = nullptr);

    QCalendarWidget *MonthView1 = nullptr;
    QListWidget *ListLunar = nullptr;

    // The 42 days of the calendar's grid as the user sees them, in grid order
    // (row by row), neighbouring months' days included.
    QList<QDate> DiasVisibles() const;

    // Rebuilds ListLunar from the days on view.
    void VerFasesLuna();
    // The calendar's selection or shown month changed.
    void MonthView1_SelChange();

    // The line of a phase day, or "" for code 0.
    static QString LineaFase(const QDate &dia, int fase);
};
