#include "dicom.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "apertura.h"
#include "carpeta.h"
#include "dicom_prueba.h"
#include "errores.h"
#include "ficheros_prueba.h"

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// A folder of DICOM files written by the test, read through both entry points.
class SerieDicom : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QStringList rutas;

  // A 2 x 3 image whose every sample is `valor`.
  static ImagenDicom plana(int valor) {
    ImagenDicom im;
    im.pixeles.assign(6, valor);
    return im;
  }
  std::string pon(const std::string& nombre, const ImagenDicom& im) {
    const std::string r = ruta(dir, nombre);
    EXPECT_TRUE(escribeDicom(r, im)) << r;
    rutas << QString::fromStdString(r);
    return r;
  }
  void ponTexto(const std::string& nombre, const std::string& contenido) {
    escribeTexto(ruta(dir, nombre), contenido);
    rutas << QString::fromStdString(ruta(dir, nombre));
  }
  // Runs a reader with its standard streams captured.
  template <class F>
  auto callado(F f) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    try {
      auto r = f();
      salida = ::testing::internal::GetCapturedStdout();
      error = ::testing::internal::GetCapturedStderr();
      return r;
    } catch (...) {
      salida = ::testing::internal::GetCapturedStdout();
      error = ::testing::internal::GetCapturedStderr();
      throw;
    }
  }
  LecturaDicom serie(ObservadorLectura& o = observadorMudo()) {
    return callado([&] { return leerSerieDicom(rutas, o); });
  }
  LecturaDicom carpeta(ObservadorLectura& o = observadorMudo()) {
    return callado([&] { return leerCarpetaDicom(rutas, o); });
  }
  std::string salida, error;
};

std::vector<int> muestrasDe(const Corte* c) {
  const Muestras<int32_t> m = c->comoInt();
  return std::vector<int>(m.begin(), m.end());
}

// The first sample of every slice, in volume order.
std::vector<int> primeras(const Cubo& v) {
  std::vector<int> r;
  for (int i = 0; i < v.numCortes(); ++i) r.push_back(v.corte(i)->comoInt()[0]);
  return r;
}

TEST_F(SerieDicom, OrdenPorNumeroDeInstanciaYElPrimeroDeUnNumeroGana) {
  struct Caso {
    std::vector<const char*> numeros;
    std::vector<int> esperado;  // the value written by file k is 10 * (k + 1)
    std::size_t avisos;
  };
  const std::vector<Caso> casos = {
      {{"3", "1", "2"}, {20, 30, 10}, 0},
      {{"2", "1", "2"}, {20, 10}, 1},
      {{" 7", "-2", "7 "}, {20, 10}, 1},  // padded and negative numbers
      {{"5"}, {10}, 0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(::testing::PrintToString(c.esperado));
    rutas.clear();
    for (std::size_t k = 0; k < c.numeros.size(); ++k) {
      ImagenDicom im = plana(10 * int(k + 1));
      im.instancia = c.numeros[k];
      pon("o" + std::to_string(k) + ".dcm", im);
    }
    ObservadorGrabador o;
    const LecturaDicom l = serie(o);
    ASSERT_NE(l.cubo, nullptr);
    EXPECT_EQ(l.cubo->numCortes(), int(c.esperado.size()));
    EXPECT_EQ(primeras(*l.cubo), c.esperado);
    ASSERT_EQ(o.avisos.size(), c.avisos);
    if (c.avisos) {
      EXPECT_THAT(o.avisos[0], HasSubstr("Instance Number"));
    }
  }
}

TEST_F(SerieDicom, GrosorDeLasPosicionesDeCorte) {
  struct Caso {
    const char* nombre;
    std::vector<std::optional<std::string>> posiciones;
    std::optional<std::string> grosor, espaciado;
    const char* st;
    bool mensaje;  // "Error: cannot access Slice Thickness!"
  };
  const std::vector<Caso> casos = {
      {"tres posiciones", {"10", "12.5", "15"}, "5", std::nullopt, "2.5", false},
      {"desordenadas", {"15.0", "10.0", "12.5"}, "5", std::nullopt, "2.5", false},
      {"un fichero", {"10"}, "3", std::nullopt, "3", false},
      {"sin posiciones", {std::nullopt, std::nullopt}, "1.25", std::nullopt, "1.25", false},
      // A file without a position does not count as a position 0.
      {"una sin posicion", {"100", std::nullopt, "104"}, "9", std::nullopt, "4", false},
      {"posicion que no es un numero", {"10", "abc", "11"}, "9", std::nullopt, "1", false},
      {"posicion infinita", {"10", "1e999", "12"}, "9", std::nullopt, "2", false},
      {"iguales", {"7", "7"}, "0.5", std::nullopt, "0.5", false},
      {"espaciado entre cortes", {std::nullopt}, std::nullopt, "0.8", "0.8", false},
      {"grosor que no es un numero", {std::nullopt}, "n/a", "0.6", "0.6", false},
      {"sin grosor", {std::nullopt}, std::nullopt, std::nullopt, "1", true},
      {"grosor NaN", {std::nullopt}, "NaN", std::nullopt, "1", true},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    rutas.clear();
    for (std::size_t k = 0; k < c.posiciones.size(); ++k) {
      ImagenDicom im = plana(1);
      im.instancia = std::to_string(k + 1);
      im.posicion = c.posiciones[k];
      im.grosor = c.grosor;
      im.espaciadoCortes = c.espaciado;
      im.espaciadoPixel = "0.5\\0.5";
      pon(std::string(c.nombre) + std::to_string(k) + ".dcm", im);
    }
    const LecturaDicom l = serie();
    ASSERT_NE(l.cubo, nullptr);
    EXPECT_EQ(l.cubo->atributos().at("ST"), c.st);
    EXPECT_EQ(l.cubo->atributos().at("PixelDimz"), c.st);
    EXPECT_EQ(salida.find("Error: cannot access Slice Thickness!\n") != std::string::npos, c.mensaje) << salida;
    EXPECT_EQ(salida.find("Error: cannot access Pixel Spacing!"), std::string::npos);
  }
}

TEST_F(SerieDicom, EspaciadoEntreCortesDeUnaLista) {
  for (const char* p : {"10", "12.5", "15"}) {
    ImagenDicom im = plana(0);
    im.posicion = p;
    pon(std::string("e") + p + ".dcm", im);
  }
  ponTexto("notas.txt", "not a DICOM file at all, but long enough to be read as one or not");
  EXPECT_FLOAT_EQ(espaciadoEntreCortes(rutas), 2.5f);
  EXPECT_EQ(espaciadoEntreCortes({}), 0.0f);
  EXPECT_EQ(espaciadoEntreCortes(rutas.mid(0, 1)), 0.0f);
}

TEST_F(SerieDicom, EspaciadoDePixelYCabecera) {
  struct Caso {
    std::optional<std::string> texto;
    const char* esperado;
    float valor;  // what leerCabeceraDicom leaves in a value that was -1
    bool mensaje;
  };
  const std::vector<Caso> casos = {
      {"0.703125\\0.703125", "0.703125", 0.703125f, false},
      {"0.9765625\\0.5", "0.976562", 0.9765625f, false},
      {"2", "2", 2.0f, false},
      {std::nullopt, "1", -1.0f, true},
      {"NaN\\NaN", "1", -1.0f, true},
      {"abc", "1", -1.0f, true},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto.value_or("(absent)"));
    ImagenDicom im = plana(0);
    im.espaciadoPixel = c.texto;
    im.grosor = "2";
    const std::string f = ruta(dir, "p.dcm");
    ASSERT_TRUE(escribeDicom(f, im));
    rutas = {QString::fromStdString(f)};
    const LecturaDicom l = serie();
    EXPECT_EQ(l.cubo->atributos().at("PixelDimx"), c.esperado);
    EXPECT_EQ(l.cubo->atributos().at("PixelDimy"), c.esperado);
    EXPECT_EQ(salida.find("Error: cannot access Pixel Spacing!\n") != std::string::npos, c.mensaje);

    float grosor = -1, pixel = -1;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(leerCabeceraDicom(f, grosor, pixel));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(grosor, 2.0f);
    EXPECT_EQ(pixel, c.valor);
  }
  float g = 7, p = 8;
  EXPECT_FALSE(leerCabeceraDicom(ruta(dir, "no-such.dcm"), g, p));
  EXPECT_EQ(g, 7);
  EXPECT_EQ(p, 8);
}

// A 2 x 3 (Rows x Columns) image: 3 samples wide, 2 high, DICOM row r and
// column c at c * Rows + r.
TEST_F(SerieDicom, FilasYColumnasDanAltoYAncho) {
  ImagenDicom im;
  im.filas = 2;
  im.columnas = 3;
  im.representacion = 1;
  im.pixeles = {1, 2, 3, 4, 5, 6};
  im.intercepto = "0";
  pon("a.dcm", im);
  const LecturaDicom l = serie();
  EXPECT_EQ(l.cubo->geometria()->ancho(), 3);
  EXPECT_EQ(l.cubo->geometria()->alto(), 2);
  EXPECT_THAT(muestrasDe(l.cubo->corte(0)), ElementsAre(1, 4, 2, 5, 3, 6));
  EXPECT_EQ(l.cubo->corte(0)->geometria(), l.cubo->geometria());
}

// Large enough for several tiles of the transposition, and not a multiple of one.
TEST_F(SerieDicom, ImagenGrandeCadaMuestraEnSuSitio) {
  ImagenDicom im;
  im.filas = 130;
  im.columnas = 75;
  im.pixeles.clear();
  for (int r = 0; r < im.filas; ++r)
    for (int c = 0; c < im.columnas; ++c) im.pixeles.push_back(r * 200 + c);
  pon("grande.dcm", im);
  const LecturaDicom l = serie();
  const std::vector<int> m = muestrasDe(l.cubo->corte(0));
  ASSERT_EQ(m.size(), 130u * 75u);
  for (int c = 0; c < 75; ++c)
    for (int r = 0; r < 130; ++r) ASSERT_EQ(m[std::size_t(c) * 130 + r], r * 200 + c) << r << ", " << c;
}

// Both slice readers over both pixel representations: the toolkit's 16-bit
// rendering turned back into the stored values.
TEST(CorteDicom, RepresentacionDePixelEnLosDosLectores) {
  struct Caso {
    const char* nombre;
    uint16_t representacion, bitsAlmacenados;
    std::vector<int> almacenados;
    const char* intercepto;
    std::vector<int> firmado;    // leerCorteDicom, as int16
    std::vector<int> sinSigno;   // leerCorteDicomUS, as uint16
  };
  const std::vector<Caso> casos = {
      {"sin signo 12 bits", 0, 12, {0, 1, 2, 4095, 100, 2048}, "-1024",
       {-1024, 3071, -1023, -924, -1022, 1024}, {32768, 36863, 32769, 32868, 32770, 34816}},
      {"sin signo sin intercepto", 0, 12, {0, 1, 2, 4095, 100, 2048}, nullptr,
       {0, 4095, 1, 100, 2, 2048}, {32768, 36863, 32769, 32868, 32770, 34816}},
      {"con signo 16 bits", 1, 16, {-1000, 0, 1, 2, 1000, -32768}, "-24",
       {-1024, -22, -24, 976, -23, 32744}, {31768, 32770, 32768, 33768, 32769, 0}},
      {"con signo intercepto decimal", 1, 16, {-1000, 0, 1, 2, 1000, -32768}, "1.9",
       {-999, 3, 1, 1001, 2, -32767}, {31768, 32770, 32768, 33768, 32769, 0}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    QTemporaryDir dir;
    ImagenDicom im;
    im.representacion = c.representacion;
    im.bitsAlmacenados = c.bitsAlmacenados;
    im.pixeles = c.almacenados;
    if (c.intercepto) im.intercepto = c.intercepto;
    im.instancia = "42";
    im.posicion = "-7.5";
    const std::string f = ruta(dir, "c.dcm");
    ASSERT_TRUE(escribeDicom(f, im));

    int numero = 0;
    float posicion = 0;
    auto s = leerCorteDicom(f, numero, posicion);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(numero, 42);
    EXPECT_EQ(posicion, -7.5f);
    std::vector<int> firmado(s->datos(), s->datos() + 6);
    EXPECT_EQ(firmado, c.firmado);
    EXPECT_EQ(s->inferior(), *std::min_element(c.firmado.begin(), c.firmado.end()));
    EXPECT_EQ(s->superior(), *std::max_element(c.firmado.begin(), c.firmado.end()));

    auto u = leerCorteDicomUS(f, numero, posicion);
    ASSERT_NE(u, nullptr);
    std::vector<int> sinSigno(u->datos(), u->datos() + 6);
    EXPECT_EQ(sinSigno, c.sinSigno);
    EXPECT_EQ(u->minimo(), *std::min_element(c.sinSigno.begin(), c.sinSigno.end()));
    EXPECT_EQ(u->maximo(), *std::max_element(c.sinSigno.begin(), c.sinSigno.end()));
  }
}

TEST_F(SerieDicom, AtributosDeSerieYDeCarpeta) {
  for (int k = 0; k < 3; ++k) {
    ImagenDicom im = plana(100 * (k + 1));
    im.instancia = std::to_string(3 - k);
    im.posicion = std::to_string(20 + k);
    im.grosor = "1.5";
    im.espaciadoPixel = "0.703125\\0.703125";
    im.intercepto = k == 0 ? "-1024.7" : "5";
    im.relleno = k == 0 ? -2000 : 7;
    im.modalidad = k == 0 ? "CT" : "MR";
    im.posicionPaciente = k == 0 ? "HFS extra" : "FFS";
    pon("s" + std::to_string(k) + ".dcm", im);
  }
  const LecturaDicom l = serie();
  const AttributeMap a = l.cubo->atributos();
  EXPECT_EQ(a.at("ST"), "1");
  EXPECT_EQ(a.at("PixelDimz"), "1");
  EXPECT_EQ(a.at("PixelDimx"), "0.703125");
  EXPECT_EQ(a.at("PixelDimy"), "0.703125");
  EXPECT_EQ(a.at("PitchFactor"), "0");
  EXPECT_EQ(a.at("iValue"), "-3024");
  EXPECT_EQ(a.at("modality"), "CT");
  EXPECT_EQ(a.at("FileName"), dir.path().toStdString());
  EXPECT_EQ(a.size(), 8u);
  EXPECT_EQ(salida, "Patient Position HFS\n");
  EXPECT_THAT(error, IsEmpty());
  // The limits are read as unsigned 16-bit numbers: -924 counts as 64612.
  EXPECT_EQ(l.minimo, 205);
  EXPECT_EQ(l.maximo, 64612);
  EXPECT_EQ(primeras(*l.cubo), (std::vector<int>{305, 205, -924}));
  EXPECT_NE(dynamic_cast<const CorteShort*>(l.cubo->corte(0)), nullptr);

  const LecturaDicom c = carpeta();
  const AttributeMap b = c.cubo->atributos();
  EXPECT_FALSE(b.contains("iValue"));
  EXPECT_FALSE(b.contains("modality"));
  EXPECT_EQ(b.at("FileName"), dir.path().toStdString());
  EXPECT_EQ(b.size(), 6u);
  EXPECT_THAT(salida, IsEmpty());
  EXPECT_NE(dynamic_cast<const CorteUnsignedShort*>(c.cubo->corte(0)), nullptr);
  EXPECT_EQ(c.minimo, 32768 + 100);
  EXPECT_EQ(c.maximo, 32768 + 300);
}

TEST_F(SerieDicom, UnSoloFicheroDaSuNombreEntero) {
  ImagenDicom im = plana(3);
  const std::string f = pon("solo.dcm", im);
  const LecturaDicom l = serie();
  EXPECT_EQ(l.cubo->atributos().at("FileName"), f);
  EXPECT_EQ(l.cubo->atributos().at("modality"), "");
  EXPECT_EQ(l.cubo->atributos().at("iValue"), "0");
  EXPECT_EQ(salida, "Error: cannot access Slice Thickness!\nError: cannot access Pixel Spacing!\n"
                    "Patient Position \n");
}

// A colour image the grey-level decoder leaves alone: the first component of
// each pixel, Rows wide and Columns high.
TEST_F(SerieDicom, ColorTomaLaPrimeraComponente) {
  ImagenDicom im;
  im.filas = 2;
  im.columnas = 3;
  im.bitsAsignados = im.bitsAlmacenados = 8;
  im.representacion = 0;
  im.muestrasPixel = 3;
  im.fotometria = "RGB";
  im.pixeles = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  pon("rgb.dcm", im);
  const LecturaDicom l = serie();
  EXPECT_EQ(l.cubo->geometria()->ancho(), 2);
  EXPECT_EQ(l.cubo->geometria()->alto(), 3);
  EXPECT_THAT(muestrasDe(l.cubo->corte(0)), ElementsAre(1, 4, 7, 10, 13, 16));
  EXPECT_THAT(salida, HasSubstr("Second Capture Color\n"));
  const LecturaDicom c = carpeta();
  EXPECT_THAT(muestrasDe(c.cubo->corte(0)), ElementsAre(1, 4, 7, 10, 13, 16));
  EXPECT_EQ(c.minimo, 1);
  EXPECT_EQ(c.maximo, 16);
}

TEST_F(SerieDicom, FicheroQueNoEsDicomEnUnaSerieSeDejaFueraYSeDice) {
  ImagenDicom a = plana(5), b = plana(6);
  a.instancia = "1";
  b.instancia = "2";
  pon("a.dcm", a);
  ponTexto("b.txt", "notes about the series");
  pon("c.dcm", b);
  ObservadorGrabador o;
  const LecturaDicom l = serie(o);
  EXPECT_EQ(primeras(*l.cubo), (std::vector<int>{5, 6}));
  EXPECT_EQ(error, "Error reading " + ruta(dir, "b.txt") + "\n");
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], AllOf(HasSubstr("1 of 3 files gave no slice"), HasSubstr("b.txt")));
  EXPECT_EQ(o.etiqueta, "Cargando Imagenes...");
  EXPECT_THAT(o.valores, ElementsAre(0, 1, 2));
  EXPECT_EQ(o.fines, 1);
}

TEST_F(SerieDicom, UnCorteDeOtroTamanoSeDejaFuera) {
  ImagenDicom a = plana(5), b = plana(6);
  a.instancia = "2";
  b.instancia = "1";
  b.filas = 3;
  b.columnas = 2;
  pon("a.dcm", a);
  pon("b.dcm", b);
  ObservadorGrabador o;
  const LecturaDicom l = serie(o);
  EXPECT_EQ(l.cubo->numCortes(), 1);
  EXPECT_EQ(l.cubo->geometria()->ancho(), 2);
  EXPECT_EQ(primeras(*l.cubo), (std::vector<int>{6}));
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], AllOf(HasSubstr("a.dcm"), HasSubstr("not 2 x 3")));
}

TEST_F(SerieDicom, PixelDataCortoSeLeeHastaDondeLlega) {
  ImagenDicom im;
  im.pixeles = {9, 8};  // of the 6 samples of a 2 x 3 image
  pon("corto.dcm", im);
  ObservadorGrabador o;
  const LecturaDicom l = serie(o);
  EXPECT_THAT(muestrasDe(l.cubo->corte(0)), ElementsAre(9, 0, 8, 0, 0, 0));
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], AllOf(HasSubstr("corto.dcm"), HasSubstr("4 of the 12 bytes")));
}

// Files that give no slice: the reason, naming the file, and nothing more.
struct CasoHostil {
  const char* nombre;
  std::function<void(const std::string&)> escribe;
  const char* motivo;
};
void PrintTo(const CasoHostil& c, std::ostream* os) { *os << c.nombre; }

class DicomHostil : public ::testing::TestWithParam<CasoHostil> {};

void imagen(const std::string& r, std::function<void(ImagenDicom&)> cambia) {
  ImagenDicom im;
  cambia(im);
  ASSERT_TRUE(escribeDicom(r, im));
}

TEST_P(DicomHostil, UnErrorClaroQueNombraElFichero) {
  QTemporaryDir dir;
  const std::string f = ruta(dir, "h.dcm");
  GetParam().escribe(f);
  for (bool carpeta : {false, true}) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    std::string rutaError = "no error", motivo;
    try {
      const QStringList l{QString::fromStdString(f)};
      carpeta ? leerCarpetaDicom(l, observadorMudo()) : leerSerieDicom(l, observadorMudo());
    } catch (const ErrorLectura& e) {
      rutaError = e.ruta();
      motivo = e.motivo();
    }
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error reading " + f + "\n");
    EXPECT_EQ(rutaError, f);
    EXPECT_THAT(motivo, HasSubstr(GetParam().motivo));
  }
  int n = 0;
  float p = 0;
  EXPECT_THROW(leerCorteDicom(f, n, p), ErrorLectura);
}

INSTANTIATE_TEST_SUITE_P(
    Ficheros, DicomHostil,
    ::testing::Values(
        CasoHostil{"ceros", [](const std::string& r) { escribe(r, Bytes(300, 0)); }, "cannot be loaded as DICOM"},
        CasoHostil{"vacio", [](const std::string& r) { escribe(r, Bytes()); }, "cannot be loaded"},
        CasoHostil{"texto", [](const std::string& r) { escribeTexto(r, "hello, this is text\n"); },
                   "cannot be loaded"},
        CasoHostil{"sin pixel data", [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.sinPixeles = true; }); },
                   "no Pixel Data"},
        CasoHostil{"filas 0", [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.filas = 0; }); },
                   "no size (Rows 0, Columns 3)"},
        CasoHostil{"columnas 0", [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.columnas = 0; }); },
                   "no size (Rows 2, Columns 0)"},
        CasoHostil{"sin filas", [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.sinFilas = true; }); },
                   "Rows missing"},
        CasoHostil{"tamano absurdo",
                   [](const std::string& r) {
                     imagen(r, [](ImagenDicom& i) { i.filas = i.columnas = 60000; });
                   },
                   "claims 60000 x 60000 samples (7200000000 bytes) but its Pixel Data holds only 12"},
        CasoHostil{"bits asignados 0",
                   [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.bitsAsignados = 0; }); },
                   "Bits Allocated is 0"},
        CasoHostil{"bits asignados 64",
                   [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.bitsAsignados = 64; }); },
                   "Bits Allocated is 64"},
        CasoHostil{"bits almacenados de mas",
                   [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.bitsAlmacenados = 17; }); },
                   "cannot be decoded"},
        CasoHostil{"representacion 2",
                   [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.representacion = 2; }); },
                   "Pixel Representation is 2"},
        CasoHostil{"sin representacion",
                   [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.representacion.reset(); }); },
                   "Pixel Representation"},
        CasoHostil{"paleta",
                   [](const std::string& r) { imagen(r, [](ImagenDicom& i) { i.fotometria = "PALETTE COLOR"; }); },
                   "cannot be decoded"},
        CasoHostil{"color de 16 bits",
                   [](const std::string& r) {
                     imagen(r, [](ImagenDicom& i) {
                       i.fotometria = "RGB";
                       i.muestrasPixel = 3;
                       i.representacion = 0;
                       i.pixeles.assign(18, 1);
                     });
                   },
                   "cannot be decoded"},
        CasoHostil{"truncado",
                   [](const std::string& r) {
                     imagen(r, [](ImagenDicom& i) { i.pixeles.assign(600, 7); });
                     std::ifstream e(r, std::ios::binary);
                     Bytes b((std::istreambuf_iterator<char>(e)), {});
                     b.resize(b.size() - 100);
                     escribe(r, b);
                   },
                   "cannot be loaded"}),
    [](const auto& info) {
      std::string n = info.param.nombre;
      std::replace(n.begin(), n.end(), ' ', '_');
      return n;
    });

TEST_F(SerieDicom, NingunFicheroDaCorte) {
  ponTexto("a.txt", "one");
  escribe(ruta(dir, "b.dcm"), Bytes(300, 0));
  rutas << QString::fromStdString(ruta(dir, "b.dcm"));
  try {
    serie();
    FAIL() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), ruta(dir, "a.txt"));
    EXPECT_THAT(e.motivo(), AllOf(HasSubstr("none of the 2 files"), HasSubstr("b.dcm: the file cannot be loaded as DICOM")));
  }
  EXPECT_EQ(error, "Error reading " + ruta(dir, "a.txt") + "\nError reading " + ruta(dir, "b.dcm") + "\n");
  rutas.clear();
  EXPECT_THROW(serie(), ErrorLectura);
}

// The open workflow: the file choice and the folder.
TEST_F(SerieDicom, AperturaDeFicherosYDeCarpeta) {
  for (int k = 0; k < 2; ++k) {
    ImagenDicom im = plana(k == 0 ? 10 : 30);
    im.pixeles[5] = 20;
    im.instancia = std::to_string(k + 1);
    im.posicion = std::to_string(k * 2);
    im.espaciadoPixel = "0.5\\0.5";
    im.modalidad = "CT";
    im.intercepto = "0";
    pon("img" + std::to_string(k) + ".dcm", im);
  }
  RegistroDebug registro;
  ::testing::internal::CaptureStdout();
  VolumenAbierto v = abreLista(rutas, observadorMudo());
  std::string s = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(v.clave, "Dicom");
  EXPECT_EQ(v.leido, nullptr);
  const QString resumen =
      "Ancho del Corte: 2\nNumero de Cortes: 2\nAncho de la Imagen: 3\nAlto de la Imagen: 2\n"
      "Pixel x (mm): 0.5\nPixel y (mm): 0.5";
  EXPECT_EQ(v.resumen, resumen);
  EXPECT_EQ(v.display->textoCabecera(), resumen);
  EXPECT_EQ(v.inferior, 10);
  EXPECT_EQ(v.superior, 30);
  EXPECT_THAT(s, HasSubstr("Leyendo Dicom\n"));
  EXPECT_TRUE(RegistroDebug::lineas().contains("Cabecera  Dicom"));

  ::testing::internal::CaptureStdout();
  VolumenAbierto c = abreListaCarpeta(ficherosCarpeta(dir.path()), observadorMudo());
  s = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(c.clave, "Dicom");
  EXPECT_EQ(c.resumen, resumen);
  EXPECT_EQ(c.inferior, 0);
  EXPECT_EQ(c.superior, 65535);
  EXPECT_EQ(s, "Error: cannot access Slice Thickness!\nError: cannot access Slice Thickness!\nLeyendo Dicom\n");
  EXPECT_NE(dynamic_cast<const CorteUnsignedShort*>(c.display->corte(0)), nullptr);
  EXPECT_EQ(c.display->corte(1)->comoInt()[0], 32768 + 30);
}

}  // namespace
