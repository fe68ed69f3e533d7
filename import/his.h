#pragma once

#include <memory>

#include <QStringList>

#include "cubo.h"
#include "observador.h"

// The first frame of a His detector file (type word 0x7000): a 100-byte
// header whose words at bytes 16 and 18 give the width and the height, then
// unsigned 16-bit samples in file order. Only the first path is read. Throws
// ErrorLectura for a file shorter than its header, a zero extent, or extents
// far beyond the file; a file merely short is read as far as it goes, the
// rest 0, with a warning through the observer.
std::unique_ptr<Cubo> leerHis(const QStringList& ficheros, ObservadorLectura& observador);
