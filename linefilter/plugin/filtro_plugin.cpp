#include "filtro_plugin.h"

#include <exception>
#include <iostream>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "dialog.h"
#include "ejecucion.h"
#include "filtervolume.h"
#include "parametros.h"

QString carpetaResultados() {
  const QString local = QStringLiteral("./data");
  if (QFileInfo(local).isDir()) return local;
  const QString junto = QCoreApplication::applicationDirPath() + QStringLiteral("/data");
  if (!QCoreApplication::applicationDirPath().isEmpty() && QFileInfo(junto).isDir()) return junto;
  QDir().mkpath(local);
  return local;
}

QStringList FiltroPlugin::filterNames() const { return {QStringLiteral("Trelkin Full")}; }

std::optional<MapaParametros> FiltroPlugin::pideParametros(const FilterVolume& volume) {
  const FilterVolume::Posicion& p = volume.position();
  Dialog dialogo;
  dialogo.exec();
  if (!dialogo.aceptado()) return std::nullopt;
  return construyeMapa(volume.attributes(), PosicionSemilla{p.x, p.y, p.z}, dialogo.valores());
}

void FiltroPlugin::runFilter(FilterVolume* volume, QWidget* parent) {
  setProperty(OSMAVU_FILTER_ERROR_PROPERTY, QString());
  setProperty(OSMAVU_FILTER_ABANDONED_PROPERTY, false);
  if (!volume) return;
  alto_ = volume->height();
  ancho_ = volume->width();
  profundidad_ = volume->depth();
  try {
    const std::optional<MapaParametros> parametros = pideParametros(*volume);
    if (!parametros) {
      setProperty(OSMAVU_FILTER_ABANDONED_PROPERTY, true);
      std::cerr << "trelkinFull: the parameter dialog was closed without Run; the image is left "
                   "as it was\n";
      return;
    }
    Dimensiones dims{ancho_, alto_};
    ejecutaPipeline(volume->samples(), &dims, *parametros,
                    QFile::encodeName(carpetaResultados()).toStdString());
  } catch (const std::exception& e) {
    const QString motivo = QString::fromLocal8Bit(e.what());
    setProperty(OSMAVU_FILTER_ERROR_PROPERTY, motivo);
    std::cerr << "trelkinFull: the filter run stopped: " << e.what() << '\n';
    QMessageBox::warning(parent, QStringLiteral("Trelkin Full"),
                         tr("The filter run stopped: %1\nThe image is left as it was.").arg(motivo));
  }
}
