// Storing and emptying a sheet's plan.
#include "designer/FormPrincipal.h"

void FormPrincipal::conectarEventosHoja() {}
