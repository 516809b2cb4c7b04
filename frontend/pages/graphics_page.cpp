#include "frontend/pages/graphics_page.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/name_parts.h"
#include "frontend/core/request_queue.h"
#include "frontend/core/text_format.h"
#include "frontend/files/dialogs_open.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/page_switches.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/pages/tool_input.h"
#include "frontend/pages/tool_page_frame.h"

namespace frontend {
namespace {

const char* const kOutputTypes[kGraphicsOutputTypeCount] = {
    "Output as Input Format", "Output as a Flic", "Output as BMPs", "Output as JPEGs",
    "Output as TGAs",         "Output as TIFs",   "Output as PCXs", "Output as GIFs"};

}  // namespace

Ttoflicform::Ttoflicform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd), record_(context.frontEnd.settings.graphics) {
  auto* inputGroup = new QGroupBox(QStringLiteral(" Highlight a &Graphics file: "), this);
  files_ = AddInputFiles(inputGroup, "toflic", frontEnd_);

  auto* outputGroup = new QGroupBox(QStringLiteral(" &Enter the output file name:"), this);
  typeMenu_ = MakeTypeMenu(this, kOutputTypes, kGraphicsOutputTypeCount, typeActions_,
                           [this](int type) { ChooseOutputType(type); });
  overwrite_ = typeMenu_->addAction(QStringLiteral("Overwrite without asking?"));
  overwrite_->setCheckable(true);
  output_ = AddOutputName(outputGroup, "toflicout", typeMenu_);

  auto* optionGroup = new QGroupBox(QStringLiteral(" &Options: "), this);
  options_ = new QTabWidget(optionGroup);
  options_->setObjectName(QStringLiteral("toflictab"));
  options_->addTab(MakePalettePage(), QStringLiteral("Palette"));
  options_->addTab(MakeFramePage(), QStringLiteral("Frame"));
  (new QVBoxLayout(optionGroup))->addWidget(options_);

  const ToolPageButtons buttons = LayOutToolPage(this, frontEnd_, inputGroup, outputGroup, optionGroup, "&Convert",
                                                 [this] { ConvertPressed(); }, [this] { DefaultsPressed(); });
  convert_ = buttons.run;
  convert_->setObjectName(QStringLiteral("toflictoflic"));
  buttons.defaults->setObjectName(QStringLiteral("toflicdef"));
  QObject::connect(options_, &QTabWidget::currentChanged, [this](int index) { PageChosen(index); });
  files_->onSelectionChanged = Guarded([this] { SelectionChanged(); });

  // The output name first, then the file controls (whose selection may propose another), then
  // the rest.
  const GraphicsSettings& saved = frontEnd_.settings.graphics;
  output_->setText(Shown(saved.outputName));
  typeActions_[saved.outputType >= 0 && saved.outputType < kGraphicsOutputTypeCount ? saved.outputType : 0]
      ->setChecked(true);
  RestoreFileListState(frontEnd_, context.menus, *files_, kGraphicsFileFilter, saved.filter, saved.directory,
                       saved.filename);
  GraphicsSettings shown = record_;
  shown.outputName = output_->text().toStdString();
  ShowSettings(shown);
}

void Ttoflicform::AddCheckedEdit(QWidget* page, const char* name, const char* caption, int length,
                                 bool signAllowed, bool GraphicsSettings::*enabled,
                                 std::string GraphicsSettings::*text) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), page);
  box->setObjectName(QString::fromUtf8(name));
  QLineEdit* edit = NumberEdit(page, (std::string(name) + "num").c_str(), length, signAllowed);
  controls_.Bind(box, enabled);
  controls_.Bind(edit, text);
  auto* grid = static_cast<QGridLayout*>(page->layout());
  const int row = grid->count() == 0 ? 0 : grid->rowCount();
  grid->addWidget(box, row, 0);
  grid->addWidget(edit, row, 1);
  if (enabled == &GraphicsSettings::start) startBox_ = box;
}

QWidget* Ttoflicform::MakePalettePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  const PaletteControls palette = AddPaletteControls(page, grid, "toflic", [this] { BrowsePalette(); });
  palette_ = palette.name;
  controls_.Bind(palette.halftone, &GraphicsSettings::halftone);
  controls_.Bind(palette.paletteControl, &GraphicsSettings::paletteControl);
  controls_.Bind(palette.windowsColors, &GraphicsSettings::windowsColors);
  AddCheckedEdit(page, "toflicpalcol", "Total palette colors to use:", 3, false, &GraphicsSettings::paletteColors,
                 &GraphicsSettings::paletteColorsNum);
  AddCheckedEdit(page, "toflicpalstart", "Starting palette index to use:", 3, false,
                 &GraphicsSettings::paletteStart, &GraphicsSettings::paletteStartNum);
  AddCheckedEdit(page, "toflicpalevery", "New palette at least every:", 5, false, &GraphicsSettings::paletteEvery,
                 &GraphicsSettings::paletteEveryNum);
  grid->setRowStretch(grid->rowCount(), 1);
  return page;
}

QWidget* Ttoflicform::MakeFramePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  const struct {
    const char* name;
    const char* caption;
    bool GraphicsSettings::*enabled;
    std::string GraphicsSettings::*text;
  } numbers[] = {
      {"toflicx", "X Offset:", &GraphicsSettings::xOffset, &GraphicsSettings::xOffsetNum},
      {"toflicy", "Y Offset:", &GraphicsSettings::yOffset, &GraphicsSettings::yOffsetNum},
      {"toflicw", "Width:", &GraphicsSettings::width, &GraphicsSettings::widthNum},
      {"toflich", "Height:", &GraphicsSettings::height, &GraphicsSettings::heightNum},
      {"toflicstart", "Starting frame:", &GraphicsSettings::start, &GraphicsSettings::startNum},
      {"toflicend", "Ending frame:", &GraphicsSettings::end, &GraphicsSettings::endNum},
  };
  for (const auto& number : numbers) {
    AddCheckedEdit(page, number.name, number.caption, 5, false, number.enabled, number.text);
  }
  AddCheckedEdit(page, "toflicrate", "Frame rate override:", 5, true, &GraphicsSettings::frameRateOverride,
                 &GraphicsSettings::frameRateOverrideNum);
  grid->setRowStretch(grid->rowCount(), 1);
  return page;
}

int Ttoflicform::OutputType() const {
  for (int type = 0; type < kGraphicsOutputTypeCount; ++type) {
    if (typeActions_[type]->isChecked()) return type;
  }
  return 0;
}

void Ttoflicform::ShowSettings(const GraphicsSettings& settings) {
  record_ = settings;
  controls_.Show(settings);
  output_->setText(Shown(settings.outputName));
  typeActions_[settings.outputType >= 0 && settings.outputType < kGraphicsOutputTypeCount ? settings.outputType : 0]
      ->setChecked(true);
  overwrite_->setChecked(settings.overwrite);
  const std::string palette = TrimBlanks(settings.paletteName);
  palette_->setText(Shown(palette.empty() ? kInputPalette : palette));
  const QSignalBlocker quiet(options_);
  options_->setCurrentIndex(std::clamp(settings.currentTab, 0, options_->count() - 1));
}

GraphicsSettings Ttoflicform::CurrentSettings() const {
  GraphicsSettings s = record_;
  controls_.Read(s);
  s.outputName = output_->text().toStdString();
  s.outputType = OutputType();
  s.overwrite = overwrite_->isChecked();
  s.paletteName = palette_->text().toStdString();
  s.currentTab = options_->currentIndex();
  return s;
}

void Ttoflicform::SaveSettings() {
  GraphicsSettings s = CurrentSettings();
  SaveFileListState(*files_, s.filename, s.directory);
  s.filter = files_->FilterIndex();
  frontEnd_.settings.graphics = s;
}

void Ttoflicform::RefreshFileLists() { RefreshFileList(*files_); }

void Ttoflicform::FocusFirstControl() { files_->fileList()->setFocus(); }

void Ttoflicform::SelectionChanged() {
  const std::string selected = files_->SelectedPath();
  convert_->setEnabled(!selected.empty());
  if (selected.empty()) {
    output_->clear();
    return;
  }
  const int type = OutputType();
  // The input's own format follows each input, whatever extension the last one gave.
  if (type == 0) record_.outputBasedOn = WithoutExtension(record_.outputBasedOn);
  DefaultOutputName(*files_, record_.outputBasedOn, *output_, "New_", GraphicsOutputExtension(type, selected));
}

void Ttoflicform::ChooseOutputType(int type) {
  if (type < 0 || type >= kGraphicsOutputTypeCount) return;
  record_.outputBasedOn = WithoutExtension(record_.outputBasedOn);
  typeActions_[type]->setChecked(true);
  SelectionChanged();
}

void Ttoflicform::PageChosen(int index) {
  if (index == 0) {
    palette_->setFocus();
  } else if (startBox_) {
    startBox_->setFocus();
  }
}

void Ttoflicform::BrowsePalette() {
  const std::string selected = files_->SelectedPath();
  OpenRequest request;
  request.caption = "Use the palette from:";
  request.filter = kGraphicsFileFilter;
  request.filterIndex = files_->FilterIndex();
  request.startFile = selected.empty() ? WithSeparator(files_->Directory()) + "untitled" : selected;
  const OpenResult chosen = OpenFileDialog(frontEnd_, request);
  if (!chosen.file.empty()) palette_->setText(Shown(chosen.file));
}

void Ttoflicform::DefaultsPressed() {
  if (!ConfirmResetDefaults(frontEnd_)) return;
  GraphicsSettings settings = CurrentSettings();
  ResetGraphicsOptions(settings);
  ShowSettings(settings);
  SelectionChanged();
}

void Ttoflicform::ConvertPressed() {
  const GraphicsSettings settings = CurrentSettings();
  const std::string selected = files_->SelectedPath();
  GraphicsRun run;
  run.listDirectory = files_->Directory();
  run.inputAndOutput = GatherToolInput(frontEnd_, *files_, settings.outputName);
  if (run.inputAndOutput.empty()) return;
  RunCommand(frontEnd_, run.listDirectory, BuildGraphicsCommand(settings, run));
  AddRunToRecentFiles(frontEnd_, selected, settings.outputName, run.listDirectory);
}

}  // namespace frontend
