#pragma once

#include <string>

#include <QString>

#include "cubo.h"
#include "estado_vista.h"

class QWidget;

// One run of the filter library on the working volume: load the library at
// `rutaPlugin`, hand it every slice in one buffer with the attributes, the
// first file name and, in manual mode ("m"), the edge points; rebuild every
// slice of `trabajo` from what comes back. Returns false, with the reason in
// `error` and `trabajo` untouched, when the library cannot be loaded, does not
// answer the interface, or the run fails inside (the library has then told the
// user itself, and `*avisado` says so, so that the caller does not tell twice). Closing the parameter dialog without "Run" is no failure: it
// returns true with `trabajo` untouched and sets `*abandonada`. Redisplaying
// the volume afterwards is the caller's part.
bool aplicaFiltro(Cubo& trabajo, const EstadoVista& vista, const QString& primerFichero,
                  const std::string& modo, const QString& rutaPlugin, QWidget* parent,
                  QString* error, bool* abandonada = nullptr, bool* avisado = nullptr);

// "./trelkinFull" plus the platform's plug-in suffix in the working directory,
// then beside the executable.
QString rutaPluginPorDefecto();
