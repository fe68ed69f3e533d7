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

#include "../viewer/guion.h"
#include "guion.h"
#include "parametros.h"
#include "pipeline.h"
#include "render.h"
#include "visualizador.h"

namespace {

QByteArray contenido(const QString& ruta) {
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
      const QByteArray escrito = contenido(trabajo.filePath(QStringLiteral("data/") + nombre));
      QVERIFY2(!escrito.isEmpty(), nombre);
      QCOMPARE(escrito, contenido(referencia.filePath(QString::fromLatin1(nombre))));
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
};

QTEST_MAIN(Arranque)
#include "arranque_test.moc"
