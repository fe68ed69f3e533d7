#pragma once

#include <cstdint>

#include "tipos.h"

// Largest and smallest sample; an image without samples gives 0 and 65535.
void minMaxImagen(const uint16_t* imagen, const Dimensiones& dims, int& maximo, int& minimo);

// One bin per value from 0 to the largest sample.
Histograma histograma(const uint16_t* imagen, const Dimensiones& dims);

// Maps the image onto salidaMin...salidaMax after cutting porcentaje percent
// of the samples off each end of its cumulative histogram (zeros never count
// toward the upper cut). Logs "MIN CDF: " and "MAX CDF: ".
void normalizaCDF(uint16_t* imagen, const Dimensiones& dims, int salidaMin, int salidaMax,
                  int porcentaje);

// Samples above th become the image's maximum, the others its minimum.
// Logs "MAX MIN ".
void umbralizacion(uint16_t* imagen, const Dimensiones& dims, int th);
