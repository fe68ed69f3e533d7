#pragma once

#include <cstdint>
#include <string>

#include <QString>

#include "atributos.h"
#include "observador.h"

// What the picture readers share: the size checks made before any pixel is
// allocated, the progress of a multi-file read, and the warning for a picture
// whose size is not the first one's.

// The attributes of a picture volume: none of these formats carries a pixel
// size, so it is fixed. "FileName" is set when `nombreFichero` is not empty.
AttributeMap atributosImagen(const std::string& tamanoPixel, const std::string& nombreFichero);

// The file's size in bytes, 0 when it cannot be asked.
uint64_t bytesFichero(const std::string& ruta);

// Refuses (ErrorLectura) a picture whose extents are not positive, or that
// claims far more pixels than a file of `bytes` could describe at
// `pixelesPorByte`, the best compression the format reaches in practice.
// Small pictures always pass, so an extreme but honest compression still opens.
void compruebaExtension(const std::string& ruta, int64_t ancho, int64_t alto, uint64_t bytes,
                        uint64_t pixelesPorByte);

// Every file of one choice becomes a slice of the first file's size: a
// different picture is cut to it or padded with 0, and the user is told.
void avisoTamanoDistinto(ObservadorLectura& observador, const std::string& ruta, int ancho, int alto,
                         int anchoPrimero, int altoPrimero);

// The progress of a read of `n` files ("Leyendo imagenes ..."), closed however
// the read ends.
class ProgresoImagenes {
 public:
  ProgresoImagenes(ObservadorLectura& o, int n);
  ~ProgresoImagenes();
  ProgresoImagenes(const ProgresoImagenes&) = delete;
  ProgresoImagenes& operator=(const ProgresoImagenes&) = delete;
  void valor(int v) { o_.progresoValor(v); }

 private:
  ObservadorLectura& o_;
};

// A chosen path in the local 8-bit encoding, as the C libraries take it.
inline std::string rutaLocal(const QString& ruta) { return ruta.toLocal8Bit().toStdString(); }
