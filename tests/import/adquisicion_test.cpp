#include "adquisicion.h"

#include <cmath>
#include <functional>
#include <limits>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "errores.h"
#include "ficheros_crudos.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

template <class T, class C>
std::vector<T> muestrasDe(const Cubo& v, int i) {
  const auto* c = dynamic_cast<const C*>(v.corte(i));
  EXPECT_NE(c, nullptr) << "slice " << i << " has another type";
  if (!c) return {};
  return std::vector<T>(c->datos(), c->datos() + c->numMuestras());
}
std::vector<double> dobleDe(const Cubo& v, int i) { return muestrasDe<double, CorteDouble>(v, i); }
std::vector<uint16_t> ushortDe(const Cubo& v, int i) { return muestrasDe<uint16_t, CorteUnsignedShort>(v, i); }

class Adquisicion : public ::testing::Test {
 protected:
  QTemporaryDir dir;
};

TEST_F(Adquisicion, TresSinogramasDeTamanoReal) {
  // 1024 channels x 720 projections: 5,898,368 bytes a file.
  std::vector<double> m(1024 * 720);
  for (std::size_t k = 0; k < m.size(); ++k) m[k] = double(k % 1000) - 100.0;
  std::vector<std::string> rutas;
  for (int i = 0; i < 3; ++i) {
    m[0] = 5000.0 + i;
    rutas.push_back(escribeEn(dir, "s" + std::to_string(i) + ".bin", ficheroXDAS(m, Trailer(32001, 1024, 720))));
  }
  ASSERT_EQ(QFileInfo(QString::fromStdString(rutas[0])).size(), 5898368);
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = leerSinogramaXDAS(lista(rutas), o);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Max Min 5000 -100\nMax Min 5001 -100\nMax Min 5002 -100\n");
  EXPECT_EQ(v->numCortes(), 3);
  EXPECT_EQ(v->geometria()->ancho(), 720);
  EXPECT_EQ(v->geometria()->alto(), 1024);
  const AttributeMap a = v->atributos();
  EXPECT_EQ(a.at("PixelDimz"), "1");
  EXPECT_EQ(a.at("PixelDimx"), "0.2");
  EXPECT_EQ(a.at("PixelDimy"), "0.2");
  EXPECT_EQ(a.at("ST"), "0.5");
  EXPECT_FALSE(a.contains("FileName"));
  EXPECT_FLOAT_EQ(v->distanciaFocoObjeto(), 300.0f);
  EXPECT_FLOAT_EQ(v->distanciaFocoDetector(), 600.0f);
  // File order is storage order: the channel index runs fastest, down a column.
  const std::vector<double> s2 = dobleDe(*v, 2);
  ASSERT_EQ(s2.size(), m.size());
  EXPECT_EQ(s2[0], 5002.0);
  EXPECT_EQ(s2[1], -99.0);
  EXPECT_EQ(s2[1024 * 720 - 1], m.back());
  const auto* c = dynamic_cast<const CorteDouble*>(v->corte(1));
  EXPECT_EQ(c->minimoDouble(), -100.0);
  EXPECT_EQ(c->maximoDouble(), 5001.0);
  EXPECT_EQ(o.etiqueta, "Leyendo imagenes ...");
  EXPECT_EQ(o.cancelar, "Cancelar");
  EXPECT_EQ(o.maximo, 3);
  EXPECT_THAT(o.valores, ElementsAre(1, 2, 3));
  EXPECT_EQ(o.fines, 1);
  EXPECT_THAT(o.avisos, IsEmpty());
}

TEST_F(Adquisicion, LimitesDelSinogramaNuncaPasanDe999999) {
  ::testing::internal::CaptureStdout();
  auto v = leerSinogramaXDAS(lista({escribeEn(dir, "s.bin", ficheroXDAS({5.0, 7.0}, Trailer(32001, 2, 1)))}),
                             observadorMudo());
  auto w = leerSinogramaXDAS(
      lista({escribeEn(dir, "t.bin", ficheroXDAS({-2e6, 3e6, std::nan("")}, Trailer(32001, 3, 1)))}),
      observadorMudo());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Max Min 7 5\nMax Min 3e+06 -2e+06\n");
  const auto* c = dynamic_cast<const CorteDouble*>(v->corte(0));
  EXPECT_EQ(c->minimoDouble(), 5.0);
  EXPECT_EQ(c->maximoDouble(), 7.0);
  // A sample that is not a number changes neither limit.
  const auto* d = dynamic_cast<const CorteDouble*>(w->corte(0));
  EXPECT_EQ(d->minimoDouble(), -2e6);
  EXPECT_EQ(d->maximoDouble(), 3e6);
}

TEST_F(Adquisicion, RadiografiaXDASSeEstiraA16Bits) {
  // 2 channels x 3 projections.
  const std::string f = escribeEn(dir, "r.bin",
                                  ficheroXDAS({1000.0, 3000.0, 2000.0, 1500.0, 2999.9, 1000.5}, Trailer(32000, 2, 3)));
  ::testing::internal::CaptureStdout();
  auto v = leerRadiografiaXDAS(lista({f}), observadorMudo());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Max Min 3000 1000\n");
  EXPECT_EQ(dynamic_cast<CuboSinograma*>(v.get()), nullptr);
  EXPECT_EQ(v->geometria()->ancho(), 3);
  EXPECT_EQ(v->geometria()->alto(), 2);
  // The scale rounds to 32.7675018 in single precision.
  EXPECT_THAT(ushortDe(*v, 0), ElementsAre(0, 65535, 32767, 16383, 65531, 16));
  EXPECT_EQ(v->corte(0)->minimo(), 0);
  EXPECT_EQ(v->corte(0)->maximo(), 65535);
  const AttributeMap a = v->atributos();
  EXPECT_EQ(a.at("ST"), "0.5");
  EXPECT_EQ(a.at("PixelDimx"), "0.2");
  EXPECT_EQ(a.at("PixelDimy"), "0.5");
  EXPECT_EQ(a.at("PixelDimz"), "0.5");
  EXPECT_EQ(a.at("FileName"), f);
}

TEST_F(Adquisicion, RadiografiaXDASCasosDeLimites) {
  struct Caso {
    const char* nombre;
    std::vector<double> muestras;
    std::vector<uint16_t> esperadas;
    const char* salida;
  };
  const Caso casos[] = {
      {"iguales", {7.0, 7.0, 7.0}, {0, 0, 0}, "Max Min 7 7\n"},
      // The limits are truncated before the difference: 1.9 counts as 1.
      {"truncados", {1.9, 3.0, 2.0}, {29490, 65535, 32767}, "Max Min 3 1\n"},
      // A sample that is not a number gives 0, the others keep their scale.
      {"noNumero", {0.0, std::nan(""), 10.0}, {0, 0, 65535}, "Max Min 10 0\n"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    const std::string f = escribeEn(dir, std::string(c.nombre) + ".bin",
                                    ficheroXDAS(c.muestras, Trailer(32000, double(c.muestras.size()), 1)));
    ::testing::internal::CaptureStdout();
    auto v = leerRadiografiaXDAS(lista({f}), observadorMudo());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.salida);
    EXPECT_EQ(ushortDe(*v, 0), c.esperadas);
  }
}

TEST_F(Adquisicion, FlatPanelSeTransponeYGuardaSusDesplazamientos) {
  const int a = 10, b = 20, c = 30, d = 40000;
  const std::string f1 = escribeEn(dir, "p1.bin", ficheroFP({a, b, c, d}, Trailer(32002, 2, 0).con(8, 7.5)));
  const std::string f2 = escribeEn(dir, "p2.bin", ficheroFP({5, 6, 7, 8}, Trailer(32002, 2, 0)));
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = leerRadiografiaFP(lista({f1, f2}), o);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Girar Corte\nGirar Corte\n");
  EXPECT_EQ(v->geometria()->ancho(), 2);
  EXPECT_EQ(v->geometria()->alto(), 2);
  EXPECT_THAT(ushortDe(*v, 0), ElementsAre(a, c, b, d));
  EXPECT_THAT(ushortDe(*v, 1), ElementsAre(5, 7, 6, 8));
  // Unsigned comparison: 40000 is the highest.
  EXPECT_EQ(v->corte(0)->minimo(), 10);
  EXPECT_EQ(v->corte(0)->maximo(), 40000);
  EXPECT_EQ(v->desplazamientoH(), 7);
  EXPECT_EQ(v->desplazamientoV(), 500);
  const AttributeMap m = v->atributos();
  EXPECT_EQ(m.at("ST"), "0.5");
  EXPECT_EQ(m.at("PixelDimx"), "0.2");
  EXPECT_EQ(m.at("PixelDimy"), "0.2");
  EXPECT_EQ(m.at("PixelDimz"), "1");
  EXPECT_EQ(m.at("FileName"), f1);
  EXPECT_FLOAT_EQ(v->distanciaFocoDetector(), 600.0f);
  EXPECT_THAT(o.valores, ElementsAre(1, 2));
}

TEST_F(Adquisicion, FlatPanelTransponeUnaImagenMayor) {
  // 3 x 3: the sample of file row r and column c lands at c * 3 + r.
  auto v = leerRadiografiaFP(
      lista({escribeEn(dir, "p.bin", ficheroFP({0, 1, 2, 3, 4, 5, 6, 7, 8}, Trailer(32002, 3, 99)))}),
      observadorMudo());
  EXPECT_THAT(ushortDe(*v, 0), ElementsAre(0, 3, 6, 1, 4, 7, 2, 5, 8));

  // Wider than a few tiles of the transposition, and not a multiple of them.
  const int lado = 130;
  std::vector<int> m(lado * lado);
  for (std::size_t k = 0; k < m.size(); ++k) m[k] = int((k * 37) % 65536);
  auto w = leerRadiografiaFP(lista({escribeEn(dir, "g.bin", ficheroFP(m, Trailer(32002, lado, 0)))}), observadorMudo());
  const std::vector<uint16_t> t = ushortDe(*w, 0);
  ASSERT_EQ(t.size(), m.size());
  for (int r = 0; r < lado; ++r)
    for (int c = 0; c < lado; ++c) ASSERT_EQ(t[c * lado + r], m[r * lado + c]) << r << ", " << c;
}

TEST_F(Adquisicion, DesplazamientosDelFlatPanel) {
  struct Caso {
    double offset;
    int h, v;
  };
  const Caso casos[] = {{7.5, 7, 500},    {12.345, 12, 345}, {0.0, 0, 0},
                        {-7.5, -8, 500},  {3.0, 3, 0},       {std::nan(""), INT32_MIN, INT32_MIN},
                        {1e30, INT32_MIN, 0}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.offset);
    auto v = leerRadiografiaFP(
        lista({escribeEn(dir, "p.bin", ficheroFP({1}, Trailer(32002, 1, 0).con(8, c.offset)))}), observadorMudo());
    EXPECT_EQ(v->desplazamientoH(), c.h);
    EXPECT_EQ(v->desplazamientoV(), c.v);
  }
}

TEST(TextoCabeceraAdquisicion, TodasLasEtiquetasEnOrden) {
  TrailerAdquisicion t{};
  for (int i = 0; i < 16; ++i) t[i] = 100 + i;
  t[1] = 1024;
  t[2] = 720;
  t[5] = 0.2;
  t[7] = 1234567;
  t[8] = 12.345;
  const QString esperado = QStringLiteral(
      "Numero de Canales: 1024\nNumero de Proyecciones: 720\nCortes Seleccionado: 104\n"
      "Pixel Size(mm): 0.2\nSlice Thickness/Pixel Size Vertical (mm): 106\n"
      "Posición Vertical Inicial (mm): 1.23457e+06\nOffset (mm): 12.345\nKV: 109\nmA: 110\n"
      "Distancia foco-objeto (mm): 111\nDistancia foco-detector (mm): 112\nFoco: 113\n"
      "Tiempo de Integración (ms): 114\nPresencia de Filtros: 115");
  EXPECT_EQ(textoCabeceraAdquisicion(t), esperado);
  EXPECT_TRUE(esperado.contains(QChar(0xF3)));
}

TEST_F(Adquisicion, CadaLectorGuardaLaCabeceraYEscribeSuRegistro) {
  struct Caso {
    const char* nombre;
    std::function<std::unique_ptr<Cubo>(const QStringList&)> lee;
    Bytes fichero;
    QStringList registro;
  };
  const Trailer t = Trailer(32001, 2, 1).con(8, 7.5);
  const Caso casos[] = {
      {"sinograma", [](const QStringList& l) { return leerSinogramaXDAS(l, observadorMudo()); },
       ficheroXDAS({1, 2}, t),
       {"Leyendo Sinograma XDAS", "/////////// Lectura ///////////", "canales=  2", "proy=  1", "cortes=  1",
        "tam_pixel=  0.2", "pasoVert=  0.5", "offset=  7.5", "dfo=  300", "dfdet=  600",
        "//////////////////////////////"}},
      {"radiografia", [](const QStringList& l) { return leerRadiografiaXDAS(l, observadorMudo()); },
       ficheroXDAS({1, 2}, t),
       {"Leyendo Radiografia XDAS", "/////////// Lectura ///////////", "canales=  2", "proy=  1", "cortes=  1",
        "tam_pixel=  0.2", "pasoVert=  0.5", "dfo=  300", "dfdet=  600", "//////////////////////////////"}},
      // The flat panel is square: its projection line shows the channels.
      {"flatPanel", [](const QStringList& l) { return leerRadiografiaFP(l, observadorMudo()); },
       ficheroFP({1, 2, 3, 4}, t),
       {"Leyendo Radiografia Flat-Panel", "/////////// Lectura ///////////", "canales=  2", "proy=  2",
        "cortes=  1", "tam_pixel=  0.2", "pasoVert=  0.5", "dfo=  300", "dfdet=  600", "Offset H=  7",
        "Offset V=  500", "//////////////////////////////"}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    const std::string f = escribeEn(dir, std::string(c.nombre) + ".bin", c.fichero);
    RegistroDebug registro;
    ::testing::internal::CaptureStdout();
    auto v = c.lee(lista({f}));
    ::testing::internal::GetCapturedStdout();
    QStringList esperado = c.registro;
    esperado << QString::fromStdString(f);
    EXPECT_EQ(RegistroDebug::lineas(), esperado);
    TrailerAdquisicion ta;
    std::copy(t.v.begin(), t.v.end(), ta.begin());
    EXPECT_EQ(v->textoCabecera(), textoCabeceraAdquisicion(ta));
  }
}

// --- Files that must not give a volume, or give one with a warning ---------

using Lector = std::function<std::unique_ptr<Cubo>(const QStringList&, ObservadorLectura&)>;
struct LectorConNombre {
  const char* nombre;
  Lector lee;
  int bytesMuestra;  // on disk
  bool cuadrado;     // the flat panel has channels x channels samples
};
void PrintTo(const LectorConNombre& l, std::ostream* os) { *os << l.nombre; }

const LectorConNombre kLectores[] = {
    {"sinoXDAS", [](const QStringList& l, ObservadorLectura& o) { return leerSinogramaXDAS(l, o); }, 8, false},
    {"radXDAS", [](const QStringList& l, ObservadorLectura& o) { return leerRadiografiaXDAS(l, o); }, 8, false},
    {"radFP", [](const QStringList& l, ObservadorLectura& o) { return leerRadiografiaFP(l, o); }, 2, true},
};

// A file of `muestras` samples (value 1) of the reader's width, then the trailer.
Bytes fichero(const LectorConNombre& l, std::size_t muestras, const Trailer& t) {
  return Bytes(muestras * std::size_t(l.bytesMuestra), 0) + bytesTrailer(t);
}

struct CasoHostil {
  const char* nombre;
  // Writes the files into the folder, returns the list to open.
  std::function<std::vector<std::string>(const QTemporaryDir&, const LectorConNombre&)> prepara;
  const char* error;  // expected reason, or nullptr when a volume results
  const char* aviso;  // expected warning, or nullptr when none
};
void PrintTo(const CasoHostil& c, std::ostream* os) { *os << c.nombre; }

std::function<std::vector<std::string>(const QTemporaryDir&, const LectorConNombre&)> unFichero(
    double canales, double proyecciones, std::size_t muestras) {
  return [=](const QTemporaryDir& d, const LectorConNombre& l) {
    return std::vector<std::string>{escribeEn(d, "f.bin", fichero(l, muestras, Trailer(32001, canales, proyecciones)))};
  };
}

class AdquisicionHostil : public ::testing::TestWithParam<std::tuple<LectorConNombre, CasoHostil>> {};

TEST_P(AdquisicionHostil, ErrorClaroOResultadoSano) {
  const auto& [lector, caso] = GetParam();
  QTemporaryDir dir;
  const std::vector<std::string> rutas = caso.prepara(dir, lector);
  const std::string refusada = esperaErrorOAviso([&](ObservadorLectura& o) { return lector.lee(lista(rutas), o); },
                                                 caso.error, caso.aviso, int(rutas.size()));
  if (caso.error) {
    EXPECT_EQ(refusada, rutas.front());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, AdquisicionHostil,
    ::testing::Combine(
        ::testing::ValuesIn(kLectores),
        ::testing::Values(
            CasoHostil{"noExiste", [](const QTemporaryDir& d, const LectorConNombre&) {
                         return std::vector<std::string>{ruta(d, "nada.bin")};
                       }, "cannot be opened", nullptr},
            CasoHostil{"carpeta", [](const QTemporaryDir& d, const LectorConNombre&) {
                         return std::vector<std::string>{d.path().toStdString()};
                       }, "cannot be opened", nullptr},
            CasoHostil{"menorQueElTrailer", [](const QTemporaryDir& d, const LectorConNombre&) {
                         return std::vector<std::string>{escribeEn(d, "f.bin", Bytes(127, 1))};
                       }, "fewer than its 128-byte acquisition trailer", nullptr},
            CasoHostil{"vacio", [](const QTemporaryDir& d, const LectorConNombre&) {
                         return std::vector<std::string>{escribeEn(d, "f.bin", Bytes{})};
                       }, "holds 0 bytes", nullptr},
            CasoHostil{"billonDeCanales", unFichero(1e12, 1, 4), "1e+12 channels", nullptr},
            CasoHostil{"canalesNoNumero", unFichero(std::nan(""), 1, 4), "nan channels", nullptr},
            CasoHostil{"canalesInfinitos", unFichero(std::numeric_limits<double>::infinity(), 1, 4),
                       "inf channels", nullptr},
            CasoHostil{"canalesNegativos", unFichero(-4, 1, 4), "-4 channels", nullptr},
            CasoHostil{"canalesCero", unFichero(0, 1, 4), "0 channels", nullptr},
            CasoHostil{"medioCanal", unFichero(0.5, 1, 4), "0.5 channels", nullptr},
            // Far more samples than the 1 KB file holds.
            CasoHostil{"enorme", unFichero(60000, 60000, 128), "the header is corrupt", nullptr},
            // Some 17 MB and more of zeros for a file with no sample at all.
            CasoHostil{"sinMuestrasYMuchasPedidas", unFichero(2100, 2100, 0), "the header is corrupt", nullptr},
            CasoHostil{"corto", unFichero(4, 4, 5), nullptr, "the missing samples are 0"},
            CasoHostil{"largo", unFichero(2, 2, 9), nullptr, "the rest is ignored"},
            CasoHostil{"segundoNoExiste", [](const QTemporaryDir& d, const LectorConNombre& l) {
                         return std::vector<std::string>{escribeEn(d, "a.bin", fichero(l, 4, Trailer(32001, 2, 2))),
                                                         ruta(d, "nada.bin")};
                       }, nullptr, "cannot be opened; its slice is 0"},
            CasoHostil{"segundoSinMuestras", [](const QTemporaryDir& d, const LectorConNombre& l) {
                         return std::vector<std::string>{escribeEn(d, "a.bin", fichero(l, 4, Trailer(32001, 2, 2))),
                                                         escribeEn(d, "b.bin", Bytes(10, 1))};
                       }, nullptr, "holds 0 of the"},
            // Sizes that are not numbers are only shown; the volume still opens.
            CasoHostil{"tamanosNoNumero", [](const QTemporaryDir& d, const LectorConNombre& l) {
                         Trailer t(32001, 2, 2);
                         t.con(5, std::nan("")).con(6, -1).con(11, std::numeric_limits<double>::infinity()).con(12, 0);
                         return std::vector<std::string>{escribeEn(d, "f.bin", fichero(l, 4, t))};
                       }, nullptr, nullptr})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).nombre) + "_" + std::get<1>(info.param).nombre;
    });

TEST_F(Adquisicion, FicheroCortoSeLeeHastaDondeLlegaConElRestoCero) {
  // 2 x 2 samples claimed, two and three bytes of a third written: the cut
  // sample is 0 and the trailer is never taken for samples.
  const Bytes b = dobles({4.0, 9.0}) + Bytes{0xAB, 0xCD, 0x3F} + bytesTrailer(Trailer(32001, 2, 2));
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = leerSinogramaXDAS(lista({escribeEn(dir, "c.bin", b)}), o);
  ::testing::internal::GetCapturedStdout();
  EXPECT_THAT(dobleDe(*v, 0), ElementsAre(4.0, 9.0, 0.0, 0.0));
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], HasSubstr("16 of the 32 bytes"));

  const std::vector<std::string> dos = {escribeEn(dir, "a.bin", ficheroFP({1, 2, 3, 4}, Trailer(32002, 2, 0))),
                                        ruta(dir, "falta.bin")};
  ObservadorGrabador p;
  ::testing::internal::CaptureStdout();
  auto w = leerRadiografiaFP(lista(dos), p);
  ::testing::internal::GetCapturedStdout();
  EXPECT_THAT(ushortDe(*w, 1), ElementsAre(0, 0, 0, 0));
  EXPECT_EQ(w->corte(1)->minimo(), 0);
  EXPECT_EQ(w->corte(1)->maximo(), 0);
  ASSERT_EQ(p.avisos.size(), 1u);
  EXPECT_THAT(p.avisos[0], HasSubstr("falta.bin"));
}

TEST(AdquisicionSinLista, ListaVaciaEsUnError) {
  for (const auto& l : kLectores) EXPECT_THROW(l.lee(QStringList{}, observadorMudo()), ErrorLectura) << l.nombre;
}

}  // namespace

namespace {

TEST(AdquisicionAvisos, MuchosFicherosCortosNoDanUnAvisoPorFichero) {
  QTemporaryDir dir;
  struct Caso {
    int cortos;
    std::size_t avisos;
  };
  // Up to four short files are told one by one; more, the first three and one line.
  for (const Caso& c : {Caso{0, 0}, Caso{4, 4}, Caso{6, 4}}) {
    SCOPED_TRACE(c.cortos);
    std::vector<std::string> rutas{escribeEn(dir, "a.bin", ficheroXDAS({1, 2, 3, 4}, Trailer(32001, 2, 2)))};
    for (int i = 0; i < c.cortos; ++i)
      rutas.push_back(escribeEn(dir, "c" + std::to_string(i) + ".bin", ficheroXDAS({1}, Trailer(32001, 2, 2))));
    ObservadorGrabador o;
    ::testing::internal::CaptureStdout();
    auto v = leerSinogramaXDAS(lista(rutas), o);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(v->numCortes(), 1 + c.cortos);
    ASSERT_EQ(o.avisos.size(), c.avisos);
    if (c.cortos == 6) {
      EXPECT_THAT(o.avisos[2], HasSubstr("c2.bin: the file is short"));
      EXPECT_THAT(o.avisos[3], HasSubstr("c3.bin: and 3 more files of the list were not read whole"));
    }
  }
}

}  // namespace
