#include "frontend/pages/script_page.h"

#include <QAction>
#include <QEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/tab_page.h"
#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/pages/page_widgets.h"
#include "frontend/pages/script_command.h"

namespace frontend {
namespace {

QString Shown(const std::string& text) { return QString::fromStdString(text); }

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
  return text;
}

// Escape in the memo goes back to the Main tab.
class EscapeGoesBack : public QObject {
 public:
  EscapeGoesBack(QObject* parent, FrontEnd& frontEnd) : QObject(parent), frontEnd_(frontEnd) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
    frontEnd_.requests.Post(kMainTab);
    return true;
  }

 private:
  FrontEnd& frontEnd_;
};

}  // namespace

Tscriptform::Tscriptform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd) {
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("scripttab"));
  pages_->addTab(MakeFilePage(), QStringLiteral("Script Handling"));
  pages_->addTab(MakeEditPage(), Shown(EditPageCaption("")));

  new_ = Button(this, "&New", [this] { NewPressed(); });
  edit_ = Button(this, "&Edit", [this] { EditOrSavePressed(); });
  run_ = Button(this, "&Run", [this] { RunPressed(); });
  saveAs_ = Button(this, "Save &As", [this] { SaveAsPressed(); });
  std::vector<QPushButton*> buttonRow = {new_, edit_, run_, saveAs_};
  for (QPushButton* button : HelpAndBackButtons(this, frontEnd_)) buttonRow.push_back(button);

  line_ = new QLabel(this);
  line_->setObjectName(QStringLiteral("scriptline"));
  line_->setFrameShape(QFrame::Panel);
  line_->setFrameShadow(QFrame::Sunken);
  line_->setMinimumWidth(110);
  auto* body = new QVBoxLayout;
  body->addWidget(pages_);
  LayOutPage(this, body, buttonRow, line_);

  files_->onSelectionChanged = Guarded([this] { SelectionChanged(); });
  files_->onFileActivated = Guarded([this] { RunPressed(); });

  const ScriptSettings& saved = frontEnd_.settings.script;
  RestoreFileListState(frontEnd_, context.menus, *files_, kScriptFilter, saved.filter, saved.directory, saved.filename);
  const ScriptorState& held = frontEnd_.scriptor;
  memo_->setPlainText(Shown(JoinLines(held.script.lines)));
  memo_->document()->setModified(held.script.modified);
  QTextCursor caret = memo_->textCursor();
  caret.setPosition(std::clamp(held.caret, 0, static_cast<int>(memo_->document()->characterCount()) - 1));
  memo_->setTextCursor(caret);
  pages_->setTabText(kEditPage, Shown(EditPageCaption(held.script.fileName)));
  {
    const QSignalBlocker quiet(pages_);
    pages_->setCurrentIndex(held.page == kEditPage ? kEditPage : kFilePage);
  }
  QObject::connect(pages_, &QTabWidget::currentChanged, Guarded([this] { PageChanged(); }));
  QObject::connect(memo_, &QPlainTextEdit::cursorPositionChanged, [this] { ShowLine(); });
  PageChanged();
}

QWidget* Tscriptform::MakeFilePage() {
  auto* page = new QWidget;
  auto* group = new QGroupBox(QStringLiteral(" Highlight &VantScript program: "), page);
  files_ = new FileControls(group);
  (new QVBoxLayout(group))->addWidget(files_);
  auto* notes = new QVBoxLayout;
  // The buttons named here are only named: no ampersand, which a label would show as it stands.
  for (const char* text : {"Highlight a script and press \"Run\" to play it, or \"Edit\" to change it.",
                           "\"New\" starts an empty script on the editing page.",
                           "Right click in the editor for its options; Ctrl+F1 there gives help on the "
                           "command under the caret."}) {
    auto* label = new QLabel(QString::fromUtf8(text), page);
    label->setWordWrap(true);
    notes->addWidget(label);
  }
  notes->addStretch();
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(group, 3);
  layout->addLayout(notes, 2);
  return page;
}

QWidget* Tscriptform::MakeEditPage() {
  auto* page = new QWidget;
  memo_ = new QPlainTextEdit(page);
  memo_->setObjectName(QStringLiteral("scriptmemo"));
  memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setToolTip(QStringLiteral("Right click for edit options."));
  EndOnCtrlPageDown(*memo_);
  memo_->installEventFilter(new EscapeGoesBack(memo_, frontEnd_));
  MakeMemoMenu();
  (new QVBoxLayout(page))->addWidget(memo_);
  return page;
}

void Tscriptform::MakeMemoMenu() {
  auto* menu = new QMenu(memo_);
  // The editor's own keys do these; the menu only shows them.
  const std::pair<const char*, QKeySequence::StandardKey> edits[] = {
      {"&Undo", QKeySequence::Undo}, {"Cu&t", QKeySequence::Cut}, {"&Copy", QKeySequence::Copy},
      {"&Paste", QKeySequence::Paste}};
  const std::function<void()> editActions[] = {[this] { memo_->undo(); }, [this] { memo_->cut(); },
                                               [this] { memo_->copy(); }, [this] { memo_->paste(); }};
  for (size_t i = 0; i < std::size(edits); ++i) {
    QAction* action = menu->addAction(QString::fromUtf8(edits[i].first));
    action->setShortcut(edits[i].second);
    QObject::connect(action, &QAction::triggered, editActions[i]);
  }
  menu->addSeparator();
  struct Own {
    const char* caption;
    QKeySequence keys;
    std::function<void()> run;
  };
  const Own own[] = {
      {"&Find Text", QKeySequence(Qt::CTRL | Qt::Key_F),
       [this] { MemoFindText(frontEnd_, frontEnd_.settings.script.findText, *memo_); }},
      {"&Goto Line", QKeySequence(Qt::CTRL | Qt::Key_G),
       [this] { MemoGotoLine(frontEnd_, frontEnd_.settings.script.gotoLine, *memo_); }},
      {"Help on Current Command", QKeySequence(Qt::CTRL | Qt::Key_F1), [this] { HelpOnCurrentCommand(); }},
  };
  for (const Own& entry : own) {
    QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
    action->setShortcut(entry.keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    memo_->addAction(action);
    QObject::connect(action, &QAction::triggered, Guarded(entry.run));
  }
  memo_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(memo_, &QWidget::customContextMenuRequested,
                   [this, menu](const QPoint& at) { menu->popup(memo_->mapToGlobal(at)); });
}

void Tscriptform::SaveSettings() {
  ScriptSettings& saved = frontEnd_.settings.script;
  SaveFileListState(*files_, saved.filename, saved.directory);
  saved.filter = files_->FilterIndex();
  TakeMemo();
  frontEnd_.scriptor.page = pages_->currentIndex();
  frontEnd_.scriptor.caret = memo_->textCursor().position();
}

void Tscriptform::RefreshFileLists() { RefreshFileList(*files_); }

void Tscriptform::FocusFirstControl() {
  if (pages_->currentIndex() == kEditPage) {
    memo_->setFocus();
  } else {
    files_->fileList()->setFocus();
  }
}

bool Tscriptform::MayClose() { return ConfirmSave(false); }

void Tscriptform::PageChanged() {
  const bool editing = pages_->currentIndex() == kEditPage;
  line_->setVisible(editing);
  edit_->setText(editing ? QStringLiteral("&Save") : QStringLiteral("&Edit"));
  saveAs_->setEnabled(editing);
  if (editing) {
    edit_->setEnabled(true);
    run_->setEnabled(true);
    shownLine_ = 0;
    ShowLine();
    memo_->setFocus();
  } else {
    SelectionChanged();
  }
}

void Tscriptform::SelectionChanged() {
  if (pages_->currentIndex() == kEditPage) return;
  const bool selected = !files_->SelectedPath().empty();
  edit_->setEnabled(selected);
  run_->setEnabled(selected);
}

void Tscriptform::ShowLine() {
  const int line = memo_->textCursor().blockNumber() + 1;
  if (line == shownLine_) return;
  shownLine_ = line;
  line_->setText(Shown(LineIndicator(line, frontEnd_.thousandsSeparator)));
}

void Tscriptform::TakeMemo() {
  EditedText& script = frontEnd_.scriptor.script;
  script.lines = SplitLines(memo_->toPlainText().toStdString());
  script.modified = memo_->document()->isModified();
}

void Tscriptform::ShowHeldState() {
  const EditedText& script = frontEnd_.scriptor.script;
  memo_->document()->setModified(script.modified);
  pages_->setTabText(kEditPage, Shown(EditPageCaption(script.fileName)));
}

bool Tscriptform::ConfirmSave(bool forceSaveAs) {
  TakeMemo();
  const bool goOn = ConfirmHeldScriptSave(frontEnd_, forceSaveAs, files_->Directory());
  ShowHeldState();
  return goOn;
}

void Tscriptform::ShowScript(const std::string& fileName, const std::string& text) {
  EditedText& script = frontEnd_.scriptor.script;
  script.fileName = fileName;
  script.lines = SplitLines(text);
  script.modified = false;
  memo_->setPlainText(Shown(JoinLines(script.lines)));
  ShowHeldState();
  pages_->setCurrentIndex(kEditPage);
}

void Tscriptform::NewPressed() {
  if (!ConfirmSave(false)) return;
  ShowScript("", "");
}

void Tscriptform::EditOrSavePressed() {
  if (pages_->currentIndex() == kFilePage) {
    const std::string selected = files_->SelectedPath();
    if (selected.empty() || !ConfirmSave(false)) return;
    const std::optional<std::string> text = LoadTextFile(selected);
    if (!text) {
      ErrorBox(frontEnd_, "Error, could not open " + selected + ".");
      return;
    }
    ShowScript(selected, *text);
    AddRecentFile(frontEnd_.settings, selected);
    return;
  }
  TakeMemo();
  EditedText& script = frontEnd_.scriptor.script;
  if (script.fileName.empty()) {
    if (!ConfirmSave(true)) return;
  } else if (WriteTextLines(script.fileName, script.lines)) {
    script.modified = false;
    ShowHeldState();
  } else {
    ErrorBox(frontEnd_, "Error, could not save file.");
    return;
  }
  AddRecentFile(frontEnd_.settings, script.fileName);
  RefreshFileList(*files_);
}

void Tscriptform::RunPressed() {
  if (pages_->currentIndex() == kFilePage) {
    const std::string selected = files_->SelectedPath();
    if (!selected.empty()) RunScript(selected);
    return;
  }
  // A save that was cancelled or failed leaves the file on disk behind the memo: nothing runs.
  if (!ConfirmSave(false)) return;
  const std::string& script = frontEnd_.scriptor.script.fileName;
  if (script.empty()) {
    ErrorBox(frontEnd_, "Error: this script hasn't been saved yet.");
    return;
  }
  RunScript(script);
}

void Tscriptform::RunScript(const std::string& script) {
  const std::string directory = DirectoryPart(script);
  RunCommand(frontEnd_, directory, BuildScriptCommand(script, directory));
  AddRecentFile(frontEnd_.settings, script);
}

void Tscriptform::SaveAsPressed() {
  if (!ConfirmSave(true)) return;
  AddRecentFile(frontEnd_.settings, frontEnd_.scriptor.script.fileName);
  RefreshFileList(*files_);
}

void Tscriptform::HelpOnCurrentCommand() {
  const QTextCursor caret = memo_->textCursor();
  QString text = caret.hasSelection() ? caret.selectedText() : caret.block().text();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  const std::string word = ScriptHelpWord(text.toStdString());
  if (!word.empty()) ShowHelpKeyword(frontEnd_, "VantScript: " + word);
}

}  // namespace frontend
