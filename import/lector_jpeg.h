#pragma once

#include <memory>

#include <QStringList>

#include "cubo.h"
#include "observador.h"

// JPEG pictures through libjpeg, one slice a file, as a CuboSinograma of double
// slices (limits 0 and 65535) holding the first colour component, 0…255.
// Throws ErrorLectura naming the file that cannot be opened, that libjpeg
// rejects, or whose size cannot be right; a stream that ends early or holds
// corrupt data is kept as libjpeg decodes it, with a warning through the
// observer.
std::unique_ptr<Cubo> leerJpeg(const QStringList& ficheros, ObservadorLectura& observador);
