#include "frontend/pages/mix_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/mix_command.h"
#include "frontend/pages/page_controls.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/pages/page_widgets.h"
#include "frontend/pages/tool_input.h"

namespace frontend {
namespace {

FileControls* NamedFileControls(QGroupBox* group, const char* prefix, bool multiSelect) {
  auto* files = new FileControls(group);
  files->SetPartNames(prefix);
  files->SetMultiSelect(multiSelect);
  (new QVBoxLayout(group))->addWidget(files);
  return files;
}

// A check box with a number field beside it, on the next row of the grid.
std::pair<QCheckBox*, QLineEdit*> CheckedNumberRow(QGridLayout* grid, QWidget* page, const char* name,
                                                   const char* caption, int length, bool signAllowed) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), page);
  box->setObjectName(QString::fromUtf8(name));
  QLineEdit* edit = NumberEdit(page, (std::string(name) + "num").c_str(), length, signAllowed);
  const int row = grid->rowCount();
  grid->addWidget(box, row, 0);
  grid->addWidget(edit, row, 1);
  return {box, edit};
}

void LabelledRow(QGridLayout* grid, QWidget* page, const char* caption, QWidget* control) {
  const int row = grid->rowCount();
  grid->addWidget(new QLabel(QString::fromUtf8(caption), page), row, 0);
  grid->addWidget(control, row, 1);
}

}  // namespace

Tmixform::Tmixform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd), record_(context.frontEnd.settings.mix) {
  auto* videoGroup = new QGroupBox(QStringLiteral(" Highlight a &Vantrel file to mix: "), this);
  videos_ = NamedFileControls(videoGroup, "mixvnt", false);
  auto* soundGroup = new QGroupBox(QStringLiteral(" Highlight a &WAV file to mix: "), this);
  sounds_ = NamedFileControls(soundGroup, "mixwav", true);

  auto* outputGroup = new QGroupBox(QStringLiteral(" &Enter the output file name:"), this);
  output_ = new QLineEdit(outputGroup);
  output_->setObjectName(QStringLiteral("mixout"));
  (new QHBoxLayout(outputGroup))->addWidget(output_);

  options_ = new QTabWidget(this);
  options_->setObjectName(QStringLiteral("mixtab"));
  options_->addTab(MakeMixingPage(), QStringLiteral("Mixing"));
  options_->addTab(MakeOutputPage(), QStringLiteral("Output Info"));
  options_->addTab(MakeInputPage(), QStringLiteral("Input Info"));
  QObject::connect(options_, &QTabWidget::currentChanged, [this](int index) { PageChanged(index); });

  mix_ = Button(this, "Mi&x", [this] { MixPressed(); });
  analyze_ = Button(this, "&Analyze", [this] { AnalyzePressed(); });
  std::vector<QPushButton*> buttonRow = {mix_, analyze_, Button(this, "&Defaults", [this] { DefaultsPressed(); })};
  for (QPushButton* button : HelpAndBackButtons(this, frontEnd_)) buttonRow.push_back(button);

  auto* lists = new QHBoxLayout;
  lists->addWidget(videoGroup);
  lists->addWidget(soundGroup);
  auto* left = new QVBoxLayout;
  left->addLayout(lists, 1);
  left->addWidget(outputGroup);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addWidget(options_, 2);
  LayOutPage(this, columns, buttonRow);

  for (FileControls* files : {videos_, sounds_}) {
    files->onSelectionChanged = Guarded([this] { SelectionChanged(); });
    files->onFileActivated = OpenByType(frontEnd_);
  }

  const MixSettings& saved = frontEnd_.settings.mix;
  output_->setText(QString::fromStdString(saved.outputName));
  RestoreFileListState(frontEnd_, context.menus, *sounds_, kMixSoundFilter, saved.waveFilter, saved.waveDirectory,
                       saved.waveFilename);
  RestoreFileListState(frontEnd_, context.menus, *videos_, kMixVideoFilter, saved.vantFilter, saved.vantDirectory,
                       saved.vantFilename);
  MixSettings shown = record_;
  shown.outputName = output_->text().toStdString();
  ShowSettings(shown);
}

Tmixform::~Tmixform() = default;

QWidget* Tmixform::MakeMixingPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  QLabel* lossyLabel = nullptr;
  lossy_ = LossyBar(page, lossyLabel);
  grid->addWidget(lossyLabel, 0, 0);
  grid->addWidget(lossy_, 0, 1);
  track_ = Choice(page, "mixtrack", {"Track 1", "Track 2", "Track 3", "Track 4", "Track 5", "Track 6", "Track 7"});
  LabelledRow(grid, page, "Mix data into:", track_);
  const auto [rateBox, rateEdit] = CheckedNumberRow(grid, page, "mixframerate", "Frame rate:", 6, true);
  controls_.Bind(rateBox, rateEdit, &MixSettings::frameRate, &MixSettings::frameRateNum);
  permanent_ = Button(page, "Perm.", [this] { PermanentPressed(); });
  permanent_->setToolTip(QStringLiteral(
      "ONLY click here if you want to change the frame rate of the highlighted Vantrel file PERMANENTLY!"));
  grid->addWidget(permanent_, grid->rowCount() - 1, 2);
  const auto [startBox, startEdit] = CheckedNumberRow(grid, page, "mixstart", "Frame to begin mixing at:", 5, false);
  controls_.Bind(startBox, startEdit, &MixSettings::start, &MixSettings::startNum);
  auto* loop = new QCheckBox(QStringLiteral("Loop sound?"), page);
  loop->setObjectName(QStringLiteral("mixloop"));
  auto* overwrite = new QCheckBox(QStringLiteral("Overwrite without asking?"), page);
  overwrite->setObjectName(QStringLiteral("mixover"));
  controls_.Bind(loop, &MixSettings::loop);
  controls_.Bind(overwrite, &MixSettings::overwrite);
  grid->addWidget(loop, grid->rowCount(), 0);
  grid->addWidget(overwrite, grid->rowCount(), 0);
  grid->setRowStretch(grid->rowCount(), 1);
  return page;
}

QWidget* Tmixform::MakeOutputPage() {
  auto* page = new QWidget;
  auto* grid = new QVBoxLayout(page);
  rate_ = SoundRateBox(page, "mixrate");
  typedRate_ = std::make_unique<TypedRateBox>(rate_, kTypedRateEntry);
  QComboBox* bits = SoundBitsBox(page, "mixbits");
  QComboBox* channels = SoundChannelsBox(page, "mixchannels");
  controls_.Bind(bits, &MixSettings::quality);
  controls_.Bind(channels, &MixSettings::channels);
  const std::pair<const char*, QComboBox*> rows[] = {
      {"Output playback rate (sound frequency):", rate_},
      {"Output sound quality (sound bit depth):", bits},
      {"Output sound channels (mono or stereo):", channels},
  };
  for (const auto& [label, box] : rows) {
    grid->addWidget(new QLabel(QString::fromUtf8(label), page));
    grid->addWidget(box);
  }
  grid->addStretch();
  return page;
}

QWidget* Tmixform::MakeInputPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  inputType_ = Choice(page, "inputtype",
                      {"Use the default input type.", "Force to 8 bit, mono.", "Force to 8 bit, stereo.",
                       "Force to 16 bit, mono.", "Force to 16 bit, stereo.", "Input file contains non-sound data."});
  grid->addWidget(new QLabel(QStringLiteral("Input sound file type:"), page), 0, 0, 1, 2);
  grid->addWidget(inputType_, 1, 0, 1, 2);
  controls_.Bind(inputType_, &MixSettings::format);
  QObject::connect(inputType_, &QComboBox::currentIndexChanged, [this] { InputTypeChanged(); });
  forceRate_ = NumberEdit(page, "forcerate", 6, false);
  skipBytes_ = NumberEdit(page, "skipbytes", 6, false);
  controls_.Bind(forceRate_, &MixSettings::forceRate);
  controls_.Bind(skipBytes_, &MixSettings::skipIntoNum);
  LabelledRow(grid, page, "Forced input data rate:", forceRate_);
  LabelledRow(grid, page, "Skip into input  (bytes):", skipBytes_);
  const auto [trackBox, trackEdit] = CheckedNumberRow(grid, page, "mixintrack", "Convert a specific track:", 7, false);
  const auto [startBox, startEdit] = CheckedNumberRow(grid, page, "mixstartm", "Starting time (milliseconds):", 7, false);
  const auto [endBox, endEdit] = CheckedNumberRow(grid, page, "mixendm", "Ending time (milliseconds):", 7, false);
  controls_.Bind(trackBox, trackEdit, &MixSettings::inputTrack, &MixSettings::inputTrackNum);
  controls_.Bind(startBox, startEdit, &MixSettings::inputStart, &MixSettings::inputStartNum);
  controls_.Bind(endBox, endEdit, &MixSettings::inputEnd, &MixSettings::inputEndNum);
  startTime_ = startEdit;
  grid->setRowStretch(grid->rowCount(), 1);
  return page;
}

void Tmixform::ShowSettings(const MixSettings& settings) {
  record_ = settings;
  output_->setText(QString::fromStdString(settings.outputName));
  controls_.Show(settings);
  lossy_->setValue(std::clamp(settings.lossy, 0, 9));
  track_->setCurrentIndex(settings.track >= 1 && settings.track <= 7 ? settings.track - 1 : 0);
  typedRate_->Show(settings.rate, settings.rateText);
  const QSignalBlocker quiet(options_);
  options_->setCurrentIndex(std::clamp(settings.currentTab, 0, options_->count() - 1));
  InputTypeChanged();
}

MixSettings Tmixform::CurrentSettings() const {
  MixSettings s = record_;
  s.outputName = output_->text().toStdString();
  controls_.Read(s);
  s.lossy = lossy_->value();
  s.track = track_->currentIndex() + 1;
  s.rate = typedRate_->Entry();
  s.rateText = typedRate_->TypedRate();
  s.currentTab = options_->currentIndex();
  return s;
}

void Tmixform::SaveSettings() {
  MixSettings s = CurrentSettings();
  SaveFileListState(*videos_, s.vantFilename, s.vantDirectory);
  SaveFileListState(*sounds_, s.waveFilename, s.waveDirectory);
  s.vantFilter = videos_->FilterIndex();
  s.waveFilter = sounds_->FilterIndex();
  frontEnd_.settings.mix = s;
}

void Tmixform::RefreshFileLists() {
  RefreshFileList(*videos_);
  RefreshFileList(*sounds_);
}

void Tmixform::FocusFirstControl() {
  if (frontEnd_.frameRateRequest) {
    options_->setCurrentIndex(0);
    permanent_->setFocus();
  } else {
    videos_->fileList()->setFocus();
  }
}

void Tmixform::SelectionChanged() {
  const bool video = !videos_->SelectedPath().empty();
  const bool sound = !sounds_->SelectedFiles().empty();
  mix_->setEnabled(video && sound);
  analyze_->setEnabled(video);
  if (video && sound) {
    DefaultOutputName(*videos_, record_.outputBasedOn, *output_, "Mix_", "vnt");
  } else {
    output_->clear();
  }
}

void Tmixform::InputTypeChanged() {
  const bool raw = inputType_->currentIndex() > 0;
  forceRate_->setEnabled(raw);
  skipBytes_->setEnabled(raw);
}

void Tmixform::PageChanged(int index) {
  QWidget* focus[] = {lossy_, rate_, startTime_};
  if (index >= 0 && index < 3) focus[index]->setFocus();
}

void Tmixform::MixPressed() {
  const MixSettings settings = CurrentSettings();
  const std::string video = videos_->SelectedPath();
  if (video.empty()) return;
  const std::string problem = CheckMixSettings(settings);
  if (!problem.empty()) {
    ErrorBox(frontEnd_, problem);
    return;
  }
  // The sound input alone (a list file or a series when asked), relative to its own list.
  std::string sound = Unquoted(GatherToolInput(frontEnd_, *sounds_, ""));
  if (sound.empty()) return;
  if (sound[0] != '/') sound = WithSeparator(sounds_->Directory()) + sound;
  MixRun run;
  run.video = video;
  run.sound = sound;
  run.output = TrimBlanks(settings.outputName);
  run.videoDirectory = videos_->Directory();
  RunCommand(frontEnd_, run.videoDirectory, BuildMixCommand(settings, run));
  AddRecentFile(frontEnd_.settings, video);
  AddRecentFile(frontEnd_.settings, sounds_->SelectedPath());
  AddRecentFile(frontEnd_.settings, run.output[0] == '/' ? run.output : WithSeparator(run.videoDirectory) + run.output);
}

void Tmixform::AnalyzePressed() {
  const std::string video = videos_->SelectedPath();
  if (video.empty()) return;
  RunCommand(frontEnd_, videos_->Directory(), "VntTune " + QuoteRelativeName(video, videos_->Directory()));
}

void Tmixform::PermanentPressed() {
  SetPermanentFrameRate(frontEnd_, videos_->SelectedPath(), CurrentSettings().frameRateNum);
}

void Tmixform::DefaultsPressed() {
  if (!ConfirmResetDefaults(frontEnd_)) return;
  MixSettings settings = CurrentSettings();
  ResetMixOptions(settings);
  ShowSettings(settings);
  SelectionChanged();
}

}  // namespace frontend
