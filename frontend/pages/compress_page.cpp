#include "frontend/pages/compress_page.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>

#include "frontend/core/front_end.h"
#include "frontend/core/front_end_dialogs.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/name_parts.h"
#include "frontend/core/request_queue.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/compress_command.h"
#include "frontend/pages/page_controls.h"
#include "frontend/pages/page_switches.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/pages/tool_input.h"
#include "frontend/pages/tool_page_frame.h"
#include "platform/face/dialogs.h"

namespace frontend {
namespace {

const char* const kCompressTypes[] = {"to a specific data rate.", "as a % of the average frame.",
                                      "as a % of its size.", "under a total error %.", "losslessly."};
const char* const kOutputTypes[kCompressOutputTypeCount] = {
    "Create a Vantrel file", "Create a Flic", "Create BMPs", "Create JPEGs",
    "Create TGAs",           "Create TIFs",   "Create PCXs", "Create GIFs"};

}  // namespace

Tvantform::Tvantform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd), record_(context.frontEnd.settings.compress) {
  auto* inputGroup = new QGroupBox(QStringLiteral(" Highlight a &Flic to Vant: "), this);
  files_ = AddInputFiles(inputGroup, "vant", frontEnd_);

  auto* outputGroup = new QGroupBox(QStringLiteral(" &Enter the output file name:"), this);
  typeMenu_ = MakeTypeMenu(this, kOutputTypes, kCompressOutputTypeCount, typeActions_,
                           [this](int type) { ChooseOutputType(type); });
  mixOriginal_ = typeMenu_->addAction(QStringLiteral("Mix original into output?"));
  mixOriginal_->setCheckable(true);
  overwrite_ = typeMenu_->addAction(QStringLiteral("Overwrite without asking?"));
  overwrite_->setCheckable(true);
  output_ = AddOutputName(outputGroup, "vantout", typeMenu_);

  options_ = new QTabWidget(this);
  options_->setObjectName(QStringLiteral("vanttab"));
  options_->addTab(MakeVantPage(), QStringLiteral("Vant"));
  options_->addTab(MakePalettePage(), QStringLiteral("Palette"));
  options_->addTab(MakeFramePage(), QStringLiteral("Frame"));
  options_->addTab(MakeSoundPage(), QStringLiteral("Sound"));
  options_->addTab(MakeExpertPage(), QStringLiteral("Expert"));

  compress_ = LayOutToolPage(this, frontEnd_, inputGroup, outputGroup, options_, "&Vant",
                             [this] { CompressPressed(); }, [this] { DefaultsPressed(); })
                  .run;
  files_->onSelectionChanged = Guarded([this] { SelectionChanged(); });

  // Made as the lifecycle has it: the memo, the output name, the file controls, then the rest.
  const CompressSettings& saved = frontEnd_.settings.compress;
  frameInfo_->setPlainText(Shown([this] {
    std::string text;
    for (const std::string& line : frontEnd_.settings.frameSpecific) text += line + "\n";
    return text;
  }()));
  output_->setText(Shown(saved.outputName));
  typeActions_[saved.outputType >= 0 && saved.outputType < kCompressOutputTypeCount ? saved.outputType : 0]
      ->setChecked(true);
  RestoreFileListState(frontEnd_, context.menus, *files_, kCompressFileFilter, saved.filter,
                       saved.directory, saved.filename);
  CompressSettings shown = record_;
  shown.outputName = output_->text().toStdString();
  ShowSettings(shown, SplitLines(frameInfo_->toPlainText().toStdString()));
}

Tvantform::~Tvantform() = default;

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
  controls_.Bind(keyBox, keyNumber, &CompressSettings::keyFrames, &CompressSettings::keyFramesNum);
  form->addWidget(keyBox, 4, 0);
  form->addWidget(keyNumber, 4, 1);
  autoKey_ = NumberEdit(page, "autokey", 3, false);
  form->addWidget(new QLabel(QStringLiteral("Auto-key frame at what % change:"), page), 5, 0);
  form->addWidget(autoKey_, 5, 1);
  auto* yScale = Choice(page, "vantyscale", {"None.", "Interlace.", "Double."});
  controls_.Bind(yScale, &CompressSettings::yScale);
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
  controls_.Bind(box, edit, enabled, text);
  auto* grid = static_cast<QGridLayout*>(page->layout());
  const int row = grid->count() == 0 ? 0 : grid->rowCount();
  grid->addWidget(box, row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

QWidget* Tvantform::MakePalettePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  const PaletteControls palette = AddPaletteControls(page, grid, "vant", [this] { BrowsePalette(); });
  palette_ = palette.name;
  controls_.Bind(palette.halftone, &CompressSettings::halftone);
  controls_.Bind(palette.paletteControl, &CompressSettings::paletteControl);
  controls_.Bind(palette.windowsColors, &CompressSettings::windowsColors);
  AddCheckedEdit(page, "vantpalcol", "Total palette colors to use:", 3, false,
                 &CompressSettings::paletteColors, &CompressSettings::paletteColorsNum);
  AddCheckedEdit(page, "vantpalstart", "Starting palette index to use:", 3, false,
                 &CompressSettings::paletteStart, &CompressSettings::paletteStartNum);
  AddCheckedEdit(page, "vantpalevery", "New palette at least every:", 5, false,
                 &CompressSettings::paletteEvery, &CompressSettings::paletteEveryNum);
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
  controls_.Bind(ring, &CompressSettings::ring);
  controls_.Bind(every, &CompressSettings::everyOther);
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
  controls_.Bind(noSound_, &CompressSettings::noSound);
  grid->addWidget(noSound_, 0, 0, 1, 2);
  lossy_ = LossyBar(page, lossyLabel_);
  grid->addWidget(lossyLabel_, 1, 0);
  grid->addWidget(lossy_, 1, 1);
  rate_ = SoundRateBox(page, "mixrate");
  typedRate_ = std::make_unique<TypedRateBox>(rate_, kTypedRateEntry);
  bits_ = SoundBitsBox(page, "mixbits");
  channels_ = SoundChannelsBox(page, "mixchannels");
  controls_.Bind(bits_, &CompressSettings::quality);
  controls_.Bind(channels_, &CompressSettings::channels);
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
  EndOnCtrlPageDown(*frameInfo_);
  layout->addWidget(frameInfo_, 1);
  return page;
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
  controls_.Show(settings);
  const std::string palette = TrimBlanks(settings.paletteName);
  palette_->setText(Shown(palette.empty() ? kInputPalette : palette));
  lossy_->setValue(std::clamp(settings.lossySound, 0, 9));
  typedRate_->Show(settings.rate, settings.rateText);
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
  controls_.Read(s);
  s.paletteName = palette_->text().toStdString();
  s.lossySound = lossy_->value();
  s.rate = typedRate_->Entry();
  if (typedRate_->typed()) s.rateText = typedRate_->TypedRate();
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
  AddRunToRecentFiles(frontEnd_, selected, settings.outputName, run.listDirectory);
}

}  // namespace frontend
