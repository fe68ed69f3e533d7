// osmavu-convert: opens files exactly as the viewer does and saves the working
// volume as the viewer's save commands do, as an Analyze pair or as a numbered
// series of grey pictures. Standard output carries the writers' lines only;
// the lines the readers write there go to standard error instead.

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <QString>
#include <QStringList>

#include "apertura.h"
#include "carpeta.h"
#include "errores.h"
#include "errores_escritura.h"
#include "escritor_analyze.h"
#include "guardado_imagenes.h"
#include "observador.h"

namespace {

constexpr const char* kUso =
    "usage: osmavu-convert [--type c|u|s|f] [--window L:U] [--folder] INPUT... OUTPUT\n"
    "\n"
    "Opens INPUT... as the viewer opens a file choice (the format is recognised from\n"
    "the first INPUT's content; with --folder, INPUT is one folder, opened as the\n"
    "viewer opens a folder), makes the working volume as the viewer does, without\n"
    "running the filter, and saves it:\n"
    "\n"
    "  OUTPUT containing .hdr   an Analyze pair, BASE.hdr and BASE.img, where BASE is\n"
    "                           OUTPUT without its last four characters when it ends\n"
    "                           in hdr, else OUTPUT's folder followed by that folder's\n"
    "                           name; samples of the type --type gives\n"
    "  OUTPUT ending in .png, .bmp, .tif, .ppm, .xbm or .xpm\n"
    "                           every slice as a grey picture OUTPUT_0001.EXT,\n"
    "                           OUTPUT_0002.EXT, ... (OUTPUT less its extension),\n"
    "                           through the grey window --window gives\n"
    "\n"
    "  --type c|u|s|f   Analyze samples: c bytes (the low 8 bits), u unsigned 16-bit,\n"
    "                   s signed 16-bit (default), f 32-bit float\n"
    "  --window L:U     pictures: samples below L black, above U white, grey between;\n"
    "                   0 <= L, U <= 65535; by default the window the viewer starts\n"
    "                   with (0:65535; 0:255 for JPEG, PNG and BMP; the series' own\n"
    "                   range for DICOM)\n"
    "  --folder         INPUT is one folder (a DICOM series or an XDAS sinogram)\n"
    "  --help           this text\n"
    "\n"
    "Standard output: the writer's lines. Standard error: the readers' lines, a\n"
    "progress bar on a terminal, and errors as \"osmavu-convert: PATH: reason\".\n"
    "Exit status: 0 when everything was written; 1 when an input could not be read\n"
    "or an output could not be written (no half-written Analyze pair is left);\n"
    "2 for a usage error.\n";

constexpr const char* kExtensionesImagen[] = {".png", ".bmp", ".tif", ".ppm", ".xbm", ".xpm"};

// While it lives, whatever is written to standard output lands on standard
// error: the readers' lines must not mix with the writer's.
class SalidaDesviada {
 public:
  SalidaDesviada() {
    std::cout.flush();
    std::fflush(stdout);
    guardada_ = ::dup(STDOUT_FILENO);
    if (guardada_ >= 0) ::dup2(STDERR_FILENO, STDOUT_FILENO);
  }
  ~SalidaDesviada() {
    std::cout.flush();
    std::fflush(stdout);
    if (guardada_ >= 0) {
      ::dup2(guardada_, STDOUT_FILENO);
      ::close(guardada_);
    }
  }
  SalidaDesviada(const SalidaDesviada&) = delete;
  SalidaDesviada& operator=(const SalidaDesviada&) = delete;

 private:
  int guardada_ = -1;
};

int uso(const std::string& motivo) {
  std::fprintf(stderr, "osmavu-convert: %s\n%s", motivo.c_str(), kUso);
  return 2;
}

void informa(const std::string& ruta, const std::string& motivo) {
  std::cout.flush();
  std::fflush(stdout);
  std::fprintf(stderr, "osmavu-convert: %s: %s\n", ruta.c_str(), motivo.c_str());
}

bool enteroVentana(std::string_view texto, int& valor) {
  const auto r = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
  return r.ec == std::errc() && r.ptr == texto.data() + texto.size() && valor >= 0 && valor <= 65535;
}

bool leeVentana(const std::string& texto, int& inferior, int& superior) {
  const std::size_t dos = texto.find(':');
  if (dos == std::string::npos) return false;
  const std::string_view t(texto);
  return enteroVentana(t.substr(0, dos), inferior) && enteroVentana(t.substr(dos + 1), superior);
}

bool esExtensionImagen(const QString& salida) {
  for (const char* e : kExtensionesImagen)
    if (salida.endsWith(QLatin1String(e), Qt::CaseInsensitive)) return true;
  return false;
}

// "--name VALUE" or "--name=VALUE": true when argv[i] is the option, with the
// value taken (or an empty `falta` naming the option that lacks it).
bool opcionConValor(int argc, char** argv, int& i, const std::string& nombre, std::string& valor, bool& falta) {
  const std::string a = argv[i];
  if (a == nombre) {
    if (i + 1 >= argc) {
      falta = true;
      return true;
    }
    valor = argv[++i];
    return true;
  }
  if (a.rfind(nombre + "=", 0) == 0) {
    valor = a.substr(nombre.size() + 1);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  bool carpeta = false;
  bool hayTipo = false, hayVentana = false;
  char tipo = 's';
  int inferior = 0, superior = 0;
  QStringList rutas;
  bool opciones = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    std::string valor;
    bool falta = false;
    if (opciones && (a == "--help" || a == "-h")) {
      std::fputs(kUso, stdout);
      return 0;
    }
    if (opciones && a == "--folder") {
      carpeta = true;
    } else if (opciones && opcionConValor(argc, argv, i, "--type", valor, falta)) {
      if (falta) return uso("--type needs one of c, u, s, f");
      if (valor.size() != 1 || std::string("cusf").find(valor[0]) == std::string::npos)
        return uso("--type takes c, u, s or f, not \"" + valor + "\"");
      tipo = valor[0];
      hayTipo = true;
    } else if (opciones && opcionConValor(argc, argv, i, "--window", valor, falta)) {
      if (falta) return uso("--window needs L:U");
      if (!leeVentana(valor, inferior, superior))
        return uso("--window takes L:U, two whole numbers from 0 to 65535, not \"" + valor + "\"");
      hayVentana = true;
    } else if (opciones && a == "--") {
      opciones = false;
    } else if (opciones && a.size() > 1 && a[0] == '-') {
      return uso("unknown option " + a);
    } else {
      rutas << QString::fromLocal8Bit(argv[i]);
    }
  }
  if (rutas.size() < 2) return uso(rutas.isEmpty() ? "no INPUT and no OUTPUT given" : "no OUTPUT given");
  const QString salida = rutas.takeLast();
  if (carpeta && rutas.size() != 1) return uso("--folder takes exactly one INPUT");
  const bool analyze = esNombreAnalyze(salida);
  if (!analyze && !esExtensionImagen(salida))
    return uso("OUTPUT must contain .hdr or end in .png, .bmp, .tif, .ppm, .xbm or .xpm");
  if (analyze && hayVentana) return uso("--window applies to picture output only");
  if (!analyze && hayTipo) return uso("--type applies to Analyze output only");

  ObservadorTerminal observador("osmavu-convert");
  VolumenAbierto abierto;
  try {
    SalidaDesviada desviada;
    abierto = carpeta ? abreListaCarpeta(ficherosCarpeta(rutas.first()), observador)
                      : abreLista(rutas, observador);
  } catch (const ErrorLectura& e) {
    informa(e.ruta().empty() ? rutas.first().toLocal8Bit().toStdString() : e.ruta(), e.motivo());
    return 1;
  } catch (const std::exception& e) {
    informa(rutas.first().toLocal8Bit().toStdString(), e.what());
    return 1;
  }

  // The working volume the viewer saves: its 16-bit copy of the display volume.
  const std::unique_ptr<Cubo> trabajo = abierto.display->clona();
  int estado = 0;
  if (analyze) {
    try {
      guardarVolumenAnalyze(*trabajo, salida, tipo);
    } catch (const ErrorEscritura& e) {
      informa(e.ruta(), e.motivo());
      estado = 1;
    }
  } else {
    if (!hayVentana) {
      inferior = abierto.inferior;
      superior = abierto.superior;
    }
    for (const ErrorEscritura& e : guardarCortes(*trabajo, inferior, superior, salida)) {
      informa(e.ruta(), e.motivo());
      estado = 1;
    }
  }
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::perror("osmavu-convert: standard output");
    return 1;
  }
  return estado;
}
