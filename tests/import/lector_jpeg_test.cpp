#include "lector_jpeg.h"

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "apertura.h"
#include "errores.h"
#include "imagenes_prueba.h"

using ::testing::HasSubstr;

namespace {

class LectorJpeg : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::string jpeg(const std::string& nombre, const Imagen& im) {
    const std::string r = ruta(dir, nombre);
    escribeJpeg(r, im);
    return r;
  }
  static const CorteDouble& corte(const Cubo& v, int i) { return corteDe<CorteDouble>(v, i); }
  static double en(const Cubo& v, int i, int x, int y) { return muestraEn<CorteDouble>(v, i, x, y); }
};

// Quadrants of distinct levels show both the size and which way up the
// slice stands: left/right differ by 150, top/bottom by 60.
uint8_t cuadrantes(int x, int y, int) { return uint8_t((x < 320 ? 20 : 170) + (y < 240 ? 0 : 60)); }

TEST_F(LectorJpeg, GrisDe640x480) {
  const std::string r = jpeg("g.jpg", Imagen::con(640, 480, 1, cuadrantes));
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = leerJpeg(lista({r}), o);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Leyendo JPEG\n" + r + "\nW H NdC: 640 480 1\n");
  ASSERT_EQ(v->geometria()->ancho(), 640);
  ASSERT_EQ(v->geometria()->alto(), 480);
  const CorteDouble& c = corte(*v, 0);
  EXPECT_EQ(c.minimoDouble(), 0.0);
  EXPECT_EQ(c.maximoDouble(), 65535.0);
  for (std::size_t k = 0; k < c.numMuestras(); ++k) {
    ASSERT_GE(c.datos()[k], 0.0);
    ASSERT_LE(c.datos()[k], 255.0);
  }
  EXPECT_NEAR(en(*v, 0, 100, 100), 20, 3);
  EXPECT_NEAR(en(*v, 0, 500, 100), 170, 3);
  EXPECT_NEAR(en(*v, 0, 100, 400), 80, 3);
  EXPECT_NEAR(en(*v, 0, 500, 400), 230, 3);
  const auto* s = dynamic_cast<const CuboSinograma*>(v.get());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->distanciaFocoObjeto(), 1.0f);
  EXPECT_EQ(s->distanciaFocoDetector(), 1.0f);
  const AttributeMap& m = v->atributosRef();
  EXPECT_EQ(m.at("ST"), "1");
  EXPECT_EQ(m.at("PixelDimx"), "0.1");
  EXPECT_EQ(m.at("PixelDimy"), "0.1");
  EXPECT_EQ(m.at("PixelDimz"), "1");
  EXPECT_EQ(m.at("FileName"), r);
  EXPECT_EQ(o.etiqueta, "Leyendo imagenes ...");
  EXPECT_EQ(o.maximo, 1);
  EXPECT_EQ(o.valores, std::vector<int>{1});
  EXPECT_EQ(o.fines, 1);
  EXPECT_TRUE(o.avisos.empty());
}

// The sample is the first component (red), not a grey level of the colour.
TEST_F(LectorJpeg, ColorDaElRojo) {
  const Imagen im = Imagen::con(32, 16, 3, [](int x, int, int c) {
    static const uint8_t rojo[3] = {255, 0, 0}, azul[3] = {0, 0, 255};
    return (x < 16 ? rojo : azul)[c];
  });
  auto v = leerJpeg(lista({jpeg("c.jpg", im)}), observadorMudo());
  EXPECT_NEAR(en(*v, 0, 4, 8), 255, 3);
  EXPECT_NEAR(en(*v, 0, 28, 8), 0, 3);
}

TEST_F(LectorJpeg, VariosFicherosYTamanosDistintos) {
  const auto nivel = [](uint8_t g) { return Imagen::plana(16, 8, {g}); };
  const std::string a = jpeg("a.jpg", nivel(50));
  const std::string b = jpeg("b.jpg", nivel(100));
  const std::string grande = jpeg("g.jpg", Imagen::plana(24, 16, {150}));
  const std::string chica = jpeg("c.jpg", Imagen::plana(8, 8, {200}));
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = leerJpeg(lista({a, b, grande, chica}), o);
  EXPECT_THAT(::testing::internal::GetCapturedStdout(),
              HasSubstr(grande + "\nW H NdC: 24 16 4\n" + chica + "\nW H NdC: 8 8 4\n"));
  ASSERT_EQ(v->numCortes(), 4);
  ASSERT_EQ(v->geometria()->ancho(), 16);
  EXPECT_NEAR(en(*v, 1, 15, 7), 100, 2);
  EXPECT_NEAR(en(*v, 2, 15, 7), 150, 2);  // cut to 16 x 8
  EXPECT_NEAR(en(*v, 3, 7, 7), 200, 2);
  EXPECT_EQ(en(*v, 3, 8, 0), 0.0);  // padded
  EXPECT_EQ(en(*v, 3, 15, 7), 0.0);
  ASSERT_EQ(o.avisos.size(), 2u);
  EXPECT_THAT(o.avisos[0], HasSubstr(grande + ": the picture is 24 x 16, not 16 x 8"));
  EXPECT_THAT(o.avisos[1], HasSubstr(chica + ": the picture is 8 x 8, not 16 x 8"));
  EXPECT_EQ(o.valores, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(LectorJpeg, PorLaAperturaLaVentanaEs0a255) {
  const std::string r = jpeg("a.jpg", Imagen::plana(8, 8, {128}));
  VolumenAbierto v = abreLista(lista({r}), observadorMudo());
  EXPECT_EQ(v.clave, "JPEG");
  EXPECT_EQ(v.inferior, 0);
  EXPECT_EQ(v.superior, 255);
  ASSERT_TRUE(v.leido);
  // Limits 0 and 65535: the samples pass to 16 bits unchanged.
  const auto* d = dynamic_cast<const CorteUnsignedShort*>(v.display->corte(0));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->datos()[9], static_cast<uint16_t>(corte(*v.leido, 0).datos()[9]));
  EXPECT_TRUE(v.resumen.startsWith("Numero de Canales: 8\nNumero de Proyecciones: 8")) << v.resumen.toStdString();
}

// A stream cut in its scan still gives the picture, with the user told.
TEST_F(LectorJpeg, CortadoSeLeeConAviso) {
  const std::string entero = jpeg("e.jpg", Imagen::con(64, 64, 1, [](int x, int y, int) { return uint8_t(x * 3 + y); }));
  Bytes b = leeBytes(entero);
  b.resize(b.size() * 2 / 3);
  const std::string r = ruta(dir, "cortado.jpg");
  escribe(r, b);
  ObservadorGrabador o;
  auto v = leerJpeg(lista({r}), o);
  ASSERT_EQ(v->numCortes(), 1);
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], HasSubstr(r + ": the picture is damaged or cut short (libjpeg: "));
}

// Patches the frame header's extents (the bytes after the SOF0 marker).
Bytes conExtension(Bytes b, uint16_t ancho, uint16_t alto) {
  for (std::size_t i = 2; i + 8 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC0) {
      b[i + 5] = uint8_t(alto >> 8);
      b[i + 6] = uint8_t(alto);
      b[i + 7] = uint8_t(ancho >> 8);
      b[i + 8] = uint8_t(ancho);
      return b;
    }
  ADD_FAILURE() << "no SOF0";
  return b;
}

struct CasoHostil {
  const char* nombre;
  std::function<Bytes(const Bytes& valido)> bytes;
  const char* motivo;
};
void PrintTo(const CasoHostil& c, std::ostream* os) { *os << c.nombre; }
class JpegHostil : public LectorJpeg, public ::testing::WithParamInterface<CasoHostil> {};

TEST_P(JpegHostil, ErrorQueNombraElFichero) {
  const Bytes valido = leeBytes(jpeg("v.jpg", Imagen::plana(16, 16, {90})));
  const std::string r = ruta(dir, "malo.jpg");
  escribe(r, GetParam().bytes(valido));
  ::testing::internal::CaptureStderr();
  try {
    leerJpeg(lista({r}), observadorMudo());
    ADD_FAILURE() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), r);
    EXPECT_THAT(e.motivo(), HasSubstr(GetParam().motivo));
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Hostiles, JpegHostil,
    ::testing::Values(
        CasoHostil{"soloSoi", [](const Bytes&) { return Bytes{0xFF, 0xD8}; }, "libjpeg cannot decode the picture: "},
        CasoHostil{"basuraTrasSoi", [](const Bytes&) { return Bytes{0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A}; },
                   "libjpeg cannot decode the picture: "},
        // Tables only: a stream without a picture.
        CasoHostil{"sinImagen", [](const Bytes&) { return Bytes{0xFF, 0xD8, 0xFF, 0xD9}; },
                   "libjpeg cannot decode the picture: "},
        CasoHostil{"sinComponentes", [](const Bytes& v) {
                     Bytes b = v;
                     for (std::size_t i = 2; i + 9 < b.size(); ++i)
                       if (b[i] == 0xFF && b[i + 1] == 0xC0) b[i + 9] = 0;
                     return b;
                   }, "libjpeg cannot decode the picture: "},
        CasoHostil{"anchoCero", [](const Bytes& v) { return conExtension(v, 0, 16); }, "libjpeg cannot decode"},
        CasoHostil{"enorme", [](const Bytes& v) { return conExtension(v, 65500, 65500); },
                   "65500 x 65500 is too large to read"},
        CasoHostil{"muchoMasQueElFichero", [](const Bytes& v) { return conExtension(v, 8000, 8000); },
                   "the picture claims 8000 x 8000 pixels, far more than a file of"},
        CasoHostil{"cortadoEnLaCabecera", [](const Bytes& v) { return Bytes(v.begin(), v.begin() + 40); },
                   "libjpeg cannot decode the picture: "}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(LectorJpeg, UnFicheroQueFaltaEnLaListaNoDejaCortesVacios) {
  const std::string a = jpeg("a.jpg", Imagen::plana(8, 8, {1}));
  const std::string falta = ruta(dir, "no.jpg");
  for (const auto& l : {lista({falta}), lista({a, falta})}) {
    try {
      leerJpeg(l, observadorMudo());
      ADD_FAILURE() << "no error";
    } catch (const ErrorLectura& e) {
      EXPECT_EQ(e.ruta(), falta);
      EXPECT_EQ(e.motivo(), "the file cannot be opened");
    }
  }
  // A later stream libjpeg gives up on ends the read too, naming that file.
  const std::string malo = ruta(dir, "malo.jpg");
  escribe(malo, Bytes{0xFF, 0xD8, 0xFF, 0xD9});
  try {
    leerJpeg(lista({a, malo}), observadorMudo());
    ADD_FAILURE() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), malo);
    EXPECT_THAT(e.motivo(), HasSubstr("libjpeg cannot decode the picture"));
  }
}

}  // namespace
