// The plan grid and the crop pickers.
#include "designer/FormPrincipal.h"

void FormPrincipal::BorraTodasFilas() {}

void FormPrincipal::conectarEventosRejilla() {}
