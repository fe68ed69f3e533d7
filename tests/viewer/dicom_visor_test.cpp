// The viewer opening DICOM series: as chosen files and as a folder.
#include <memory>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "dicom_prueba.h"
#include "guion.h"
#include "visualizador.h"

namespace {

// Slices k = 1, 2 of 2 x 3 samples, signed: -1000 + k, then 10 k ... .
QStringList escribeSerie(const QString& carpeta) {
  QDir().mkpath(carpeta);
  QStringList rutas;
  for (int k : {2, 1}) {
    ImagenDicom im;
    im.representacion = 1;
    im.pixeles = {-1000 + k, 10 * k, 20, 30, 40, 50};
    im.instancia = std::to_string(k);
    im.posicion = std::to_string(2.5 * k);
    im.espaciadoPixel = "0.703125\\0.703125";
    im.modalidad = "CT";
    const QString r = carpeta + QStringLiteral("/img%1.dcm").arg(k);
    escribeDicom(r.toStdString(), im);
    rutas << r;
  }
  return rutas;
}

}  // namespace

class PruebaDicomVisor : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CarpetaDePrueba> tmp_;
  std::shared_ptr<DialogosGuion> d_;

 private slots:
  void init() {
    tmp_ = std::make_unique<CarpetaDePrueba>();
    QVERIFY(tmp_->isValid());
    d_ = std::make_shared<DialogosGuion>();
  }
  void cleanup() { tmp_.reset(); }

  void chosenFilesOpenInInstanceOrderWithTheReadersWindow() {
    const QStringList rutas = escribeSerie(tmp_->filePath("serie"));
    d_->ficheros.push_back(rutas);
    Visualizador w(nullptr, opcionesPrueba(d_));
    QCOMPARE(d_->cuenta("error"), 0);
    const Cubo* v = w.cuboOriginal();
    QVERIFY(v);
    QCOMPARE(v->numCortes(), 2);
    QCOMPARE(v->corte(0)->comoInt()[0], -999);
    QCOMPARE(v->corte(1)->comoInt()[0], -998);
    QCOMPARE(w.modalidad(), std::string("CT"));
    QVERIFY(v->textoCabecera().startsWith(QStringLiteral("Ancho del Corte: 2.5\nNumero de Cortes: 2\n")));
    // The lowest minimum and the highest maximum as unsigned 16-bit numbers.
    QCOMPARE(w.findChild<QSpinBox*>("spinInferior")->value(), 64537);
    QCOMPARE(w.findChild<QSpinBox*>("spinSuperior")->value(), 50);
    QCOMPARE(w.vista().tamanoPixel()->x(), 0.703125f);
    QCOMPARE(w.vista().tamanoPixel()->z(), 2.5f);
  }

  void aFolderOpensAsUnsignedSlicesWithTheFullWindow() {
    d_->ficheros.push_back(escribeSerie(tmp_->filePath("primera")));
    Visualizador w(nullptr, opcionesPrueba(d_));
    escribeSerie(tmp_->filePath("serie"));
    d_->carpetas.push_back(tmp_->filePath("serie"));
    w.abrirCarpeta();
    QCOMPARE(d_->cuenta("error"), 0);
    QCOMPARE(d_->cuenta("formatos"), 0);
    QCOMPARE(w.ficheros(), QStringList({tmp_->filePath("serie/img1.dcm"), tmp_->filePath("serie/img2.dcm")}));
    const Cubo* v = w.cuboOriginal();
    QVERIFY(v);
    QVERIFY(dynamic_cast<const CorteUnsignedShort*>(v->corte(0)));
    QCOMPARE(v->corte(0)->comoInt()[0], 32768 - 999);
    QCOMPARE(v->corte(1)->comoInt()[0], 32768 - 998);
    QVERIFY(v->textoCabecera().startsWith(QStringLiteral("Ancho del Corte: 2.5\n")));
    QCOMPARE(w.findChild<QSpinBox*>("spinInferior")->value(), 0);
    QCOMPARE(w.findChild<QSpinBox*>("spinSuperior")->value(), 65535);
  }

  void aFolderWithoutImagesAsksForFilesAgain() {
    d_->ficheros.push_back(escribeSerie(tmp_->filePath("primera")));
    Visualizador w(nullptr, opcionesPrueba(d_));
    QDir().mkpath(tmp_->filePath("vacia"));
    QFile f(tmp_->filePath("vacia/a.dcm"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300, '\0'));
    f.close();
    d_->carpetas.push_back(tmp_->filePath("vacia"));
    int estado = -1;
    try {
      w.abrirCarpeta();  // the error, then the file choice, which the script cancels
    } catch (const SalidaProceso& s) {
      estado = s.estado;
    }
    QCOMPARE(estado, 0);
    QCOMPARE(d_->cuenta("error"), 1);
    QVERIFY2(d_->ultima("error")->texto.contains("a.dcm"), qPrintable(d_->ultima("error")->texto));
  }
};

QTEST_MAIN(PruebaDicomVisor)
#include "dicom_visor_test.moc"
