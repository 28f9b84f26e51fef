// The moon-phase panel, the biodynamic-calendar page and the tutorial window.
#include "designer/FormPrincipal.h"

#include "auxiliary/FormTutorial.h"
#include "calendario/PaginaCalendario.h"
#include "calendario/PanelLuna.h"
#include "widgets/Dialogos.h"
#include "widgets/Twips.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDate>
#include <QPushButton>

void FormPrincipal::conectarEventosCalendario()
{
    connect(CheckLuna, &QCheckBox::clicked, this, [this] { CheckLuna_Click(); });
    connect(Bt_Printwww, &QPushButton::clicked, this, [this] { Bt_Printwww_Click(); });
    connect(BtTutorial, &QPushButton::clicked, this, [this] { BtTutorial_Click(); });
}

void FormPrincipal::CheckLuna_Click()
{
    FrameFasesLuna->VerFasesLuna();
    FrameFasesLuna->setVisible(CheckLuna->isChecked());
    // Today's date also brings today's month on view, which refreshes the
    // list again.
    MonthView1->setSelectedDate(QDate::currentDate());
}

void FormPrincipal::Bt_Printwww_Click()
{
    PaginaBiodinamica->Imprimir();
}

void FormPrincipal::BtTutorial_Click()
{
    const QSize tamaño(Twips::DesdePixelesX(frameGeometry().width()), AlturaTwips());
    FormTutorial tutorial(this, carpetaPrograma, tamaño);
    Dialogos::MostrarModal(&tutorial);
}
