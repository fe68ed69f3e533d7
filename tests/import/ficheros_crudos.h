#pragma once

// Raw acquisition files written byte by byte: XDAS and flat-panel files with
// their trailer, PelixOld files and His frames.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cubo.h"
#include "errores.h"
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

// Runs a reader on a hostile file. With `error` set it must refuse with that
// text in its reason; otherwise it must give a volume of `cortes` slices and,
// with `aviso` set, a first warning holding that text (no warning when not).
// Returns the path the refusal named, or "" when a volume resulted.
inline std::string esperaErrorOAviso(const std::function<std::unique_ptr<Cubo>(ObservadorLectura&)>& lee,
                                     const char* error, const char* aviso, int cortes) {
  ObservadorGrabador o;
  RegistroDebug registro;
  ::testing::internal::CaptureStdout();
  std::string rutaError;
  try {
    auto v = lee(o);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(error, nullptr) << "a volume from a file that should be refused";
    if (!v) {
      ADD_FAILURE() << "no volume and no error";
    } else {
      EXPECT_EQ(v->cortesPresentes(), cortes);
    }
    if (aviso) {
      EXPECT_FALSE(o.avisos.empty());
      if (!o.avisos.empty()) {
        EXPECT_THAT(o.avisos[0], ::testing::HasSubstr(aviso));
      }
    } else {
      EXPECT_THAT(o.avisos, ::testing::IsEmpty());
    }
  } catch (const ErrorLectura& e) {
    ::testing::internal::GetCapturedStdout();
    EXPECT_NE(error, nullptr) << "refused: " << e.what();
    if (error) {
      EXPECT_THAT(e.motivo(), ::testing::HasSubstr(error));
    }
    rutaError = e.ruta();
  }
  // Progress once opened is always closed.
  EXPECT_EQ(o.fines, o.maximo == -1 ? 0 : 1);
  return rutaError;
}
