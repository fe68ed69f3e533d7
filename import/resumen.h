#pragma once

#include <QString>

#include "cubo.h"

// The header summaries shown in the information dialog. Each reads the
// attributes it names with the access that needs the key, so a volume that
// lacks one raises the standard out-of-range error.

// A raw acquisition (a CuboSinograma; any other volume is std::invalid_argument).
// Also writes "Información Cabecera" and the text to the debug log.
QString resumenAdquisicion(const Cubo& volumen);
// A volume read from an Analyze pair or a DICOM series.
QString resumenVolumen(const Cubo& volumen);
// A His frame; starts with a line break.
QString resumenHis(const Cubo& volumen);
