#include "cubo.h"

#include <algorithm>
#include <stdexcept>

#include "bloque.h"

Cubo::Cubo() : geometria_(std::make_shared<GeometriaCorte>()) {}

Cubo::Cubo(Geometria geometria, int numCortes, const AttributeMap& atributos)
    : geometria_(std::move(geometria)),
      numCortes_(numCortes),
      cortes_(static_cast<std::size_t>(std::max(numCortes, 0))),
      atributos_(atributos) {}

Corte* Cubo::corte(int i) const {
  if (i < 0 || i >= cortesPresentes()) throw std::out_of_range("invalid vector<T> subscript");
  return cortes_[static_cast<std::size_t>(i)].get();
}

std::unique_ptr<Corte> Cubo::ponCorte(std::unique_ptr<Corte> corte, int i) {
  if (i < 0 || i >= cortesPresentes()) throw std::out_of_range("invalid vector<T> subscript");
  std::swap(cortes_[static_cast<std::size_t>(i)], corte);
  return corte;
}

void Cubo::anadeCorte(std::unique_ptr<Corte> corte) {
  corte->setGeometria(geometria_);
  cortes_.push_back(std::move(corte));
}

std::unique_ptr<Cubo> Cubo::clona() const {
  auto copia = std::make_unique<Cubo>(geometria_, numCortes_, atributos_);
  const std::size_t n = geometria_->numMuestras();
  // One block for the whole copy: its pages are touched once, as the reader's.
  const BloqueCortes<uint16_t> bloque(n, static_cast<std::size_t>(std::max(numCortes_, 0)));
  for (int i = 0; i < numCortes_; ++i) {
    const Corte* fuente = i < cortesPresentes() ? corte(i) : nullptr;
    uint16_t* datos = bloque.corte(static_cast<std::size_t>(i));
    // A slot a reader left empty is copied as a black slice, never dereferenced.
    uint16_t inferior = 0, superior = 0;
    std::size_t copiadas = 0;
    if (fuente) {
      Muestras<uint16_t> m = fuente->comoUShort();
      copiadas = std::min(n, m.size());
      std::copy(m.begin(), m.begin() + copiadas, datos);
      inferior = uint16_t(fuente->minimo());
      superior = uint16_t(fuente->maximo());
    }
    std::fill(datos + copiadas, datos + n, uint16_t(0));
    copia->ponCorte(std::make_unique<CorteUnsignedShort>(bloque.comparte(static_cast<std::size_t>(i)), inferior,
                                                         superior, geometria_),
                    i);
  }
  return copia;
}

CuboSinograma::CuboSinograma(Geometria geometria, int numCortes, float distanciaFocoObjeto,
                             float distanciaFocoDetector, const AttributeMap& atributos)
    : Cubo(std::move(geometria), numCortes, atributos),
      distanciaFocoObjeto_(distanciaFocoObjeto),
      distanciaFocoDetector_(distanciaFocoDetector) {}
