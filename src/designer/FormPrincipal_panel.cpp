// Status line and explanation log.
#include "designer/FormPrincipal.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QThread>

void FormPrincipal::PonerTextoPanel(const QString &Texto)
{
    // Two short blinks so the eye catches the change; the text stays.
    for (int vez = 1; vez <= 2; ++vez) {
        PanelEstado->setText(Texto);
        PanelEstado->repaint();
        QThread::msleep(20);
        PanelEstado->setText(QString());
        PanelEstado->repaint();
        QThread::msleep(40);
        PanelEstado->setText(Texto);
        QApplication::processEvents();
    }
}

void FormPrincipal::Explicito(const QString &Texto)
{
    if (ModoExplicito->checkState() != Qt::Checked)
        return;
    auto *linea = new QListWidgetItem(Texto, ListModoExplicito);
    ListModoExplicito->scrollToItem(linea);
}

void FormPrincipal::ModoExplicito_Click()
{
    EstablecerAlturaTwips(ModoExplicito->checkState() == Qt::Checked ? 11310 : 10140);
}

void FormPrincipal::ListModoExplicito_DblClick()
{
    ListModoExplicito->clear();
}
