#pragma once

// Small volumes and file helpers for the export tests.

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "cubo.h"

using Bytes = std::vector<unsigned char>;

// A volume of unsigned 16-bit slices, as the working copy of the viewer is.
// `cortes[k]` holds slice k in storage order (x * alto + y).
inline std::unique_ptr<Cubo> cuboUShort(int ancho, int alto, const std::vector<std::vector<uint16_t>>& cortes,
                                        const AttributeMap& atributos) {
  auto g = nuevaGeometria(ancho, alto);
  auto cubo = std::make_unique<Cubo>(g, static_cast<int>(cortes.size()), atributos);
  for (std::size_t k = 0; k < cortes.size(); ++k) {
    const std::size_t n = g->numMuestras();
    auto datos = std::make_unique<uint16_t[]>(n);
    uint16_t bajo = 65535, alto16 = 0;
    for (std::size_t i = 0; i < n; ++i) {
      datos[i] = i < cortes[k].size() ? cortes[k][i] : 0;
      bajo = std::min(bajo, datos[i]);
      alto16 = std::max(alto16, datos[i]);
    }
    cubo->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(datos), bajo, alto16, g), int(k));
  }
  return cubo;
}

inline AttributeMap tamanos(const std::string& x, const std::string& y, const std::string& st) {
  AttributeMap m;
  m.set("PixelDimx", x);
  m.set("PixelDimy", y);
  m.set("ST", st);
  return m;
}

inline Bytes leeBytes(const QString& ruta) {
  std::ifstream f(ruta.toStdString(), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline uint16_t lee16(const Bytes& b, std::size_t o) { return uint16_t(b[o] | (b[o + 1] << 8)); }
inline uint32_t lee32(const Bytes& b, std::size_t o) {
  return uint32_t(b[o]) | uint32_t(b[o + 1]) << 8 | uint32_t(b[o + 2]) << 16 | uint32_t(b[o + 3]) << 24;
}
inline float leeFloat(const Bytes& b, std::size_t o) {
  const uint32_t bits = lee32(b, o);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

// The names a folder holds, sorted: what a failed save must leave unchanged.
inline QStringList contenido(const QString& carpeta) {
  return QDir(carpeta).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

// A name whose writes fail with "no space left": the tests run as any user,
// root included, so a read-only folder cannot be relied on to refuse a write.
inline void enlazaADispositivoLleno(const QString& ruta) {
  ASSERT_EQ(::symlink("/dev/full", ruta.toLocal8Bit().constData()), 0);
}

#ifdef OSMAVU_CONVERT
// One run of the built osmavu-convert, as a user would start it.
struct Ejecucion {
  int estado = -1;
  std::string salida;
  std::string errores;
};

inline Ejecucion ejecuta(const QStringList& argumentos) {
  QProcess p;
  p.start(QStringLiteral(OSMAVU_CONVERT), argumentos);
  Ejecucion e;
  if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) return e;
  e.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  e.salida = p.readAllStandardOutput().toStdString();
  e.errores = p.readAllStandardError().toStdString();
  return e;
}
#endif
