// The whole start as a user meets it: the sample volume on the command line,
// the built filter library, "Run" pressed in its dialog, and the window
// showing the painted first slice with the four result files written.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>

#include "../viewer/guion.h"
#include "apoyo.h"
#include "guion.h"
#include "parametros.h"
#include "pipeline.h"
#include "render.h"
#include "visualizador.h"

namespace {

QByteArray bytesDe(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const char* const kResultados[] = {"dataLen.dat", "dataAng.dat", "histoLen.dat", "histoAng.dat"};

}  // namespace

class Arranque : public QObject {
  Q_OBJECT

 private slots:
  void muestraLaPrimeraRodajaPintadaYEscribeLosResultados() {
    QTemporaryDir trabajo;
    QVERIFY(trabajo.isValid());
    QVERIFY(QDir(trabajo.path()).mkdir(QStringLiteral("data")));
    const QString anterior = QDir::currentPath();
    QDir::setCurrent(trabajo.path());

    auto dialogos = std::make_shared<DialogosGuion>();
    OpcionesVisualizador opciones = opcionesPrueba(dialogos);
    opciones.rutaPlugin = QStringLiteral(TRELKIN_FULL);
    opciones.ficherosIniciales = {QStringLiteral(MUESTRA_HDR)};

    Guion guion;  // presses "Run" in the parameter dialog
    Visualizador ventana(nullptr, opciones);
    QDir::setCurrent(anterior);

    QCOMPARE(guion.dialogos, 1);
    QCOMPARE(dialogos->cuenta(QStringLiteral("aviso")), 0);
    QCOMPARE(dialogos->cuenta(QStringLiteral("error")), 0);
    QVERIFY(guion.mensajes.isEmpty());

    // The same run straight through the detector, on the display volume's
    // first slice as the host hands it over.
    const Cubo* original = ventana.cuboOriginal();
    const Cubo* procesado = ventana.cuboProcesado();
    QVERIFY(original && procesado);
    const int ancho = original->geometria()->ancho();
    const int alto = original->geometria()->alto();
    Muestras<uint16_t> fuente = original->corte(0)->comoUShort();
    std::vector<uint16_t> esperado(fuente.begin(), fuente.end());
    QTemporaryDir referencia;
    Dimensiones dims{ancho, alto};
    MapaParametros atributos(original->atributosRef().mapa().begin(), original->atributosRef().mapa().end());
    procesaImagen(esperado.data(), &dims, construyeMapa(atributos, {}, ValoresDialogo{}),
                  referencia.path().toStdString());

    Muestras<uint16_t> pintado = procesado->corte(0)->comoUShort();
    QVERIFY(std::equal(esperado.begin(), esperado.end(), pintado.begin(), pintado.end()));
    QVERIFY2(!std::equal(fuente.begin(), fuente.end(), pintado.begin()), "no segment was painted");
    for (int k = 1; k < procesado->numCortes(); ++k) {
      Muestras<uint16_t> a = original->corte(k)->comoUShort();
      Muestras<uint16_t> b = procesado->corte(k)->comoUShort();
      QVERIFY2(std::equal(a.begin(), a.end(), b.begin()), "a slice other than the first changed");
    }

    for (const char* nombre : kResultados) {
      const QByteArray escrito = bytesDe(trabajo.filePath(QStringLiteral("data/") + nombre));
      QVERIFY2(!escrito.isEmpty(), nombre);
      QCOMPARE(escrito, bytesDe(referencia.filePath(QString::fromLatin1(nombre))));
    }

    // On display: slice 1 of the painted volume through the window 0…65535.
    QCOMPARE(ventana.vista().inferior(), 0);
    QCOMPARE(ventana.vista().superior(), 65535);
    QCOMPARE(procesado->corteActual(), 0);
    Imagen16 buffer{std::vector<uint16_t>(pintado.begin(), pintado.end()), ancho, alto};
    const QImage mostrada = ventana.findChild<QLabel*>(QStringLiteral("etiquetaImagen"))->pixmap().toImage();
    QCOMPARE(mostrada.convertToFormat(QImage::Format_RGB32),
             renderizaVentana(buffer, 0, 65535).convertToFormat(QImage::Format_RGB32));
  }

  // Manual mode with the built library: five edge points clicked on the
  // picture and a right click run the filter a second time, through its own
  // dialog, and the painted slice is shown again.
  void cincoPuntosYUnClicDerechoFiltranDeNuevo() {
    QTemporaryDir trabajo;
    QVERIFY(trabajo.isValid());
    QVERIFY(QDir(trabajo.path()).mkdir(QStringLiteral("data")));
    const QString anterior = QDir::currentPath();
    QDir::setCurrent(trabajo.path());
    for (const char* n : {"a.tif", "b.png"}) QFile(trabajo.filePath(QLatin1String(n))).open(QIODevice::WriteOnly);

    auto dialogos = std::make_shared<DialogosGuion>();
    dialogos->avisos.push_back(true);
    dialogos->modos.push_back(Dialogos::Modo::manual);
    dialogos->ficheros.push_back({QStringLiteral(MUESTRA_HDR)});
    OpcionesVisualizador opciones = opcionesPrueba(dialogos);
    opciones.rutaPlugin = QStringLiteral(TRELKIN_FULL);
    opciones.ficherosIniciales = {trabajo.filePath("a.tif"), trabajo.filePath("b.png")};

    Guion guion;
    Visualizador ventana(nullptr, opciones);
    QCOMPARE(ventana.modoApertura(), std::string("m"));
    QCOMPARE(guion.dialogos, 1);
    const Muestras<uint16_t> primera = ventana.cuboProcesado()->corte(0)->comoUShort();
    const std::vector<uint16_t> trasArranque(primera.begin(), primera.end());

    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    const int arriba = ventana.menuBar()->height() + ventana.findChild<QToolBar*>("barraFile")->height();
    auto clic = [&](int x, int y, Qt::MouseButton boton) {
      QTest::mouseClick(&ventana, boton, {}, QPoint(x, y + arriba));
    };
    const int puntos[5][2] = {{20, 20}, {40, 22}, {44, 40}, {30, 50}, {18, 38}};
    for (const auto& p : puntos) clic(p[0], p[1], Qt::LeftButton);
    const QByteArray salida = capturaSalida([&] { clic(30, 30, Qt::RightButton); });
    QDir::setCurrent(anterior);

    QVERIFY2(salida.startsWith("N PUNTOS: 10\nCOORDENADA Z   0\nCoordenadas set  20    20   0\n"),
             salida.constData());
    QCOMPARE(guion.dialogos, 2);
    QCOMPARE(dialogos->cuenta(QStringLiteral("continuar")), 0);
    QCOMPARE(dialogos->cuenta(QStringLiteral("aviso")), 0);
    QCOMPARE(dialogos->cuenta(QStringLiteral("error")), 0);
    QCOMPARE(ventana.vista().borde()->numPuntos(), 5);
    QCOMPARE(ventana.puntosManuales().cuantos(), 0);

    // The second run painted over the first run's result.
    const Muestras<uint16_t> segunda = ventana.cuboProcesado()->corte(0)->comoUShort();
    QVERIFY(!std::equal(trasArranque.begin(), trasArranque.end(), segunda.begin()));
    const int ancho = ventana.cuboProcesado()->geometria()->ancho();
    const int alto = ventana.cuboProcesado()->geometria()->alto();
    Imagen16 buffer{std::vector<uint16_t>(segunda.begin(), segunda.end()), ancho, alto};
    const QImage mostrada = ventana.findChild<QLabel*>(QStringLiteral("etiquetaImagen"))->pixmap().toImage();
    QCOMPARE(mostrada.convertToFormat(QImage::Format_RGB32),
             renderizaVentana(buffer, 0, 65535).convertToFormat(QImage::Format_RGB32));
  }
};

QTEST_MAIN(Arranque)
#include "arranque_test.moc"
