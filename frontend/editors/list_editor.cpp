#include "frontend/editors/list_editor.h"

#include <sys/stat.h>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/core/basic_console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"
#include "frontend/editors/list_lines.h"
#include "frontend/files/dialogs_open.h"
#include "frontend/files/file_controls.h"
#include "platform/face/dialogs.h"
#include "platform/gui/window_placement.h"

namespace frontend {
namespace {

// Each item keeps its line byte for byte; the list shows it as text.
void SetLine(QListWidgetItem* item, const std::string& line) {
  item->setData(Qt::UserRole, QByteArray::fromStdString(line));
  item->setText(ShownText(line));
}

std::string LineOf(const QListWidgetItem* item) {
  return item->data(Qt::UserRole).toByteArray().toStdString();
}

QListWidgetItem* NewLine(const std::string& line) {
  auto* item = new QListWidgetItem;
  SetLine(item, line);
  return item;
}

// How many characters the list and the frame fields show at the least.
constexpr int kListCharacters = 36;
constexpr int kFrameCharacters = 10;

QPushButton* Button(const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

Tlistedit::Tlistedit(FrontEnd& frontEnd, const std::string& file, std::vector<std::string> lines,
                     bool modified)
    : DialogWindow(frontEnd, kListEditorHelpContext, ""),
      list_(new QListWidget(this)),
      start_(new QLineEdit(this)),
      end_(new QLineEdit(this)),
      close_(Button("&Close", this)),
      fileName_(file),
      modified_(modified) {
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral(" &Process a list of files: "), this);
  auto* groupLayout = new QHBoxLayout(group);
  groupLayout->addWidget(list_, 1);
  // The list takes what the frame fields and the buttons beside it leave: a typical line whole.
  list_->setMinimumWidth(fontMetrics().averageCharWidth() * kListCharacters);
  auto* side = new QVBoxLayout;
  auto* frames = new QGridLayout;
  frames->addWidget(new QLabel(QStringLiteral("Start frame: "), group), 0, 0);
  frames->addWidget(start_, 0, 1);
  frames->addWidget(new QLabel(QStringLiteral("End frame: "), group), 1, 0);
  frames->addWidget(end_, 1, 1);
  for (QLineEdit* frame : {start_, end_}) frame->setMaximumWidth(fontMetrics().averageCharWidth() * kFrameCharacters);
  side->addLayout(frames);
  const struct {
    const char* caption;
    std::function<void()> action;
  } buttons[] = {{"&Insert", [this] { InsertFiles(); }},
                 {"&Remove", [this] { RemoveLine(); }},
                 {"Move &Up", [this] { MoveLine(-1); }},
                 {"Move &Down", [this] { MoveLine(1); }}};
  for (const auto& entry : buttons) {
    QPushButton* button = Button(entry.caption, group);
    QObject::connect(button, &QPushButton::clicked, this, [action = entry.action] { action(); });
    side->addWidget(button);
  }
  side->addStretch();
  groupLayout->addLayout(side);
  layout->addWidget(group);
  QPushButton* saveAs = Button("Save &As", this);
  layout->addLayout(ButtonRow({close_, saveAs}));
  QObject::connect(close_, &QPushButton::clicked, this, [this] { reject(); });
  QObject::connect(saveAs, &QPushButton::clicked, this, [this] { SaveListAs(); });

  for (const std::string& line : lines) list_->addItem(NewLine(line));
  QObject::connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowFrames(); });
  QObject::connect(start_, &QLineEdit::textEdited, this,
                   [this](const QString& text) { EditFrame('s', TextOf(text)); });
  QObject::connect(end_, &QLineEdit::textEdited, this,
                   [this](const QString& text) { EditFrame('e', TextOf(text)); });
  SelectLine(0);
  UpdateCaption();

  resize(platform::ScaledForFont(QSize(560, 300), fontMetrics()));
}

std::vector<std::string> Tlistedit::Lines() const {
  std::vector<std::string> lines;
  for (int row = 0; row < list_->count(); ++row) lines.push_back(LineOf(list_->item(row)));
  return lines;
}

void Tlistedit::UpdateCaption() { setWindowTitle(ShownText("List File Editor - " + NamePart(fileName_))); }

void Tlistedit::SetModified() { modified_ = true; }

void Tlistedit::SelectLine(int row) {
  if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
  ShowFrames();
}

void Tlistedit::ShowFrames() {
  const QListWidgetItem* item = list_->currentItem();
  const ListLine line = item ? ReadListLine(LineOf(item)) : ListLine{};
  start_->setText(line.start ? QString::number(*line.start) : QString());
  end_->setText(line.end ? QString::number(*line.end) : QString());
}

void Tlistedit::EditFrame(char field, const std::string& typed) {
  QListWidgetItem* item = list_->currentItem();
  if (!item) return;
  const FrameEdit edit = SetFrameField(LineOf(item), field, typed);
  SetLine(item, edit.line);
  if (edit.changed) SetModified();
}

void Tlistedit::InsertFiles() {
  OpenRequest request;
  request.caption = "Insert files:";
  request.prompt = " Highlight files to insert: ";
  request.button = "&Insert";
  request.filter = kGraphicsFilter;
  request.multiSelect = true;
  request.startFile = DirectoryPart(fileName_);
  request.helpContext = kListEditorHelpContext;
  const OpenResult chosen = OpenFileDialog(frontEnd(), request);
  if (chosen.file.empty()) return;
  // A file of the list's own directory is named as it stands; one from elsewhere keeps its
  // directory, or the tools would look for it in the wrong place.
  const std::string directory = DirectoryPart(chosen.file);
  const bool here = WithSeparator(directory) == WithSeparator(DirectoryPart(fileName_));
  const int at = std::max(list_->currentRow(), 0);
  int row = at;
  for (const std::string& name : chosen.selected) {
    list_->insertItem(row++, NewLine(WriteListLine(here ? name : directory + name)));
  }
  if (row == at) return;
  SetModified();
  SelectLine(at);
}

void Tlistedit::RemoveLine() {
  const int row = list_->currentRow();
  if (row < 0) return;
  delete list_->takeItem(row);
  SetModified();
  SelectLine(std::max(row - 1, 0));
}

void Tlistedit::MoveLine(int step) {
  const int row = list_->currentRow();
  const int target = row + step;
  if (row < 0 || target < 0 || target >= list_->count()) return;
  QListWidgetItem* item = list_->takeItem(row);
  list_->insertItem(target, item);
  SetModified();
  SelectLine(target);
}

bool Tlistedit::SaveTo(const std::string& name, const std::string& failure) {
  if (!SaveTextFile(name, JoinListLines(Lines()))) {
    ErrorBox(frontEnd(), failure);
    return false;
  }
  fileName_ = name;
  modified_ = false;
  UpdateCaption();
  return true;
}

bool Tlistedit::SaveListAs() {
  if (!frontEnd().dialogs.askOutputName) return false;
  OutputNameRequest request;
  request.caption = "Save As List:";
  request.prompt = " Save your file as: ";
  request.button = "&Save";
  request.proposal = fileName_;
  request.filter = kListFileFilter;
  request.helpContext = kListEditorHelpContext;
  const std::string name = frontEnd().dialogs.askOutputName(request);
  if (name.empty()) return false;
  return SaveTo(name, "Error saving to " + name);
}

bool Tlistedit::AskSaveList() {
  if (!modified_) return true;
  switch (YesNoCancelBox(frontEnd(), "Save file " + fileName_ + " ?", kYes)) {
    case kNo:
      discarded_ = true;
      return true;
    case kYes:
      if (LowerCase(NamePart(fileName_)) == "untitled.lst") return SaveListAs();
      return SaveTo(fileName_, "Error saving " + fileName_);
    default: return false;
  }
}

void Tlistedit::reject() {
  if (AskSaveList()) QDialog::reject();
}

std::string EditListFile(FrontEnd& frontEnd, const std::string& file) {
  if (!platform::DialogsAreInteractive()) return "";  // nobody could edit here
  const std::string name = TrimBlanks(file).empty() ? "untitled.lst" : file;
  const std::string path = ConsolePath(frontEnd, name);
  std::vector<std::string> lines;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    // A list that cannot be read is not opened: saving the empty editor would lose it.
    const std::optional<std::string> text = LoadTextFile(path);
    if (!text) {
      ErrorBox(frontEnd, "Error loading " + path);
      return "";
    }
    lines = SplitListText(*text);
  }
  Tlistedit editor(frontEnd, path, std::move(lines), false);
  editor.Run();
  return editor.result();
}

std::string NewListFromSelection(FrontEnd& frontEnd, FileControls& controls) {
  if (!platform::DialogsAreInteractive()) return "";
  std::vector<std::string> lines;
  for (const std::string& name : controls.SelectedFiles()) lines.push_back(WriteListLine(name));
  Tlistedit editor(frontEnd, WithSeparator(controls.Directory()) + "untitled.lst", std::move(lines), true);
  editor.Run();
  return editor.result();
}

}  // namespace frontend
