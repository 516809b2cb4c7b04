#pragma once
// The text editor for batch files, scripts and text: a memo with New, Open, Save, Save As and
// Close, the caret's line shown below it, and Find Text and Goto Line on its pop-up menu.
#include <optional>
#include <string>

#include <QString>

#include "frontend/files/dialog_window.h"

class QLabel;
class QPlainTextEdit;

namespace frontend {

inline constexpr int kEditorHelpContext = 1104;
inline constexpr int kEditorOpenHelpContext = 1105;
inline constexpr int kEditorSaveHelpContext = 1088;
inline constexpr const char* kEditorFilter =
    "Batch files (*.sbt)|*.sbt|VantScript files (*.ss)|*.ss|Text files (*.txt)|*.txt|All files (*.*)|*.*";

// The file the editor takes for a typed name: quotes removed, relative to the console
// directory, ".sbt" added when it has no extension (".SBT" when only that spelling exists). The
// name keeps its case. Empty for no name.
std::string EditorFileName(const FrontEnd& frontEnd, const std::string& name);

// Where a search for the needle (ignoring case) finds it, starting one character after `from`
// and wrapping to the start once; -1 when it is nowhere.
qsizetype FindTextFrom(const QString& text, const QString& needle, qsizetype from);

// The position at the end of line `line` (counted from 1); nothing for 0, a negative number or
// one beyond the last line.
std::optional<qsizetype> LineEndPosition(const QString& text, int line);

class Teditform : public DialogWindow {
 public:
  // `file` is a full name, or empty for an untitled text.
  Teditform(FrontEnd& frontEnd, const std::string& file);

  QPlainTextEdit* memo() const { return memo_; }
  QLabel* lineLabel() const { return line_; }
  const std::string& fileName() const { return fileName_; }
  bool modified() const;

  // Loads the file as the editor's file; a file that does not exist yet starts empty. A file
  // that cannot be read is told and leaves the editor untitled.
  void LoadFile(const std::string& file);
  void NewFile();
  void OpenFile();
  // False when nothing was saved (cancelled, or the write failed: then an error box told).
  bool Save();
  bool SaveAs();
  // The save question for a changed text: true when the editor may drop it.
  bool MayDiscard();
  void FindText();
  void GotoLine();

 protected:
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool SaveTo(bool askName);
  void UpdateCaption();
  void UpdateLine();
  void ShowMenu(const QPoint& at);

  QPlainTextEdit* memo_;
  QLabel* line_;
  std::string fileName_;
  bool latin1_ = false;  // the file was no UTF-8 text: it is written back byte for byte
  std::string findText_;
  std::string gotoText_;
};

// Opens the editor on the typed name (a new batch when it is empty) and waits until it closes.
void EditTextFile(FrontEnd& frontEnd, const std::string& name);

}  // namespace frontend
