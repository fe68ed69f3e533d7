#pragma once

#include <memory>

#include <QStringList>

#include "cubo.h"
#include "observador.h"

// The older Pelix format: one file a slice, each a sequence of little-endian
// doubles whose last seven values (the Pelix header) give the slice height,
// the mode of the pixel sizes and the two distances. Throws ErrorLectura when
// the first file cannot be opened, has no header, has a negative mode or a
// slice height that gives no column, or when the last file (whose size sets
// the sample count of every slice) holds no samples. A file shorter or longer
// than the last one, or one that cannot be opened after the first, is read as
// far as it goes with the rest 0 and the user is told through the observer.
std::unique_ptr<CuboSinograma> leerPelixOld(const QStringList& ficheros, ObservadorLectura& observador);
