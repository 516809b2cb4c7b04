#include "frontend/pages/edited_text.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "frontend/core/front_end.h"
#include "frontend/core/front_end_dialogs.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_format.h"
#include "frontend/pages/page_switches.h"
#include "frontend/pages/page_utilities.h"

namespace frontend {

bool SaveEditedText(FrontEnd& frontEnd, EditedText& text, const SaveAsChoice& saveAs, bool forceSaveAs) {
  if (!forceSaveAs && !text.modified) return true;
  if (!forceSaveAs) {
    const std::string question =
        text.fileName.empty() ? "Save your changes ?" : "Save changes to " + text.fileName + " ?";
    const BoxAnswer answer = YesNoCancelBox(frontEnd, question, kYes);
    if (answer == kNo) return true;
    if (answer == kCancel) return false;
  }
  std::string name = text.fileName;
  if (name.empty() || forceSaveAs) {
    if (!frontEnd.dialogs.askOutputName) return false;
    OutputNameRequest request;
    request.caption = "Save As Filename:";
    request.prompt = " Save your file as: ";
    request.button = "&Save";
    request.filter = saveAs.filter;
    request.helpContext = saveAs.helpContext;
    request.proposal = !text.fileName.empty() ? text.fileName
                                              : WithSeparator(saveAs.directory) + "untitled" + saveAs.extension;
    name = frontEnd.dialogs.askOutputName(request);
    if (name.empty()) return false;
  }
  if (!WriteTextLines(name, text.lines)) {
    ErrorBox(frontEnd, "Error, could not save file.");
    return false;
  }
  text.fileName = name;
  text.modified = false;
  return true;
}

void MemoFindText(FrontEnd& frontEnd, std::string& text, QPlainTextEdit& memo) {
  if (!frontEnd.dialogs.askText) return;
  const std::optional<std::string> typed =
      frontEnd.dialogs.askText({"Find Text:", "Find:", "&Find Next", text, 1098});
  if (!typed) return;
  text = *typed;
  // Offsets count UTF-16 units, as the editor's cursor does.
  const QString haystack = memo.toPlainText();
  const QString wanted = QString::fromStdString(text);
  if (wanted.isEmpty()) return;
  QTextCursor cursor = memo.textCursor();
  const int caret = cursor.hasSelection() ? cursor.selectionStart() : cursor.position();
  qsizetype found = haystack.indexOf(wanted, caret + 1, Qt::CaseInsensitive);
  if (found < 0) found = haystack.indexOf(wanted, 0, Qt::CaseInsensitive);
  if (found < 0) {
    InfoBox(frontEnd, "Find text was not found.");
    return;
  }
  cursor.setPosition(static_cast<int>(found));
  cursor.setPosition(static_cast<int>(found + wanted.size()), QTextCursor::KeepAnchor);
  memo.setTextCursor(cursor);
  memo.ensureCursorVisible();
}

void MemoGotoLine(FrontEnd& frontEnd, std::string& text, QPlainTextEdit& memo) {
  if (!frontEnd.dialogs.askText) return;
  const std::optional<std::string> typed =
      frontEnd.dialogs.askText({"Goto Line Number:", "Goto:", "&Goto", text, 1097});
  if (!typed) return;
  text = *typed;
  const std::optional<int32_t> line = WholeNumber(text, false);
  if (line && *line > 0 && *line <= memo.document()->blockCount()) {
    const QTextBlock block = memo.document()->findBlockByNumber(*line - 1);
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(block.position() + block.length() - 1);
    memo.setTextCursor(cursor);
    memo.ensureCursorVisible();
  }
  memo.setFocus();
}

}  // namespace frontend
