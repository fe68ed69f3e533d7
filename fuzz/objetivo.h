#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Every target of this folder defines the two entry points below. The same
// source builds a libFuzzer target (clang, -DOSMAVU_FUZZ=ON) and, in every
// other build, a plain program that replays inputs (the kept crash inputs of
// regresiones/<target>/ and the seeds) so that the normal test run repeats them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano);

// Writes a few valid files of the target's format into `carpeta`, named
// freely: the fuzzer's starting corpus.
void escribeSemillas(const std::string& carpeta);

// Readers take paths: the input is written to a file of this process's own,
// reused from one input to the next, and its path returned. `extension` is
// appended for readers that look at the name.
std::string ficheroDeEntrada(const uint8_t* datos, size_t tamano, const std::string& extension = "");
// Drops the log lines of the readers (debug log and standard output): at
// thousands of inputs a second they would be all the target does. Only the
// first call does anything.
void silencia();

// Writes `bytes` as carpeta/nombre.
void escribeFichero(const std::string& carpeta, const std::string& nombre, const std::string& bytes);
