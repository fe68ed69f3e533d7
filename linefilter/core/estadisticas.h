#pragma once

#include <string>

#include "segmentos.h"
#include "tipos.h"

// The result files of a detection run. Segments are taken group by group in
// key order, each group in sequence order. A file that cannot be written is
// reported on stderr and the run goes on.

// The segment count, then one length per line.
void escribeLongitudes(const MapaSegmentos& segmentos, const std::string& ruta);

// The segment count, then one angle in degrees per line.
void escribeAngulos(const MapaSegmentos& segmentos, const std::string& ruta);

// nBins + 1 entries: unit bins when nBins exceeds the longest floored length,
// otherwise nBins scaled bins whose entry 0 is never counted.
Histograma histogramaLongitudes(const MapaSegmentos& segmentos, int nBins);

// nBins + 1 entries: unit bins when nBins exceeds 180, otherwise 180 / nBins
// degrees per bin, counted at ceil(deg / w) - 1.
Histograma histogramaAngulos(const MapaSegmentos& segmentos, int nBins);

// The entry count, then one "edge<TAB>count" line per entry.
void escribeHistograma(const Histograma& histograma, const std::string& ruta);
