#include "estado_vista.h"

#include <algorithm>

void Borde::calculaMaximos() {
  maxX_ = maxY_ = maxZ_ = 0;
  const int n = std::min<int>(numPuntos_, static_cast<int>(puntos_.size()));
  for (int i = 0; i < n; ++i) {
    maxX_ = std::max(maxX_, puntos_[i].x);
    maxY_ = std::max(maxY_, puntos_[i].y);
    maxZ_ = std::max(maxZ_, puntos_[i].z);
  }
}

EstadoVista::EstadoVista() : borde_(std::make_shared<Borde>()) { reinicia(); }

void EstadoVista::reinicia() {
  rotacion_ = 0;
  zoom_ = 1.0;
  if (borde_->numPuntos() != 0) borde_ = std::make_shared<Borde>();
}

void EstadoVista::gira(int a) { rotacion_ = ((rotacion_ + a) % 4 + 4) % 4; }

void EstadoVista::intercambiaEjes() {
  if (geometria_) geometria_->intercambia();
  if (tamanoPixel_) tamanoPixel_->intercambiaXY();
}
