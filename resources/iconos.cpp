// Draws the icons of the main window into a folder: 64 x 48 PNGs (the tool
// bar's icon size) and the window emblem orv.svg.
//
//   genera_iconos CARPETA
//
// Drawn with shapes only, never text, so that the result does not depend on
// the fonts of the machine that builds it.

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QtMath>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr int kAncho = 64;
constexpr int kAlto = 48;

// One set of colours for every icon, so that the tool bar reads as a whole.
const QColor kTinta(0x1f, 0x2d, 0x3d);     // outlines
const QColor kAzul(0x2f, 0x80, 0xed);      // arrows and main shapes
const QColor kAzulClaro(0xa9, 0xcb, 0xf7);
const QColor kNaranja(0xf2, 0x99, 0x4a);   // accents
const QColor kAmarillo(0xf5, 0xc5, 0x42);
const QColor kRojo(0xd9, 0x3f, 0x3f);
const QColor kPapel(0xf7, 0xf9, 0xfc);
const QColor kGris(0x8a, 0x96, 0xa3);

QPen pluma(const QColor& c, double ancho) {
  return QPen(c, ancho, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A filled arrow head whose tip is at punta, pointing along angulo (radians,
// y downward as on screen).
void cabezaFlecha(QPainter& p, QPointF punta, double angulo, double largo, double ancho,
                  const QColor& relleno) {
  const QPointF d(std::cos(angulo), std::sin(angulo));
  const QPointF n(-d.y(), d.x());
  const QPointF base = punta - d * largo;
  QPolygonF tri{punta, base + n * (ancho / 2), base - n * (ancho / 2)};
  p.setPen(pluma(kTinta, 1.5));
  p.setBrush(relleno);
  p.drawPolygon(tri);
}

// Triangle pointing right (+1) or left (-1), centred vertically.
void triangulo(QPainter& p, double xBase, double direccion, double largo, double alto) {
  const double y = kAlto / 2.0;
  QPolygonF t{QPointF(xBase, y - alto / 2), QPointF(xBase + direccion * largo, y),
              QPointF(xBase, y + alto / 2)};
  p.setPen(pluma(kTinta, 2));
  p.setBrush(kAzul);
  p.drawPolygon(t);
}

void barra(QPainter& p, double x) {
  p.setPen(pluma(kTinta, 2));
  p.setBrush(kAzul);
  p.drawRoundedRect(QRectF(x, 12, 6, 24), 1.5, 1.5);
}

void lupa(QPainter& p, bool mas) {
  const QPointF c(27, 20);
  p.setPen(pluma(kTinta, 5));
  p.drawLine(QPointF(36, 29), QPointF(46, 40));
  p.setPen(pluma(kTinta, 2.5));
  p.setBrush(kAzulClaro);
  p.drawEllipse(c, 13, 13);
  p.setPen(pluma(kAzul, 3.5));
  p.drawLine(c + QPointF(-7, 0), c + QPointF(7, 0));
  if (mas) p.drawLine(c + QPointF(0, -7), c + QPointF(0, 7));
}

// An arc of a circle ending in an arrow head: clockwise when horario.
void flechaCurva(QPainter& p, bool horario) {
  const QPointF c(32, 25);
  const double r = 14;
  // Qt measures arc angles counter-clockwise from 3 o'clock with y upward.
  const double inicio = horario ? 200.0 : -20.0;
  const double barrido = horario ? -250.0 : 250.0;
  QPainterPath arco;
  arco.arcMoveTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), inicio);
  arco.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), inicio, barrido);
  p.setBrush(Qt::NoBrush);
  p.setPen(pluma(kTinta, 7));
  p.drawPath(arco);
  p.setPen(pluma(kAzul, 4));
  p.drawPath(arco);
  const double fin = qDegreesToRadians(inicio + barrido);
  const QPointF extremo(c.x() + r * std::cos(fin), c.y() - r * std::sin(fin));
  // Tangent of the arc at its end, in screen coordinates.
  const double tangente = horario ? std::atan2(std::cos(fin), std::sin(fin))
                                  : std::atan2(-std::cos(fin), -std::sin(fin));
  const QPointF d(std::cos(tangente), std::sin(tangente));
  cabezaFlecha(p, extremo + d * 7, tangente, 12, 13, kAzul);
}

// Two mirrored triangles about an axis: filled on one side, outlined on the
// other, so that the mirroring is visible.
void espejo(QPainter& p, bool horizontal) {
  QPolygonF lleno, reflejo;
  QLineF eje;
  if (horizontal) {
    lleno = {QPointF(28, 9), QPointF(28, 39), QPointF(9, 39)};
    reflejo = {QPointF(36, 9), QPointF(36, 39), QPointF(55, 39)};
    eje = QLineF(32, 3, 32, 45);
  } else {
    lleno = {QPointF(14, 20), QPointF(50, 20), QPointF(50, 5)};
    reflejo = {QPointF(14, 28), QPointF(50, 28), QPointF(50, 43)};
    eje = QLineF(6, 24, 58, 24);
  }
  p.setPen(pluma(kTinta, 2));
  p.setBrush(kAzul);
  p.drawPolygon(lleno);
  p.setBrush(kPapel);
  p.setPen(QPen(kAzul, 2, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolygon(reflejo);
  p.setPen(QPen(kNaranja, 2.5, Qt::DashLine, Qt::FlatCap));
  p.drawLine(eje);
}

void circuloHerramienta(QPainter& p, double radio) {
  const QPointF c(32, 24);
  p.setPen(pluma(kTinta, 3.5));
  p.setBrush(QColor(0x2f, 0x80, 0xed, 60));
  p.drawEllipse(c, radio, radio);
  p.setPen(pluma(kAzul, 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, radio, radio);
  p.setPen(pluma(kNaranja, 2));
  p.drawLine(c + QPointF(-4, 0), c + QPointF(4, 0));
  p.drawLine(c + QPointF(0, -4), c + QPointF(0, 4));
}

using Dibujo = std::function<void(QPainter&)>;

std::vector<std::pair<const char*, Dibujo>> iconos() {
  return {
      {"new",
       [](QPainter& p) {
         QPainterPath hoja;
         hoja.moveTo(18, 4);
         hoja.lineTo(38, 4);
         hoja.lineTo(48, 14);
         hoja.lineTo(48, 44);
         hoja.lineTo(18, 44);
         hoja.closeSubpath();
         p.setPen(pluma(kTinta, 2));
         p.setBrush(kPapel);
         p.drawPath(hoja);
         p.setBrush(kAzulClaro);
         p.drawPolygon(QPolygonF{QPointF(38, 4), QPointF(38, 14), QPointF(48, 14)});
         p.setPen(pluma(kGris, 2));
         for (int y = 22; y <= 38; y += 5) p.drawLine(QPointF(23, y), QPointF(43, y));
         p.setPen(pluma(kNaranja, 3));
         p.drawLine(QPointF(12, 6), QPointF(12, 16));
         p.drawLine(QPointF(7, 11), QPointF(17, 11));
       }},
      {"open",
       [](QPainter& p) {
         p.setPen(pluma(kTinta, 2));
         p.setBrush(kNaranja);
         QPainterPath atras;
         atras.moveTo(8, 40);
         atras.lineTo(8, 10);
         atras.lineTo(22, 10);
         atras.lineTo(26, 14);
         atras.lineTo(50, 14);
         atras.lineTo(50, 40);
         atras.closeSubpath();
         p.drawPath(atras);
         p.setBrush(kPapel);
         p.drawRect(QRectF(14, 18, 30, 14));
         p.setBrush(kAmarillo);
         p.drawPolygon(QPolygonF{QPointF(8, 40), QPointF(16, 22), QPointF(58, 22), QPointF(50, 40)});
       }},
      {"save",
       [](QPainter& p) {
         p.setPen(pluma(kTinta, 2));
         p.setBrush(kAzul);
         QPainterPath disco;
         disco.moveTo(14, 4);
         disco.lineTo(44, 4);
         disco.lineTo(50, 10);
         disco.lineTo(50, 44);
         disco.lineTo(14, 44);
         disco.closeSubpath();
         p.drawPath(disco);
         p.setBrush(kGris.lighter(140));
         p.drawRect(QRectF(21, 4, 20, 13));
         p.setBrush(kTinta);
         p.drawRect(QRectF(34, 7, 4, 7));
         p.setBrush(kPapel);
         p.drawRoundedRect(QRectF(19, 24, 26, 17), 2, 2);
         p.setPen(pluma(kGris, 1.5));
         p.drawLine(QPointF(23, 30), QPointF(41, 30));
         p.drawLine(QPointF(23, 35), QPointF(41, 35));
       }},
      {"salir",
       [](QPainter& p) {
         p.setPen(pluma(kTinta, 2));
         p.setBrush(kGris.lighter(150));
         p.drawRect(QRectF(8, 4, 24, 40));
         p.setBrush(QColor(0x8b, 0x5a, 0x2b));
         p.drawPolygon(QPolygonF{QPointF(8, 4), QPointF(22, 9), QPointF(22, 47), QPointF(8, 44)});
         p.setBrush(kAmarillo);
         p.drawEllipse(QPointF(18, 26), 1.8, 1.8);
         p.setPen(pluma(kTinta, 7));
         p.drawLine(QPointF(30, 24), QPointF(48, 24));
         p.setPen(pluma(kRojo, 4));
         p.drawLine(QPointF(30, 24), QPointF(48, 24));
         cabezaFlecha(p, QPointF(60, 24), 0.0, 13, 18, kRojo);
       }},
      {"zoom_in", [](QPainter& p) { lupa(p, true); }},
      {"zoom_out", [](QPainter& p) { lupa(p, false); }},
      {"normal",
       [](QPainter& p) {
         p.setPen(pluma(kTinta, 2));
         p.setBrush(kPapel);
         p.drawRoundedRect(QRectF(10, 6, 44, 36), 3, 3);
         // "1:1" drawn as strokes.
         p.setPen(pluma(kAzul, 4));
         for (double x : {21.0, 43.0}) {
           p.drawLine(QPointF(x, 14), QPointF(x, 34));
           p.drawLine(QPointF(x - 4, 17), QPointF(x, 14));
         }
         p.setPen(Qt::NoPen);
         p.setBrush(kNaranja);
         p.drawEllipse(QPointF(32, 19), 2.5, 2.5);
         p.drawEllipse(QPointF(32, 30), 2.5, 2.5);
       }},
      {"expandir",
       [](QPainter& p) {
         p.setPen(QPen(kGris, 1.5, Qt::DashLine));
         p.setBrush(Qt::NoBrush);
         p.drawRect(QRectF(22, 16, 20, 16));
         const QPointF c(32, 24);
         const std::pair<QPointF, double> esquinas[] = {
             {QPointF(6, 4), qDegreesToRadians(-142.0)},
             {QPointF(58, 4), qDegreesToRadians(-38.0)},
             {QPointF(6, 44), qDegreesToRadians(142.0)},
             {QPointF(58, 44), qDegreesToRadians(38.0)}};
         for (const auto& [punta, ang] : esquinas) {
           const QPointF d(std::cos(ang), std::sin(ang));
           const QPointF desde = c + d * 8;
           p.setPen(pluma(kTinta, 6));
           p.drawLine(desde, punta - d * 6);
           p.setPen(pluma(kAzul, 3));
           p.drawLine(desde, punta - d * 6);
           cabezaFlecha(p, punta, ang, 10, 11, kAzul);
         }
       }},
      {"informacion",
       [](QPainter& p) {
         p.setPen(pluma(kTinta, 2));
         p.setBrush(kAzul);
         p.drawEllipse(QPointF(32, 24), 20, 20);
         p.setPen(Qt::NoPen);
         p.setBrush(Qt::white);
         p.drawEllipse(QPointF(32, 14), 3.5, 3.5);
         p.drawRoundedRect(QRectF(28.5, 20, 7, 18), 2, 2);
         p.drawRect(QRectF(26, 20, 6, 3));
         p.drawRect(QRectF(26, 35, 12, 3));
       }},
      {"volumen",
       [](QPainter& p) {
         const QPointF a(32, 4), b(52, 14), c(52, 36), d(32, 46), e(12, 36), f(12, 14), o(32, 24);
         p.setPen(pluma(kTinta, 2));
         p.setBrush(kAzulClaro);
         p.drawPolygon(QPolygonF{f, a, b, o});
         p.setBrush(kAzul);
         p.drawPolygon(QPolygonF{f, o, d, e});
         p.setBrush(kAzul.darker(140));
         p.drawPolygon(QPolygonF{o, b, c, d});
         // A slice through the cube.
         p.setPen(pluma(kNaranja, 2.5));
         p.drawLine(QPointF(12, 25), QPointF(32, 35));
         p.drawLine(QPointF(32, 35), QPointF(52, 25));
       }},
      {"paleta1",
       [](QPainter& p) {
         QLinearGradient g(QPointF(8, 0), QPointF(56, 0));
         g.setColorAt(0.0, QColor(0, 0, 255));
         g.setColorAt(0.25, QColor(0, 200, 255));
         g.setColorAt(0.5, QColor(0, 210, 0));
         g.setColorAt(0.75, QColor(255, 230, 0));
         g.setColorAt(1.0, QColor(255, 0, 0));
         p.setPen(pluma(kTinta, 2));
         p.setBrush(g);
         p.drawRoundedRect(QRectF(8, 12, 48, 16), 2, 2);
         QLinearGradient gris(QPointF(8, 0), QPointF(56, 0));
         gris.setColorAt(0.0, Qt::black);
         gris.setColorAt(1.0, Qt::white);
         p.setBrush(gris);
         p.drawRoundedRect(QRectF(8, 32, 48, 8), 2, 2);
       }},
      {"inicio",
       [](QPainter& p) {
         barra(p, 14);
         triangulo(p, 48, -1, 26, 24);
       }},
      {"retrocesorapido",
       [](QPainter& p) {
         triangulo(p, 32, -1, 22, 24);
         triangulo(p, 54, -1, 22, 24);
       }},
      {"retroceso", [](QPainter& p) { triangulo(p, 43, -1, 24, 26); }},
      {"avance", [](QPainter& p) { triangulo(p, 21, 1, 24, 26); }},
      {"avancerapido",
       [](QPainter& p) {
         triangulo(p, 10, 1, 22, 24);
         triangulo(p, 32, 1, 22, 24);
       }},
      {"final",
       [](QPainter& p) {
         triangulo(p, 16, 1, 26, 24);
         barra(p, 44);
       }},
      {"rotarderecha", [](QPainter& p) { flechaCurva(p, true); }},
      {"rotarizquierda", [](QPainter& p) { flechaCurva(p, false); }},
      {"fliphorizontal", [](QPainter& p) { espejo(p, true); }},
      {"flipvertical", [](QPainter& p) { espejo(p, false); }},
      {"chgOrder",
       [](QPainter& p) {
         // Two opposed arrows: swap the order.
         auto flecha = [&](double y, double desde, double hasta, const QColor& color) {
           const double dir = hasta > desde ? 1.0 : -1.0;
           p.setPen(pluma(kTinta, 6));
           p.drawLine(QPointF(desde, y), QPointF(hasta - dir * 6, y));
           p.setPen(pluma(color, 3));
           p.drawLine(QPointF(desde, y), QPointF(hasta - dir * 6, y));
           cabezaFlecha(p, QPointF(hasta, y), dir > 0 ? 0.0 : M_PI, 11, 14, color);
         };
         flecha(16, 10, 54, kAzul);
         flecha(32, 54, 10, kNaranja);
       }},
      {"circle", [](QPainter& p) { circuloHerramienta(p, 19); }},
      {"circleS", [](QPainter& p) { circuloHerramienta(p, 10); }},
      {"irregular",
       [](QPainter& p) {
         const QPolygonF contorno{QPointF(14, 20), QPointF(24, 6),  QPointF(36, 12),
                                  QPointF(50, 8),  QPointF(54, 26), QPointF(44, 42),
                                  QPointF(30, 36), QPointF(16, 40)};
         p.setPen(pluma(kTinta, 3.5));
         p.setBrush(QColor(0x2f, 0x80, 0xed, 60));
         p.drawPolygon(contorno);
         p.setPen(pluma(kAzul, 2));
         p.setBrush(Qt::NoBrush);
         p.drawPolygon(contorno);
         p.setPen(pluma(kTinta, 1));
         p.setBrush(kNaranja);
         for (const QPointF& v : contorno) p.drawEllipse(v, 2.5, 2.5);
       }},
      {"undo2",
       [](QPainter& p) {
         QPainterPath gancho;
         gancho.moveTo(20, 18);
         gancho.lineTo(38, 18);
         gancho.cubicTo(QPointF(56, 18), QPointF(56, 42), QPointF(38, 42));
         gancho.lineTo(26, 42);
         p.setBrush(Qt::NoBrush);
         p.setPen(pluma(kTinta, 8));
         p.drawPath(gancho);
         p.setPen(pluma(kAzul, 4.5));
         p.drawPath(gancho);
         cabezaFlecha(p, QPointF(6, 18), M_PI, 15, 18, kAzul);
       }},
  };
}

// The window emblem: a scanner ring around a body section, crossed by the
// line of the slice being shown.
const char kEmblema[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <circle cx="32" cy="32" r="28" fill="#f7f9fc" stroke="#1f2d3d" stroke-width="3"/>
  <circle cx="32" cy="32" r="22" fill="none" stroke="#2f80ed" stroke-width="6"/>
  <ellipse cx="32" cy="34" rx="12" ry="9" fill="#a9cbf7" stroke="#1f2d3d" stroke-width="1.5"/>
  <circle cx="32" cy="38" r="2.5" fill="#f7f9fc" stroke="#1f2d3d" stroke-width="1"/>
  <line x1="6" y1="24" x2="58" y2="24" stroke="#f2994a" stroke-width="3" stroke-linecap="round"/>
</svg>
)";

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: genera_iconos FOLDER\n");
    return 2;
  }
  const QString carpeta = QString::fromLocal8Bit(argv[1]);
  bool bien = true;
  for (const auto& [nombre, dibujo] : iconos()) {
    QImage icono(kAncho, kAlto, QImage::Format_ARGB32);
    icono.fill(Qt::transparent);
    QPainter p(&icono);
    p.setRenderHint(QPainter::Antialiasing);
    dibujo(p);
    p.end();
    const QString ruta = carpeta + '/' + QString::fromLatin1(nombre) + ".png";
    if (!icono.save(ruta, "PNG")) {
      std::fprintf(stderr, "genera_iconos: %s: cannot write\n", qPrintable(ruta));
      bien = false;
    }
  }
  QFile svg(carpeta + "/orv.svg");
  const QByteArray texto(kEmblema);
  if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(texto) != texto.size()) {
    std::fprintf(stderr, "genera_iconos: %s: cannot write\n", qPrintable(svg.fileName()));
    bien = false;
  }
  return bien ? 0 : 1;
}
