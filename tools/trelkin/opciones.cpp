#include "opciones.h"

#include <algorithm>
#include <charconv>

#include "parametros.h"

namespace {

// Each stage's keys, switched off together by the dialog's check box.
std::string etapaDe(const std::string& clave) {
  if (clave == "nIts") return "nIts";
  if (clave == "s" || clave == "w") return "s";
  if (clave == "th") return "th";
  if (clave == "dl") return "dl";
  return {};
}

bool enteroPositivo(const std::string& texto, int& valor) {
  const char* fin = texto.data() + texto.size();
  auto [p, ec] = std::from_chars(texto.data(), fin, valor);
  return ec == std::errc() && p == fin && valor > 0;
}

bool esSalidaConocida(const std::string& ruta) {
  auto termina = [&](const char* ext) {
    const std::string e(ext);
    if (ruta.size() <= e.size()) return false;
    std::string cola = ruta.substr(ruta.size() - e.size());
    std::transform(cola.begin(), cola.end(), cola.begin(), [](unsigned char c) { return std::tolower(c); });
    return cola == e;
  };
  return termina(".raw") || termina(".png") || termina(".tif") || termina(".tiff") || termina(".hdr");
}

}  // namespace

const char* textoUso() {
  return "Usage: trelkin [--param KEY=VALUE]... [--unset KEY]... [--raw DIM0xDIM1]\n"
         "               [--data-dir DIR] [--out FILE] [-j N] INPUT...\n"
         "\n"
         "Runs the Trelkin Full line detector on the first slice of each INPUT, with the\n"
         "parameters the filter's dialog gives when \"Run\" is pressed untouched.\n"
         "\n"
         "  --param KEY=VALUE  use VALUE as the dialog's value for KEY: nAng, lLine,\n"
         "                     lMinLine, speed, minSize, maxSize, nBins, tipoOutput,\n"
         "                     nIts, s, w, th, dl\n"
         "  --unset KEY        switch off a stage as its check box would: nIts\n"
         "                     (smoothing), s or w (gradient), th (thresholding),\n"
         "                     dl (line detection)\n"
         "  --raw DIM0xDIM1    INPUT is DIM0*DIM1 little-endian uint16 samples, the\n"
         "                     sample (i, j) at i*DIM1 + j\n"
         "  --data-dir DIR     folder of the result files (default ./data, created when\n"
         "                     missing); with several INPUTs, DIR/<input name>/\n"
         "  --out FILE         write the rewritten slice: .raw (uint16 LE), .png or\n"
         "                     .tif (16-bit grey), .hdr (Analyze pair, unsigned\n"
         "                     16-bit); one INPUT only\n"
         "  -j N               run N inputs at once\n"
         "  --help             show this text\n"
         "\n"
         "stdout carries the filter's own lines; everything else goes to stderr.\n"
         "Exit status: 0 done, 1 an input could not be read or filtered, 2 usage error.\n";
}

bool leeOpciones(const std::vector<std::string>& args, Opciones& o, std::string& error) {
  auto valorDe = [&](std::size_t& i, std::string& valor) {
    if (i + 1 >= args.size()) {
      error = args[i] + " needs a value";
      return false;
    }
    valor = args[++i];
    return true;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string valor;
    if (a == "--help" || a == "-h") {
      o.ayuda = true;
    } else if (a == "--param") {
      if (!valorDe(i, valor)) return false;
      const std::size_t igual = valor.find('=');
      if (igual == std::string::npos || igual == 0) {
        error = "--param takes KEY=VALUE, not '" + valor + "'";
        return false;
      }
      const std::string clave = valor.substr(0, igual);
      const auto claves = entradasDialogo(ValoresDialogo{});
      if (std::none_of(claves.begin(), claves.end(), [&](const auto& e) { return e.first == clave; })) {
        error = "--param: '" + clave + "' is not a parameter of the dialog";
        return false;
      }
      o.valores.emplace_back(clave, valor.substr(igual + 1));
      o.reenvio.insert(o.reenvio.end(), {a, valor});
    } else if (a == "--unset") {
      if (!valorDe(i, valor)) return false;
      const std::string etapa = etapaDe(valor);
      if (etapa.empty()) {
        error = "--unset: '" + valor + "' has no check box (use nIts, s, w, th or dl)";
        return false;
      }
      o.apagadas.insert(etapa);
      o.reenvio.insert(o.reenvio.end(), {a, valor});
    } else if (a == "--raw") {
      if (!valorDe(i, valor)) return false;
      const std::size_t x = valor.find('x');
      if (x == std::string::npos || !enteroPositivo(valor.substr(0, x), o.crudoDim0) ||
          !enteroPositivo(valor.substr(x + 1), o.crudoDim1)) {
        error = "--raw takes DIM0xDIM1 with two positive numbers, not '" + valor + "'";
        return false;
      }
      o.crudo = true;
      o.reenvio.insert(o.reenvio.end(), {a, valor});
    } else if (a == "--data-dir") {
      if (!valorDe(i, o.carpetaDatos)) return false;
      if (o.carpetaDatos.empty()) {
        error = "--data-dir needs a folder";
        return false;
      }
    } else if (a == "--out") {
      if (!valorDe(i, o.salida)) return false;
      if (!esSalidaConocida(o.salida)) {
        error = "--out: '" + o.salida + "' does not end in .raw, .png, .tif or .hdr";
        return false;
      }
    } else if (a == "-j" || (a.rfind("-j", 0) == 0 && a.size() > 2 && a[2] != '-')) {
      if (a == "-j") {
        if (!valorDe(i, valor)) return false;
      } else {
        valor = a.substr(2);
      }
      if (!enteroPositivo(valor, o.trabajos)) {
        error = "-j takes a positive number, not '" + valor + "'";
        return false;
      }
    } else if (a == "--") {
      o.entradas.insert(o.entradas.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option '" + a + "'";
      return false;
    } else {
      o.entradas.push_back(a);
    }
  }
  if (o.ayuda) return true;
  for (const auto& [clave, valor] : o.valores) {
    if (o.apagadas.count(etapaDe(clave))) {
      error = "--param " + clave + " and --unset of its stage contradict each other";
      return false;
    }
  }
  if (o.entradas.empty()) {
    error = "no INPUT given";
    return false;
  }
  if (!o.salida.empty() && o.entradas.size() > 1) {
    error = "--out takes one INPUT only";
    return false;
  }
  return true;
}

MapaParametros mapaDeOpciones(const Opciones& o, const MapaParametros& atributos) {
  ValoresDialogo valores;
  valores.suavizado = !o.apagadas.count("nIts");
  valores.gradiente = !o.apagadas.count("s");
  valores.umbralizacion = !o.apagadas.count("th");
  valores.deteccion = !o.apagadas.count("dl");
  EntradasParametros entradas = entradasDialogo(valores);
  for (const auto& [clave, valor] : o.valores)
    for (auto& e : entradas)
      if (e.first == clave) e.second = valor;
  return construyeMapa(atributos, PosicionSemilla{}, entradas);
}
