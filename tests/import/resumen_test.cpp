#include "resumen.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "ficheros_prueba.h"

namespace {

AttributeMap atributos(const char* x, const char* y, const char* st) {
  AttributeMap a;
  a.set("PixelDimx", x);
  a.set("PixelDimy", y);
  a.set("PixelDimz", "3");
  a.set("ST", st);
  return a;
}

TEST(Resumen, Volumen) {
  Cubo v(nuevaGeometria(512, 256), 120, atributos("0.25", "1234567", "1.25"));
  EXPECT_EQ(resumenVolumen(v),
            "Ancho del Corte: 1.25\nNumero de Cortes: 120\nAncho de la Imagen: 512\n"
            "Alto de la Imagen: 256\nPixel x (mm): 0.25\nPixel y (mm): 1.23457e+06");
}

TEST(Resumen, His) {
  Cubo v(nuevaGeometria(2048, 1024), 1, atributos("1", "0.976562", "1"));
  EXPECT_EQ(resumenHis(v),
            "\nAncho de la Imagen: 2048\nAlto de la Imagen: 1024\nPixel x (mm): 1\n"
            "Pixel y (mm): 0.976562");
}

TEST(Resumen, Adquisicion) {
  // Channels are the slice height, projections its width.
  CuboSinograma v(nuevaGeometria(720, 64), 3, 512.5f, 1000.0f, atributos("0.1", "0.2", "0.5"));
  RegistroDebug registro;
  EXPECT_EQ(resumenAdquisicion(v),
            "Numero de Canales: 64\nNumero de Proyecciones: 720\nCortes Seleccionados: 3\n"
            "Pixel x (mm): 0.1\nPixel y (mm): 0.2\nSlice Thickness (mm): 0.5\n"
            "Distancia foco-objeto: 512.5\nDistancia foco-detector: 1000");
  ASSERT_EQ(RegistroDebug::lineas().size(), 2);
  EXPECT_EQ(RegistroDebug::lineas()[0].toUtf8(), QByteArray("Informaci\xc3\xb3n Cabecera"));
  EXPECT_TRUE(RegistroDebug::lineas()[1].startsWith("Numero de Canales: 64"));
}

TEST(Resumen, NumerosComoLosEscribeArg) {
  struct Caso {
    const char* texto;
    const char* escrito;
  };
  const Caso casos[] = {{"120", "120"},       {"1234567", "1.23457e+06"}, {"0.0001", "0.0001"},
                        {"0.00001", "1e-05"}, {"-2.5", "-2.5"},           {"abc", "0"}};
  for (const Caso& c : casos) {
    Cubo v(nuevaGeometria(1, 1), 1, atributos(c.texto, "1", "1"));
    EXPECT_TRUE(resumenVolumen(v).endsWith(QStringLiteral("Pixel x (mm): %1\nPixel y (mm): 1").arg(c.escrito)))
        << c.texto << " -> " << resumenVolumen(v).toStdString();
  }
}

TEST(Resumen, FaltaUnaClave) {
  for (const char* clave : {"PixelDimx", "PixelDimy", "ST"}) {
    SCOPED_TRACE(clave);
    AttributeMap a = atributos("1", "1", "1");
    a.erase(clave);
    Cubo v(nuevaGeometria(1, 1), 1, a);
    CuboSinograma s(nuevaGeometria(1, 1), 1, 1, 1, a);
    EXPECT_THROW(resumenVolumen(v), std::out_of_range);
    EXPECT_THROW(resumenHis(v), std::out_of_range);
    EXPECT_THROW(resumenAdquisicion(s), std::out_of_range);
  }
}

TEST(Resumen, AdquisicionNecesitaUnSinograma) {
  Cubo v(nuevaGeometria(1, 1), 1, atributos("1", "1", "1"));
  EXPECT_THROW(resumenAdquisicion(v), std::invalid_argument);
}

}  // namespace
