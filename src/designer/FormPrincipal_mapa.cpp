// The sheet map.
#include "designer/FormPrincipal.h"

void FormPrincipal::refrescaMapa() {}

void FormPrincipal::ComboNHojas_Click() {}

void FormPrincipal::ResaltarHoja(const QList<int> &) {}

void FormPrincipal::ResaltarHojaPorNumero(int) {}

void FormPrincipal::conectarEventosMapa() {}
