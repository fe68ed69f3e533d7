#include "dicom.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcxfer.h>
#include <dcmtk/dcmimgle/dcmimage.h>
#include <dcmtk/oflog/oflog.h>

#include "errores.h"
#include "texto.h"

namespace {

// How far a Pixel Data element may fall short of the image it claims before
// the claim is taken as corrupt rather than as a short copy: the image may
// need this many times the bytes present, or this many bytes, whichever is
// larger. The same allowance as the Analyze reader's.
constexpr uint64_t kFactorRelleno = 16;
constexpr uint64_t kRellenoMaximo = uint64_t{256} << 20;
// Names listed in one warning about files left out; the rest are counted.
constexpr std::size_t kNombresAviso = 5;

// The toolkit logs every oddity of a file on stderr; this reader reports what
// matters itself, with the file's name, so only its fatal lines are kept.
void callaToolkit() {
  static const bool hecho = [] {
    OFLog::getLogger("dcmtk").setLogLevel(OFLogger::FATAL_LOG_LEVEL);
    return true;
  }();
  (void)hecho;
}

std::string aTexto(const OFCondition& c) { return c.text() ? c.text() : "unknown error"; }

OFCondition carga(const std::string& fichero, DcmFileFormat& ff) {
  callaToolkit();
  return ff.loadFile(fichero.c_str(), EXS_Unknown, EGL_noChange, 4096, ERM_autoDetect);
}

std::optional<std::string> texto(DcmDataset& ds, const DcmTagKey& tag) {
  OFString s;
  if (ds.findAndGetOFString(tag, s, 0).bad()) return std::nullopt;
  return std::string(s.c_str());
}

std::optional<std::string> textoEntero(DcmDataset& ds, const DcmTagKey& tag) {
  OFString s;
  if (ds.findAndGetOFStringArray(tag, s).bad()) return std::nullopt;
  return std::string(s.c_str());
}

// A float as a stream reads it; nothing for a text that holds no number or
// one that is not finite (it would poison every size computed from it).
std::optional<float> flotanteStream(const std::string& t) {
  std::istringstream s(t);
  float v = 0.0f;
  if (!(s >> v) || !std::isfinite(v)) return std::nullopt;
  return v;
}

// Decimal text to double, then to float, refusing what a float cannot hold.
std::optional<float> flotanteDecimal(const std::string& t) {
  const char* inicio = t.c_str();
  char* fin = nullptr;
  errno = 0;
  const double d = std::strtod(inicio, &fin);
  if (fin == inicio || !std::isfinite(d) || std::fabs(d) > double(FLT_MAX)) return std::nullopt;
  return static_cast<float>(d);
}

// An int as a stream (or atoi) reads it: white space, a sign, digits; what
// follows is ignored; values beyond int are held at its ends, as a stream does.
std::optional<int> enteroStream(const std::string& t) {
  const char* inicio = t.c_str();
  char* fin = nullptr;
  errno = 0;
  const long long v = std::strtoll(inicio, &fin, 10);
  if (fin == inicio) return std::nullopt;
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int enteroOCero(DcmDataset& ds, const DcmTagKey& tag) {
  const std::optional<std::string> t = texto(ds, tag);
  return t ? enteroStream(*t).value_or(0) : 0;
}

void cabeceraDe(DcmDataset& ds, float& grosor, float& espaciadoPixel) {
  std::optional<float> g;
  if (auto t = texto(ds, DCM_SliceThickness)) g = flotanteStream(*t);
  if (!g)
    if (auto t = texto(ds, DCM_SpacingBetweenSlices)) g = flotanteStream(*t);
  if (g)
    grosor = *g;
  else
    std::cout << "Error: cannot access Slice Thickness!" << std::endl;

  // The first value of the text is the number up to the backslash.
  std::optional<float> p;
  if (auto t = texto(ds, DCM_PixelSpacing)) p = flotanteStream(*t);
  if (p)
    espaciadoPixel = *p;
  else
    std::cout << "Error: cannot access Pixel Spacing!" << std::endl;
}

// What a slice reader got from one file besides its samples.
struct DatosCorte {
  int numeroInstancia = 0;
  std::optional<float> posicion;
};

bool esMonocromo(const std::string& fotometria) {
  return fotometria == "MONOCHROME1" || fotometria == "MONOCHROME2";
}

// Colour images the toolkit's grey-level decoder leaves alone, whose first
// component can be taken from the bytes: three 8-bit samples a pixel, not
// subsampled.
bool admiteColor(const std::string& fotometria, unsigned muestrasPixel, unsigned bitsAsignados) {
  if (esMonocromo(fotometria) || fotometria == "PALETTE COLOR") return false;
  if (fotometria.find("_422") != std::string::npos || fotometria.find("_420") != std::string::npos)
    return false;
  return muestrasPixel == 3 && bitsAsignados == 8;
}

template <class T>
void limites(const T* d, std::size_t n, T& inferior, T& superior) {
  inferior = std::numeric_limits<T>::max();
  superior = std::numeric_limits<T>::lowest();
  for (std::size_t i = 0; i < n; ++i) {
    inferior = std::min(inferior, d[i]);
    superior = std::max(superior, d[i]);
  }
  if (n == 0) inferior = superior = 0;
}

// One slice from a loaded file. `T` is the sample type (int16_t for the
// series, uint16_t for the folder); `sumaIntercepto` says whether the rescale
// intercept is added (the series reader only).
template <class T, class TCorte>
std::unique_ptr<TCorte> corteDe(DcmFileFormat& ff, const std::string& fichero, DatosCorte& datos,
                                ObservadorLectura& observador) {
  DcmDataset& ds = *ff.getDataset();
  Uint16 filas = 0, columnas = 0, representacion = 0;
  const bool hayFilas = ds.findAndGetUint16(DCM_Rows, filas).good();
  const bool hayColumnas = ds.findAndGetUint16(DCM_Columns, columnas).good();
  if (auto t = texto(ds, DCM_InstanceNumber)) datos.numeroInstancia = enteroStream(*t).value_or(0);
  if (auto t = texto(ds, DCM_SliceLocation)) datos.posicion = flotanteDecimal(*t);
  const bool hayRepresentacion = ds.findAndGetUint16(DCM_PixelRepresentation, representacion).good();
  const int intercepto = enteroOCero(ds, DCM_RescaleIntercept);

  if (!hayFilas || !hayColumnas || filas == 0 || columnas == 0)
    throw ErrorLectura(fichero, "the image has no size (Rows " +
                                    (hayFilas ? std::to_string(filas) : std::string("missing")) +
                                    ", Columns " +
                                    (hayColumnas ? std::to_string(columnas) : std::string("missing")) + ")");
  DcmElement* pixeles = nullptr;
  if (ds.findAndGetElement(DCM_PixelData, pixeles).bad() || !pixeles)
    throw ErrorLectura(fichero, "the file holds no Pixel Data");
  const DcmXfer sintaxis(ds.getOriginalXfer());
  if (sintaxis.isEncapsulated())
    throw ErrorLectura(fichero, std::string("the pixel data is compressed (") + sintaxis.getXferName() +
                                    "), which this reader cannot decode");

  Uint16 bitsAsignados = 0, muestrasPixel = 1, planar = 0;
  ds.findAndGetUint16(DCM_BitsAllocated, bitsAsignados);
  ds.findAndGetUint16(DCM_SamplesPerPixel, muestrasPixel);
  ds.findAndGetUint16(DCM_PlanarConfiguration, planar);
  if (bitsAsignados == 0 || bitsAsignados > 32)
    throw ErrorLectura(fichero, "Bits Allocated is " + std::to_string(bitsAsignados) +
                                    "; only 1 to 32 bits a sample can be decoded");
  if (muestrasPixel == 0 || muestrasPixel > 4)
    throw ErrorLectura(fichero, "Samples per Pixel is " + std::to_string(muestrasPixel));
  std::string fotometria = texto(ds, DCM_PhotometricInterpretation).value_or("");
  fotometria.erase(fotometria.find_last_not_of(' ') + 1);

  // Sizes in 64 bits, checked against the bytes the file holds before the
  // toolkit allocates the image.
  const uint64_t n = uint64_t(filas) * uint64_t(columnas);
  const uint64_t necesarios = (n * muestrasPixel * bitsAsignados + 7) / 8;
  const uint64_t presentes = pixeles->getLength();
  if (presentes < necesarios) {
    // The decoder holds the image several times over: as read, as values and
    // as output; the slice once more.
    const uint64_t memoria = n * 8;
    if (memoria > std::max<uint64_t>(kFactorRelleno * presentes, kRellenoMaximo))
      throw ErrorLectura(fichero, "the image claims " + std::to_string(columnas) + " x " +
                                      std::to_string(filas) + " samples (" + std::to_string(necesarios) +
                                      " bytes) but its Pixel Data holds only " + std::to_string(presentes));
    observador.aviso(fichero, "the Pixel Data is short: it holds " + std::to_string(presentes) + " of the " +
                                  std::to_string(necesarios) + " bytes of the image; the missing samples are 0");
  }

  // Grey values are defined for unsigned and signed samples only.
  auto representacionValida = [&] {
    if (!hayRepresentacion || representacion > 1)
      throw ErrorLectura(fichero, hayRepresentacion ? "Pixel Representation is " +
                                                          std::to_string(representacion) + ", neither 0 nor 1"
                                                    : std::string("the file has no Pixel Representation"));
  };
  if (esMonocromo(fotometria)) representacionValida();

  DicomImage imagen(&ds, ds.getOriginalXfer(), 0UL, 0UL, 1UL);
  auto muestras = std::make_unique_for_overwrite<T[]>(static_cast<std::size_t>(n));
  int anchoCorte = columnas, altoCorte = filas;
  if (imagen.getStatus() == EIS_Normal) {
    representacionValida();
    const auto* salida = static_cast<const Uint16*>(imagen.getOutputData(16, 0));
    if (!salida) throw ErrorLectura(fichero, "the image could not be rendered");
    // The toolkit maps the whole range of the stored values onto 0…65535:
    // 12 stored bits come out 16 times larger, signed values shifted by 32768.
    const uint16_t b = static_cast<uint16_t>(static_cast<uint32_t>(intercepto));
    auto convierte = [&](uint16_t v) -> T {
      uint16_t m;
      if constexpr (std::is_same_v<T, uint16_t>)
        m = representacion == 0 ? uint16_t((v >> 4) + 32768) : v;
      else
        m = representacion == 0 ? uint16_t((v >> 4) + b) : uint16_t(v + b - 32768u);
      return static_cast<T>(m);
    };
    // Rows in, columns out: the image is transposed in tiles, so that the
    // writes down a column stay in cache.
    constexpr uint32_t kTesela = 64;
    for (uint32_t r0 = 0; r0 < filas; r0 += kTesela) {
      const uint32_t r1 = std::min<uint32_t>(filas, r0 + kTesela);
      for (uint32_t c0 = 0; c0 < columnas; c0 += kTesela) {
        const uint32_t c1 = std::min<uint32_t>(columnas, c0 + kTesela);
        for (uint32_t c = c0; c < c1; ++c) {
          T* destino = muestras.get() + std::size_t(c) * filas;
          for (uint32_t r = r0; r < r1; ++r) destino[r] = convierte(salida[std::size_t(r) * columnas + c]);
        }
      }
    }
  } else if (admiteColor(fotometria, muestrasPixel, bitsAsignados)) {
    std::cout << "Second Capture Color" << std::endl;
    const Uint8* bytes = nullptr;
    unsigned long cuenta = 0;
    if (ds.findAndGetUint8Array(DCM_PixelData, bytes, &cuenta).bad() || (!bytes && cuenta > 0))
      throw ErrorLectura(fichero, "the colour Pixel Data cannot be read as bytes");
    // The first component of each pixel, in DICOM row order, kept in that
    // order: the slice is Rows wide and Columns high, so it shows transposed.
    // Planes one after the other (planar configuration 1) hold it in the
    // first plane.
    for (uint64_t k = 0; k < n; ++k) {
      const uint64_t i = planar == 1 ? k : 3 * k;
      muestras[k] = static_cast<T>(bytes && i < cuenta ? bytes[i] : 0);
    }
    anchoCorte = filas;
    altoCorte = columnas;
  } else {
    throw ErrorLectura(fichero, std::string("the image cannot be decoded (") +
                                    DicomImage::getString(imagen.getStatus()) +
                                    (fotometria.empty() ? std::string() : ", " + fotometria) + ")");
  }

  T inferior, superior;
  limites(muestras.get(), static_cast<std::size_t>(n), inferior, superior);
  return std::make_unique<TCorte>(std::move(muestras), inferior, superior,
                                  nuevaGeometria(anchoCorte, altoCorte));
}

template <class T, class TCorte>
std::unique_ptr<TCorte> leeCorte(const std::string& fichero, int& numeroInstancia, float& posicionCorte,
                                 ObservadorLectura& observador) {
  DcmFileFormat ff;
  const OFCondition c = carga(fichero, ff);
  if (c.bad()) throw ErrorLectura(fichero, "the file cannot be loaded as DICOM (" + aTexto(c) + ")");
  DatosCorte datos;
  datos.numeroInstancia = numeroInstancia;
  auto corte = corteDe<T, TCorte>(ff, fichero, datos, observador);
  numeroInstancia = datos.numeroInstancia;
  if (datos.posicion) posicionCorte = *datos.posicion;
  return corte;
}

float espaciado(const std::vector<float>& posiciones) {
  if (posiciones.size() < 2) return 0.0f;
  const auto [menor, mayor] = std::minmax_element(posiciones.begin(), posiciones.end());
  return (*mayor - *menor) / static_cast<float>(posiciones.size() - 1);
}

std::string listaNombres(const std::vector<std::string>& lineas) {
  std::string s;
  for (std::size_t i = 0; i < lineas.size() && i < kNombresAviso; ++i) s += (i ? "; " : "") + lineas[i];
  if (lineas.size() > kNombresAviso) s += "; and " + std::to_string(lineas.size() - kNombresAviso) + " more";
  return s;
}

struct Entrada {
  std::unique_ptr<Corte> corte;
  std::string nombre;
  std::optional<float> posicion;
};

// The first file that gave a slice, in list order: what the series takes
// from "the first file".
struct Primero {
  std::string nombre;
  std::string intercepto, relleno, modalidad, posicionPaciente;
};

template <class T, class TCorte>
LecturaDicom leeSerie(const QStringList& ficheros, ObservadorLectura& observador, bool serie) {
  if (ficheros.isEmpty()) throw ErrorLectura("", "no DICOM file was given");
  std::vector<std::string> nombres;
  nombres.reserve(static_cast<std::size_t>(ficheros.size()));
  for (const QString& f : ficheros) nombres.push_back(f.toLocal8Bit().toStdString());

  // Neither value comes from any file when none holds it; 1 mm keeps the
  // view's pixel sizes usable.
  float grosor = 1.0f, espaciadoPixel = 1.0f;
  std::map<int, Entrada> porNumero;
  std::optional<Primero> primero;
  std::vector<std::string> sinCorte, repetidos;

  struct Progreso {
    ObservadorLectura& o;
    ~Progreso() { o.progresoFin(); }
  } progreso{observador};
  observador.progresoInicio(QStringLiteral("Cargando Imagenes..."), QStringLiteral("Cancelar"), 0,
                            static_cast<int>(std::min<qsizetype>(ficheros.size(), INT_MAX)));

  for (std::size_t i = 0; i < nombres.size(); ++i) {
    observador.progresoValor(static_cast<int>(std::min<std::size_t>(i, INT_MAX)));
    const std::string& nombre = nombres[i];
    std::unique_ptr<TCorte> corte;
    DatosCorte datos;
    DcmFileFormat ff;
    try {
      const OFCondition c = carga(nombre, ff);
      if (c.bad()) throw ErrorLectura(nombre, "the file cannot be loaded as DICOM (" + aTexto(c) + ")");
      cabeceraDe(*ff.getDataset(), grosor, espaciadoPixel);
      corte = corteDe<T, TCorte>(ff, nombre, datos, observador);
    } catch (const ErrorLectura& e) {
      std::cerr << "Error reading " << nombre << std::endl;
      sinCorte.push_back(nombre + ": " + e.motivo());
      continue;
    } catch (const std::bad_alloc&) {
      std::cerr << "Error reading " << nombre << std::endl;
      sinCorte.push_back(nombre + ": not enough memory for the image");
      continue;
    }
    if (!primero) {
      DcmDataset& ds = *ff.getDataset();
      Primero p;
      p.nombre = nombre;
      p.intercepto = texto(ds, DCM_RescaleIntercept).value_or("");
      p.relleno = texto(ds, DCM_PixelPaddingValue).value_or("");
      p.modalidad = textoEntero(ds, DCM_Modality).value_or("");
      std::istringstream(textoEntero(ds, DCM_PatientPosition).value_or("")) >> p.posicionPaciente;
      primero = std::move(p);
    }
    auto [it, nuevo] = porNumero.try_emplace(datos.numeroInstancia);
    if (!nuevo) {
      repetidos.push_back(nombre + " (Instance Number " + std::to_string(datos.numeroInstancia) +
                          ", already given by " + it->second.nombre + ")");
      continue;
    }
    it->second = Entrada{std::move(corte), nombre, datos.posicion};
  }

  const std::string& rutaSerie = nombres.front();
  if (!sinCorte.empty() && porNumero.empty())
    throw ErrorLectura(rutaSerie, nombres.size() == 1
                                      ? sinCorte.front().substr(nombres.front().size() + 2)
                                      : "none of the " + std::to_string(nombres.size()) +
                                            " files gives a DICOM image: " + listaNombres(sinCorte));
  if (!sinCorte.empty())
    observador.aviso(rutaSerie, std::to_string(sinCorte.size()) + " of " + std::to_string(nombres.size()) +
                                    " files gave no slice and were left out: " + listaNombres(sinCorte));
  if (!repetidos.empty())
    observador.aviso(rutaSerie, std::to_string(repetidos.size()) +
                                    " files were left out because another file read before them has "
                                    "their Instance Number: " + listaNombres(repetidos));

  // Every slice takes the size of the one with the lowest number; one of
  // another size would be read past its samples, so it is left out.
  const GeometriaCorte base = *porNumero.begin()->second.corte->geometria();
  std::vector<std::string> otroTamano;
  for (auto it = porNumero.begin(); it != porNumero.end();) {
    const GeometriaCorte& g = *it->second.corte->geometria();
    if (g.ancho() != base.ancho() || g.alto() != base.alto()) {
      otroTamano.push_back(it->second.nombre + " (" + std::to_string(g.ancho()) + " x " +
                           std::to_string(g.alto()) + ")");
      it = porNumero.erase(it);
    } else {
      ++it;
    }
  }
  if (!otroTamano.empty())
    observador.aviso(rutaSerie, std::to_string(otroTamano.size()) + " files were left out because their "
                                    "image is not " + std::to_string(base.ancho()) + " x " +
                                    std::to_string(base.alto()) + " like the first of the series: " +
                                    listaNombres(otroTamano));

  std::vector<float> posiciones;
  for (const auto& [numero, e] : porNumero)
    if (e.posicion) posiciones.push_back(*e.posicion);
  const float g = espaciado(posiciones);
  if (g > 0.0f) grosor = g;

  if (serie) std::cout << "Patient Position " << primero->posicionPaciente << std::endl;

  const int cortes = static_cast<int>(porNumero.size());
  AttributeMap atributos;
  atributos.set("ST", textoNumero(grosor));
  atributos.set("PixelDimx", textoNumero(espaciadoPixel));
  atributos.set("PixelDimy", textoNumero(espaciadoPixel));
  atributos.set("PixelDimz", textoNumero(grosor));
  atributos.set("PitchFactor", "0");
  if (serie) {
    const long long iValue = static_cast<long long>(enteroStream(primero->intercepto).value_or(0)) +
                             enteroStream(primero->relleno).value_or(0);
    atributos.set("iValue", std::to_string(iValue));
    atributos.set("modality", primero->modalidad);
  }
  std::string nombreFichero = primero->nombre;
  if (cortes >= 2) nombreFichero = nombreFichero.substr(0, nombreFichero.find_last_of("/\\"));
  atributos.set("FileName", nombreFichero);

  LecturaDicom lectura;
  Geometria geometria = nuevaGeometria(base.ancho(), base.alto());
  lectura.cubo = std::make_unique<Cubo>(geometria, cortes, atributos);
  int i = 0;
  for (auto& [numero, e] : porNumero) {
    lectura.minimo = std::min(lectura.minimo, e.corte->minimo());
    lectura.maximo = std::max(lectura.maximo, e.corte->maximo());
    e.corte->setGeometria(geometria);
    lectura.cubo->ponCorte(std::move(e.corte), i++);
  }
  return lectura;
}

}  // namespace

bool leerCabeceraDicom(const std::string& fichero, float& grosor, float& espaciadoPixel) {
  DcmFileFormat ff;
  if (carga(fichero, ff).bad()) return false;
  cabeceraDe(*ff.getDataset(), grosor, espaciadoPixel);
  return true;
}

std::unique_ptr<CorteShort> leerCorteDicom(const std::string& fichero, int& numeroInstancia,
                                           float& posicionCorte, ObservadorLectura& observador) {
  return leeCorte<int16_t, CorteShort>(fichero, numeroInstancia, posicionCorte, observador);
}

std::unique_ptr<CorteUnsignedShort> leerCorteDicomUS(const std::string& fichero, int& numeroInstancia,
                                                     float& posicionCorte, ObservadorLectura& observador) {
  return leeCorte<uint16_t, CorteUnsignedShort>(fichero, numeroInstancia, posicionCorte, observador);
}

float espaciadoEntreCortes(const QStringList& ficheros) {
  std::vector<float> posiciones;
  for (const QString& f : ficheros) {
    DcmFileFormat ff;
    if (carga(f.toLocal8Bit().toStdString(), ff).bad()) continue;
    if (auto t = texto(*ff.getDataset(), DCM_SliceLocation))
      if (auto p = flotanteDecimal(*t)) posiciones.push_back(*p);
  }
  return espaciado(posiciones);
}

LecturaDicom leerSerieDicom(const QStringList& ficheros, ObservadorLectura& observador) {
  return leeSerie<int16_t, CorteShort>(ficheros, observador, true);
}

LecturaDicom leerCarpetaDicom(const QStringList& ficheros, ObservadorLectura& observador) {
  return leeSerie<uint16_t, CorteUnsignedShort>(ficheros, observador, false);
}
