#pragma once
// The tutorial window: the program's own tutorial page ("video/Huerta
// Proj.html" in the program's folder) in a browser, in a modal window larger
// than the main window.
#include <QDialog>
#include <QSize>

class QWebEngineView;

class FormTutorial : public QDialog
{
    Q_OBJECT

public:
    // dueño: the main window; carpetaPrograma: the program's folder;
    // tamañoDueño: the main window's outer size in twips.
    FormTutorial(QWidget *dueño, const QString &carpetaPrograma, QSize tamañoDueño);

    QWebEngineView *WebBrowser1 = nullptr;

    // The window's outer size (borders and caption included), in twips.
    QSize TamañoTwips() const;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void Form_Load(const QString &carpetaPrograma, QSize tamañoDueño);
    void Form_Resize();
    void aplicarTamaño();

    QSize m_tamañoTwips;
};
