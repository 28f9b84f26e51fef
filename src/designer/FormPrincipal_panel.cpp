// Status line and explanation log.
#include "designer/FormPrincipal.h"

#include "widgets/Twips.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QThread>

void FormPrincipal::PonerTextoPanel(const QString &Texto)
{
    AnunciarEstado(Texto);
    // Two short blinks so the eye catches the change; the text stays.
    for (int vez = 1; vez <= 2; ++vez) {
        PanelEstado->setText(Texto);
        PanelEstado->repaint();
        QThread::msleep(20);
        PanelEstado->setText(QString());
        PanelEstado->repaint();
        QThread::msleep(40);
        PanelEstado->setText(Texto);
        // The window repaints, but a click made meanwhile waits until the
        // handler that called us has finished.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void FormPrincipal::AnunciarEstado(const QString &Texto)
{
    // Screen readers hear the message itself; the status line keeps a name of
    // its own while it is empty.
    PanelEstado->setAccessibleName(Texto.isEmpty() ? QStringLiteral("Línea de estado") : Texto);
}

void FormPrincipal::AjustarRegistro()
{
    // The log lies along the bottom of the client area: only the part above
    // the status bar can be read, so it ends there.
    const int alto = std::clamp(centralWidget()->height() - ListModoExplicito->y(), 0, Twips::APixelesY(1155));
    ListModoExplicito->resize(ListModoExplicito->width(), alto);
    if (ListModoExplicito->count() > 0)
        ListModoExplicito->scrollToItem(ListModoExplicito->item(ListModoExplicito->count() - 1));
}

void FormPrincipal::Explicito(const QString &Texto)
{
    if (ModoExplicito->checkState() != Qt::Checked)
        return;
    if (m_lotesRegistro > 0) {
        m_registroPendiente << Texto;
        return;
    }
    auto *linea = new QListWidgetItem(Texto, ListModoExplicito);
    ListModoExplicito->scrollToItem(linea);
}

FormPrincipal::RegistroEnLote::RegistroEnLote(FormPrincipal &w) : m_w(w)
{
    ++m_w.m_lotesRegistro;
}

FormPrincipal::RegistroEnLote::~RegistroEnLote()
{
    if (--m_w.m_lotesRegistro > 0 || m_w.m_registroPendiente.isEmpty())
        return;
    QListWidget *lista = m_w.ListModoExplicito;
    lista->addItems(m_w.m_registroPendiente);
    m_w.m_registroPendiente.clear();
    lista->scrollToItem(lista->item(lista->count() - 1));
}

void FormPrincipal::ModoExplicito_Click()
{
    EstablecerAlturaTwips(ModoExplicito->checkState() == Qt::Checked ? kAlturaConRegistro : kAlturaSinRegistro);
}

void FormPrincipal::ListModoExplicito_DblClick()
{
    ListModoExplicito->clear();
}
