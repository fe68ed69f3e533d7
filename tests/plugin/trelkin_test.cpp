#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <QImage>

#include "ejecucion.h"
#include "ficheros_prueba.h"
#include "parametros.h"

namespace fs = std::filesystem;

namespace {

struct Resultado {
  int estado = -1;
  std::string salida;
  std::string errores;
};

std::string lee(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string cita(const std::string& a) {
  std::string r = "'";
  for (char c : a) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

class Trelkin : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("trelkin-test-" + std::to_string(::getpid()) + "-" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  Resultado corre(const std::vector<std::string>& args) {
    std::string orden = "cd " + cita(dir_.string()) + " && " + cita(TRELKIN_EXE);
    for (const std::string& a : args) orden += " " + cita(a);
    orden += " >" + cita((dir_ / "stdout").string()) + " 2>" + cita((dir_ / "stderr").string());
    const int s = std::system(orden.c_str());
    Resultado r;
    r.estado = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    r.salida = lee(dir_ / "stdout");
    r.errores = lee(dir_ / "stderr");
    return r;
  }

  // A w x h picture of bars as raw uint16 LE; returns its samples.
  std::vector<uint16_t> crudo(const std::string& nombre, int w, int h, int semilla) {
    std::vector<uint16_t> m(static_cast<std::size_t>(w) * h);
    for (int x = 0; x < w; ++x)
      for (int y = 0; y < h; ++y)
        m[static_cast<std::size_t>(x) * h + y] =
            uint16_t((y % 9 < 2 || x == semilla) ? 40000 + x : 500 + (x * 13 + y * semilla) % 97);
    std::ofstream f(dir_ / nombre, std::ios::binary);
    for (uint16_t v : m) {
      const char b[2] = {char(v & 0xFF), char(v >> 8)};
      f.write(b, 2);
    }
    return m;
  }

  // What the pipeline gives in this process for the same slice and map.
  std::string referencia(std::vector<uint16_t>& m, int w, int h, const MapaParametros& mapa,
                         const fs::path& carpeta) {
    fs::create_directories(carpeta);
    std::cout.flush();
    testing::internal::CaptureStdout();
    Dimensiones d{w, h};
    ejecutaPipeline(m.data(), &d, mapa, carpeta.string());
    std::cout.flush();
    return testing::internal::GetCapturedStdout();
  }

  fs::path dir_;
};

TEST_F(Trelkin, UsageErrorsExitTwo) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--param", "nang=1", "x"}, {"--raw", "3", "x"}, {"-j", "0", "x"}, {"--nope", "x"}}) {
    const Resultado r = corre(args);
    EXPECT_EQ(r.estado, 2) << r.errores;
    EXPECT_TRUE(r.salida.empty());
    EXPECT_NE(r.errores.find("trelkin: "), std::string::npos);
  }
  const Resultado ayuda = corre({"--help"});
  EXPECT_EQ(ayuda.estado, 0);
  EXPECT_EQ(ayuda.salida.rfind("Usage: trelkin", 0), 0u);
}

TEST_F(Trelkin, RawInputAndOutMatchTheDetector) {
  std::vector<uint16_t> m = crudo("a.raw", 40, 30, 7);
  const Resultado r = corre({"--raw", "40x30", "--unset", "w", "--param", "nAng=32", "--out", "o.raw",
                             "--data-dir", "res", "a.raw"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_TRUE(fs::is_directory(dir_ / "res"));

  ValoresDialogo v;
  v.gradiente = false;
  v.nAngulos = 32;
  const std::string esperada = referencia(m, 40, 30, construyeMapa({}, {}, v), dir_ / "ref");
  EXPECT_EQ(r.salida, esperada);
  std::string bytes(m.size() * 2, '\0');
  for (std::size_t i = 0; i < m.size(); ++i) {
    bytes[2 * i] = char(m[i] & 0xFF);
    bytes[2 * i + 1] = char(m[i] >> 8);
  }
  EXPECT_EQ(lee(dir_ / "o.raw"), bytes);
  for (const auto& f : fs::directory_iterator(dir_ / "ref"))
    EXPECT_EQ(lee(dir_ / "res" / f.path().filename()), lee(f.path())) << f.path();
}

// Every --out kind holds the same samples; the writers' own lines stay off
// stdout.
TEST_F(Trelkin, OutWritesEveryKind) {
  std::vector<uint16_t> m = crudo("a.raw", 40, 30, 7);
  const Resultado base = corre({"--raw", "40x30", "--out", "o.raw", "a.raw"});
  ASSERT_EQ(base.estado, 0) << base.errores;
  const std::string raw = lee(dir_ / "o.raw");
  ASSERT_EQ(raw.size(), m.size() * 2);

  const Resultado hdr = corre({"--raw", "40x30", "--out", "o.hdr", "a.raw"});
  ASSERT_EQ(hdr.estado, 0) << hdr.errores;
  EXPECT_EQ(hdr.salida, base.salida);
  EXPECT_NE(hdr.errores.find("EL NOMBRE ES: "), std::string::npos) << hdr.errores;
  EXPECT_EQ(lee(dir_ / "o.hdr").size(), 348u);
  EXPECT_EQ(lee(dir_ / "o.img"), raw);

  for (const char* nombre : {"o.png", "o.tif"}) {
    const Resultado r = corre({"--raw", "40x30", "--out", nombre, "a.raw"});
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, base.salida);
    if (std::string(nombre) == "o.tif") continue;  // this Qt has no TIFF plug-in to read it back
    QImage imagen(QString::fromStdString((dir_ / nombre).string()));
    ASSERT_EQ(imagen.format(), QImage::Format_Grayscale16) << nombre;
    ASSERT_EQ(imagen.width(), 40);
    ASSERT_EQ(imagen.height(), 30);
    for (int x = 0; x < 40; ++x)
      for (int y = 0; y < 30; ++y) {
        const std::size_t i = static_cast<std::size_t>(x) * 30 + y;
        const uint16_t esperado = uint16_t(uint8_t(raw[2 * i]) | uint8_t(raw[2 * i + 1]) << 8);
        ASSERT_EQ(reinterpret_cast<const uint16_t*>(imagen.constScanLine(y))[x], esperado) << x << "," << y;
      }
  }
  EXPECT_GT(fs::file_size(dir_ / "o.tif"), raw.size());
}

TEST_F(Trelkin, RawOfTheWrongSizeIsUnreadable) {
  crudo("a.raw", 4, 4, 1);
  const Resultado r = corre({"--raw", "4x5", "a.raw"});
  EXPECT_EQ(r.estado, 1);
  EXPECT_NE(r.errores.find("a.raw: holds 32 bytes"), std::string::npos) << r.errores;
  EXPECT_TRUE(r.salida.empty());
}

// An unreadable input fails the batch but not the other inputs; each input's
// lines come whole and in input order, whatever order the runs end in.
TEST_F(Trelkin, BatchGoesOnPastAnUnreadableInput) {
  std::vector<uint16_t> a = crudo("a.raw", 40, 30, 3);
  std::vector<uint16_t> b = crudo("b.raw", 40, 30, 11);
  fs::create_directories(dir_ / "otro");
  crudo("otro/a.raw", 40, 30, 5);
  const Resultado r =
      corre({"--raw", "40x30", "-j", "2", "--data-dir", "res", "a.raw", "falta.raw", "b.raw", "otro/a.raw"});
  EXPECT_EQ(r.estado, 1);
  EXPECT_NE(r.errores.find("falta.raw: cannot open the file"), std::string::npos) << r.errores;
  EXPECT_NE(r.errores.find("[4/4]"), std::string::npos) << r.errores;
  EXPECT_TRUE(fs::is_directory(dir_ / "res" / "a"));
  EXPECT_TRUE(fs::is_directory(dir_ / "res" / "b"));
  EXPECT_TRUE(fs::is_directory(dir_ / "res" / "a-2"));
  EXPECT_FALSE(fs::exists(dir_ / "res" / "falta"));

  const MapaParametros mapa = construyeMapa({}, {}, ValoresDialogo{});
  const std::string esperada = referencia(a, 40, 30, mapa, dir_ / "ra") + referencia(b, 40, 30, mapa, dir_ / "rb");
  std::vector<uint16_t> c = crudo("c.raw", 40, 30, 5);
  EXPECT_EQ(r.salida, esperada + referencia(c, 40, 30, mapa, dir_ / "rc"));
  for (const auto& f : fs::directory_iterator(dir_ / "rb"))
    EXPECT_EQ(lee(dir_ / "res" / "b" / f.path().filename()), lee(f.path())) << f.path();
}

// Files the viewer opens: a file no reader takes fails alone; the readers'
// lines never reach stdout.
TEST_F(Trelkin, OpenedFilesGoThroughTheReaders) {
  CabeceraAnalyze c;
  c.filas = 30;
  c.columnas = 40;
  c.tipo = 4;
  std::vector<int> valores(30 * 40);
  for (std::size_t i = 0; i < valores.size(); ++i) valores[i] = (i % 30 < 3) ? 20000 : int(300 + i % 17);
  escribe((dir_ / "scan.hdr").string(), cabeceraAnalyze(c));
  escribe((dir_ / "scan.img").string(), muestras16(valores));
  escribe((dir_ / "roto.bin").string(), Bytes{1, 2, 3});

  const Resultado solo = corre({"--data-dir", "uno", "scan.hdr"});
  ASSERT_EQ(solo.estado, 0) << solo.errores;
  EXPECT_EQ(solo.salida.rfind("Tipo Salida: n\n", 0), 0u) << solo.salida;
  EXPECT_NE(solo.errores.find("Filas: "), std::string::npos) << solo.errores;
  EXPECT_EQ(solo.salida.find("Filas: "), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ / "uno" / "dataLen.dat"));

  const Resultado lote = corre({"--data-dir", "res", "roto.bin", "scan.hdr"});
  EXPECT_EQ(lote.estado, 1);
  EXPECT_NE(lote.errores.find("trelkin: roto.bin: "), std::string::npos) << lote.errores;
  EXPECT_EQ(lote.salida, solo.salida);
  for (const auto& f : fs::directory_iterator(dir_ / "uno"))
    EXPECT_EQ(lee(dir_ / "res" / "scan" / f.path().filename()), lee(f.path())) << f.path();
}

TEST_F(Trelkin, BadParameterFailsTheRun) {
  crudo("a.raw", 40, 30, 3);
  const Resultado r = corre({"--raw", "40x30", "--param", "nAng=abc", "--out", "o.raw", "a.raw"});
  EXPECT_EQ(r.estado, 1);
  EXPECT_NE(r.errores.find("invalid stoi argument"), std::string::npos) << r.errores;
  EXPECT_FALSE(fs::exists(dir_ / "o.raw"));
}

}  // namespace
