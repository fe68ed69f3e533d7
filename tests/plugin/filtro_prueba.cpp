// A stand-in filter library for the host's tests: it does what the test asks
// through properties on its root object and leaves what it was handed there.

#include <QMainWindow>
#include <QVariant>

#include "filterinterface.h"
#include "filtervolume.h"

#ifndef FILTRO_AJENO

class FiltroPrueba : public QMainWindow, public FilterInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID OSMAVU_FILTER_INTERFACE_IID)
  Q_INTERFACES(FilterInterface)

 public:
  QStringList filterNames() const override { return {QStringLiteral("Prueba")}; }

  void runFilter(FilterVolume* v, QWidget*) override {
    QStringList atributos;
    for (const auto& [clave, valor] : v->attributes())
      atributos << QString::fromStdString(clave + "=" + valor);
    atributos.sort();
    QVariantList puntos;
    for (int p : v->points()) puntos << p;
    setProperty("vistoAtributos", atributos);
    setProperty("vistoPuntos", puntos);
    setProperty("vistoNombre", QByteArray::fromStdString(v->name()));
    setProperty("vistoExtensiones", QVariantList{v->width(), v->height(), v->depth()});
    QVariantList todas;
    const long long n = static_cast<long long>(v->width()) * v->height() * v->depth();
    for (long long i = 0; i < n; ++i) todas << int(v->samples()[i]);
    setProperty("vistoMuestras", todas);

    const QString orden = property("orden").toString();
    if (orden == QLatin1String("falla")) {
      // A failed run's buffer must never reach the volume, whatever it holds.
      v->samples()[0] = 1;
      setProperty(OSMAVU_FILTER_ERROR_PROPERTY, QStringLiteral("invalid stoi argument"));
      return;
    }
    if (orden == QLatin1String("abandona")) {
      setProperty(OSMAVU_FILTER_ABANDONED_PROPERTY, true);
      return;
    }
    // The first slice only, as the contract says: 65535 - value.
    const long long porCorte = static_cast<long long>(v->width()) * v->height();
    for (long long i = 0; i < porCorte; ++i) v->samples()[i] = uint16_t(65535 - v->samples()[i]);
  }
};

#else

// Answers a plug-in identifier of another contract.
class FiltroAjeno : public QObject {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "es.osmavu.PlugAndPaint.OtraCosa/1.0")
};

#endif

#include "filtro_prueba.moc"
