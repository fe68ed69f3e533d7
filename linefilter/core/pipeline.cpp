#include "pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstddef>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>
#include <vector>

#include "difusion.h"
#include "enteros.h"
#include "estadisticas.h"
#include "gradiente.h"
#include "normalizacion.h"

namespace {

// The smoothing the dialog offers: exponential conduction, kappa 2000, time
// step 0.14.
constexpr int kOpcionDifusion = 1;
constexpr int kKappa = 2000;
constexpr double kDeltaT = 0.14;

constexpr int kSalidaMin = 0;
constexpr int kSalidaMax = 255;
constexpr int kPorcentaje = 5;

// Painting stays a little below the picture's brightest sample.
constexpr uint16_t kDistanciaPintura = 150;

std::size_t numMuestras(const Dimensiones* dims) {
  if (dims->dim0 <= 0 || dims->dim1 <= 0) return 0;
  return static_cast<std::size_t>(dims->dim0) * static_cast<std::size_t>(dims->dim1);
}

int aEnteroFlotante(float v) { return truncaEntero32(std::floor(v)); }

void preparaCarpeta(const std::string& carpeta) {
  std::error_code error;
  if (std::filesystem::is_directory(carpeta, error)) return;
  std::filesystem::create_directories(carpeta, error);
  if (error) std::cerr << "Can't create: " << carpeta << " (" << error.message() << ")\n";
}

}  // namespace

void pintaSegmentos(uint16_t* imagen, const Dimensiones* dims, const MapaSegmentos& segmentos,
                    char tipo) {
  const int columnas = dims->dim0;
  const int filas = dims->dim1;
  const std::size_t n = numMuestras(dims);

  const uint16_t maximo = n ? *std::max_element(imagen, imagen + n) : uint16_t(0);
  // Below 150 the value wraps: a maximum of 100 paints 65486.
  const uint16_t pintura = static_cast<uint16_t>(maximo - kDistanciaPintura);

  if (tipo == 'c') std::fill(imagen, imagen + n, uint16_t(0));

  std::cout << "Painting SL " << segmentos.size() << '\n';
  for (const auto& [clave, grupo] : segmentos) {
    for (const Segmento& s : grupo) {
      const int X = truncaEntero32(s.x1);
      const int Y = truncaEntero32(s.y1);
      // The line is drawn in single precision: which pixels it covers depends
      // on it (a quarter turn, for one, stays in its column).
      const float a = static_cast<float>(s.angulo);
      const float L = static_cast<float>(s.longitud);
      std::cout << X << ", " << Y << ", " << a << ", " << L << '\n';
      if (!(L > 0)) continue;
      const float c = std::cos(a);
      const float sn = std::sin(a);
      const float fx = static_cast<float>(X);
      const float fy = static_cast<float>(Y);
      // Past this many steps the line is farther from the grid than the grid
      // is wide, so a length that is absurd for the slice cannot hang the loop.
      const int64_t tope = 2 * (std::llabs(X) + std::llabs(Y) + int64_t(columnas) + int64_t(filas)) + 16;
      for (int64_t t = 0; static_cast<float>(t) < L && t <= tope; ++t) {
        const float ft = static_cast<float>(t);
        const int px = aEnteroFlotante(ft * c + fx);
        const int py = aEnteroFlotante(ft * sn + fy);
        if (px > 0 && px < columnas && py > 0 && py < filas)
          imagen[static_cast<std::size_t>(py) * static_cast<std::size_t>(columnas) +
                 static_cast<std::size_t>(px)] = pintura;
      }
    }
  }
}

void procesaImagen(uint16_t* muestras, Dimensiones* dims, MapaParametros parametros,
                   const std::string& carpetaDatos) {
  const int nAng = aEntero(parametro(parametros, "nAng"));
  // Read only so that a bad value stops the run like the others.
  aEntero(parametro(parametros, "lLine"));
  const int lMinLine = aEntero(parametro(parametros, "lMinLine"));
  const int speed = aEntero(parametro(parametros, "speed"));
  const int minSize = aEntero(parametro(parametros, "minSize"));
  const int maxSize = aEntero(parametro(parametros, "maxSize"));
  const int nBins = aEntero(parametro(parametros, "nBins"));
  const char tipoOutput = parametro(parametros, "tipoOutput")[0];
  std::cout << "Tipo Salida: " << tipoOutput << '\n';

  // The stages' own parameters are converted before any stage runs, so that a
  // bad value stops the run with the caller's samples untouched.
  const bool suavizado = parametros.count("nIts") > 0;
  const bool conGradiente = parametros.count("s") > 0;
  const bool umbral = parametros.count("th") > 0;
  const int nIts = suavizado ? aEntero(parametro(parametros, "nIts")) : 0;
  const int s = conGradiente ? aEntero(parametro(parametros, "s")) : 0;
  const int w = conGradiente ? aEntero(parametro(parametros, "w")) : 0;
  const int th = umbral ? aEntero(parametro(parametros, "th")) : 0;

  const bool deteccion = parametros.count("dl") > 0;

  // The picture as it was before any stage: detection paints over it.
  const std::size_t n = numMuestras(dims);
  std::vector<uint16_t> guardada;
  if (deteccion) guardada.assign(muestras, muestras + n);

  if (suavizado) {
    std::cout << "nIts: " << nIts << '\n';
    const std::vector<float> suave =
        difusionAnisotropica(muestras, *dims, nIts, kOpcionDifusion, kKappa, kDeltaT);
    const std::vector<uint16_t> enteras = flotanteAU16(suave.data(), static_cast<int>(n));
    std::copy(enteras.begin(), enteras.end(), muestras);
  }

  if (conGradiente) {
    std::cout << "s: " << s << ", " << w << '\n';
    gradienteAU16(muestras, *dims, w, s, muestras);
  }

  normalizaCDF(muestras, *dims, kSalidaMin, kSalidaMax, kPorcentaje);

  if (umbral) {
    std::cout << "Umbralizacion\n";
    umbralizacion(muestras, *dims, th);
  }

  if (!deteccion) return;

  std::cout << "Line Detection\n";
  std::swap(dims->dim0, dims->dim1);
  const MapaSegmentos resultado =
      hallaSegmentos(muestras, dims, speed, nAng, lMinLine, minSize, maxSize);
  pintaSegmentos(guardada.data(), dims, resultado, tipoOutput);
  std::copy(guardada.begin(), guardada.end(), muestras);

  preparaCarpeta(carpetaDatos);
  escribeLongitudes(resultado, carpetaDatos + "/dataLen.dat");
  escribeAngulos(resultado, carpetaDatos + "/dataAng.dat");
  escribeHistograma(histogramaLongitudes(resultado, nBins), carpetaDatos + "/histoLen.dat");
  escribeHistograma(histogramaAngulos(resultado, nBins), carpetaDatos + "/histoAng.dat");
}
