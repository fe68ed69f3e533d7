// Reading one 2048 x 2048 picture of each kind through its reader: the
// decoding by the library plus the reader's reordering into slice order.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include "imagen_qt.h"
#include "lector_jpeg.h"
#include "lector_tiff.h"

namespace {

constexpr int kLado = 2048;

uint8_t nivel(int x, int y) { return uint8_t((x * 7 + y * 3) ^ (x >> 3)); }

struct Ficheros {
  QTemporaryDir dir;
  QString tiff, jpeg, png;
  Ficheros() {
    tiff = dir.filePath("b.tif");
    jpeg = dir.filePath("b.jpg");
    png = dir.filePath("b.png");
    std::vector<uint8_t> fila(kLado * 3);
    TIFF* t = TIFFOpen(tiff.toLocal8Bit().constData(), "wl");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(kLado));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(kLado));
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, uint16_t(3));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(16));
    for (int y = 0; y < kLado; ++y) {
      for (int x = 0; x < kLado; ++x) fila[3 * x] = fila[3 * x + 1] = fila[3 * x + 2] = nivel(x, y);
      TIFFWriteScanline(t, fila.data(), uint32_t(y), 0);
    }
    TIFFClose(t);

    std::FILE* f = std::fopen(jpeg.toLocal8Bit().constData(), "wb");
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = c.image_height = kLado;
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
      for (int x = 0; x < kLado; ++x) fila[x] = nivel(x, int(c.next_scanline));
      JSAMPROW p = fila.data();
      jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);

    QImage im(kLado, kLado, QImage::Format_RGB32);
    for (int y = 0; y < kLado; ++y)
      for (int x = 0; x < kLado; ++x) im.setPixel(x, y, qRgb(nivel(x, y), nivel(y, x), 40));
    im.save(png);
  }
};

Ficheros& ficheros() {
  static Ficheros f;
  return f;
}

template <class Lector>
void lee(benchmark::State& estado, Lector lector, const QString& ruta) {
  // The readers' log lines would swamp the report.
  static std::ofstream nada;
  std::streambuf* anterior = std::cout.rdbuf(nada.rdbuf());
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  for (auto _ : estado) benchmark::DoNotOptimize(lector(QStringList{ruta}, observadorMudo()));
  estado.SetItemsProcessed(estado.iterations() * int64_t(kLado) * kLado);
  std::cout.rdbuf(anterior);
}

void BM_Tiff(benchmark::State& s) { lee(s, leerTiff, ficheros().tiff); }
void BM_Jpeg(benchmark::State& s) { lee(s, leerJpeg, ficheros().jpeg); }
void BM_Png(benchmark::State& s) { lee(s, leerImagenQt, ficheros().png); }

BENCHMARK(BM_Tiff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
