#include "frontend/pages/command_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/tab_page.h"
#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/dialog_window.h"
#include "platform/face/frame_guard.h"

namespace frontend {
namespace {

bool Control(const QKeyEvent& key, int code) {
  return key.key() == code && key.modifiers().testFlag(Qt::ControlModifier);
}

QPushButton* AddButton(QBoxLayout* row, QWidget* parent, const char* caption, std::function<void()> action) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, platform::Guarded(caption, std::move(action)));
  row->addWidget(button);
  return button;
}

void AddMenuEntry(QMenu& menu, const char* caption, const QKeySequence& keys, std::function<void()> action) {
  QAction* entry = menu.addAction(QString::fromUtf8(caption));
  entry->setShortcut(keys);
  QObject::connect(entry, &QAction::triggered, [action] { action(); });
}

}  // namespace

std::optional<std::string> CommandRecall::Older(const std::vector<std::string>& recent) {
  if (recent.empty()) return std::nullopt;
  if (position_ >= recent.size()) position_ = 0;
  const std::string shown = recent[position_];
  position_ = position_ + 1 < recent.size() ? position_ + 1 : 0;
  return shown;
}

std::optional<std::string> CommandRecall::Newer(const std::vector<std::string>& recent) {
  if (recent.empty()) return std::nullopt;
  if (position_ >= recent.size()) position_ = 0;
  const std::string shown = recent[position_];
  position_ = position_ > 0 ? position_ - 1 : recent.size() - 1;
  return shown;
}

Tcommandform::Tcommandform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet),
      frontEnd_(context.frontEnd),
      edit_(new QLineEdit(this)),
      run_(new QPushButton(QStringLiteral("&Run Specific"), this)),
      history_(new QPlainTextEdit(this)) {
  auto* layout = new QVBoxLayout(this);
  auto* commandGroup = new QGroupBox(QStringLiteral(" Enter a specific command to run:  "), this);
  auto* commandRow = new QHBoxLayout(commandGroup);
  commandRow->addWidget(edit_, 1);
  commandRow->addWidget(run_);
  layout->addWidget(commandGroup);
  auto* historyGroup = new QGroupBox(QStringLiteral(" Command History: "), this);
  auto* historyLayout = new QVBoxLayout(historyGroup);
  historyLayout->addWidget(history_);
  layout->addWidget(historyGroup, 1);
  auto* buttons = new QHBoxLayout;
  AddButton(buttons, this, "&New Batch", [this] { RunCommand(frontEnd_, "", "Edit", CommandOrigin::Typed); });
  AddButton(buttons, this, "Ho&w do I...?", [this] { ShowHowDoIHelp(frontEnd_); });
  AddButton(buttons, this, "&Help", [this] { ShowTabHelp(frontEnd_); });
  AddButton(buttons, this, "Back to &Main", [this] { frontEnd_.requests.Post(kMainTab); });
  layout->addLayout(buttons);

  edit_->setToolTip(QStringLiteral("Right click for command options."));
  edit_->setContextMenuPolicy(Qt::CustomContextMenu);
  edit_->installEventFilter(this);
  run_->setDefault(true);
  run_->setEnabled(false);
  history_->setReadOnly(true);
  history_->setLineWrapMode(QPlainTextEdit::NoWrap);
  history_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  history_->setContextMenuPolicy(Qt::CustomContextMenu);
  history_->installEventFilter(this);

  QObject::connect(edit_, &QLineEdit::textChanged,
                   [this](const QString& text) { run_->setEnabled(!text.trimmed().isEmpty()); });
  QObject::connect(edit_, &QLineEdit::textEdited, [this] { recall_.Reset(); });
  QObject::connect(edit_, &QLineEdit::returnPressed, [this] { RunTyped(); });
  QObject::connect(run_, &QPushButton::clicked, [this] { RunTyped(); });
  QObject::connect(edit_, &QLineEdit::customContextMenuRequested, [this](const QPoint& at) {
    QMenu menu(this);
    AddMenuEntry(menu, "Recent &Commands", Qt::CTRL | Qt::Key_C, [this] { RecentCommands(); });
    AddMenuEntry(menu, "Recen&t Directories", Qt::CTRL | Qt::Key_T, [this] { RecentDirectories(); });
    menu.exec(edit_->mapToGlobal(at));
  });
  QObject::connect(history_, &QPlainTextEdit::customContextMenuRequested, [this](const QPoint& at) {
    QMenu menu(this);
    AddMenuEntry(menu, "&Copy", Qt::CTRL | Qt::Key_C, [this] { history_->copy(); });
    AddMenuEntry(menu, "Clear &History", Qt::CTRL | Qt::Key_H, [this] { ClearHistory(); });
    AddMenuEntry(menu, "Save &As", Qt::CTRL | Qt::Key_A, [this] { SaveHistoryAs(); });
    menu.exec(history_->mapToGlobal(at));
  });

  frontEnd_.console.SetChangeListener([this] { ShowConsole(); });
  ShowConsole();
}

Tcommandform::~Tcommandform() { frontEnd_.console.SetChangeListener(nullptr); }

void Tcommandform::FocusFirstControl() {
  edit_->setFocus();
  ShowConsole();
}

void Tcommandform::ShowConsole() {
  QString text;
  for (const std::string& line : frontEnd_.console.lines()) {
    if (!text.isEmpty()) text += QLatin1Char('\n');
    text += ShownText(line);
  }
  history_->setPlainText(text);
  history_->moveCursor(QTextCursor::End);
  history_->ensureCursorVisible();
}

void Tcommandform::RunTyped() {
  const std::string command = TextOf(edit_->text());
  if (TrimBlanks(command).empty()) return;
  QPointer<Tcommandform> self(this);
  RunCommand(frontEnd_, "", command, CommandOrigin::Typed);
  if (!self) return;  // the command closed the page
  edit_->clear();
  recall_.Reset();
}

void Tcommandform::RecentCommands() {
  if (!frontEnd_.dialogs.pickFromList) return;
  QPointer<Tcommandform> self(this);
  const std::optional<std::string> chosen = frontEnd_.dialogs.pickFromList(
      {"List of Recent Commands:", " Select a recently used command: ", frontEnd_.settings.recentCommands,
       kRecentCommandsHelpContext});
  if (!chosen || !self) return;
  edit_->setText(ShownText(*chosen));
  edit_->setCursorPosition(static_cast<int>(edit_->text().size()));
  edit_->setFocus();
}

void Tcommandform::RecentDirectories() {
  if (!frontEnd_.dialogs.pickFromList) return;
  const std::optional<std::string> chosen = frontEnd_.dialogs.pickFromList(
      {"List of Recent Directories:", " Select a recently used directory: ", frontEnd_.settings.recentDirs,
       kRecentDirectoriesHelpContext});
  if (chosen) RunCommand(frontEnd_, "", "CD " + Quoted(*chosen), CommandOrigin::Typed);
}

void Tcommandform::ClearHistory() {
  frontEnd_.console.Clear();
  frontEnd_.ShowPrompt();
}

void Tcommandform::SaveHistoryAs() {
  if (!frontEnd_.dialogs.askOutputName) return;
  OutputNameRequest request;
  request.caption = "Save Command History:";
  request.prompt = " Save As: ";
  request.button = "&Save";
  request.proposal = WithSeparator(frontEnd_.ConsoleDirectory()) + "untitled.txt";
  request.filter = "Text files (*.Txt)|*.TXT|All files (*.*)|*.*";
  request.helpContext = kSaveHistoryHelpContext;
  const std::string name = frontEnd_.dialogs.askOutputName(request);
  if (name.empty()) return;
  std::string text;
  for (const std::string& line : frontEnd_.console.lines()) text += line + "\n";
  if (!SaveTextFile(name, text)) ErrorBox(frontEnd_, "Error: could not save command history.");
}

bool Tcommandform::EditKey(const QKeyEvent& key) {
  const std::vector<std::string>& recent = frontEnd_.settings.recentCommands;
  if (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down) {
    const std::optional<std::string> shown = key.key() == Qt::Key_Up ? recall_.Older(recent) : recall_.Newer(recent);
    if (shown) {
      edit_->setText(ShownText(*shown));
      edit_->selectAll();
    }
    return true;
  }
  if (key.key() == Qt::Key_Escape) {
    if (edit_->text().isEmpty()) {
      frontEnd_.requests.Post(kMainTab);
    } else {
      edit_->clear();
    }
    return true;
  }
  if (Control(key, Qt::Key_C)) {
    RecentCommands();
    return true;
  }
  if (Control(key, Qt::Key_T)) {
    RecentDirectories();
    return true;
  }
  return false;
}

bool Tcommandform::HistoryKey(const QKeyEvent& key) {
  if (Control(key, Qt::Key_H)) {
    ClearHistory();
  } else if (Control(key, Qt::Key_A)) {
    SaveHistoryAs();
  } else if (Control(key, Qt::Key_PageDown)) {
    history_->moveCursor(QTextCursor::End);
  } else if (key.key() == Qt::Key_Escape) {
    // Its release goes back to the Main tab.
  } else {
    return false;
  }
  return true;
}

bool Tcommandform::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched == edit_) return EditKey(key);
    if (watched == history_) return HistoryKey(key);
  } else if (event->type() == QEvent::KeyRelease && watched == history_ &&
             static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    frontEnd_.requests.Post(kMainTab);
    return true;
  }
  return TabPage::eventFilter(watched, event);
}

void Tcommandform::keyPressEvent(QKeyEvent* event) {
  // "Back to Main" is the cancel button while the edit does not have the focus.
  if (event->key() == Qt::Key_Escape && !edit_->hasFocus()) {
    frontEnd_.requests.Post(kMainTab);
    return;
  }
  TabPage::keyPressEvent(event);
}

}  // namespace frontend
