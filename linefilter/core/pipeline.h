#pragma once

#include <cstdint>

#include "tipos.h"

// The line detector's whole run on one slice: optional smoothing, gradient,
// the contrast stretch, optional thresholding and, with "dl", detection,
// painting and the four result files in ./data. Rewrites the first
// dim0*dim1 samples in place; with detection it exchanges the two fields of
// dims.
void procesaImagen(uint16_t* muestras, Dimensiones* dims, MapaParametros parametros);
