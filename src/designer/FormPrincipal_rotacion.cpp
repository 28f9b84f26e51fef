// Rotation rules and the candidates of the crop slots.
#include "designer/FormPrincipal.h"

void FormPrincipal::LeerCultivos() {}

void FormPrincipal::CultivosCombos(int) {}
