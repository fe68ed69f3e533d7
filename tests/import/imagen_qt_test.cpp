#include "imagen_qt.h"

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "apertura.h"
#include "errores.h"
#include "imagenes_prueba.h"

using ::testing::HasSubstr;

namespace {

class LectorImagenQt : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::string imagen(const std::string& nombre, const QImage& im) {
    const std::string r = ruta(dir, nombre);
    escribeQt(r, im);
    return r;
  }
  static const CorteUnsignedShort& corte(const Cubo& v, int i) { return corteDe<CorteUnsignedShort>(v, i); }
  static int en(const Cubo& v, int i, int x, int y) { return int(muestraEn<CorteUnsignedShort>(v, i, x, y)); }
};

struct CasoColor {
  const char* nombre;
  QRgb color;
  int gris;
};
void PrintTo(const CasoColor& c, std::ostream* os) { *os << c.nombre; }
class ColoresQt : public LectorImagenQt, public ::testing::WithParamInterface<std::tuple<CasoColor, const char*>> {};

TEST_P(ColoresQt, GrisEnteroDelColor) {
  const auto& [caso, extension] = GetParam();
  QImage im(3, 2, QImage::Format_RGB32);
  im.fill(caso.color);
  auto v = leerImagenQt(lista({imagen(std::string("c.") + extension, im)}), observadorMudo());
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 2; ++y) EXPECT_EQ(en(*v, 0, x, y), caso.gris);
  EXPECT_EQ(corte(*v, 0).minimo(), 0);
  EXPECT_EQ(corte(*v, 0).maximo(), 255);
}

INSTANTIATE_TEST_SUITE_P(
    Colores, ColoresQt,
    ::testing::Combine(::testing::Values(CasoColor{"blanco", qRgb(255, 255, 255), 255},
                                         CasoColor{"rojo", qRgb(255, 0, 0), 87},
                                         CasoColor{"verde", qRgb(0, 255, 0), 127},
                                         CasoColor{"azul", qRgb(0, 0, 255), 39},
                                         CasoColor{"mezcla", qRgb(10, 20, 30), 18}),
                       ::testing::Values("png", "bmp")),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).nombre) + "_" + std::get<1>(info.param);
    });

TEST_F(LectorImagenQt, ElCorteEstaDerechoYLosTextos) {
  const QImage im = imagenRgb(4, 3, [](int x, int y) { return qRgb(0, 2 * (10 * x + y + 1), 0); });
  const std::string r = imagen("o.png", im);
  RegistroDebug registro;
  ::testing::internal::CaptureStdout();
  auto v = leerImagenQt(lista({r}), observadorMudo());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Número de Bits: 32\nallGray: 0\nBit Plane Count: 24\n");
  EXPECT_EQ(RegistroDebug::lineas(), (QStringList{"Leyendo QT", QString::fromStdString(r)}));
  ASSERT_EQ(v->geometria()->ancho(), 4);
  ASSERT_EQ(v->geometria()->alto(), 3);
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 3; ++y) EXPECT_EQ(en(*v, 0, x, y), (10 * x + y + 1)) << x << "," << y;
}

TEST_F(LectorImagenQt, GrisDeOchoBits) {
  QImage im(5, 5, QImage::Format_Grayscale8);
  im.fill(77);
  const std::string r = imagen("g.png", im);
  ::testing::internal::CaptureStdout();
  auto v = leerImagenQt(lista({r}), observadorMudo());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Número de Bits: 8\nallGray: 1\nBit Plane Count: 8\n");
  EXPECT_EQ(en(*v, 0, 4, 4), 77);
}

TEST_F(LectorImagenQt, CincoBmpCincoCortes) {
  QStringList l;
  for (int i = 0; i < 5; ++i) {
    QImage im(2, 2, QImage::Format_RGB32);
    im.fill(qRgb(32 * i, 32 * i, 32 * i));
    l << QString::fromStdString(imagen("s" + std::to_string(i) + ".bmp", im));
  }
  ObservadorGrabador o;
  auto v = leerImagenQt(l, o);
  EXPECT_EQ(dynamic_cast<const CuboSinograma*>(v.get()), nullptr);
  ASSERT_EQ(v->numCortes(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(en(*v, i, 1, 1), 32 * i);
  const AttributeMap& m = v->atributosRef();
  EXPECT_EQ(m.at("PixelDimx"), "1");
  EXPECT_EQ(m.at("PixelDimy"), "1");
  EXPECT_EQ(m.at("PixelDimz"), "1");
  EXPECT_EQ(m.at("ST"), "1");
  EXPECT_FALSE(m.contains("FileName"));
  EXPECT_EQ(o.valores, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(LectorImagenQt, TamanosDistintosSeCortanORellenan) {
  const auto gris = [](int w, int h, int g) {
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(qRgb(g, g, g));
    return im;
  };
  const std::string a = imagen("a.png", gris(4, 4, 10));
  const std::string grande = imagen("g.png", gris(6, 5, 20));
  const std::string chica = imagen("c.png", gris(2, 3, 30));
  ObservadorGrabador o;
  auto v = leerImagenQt(lista({a, grande, chica}), o);
  ASSERT_EQ(v->geometria()->ancho(), 4);
  EXPECT_EQ(en(*v, 1, 3, 3), 20);
  EXPECT_EQ(en(*v, 2, 1, 2), 30);
  EXPECT_EQ(en(*v, 2, 2, 0), 0);
  EXPECT_EQ(en(*v, 2, 0, 3), 0);
  ASSERT_EQ(o.avisos.size(), 2u);
  EXPECT_THAT(o.avisos[0], HasSubstr(grande + ": the picture is 6 x 5, not 4 x 4"));
  EXPECT_THAT(o.avisos[1], HasSubstr(chica + ": the picture is 2 x 3, not 4 x 4"));
}

TEST_F(LectorImagenQt, PorLaAperturaSinResumenYVentana0a255) {
  for (const char* ext : {"png", "bmp"}) {
    QImage im(3, 3, QImage::Format_RGB32);
    im.fill(qRgb(255, 0, 0));
    VolumenAbierto v = abreLista(lista({imagen(std::string("a.") + ext, im)}), observadorMudo());
    EXPECT_EQ(v.clave, ext == std::string("png") ? "PNG" : "BMP");
    EXPECT_FALSE(v.leido);
    EXPECT_TRUE(v.resumen.isNull());
    EXPECT_EQ(v.inferior, 0);
    EXPECT_EQ(v.superior, 255);
    EXPECT_EQ(corte(*v.display, 0).datos()[0], 87);
  }
}

// A BMP header claiming `ancho` x `alto` pixels of 24 bits, followed by `resto`.
Bytes bmp(int32_t ancho, int32_t alto, const Bytes& resto) {
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  pon32(b, 2, uint32_t(54 + resto.size()));
  pon32(b, 10, 54);
  pon32(b, 14, 40);
  pon32(b, 18, uint32_t(ancho));
  pon32(b, 22, uint32_t(alto));
  pon16(b, 26, 1);
  pon16(b, 28, 24);
  b.insert(b.end(), resto.begin(), resto.end());
  return b;
}

struct CasoHostil {
  const char* nombre;
  const char* extension;
  std::function<Bytes(const Bytes& png)> bytes;
  const char* motivo;
};
void PrintTo(const CasoHostil& c, std::ostream* os) { *os << c.nombre; }
class ImagenHostil : public LectorImagenQt, public ::testing::WithParamInterface<CasoHostil> {};

TEST_P(ImagenHostil, ErrorQueNombraElFichero) {
  QImage im(16, 16, QImage::Format_RGB32);
  im.fill(qRgb(1, 2, 3));
  const Bytes png = leeBytes(imagen("v.png", im));
  const std::string r = ruta(dir, std::string("malo.") + GetParam().extension);
  escribe(r, GetParam().bytes(png));
  try {
    leerImagenQt(lista({r}), observadorMudo());
    ADD_FAILURE() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), r);
    EXPECT_THAT(e.motivo(), HasSubstr(GetParam().motivo));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Hostiles, ImagenHostil,
    ::testing::Values(
        CasoHostil{"pngSoloMagia", "png", [](const Bytes& p) { return Bytes(p.begin(), p.begin() + 8); },
                   "the picture cannot be loaded"},
        CasoHostil{"pngMagiaMala", "png", [](const Bytes& p) { Bytes b = p; b[2] = 'X'; return b; },
                   "the picture cannot be loaded"},
        CasoHostil{"pngCortado", "png", [](const Bytes& p) { return Bytes(p.begin(), p.begin() + 40); },
                   "the picture cannot be loaded"},
        CasoHostil{"bmpSoloMagia", "bmp", [](const Bytes&) { return Bytes{'B', 'M'}; },
                   "the picture cannot be loaded"},
        CasoHostil{"bmpMagiaMala", "bmp", [](const Bytes&) { Bytes b = bmp(2, 2, Bytes(16, 0)); b[14] = 3; return b; },
                   "the picture cannot be loaded"},
        // The toolkit itself refuses a picture of 16 GB.
        CasoHostil{"bmpEnorme", "bmp", [](const Bytes&) { return bmp(65535, 65535, Bytes(16, 0)); },
                   "the picture cannot be loaded"},
        CasoHostil{"bmpMuchoMasQueElFichero", "bmp", [](const Bytes&) { return bmp(5000, 5000, Bytes(16, 0)); },
                   "far more than a file of"},
        CasoHostil{"bmpAnchoNegativo", "bmp", [](const Bytes&) { return bmp(-4, 2, Bytes(32, 0)); },
                   "the picture"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(LectorImagenQt, FicheroQueFaltaEnLaLista) {
  QImage im(2, 2, QImage::Format_RGB32);
  im.fill(0);
  const std::string a = imagen("a.png", im);
  const std::string falta = ruta(dir, "no.png");
  try {
    leerImagenQt(lista({a, falta}), observadorMudo());
    ADD_FAILURE() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), falta);
  }
}

}  // namespace
