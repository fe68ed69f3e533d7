#include "dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* spin(const char* nombre, int minimo, int maximo, int inicial, int paso) {
  auto* s = new QSpinBox;
  s->setObjectName(QString::fromLatin1(nombre));
  s->setRange(minimo, maximo);
  s->setValue(inicial);
  s->setSingleStep(paso);
  return s;
}

QCheckBox* casilla(const char* texto, const char* nombre) {
  auto* c = new QCheckBox(QString::fromLatin1(texto));
  c->setObjectName(QString::fromLatin1(nombre));
  return c;
}

QRadioButton* opcion(const char* texto, const char* nombre) {
  auto* r = new QRadioButton(QString::fromLatin1(texto));
  r->setObjectName(QString::fromLatin1(nombre));
  return r;
}

QGroupBox* grupo(const char* titulo, const char* nombre, QGridLayout*& rejilla) {
  auto* g = new QGroupBox(QString::fromLatin1(titulo));
  g->setObjectName(QString::fromLatin1(nombre));
  rejilla = new QGridLayout(g);
  return g;
}

void fila(QGridLayout* rejilla, int f, const char* etiqueta, QSpinBox* caja) {
  rejilla->addWidget(new QLabel(QString::fromLatin1(etiqueta)), f, 0);
  rejilla->addWidget(caja, f, 1);
}

}  // namespace

Dialog::Dialog() {
  const ValoresDialogo inicial;
  iteraciones_.reset(spin("spinIteraciones", 0, 512, inicial.iteraciones, 1));
  sigma_.reset(spin("spinSigma", 0, 64, inicial.sigma, 1));
  ventana_.reset(spin("spinVentana", 0, 64, inicial.ventana, 1));
  nAngulos_ = spin("spinAngulos", 1, 1440, inicial.nAngulos, 4);
  longitudLinea_.reset(spin("spinLongitudLinea", 0, 512, inicial.longitudLinea, 5));
  longitudMinima_ = spin("spinLongitudMinima", 0, 256, inicial.longitudMinima, 1);
  velocidad_.reset(spin("spinVelocidad", 0, 25, inicial.velocidad, 1));
  tamanoMinimo_ = spin("spinTamanoMinimo", 10, 10000, inicial.tamanoMinimo, 10);
  tamanoMaximo_ = spin("spinTamanoMaximo", 100, 1000000, inicial.tamanoMaximo, 100);
  nBins_ = spin("spinBins", 2, 4096, inicial.nBins, 2);
  umbral_.reset(spin("spinUmbral", 0, 255, inicial.umbral, 1));

  suavizado_ = casilla("Smoothing Filter", "checkSuavizado");
  gradiente_ = casilla("Gradient Filter", "checkGradiente");
  umbralizacion_ = casilla("Thresholding", "checkUmbralizacion");
  deteccion_ = casilla("Line Detector", "checkDeteccion");
  for (QCheckBox* c : {suavizado_, gradiente_, umbralizacion_, deteccion_}) c->setChecked(true);

  soloLineas_ = opcion("Straight Lines Only", "radioSoloLineas");
  lineasFondo_ = opcion("Straight Lines + BG", "radioLineasFondo");
  lineasFondo_->setChecked(true);

  run_ = new QPushButton(tr("Run"));
  run_->setObjectName(QStringLiteral("botonRun"));

  QGridLayout* rejilla = nullptr;
  QGroupBox* preprocesado = grupo("Preprocessing Parameters", "grupoPreprocesado", rejilla);
  rejilla->addWidget(suavizado_, 0, 0);
  rejilla->addWidget(gradiente_, 1, 0);
  rejilla->addWidget(umbralizacion_, 3, 0);

  QGroupBox* lineas = grupo("SL Parameters", "grupoLineas", rejilla);
  rejilla->addWidget(deteccion_, 0, 0);
  fila(rejilla, 1, "Number of Angles: ", nAngulos_);
  fila(rejilla, 3, "Minimum SL Length: ", longitudMinima_);

  grupoEtiquetas_.reset(grupo("Label Parameters", "grupoEtiquetas", rejilla));
  fila(rejilla, 0, "Minimun Size: ", tamanoMinimo_);
  fila(rejilla, 1, "Maximun Size: ", tamanoMaximo_);

  grupoSalida_.reset(grupo("Output Parameters", "grupoSalida", rejilla));
  rejilla->addWidget(soloLineas_, 0, 0);
  rejilla->addWidget(lineasFondo_, 0, 1);
  fila(rejilla, 1, "N Bins: ", nBins_);

  auto* disposicion = new QVBoxLayout(this);
  disposicion->addWidget(preprocesado);
  disposicion->addWidget(lineas);
  disposicion->addWidget(run_);

  connect(run_, &QPushButton::clicked, this, &Dialog::aceptar);
  setWindowTitle(tr("Skeletonization"));
}

Dialog::~Dialog() = default;

QWidget* Dialog::componente(const QString& nombre) const {
  for (QWidget* w : std::initializer_list<QWidget*>{
           iteraciones_.get(), sigma_.get(), ventana_.get(), longitudLinea_.get(),
           velocidad_.get(), umbral_.get(), grupoEtiquetas_.get(), grupoSalida_.get()}) {
    if (w->objectName() == nombre) return w;
    if (auto* hijo = w->findChild<QWidget*>(nombre)) return hijo;
  }
  return findChild<QWidget*>(nombre);
}

void Dialog::aceptar() {
  valores_.nAngulos = nAngulos_->value();
  valores_.longitudLinea = longitudLinea_->value();
  valores_.longitudMinima = longitudMinima_->value();
  valores_.velocidad = velocidad_->value();
  valores_.tamanoMinimo = tamanoMinimo_->value();
  valores_.tamanoMaximo = tamanoMaximo_->value();
  valores_.nBins = nBins_->value();
  valores_.suavizado = suavizado_->isChecked();
  if (valores_.suavizado) valores_.iteraciones = iteraciones_->value();
  valores_.gradiente = gradiente_->isChecked();
  if (valores_.gradiente) {
    valores_.sigma = sigma_->value();
    valores_.ventana = ventana_->value();
  }
  valores_.umbralizacion = umbralizacion_->isChecked();
  if (valores_.umbralizacion) valores_.umbral = umbral_->value();
  valores_.deteccion = deteccion_->isChecked();
  valores_.tipoSalida = soloLineas_->isChecked() ? 'c' : 'n';
  aceptado_ = true;
  close();
}
