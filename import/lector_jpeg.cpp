#include "lector_jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include <jpeglib.h>

#include "errores.h"
#include "limites_imagen.h"

namespace {

// A baseline stream needs at least two bits for an 8 x 8 block.
constexpr uint64_t kPixelesPorByte = 256;
// libjpeg's own working memory (a progressive picture keeps all its
// coefficients) beyond this ends the decoding with libjpeg's error.
constexpr long kMemoriaLibjpeg = 1L << 30;

// libjpeg's default error manager ends the process. Ours jumps back to the
// call into libjpeg that failed, with the message kept; warnings (a stream cut
// short, corrupt data) are counted and the first one kept.
struct GestorJpeg {
  jpeg_error_mgr base;  // first member: libjpeg hands back a pointer to it
  std::jmp_buf salto;
  char mensaje[JMSG_LENGTH_MAX];
  char primerAviso[JMSG_LENGTH_MAX];
  int avisos;
};

void salidaError(j_common_ptr c) {
  auto* g = reinterpret_cast<GestorJpeg*>(c->err);
  (*c->err->format_message)(c, g->mensaje);
  std::longjmp(g->salto, 1);
}

void mensajeJpeg(j_common_ptr c, int nivel) {
  if (nivel >= 0) return;  // trace output
  auto* g = reinterpret_cast<GestorJpeg*>(c->err);
  if (g->avisos++ == 0) (*c->err->format_message)(c, g->primerAviso);
  ++c->err->num_warnings;
}

void sinSalida(j_common_ptr) {}

// The three steps below are the only code that runs while libjpeg may jump
// back: each sets the jump target itself and holds nothing that needs a
// destructor, since the jump skips them.
bool cabeceraJpeg(jpeg_decompress_struct* d, GestorJpeg* g, std::FILE* f) {
  if (setjmp(g->salto)) return false;
  jpeg_create_decompress(d);
  d->mem->max_memory_to_use = kMemoriaLibjpeg;
  jpeg_stdio_src(d, f);
  jpeg_read_header(d, TRUE);
  jpeg_calc_output_dimensions(d);
  return true;
}

bool arranqueJpeg(jpeg_decompress_struct* d, GestorJpeg* g, JSAMPARRAY* linea) {
  if (setjmp(g->salto)) return false;
  jpeg_start_decompress(d);
  *linea = (*d->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(d), JPOOL_IMAGE,
                                   d->output_width * JDIMENSION(d->output_components), 1);
  return true;
}

// Line r of the picture goes to row r of the slice (ancho x alto, row index
// fastest); what lies outside the slice is decoded and dropped.
bool lineasJpeg(jpeg_decompress_struct* d, GestorJpeg* g, JSAMPARRAY linea, double* destino,
                int ancho, int alto) {
  if (setjmp(g->salto)) return false;
  const JDIMENSION paso = JDIMENSION(d->output_components);
  const JDIMENSION columnas = std::min<JDIMENSION>(d->output_width, JDIMENSION(ancho));
  while (d->output_scanline < d->output_height) {
    const JDIMENSION fila = d->output_scanline;
    if (jpeg_read_scanlines(d, linea, 1) != 1) break;  // a stdio source never suspends
    if (fila >= JDIMENSION(alto)) continue;
    for (JDIMENSION x = 0; x < columnas; ++x)
      destino[std::size_t(x) * std::size_t(alto) + fila] = linea[0][x * paso];
  }
  jpeg_finish_decompress(d);
  return true;
}

// One file open in a decompressor, released however the read ends.
class Jpeg {
 public:
  explicit Jpeg(const std::string& ruta) : ruta_(ruta) {
    std::memset(&d_, 0, sizeof d_);
    std::memset(&g_, 0, sizeof g_);
    d_.err = jpeg_std_error(&g_.base);
    g_.base.error_exit = salidaError;
    g_.base.emit_message = mensajeJpeg;
    g_.base.output_message = sinSalida;
  }
  ~Jpeg() {
    jpeg_destroy_decompress(&d_);
    if (f_) std::fclose(f_);
  }
  Jpeg(const Jpeg&) = delete;
  Jpeg& operator=(const Jpeg&) = delete;

  // Apart from the constructor, so that the destructor releases what a
  // failure leaves behind.
  void abre() {
    f_ = std::fopen(ruta_.c_str(), "rb");
    if (!f_) throw ErrorLectura(ruta_, "the file cannot be opened");
    if (!cabeceraJpeg(&d_, &g_, f_)) falla();
  }
  int ancho() const { return int(d_.output_width); }
  int alto() const { return int(d_.output_height); }
  void arranca() {
    if (!arranqueJpeg(&d_, &g_, &linea_)) falla();
  }
  void lineas(double* destino, int ancho, int alto) {
    if (!lineasJpeg(&d_, &g_, linea_, destino, ancho, alto)) falla();
  }
  int avisos() const { return g_.avisos; }
  std::string primerAviso() const { return g_.primerAviso; }

 private:
  [[noreturn]] void falla() const {
    throw ErrorLectura(ruta_, std::string("libjpeg cannot decode the picture: ") + g_.mensaje);
  }

  std::string ruta_;
  jpeg_decompress_struct d_;
  GestorJpeg g_;
  std::FILE* f_ = nullptr;
  JSAMPARRAY linea_ = nullptr;
};

}  // namespace

std::unique_ptr<Cubo> leerJpeg(const QStringList& ficheros, ObservadorLectura& observador) {
  if (ficheros.isEmpty()) throw ErrorLectura("", "no file was chosen");
  std::cout << "Leyendo JPEG" << std::endl;
  const int n = static_cast<int>(ficheros.size());
  const std::string primera = rutaLocal(ficheros.first());

  const AttributeMap atributos = atributosImagen("0.1", primera);

  int ancho = 0, alto = 0;
  {
    Jpeg j(primera);
    j.abre();
    ancho = j.ancho();
    alto = j.alto();
  }
  compruebaExtension(primera, ancho, alto, bytesFichero(primera), kPixelesPorByte);
  const Geometria geometria = nuevaGeometria(ancho, alto);
  auto cubo = std::make_unique<CuboSinograma>(geometria, n, 1.0f, 1.0f, atributos);
  ProgresoImagenes progreso(observador, n);

  for (int i = 0; i < n; ++i) {
    const std::string ruta = rutaLocal(ficheros[i]);
    std::cout << ruta << std::endl;
    Jpeg j(ruta);
    j.abre();
    // Checked before decompression starts: a progressive picture would have
    // libjpeg reserve its whole coefficient store.
    compruebaExtension(ruta, j.ancho(), j.alto(), bytesFichero(ruta), kPixelesPorByte);
    j.arranca();
    std::cout << "W H NdC: " << j.ancho() << " " << j.alto() << " " << n << std::endl;
    auto muestras = std::make_unique<double[]>(geometria->numMuestras());  // zeroed
    j.lineas(muestras.get(), ancho, alto);
    if (j.avisos() > 0)
      observador.aviso(ruta, "the picture is damaged or cut short (libjpeg: " + j.primerAviso() +
                                 "); what could not be decoded is not the picture's content");
    if (j.ancho() != ancho || j.alto() != alto)
      avisoTamanoDistinto(observador, ruta, j.ancho(), j.alto(), ancho, alto);
    cubo->ponCorte(std::make_unique<CorteDouble>(std::move(muestras), 0.0, 65535.0, geometria), i);
    progreso.valor(i + 1);
  }
  return cubo;
}
