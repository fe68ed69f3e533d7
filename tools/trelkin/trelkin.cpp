// trelkin: the filter library's run without a window, for batches of files.

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include "apertura.h"
#include "cubo.h"
#include "ejecucion.h"
#include "errores.h"
#include "errores_escritura.h"
#include "escritor_analyze.h"
#include "observador.h"
#include "opciones.h"
#include "salida.h"

namespace {

// Readers write their diagnostics to stdout; while one runs they go to stderr,
// so that stdout carries the filter's lines only.
class SalidaAErrores {
 public:
  SalidaAErrores() {
    std::cout.flush();
    std::fflush(stdout);
    guardada_ = dup(STDOUT_FILENO);
    if (guardada_ >= 0) dup2(STDERR_FILENO, STDOUT_FILENO);
  }
  ~SalidaAErrores() {
    std::cout.flush();
    std::fflush(stdout);
    if (guardada_ >= 0) {
      dup2(guardada_, STDOUT_FILENO);
      close(guardada_);
    }
  }
  SalidaAErrores(const SalidaAErrores&) = delete;
  SalidaAErrores& operator=(const SalidaAErrores&) = delete;

 private:
  int guardada_ = -1;
};

std::unique_ptr<Cubo> abreCrudo(const std::string& ruta, int dim0, int dim1) {
  std::ifstream f(ruta, std::ios::binary);
  if (!f) throw ErrorLectura(ruta, "cannot open the file");
  const std::size_t n = static_cast<std::size_t>(dim0) * static_cast<std::size_t>(dim1);
  std::error_code ec;
  const auto tamano = std::filesystem::file_size(ruta, ec);
  if (ec || tamano != n * 2)
    throw ErrorLectura(ruta, "holds " + (ec ? std::string("an unknown number of") : std::to_string(tamano)) +
                                 " bytes, not the " + std::to_string(n * 2) + " of " +
                                 std::to_string(dim0) + "x" + std::to_string(dim1) + " uint16 samples");
  std::vector<unsigned char> bytes(n * 2);
  if (!f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
    throw ErrorLectura(ruta, "cannot read the file");
  auto muestras = std::make_unique<uint16_t[]>(n);
  for (std::size_t i = 0; i < n; ++i)
    muestras[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  Geometria g = nuevaGeometria(dim0, dim1);
  auto cubo = std::make_unique<Cubo>(g, 1, AttributeMap{});
  cubo->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(muestras), 0, 65535, g), 0);
  return cubo;
}

// The working volume the viewer would filter: the display volume's copy.
std::unique_ptr<Cubo> abreTrabajo(const Opciones& o, const std::string& ruta) {
  SalidaAErrores silencio;
  if (o.crudo) return abreCrudo(ruta, o.crudoDim0, o.crudoDim1)->clona();
  ObservadorTerminal observador("trelkin");
  VolumenAbierto abierto = abreLista(QStringList{QFile::decodeName(ruta.c_str())}, observador);
  return abierto.display->clona();
}

bool esAnalyze(const std::string& ruta) {
  return ruta.size() > 4 && ruta.compare(ruta.size() - 4, 4, ".hdr") == 0;
}

// The rewritten slice as a one-slice unsigned 16-bit Analyze pair, through the
// viewer's own writer. A raw buffer has no pixel sizes; they are written as 1.
bool escribeAnalyze(const std::string& ruta, const std::vector<uint16_t>& muestras, int w, int h,
                    AttributeMap atributos, std::string& error) {
  for (const char* clave : {"PixelDimx", "PixelDimy", "ST"})
    if (!atributos.contains(clave)) atributos.set(clave, "1");
  Geometria g = nuevaGeometria(w, h);
  Cubo cubo(g, 1, atributos);
  auto copia = std::make_unique<uint16_t[]>(muestras.size());
  std::copy(muestras.begin(), muestras.end(), copia.get());
  cubo.ponCorte(std::make_unique<CorteUnsignedShort>(std::move(copia), 0, 65535, g), 0);
  try {
    SalidaAErrores silencio;
    guardarVolumenAnalyze(cubo, QFile::decodeName(ruta.c_str()), 'u');
  } catch (const ErrorEscritura& e) {
    error = e.motivo();
    return false;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  return true;
}

int ejecutaUna(const Opciones& o, const std::string& ruta, const std::string& carpeta) {
  std::unique_ptr<Cubo> trabajo;
  try {
    trabajo = abreTrabajo(o, ruta);
  } catch (const ErrorLectura& e) {
    std::cerr << "trelkin: " << e.ruta() << ": " << e.motivo() << '\n';
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "trelkin: " << ruta << ": " << e.what() << '\n';
    return 1;
  }
  const Geometria& g = trabajo->geometria();
  const int w = g ? g->ancho() : 0;
  const int h = g ? g->alto() : 0;
  const Corte* primero = trabajo->cortesPresentes() > 0 ? trabajo->corte(0) : nullptr;
  if (w <= 0 || h <= 0 || !primero) {
    std::cerr << "trelkin: " << ruta << ": the volume has no samples to filter\n";
    return 1;
  }

  // Handed over as the viewer's host does: the first slice's samples as
  // stored, the attributes without the seed keys, the position all zero.
  const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  std::vector<uint16_t> buffer(n);
  const Muestras<uint16_t> muestras = primero->comoUShort();
  std::copy_n(muestras.data(), std::min(n, muestras.size()), buffer.begin());
  AttributeMap atributos = trabajo->atributos();
  for (const char* clave : {"csX", "csY", "csZ", "sRadio"}) atributos.erase(clave);
  const MapaParametros parametros = mapaDeOpciones(o, atributos.mapa());

  std::error_code ec;
  std::filesystem::create_directories(carpeta, ec);
  if (ec) std::cerr << "trelkin: " << carpeta << ": cannot create the folder: " << ec.message() << '\n';

  Dimensiones dims{w, h};
  try {
    ejecutaPipeline(buffer.data(), &dims, parametros, carpeta);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "trelkin: " << ruta << ": the filter run stopped: " << e.what() << '\n';
    return 1;
  }
  std::cout.flush();

  if (!o.salida.empty()) {
    std::string error;
    const bool escrito = esAnalyze(o.salida)
                             ? escribeAnalyze(o.salida, buffer, w, h, trabajo->atributos(), error)
                             : escribeCorte(o.salida, buffer.data(), w, h, error);
    if (!escrito) {
      std::cerr << "trelkin: " << o.salida << ": " << error << '\n';
      return 1;
    }
  }
  return 0;
}

// Each input runs in a child process of its own: the filter writes to the one
// stdout, so each child's lines are held and printed whole, in input order.
int ejecutaLote(const Opciones& o) {
  struct Tarea {
    QString entrada;
    QString carpeta;
    QProcess* proceso = nullptr;
    QByteArray salida;
    bool hecha = false;
    int estado = 0;
  };
  std::vector<Tarea> tareas(o.entradas.size());
  std::set<QString> usados;
  const QString raiz = QFile::decodeName(o.carpetaDatos.c_str());
  for (std::size_t i = 0; i < tareas.size(); ++i) {
    tareas[i].entrada = QFile::decodeName(o.entradas[i].c_str());
    QString base = QFileInfo(tareas[i].entrada).completeBaseName();
    if (base.isEmpty()) base = QStringLiteral("input");
    // Two inputs of one name (a/scan.hdr, b/scan.hdr) must not share a folder.
    QString nombre = base;
    for (int n = 2; usados.count(nombre); ++n) nombre = base + QStringLiteral("-%1").arg(n);
    usados.insert(nombre);
    if (nombre != base)
      std::cerr << "trelkin: " << o.entradas[i] << ": results go to " << nombre.toStdString()
                << " (an earlier input has the same name)\n";
    tareas[i].carpeta = raiz + QLatin1Char('/') + nombre;
  }

  QStringList comunes;
  for (const std::string& a : o.reenvio) comunes << QString::fromLocal8Bit(a.c_str());
  const QString programa = QCoreApplication::applicationFilePath();
  std::size_t siguiente = 0, enCurso = 0, hechas = 0, impresas = 0;
  QEventLoop bucle;

  auto imprimeListas = [&] {
    while (impresas < tareas.size() && tareas[impresas].hecha) {
      std::cout.write(tareas[impresas].salida.constData(), tareas[impresas].salida.size());
      std::cout.flush();
      ++impresas;
    }
  };
  std::function<void()> lanza;
  auto termina = [&](std::size_t i, int estado) {
    Tarea& t = tareas[i];
    if (t.proceso) {
      t.salida = t.proceso->readAllStandardOutput();
      t.proceso->deleteLater();
      t.proceso = nullptr;
    }
    t.hecha = true;
    t.estado = estado;
    --enCurso;
    ++hechas;
    std::cerr << "trelkin: [" << hechas << "/" << tareas.size() << "] " << o.entradas[i]
              << (estado == 0 ? " done" : " failed") << '\n';
    imprimeListas();
    if (hechas == tareas.size())
      bucle.quit();
    else
      lanza();
  };
  lanza = [&] {
    while (enCurso < static_cast<std::size_t>(o.trabajos) && siguiente < tareas.size()) {
      const std::size_t i = siguiente++;
      ++enCurso;
      auto* p = new QProcess;
      tareas[i].proceso = p;
      p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
      QObject::connect(p, &QProcess::finished, p, [&, i](int codigo, QProcess::ExitStatus como) {
        if (como != QProcess::NormalExit)
          std::cerr << "trelkin: " << o.entradas[i] << ": the run crashed\n";
        termina(i, como == QProcess::NormalExit ? codigo : 1);
      });
      QObject::connect(p, &QProcess::errorOccurred, p, [&, i, p](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        std::cerr << "trelkin: " << o.entradas[i] << ": cannot start a run: "
                  << p->errorString().toStdString() << '\n';
        termina(i, 1);
      });
      p->start(programa, QStringList(comunes) << QStringLiteral("--data-dir") << tareas[i].carpeta
                                                << QStringLiteral("--") << tareas[i].entrada);
    }
  };
  lanza();
  if (hechas < tareas.size()) bucle.exec();

  int estado = 0;
  for (const Tarea& t : tareas) estado = std::max(estado, t.estado == 0 ? 0 : 1);
  return estado;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  Opciones o;
  std::string error;
  if (!leeOpciones(args, o, error)) {
    std::cerr << "trelkin: " << error << "\nTry 'trelkin --help'.\n";
    return 2;
  }
  if (o.ayuda) {
    std::cout << textoUso();
    return 0;
  }
  if (o.entradas.size() == 1) return ejecutaUna(o, o.entradas.front(), o.carpetaDatos);
  return ejecutaLote(o);
}
