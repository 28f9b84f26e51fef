#pragma once
// The web engine (the calendar page, the tutorial) shares its graphics context
// with the windows: Qt needs that settled before the application object exists.
class QWebEngineProfile;

namespace MotorWeb {

// Call first thing in main, before QApplication is created. On the offscreen
// platform (no OpenGL there) the engine draws in software.
void Preparar();

// The profile of the program's web views. It keeps nothing on disk (no cache,
// no cookies): nothing of a run outlives it, and runs never share files.
QWebEngineProfile *Perfil();

} // namespace MotorWeb
