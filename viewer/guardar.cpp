#include "visualizador.h"

// Saving belongs to the export layer; until it is linked here the user is
// told instead of the command silently doing nothing.
void Visualizador::guardar() {
  dialogos_->aviso(QStringLiteral("Dravoni"), tr("Saving is not available in this build."));
}

void Visualizador::guardarTodas() {
  dialogos_->aviso(QStringLiteral("Dravoni"), tr("Saving is not available in this build."));
}
