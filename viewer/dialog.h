#pragma once

#include <QDialog>

class QRadioButton;

// The sample type of an Analyze save: 'c' UCHAR, 'u' USHORT, 's' SHORT,
// 'f' FLOAT. SHORT is checked at first.
class Dialog : public QDialog {
  Q_OBJECT

 public:
  explicit Dialog(QWidget* parent = nullptr);
  // After the dialog has closed: the accepted code, or, when it was closed
  // through its frame, the code of the checked button.
  char tipo() const { return tipo_; }

 public slots:
  void aceptarTipo();

 protected:
  void done(int resultado) override;

 private:
  char codigoMarcado() const;

  char tipo_ = 's';
  QRadioButton* uchar_;
  QRadioButton* ushort_;
  QRadioButton* short_;
  QRadioButton* float_;
};
