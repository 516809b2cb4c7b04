#pragma once
// The one-line prompt of the editors' "&Find Text" and "&Goto Line" and the menus' questions
// for a name.
#include <optional>
#include <string>

#include "frontend/core/front_end_dialogs.h"
#include "frontend/files/dialog_window.h"

class QLabel;
class QLineEdit;

namespace frontend {

class Tstrwin : public DialogWindow {
 public:
  Tstrwin(FrontEnd& frontEnd, const TextRequest& request);

  QLabel* label() const { return label_; }
  QLineEdit* strtext() const { return strtext_; }
  QPushButton* confirmButton() const { return confirm_; }
  QPushButton* cancelButton() const { return cancel_; }

  // Both buttons keep the text; only the confirming one ("&Find Next") sets the flag.
  const std::string& text() const { return text_; }
  bool confirmed() const { return confirmed_; }

 private:
  void Store(bool confirmed);

  QLabel* label_;
  QLineEdit* strtext_;
  QPushButton* confirm_;
  QPushButton* cancel_;
  std::string text_;
  bool confirmed_ = false;
};

// The typed text when confirmed, else nothing. The window is shown when someone can see it;
// otherwise the dialog service answers.
std::optional<std::string> AskText(FrontEnd& frontEnd, const TextRequest& request);

}  // namespace frontend
