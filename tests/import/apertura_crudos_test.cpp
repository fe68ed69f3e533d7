// The open path for the raw acquisition keys: which volume is read, which is
// shown, the summary and the log lines of each row.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "apertura.h"
#include "carpeta.h"
#include "errores.h"
#include "ficheros_crudos.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::vector<uint16_t> display16(const VolumenAbierto& v, int i) {
  const auto* c = dynamic_cast<const CorteUnsignedShort*>(v.display->corte(i));
  EXPECT_NE(c, nullptr);
  if (!c) return {};
  return std::vector<uint16_t>(c->datos(), c->datos() + c->numMuestras());
}

class AperturaCrudos : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  RegistroDebug registro;
  std::string salida;
  VolumenAbierto abre(const std::vector<std::string>& rutas, ObservadorLectura& o = observadorMudo()) {
    ::testing::internal::CaptureStdout();
    try {
      VolumenAbierto v = abreLista(lista(rutas), o);
      salida = ::testing::internal::GetCapturedStdout();
      return v;
    } catch (...) {
      salida = ::testing::internal::GetCapturedStdout();
      throw;
    }
  }
  bool registrado(const char* linea) const { return RegistroDebug::lineas().contains(QString::fromUtf8(linea)); }
};

TEST_F(AperturaCrudos, RadiografiaXDASSeMuestraComoSeLee) {
  const std::string f = escribeEn(dir, "r.bin", ficheroXDAS({1000, 3000, 2000, 1000}, Trailer(32000, 2, 2)));
  VolumenAbierto v = abre({f});
  EXPECT_EQ(v.clave, "radXDAS");
  EXPECT_EQ(v.leido, nullptr);
  EXPECT_THAT(display16(v, 0), ElementsAre(0, 65535, 32767, 0));
  EXPECT_TRUE(v.resumen.startsWith("Numero de Canales: 2\nNumero de Proyecciones: 2\n"));
  EXPECT_EQ(v.display->textoCabecera(), v.resumen);
  EXPECT_EQ(v.inferior, 0);
  EXPECT_EQ(v.superior, 65535);
  EXPECT_TRUE(registrado("LEE FORMATO Radiografia XDAS"));
  EXPECT_EQ(salida, "Max Min 3000 1000\n");
}

TEST_F(AperturaCrudos, SinogramaSeEscalaA16Bits) {
  const std::string f = escribeEn(dir, "s.bin", ficheroXDAS({100, 300, 200, 150}, Trailer(32001, 2, 2)));
  VolumenAbierto v = abre({f});
  EXPECT_EQ(v.clave, "sinoXDAS");
  ASSERT_NE(v.leido, nullptr);
  EXPECT_NE(dynamic_cast<const CuboSinograma*>(v.leido.get()), nullptr);
  EXPECT_NE(dynamic_cast<const CorteDouble*>(v.leido->corte(0)), nullptr);
  // Stretched from the slice's own limits; the scale is single precision.
  EXPECT_THAT(display16(v, 0), ElementsAre(0, 65534, 32767, 16383));
  EXPECT_EQ(v.resumen, v.leido->textoCabecera());
  EXPECT_EQ(v.display->textoCabecera(), v.resumen);
  EXPECT_TRUE(registrado("LEE FORMATO Sinograma XDAS"));
}

TEST_F(AperturaCrudos, FlatPanelSeInvierte) {
  const std::string f = escribeEn(dir, "p.bin", ficheroFP({1000, 2000, 3000, 4000}, Trailer(32002, 2, 0)));
  VolumenAbierto v = abre({f});
  EXPECT_EQ(v.clave, "radFP");
  ASSERT_NE(v.leido, nullptr);
  EXPECT_THAT(display16(v, 0), ElementsAre(64535, 62535, 63535, 61535));
  // The limits stay those of the read slice.
  EXPECT_EQ(v.display->corte(0)->minimo(), 1000);
  EXPECT_EQ(v.display->corte(0)->maximo(), 4000);
  EXPECT_EQ(v.resumen, v.leido->textoCabecera());
  EXPECT_TRUE(registrado("LEE FORMATO Radiografia Flat-Panel"));
  EXPECT_EQ(salida, "Girar Corte\n");
}

TEST_F(AperturaCrudos, CarpetaDeSinogramas) {
  QTemporaryDir carpeta;
  escribeEn(carpeta, "a.dat", ficheroXDAS({1, 2, 3, 4, 5, 6}, Trailer(32001, 3, 2)));
  escribeEn(carpeta, "b.dat", ficheroXDAS({6, 5, 4, 3, 2, 1}, Trailer(32001, 3, 2)));
  ::testing::internal::CaptureStdout();
  VolumenAbierto v = abreListaCarpeta(ficherosCarpeta(carpeta.path()), observadorMudo());
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(v.clave, "sinoXDAS");
  EXPECT_EQ(v.display->numCortes(), 2);
  EXPECT_EQ(v.display->geometria()->ancho(), 2);
  EXPECT_EQ(v.display->geometria()->alto(), 3);
  EXPECT_EQ(display16(v, 1)[0], 65535);
  EXPECT_THAT(v.resumen.toStdString(), HasSubstr("Numero de Canales: 3"));
  EXPECT_EQ(v.display->textoCabecera(), v.resumen);
  EXPECT_TRUE(registrado("LEE FORMATO Sinograma XDAS"));
}

TEST_F(AperturaCrudos, PelixOldConSuResumen) {
  std::vector<double> m(9993);
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = 1.5 + double(i % 50);
  m.insert(m.end(), {100, 0, 5, 0.2, 0.5, 300, 600});
  VolumenAbierto v = abre({escribeEn(dir, "p.raw", dobles(m))});
  EXPECT_EQ(v.clave, "PelixOld");
  ASSERT_NE(v.leido, nullptr);
  EXPECT_EQ(v.resumen,
            "Numero de Canales: 100\nNumero de Proyecciones: 99\nCortes Seleccionados: 1\nPixel x (mm): 0.2\n"
            "Pixel y (mm): 0.2\nSlice Thickness (mm): 0.5\nDistancia foco-objeto: 300\n"
            "Distancia foco-detector: 600");
  EXPECT_EQ(display16(v, 0)[0], 0);
  EXPECT_EQ(v.superior, 65535);
  EXPECT_TRUE(registrado("Pelix"));
}

TEST_F(AperturaCrudos, HisConSuResumen) {
  VolumenAbierto v = abre({escribeEn(dir, "i.his", ficheroHis(2048, 2048, Bytes(2048 * 2048 * 2, 0x10)))});
  EXPECT_EQ(v.clave, "His");
  EXPECT_EQ(v.leido, nullptr);
  EXPECT_EQ(v.resumen, "\nAncho de la Imagen: 2048\nAlto de la Imagen: 2048\nPixel x (mm): 1\nPixel y (mm): 1");
  EXPECT_EQ(v.display->textoCabecera(), v.resumen);
  EXPECT_EQ(salida, "His\n");
}

TEST_F(AperturaCrudos, FicherosMalosDanUnErrorYLosCortosUnAviso) {
  const std::string malo = escribeEn(dir, "m.bin", ficheroXDAS({1, 2}, Trailer(32001, 1e12, 1)));
  try {
    abre({malo});
    FAIL() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), malo);
    EXPECT_THAT(e.motivo(), HasSubstr("1e+12 channels"));
  }
  // A His header of 65535 x 65535 in a file of 2 KB.
  Bytes his = ficheroHis(65535, 65535, Bytes(1948, 1));
  EXPECT_THROW(abre({escribeEn(dir, "h.his", his)}), ErrorLectura);

  ObservadorGrabador o;
  VolumenAbierto v = abre({escribeEn(dir, "c.bin", ficheroXDAS({7, 8, 9}, Trailer(32000, 2, 2)))}, o);
  EXPECT_EQ(v.display->numCortes(), 1);
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], HasSubstr("c.bin: the file is short"));
}

}  // namespace
