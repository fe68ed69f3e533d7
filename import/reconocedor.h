#pragma once

#include <string>

#include <QString>
#include <QStringList>

// The type key of a file, from its content only.
std::string formatoDeFichero(const std::string& ruta);
// The key of the first path of a choice; writes "Cabecera <key>" to the debug log.
std::string detectarFormato(const QStringList& ficheros);
// The first 8 bytes of a file as a little-endian double.
double valorInicial(const std::string& ruta);
// "Dicom" when the folder's first file starts with a zero double, else "".
std::string formatoDeCarpeta(const QString& carpeta);
