#pragma once

#include "error_fichero.h"

// A file that cannot be turned into a volume. Readers throw it instead of
// returning a half-built volume.
class ErrorLectura : public ErrorFichero {
 public:
  using ErrorFichero::ErrorFichero;
};
