#pragma once
// The web engine (the calendar page, the tutorial) shares its graphics context
// with the windows: Qt needs that settled before the application object exists.
namespace MotorWeb {

// Call first thing in main, before QApplication is created. On the offscreen
// platform (no OpenGL there) the engine draws in software.
void Preparar();

} // namespace MotorWeb
