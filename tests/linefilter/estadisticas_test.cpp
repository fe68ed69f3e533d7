#include "estadisticas.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captura.h"
#include "carpeta_temporal.h"

namespace {

constexpr double kPi = 3.1415926536;

Segmento conLongitudYAngulo(double longitud, double angulo) { return Segmento(0, 0, longitud, angulo); }

MapaSegmentos mapa(const std::vector<std::vector<Segmento>>& grupos) {
  MapaSegmentos m;
  for (std::size_t g = 0; g < grupos.size(); ++g) m[static_cast<int>(g)].assign(grupos[g].begin(), grupos[g].end());
  return m;
}

double radianes(double grados) { return grados * kPi / 180; }

std::string filas(const Histograma& h) {
  std::string t;
  for (int b = 0; b < h.nBins; ++b) t += std::to_string(h.valores[b]) + ":" + std::to_string(h.cuentas[b]) + " ";
  return t;
}

TEST(HistogramaLongitudes, ScaledBinsLeaveEntryZeroUncounted) {
  const MapaSegmentos m = mapa({{conLongitudYAngulo(41.3, 0)}, {}, {conLongitudYAngulo(95.4, 0), conLongitudYAngulo(9.4, 0)}});
  const Histograma h = histogramaLongitudes(m, 10);
  EXPECT_EQ(h.nBins, 11);
  // 9.4 / 9.5 lands in entry 0, which is never counted.
  EXPECT_EQ(filas(h), "0:0 9:0 19:0 28:0 38:1 47:0 57:0 66:0 76:0 85:0 95:1 ");
}

TEST(HistogramaLongitudes, UnitBinsWhenThereAreMoreBinsThanTheLongestLength) {
  struct Caso {
    std::vector<double> longitudes;
    int nBins;
    const char* esperado;
  } casos[] = {
      {{44.9}, 45, nullptr},
      {{}, 4, "0:0 1:0 2:0 3:0 4:0 "},
      {{0.5, 3.99, 3.0}, 4, "0:1 1:0 2:0 3:2 4:0 "},
      // maxLen 4 is not below 4 bins: scaled, w = 1, entry 0 uncounted.
      {{0.5, 4.5}, 4, "0:0 1:0 2:0 3:0 4:1 "},
  };
  for (const Caso& c : casos) {
    std::vector<Segmento> g;
    for (double l : c.longitudes) g.push_back(conLongitudYAngulo(l, 0));
    const Histograma h = histogramaLongitudes(mapa({g}), c.nBins);
    ASSERT_EQ(h.nBins, c.nBins + 1);
    if (c.esperado) {
      EXPECT_EQ(filas(h), c.esperado);
    } else {
      for (int b = 0; b <= c.nBins; ++b) {
        EXPECT_EQ(h.valores[b], b);
        EXPECT_EQ(h.cuentas[b], b == 44 ? 1 : 0) << b;
      }
    }
  }
}

TEST(HistogramaAngulos, CeilingMinusOneCountsEntryZero) {
  const double vertical = (32 * 6.2831853072) / 128;
  // Cast at a quarter turn, the angle computes to just above 90 degrees.
  ASSERT_GT(vertical * 180 / kPi, 90.0);
  struct Caso {
    double angulo;
    int nBins;
    int entrada;
  } casos[] = {
      {vertical, 10, 5},
      {0, 10, 0},
      {radianes(18), 10, 0},
      {radianes(18.5), 10, 1},
      {radianes(179.4), 10, 9},
      {radianes(179.4), 200, 179},
      {radianes(0.7), 200, 0},
      {radianes(89.5), 180, 89},
  };
  for (const Caso& c : casos) {
    const Histograma h = histogramaAngulos(mapa({{conLongitudYAngulo(50, c.angulo)}}), c.nBins);
    ASSERT_EQ(h.nBins, c.nBins + 1);
    for (int b = 0; b <= c.nBins; ++b)
      EXPECT_EQ(h.cuentas[b], b == c.entrada ? 1 : 0) << "angle " << c.angulo << " nBins " << c.nBins << " entry " << b;
  }
}

TEST(HistogramaAngulos, Edges) {
  EXPECT_EQ(filas(histogramaAngulos({}, 10)), "0:0 18:0 36:0 54:0 72:0 90:0 108:0 126:0 144:0 162:0 180:0 ");
  EXPECT_EQ(filas(histogramaAngulos({}, 7)), "0:0 25:0 51:0 77:0 102:0 128:0 154:0 180:0 ");
  const Histograma h = histogramaAngulos({}, 200);
  for (int b = 0; b <= 200; ++b) EXPECT_EQ(h.valores[b], b);
}

// Bin counts the dialog never offers must not write outside the record.
TEST(Histogramas, DegenerateBinCounts) {
  const MapaSegmentos m = mapa({{conLongitudYAngulo(41.3, 0.5), conLongitudYAngulo(0.2, 3)}});
  for (int nBins : {0, -1, -5}) {
    const Histograma hl = histogramaLongitudes(m, nBins);
    const Histograma ha = histogramaAngulos(m, nBins);
    EXPECT_EQ(hl.nBins, std::max(nBins + 1, 0));
    EXPECT_EQ(ha.nBins, std::max(nBins + 1, 0));
    EXPECT_EQ(hl.cuentas.size(), static_cast<std::size_t>(hl.nBins));
    EXPECT_EQ(ha.cuentas.size(), static_cast<std::size_t>(ha.nBins));
  }
}

TEST(FicherosResultado, ByteExact) {
  CarpetaTemporal carpeta;
  const MapaSegmentos m = mapa({{conLongitudYAngulo(41.3, radianes(30))},
                                {},
                                {conLongitudYAngulo(95.4, 0), conLongitudYAngulo(42.52064, (32 * 6.2831853072) / 128)}});
  escribeLongitudes(m, carpeta.en("dataLen.dat"));
  escribeAngulos(m, carpeta.en("dataAng.dat"));
  escribeHistograma(histogramaLongitudes(m, 10), carpeta.en("histoLen.dat"));
  escribeHistograma(histogramaAngulos(m, 10), carpeta.en("histoAng.dat"));
  EXPECT_EQ(leeFichero(carpeta.en("dataLen.dat")), "3\n41.3\n95.4\n42.5206\n");
  EXPECT_EQ(leeFichero(carpeta.en("dataAng.dat")), "3\n30\n0\n90\n");
  EXPECT_EQ(leeFichero(carpeta.en("histoLen.dat")),
            "11\n0\t0\n9\t0\n19\t0\n28\t0\n38\t2\n47\t0\n57\t0\n66\t0\n76\t0\n85\t0\n95\t1\n");
  EXPECT_EQ(leeFichero(carpeta.en("histoAng.dat")),
            "11\n0\t1\n18\t1\n36\t0\n54\t0\n72\t0\n90\t1\n108\t0\n126\t0\n144\t0\n162\t0\n180\t0\n");
}

TEST(FicherosResultado, NoSegment) {
  CarpetaTemporal carpeta;
  const MapaSegmentos vacio = mapa({{}, {}});
  escribeLongitudes(vacio, carpeta.en("dataLen.dat"));
  escribeAngulos(MapaSegmentos{}, carpeta.en("dataAng.dat"));
  escribeHistograma(histogramaLongitudes(vacio, 4), carpeta.en("histoLen.dat"));
  escribeHistograma(histogramaAngulos(vacio, 4), carpeta.en("histoAng.dat"));
  EXPECT_EQ(leeFichero(carpeta.en("dataLen.dat")), "0\n");
  EXPECT_EQ(leeFichero(carpeta.en("dataAng.dat")), "0\n");
  EXPECT_EQ(leeFichero(carpeta.en("histoLen.dat")), "5\n0\t0\n1\t0\n2\t0\n3\t0\n4\t0\n");
  EXPECT_EQ(leeFichero(carpeta.en("histoAng.dat")), "5\n0\t0\n45\t0\n90\t0\n135\t0\n180\t0\n");
}

TEST(FicherosResultado, ReplacesEarlierContent) {
  CarpetaTemporal carpeta;
  { std::ofstream(carpeta.en("dataLen.dat")) << "a much longer earlier content\n1\n2\n3\n"; }
  escribeLongitudes(mapa({{conLongitudYAngulo(50, 0)}}), carpeta.en("dataLen.dat"));
  EXPECT_EQ(leeFichero(carpeta.en("dataLen.dat")), "1\n50\n");
}

TEST(FicherosResultado, UnwritablePathIsReportedAndSkipped) {
  CarpetaTemporal carpeta;
  const std::string ruta = carpeta.en("missing/dataLen.dat");
  Captura error(std::cerr);
  escribeLongitudes(mapa({{conLongitudYAngulo(50, 0)}}), ruta);
  escribeAngulos(mapa({{conLongitudYAngulo(50, 0)}}), ruta);
  escribeHistograma(histogramaLongitudes({}, 10), ruta);
  EXPECT_EQ(leeFichero(ruta), "<missing>");
  EXPECT_EQ(error.texto(), "Can't write: " + ruta + "\nCan't write: " + ruta + "\nCan't write: " + ruta + "\n");
}

}  // namespace
