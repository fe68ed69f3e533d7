#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tipos.h"

// What the parameter dialog stores when "Run" is pressed, starting from the
// values its spin boxes, check boxes and radio buttons are built with. The
// plug-in's dialog and the batch tool both fill one of these, so that both
// hand the pipeline the very same map.
struct ValoresDialogo {
  int nAngulos = 128;
  int longitudLinea = 75;
  int longitudMinima = 40;
  int velocidad = 2;
  int tamanoMinimo = 50;
  int tamanoMaximo = 100000;
  int nBins = 10;
  int iteraciones = 25;
  int sigma = 1;
  int ventana = 2;
  int umbral = 150;
  bool suavizado = true;
  bool gradiente = true;
  bool umbralizacion = true;
  bool deteccion = true;
  char tipoSalida = 'n';
};

// The seed position the exchange record carries.
struct PosicionSemilla {
  int x = 0;
  int y = 0;
  int z = 0;
};

using EntradasParametros = std::vector<std::pair<std::string, std::string>>;

// The keys the dialog contributes, in the order they are entered: the seven
// numbers and "tipoOutput" always, then "nIts", "s" and "w", "th" and "dl"
// for the stages that are switched on.
EntradasParametros entradasDialogo(const ValoresDialogo& valores);

// A run's parameter map: the volume's attributes first, then the position,
// then the dialog's entries. A key already present keeps its value, so an
// attribute named like a parameter wins over the dialog.
MapaParametros construyeMapa(const MapaParametros& atributos, const PosicionSemilla& posicion,
                             const EntradasParametros& entradas);
MapaParametros construyeMapa(const MapaParametros& atributos, const PosicionSemilla& posicion,
                             const ValoresDialogo& valores);
