#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include <QtGlobal>

#include "objetivo.h"

std::string ficheroDeEntrada(const uint8_t* datos, size_t tamano, const std::string& extension) {
  const std::filesystem::path carpeta = std::filesystem::temp_directory_path();
  const std::string ruta =
      (carpeta / ("osmavu-fuzz-" + std::to_string(getpid()) + extension)).string();
  std::FILE* f = std::fopen(ruta.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + ruta);
  if (tamano) std::fwrite(datos, 1, tamano, f);
  std::fclose(f);
  return ruta;
}

void escribeFichero(const std::string& carpeta, const std::string& nombre, const std::string& bytes) {
  std::filesystem::create_directories(carpeta);
  std::ofstream(std::filesystem::path(carpeta) / nombre, std::ios::binary) << bytes;
}

void silencia() {
  static const bool hecho = [] {
    static std::ofstream nada;  // never opened: every write fails quietly
    std::cout.rdbuf(nada.rdbuf());
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return true;
  }();
  (void)hecho;
}
