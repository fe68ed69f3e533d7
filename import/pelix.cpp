#include "pelix.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdio>
#include <iostream>
#include <vector>

#include <QDebug>

#include "crudo.h"
#include "errores.h"
#include "texto.h"

namespace {

static_assert(std::endian::native == std::endian::little, "the readers assume a little-endian host");

constexpr int kValoresCabecera = 7;

// The Pelix header of one file: the seven values ending at the last positive
// value that is followed by six zeros (the file's end counting as zeros).
struct CabeceraPelix {
  bool hallada = false;
  double h[kValoresCabecera] = {};
};

CabeceraPelix buscaCabecera(const std::vector<double>& v) {
  CabeceraPelix c;
  const std::size_t n = v.size();
  // From the end: the first match found is the last one in the file.
  for (std::size_t p = n; p-- > kValoresCabecera - 1;) {
    if (!(v[p] > 0.0)) continue;
    bool ceros = true;
    for (std::size_t q = p + 1; q <= p + 6 && q < n; ++q)
      if (v[q] != 0.0) {
        ceros = false;
        break;
      }
    if (!ceros) continue;
    c.hallada = true;
    std::copy(v.begin() + static_cast<std::ptrdiff_t>(p - 6), v.begin() + static_cast<std::ptrdiff_t>(p + 1), c.h);
    return c;
  }
  return c;
}

}  // namespace

std::unique_ptr<CuboSinograma> leerPelixOld(const QStringList& ficheros, ObservadorLectura& o) {
  if (ficheros.isEmpty()) throw ErrorLectura("", "no file was chosen");
  const int numFicheros = static_cast<int>(ficheros.size());
  ProgresoLectura progreso(o, QStringLiteral("Leyendo imagenes ..."), numFicheros);
  qDebug().noquote() << "Leyo imagen antes while";

  // The last file's size sets the samples of every slice.
  const std::string primera = ruta8(ficheros.first());
  const std::string ultima = ruta8(ficheros.last());
  uint64_t enFicheros = 0;
  for (const QString& r : ficheros) enFicheros += uint64_t(std::max<int64_t>(tamanoFichero(ruta8(r)), 0));
  const int64_t tamanoUltimo = tamanoFichero(ultima);
  if (tamanoUltimo < 0) throw ErrorLectura(ultima, "the file cannot be opened");
  const int64_t w = tamanoUltimo / 8 - kValoresCabecera;
  if (w < 1)
    throw ErrorLectura(ultima, "the file holds " + std::to_string(tamanoUltimo) +
                                   " bytes: no sample before the seven values of a Pelix header");
  const uint64_t muestras = static_cast<uint64_t>(w);
  compruebaReserva(primera, productoSaturado(productoSaturado(muestras, 8), uint64_t(numFicheros)), enFicheros,
                   std::to_string(numFicheros) + " slice(s) of the last file's " + std::to_string(muestras) +
                       " samples",
                   "the other files are far smaller than the last");

  AvisosLectura avisos(o);
  int alto = 0;
  float pixelX = 0, pixelY = 0, grosor = 0, dfo = 0, dfdet = 0;
  std::vector<std::unique_ptr<double[]>> cortes(static_cast<std::size_t>(numFicheros));
  std::vector<double> valores;
  for (int i = 0; i < numFicheros; ++i) {
    const std::string ruta = ruta8(ficheros[i]);
    qDebug().noquote() << ficheros[i];
    qDebug().noquote() << "SE ABRE EL FICHERO PARA LEER FORMATO PELIX";
    cortes[i] = std::make_unique<double[]>(muestras);
    int64_t tamano = 0;
    const FicheroAbierto f = abreBinario(ruta, tamano);
    if (!f) {
      std::cout << "NO SE PUEDE ABRIR EL FICHERO" << std::flush;
      if (i == 0) throw ErrorLectura(ruta, "the file cannot be opened");
      avisos.anade(ruta, "the file cannot be opened; its slice is 0");
      progreso.valor(i + 1);
      continue;
    }
    valores.assign(static_cast<std::size_t>(tamano / 8), 0.0);
    const uint64_t leidos = leeHasta(f.get(), reinterpret_cast<char*>(valores.data()), valores.size() * 8) / 8;
    valores.resize(static_cast<std::size_t>(leidos));

    const CabeceraPelix c = buscaCabecera(valores);
    if (c.hallada) {
      const int modo = truncaA32(c.h[2]);
      if (i == 0) {
        if (modo < 0)
          throw ErrorLectura(ruta, "the Pelix header gives the mode " + std::to_string(modo) +
                                       ", which gives no pixel sizes");
        alto = truncaA32(c.h[0]);
        if (alto < 1)
          throw ErrorLectura(ruta, "the Pelix header gives a slice height (h0) of " +
                                       textoNumero(c.h[0]) + "; it must be at least 1");
        if (w / alto < 1 || w / alto > INT_MAX)
          throw ErrorLectura(ruta, "the Pelix header's slice height " + std::to_string(alto) +
                                       " does not fit the " + std::to_string(w) + " samples of a file");
      }
      dfo = static_cast<float>(c.h[5]);
      dfdet = static_cast<float>(c.h[6]);
      if (modo == 0) {
        if (i == 0) {
          pixelX = static_cast<float>(c.h[4]);
          pixelY = static_cast<float>(c.h[3]);
        }
        grosor = 1.0f;
      } else if (modo > 0) {
        if (i == 0) pixelX = pixelY = static_cast<float>(c.h[3]);
        grosor = static_cast<float>(c.h[4]);
      }
    } else if (i == 0) {
      throw ErrorLectura(ruta, "no Pelix header was found (a positive value followed by six zeros)");
    }

    const uint64_t copiados = std::min<uint64_t>(muestras, valores.size());
    std::copy(valores.begin(), valores.begin() + static_cast<std::ptrdiff_t>(copiados), cortes[i].get());
    const uint64_t propios = valores.size() >= kValoresCabecera ? valores.size() - kValoresCabecera : 0;
    if (propios < muestras)
      avisos.anade(ruta, "the file is short: it holds " + std::to_string(propios) + " of the " +
                        std::to_string(muestras) + " samples the last file gives; the missing samples are 0");
    else if (propios > muestras)
      avisos.anade(ruta, "the file holds " + std::to_string(propios) + " samples, more than the " +
                        std::to_string(muestras) + " the last file gives; the rest is ignored");
    progreso.valor(i + 1);
  }

  avisos.entrega();
  const int ancho = static_cast<int>(w / alto);
  qDebug() << ancho << alto << pixelX << pixelY;

  AttributeMap atributos;
  atributos.set("ST", textoNumero(grosor));
  atributos.set("PixelDimx", textoNumero(pixelX));
  atributos.set("PixelDimy", textoNumero(pixelY));
  atributos.set("PixelDimz", textoNumero(1.0));
  atributos.set("FileName", primera);

  Geometria g = nuevaGeometria(ancho, alto);
  auto cubo = std::make_unique<CuboSinograma>(g, numFicheros, dfo, dfdet, atributos);
  for (int i = 0; i < numFicheros; ++i) {
    const double* d = cortes[i].get();
    double superior = -999999.0, inferior = 999999.0;
    for (uint64_t k = 0; k < muestras; ++k) {
      if (d[k] > superior) superior = d[k];
      if (d[k] < inferior) inferior = d[k];
    }
    cubo->ponCorte(std::make_unique<CorteDouble>(std::move(cortes[i]), inferior, superior, g), i);
  }
  return cubo;
}
