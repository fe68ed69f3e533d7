// The linked pruning passes must keep exactly the segments, in exactly the
// order, that erasing from the list position by position keeps, and print the
// same lines.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "captura.h"
#include "poda.h"

namespace {

struct Caso {
  Dimensiones dims;
  std::vector<uint16_t> imagen;
  std::deque<Segmento> segmentos;
};

// Region labels and background in blotches; segments with few distinct
// lengths (ties) and angles (near, opposite and crossing the vertical).
Caso casoAleatorio(std::mt19937& azar, int cuantos) {
  Caso c;
  const int lado = 8 + static_cast<int>(azar() % 40);
  c.dims = {lado, lado};
  c.imagen.assign(static_cast<std::size_t>(lado) * lado, 0);
  for (int b = 0; b < 6; ++b) {
    const int x0 = static_cast<int>(azar() % lado), y0 = static_cast<int>(azar() % lado);
    const int w = 1 + static_cast<int>(azar() % 12), h = 1 + static_cast<int>(azar() % 12);
    for (int y = y0; y < std::min(lado, y0 + h); ++y)
      for (int x = x0; x < std::min(lado, x0 + w); ++x) c.imagen[y * lado + x] = 256;
  }
  const double angulos[] = {0.0, 0.049, 0.098, 1.5708, 1.62, 3.05, 3.1, 2.0};
  const double longitudes[] = {40.0, 41.0, 41.0, 50.0, 60.5};
  std::uniform_real_distribution<double> pos(-2, lado + 2);
  for (int k = 0; k < cuantos; ++k) {
    const double a = angulos[azar() % 8];
    Segmento s(pos(azar), pos(azar), longitudes[azar() % 5], a);
    s.x1 = pos(azar);
    s.y1 = pos(azar);
    s.x2 = pos(azar);
    s.y2 = pos(azar);
    s.etiqueta = 256;
    c.segmentos.push_back(s);
  }
  return c;
}

void esperaIguales(const std::deque<Segmento>& a, const std::deque<Segmento>& b, const std::string& caso) {
  ASSERT_EQ(a.size(), b.size()) << caso;
  for (std::size_t i = 0; i < a.size(); ++i)
    ASSERT_TRUE(a[i].x1 == b[i].x1 && a[i].y1 == b[i].y1 && a[i].x2 == b[i].x2 && a[i].y2 == b[i].y2 &&
                a[i].longitud == b[i].longitud && a[i].angulo == b[i].angulo)
        << caso << " position " << i;
}

TEST(PodaEnlazada, KeepsWhatErasingByPositionKeepsOnRandomLists) {
  std::mt19937 azar(1210);
  for (int caso = 0; caso < 300; ++caso) {
    const Caso c = casoAleatorio(azar, static_cast<int>(azar() % 30));
    const std::string nombre = "case " + std::to_string(caso);
    esperaIguales(optimiza0(c.imagen.data(), &c.dims, c.segmentos),
                  optimiza0Referencia(c.imagen.data(), &c.dims, c.segmentos), nombre + " pass 0");
    std::string lineas, lineasPlanas;
    std::deque<Segmento> enlazada, plana;
    {
      Captura captura;
      enlazada = optimiza1(c.imagen.data(), &c.dims, c.segmentos, 0.05);
      lineas = captura.texto();
    }
    {
      Captura captura;
      plana = optimiza1Referencia(c.imagen.data(), &c.dims, c.segmentos, 0.05);
      lineasPlanas = captura.texto();
    }
    esperaIguales(enlazada, plana, nombre + " pass 1");
    ASSERT_EQ(lineas, lineasPlanas) << nombre;
  }
}

}  // namespace
