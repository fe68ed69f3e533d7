#pragma once

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <map>

#include <QByteArray>
#include <QtGlobal>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryFile>


// What one run printed on stdout; the filter writes there directly. The test
// framework's own log would land there too, so Qt's messages go to stderr
// meanwhile.
inline QByteArray capturaSalida(const std::function<void()>& f) {
  std::cout.flush();
  std::fflush(stdout);
  QTemporaryFile fichero;
  if (!fichero.open()) return "<no temporary file>";
  const int guardado = dup(STDOUT_FILENO);
  dup2(fichero.handle(), STDOUT_FILENO);
  const QtMessageHandler anterior =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& texto) {
        std::fprintf(stderr, "%s\n", qPrintable(texto));
      });
  f();
  qInstallMessageHandler(anterior);
  std::cout.flush();
  std::fflush(stdout);
  dup2(guardado, STDOUT_FILENO);
  close(guardado);
  QFile leido(fichero.fileName());
  leido.open(QIODevice::ReadOnly);
  return leido.readAll();
}

// Every file of a folder with its bytes.
inline std::map<QString, QByteArray> contenido(const QString& carpeta) {
  std::map<QString, QByteArray> r;
  for (const QString& nombre : QDir(carpeta).entryList(QDir::Files)) {
    QFile f(carpeta + QLatin1Char('/') + nombre);
    if (f.open(QIODevice::ReadOnly)) r[nombre] = f.readAll();
  }
  return r;
}
