#pragma once

#include "error_fichero.h"

// A file that could not be written. The writers throw it (or hand a list of
// them back, for a series) instead of failing silently.
class ErrorEscritura : public ErrorFichero {
 public:
  using ErrorFichero::ErrorFichero;
};
