#include "etiquetado.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "captura.h"

namespace {

// A grid drawn as text, one string per row: '#' is 255, '.' is 0, a digit d
// is the value d.
struct Rejilla {
  Dimensiones dims;
  std::vector<uint16_t> muestras;
};

Rejilla dibuja(const std::vector<std::string>& filas) {
  Rejilla r;
  r.dims = {static_cast<int>(filas.size()), static_cast<int>(filas[0].size())};
  for (const std::string& f : filas)
    for (char c : f) r.muestras.push_back(c == '#' ? 255 : c == '.' ? 0 : uint16_t(c - '0'));
  return r;
}

// Labels drawn as text: 'a' is 256, 'b' 257, ...; '.' is 0, a digit its value.
std::vector<uint16_t> etiquetas(const std::vector<std::string>& filas) {
  std::vector<uint16_t> v;
  for (const std::string& f : filas)
    for (char c : f) v.push_back(c == '.' ? 0 : (c >= 'a' ? uint16_t(256 + (c - 'a')) : uint16_t(c - '0')));
  return v;
}

struct CasoConexion {
  const char* nombre;
  std::vector<std::string> entrada;
  std::vector<std::string> salida;
  std::vector<int> tamanos;
};

TEST(EtiquetaRegiones, LabelsEightConnectedRegionsInStorageOrder) {
  const CasoConexion casos[] = {
      {"all zero", {"....", "...."}, {"....", "...."}, {}},
      {"diagonal neighbours join", {"#...", ".#..", "...."}, {"a...", ".a..", "...."}, {1}},
      {"anti-diagonal neighbours join", {"..#.", ".#..", "...."}, {"..a.", ".a..", "...."}, {1}},
      {"another value separates", {"#5#.", "....", "...."}, {"a5b.", "....", "...."}, {0, 0}},
      {"last column does not wrap into the next row", {"...#", "#...", "...."}, {"...a", "b...", "...."}, {0, 0}},
      {"seed is the first sample in storage order", {".##.", "#..#", ".##."}, {".aa.", "a..a", ".aa."}, {5}},
      {"one isolated sample has size 0", {"....", ".#..", "...."}, {"....", ".a..", "...."}, {0}},
  };
  for (const CasoConexion& c : casos) {
    SCOPED_TRACE(c.nombre);
    Rejilla r = dibuja(c.entrada);
    Captura salida;
    const ListaRegiones lista = etiquetaRegiones(r.muestras.data(), &r.dims, 255);
    EXPECT_EQ(r.muestras, etiquetas(c.salida));
    EXPECT_EQ(lista.numRegiones, static_cast<int>(c.tamanos.size()));
    EXPECT_EQ(lista.tamanos, c.tamanos);
    std::vector<int> esperadas;
    for (std::size_t k = 0; k < c.tamanos.size(); ++k) esperadas.push_back(256 + int(k));
    EXPECT_EQ(lista.etiquetas, esperadas);
    EXPECT_EQ(salida.texto(), "");
    EXPECT_EQ(std::count(r.muestras.begin(), r.muestras.end(), 255), 0);
  }
}

TEST(EtiquetaRegiones, LabelsStartAboveTheValue) {
  Rejilla r = dibuja({"7..7", "...."});
  const ListaRegiones lista = etiquetaRegiones(r.muestras.data(), &r.dims, 7);
  EXPECT_EQ(lista.etiquetas, (std::vector<int>{8, 9}));
  EXPECT_EQ(r.muestras, (std::vector<uint16_t>{8, 0, 0, 9, 0, 0, 0, 0}));
}

// Growth that reaches row R-2, column C-2 stops there: the still unmarked
// part of the bar becomes a region of its own with the next label.
TEST(EtiquetaRegiones, GrowthStopsAfterTheNextToLastCorner) {
  Rejilla r = dibuja({"........",
                      "......#.",
                      "#######.",
                      "........"});
  Captura salida;
  const ListaRegiones lista = etiquetaRegiones(r.muestras.data(), &r.dims, 255);
  EXPECT_EQ(salida.texto(), "entro lim\n");
  EXPECT_EQ(lista.etiquetas, (std::vector<int>{256, 257}));
  EXPECT_EQ(lista.tamanos, (std::vector<int>{3, 3}));
  EXPECT_EQ(r.muestras, etiquetas({"........",
                                   "......a.",
                                   "bbbbaaa.",
                                   "........"}));
}

TEST(CreceRegion, CountsTheSamplesBesidesTheSeed) {
  Rejilla r = dibuja({"###.", "#...", "...#"});
  const int tamano = creceRegion(r.muestras.data(), &r.dims, 0, 0, 300, 255);
  EXPECT_EQ(tamano, 3);
  EXPECT_EQ(r.muestras, (std::vector<uint16_t>{300, 300, 300, 0, 300, 0, 0, 0, 0, 0, 0, 255}));
}

// 65536 isolated samples need more labels than 16 bits hold above 255: the
// store's last label is 65535, and the rest stay as they were.
TEST(EtiquetaRegiones, StopsWhenTheLabelStoreIsFull) {
  Dimensiones dims{512, 512};
  std::vector<uint16_t> img(512 * 512, 0);
  for (int f = 0; f < 512; f += 2)
    for (int c = 0; c < 512; c += 2) img[f * 512 + c] = 255;
  Captura salida;
  Captura error(std::cerr);
  const ListaRegiones lista = etiquetaRegiones(img.data(), &dims, 255);
  EXPECT_EQ(lista.numRegiones, 65280);
  EXPECT_EQ(lista.etiquetas.back(), 65535);
  EXPECT_EQ(std::count(img.begin(), img.end(), 255), 256);
  EXPECT_EQ(img[510 * 512 + 510], 255);
  EXPECT_THAT(error.texto(), testing::HasSubstr("no 16-bit label is left"));
}

TEST(FiltraTamano, KeepsSizesStrictlyBetweenTheBounds) {
  ListaRegiones lista;
  lista.numRegiones = 6;
  lista.etiquetas = {256, 257, 258, 259, 260, 261};
  // A region of 60 samples has size 59, one of 51 samples size 50.
  lista.tamanos = {59, 50, 51, 100000, 99999, 0};
  Captura salida;
  const ListaRegiones kept = filtraTamano(lista, 100000, 50);
  EXPECT_EQ(kept.numRegiones, 3);
  EXPECT_EQ(kept.etiquetas, (std::vector<int>{256, 258, 260}));
  EXPECT_EQ(kept.tamanos, (std::vector<int>{59, 51, 99999}));
  EXPECT_EQ(salida.texto(), "N lista= 3\n");
}

TEST(FiltraTamano, EmptyListReportsZero) {
  Captura salida;
  const ListaRegiones kept = filtraTamano(ListaRegiones{}, 100000, 50);
  EXPECT_EQ(kept.numRegiones, 0);
  EXPECT_EQ(salida.texto(), "N lista= 0\n");
}

// A region drawn with 60 samples passes the default bounds; with 51 it does not.
TEST(FiltraTamano, RegionSamplesVersusSize) {
  for (const auto& [muestras, pasa] : {std::pair{60, true}, std::pair{51, false}}) {
    Dimensiones dims{3, 100};
    std::vector<uint16_t> img(300, 0);
    for (int c = 0; c < muestras; ++c) img[100 + c] = 255;
    Captura salida;
    const ListaRegiones kept = filtraTamano(etiquetaRegiones(img.data(), &dims, 255), 100000, 50);
    EXPECT_EQ(kept.numRegiones, pasa ? 1 : 0) << muestras;
  }
}

}  // namespace
