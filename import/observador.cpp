#include "observador.h"

ObservadorLectura& observadorMudo() {
  static ObservadorLectura mudo;
  return mudo;
}
