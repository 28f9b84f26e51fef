// The plan tree by years.
#include "designer/FormPrincipal.h"

void FormPrincipal::RefrescarArbolAños() {}

void FormPrincipal::conectarEventosArbol() {}
