#include "carpeta.h"

#include <gtest/gtest.h>

#include "ficheros_prueba.h"

namespace {

TEST(Carpeta, FicherosPorNombreSinMayusculasComoRutasAbsolutas) {
  QTemporaryDir dir;
  for (const char* n : {"b.dcm", "A.dcm", "c.DCM"}) escribe(ruta(dir, n), Bytes(1));
  QDir(dir.path()).mkdir("sub");
  const QString abs = QDir(dir.path()).absolutePath();
  const QStringList esperado{abs + "/A.dcm", abs + "/b.dcm", abs + "/c.DCM", abs + "/sub"};
  EXPECT_EQ(ficherosCarpeta(dir.path()), esperado);
  EXPECT_EQ(primerFicheroCarpeta(dir.path()), abs + "/A.dcm");
}

TEST(Carpeta, UnNombreQueVaAntesDelPuntoNoSePierde) {
  QTemporaryDir dir;
  escribe(ruta(dir, "-antes"), Bytes(1));
  escribe(ruta(dir, "z"), Bytes(1));
  const QStringList f = ficherosCarpeta(dir.path());
  ASSERT_EQ(f.size(), 2);
  EXPECT_TRUE(f[0].endsWith("/-antes"));
  EXPECT_TRUE(f[1].endsWith("/z"));
}

TEST(Carpeta, VaciaOInexistente) {
  QTemporaryDir dir;
  EXPECT_TRUE(ficherosCarpeta(dir.path()).isEmpty());
  EXPECT_TRUE(primerFicheroCarpeta(dir.path()).isEmpty());
  EXPECT_TRUE(ficherosCarpeta(dir.filePath("no-existe")).isEmpty());
}

TEST(Carpeta, PrimeraRuta) {
  EXPECT_EQ(primeraRuta({QStringLiteral("/a/ñ.hdr"), QStringLiteral("/b")}), QStringLiteral("/a/ñ.hdr"));
  EXPECT_TRUE(primeraRuta({}).isNull());
}

}  // namespace
