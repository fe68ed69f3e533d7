#pragma once

#include <memory>
#include <string>

#include <QStringList>

#include "cubo.h"
#include "observador.h"

// A DICOM series read into one volume, with the lowest slice minimum and the
// highest slice maximum seen (both read as unsigned 16-bit numbers), which set
// the initial grey window of a file open.
struct LecturaDicom {
  std::unique_ptr<Cubo> cubo;
  int minimo = 65535;
  int maximo = 0;
};

// One image per file, slices in ascending Instance Number (the first file read
// with a number wins). leerSerieDicom builds signed 16-bit slices with the
// rescale intercept applied; leerCarpetaDicom unsigned ones and fewer
// attributes. A file that gives no slice is reported ("Error reading ...") and
// left out; files left out for any reason are also told through the observer.
// Throws ErrorLectura when no file of the list gives a slice.
LecturaDicom leerSerieDicom(const QStringList& ficheros, ObservadorLectura& observador);
LecturaDicom leerCarpetaDicom(const QStringList& ficheros, ObservadorLectura& observador);

// Slice thickness (Slice Thickness, else Spacing Between Slices) and pixel
// spacing (the first number of Pixel Spacing) of one file; a value the file
// lacks, or holds as no usable number, is reported on standard output and left
// as it was. False when the file cannot be loaded.
bool leerCabeceraDicom(const std::string& fichero, float& grosor, float& espaciadoPixel);

// One slice. Throws ErrorLectura with the reason when the file gives none; a
// Pixel Data shorter than the image is read as far as it goes (the rest 0) and
// told through the observer.
std::unique_ptr<CorteShort> leerCorteDicom(const std::string& fichero, int& numeroInstancia,
                                           float& posicionCorte,
                                           ObservadorLectura& observador = observadorMudo());
std::unique_ptr<CorteUnsignedShort> leerCorteDicomUS(const std::string& fichero, int& numeroInstancia,
                                                     float& posicionCorte,
                                                     ObservadorLectura& observador = observadorMudo());

// (largest − smallest Slice Location) / (files that hold one − 1); 0 when
// fewer than two files hold a usable Slice Location.
float espaciadoEntreCortes(const QStringList& ficheros);
