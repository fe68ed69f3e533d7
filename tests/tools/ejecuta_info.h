#pragma once

// One run of the built osmavu-info, as a user would start it.

#include <string>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

struct Resultado {
  int estado = -1;
  QByteArray salida;
  std::string error;
};

inline Resultado ejecuta(const QStringList& argumentos, const QString& directorio = QString()) {
  QProcess p;
  if (!directorio.isEmpty()) p.setWorkingDirectory(directorio);
  p.start(QStringLiteral(OSMAVU_INFO), argumentos);
  EXPECT_TRUE(p.waitForFinished(60000));
  Resultado r;
  r.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.salida = p.readAllStandardOutput();
  r.error = p.readAllStandardError().toStdString();
  return r;
}
