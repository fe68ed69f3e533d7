#include "reconocedor.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include <QDebug>

#include "carpeta.h"

namespace {

// Bytes [desde, desde + n) of an open file; false when the file is too short
// to hold them, so that a short file never matches a test that needs them.
bool leeBytes(std::ifstream& f, std::uint64_t tamano, std::uint64_t desde, char* destino,
              std::size_t n) {
  if (desde > tamano || tamano - desde < n) return false;
  f.clear();
  f.seekg(static_cast<std::streamoff>(desde));
  f.read(destino, static_cast<std::streamsize>(n));
  return f.gcount() == static_cast<std::streamsize>(n);
}

double dobleLE(const unsigned char* b) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

bool abreLectura(const std::string& ruta, std::ifstream& f) {
  std::error_code ec;
  // A folder opens as a stream on this platform but holds no bytes.
  if (std::filesystem::is_directory(ruta, ec)) return false;
  f.open(ruta, std::ios::binary);
  return f.is_open();
}

}  // namespace

double valorInicial(const std::string& ruta) {
  std::ifstream f;
  unsigned char b[8];
  if (!abreLectura(ruta, f)) return std::numeric_limits<double>::quiet_NaN();
  f.read(reinterpret_cast<char*>(b), 8);
  // Shorter than a double: not a number, which equals nothing.
  if (f.gcount() != 8) return std::numeric_limits<double>::quiet_NaN();
  return dobleLE(b);
}

std::string formatoDeFichero(const std::string& ruta) {
  std::ifstream f;
  if (!abreLectura(ruta, f)) {
    std::fprintf(stderr, "Can't open: %s\n", ruta.c_str());
    return "noFile";
  }
  f.seekg(0, std::ios::end);
  const std::streamoff fin = f.tellg();
  const std::uint64_t tamano = fin > 0 ? static_cast<std::uint64_t>(fin) : 0;

  unsigned char cabeza[2];
  const bool hayPalabra = leeBytes(f, tamano, 0, reinterpret_cast<char*>(cabeza), 2);
  const int palabra = hayPalabra ? static_cast<int16_t>(cabeza[0] | (cabeza[1] << 8)) : 0;

  unsigned char cola[8];
  const bool hayCola = tamano >= 128 && leeBytes(f, tamano, tamano - 128, reinterpret_cast<char*>(cola), 8);
  const double trailer = hayCola ? dobleLE(cola) : std::numeric_limits<double>::quiet_NaN();
  f.close();

  if (palabra == 348) return "Analyze";
  if (palabra == 0x7000) return "His";
  if (palabra == 0x4949) return "TIFF";
  if (hayPalabra && cabeza[0] == 0xFF && cabeza[1] == 0xD8) return "JPEG";
  if (palabra == 0x5089) return "PNG";
  if (palabra == 0x4D42) return "BMP";
  if (trailer == 32000.0) return "radXDAS";
  if (trailer == 32001.0) return "sinoXDAS";
  if (trailer == 32002.0) return "radFP";
  if (valorInicial(ruta) == 0.0) return "Dicom";
  return "PelixOld";
}

std::string detectarFormato(const QStringList& ficheros) {
  std::string clave = "noFile";
  if (ficheros.isEmpty()) {
    std::fprintf(stderr, "Can't open: %s\n", "");
  } else {
    const QString ruta = QString::fromLocal8Bit(ficheros.first().toLocal8Bit());
    clave = formatoDeFichero(ruta.toLocal8Bit().toStdString());
  }
  qDebug().noquote() << "Cabecera " << QString::fromStdString(clave);
  return clave;
}

std::string formatoDeCarpeta(const QString& carpeta) {
  const QString primero = primerFicheroCarpeta(carpeta);
  qDebug().noquote() << "path" << ('"' + primero + '"');
  qDebug().noquote() << "Primer fichero" << primero;
  std::string clave;
  if (!primero.isEmpty() && valorInicial(primero.toLocal8Bit().toStdString()) == 0.0) clave = "Dicom";
  qDebug().noquote() << QString::fromStdString(clave);
  return clave;
}
