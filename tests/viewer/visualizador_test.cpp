#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "analyze_prueba.h"
#include "guion.h"
#include "observador_visor.h"
#include "orientacion.h"
#include "visualizador.h"

using Modo = Dialogos::Modo;

namespace {

const char* const kFiltroAbrir = "Image Format (*.tif *.tiff *.jpg *.jpeg *.bmp *.png)";

const char* const kTextoCarpetaMixta =
    "<p>Este directorio contine ficheros de distintos formatos. El directorio debe contener "
    "ficheros del mismo formato.<p><p>Desea continuar?";
const char* const kTextoListaMixta =
    "<p>Esta lista contiene ficheros de distintos formatos. La lista debe contener ficheros del "
    "mismo formato.<p><p>Desea continuar?";
const char* const kTextoNoVisible =
    "<p>Este directorio contine formatos de imagen que no pueden ser visualizados. "
    "<p><p>Desea continuar?";
const char* const kTextoModo =
    "<p>Select:</p><ul><li><b>Automatic: </b> Initial contour automatically detected</li><li><b>"
    "Manual: </b> Initial contour set by hand</li><li><b>Cancel: </b> Exit the program.</li></ul>"
    "<p>Next, for <b><i>Analyze</i></b> select one <b>.hdr</b> file. For <b><i>DICOM</i></b>, "
    "select all <b>.dcm</b> files.<p>";

// The slice k of a volume as the window stores it.
Imagen16 corteComoImagen(const Cubo& cubo, int k) {
  Imagen16 im;
  im.ancho = cubo.geometria()->ancho();
  im.alto = cubo.geometria()->alto();
  const Muestras<uint16_t> m = cubo.corte(k)->comoUShort();
  im.muestras.assign(m.begin(), m.end());
  return im;
}

bool mismaImagen(const Imagen16& a, const Imagen16& b) {
  return a.ancho == b.ancho && a.alto == b.alto && a.muestras == b.muestras;
}

void creaFichero(const QString& ruta, const QByteArray& contenido = "x") {
  QFile f(ruta);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(contenido);
}

}  // namespace

class PruebaVisualizador : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> tmp_;
  QString cwdAnterior_;
  std::shared_ptr<DialogosGuion> d_;

  QString ruta(const QString& nombre) const { return tmp_->filePath(nombre); }

  // A window built on a scripted first choice.
  std::unique_ptr<Visualizador> abre(const QStringList& eleccion) {
    d_->ficheros.push_back(eleccion);
    return std::make_unique<Visualizador>(nullptr, opcionesPrueba(d_));
  }
  std::unique_ptr<Visualizador> abreVolumen(const VolumenPrueba& v, const QString& nombre = "scan") {
    return abre({escribeAnalyze(tmp_->path(), nombre, v)});
  }
  // Constructs and returns the status the process would have ended with, or -1.
  int estadoDeSalida(const OpcionesVisualizador& o) {
    try {
      Visualizador w(nullptr, o);
    } catch (const SalidaProceso& s) {
      return s.estado;
    }
    return -1;
  }

 private slots:
  void init() {
    tmp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp_->isValid());
    cwdAnterior_ = QDir::currentPath();
    // Resources are looked up in the working directory first: an empty one
    // gives no palettes and empty icons unless a test lays them out.
    QDir::setCurrent(tmp_->path());
    d_ = std::make_shared<DialogosGuion>();
  }
  void cleanup() {
    QDir::setCurrent(cwdAnterior_);
    // Windows opened by "New..." belong to nobody in the test.
    QList<QPointer<Visualizador>> ventanas;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* v = qobject_cast<Visualizador*>(w)) ventanas << v;
    for (const QPointer<Visualizador>& v : ventanas) delete v.data();
    tmp_.reset();
  }

  // ---- entry and main window ----

  void cancellingTheFirstChoiceEndsWithZero() {
    QCOMPARE(estadoDeSalida(opcionesPrueba(d_)), 0);
    QCOMPARE(d_->cuenta("ficheros"), 1);
    const auto* l = d_->ultima("ficheros");
    QCOMPARE(l->titulo, QStringLiteral("Select File"));
    QCOMPARE(l->inicio, QStringLiteral("."));
    QCOMPARE(l->filtro, QString::fromLatin1(kFiltroAbrir));
  }

  void exitEndsWithOne() {
    // The end call records and returns here: an exception must not unwind
    // through the toolkit's signal code.
    int estado = -1;
    auto o = opcionesPrueba(d_);
    o.terminar = [&estado](int e) { estado = e; };
    d_->ficheros.push_back({escribeAnalyze(tmp_->path(), "scan", volumenNumerado(3, 2, 1))});
    Visualizador w(nullptr, o);
    QCOMPARE(estado, -1);
    auto* salir = w.findChild<QAction*>("accionSalir");
    QVERIFY(salir);
    salir->trigger();
    QCOMPARE(estado, 1);
  }

  void windowActionsAndMenus() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    QCOMPARE(w->windowTitle(), QStringLiteral("Original Image"));
    QCOMPARE(w->size(), QSize(516, 630));
    QCOMPARE(w->statusBar()->objectName(), QStringLiteral("menuArchivo"));
    QVERIFY(w->findChild<QScrollArea*>("areaScroll") == w->centralWidget());

    struct Accion {
      const char* nombre;
      const char* texto;
      const char* atajo;
      bool conmutable;
      bool enSitio;  // added to a menu
    };
    const Accion acciones[] = {
        {"accionNuevo", "New...", "Ctrl+O", false, false},
        {"accionAbrir", "Open File...", "Ctrl+I", false, false},
        {"accionAbrirCarpeta", "Abrir directorio...", "Ctrl+L", false, false},
        {"accionImprimir", "Save PDF...", "Ctrl+P", false, true},
        {"accionGuardar", "Save As...", "Ctrl+G", false, true},
        {"accionGuardarTodas", "Save All As...", "Ctrl+T", false, true},
        {"accionSalir", "Exit", "Ctrl+Q", false, true},
        {"accionZoomIn", "Zoom &In (25%)", "Ctrl++", false, true},
        {"accionZoomOut", "Zoom &Out (25%)", "Ctrl+-", false, true},
        {"accionNormal", "&Normal", "Ctrl+D", false, true},
        {"accionAjustar", "&Adjust to Window ", "Ctrl+F", true, true},
        {"accionInformacion", "Information...", "", false, false},
        {"accionVolumen", "Volumen", "Shift+B", false, false},
        {"accionPaleta1", "Paleta 1", "F1", true, false},
        {"accionPaleta5", "Paleta 5", "F5", true, false},
        {"accionPaleta9", "Paleta 9", "F9", true, false},
        {"accionInvertir", "Invertir", "F10", true, false},
        {"accionCabecera", "Header Info", "", false, true},
    };
    for (const Accion& a : acciones) {
      auto* accion = w->findChild<QAction*>(a.nombre);
      QVERIFY2(accion, a.nombre);
      QCOMPARE(accion->text(), QString::fromLatin1(a.texto));
      QCOMPARE(accion->shortcut(), QKeySequence(QString::fromLatin1(a.atajo)));
      QCOMPARE(accion->isCheckable(), a.conmutable);
      QCOMPARE(!accion->associatedObjects().isEmpty(), a.enSitio);
    }

    // Actions in creation order, as children of the window.
    QStringList orden;
    for (QAction* a : w->findChildren<QAction*>(Qt::FindDirectChildrenOnly))
      if (a->objectName().startsWith("accion")) orden << a->objectName();
    QCOMPARE(orden.first(), QStringLiteral("accionNuevo"));
    QCOMPARE(orden.indexOf("accionPaleta1") + 9, orden.indexOf("accionInvertir"));
    QCOMPARE(orden.last(), QStringLiteral("accionCabecera"));

    auto textos = [](QMenu* m) {
      QStringList t;
      for (QAction* a : m->actions()) t << (a->isSeparator() ? QStringLiteral("-") : a->text());
      return t;
    };
    const QList<QAction*> barra = w->menuBar()->actions();
    QCOMPARE(barra.size(), 2);
    QCOMPARE(barra[0]->text(), QStringLiteral("&File"));
    QCOMPARE(barra[1]->text(), QStringLiteral("&View"));
    QCOMPARE(textos(barra[0]->menu()),
             (QStringList{"Save PDF...", "Save As...", "Save All As...", "-", "Exit"}));
    QCOMPARE(textos(barra[1]->menu()),
             (QStringList{"Zoom &In (25%)", "Zoom &Out (25%)", "&Normal", "-", "&Adjust to Window ",
                          "-", "Header Info"}));
  }

  void toolBarAndStatusBar() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    auto* barra = w->findChild<QToolBar*>("barraFile");
    QVERIFY(barra);
    QCOMPARE(barra->windowTitle(), QStringLiteral("File"));
    QStringList orden;
    for (QAction* a : barra->actions())
      orden << (a->isSeparator() ? QStringLiteral("-") : barra->widgetForAction(a)->objectName());
    QCOMPARE(orden, (QStringList{"botonInicio", "botonRetrocesoRapido", "botonRetroceso", "botonAvance",
                                 "botonAvanceRapido", "botonFinal", "-", "botonRotarDerecha",
                                 "botonRotarIzquierda", "botonFlipHorizontal", "botonFlipVertical",
                                 "botonChgOrder", "-", "-", "-", "etiquetaFichero"}));
    const QStringList repiten{"botonRetrocesoRapido", "botonRetroceso", "botonAvance", "botonAvanceRapido",
                              "botonRotarDerecha", "botonRotarIzquierda", "botonFlipHorizontal",
                              "botonFlipVertical", "botonChgOrder"};
    for (const QString& n : orden) {
      auto* b = barra->findChild<QToolButton*>(n);
      if (!b) continue;
      QCOMPARE(b->autoRepeat(), repiten.contains(n));
      QCOMPARE(b->iconSize(), QSize(64, 48));
    }
    auto* etiqueta = w->findChild<QLabel*>("etiquetaFichero");
    QCOMPARE(etiqueta->frameStyle(), int(QFrame::WinPanel | QFrame::Plain));

    // The eleventh button is connected to nothing.
    const int corte = w->cuboProcesado()->corteActual();
    const Imagen16 antes = w->buffer();
    barra->findChild<QToolButton*>("botonChgOrder")->click();
    QCOMPARE(w->cuboProcesado()->corteActual(), corte);
    QVERIFY(mismaImagen(w->buffer(), antes));

    QStringList permanentes;
    for (QWidget* h : w->statusBar()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (!h->objectName().isEmpty()) permanentes << h->objectName();
    QCOMPARE(permanentes, (QStringList{"etiquetaMax", "spinSuperior", "etiquetaMin", "spinInferior"}));
    QCOMPARE(w->findChild<QLabel*>("etiquetaMax")->text(), QStringLiteral("MAX"));
    QCOMPARE(w->findChild<QLabel*>("etiquetaMin")->text(), QStringLiteral("MIN"));
    QCOMPARE(w->statusBar()->minimumHeight(), 50);
    QCOMPARE(w->findChild<QSpinBox*>("spinSuperior")->minimumSize(), QSize(80, 10));
  }

  void iconsComeFromTheWorkingDirectoryAndMayBeMissing() {
    QDir().mkpath("images");
    QImage icono(4, 4, QImage::Format_RGB32);
    icono.fill(Qt::blue);
    QVERIFY(icono.save("images/open.png"));
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    QVERIFY(!w->findChild<QAction*>("accionAbrir")->icon().isNull());
    QVERIFY(!w->findChild<QAction*>("accionAbrirCarpeta")->icon().isNull());
    QVERIFY(w->findChild<QAction*>("accionNuevo")->icon().isNull());
    QVERIFY(w->windowIcon().isNull());
  }

  void hiddenToolsExistUncheckedAndNeverShow() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    for (const char* n : {"checkMedir", "checkRoi", "checkBorde"}) {
      auto* c = w->findChild<QCheckBox*>(n);
      QVERIFY2(c, n);
      QVERIFY(!c->isChecked());
      QVERIFY(!c->isVisible());
    }
    for (const char* n : {"botonCircle", "botonCircleS", "botonIrregular", "botonOriginal"}) {
      auto* b = w->findChild<QToolButton*>(n);
      QVERIFY2(b, n);
      QVERIFY(!b->isChecked());
      QVERIFY(!b->isVisible());
    }
    QVERIFY(w->findChild<QToolButton*>("botonCircle")->isCheckable());
    QVERIFY(!w->findChild<QToolButton*>("botonOriginal")->isCheckable());
  }

  void metaObjectTable() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    const QMetaObject* mo = w->metaObject();
    QCOMPARE(mo->className(), "Visualizador");
    QVERIFY(qobject_cast<Visualizador*>(static_cast<QObject*>(w.get())));
    const char* const firmas[] = {
        "windowChangedinferior(int)", "windowChangedsuperior(int)", "setwindowinferior(int)",
        "setwindowsuperior(int)", "nuevo()", "abrirCarpeta()", "abrirFichero()", "inicializaCubo()",
        "print()", "guardar()", "guardarTodas()", "close()", "zoomIn()", "zoomOut()", "normalSize()",
        "fitToWindow()", "maxSliceChange(int)", "minSliceChange(int)", "color0()", "color1()",
        "color2()", "color3()", "color4()", "color5()", "color6()", "color7()", "color8()",
        "color9()", "invertir()", "avancesColor()", "avances()", "flips()", "flipsOr()", "paleta()",
        "noSquare()", "retrocederImagen()", "avanzarImagen()", "retrocederImagenPrincipio()",
        "avanzarImagenFinal()", "avanzarrapido()", "retrocederrapido()", "rotar_derecha()",
        "rotar_izquierda()", "imagen_flip_horizontal()", "imagen_flip_vertical()", "original()",
        "check_medir()", "check_roi()", "check_irregular()", "check_circle()", "check_circleS()",
        "informacion_cabecera()", "applyFilterBasicoUS()"};
    QCOMPARE(mo->methodCount() - mo->methodOffset(), 53);
    for (int i = 0; i < 53; ++i) {
      const QMetaMethod m = mo->method(mo->methodOffset() + i);
      QCOMPARE(m.methodSignature(), QByteArray(firmas[i]));
      QCOMPARE(m.methodType(), i < 2 ? QMetaMethod::Signal : QMetaMethod::Slot);
    }
  }

  void unplacedShortcutsDoNothing() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    w->show();
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    const int pedidas = d_->cuenta("ficheros");

    // Ctrl+D belongs to the View menu: it fires, which shows keys do arrive.
    w->zoomIn();
    QVERIFY(w->vista().zoom() != 1.0);
    QTest::keyClick(w.get(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(w->vista().zoom(), 1.0);

    QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(w.get(), Qt::Key_F1);
    QTest::keyClick(w.get(), Qt::Key_F10);
    QCOMPARE(d_->cuenta("ficheros"), pedidas);
    QVERIFY(!w->findChild<QAction*>("accionPaleta1")->isChecked());
    QVERIFY(!w->findChild<QAction*>("accionInvertir")->isChecked());
  }

  void commandLineFilesReplaceTheFirstDialog() {
    auto o = opcionesPrueba(d_);
    o.ficherosIniciales = {escribeAnalyze(tmp_->path(), "scan", volumenNumerado(3, 2, 2))};
    Visualizador w(nullptr, o);
    QCOMPARE(d_->cuenta("ficheros"), 0);
    QVERIFY(w.cuboProcesado());
    QCOMPARE(w.cuboProcesado()->numCortes(), 2);
    QCOMPARE(w.ficheros(), o.ficherosIniciales);
  }

  void newOpensAnIndependentWindow() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    d_->ficheros.push_back({escribeAnalyze(tmp_->path(), "otro", volumenNumerado(4, 2, 3))});
    w->nuevo();
    Visualizador* nueva = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
      if (auto* v = qobject_cast<Visualizador*>(t); v && v != w.get()) nueva = v;
    QVERIFY(nueva);
    QVERIFY(nueva->isVisible());
    QCOMPARE(nueva->cuboProcesado()->numCortes(), 3);
    QCOMPARE(w->cuboProcesado()->numCortes(), 1);
  }

  // ---- navigation and orientation ----

  void navigation_data() {
    QTest::addColumn<int>("desde");
    QTest::addColumn<QString>("ranura");
    QTest::addColumn<int>("hasta");
    QTest::newRow("fast forward at 9 does nothing") << 9 << "avanzarrapido" << 9;
    QTest::newRow("fast forward at 6 goes to 11") << 6 << "avanzarrapido" << 11;
    QTest::newRow("fast forward at 0 goes to 5") << 0 << "avanzarrapido" << 5;
    QTest::newRow("fast back at 4 does nothing") << 4 << "retrocederrapido" << 4;
    QTest::newRow("fast back at 5 goes to 0") << 5 << "retrocederrapido" << 0;
    QTest::newRow("next at the last slice stays") << 11 << "avanzarImagen" << 11;
    QTest::newRow("next at 0 goes to 1") << 0 << "avanzarImagen" << 1;
    QTest::newRow("previous at 0 stays") << 0 << "retrocederImagen" << 0;
    QTest::newRow("previous at 3 goes to 2") << 3 << "retrocederImagen" << 2;
    QTest::newRow("last") << 2 << "avanzarImagenFinal" << 11;
    QTest::newRow("first") << 7 << "retrocederImagenPrincipio" << 0;
  }

  void navigation() {
    QFETCH(int, desde);
    QFETCH(QString, ranura);
    QFETCH(int, hasta);
    auto w = abreVolumen(volumenNumerado(4, 3, 12));
    for (int i = 0; i < desde; ++i) w->avanzarImagen();
    QCOMPARE(w->cuboProcesado()->corteActual(), desde);
    QVERIFY(QMetaObject::invokeMethod(w.get(), ranura.toLatin1().constData()));
    QCOMPARE(w->cuboProcesado()->corteActual(), hasta);
    QCOMPARE(w->cuboOriginal()->corteActual(), hasta);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Slice=%1").arg(hasta + 1));
    QVERIFY(mismaImagen(w->buffer(), corteComoImagen(*w->cuboProcesado(), hasta)));
  }

  void turnsExchangeTheSharedGeometry() {
    auto w = abreVolumen(volumenNumerado(4, 2, 2));
    const Imagen16 corte0 = corteComoImagen(*w->cuboProcesado(), 0);
    const int anchos[] = {2, 4, 2, 4};
    Imagen16 esperado = corte0;
    for (int i = 0; i < 4; ++i) {
      w->rotar_derecha();
      esperado = giraDerecha(esperado);
      QCOMPARE(w->vista().rotacion(), (i + 1) % 4);
      QVERIFY(mismaImagen(w->buffer(), esperado));
      QCOMPARE(w->imagen().width(), anchos[i]);
      for (const Cubo* c : {w->cuboProcesado(), w->cuboOriginal()}) {
        QCOMPARE(c->geometria()->ancho(), anchos[i]);
        QCOMPARE(c->geometria()->alto(), 8 / anchos[i]);
        for (int k = 0; k < c->numCortes(); ++k) QVERIFY(c->corte(k)->geometria() == c->geometria());
      }
    }
    QVERIFY(mismaImagen(w->buffer(), corte0));

    w->rotar_izquierda();
    QCOMPARE(w->vista().rotacion(), 3);
    QVERIFY(mismaImagen(w->buffer(), giraIzquierda(corte0)));
    // The next slice is fetched turned the same way.
    w->avanzarImagen();
    Imagen16 siguiente = corteComoImagen(*w->cuboProcesado(), 1);
    std::swap(siguiente.ancho, siguiente.alto);  // the shared geometry is the turned one
    for (int i = 0; i < 3; ++i) siguiente = giraDerecha(siguiente);
    QVERIFY(mismaImagen(w->buffer(), siguiente));
  }

  void mirrorsAndTheirFixedOrderOnTheNextSlice() {
    auto w = abreVolumen(volumenNumerado(3, 2, 2));
    QCOMPARE(w->buffer().muestras, (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
    w->imagen_flip_vertical();
    QCOMPARE(w->buffer().muestras, (std::vector<uint16_t>{1, 0, 3, 2, 5, 4}));
    QCOMPARE(w->vista().flipV(), 1);
    w->imagen_flip_vertical();
    QCOMPARE(w->buffer().muestras, (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(w->vista().flipV(), 0);

    // Mirror first and turn afterwards: coming back to the slice shows the
    // turn first and the mirror afterwards.
    const Imagen16 corte0 = corteComoImagen(*w->cuboProcesado(), 0);
    w->imagen_flip_horizontal();
    w->rotar_derecha();
    QVERIFY(mismaImagen(w->buffer(), giraDerecha(espejoHorizontal(corte0))));
    w->avanzarImagen();
    w->retrocederImagen();
    QVERIFY(mismaImagen(w->buffer(), espejoHorizontal(giraDerecha(corte0))));
    QVERIFY(!mismaImagen(w->buffer(), giraDerecha(espejoHorizontal(corte0))));
  }

  void originalRestoresTheUnturnedDisplayVolume() {
    auto w = abreVolumen(volumenNumerado(4, 2, 3));
    const Imagen16 corte0 = corteComoImagen(*w->cuboOriginal(), 0);
    w->avanzarImagen();
    w->rotar_derecha();
    w->imagen_flip_horizontal();
    w->imagen_flip_vertical();
    w->zoomIn();
    const Cubo* antes = w->cuboProcesado();
    w->original();
    QCOMPARE(w->vista().rotacion(), 0);
    QCOMPARE(w->vista().flipH(), 0);
    QCOMPARE(w->vista().flipV(), 0);
    QCOMPARE(w->vista().zoom(), 1.0);
    QCOMPARE(w->cuboOriginal()->geometria()->ancho(), 4);
    QCOMPARE(w->vista().geometria(), w->cuboOriginal()->geometria());
    QVERIFY(w->cuboProcesado() != antes);
    QCOMPARE(w->cuboProcesado()->corteActual(), 0);
    QVERIFY(mismaImagen(w->buffer(), corte0));
    QCOMPARE(w->vista().numCortes(), 3);
    QCOMPARE(w->vista().inferior(), 0);
    QCOMPARE(w->vista().superior(), 7);
    QCOMPARE(w->vista().region()->x1, 1);  // the picture on display was 2 wide, turned
    QCOMPARE(w->vista().region()->z1, 2);
    QCOMPARE(w->radio(), 8);
  }

  // ---- open workflow ----

  void listChecks_data() {
    QTest::addColumn<QStringList>("lista");
    QTest::addColumn<int>("tipo");
    QTest::newRow("two headers") << QStringList{"/d/a.hdr", "/d/b.hdr"} << 3;
    QTest::newRow("tif with png") << QStringList{"/d/a.tif", "/d/b.png"} << 2;
    QTest::newRow("png with tif") << QStringList{"/d/a.png", "/d/b.tif"} << 2;
    QTest::newRow("one header") << QStringList{"/d/scan.hdr"} << 0;
    QTest::newRow("dicom series") << QStringList{"/d/1.dcm", "/d/2.dcm", "/d/3.dcm"} << 0;
    // The first path is checked too: a header heading a longer list is kind 3.
    QTest::newRow("header then image") << QStringList{"/d/a.hdr", "/d/a.img"} << 3;
    QTest::newRow("image then header") << QStringList{"/d/a.img", "/d/a.hdr"} << 2;
    QTest::newRow("no extensions, different names") << QStringList{"/d/uno", "/d/dos"} << 2;
  }
  void listChecks() {
    QFETCH(QStringList, lista);
    QFETCH(int, tipo);
    QCOMPARE(Visualizador::compruebaLista(lista), tipo);
  }

  void folderChecks_data() {
    QTest::addColumn<QStringList>("nombres");
    QTest::addColumn<int>("tipo");
    QTest::newRow("only dcm") << QStringList{"a.dcm", "b.dcm", "c.dcm"} << 0;
    QTest::newRow("dcm with one txt") << QStringList{"a.dcm", "b.dcm", "c.txt"} << 4;
    QTest::newRow("dat with one dcm") << QStringList{"a.dat", "b.dat", "c.dcm"} << 1;
    QTest::newRow("a txt first gives 4 at once") << QStringList{"a.txt", "b.dat", "c.dcm"} << 4;
    QTest::newRow("case is ignored in the order") << QStringList{"B.dcm", "a.dat"} << 1;
  }
  void folderChecks() {
    QFETCH(QStringList, nombres);
    QFETCH(int, tipo);
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    QDir(tmp_->path()).mkdir("carpeta");
    for (const QString& n : nombres) creaFichero(ruta("carpeta/" + n));
    QCOMPARE(w->compruebaCarpeta(ruta("carpeta")), tipo);
  }

  void aFolderStartingWithQrcEndsWithZero() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    QDir(tmp_->path()).mkdir("carpeta");
    creaFichero(ruta("carpeta/a.qrc"));
    creaFichero(ruta("carpeta/b.dcm"));
    int estado = -1;
    try {
      w->compruebaCarpeta(ruta("carpeta"));
    } catch (const SalidaProceso& s) {
      estado = s.estado;
    }
    QCOMPARE(estado, 0);
  }

  void formatWarningTexts_data() {
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("texto");
    QTest::newRow("1") << 1 << QString::fromLatin1(kTextoCarpetaMixta);
    QTest::newRow("2") << 2 << QString::fromLatin1(kTextoListaMixta);
    QTest::newRow("3") << 3 << QString::fromLatin1(kTextoListaMixta);
    QTest::newRow("4") << 4 << QString::fromLatin1(kTextoNoVisible);
  }
  void formatWarningTexts() {
    QFETCH(int, tipo);
    QFETCH(QString, texto);
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    int estado = -1;
    try {
      w->avisoFormatos(tipo);  // the script answers "No"
    } catch (const SalidaProceso& s) {
      estado = s.estado;
    }
    QCOMPARE(estado, 0);
    QCOMPARE(d_->ultima("formatos")->texto, texto);
    QCOMPARE(d_->cuenta("modo"), 0);
  }

  void mixedListWarnsAndNoEndsWithZero_data() {
    QTest::addColumn<QStringList>("nombres");
    QTest::addColumn<QString>("texto");
    QTest::newRow("two headers") << QStringList{"a", "b"} << QString::fromLatin1(kTextoListaMixta);
  }
  void mixedListWarnsAndNoEndsWithZero() {
    const QString a = escribeAnalyze(tmp_->path(), "a", volumenNumerado(3, 2, 1));
    const QString b = escribeAnalyze(tmp_->path(), "b", volumenNumerado(3, 2, 1));
    d_->ficheros.push_back({a, b});
    QCOMPARE(estadoDeSalida(opcionesPrueba(d_)), 0);
    QCOMPARE(d_->cuenta("formatos"), 1);
    QCOMPARE(d_->ultima("formatos")->texto, QString::fromLatin1(kTextoListaMixta));
  }

  void modeChoice_data() {
    QTest::addColumn<int>("modo");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("automatic") << int(Modo::automatico) << "a";
    QTest::newRow("manual") << int(Modo::manual) << "m";
  }
  void modeChoice() {
    QFETCH(int, modo);
    QFETCH(QString, esperado);
    const QString tif = ruta("a.tif");
    const QString png = ruta("b.png");
    creaFichero(tif);
    creaFichero(png);
    const QString scan = escribeAnalyze(tmp_->path(), "scan", volumenNumerado(3, 2, 2));
    d_->avisos.push_back(true);
    d_->modos.push_back(Modo(modo));
    d_->ficheros.push_back({tif, png});
    d_->ficheros.push_back({scan});
    Visualizador w(nullptr, opcionesPrueba(d_));
    QCOMPARE(d_->ultima("modo")->texto, QString::fromLatin1(kTextoModo));
    QCOMPARE(d_->cuenta("ficheros"), 2);
    // The second choice starts at the first path of the list chosen before.
    QCOMPARE(d_->llamadas[3].clase, QStringLiteral("ficheros"));
    QCOMPARE(d_->llamadas[3].inicio, tif);
    QCOMPARE(QString::fromStdString(w.modoApertura()), esperado);
    QCOMPARE(w.textoModo(), QStringLiteral("p"));
    QCOMPARE(w.ficheros(), QStringList{scan});
    QVERIFY(w.cuboProcesado());
    QCOMPARE(w.cuboProcesado()->numCortes(), 2);
    QCOMPARE(d_->cuenta("error"), 0);
  }

  void cancelInTheModeChoiceEndsWithZero() {
    creaFichero(ruta("a.tif"));
    creaFichero(ruta("b.png"));
    d_->avisos.push_back(true);
    d_->ficheros.push_back({ruta("a.tif"), ruta("b.png")});
    QCOMPARE(estadoDeSalida(opcionesPrueba(d_)), 0);
    QCOMPARE(d_->cuenta("modo"), 1);
    QCOMPARE(d_->cuenta("ficheros"), 1);
  }

  void aBadFileIsReportedAndTheChoiceAskedAgain() {
    const QString malo = ruta("malo.hdr");
    creaFichero(malo, QByteArray("\x5c\x01\0\0short", 9));
    d_->ficheros.push_back({malo});
    QCOMPARE(estadoDeSalida(opcionesPrueba(d_)), 0);
    QCOMPARE(d_->cuenta("error"), 1);
    QVERIFY2(d_->ultima("error")->texto.contains(malo), qPrintable(d_->ultima("error")->texto));
    QCOMPARE(d_->cuenta("ficheros"), 2);
    QCOMPARE(d_->ultima("ficheros")->inicio, malo);
  }

  void aGoodFileAfterABadOneOpens() {
    creaFichero(ruta("vacio.hdr"), QByteArray());
    const QString scan = escribeAnalyze(tmp_->path(), "scan", volumenNumerado(3, 2, 1));
    d_->ficheros.push_back({ruta("vacio.hdr")});
    auto w = abre({scan});
    QCOMPARE(d_->cuenta("error"), 1);
    QVERIFY(w->cuboProcesado());
    QCOMPARE(w->ficheros(), QStringList{scan});
  }

  void accentedPathsAreShownIntact() {
    const QString acentuado = ruta(QString::fromUtf8("cañón.hdr"));
    d_->ficheros.push_back({acentuado});
    QCOMPARE(estadoDeSalida(opcionesPrueba(d_)), 0);
    QVERIFY2(d_->ultima("error")->texto.contains(QString::fromUtf8("cañón")),
             qPrintable(d_->ultima("error")->texto));
  }

  void readerWarningsReachTheUser() {
    VolumenPrueba v = volumenNumerado(3, 2, 2);
    v.bytesImg = 12;  // one of the two slices
    auto w = abreVolumen(v);
    QVERIFY(d_->cuenta("aviso") >= 1);
    bool nombraImg = false;
    for (const auto& l : d_->llamadas) nombraImg |= l.clase == "aviso" && l.texto.contains("scan.img");
    QVERIFY(nombraImg);
    QVERIFY(w->cuboProcesado());
  }

  void aCompanionFileGivesTheEdgePoints() {
    const QString scan = escribeAnalyze(tmp_->path(), "scan", volumenNumerado(3, 2, 1));
    creaFichero(ruta("scan.txt"), "2\n1 2 0\n4 5 0\n");
    auto w = abre({scan});
    QCOMPARE(w->vista().borde()->numPuntos(), 2);
    QCOMPARE(w->vista().borde()->puntos()[1].y, 5);
  }

  void aFolderWithoutAReaderFallsBackToTheFileChoice() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    QDir(tmp_->path()).mkdir("serie");
    creaFichero(ruta("serie/a.dcm"), QByteArray(16, '\x01'));
    creaFichero(ruta("serie/b.dcm"), QByteArray(16, '\x01'));
    d_->carpetas.push_back(ruta("serie"));
    int estado = -1;
    try {
      w->abrirCarpeta();  // then the file choice, which the script cancels
    } catch (const SalidaProceso& s) {
      estado = s.estado;
    }
    QCOMPARE(estado, 0);
    const auto* carpeta = d_->ultima("carpeta");
    QVERIFY(carpeta);
    QCOMPARE(carpeta->titulo, QStringLiteral("Seleccionar una carpeta"));
    QCOMPARE(carpeta->inicio, ruta("scan.hdr"));  // the last path of the file open before
    QCOMPARE(d_->cuenta("formatos"), 0);  // only .dcm files: no warning
    QCOMPARE(d_->cuenta("error"), 1);
    QCOMPARE(d_->llamadas.back().clase, QStringLiteral("ficheros"));
  }

  void theModalityOfAnEarlierVolumeIsKept() {
    VolumenPrueba ct = volumenNumerado(3, 2, 1);
    ct.unidades = "HU";
    auto w = abreVolumen(ct, "ct");
    QCOMPARE(w->modalidad(), std::string("CT"));
    d_->ficheros.push_back({escribeAnalyze(tmp_->path(), "otro", volumenNumerado(3, 2, 1))});
    w->abrirFichero();
    QCOMPARE(w->ficheros().first(), ruta("otro.hdr"));
    QCOMPARE(w->modalidad(), std::string("CT"));
  }

  void initialisationSetsSpinBoxesAndActions() {
    VolumenPrueba v = volumenNumerado(3, 2, 2);
    v.muestras[0] = -1000;
    auto w = abreVolumen(v, "scan");
    auto* inferior = w->findChild<QSpinBox*>("spinInferior");
    auto* superior = w->findChild<QSpinBox*>("spinSuperior");
    QCOMPARE(inferior->minimum(), 0);
    QCOMPARE(inferior->maximum(), 65535);
    QCOMPARE(superior->maximum(), 65535);
    QCOMPARE(inferior->value(), 0);
    QCOMPARE(superior->value(), 65535);
    QCOMPARE(w->vista().inferior(), 0);
    QCOMPARE(w->vista().superior(), 65535);
    QCOMPARE(w->findChild<QLabel*>("etiquetaFichero")->text(), QStringLiteral("SCAN"));
    QCOMPARE(w->vista().numCortes(), 2);
    QCOMPARE(w->vista().tamanoPixel()->x(), 0.5f);
    QCOMPARE(w->vista().tamanoPixel()->z(), 2.5f);
    QCOMPARE(w->vista().region()->x1, 2);
    QCOMPARE(w->vista().region()->y1, 1);
    QCOMPARE(w->vista().region()->z1, 2);
    QCOMPARE(w->vista().geometria(), w->cuboProcesado()->geometria());
    QCOMPARE(w->radio(), 8);
    for (const char* n : {"accionImprimir", "accionAjustar", "accionZoomIn", "accionZoomOut",
                          "accionNormal", "accionVolumen", "accionPaleta1", "accionPaleta9",
                          "accionInvertir"})
      QVERIFY2(w->findChild<QAction*>(n)->isEnabled(), n);
    QVERIFY(!w->findChild<QAction*>("accionPaleta1")->isChecked());
    // The working copy is unsigned 16-bit: -1000 reads 64536, and the slice's
    // minimum (64536 too) does not become the lower limit.
    QCOMPARE(w->buffer().muestras[0], uint16_t(64536));
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(251, 251, 251));  // 64536 * float(255 / 65535)
  }

  void anAnalyzeVolumeIsShownPixelForPixel() {
    VolumenPrueba v;
    v.columnas = 3;
    v.filas = 2;
    v.muestras = {0, 100, 200, 255, 300, 32767};  // storage order: column after column
    auto w = abreVolumen(v);
    const QImage& im = w->imagen();
    QCOMPARE(im.size(), QSize(3, 2));
    // Window 0…65535: f = float(255 / 65535); 32767 * f = 127.498.
    QCOMPARE(im.pixel(2, 1), qRgb(127, 127, 127));
    QCOMPARE(im.pixel(1, 1), qRgb(0, 0, 0));

    w->findChild<QSpinBox*>("spinSuperior")->setValue(255);
    QCOMPARE(w->vista().superior(), 255);
    const QImage& g = w->imagen();
    QCOMPARE(g.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(g.pixel(0, 1), qRgb(100, 100, 100));
    QCOMPARE(g.pixel(1, 0), qRgb(200, 200, 200));
    QCOMPARE(g.pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(g.pixel(2, 0), qRgb(255, 255, 255));  // 300 is above the window
    w->findChild<QSpinBox*>("spinInferior")->setValue(101);
    QCOMPARE(w->imagen().pixel(0, 1), qRgb(0, 0, 0));  // 100 is below it
    QCOMPARE(w->findChild<QLabel*>("etiquetaImagen")->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             w->imagen());
  }

  void aFilterThatCannotRunWarnsAndLeavesTheVolume() {
    auto w = abreVolumen(volumenNumerado(3, 2, 2));
    const auto* aviso = d_->ultima("aviso");
    QVERIFY(aviso);
    QVERIFY2(aviso->texto.contains(QString::fromLatin1(kPluginInexistente)), qPrintable(aviso->texto));
    for (int k = 0; k < 2; ++k)
      QVERIFY(mismaImagen(corteComoImagen(*w->cuboProcesado(), k), corteComoImagen(*w->cuboOriginal(), k)));
    QCOMPARE(w->imagen().size(), QSize(3, 2));
    QVERIFY(!w->findChild<QLabel*>("etiquetaImagen")->pixmap().isNull());
  }

  // ---- display ----

  void palettesRecolourAndExcludeEachOther() {
    QDir().mkpath("fichero");
    QByteArray texto = "2000";
    for (int e = 0; e < 256; ++e) texto += " " + QByteArray::number(e) + " 7 " + QByteArray::number(255 - e);
    creaFichero("fichero/fichero_datos", texto);
    auto w = abreVolumen(volumenNumerado(3, 2, 2));
    QCOMPARE(w->paletas().size(), std::size_t(1));

    auto* p1 = w->findChild<QAction*>("accionPaleta1");
    auto* p2 = w->findChild<QAction*>("accionPaleta2");
    auto* inv = w->findChild<QAction*>("accionInvertir");
    p1->trigger();
    QVERIFY(p1->isChecked());
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(0, 7, 255));  // grey 0 takes the first triple
    QVERIFY(!p2->isEnabled());
    QVERIFY(!inv->isEnabled());
    w->avanzarImagen();  // a render re-applies the checked palette
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(0, 7, 255));
    p1->trigger();
    QVERIFY(!p1->isChecked());
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(0, 0, 0));
    QVERIFY(p2->isEnabled());
    QVERIFY(inv->isEnabled());

    inv->trigger();
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(255, 255, 255));
    QVERIFY(!p1->isEnabled());
    w->retrocederImagen();  // and the inversion, which the label shows
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(w->findChild<QLabel*>("etiquetaImagen")->pixmap().toImage().pixel(0, 0), qRgb(255, 255, 255));
    inv->trigger();
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(0, 0, 0));

    // Palette 2 was not defined: the picture stays grey.
    p2->trigger();
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(0, 0, 0));
  }

  void aMissingPaletteFileGivesNoPalettes() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    QVERIFY(w->paletas().empty());
    w->findChild<QAction*>("accionPaleta1")->trigger();
    QCOMPARE(w->imagen().pixel(0, 0), qRgb(0, 0, 0));
  }

  void zoomLimitsAndFit() {
    auto w = abreVolumen(volumenNumerado(4, 2, 1));
    auto* in = w->findChild<QAction*>("accionZoomIn");
    auto* out = w->findChild<QAction*>("accionZoomOut");
    auto* normal = w->findChild<QAction*>("accionNormal");
    auto* etiqueta = w->findChild<QLabel*>("etiquetaImagen");
    for (int i = 1; i <= 20; ++i) {
      w->zoomIn();
      QCOMPARE(in->isEnabled(), i < 16);  // 1.25^16 = 35.5
    }
    QCOMPARE(etiqueta->size(), QSize(qRound(4 * w->vista().zoom()), qRound(2 * w->vista().zoom())));
    w->normalSize();
    QCOMPARE(w->vista().zoom(), 1.0);
    QCOMPARE(etiqueta->size(), QSize(4, 2));
    w->zoomIn();
    QCOMPARE(etiqueta->size(), QSize(5, 3));  // 4 * 1.25 = 5, 2 * 1.25 = 2.5 rounds to 3

    auto* ajustar = w->findChild<QAction*>("accionAjustar");
    ajustar->trigger();
    QVERIFY(ajustar->isChecked());
    QVERIFY(w->findChild<QScrollArea*>("areaScroll")->widgetResizable());
    QVERIFY(!in->isEnabled() && !out->isEnabled() && !normal->isEnabled());
    ajustar->trigger();
    QVERIFY(!w->findChild<QScrollArea*>("areaScroll")->widgetResizable());
    QVERIFY(in->isEnabled() && out->isEnabled() && normal->isEnabled());
    QCOMPARE(w->vista().zoom(), 1.0);
  }

  // ---- header, printing, progress ----

  void headerInfoShowsTheSummary() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    w->findChild<QAction*>("accionCabecera")->trigger();
    const auto* l = d_->ultima("informacion");
    QVERIFY(l);
    QCOMPARE(l->titulo, QStringLiteral("Header Info"));
    QVERIFY(!l->texto.isEmpty());
    QCOMPARE(l->texto, w->cuboOriginal()->textoCabecera());
  }

  void printingWritesThePictureToPdf() {
    auto w = abreVolumen(volumenNumerado(3, 2, 1));
    w->print();  // the script cancels
    QCOMPARE(d_->cuenta("imprime"), 1);

    const QString pdf = ruta("salida.pdf");
    d_->alImprimir = [pdf](QPrinter& p) {
      p.setOutputFormat(QPrinter::PdfFormat);
      p.setOutputFileName(pdf);
      return true;
    };
    w->findChild<QAction*>("accionImprimir")->trigger();
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(4) == "%PDF");
  }

  void printedPictureFillsThePageWidthFromTheTopLeft() {
    QImage pagina(400, 600, QImage::Format_RGB32);
    pagina.fill(Qt::white);
    QPixmap dibujo(512, 256);
    dibujo.fill(Qt::red);
    QPainter pintor(&pagina);
    dibujaAjustado(pintor, dibujo);
    pintor.end();
    QCOMPARE(pagina.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(pagina.pixel(399, 199), qRgb(255, 0, 0));
    QCOMPARE(pagina.pixel(399, 201), qRgb(255, 255, 255));
    QCOMPARE(pagina.pixel(0, 599), qRgb(255, 255, 255));
  }

  void progressDialogCarriesTheReadersTexts() {
    QWidget padre;
    ObservadorVisor o(&padre, *d_);
    o.progresoInicio(QStringLiteral("Cargando Imagenes..."), QStringLiteral("Cancelar"), 0, 3);
    auto* p = padre.findChild<QProgressDialog*>();
    QVERIFY(p);
    QCOMPARE(p->labelText(), QStringLiteral("Cargando Imagenes..."));
    QCOMPARE(p->maximum(), 3);
    o.progresoValor(2);
    QCOMPARE(p->value(), 2);
    o.progresoFin();
    QVERIFY(!padre.findChild<QProgressDialog*>());
    o.aviso("/d/x.img", "the file is short");
    QCOMPARE(d_->ultima("aviso")->texto, QStringLiteral("/d/x.img: the file is short"));
  }
};

QTEST_MAIN(PruebaVisualizador)
#include "visualizador_test.moc"
