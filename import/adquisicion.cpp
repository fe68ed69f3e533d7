#include "adquisicion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <vector>

#include <QDebug>

#include "crudo.h"
#include "errores.h"
#include "texto.h"

namespace {

constexpr int64_t kTamanoTrailer = 128;
// Samples are read straight into the slices.
static_assert(std::endian::native == std::endian::little, "the readers assume a little-endian host");

enum class Formato { Sinograma, RadiografiaXDAS, RadiografiaFP };

// What the common start of the three readers learns from the first file.
struct Adquisicion {
  std::string ruta;
  TrailerAdquisicion trailer{};
  int canales = 0;
  int proyecciones = 0;  // the flat panel is square: channels again
  float tamPixel = 0, pasoVert = 0, offset = 0, dfo = 0, dfdet = 0;
  uint64_t muestras = 0;      // samples a file
  uint64_t bytesMuestra = 0;  // on disk
};

void log(const char* texto) { qDebug().noquote() << texto; }

TrailerAdquisicion leeTrailer(const std::string& ruta) {
  int64_t tamano = 0;
  const FicheroAbierto f = abreBinario(ruta, tamano);
  if (!f) throw ErrorLectura(ruta, "the file cannot be opened");
  if (tamano < kTamanoTrailer)
    throw ErrorLectura(ruta, "the file holds " + std::to_string(tamano) +
                                 " bytes, fewer than its 128-byte acquisition trailer");
  unsigned char b[kTamanoTrailer];
  const bool bien = std::fseek(f.get(), static_cast<long>(tamano - kTamanoTrailer), SEEK_SET) == 0 &&
                    leeHasta(f.get(), reinterpret_cast<char*>(b), kTamanoTrailer) == kTamanoTrailer;
  if (!bien) throw ErrorLectura(ruta, "the acquisition trailer cannot be read");
  TrailerAdquisicion t;
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = dobleLE(b + 8 * i);
  return t;
}

// A count of the trailer, truncated toward zero; it must give at least 1 and
// fit the slice's extents.
void compruebaCuenta(const std::string& ruta, double v, const char* que) {
  if (!(v >= 1.0 && v < 2147483648.0))
    throw ErrorLectura(ruta, "the acquisition trailer gives " + QString::number(v, 'g', 6).toStdString() +
                                 " " + que + "; it must be a whole number from 1 to 2147483647");
}

// Bytes of samples a file holds: everything before its own trailer.
uint64_t bytesDeMuestras(int64_t tamano) {
  return tamano > kTamanoTrailer ? static_cast<uint64_t>(tamano - kTamanoTrailer) : 0;
}

Adquisicion empieza(const QStringList& ficheros, Formato formato, ObservadorLectura&) {
  static const char* titulos[] = {"Leyendo Sinograma XDAS", "Leyendo Radiografia XDAS",
                                  "Leyendo Radiografia Flat-Panel"};
  if (ficheros.isEmpty()) throw ErrorLectura("", "no file was chosen");
  log(titulos[static_cast<int>(formato)]);
  Adquisicion a;
  a.ruta = ruta8(ficheros.first());
  a.trailer = leeTrailer(a.ruta);
  const TrailerAdquisicion& t = a.trailer;
  const bool fp = formato == Formato::RadiografiaFP;
  a.canales = truncaA32(t[1]);
  a.proyecciones = fp ? a.canales : truncaA32(t[2]);
  a.tamPixel = static_cast<float>(t[5]);
  a.pasoVert = static_cast<float>(t[6]);
  a.offset = static_cast<float>(t[8]);
  a.dfo = static_cast<float>(t[11]);
  a.dfdet = static_cast<float>(t[12]);

  log("/////////// Lectura ///////////");
  qDebug().noquote() << "canales= " << a.canales;
  qDebug().noquote() << "proy= " << a.proyecciones;
  qDebug().noquote() << "cortes= " << ficheros.size();
  qDebug().noquote() << "tam_pixel= " << a.tamPixel;
  qDebug().noquote() << "pasoVert= " << a.pasoVert;
  if (formato == Formato::Sinograma) qDebug().noquote() << "offset= " << a.offset;
  qDebug().noquote() << "dfo= " << a.dfo;
  qDebug().noquote() << "dfdet= " << a.dfdet;
  if (fp) {
    const float entero = std::floor(a.offset);
    qDebug().noquote() << "Offset H= " << truncaA32(entero);
    qDebug().noquote() << "Offset V= " << truncaA32((a.offset - entero) * 1000.0f);
  }
  log("//////////////////////////////");

  compruebaCuenta(a.ruta, t[1], "channels");
  if (!fp) compruebaCuenta(a.ruta, t[2], "projections");
  a.muestras = uint64_t(a.canales) * uint64_t(a.proyecciones);
  a.bytesMuestra = fp ? 2 : 8;

  uint64_t enFicheros = 0;
  for (const QString& r : ficheros) enFicheros += bytesDeMuestras(tamanoFichero(ruta8(r)));
  // The slices, and for the radiographs the file's samples read before they
  // are converted.
  const uint64_t bytesEnMemoria = formato == Formato::Sinograma ? 8 : 2;
  const uint64_t temporal = formato == Formato::Sinograma ? 0 : a.bytesMuestra;
  const uint64_t memoria = productoSaturado(
      a.muestras, productoSaturado(bytesEnMemoria, uint64_t(ficheros.size())) + temporal);
  compruebaReserva(a.ruta, memoria, enFicheros,
                   "the trailer's " + std::to_string(a.canales) + " channels x " +
                       std::to_string(a.proyecciones) + " projections in " +
                       std::to_string(ficheros.size()) + " file(s)");
  return a;
}

// Reads the samples of one file from byte 0 into `destino` (a.muestras of
// them, already 0): as far as the file goes, and never its own trailer. What
// the file does not hold stays 0 and the user is told.
void leeMuestras(const std::string& ruta, const Adquisicion& a, char* destino, AvisosLectura& o) {
  qDebug().noquote() << QString::fromLocal8Bit(ruta.c_str());
  const uint64_t esperados = a.muestras * a.bytesMuestra;
  int64_t tamano = 0;
  const FicheroAbierto f = abreBinario(ruta, tamano);
  if (!f) {
    o.anade(ruta, "the file cannot be opened; its slice is 0");
    return;
  }
  const uint64_t hay = bytesDeMuestras(tamano);
  uint64_t leidos = leeHasta(f.get(), destino, std::min(hay, esperados));
  // The bytes of a sample cut short are not a value.
  const uint64_t sueltos = leidos % a.bytesMuestra;
  std::fill(destino + leidos - sueltos, destino + leidos, '\0');
  leidos -= sueltos;
  if (leidos < esperados)
    o.anade(ruta, "the file is short: it holds " + std::to_string(leidos) + " of the " +
                      std::to_string(esperados) +
                      " bytes of samples the acquisition trailer gives; the missing samples are 0");
  else if (hay > esperados)
    o.anade(ruta, "the file holds " + std::to_string(hay) + " bytes of samples, more than the " +
                      std::to_string(esperados) + " the acquisition trailer gives; the rest is ignored");
}

// The truncation of a sample to unsigned 16 bits the radiograph's limits use:
// the low 16 bits of the 32-bit truncation.
uint16_t a16(double v) { return static_cast<uint16_t>(static_cast<uint32_t>(truncaA32(v))); }

std::unique_ptr<uint16_t[]> escalaRadiografia(const std::vector<double>& v) {
  double mayor = -std::numeric_limits<double>::infinity();
  double menor = std::numeric_limits<double>::infinity();
  for (double x : v) {
    if (x > mayor) mayor = x;
    if (x < menor) menor = x;
  }
  const uint16_t max = a16(mayor), min = a16(menor);
  std::cout << "Max Min " << max << " " << min << std::endl;
  auto salida = std::make_unique<uint16_t[]>(v.size());
  if (max == min) return salida;
  const double escala = static_cast<float>(65535.0 / double(int(max) - int(min)));
  for (std::size_t k = 0; k < v.size(); ++k) salida[k] = a16((v[k] - double(min)) * escala);
  return salida;
}

// The file runs row after row; the slice keeps a column's samples together:
// sample (r, c) of the file lands at c * lado + r. Done in tiles, so that the
// writes down a column stay in cache; in the usual frames of 1024 or 2048 the
// columns lie a power of two apart, and a taller tile would evict itself.
void transpone(const uint16_t* fuente, uint16_t* destino, std::size_t lado) {
  constexpr std::size_t kTesela = 8;
  for (std::size_t r0 = 0; r0 < lado; r0 += kTesela)
    for (std::size_t c0 = 0; c0 < lado; c0 += kTesela) {
      const std::size_t r1 = std::min(lado, r0 + kTesela), c1 = std::min(lado, c0 + kTesela);
      for (std::size_t r = r0; r < r1; ++r)
        for (std::size_t c = c0; c < c1; ++c) destino[c * lado + r] = fuente[r * lado + c];
    }
}

AttributeMap atributos(const Adquisicion& a, Formato formato) {
  AttributeMap m;
  m.set("ST", textoNumero(a.pasoVert));
  m.set("PixelDimx", textoNumero(a.tamPixel));
  if (formato == Formato::RadiografiaXDAS) {
    m.set("PixelDimy", textoNumero(a.pasoVert));
    m.set("PixelDimz", textoNumero(a.pasoVert));
  } else {
    m.set("PixelDimy", textoNumero(a.tamPixel));
    m.set("PixelDimz", "1");
  }
  if (formato != Formato::Sinograma) m.set("FileName", a.ruta);
  return m;
}

}  // namespace

QString textoCabeceraAdquisicion(const TrailerAdquisicion& t) {
  static const std::pair<int, const char*> etiquetas[] = {
      {1, "Numero de Canales: "},
      {2, "\nNumero de Proyecciones: "},
      {4, "\nCortes Seleccionado: "},
      {5, "\nPixel Size(mm): "},
      {6, "\nSlice Thickness/Pixel Size Vertical (mm): "},
      {7, "\nPosición Vertical Inicial (mm): "},
      {8, "\nOffset (mm): "},
      {9, "\nKV: "},
      {10, "\nmA: "},
      {11, "\nDistancia foco-objeto (mm): "},
      {12, "\nDistancia foco-detector (mm): "},
      {13, "\nFoco: "},
      {14, "\nTiempo de Integración (ms): "},
      {15, "\nPresencia de Filtros: "},
  };
  QString texto;
  for (const auto& [indice, etiqueta] : etiquetas)
    texto += QString::fromUtf8(etiqueta) + QString::number(t[indice], 'g', 6);
  return texto;
}

std::unique_ptr<CuboSinograma> leerSinogramaXDAS(const QStringList& ficheros, ObservadorLectura& o) {
  const Adquisicion a = empieza(ficheros, Formato::Sinograma, o);
  Geometria g = nuevaGeometria(a.proyecciones, a.canales);
  auto cubo = std::make_unique<CuboSinograma>(g, static_cast<int>(ficheros.size()), a.dfo, a.dfdet,
                                              atributos(a, Formato::Sinograma));
  cubo->setTextoCabecera(textoCabeceraAdquisicion(a.trailer));
  ProgresoLectura progreso(o, QStringLiteral("Leyendo imagenes ..."), static_cast<int>(ficheros.size()));
  AvisosLectura avisos(o);
  for (int i = 0; i < ficheros.size(); ++i) {
    auto datos = std::make_unique<double[]>(a.muestras);
    leeMuestras(ruta8(ficheros[i]), a, reinterpret_cast<char*>(datos.get()), avisos);
    double superior = -999999.0, inferior = 999999.0;
    for (uint64_t k = 0; k < a.muestras; ++k) {
      if (datos[k] > superior) superior = datos[k];
      if (datos[k] < inferior) inferior = datos[k];
    }
    std::cout << "Max Min " << superior << " " << inferior << std::endl;
    cubo->ponCorte(std::make_unique<CorteDouble>(std::move(datos), inferior, superior, g), i);
    progreso.valor(i + 1);
  }
  avisos.entrega();
  return cubo;
}

std::unique_ptr<Cubo> leerRadiografiaXDAS(const QStringList& ficheros, ObservadorLectura& o) {
  const Adquisicion a = empieza(ficheros, Formato::RadiografiaXDAS, o);
  Geometria g = nuevaGeometria(a.proyecciones, a.canales);
  auto cubo = std::make_unique<Cubo>(g, static_cast<int>(ficheros.size()), atributos(a, Formato::RadiografiaXDAS));
  cubo->setTextoCabecera(textoCabeceraAdquisicion(a.trailer));
  ProgresoLectura progreso(o, QStringLiteral("Leyendo imagenes ..."), static_cast<int>(ficheros.size()));
  AvisosLectura avisos(o);
  std::vector<double> dobles;
  for (int i = 0; i < ficheros.size(); ++i) {
    dobles.assign(a.muestras, 0.0);
    leeMuestras(ruta8(ficheros[i]), a, reinterpret_cast<char*>(dobles.data()), avisos);
    cubo->ponCorte(std::make_unique<CorteUnsignedShort>(escalaRadiografia(dobles), 0, 65535, g), i);
    progreso.valor(i + 1);
  }
  avisos.entrega();
  return cubo;
}

std::unique_ptr<CuboSinograma> leerRadiografiaFP(const QStringList& ficheros, ObservadorLectura& o) {
  const Adquisicion a = empieza(ficheros, Formato::RadiografiaFP, o);
  const int n = a.canales;
  Geometria g = nuevaGeometria(n, n);
  auto cubo = std::make_unique<CuboSinograma>(g, static_cast<int>(ficheros.size()), a.dfo, a.dfdet,
                                              atributos(a, Formato::RadiografiaFP));
  // The offset field carries two numbers: whole millimetres across, and the
  // thousandths down.
  const float entero = std::floor(a.offset);
  cubo->setDesplazamientoH(truncaA32(entero));
  cubo->setDesplazamientoV(truncaA32((a.offset - entero) * 1000.0f));
  cubo->setTextoCabecera(textoCabeceraAdquisicion(a.trailer));
  ProgresoLectura progreso(o, QStringLiteral("Leyendo imagenes ..."), static_cast<int>(ficheros.size()));
  AvisosLectura avisos(o);
  std::vector<uint16_t> fila;
  const std::size_t lado = static_cast<std::size_t>(n);
  for (int i = 0; i < ficheros.size(); ++i) {
    fila.assign(a.muestras, 0);
    leeMuestras(ruta8(ficheros[i]), a, reinterpret_cast<char*>(fila.data()), avisos);
    std::cout << "Girar Corte" << std::endl;
    auto datos = std::make_unique_for_overwrite<uint16_t[]>(a.muestras);
    transpone(fila.data(), datos.get(), lado);
    uint16_t inferior = 65535, superior = 0;
    for (uint16_t v : fila) {
      inferior = std::min(inferior, v);
      superior = std::max(superior, v);
    }
    cubo->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(datos), inferior, superior, g), i);
    progreso.valor(i + 1);
  }
  avisos.entrega();
  return cubo;
}
