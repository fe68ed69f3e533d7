#include "render.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <fstream>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>

namespace {

QRgb colorDePaleta(const Paleta& paleta, int gris) {
  const auto& e = paleta.entradas[static_cast<std::size_t>(gris)];
  return qRgb(e[0] % 256, e[1] % 256, e[2] % 256);
}

// The level (11 r + 16 g + 5 b) / 32 of a grey pixel is its own grey, so a
// palette or the inversion over the grey picture is a table of 256 colours
// the window's table can point into.
std::array<QRgb, 256> tonosDe(Tinte tinte) {
  std::array<QRgb, 256> tono;
  for (int g = 0; g < 256; ++g)
    tono[static_cast<std::size_t>(g)] = tinte.paleta       ? colorDePaleta(*tinte.paleta, g)
                                        : tinte.invertido ? qRgb(255 - g, 255 - g, 255 - g)
                                                          : qRgb(g, g, g);
  return tono;
}

// The colour of every sample value through the window, once per picture
// rather than once per pixel.
std::vector<QRgb> tablaVentana(int inferior, int superior, Tinte tinte) {
  const std::array<QRgb, 256> tono = tonosDe(tinte);
  // The factor is single precision on purpose: with L = 0 and U = 7 a sample
  // of 7 gives 254 (254.99998), as the pictures always have.
  const float f = static_cast<float>(255.0 / static_cast<double>(superior - inferior));
  std::vector<QRgb> tabla(65536);
  for (int v = 0; v < 65536; ++v) {
    int g;
    if (v < inferior) {
      g = 0;
    } else if (v > superior) {
      g = 255;
    } else {
      // Only U == L reaches here with an infinite factor (0 * inf): black.
      const float p = static_cast<float>(v - inferior) * f;
      g = std::isfinite(p) ? static_cast<int>(p) : 0;
    }
    // As qRgb takes a component: its low eight bits.
    tabla[static_cast<std::size_t>(v)] = tono[static_cast<std::size_t>(g & 0xff)];
  }
  return tabla;
}

}  // namespace

QImage renderizaVentana(const Imagen16& buffer, int inferior, int superior, Tinte tinte) {
  const int W = buffer.ancho > 0 ? buffer.ancho : 0;
  const int H = buffer.alto > 0 ? buffer.alto : 0;
  QImage imagen(W, H, QImage::Format_RGB32);
  if (W == 0 || H == 0) return imagen;
  const std::vector<QRgb> tabla = tablaVentana(inferior, superior, tinte);
  const std::size_t n = buffer.muestras.size();
  const std::size_t alto = static_cast<std::size_t>(H);
  uchar* bits = imagen.bits();
  const qsizetype paso = imagen.bytesPerLine();
  // The samples run down the columns and the picture along its rows: a band
  // of columns at a time keeps both the reads and the writes in cache.
  constexpr int kBanda = 16;
  for (int x0 = 0; x0 < W; x0 += kBanda) {
    const int x1 = std::min(W, x0 + kBanda);
    for (int y = 0; y < H; ++y) {
      QRgb* linea = reinterpret_cast<QRgb*>(bits + y * paso);
      for (int x = x0; x < x1; ++x) {
        const std::size_t i = static_cast<std::size_t>(x) * alto + static_cast<std::size_t>(y);
        linea[x] = tabla[i < n ? buffer.muestras[i] : 0];
      }
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

namespace {

// Each pixel of a picture through `color`, in place on the raw lines (a
// picture shared with another copy is detached first, as any write does).
template <typename Color>
void recolorea(QImage& imagen, Color color) {
  if (imagen.format() != QImage::Format_RGB32) imagen = imagen.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < imagen.height(); ++y) {
    QRgb* linea = reinterpret_cast<QRgb*>(imagen.scanLine(y));
    for (int x = 0; x < imagen.width(); ++x) linea[x] = color(linea[x]);
  }
}

}  // namespace

void coloreaConPaleta(QImage& imagen, const Paleta& paleta) {
  const std::array<QRgb, 256> color = tonosDe(Tinte{&paleta});
  recolorea(imagen, [&](QRgb c) { return color[(11 * qRed(c) + 16 * qGreen(c) + 5 * qBlue(c)) / 32]; });
}

void invierteImagen(QImage& imagen) {
  recolorea(imagen, [](QRgb c) { return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c)); });
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
