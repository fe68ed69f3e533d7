#include "estadisticas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <iostream>
#include <vector>

#include "enteros.h"

namespace {

constexpr double kPi = 3.1415926536;

double grados(const Segmento& s) { return (s.angulo * 180) / kPi; }

std::size_t numSegmentos(const MapaSegmentos& segmentos) {
  std::size_t n = 0;
  for (const auto& [clave, grupo] : segmentos) n += grupo.size();
  return n;
}

void avisaNoEscrito(const std::string& ruta) { std::cerr << "Can't write: " << ruta << '\n'; }

// Writes the count and one value per segment; the stream's default notation
// is the general format with 6 significant digits.
template <class Valor>
void escribeValores(const MapaSegmentos& segmentos, const std::string& ruta, Valor valor) {
  std::ofstream salida(ruta, std::ios::out | std::ios::trunc);
  if (!salida) {
    avisaNoEscrito(ruta);
    return;
  }
  salida << numSegmentos(segmentos) << '\n';
  for (const auto& [clave, grupo] : segmentos)
    for (const Segmento& s : grupo) salida << valor(s) << '\n';
  salida.close();
  if (!salida) avisaNoEscrito(ruta);
}

// nBins + 1 entries of zero counts; a negative bin count gives no entry
// rather than an impossible allocation.
Histograma histogramaVacio(int nBins) {
  Histograma h;
  h.nBins = nBins >= 0 ? nBins + 1 : 0;
  h.valores.assign(static_cast<std::size_t>(h.nBins), 0);
  h.cuentas.assign(static_cast<std::size_t>(h.nBins), 0);
  return h;
}

// Counts one segment at `indice` when it names an entry: with bin counts the
// driver never passes (0, say) the scaled index could fall outside.
void cuenta(Histograma& h, int indice) {
  if (indice >= 0 && indice < h.nBins) ++h.cuentas[static_cast<std::size_t>(indice)];
}

}  // namespace

void escribeLongitudes(const MapaSegmentos& segmentos, const std::string& ruta) {
  escribeValores(segmentos, ruta, [](const Segmento& s) { return s.longitud; });
}

void escribeAngulos(const MapaSegmentos& segmentos, const std::string& ruta) {
  escribeValores(segmentos, ruta, grados);
}

Histograma histogramaLongitudes(const MapaSegmentos& segmentos, int nBins) {
  Histograma h = histogramaVacio(nBins);
  double maxLen = 0;
  for (const auto& [clave, grupo] : segmentos)
    for (const Segmento& s : grupo) maxLen = std::max(maxLen, std::floor(s.longitud));

  if (nBins > maxLen) {
    for (int b = 0; b < h.nBins; ++b) h.valores[b] = b;
    for (const auto& [clave, grupo] : segmentos)
      for (const Segmento& s : grupo) cuenta(h, truncaEntero32(std::floor(s.longitud)));
    return h;
  }
  const double w = maxLen / nBins;
  for (int b = 0; b < h.nBins; ++b) h.valores[b] = truncaEntero32(std::floor(b * w));
  // Index 0 stays uncounted: segments shorter than one bin are left out.
  for (const auto& [clave, grupo] : segmentos) {
    for (const Segmento& s : grupo) {
      const int indice = truncaEntero32(std::floor(s.longitud / w));
      if (indice != 0) cuenta(h, indice);
    }
  }
  return h;
}

Histograma histogramaAngulos(const MapaSegmentos& segmentos, int nBins) {
  Histograma h = histogramaVacio(nBins);
  if (nBins > 180) {
    for (int b = 0; b < h.nBins; ++b) h.valores[b] = b;
    for (const auto& [clave, grupo] : segmentos)
      for (const Segmento& s : grupo) cuenta(h, truncaEntero32(std::floor(grados(s))));
    return h;
  }
  const double w = 180.0 / nBins;
  for (int b = 0; b < h.nBins; ++b) h.valores[b] = truncaEntero32(std::floor(b * w));
  for (const auto& [clave, grupo] : segmentos) {
    for (const Segmento& s : grupo) {
      const int techo = truncaEntero32(std::ceil(grados(s) / w));
      cuenta(h, techo == 0 ? 0 : techo - 1);
    }
  }
  return h;
}

void escribeHistograma(const Histograma& h, const std::string& ruta) {
  std::ofstream salida(ruta, std::ios::out | std::ios::trunc);
  if (!salida) {
    avisaNoEscrito(ruta);
    return;
  }
  salida << h.nBins << '\n';
  const int filas = std::min<int>(h.nBins, static_cast<int>(std::min(h.valores.size(), h.cuentas.size())));
  for (int b = 0; b < filas; ++b) salida << h.valores[b] << '\t' << h.cuentas[b] << '\n';
  salida.close();
  if (!salida) avisaNoEscrito(ruta);
}
