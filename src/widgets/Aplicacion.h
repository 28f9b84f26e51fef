#pragma once
// What the program sets on its application object before the first window:
// its names, its icon, and Qt's own texts (context menus, scroll buttons,
// standard buttons) in Spanish.
namespace Aplicacion {

// Call once the QApplication exists. Without Qt's translations installed its
// own texts stay in English.
void Preparar();

} // namespace Aplicacion
