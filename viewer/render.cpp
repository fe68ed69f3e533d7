#include "render.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>

QImage renderizaVentana(const Imagen16& buffer, int inferior, int superior) {
  const int W = buffer.ancho > 0 ? buffer.ancho : 0;
  const int H = buffer.alto > 0 ? buffer.alto : 0;
  QImage imagen(W, H, QImage::Format_RGB32);
  // The factor is single precision on purpose: with L = 0 and U = 7 a sample
  // of 7 gives 254 (254.99998), as the pictures always have.
  const float f = static_cast<float>(255.0 / static_cast<double>(superior - inferior));
  const std::size_t n = buffer.muestras.size();
  std::size_t i = 0;
  for (int x = 0; x < W; ++x) {
    for (int y = 0; y < H; ++y, ++i) {
      const int v = i < n ? buffer.muestras[i] : 0;
      QRgb pixel;
      if (v < inferior) {
        pixel = qRgb(0, 0, 0);
      } else if (v > superior) {
        pixel = qRgb(255, 255, 255);
      } else {
        // Only U == L reaches here with an infinite factor (0 * inf): black.
        const float p = static_cast<float>(v - inferior) * f;
        const int g = std::isfinite(p) ? static_cast<int>(p) : 0;
        pixel = qRgb(g, g, g);
      }
      reinterpret_cast<QRgb*>(imagen.scanLine(y))[x] = pixel;
    }
  }
  return imagen;
}

namespace {

constexpr int kMaxNumeros = 9252;
constexpr int kValoresPaleta = 768;
constexpr int kMaxPaletas = 9;
constexpr unsigned kMarcador = 1100;

// One unsigned 16-bit decimal number as a stream extracts it: white space
// skipped, digits taken up to the first other character. False when there is
// no number there or it does not fit 16 bits.
bool leeNumero(std::istream& entrada, uint16_t& valor, bool& finFichero) {
  entrada >> std::ws;
  finFichero = entrada.peek() == std::char_traits<char>::eof();
  if (finFichero) return false;
  unsigned long v = 0;
  bool alguno = false;
  while (std::isdigit(entrada.peek())) {
    v = v * 10 + static_cast<unsigned long>(entrada.get() - '0');
    alguno = true;
    if (v > 65535) return false;
  }
  if (!alguno) return false;
  valor = static_cast<uint16_t>(v);
  return true;
}

}  // namespace

TablaPaletas parseaPaletas(std::istream& entrada, LecturaPaletas* estado) {
  std::vector<uint16_t> numeros(kMaxNumeros, 0);
  LecturaPaletas lectura = LecturaPaletas::completa;
  for (int i = 0; i < kMaxNumeros; ++i) {
    bool fin = false;
    if (!leeNumero(entrada, numeros[i], fin)) {
      numeros[i] = 0;
      if (!fin) lectura = LecturaPaletas::malFormada;
      break;
    }
  }
  if (estado) *estado = lectura;

  TablaPaletas tabla;
  for (int i = 0; i < kMaxNumeros && static_cast<int>(tabla.size()) < kMaxPaletas; ++i) {
    if (numeros[i] <= kMarcador) continue;
    Paleta p;
    for (int k = 0; k < kValoresPaleta; ++k) {
      const int pos = i + 1 + k;
      p.entradas[k / 3][k % 3] = pos < kMaxNumeros ? numeros[pos] : 0;
    }
    tabla.push_back(p);
  }
  return tabla;
}

TablaPaletas leePaletasDe(const QString& ruta, LecturaPaletas* estado) {
  std::ifstream entrada(QFile::encodeName(ruta).toStdString());
  if (!entrada) {
    if (estado) *estado = LecturaPaletas::sinFichero;
    return {};
  }
  return parseaPaletas(entrada, estado);
}

void coloreaConPaleta(QImage& imagen, const Paleta& paleta) {
  QImage nueva(imagen.size(), QImage::Format_RGB32);
  for (int y = 0; y < imagen.height(); ++y) {
    for (int x = 0; x < imagen.width(); ++x) {
      const QRgb c = imagen.pixel(x, y);
      const int g = (11 * qRed(c) + 16 * qGreen(c) + 5 * qBlue(c)) / 32;
      const auto& e = paleta.entradas[static_cast<std::size_t>(g)];
      nueva.setPixel(x, y, qRgb(e[0] % 256, e[1] % 256, e[2] % 256));
    }
  }
  imagen = nueva;
}

void invierteImagen(QImage& imagen) {
  QImage nueva(imagen.size(), QImage::Format_RGB32);
  for (int y = 0; y < imagen.height(); ++y) {
    for (int x = 0; x < imagen.width(); ++x) {
      const QRgb c = imagen.pixel(x, y);
      nueva.setPixel(x, y, qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c)));
    }
  }
  imagen = nueva;
}

QString formaNombreFichero(const QString& ruta) {
  const QString sinExtension = ruta.left(std::max<qsizetype>(ruta.size() - 4, 0));
  return sinExtension.mid(sinExtension.lastIndexOf(QLatin1Char('/')) + 1);
}

QString rutaRecurso(const QString& relativa) {
  if (QFileInfo::exists(relativa)) return relativa;
  const QString junto = QDir(QCoreApplication::applicationDirPath()).filePath(relativa);
  return QFileInfo::exists(junto) ? QDir::cleanPath(junto) : relativa;
}

void dibujaAjustado(QPainter& pintor, const QPixmap& pixmap) {
  const QRect vista = pintor.viewport();
  QSize tamano = pixmap.size();
  tamano.scale(vista.size(), Qt::KeepAspectRatio);
  pintor.setViewport(vista.x(), vista.y(), tamano.width(), tamano.height());
  pintor.setWindow(pixmap.rect());
  pintor.drawPixmap(0, 0, pixmap);
}
