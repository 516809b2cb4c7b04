#include "frontend/pages/sound_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/request_queue.h"
#include "frontend/core/tab_page.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/pages/sound_command.h"
#include "frontend/pages/tool_input.h"
#include "frontend/pages/tool_page_frame.h"

namespace frontend {
namespace {

// The record keeps the rate list's own entry number for a typed rate.
static_assert(kTypedSoundRate == kTypedRateEntry);

void AddRow(QGridLayout* grid, QWidget* left, QWidget* right) {
  const int row = grid->count() == 0 ? 0 : grid->rowCount();
  grid->addWidget(left, row, 0);
  if (right) grid->addWidget(right, row, 1);
}

}  // namespace

Ttowavform::Ttowavform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd), record_(context.frontEnd.settings.sound) {
  auto* inputGroup = new QGroupBox(QStringLiteral(" Highlight a file containing &sound: "), this);
  files_ = AddInputFiles(inputGroup, "towav", frontEnd_);

  auto* outputGroup = new QGroupBox(QStringLiteral(" &Enter the output file name:"), this);
  output_ = new QLineEdit(outputGroup);
  output_->setObjectName(QStringLiteral("towavout"));
  (new QHBoxLayout(outputGroup))->addWidget(output_);

  auto* optionGroup = new QGroupBox(QStringLiteral(" &Options: "), this);
  options_ = new QTabWidget(optionGroup);
  options_->setObjectName(QStringLiteral("towavtab"));
  options_->addTab(MakeOutputPage(), QStringLiteral("Output Info"));
  options_->addTab(MakeInputPage(), QStringLiteral("Input Info"));
  (new QVBoxLayout(optionGroup))->addWidget(options_);

  const ToolPageButtons buttons = LayOutToolPage(this, frontEnd_, inputGroup, outputGroup, optionGroup, "&Convert",
                                                 [this] { ConvertPressed(); }, [this] { DefaultsPressed(); });
  convert_ = buttons.run;
  convert_->setObjectName(QStringLiteral("towavtowav"));
  buttons.defaults->setObjectName(QStringLiteral("towavdef"));
  buttons.help->setObjectName(QStringLiteral("towavhelp"));
  buttons.howDoI->setObjectName(QStringLiteral("towavhow"));
  buttons.back->setObjectName(QStringLiteral("towavmain"));
  QObject::connect(options_, &QTabWidget::currentChanged, [this](int index) { PageChosen(index); });
  files_->onSelectionChanged = Guarded([this] { SelectionChanged(); });

  // The output name first, then the file controls (whose selection may propose another), then
  // the rest.
  const SoundSettings& saved = frontEnd_.settings.sound;
  output_->setText(Shown(saved.outputName));
  RestoreFileListState(frontEnd_, context.menus, *files_, kSoundFileFilter, saved.filter, saved.directory,
                       saved.filename);
  SoundSettings shown = record_;
  shown.outputName = output_->text().toStdString();
  ShowSettings(shown);
}

Ttowavform::~Ttowavform() = default;

QWidget* Ttowavform::MakeOutputPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  rate_ = SoundRateBox(page, "towavrate");
  typedRate_ = std::make_unique<TypedRateBox>(rate_, kTypedSoundRate);
  QComboBox* bits = SoundBitsBox(page, "towavbits");
  QComboBox* channels = SoundChannelsBox(page, "towavchannels");
  controls_.Bind(bits, &SoundSettings::quality);
  controls_.Bind(channels, &SoundSettings::channels);
  const std::pair<const char*, QComboBox*> rows[] = {
      {"Output playback rate (sound frequency):", rate_},
      {"Output sound quality (sound bit depth):", bits},
      {"Output sound channels (mono or stereo):", channels},
  };
  for (const auto& [label, box] : rows) {
    AddRow(grid, new QLabel(QString::fromUtf8(label), page), nullptr);
    AddRow(grid, box, nullptr);
  }
  auto* overwrite = new QCheckBox(QStringLiteral("Overwrite without asking?"), page);
  overwrite->setObjectName(QStringLiteral("towavover"));
  controls_.Bind(overwrite, &SoundSettings::overwrite);
  AddRow(grid, overwrite, nullptr);
  grid->setRowStretch(grid->rowCount(), 1);
  return page;
}

QWidget* Ttowavform::MakeInputPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  inputType_ = Choice(page, "inputtype",
                      {"Use the default input type.", "Force to 8 bit, mono.", "Force to 8 bit, stereo.",
                       "Force to 16 bit, mono.", "Force to 16 bit, stereo."});
  controls_.Bind(inputType_, &SoundSettings::inputType);
  grid->addWidget(inputType_, 0, 0, 1, 2);
  const struct {
    const char* name;
    const char* label;
    std::string SoundSettings::*text;
  } rawFields[] = {
      {"forcerate", "Forced input data rate:", &SoundSettings::forceRate},
      {"skipbytes", "Skip into input  (bytes):", &SoundSettings::skipBytes},
  };
  for (const auto& field : rawFields) {
    auto* label = new QLabel(QString::fromUtf8(field.label), page);
    QLineEdit* edit = NumberEdit(page, field.name, 6, false);
    controls_.Bind(edit, field.text);
    AddRow(grid, label, edit);
    rawInputControls_.push_back(label);
    rawInputControls_.push_back(edit);
  }
  const struct {
    const char* name;
    const char* caption;
    bool SoundSettings::*enabled;
    std::string SoundSettings::*text;
  } checked[] = {
      {"towavtrack", "Convert a specific track:", &SoundSettings::track, &SoundSettings::trackNum},
      {"towavstart", "Starting time (milliseconds):", &SoundSettings::start, &SoundSettings::startNum},
      {"towavend", "Ending time (milliseconds):", &SoundSettings::end, &SoundSettings::endNum},
  };
  for (const auto& field : checked) {
    auto* box = new QCheckBox(QString::fromUtf8(field.caption), page);
    box->setObjectName(QString::fromUtf8(field.name));
    QLineEdit* edit = NumberEdit(page, (std::string(field.name) + "num").c_str(), 7, false);
    controls_.Bind(box, field.enabled);
    controls_.Bind(edit, field.text);
    AddRow(grid, box, edit);
    if (field.enabled == &SoundSettings::start) startBox_ = box;
  }
  grid->setRowStretch(grid->rowCount(), 1);
  QObject::connect(inputType_, &QComboBox::currentIndexChanged, [this] { InputTypeChanged(); });
  return page;
}

void Ttowavform::ShowSettings(const SoundSettings& settings) {
  record_ = settings;
  controls_.Show(settings);
  output_->setText(Shown(settings.outputName));
  // A typed rate lives only while the page does.
  typedRate_->ShowEntry(settings.rate >= 0 && settings.rate < kTypedSoundRate ? settings.rate : 0);
  {
    const QSignalBlocker quiet(options_);
    options_->setCurrentIndex(std::clamp(settings.currentTab, 0, options_->count() - 1));
  }
  InputTypeChanged();
}

SoundSettings Ttowavform::CurrentSettings() const {
  SoundSettings s = record_;
  controls_.Read(s);
  s.outputName = output_->text().toStdString();
  s.rate = typedRate_->typed() ? kTypedSoundRate : std::max(rate_->currentIndex(), 0);
  s.currentTab = options_->currentIndex();
  return s;
}

std::string Ttowavform::TypedRate() const { return typedRate_->TypedRate(); }

void Ttowavform::SaveSettings() {
  SoundSettings s = CurrentSettings();
  SaveFileListState(*files_, s.filename, s.directory);
  s.filter = files_->FilterIndex();
  frontEnd_.settings.sound = s;
}

void Ttowavform::RefreshFileLists() { RefreshFileList(*files_); }

void Ttowavform::FocusFirstControl() { files_->fileList()->setFocus(); }

void Ttowavform::SelectionChanged() {
  const bool selected = !files_->SelectedPath().empty();
  convert_->setEnabled(selected);
  if (selected) {
    DefaultOutputName(*files_, record_.outputBasedOn, *output_, "New_", "wav");
  } else {
    output_->clear();
  }
}

void Ttowavform::InputTypeChanged() {
  const bool raw = inputType_->currentIndex() > 0;
  for (QWidget* control : rawInputControls_) control->setEnabled(raw);
}

void Ttowavform::PageChosen(int index) {
  if (index == 0) {
    rate_->setFocus();
  } else {
    startBox_->setFocus();
  }
}

void Ttowavform::DefaultsPressed() {
  if (!ConfirmResetDefaults(frontEnd_)) return;
  SoundSettings settings = CurrentSettings();
  ResetSoundOptions(settings);
  ShowSettings(settings);
  files_->SetFilterIndex(0);
  SelectionChanged();
}

void Ttowavform::ConvertPressed() {
  const SoundSettings settings = CurrentSettings();
  SoundRun run;
  run.typedRate = TypedRate();
  const std::string problem = CheckSoundSettings(settings, run);
  if (!problem.empty()) {
    ErrorBox(frontEnd_, problem);
    return;
  }
  const std::string selected = files_->SelectedPath();
  const std::string directory = files_->Directory();
  run.inputAndOutput = GatherToolInput(frontEnd_, *files_, settings.outputName);
  if (run.inputAndOutput.empty()) return;
  RunCommand(frontEnd_, directory, BuildSoundCommand(settings, run));
  AddRunToRecentFiles(frontEnd_, selected, settings.outputName, directory);
}

}  // namespace frontend
