#include "lector_tiff.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "apertura.h"
#include "errores.h"
#include "imagenes_prueba.h"

using ::testing::HasSubstr;

namespace {

class LectorTiff : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::string tiff(const std::string& nombre, const Imagen& im) {
    const std::string r = ruta(dir, nombre);
    escribeTiff(r, im);
    return r;
  }
  static const CorteDouble& corte(const Cubo& v, int i) { return corteDe<CorteDouble>(v, i); }
  static double en(const Cubo& v, int i, int x, int y) { return muestraEn<CorteDouble>(v, i, x, y); }
};

struct CasoPixel {
  const char* nombre;
  std::vector<uint8_t> pixel;
  double muestra;
};
void PrintTo(const CasoPixel& c, std::ostream* os) { *os << c.nombre; }
class PixelesTiff : public LectorTiff, public ::testing::WithParamInterface<CasoPixel> {};

TEST_P(PixelesTiff, MuestraEsRojoMas256Verde) {
  auto v = leerTiff(lista({tiff("p.tif", Imagen::plana(3, 2, GetParam().pixel))}), observadorMudo());
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 2; ++y) EXPECT_EQ(en(*v, 0, x, y), GetParam().muestra) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Pixeles, PixelesTiff,
                         ::testing::Values(CasoPixel{"gris200", {200}, 51400.0},
                                           CasoPixel{"rojo", {255, 0, 0}, 255.0},
                                           CasoPixel{"verde", {0, 1, 0}, 256.0},
                                           CasoPixel{"azulNoCuenta", {3, 2, 255}, 515.0},
                                           CasoPixel{"blanco", {255, 255, 255}, 65535.0}),
                         [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(LectorTiff, ElCorteEstaDerechoYEnElOrdenDeLosCortes) {
  // Red = 10 x + y + 1: every pixel tells where it came from.
  const Imagen im = Imagen::con(4, 3, 3, [](int x, int y, int c) { return uint8_t(c == 0 ? 10 * x + y + 1 : 0); });
  auto v = leerTiff(lista({tiff("o.tif", im)}), observadorMudo());
  ASSERT_EQ(v->geometria()->ancho(), 4);
  ASSERT_EQ(v->geometria()->alto(), 3);
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 3; ++y) EXPECT_EQ(en(*v, 0, x, y), 10 * x + y + 1) << x << "," << y;
}

TEST_F(LectorTiff, VolumenAtributosLimitesYTextos) {
  const std::string a = tiff("a.tif", Imagen::plana(5, 2, {7}));
  const std::string b = tiff("b.tif", Imagen::plana(5, 2, {9}));
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = leerTiff(lista({a, b}), o);
  const std::string salida = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(salida, "Reading Tiff\nW H NdC: 5 2 2\n" + a + "\n" + b + "\n");
  const auto* s = dynamic_cast<const CuboSinograma*>(v.get());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->distanciaFocoObjeto(), 1.0f);
  EXPECT_EQ(s->distanciaFocoDetector(), 1.0f);
  ASSERT_EQ(v->numCortes(), 2);
  EXPECT_EQ(en(*v, 1, 4, 1), 9 * 257);
  EXPECT_EQ(corte(*v, 1).minimoDouble(), 0.0);
  EXPECT_EQ(corte(*v, 1).maximoDouble(), 65535.0);
  const AttributeMap& m = v->atributosRef();
  EXPECT_EQ(m.at("ST"), "1");
  EXPECT_EQ(m.at("PixelDimx"), "0.1");
  EXPECT_EQ(m.at("PixelDimy"), "0.1");
  EXPECT_EQ(m.at("PixelDimz"), "1");
  EXPECT_EQ(m.at("FileName"), a);
  EXPECT_EQ(o.etiqueta, "Leyendo imagenes ...");
  EXPECT_EQ(o.cancelar, "Cancelar");
  EXPECT_EQ(o.minimo, 0);
  EXPECT_EQ(o.maximo, 2);
  EXPECT_EQ(o.valores, (std::vector<int>{1, 2}));
  EXPECT_EQ(o.fines, 1);
  EXPECT_TRUE(o.avisos.empty());
}

TEST_F(LectorTiff, CincoFicherosCincoCortes) {
  QStringList l;
  for (int i = 0; i < 5; ++i) l << QString::fromStdString(tiff("s" + std::to_string(i) + ".tif", Imagen::plana(2, 2, {uint8_t(i)})));
  auto v = leerTiff(l, observadorMudo());
  ASSERT_EQ(v->numCortes(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(en(*v, i, 1, 1), 257 * i);
  EXPECT_EQ(v->atributosRef().at("PixelDimx"), "0.1");
}

// Every slice takes the first picture's size: a larger one is cut, a smaller
// one padded with 0, and each is told.
TEST_F(LectorTiff, TamanosDistintosSeCortanORellenan) {
  const auto valor = [](int x, int y, int) { return uint8_t(10 * x + y + 1); };
  const std::string a = tiff("a.tif", Imagen::con(3, 3, 1, valor));
  const std::string grande = tiff("g.tif", Imagen::con(5, 4, 1, valor));
  const std::string chica = tiff("c.tif", Imagen::con(2, 1, 1, valor));
  ObservadorGrabador o;
  auto v = leerTiff(lista({a, grande, chica}), o);
  ASSERT_EQ(v->geometria()->ancho(), 3);
  ASSERT_EQ(v->geometria()->alto(), 3);
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 3; ++y) {
      EXPECT_EQ(en(*v, 1, x, y), 257 * (10 * x + y + 1)) << x << "," << y;
      EXPECT_EQ(en(*v, 2, x, y), x < 2 && y < 1 ? 257 * (10 * x + y + 1) : 0) << x << "," << y;
    }
  ASSERT_EQ(o.avisos.size(), 2u);
  EXPECT_THAT(o.avisos[0], HasSubstr(grande + ": the picture is 5 x 4, not 3 x 3"));
  EXPECT_THAT(o.avisos[1], HasSubstr(chica + ": the picture is 2 x 1, not 3 x 3"));
}

TEST_F(LectorTiff, PorLaAperturaSeVeEnDieciseisBits) {
  const std::string a = tiff("a.tif", Imagen::plana(3, 2, {200}));
  VolumenAbierto v = abreLista(lista({a}), observadorMudo());
  EXPECT_EQ(v.clave, "TIFF");
  ASSERT_TRUE(v.leido);
  const auto* d = dynamic_cast<const CorteUnsignedShort*>(v.display->corte(0));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->datos()[0], 51400);
  EXPECT_EQ(v.inferior, 0);
  EXPECT_EQ(v.superior, 65535);
  EXPECT_TRUE(v.resumen.startsWith("Numero de Canales: 2\nNumero de Proyecciones: 3\nCortes Seleccionados: 1"))
      << v.resumen.toStdString();
  EXPECT_EQ(v.display->textoCabecera(), v.resumen);
}

// A picture whose last strips are missing is still a picture: read as far as
// it goes, the rest 0, the user told.
TEST_F(LectorTiff, TirasQueFaltanSeLeenConAviso) {
  const std::string r = ruta(dir, "corta.tif");
  escribe(r, tiffCrudo(4, 4, {1, 2, 3, 4, 11, 12, 13, 14}, 1, 1));  // rows 0 and 1 of 4
  ObservadorGrabador o;
  auto v = leerTiff(lista({r}), o);
  ASSERT_EQ(v->numCortes(), 1);
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 4; ++y) EXPECT_EQ(en(*v, 0, x, y), y < 2 ? (10 * y + x + 1) * 257 : 0) << x << "," << y;
  ASSERT_EQ(o.avisos.size(), 1u) << ::testing::PrintToString(o.avisos);
  EXPECT_THAT(o.avisos[0], HasSubstr(r + ": the picture is damaged: "));
}

struct CasoHostil {
  const char* nombre;
  Bytes bytes;
  const char* motivo;
};
void PrintTo(const CasoHostil& c, std::ostream* os) { *os << c.nombre; }
class TiffHostil : public LectorTiff, public ::testing::WithParamInterface<CasoHostil> {};

TEST_P(TiffHostil, ErrorQueNombraElFichero) {
  const std::string r = ruta(dir, "malo.tif");
  escribe(r, GetParam().bytes);
  ::testing::internal::CaptureStderr();
  try {
    leerTiff(lista({r}), observadorMudo());
    ADD_FAILURE() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), r);
    EXPECT_THAT(e.motivo(), HasSubstr(GetParam().motivo));
  }
  // libtiff's messages reach the error, not the process's standard error.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

Bytes conMagiaMala() {
  Bytes b = tiffCrudo(2, 2, Bytes(4, 1));
  b[2] = 0x2B;  // II followed by neither 42 nor the BigTIFF 43
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Hostiles, TiffHostil,
    ::testing::Values(
        CasoHostil{"soloMagia", {'I', 'I'}, "libtiff cannot open the file"},
        CasoHostil{"cabeceraCortada", {'I', 'I', 42, 0, 8, 0}, "libtiff cannot open the file"},
        CasoHostil{"magiaMalaTrasII", conMagiaMala(), "libtiff cannot open the file: "},
        CasoHostil{"directorioFuera", {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}, "libtiff cannot open the file"},
        CasoHostil{"compresionDesconocida", tiffCrudo(2, 2, Bytes(4, 1), 12345), "libtiff cannot"},
        // libtiff gives up on the only strip of a cut file.
        CasoHostil{"tiraUnicaCortada", []{ Bytes b = tiffCrudo(4, 4, Bytes(16, 1)); b.resize(b.size() - 10); return b; }(),
                   "Read error on strip 0"},
        CasoHostil{"anchoCero", tiffCrudo(0, 2, Bytes(4, 1)), "libtiff cannot open the file"},
        CasoHostil{"enorme", tiffCrudo(65535, 65535, Bytes(16, 1)), "65535 x 65535"},
        // Within the sane cap but far beyond what 16 bytes describe.
        CasoHostil{"muchoMasQueElFichero", tiffCrudo(8000, 8000, Bytes(16, 1)),
                   "far more than a file of"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(LectorTiff, FicheroAusenteUOtroMaloEnLaLista) {
  const std::string a = tiff("a.tif", Imagen::plana(2, 2, {1}));
  const std::string falta = ruta(dir, "no.tif");
  try {
    leerTiff(lista({a, falta}), observadorMudo());
    ADD_FAILURE() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), falta);
  }
}

}  // namespace
