#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "atributos.h"
#include "corte.h"
#include "geometria.h"

// A volume: slices of one size, the slice on display, a header text for the
// user and the attributes of the acquisition.
class Cubo {
 public:
  Cubo();
  Cubo(Geometria geometria, int numCortes, const AttributeMap& atributos);
  virtual ~Cubo() = default;
  Cubo(const Cubo&) = delete;
  Cubo& operator=(const Cubo&) = delete;

  int numCortes() const { return numCortes_; }
  void setNumCortes(int n) { numCortes_ = n; }
  int corteActual() const { return corteActual_; }
  void setCorteActual(int i) { corteActual_ = i; }
  const Geometria& geometria() const { return geometria_; }
  void setGeometria(Geometria g) { geometria_ = std::move(g); }
  QString textoCabecera() const { return textoCabecera_; }
  void setTextoCabecera(const QString& t) { textoCabecera_ = t; }

  // Out-of-range indices are the standard out-of-range error.
  Corte* corte(int i) const;
  std::unique_ptr<Corte> ponCorte(std::unique_ptr<Corte> corte, int i);
  void anadeCorte(std::unique_ptr<Corte> corte);
  // Slices actually held (numCortes is what the rest of the system asks for).
  int cortesPresentes() const { return static_cast<int>(cortes_.size()); }

  AttributeMap atributos() const { return atributos_; }
  const AttributeMap& atributosRef() const { return atributos_; }
  void ponAtributos(const AttributeMap& m) { atributos_ = m; }

  // The working copy: unsigned 16-bit slices with fresh arrays, the source's
  // limits, shared geometry, a copy of the attributes, empty text.
  std::unique_ptr<Cubo> clona() const;

 private:
  Geometria geometria_;
  int numCortes_ = 0;
  int corteActual_ = 0;
  std::vector<std::unique_ptr<Corte>> cortes_;
  QString textoCabecera_;
  AttributeMap atributos_;
};

// A raw X-ray acquisition: a volume with the distances of the source and the
// offsets of the detector.
class CuboSinograma : public Cubo {
 public:
  CuboSinograma(Geometria geometria, int numCortes, float distanciaFocoObjeto,
                float distanciaFocoDetector, const AttributeMap& atributos);

  float distanciaFocoObjeto() const { return distanciaFocoObjeto_; }
  float distanciaFocoDetector() const { return distanciaFocoDetector_; }
  int desplazamientoH() const { return desplazamientoH_; }
  int desplazamientoV() const { return desplazamientoV_; }
  void setDesplazamientoH(int d) { desplazamientoH_ = d; }
  void setDesplazamientoV(int d) { desplazamientoV_ = d; }

 private:
  float distanciaFocoObjeto_;
  float distanciaFocoDetector_;
  int desplazamientoH_ = 0;
  int desplazamientoV_ = 0;
};
