#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QDir>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "dialogos.h"
#include "visualizador.h"

// What the window's end-of-process call throws in tests. Only for calls made
// from plain C++ (the constructor, a slot called directly): an exception must
// never unwind through the toolkit's signal code, built without exceptions.
struct SalidaProceso {
  int estado;
};

// Answers the window's questions from queues and records every question.
class DialogosGuion : public Dialogos {
 public:
  struct Llamada {
    QString clase;
    QString titulo;
    QString texto;
    QString inicio;
    QString filtro;
  };

  std::deque<QStringList> ficheros;  // an empty queue answers "cancelled"
  std::deque<QString> carpetas;
  std::deque<bool> avisos;  // true: "Si"; an empty queue answers "No"
  std::deque<Modo> modos;   // an empty queue answers "Cancel"
  std::deque<QString> nombres;  // save names; an empty queue answers "cancelled"
  std::deque<char> tipos;       // data types; an empty queue answers `tipo`
  char tipo = 's';
  std::function<bool(QPrinter&)> alImprimir;  // null: the user cancels
  std::vector<Llamada> llamadas;

  int cuenta(const QString& clase) const {
    int n = 0;
    for (const Llamada& l : llamadas) n += l.clase == clase;
    return n;
  }
  const Llamada* ultima(const QString& clase) const {
    for (auto it = llamadas.rbegin(); it != llamadas.rend(); ++it)
      if (it->clase == clase) return &*it;
    return nullptr;
  }

  QStringList eligeFicheros(QWidget*, const QString& titulo, const QString& inicio,
                            const QString& filtro) override {
    llamadas.push_back({"ficheros", titulo, {}, inicio, filtro});
    return saca(ficheros, QStringList());
  }
  QString eligeCarpeta(QWidget*, const QString& titulo, const QString& inicio) override {
    llamadas.push_back({"carpeta", titulo, {}, inicio, {}});
    return saca(carpetas, QString());
  }
  QString nombreGuardar(QWidget*, const QString& titulo, const QString& inicio,
                        const QString& filtro) override {
    llamadas.push_back({"guardar", titulo, {}, inicio, filtro});
    return saca(nombres, QString());
  }
  bool avisoFormatos(const QString& texto) override {
    llamadas.push_back({"formatos", {}, texto, {}, {}});
    return saca(avisos, false);
  }
  Modo eligeModo(const QString& texto) override {
    llamadas.push_back({"modo", {}, texto, {}, {}});
    return saca(modos, Modo::cancelar);
  }
  void continuar(const QString& texto) override { llamadas.push_back({"continuar", {}, texto, {}, {}}); }
  void informacion(const QString& titulo, const QString& texto) override {
    llamadas.push_back({"informacion", titulo, texto, {}, {}});
  }
  char tipoDato() override {
    llamadas.push_back({"tipo", {}, {}, {}, {}});
    return saca(tipos, tipo);
  }
  bool imprime(QPrinter& impresora, QWidget*) override {
    llamadas.push_back({"imprime", {}, {}, {}, {}});
    return alImprimir ? alImprimir(impresora) : false;
  }
  void error(const QString& titulo, const QString& texto) override {
    llamadas.push_back({"error", titulo, texto, {}, {}});
  }
  void aviso(const QString& titulo, const QString& texto) override {
    llamadas.push_back({"aviso", titulo, texto, {}, {}});
  }

 private:
  template <class T>
  static T saca(std::deque<T>& cola, T siVacia) {
    if (cola.empty()) return siVacia;
    T v = cola.front();
    cola.pop_front();
    return v;
  }
};

// A library path that never exists, so the filter host fails cleanly.
inline const char* const kPluginInexistente = "/nonexistent/osmavu-test/trelkinFull.so";

inline OpcionesVisualizador opcionesPrueba(std::shared_ptr<DialogosGuion> dialogos) {
  OpcionesVisualizador o;
  o.dialogos = std::move(dialogos);
  o.terminar = [](int estado) { throw SalidaProceso{estado}; };
  o.rutaPlugin = QString::fromLatin1(kPluginInexistente);
  return o;
}

// A fresh temporary folder that is the working directory while it lives, so
// that resources looked up there (icons, palettes) are absent unless a test
// lays them out.
class CarpetaDePrueba {
 public:
  CarpetaDePrueba() : anterior_(QDir::currentPath()) {
    if (dir_.isValid()) QDir::setCurrent(dir_.path());
  }
  ~CarpetaDePrueba() { QDir::setCurrent(anterior_); }
  CarpetaDePrueba(const CarpetaDePrueba&) = delete;
  CarpetaDePrueba& operator=(const CarpetaDePrueba&) = delete;

  bool isValid() const { return dir_.isValid(); }
  QString path() const { return dir_.path(); }
  QString filePath(const QString& nombre) const { return dir_.filePath(nombre); }

 private:
  QString anterior_;
  QTemporaryDir dir_;
};
