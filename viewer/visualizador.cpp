#include "visualizador.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "anfitrion.h"
#include "apertura.h"
#include "carpeta.h"
#include "companion.h"
#include "errores.h"
#include "observador_visor.h"

namespace {

// A missing icon file is an empty icon, silently.
QIcon icono(const char* nombre) {
  const QString ruta = rutaRecurso(QStringLiteral("./images/") + QLatin1String(nombre));
  return QFileInfo::exists(ruta) ? QIcon(ruta) : QIcon();
}

// The text after the last "." of a path in its local 8-bit form (the whole
// path when it has none).
QString extension(const QString& ruta) {
  const QByteArray local = ruta.toLocal8Bit();
  return QString::fromLocal8Bit(local.mid(local.lastIndexOf('.') + 1));
}

// A pixel size the volume must carry; a volume without it cannot be shown.
double atributoNecesario(const AttributeMap& atributos, const char* clave, const QString& ruta) {
  if (!atributos.contains(clave))
    throw ErrorLectura(ruta.toStdString(),
                       std::string("the volume has no \"") + clave + "\" attribute");
  return std::atof(atributos.at(clave).c_str());
}

const char* const kTextoAviso[] = {
    "",
    "<p>Este directorio contine ficheros de distintos formatos. El directorio debe contener "
    "ficheros del mismo formato.<p><p>Desea continuar?",
    "<p>Esta lista contiene ficheros de distintos formatos. La lista debe contener ficheros del "
    "mismo formato.<p><p>Desea continuar?",
    "<p>Esta lista contiene ficheros de distintos formatos. La lista debe contener ficheros del "
    "mismo formato.<p><p>Desea continuar?",
    "<p>Este directorio contine formatos de imagen que no pueden ser visualizados. "
    "<p><p>Desea continuar?",
};

const char* const kTextoModo =
    "<p>Select:</p><ul><li><b>Automatic: </b> Initial contour automatically detected</li>"
    "<li><b>Manual: </b> Initial contour set by hand</li><li><b>Cancel: </b> Exit the "
    "program.</li></ul><p>Next, for <b><i>Analyze</i></b> select one <b>.hdr</b> file. For "
    "<b><i>DICOM</i></b>, select all <b>.dcm</b> files.<p>";

}  // namespace

Visualizador::Visualizador(QWidget* parent, OpcionesVisualizador opciones)
    : QMainWindow(parent), opciones_(std::move(opciones)) {
  dialogos_ = opciones_.dialogos ? opciones_.dialogos : std::make_shared<DialogosQt>();
  if (!opciones_.terminar) opciones_.terminar = [](int estado) { terminaProceso(estado); };
  if (opciones_.rutaPlugin.isEmpty()) opciones_.rutaPlugin = rutaPluginPorDefecto();

  etiquetaImagen_ = new QLabel;
  etiquetaImagen_->setObjectName(QStringLiteral("etiquetaImagen"));
  etiquetaImagen_->setBackgroundRole(QPalette::Base);
  etiquetaImagen_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  etiquetaImagen_->setScaledContents(true);

  areaScroll_ = new QScrollArea;
  areaScroll_->setObjectName(QStringLiteral("areaScroll"));
  areaScroll_->setBackgroundRole(QPalette::Dark);
  areaScroll_->setWidget(etiquetaImagen_);
  setCentralWidget(areaScroll_);

  auto* barraEstado = new QStatusBar;
  barraEstado->setObjectName(QStringLiteral("menuArchivo"));
  setStatusBar(barraEstado);

  creaAcciones();
  creaMenus();
  creaBarraHerramientas();
  creaBarraEstado();
  creaControlesOcultos();

  setWindowTitle(tr("Original Image"));
  setWindowIcon(icono("orv.svg"));
  resize(516, 630);
  move(0, 0);

  abrirFichero();
  applyFilterBasicoUS();
}

Visualizador::~Visualizador() = default;

void Visualizador::creaAcciones() {
  auto crea = [this](const char* nombre, const char* icon, const char* texto, const char* atajo,
                     bool activa) {
    auto* a = new QAction(icono(icon), tr(texto), this);
    a->setObjectName(QLatin1String(nombre));
    if (atajo) a->setShortcut(QKeySequence(tr(atajo)));
    a->setEnabled(activa);
    return a;
  };

  accionNuevo_ = crea("accionNuevo", "new.png", "New...", "Ctrl+O", true);
  connect(accionNuevo_, &QAction::triggered, this, &Visualizador::nuevo);
  accionAbrir_ = crea("accionAbrir", "open.png", "Open File...", "Ctrl+I", true);
  connect(accionAbrir_, &QAction::triggered, this, &Visualizador::abrirFichero);
  accionAbrirCarpeta_ = crea("accionAbrirCarpeta", "open.png", "Abrir directorio...", "Ctrl+L", true);
  connect(accionAbrirCarpeta_, &QAction::triggered, this, &Visualizador::abrirCarpeta);
  accionImprimir_ = crea("accionImprimir", "save.png", "Save PDF...", "Ctrl+P", false);
  connect(accionImprimir_, &QAction::triggered, this, &Visualizador::print);
  accionGuardar_ = crea("accionGuardar", "save.png", "Save As...", "Ctrl+G", true);
  connect(accionGuardar_, &QAction::triggered, this, &Visualizador::guardar);
  accionGuardarTodas_ = crea("accionGuardarTodas", "save.png", "Save All As...", "Ctrl+T", true);
  connect(accionGuardarTodas_, &QAction::triggered, this, &Visualizador::guardarTodas);
  accionSalir_ = crea("accionSalir", "salir.png", "Exit", "Ctrl+Q", true);
  connect(accionSalir_, &QAction::triggered, this, &Visualizador::close);
  accionZoomIn_ = crea("accionZoomIn", "zoom_in.png", "Zoom &In (25%)", "Ctrl++", false);
  connect(accionZoomIn_, &QAction::triggered, this, &Visualizador::zoomIn);
  accionZoomOut_ = crea("accionZoomOut", "zoom_out.png", "Zoom &Out (25%)", "Ctrl+-", false);
  connect(accionZoomOut_, &QAction::triggered, this, &Visualizador::zoomOut);
  accionNormal_ = crea("accionNormal", "normal.png", "&Normal", "Ctrl+D", false);
  connect(accionNormal_, &QAction::triggered, this, &Visualizador::normalSize);
  accionAjustar_ = crea("accionAjustar", "expandir.png", "&Adjust to Window ", "Ctrl+F", false);
  accionAjustar_->setCheckable(true);
  connect(accionAjustar_, &QAction::triggered, this, &Visualizador::fitToWindow);
  accionInformacion_ = crea("accionInformacion", "informacion.png", "Information...", nullptr, true);
  accionVolumen_ = crea("accionVolumen", "volumen.png", "Volumen", "Shift+B", true);

  static const char* const textos[9] = {"Paleta 1", "Paleta 2", "Paleta 3", "Paleta 4", "Paleta 5",
                                        "Paleta 6", "Paleta 7", "Paleta 8", "Paleta 9"};
  static const char* const atajos[9] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9"};
  using Ranura = void (Visualizador::*)();
  const Ranura ranuras[9] = {
      &Visualizador::color1, &Visualizador::color2, &Visualizador::color3,
      &Visualizador::color4, &Visualizador::color5, &Visualizador::color6,
      &Visualizador::color7, &Visualizador::color8, &Visualizador::color9};
  for (int i = 0; i < 9; ++i) {
    const QByteArray nombre = "accionPaleta" + QByteArray::number(i + 1);
    accionPaleta_[i] = crea(nombre.constData(), "paleta1.png", textos[i], atajos[i], false);
    accionPaleta_[i]->setCheckable(true);
    connect(accionPaleta_[i], &QAction::triggered, this, ranuras[i]);
  }
  accionInvertir_ = crea("accionInvertir", "paleta1.png", "Invertir", "F10", false);
  accionInvertir_->setCheckable(true);
  connect(accionInvertir_, &QAction::triggered, this, &Visualizador::invertir);
  accionCabecera_ = crea("accionCabecera", "informacion.png", "Header Info", nullptr, true);
  connect(accionCabecera_, &QAction::triggered, this, &Visualizador::informacion_cabecera);
}

void Visualizador::creaMenus() {
  menuArchivo_ = new QMenu(tr("&File"), this);
  menuArchivo_->setObjectName(QStringLiteral("menuFile"));
  menuArchivo_->addAction(accionImprimir_);
  menuArchivo_->addAction(accionGuardar_);
  menuArchivo_->addAction(accionGuardarTodas_);
  menuArchivo_->addSeparator();
  menuArchivo_->addAction(accionSalir_);

  menuVer_ = new QMenu(tr("&View"), this);
  menuVer_->setObjectName(QStringLiteral("menuView"));
  menuVer_->addAction(accionZoomIn_);
  menuVer_->addAction(accionZoomOut_);
  menuVer_->addAction(accionNormal_);
  menuVer_->addSeparator();
  menuVer_->addAction(accionAjustar_);
  menuVer_->addSeparator();
  menuVer_->addAction(accionCabecera_);

  menuBar()->addMenu(menuArchivo_);
  menuBar()->addMenu(menuVer_);
}

void Visualizador::creaBarraHerramientas() {
  QToolBar* barra = addToolBar(tr("File"));
  barra->setObjectName(QStringLiteral("barraFile"));
  auto boton = [this, barra](const char* nombre, const char* icon, bool repite) {
    auto* b = new QToolButton;
    b->setObjectName(QLatin1String(nombre));
    b->setIcon(icono(icon));
    b->setIconSize(QSize(64, 48));
    b->setAutoRepeat(repite);
    barra->addWidget(b);
    return b;
  };
  connect(boton("botonInicio", "inicio.png", false), &QToolButton::clicked, this,
          &Visualizador::retrocederImagenPrincipio);
  connect(boton("botonRetrocesoRapido", "retrocesorapido.png", true), &QToolButton::clicked, this,
          &Visualizador::retrocederrapido);
  connect(boton("botonRetroceso", "retroceso.png", true), &QToolButton::clicked, this,
          &Visualizador::retrocederImagen);
  connect(boton("botonAvance", "avance.png", true), &QToolButton::clicked, this,
          &Visualizador::avanzarImagen);
  connect(boton("botonAvanceRapido", "avancerapido.png", true), &QToolButton::clicked, this,
          &Visualizador::avanzarrapido);
  connect(boton("botonFinal", "final.png", false), &QToolButton::clicked, this,
          &Visualizador::avanzarImagenFinal);
  barra->addSeparator();
  connect(boton("botonRotarDerecha", "rotarderecha.png", true), &QToolButton::clicked, this,
          &Visualizador::rotar_derecha);
  connect(boton("botonRotarIzquierda", "rotarizquierda.png", true), &QToolButton::clicked, this,
          &Visualizador::rotar_izquierda);
  connect(boton("botonFlipHorizontal", "fliphorizontal.png", true), &QToolButton::clicked, this,
          &Visualizador::imagen_flip_horizontal);
  connect(boton("botonFlipVertical", "flipvertical.png", true), &QToolButton::clicked, this,
          &Visualizador::imagen_flip_vertical);
  boton("botonChgOrder", "chgOrder.png", true);
  barra->addSeparator();
  barra->addSeparator();
  barra->addSeparator();
  etiquetaFichero_ = new QLabel;
  etiquetaFichero_->setObjectName(QStringLiteral("etiquetaFichero"));
  etiquetaFichero_->setFrameStyle(QFrame::WinPanel | QFrame::Plain);
  barra->addWidget(etiquetaFichero_);
}

void Visualizador::creaBarraEstado() {
  statusBar()->setMinimumHeight(50);
  auto* max = new QLabel(tr("MAX"));
  max->setObjectName(QStringLiteral("etiquetaMax"));
  max->setAlignment(Qt::AlignLeft);
  auto* min = new QLabel(tr("MIN"));
  min->setObjectName(QStringLiteral("etiquetaMin"));
  min->setAlignment(Qt::AlignLeft);
  spinSuperior_ = new QSpinBox;
  spinSuperior_->setObjectName(QStringLiteral("spinSuperior"));
  spinSuperior_->setMinimumSize(80, 10);
  spinInferior_ = new QSpinBox;
  spinInferior_->setObjectName(QStringLiteral("spinInferior"));
  spinInferior_->setMinimumSize(80, 10);
  statusBar()->addPermanentWidget(max);
  statusBar()->addPermanentWidget(spinSuperior_);
  statusBar()->addPermanentWidget(min);
  statusBar()->addPermanentWidget(spinInferior_);

  connect(spinInferior_, &QSpinBox::valueChanged, this, &Visualizador::setwindowinferior);
  connect(this, &Visualizador::windowChangedinferior, spinInferior_, &QSpinBox::setValue);
  connect(spinSuperior_, &QSpinBox::valueChanged, this, &Visualizador::setwindowsuperior);
  connect(this, &Visualizador::windowChangedsuperior, spinSuperior_, &QSpinBox::setValue);
}

// The measuring tools are built but never placed: kept hidden and unchecked,
// the pointer handlers only draw the crosshair or collect manual points.
void Visualizador::creaControlesOcultos() {
  auto casilla = [this](const char* nombre, const char* texto) {
    auto* c = new QCheckBox(this);
    c->setObjectName(QLatin1String(nombre));
    c->hide();
    auto* etiqueta = new QLabel(tr(texto), this);
    etiqueta->hide();
    return c;
  };
  checkMedir_ = casilla("checkMedir", "Medir");
  checkRoi_ = casilla("checkRoi", "Roi");
  checkBorde_ = casilla("checkBorde", "Borde");
  connect(checkMedir_, &QCheckBox::clicked, this, &Visualizador::check_medir);
  connect(checkRoi_, &QCheckBox::clicked, this, &Visualizador::check_roi);

  auto boton = [this](const char* nombre, const char* icon, bool repite, bool conmutable) {
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(nombre));
    b->setIcon(icono(icon));
    b->setIconSize(QSize(64, 48));
    b->setAutoRepeat(repite);
    b->setCheckable(conmutable);
    b->hide();
    return b;
  };
  botonCircle_ = boton("botonCircle", "circle.png", true, true);
  botonCircleS_ = boton("botonCircleS", "circleS.png", true, true);
  botonIrregular_ = boton("botonIrregular", "irregular.png", false, true);
  botonOriginal_ = boton("botonOriginal", "undo2.png", false, false);
  connect(botonCircle_, &QToolButton::clicked, this, &Visualizador::check_circle);
  connect(botonCircleS_, &QToolButton::clicked, this, &Visualizador::check_circleS);
  connect(botonIrregular_, &QToolButton::clicked, this, &Visualizador::check_irregular);
  connect(botonOriginal_, &QToolButton::clicked, this, &Visualizador::original);
}

void Visualizador::termina(int estado) { opciones_.terminar(estado); }

void Visualizador::nuevo() {
  OpcionesVisualizador opciones = opciones_;
  opciones.ficherosIniciales.clear();
  auto* ventana = new Visualizador(nullptr, opciones);
  ventana->setAttribute(Qt::WA_DeleteOnClose);
  ventana->show();
}

void Visualizador::close() { termina(1); }

void Visualizador::maxSliceChange(int sliceSuperior) { maxSlice_ = sliceSuperior; }
void Visualizador::minSliceChange(int sliceSuperior) { minSlice_ = sliceSuperior; }

// ---- open workflow ----

void Visualizador::liberaCubos() {
  if (cuboOriginal_) {
    std::cout << "borra cubo original" << std::endl;
    cuboOriginal_.reset();
    std::cout << "cubo original borrado" << std::endl;
  }
  if (cuboProcesado_) {
    std::cout << "borra cubo procesado" << std::endl;
    cuboProcesado_.reset();
    std::cout << "cubo original procesado" << std::endl;
  }
  if (cuboLeido_) {
    std::cout << "borra cubo pelix" << std::endl;
    cuboLeido_.reset();
  }
  ventanaInicial_.cubo = nullptr;
  vista_.reinicia();
}

// A failed open never leaves the window without a volume: the file choice is
// asked again until an open succeeds or the user cancels (which ends the
// process).
void Visualizador::abrirFichero() {
  while (!intentaAbrirFichero()) {
  }
}

bool Visualizador::intentaAbrirFichero() {
  liberaCubos();

  QStringList lista;
  if (primeraEleccion_ && !opciones_.ficherosIniciales.isEmpty()) {
    lista = opciones_.ficherosIniciales;
  } else {
    const QString inicio = ultimaRuta_.isEmpty() ? QStringLiteral(".") : ficheros_.value(0);
    lista = dialogos_->eligeFicheros(this, QStringLiteral("Select File"), inicio,
                                     QStringLiteral("Image Format (*.tif *.tiff *.jpg *.jpeg *.bmp *.png)"));
  }
  primeraEleccion_ = false;
  ficheros_ = lista;
  if (lista.isEmpty()) {
    termina(0);
    return true;
  }

  ultimaRuta_ = primeraRuta(lista);
  qDebug() << "FILE" << ultimaRuta_;

  const int tipo = compruebaLista(lista);
  if (tipo != 0) avisoFormatos(tipo);

  // From here on the window's file list: a mode choice above has run a
  // complete open of its own and left its list there.
  try {
    ObservadorVisor observador(this, *dialogos_);
    if (ficheros_.size() == 1) {
      const QString datos = nombreFicheroDatos(ficheros_);
      if (datos != QLatin1String(" ")) {
        if (std::shared_ptr<Borde> borde = leerFicheroDatos(datos, observador)) vista_.setBorde(borde);
      } else {
        std::cout << "NO HAY FICHERO DATOS" << std::endl;
      }
    }
    vista_.setNombre(primeraRuta(ficheros_));
    vista_.setFicheros(ficheros_);
    ventanaInicial_.superior = 65535;
    ventanaInicial_.inferior = 0;

    VolumenAbierto abierto = abreLista(ficheros_, observador);
    if (!abierto.display) throw ErrorLectura(primeraRuta(ficheros_).toStdString(), "no volume was read");
    cuboLeido_ = std::move(abierto.leido);
    cuboOriginal_ = std::move(abierto.display);
    ventanaInicial_ = {cuboOriginal_.get(), abierto.inferior, abierto.superior};
    cuboOriginal_->setTextoCabecera(abierto.resumen);

    const std::string modalidad = cuboOriginal_->atributos()["modality"];
    if (!modalidad.empty()) modalidad_ = modalidad;

    inicializaCuboOError();
  } catch (const ErrorLectura& e) {
    muestraErrorApertura(QString::fromStdString(e.ruta()), QString::fromStdString(e.motivo()));
    return false;
  } catch (const std::exception& e) {
    muestraErrorApertura(primeraRuta(ficheros_), QString::fromStdString(e.what()));
    return false;
  }
  return true;
}

void Visualizador::abrirCarpeta() {
  if (!intentaAbrirCarpeta()) abrirFichero();
}

bool Visualizador::intentaAbrirCarpeta() {
  liberaCubos();
  const QString inicio = ultimaRuta_.isEmpty() ? QDir::currentPath() : ultimaRuta_;
  ultimaRuta_ = dialogos_->eligeCarpeta(this, tr("Seleccionar una carpeta"), inicio);
  // An empty answer names the working directory.
  const QString carpeta = ultimaRuta_.isEmpty() ? QStringLiteral(".") : ultimaRuta_;

  qDebug() << "el nuevo dir es:" << primerFicheroCarpeta(carpeta) << ultimaRuta_;
  ficheros_ = ficherosCarpeta(carpeta);

  const int tipo = compruebaCarpeta(carpeta);
  if (tipo != 0) avisoFormatos(tipo);

  try {
    ObservadorVisor observador(this, *dialogos_);
    vista_.setNombre(primerFicheroCarpeta(carpeta));
    vista_.setFicheros(ficheros_);

    VolumenAbierto abierto = abreListaCarpeta(ficheros_, observador);
    if (!abierto.display) throw ErrorLectura(carpeta.toStdString(), "no volume was read");
    cuboLeido_ = std::move(abierto.leido);
    cuboOriginal_ = std::move(abierto.display);
    ventanaInicial_ = {cuboOriginal_.get(), abierto.inferior, abierto.superior};
    // A folder's volume gets its summary too, so that "Header Info" is not
    // empty for a DICOM series opened as a folder.
    cuboOriginal_->setTextoCabecera(abierto.resumen);

    vista_.reinicia();
    inicializaCuboOError();
  } catch (const ErrorLectura& e) {
    muestraErrorApertura(QString::fromStdString(e.ruta()), QString::fromStdString(e.motivo()));
    return false;
  } catch (const std::exception& e) {
    muestraErrorApertura(carpeta, QString::fromStdString(e.what()));
    return false;
  }
  return true;
}

void Visualizador::muestraErrorApertura(const QString& ruta, const QString& motivo) {
  std::cerr << "osmavu: " << ruta.toStdString() << ": " << motivo.toStdString() << std::endl;
  dialogos_->error(QStringLiteral("Dravoni"), tr("Cannot open %1:\n%2").arg(ruta, motivo));
}

int Visualizador::compruebaLista(const QStringList& lista) {
  if (lista.isEmpty()) return 0;
  const QString e0 = extension(lista.first());
  for (const QString& ruta : lista) {
    const QString e = extension(ruta);
    if (e != e0) return 2;
    if (e == QLatin1String("hdr") && lista.size() > 1) return 3;
  }
  return 0;
}

int Visualizador::compruebaCarpeta(const QString& carpeta) {
  const QString primero = primerFicheroCarpeta(carpeta);
  qDebug().noquote() << QStringLiteral("Imprime el primer fichero    \"%1\"").arg(primero);
  const QString e0 = extension(primero);
  if (e0 == QLatin1String("qrc")) {
    termina(0);
    return 0;
  }
  auto esVisible = [](const QString& e) {
    return e == QLatin1String("dcm") || e == QLatin1String("dat");
  };
  for (const QString& ruta : ficherosCarpeta(carpeta)) {
    const QString e = extension(ruta);
    if (!esVisible(e) || !esVisible(e0)) return 4;
    if (e != e0) return 1;
  }
  return 0;
}

void Visualizador::avisoFormatos(int tipo) {
  const QString texto = QString::fromUtf8(kTextoAviso[tipo >= 1 && tipo <= 4 ? tipo : 2]);
  if (dialogos_->avisoFormatos(texto))
    eligeModo();
  else
    termina(0);
}

void Visualizador::eligeModo() {
  switch (dialogos_->eligeModo(QString::fromUtf8(kTextoModo))) {
    case Dialogos::Modo::automatico:
      abrirFichero();
      modoApertura_ = 'a';  // a char: GCC 12 warns falsely of a literal's copy here
      textoModo_ = QStringLiteral("p");
      break;
    case Dialogos::Modo::manual:
      abrirFichero();
      modoApertura_ = 'm';
      textoModo_ = QStringLiteral("p");
      break;
    case Dialogos::Modo::cancelar:
      termina(0);
      break;
  }
}

void Visualizador::inicializaCubo() {
  try {
    inicializaCuboOError();
  } catch (const ErrorLectura& e) {
    muestraErrorApertura(QString::fromStdString(e.ruta()), QString::fromStdString(e.motivo()));
  } catch (const std::exception& e) {
    muestraErrorApertura(vista_.nombre(), QString::fromStdString(e.what()));
  }
}

void Visualizador::inicializaCuboOError() {
  const QString ruta = vista_.nombre();
  if (!cuboOriginal_) throw ErrorLectura(ruta.toStdString(), "no volume was read");
  if (cuboOriginal_->numCortes() < 1 || cuboOriginal_->cortesPresentes() < cuboOriginal_->numCortes())
    throw ErrorLectura(ruta.toStdString(), "the volume holds no slices to show");

  cuboProcesado_ = cuboOriginal_->clona();
  cuboProcesado_->setCorteActual(0);
  cuboOriginal_->setCorteActual(0);
  vista_.setGeometria(cuboProcesado_->geometria());

  const AttributeMap atributos = cuboProcesado_->atributos();
  const double z = atributoNecesario(atributos, "PixelDimz", ruta);
  const double y = atributoNecesario(atributos, "PixelDimy", ruta);
  const double x = atributoNecesario(atributos, "PixelDimx", ruta);
  vista_.setTamanoPixel(std::make_shared<TamanoPixel>(static_cast<float>(x), static_cast<float>(y),
                                                      static_cast<float>(z)));

  vista_.setNumCortes(cuboProcesado_->numCortes());
  vista_.setSuperior(cuboProcesado_->corte(0)->maximo());
  vista_.setInferior(cuboProcesado_->corte(0)->minimo());

  const Geometria& g = cuboProcesado_->geometria();
  region_ = std::make_shared<Region>(0, g->ancho() - 1, 0, g->alto() - 1, 0, vista_.numCortes());
  punto_ = std::make_shared<Punto>();
  vista_.setRegion(region_);
  vista_.setPunto(punto_);

  if (textoModo_ == QLatin1String("p")) {
    avances();
    noSquare();
  } else {
    leePaletas();
    accionImprimir_->setEnabled(true);
    accionAjustar_->setEnabled(true);
    for (QAction* a : accionPaleta_) {
      a->setChecked(false);
      a->setEnabled(true);
    }
    accionInvertir_->setChecked(false);
    accionInvertir_->setEnabled(true);
    const bool libre = !accionAjustar_->isChecked();
    accionZoomIn_->setEnabled(libre);
    accionZoomOut_->setEnabled(libre);
    accionNormal_->setEnabled(libre);
    if (libre) etiquetaImagen_->adjustSize();
  }

  // The window the open decided is the one shown. The spin boxes render only
  // when their value changes, so without this a lower spin box already at 0
  // would leave the slice's own minimum as the lower limit (64536 for a CT
  // slice holding -1000) and the first render would push it into the box.
  vista_.setInferior(ventanaInicial_.inferior);
  vista_.setSuperior(ventanaInicial_.superior);
  spinInferior_->setRange(0, 65535);
  spinInferior_->setValue(ventanaInicial_.inferior);
  spinSuperior_->setRange(0, 65535);
  spinSuperior_->setValue(ventanaInicial_.superior);

  const QString texto = formaNombreFichero(vista_.nombre()).toUpper();
  etiquetaFichero_->setText(texto);
  qDebug() << "texto en panel " << texto;

  accionVolumen_->setEnabled(true);
  radio_ = 8;
  // Edge points clicked on the volume before belong to another picture.
  puntosManuales_.vacia();
}

void Visualizador::leePaletas() {
  const QString ruta = rutaRecurso(QStringLiteral("./fichero/fichero_datos"));
  LecturaPaletas estado = LecturaPaletas::completa;
  paletas_ = leePaletasDe(ruta, &estado);
  if (estado == LecturaPaletas::sinFichero)
    std::cerr << "osmavu: " << ruta.toStdString()
              << ": cannot open the palette file; no palettes are available" << std::endl;
  else if (estado == LecturaPaletas::malFormada)
    std::cerr << "osmavu: " << ruta.toStdString()
              << ": reading stopped at text that is not a number from 0 to 65535; "
              << paletas_.size() << " palette(s) taken from the numbers before it" << std::endl;
}

// ---- display ----

void Visualizador::setwindowinferior(int v) {
  vista_.setInferior(v);
  avances();
  noSquare();
}

void Visualizador::setwindowsuperior(int v) {
  vista_.setSuperior(v);
  avances();
  noSquare();
}

void Visualizador::avances() {
  if (!cuboProcesado_) return;
  const int actual = cuboProcesado_->corteActual();
  if (actual < 0 || actual >= cuboProcesado_->cortesPresentes() || !vista_.geometria()) return;

  spinInferior_->setValue(vista_.inferior());
  spinSuperior_->setValue(vista_.superior());
  statusBar()->showMessage(tr("Slice=") + QString::number(actual + 1));

  const Corte* corte = cuboProcesado_->corte(actual);
  if (!corte) return;
  const Muestras<uint16_t> muestras = corte->comoUShort();

  // The slices keep their stored shape; the shared geometry is the turned one.
  Imagen16 b;
  const Geometria& g = vista_.geometria();
  const bool impar = vista_.rotacion() % 2 != 0;
  b.ancho = impar ? g->alto() : g->ancho();
  b.alto = impar ? g->ancho() : g->alto();
  b.muestras.assign(muestras.begin(), muestras.end());
  b.muestras.resize(g->numMuestras(), 0);
  for (int i = 0; i < vista_.rotacion(); ++i) b = giraDerecha(b);
  buffer_ = std::move(b);
  flips();

  if (actual < ficheros_.size()) {
    vista_.setNombre(ficheros_.at(actual));
    etiquetaFichero_->setText(formaNombreFichero(vista_.nombre()).toUpper());
  }
}

// The chosen palette (or inversion) goes into the window's table, so the
// picture is made and turned into a pixmap once.
void Visualizador::noSquare() {
  imagen_ = renderizaVentana(buffer_, vista_.inferior(), vista_.superior(), tinteElegido());
  etiquetaImagen_->setPixmap(QPixmap::fromImage(imagen_));
  redimensionaEtiqueta();
  ajustaAccionesZoom();
}

void Visualizador::avancesColor() {
  avances();
  noSquare();
}

void Visualizador::redimensionaEtiqueta() {
  const QPixmap p = etiquetaImagen_->pixmap();
  etiquetaImagen_->resize(qRound(p.width() * vista_.zoom()), qRound(p.height() * vista_.zoom()));
}

void Visualizador::ajustaAccionesZoom() {
  accionZoomIn_->setEnabled(vista_.zoom() < 30.0);
  accionZoomOut_->setEnabled(vista_.zoom() > 0.00333);
}

void Visualizador::muestraImagen(const QImage& im) { etiquetaImagen_->setPixmap(QPixmap::fromImage(im)); }

void Visualizador::zoomIn() {
  vista_.setZoom(vista_.zoom() * 1.25);
  redimensionaEtiqueta();
  ajustaAccionesZoom();
}

void Visualizador::zoomOut() {
  vista_.setZoom(vista_.zoom() * 0.8);
  redimensionaEtiqueta();
  ajustaAccionesZoom();
}

void Visualizador::normalSize() {
  etiquetaImagen_->adjustSize();
  vista_.setZoom(1.0);
}

void Visualizador::fitToWindow() {
  const bool ajusta = accionAjustar_->isChecked();
  areaScroll_->setWidgetResizable(ajusta);
  if (!ajusta) normalSize();
  accionZoomIn_->setEnabled(!ajusta);
  accionZoomOut_->setEnabled(!ajusta);
  accionNormal_->setEnabled(!ajusta);
}

// A palette the data file did not define leaves the picture grey.
void Visualizador::recoloreaCon(int n) {
  if (n >= 1 && n <= static_cast<int>(paletas_.size()))
    coloreaConPaleta(imagen_, paletas_[static_cast<std::size_t>(n - 1)]);
}

void Visualizador::colorN(int n) {
  QAction* accion = accionPaleta_[n - 1];
  recoloreaCon(n);
  conmutaColor(accion, n);
}

void Visualizador::conmutaColor(QAction* accion, int n) {
  if (!accion->isChecked()) imagen_ = renderizaVentana(buffer_, vista_.inferior(), vista_.superior());
  muestraImagen(imagen_);
  const bool libres = !accion->isChecked();
  for (int i = 0; i < 9; ++i)
    if (i != n - 1) accionPaleta_[i]->setEnabled(libres);
  if (accion != accionInvertir_) accionInvertir_->setEnabled(libres);
}

void Visualizador::color1() { colorN(1); }
void Visualizador::color2() { colorN(2); }
void Visualizador::color3() { colorN(3); }
void Visualizador::color4() { colorN(4); }
void Visualizador::color5() { colorN(5); }
void Visualizador::color6() { colorN(6); }
void Visualizador::color7() { colorN(7); }
void Visualizador::color8() { colorN(8); }
void Visualizador::color9() { colorN(9); }

void Visualizador::invertir() {
  invierteImagen(imagen_);
  conmutaColor(accionInvertir_, 0);
}

void Visualizador::color0() {
  for (int i = 0; i < 9; ++i) {
    if (accionPaleta_[i]->isChecked()) {
      recoloreaCon(i + 1);
      return;
    }
  }
  if (accionInvertir_->isChecked()) invierteImagen(imagen_);
}

// What paleta() would lay over a fresh grey picture: the first checked
// palette (none if the data file did not define it), else the inversion.
Tinte Visualizador::tinteElegido() const {
  for (int i = 0; i < 9; ++i)
    if (accionPaleta_[i]->isChecked())
      return Tinte{i < static_cast<int>(paletas_.size()) ? &paletas_[static_cast<std::size_t>(i)] : nullptr};
  return Tinte{nullptr, accionInvertir_->isChecked()};
}

void Visualizador::paleta() {
  for (int i = 0; i < 9; ++i) {
    if (accionPaleta_[i]->isChecked()) {
      colorN(i + 1);
      return;
    }
  }
  if (accionInvertir_->isChecked()) invertir();
}

// ---- navigation and orientation ----

void Visualizador::retrocederImagenPrincipio() {
  if (!cuboProcesado_ || !cuboOriginal_) return;
  cuboProcesado_->setCorteActual(0);
  cuboOriginal_->setCorteActual(0);
  avances();
  noSquare();
}

void Visualizador::avanzarImagenFinal() {
  if (!cuboProcesado_ || !cuboOriginal_) return;
  const int n = vista_.numCortes();
  cuboProcesado_->setCorteActual(n - 1);
  cuboOriginal_->setCorteActual(cuboOriginal_->numCortes() == n ? n - 1 : 0);
  avances();
  noSquare();
}

void Visualizador::avanzarImagen() {
  if (!cuboProcesado_ || !cuboOriginal_) return;
  const int n = vista_.numCortes();
  if (cuboProcesado_->corteActual() < n - 1) cuboProcesado_->setCorteActual(cuboProcesado_->corteActual() + 1);
  if (cuboOriginal_->numCortes() != n)
    cuboOriginal_->setCorteActual(0);
  else if (cuboOriginal_->corteActual() < n - 1)
    cuboOriginal_->setCorteActual(cuboOriginal_->corteActual() + 1);
  avances();
  noSquare();
}

void Visualizador::retrocederImagen() {
  if (!cuboProcesado_ || !cuboOriginal_) return;
  const int n = vista_.numCortes();
  if (cuboProcesado_->corteActual() > 0) cuboProcesado_->setCorteActual(cuboProcesado_->corteActual() - 1);
  if (cuboOriginal_->numCortes() != n)
    cuboOriginal_->setCorteActual(0);
  else if (cuboOriginal_->corteActual() > 0)
    cuboOriginal_->setCorteActual(cuboOriginal_->corteActual() - 1);
  avances();
  noSquare();
}

// A step of five is taken whole or not at all.
void Visualizador::avanzarrapido() {
  if (!cuboProcesado_ || !cuboOriginal_) return;
  const int n = vista_.numCortes();
  if (cuboProcesado_->corteActual() < n - 5) cuboProcesado_->setCorteActual(cuboProcesado_->corteActual() + 5);
  if (cuboOriginal_->numCortes() != n)
    cuboOriginal_->setCorteActual(0);
  else if (cuboOriginal_->corteActual() < n - 5)
    cuboOriginal_->setCorteActual(cuboOriginal_->corteActual() + 5);
  avances();
  noSquare();
}

void Visualizador::retrocederrapido() {
  if (!cuboProcesado_ || !cuboOriginal_) return;
  const int n = vista_.numCortes();
  if (cuboProcesado_->corteActual() > 4) cuboProcesado_->setCorteActual(cuboProcesado_->corteActual() - 5);
  if (cuboOriginal_->numCortes() != n)
    cuboOriginal_->setCorteActual(0);
  else if (cuboOriginal_->corteActual() > 4)
    cuboOriginal_->setCorteActual(cuboOriginal_->corteActual() - 5);
  avances();
  noSquare();
}

void Visualizador::rotar_derecha() {
  vista_.gira(+1);
  qDebug() << "d" << vista_.rotacion();
  vista_.intercambiaEjes();
  buffer_ = giraDerecha(buffer_);
  paleta();
  noSquare();
}

void Visualizador::rotar_izquierda() {
  vista_.gira(-1);
  qDebug() << "i" << vista_.rotacion();
  vista_.intercambiaEjes();
  buffer_ = giraIzquierda(buffer_);
  paleta();
  noSquare();
}

void Visualizador::imagen_flip_horizontal() {
  vista_.cambiaFlipH();
  qDebug() << "h" << vista_.flipH();
  buffer_ = espejoHorizontal(buffer_);
  paleta();
  noSquare();
}

void Visualizador::imagen_flip_vertical() {
  vista_.cambiaFlipV();
  qDebug() << "v" << vista_.flipV();
  buffer_ = espejoVertical(buffer_);
  paleta();
  noSquare();
}

void Visualizador::flips() {
  if (vista_.flipH() == 1) buffer_ = espejoHorizontal(buffer_);
  if (vista_.flipV() == 1) buffer_ = espejoVertical(buffer_);
}

void Visualizador::flipsOr() {
  if (vista_.flipH() == 1) {
    qDebug() << "Flip H";
    buffer_ = espejoHorizontal(buffer_);
    vista_.setFlipH(0);
  }
  if (vista_.flipV() == 1) {
    qDebug() << "Flip V";
    buffer_ = espejoVertical(buffer_);
    vista_.setFlipV(0);
  }
}

void Visualizador::original() {
  if (!cuboOriginal_ || cuboOriginal_->cortesPresentes() < 1) return;
  const bool impar = vista_.rotacion() % 2 != 0;
  vista_.reinicia();
  if (impar) vista_.intercambiaEjes();

  double x = 0, y = 0, z = 0;
  try {
    const AttributeMap atributos = cuboOriginal_->atributos();
    z = atributoNecesario(atributos, "PixelDimz", vista_.nombre());
    y = atributoNecesario(atributos, "PixelDimy", vista_.nombre());
    x = atributoNecesario(atributos, "PixelDimx", vista_.nombre());
  } catch (const ErrorLectura& e) {
    muestraErrorApertura(QString::fromStdString(e.ruta()), QString::fromStdString(e.motivo()));
    return;
  }
  vista_.setTamanoPixel(std::make_shared<TamanoPixel>(static_cast<float>(x), static_cast<float>(y),
                                                      static_cast<float>(z)));

  if (!punto_) punto_ = std::make_shared<Punto>();
  *punto_ = Punto{};
  vista_.setPunto(punto_);
  if (!region_) region_ = std::make_shared<Region>();
  region_->x0 = 0;
  region_->x1 = imagen_.width() - 1;
  region_->y0 = 0;
  region_->y1 = imagen_.height() - 1;
  region_->z0 = 0;
  region_->z1 = vista_.numCortes() - 1;
  vista_.setRegion(region_);

  vista_.setNumCortes(cuboOriginal_->numCortes());
  vista_.setSuperior(cuboOriginal_->corte(0)->maximo());
  vista_.setInferior(cuboOriginal_->corte(0)->minimo());
  spinInferior_->setValue(vista_.inferior());
  spinSuperior_->setValue(vista_.superior());

  vista_.setGeometria(cuboOriginal_->geometria());
  cuboProcesado_ = cuboOriginal_->clona();
  cuboProcesado_->setCorteActual(0);

  radio_ = 8;
  checkMedir_->setChecked(false);
  checkRoi_->setChecked(false);
  checkBorde_->setChecked(false);
  botonIrregular_->setChecked(false);
  botonCircle_->setChecked(false);

  flipsOr();
  avances();
  noSquare();
}

// ---- hidden measuring tools ----

void Visualizador::muestraEnEtiqueta() { muestraImagen(imagen_); }

void Visualizador::check_medir() {
  const bool libre = !checkMedir_->isChecked();
  checkRoi_->setEnabled(libre);
  botonIrregular_->setEnabled(libre);
  muestraEnEtiqueta();
}

void Visualizador::check_roi() {
  const bool libre = !checkRoi_->isChecked();
  checkMedir_->setEnabled(libre);
  botonIrregular_->setEnabled(libre);
  muestraEnEtiqueta();
}

void Visualizador::check_irregular() {
  const bool libre = !botonIrregular_->isChecked();
  checkRoi_->setEnabled(libre);
  checkMedir_->setEnabled(libre);
}

void Visualizador::check_circle() {
  const bool libre = !botonCircle_->isChecked();
  checkRoi_->setEnabled(libre);
  checkMedir_->setEnabled(libre);
  botonIrregular_->setEnabled(libre);
  setCursor(cursorCirculo(ladoCursorCirculo(vista_.zoom(), radio_)));
  if (radio_ < 500) ++radio_;
}

void Visualizador::check_circleS() {
  const bool libre = !botonCircleS_->isChecked();
  checkRoi_->setEnabled(libre);
  checkMedir_->setEnabled(libre);
  botonIrregular_->setEnabled(libre);
  setCursor(cursorCirculo(ladoCursorCirculo(vista_.zoom(), radio_)));
  if (radio_ > 1) --radio_;
}

// ---- header, printing, filter ----

void Visualizador::informacion_cabecera() {
  dialogos_->informacion(QStringLiteral("Header Info"),
                         cuboOriginal_ ? cuboOriginal_->textoCabecera() : QString());
}

void Visualizador::print() {
  if (!dialogos_->imprime(impresora_, this)) return;
  QPainter pintor;
  if (!pintor.begin(&impresora_)) {
    dialogos_->error(QStringLiteral("Dravoni"),
                     tr("The picture could not be printed to %1.").arg(impresora_.outputFileName()));
    return;
  }
  dibujaAjustado(pintor, etiquetaImagen_->pixmap());
  pintor.end();
}

QString Visualizador::primerFicheroElegido() const {
  return ficheros_.isEmpty() ? ultimaRuta_ : primeraRuta(ficheros_);
}

void Visualizador::applyFilterBasicoUS() {
  if (!cuboProcesado_) return;
  QString error;
  bool hecho = false;
  bool avisado = false;
  try {
    hecho = aplicaFiltro(*cuboProcesado_, vista_, primerFicheroElegido(), modoApertura_,
                         opciones_.rutaPlugin, this, &error, nullptr, &avisado);
  } catch (const std::exception& e) {
    error = QString::fromStdString(e.what());
  }
  if (!hecho) {
    std::cerr << "osmavu: " << opciones_.rutaPlugin.toStdString() << ": " << error.toStdString()
              << std::endl;
    // A run that failed inside the library has shown its own box already.
    if (!avisado)
      dialogos_->aviso(QStringLiteral("Dravoni"), tr("The filter library %1 could not be run:\n%2")
                                                    .arg(opciones_.rutaPlugin, error));
  }
  avances();
  noSquare();
}
