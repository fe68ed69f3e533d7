#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kRun = OSMAVU_RUN_DIR;

std::vector<unsigned char> leeBytes(const fs::path& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

uint32_t le32(const std::vector<unsigned char>& b, std::size_t pos) {
  return b[pos] | b[pos + 1] << 8 | b[pos + 2] << 16 | static_cast<uint32_t>(b[pos + 3]) << 24;
}
int16_t le16(const std::vector<unsigned char>& b, std::size_t pos) {
  return static_cast<int16_t>(b[pos] | b[pos + 1] << 8);
}
float leFloat(const std::vector<unsigned char>& b, std::size_t pos) {
  const uint32_t bits = le32(b, pos);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}
uint32_t be32(const std::vector<unsigned char>& b, std::size_t pos) {
  return static_cast<uint32_t>(b[pos]) << 24 | b[pos + 1] << 16 | b[pos + 2] << 8 | b[pos + 3];
}

// The palette file read the way the viewer reads it: up to 9252 unsigned
// 16-bit numbers, reading stopping at the first one that does not parse; any
// number above 1100 starts a palette of the 768 numbers after it; nine at most.
struct LecturaPaletas {
  int numerosLeidos = 0;
  bool quedaTexto = false;  // something after the last number that did not parse
  std::vector<std::vector<int>> paletas;
};

LecturaPaletas leePaletas(const fs::path& ruta) {
  LecturaPaletas r;
  std::ifstream f(ruta);
  std::vector<int> v(9252, 0);
  while (r.numerosLeidos < 9252) {
    long n;
    if (!(f >> n) || n < 0 || n > 65535) break;
    v[r.numerosLeidos++] = static_cast<int>(n);
  }
  if (r.numerosLeidos < 9252) {
    f.clear();
    std::string resto;
    r.quedaTexto = static_cast<bool>(f >> resto);
  }
  for (int i = 0; i < 9252 && r.paletas.size() < 9; ++i) {
    if (v[i] <= 1100) continue;
    std::vector<int> p(768, 0);
    for (int k = 0; k < 768 && i + 1 + k < 9252; ++k) p[k] = v[i + 1 + k];
    r.paletas.push_back(p);
  }
  return r;
}

TEST(RecursosPaletas, NinePalettesOfByteComponents) {
  const LecturaPaletas r = leePaletas(kRun / "fichero" / "fichero_datos");
  EXPECT_FALSE(r.quedaTexto) << "a token the viewer cannot read would zero every later number";
  EXPECT_EQ(r.numerosLeidos, 9 * 769);
  ASSERT_EQ(r.paletas.size(), 9u);
  for (std::size_t n = 0; n < r.paletas.size(); ++n) {
    const std::vector<int>& p = r.paletas[n];
    // Components above 255 would be cut mod 256 by the viewer, and one above
    // 1100 would start a spurious palette.
    EXPECT_LE(*std::max_element(p.begin(), p.end()), 255) << "palette " << n + 1;
    // A usable palette spans light and dark, not one flat colour.
    std::set<std::array<int, 3>> colores;
    int luzMin = 255 * 32, luzMax = 0;
    for (int e = 0; e < 256; ++e) {
      colores.insert({p[3 * e], p[3 * e + 1], p[3 * e + 2]});
      const int luz = 11 * p[3 * e] + 16 * p[3 * e + 1] + 5 * p[3 * e + 2];
      luzMin = std::min(luzMin, luz);
      luzMax = std::max(luzMax, luz);
    }
    EXPECT_GT(colores.size(), 64u) << "palette " << n + 1;
    EXPECT_GT(luzMax - luzMin, 32 * 128) << "palette " << n + 1;
    for (std::size_t m = 0; m < n; ++m) EXPECT_NE(p, r.paletas[m]) << "palettes " << m + 1 << ", " << n + 1;
  }
}

TEST(RecursosPaletas, GeneratorWritesTheSameFileEveryTime) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const std::string salida = tmp.filePath("fichero_datos").toStdString();
  ASSERT_EQ(std::system((std::string("\"") + GENERA_PALETAS + "\" \"" + salida + "\"").c_str()), 0);
  EXPECT_EQ(leeBytes(salida), leeBytes(kRun / "fichero" / "fichero_datos"));
}

// Every icon the main window loads from its images folder.
const char* const kIconos[] = {
    "new",          "open",          "save",          "salir",        "zoom_in",
    "zoom_out",     "normal",        "expandir",      "informacion",  "volumen",
    "paleta1",      "inicio",        "retrocesorapido", "retroceso",  "avance",
    "avancerapido", "final",         "rotarderecha",  "rotarizquierda", "fliphorizontal",
    "flipvertical", "chgOrder",      "circle",        "circleS",      "irregular",
    "undo2"};

TEST(RecursosIconos, EveryIconIsAPngOfTheToolBarSizeWithADrawing) {
  std::vector<QImage> vistos;
  for (const char* nombre : kIconos) {
    SCOPED_TRACE(nombre);
    const fs::path ruta = kRun / "images" / (std::string(nombre) + ".png");
    const std::vector<unsigned char> b = leeBytes(ruta);
    ASSERT_GE(b.size(), 33u) << ruta;
    const unsigned char firma[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_EQ(std::memcmp(b.data(), firma, 8), 0);
    EXPECT_EQ(std::memcmp(b.data() + 12, "IHDR", 4), 0);
    EXPECT_EQ(be32(b, 16), 64u);
    EXPECT_EQ(be32(b, 20), 48u);

    QImage icono(QString::fromStdString(ruta.string()));
    ASSERT_FALSE(icono.isNull());
    EXPECT_EQ(icono.size(), QSize(64, 48));
    // A drawing on a clear ground: neither blank nor a filled rectangle.
    const QImage argb = icono.convertToFormat(QImage::Format_ARGB32);
    int visibles = 0, claros = 0;
    for (int y = 0; y < argb.height(); ++y) {
      for (int x = 0; x < argb.width(); ++x) {
        const int a = qAlpha(argb.pixel(x, y));
        visibles += a > 32;
        claros += a == 0;
      }
    }
    const int total = 64 * 48;
    EXPECT_GT(visibles, total / 10);
    EXPECT_GT(claros, total / 10);
    for (std::size_t k = 0; k < vistos.size(); ++k)
      EXPECT_NE(argb, vistos[k]) << "same drawing as " << kIconos[k];
    vistos.push_back(argb);
  }
}

TEST(RecursosIconos, WindowEmblemIsAValidSvg) {
  QSvgRenderer emblema(QString::fromStdString((kRun / "images" / "orv.svg").string()));
  ASSERT_TRUE(emblema.isValid());
  EXPECT_EQ(emblema.defaultSize(), QSize(64, 64));
}

TEST(RecursosCarpetas, ResultFolderExists) { EXPECT_TRUE(fs::is_directory(kRun / "data")); }

constexpr int kFilas = 256, kColumnas = 256, kCortes = 24;

TEST(RecursosFantoma, HeaderHoldsOnlyTheFieldsTheReaderUses) {
  const std::vector<unsigned char> h = leeBytes(kRun / "sample" / "phantom.hdr");
  ASSERT_EQ(h.size(), 348u);
  EXPECT_EQ(le32(h, 0), 348u);
  EXPECT_EQ(le16(h, 40), 4);
  EXPECT_EQ(le16(h, 42), kFilas);
  EXPECT_EQ(le16(h, 44), kColumnas);
  EXPECT_EQ(le16(h, 46), kCortes);
  EXPECT_EQ(le16(h, 48), 1);
  EXPECT_EQ(le16(h, 70), 512);
  EXPECT_EQ(le16(h, 72), 16);
  EXPECT_EQ(leFloat(h, 80), 0.5f);
  EXPECT_EQ(leFloat(h, 84), 0.5f);
  EXPECT_EQ(leFloat(h, 88), 1.25f);
  // cal_units exactly "HU" up to its first NUL, so the volume reads as CT.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(h.data() + 60)), "HU");
  // Everything else zero: no pitch factor, no orientation, no vox_offset.
  std::vector<bool> usado(348, false);
  auto marca = [&](int desde, int n) { std::fill_n(usado.begin() + desde, n, true); };
  marca(0, 4);
  marca(40, 10);
  marca(60, 2);
  marca(70, 4);
  marca(80, 12);
  for (int i = 0; i < 348; ++i) {
    if (!usado[i]) {
      EXPECT_EQ(h[i], 0) << "byte " << i;
    }
  }
}

class RecursosFantomaMuestras : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { img_ = leeBytes(kRun / "sample" / "phantom.img"); }
  // Slice z, picture column x, row y: stored at x * rows + y.
  static int muestra(int z, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(z) * kFilas * kColumnas + x * kFilas + y) * 2;
    return img_[i] | img_[i + 1] << 8;
  }
  static std::vector<unsigned char> img_;
};
std::vector<unsigned char> RecursosFantomaMuestras::img_;

TEST_F(RecursosFantomaMuestras, FileHoldsEverySliceAndLooksLikeABody) {
  ASSERT_EQ(img_.size(), static_cast<std::size_t>(kFilas) * kColumnas * kCortes * 2);
  int menor = 65535, mayor = 0;
  for (std::size_t i = 0; i < img_.size(); i += 2) {
    const int v = img_[i] | img_[i + 1] << 8;
    menor = std::min(menor, v);
    mayor = std::max(mayor, v);
  }
  // No zero samples (the smoothing filter takes 0 as "no data"), and the
  // values use most of the 16-bit range shown by the default grey window.
  EXPECT_GE(menor, 1);
  EXPECT_GT(mayor - menor, 50000);
  for (int z : {0, kCortes - 1}) {
    SCOPED_TRACE(z);
    EXPECT_LT(muestra(z, 2, 2), 4000);          // air in a corner
    EXPECT_GT(muestra(z, 110, 140), 15000);     // tissue between the vessels
    EXPECT_LT(muestra(z, 110, 140), 28000);
    // The horizontal vessel near the top runs along x about row 70, drifting
    // 0.2 rows a slice; read with rows and columns exchanged this is tissue.
    const int fila = static_cast<int>(std::floor(70.0 + 0.2 * (z - 12)));
    EXPECT_GT(muestra(z, 100, fila), 45000);
    EXPECT_GT(muestra(z, 150, fila), 45000);
    EXPECT_LT(muestra(z, fila, 100), 28000);
  }
}

TEST(RecursosFantoma, GeneratorWritesTheSameBytesEveryTime) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const std::string carpeta = tmp.path().toStdString();
  ASSERT_EQ(std::system((std::string("\"") + GENERA_FANTOMA + "\" \"" + carpeta + "\"").c_str()), 0);
  EXPECT_EQ(leeBytes(fs::path(carpeta) / "phantom.hdr"), leeBytes(kRun / "sample" / "phantom.hdr"));
  EXPECT_EQ(leeBytes(fs::path(carpeta) / "phantom.img"), leeBytes(kRun / "sample" / "phantom.img"));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
