#pragma once

// Pictures written by the tests through the libraries themselves (libtiff,
// libjpeg, the toolkit) or byte by byte where a library would refuse to write
// the damage under test.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <QColor>
#include <QImage>
#include <QStringList>

#include "corte.h"
#include "cubo.h"

#include "ficheros_prueba.h"

inline QStringList lista(std::initializer_list<std::string> rutas) {
  QStringList l;
  for (const auto& r : rutas) l << QString::fromStdString(r);
  return l;
}

// Slice i of a volume as the slice type a reader must give, and its sample of
// picture column x, row y.
template <class C>
const C& corteDe(const Cubo& v, int i) {
  const auto* c = dynamic_cast<const C*>(v.corte(i));
  if (!c) throw std::logic_error("slice " + std::to_string(i) + " is not of the expected type");
  return *c;
}
template <class C>
double muestraEn(const Cubo& v, int i, int x, int y) {
  return corteDe<C>(v, i).datos()[std::size_t(x) * v.geometria()->alto() + y];
}

// A picture of `muestras` = ancho x alto x componentes bytes, row after row.
struct Imagen {
  int ancho = 0, alto = 0, componentes = 1;
  std::vector<uint8_t> muestras;
  static Imagen con(int ancho, int alto, int componentes, uint8_t (*valor)(int x, int y, int c)) {
    Imagen im{ancho, alto, componentes, {}};
    im.muestras.resize(std::size_t(ancho) * alto * componentes);
    for (int y = 0; y < alto; ++y)
      for (int x = 0; x < ancho; ++x)
        for (int c = 0; c < componentes; ++c)
          im.muestras[(std::size_t(y) * ancho + x) * componentes + c] = valor(x, y, c);
    return im;
  }
  static Imagen plana(int ancho, int alto, std::vector<uint8_t> pixel) {
    Imagen im{ancho, alto, int(pixel.size()), {}};
    for (int i = 0; i < ancho * alto; ++i) im.muestras.insert(im.muestras.end(), pixel.begin(), pixel.end());
    return im;
  }
};

// A little-endian TIFF, one strip, through libtiff.
inline void escribeTiff(const std::string& ruta, const Imagen& im, uint16_t compresion = COMPRESSION_NONE) {
  TIFF* t = TIFFOpen(ruta.c_str(), "wl");
  ASSERT_NE(t, nullptr) << ruta;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(im.ancho));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(im.alto));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, uint16_t(im.componentes));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, im.componentes >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, compresion);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(im.alto));
  for (int y = 0; y < im.alto; ++y)
    TIFFWriteScanline(t, const_cast<uint8_t*>(im.muestras.data()) + std::size_t(y) * im.ancho * im.componentes,
                      uint32_t(y), 0);
  TIFFClose(t);
}

// A TIFF written byte by byte: the directory at offset 8, then 8-bit grey
// strips of `filasPorTira` rows holding `datos`, with the given extents and
// compression code. Strips past the end of `datos` point beyond it.
inline Bytes tiffCrudo(uint32_t ancho, uint32_t alto, const Bytes& datos, uint16_t compresion = 1,
                       uint32_t filasPorTira = 0) {
  if (filasPorTira == 0) filasPorTira = alto ? alto : 1;
  const uint32_t tiras = alto ? (alto + filasPorTira - 1) / filasPorTira : 1;
  const uint32_t bytesTira = tiras == 1 ? uint32_t(datos.size()) : ancho * filasPorTira;
  struct Entrada { uint16_t etiqueta, tipo; uint32_t cuenta, valor; };
  const uint32_t finDirectorio = 8 + 2 + 12 * 9 + 4;
  const uint32_t tablas = tiras > 1 ? 8 * tiras : 0;  // offsets, then byte counts
  const uint32_t inicioDatos = finDirectorio + tablas;
  const std::vector<Entrada> entradas = {
      {256, 4, 1, ancho}, {257, 4, 1, alto}, {258, 3, 1, 8}, {259, 3, 1, compresion}, {262, 3, 1, 1},
      {273, 4, tiras, tiras > 1 ? finDirectorio : inicioDatos}, {277, 3, 1, 1}, {278, 4, 1, filasPorTira},
      {279, 4, tiras, tiras > 1 ? finDirectorio + 4 * tiras : bytesTira}};
  Bytes b(inicioDatos, 0);
  b[0] = 'I';
  b[1] = 'I';
  b[2] = 42;
  pon32(b, 4, 8);
  pon16(b, 8, int16_t(entradas.size()));
  for (std::size_t i = 0; i < entradas.size(); ++i) {
    const std::size_t e = 10 + 12 * i;
    pon16(b, e, int16_t(entradas[i].etiqueta));
    pon16(b, e + 2, int16_t(entradas[i].tipo));
    pon32(b, e + 4, entradas[i].cuenta);
    if (entradas[i].tipo == 3) pon16(b, e + 8, int16_t(entradas[i].valor));
    else pon32(b, e + 8, entradas[i].valor);
  }
  for (uint32_t t = 0; tiras > 1 && t < tiras; ++t) {
    pon32(b, finDirectorio + 4 * t, inicioDatos + t * bytesTira);
    pon32(b, finDirectorio + 4 * tiras + 4 * t, bytesTira);
  }
  b.insert(b.end(), datos.begin(), datos.end());
  return b;
}

// A baseline JPEG through libjpeg: 1 component is grey, 3 are RGB.
inline void escribeJpeg(const std::string& ruta, const Imagen& im, int calidad = 100) {
  std::FILE* f = std::fopen(ruta.c_str(), "wb");
  ASSERT_NE(f, nullptr) << ruta;
  jpeg_compress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = JDIMENSION(im.ancho);
  c.image_height = JDIMENSION(im.alto);
  c.input_components = im.componentes;
  c.in_color_space = im.componentes == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, calidad, TRUE);
  if (im.componentes == 3)  // no chroma subsampling: colours stay in their own pixels
    for (int i = 0; i < 3; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW fila = const_cast<JSAMPROW>(im.muestras.data() + std::size_t(c.next_scanline) * im.ancho * im.componentes);
    jpeg_write_scanlines(&c, &fila, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

inline Bytes leeBytes(const std::string& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// Through the toolkit; the format follows the name's extension.
inline void escribeQt(const std::string& ruta, const QImage& imagen) {
  ASSERT_TRUE(imagen.save(QString::fromStdString(ruta))) << ruta;
}

inline QImage imagenRgb(int ancho, int alto, QRgb (*color)(int x, int y)) {
  QImage im(ancho, alto, QImage::Format_RGB32);
  for (int y = 0; y < alto; ++y)
    for (int x = 0; x < ancho; ++x) im.setPixel(x, y, color(x, y));
  return im;
}
