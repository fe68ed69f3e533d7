#pragma once

#include <memory>

#include <QStringList>

#include "cubo.h"
#include "observador.h"

// Little-endian TIFF pictures through libtiff's RGBA interface, one slice a
// file, as a CuboSinograma of double slices (limits 0 and 65535) whose sample
// is red + 256 x green of the pixel. Throws ErrorLectura naming the file that
// libtiff cannot open or decode, or whose size cannot be right; a picture that
// decodes with errors is kept, with a warning through the observer.
std::unique_ptr<Cubo> leerTiff(const QStringList& ficheros, ObservadorLectura& observador);
