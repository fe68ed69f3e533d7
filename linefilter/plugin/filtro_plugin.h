#pragma once

#include <optional>

#include <QMainWindow>

#include "filterinterface.h"
#include "tipos.h"

class FilterVolume;

// The library's root object. It is never shown; it keeps only the extents of
// the last run.
class FiltroPlugin : public QMainWindow, public FilterInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID OSMAVU_FILTER_INTERFACE_IID)
  Q_INTERFACES(FilterInterface)

 public:
  QStringList filterNames() const override;
  // Asks for the parameters and runs the detector on the first slice. A
  // parameter that stops the run is reported on stderr and in a message box
  // over `parent`, and the samples stay as they were; so does closing the
  // dialog without "Run". The outcome is left in the properties the host reads.
  void runFilter(FilterVolume* volume, QWidget* parent) override;

 private:
  std::optional<MapaParametros> pideParametros(const FilterVolume& volume);

  int alto_ = 0;
  int ancho_ = 0;
  int profundidad_ = 0;
};

// Where a run leaves its result files: ./data in the working directory, else a
// data folder beside the executable, else ./data, created.
QString carpetaResultados();
