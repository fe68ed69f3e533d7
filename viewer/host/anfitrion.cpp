#include "anfitrion.h"

// Placeholder until the host lands: no library is ever run.
bool aplicaFiltro(Cubo&, const EstadoVista&, const QString&, const std::string&, const QString&,
                  QWidget*, QString* error) {
  if (error) *error = QStringLiteral("the filter host is not built yet");
  return false;
}

QString rutaPluginPorDefecto() { return QStringLiteral("./trelkinFull.so"); }
