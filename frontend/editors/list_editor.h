#pragma once
// The list file editor: the lines of a list file (one input per line, each with an optional
// first and last frame) in a list box, with frame fields for the selected line and buttons to
// insert, remove and move lines.
#include <string>
#include <vector>

#include "frontend/files/dialog_window.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace frontend {

class FileControls;

inline constexpr int kListEditorHelpContext = 1110;
inline constexpr const char* kListFileFilter = "List Files (*.lst)|*.lst|All files (*.*)|*.*";
// The Graphics Processor page's filter: what a list of pictures and videos may name.
inline constexpr const char* kGraphicsFilter =
    "Graphics files|*.avi;*.flc;*.fli;*.vnt;*.tga;*.bmp;*.jpg;*.pcx;*.tif;*.gif;*.lst|"
    "AVI files only|*.avi|Flic files only|*.flc;*.fli|Vant files only|*.vnt|TGA files only|*.tga|"
    "BMP files only|*.bmp|JPG files only|*.jpg|PCX files only|*.pcx|TIF files only|*.tif|"
    "GIF files only|*.gif|\"List of graphics files\" files only|*.lst|All files *.*|*.*";

class Tlistedit : public DialogWindow {
 public:
  // `file` is a full name; the lines are the list's.
  Tlistedit(FrontEnd& frontEnd, const std::string& file, std::vector<std::string> lines, bool modified);

  QListWidget* lst() const { return list_; }
  QLineEdit* fstart() const { return start_; }
  QLineEdit* fend() const { return end_; }

  const std::string& fileName() const { return fileName_; }
  bool modified() const { return modified_; }
  // The name to use once the editor is closed: empty when the user declined to save.
  std::string result() const { return discarded_ ? std::string() : fileName_; }
  std::vector<std::string> Lines() const;

  void SelectLine(int row);
  // A typed start or end frame ('s' or 'e') rewrites the selected line.
  void EditFrame(char field, const std::string& typed);
  void InsertFiles();
  void RemoveLine();
  void MoveLine(int step);
  // False when nothing was saved (cancelled, or the write failed and an error box told).
  bool SaveListAs();
  // Whether the editor may close: asks to save a changed list. Declining empties the name
  // the editor gives back.
  bool AskSaveList();

 protected:
  void reject() override;

 private:
  bool SaveTo(const std::string& name, const std::string& failure);
  void ShowFrames();
  void SetModified();
  void UpdateCaption();

  QListWidget* list_;
  QLineEdit* start_;
  QLineEdit* end_;
  QPushButton* close_;
  std::string fileName_;
  bool modified_;
  bool discarded_ = false;
};

// Opens the editor on the list file (relative names lie in the console directory); gives the
// name to use afterwards, empty when the user closed it discarding changes.
std::string EditListFile(FrontEnd& frontEnd, const std::string& file);

// A new list "untitled.lst" in the file controls' directory holding the highlighted files, in
// the editor; gives the name it was saved as, or empty.
std::string NewListFromSelection(FrontEnd& frontEnd, FileControls& controls);

}  // namespace frontend
