#pragma once

#include <cstdint>
#include <string>

#include "tipos.h"

// One run of the detector as the plug-in and the batch tool make it: on a
// copy of the first dim0*dim1 samples and of dims, written back only when the
// run completes, so that a run stopped by any error leaves the caller's
// samples and extents as they were. The result files go to carpetaDatos. Throws what the
// pipeline throws, and std::length_error for negative extents or ones the
// pipeline cannot count in an int.
void ejecutaPipeline(uint16_t* muestras, Dimensiones* dims, const MapaParametros& parametros,
                     const std::string& carpetaDatos);
