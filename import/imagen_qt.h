#pragma once

#include <memory>

#include <QStringList>

#include "cubo.h"
#include "observador.h"

// PNG and BMP pictures (any picture the toolkit loads), one slice a file, as a
// Cubo of unsigned 16-bit slices with the limits 0 and 255 holding the grey
// level (11 red + 16 green + 5 blue) / 32. Throws ErrorLectura naming the file
// the toolkit cannot load or whose size cannot be right.
std::unique_ptr<Cubo> leerImagenQt(const QStringList& ficheros, ObservadorLectura& observador);
