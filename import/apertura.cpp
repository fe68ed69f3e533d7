#include "apertura.h"

#include <functional>
#include <iostream>
#include <new>
#include <stdexcept>

#include <QDebug>

#include "adquisicion.h"
#include "analyze.h"
#include "conversion.h"
#include "dicom.h"
#include "errores.h"
#include "his.h"
#include "imagen_qt.h"
#include "lector_jpeg.h"
#include "lector_tiff.h"
#include "pelix.h"
#include "reconocedor.h"
#include "resumen.h"

namespace {

std::string primeraRuta8(const QStringList& rutas) {
  return rutas.isEmpty() ? std::string() : rutas.first().toLocal8Bit().toStdString();
}

void log(const char* texto) { qDebug().noquote() << texto; }
void salida(const char* texto) { std::cout << texto << std::endl; }

LecturaDicom leeDicom(LecturaDicom (*lector)(const QStringList&, ObservadorLectura&),
                      const QStringList& rutas, ObservadorLectura& observador) {
  LecturaDicom l;
  try {
    l = lector(rutas, observador);
  } catch (...) {
    salida("Error Leyendo");
    throw;
  }
  salida(l.cubo ? "Leyendo Dicom" : "Error Leyendo");
  return l;
}

void dispatchFichero(const std::string& clave, const QStringList& rutas, ObservadorLectura& o,
                     VolumenAbierto& v) {
  if (clave == "PelixOld") {
    log("Pelix");
    v.leido = leerPelixOld(rutas, o);
    v.display = escalarA16Bits(*v.leido);
    v.resumen = resumenAdquisicion(*v.leido);
  } else if (clave == "Analyze") {
    log("Analyze");
    v.display = leerAnalyze(rutas, o);
    v.resumen = resumenVolumen(*v.display);
  } else if (clave == "Dicom") {
    LecturaDicom l = leeDicom(leerSerieDicom, rutas, o);
    v.display = std::move(l.cubo);
    if (v.display) v.resumen = resumenVolumen(*v.display);
    v.inferior = l.minimo;
    v.superior = l.maximo;
  } else if (clave == "His") {
    salida("His");
    v.display = leerHis(rutas, o);
    v.resumen = resumenHis(*v.display);
  } else if (clave == "ConeBeam") {
    log("LEE FORMATO CONEBEAM");
    throw ErrorLectura(primeraRuta8(rutas), "ConeBeam files cannot be read");
  } else if (clave == "TIFF") {
    log("LEE FORMATO TIFF");
    v.leido = leerTiff(rutas, o);
    v.display = escalarA16Bits(*v.leido);
    v.resumen = resumenAdquisicion(*v.leido);
  } else if (clave == "JPEG") {
    log("LEE FORMATO JPEG");
    v.leido = leerJpeg(rutas, o);
    v.display = escalarA16Bits(*v.leido);
    v.resumen = resumenAdquisicion(*v.leido);
    v.superior = 255;
  } else if (clave == "PNG" || clave == "BMP") {
    log(clave == "PNG" ? "LEE FORMATO PNG" : "LEE FORMATO BMP");
    v.display = leerImagenQt(rutas, o);
    v.superior = 255;
  } else if (clave == "radXDAS") {
    log("LEE FORMATO Radiografia XDAS");
    v.display = leerRadiografiaXDAS(rutas, o);
    v.resumen = v.display->textoCabecera();
  } else if (clave == "sinoXDAS") {
    log("LEE FORMATO Sinograma XDAS");
    v.leido = leerSinogramaXDAS(rutas, o);
    v.display = escalarA16Bits(*v.leido);
    v.resumen = v.leido->textoCabecera();
  } else if (clave == "radFP") {
    log("LEE FORMATO Radiografia Flat-Panel");
    v.leido = leerRadiografiaFP(rutas, o);
    v.display = invertir16Bits(*v.leido);
    v.resumen = v.leido->textoCabecera();
  } else {
    log("Tipo no definido");
    throw ErrorLectura(primeraRuta8(rutas), clave == "noFile" ? "the file cannot be opened"
                                                              : "no reader for files of type " + clave);
  }
}

void dispatchCarpeta(const std::string& clave, const QStringList& ficheros, ObservadorLectura& o,
                     VolumenAbierto& v) {
  if (clave == "Dicom") {
    LecturaDicom l = leeDicom(leerCarpetaDicom, ficheros, o);
    v.display = std::move(l.cubo);
    if (v.display) v.resumen = resumenVolumen(*v.display);
  } else if (clave == "sinoXDAS") {
    log("LEE FORMATO Sinograma XDAS");
    v.leido = leerSinogramaXDAS(ficheros, o);
    v.display = escalarA16Bits(*v.leido);
    v.resumen = v.leido->textoCabecera();
  } else {
    salida("Tipo no definido");
    throw ErrorLectura(primeraRuta8(ficheros),
                       ficheros.isEmpty() ? "the folder holds no files"
                                          : "the folder holds neither a DICOM series nor an XDAS "
                                            "sinogram (type " + clave + ")");
  }
}

// What the viewer takes for granted of every display volume: a first slice,
// and the pixel sizes that set up its view.
void compruebaDisplay(const VolumenAbierto& v, const std::string& ruta) {
  if (!v.display) throw ErrorLectura(ruta, "the reader produced no volume");
  if (v.display->numCortes() < 1 || v.display->cortesPresentes() < 1 || !v.display->corte(0))
    throw ErrorLectura(ruta, "the volume holds no slices");
  for (const char* clave : {"PixelDimx", "PixelDimy", "PixelDimz"})
    if (!v.display->atributosRef().contains(clave))
      throw ErrorLectura(ruta, std::string("the volume lacks the attribute ") + clave);
}

// Readers and summaries report bad input by throwing; whatever else escapes
// them (a missing attribute, memory) becomes the same kind of report, so that a
// bad file never ends the program.
}  // namespace

VolumenAbierto abreProtegido(const QStringList& rutas, const LectorClave& dispatch) {
  const std::string ruta = primeraRuta8(rutas);
  VolumenAbierto v;
  try {
    v.clave = detectarFormato(rutas);
    dispatch(v.clave, v);
    compruebaDisplay(v, ruta);
  } catch (const ErrorLectura&) {
    throw;
  } catch (const std::out_of_range& e) {
    throw ErrorLectura(ruta, std::string("the volume lacks a required attribute or slice (") +
                                 e.what() + ")");
  } catch (const std::bad_alloc&) {
    throw ErrorLectura(ruta, "not enough memory to read the file");
  } catch (const std::exception& e) {
    throw ErrorLectura(ruta, e.what());
  }
  v.display->setTextoCabecera(v.resumen);
  return v;
}

VolumenAbierto abreLista(const QStringList& rutas, ObservadorLectura& observador) {
  return abreProtegido(rutas, [&](const std::string& clave, VolumenAbierto& v) {
    dispatchFichero(clave, rutas, observador, v);
  });
}

VolumenAbierto abreListaCarpeta(const QStringList& ficheros, ObservadorLectura& observador) {
  return abreProtegido(ficheros, [&](const std::string& clave, VolumenAbierto& v) {
    dispatchCarpeta(clave, ficheros, observador, v);
  });
}
