#pragma once

#include <memory>

#include <QStringList>

#include "cubo.h"
#include "observador.h"

// An Analyze 7.5 pair (a 348-byte header, samples in the .img beside it) as a
// volume of signed 16-bit slices, whatever the sample type on disk. Only the
// first path is read. Throws ErrorLectura for a header that cannot be used,
// an unsupported sample type, or a sample file that holds less than one slice;
// a sample file shorter than the header says is read as far as it goes, with a
// warning through the observer.
std::unique_ptr<Cubo> leerAnalyze(const QStringList& ficheros, ObservadorLectura& observador);
