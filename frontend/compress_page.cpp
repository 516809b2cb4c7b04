#include "frontend/compress_page.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

#include "frontend/compress_command.h"
#include "frontend/file_controls.h"
#include "frontend/front_end.h"
#include "frontend/front_end_dialogs.h"
#include "frontend/help.h"
#include "frontend/launcher.h"
#include "frontend/message_boxes.h"
#include "frontend/name_parts.h"
#include "frontend/page_registry.h"
#include "frontend/page_switches.h"
#include "frontend/page_utilities.h"
#include "frontend/request_queue.h"
#include "frontend/settings_file.h"
#include "frontend/text_format.h"
#include "frontend/tool_input.h"
#include "platform/gui/dialogs.h"

namespace frontend {
namespace {

QString Shown(const std::string& text) { return QString::fromStdString(text); }

const char* const kCompressTypes[] = {"to a specific data rate.", "as a % of the average frame.",
                                      "as a % of its size.", "under a total error %.", "losslessly."};
const char* const kOutputTypes[kCompressOutputTypeCount] = {
    "Create a Vantrel file", "Create a Flic", "Create BMPs", "Create JPEGs",
    "Create TGAs",           "Create TIFs",   "Create PCXs", "Create GIFs"};

QComboBox* Choice(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromUtf8(name));
  for (const char* item : items) box->addItem(QString::fromUtf8(item));
  return box;
}

QLineEdit* NumberEdit(QWidget* parent, const char* name, int length, bool signAllowed) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setMaxLength(length);
  edit->setMinimumWidth(70);
  edit->setMaximumWidth(100);
  const QString pattern = QString(signAllowed ? "-?" : "") + "[0-9]*";
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
  return edit;
}

// A control's handler, whatever the signal carries; nothing thrown may leave it.
template <typename Handler>
auto Guarded(Handler handler) {
  return [handler](auto&&...) {
    try {
      handler();
    } catch (...) {
    }
  };
}

// Ctrl+PageDown in the memo moves to the end of the line, as End does, instead of leaving
// the page.
class MemoKeys : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_PageDown || !(key->modifiers() & Qt::ControlModifier)) return false;
    if (auto* memo = qobject_cast<QPlainTextEdit*>(watched)) memo->moveCursor(QTextCursor::EndOfLine);
    return true;
  }
};

// Leaving the rate field with a rate that is no whole number above 0 gives the list back.
class FocusLeft : public QObject {
 public:
  FocusLeft(QObject* parent, std::function<void()> left) : QObject(parent), left_(std::move(left)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) left_();
    return false;
  }

 private:
  std::function<void()> left_;
};

}  // namespace

Tvantform::Tvantform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd), record_(context.frontEnd.settings.compress) {
  auto* inputGroup = new QGroupBox(QStringLiteral(" Highlight a &Flic to Vant: "), this);
  files_ = new FileControls(inputGroup);
  files_->driveBox()->setObjectName(QStringLiteral("vantdrive"));
  files_->directoryList()->setObjectName(QStringLiteral("vantdir"));
  files_->fileList()->setObjectName(QStringLiteral("vantfile"));
  files_->filterBox()->setObjectName(QStringLiteral("vantfilter"));
  files_->SetMultiSelect(true);
  (new QVBoxLayout(inputGroup))->addWidget(files_);

  auto* outputGroup = new QGroupBox(QStringLiteral(" &Enter the output file name:"), this);
  output_ = new QLineEdit(outputGroup);
  output_->setObjectName(QStringLiteral("vantout"));
  auto* typeButton = new QPushButton(QStringLiteral("&Type"), outputGroup);
  MakeTypeMenu();
  typeButton->setMenu(typeMenu_);
  auto* outputLayout = new QHBoxLayout(outputGroup);
  outputLayout->addWidget(output_, 1);
  outputLayout->addWidget(typeButton);

  options_ = new QTabWidget(this);
  options_->setObjectName(QStringLiteral("vanttab"));
  options_->addTab(MakeVantPage(), QStringLiteral("Vant"));
  options_->addTab(MakePalettePage(), QStringLiteral("Palette"));
  options_->addTab(MakeFramePage(), QStringLiteral("Frame"));
  options_->addTab(MakeSoundPage(), QStringLiteral("Sound"));
  options_->addTab(MakeExpertPage(), QStringLiteral("Expert"));

  compress_ = new QPushButton(QStringLiteral("&Vant"), this);
  auto* defaults = new QPushButton(QStringLiteral("&Defaults"), this);
  auto* help = new QPushButton(QStringLiteral("&Help"), this);
  auto* howDoI = new QPushButton(QStringLiteral("Ho&w do I...?"), this);
  auto* back = new QPushButton(QStringLiteral("Back to &Main"), this);
  QObject::connect(compress_, &QPushButton::clicked, Guarded([this] { CompressPressed(); }));
  QObject::connect(defaults, &QPushButton::clicked, Guarded([this] { DefaultsPressed(); }));
  QObject::connect(help, &QPushButton::clicked, Guarded([this] { ShowTabHelp(frontEnd_); }));
  QObject::connect(howDoI, &QPushButton::clicked, Guarded([this] { ShowHowDoIHelp(frontEnd_); }));
  QObject::connect(back, &QPushButton::clicked, [this] { frontEnd_.requests.Post(kMainTab); });
  SetCancelButton(*this, *back);

  auto* left = new QVBoxLayout;
  left->addWidget(inputGroup, 1);
  left->addWidget(outputGroup);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 2);
  columns->addWidget(options_, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {compress_, defaults, help, howDoI, back}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);

  files_->onSelectionChanged = Guarded([this] { SelectionChanged(); });
  files_->onFileActivated = [this](const std::string& path) {
    try {
      OpenFileByType(frontEnd_, path);
    } catch (...) {
    }
  };

  // Made as the lifecycle has it: the memo, the output name, the file controls, then the rest.
  const CompressSettings& saved = frontEnd_.settings.compress;
  frameInfo_->setPlainText(Shown([this] {
    std::string text;
    for (const std::string& line : frontEnd_.settings.frameSpecific) text += line + "\n";
    return text;
  }()));
  output_->setText(Shown(saved.outputName));
  RestoreFileListState(frontEnd_, context.menus, *files_, kCompressFileFilter, saved.filter,
                       saved.directory, saved.filename);
  CompressSettings shown = record_;
  shown.outputName = output_->text().toStdString();
  ShowSettings(shown, SplitLines(frameInfo_->toPlainText().toStdString()));
}

QWidget* Tvantform::MakeVantPage() {
  auto* page = new QWidget;
  auto* form = new QGridLayout(page);
  regularType_ = Choice(page, "regcomptype", {});
  keyType_ = Choice(page, "keycomptype", {});
  for (const char* item : kCompressTypes) {
    regularType_->addItem(QString::fromUtf8(item));
    keyType_->addItem(QString::fromUtf8(item));
  }
  regularValue_ = NumberEdit(page, "regedit", 9, false);
  keyValue_ = NumberEdit(page, "keyedit", 9, false);
  form->addWidget(new QLabel(QStringLiteral("Compress regular frames: "), page), 0, 0, 1, 2);
  form->addWidget(regularType_, 1, 0);
  form->addWidget(regularValue_, 1, 1);
  form->addWidget(new QLabel(QStringLiteral("Compress key frames:"), page), 2, 0, 1, 2);
  form->addWidget(keyType_, 3, 0);
  form->addWidget(keyValue_, 3, 1);
  auto* keyBox = new QCheckBox(QStringLiteral("Use a key frame at least every:"), page);
  keyBox->setObjectName(QStringLiteral("vantkey"));
  auto* keyNumber = NumberEdit(page, "vantkeynum", 4, false);
  checkedEdits_.push_back({keyBox, keyNumber, &CompressSettings::keyFrames, &CompressSettings::keyFramesNum});
  form->addWidget(keyBox, 4, 0);
  form->addWidget(keyNumber, 4, 1);
  autoKey_ = NumberEdit(page, "autokey", 3, false);
  form->addWidget(new QLabel(QStringLiteral("Auto-key frame at what % change:"), page), 5, 0);
  form->addWidget(autoKey_, 5, 1);
  auto* yScale = Choice(page, "vantyscale", {"None.", "Interlace.", "Double."});
  lists_.push_back({yScale, &CompressSettings::yScale});
  form->addWidget(new QLabel(QStringLiteral("Height compression:"), page), 6, 0);
  form->addWidget(yScale, 7, 0);
  form->setRowStretch(8, 1);

  QObject::connect(regularType_, &QComboBox::currentIndexChanged, [this] { ShowStoredValue(false); });
  QObject::connect(keyType_, &QComboBox::currentIndexChanged, [this] { ShowStoredValue(true); });
  QObject::connect(regularValue_, &QLineEdit::textEdited, [this](const QString& text) { StoreValue(false, text); });
  QObject::connect(keyValue_, &QLineEdit::textEdited, [this](const QString& text) { StoreValue(true, text); });
  return page;
}

QLineEdit* Tvantform::AddCheckedEdit(QWidget* page, const char* name, const char* caption, int length,
                                     bool signAllowed, bool CompressSettings::*enabled,
                                     std::string CompressSettings::*text) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), page);
  box->setObjectName(QString::fromUtf8(name));
  auto* edit = NumberEdit(page, (std::string(name) + "num").c_str(), length, signAllowed);
  checkedEdits_.push_back({box, edit, enabled, text});
  auto* grid = static_cast<QGridLayout*>(page->layout());
  const int row = grid->count() == 0 ? 0 : grid->rowCount();
  grid->addWidget(box, row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

QWidget* Tvantform::MakePalettePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  palette_ = new QLineEdit(Shown(kInputPalette), page);
  palette_->setObjectName(QStringLiteral("palname"));
  auto* browse = new QPushButton(QStringLiteral("..."), page);
  browse->setMaximumWidth(32);
  auto* paletteRow = new QHBoxLayout;
  paletteRow->addWidget(palette_, 1);
  paletteRow->addWidget(browse);
  grid->addWidget(new QLabel(QStringLiteral("Use/Create palette from: "), page), 0, 0);
  grid->addLayout(paletteRow, 0, 1);
  QObject::connect(browse, &QPushButton::clicked, Guarded([this] { BrowsePalette(); }));
  QObject::connect(palette_, &QLineEdit::editingFinished, [this] {
    if (TrimBlanks(palette_->text().toStdString()).empty()) palette_->setText(Shown(kInputPalette));
  });
  AddCheckedEdit(page, "vantpalcol", "Total palette colors to use:", 3, false,
                 &CompressSettings::paletteColors, &CompressSettings::paletteColorsNum);
  AddCheckedEdit(page, "vantpalstart", "Starting palette index to use:", 3, false,
                 &CompressSettings::paletteStart, &CompressSettings::paletteStartNum);
  AddCheckedEdit(page, "vantpalevery", "New palette at least every:", 5, false,
                 &CompressSettings::paletteEvery, &CompressSettings::paletteEveryNum);
  struct Named {
    const char* name;
    const char* label;
    std::initializer_list<const char*> items;
    int32_t CompressSettings::*index;
  };
  const Named combos[] = {
      {"halftone", "Halftone input files?", {"When high color.", "Always.", "Never."}, &CompressSettings::halftone},
      {"palcontrol", "8-bit input palettes?", {"Copy existing.", "Create new.", "New when changes."},
       &CompressSettings::paletteControl},
      {"vantwincol", "Win system colors?", {"On new palettes.", "Always.", "Never."}, &CompressSettings::windowsColors},
  };
  for (const Named& combo : combos) {
    QComboBox* box = Choice(page, combo.name, combo.items);
    lists_.push_back({box, combo.index});
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(QString::fromUtf8(combo.label), page), row, 0);
    grid->addWidget(box, row, 1);
  }
  grid->setRowStretch(grid->rowCount(), 1);
  return page;
}

QWidget* Tvantform::MakeFramePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  AddCheckedEdit(page, "vantstart", "Starting frame:", 5, false, &CompressSettings::start, &CompressSettings::startNum);
  AddCheckedEdit(page, "vantend", "Ending frame:", 5, false, &CompressSettings::end, &CompressSettings::endNum);
  AddCheckedEdit(page, "vantrate", "Frame rate override:", 5, true, &CompressSettings::frameRate,
                 &CompressSettings::frameRateNum);
  AddCheckedEdit(page, "vantx", "X Offset:", 5, false, &CompressSettings::x, &CompressSettings::xNum);
  AddCheckedEdit(page, "vanty", "Y Offset:", 5, false, &CompressSettings::y, &CompressSettings::yNum);
  AddCheckedEdit(page, "vantw", "Width:", 5, false, &CompressSettings::w, &CompressSettings::wNum);
  AddCheckedEdit(page, "vanth", "Height:", 5, false, &CompressSettings::h, &CompressSettings::hNum);
  auto* ring = new QCheckBox(QStringLiteral("Create ring?"), page);
  ring->setObjectName(QStringLiteral("vantring"));
  auto* every = new QCheckBox(QStringLiteral("Skip every other?"), page);
  every->setObjectName(QStringLiteral("vantevery"));
  checks_.push_back({ring, &CompressSettings::ring});
  checks_.push_back({every, &CompressSettings::everyOther});
  grid->addWidget(ring, 0, 2);
  grid->addWidget(every, 1, 2);
  grid->setRowStretch(grid->rowCount(), 1);
  return page;
}

QWidget* Tvantform::MakeSoundPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  noSound_ = new QCheckBox(QStringLiteral("Don't process the sound in the input file."), page);
  noSound_->setObjectName(QStringLiteral("dosound"));
  checks_.push_back({noSound_, &CompressSettings::noSound});
  grid->addWidget(noSound_, 0, 0, 1, 2);
  lossyLabel_ = new QLabel(QStringLiteral("Lossy (0): "), page);
  lossy_ = new QScrollBar(Qt::Horizontal, page);
  lossy_->setObjectName(QStringLiteral("mixlossy"));
  lossy_->setRange(0, 9);
  lossy_->setPageStep(1);
  lossy_->setToolTip(QStringLiteral(
      "All the way left is lossless (0), and all the way right is highest lossy (9)."));
  grid->addWidget(lossyLabel_, 1, 0);
  grid->addWidget(lossy_, 1, 1);
  QObject::connect(lossy_, &QScrollBar::valueChanged,
                   [this](int value) { lossyLabel_->setText(QString("Lossy (%1):").arg(value)); });
  rate_ = Choice(page, "mixrate",
                 {"Copy the input playback rate.", "Output as 11,025 hz.", "Output as 22,050 hz.",
                  "Output as 44,100 hz.", "Let me enter a specific rate."});
  rate_->setInsertPolicy(QComboBox::NoInsert);
  bits_ = Choice(page, "mixbits", {"Copy the input sound quality.", "Output as 8 bit sound.", "Output as 16 bit sound."});
  channels_ = Choice(page, "mixchannels",
                     {"Copy the input sound channels.", "Output as mono sound.", "Output as stereo sound."});
  lists_.push_back({bits_, &CompressSettings::quality});
  lists_.push_back({channels_, &CompressSettings::channels});
  soundControls_ = {lossyLabel_, lossy_};
  const std::pair<const char*, QComboBox*> rows[] = {
      {"Output playback rate (sound frequency):", rate_},
      {"Output sound quality (sound bit depth):", bits_},
      {"Output sound channels (mono or stereo):", channels_},
  };
  for (const auto& [label, box] : rows) {
    auto* caption = new QLabel(QString::fromUtf8(label), page);
    const int row = grid->rowCount();
    grid->addWidget(caption, row, 0, 1, 2);
    grid->addWidget(box, row + 1, 0, 1, 2);
    soundControls_.push_back(caption);
    soundControls_.push_back(box);
  }
  grid->setRowStretch(grid->rowCount(), 1);
  QObject::connect(noSound_, &QCheckBox::toggled, [this] { SoundChanged(); });
  QObject::connect(rate_, &QComboBox::activated, [this](int index) { RateChosen(index); });
  return page;
}

QWidget* Tvantform::MakeExpertPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* instruction = new QLabel(QStringLiteral(
      "Enter your specific frame compression choices in the window below, separated by spaces. "
      "For example, \"50 60 300000 0\" compresses frames 50 to 60 at 300000 bytes per second "
      "without a key frame."), page);
  instruction->setWordWrap(true);
  layout->addWidget(instruction);
  layout->addWidget(new QLabel(QStringLiteral(" Start \t End \t Data Rate \t Key? "), page));
  frameInfo_ = new QPlainTextEdit(page);
  frameInfo_->setObjectName(QStringLiteral("vantframeinfo"));
  frameInfo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  frameInfo_->installEventFilter(new MemoKeys(frameInfo_));
  layout->addWidget(frameInfo_, 1);
  return page;
}

void Tvantform::MakeTypeMenu() {
  typeMenu_ = new QMenu(this);
  typeMenu_->setObjectName(QStringLiteral("typemenu"));
  auto* group = new QActionGroup(typeMenu_);
  for (int type = 0; type < kCompressOutputTypeCount; ++type) {
    QAction* action = typeMenu_->addAction(QString::fromUtf8(kOutputTypes[type]));
    action->setCheckable(true);
    group->addAction(action);
    typeActions_[type] = action;
    QObject::connect(action, &QAction::triggered, Guarded([this, type] { ChooseOutputType(type); }));
  }
  typeMenu_->addSeparator();
  mixOriginal_ = typeMenu_->addAction(QStringLiteral("Mix original into output?"));
  mixOriginal_->setCheckable(true);
  overwrite_ = typeMenu_->addAction(QStringLiteral("Overwrite without asking?"));
  overwrite_->setCheckable(true);
}

void Tvantform::ShowSettings(const CompressSettings& settings, const std::vector<std::string>& frameSpecific) {
  record_ = settings;
  output_->setText(Shown(settings.outputName));
  const int type = settings.outputType >= 0 && settings.outputType < kCompressOutputTypeCount ? settings.outputType : 0;
  typeActions_[type]->setChecked(true);
  mixOriginal_->setChecked(settings.mixOriginal);
  mixOriginal_->setEnabled(type != 0);
  overwrite_->setChecked(settings.overwrite);
  regularType_->setCurrentIndex(std::clamp(settings.regularCompressType, 0, 4));
  keyType_->setCurrentIndex(std::clamp(settings.keyCompressType, 0, 4));
  ShowStoredValue(false);
  ShowStoredValue(true);
  autoKey_->setText(Shown(LeadingDigits(settings.autoKeyFrame)));
  for (const CheckedEdit& pair : checkedEdits_) {
    pair.box->setChecked(settings.*pair.enabled);
    pair.edit->setText(Shown(settings.*pair.text));
  }
  for (const CheckOnly& check : checks_) check.box->setChecked(settings.*check.enabled);
  for (const ListChoice& list : lists_) {
    const int index = settings.*list.index;
    list.box->setCurrentIndex(index >= 0 && index < list.box->count() ? index : 0);
  }
  const std::string palette = TrimBlanks(settings.paletteName);
  palette_->setText(Shown(palette.empty() ? kInputPalette : palette));
  lossy_->setValue(std::clamp(settings.lossySound, 0, 9));
  ShowRate(settings.rate, settings.rateText);
  std::string text;
  for (const std::string& line : frameSpecific) text += line + "\n";
  frameInfo_->setPlainText(Shown(text));
  options_->setCurrentIndex(std::clamp(settings.currentTab, 0, options_->count() - 1));
  SoundChanged();
}

CompressSettings Tvantform::CurrentSettings() const {
  CompressSettings s = record_;
  s.outputName = output_->text().toStdString();
  for (int type = 0; type < kCompressOutputTypeCount; ++type) {
    if (typeActions_[type]->isChecked()) s.outputType = type;
  }
  s.mixOriginal = mixOriginal_->isChecked();
  s.overwrite = overwrite_->isChecked();
  s.regularCompressType = regularType_->currentIndex();
  s.keyCompressType = keyType_->currentIndex();
  s.autoKeyFrame = autoKey_->text().toStdString().substr(0, 4);
  for (const CheckedEdit& pair : checkedEdits_) {
    s.*pair.enabled = pair.box->isChecked();
    s.*pair.text = pair.edit->text().toStdString().substr(0, 8);
  }
  for (const CheckOnly& check : checks_) s.*check.enabled = check.box->isChecked();
  for (const ListChoice& list : lists_) s.*list.index = list.box->currentIndex();
  s.paletteName = palette_->text().toStdString();
  s.lossySound = lossy_->value();
  if (rate_->isEditable()) {
    s.rate = -1;
    s.rateText = rate_->currentText().toStdString();
  } else {
    s.rate = rate_->currentIndex();
  }
  s.currentTab = options_->currentIndex();
  return s;
}

std::vector<std::string> Tvantform::FrameSpecificLines() const {
  return SplitLines(frameInfo_->toPlainText().toStdString());
}

void Tvantform::SaveSettings() {
  CompressSettings s = CurrentSettings();
  SaveFileListState(*files_, s.filename, s.directory);
  s.filter = files_->FilterIndex();
  frontEnd_.settings.compress = s;
  frontEnd_.settings.frameSpecific = FrameSpecificLines();
}

void Tvantform::RefreshFileLists() { RefreshFileList(*files_); }

void Tvantform::FocusFirstControl() { files_->fileList()->setFocus(); }

void Tvantform::SelectionChanged() {
  const bool selected = !files_->SelectedPath().empty();
  compress_->setEnabled(selected);
  if (selected) {
    UpdateDefaultOutput();
  } else {
    output_->clear();
  }
}

void Tvantform::UpdateDefaultOutput() {
  DefaultOutputName(*files_, record_.outputBasedOn, *output_, "New_",
                    CompressOutputExtension(CurrentSettings().outputType));
}

void Tvantform::ChooseOutputType(int type) {
  if (type < 0 || type >= kCompressOutputTypeCount) return;
  record_.outputBasedOn = WithoutExtension(record_.outputBasedOn);
  typeActions_[type]->setChecked(true);
  mixOriginal_->setEnabled(type != 0);
  UpdateDefaultOutput();
}

void Tvantform::ShowStoredValue(bool keyFrames) {
  QComboBox* typeBox = keyFrames ? keyType_ : regularType_;
  QLineEdit* edit = keyFrames ? keyValue_ : regularValue_;
  const int type = typeBox->currentIndex();
  const std::string* stored = StoredCompressValue(record_, keyFrames, type);
  edit->setVisible(stored != nullptr);
  edit->setMaxLength(type == kToDataRate ? 9 : 3);
  edit->setText(stored ? Shown(type == kToDataRate ? *stored : LeadingDigits(*stored)) : QString());
}

void Tvantform::StoreValue(bool keyFrames, const QString& text) {
  const int type = (keyFrames ? keyType_ : regularType_)->currentIndex();
  if (std::string* stored = StoredCompressValue(record_, keyFrames, type)) {
    *stored = type == kToDataRate ? text.toStdString() : LeadingDigits(text.toStdString());
  }
}

void Tvantform::RateChosen(int index) {
  if (index != 4) return;
  // Turned into a field once the list has closed.
  QTimer::singleShot(1, rate_, [this] {
    ShowRate(-1, "");
    rate_->lineEdit()->setFocus();
  });
}

void Tvantform::ShowRate(int32_t index, const std::string& text) {
  if (index < 0) {
    if (!rate_->isEditable()) {
      rate_->setEditable(true);
      rate_->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), rate_));
      rate_->lineEdit()->installEventFilter(new FocusLeft(rate_->lineEdit(), [this] { RateLeft(); }));
    }
    rate_->setCurrentIndex(-1);
    rate_->setEditText(Shown(text));
    return;
  }
  rate_->setEditable(false);
  rate_->setCurrentIndex(index < rate_->count() ? index : 0);
}

void Tvantform::RateLeft() {
  if (!rate_->isEditable()) return;
  const std::optional<int32_t> rate = WholeNumber(rate_->currentText().toStdString(), false);
  if (rate && *rate > 0) return;
  QTimer::singleShot(0, rate_, [this] { ShowRate(0, ""); });
}

void Tvantform::SoundChanged() {
  const bool on = !noSound_->isChecked();
  for (QWidget* control : soundControls_) control->setEnabled(on);
}

void Tvantform::BrowsePalette() {
  const std::string selected = files_->SelectedPath();
  const std::string proposal = selected.empty() ? WithSeparator(files_->Directory()) + "untitled" : selected;
  const std::optional<std::string> chosen = platform::PromptOpenFile(
      "Use the palette from:", DirectoryPart(proposal), ServiceFilter(kCompressFileFilter), frontEnd_.mainWindow);
  if (chosen) palette_->setText(Shown(*chosen));
}

void Tvantform::DefaultsPressed() {
  if (!ConfirmResetDefaults(frontEnd_)) return;
  CompressSettings settings = CurrentSettings();
  ResetCompressOptions(settings);
  ShowSettings(settings, {});
  SelectionChanged();
}

void Tvantform::CompressPressed() {
  const CompressSettings settings = CurrentSettings();
  const std::string problem = CheckCompressSettings(settings);
  if (!problem.empty()) {
    ErrorBox(frontEnd_, problem);
    return;
  }
  const std::string selected = files_->SelectedPath();
  CompressRun run;
  run.listDirectory = files_->Directory();
  run.inputAndOutput = GatherToolInput(frontEnd_, *files_, settings.outputName);
  if (run.inputAndOutput.empty()) return;
  // The hints are written only for a start that goes ahead; the compressor deletes them.
  const std::vector<std::string> hints = FrameSpecificLines();
  if (HasFrameSpecificText(hints)) {
    run.hintFile = MakeTempFileName();
    if (run.hintFile.empty() || !WriteTextLines(run.hintFile, hints)) {
      if (!run.hintFile.empty()) std::remove(run.hintFile.c_str());
      ErrorBox(frontEnd_, "Error, could not save the frame specific settings to a temporary file.");
      return;
    }
  }
  const RunOutcome outcome = RunCommand(frontEnd_, run.listDirectory, BuildCompressCommand(settings, run));
  if (!outcome.toolStarted && !run.hintFile.empty()) std::remove(run.hintFile.c_str());
  AddRecentFile(frontEnd_.settings, selected);
  const std::string output = Unquoted(settings.outputName);
  if (!output.empty()) {
    AddRecentFile(frontEnd_.settings, output[0] == '/' ? output : WithSeparator(run.listDirectory) + output);
  }
}

}  // namespace frontend
