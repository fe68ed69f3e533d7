#include "carpeta.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString porLocal8Bit(const QString& s) { return QString::fromLocal8Bit(s.toLocal8Bit()); }

}  // namespace

QString primeraRuta(const QStringList& lista) {
  if (lista.isEmpty()) return QString();
  return porLocal8Bit(lista.first());
}

QStringList ficherosCarpeta(const QString& carpeta) {
  // The default listing: every entry, by name with case ignored. The entries
  // for the folder itself and its parent are left out by name rather than by
  // position, so that a file whose name sorts before "." is not lost.
  const QDir dir(carpeta);
  QStringList rutas;
  const QFileInfoList entradas = dir.entryInfoList();
  for (const QFileInfo& e : entradas) {
    if (e.fileName() == QLatin1String(".") || e.fileName() == QLatin1String("..")) continue;
    rutas << porLocal8Bit(e.absoluteFilePath());
  }
  return rutas;
}

QString primerFicheroCarpeta(const QString& carpeta) {
  const QStringList rutas = ficherosCarpeta(carpeta);
  return rutas.isEmpty() ? QString() : rutas.first();
}
