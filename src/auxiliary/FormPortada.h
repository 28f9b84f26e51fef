#pragma once
// The splash window shown at start-up; a click anywhere closes it (from the
// keyboard, Space, Return or Escape). It never closes by itself.
#include <QDialog>

class QTimer;

class FormPortada : public QDialog
{
    Q_OBJECT

public:
    explicit FormPortada(QWidget *parent = nullptr);

    // The program's own picture (557 x 476), shared with the About tab.
    static QPixmap Imagen();

    QTimer *Timer1 = nullptr;

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
};
