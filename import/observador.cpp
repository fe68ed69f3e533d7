#include "observador.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

ObservadorLectura& observadorMudo() {
  static ObservadorLectura mudo;
  return mudo;
}

ObservadorTerminal::ObservadorTerminal(std::string herramienta)
    : herramienta_(std::move(herramienta)), terminal_(isatty(STDERR_FILENO) != 0) {}

void ObservadorTerminal::progresoInicio(const QString& etiqueta, const QString&, int minimo, int maximo) {
  etiqueta_ = etiqueta.toStdString();
  minimo_ = minimo;
  maximo_ = maximo;
  ultimo_ = -1;
}

void ObservadorTerminal::progresoValor(int valor) {
  if (!terminal_ || maximo_ <= minimo_) return;
  constexpr int kAncho = 40;
  const long long tramo = static_cast<long long>(maximo_) - minimo_;
  const long long hecho = std::clamp<long long>(static_cast<long long>(valor) - minimo_ + 1, 0, tramo);
  const int llenas = static_cast<int>(hecho * kAncho / tramo);
  if (llenas == ultimo_) return;
  ultimo_ = llenas;
  std::fprintf(stderr, "\r%s [%-*s] %lld/%lld", etiqueta_.c_str(), kAncho,
               std::string(static_cast<std::size_t>(llenas), '#').c_str(), hecho, tramo);
  std::fflush(stderr);
  dibujada_ = true;
}

void ObservadorTerminal::progresoFin() {
  if (dibujada_) std::fprintf(stderr, "\n");
  dibujada_ = false;
  ultimo_ = -1;
}

void ObservadorTerminal::aviso(const std::string& ruta, const std::string& texto) {
  progresoFin();
  // The documented lines on stdout come first, as they were written.
  std::cout.flush();
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s: warning: %s\n", herramienta_.c_str(), ruta.c_str(), texto.c_str());
}
