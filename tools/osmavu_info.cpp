// osmavu-info: opens files exactly as the viewer does, without a window, and
// reports what came out. The report alone goes to standard output; every line
// the readers write there goes to standard error instead.

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include "apertura.h"
#include "carpeta.h"
#include "companion.h"
#include "errores.h"
#include "observador.h"

namespace {

constexpr const char* kUso =
    "usage: osmavu-info [--json] [--folder] [--raw-read FILE] [--raw-display FILE] PATH...\n"
    "\n"
    "Opens PATH... as the viewer opens a file choice (with --folder, the folder PATH\n"
    "as the viewer opens a folder) and reports the type key, the header summary, the\n"
    "companion edge points of a single PATH, and the volumes.\n"
    "\n"
    "  --json             one JSON object instead of the readable report\n"
    "  --folder           PATH is one folder\n"
    "  --raw-read FILE    write the reader's own samples (int16, uint16 or float64,\n"
    "                     little-endian; the display volume when it was not converted)\n"
    "  --raw-display FILE write the display samples as uint16 little-endian\n"
    "  --help             this text\n"
    "\n"
    "Slices are written one after the other, each in storage order (x * height + y).\n"
    "Exit status: 0 when a display volume was produced, 1 when not, 2 for a usage error.\n";

std::FILE* informe = stdout;

// --- JSON ------------------------------------------------------------------

std::string cadena(const std::string& utf8) {
  std::string s = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': s += "\\\""; break;
      case '\\': s += "\\\\"; break;
      case '\b': s += "\\b"; break;
      case '\f': s += "\\f"; break;
      case '\n': s += "\\n"; break;
      case '\r': s += "\\r"; break;
      case '\t': s += "\\t"; break;
      default:
        if (c < 0x20) {
          char b[8];
          std::snprintf(b, sizeof b, "\\u%04x", c);
          s += b;
        } else {
          s += static_cast<char>(c);
        }
    }
  }
  return s + "\"";
}

std::string cadena(const QString& q) { return cadena(q.toUtf8().toStdString()); }

// Attribute texts are 8-bit; through the local encoding they become valid UTF-8.
std::string cadena8(const std::string& local) {
  return cadena(QString::fromLocal8Bit(local.data(), static_cast<qsizetype>(local.size())));
}

std::string numero(double v) {
  if (!std::isfinite(v)) return "null";
  char b[32];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

const char* tipoCorte(const Corte* c) {
  if (dynamic_cast<const CorteShort*>(c)) return "CorteShort";
  if (dynamic_cast<const CorteUnsignedShort*>(c)) return "CorteUnsignedShort";
  if (dynamic_cast<const CorteDouble*>(c)) return "CorteDouble";
  return nullptr;
}

const Corte* corteOVacio(const Cubo& v, int i) { return i < v.cortesPresentes() ? v.corte(i) : nullptr; }

std::string limites(const Corte* c) {
  if (const auto* s = dynamic_cast<const CorteShort*>(c))
    return "[" + std::to_string(s->inferior()) + ", " + std::to_string(s->superior()) + "]";
  if (const auto* d = dynamic_cast<const CorteDouble*>(c))
    return "[" + numero(d->minimoDouble()) + ", " + numero(d->maximoDouble()) + "]";
  if (c) return "[" + std::to_string(c->minimo()) + ", " + std::to_string(c->maximo()) + "]";
  return "null";
}

std::string volumenJson(const Cubo* v) {
  if (!v) return "null";
  const auto* sino = dynamic_cast<const CuboSinograma*>(v);
  const char* tipo = tipoCorte(corteOVacio(*v, 0));
  std::string s = "{\"class\": ";
  s += sino ? "\"CuboSinograma\"" : "\"Cubo\"";
  s += ", \"sliceType\": " + (tipo ? cadena(std::string(tipo)) : std::string("null"));
  s += ", \"width\": " + std::to_string(v->geometria()->ancho());
  s += ", \"height\": " + std::to_string(v->geometria()->alto());
  s += ", \"slices\": " + std::to_string(v->numCortes());
  s += ", \"limits\": [";
  for (int i = 0; i < v->numCortes(); ++i) s += (i ? ", " : "") + limites(corteOVacio(*v, i));
  s += "], \"attributes\": {";
  const std::map<std::string, std::string> ordenados(v->atributosRef().begin(), v->atributosRef().end());
  bool primero = true;
  for (const auto& [clave, valor] : ordenados) {
    s += (primero ? "" : ", ") + cadena8(clave) + ": " + cadena8(valor);
    primero = false;
  }
  s += "}, \"header\": " + cadena(v->textoCabecera());
  if (sino) {
    s += ", \"distances\": [" + numero(sino->distanciaFocoObjeto()) + ", " +
         numero(sino->distanciaFocoDetector()) + "]";
    s += ", \"offsets\": [" + std::to_string(sino->desplazamientoH()) + ", " +
         std::to_string(sino->desplazamientoV()) + "]";
  }
  return s + "}";
}

std::string bordeJson(const Borde* b) {
  if (!b) return "null";
  std::string s = "[";
  for (std::size_t i = 0; i < b->puntos().size(); ++i) {
    const Punto& p = b->puntos()[i];
    s += (i ? ", [" : "[") + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " +
         std::to_string(p.z) + "]";
  }
  return s + "]";
}

// --- Readable report ---------------------------------------------------------

void describe(const char* titulo, const Cubo* v) {
  if (!v) return;
  const char* tipo = tipoCorte(corteOVacio(*v, 0));
  std::fprintf(informe, "%s: %s of %s, %d x %d x %d\n", titulo,
               dynamic_cast<const CuboSinograma*>(v) ? "CuboSinograma" : "Cubo", tipo ? tipo : "no slices",
               v->geometria()->ancho(), v->geometria()->alto(), v->numCortes());
  const int mostrados = std::min(v->numCortes(), 8);
  for (int i = 0; i < mostrados; ++i)
    std::fprintf(informe, "  slice %d limits %s\n", i, limites(corteOVacio(*v, i)).c_str());
  if (mostrados < v->numCortes()) std::fprintf(informe, "  ... %d more slices\n", v->numCortes() - mostrados);
  const std::map<std::string, std::string> ordenados(v->atributosRef().begin(), v->atributosRef().end());
  for (const auto& [clave, valor] : ordenados)
    std::fprintf(informe, "  %s = %s\n", clave.c_str(), valor.c_str());
}

// --- Raw samples -------------------------------------------------------------

template <class T>
bool escribeMuestras(std::FILE* f, const Muestras<T>& m, std::size_t n) {
  static_assert(std::endian::native == std::endian::little, "samples are written little-endian");
  // fwrite must not be handed a null buffer, even for no elements.
  const std::size_t propias = std::min(n, m.size());
  if (propias > 0 && fwrite(m.data(), sizeof(T), propias, f) != propias) return false;
  if (n == propias) return true;
  const std::vector<T> ceros(n - propias);
  return fwrite(ceros.data(), sizeof(T), ceros.size(), f) == ceros.size();
}

bool escribeCrudo(const std::string& ruta, const Cubo& v, bool propio, std::string& error) {
  std::FILE* f = std::fopen(ruta.c_str(), "wb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  const std::size_t n = v.geometria()->numMuestras();
  bool bien = true;
  for (int i = 0; i < v.numCortes() && bien; ++i) {
    const Corte* c = corteOVacio(v, i);
    if (!c) {
      const std::vector<uint16_t> ceros(n);
      bien = n == 0 || fwrite(ceros.data(), 2, n, f) == n;
    } else if (!propio) {
      bien = escribeMuestras(f, c->comoUShort(), n);
    } else if (dynamic_cast<const CorteDouble*>(c)) {
      bien = escribeMuestras(f, c->comoDouble(), n);
    } else if (dynamic_cast<const CorteShort*>(c)) {
      bien = escribeMuestras(f, c->comoShort(), n);
    } else {
      bien = escribeMuestras(f, c->comoUShort(), n);
    }
  }
  if (std::fclose(f) != 0) bien = false;
  if (!bien) error = std::strerror(errno ? errno : EIO);
  return bien;
}

int uso(const char* motivo) {
  std::fprintf(stderr, "osmavu-info: %s\n%s", motivo, kUso);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // The report keeps the real standard output; the readers' own lines on
  // standard output land on standard error with every other diagnostic.
  const int fdInforme = dup(STDOUT_FILENO);
  if (fdInforme < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
    std::perror("osmavu-info");
    return 1;
  }
  informe = fdopen(fdInforme, "w");
  if (!informe) {
    std::perror("osmavu-info");
    return 1;
  }

  bool json = false, carpeta = false;
  std::string crudoLeido, crudoDisplay;
  QStringList rutas;
  bool opciones = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (opciones && a == "--help") {
      std::fputs(kUso, informe);
      std::fclose(informe);
      return 0;
    }
    if (opciones && a == "--json") {
      json = true;
    } else if (opciones && a == "--folder") {
      carpeta = true;
    } else if (opciones && (a == "--raw-read" || a == "--raw-display")) {
      if (i + 1 >= argc) return uso((a + " needs a FILE").c_str());
      (a == "--raw-read" ? crudoLeido : crudoDisplay) = argv[++i];
    } else if (opciones && a == "--") {
      opciones = false;
    } else if (opciones && a.size() > 1 && a[0] == '-') {
      return uso(("unknown option " + a).c_str());
    } else {
      rutas << QString::fromLocal8Bit(argv[i]);
    }
  }
  if (rutas.isEmpty()) return uso("no PATH given");
  if (carpeta && rutas.size() != 1) return uso("--folder takes exactly one PATH");

  ObservadorTerminal observador("osmavu-info");
  std::shared_ptr<Borde> borde;
  VolumenAbierto abierto;
  try {
    if (carpeta) {
      abierto = abreListaCarpeta(ficherosCarpeta(rutas.first()), observador);
    } else {
      if (rutas.size() == 1) {
        const QString n = nombreFicheroDatos(rutas);
        if (n != QLatin1String(" "))
          borde = leerFicheroDatos(n, observador);
        else
          std::cout << "NO HAY FICHERO DATOS" << std::endl;
      }
      abierto = abreLista(rutas, observador);
    }
  } catch (const ErrorLectura& e) {
    std::cout.flush();
    std::fprintf(stderr, "osmavu-info: %s: %s\n",
                 (e.ruta().empty() ? rutas.first().toLocal8Bit().toStdString() : e.ruta()).c_str(),
                 e.motivo().c_str());
    return 1;
  }
  std::cout.flush();

  const Cubo* leido = abierto.leido.get();
  const Cubo* display = abierto.display.get();
  std::string error;
  if (!crudoLeido.empty() && !escribeCrudo(crudoLeido, leido ? *leido : *display, true, error)) {
    std::fprintf(stderr, "osmavu-info: %s: cannot write: %s\n", crudoLeido.c_str(), error.c_str());
    return 1;
  }
  if (!crudoDisplay.empty() && !escribeCrudo(crudoDisplay, *display, false, error)) {
    std::fprintf(stderr, "osmavu-info: %s: cannot write: %s\n", crudoDisplay.c_str(), error.c_str());
    return 1;
  }

  if (json) {
    std::string s = "{\"key\": " + cadena(abierto.clave);
    s += ", \"summary\": " + (abierto.resumen.isNull() ? std::string("null") : cadena(abierto.resumen));
    s += ", \"borde\": " + bordeJson(borde.get());
    s += ", \"read\": " + volumenJson(leido);
    s += ", \"display\": " + volumenJson(display);
    s += "}\n";
    std::fputs(s.c_str(), informe);
  } else {
    std::fprintf(informe, "key: %s\n", abierto.clave.c_str());
    std::fprintf(informe, "window: %d..%d\n", abierto.inferior, abierto.superior);
    if (!abierto.resumen.isNull())
      std::fprintf(informe, "summary:\n  %s\n",
                   abierto.resumen.trimmed().replace('\n', QStringLiteral("\n  ")).toUtf8().constData());
    if (borde)
      std::fprintf(informe, "edge points: %d (max %d, %d, %d)\n", borde->numPuntos(), borde->maxX(),
                   borde->maxY(), borde->maxZ());
    else
      std::fprintf(informe, "edge points: none\n");
    describe("read", leido);
    describe("display", display);
  }
  if (std::fclose(informe) != 0) {
    std::perror("osmavu-info: standard output");
    return 1;
  }
  return 0;
}
