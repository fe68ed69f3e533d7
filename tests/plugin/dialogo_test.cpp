#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>

#include "dialog.h"

namespace {

// Where a widget sits in its group's grid: row and column, or (-1, -1).
QPair<int, int> celda(const QWidget* w) {
  auto* grupo = qobject_cast<QGroupBox*>(w->parentWidget());
  if (!grupo) return {-1, -1};
  auto* rejilla = qobject_cast<QGridLayout*>(grupo->layout());
  const int i = rejilla ? rejilla->indexOf(w) : -1;
  if (i < 0) return {-1, -1};
  int fila, columna, filas, columnas;
  rejilla->getItemPosition(i, &fila, &columna, &filas, &columnas);
  return {fila, columna};
}

// The label in the grid cell left of a spin box.
QString etiquetaDe(const QWidget* w) {
  auto* rejilla = qobject_cast<QGridLayout*>(w->parentWidget()->layout());
  const auto [fila, columna] = celda(w);
  QLayoutItem* item = rejilla->itemAtPosition(fila, columna - 1);
  auto* etiqueta = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
  return etiqueta ? etiqueta->text() : QString();
}

}  // namespace

class DialogoTest : public QObject {
  Q_OBJECT

 private slots:
  void spinBoxes_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("minimo");
    QTest::addColumn<int>("maximo");
    QTest::addColumn<int>("inicial");
    QTest::addColumn<int>("paso");
    QTest::addColumn<QString>("grupo");  // empty: never placed anywhere
    QTest::addColumn<QString>("etiqueta");
    QTest::addColumn<int>("fila");
    QTest::newRow("iterations") << "spinIteraciones" << 0 << 512 << 25 << 1 << "" << "" << -1;
    QTest::newRow("sigma") << "spinSigma" << 0 << 64 << 1 << 1 << "" << "" << -1;
    QTest::newRow("window") << "spinVentana" << 0 << 64 << 2 << 1 << "" << "" << -1;
    QTest::newRow("angles") << "spinAngulos" << 1 << 1440 << 128 << 4 << "SL Parameters"
                            << "Number of Angles: " << 1;
    QTest::newRow("line length") << "spinLongitudLinea" << 0 << 512 << 75 << 5 << "" << "" << -1;
    QTest::newRow("min SL length") << "spinLongitudMinima" << 0 << 256 << 40 << 1 << "SL Parameters"
                                   << "Minimum SL Length: " << 3;
    QTest::newRow("speed") << "spinVelocidad" << 0 << 25 << 2 << 1 << "" << "" << -1;
    QTest::newRow("min size") << "spinTamanoMinimo" << 10 << 10000 << 50 << 10 << "Label Parameters"
                              << "Minimun Size: " << 0;
    QTest::newRow("max size") << "spinTamanoMaximo" << 100 << 1000000 << 100000 << 100
                              << "Label Parameters" << "Maximun Size: " << 1;
    QTest::newRow("bins") << "spinBins" << 2 << 4096 << 10 << 2 << "Output Parameters" << "N Bins: " << 1;
    QTest::newRow("threshold") << "spinUmbral" << 0 << 255 << 150 << 1 << "" << "" << -1;
  }
  void spinBoxes() {
    QFETCH(QString, nombre);
    QFETCH(int, minimo);
    QFETCH(int, maximo);
    QFETCH(int, inicial);
    QFETCH(int, paso);
    QFETCH(QString, grupo);
    QFETCH(QString, etiqueta);
    QFETCH(int, fila);
    Dialog d;
    auto* s = qobject_cast<QSpinBox*>(d.componente(nombre));
    QVERIFY(s);
    QCOMPARE(s->minimum(), minimo);
    QCOMPARE(s->maximum(), maximo);
    QCOMPARE(s->value(), inicial);
    QCOMPARE(s->singleStep(), paso);
    if (grupo.isEmpty()) {
      QVERIFY(!s->parentWidget());
    } else {
      auto* g = qobject_cast<QGroupBox*>(s->parentWidget());
      QVERIFY(g);
      QCOMPARE(g->title(), grupo);
      QCOMPARE(celda(s), qMakePair(fila, 1));
      QCOMPARE(etiquetaDe(s), etiqueta);
    }
    // Clamped to the range as typed, so no stage ever sees a value outside it.
    s->setValue(maximo + 1);
    QCOMPARE(s->value(), maximo);
    s->setValue(minimo - 1);
    QCOMPARE(s->value(), minimo);
  }

  void switches_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("grupo");
    QTest::addColumn<int>("fila");
    QTest::addColumn<int>("columna");
    QTest::addColumn<bool>("marcado");
    QTest::newRow("smoothing") << "checkSuavizado" << "Smoothing Filter" << "Preprocessing Parameters" << 0 << 0 << true;
    QTest::newRow("gradient") << "checkGradiente" << "Gradient Filter" << "Preprocessing Parameters" << 1 << 0 << true;
    QTest::newRow("thresholding") << "checkUmbralizacion" << "Thresholding" << "Preprocessing Parameters" << 3 << 0 << true;
    QTest::newRow("detector") << "checkDeteccion" << "Line Detector" << "SL Parameters" << 0 << 0 << true;
    QTest::newRow("lines only") << "radioSoloLineas" << "Straight Lines Only" << "Output Parameters" << 0 << 0 << false;
    QTest::newRow("lines + bg") << "radioLineasFondo" << "Straight Lines + BG" << "Output Parameters" << 0 << 1 << true;
  }
  void switches() {
    QFETCH(QString, nombre);
    QFETCH(QString, texto);
    QFETCH(QString, grupo);
    QFETCH(int, fila);
    QFETCH(int, columna);
    QFETCH(bool, marcado);
    Dialog d;
    auto* b = qobject_cast<QAbstractButton*>(d.componente(nombre));
    QVERIFY(b);
    QCOMPARE(b->text(), texto);
    QCOMPARE(b->isChecked(), marcado);
    auto* g = qobject_cast<QGroupBox*>(b->parentWidget());
    QVERIFY(g);
    QCOMPARE(g->title(), grupo);
    QCOMPARE(celda(b), qMakePair(fila, columna));
  }

  void onlyTwoGroupsAndRunArePlaced() {
    Dialog d;
    QCOMPARE(d.windowTitle(), QStringLiteral("Skeletonization"));
    auto* disposicion = qobject_cast<QVBoxLayout*>(d.layout());
    QVERIFY(disposicion);
    QCOMPARE(disposicion->count(), 3);
    auto* primero = qobject_cast<QGroupBox*>(disposicion->itemAt(0)->widget());
    auto* segundo = qobject_cast<QGroupBox*>(disposicion->itemAt(1)->widget());
    auto* run = qobject_cast<QPushButton*>(disposicion->itemAt(2)->widget());
    QVERIFY(primero && segundo && run);
    QCOMPARE(primero->title(), QStringLiteral("Preprocessing Parameters"));
    QCOMPARE(segundo->title(), QStringLiteral("SL Parameters"));
    QCOMPARE(run->text(), QStringLiteral("Run"));
    QCOMPARE(run->objectName(), QStringLiteral("botonRun"));
    // Row 2 of the preprocessing grid is left empty.
    QVERIFY(!qobject_cast<QGridLayout*>(primero->layout())->itemAtPosition(2, 0));

    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    for (const char* fuera : {"grupoEtiquetas", "grupoSalida", "spinIteraciones", "spinSigma",
                              "spinVentana", "spinLongitudLinea", "spinVelocidad", "spinUmbral",
                              "spinTamanoMinimo", "spinBins"}) {
      QWidget* w = d.componente(QString::fromLatin1(fuera));
      QVERIFY2(w, fuera);
      QVERIFY2(!w->isVisible(), fuera);
      QVERIFY2(!d.isAncestorOf(w), fuera);
    }
    for (const char* dentro : {"checkSuavizado", "checkDeteccion", "spinAngulos", "spinLongitudMinima"})
      QVERIFY2(d.componente(QString::fromLatin1(dentro))->isVisible(), dentro);
  }

  void runUntouchedStoresTheInitialValues() {
    Dialog d;
    QVERIFY(!d.aceptado());
    d.show();
    QTest::mouseClick(qobject_cast<QPushButton*>(d.componente("botonRun")), Qt::LeftButton);
    QVERIFY(d.aceptado());
    QVERIFY(!d.isVisible());
    const ValoresDialogo& v = d.valores();
    QCOMPARE(v.nAngulos, 128);
    QCOMPARE(v.longitudLinea, 75);
    QCOMPARE(v.longitudMinima, 40);
    QCOMPARE(v.velocidad, 2);
    QCOMPARE(v.tamanoMinimo, 50);
    QCOMPARE(v.tamanoMaximo, 100000);
    QCOMPARE(v.nBins, 10);
    QCOMPARE(v.iteraciones, 25);
    QCOMPARE(v.sigma, 1);
    QCOMPARE(v.ventana, 2);
    QCOMPARE(v.umbral, 150);
    QVERIFY(v.suavizado && v.gradiente && v.umbralizacion && v.deteccion);
    QCOMPARE(v.tipoSalida, 'n');
  }

  // Values reach the store only in aceptar, and a stage's values only when
  // its box is checked.
  void aceptarReadsTheWidgets() {
    Dialog d;
    auto spin = [&](const char* n) { return qobject_cast<QSpinBox*>(d.componente(n)); };
    auto boton = [&](const char* n) { return qobject_cast<QAbstractButton*>(d.componente(n)); };
    spin("spinAngulos")->setValue(64);
    spin("spinLongitudMinima")->setValue(12);
    spin("spinIteraciones")->setValue(3);
    spin("spinSigma")->setValue(7);
    spin("spinVentana")->setValue(9);
    spin("spinUmbral")->setValue(99);
    boton("checkGradiente")->setChecked(false);
    boton("checkDeteccion")->setChecked(false);
    boton("radioSoloLineas")->setChecked(true);
    QCOMPARE(d.valores().nAngulos, 128);

    d.aceptar();
    const ValoresDialogo& v = d.valores();
    QCOMPARE(v.nAngulos, 64);
    QCOMPARE(v.longitudMinima, 12);
    QVERIFY(v.suavizado);
    QCOMPARE(v.iteraciones, 3);
    QVERIFY(!v.gradiente);
    QCOMPARE(v.sigma, 1);
    QCOMPARE(v.ventana, 2);
    QVERIFY(v.umbralizacion);
    QCOMPARE(v.umbral, 99);
    QVERIFY(!v.deteccion);
    QCOMPARE(v.tipoSalida, 'c');
    QVERIFY(!boton("radioLineasFondo")->isChecked());
  }

  void closingWithoutRunStoresNothing() {
    Dialog d;
    qobject_cast<QSpinBox*>(d.componente("spinAngulos"))->setValue(8);
    d.show();
    d.close();
    QVERIFY(!d.aceptado());
    QCOMPARE(d.valores().nAngulos, 128);
  }
};

QTEST_MAIN(DialogoTest)
#include "dialogo_test.moc"
