#pragma once

#include <memory>

#include <QString>
#include <QStringList>

#include "estado_vista.h"
#include "observador.h"

// The point file that may lie beside a single chosen file: the name with its
// last four characters replaced by ".txt", then ".dat"; " " when neither opens.
QString nombreFicheroDatos(const QStringList& ficheros);

// Parses a point file into an edge point list. A file that cannot be used is
// reported through the observer and gives no points (null).
std::shared_ptr<Borde> leerFicheroDatos(const QString& nombre, ObservadorLectura& observador);
