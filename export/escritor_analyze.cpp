#include "escritor_analyze.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <vector>

#include <QStringList>

#include "errores_escritura.h"

namespace {

struct Tipo {
  int codigo;        // datatype
  int bitsMuestra;   // bitpix
};

Tipo tipoDeTexto(const std::string& texto) {
  if (texto == "uc") return {2, 8};
  if (texto == "s") return {4, 16};
  if (texto == "ft") return {16, 32};
  return {512, 16};
}

void pon16(unsigned char* b, uint16_t v) {
  b[0] = static_cast<unsigned char>(v & 0xFF);
  b[1] = static_cast<unsigned char>(v >> 8);
}

void pon32(unsigned char* b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
}

void ponFloat(unsigned char* b, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  pon32(b, bits);
}

// Numbers in the attributes are plain decimal text. The parse must not follow
// the process locale: the toolkit sets it from the environment, and a decimal
// comma there would silently turn "0.5" into 0.
bool numeroDeTexto(const std::string& texto, double& valor) {
  const char* p = texto.data();
  const char* fin = p + texto.size();
  while (p < fin && std::isspace(static_cast<unsigned char>(*p))) ++p;
  if (p < fin && *p == '+') ++p;
  const auto r = std::from_chars(p, fin, valor);
  return r.ec == std::errc() && r.ptr != p;
}

float atributoTamano(const AttributeMap& atributos, const char* clave, const std::string& ruta) {
  if (!atributos.contains(clave))
    throw ErrorEscritura(ruta, std::string("the volume has no attribute ") + clave);
  double v;
  if (!numeroDeTexto(atributos.at(clave), v))
    throw ErrorEscritura(ruta, std::string("the attribute ") + clave + " is not a number (\"" +
                                   atributos.at(clave) + "\")");
  return static_cast<float>(v);
}

// The samples of slice i in the written type, little-endian. A slot the
// volume does not hold, or a slice shorter than the geometry, is written as 0
// so that the sample file always matches the header.
void muestrasCorte(const Cubo& cubo, int i, char letra, std::size_t n, std::vector<unsigned char>& salida) {
  const Corte* corte = i < cubo.cortesPresentes() ? cubo.corte(i) : nullptr;
  switch (letra) {
    case 'c': {
      salida.assign(n, 0);
      if (!corte) return;
      const Muestras<uint8_t> m = corte->comoUChar();
      std::copy_n(m.begin(), std::min(n, m.size()), salida.begin());
      return;
    }
    case 'f': {
      salida.assign(4 * n, 0);
      if (!corte) return;
      const Muestras<double> m = corte->comoDouble();
      const std::size_t k = std::min(n, m.size());
      for (std::size_t j = 0; j < k; ++j) ponFloat(&salida[4 * j], static_cast<float>(m[j]));
      return;
    }
    case 's': {
      salida.assign(2 * n, 0);
      if (!corte) return;
      const Muestras<int16_t> m = corte->comoShort();
      const std::size_t k = std::min(n, m.size());
      for (std::size_t j = 0; j < k; ++j) pon16(&salida[2 * j], static_cast<uint16_t>(m[j]));
      return;
    }
    default: {
      salida.assign(2 * n, 0);
      if (!corte) return;
      const Muestras<uint16_t> m = corte->comoUShort();
      const std::size_t k = std::min(n, m.size());
      for (std::size_t j = 0; j < k; ++j) pon16(&salida[2 * j], m[j]);
      return;
    }
  }
}

int maximoPrimerCorte(const Cubo& cubo) {
  if (cubo.cortesPresentes() < 1 || !cubo.corte(0)) return 0;
  const Muestras<uint16_t> m = cubo.corte(0)->comoUShort();
  const uint16_t* mayor = std::max_element(m.begin(), m.end());
  return mayor == m.end() ? 0 : *mayor;
}

std::string motivoSistema(int error) { return std::strerror(error); }

}  // namespace

bool cabeEnCabeceraAnalyze(int ancho, int alto, int cortes) {
  auto cabe = [](int v) { return v >= 1 && v <= kExtensionMaximaAnalyze; };
  return cabe(ancho) && cabe(alto) && cabe(cortes);
}

std::string textoTipoAnalyze(char letra) {
  switch (letra) {
    case 'c': return "uc";
    case 's': return "s";
    case 'f': return "ft";
    default: return "us";
  }
}

std::array<unsigned char, kTamanoCabeceraAnalyze> cabeceraAnalyze(int ancho, int alto, int cortes,
                                                                  const TamanoPixel& tamanos,
                                                                  const std::string& tipo) {
  if (!cabeEnCabeceraAnalyze(ancho, alto, cortes))
    throw std::invalid_argument("extents do not fit the Analyze header");
  const Tipo t = tipoDeTexto(tipo);
  const char orientacion = 0;

  std::array<unsigned char, kTamanoCabeceraAnalyze> h{};
  pon32(&h[0], kTamanoCabeceraAnalyze);
  h[38] = 'r';
  pon16(&h[40], 4);
  pon16(&h[42], static_cast<uint16_t>(alto));
  pon16(&h[44], static_cast<uint16_t>(ancho));
  pon16(&h[46], static_cast<uint16_t>(cortes));
  pon16(&h[48], 1);
  pon16(&h[70], static_cast<uint16_t>(t.codigo));
  pon16(&h[72], static_cast<uint16_t>(t.bitsMuestra));
  ponFloat(&h[80], tamanos.x());
  ponFloat(&h[84], tamanos.y());
  ponFloat(&h[88], tamanos.z());
  ponFloat(&h[112], 1.0f);  // scale factor
  h[252] = static_cast<unsigned char>(orientacion);

  std::cout << "CREA HDR CON ORIENT: " << orientacion << std::endl;
  return h;
}

QString nombreBase(const QString& ruta) {
  const QStringList partes = ruta.split(QLatin1Char('/'));
  QString directorio;
  for (qsizetype i = 0; i + 1 < partes.size(); ++i) directorio += partes[i] + QLatin1Char('/');
  const QString& ultimo = partes.last();

  QString nombre;
  if (ruta.endsWith(QLatin1String("hdr"))) {
    nombre = ultimo.left(std::max<qsizetype>(0, ultimo.size() - 4));
  } else if (partes.size() >= 2 && !partes[partes.size() - 2].isEmpty()) {
    nombre = partes[partes.size() - 2];
  } else {
    // No folder name to borrow (a bare file name, or a file at the root).
    const qsizetype punto = ultimo.lastIndexOf(QLatin1Char('.'));
    nombre = punto > 0 ? ultimo.left(punto) : ultimo;
  }
  return directorio + nombre;
}

bool esNombreAnalyze(const QString& ruta) { return ruta.contains(QLatin1String(".hdr"), Qt::CaseSensitive); }

void guardarAnalyze(const Cubo& cubo, const QString& ruta) {
  const std::string base = nombreBase(ruta).toLocal8Bit().toStdString();
  const std::string rutaImg = base + ".img";
  const std::string rutaHdr = base + ".hdr";

  // Everything that can refuse the save is checked before the first line is
  // written or a file is touched.
  const int ancho = cubo.geometria() ? cubo.geometria()->ancho() : 0;
  const int alto = cubo.geometria() ? cubo.geometria()->alto() : 0;
  const int cortes = cubo.numCortes();
  const AttributeMap& atributos = cubo.atributosRef();
  const TamanoPixel tamanos(atributoTamano(atributos, "PixelDimx", rutaHdr),
                            atributoTamano(atributos, "PixelDimy", rutaHdr),
                            atributoTamano(atributos, "ST", rutaHdr));
  if (!atributos.contains("dataType"))
    throw ErrorEscritura(rutaHdr, "the volume has no attribute dataType");
  if (!cabeEnCabeceraAnalyze(ancho, alto, cortes))
    throw ErrorEscritura(rutaHdr, "a volume of " + std::to_string(ancho) + " x " + std::to_string(alto) +
                                      " x " + std::to_string(cortes) +
                                      " does not fit the Analyze header (each extent 1 to 32767)");
  const std::string& textoTipo = atributos.at("dataType");
  const char letra = textoTipo.empty() ? '\0' : textoTipo[0];

  std::cout << "EL NOMBRE ES: " << base << std::endl;
  std::cout << ancho << ", " << alto << ", " << cortes << std::endl;
  std::cout << "DATA TYPE: " << letra << std::endl;
  std::cout << "MAX= " << maximoPrimerCorte(cubo) << std::endl;

  const auto cabecera = cabeceraAnalyze(ancho, alto, cortes, tamanos, textoTipoAnalyze(letra));
  const std::size_t porCorte = std::size_t(ancho) * std::size_t(alto);
  if (letra == 's')
    std::cout << "NITEMS SHORT: " << porCorte * std::size_t(cortes) << " DATA TYPE: " << 4 << std::endl;

  std::FILE* img = std::fopen(rutaImg.c_str(), "wb");
  if (!img) {
    const int error = errno;
    std::cout << "Error opening file " << std::endl;
    throw ErrorEscritura(rutaImg, "cannot be created: " + motivoSistema(error));
  }
  // Samples are converted and written a slice at a time: the bytes are those
  // of one buffer of the whole volume, without holding it twice in memory.
  std::vector<unsigned char> bytes;
  int error = 0;
  for (int i = 0; i < cortes && error == 0; ++i) {
    muestrasCorte(cubo, i, letra, porCorte, bytes);
    if (std::fwrite(bytes.data(), 1, bytes.size(), img) != bytes.size()) error = errno ? errno : EIO;
  }
  if (std::fclose(img) != 0 && error == 0) error = errno ? errno : EIO;
  if (error != 0) {
    std::remove(rutaImg.c_str());
    throw ErrorEscritura(rutaImg, "cannot be written: " + motivoSistema(error));
  }

  // A sample file without its header cannot be opened again: it goes too.
  std::FILE* hdr = std::fopen(rutaHdr.c_str(), "wb");
  if (!hdr) {
    const int e = errno;
    std::remove(rutaImg.c_str());
    throw ErrorEscritura(rutaHdr, "cannot be created: " + motivoSistema(e) + " (" + rutaImg + " removed)");
  }
  errno = 0;
  bool bien = std::fwrite(cabecera.data(), 1, cabecera.size(), hdr) == cabecera.size();
  int e = bien ? 0 : (errno ? errno : EIO);
  if (std::fclose(hdr) != 0 && bien) {
    bien = false;
    e = errno ? errno : EIO;
  }
  if (!bien) {
    std::remove(rutaHdr.c_str());
    std::remove(rutaImg.c_str());
    throw ErrorEscritura(rutaHdr, "cannot be written: " + motivoSistema(e) + " (" + rutaImg + " removed)");
  }
}

void guardarVolumenAnalyze(Cubo& cubo, const QString& ruta, char tipo) {
  auto quitaTipo = [&cubo] {
    AttributeMap m = cubo.atributos();
    m.erase("dataType");
    cubo.ponAtributos(m);
  };
  AttributeMap m = cubo.atributos();
  m.set("dataType", std::string(1, tipo));
  cubo.ponAtributos(m);
  try {
    guardarAnalyze(cubo, ruta);
  } catch (...) {
    quitaTipo();
    throw;
  }
  quitaTipo();
}
