// The pointer on the window: the crosshair read-out, the manual edge points
// and the hidden measuring tools, with the mouse events the window gets.
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPluginLoader>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "../plugin/apoyo.h"
#include "analyze_prueba.h"
#include "guion.h"
#include "visualizador.h"

using Modo = Dialogos::Modo;

namespace {

const char* const kTextoPocosPuntos =
    "<p>Select, at least <b>5 points</b> on the edge of the vessel, by clicking the <b>left</b> "
    "mouse button. Then, click on the <b>right</b> button to continue.</p>";

const QRgb kRojo = qRgb(255, 0, 0);

// Where picture position (x, y) lies in window coordinates: below the menu
// bar and the tool bar, shifted by the scroll bars, scaled by the zoom.
QPoint enVentana(const Visualizador& w, int x, int y) {
  const auto* area = w.findChild<QScrollArea*>("areaScroll");
  const int mh = w.menuBar()->height();
  const int th = w.findChild<QToolBar*>("barraFile")->height();
  const double zoom = w.vista().zoom();
  return QPoint(qRound(x * zoom) - area->horizontalScrollBar()->value(),
                qRound(y * zoom) + mh + th - area->verticalScrollBar()->value());
}

void clic(Visualizador& w, int x, int y, Qt::MouseButton boton = Qt::LeftButton) {
  QTest::mouseClick(&w, boton, {}, enVentana(w, x, y));
}

// A move with these buttons held, as the window gets it while dragging.
void mueve(Visualizador& w, int x, int y, Qt::MouseButtons botones) {
  const QPoint p = enVentana(w, x, y);
  QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w.mapToGlobal(p)), Qt::NoButton, botones, {});
  QApplication::sendEvent(&w, &e);
}

QImage enEtiqueta(const Visualizador& w) {
  return w.findChild<QLabel*>("etiquetaImagen")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

QString mensaje(const Visualizador& w) { return w.statusBar()->currentMessage(); }

int rojos(const QImage& im) {
  int n = 0;
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < im.width(); ++x) n += im.pixel(x, y) == kRojo;
  return n;
}

}  // namespace

class PruebaRaton : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CarpetaDePrueba> tmp_;
  std::shared_ptr<DialogosGuion> d_;

  // A shown window on a volume whose sample at column x, row y of slice k is
  // 100 k + x * filas + y; the filter is never found.
  std::unique_ptr<Visualizador> abre(int columnas = 40, int filas = 30, const std::string& unidades = {}) {
    VolumenPrueba v = volumenNumerado(columnas, filas, 3);
    v.unidades = unidades;
    d_->ficheros.push_back({escribeAnalyze(tmp_->path(), "scan", v)});
    auto w = std::make_unique<Visualizador>(nullptr, opcionesPrueba(d_));
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }

  // The window in manual mode, its filter the stand-in library that notes
  // the points it is handed.
  std::unique_ptr<Visualizador> abreManual(QObject** raiz) {
    QFile(tmp_->filePath("a.tif")).open(QIODevice::WriteOnly);
    QFile(tmp_->filePath("b.png")).open(QIODevice::WriteOnly);
    const QString scan = escribeAnalyze(tmp_->path(), "scan", volumenNumerado(40, 30, 3));
    d_->avisos.push_back(true);
    d_->modos.push_back(Modo::manual);
    d_->ficheros.push_back({tmp_->filePath("a.tif"), tmp_->filePath("b.png")});
    d_->ficheros.push_back({scan});
    OpcionesVisualizador o = opcionesPrueba(d_);
    o.rutaPlugin = QStringLiteral(FILTRO_PRUEBA);
    *raiz = QPluginLoader(o.rutaPlugin).instance();
    if (*raiz) (*raiz)->setProperty("orden", QString());
    auto w = std::make_unique<Visualizador>(nullptr, o);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    if (*raiz) (*raiz)->setProperty("vistoPuntos", QStringLiteral("no run"));
    return w;
  }

 private slots:
  void init() {
    tmp_ = std::make_unique<CarpetaDePrueba>();
    QVERIFY(tmp_->isValid());
    d_ = std::make_shared<DialogosGuion>();
  }
  void cleanup() { tmp_.reset(); }

  // ---- crosshair and read-out ----

  void aClickReadsOutThePixel_data() {
    QTest::addColumn<QString>("unidades");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("CT") << "HU" << "Slice=3    x=10   y=20          HU=520";
    QTest::newRow("other") << "" << "Slice=3    x=10   y=20          Gray Level=520";
  }
  void aClickReadsOutThePixel() {
    QFETCH(QString, unidades);
    QFETCH(QString, esperado);
    auto w = abre(40, 30, unidades.toStdString());
    QVERIFY(w);
    w->avanzarImagen();
    w->avanzarImagen();
    QCOMPARE(w->cuboProcesado()->corteActual(), 2);

    clic(*w, 10, 20);
    QCOMPARE(mensaje(*w), esperado);  // 200 + 10 * 30 + 20
    QCOMPARE(w->vista().punto()->x, 10);
    QCOMPARE(w->vista().punto()->y, 20);
    const QImage mostrada = enEtiqueta(*w);
    QCOMPARE(mostrada.pixel(10, 0), kRojo);
    QCOMPARE(mostrada.pixel(10, 29), kRojo);
    QCOMPARE(mostrada.pixel(0, 20), kRojo);
    QCOMPARE(mostrada.pixel(39, 20), kRojo);
    QCOMPARE(rojos(mostrada), 40 + 30 - 1);
    // The picture itself keeps no mark.
    QCOMPARE(rojos(w->imagen().convertToFormat(QImage::Format_RGB32)), 0);
  }

  void aClickOnTheBorderReadsNothing_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("x = 0") << 0 << 10;
    QTest::newRow("y = 0") << 10 << 0;
    QTest::newRow("x = width") << 40 << 10;
    QTest::newRow("y = height") << 10 << 30;
  }
  void aClickOnTheBorderReadsNothing() {
    QFETCH(int, x);
    QFETCH(int, y);
    auto w = abre();
    QVERIFY(w);
    const QString antes = mensaje(*w);
    clic(*w, x, y);
    QCOMPARE(mensaje(*w), antes);
    QCOMPARE(w->vista().punto()->x, x);
    QCOMPARE(w->vista().punto()->y, y);
    QCOMPARE(enEtiqueta(*w), w->imagen().convertToFormat(QImage::Format_RGB32));
  }

  void aRightClickRemovesTheCrosshair() {
    auto w = abre();
    QVERIFY(w);
    clic(*w, 10, 20);
    QVERIFY(rojos(enEtiqueta(*w)) > 0);
    clic(*w, 5, 5, Qt::RightButton);
    QCOMPARE(rojos(enEtiqueta(*w)), 0);
    QCOMPARE(mensaje(*w), QStringLiteral("Slice=1    x=10   y=20          Gray Level=320"));
  }

  // A click outside after the slice changed must not bring the old slice's
  // marked picture back.
  void aClickOutsideAfterASliceChangeShowsTheCurrentSlice() {
    auto w = abre();
    QVERIFY(w);
    w->findChild<QSpinBox*>("spinSuperior")->setValue(400);
    clic(*w, 10, 20);
    w->avanzarImagen();
    clic(*w, 0, 5);
    QCOMPARE(enEtiqueta(*w), w->imagen().convertToFormat(QImage::Format_RGB32));
  }

  void draggingMovesTheCrosshair() {
    auto w = abre();
    QVERIFY(w);
    QTest::mousePress(w.get(), Qt::LeftButton, {}, enVentana(*w, 10, 20));
    mueve(*w, 12, 7, Qt::LeftButton);
    QCOMPARE(mensaje(*w), QStringLiteral("Slice=1    x=12   y=7          Gray Level=367"));
    QCOMPARE(w->vista().punto()->x, 12);
    QCOMPARE(w->vista().punto()->y, 7);
    QImage mostrada = enEtiqueta(*w);
    QCOMPARE(mostrada.pixel(0, 7), kRojo);
    QCOMPARE(mostrada.pixel(12, 0), kRojo);
    QVERIFY(mostrada.pixel(10, 0) != kRojo);
    QCOMPARE(rojos(mostrada), 40 + 30 - 1);

    // Off the left edge: nothing at all changes.
    mueve(*w, 0, 9, Qt::LeftButton);
    QCOMPARE(w->vista().punto()->x, 12);
    QCOMPARE(enEtiqueta(*w), mostrada);

    // Another button held: the marks go, the read-out and the point stay.
    mueve(*w, 20, 9, Qt::RightButton);
    QCOMPARE(rojos(enEtiqueta(*w)), 0);
    QCOMPARE(w->vista().punto()->x, 12);
    QCOMPARE(mensaje(*w), QStringLiteral("Slice=1    x=12   y=7          Gray Level=367"));
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, enVentana(*w, 20, 9));
  }

  void theScrollBarsAndTheZoomEnterThePosition() {
    auto w = abre(900, 30);
    QVERIFY(w);
    auto* barra = w->findChild<QScrollArea*>("areaScroll")->horizontalScrollBar();
    QVERIFY(barra->maximum() > 300);
    barra->setValue(300);
    const int mh = w->menuBar()->height();
    const int th = w->findChild<QToolBar*>("barraFile")->height();
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, QPoint(10, mh + th + 20));
    QCOMPARE(w->vista().punto()->x, 310);
    QCOMPARE(w->vista().punto()->y, 20);

    barra->setValue(0);
    w->zoomIn();  // 1.25
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, QPoint(26, mh + th + 24));
    QCOMPARE(w->vista().punto()->x, 20);  // 20.8
    QCOMPARE(w->vista().punto()->y, 19);  // 19.2
    QCOMPARE(mensaje(*w), QStringLiteral("Slice=1    x=20   y=19          Gray Level=619"));
  }

  // The label ignores the click, so the window gets it, as it does on screen.
  void aClickOnThePictureReachesTheWindow() {
    auto w = abre();
    QVERIFY(w);
    QTest::mouseClick(w->findChild<QLabel*>("etiquetaImagen"), Qt::LeftButton, {}, QPoint(10, 20));
    QVERIFY2(mensaje(*w).startsWith(QStringLiteral("Slice=1    x=")), qPrintable(mensaje(*w)));
    QVERIFY(rojos(enEtiqueta(*w)) > 0);
  }

  // ---- manual edge points ----

  void fewerThanFivePointsAskToContinueAndStay() {
    QObject* raiz = nullptr;
    auto w = abreManual(&raiz);
    QVERIFY(w);
    QVERIFY(raiz);
    QCOMPARE(w->modoApertura(), std::string("m"));
    const int puntos[4][2] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    for (const auto& p : puntos) clic(*w, p[0], p[1]);
    QCOMPARE(w->puntosManuales().cuantos(), 4);
    // Squares, no crosshair: 4 x 4 at each point.
    const QImage mostrada = enEtiqueta(*w);
    QCOMPARE(rojos(mostrada), 4 * 16);
    QCOMPARE(mostrada.pixel(8, 8), kRojo);
    QCOMPARE(mostrada.pixel(11, 11), kRojo);
    QVERIFY(mostrada.pixel(12, 12) != kRojo);
    // The start's filter run has turned slice 1 over: 65535 - 320.
    QCOMPARE(mensaje(*w), QStringLiteral("Slice=1    x=10   y=20          Gray Level=65215"));

    clic(*w, 15, 15, Qt::RightButton);
    QCOMPARE(d_->cuenta("continuar"), 1);
    QCOMPARE(d_->ultima("continuar")->texto, QString::fromLatin1(kTextoPocosPuntos));
    QCOMPARE(w->puntosManuales().cuantos(), 4);
    QCOMPARE(raiz->property("vistoPuntos").toString(), QStringLiteral("no run"));
    QCOMPARE(rojos(enEtiqueta(*w)), 0);
  }

  void theFifthPointAndARightClickRunTheFilter() {
    QObject* raiz = nullptr;
    auto w = abreManual(&raiz);
    QVERIFY(w);
    QVERIFY(raiz);
    const std::vector<uint16_t> antes = [&] {
      const Muestras<uint16_t> m = w->cuboProcesado()->corte(0)->comoUShort();
      return std::vector<uint16_t>(m.begin(), m.end());
    }();
    w->avanzarImagen();  // the slice goes with each point
    const int puntos[4][2] = {{10, 10}, {20, 11}, {21, 22}, {9, 23}};
    for (const auto& p : puntos) clic(*w, p[0], p[1]);
    clic(*w, 15, 15, Qt::RightButton);
    QCOMPARE(d_->cuenta("continuar"), 1);
    QCOMPARE(raiz->property("vistoPuntos").toString(), QStringLiteral("no run"));

    w->retrocederImagen();
    clic(*w, 30, 3);
    const QByteArray salida = capturaSalida([&] { clic(*w, 15, 15, Qt::RightButton); });
    QCOMPARE(salida,
             QByteArray("N PUNTOS: 10\n"
                        "COORDENADA Z   1\n"
                        "Coordenadas set  10    10   1\n"
                        "COORDENADA Z   1\n"
                        "Coordenadas set  20    11   1\n"
                        "COORDENADA Z   1\n"
                        "Coordenadas set  21    22   1\n"
                        "COORDENADA Z   1\n"
                        "Coordenadas set  9    23   1\n"
                        "COORDENADA Z   0\n"
                        "Coordenadas set  30    3   0\n"));
    QCOMPARE(d_->cuenta("continuar"), 1);

    // Three ints a point, in click order.
    const QVariantList esperados{10, 10, 1, 20, 11, 1, 21, 22, 1, 9, 23, 1, 30, 3, 0};
    QCOMPARE(raiz->property("vistoPuntos").toList(), esperados);
    QCOMPARE(w->vista().borde()->numPuntos(), 5);
    QCOMPARE(w->puntosManuales().cuantos(), 0);
    QVERIFY(w->findChild<QCheckBox*>("checkMedir")->isEnabled());
    QVERIFY(w->findChild<QCheckBox*>("checkRoi")->isEnabled());
    // The stand-in filter turns the first slice over; it is shown.
    const Muestras<uint16_t> despues = w->cuboProcesado()->corte(0)->comoUShort();
    QCOMPARE(despues[0], uint16_t(65535 - antes[0]));
    QCOMPARE(rojos(enEtiqueta(*w)), 0);
  }

  void aNewVolumeStartsWithoutPoints() {
    QObject* raiz = nullptr;
    auto w = abreManual(&raiz);
    QVERIFY(w);
    clic(*w, 10, 10);
    clic(*w, 12, 14);
    d_->ficheros.push_back({escribeAnalyze(tmp_->path(), "otro", volumenNumerado(40, 30, 1))});
    w->abrirFichero();
    QCOMPARE(w->puntosManuales().cuantos(), 0);
    QCOMPARE(w->modoApertura(), std::string("m"));
  }

  void theTwentySixthPointIsIgnored() {
    QObject* raiz = nullptr;
    auto w = abreManual(&raiz);
    QVERIFY(w);
    for (int i = 1; i <= 26; ++i) clic(*w, i, 1 + i % 28);
    QCOMPARE(w->puntosManuales().cuantos(), 25);
    const QByteArray salida = capturaSalida([&] { clic(*w, 15, 15, Qt::RightButton); });
    QVERIFY2(salida.startsWith("N PUNTOS: 50\n"), salida.constData());
    const QVariantList vistos = raiz->property("vistoPuntos").toList();
    QCOMPARE(vistos.size(), 75);
    QCOMPARE(vistos.at(72).toInt(), 25);  // the last one kept is the 25th
    QCOMPARE(w->vista().borde()->numPuntos(), 25);
  }

  // ---- the hidden tools ----

  void hiddenControlSlotsExcludeEachOther_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QStringList>("apagados");
    QTest::newRow("Medir") << "checkMedir" << QStringList{"checkRoi", "botonIrregular"};
    QTest::newRow("Roi") << "checkRoi" << QStringList{"checkMedir", "botonIrregular"};
    QTest::newRow("irregular") << "botonIrregular" << QStringList{"checkRoi", "checkMedir"};
    QTest::newRow("circle") << "botonCircle" << QStringList{"checkRoi", "checkMedir", "botonIrregular"};
    QTest::newRow("circleS") << "botonCircleS" << QStringList{"checkRoi", "checkMedir", "botonIrregular"};
  }
  void hiddenControlSlotsExcludeEachOther() {
    QFETCH(QString, control);
    QFETCH(QStringList, apagados);
    auto w = abre();
    QVERIFY(w);
    auto* boton = w->findChild<QAbstractButton*>(control);
    QVERIFY(boton);
    boton->click();
    QVERIFY(boton->isChecked());
    for (const QString& n : apagados) QVERIFY2(!w->findChild<QWidget*>(n)->isEnabled(), qPrintable(n));
    boton->click();
    for (const QString& n : apagados) QVERIFY2(w->findChild<QWidget*>(n)->isEnabled(), qPrintable(n));
  }

  void theCircleButtonsSetTheCursorAndTheRadius() {
    auto w = abre();
    QVERIFY(w);
    QCOMPARE(w->radio(), 8);
    w->findChild<QToolButton*>("botonCircle")->click();
    QCOMPARE(w->cursor().pixmap().size(), QSize(17, 17));
    QCOMPARE(w->cursor().hotSpot(), QPoint(8, 8));
    QCOMPARE(w->radio(), 9);
    const QImage cursor = w->cursor().pixmap().toImage();
    QCOMPARE(qAlpha(cursor.pixel(8, 8)), 0);  // transparent inside the ring
    QVERIFY(qAlpha(cursor.pixel(8, 0)) > 0);

    // With the circle on, a press changes the radius by the button held.
    clic(*w, 10, 20, Qt::RightButton);
    QCOMPARE(w->radio(), 10);
    QCOMPARE(mensaje(*w), QStringLiteral("Radio=10    x=10   y=20"));
    clic(*w, 11, 21, Qt::MiddleButton);
    QCOMPARE(w->radio(), 9);
    QCOMPARE(mensaje(*w), QStringLiteral("Radio=9    x=11   y=21"));
    QCOMPARE(rojos(enEtiqueta(*w)), 0);
    clic(*w, 12, 22);
    QVERIFY(!w->findChild<QToolButton*>("botonCircle")->isChecked());
    QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(w->vista().punto()->x, 12);
  }

  void medirMarksThePointOnly() {
    auto w = abre();
    QVERIFY(w);
    w->findChild<QCheckBox*>("checkMedir")->click();
    const QString antes = mensaje(*w);
    clic(*w, 10, 20);
    QCOMPARE(mensaje(*w), antes);
    QCOMPARE(w->vista().punto()->x, 10);
    QCOMPARE(rojos(enEtiqueta(*w)), 0);
  }

  void roiDragDrawsTheBoxAndSetsTheRegion() {
    auto w = abre();
    QVERIFY(w);
    w->findChild<QCheckBox*>("checkRoi")->click();
    QTest::mousePress(w.get(), Qt::LeftButton, {}, enVentana(*w, 5, 6));
    mueve(*w, 15, 12, Qt::LeftButton);
    const QImage mostrada = enEtiqueta(*w);
    QCOMPARE(mostrada.pixel(5, 6), qRgb(0, 0, 255));
    QCOMPARE(mostrada.pixel(15, 12), qRgb(0, 0, 255));
    QCOMPARE(mostrada.pixel(10, 6), qRgb(0, 0, 255));
    QVERIFY(mostrada.pixel(10, 9) != qRgb(0, 0, 255));
    const Region& r = *w->vista().region();
    QCOMPARE((QList<int>{r.x0, r.x1, r.y0, r.y1, r.z0, r.z1}), (QList<int>{5, 15, 6, 12, 0, 3}));
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, enVentana(*w, 15, 12));

    mueve(*w, 20, 20, Qt::RightButton);
    const Region& s = *w->vista().region();
    QCOMPARE((QList<int>{s.x0, s.x1, s.y0, s.y1}), (QList<int>{5, 0, 6, 0}));
  }
};

QTEST_MAIN(PruebaRaton)
#include "raton_test.moc"
