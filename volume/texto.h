#pragma once

#include <string>

// A number as an output stream with default settings prints it: six
// significant digits, the shorter of fixed and exponent notation, no trailing
// zeros (0.9765625f gives "0.976562", 1.0 gives "1"). A float is widened first.
std::string textoNumero(double v);
