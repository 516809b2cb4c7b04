#pragma once
// Texts edited in the front end's pages (the Scriptor's script): saving before they are left,
// and finding text and lines in the editor.
#include <string>

#include "frontend/core/scriptor_state.h"

class QPlainTextEdit;

namespace frontend {

class FrontEnd;

struct SaveAsChoice {
  int helpContext = 0;
  std::string extension;  // with its '.', for the proposal "untitled" + extension
  std::string filter;     // "description|mask|..."
  std::string directory;  // of the proposal
};

// True when the caller may go on (leave, start anew, open another): the text was saved, or the
// user chose not to save it. A modified text (or any when forceSaveAs) is offered for saving; a
// text without a name, or any when forceSaveAs, asks for a name first. A save that fails says
// so, keeps the modified mark and returns false, so that nothing unsaved is thrown away.
bool SaveEditedText(FrontEnd& frontEnd, EditedText& text, const SaveAsChoice& saveAs, bool forceSaveAs);

// Asks for the text to find (offering `text`, which remembers the answer) and selects the next
// match in the memo, ignoring case, from one character after the caret and then once from the
// start; or says "Find text was not found.".
void MemoFindText(FrontEnd& frontEnd, std::string& text, QPlainTextEdit& memo);
// Asks for a line number (offering `text`, which remembers the answer) and puts the caret at the
// end of that line (no move for 0, a line past the last or text that is no number); the memo
// gets the focus.
void MemoGotoLine(FrontEnd& frontEnd, std::string& text, QPlainTextEdit& memo);

}  // namespace frontend
