#pragma once
// The about box: the product and its version, what it is, and where its maker is.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace frontend {

inline constexpr const char* kAboutCaption = "About Vantrel for Windows...";
inline constexpr const char* kVersionLine = "Vantrel for Windows  Version 3.0 k";

class Taboutwin : public QDialog {
 public:
  explicit Taboutwin(QWidget* owner);

  QPlainTextEdit& description() { return *description_; }
  QPlainTextEdit& address() { return *address_; }
  QPushButton& closeButton() { return *close_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* description_;
  QPlainTextEdit* address_;
  QPushButton* close_;
};

}  // namespace frontend
