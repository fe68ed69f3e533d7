#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "geometria.h"

// A pixel position with its slice.
struct Punto {
  int x = 0;
  int y = 0;
  int z = 0;
};

// A box of interest; the constructor keeps its first values beside the
// current ones.
struct Region {
  Region() = default;
  Region(int x0, int x1, int y0, int y1, int z0, int z1)
      : x0(x0), x1(x1), y0(y0), y1(y1), z0(z0), z1(z1),
        x0i(x0), x1i(x1), y0i(y0), y1i(y1), z0i(z0), z1i(z1) {}
  int x0 = 0, x1 = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
  int x0i = 0, x1i = 0, y0i = 0, y1i = 0, z0i = 0, z1i = 0;
};

// Pixel size in mm.
class TamanoPixel {
 public:
  TamanoPixel() = default;
  TamanoPixel(float x, float y, float z) : x_(x), y_(y), z_(z) {}
  float x() const { return x_; }
  float y() const { return y_; }
  float z() const { return z_; }
  void setX(float v) { x_ = v; }
  void setY(float v) { y_ = v; }
  void setZ(float v) { z_ = v; }
  void intercambiaXY() { std::swap(x_, y_); }

 private:
  float x_ = 0, y_ = 0, z_ = 0;
};

class Border {
 public:
  virtual ~Border() = default;
};

// The edge point list: read from a companion file or clicked in manual mode.
// It owns its points.
class Borde : public Border {
 public:
  int numPuntos() const { return numPuntos_; }
  void setNumPuntos(int n) { numPuntos_ = n; }
  const std::vector<Punto>& puntos() const { return puntos_; }
  void setPuntos(std::vector<Punto> p) { puntos_ = std::move(p); }
  void calculaMaximos();
  int maxX() const { return maxX_; }
  int maxY() const { return maxY_; }
  int maxZ() const { return maxZ_; }

 private:
  int numPuntos_ = 0;
  std::vector<Punto> puntos_;
  int maxX_ = 0, maxY_ = 0, maxZ_ = 0;
};

// How the main window looks at its working volume. Copies are shallow: the
// pointed-to records are shared, the texts are copied.
class EstadoVista {
 public:
  EstadoVista();

  void reinicia();
  void gira(int a);
  void cambiaFlipH() { flipH_ = flipH_ ? 0 : 1; }
  void cambiaFlipV() { flipV_ = flipV_ ? 0 : 1; }
  void intercambiaEjes();

  const Geometria& geometria() const { return geometria_; }
  void setGeometria(Geometria g) { geometria_ = std::move(g); }
  const std::shared_ptr<TamanoPixel>& tamanoPixel() const { return tamanoPixel_; }
  void setTamanoPixel(std::shared_ptr<TamanoPixel> t) { tamanoPixel_ = std::move(t); }
  const std::shared_ptr<Region>& region() const { return region_; }
  void setRegion(std::shared_ptr<Region> r) { region_ = std::move(r); }
  const std::shared_ptr<Punto>& punto() const { return punto_; }
  void setPunto(std::shared_ptr<Punto> p) { punto_ = std::move(p); }
  const QString& nombre() const { return nombre_; }
  void setNombre(const QString& n) { nombre_ = n; }
  const QStringList& ficheros() const { return ficheros_; }
  void setFicheros(const QStringList& f) { ficheros_ = f; }
  int numCortes() const { return numCortes_; }
  void setNumCortes(int n) { numCortes_ = n; }
  int superior() const { return superior_; }
  void setSuperior(int v) { superior_ = v; }
  int inferior() const { return inferior_; }
  void setInferior(int v) { inferior_ = v; }
  int rotacion() const { return rotacion_; }
  void setRotacion(int r) { rotacion_ = r; }
  int flipH() const { return flipH_; }
  void setFlipH(int f) { flipH_ = f; }
  int flipV() const { return flipV_; }
  void setFlipV(int f) { flipV_ = f; }
  double zoom() const { return zoom_; }
  void setZoom(double z) { zoom_ = z; }
  const std::shared_ptr<Borde>& borde() const { return borde_; }
  void setBorde(std::shared_ptr<Borde> b) { borde_ = std::move(b); }

 private:
  Geometria geometria_;
  std::shared_ptr<TamanoPixel> tamanoPixel_;
  std::shared_ptr<Region> region_;
  std::shared_ptr<Punto> punto_;
  QString nombre_;
  QStringList ficheros_;
  int numCortes_ = 0;
  int superior_ = 0;
  int inferior_ = 0;
  int rotacion_ = 0;
  int flipH_ = 0;
  int flipV_ = 0;
  double zoom_ = 1.0;
  std::shared_ptr<Borde> borde_;
};
