// Pictures opened in the window: the grey window each format starts with,
// the warning for a picture of another size, and a broken picture reported
// with the choice asked again.
#include <memory>

#include <QDir>
#include <QImage>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "guion.h"
#include "visualizador.h"

class PruebaImagenesVisor : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CarpetaDePrueba> tmp_;
  std::shared_ptr<DialogosGuion> d_;

  QString imagen(const QString& nombre, int ancho, int alto, QRgb color) {
    QImage im(ancho, alto, QImage::Format_RGB32);
    im.fill(color);
    const QString r = tmp_->filePath(nombre);
    if (!im.save(r)) qFatal("cannot write %s", qPrintable(r));
    return r;
  }
  std::unique_ptr<Visualizador> abre(const QStringList& eleccion) {
    d_->ficheros.push_back(eleccion);
    return std::make_unique<Visualizador>(nullptr, opcionesPrueba(d_));
  }
  static int valor(const Visualizador& w, const char* nombre) { return w.findChild<QSpinBox*>(nombre)->value(); }

 private slots:
  void init() {
    tmp_ = std::make_unique<CarpetaDePrueba>();
    QVERIFY(tmp_->isValid());
    d_ = std::make_shared<DialogosGuion>();
  }
  void cleanup() { tmp_.reset(); }

  void windowStartsAt0To255_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("muestra");
    QTest::newRow("jpeg") << "a.jpg" << 255;
    QTest::newRow("png") << "a.png" << 87;
    QTest::newRow("bmp") << "a.bmp" << 87;
  }
  void windowStartsAt0To255() {
    QFETCH(QString, nombre);
    QFETCH(int, muestra);
    auto w = abre({imagen(nombre, 16, 8, qRgb(255, 0, 0))});
    QVERIFY(w->cuboProcesado());
    QCOMPARE(valor(*w, "spinInferior"), 0);
    QCOMPARE(valor(*w, "spinSuperior"), 255);
    QVERIFY(qAbs(int(w->cuboOriginal()->corte(0)->comoUShort()[0]) - muestra) <= 3);
    QCOMPARE(d_->cuenta("error"), 0);
  }

  void anotherSizeIsAWarning() {
    const QString a = imagen("a.png", 6, 4, qRgb(9, 9, 9));
    const QString b = imagen("b.png", 3, 3, qRgb(9, 9, 9));
    auto w = abre({a, b});
    QVERIFY(w->cuboProcesado());
    QCOMPARE(w->cuboProcesado()->numCortes(), 2);
    // One warning for the picture; the other the window gives is the filter
    // library missing from the test's working folder.
    int deTamano = 0;
    for (const auto& l : d_->llamadas)
      if (l.clase == "aviso" && l.texto.contains(b) && l.texto.contains("not 6 x 4")) ++deTamano;
    QCOMPARE(deTamano, 1);
  }

  void aBrokenJpegIsReportedAndTheChoiceAskedAgain() {
    const QString malo = tmp_->filePath("malo.jpg");
    QFile f(malo);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xFF\xD8\xFF\xD9", 4));
    f.close();
    d_->ficheros.push_back({malo});
    try {
      Visualizador w(nullptr, opcionesPrueba(d_));
      QFAIL("the window opened without a volume");
    } catch (const SalidaProceso& s) {
      QCOMPARE(s.estado, 0);
    }
    QCOMPARE(d_->cuenta("error"), 1);
    QVERIFY2(d_->ultima("error")->texto.contains(malo), qPrintable(d_->ultima("error")->texto));
    QCOMPARE(d_->cuenta("ficheros"), 2);
  }
};

QTEST_MAIN(PruebaImagenesVisor)
#include "imagenes_visor_test.moc"
