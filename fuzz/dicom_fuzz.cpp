// fuzz-libs: osmavu_import
// One file through the DICOM series reader, as a file choice of one DICOM
// file reaches it.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

#include <QStringList>

#include "dicom.h"
#include "errores.h"
#include "objetivo.h"

namespace {

// Explicit VR little endian elements, written byte by byte.
void pon16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void pon32(std::string& s, uint32_t v) {
  pon16(s, static_cast<uint16_t>(v & 0xFFFF));
  pon16(s, static_cast<uint16_t>(v >> 16));
}
void elemento(std::string& s, uint16_t grupo, uint16_t num, const char* vr, std::string valor) {
  const std::string v(vr);
  if (valor.size() % 2) valor += (v == "UI" || v == "OB") ? '\0' : ' ';
  pon16(s, grupo);
  pon16(s, num);
  s += v;
  if (v == "OB" || v == "OW") {
    pon16(s, 0);
    pon32(s, static_cast<uint32_t>(valor.size()));
  } else {
    pon16(s, static_cast<uint16_t>(valor.size()));
  }
  s += valor;
}
std::string us(uint16_t v) {
  std::string s;
  pon16(s, v);
  return s;
}

std::string fichero(uint16_t filas, uint16_t columnas, uint16_t bits, uint16_t representacion,
                    const char* fotometria, uint16_t muestras, const std::string& pixeles) {
  std::string meta;
  elemento(meta, 0x0002, 0x0010, "UI", "1.2.840.10008.1.2.1");
  std::string s(128, '\0');
  s += "DICM";
  elemento(s, 0x0002, 0x0000, "UL", std::string());
  s.resize(s.size() - 2);  // UL has a 4-byte value: rewrite the length and value
  pon16(s, 4);
  pon32(s, static_cast<uint32_t>(meta.size()));
  s += meta;
  elemento(s, 0x0008, 0x0060, "CS", "CT");
  elemento(s, 0x0018, 0x0050, "DS", "2.5");
  elemento(s, 0x0018, 0x5100, "CS", "HFS");
  elemento(s, 0x0020, 0x0013, "IS", "1");
  elemento(s, 0x0020, 0x1041, "DS", "-12.5");
  elemento(s, 0x0028, 0x0002, "US", us(muestras));
  elemento(s, 0x0028, 0x0004, "CS", fotometria);
  elemento(s, 0x0028, 0x0010, "US", us(filas));
  elemento(s, 0x0028, 0x0011, "US", us(columnas));
  elemento(s, 0x0028, 0x0030, "DS", "0.703125\\0.703125");
  elemento(s, 0x0028, 0x0100, "US", us(bits));
  elemento(s, 0x0028, 0x0101, "US", us(bits == 16 ? 12 : bits));
  elemento(s, 0x0028, 0x0102, "US", us(bits == 16 ? 11 : bits - 1));
  elemento(s, 0x0028, 0x0103, "US", us(representacion));
  elemento(s, 0x0028, 0x1052, "DS", "-1024");
  elemento(s, 0x7FE0, 0x0010, bits == 16 ? "OW" : "OB", pixeles);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  static const bool mudo = [] {
    silencia();
    static std::ofstream nada;  // never opened: "Error reading" lines vanish
    std::cerr.rdbuf(nada.rdbuf());
    return true;
  }();
  (void)mudo;
  const std::string f = ficheroDeEntrada(datos, tamano, ".dcm");
  try {
    leerSerieDicom(QStringList{QString::fromStdString(f)}, observadorMudo());
  } catch (const ErrorLectura&) {
  }
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  std::string ramp;
  for (int i = 0; i < 4 * 3; ++i) pon16(ramp, static_cast<uint16_t>(i * 300));
  escribeFichero(carpeta, "u12.dcm", fichero(4, 3, 16, 0, "MONOCHROME2", 1, ramp));
  escribeFichero(carpeta, "s16.dcm", fichero(3, 4, 16, 1, "MONOCHROME1", 1, ramp));
  escribeFichero(carpeta, "rgb.dcm", fichero(2, 2, 8, 0, "RGB", 3, std::string("\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0\xB0\xC0", 12)));
  escribeFichero(carpeta, "corto.dcm", fichero(8, 8, 16, 1, "MONOCHROME2", 1, ramp));
}
