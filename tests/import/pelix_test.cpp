#include "pelix.h"

#include <cmath>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "errores.h"
#include "ficheros_crudos.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// Samples followed by the seven header values.
std::vector<double> pelix(std::vector<double> muestras, const std::vector<double>& cabecera) {
  muestras.insert(muestras.end(), cabecera.begin(), cabecera.end());
  return muestras;
}

std::vector<double> rampa(std::size_t n, double paso = 0.25) {
  std::vector<double> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = double(i) * paso;
  return v;
}

std::vector<double> muestrasDe(const Cubo& v, int i) {
  const auto* c = dynamic_cast<const CorteDouble*>(v.corte(i));
  EXPECT_NE(c, nullptr);
  if (!c) return {};
  return std::vector<double>(c->datos(), c->datos() + c->numMuestras());
}

class LectorPelix : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::unique_ptr<CuboSinograma> lee(const std::vector<std::vector<double>>& ficheros,
                                     ObservadorLectura& o = observadorMudo()) {
    std::vector<std::string> rutas;
    for (std::size_t i = 0; i < ficheros.size(); ++i)
      rutas.push_back(escribeEn(dir, "p" + std::to_string(i) + ".raw", dobles(ficheros[i])));
    return leerPelixOld(lista(rutas), o);
  }
};

TEST_F(LectorPelix, DiezMilDoblesEnLosDosModos) {
  struct Caso {
    double modo;
    const char *x, *y, *st;
  };
  for (const Caso& c : {Caso{5, "0.2", "0.2", "0.5"}, Caso{0, "0.5", "0.2", "1"}}) {
    SCOPED_TRACE(c.modo);
    // 9,993 samples and the header: 10,000 doubles.
    auto v = lee({pelix(rampa(9993), {100, 0, c.modo, 0.2, 0.5, 300, 600})});
    EXPECT_EQ(v->geometria()->alto(), 100);
    EXPECT_EQ(v->geometria()->ancho(), 99);
    EXPECT_EQ(v->numCortes(), 1);
    const AttributeMap a = v->atributos();
    EXPECT_EQ(a.at("PixelDimx"), c.x);
    EXPECT_EQ(a.at("PixelDimy"), c.y);
    EXPECT_EQ(a.at("ST"), c.st);
    EXPECT_EQ(a.at("PixelDimz"), "1");
    EXPECT_EQ(a.at("FileName"), ruta(dir, "p0.raw"));
    EXPECT_FLOAT_EQ(v->distanciaFocoObjeto(), 300.0f);
    EXPECT_FLOAT_EQ(v->distanciaFocoDetector(), 600.0f);
    EXPECT_TRUE(v->textoCabecera().isEmpty());
    const std::vector<double> m = muestrasDe(*v, 0);
    ASSERT_EQ(m.size(), 9900u);
    EXPECT_EQ(m[0], 0.0);
    EXPECT_EQ(m[9899], 9899 * 0.25);
    // The limits span all 9,993 samples of the file, the 93 beyond the last
    // whole column included.
    const auto* s = dynamic_cast<const CorteDouble*>(v->corte(0));
    EXPECT_EQ(s->minimoDouble(), 0.0);
    EXPECT_EQ(s->maximoDouble(), 9992 * 0.25);
  }
}

TEST_F(LectorPelix, LaCabeceraEsElUltimoPositivoSeguidoDeSeisCeros) {
  // The last value is 0: the header ends at the 200 before the six zeros, and
  // the earlier "5 then six zeros" inside the samples does not count.
  std::vector<double> f = {1, 5, 0, 0, 0, 0, 0, 0, 4, 0, 1, 0.3, 0.7, 100, 200, 0, 0, 0, 0, 0, 0};
  auto v = lee({f});
  // 21 values: 14 samples, height 4, width 3.
  EXPECT_EQ(v->geometria()->alto(), 4);
  EXPECT_EQ(v->geometria()->ancho(), 3);
  EXPECT_THAT(muestrasDe(*v, 0), ElementsAre(1, 5, 0, 0, 0, 0, 0, 0, 4, 0, 1, 0.3));
  EXPECT_EQ(v->atributos().at("PixelDimx"), "0.3");
  EXPECT_EQ(v->atributos().at("ST"), "0.7");
  EXPECT_FLOAT_EQ(v->distanciaFocoObjeto(), 100.0f);
  EXPECT_FLOAT_EQ(v->distanciaFocoDetector(), 200.0f);
  // The limits span the 14 samples (the header's first values among them).
  const auto* s = dynamic_cast<const CorteDouble*>(v->corte(0));
  EXPECT_EQ(s->minimoDouble(), 0.0);
  EXPECT_EQ(s->maximoDouble(), 100.0);
  auto grande = lee({pelix({-5e6, 7e6, 1, 2}, {2, 0, 1, 1, 1, 1, 1})});
  const auto* g = dynamic_cast<const CorteDouble*>(grande->corte(0));
  EXPECT_EQ(g->minimoDouble(), -5e6);
  EXPECT_EQ(g->maximoDouble(), 7e6);
}

TEST_F(LectorPelix, VariosFicheros) {
  ObservadorGrabador o;
  RegistroDebug registro;
  auto v = lee({pelix({1, 2, 3, 4}, {2, 0, 0, 0.1, 0.3, 10, 20}), pelix({5, 6, 7, 8}, {2, 0, 3, 0.9, 0.8, 30, 40}),
                pelix({9, 10, 11, 12}, {2, 0, -1, 7, 7, 50, 60})},
               o);
  EXPECT_EQ(v->numCortes(), 3);
  EXPECT_THAT(muestrasDe(*v, 1), ElementsAre(5, 6, 7, 8));
  EXPECT_THAT(muestrasDe(*v, 2), ElementsAre(9, 10, 11, 12));
  const AttributeMap a = v->atributos();
  // Pixel sizes from the first file; thickness from the last header that set
  // one (a negative mode sets none); distances from the last header found.
  EXPECT_EQ(a.at("PixelDimx"), "0.3");
  EXPECT_EQ(a.at("PixelDimy"), "0.1");
  EXPECT_EQ(a.at("ST"), "0.8");
  EXPECT_FLOAT_EQ(v->distanciaFocoObjeto(), 50.0f);
  EXPECT_FLOAT_EQ(v->distanciaFocoDetector(), 60.0f);
  EXPECT_EQ(o.etiqueta, "Leyendo imagenes ...");
  EXPECT_EQ(o.cancelar, "Cancelar");
  EXPECT_EQ(o.maximo, 3);
  EXPECT_THAT(o.valores, ElementsAre(1, 2, 3));
  EXPECT_EQ(o.fines, 1);
  EXPECT_THAT(o.avisos, IsEmpty());
  QStringList esperado{"Leyo imagen antes while"};
  for (int i = 0; i < 3; ++i)
    esperado << QString::fromStdString(ruta(dir, "p" + std::to_string(i) + ".raw"))
             << "SE ABRE EL FICHERO PARA LEER FORMATO PELIX";
  esperado << "2 2 0.3 0.1";
  EXPECT_EQ(RegistroDebug::lineas(), esperado);
}

// --- Files that must not give a volume, or give one with a warning ---------

struct CasoPelix {
  const char* nombre;
  std::function<std::vector<std::string>(const QTemporaryDir&)> prepara;
  const char* error;  // expected reason, or nullptr when a volume results
  const char* aviso;
};
void PrintTo(const CasoPelix& c, std::ostream* os) { *os << c.nombre; }

std::function<std::vector<std::string>(const QTemporaryDir&)> ficheros(std::vector<Bytes> contenidos) {
  return [contenidos](const QTemporaryDir& d) {
    std::vector<std::string> r;
    for (std::size_t i = 0; i < contenidos.size(); ++i)
      r.push_back(escribeEn(d, "f" + std::to_string(i) + ".raw", contenidos[i]));
    return r;
  };
}
std::function<std::vector<std::string>(const QTemporaryDir&)> uno(const std::vector<double>& v) {
  return ficheros({dobles(v)});
}
const std::vector<double> kBueno = pelix({1, 2, 3, 4}, {2, 0, 1, 0.2, 0.5, 300, 600});

class PelixHostil : public ::testing::TestWithParam<CasoPelix> {};

TEST_P(PelixHostil, ErrorClaroOResultadoSano) {
  const CasoPelix& caso = GetParam();
  QTemporaryDir dir;
  const std::vector<std::string> rutas = caso.prepara(dir);
  const std::string refusada = esperaErrorOAviso([&](ObservadorLectura& o) { return leerPelixOld(lista(rutas), o); },
                                                 caso.error, caso.aviso, int(rutas.size()));
  if (caso.error) {
    EXPECT_THAT(refusada, HasSubstr(dir.path().toStdString()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, PelixHostil,
    ::testing::Values(
        CasoPelix{"vacio", ficheros({Bytes{}}), "no sample before the seven values", nullptr},
        CasoPelix{"sieteBytes", ficheros({Bytes(7, 1)}), "no sample before the seven values", nullptr},
        CasoPelix{"soloCabecera", uno({2, 0, 1, 0.2, 0.5, 300, 600}), "no sample before", nullptr},
        CasoPelix{"noExiste", [](const QTemporaryDir& d) { return std::vector<std::string>{ruta(d, "nada.raw")}; },
                  "cannot be opened", nullptr},
        CasoPelix{"sinCabecera", uno({1, 2, 3, 4, 5, 6, 7, 8, -1}), "no Pelix header", nullptr},
        CasoPelix{"todoCeros", uno(std::vector<double>(20, 0.0)), "no Pelix header", nullptr},
        CasoPelix{"altoCero", uno(pelix({1, 2, 3, 4}, {0, 0, 1, 0.2, 0.5, 300, 600})), "(h0) of 0", nullptr},
        CasoPelix{"altoNegativo", uno(pelix({1, 2, 3, 4}, {-5, 0, 1, 0.2, 0.5, 300, 600})), "(h0) of -5", nullptr},
        CasoPelix{"altoNoNumero", uno(pelix({1, 2, 3, 4}, {std::nan(""), 0, 1, 0.2, 0.5, 300, 600})), "(h0) of nan",
                  nullptr},
        CasoPelix{"altoEnorme", uno(pelix({1, 2, 3, 4}, {1e12, 0, 1, 0.2, 0.5, 300, 600})), "(h0) of 1e+12", nullptr},
        CasoPelix{"altoMayorQueLasMuestras", uno(pelix({1, 2, 3, 4}, {5, 0, 1, 0.2, 0.5, 300, 600})),
                  "does not fit the 4 samples", nullptr},
        CasoPelix{"modoNegativo", uno(pelix({1, 2, 3, 4}, {2, 0, -1, 0.2, 0.5, 300, 600})), "mode -1", nullptr},
        CasoPelix{"modoNoNumero", uno(pelix({1, 2, 3, 4}, {2, 0, std::nan(""), 0.2, 0.5, 300, 600})), "mode -2147483648",
                  nullptr},
        CasoPelix{"ultimoNoExiste",
                  [](const QTemporaryDir& d) {
                    return std::vector<std::string>{escribeEn(d, "a.raw", dobles(kBueno)), ruta(d, "nada.raw")};
                  },
                  "cannot be opened", nullptr},
        CasoPelix{"intermedioNoExiste",
                  [](const QTemporaryDir& d) {
                    return std::vector<std::string>{escribeEn(d, "a.raw", dobles(kBueno)), ruta(d, "nada.raw"),
                                                    escribeEn(d, "c.raw", dobles(kBueno))};
                  },
                  nullptr, "cannot be opened; its slice is 0"},
        // The last file sets the samples of all: 40 empty files before a 20 MB one.
        CasoPelix{"muchosVaciosAntesDeUnoGrande",
                  [](const QTemporaryDir& d) {
                    std::vector<std::string> r;
                    for (int i = 0; i < 40; ++i) r.push_back(escribeEn(d, "v" + std::to_string(i) + ".raw", Bytes{}));
                    std::vector<double> grande(2500000, 1.0);
                    grande.insert(grande.end(), {1000, 0, 1, 0.2, 0.5, 300, 600});
                    r.push_back(escribeEn(d, "grande.raw", dobles(grande)));
                    return r;
                  },
                  "far smaller than the last", nullptr},
        CasoPelix{"primeroCorto", ficheros({dobles(pelix({1, 2}, {1, 0, 1, 1, 1, 1, 1})), dobles(kBueno)}), nullptr,
                  "holds 2 of the 4 samples"},
        CasoPelix{"primeroLargo", ficheros({dobles(pelix({1, 2, 3, 4, 5, 6}, {2, 0, 1, 1, 1, 1, 1})), dobles(kBueno)}),
                  nullptr, "the rest is ignored"},
        // Bytes beyond the last whole double are not a value.
        CasoPelix{"bytesSueltos", ficheros({dobles(kBueno) + Bytes(5, 0xFF)}), nullptr, nullptr},
        CasoPelix{"muestrasNoNumero", uno(pelix({std::nan(""), 1, HUGE_VAL, -HUGE_VAL}, {2, 0, 1, 0.2, 0.5, 300, 600})),
                  nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(LectorPelixSinLista, ListaVaciaEsUnError) {
  EXPECT_THROW(leerPelixOld(QStringList{}, observadorMudo()), ErrorLectura);
}

TEST_F(LectorPelix, FicheroQueNoSeAbreDejaSuCorteACeroYLoDice) {
  const std::string a = escribeEn(dir, "a.raw", dobles(kBueno));
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = leerPelixOld(lista({a, ruta(dir, "nada.raw"), a}), o);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "NO SE PUEDE ABRIR EL FICHERO");
  EXPECT_THAT(muestrasDe(*v, 1), ElementsAre(0, 0, 0, 0));
  EXPECT_THAT(muestrasDe(*v, 2), ElementsAre(1, 2, 3, 4));
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], HasSubstr("nada.raw"));
}

}  // namespace
