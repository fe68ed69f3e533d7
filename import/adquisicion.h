#pragma once

#include <array>
#include <memory>

#include <QString>
#include <QStringList>

#include "cubo.h"
#include "observador.h"

// The raw output of the X-ray acquisition systems: every chosen file is one
// slice of samples from byte 0, ended by a 128-byte trailer of 16
// little-endian doubles describing the acquisition. Only the first file's
// trailer is read; every file becomes one slice, in list order.
using TrailerAdquisicion = std::array<double, 16>;

// The acquisition as the summary shows it, one labelled value a line.
QString textoCabeceraAdquisicion(const TrailerAdquisicion& trailer);

// The readers throw ErrorLectura for a first file that cannot be opened or is
// shorter than its trailer, and for a trailer whose counts are not whole
// numbers from 1 up or claim far more samples than the files hold. A file
// that holds fewer (or more) samples than the trailer gives, or that cannot be
// opened after the first, is read as far as it goes with the rest 0 and the
// user is told through the observer.

// XDAS sinogram: slices of doubles, projections x channels.
std::unique_ptr<CuboSinograma> leerSinogramaXDAS(const QStringList& ficheros, ObservadorLectura& observador);
// XDAS radiograph: doubles stretched to 16 bits, projections x channels.
std::unique_ptr<Cubo> leerRadiografiaXDAS(const QStringList& ficheros, ObservadorLectura& observador);
// Flat-panel radiograph: channels x channels unsigned 16-bit samples, transposed.
std::unique_ptr<CuboSinograma> leerRadiografiaFP(const QStringList& ficheros, ObservadorLectura& observador);
