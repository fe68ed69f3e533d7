#include "salida.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <vector>

#include <QFile>
#include <QImage>
#include <QString>

#include <tiffio.h>

namespace {

std::string extension(const std::string& ruta) {
  const std::size_t punto = ruta.rfind('.');
  std::string e = punto == std::string::npos ? std::string() : ruta.substr(punto);
  std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
  return e;
}

bool escribeCrudo(const std::string& ruta, const uint16_t* m, std::size_t n, std::string& error) {
  std::vector<unsigned char> bytes(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    bytes[2 * i] = static_cast<unsigned char>(m[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<unsigned char>(m[i] >> 8);
  }
  std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();
  if (!f) {
    error = "cannot write the file";
    return false;
  }
  return true;
}

bool escribePng(const std::string& ruta, const uint16_t* m, int w, int h, std::string& error) {
  QImage imagen(w, h, QImage::Format_Grayscale16);
  if (imagen.isNull()) {
    error = "the picture is too large";
    return false;
  }
  for (int y = 0; y < h; ++y) {
    auto* linea = reinterpret_cast<uint16_t*>(imagen.scanLine(y));
    for (int x = 0; x < w; ++x) linea[x] = m[static_cast<std::size_t>(x) * h + y];
  }
  if (!imagen.save(QFile::decodeName(ruta.c_str()), "PNG")) {
    error = "cannot write the picture";
    return false;
  }
  return true;
}

bool escribeTiff(const std::string& ruta, const uint16_t* m, int w, int h, std::string& error) {
  TIFF* t = TIFFOpen(ruta.c_str(), "w");
  if (!t) {
    error = "cannot open the picture for writing";
    return false;
  }
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(w));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(h));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
  TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1);
  std::vector<uint16_t> linea(static_cast<std::size_t>(w));
  bool bien = true;
  for (int y = 0; y < h && bien; ++y) {
    for (int x = 0; x < w; ++x) linea[static_cast<std::size_t>(x)] = m[static_cast<std::size_t>(x) * h + y];
    bien = TIFFWriteScanline(t, linea.data(), static_cast<uint32_t>(y), 0) == 1;
  }
  TIFFClose(t);
  if (!bien) {
    error = "cannot write the picture";
    std::remove(ruta.c_str());
  }
  return bien;
}

}  // namespace

bool escribeCorte(const std::string& ruta, const uint16_t* m, int w, int h, std::string& error) {
  const std::string e = extension(ruta);
  const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (e == ".raw") return escribeCrudo(ruta, m, n, error);
  if (e == ".png") return escribePng(ruta, m, w, h, error);
  if (e == ".tif" || e == ".tiff") return escribeTiff(ruta, m, w, h, error);
  error = "unknown picture type";
  return false;
}
