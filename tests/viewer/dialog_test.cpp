#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialog.h"

class PruebaDialog : public QObject {
  Q_OBJECT

 private slots:
  void layoutAndTitle() {
    Dialog d;
    QCOMPARE(d.windowTitle(), QStringLiteral("Tipo Format"));
    auto* rejilla = qobject_cast<QGridLayout*>(d.layout());
    QVERIFY(rejilla);
    const char* const textos[] = {"UCHAR", "USHORT", "SHORT", "FLOAT", "Aceptar"};
    for (int fila = 0; fila < 5; ++fila) {
      auto* b = qobject_cast<QAbstractButton*>(rejilla->itemAtPosition(fila, 0)->widget());
      QVERIFY(b);
      QCOMPARE(b->text(), QString::fromLatin1(textos[fila]));
    }
    QVERIFY(d.findChild<QRadioButton*>("botonSHORT")->isChecked());
    const QMetaObject* mo = d.metaObject();
    QCOMPARE(mo->className(), "Dialog");
    QCOMPARE(mo->methodCount() - mo->methodOffset(), 1);
    QCOMPARE(mo->method(mo->methodOffset()).methodSignature(), QByteArray("aceptarTipo()"));
  }

  void chosenType_data() {
    QTest::addColumn<QString>("boton");
    QTest::addColumn<bool>("porElMarco");
    QTest::addColumn<char>("codigo");
    QTest::newRow("unchanged, accepted") << "" << false << 's';
    QTest::newRow("FLOAT, accepted") << "botonFLOAT" << false << 'f';
    QTest::newRow("UCHAR, accepted") << "botonUCHAR" << false << 'c';
    QTest::newRow("USHORT, accepted") << "botonUSHORT" << false << 'u';
    QTest::newRow("unchanged, closed by the frame") << "" << true << 's';
    QTest::newRow("UCHAR, closed by the frame") << "botonUCHAR" << true << 'c';
  }
  void chosenType() {
    QFETCH(QString, boton);
    QFETCH(bool, porElMarco);
    QFETCH(char, codigo);
    Dialog d;
    d.show();
    if (!boton.isEmpty()) d.findChild<QRadioButton*>(boton)->click();
    if (porElMarco)
      d.close();
    else
      d.findChild<QPushButton*>("botonAceptar")->click();
    QVERIFY(!d.isVisible());
    QCOMPARE(d.tipo(), codigo);
  }
};

QTEST_MAIN(PruebaDialog)
#include "dialog_test.moc"
