#include "analyze.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <vector>

#include "bloque.h"
#include "errores.h"
#include "texto.h"

namespace {

constexpr std::size_t kTamanoCabecera = 348;
// How far a short sample file may fall behind its header before the header is
// taken as corrupt: the zero-filled volume may be this many times the file, or
// this size, whichever is larger.
constexpr uint64_t kFactorRelleno = 16;
constexpr uint64_t kRellenoMaximo = uint64_t{256} << 20;

int16_t int16LE(const unsigned char* b) { return static_cast<int16_t>(b[0] | (b[1] << 8)); }

float float32LE(const unsigned char* b) {
  const uint32_t bits = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

struct Cabecera {
  int16_t filas;     // dim[1], the slice height
  int16_t columnas;  // dim[2], the slice width
  int16_t cortes;    // dim[3]
  std::string unidades;
  int16_t tipo;
  float pixdim1, pixdim2, pixdim3;
  float pitch;
  signed char orientacion;
};

Cabecera interpreta(const unsigned char* h) {
  Cabecera c;
  c.filas = int16LE(h + 42);
  c.columnas = int16LE(h + 44);
  c.cortes = int16LE(h + 46);
  const char* u = reinterpret_cast<const char*>(h + 60);
  c.unidades.assign(u, strnlen(u, 8));
  c.tipo = int16LE(h + 70);
  c.pixdim1 = float32LE(h + 80);
  c.pixdim2 = float32LE(h + 84);
  c.pixdim3 = float32LE(h + 88);
  c.pitch = float32LE(h + 120);
  c.orientacion = static_cast<signed char>(h[252]);
  return c;
}

// Bytes a sample and the line logged for a datatype; 0 bytes when the type is
// not one this reader knows.
int bytesMuestra(int16_t tipo, const char** linea) {
  switch (tipo) {
    case 2: *linea = "Leyendo UCHAR"; return 1;
    case 4: *linea = "Leyendo SHORT"; return 2;
    case 512: *linea = "Leyendo USHORT"; return 2;
    case 3: *linea = "Leyendo USHORT (CODIGO ANTIGUO ORV 1)"; return 2;
    case 16: *linea = "Leyendo FLOAT"; return 4;
    default: *linea = "Formato no soportado"; return 0;
  }
}

// Closes the progress however the read ends.
class Progreso {
 public:
  Progreso(ObservadorLectura& o, int maximo) : o_(o) {
    o_.progresoInicio(QStringLiteral("Cargando Imagenes..."), QStringLiteral("Cancelar"), 0, maximo);
  }
  ~Progreso() { o_.progresoFin(); }
  void valor(int v) { o_.progresoValor(v); }

 private:
  ObservadorLectura& o_;
};

void convierteEnteros(const unsigned char* bytes, std::size_t n, int ancho, int16_t* destino) {
  if (ancho == 1) {
    for (std::size_t i = 0; i < n; ++i) destino[i] = bytes[i];
  } else if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(destino, bytes, n * 2);
  } else {
    for (std::size_t i = 0; i < n; ++i) destino[i] = int16LE(bytes + 2 * i);
  }
}

// Float volumes are stretched over the whole volume to 0..32767, in single
// precision, with the bounds clamped at ±999999 as the format's writers expect.
void escalaFlotantes(const std::vector<std::vector<float>>& leidos, const BloqueCortes<int16_t>& cortes) {
  float maximo = -999999.0f;
  float minimo = 999999.0f;
  for (const auto& corte : leidos)
    for (float v : corte) {
      if (v > maximo) maximo = v;
      if (v < minimo) minimo = v;
    }
  const bool planos = maximo == minimo;
  const float escala = static_cast<float>(32767.0 / (double(maximo) - double(minimo)));
  for (std::size_t c = 0; c < leidos.size(); ++c) {
    const std::vector<float>& fuente = leidos[c];
    int16_t* destino = cortes.corte(c);
    for (std::size_t i = 0; i < fuente.size(); ++i) {
      const float producto = (fuente[i] - minimo) * escala;
      destino[i] = planos ? 0 : static_cast<int16_t>(static_cast<uint32_t>(truncaA32(producto)));
    }
  }
}

}  // namespace

std::unique_ptr<Cubo> leerAnalyze(const QStringList& ficheros, ObservadorLectura& observador) {
  if (ficheros.isEmpty()) throw ErrorLectura("", "no file was chosen");
  const std::string ruta = ficheros.first().toLocal8Bit().toStdString();

  std::ifstream fh(ruta, std::ios::binary);
  if (!fh.is_open()) {
    std::fprintf(stderr, "Can't open:<%s>\n", ruta.c_str());
    throw ErrorLectura(ruta, "the header file cannot be opened");
  }
  unsigned char bytes[kTamanoCabecera];
  fh.read(reinterpret_cast<char*>(bytes), kTamanoCabecera);
  const std::streamsize leidosCabecera = fh.gcount();
  fh.close();
  if (leidosCabecera != static_cast<std::streamsize>(kTamanoCabecera))
    throw ErrorLectura(ruta, "the header holds " + std::to_string(leidosCabecera) +
                                 " bytes, fewer than the 348 of an Analyze header");
  const Cabecera cab = interpreta(bytes);

  std::cout << "Or: " << std::hex << static_cast<int>(cab.orientacion) << std::dec << "\n";
  std::cout << "Filas: " << cab.filas << std::endl;
  std::cout << "Columnas: " << cab.columnas << std::endl;

  if (cab.filas <= 0 || cab.columnas <= 0 || cab.cortes <= 0)
    throw ErrorLectura(ruta, "the header gives extents " + std::to_string(cab.filas) + " x " +
                                 std::to_string(cab.columnas) + " x " + std::to_string(cab.cortes) +
                                 "; each must be positive");

  const std::string rutaImg = ruta.substr(0, ruta.size() >= 3 ? ruta.size() - 3 : 0) + "img";

  Progreso progreso(observador, cab.cortes);
  const char* lineaTipo = nullptr;
  const int ancho = bytesMuestra(cab.tipo, &lineaTipo);
  std::cout << "Tipo dato: " << cab.tipo << std::endl;
  std::cout << lineaTipo << std::endl;
  // A volume of samples that were never read would pass for the file's content.
  if (ancho == 0)
    throw ErrorLectura(ruta, "the sample type " + std::to_string(cab.tipo) + " is not supported");

  std::ifstream fi(rutaImg, std::ios::binary);
  if (!fi.is_open()) throw ErrorLectura(rutaImg, "the sample file cannot be opened");
  fi.seekg(0, std::ios::end);
  const std::streamoff finImg = fi.tellg();
  fi.seekg(0);
  const uint64_t bytesFichero = finImg > 0 ? static_cast<uint64_t>(finImg) : 0;

  // Sizes in 64 bits: dim[1] x dim[2] x 4 bytes no longer fits 32.
  const uint64_t muestrasCorte = uint64_t(cab.filas) * uint64_t(cab.columnas);
  const uint64_t bytesCorte = muestrasCorte * uint64_t(ancho);
  const uint64_t bytesEsperados = bytesCorte * uint64_t(cab.cortes);
  // A truncated copy is read as far as it goes and the rest is 0, as long as
  // the header's claim stays within reach of the file: a claim of gigabytes
  // beside a file of a few bytes is a corrupt header, not a short file.
  const uint64_t memoriaVolumen = muestrasCorte * uint64_t(cab.cortes) * sizeof(int16_t);
  if (bytesFichero < bytesEsperados &&
      memoriaVolumen > std::max<uint64_t>(kFactorRelleno * bytesFichero, kRellenoMaximo))
    throw ErrorLectura(rutaImg, "the header gives " + std::to_string(bytesEsperados) +
                                    " bytes of samples but the sample file holds only " +
                                    std::to_string(bytesFichero));
  const int cortes = cab.cortes;
  if (bytesFichero < bytesEsperados) {
    const uint64_t completos = bytesFichero / bytesCorte;
    observador.aviso(rutaImg, "the sample file is short: it holds " + std::to_string(bytesFichero) +
                                  " of the " + std::to_string(bytesEsperados) +
                                  " bytes the header gives (" + std::to_string(completos) + " of " +
                                  std::to_string(cab.cortes) +
                                  " slices complete); the missing samples are 0");
  }

  const std::size_t n = static_cast<std::size_t>(muestrasCorte);
  const BloqueCortes<int16_t> muestras(n, static_cast<std::size_t>(cortes));
  std::vector<std::vector<float>> flotantes;
  // 16-bit samples of a little-endian host go straight into the slice.
  const bool directo = ancho == 2 && std::endian::native == std::endian::little;
  std::vector<unsigned char> bloque(directo ? 0 : static_cast<std::size_t>(bytesCorte));
  for (int i = 0; i < cortes; ++i) {
    progreso.valor(i);
    int16_t* corte = muestras.corte(static_cast<std::size_t>(i));
    char* destino = directo ? reinterpret_cast<char*>(corte) : reinterpret_cast<char*>(bloque.data());
    fi.read(destino, static_cast<std::streamsize>(bytesCorte));
    const std::size_t leidas = static_cast<std::size_t>(fi.gcount()) / std::size_t(ancho);
    if (ancho == 4) {
      std::vector<float> valores(leidas);
      for (std::size_t k = 0; k < leidas; ++k) valores[k] = float32LE(bloque.data() + 4 * k);
      flotantes.push_back(std::move(valores));
    } else if (!directo) {
      convierteEnteros(bloque.data(), leidas, ancho, corte);
    }
    // Samples the file does not reach are 0.
    std::fill(corte + (ancho == 4 ? 0 : leidas), corte + n, int16_t(0));
  }
  fi.close();
  if (ancho == 4) escalaFlotantes(flotantes, muestras);

  AttributeMap atributos;
  atributos.set("ST", textoNumero(cab.pixdim3));
  atributos.set("PixelDimx", textoNumero(cab.pixdim1));
  atributos.set("PixelDimy", textoNumero(cab.pixdim2));
  atributos.set("PixelDimz", textoNumero(cab.pixdim3));
  atributos.set("FileName", ruta);
  if (cab.pitch != 0.0f) atributos.set("Pitch Factor", textoNumero(cab.pitch));
  if (cab.unidades == "HU") atributos.set("modality", "CT");

  Geometria geometria = nuevaGeometria(cab.columnas, cab.filas);
  auto cubo = std::make_unique<Cubo>(geometria, cortes, atributos);
  for (int i = 0; i < cortes; ++i) {
    const int16_t* d = muestras.corte(static_cast<std::size_t>(i));
    int16_t inferior = std::numeric_limits<int16_t>::max();
    int16_t superior = -32767;
    for (std::size_t k = 0; k < n; ++k) {
      inferior = std::min(inferior, d[k]);
      superior = std::max(superior, d[k]);
    }
    cubo->ponCorte(
        std::make_unique<CorteShort>(muestras.comparte(static_cast<std::size_t>(i)), inferior, superior, geometria), i);
  }
  return cubo;
}
