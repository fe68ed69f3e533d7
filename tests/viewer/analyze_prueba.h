#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <QDir>
#include <QString>

// A small Analyze pair written byte by byte: 348-byte header and the samples
// (signed 16-bit, little-endian) in storage order, slice after slice.
struct VolumenPrueba {
  int filas = 2;     // slice height
  int columnas = 3;  // slice width
  int cortes = 1;
  std::vector<int16_t> muestras;  // filas * columnas * cortes
  float pixelX = 0.5f, pixelY = 0.5f, pixelZ = 2.5f;
  std::string unidades;  // cal_units
  long bytesImg = -1;    // cut the sample file to this many bytes when >= 0
};

inline void ponInt16(std::vector<unsigned char>& b, int offset, int16_t v) {
  b[offset] = static_cast<unsigned char>(uint16_t(v) & 0xff);
  b[offset + 1] = static_cast<unsigned char>(uint16_t(v) >> 8);
}

inline void ponFloat(std::vector<unsigned char>& b, int offset, float v) {
  uint32_t u;
  std::memcpy(&u, &v, 4);
  for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<unsigned char>(u >> (8 * i));
}

// Returns the header's path, dir/nombre.hdr.
inline QString escribeAnalyze(const QString& dir, const QString& nombre, const VolumenPrueba& v) {
  std::vector<unsigned char> cab(348, 0);
  ponInt16(cab, 0, 348);
  ponInt16(cab, 40, 4);
  ponInt16(cab, 42, static_cast<int16_t>(v.filas));
  ponInt16(cab, 44, static_cast<int16_t>(v.columnas));
  ponInt16(cab, 46, static_cast<int16_t>(v.cortes));
  std::memcpy(cab.data() + 60, v.unidades.data(), std::min<std::size_t>(v.unidades.size(), 8));
  ponInt16(cab, 70, 4);
  ponInt16(cab, 72, 16);
  ponFloat(cab, 80, v.pixelX);
  ponFloat(cab, 84, v.pixelY);
  ponFloat(cab, 88, v.pixelZ);

  const QString hdr = QDir(dir).filePath(nombre + QStringLiteral(".hdr"));
  const QString img = QDir(dir).filePath(nombre + QStringLiteral(".img"));
  std::ofstream(hdr.toStdString(), std::ios::binary)
      .write(reinterpret_cast<const char*>(cab.data()), static_cast<std::streamsize>(cab.size()));

  std::vector<unsigned char> datos;
  for (int16_t m : v.muestras) {
    datos.push_back(static_cast<unsigned char>(uint16_t(m) & 0xff));
    datos.push_back(static_cast<unsigned char>(uint16_t(m) >> 8));
  }
  if (v.bytesImg >= 0) datos.resize(static_cast<std::size_t>(v.bytesImg));
  std::ofstream(img.toStdString(), std::ios::binary)
      .write(reinterpret_cast<const char*>(datos.data()), static_cast<std::streamsize>(datos.size()));
  return hdr;
}

// A volume whose sample i of slice k is 100 * k + i.
inline VolumenPrueba volumenNumerado(int columnas, int filas, int cortes) {
  VolumenPrueba v;
  v.columnas = columnas;
  v.filas = filas;
  v.cortes = cortes;
  for (int k = 0; k < cortes; ++k)
    for (int i = 0; i < columnas * filas; ++i) v.muestras.push_back(static_cast<int16_t>(100 * k + i));
  return v;
}
