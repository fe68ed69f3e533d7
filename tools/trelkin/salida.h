#pragma once

#include <cstdint>
#include <string>

// Writes one slice of w*h samples stored column by column (the sample of
// column x and row y at x*h + y): .raw as uint16 little-endian in that order,
// .png and .tif as a 16-bit grey picture w wide and h high. Returns false
// with a reason when the file cannot be written.
bool escribeCorte(const std::string& ruta, const uint16_t* muestras, int w, int h, std::string& error);
