#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialog.h"
#include "dialogos.h"

namespace {

// Runs `accion` on the modal dialog as soon as it is up.
void alAparecer(std::function<void(QWidget*)> accion) {
  QTimer::singleShot(0, [accion] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
      alAparecer(accion);
      return;
    }
    accion(modal);
  });
}

QStringList textosBotones(QMessageBox* caja) {
  QStringList t;
  for (QAbstractButton* b : caja->buttons()) t << b->text();
  t.sort();
  return t;
}

QAbstractButton* boton(QMessageBox* caja, const QString& texto) {
  for (QAbstractButton* b : caja->buttons())
    if (b->text() == texto) return b;
  return nullptr;
}

}  // namespace

// The real dialogs behind the window's questions, driven as a user would.
class PruebaDialogosQt : public QObject {
  Q_OBJECT

 private slots:
  void formatWarningHasSiAndNo_data() {
    QTest::addColumn<QString>("pulsado");
    QTest::addColumn<bool>("resultado");
    QTest::newRow("Si") << "Si" << true;
    QTest::newRow("No") << "No" << false;
  }
  void formatWarningHasSiAndNo() {
    QFETCH(QString, pulsado);
    QFETCH(bool, resultado);
    QString titulo, texto;
    QStringList botones;
    QMessageBox::Icon icono{};
    alAparecer([&](QWidget* w) {
      auto* caja = qobject_cast<QMessageBox*>(w);
      QVERIFY(caja);
      QVERIFY(!caja->parentWidget());
      titulo = caja->windowTitle();
      texto = caja->text();
      icono = caja->icon();
      botones = textosBotones(caja);
      boton(caja, pulsado)->click();
    });
    DialogosQt d;
    QCOMPARE(d.avisoFormatos(QStringLiteral("<p>texto")), resultado);
    QCOMPARE(titulo, QStringLiteral("Dravoni"));
    QCOMPARE(texto, QStringLiteral("<p>texto"));
    QCOMPARE(icono, QMessageBox::Warning);
    QCOMPARE(botones, (QStringList{"No", "Si"}));
  }

  void modeChoiceHasThreeButtons_data() {
    QTest::addColumn<QString>("pulsado");
    QTest::addColumn<int>("modo");
    QTest::newRow("Automatic") << "Automatic" << int(Dialogos::Modo::automatico);
    QTest::newRow("Manual") << "Manual" << int(Dialogos::Modo::manual);
    QTest::newRow("Cancel") << "Cancel" << int(Dialogos::Modo::cancelar);
  }
  void modeChoiceHasThreeButtons() {
    QFETCH(QString, pulsado);
    QFETCH(int, modo);
    QString informativo;
    QStringList botones;
    alAparecer([&](QWidget* w) {
      auto* caja = qobject_cast<QMessageBox*>(w);
      QVERIFY(caja);
      informativo = caja->informativeText();
      botones = textosBotones(caja);
      boton(caja, pulsado)->click();
    });
    DialogosQt d;
    QCOMPARE(int(d.eligeModo(QStringLiteral("<p>Select:</p>"))), modo);
    QCOMPARE(informativo, QStringLiteral("<p>Select:</p>"));
    QCOMPARE(botones, (QStringList{"Automatic", "Cancel", "Manual"}));
  }

  void informationAndErrorBoxes() {
    QString titulo, texto;
    QMessageBox::Icon icono{};
    auto mira = [&](QWidget* w) {
      auto* caja = qobject_cast<QMessageBox*>(w);
      QVERIFY(caja);
      titulo = caja->windowTitle();
      texto = caja->text();
      icono = caja->icon();
      caja->buttons().first()->click();
    };
    DialogosQt d;
    alAparecer(mira);
    d.informacion(QStringLiteral("Header Info"), QString::fromUtf8("Información"));
    QCOMPARE(titulo, QStringLiteral("Header Info"));
    QCOMPARE(texto, QString::fromUtf8("Información"));
    QCOMPARE(icono, QMessageBox::Information);

    alAparecer(mira);
    d.error(QStringLiteral("Dravoni"), QStringLiteral("Cannot open x"));
    QCOMPARE(icono, QMessageBox::Critical);
    QCOMPARE(texto, QStringLiteral("Cannot open x"));

    alAparecer(mira);
    d.aviso(QStringLiteral("Dravoni"), QStringLiteral("short"));
    QCOMPARE(icono, QMessageBox::Warning);
  }

  void continueBoxHasOneButton() {
    QStringList botones;
    alAparecer([&](QWidget* w) {
      auto* caja = qobject_cast<QMessageBox*>(w);
      QVERIFY(caja);
      botones = textosBotones(caja);
      caja->buttons().first()->click();
    });
    DialogosQt().continuar(QStringLiteral("<p>Select</p>"));
    QCOMPARE(botones, QStringList{"Continue"});
  }

  void dataTypeDialogGivesTheCheckedCode() {
    alAparecer([](QWidget* w) {
      auto* d = qobject_cast<Dialog*>(w);
      QVERIFY(d);
      d->findChild<QRadioButton*>("botonUSHORT")->click();
      d->findChild<QPushButton*>("botonAceptar")->click();
    });
    QCOMPARE(DialogosQt().tipoDato(), 'u');
  }
};

QTEST_MAIN(PruebaDialogosQt)
#include "dialogos_test.moc"
