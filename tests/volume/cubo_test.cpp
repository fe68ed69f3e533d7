#include "cubo.h"

#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "estado_vista.h"
#include "texto.h"

using ::testing::ElementsAre;

namespace {

std::unique_ptr<CorteShort> corteShort(std::initializer_list<int16_t> v, int16_t lo, int16_t hi,
                                       Geometria g) {
  auto a = std::make_unique<int16_t[]>(v.size());
  std::copy(v.begin(), v.end(), a.get());
  return std::make_unique<CorteShort>(std::move(a), lo, hi, std::move(g));
}

TEST(Cubo, CorteYPonCorteFueraDeRango) {
  Geometria g = nuevaGeometria(1, 2);
  AttributeMap a;
  Cubo c(g, 3, a);
  EXPECT_EQ(c.numCortes(), 3);
  EXPECT_EQ(c.corte(0), nullptr);
  for (int i : {3, -1}) {
    try {
      c.corte(i);
      FAIL() << i;
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    EXPECT_THROW(c.ponCorte(corteShort({1, 2}, 1, 2, g), i), std::out_of_range);
  }
  auto anterior = c.ponCorte(corteShort({1, 2}, 1, 2, g), 2);
  EXPECT_EQ(anterior, nullptr);
  auto devuelto = c.ponCorte(corteShort({3, 4}, 3, 4, g), 2);
  ASSERT_NE(devuelto, nullptr);
  EXPECT_EQ(devuelto->comoInt()[0], 1);
}

TEST(Cubo, AnadeCorteNoCambiaNumCortesYPoneLaGeometria) {
  Cubo c;
  c.geometria()->setAncho(1);
  c.geometria()->setAlto(2);
  c.anadeCorte(corteShort({1, 2}, 1, 2, nuevaGeometria(9, 9)));
  EXPECT_EQ(c.numCortes(), 0);
  EXPECT_EQ(c.cortesPresentes(), 1);
  EXPECT_EQ(c.corte(0)->geometria(), c.geometria());
}

TEST(Cubo, ClonaDaCortesSinSignoFrescosConGeometriaCompartida) {
  Geometria g = nuevaGeometria(1, 2);
  AttributeMap a;
  a.set("ST", "1");
  Cubo fuente(g, 2, a);
  fuente.setTextoCabecera("texto");
  fuente.ponCorte(corteShort({-1, 5}, -1000, 5, g), 0);
  {
    auto u = std::make_unique<uint16_t[]>(2);
    u[0] = 7;
    u[1] = 8;
    fuente.ponCorte(std::make_unique<CorteUnsignedShort>(std::move(u), 7, 8, g), 1);
  }
  auto copia = fuente.clona();
  EXPECT_EQ(copia->numCortes(), 2);
  EXPECT_EQ(copia->geometria(), g);
  EXPECT_TRUE(copia->textoCabecera().isEmpty());
  EXPECT_EQ(copia->atributos().at("ST"), "1");
  for (int i = 0; i < 2; ++i) {
    const auto* s = dynamic_cast<const CorteUnsignedShort*>(copia->corte(i));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->geometria(), g);
  }
  const auto* s0 = dynamic_cast<const CorteUnsignedShort*>(copia->corte(0));
  EXPECT_THAT(std::vector<uint16_t>(s0->datos(), s0->datos() + 2), ElementsAre(65535, 5));
  EXPECT_EQ(s0->minimo(), 64536);
  EXPECT_EQ(s0->maximo(), 5);
  // Fresh arrays even when the source is already unsigned 16-bit.
  const auto* s1 = dynamic_cast<const CorteUnsignedShort*>(copia->corte(1));
  EXPECT_NE(s1->datos(), dynamic_cast<const CorteUnsignedShort*>(fuente.corte(1))->datos());
  EXPECT_EQ(s1->datos()[1], 8);

  g->intercambia();
  EXPECT_EQ(fuente.geometria()->ancho(), 2);
  EXPECT_EQ(copia->geometria()->ancho(), 2);
}

TEST(Cubo, ClonaDeUnHuecoDaUnCorteNegro) {
  Geometria g = nuevaGeometria(1, 2);
  Cubo fuente(g, 1, AttributeMap{});
  auto copia = fuente.clona();
  const auto* s = dynamic_cast<const CorteUnsignedShort*>(copia->corte(0));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->datos()[0], 0);
  EXPECT_EQ(s->datos()[1], 0);
}

TEST(Cubo, Sinograma) {
  CuboSinograma s(nuevaGeometria(1, 1), 1, 512.5f, 1000.25f, AttributeMap{});
  EXPECT_EQ(s.distanciaFocoObjeto(), 512.5f);
  EXPECT_EQ(s.distanciaFocoDetector(), 1000.25f);
  s.setDesplazamientoH(-3);
  s.setDesplazamientoV(4);
  EXPECT_EQ(s.desplazamientoH(), -3);
  EXPECT_EQ(s.desplazamientoV(), 4);
}

TEST(AttributeMap, ClaveAusente) {
  AttributeMap a;
  a.set("x", "1");
  try {
    a.at("PixelDimx");
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid unordered_map<K, T> key");
  }
  EXPECT_EQ(a["modality"], "");
  EXPECT_TRUE(a.contains("modality"));
  EXPECT_FALSE(a.insert("x", "2"));
  EXPECT_EQ(a.at("x"), "1");
}

TEST(TextoNumero, ComoUnStream) {
  EXPECT_EQ(textoNumero(0.9765625f), "0.976562");
  EXPECT_EQ(textoNumero(0.8f), "0.8");
  EXPECT_EQ(textoNumero(1.0), "1");
  EXPECT_EQ(textoNumero(2.5f), "2.5");
  EXPECT_EQ(textoNumero(1234567.0f), "1.23457e+06");
  EXPECT_EQ(textoNumero(0.0001), "0.0001");
  EXPECT_EQ(textoNumero(0.00001), "1e-05");
}

TEST(EstadoVista, GiraYReinicia) {
  EstadoVista e;
  e.gira(-1);
  EXPECT_EQ(e.rotacion(), 3);
  e.gira(1);
  EXPECT_EQ(e.rotacion(), 0);
  e.gira(1);
  e.gira(1);
  e.gira(1);
  e.gira(1);
  EXPECT_EQ(e.rotacion(), 0);

  auto vacio = e.borde();
  e.setZoom(2.0);
  e.gira(1);
  e.reinicia();
  EXPECT_EQ(e.borde(), vacio);
  EXPECT_EQ(e.rotacion(), 0);
  EXPECT_EQ(e.zoom(), 1.0);

  auto cinco = std::make_shared<Borde>();
  cinco->setNumPuntos(5);
  cinco->setPuntos(std::vector<Punto>(5));
  e.setBorde(cinco);
  e.reinicia();
  EXPECT_NE(e.borde(), cinco);
  EXPECT_EQ(e.borde()->numPuntos(), 0);
}

TEST(EstadoVista, IntercambiaEjesDosVecesRestaura) {
  EstadoVista e;
  Geometria g = nuevaGeometria(3, 5);
  e.setGeometria(g);
  e.setTamanoPixel(std::make_shared<TamanoPixel>(0.5f, 0.25f, 2.0f));
  e.intercambiaEjes();
  EXPECT_EQ(g->ancho(), 5);
  EXPECT_EQ(e.tamanoPixel()->x(), 0.25f);
  e.intercambiaEjes();
  EXPECT_EQ(g->ancho(), 3);
  EXPECT_EQ(g->alto(), 5);
  EXPECT_EQ(e.tamanoPixel()->x(), 0.5f);
  EXPECT_EQ(e.tamanoPixel()->z(), 2.0f);
  e.cambiaFlipH();
  EXPECT_EQ(e.flipH(), 1);
  e.cambiaFlipH();
  EXPECT_EQ(e.flipH(), 0);
}

TEST(Borde, CalculaMaximos) {
  Borde b;
  b.setNumPuntos(2);
  b.setPuntos({{3, -2, 1}, {-5, 7, 0}});
  b.calculaMaximos();
  EXPECT_EQ(b.maxX(), 3);
  EXPECT_EQ(b.maxY(), 7);
  EXPECT_EQ(b.maxZ(), 1);
  Borde negativos;
  negativos.setNumPuntos(1);
  negativos.setPuntos({{-1, -2, -3}});
  negativos.calculaMaximos();
  EXPECT_EQ(negativos.maxX(), 0);
  EXPECT_EQ(negativos.maxZ(), 0);
  Borde vacio;
  vacio.calculaMaximos();
  EXPECT_EQ(vacio.maxY(), 0);
}

TEST(Region, GuardaSusValoresIniciales) {
  Region r(0, 9, 1, 8, 2, 7);
  r.x1 = 4;
  EXPECT_EQ(r.x1i, 9);
  EXPECT_EQ(r.z1i, 7);
}

}  // namespace
