#pragma once

// Raw acquisition files written byte by byte: XDAS and flat-panel files with
// their trailer, PelixOld files and His frames.

#include <array>
#include <cstdint>
#include <vector>

#include "ficheros_prueba.h"

// The 16 doubles of an acquisition trailer, by index.
struct Trailer {
  std::array<double, 16> v{};
  Trailer(double codigo, double canales, double proyecciones) {
    v[0] = codigo;
    v[1] = canales;
    v[2] = proyecciones;
    v[5] = 0.2;   // pixel size
    v[6] = 0.5;   // slice thickness
    v[11] = 300;  // focus-object
    v[12] = 600;  // focus-detector
  }
  Trailer& con(int i, double x) {
    v[static_cast<std::size_t>(i)] = x;
    return *this;
  }
};

inline Bytes bytesTrailer(const Trailer& t) {
  Bytes b(128);
  for (int i = 0; i < 16; ++i) ponDouble(b, 8 * i, t.v[static_cast<std::size_t>(i)]);
  return b;
}

inline Bytes dobles(const std::vector<double>& v) {
  Bytes b(v.size() * 8);
  for (std::size_t i = 0; i < v.size(); ++i) ponDouble(b, 8 * i, v[i]);
  return b;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes ficheroXDAS(const std::vector<double>& muestras, const Trailer& t) {
  return dobles(muestras) + bytesTrailer(t);
}

inline Bytes ficheroFP(const std::vector<int>& muestras, const Trailer& t) {
  return muestras16(muestras) + bytesTrailer(t);
}

// A His frame: the 100-byte header with the type word and the two extents.
inline Bytes ficheroHis(uint16_t ancho, uint16_t alto, const Bytes& muestras) {
  Bytes b(100, 0);
  pon16(b, 0, 0x7000);
  pon16(b, 16, static_cast<int16_t>(ancho));
  pon16(b, 18, static_cast<int16_t>(alto));
  return b + muestras;
}

inline std::string escribeEn(const QTemporaryDir& dir, const std::string& nombre, const Bytes& b) {
  const std::string r = ruta(dir, nombre);
  escribe(r, b);
  return r;
}

inline QStringList lista(const std::vector<std::string>& rutas) {
  QStringList l;
  for (const auto& r : rutas) l << QString::fromStdString(r);
  return l;
}
