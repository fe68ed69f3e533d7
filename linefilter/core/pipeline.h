#pragma once

#include <cstdint>
#include <string>

#include "segmentos.h"
#include "tipos.h"

// The line detector's whole run on one slice: optional smoothing, gradient,
// the contrast stretch, optional thresholding and, with "dl", detection,
// painting and the four result files in carpetaDatos (created when missing).
// Rewrites the first dim0*dim1 samples in place; with detection it exchanges
// the two fields of dims and leaves them so. A parameter that is not a number
// throws the standard conversion errors before anything is changed.
void procesaImagen(uint16_t* muestras, Dimensiones* dims, MapaParametros parametros,
                   const std::string& carpetaDatos = "./data");

// Paints the segments into the image (detection frame, dims {C, R}) with the
// image's maximum minus 150 in 16-bit arithmetic. With tipo 'c' the image is
// cleared first, so only the segments remain. Column 0 and row 0 are never
// painted.
void pintaSegmentos(uint16_t* imagen, const Dimensiones* dims, const MapaSegmentos& segmentos,
                    char tipo);
