#pragma once

#include <QString>
#include <QStringList>

// The first path of a choice, through the local 8-bit encoding and back.
QString primeraRuta(const QStringList& lista);

// A folder's files as the open workflow takes them: the entries listed by name
// with case ignored, after the first two (the folder itself and its parent),
// as absolute paths through the local 8-bit encoding.
QStringList ficherosCarpeta(const QString& carpeta);
QString primerFicheroCarpeta(const QString& carpeta);
