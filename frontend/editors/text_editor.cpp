#include "frontend/editors/text_editor.h"

#include <sys/stat.h>

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextBlock>
#include <QVBoxLayout>

#include "frontend/core/basic_console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/ini_file.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/dialogs_open.h"
#include "platform/face/dialogs.h"
#include "platform/gui/window_placement.h"
#include "platform/system/wildcard.h"

namespace frontend {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string EditorFileName(const FrontEnd& frontEnd, const std::string& name) {
  const std::string path = ConsolePath(frontEnd, name);
  if (path.empty() || !platform::SplitName(path).extension.empty()) return path;
  return Exists(path + ".sbt") || !Exists(path + ".SBT") ? path + ".sbt" : path + ".SBT";
}

qsizetype FindTextFrom(const QString& text, const QString& needle, qsizetype from) {
  if (needle.isEmpty()) return -1;
  const qsizetype start = std::min(from + 1, text.size());
  const qsizetype found = text.indexOf(needle, start, Qt::CaseInsensitive);
  if (found >= 0) return found;
  return text.indexOf(needle, 0, Qt::CaseInsensitive);
}

std::optional<qsizetype> LineEndPosition(const QString& text, int line) {
  if (line <= 0) return std::nullopt;
  qsizetype start = 0;
  for (int n = 1; n < line; ++n) {
    const qsizetype next = text.indexOf(QLatin1Char('\n'), start);
    if (next < 0) return std::nullopt;
    start = next + 1;
  }
  const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
  return end < 0 ? text.size() : end;
}

Teditform::Teditform(FrontEnd& frontEnd, const std::string& file)
    : DialogWindow(frontEnd, kEditorHelpContext, ""),
      memo_(new QPlainTextEdit(this)),
      line_(new QLabel(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo_);
  auto* row = new QHBoxLayout;
  row->addWidget(line_, 1);
  const struct {
    const char* caption;
    std::function<void()> action;
  } buttons[] = {{"&New", [this] { NewFile(); }},       {"&Open", [this] { OpenFile(); }},
                 {"&Save", [this] { Save(); }},         {"Save &As", [this] { SaveAs(); }},
                 {"&Close", [this] { reject(); }}};
  for (const auto& entry : buttons) {
    auto* button = new QPushButton(QString::fromUtf8(entry.caption), this);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [action = entry.action] { action(); });
    row->addWidget(button);
  }
  QPushButton* help = MakeHelpButton();
  row->addWidget(help);
  layout->addLayout(row);

  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setContextMenuPolicy(Qt::CustomContextMenu);
  memo_->installEventFilter(this);
  QObject::connect(memo_, &QPlainTextEdit::customContextMenuRequested, [this](const QPoint& at) { ShowMenu(at); });
  QObject::connect(memo_, &QPlainTextEdit::cursorPositionChanged, [this] { UpdateLine(); });
  QObject::connect(memo_->document(), &QTextDocument::modificationChanged, [this] { UpdateCaption(); });
  resize(platform::ScaledForFont(QSize(640, 420), fontMetrics()));

  LoadFile(file);
}

bool Teditform::modified() const { return memo_->document()->isModified(); }

void Teditform::UpdateCaption() {
  setWindowTitle(ShownText("Vantrel Text Editor: " + (fileName_.empty() ? std::string("Untitled") : fileName_)));
}

void Teditform::UpdateLine() {
  if (!memo_->hasFocus()) return;
  line_->setText(ShownText(" Line: " + FormatThousands(memo_->textCursor().blockNumber() + 1,
                                                     frontEnd().thousandsSeparator)));
}

void Teditform::LoadFile(const std::string& file) {
  fileName_ = file;
  latin1_ = false;
  QString text;
  if (!file.empty() && Exists(file)) {
    const std::optional<std::string> bytes = LoadTextFile(file);
    if (!bytes) {
      ErrorBox(frontEnd(), "Error, cannot open file: " + file);
      fileName_.clear();
    } else {
      QStringDecoder utf8(QStringDecoder::Utf8);
      text = utf8(QByteArray::fromStdString(*bytes));
      if (utf8.hasError()) {
        latin1_ = true;
        text = QString::fromLatin1(bytes->data(), static_cast<qsizetype>(bytes->size()));
      }
      text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
  }
  memo_->setPlainText(text);
  memo_->document()->setModified(false);
  UpdateCaption();
}

void Teditform::NewFile() {
  if (!MayDiscard()) return;
  LoadFile("");
}

void Teditform::OpenFile() {
  if (!MayDiscard()) return;
  OpenRequest request;
  request.filter = kEditorFilter;
  request.startFile = fileName_.empty() ? WithSeparator(frontEnd().ConsoleDirectory()) + "untitled" : fileName_;
  request.helpContext = kEditorOpenHelpContext;
  const OpenResult chosen = OpenFileDialog(frontEnd(), request);
  if (!chosen.file.empty()) LoadFile(chosen.file);
}

bool Teditform::Save() { return SaveTo(false); }
bool Teditform::SaveAs() { return SaveTo(true); }

bool Teditform::SaveTo(bool askName) {
  std::string name = fileName_;
  if (askName || name.empty()) {
    if (!frontEnd().dialogs.askOutputName) return false;
    OutputNameRequest request;
    request.caption = "Save As Filename:";
    request.prompt = " Save your file as: ";
    request.button = "&Save";
    request.proposal = name.empty() ? WithSeparator(frontEnd().ConsoleDirectory()) + "untitled.sbt" : name;
    request.filter = kEditorFilter;
    request.helpContext = kEditorSaveHelpContext;
    name = frontEnd().dialogs.askOutputName(request);
    if (name.empty()) return false;
  }
  const QString text = memo_->toPlainText();
  const QByteArray bytes = latin1_ ? text.toLatin1() : text.toUtf8();
  if (!SaveTextFile(name, bytes.toStdString())) {
    ErrorBox(frontEnd(), "Error, could not save file.");
    return false;
  }
  fileName_ = name;
  memo_->document()->setModified(false);
  UpdateCaption();
  return true;
}

bool Teditform::MayDiscard() {
  if (!modified()) return true;
  const std::string question = fileName_.empty() ? "Save your changes ?" : "Save changes to " + fileName_ + " ?";
  switch (YesNoCancelBox(frontEnd(), question, kYes)) {
    case kNo: return true;
    case kYes: return Save();
    default: return false;
  }
}

void Teditform::reject() {
  if (MayDiscard()) QDialog::reject();
}

void Teditform::FindText() {
  if (!frontEnd().dialogs.askText) return;
  const std::optional<std::string> typed =
      frontEnd().dialogs.askText({"Find Text:", "Find:", "&Find Next", findText_, 1098});
  if (!typed) return;
  findText_ = *typed;
  const QString needle = ShownText(findText_);
  const qsizetype found = FindTextFrom(memo_->toPlainText(), needle, memo_->textCursor().selectionStart());
  if (found < 0) {
    InfoBox(frontEnd(), "Find text was not found.");
    return;
  }
  QTextCursor cursor = memo_->textCursor();
  cursor.setPosition(static_cast<int>(found));
  cursor.setPosition(static_cast<int>(found + needle.size()), QTextCursor::KeepAnchor);
  memo_->setTextCursor(cursor);
  memo_->ensureCursorVisible();
}

void Teditform::GotoLine() {
  if (!frontEnd().dialogs.askText) return;
  const std::optional<std::string> typed =
      frontEnd().dialogs.askText({"Goto Line Number:", "Goto:", "&Goto", gotoText_, 1097});
  if (!typed) return;
  gotoText_ = *typed;
  const std::optional<int32_t> line = ParseInteger(gotoText_);
  const std::optional<qsizetype> end = line ? LineEndPosition(memo_->toPlainText(), *line) : std::nullopt;
  if (end) {
    QTextCursor cursor = memo_->textCursor();
    cursor.setPosition(static_cast<int>(*end));
    memo_->setTextCursor(cursor);
    memo_->ensureCursorVisible();
  }
  memo_->setFocus();
}

void Teditform::ShowMenu(const QPoint& at) {
  QMenu menu(this);
  QObject::connect(menu.addAction(QStringLiteral("&Undo")), &QAction::triggered, memo_, &QPlainTextEdit::undo);
  QObject::connect(menu.addAction(QStringLiteral("Cu&t")), &QAction::triggered, memo_, &QPlainTextEdit::cut);
  QObject::connect(menu.addAction(QStringLiteral("&Copy")), &QAction::triggered, memo_, &QPlainTextEdit::copy);
  QObject::connect(menu.addAction(QStringLiteral("&Paste")), &QAction::triggered, memo_, &QPlainTextEdit::paste);
  menu.addSeparator();
  QObject::connect(menu.addAction(QStringLiteral("&Find Text")), &QAction::triggered, [this] { FindText(); });
  QObject::connect(menu.addAction(QStringLiteral("&Goto Line")), &QAction::triggered, [this] { GotoLine(); });
  menu.exec(memo_->mapToGlobal(at));
}

bool Teditform::eventFilter(QObject* watched, QEvent* event) {
  if (watched == memo_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_PageDown && key->modifiers().testFlag(Qt::ControlModifier)) {
      memo_->moveCursor(QTextCursor::End);
      return true;
    }
  }
  if (watched == memo_ && event->type() == QEvent::FocusIn) UpdateLine();
  return DialogWindow::eventFilter(watched, event);
}

void EditTextFile(FrontEnd& frontEnd, const std::string& name) {
  if (!platform::DialogsAreInteractive()) return;  // nobody could edit here
  Teditform editor(frontEnd, EditorFileName(frontEnd, name));
  editor.Run();
}

}  // namespace frontend
