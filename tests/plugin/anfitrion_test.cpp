#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <QCheckBox>
#include <QMainWindow>
#include <QPluginLoader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "anfitrion.h"
#include "apertura.h"
#include "apoyo.h"
#include "ejecucion.h"
#include "ficheros_prueba.h"
#include "filterinterface.h"
#include "guion.h"
#include "parametros.h"

namespace {

// A volume of `d` slices of w x h unsigned samples; slice k holds
// 100*k + position, except where `dibujo` paints a picture into slice 0.
struct Volumen {
  std::unique_ptr<Cubo> cubo;
  EstadoVista vista;
  std::vector<const Corte*> cortes;  // the slice objects before a run

  Volumen(int w, int h, int d, const AttributeMap& atributos = {}, bool dibujo = false) {
    Geometria g = nuevaGeometria(w, h);
    cubo = std::make_unique<Cubo>(g, d, atributos);
    const std::size_t n = static_cast<std::size_t>(w) * h;
    for (int k = 0; k < d; ++k) {
      auto m = std::make_unique<uint16_t[]>(n);
      for (std::size_t i = 0; i < n; ++i) m[i] = uint16_t(100 * k + i);
      if (dibujo && k == 0) pinta(m.get(), w, h);
      cubo->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(m), 3, 9000, g), k);
    }
    vista.setGeometria(g);
    recuerda();
  }
  explicit Volumen(std::unique_ptr<Cubo> c) : cubo(std::move(c)) {
    vista.setGeometria(cubo->geometria());
    recuerda();
  }
  void recuerda() {
    cortes.clear();
    for (int k = 0; k < cubo->numCortes(); ++k) cortes.push_back(cubo->corte(k));
  }
  // Dark ground with two bright bars and a diagonal, something for a
  // detector to find.
  static void pinta(uint16_t* m, int w, int h) {
    for (int x = 0; x < w; ++x)
      for (int y = 0; y < h; ++y) {
        uint16_t v = uint16_t(800 + (x * 7 + y * 3) % 50);
        if ((y >= 10 && y < 13 && x > 5 && x < w - 5) || (x >= 20 && x < 23 && y > 4) ||
            (std::abs(x - y) < 2 && x > 30))
          v = 30000;
        m[static_cast<std::size_t>(x) * h + y] = v;
      }
  }
  std::vector<uint16_t> muestras(int k) const {
    const Muestras<uint16_t> m = cubo->corte(k)->comoUShort();
    return {m.begin(), m.end()};
  }
  bool intacto() const {
    for (int k = 0; k < cubo->numCortes(); ++k)
      if (cubo->corte(k) != cortes[static_cast<std::size_t>(k)]) return false;
    return true;
  }
};

QObject* raizDe(const QString& ruta) { return QPluginLoader(ruta).instance(); }

}  // namespace

class AnfitrionTest : public QObject {
  Q_OBJECT

 private:
  QString trelkinFull = QStringLiteral(TRELKIN_FULL);
  QString prueba = QStringLiteral(FILTRO_PRUEBA);
  QString ajeno = QStringLiteral(FILTRO_AJENO);
  QString inicial;

  // Run the real library through the host in a fresh working folder with
  // ./data; returns what it printed and leaves the results in `carpeta`/data.
  QByteArray ejecutaReal(Volumen& v, const QString& carpeta, Guion::Accion accion = Guion::pulsaRun,
                         bool* resultado = nullptr, QString* error = nullptr) {
    QDir().mkpath(carpeta + QStringLiteral("/data"));
    QDir::setCurrent(carpeta);
    QString e;
    bool ok = false;
    Guion guion(std::move(accion));
    const QByteArray salida = capturaSalida([&] {
      ok = aplicaFiltro(*v.cubo, v.vista, QStringLiteral("scan.hdr"), "a", trelkinFull, nullptr, &e);
    });
    QDir::setCurrent(inicial);
    if (resultado) *resultado = ok;
    if (error) *error = e;
    return salida;
  }

 private slots:
  void initTestCase() { inicial = QDir::currentPath(); }
  void init() {
    if (QObject* r = raizDe(prueba)) r->setProperty("orden", QString());
  }

  void libraryAnswersTheInterface() {
    QPluginLoader cargador(trelkinFull);
    QObject* raiz = cargador.instance();
    QVERIFY2(raiz, qPrintable(cargador.errorString()));
    auto* filtro = qobject_cast<FilterInterface*>(raiz);
    QVERIFY(filtro);
    QCOMPARE(filtro->filterNames(), QStringList{QStringLiteral("Trelkin Full")});
    QCOMPARE(raiz->metaObject()->className(), "FiltroPlugin");
    QVERIFY(qobject_cast<QMainWindow*>(raiz));
    QVERIFY(raiz->qt_metacast("FiltroPlugin"));
    QVERIFY(raiz->qt_metacast("FilterInterface"));
    QVERIFY(raiz->qt_metacast(OSMAVU_FILTER_INTERFACE_IID));
    QVERIFY(!raiz->isWidgetType() || !qobject_cast<QWidget*>(raiz)->isVisible());
    QCOMPARE(raizDe(trelkinFull), raiz);
    QCOMPARE(cargador.metaData().value(QStringLiteral("IID")).toString(),
             QStringLiteral(OSMAVU_FILTER_INTERFACE_IID));
  }

  void oneSliceComesBackUnsigned() {
    Volumen v(3, 2, 1);
    QString error;
    QVERIFY2(aplicaFiltro(*v.cubo, v.vista, "f", "a", prueba, nullptr, &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    auto* corte = dynamic_cast<CorteUnsignedShort*>(v.cubo->corte(0));
    QVERIFY(corte);
    QVERIFY(corte != v.cortes[0]);
    QCOMPARE(corte->minimo(), 0);
    QCOMPARE(corte->maximo(), 65535);
    QCOMPARE(corte->geometria(), v.vista.geometria());
    QCOMPARE(v.muestras(0), (std::vector<uint16_t>{65535, 65534, 65533, 65532, 65531, 65530}));
    QCOMPARE(raizDe(prueba)->property("vistoExtensiones").toList(), (QVariantList{3, 2, 1}));
  }

  // Slices go over in storage order one after the other; only slice 0 comes
  // back changed, every slice as a new unsigned one.
  void severalSlicesOnlyTheFirstChanges() {
    Volumen v(2, 3, 3);
    auto corto = std::make_unique<int16_t[]>(6);
    for (int i = 0; i < 6; ++i) corto[i] = int16_t(-1 - i);
    v.cubo->ponCorte(std::make_unique<CorteShort>(std::move(corto), -6, -1, v.cubo->geometria()), 2);
    v.recuerda();
    QString error;
    QVERIFY2(aplicaFiltro(*v.cubo, v.vista, "f", "a", prueba, nullptr, &error), qPrintable(error));

    QVariantList enviadas;
    for (int i = 0; i < 6; ++i) enviadas << i;
    for (int i = 0; i < 6; ++i) enviadas << 100 + i;
    for (int i = 0; i < 6; ++i) enviadas << 65535 - i;
    QCOMPARE(raizDe(prueba)->property("vistoMuestras").toList(), enviadas);
    QCOMPARE(raizDe(prueba)->property("vistoExtensiones").toList(), (QVariantList{2, 3, 3}));
    QCOMPARE(v.muestras(0), (std::vector<uint16_t>{65535, 65534, 65533, 65532, 65531, 65530}));
    QCOMPARE(v.muestras(1), (std::vector<uint16_t>{100, 101, 102, 103, 104, 105}));
    QCOMPARE(v.muestras(2), (std::vector<uint16_t>{65535, 65534, 65533, 65532, 65531, 65530}));
    for (int k = 0; k < 3; ++k) {
      auto* c = dynamic_cast<CorteUnsignedShort*>(v.cubo->corte(k));
      QVERIFY(c);
      QVERIFY(c != v.cortes[static_cast<std::size_t>(k)]);
      QCOMPARE(c->maximo(), 65535);
    }
  }

  void recordCarriesPointsAttributesAndName_data() {
    QTest::addColumn<QString>("modo");
    QTest::addColumn<QVariantList>("puntos");
    QTest::newRow("manual") << "m" << QVariantList{1, 2, 0, 4, 5, 1, -7, 8, 2};
    QTest::newRow("automatic") << "a" << QVariantList{};
    QTest::newRow("other text") << "M" << QVariantList{};
  }
  void recordCarriesPointsAttributesAndName() {
    QFETCH(QString, modo);
    QFETCH(QVariantList, puntos);
    AttributeMap atributos;
    for (const char* clave : {"csX", "csY", "csZ", "sRadio"}) atributos.set(clave, "5");
    atributos.set("PixelDimx", "0.25");
    atributos.set("th", "abc");
    Volumen v(2, 2, 1, atributos);
    auto borde = std::make_shared<Borde>();
    borde->setPuntos({{1, 2, 0}, {4, 5, 1}, {-7, 8, 2}});
    borde->setNumPuntos(3);
    v.vista.setBorde(borde);
    const QString nombre = QStringLiteral("/datos/Posición 1/scan.hdr");
    QString error;
    QVERIFY2(aplicaFiltro(*v.cubo, v.vista, nombre, modo.toStdString(), prueba, nullptr, &error),
             qPrintable(error));
    QObject* raiz = raizDe(prueba);
    QCOMPARE(raiz->property("vistoPuntos").toList(), puntos);
    QCOMPARE(raiz->property("vistoAtributos").toStringList(),
             (QStringList{QStringLiteral("PixelDimx=0.25"), QStringLiteral("th=abc")}));
    QCOMPARE(raiz->property("vistoNombre").toByteArray(), nombre.toUtf8());
    QCOMPARE(v.cubo->atributos().size(), 6u);
    QCOMPARE(v.cubo->atributos().at("sRadio"), std::string("5"));
  }

  void unusableLibraryLeavesTheVolume_data() {
    QTest::addColumn<QString>("ruta");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("missing") << QStringLiteral("/no/such/folder/trelkinFull.so") << QString();
    QTest::newRow("not a library") << QStringLiteral(NO_ES_BIBLIOTECA) << QString();
    QTest::newRow("other interface") << QStringLiteral(FILTRO_AJENO) << QStringLiteral("interface");
  }
  void unusableLibraryLeavesTheVolume() {
    QFETCH(QString, ruta);
    QFETCH(QString, motivo);
    Volumen v(2, 2, 2);
    QString error;
    QVERIFY(!aplicaFiltro(*v.cubo, v.vista, "f", "a", ruta, nullptr, &error));
    QVERIFY2(error.startsWith(ruta + QStringLiteral(": ")), qPrintable(error));
    QVERIFY(error.size() > ruta.size() + 2);
    QVERIFY2(error.contains(motivo), qPrintable(error));
    QVERIFY(v.intacto());
  }

  void failedOrAbandonedRunLeavesTheVolume() {
    QObject* raiz = raizDe(prueba);
    Volumen v(2, 2, 2);
    raiz->setProperty("orden", QStringLiteral("falla"));
    QString error;
    bool abandonada = true;
    QVERIFY(!aplicaFiltro(*v.cubo, v.vista, "f", "a", prueba, nullptr, &error, &abandonada));
    QCOMPARE(error, QStringLiteral("invalid stoi argument"));
    QVERIFY(!abandonada);
    QVERIFY(v.intacto());
    QCOMPARE(v.muestras(0), (std::vector<uint16_t>{0, 1, 2, 3}));

    raiz->setProperty("orden", QStringLiteral("abandona"));
    QVERIFY(aplicaFiltro(*v.cubo, v.vista, "f", "a", prueba, nullptr, &error, &abandonada));
    QVERIFY(abandonada);
    QVERIFY(error.isEmpty());
    QVERIFY(v.intacto());

    // The outcome of one run does not leak into the next.
    raiz->setProperty("orden", QString());
    QVERIFY(aplicaFiltro(*v.cubo, v.vista, "f", "a", prueba, nullptr, &error, &abandonada));
    QVERIFY(!abandonada);
    QVERIFY(!v.intacto());
  }

  void defaultPathIsTheWorkingFolderFirst() {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QCOMPARE(rutaPluginPorDefecto(), QStringLiteral("./trelkinFull.so"));
    QFile f(QStringLiteral("trelkinFull.so"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(rutaPluginPorDefecto(), QStringLiteral("./trelkinFull.so"));
    QDir::setCurrent(inicial);
  }

  // The real library, driven through its dialog: the host's result is the
  // detector's on the first slice with the dialog's map.
  void realRunMatchesTheDetector_data() {
    QTest::addColumn<bool>("todasApagadas");
    QTest::newRow("defaults") << false;
    QTest::newRow("all boxes unchecked") << true;
  }
  void realRunMatchesTheDetector() {
    QFETCH(bool, todasApagadas);
    QTemporaryDir dir;
    AttributeMap atributos;
    atributos.set("csX", "1");
    atributos.set("modality", "CT");
    Volumen v(48, 40, 2, atributos, true);
    const std::vector<uint16_t> entrada = v.muestras(0);
    const std::vector<uint16_t> segunda = v.muestras(1);

    Guion::Accion accion = Guion::pulsaRun;
    if (todasApagadas)
      accion = [](QDialog& d) {
        for (const char* n : {"checkSuavizado", "checkGradiente", "checkUmbralizacion", "checkDeteccion"})
          d.findChild<QCheckBox*>(n)->setChecked(false);
        Guion::pulsaRun(d);
      };
    bool ok = false;
    QString error;
    const QByteArray salida = ejecutaReal(v, dir.path() + "/plugin", accion, &ok, &error);
    QVERIFY2(ok, qPrintable(error));

    ValoresDialogo valores;
    if (todasApagadas) valores.suavizado = valores.gradiente = valores.umbralizacion = valores.deteccion = false;
    std::vector<uint16_t> esperado = entrada;
    Dimensiones dims{48, 40};
    const QString referencia = dir.path() + "/referencia";
    QDir().mkpath(referencia);
    const QByteArray salidaEsperada = capturaSalida([&] {
      ejecutaPipeline(esperado.data(), &dims, construyeMapa({{"modality", "CT"}}, {}, valores),
                      QFile::encodeName(referencia).toStdString());
    });
    QCOMPARE(salida, salidaEsperada);
    QCOMPARE(v.muestras(0), esperado);
    QCOMPARE(v.muestras(1), segunda);
    QVERIFY(contenido(dir.path() + "/plugin/data") == contenido(referencia));
  }

  void closingTheDialogAbandonsTheRealRun() {
    QTemporaryDir dir;
    Volumen v(8, 6, 1);
    bool ok = false;
    QString error;
    const QByteArray salida = ejecutaReal(v, dir.path(), Guion::cierra, &ok, &error);
    QVERIFY(ok);
    QVERIFY(salida.isEmpty());
    QVERIFY(v.intacto());
    QVERIFY(contenido(dir.path() + "/data").empty());
  }

  void resultsFolderIsCreatedWhenMissing() {
    QTemporaryDir dir;
    Volumen v(8, 6, 1);
    QDir::setCurrent(dir.path());
    Guion guion;
    QString error;
    bool ok = false;
    capturaSalida([&] { ok = aplicaFiltro(*v.cubo, v.vista, "f", "a", trelkinFull, nullptr, &error); });
    QDir::setCurrent(inicial);
    QVERIFY2(ok, qPrintable(error));
    QVERIFY(QFileInfo(dir.path() + QStringLiteral("/data")).isDir());
  }

  // A run asked for while the parameter dialog is open is refused and leaves
  // the volume to the run under way.
  void noSecondRunWhileOneIsOpen() {
    Volumen v(4, 4, 1);
    bool segunda = true;
    QString errorSegunda;
    Guion guion([&](QDialog& d) {
      segunda = aplicaFiltro(*v.cubo, v.vista, "f", "a", prueba, nullptr, &errorSegunda);
      Guion::pulsaRun(d);
    });
    QString error;
    bool ok = false;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    capturaSalida([&] { ok = aplicaFiltro(*v.cubo, v.vista, "f", "a", trelkinFull, nullptr, &error); });
    QDir::setCurrent(inicial);
    QVERIFY2(ok, qPrintable(error));
    QVERIFY(!segunda);
    QCOMPARE(errorSegunda, QStringLiteral("A filter run is already under way."));
    QVERIFY(aplicaFiltro(*v.cubo, v.vista, "f", "a", prueba, nullptr, &error));
  }

  void badParameterIsReportedAndTheBufferKept() {
    QTemporaryDir dir;
    AttributeMap atributos;
    atributos.set("th", "abc");
    Volumen v(48, 40, 1, atributos, true);
    QWidget ventana;
    QDir().mkpath(dir.path() + "/data");
    QDir::setCurrent(dir.path());
    Guion guion;
    QString error;
    bool ok = true;
    capturaSalida([&] { ok = aplicaFiltro(*v.cubo, v.vista, "f", "a", trelkinFull, &ventana, &error); });
    QDir::setCurrent(inicial);
    QVERIFY(!ok);
    QCOMPARE(error, QStringLiteral("invalid stoi argument"));
    QCOMPARE(guion.mensajes.size(), 1);
    QVERIFY(guion.mensajes[0].contains(QStringLiteral("invalid stoi argument")));
    QCOMPARE(guion.padresMensajes[0], &ventana);
    QVERIFY(v.intacto());
  }

  // A file as the viewer opens it: the tool reads it through the same entry,
  // keeps the reader's lines off stdout and hands over the same slice.
  void batchToolAgreesOnAnOpenedFile() {
    QTemporaryDir dir;
    CabeceraAnalyze c;
    c.filas = 40;
    c.columnas = 48;
    c.cortes = 2;
    c.tipo = 4;
    std::vector<uint16_t> dibujo(48 * 40);
    Volumen::pinta(dibujo.data(), 48, 40);
    std::vector<int> valores(dibujo.begin(), dibujo.end());
    valores.insert(valores.end(), dibujo.begin(), dibujo.end());
    const std::string hdr = escribeAnalyze(dir, "scan", c, muestras16(valores));

    QProcess tool;
    tool.start(QStringLiteral(TRELKIN_EXE), {"--data-dir", dir.path() + "/tool", "--out",
                                             dir.path() + "/salida.raw", QString::fromStdString(hdr)});
    QVERIFY(tool.waitForFinished(120000));
    const QByteArray erroresTool = tool.readAllStandardError();
    QVERIFY2(tool.exitCode() == 0, erroresTool.constData());
    const QByteArray salidaTool = tool.readAllStandardOutput();

    std::unique_ptr<Cubo> trabajo;
    const QByteArray lineasLector = capturaSalida([&] {
      trabajo = abreLista({QString::fromStdString(hdr)}, observadorMudo()).display->clona();
    });
    QVERIFY(!lineasLector.isEmpty());
    QVERIFY(erroresTool.contains(lineasLector));
    QVERIFY(!salidaTool.contains(lineasLector));

    Volumen v(std::move(trabajo));
    const std::vector<uint16_t> segunda = v.muestras(1);
    bool ok = false;
    QString error;
    const QByteArray salidaPlugin = ejecutaReal(v, dir.path() + "/plugin", Guion::pulsaRun, &ok, &error);
    QVERIFY2(ok, qPrintable(error));
    QVERIFY(salidaPlugin.contains("Line Detection"));
    QCOMPARE(salidaTool, salidaPlugin);
    const auto ficheros = contenido(dir.path() + "/plugin/data");
    QCOMPARE(ficheros.size(), std::size_t(4));
    QVERIFY(contenido(dir.path() + "/tool") == ficheros);
    QCOMPARE(v.muestras(1), segunda);
    QFile pintado(dir.path() + "/salida.raw");
    QVERIFY(pintado.open(QIODevice::ReadOnly));
    const QByteArray bytes = pintado.readAll();
    const std::vector<uint16_t> resultado = v.muestras(0);
    QCOMPARE(bytes.size(), qsizetype(resultado.size() * 2));
    QVERIFY(std::memcmp(bytes.constData(), resultado.data(), bytes.size()) == 0);
  }

  // The batch tool hands the pipeline what the host hands the library, so
  // both give the same lines, files and picture.
  void batchToolAgreesWithTheLibrary() {
    QTemporaryDir dir;
    Volumen v(48, 40, 1, {}, true);
    const std::vector<uint16_t> entrada = v.muestras(0);
    const QString crudo = dir.path() + "/entrada.raw";
    {
      QFile f(crudo);
      QVERIFY(f.open(QIODevice::WriteOnly));
      for (uint16_t m : entrada) {
        const char b[2] = {char(m & 0xFF), char(m >> 8)};
        f.write(b, 2);
      }
    }
    QProcess tool;
    tool.start(QStringLiteral(TRELKIN_EXE),
               {"--raw", "48x40", "--data-dir", dir.path() + "/tool", "--out", dir.path() + "/salida.raw", crudo});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);
    const QByteArray salidaTool = tool.readAllStandardOutput();

    bool ok = false;
    QString error;
    const QByteArray salidaPlugin = ejecutaReal(v, dir.path() + "/plugin", Guion::pulsaRun, &ok, &error);
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(salidaTool, salidaPlugin);
    QVERIFY(contenido(dir.path() + "/tool") == contenido(dir.path() + "/plugin/data"));
    QFile pintado(dir.path() + "/salida.raw");
    QVERIFY(pintado.open(QIODevice::ReadOnly));
    const QByteArray bytes = pintado.readAll();
    const std::vector<uint16_t> resultado = v.muestras(0);
    QCOMPARE(bytes.size(), qsizetype(resultado.size() * 2));
    for (std::size_t i = 0; i < resultado.size(); ++i)
      QCOMPARE(uint16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8), resultado[i]);
  }
};

QTEST_MAIN(AnfitrionTest)
#include "anfitrion_test.moc"
