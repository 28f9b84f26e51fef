#pragma once
// The mouse wheel over pickers and sliders (combo boxes, sliders, spin boxes)
// of a window: such a control turns under the wheel only while it has the
// keyboard's focus. Otherwise the wheel goes on to what holds it (a list or a
// view scrolls), so a notch given while the pointer only passes over a picker
// changes nothing the user did not choose. The wheel no longer gives them the
// focus either. Scroll bars keep scrolling as ever.
class QWidget;

namespace Rueda {

// For every picker and slider of ventana, those made later included.
void SoloConFoco(QWidget *ventana);

} // namespace Rueda
