#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tipos.h"

// The command line of trelkin.
struct Opciones {
  // --param KEY=VALUE in the order given.
  std::vector<std::pair<std::string, std::string>> valores;
  // Stages switched off with --unset, by their first key: "nIts", "s", "th", "dl".
  std::set<std::string> apagadas;
  bool crudo = false;
  int crudoDim0 = 0;
  int crudoDim1 = 0;
  std::string carpetaDatos = "./data";
  std::string salida;
  int trabajos = 1;
  bool ayuda = false;
  std::vector<std::string> entradas;
  // The options that shape one input's run, to hand to a child process.
  std::vector<std::string> reenvio;
};

// Reads argv[1..]; returns false with a reason on a usage error.
bool leeOpciones(const std::vector<std::string>& args, Opciones& opciones, std::string& error);

// The text of --help.
const char* textoUso();

// The map the filter library builds for an untouched dialog and "Run", with
// the dialog's values replaced by --param and its stages switched off by
// --unset, over the volume's attributes.
MapaParametros mapaDeOpciones(const Opciones& opciones, const MapaParametros& atributos);
