#include "anfitrion.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>
#include <QPluginLoader>

#include "filterinterface.h"
#include "filtervolume.h"

namespace {

bool falla(QString* error, const QString& motivo) {
  if (error) *error = motivo;
  return false;
}

}  // namespace

bool aplicaFiltro(Cubo& trabajo, const EstadoVista& vista, const QString& primerFichero,
                  const std::string& modo, const QString& rutaPlugin, QWidget* parent,
                  QString* error, bool* abandonada, bool* avisado) {
  if (abandonada) *abandonada = false;
  if (avisado) *avisado = false;
  if (error) error->clear();
  // The parameter dialog runs a nested event loop; a second run started from
  // it would rebuild the volume under the first.
  static bool enCurso = false;
  if (enCurso) return falla(error, QObject::tr("A filter run is already under way."));
  enCurso = true;
  const std::unique_ptr<bool, void (*)(bool*)> libera(&enCurso, [](bool* b) { *b = false; });

  // The loader is dropped after the run but the library stays loaded, so its
  // root object survives for the next run.
  QPluginLoader cargador(rutaPlugin);
  QObject* raiz = cargador.instance();
  if (!raiz)
    return falla(error, QObject::tr("%1: %2").arg(rutaPlugin, cargador.errorString()));
  auto* filtro = qobject_cast<FilterInterface*>(raiz);
  if (!filtro)
    return falla(error, QObject::tr("%1: the library does not provide the filter interface %2")
                            .arg(rutaPlugin, QStringLiteral(OSMAVU_FILTER_INTERFACE_IID)));

  const Geometria& geometria = trabajo.geometria();
  const int w = geometria ? geometria->ancho() : 0;
  const int h = geometria ? geometria->alto() : 0;
  const int d = trabajo.numCortes();
  if (w <= 0 || h <= 0 || d <= 0)
    return falla(error, QObject::tr("The volume has no samples to filter."));
  if (trabajo.cortesPresentes() < d)
    return falla(error, QObject::tr("The volume holds %1 of its %2 slices.")
                            .arg(trabajo.cortesPresentes())
                            .arg(d));
  const std::size_t porCorte = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (porCorte > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    return falla(error, QObject::tr("The slices are too large for the filter."));

  std::vector<uint16_t> buffer(porCorte * static_cast<std::size_t>(d));
  for (int k = 0; k < d; ++k) {
    // A slice the reader never filled goes over as zeros.
    const Corte* corte = trabajo.corte(k);
    if (!corte) continue;
    const Muestras<uint16_t> muestras = corte->comoUShort();
    std::copy_n(muestras.data(), std::min(porCorte, muestras.size()),
                buffer.begin() + static_cast<std::ptrdiff_t>(porCorte * static_cast<std::size_t>(k)));
  }

  FilterVolume registro(buffer.data(), w, h, d);
  AttributeMap atributos = trabajo.atributos();
  for (const char* clave : {"csX", "csY", "csZ", "sRadio"}) atributos.erase(clave);
  registro.setAttributes(atributos.mapa());
  const QByteArray nombre = primerFichero.toUtf8();
  registro.setName(nombre.toStdString());
  if (modo == "m" && vista.borde()) {
    std::vector<int> puntos;
    for (const Punto& p : vista.borde()->puntos()) {
      puntos.push_back(p.x);
      puntos.push_back(p.y);
      puntos.push_back(p.z);
    }
    registro.setPoints(std::move(puntos));
  }

  raiz->setProperty(OSMAVU_FILTER_ERROR_PROPERTY, QString());
  raiz->setProperty(OSMAVU_FILTER_ABANDONED_PROPERTY, false);
  filtro->runFilter(&registro, parent);
  const QString fallo = raiz->property(OSMAVU_FILTER_ERROR_PROPERTY).toString();
  if (!fallo.isEmpty()) {
    if (avisado) *avisado = true;
    return falla(error, fallo);
  }
  if (raiz->property(OSMAVU_FILTER_ABANDONED_PROPERTY).toBool()) {
    if (abandonada) *abandonada = true;
    return true;
  }

  const Geometria& geometriaVista = vista.geometria() ? vista.geometria() : geometria;
  for (int k = 0; k < d; ++k) {
    auto muestras = std::make_unique<uint16_t[]>(porCorte);
    std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(porCorte * static_cast<std::size_t>(k)),
                porCorte, muestras.get());
    trabajo.ponCorte(std::make_unique<CorteUnsignedShort>(std::move(muestras), 0, 65535, geometriaVista),
                     k);
  }
  return true;
}

QString rutaPluginPorDefecto() {
#ifdef Q_OS_WIN
  const QString fichero = QStringLiteral("trelkinFull.dll");
#else
  const QString fichero = QStringLiteral("trelkinFull.so");
#endif
  const QString local = QStringLiteral("./") + fichero;
  if (QFileInfo::exists(local)) return local;
  const QString dirPrograma = QCoreApplication::applicationDirPath();
  if (!dirPrograma.isEmpty()) {
    const QString junto = dirPrograma + QLatin1Char('/') + fichero;
    if (QFileInfo::exists(junto)) return junto;
  }
  return local;
}
