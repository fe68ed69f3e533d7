#pragma once

// Small files written byte by byte for the import tests.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <QDir>
#include <QStringList>
#include <QtGlobal>
#include <QTemporaryDir>

using Bytes = std::vector<unsigned char>;

inline void escribe(const std::string& ruta, const Bytes& b) {
  std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline void escribeTexto(const std::string& ruta, const std::string& t) {
  std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
  f << t;
}

inline void pon16(Bytes& b, std::size_t o, int16_t v) {
  b[o] = static_cast<unsigned char>(uint16_t(v) & 0xFF);
  b[o + 1] = static_cast<unsigned char>(uint16_t(v) >> 8);
}

inline void pon32(Bytes& b, std::size_t o, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[o + i] = static_cast<unsigned char>(v >> (8 * i));
}

inline void ponFloat(Bytes& b, std::size_t o, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  pon32(b, o, bits);
}

inline void ponDouble(Bytes& b, std::size_t o, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  for (int i = 0; i < 8; ++i) b[o + i] = static_cast<unsigned char>(bits >> (8 * i));
}

// The fields of an Analyze header that the reader looks at.
struct CabeceraAnalyze {
  int16_t filas = 2;     // dim[1]
  int16_t columnas = 3;  // dim[2]
  int16_t cortes = 1;    // dim[3]
  int16_t tipo = 4;
  float pixdim1 = 1.0f, pixdim2 = 1.0f, pixdim3 = 1.0f;
  float pitch = 0.0f;
  std::string unidades;  // at most 8 bytes
  unsigned char orientacion = 0;
};

inline Bytes cabeceraAnalyze(const CabeceraAnalyze& c) {
  Bytes b(348, 0);
  pon32(b, 0, 348);
  pon16(b, 40, 4);
  pon16(b, 42, c.filas);
  pon16(b, 44, c.columnas);
  pon16(b, 46, c.cortes);
  std::memcpy(b.data() + 60, c.unidades.data(), std::min<std::size_t>(8, c.unidades.size()));
  pon16(b, 70, c.tipo);
  ponFloat(b, 80, c.pixdim1);
  ponFloat(b, 84, c.pixdim2);
  ponFloat(b, 88, c.pixdim3);
  ponFloat(b, 120, c.pitch);
  b[252] = c.orientacion;
  return b;
}

inline Bytes muestras16(const std::vector<int>& v) {
  Bytes b(v.size() * 2);
  for (std::size_t i = 0; i < v.size(); ++i) pon16(b, 2 * i, static_cast<int16_t>(uint16_t(v[i])));
  return b;
}

inline Bytes muestrasFloat(const std::vector<float>& v) {
  Bytes b(v.size() * 4);
  for (std::size_t i = 0; i < v.size(); ++i) ponFloat(b, 4 * i, v[i]);
  return b;
}

// Writes base.hdr and base.img in `dir`; returns the header's path.
inline std::string escribeAnalyze(const QTemporaryDir& dir, const std::string& base,
                                  const CabeceraAnalyze& c, const Bytes& img) {
  const std::string hdr = dir.filePath(QString::fromStdString(base + ".hdr")).toStdString();
  escribe(hdr, cabeceraAnalyze(c));
  escribe(dir.filePath(QString::fromStdString(base + ".img")).toStdString(), img);
  return hdr;
}

inline std::string ruta(const QTemporaryDir& dir, const std::string& nombre) {
  return dir.filePath(QString::fromStdString(nombre)).toStdString();
}

#include "observador.h"

// Keeps everything a reader tells.
struct ObservadorGrabador : ObservadorLectura {
  QString etiqueta, cancelar;
  int minimo = -1, maximo = -1, fines = 0;
  std::vector<int> valores;
  std::vector<std::string> avisos;
  void progresoInicio(const QString& e, const QString& c, int mn, int mx) override {
    etiqueta = e;
    cancelar = c;
    minimo = mn;
    maximo = mx;
  }
  void progresoValor(int v) override { valores.push_back(v); }
  void progresoFin() override { ++fines; }
  void aviso(const std::string& r, const std::string& t) override { avisos.push_back(r + ": " + t); }
};

// Collects what the open path writes to the debug log.
class RegistroDebug {
 public:
  RegistroDebug() {
    lineas().clear();
    anterior_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
      lineas() << m;
    });
  }
  ~RegistroDebug() { qInstallMessageHandler(anterior_); }
  static QStringList& lineas() {
    static QStringList l;
    return l;
  }

 private:
  QtMessageHandler anterior_;
};
