#pragma once
// Click notices for controls that have none of their own (a picture, a text
// box): the function runs when the mouse button is released over the control,
// or, with AlApretar, as soon as it is pressed (before the control itself sees
// the press).
#include <functional>

class QWidget;

void AlPulsar(QWidget *control, std::function<void()> accion);
void AlApretar(QWidget *control, std::function<void()> accion);
