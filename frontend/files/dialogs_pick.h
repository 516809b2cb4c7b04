#pragma once
// The pick-from-list window: recent files and directories, found files, recent commands.
#include <optional>
#include <string>

#include "frontend/core/front_end_dialogs.h"
#include "frontend/files/dialog_window.h"

class QListWidget;

namespace frontend {

class Tlistwin : public DialogWindow {
 public:
  Tlistwin(FrontEnd& frontEnd, const PickRequest& request);

  QListWidget* List() const { return list_; }
  QPushButton* selectButton() const { return select_; }

  // The entry chosen with "&Select" or a double click; empty after "&Cancel".
  const std::string& picked() const { return picked_; }

 private:
  void Pick();

  QListWidget* list_;
  QPushButton* select_;
  std::string picked_;
};

// The picked entry, or nothing. The window is shown when someone can see it; otherwise the
// dialog service answers.
std::optional<std::string> PickFromList(FrontEnd& frontEnd, const PickRequest& request);

}  // namespace frontend
