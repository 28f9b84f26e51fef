// The sheet map.
#include "designer/FormPrincipal.h"

void FormPrincipal::refrescaMapa() {}

void FormPrincipal::ComboNHojas_Click() {}
