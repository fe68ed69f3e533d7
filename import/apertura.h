#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QString>
#include <QStringList>

#include "cubo.h"
#include "observador.h"

// What one open produced. The viewer's open workflow and the tools both go
// through the functions below, so that they can never disagree about a file.
struct VolumenAbierto {
  std::string clave;             // the recognizer's type key
  std::unique_ptr<Cubo> leido;   // the reader's own volume, kept only when it was converted
  std::unique_ptr<Cubo> display; // the 16-bit volume shown and filtered; never null on return
  QString resumen;               // the header summary; null when the key makes none
  int inferior = 0;              // initial grey window
  int superior = 65535;
};

// A file choice: recognise the first path, run its reader, convert to 16 bits
// where the key needs it, build the summary (also set as the display volume's
// header text) and the initial window, and write the dispatch's log lines.
// Throws ErrorLectura when no display volume results (no reader for the key, a
// file the reader refuses, a volume without a slice or without its pixel
// sizes); no other exception escapes.
VolumenAbierto abreLista(const QStringList& rutas, ObservadorLectura& observador);

// A folder choice, given the folder's files as ficherosCarpeta lists them:
// a DICOM series or an XDAS sinogram; the window is always 0…65535.
VolumenAbierto abreListaCarpeta(const QStringList& ficheros, ObservadorLectura& observador);

// The guard both opens run in: recognise the first path, let `lee` dispatch on
// the key, and turn whatever it throws (a missing attribute, memory, any
// standard error) or leaves unusable into an ErrorLectura naming that path.
using LectorClave = std::function<void(const std::string& clave, VolumenAbierto& volumen)>;
VolumenAbierto abreProtegido(const QStringList& rutas, const LectorClave& lee);
