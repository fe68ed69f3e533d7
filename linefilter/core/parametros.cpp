#include "parametros.h"

#include <sstream>

namespace {

std::string decimal(int v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

}  // namespace

EntradasParametros entradasDialogo(const ValoresDialogo& v) {
  EntradasParametros e = {
      {"nAng", decimal(v.nAngulos)},        {"lLine", decimal(v.longitudLinea)},
      {"lMinLine", decimal(v.longitudMinima)}, {"speed", decimal(v.velocidad)},
      {"minSize", decimal(v.tamanoMinimo)},  {"maxSize", decimal(v.tamanoMaximo)},
      {"nBins", decimal(v.nBins)},           {"tipoOutput", std::string(1, v.tipoSalida)},
  };
  if (v.suavizado) e.emplace_back("nIts", decimal(v.iteraciones));
  if (v.gradiente) {
    e.emplace_back("s", decimal(v.sigma));
    e.emplace_back("w", decimal(v.ventana));
  }
  if (v.umbralizacion) e.emplace_back("th", decimal(v.umbral));
  if (v.deteccion) e.emplace_back("dl", "t");
  return e;
}

MapaParametros construyeMapa(const MapaParametros& atributos, const PosicionSemilla& posicion,
                             const EntradasParametros& entradas) {
  MapaParametros mapa = atributos;
  mapa.emplace("positionX", decimal(posicion.x));
  mapa.emplace("positionY", decimal(posicion.y));
  mapa.emplace("positionZ", decimal(posicion.z));
  for (const auto& [clave, valor] : entradas) mapa.emplace(clave, valor);
  return mapa;
}

MapaParametros construyeMapa(const MapaParametros& atributos, const PosicionSemilla& posicion,
                             const ValoresDialogo& valores) {
  return construyeMapa(atributos, posicion, entradasDialogo(valores));
}
