// The window's save commands, driven through the scripted dialogs.
#include <cstdlib>
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "../plugin/apoyo.h"
#include "analyze.h"
#include "analyze_prueba.h"
#include "guardado_imagenes.h"
#include "guion.h"
#include "observador.h"
#include "visualizador.h"

namespace {

// The 16-bit field at an offset of a little-endian header.
int campo16(const QByteArray& b, int offset) {
  return static_cast<int16_t>(uint16_t(uint8_t(b[offset])) | uint16_t(uint8_t(b[offset + 1])) << 8);
}

QByteArray bytes(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<uint16_t> muestras(const Cubo& cubo, int k) {
  const Muestras<uint16_t> m = cubo.corte(k)->comoUShort();
  return std::vector<uint16_t>(m.begin(), m.end());
}

double atributo(const Cubo& cubo, const char* clave) { return std::atof(cubo.atributosRef().at(clave).c_str()); }

}  // namespace

class PruebaGuardar : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CarpetaDePrueba> tmp_;
  std::shared_ptr<DialogosGuion> d_;

  QString ruta(const QString& nombre) const { return tmp_->filePath(nombre); }

  // A 4 x 3 volume of three slices, its pixel sizes all different so that an
  // exchange of two of them shows.
  std::unique_ptr<Visualizador> abre(int cortes = 3) {
    VolumenPrueba v = volumenNumerado(4, 3, cortes);
    v.pixelX = 0.5f;
    v.pixelY = 0.8f;
    v.pixelZ = 2.0f;
    d_->ficheros.push_back({escribeAnalyze(tmp_->path(), "scan", v)});
    auto w = std::make_unique<Visualizador>(nullptr, opcionesPrueba(d_));
    d_->llamadas.clear();  // the filter's warning about the missing library
    return w;
  }

 private slots:
  void init() {
    tmp_ = std::make_unique<CarpetaDePrueba>();
    QVERIFY(tmp_->isValid());
    d_ = std::make_shared<DialogosGuion>();
  }
  void cleanup() { tmp_.reset(); }

  void aPngIsThePictureOnDisplay() {
    auto w = abre();
    // A narrow window, so that the picture is not one grey.
    w->findChild<QSpinBox*>("spinSuperior")->setValue(111);
    w->findChild<QSpinBox*>("spinInferior")->setValue(100);
    w->avanzarImagen();
    d_->nombres.push_back(ruta("vista.png"));
    w->guardar();

    const auto* dialogo = d_->ultima("guardar");
    QVERIFY(dialogo);
    QCOMPARE(dialogo->titulo, QStringLiteral("Choose a file name"));
    QCOMPARE(dialogo->inicio, QStringLiteral("."));
    QCOMPARE(dialogo->filtro, QString::fromLatin1(kFiltroGuardar));
    QCOMPARE(d_->cuenta("tipo"), 0);
    QCOMPARE(d_->cuenta("error"), 0);

    const QImage leida(ruta("vista.png"));
    QVERIFY(!leida.isNull());
    QCOMPARE(leida.convertToFormat(QImage::Format_RGB32), w->imagen().convertToFormat(QImage::Format_RGB32));
    QVERIFY(leida.pixel(0, 0) != leida.pixel(3, 2));
  }

  void cancellingSavesNothing() {
    auto w = abre();
    const QByteArray uno = capturaSalida([&] { w->guardar(); });
    const QByteArray todas = capturaSalida([&] { w->guardarTodas(); });
    QCOMPARE(todas, QByteArray("Error Salvando\n"));
    QVERIFY(!uno.contains("Error Salvando"));
    QCOMPARE(d_->cuenta("guardar"), 2);
    QCOMPARE(d_->cuenta("tipo"), 0);
    QCOMPARE(d_->cuenta("error"), 0);
    QCOMPARE(QDir(tmp_->path()).entryList(QDir::Files).size(), 2);  // scan.hdr, scan.img
  }

  void anHdrNameAsksTheTypeAndWritesAPairThatReadsBack() {
    auto w = abre();
    d_->nombres.push_back(ruta("copia.hdr"));
    d_->tipos.push_back('s');
    w->guardar();
    QCOMPARE(d_->cuenta("tipo"), 1);
    QCOMPARE(d_->cuenta("error"), 0);
    QVERIFY(!w->cuboProcesado()->atributosRef().contains("dataType"));
    QVERIFY(!QFileInfo::exists(ruta("copia.png")));

    const std::unique_ptr<Cubo> leido = leerAnalyze({ruta("copia.hdr")}, observadorMudo());
    QVERIFY(leido);
    const Cubo& fuente = *w->cuboProcesado();
    QCOMPARE(leido->geometria()->ancho(), fuente.geometria()->ancho());
    QCOMPARE(leido->geometria()->alto(), fuente.geometria()->alto());
    QCOMPARE(leido->numCortes(), 3);
    for (int k = 0; k < 3; ++k) QCOMPARE(muestras(*leido, k), muestras(fuente, k));
    // The pixel sizes come back as they were, not exchanged.
    QCOMPARE(atributo(*leido, "PixelDimx"), 0.5);
    QCOMPARE(atributo(*leido, "PixelDimy"), atributo(fuente, "PixelDimy"));
    QCOMPARE(float(atributo(*leido, "PixelDimy")), 0.8f);
    QCOMPARE(atributo(*leido, "ST"), 2.0);
  }

  void twoSavesInARowUseTheirOwnTypes() {
    auto w = abre();
    d_->nombres.push_back(ruta("bytes.hdr"));
    d_->nombres.push_back(ruta("reales.hdr"));
    d_->tipos.push_back('c');
    d_->tipos.push_back('f');
    w->guardar();
    QVERIFY(!w->cuboProcesado()->atributosRef().contains("dataType"));
    w->guardar();
    QVERIFY(!w->cuboProcesado()->atributosRef().contains("dataType"));
    QCOMPARE(d_->cuenta("error"), 0);

    const int n = 4 * 3 * 3;
    QCOMPARE(bytes(ruta("bytes.img")).size(), n);
    QCOMPARE(campo16(bytes(ruta("bytes.hdr")), 70), 2);
    QCOMPARE(bytes(ruta("reales.img")).size(), 4 * n);
    QCOMPARE(campo16(bytes(ruta("reales.hdr")), 70), 16);
    QCOMPARE(campo16(bytes(ruta("reales.hdr")), 72), 32);
  }

  // A header that cannot be created: the sample file written first is taken
  // away again, and the user hears of it once.
  void aFailedHdrLeavesNothingAndIsReported() {
    auto w = abre();
    QVERIFY(QDir(tmp_->path()).mkdir("fallo.hdr"));
    d_->nombres.push_back(ruta("fallo.hdr"));
    w->guardar();
    QCOMPARE(d_->cuenta("error"), 1);
    QVERIFY2(d_->ultima("error")->texto.contains(ruta("fallo.hdr")), qPrintable(d_->ultima("error")->texto));
    QVERIFY(!QFileInfo::exists(ruta("fallo.img")));
    QVERIFY(!w->cuboProcesado()->atributosRef().contains("dataType"));
  }

  void anUnwritableFolderIsReportedNamingTheFile_data() {
    QTest::addColumn<QString>("nombre");
    QTest::newRow("analyze") << "volumen.hdr";
    QTest::newRow("picture") << "vista.png";
  }
  void anUnwritableFolderIsReportedNamingTheFile() {
    QFETCH(QString, nombre);
    auto w = abre();
    // A file where a folder should be: no one, root included, can write below it.
    QFile bloqueo(ruta("no_carpeta"));
    QVERIFY(bloqueo.open(QIODevice::WriteOnly));
    bloqueo.close();
    const QString elegido = ruta("no_carpeta/") + nombre;
    d_->nombres.push_back(elegido);
    w->guardar();
    QCOMPARE(d_->cuenta("error"), 1);
    QVERIFY2(d_->ultima("error")->texto.contains(elegido), qPrintable(d_->ultima("error")->texto));
    QCOMPARE(QDir(tmp_->path()).entryList(QDir::Files).size(), 3);  // scan pair, no_carpeta
  }

  void saveAllWritesEverySliceThroughTheCurrentWindow() {
    auto w = abre();
    w->findChild<QSpinBox*>("spinSuperior")->setValue(215);
    w->findChild<QSpinBox*>("spinInferior")->setValue(100);
    d_->nombres.push_back(ruta("a.png"));
    const QByteArray salida = capturaSalida([&] { w->guardarTodas(); });

    const auto* dialogo = d_->ultima("guardar");
    QVERIFY(dialogo);
    QCOMPARE(dialogo->titulo, QStringLiteral("Choose a file name"));
    QCOMPARE(dialogo->inicio, ruta("scan"));
    QCOMPARE(dialogo->filtro, QString::fromLatin1(kFiltroGuardarTodas));
    QCOMPARE(d_->cuenta("error"), 0);
    QVERIFY(salida.contains("Salvando " + ruta("a_0001.png").toLocal8Bit() + " \n"));

    for (int k = 0; k < 3; ++k) {
      const QString nombre = ruta(QString::asprintf("a_%04d.png", k + 1));
      const QImage leida(nombre);
      QVERIFY2(!leida.isNull(), qPrintable(nombre));
      const QImage esperada = imagenCorte(w->cuboProcesado()->corte(k)->comoUShort(), 4, 3, 100, 215);
      QCOMPARE(leida.convertToFormat(QImage::Format_RGB32), esperada);
    }
    QVERIFY(!QFileInfo::exists(ruta("a_0004.png")));
  }

  void aFailingSliceIsReportedAtTheEndAndTheOthersWritten() {
    auto w = abre();
    QVERIFY(QDir(tmp_->path()).mkdir("a_0002.png"));
    d_->nombres.push_back(ruta("a.png"));
    w->guardarTodas();
    QCOMPARE(d_->cuenta("error"), 1);
    const QString texto = d_->ultima("error")->texto;
    QVERIFY2(texto.contains(ruta("a_0002.png")), qPrintable(texto));
    QVERIFY2(!texto.contains(ruta("a_0001.png")), qPrintable(texto));
    QVERIFY(!QImage(ruta("a_0001.png")).isNull());
    QVERIFY(!QImage(ruta("a_0003.png")).isNull());
  }
};

QTEST_MAIN(PruebaGuardar)
#include "guardar_test.moc"
