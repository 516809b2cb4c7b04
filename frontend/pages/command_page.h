#pragma once
// The Command page: a command typed and run (with the recent commands called back by Up and
// Down) and the console lines shown as the command history.
#include <optional>
#include <string>
#include <vector>

#include "frontend/core/tab_page.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace frontend {

inline constexpr int kRecentCommandsHelpContext = 1086;
inline constexpr int kRecentDirectoriesHelpContext = 1100;
inline constexpr int kSaveHistoryHelpContext = 1090;

// Up and Down in the command edit: which recent command (newest first) to show next.
class CommandRecall {
 public:
  // Up: the command at the position, then one older (after the oldest, the newest again).
  std::optional<std::string> Older(const std::vector<std::string>& recent);
  // Down: the command at the position, then one newer (after the newest, the oldest again).
  std::optional<std::string> Newer(const std::vector<std::string>& recent);
  // Typing starts again from the newest.
  void Reset() { position_ = 0; }

 private:
  size_t position_ = 0;
};

class Tcommandform : public TabPage {
 public:
  Tcommandform(const PageContext& context, QWidget* sheet);
  ~Tcommandform() override;

  QLineEdit* commandtorun() const { return edit_; }
  QPushButton* commandrun() const { return run_; }
  QPlainTextEdit* commandhistory() const { return history_; }

  void FocusFirstControl() override;

  void RunTyped();
  void RecentCommands();
  void RecentDirectories();
  void ClearHistory();
  void SaveHistoryAs();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowConsole();
  bool EditKey(const QKeyEvent& key);
  bool HistoryKey(const QKeyEvent& key);

  FrontEnd& frontEnd_;
  QLineEdit* edit_;
  QPushButton* run_;
  QPlainTextEdit* history_;
  CommandRecall recall_;
};

}  // namespace frontend
