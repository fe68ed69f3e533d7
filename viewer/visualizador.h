#pragma once

#include <memory>
#include <string>

#include <QImage>
#include <QMainWindow>
#include <QPrinter>
#include <QString>
#include <QStringList>

#include "cubo.h"
#include "dialogos.h"
#include "estado_vista.h"
#include "orientacion.h"
#include "proceso.h"
#include "puntero.h"
#include "render.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QMouseEvent;
class QScrollArea;
class QSpinBox;
class QToolButton;

// What a window is built with. The constructor already runs the first open
// and the filter, so everything those need is given here.
struct OpcionesVisualizador {
  std::shared_ptr<Dialogos> dialogos;  // null: the real Qt dialogs
  Terminador terminar;                 // null: terminaProceso
  QString rutaPlugin;                  // empty: rutaPluginPorDefecto()
  QStringList ficherosIniciales;       // taken as the answer of the first file dialog
};

class Visualizador : public QMainWindow {
  Q_OBJECT

 public:
  explicit Visualizador(QWidget* parent = nullptr, OpcionesVisualizador opciones = {});
  ~Visualizador() override;

  // Release the three volumes and reset the view state.
  void liberaCubos();
  // The mixed-format warning (kinds 1 to 4); "No" ends the process with 0.
  void avisoFormatos(int tipo);
  // Automatic / Manual: a complete new open in that mode; Cancel ends with 0.
  void eligeModo();
  // 0 when the chosen paths are of one kind, 2 for mixed extensions, 3 for
  // several Analyze headers.
  static int compruebaLista(const QStringList& lista);
  // 0, 1 (mixed DICOM and .dat) or 4 (files that cannot be shown); a folder
  // whose first file ends in "qrc" ends the process with 0.
  int compruebaCarpeta(const QString& carpeta);
  void leePaletas();

  const EstadoVista& vista() const { return vista_; }
  const Cubo* cuboProcesado() const { return cuboProcesado_.get(); }
  const Cubo* cuboOriginal() const { return cuboOriginal_.get(); }
  const Cubo* cuboLeido() const { return cuboLeido_.get(); }
  const QImage& imagen() const { return imagen_; }
  const Imagen16& buffer() const { return buffer_; }
  const QStringList& ficheros() const { return ficheros_; }
  const QString& ultimaRuta() const { return ultimaRuta_; }
  const std::string& modoApertura() const { return modoApertura_; }
  const QString& textoModo() const { return textoModo_; }
  const std::string& modalidad() const { return modalidad_; }
  const TablaPaletas& paletas() const { return paletas_; }
  int radio() const { return radio_; }
  const QImage& superpuesta() const { return superpuesta_; }
  const PuntosManuales& puntosManuales() const { return puntosManuales_; }

 signals:
  void windowChangedinferior(int tam_windowinferior);
  void windowChangedsuperior(int tam_windowsuperior);

  // The order of these slots is the order of the window's meta-object table.
 public slots:
  void setwindowinferior(int);
  void setwindowsuperior(int);
  void nuevo();
  void abrirCarpeta();
  void abrirFichero();
  void inicializaCubo();
  void print();
  void guardar();
  void guardarTodas();
  void close();
  void zoomIn();
  void zoomOut();
  void normalSize();
  void fitToWindow();
  void maxSliceChange(int sliceSuperior);
  void minSliceChange(int sliceSuperior);
  void color0();
  void color1();
  void color2();
  void color3();
  void color4();
  void color5();
  void color6();
  void color7();
  void color8();
  void color9();
  void invertir();
  void avancesColor();
  void avances();
  void flips();
  void flipsOr();
  void paleta();
  void noSquare();
  void retrocederImagen();
  void avanzarImagen();
  void retrocederImagenPrincipio();
  void avanzarImagenFinal();
  void avanzarrapido();
  void retrocederrapido();
  void rotar_derecha();
  void rotar_izquierda();
  void imagen_flip_horizontal();
  void imagen_flip_vertical();
  void original();
  void check_medir();
  void check_roi();
  void check_irregular();
  void check_circle();
  void check_circleS();
  void informacion_cabecera();
  void applyFilterBasicoUS();

 protected:
  // The crosshair read-out, the manual edge points and the hidden tools.
  void mousePressEvent(QMouseEvent* evento) override;
  void mouseMoveEvent(QMouseEvent* evento) override;

 private:
  struct VentanaInicial {
    const Cubo* cubo = nullptr;
    int inferior = 0;
    int superior = 0;
  };

  void creaAcciones();
  Tinte tinteElegido() const;
  void creaMenus();
  void creaBarraHerramientas();
  void creaBarraEstado();
  void creaControlesOcultos();

  bool intentaAbrirFichero();
  bool intentaAbrirCarpeta();
  void inicializaCuboOError();
  void muestraErrorApertura(const QString& ruta, const QString& motivo);
  void termina(int estado);

  void colorN(int n);
  void conmutaColor(QAction* accion, int n);
  void recoloreaCon(int n);
  void ajustaAccionesZoom();
  void redimensionaEtiqueta();
  void muestraImagen(const QImage& im);
  void muestraEnEtiqueta();
  QString primerFicheroElegido() const;

  QPoint posicionEvento(const QMouseEvent* evento) const;
  uint16_t valorEn(int x, int y) const;
  bool herramientaMarcada() const;
  bool circuloMarcado() const;
  void ponPunto(int x, int y);
  void nuevaSuperpuesta();
  void muestraSuperpuesta();
  void recogePuntoManual(const QMouseEvent* evento, int x, int y, uint16_t valor);
  void pulsaCirculo(const QMouseEvent* evento, int x, int y);

  OpcionesVisualizador opciones_;
  std::shared_ptr<Dialogos> dialogos_;

  std::unique_ptr<Cubo> cuboProcesado_;
  std::unique_ptr<Cubo> cuboOriginal_;
  std::unique_ptr<Cubo> cuboLeido_;
  EstadoVista vista_;
  std::shared_ptr<Region> region_;
  std::shared_ptr<Punto> punto_;
  VentanaInicial ventanaInicial_;
  QString textoModo_;
  QString ultimaRuta_;
  QStringList ficheros_;
  Imagen16 buffer_;
  QImage imagen_;
  QImage superpuesta_;
  // Which picture the overlay was copied from, so that a stale overlay from
  // another slice or window is never put back on the label.
  qint64 origenSuperpuesta_ = 0;
  PuntosManuales puntosManuales_;
  int radio_ = 8;
  std::string modalidad_;
  std::string modoApertura_;
  QPrinter impresora_{QPrinter::ScreenResolution};
  TablaPaletas paletas_;
  int maxSlice_ = 0;
  int minSlice_ = 0;
  bool primeraEleccion_ = true;

  QLabel* etiquetaImagen_ = nullptr;
  QScrollArea* areaScroll_ = nullptr;
  QLabel* etiquetaFichero_ = nullptr;
  QSpinBox* spinInferior_ = nullptr;
  QSpinBox* spinSuperior_ = nullptr;

  QAction* accionNuevo_ = nullptr;
  QAction* accionAbrir_ = nullptr;
  QAction* accionAbrirCarpeta_ = nullptr;
  QAction* accionImprimir_ = nullptr;
  QAction* accionGuardar_ = nullptr;
  QAction* accionGuardarTodas_ = nullptr;
  QAction* accionSalir_ = nullptr;
  QAction* accionZoomIn_ = nullptr;
  QAction* accionZoomOut_ = nullptr;
  QAction* accionNormal_ = nullptr;
  QAction* accionAjustar_ = nullptr;
  QAction* accionInformacion_ = nullptr;
  QAction* accionVolumen_ = nullptr;
  QAction* accionPaleta_[9] = {};
  QAction* accionInvertir_ = nullptr;
  QAction* accionCabecera_ = nullptr;

  QMenu* menuArchivo_ = nullptr;
  QMenu* menuVer_ = nullptr;

  QCheckBox* checkMedir_ = nullptr;
  QCheckBox* checkRoi_ = nullptr;
  QCheckBox* checkBorde_ = nullptr;
  QToolButton* botonCircle_ = nullptr;
  QToolButton* botonCircleS_ = nullptr;
  QToolButton* botonIrregular_ = nullptr;
  QToolButton* botonOriginal_ = nullptr;
};
