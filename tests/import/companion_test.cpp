#include "companion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ficheros_prueba.h"

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// Found by argument lookup from the matchers, so beside Punto.
bool operator==(const Punto& a, const Punto& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
void PrintTo(const Punto& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ", " << p.z << ")"; }

namespace {

TEST(NombreFicheroDatos, BuscaTxtYLuegoDat) {
  struct Caso {
    const char* elegido;
    std::vector<const char*> presentes;
    const char* esperado;  // nullptr: " "
  };
  const Caso casos[] = {
      {"scan.his", {"scan.txt"}, "scan.txt"},
      {"scan.his", {"scan.dat"}, "scan.dat"},
      {"scan.his", {"scan.txt", "scan.dat"}, "scan.txt"},
      {"scan.his", {}, nullptr},
      {"scan.hdr", {"scan.img"}, nullptr},
      // The chosen file is never its own point file.
      {"scan.dat", {}, nullptr},
      {"scan.dat", {"scan.txt"}, "scan.txt"},
      {"scan.txt", {}, nullptr},
      {"scan.txt", {"scan.dat"}, "scan.dat"},
  };
  for (const Caso& c : casos) {
    QTemporaryDir dir;
    SCOPED_TRACE(c.elegido);
    escribeTexto(ruta(dir, c.elegido), "x");
    for (const char* p : c.presentes) escribeTexto(ruta(dir, p), "0\n");
    const QString n = nombreFicheroDatos({QString::fromStdString(ruta(dir, c.elegido))});
    EXPECT_EQ(n, c.esperado ? QString::fromStdString(ruta(dir, c.esperado)) : QStringLiteral(" "));
  }
}

TEST(NombreFicheroDatos, SoloParaUnUnicoFichero) {
  QTemporaryDir dir;
  escribeTexto(ruta(dir, "a.txt"), "0\n");
  escribeTexto(ruta(dir, "b.txt"), "0\n");
  QDir(dir.path()).mkdir("c.txt");
  const QString a = QString::fromStdString(ruta(dir, "a.hdr"));
  const QString b = QString::fromStdString(ruta(dir, "b.hdr"));
  EXPECT_EQ(nombreFicheroDatos({a, b}), " ");
  EXPECT_EQ(nombreFicheroDatos({}), " ");
  // A folder of that name is not a file to read.
  EXPECT_EQ(nombreFicheroDatos({QString::fromStdString(ruta(dir, "c.hdr"))}), " ");
}

struct CasoDatos {
  const char* nombre;
  std::string contenido;
  int numPuntos;               // -1: refused
  std::vector<Punto> puntos;
  const char* aviso = nullptr;
};
void PrintTo(const CasoDatos& c, std::ostream* os) { *os << c.nombre; }

class FicheroDatos : public ::testing::TestWithParam<CasoDatos> {};

TEST_P(FicheroDatos, Lee) {
  const CasoDatos& c = GetParam();
  QTemporaryDir dir;
  const std::string f = ruta(dir, "scan.txt");
  escribeTexto(f, c.contenido);
  ObservadorGrabador o;
  auto borde = leerFicheroDatos(QString::fromStdString(f), o);
  if (c.numPuntos < 0) {
    EXPECT_EQ(borde, nullptr);
    ASSERT_EQ(o.avisos.size(), 1u);
    EXPECT_THAT(o.avisos[0], HasSubstr(f));
    EXPECT_THAT(o.avisos[0], HasSubstr(c.aviso));
    return;
  }
  ASSERT_NE(borde, nullptr);
  EXPECT_TRUE(o.avisos.empty());
  EXPECT_EQ(borde->numPuntos(), c.numPuntos);
  EXPECT_THAT(borde->puntos(), ElementsAreArray(c.puntos));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, FicheroDatos,
    ::testing::Values(
        CasoDatos{"blancos", "3\n1 2 3\n-4 5 6\n7 8 9\n", 3, {{1, 2, 3}, {-4, 5, 6}, {7, 8, 9}}},
        CasoDatos{"tabuladores", "2\n1\t2\t3\n4\t5\t6", 2, {{1, 2, 3}, {4, 5, 6}}},
        CasoDatos{"finDeLineaWindows", "2\r\n1 2 3\r\n4 5 6\r\n", 2, {{1, 2, 3}, {4, 5, 6}}},
        CasoDatos{"comasNoLeeNada", "2\n1,2,3\n4,5,6\n", 2, {{0, 0, 0}, {0, 0, 0}}},
        CasoDatos{"lineasDeMasSeIgnoran", "1\n1 2 3\n4 5 6\n", 1, {{1, 2, 3}}},
        CasoDatos{"menosLineasQuePuntos", "3\n100 200 300\n400 500 600\n", 3,
                  {{100, 200, 300}, {400, 500, 600}, {0, 0, 0}}},
        CasoDatos{"lineaFinalEnBlanco", "2\n100 200 300\n\n", 2, {{100, 200, 300}, {0, 0, 0}}},
        // Three points could never fit in what follows line 1.
        CasoDatos{"cuentaMayorQueElFichero", "3\n1 2 3\n4 5 6\n", -1, {}, "larger than the file"},
        CasoDatos{"cero", "0\n", 0, {}},
        CasoDatos{"ceroVacio", "0", 0, {}},
        // Leading white space and a sign are taken; what follows the digits is not.
        CasoDatos{"comoStoi", " +2x\n1 2abc 3.9\n+4 -5 6\n", 2, {{1, 2, 3}, {4, -5, 6}}},
        CasoDatos{"extremos32", "1\n2147483647 -2147483648 0\n", 1, {{2147483647, -2147483648, 0}}},
        CasoDatos{"vacio", "", -1, {}, "not a number"},
        CasoDatos{"cuentaNoNumero", "abc\n1 2 3\n", -1, {}, "not a number"},
        CasoDatos{"cuentaNegativa", "-1\n1 2 3\n", -1, {}, "negative"},
        CasoDatos{"cuentaFueraDe32", "99999999999\n1 2 3\n", -1, {}, "not a number"},
        CasoDatos{"cuentaAbsurda", "2000000000\n1 2 3\n", -1, {}, "larger than the file"},
        CasoDatos{"dosBlancosSeguidos", "1\n1  2 3\n", -1, {}, "not a number"},
        CasoDatos{"campoNoNumero", "2\n1 2 3\nx 5 6\n", -1, {}, "not a number"},
        CasoDatos{"campoFueraDe32", "1\n1 2 3000000000\n", -1, {}, "not a number"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(FicheroDatosMaximos, SeCalculanAlLeer) {
  QTemporaryDir dir;
  const std::string f = ruta(dir, "p.txt");
  escribeTexto(f, "2\n3 -2 1\n-5 7 0\n");
  auto borde = leerFicheroDatos(QString::fromStdString(f), observadorMudo());
  ASSERT_NE(borde, nullptr);
  EXPECT_EQ(borde->maxX(), 3);
  EXPECT_EQ(borde->maxY(), 7);
  EXPECT_EQ(borde->maxZ(), 1);
}

TEST(FicheroDatosMaximos, FicheroQueNoSeAbreSeAvisa) {
  ObservadorGrabador o;
  EXPECT_EQ(leerFicheroDatos(QStringLiteral("/no/such/point.txt"), o), nullptr);
  EXPECT_EQ(o.avisos.size(), 1u);
}

}  // namespace
