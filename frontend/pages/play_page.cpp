#include "frontend/pages/play_page.h"

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
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/executable_builder.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/pages/page_widgets.h"
#include "frontend/pages/play_command.h"

namespace frontend {
namespace {

// The option pages are grids of rows: a box, or a caption, with a control beside it.
class Rows {
 public:
  explicit Rows(QWidget* page) : page_(page), grid_(new QGridLayout(page)) {}

  QCheckBox* Box(const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), page_);
    grid_->addWidget(box, grid_->rowCount(), 0, 1, 2);
    return box;
  }
  // A box with a number field beside it.
  std::pair<QCheckBox*, QLineEdit*> Numbered(const char* caption, const char* name, int length, bool signAllowed,
                                             const char* hint = nullptr) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), page_);
    QLineEdit* edit = NumberEdit(page_, name, length, signAllowed);
    if (hint) edit->setToolTip(QString::fromUtf8(hint));
    const int row = grid_->rowCount();
    grid_->addWidget(box, row, 0);
    grid_->addWidget(edit, row, 1);
    return {box, edit};
  }
  QComboBox* List(const char* caption, const char* name, std::initializer_list<const char*> items) {
    QComboBox* box = Choice(page_, name, items);
    const int row = grid_->rowCount();
    grid_->addWidget(new QLabel(QString::fromUtf8(caption), page_), row, 0);
    grid_->addWidget(box, row, 1);
    return box;
  }
  QGridLayout* grid() { return grid_; }
  void End() { grid_->setRowStretch(grid_->rowCount(), 1); }

 private:
  QWidget* page_;
  QGridLayout* grid_;
};

}  // namespace

Tplayform::Tplayform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd), record_(context.frontEnd.settings.play) {
  auto* fileGroup = new QGroupBox(QStringLiteral(" Highlight a &Vantrel file to play: "), this);
  files_ = new FileControls(fileGroup);
  files_->SetPartNames("play");
  (new QVBoxLayout(fileGroup))->addWidget(files_);

  options_ = new QTabWidget(this);
  options_->setObjectName(QStringLiteral("playtab"));
  options_->addTab(MakeCommonPage(), QStringLiteral("Common"));
  options_->addTab(MakePositionPage(), QStringLiteral("Position"));
  options_->addTab(MakeSoundPage(), QStringLiteral("Sound"));
  options_->addTab(MakeExpertPage(), QStringLiteral("Expert"));
  QObject::connect(options_, &QTabWidget::currentChanged, [this](int index) {
    if (index >= 0 && index < static_cast<int>(firstControls_.size())) firstControls_[index]->setFocus();
  });

  play_ = Button(this, "&Play", [this] { PlayPressed(); });
  analyze_ = Button(this, "&Analyze", [this] { AnalyzePressed(); });
  compile_ = Button(this, "&Compile to Exe", [this] { CompilePressed(); });
  std::vector<QPushButton*> buttonRow = {play_, analyze_, compile_,
                                         Button(this, "&Defaults", [this] { DefaultsPressed(); })};
  for (QPushButton* button : HelpAndBackButtons(this, frontEnd_)) buttonRow.push_back(button);

  auto* columns = new QHBoxLayout;
  columns->addWidget(fileGroup, 1);
  columns->addWidget(options_, 1);
  LayOutPage(this, columns, buttonRow);

  files_->onSelectionChanged = Guarded([this] { SelectionChanged(); });
  // A double-click plays, as the button does.
  files_->onFileActivated = Guarded([this] { PlayPressed(); });

  const PlaySettings& saved = frontEnd_.settings.play;
  RestoreFileListState(frontEnd_, context.menus, *files_, kPlayFilter, saved.filter, saved.directory, saved.filename);
  ShowSettings(record_);
}

QWidget* Tplayform::MakeCommonPage() {
  auto* page = new QWidget;
  Rows rows(page);
  const auto [loop, loopNum] = rows.Numbered("Loop [forever]:", "playloopnum", 5, false, "Leave blank to loop forever.");
  loop->setObjectName(QStringLiteral("playloop"));
  controls_.Bind(loop, loopNum, &PlaySettings::loop, &PlaySettings::loopNum);
  const auto [rate, rateNum] =
      rows.Numbered("Frame rate [fast]:", "playframenum", 5, true, "Leave blank to play as fast as possible.");
  rate->setObjectName(QStringLiteral("playframe"));
  controls_.Bind(rate, rateNum, &PlaySettings::frameRate, &PlaySettings::frameRateNum);
  rows.grid()->addWidget(Button(page, "Perm.", [this] { PermanentPressed(); }), rows.grid()->rowCount() - 1, 2);
  controls_.Bind(rows.Box("Preload the entire file."), &PlaySettings::preload);
  controls_.Bind(rows.Box("Show a playback summary."), &PlaySettings::showSummary);
  controls_.Bind(rows.Box("Don't drop frames."), &PlaySettings::noFrameDrop);
  controls_.Bind(rows.List("Display:", "playdisplay",
                          {"Automatic", "Full Screen 320x240", "Full Screen 320x200", "Standard Windows DIBs",
                           "CreateDIBSection or WinG"}),
                &PlaySettings::display);
  controls_.Bind(rows.List("Use:", "playuse", {"Current Resolution", "640 x 400", "640 x 480", "800 x 600", "1024 x 768"}),
                &PlaySettings::use);
  controls_.Bind(rows.Box("Show frame numbers."), &PlaySettings::showFrames);
  rows.End();
  firstControls_[0] = loop;
  return page;
}

QWidget* Tplayform::MakePositionPage() {
  auto* page = new QWidget;
  Rows rows(page);
  const auto [x, xNum] = rows.Numbered("Use X Coordinate:", "playxnum", 5, false);
  const auto [y, yNum] = rows.Numbered("Use Y Coordinate:", "playynum", 5, false);
  const auto [w, wNum] = rows.Numbered("Stretch to Width:", "playwnum", 5, true);
  const auto [h, hNum] = rows.Numbered("Stretch to Height:", "playhnum", 5, true);
  controls_.Bind(x, xNum, &PlaySettings::x, &PlaySettings::xNum);
  controls_.Bind(y, yNum, &PlaySettings::y, &PlaySettings::yNum);
  controls_.Bind(w, wNum, &PlaySettings::w, &PlaySettings::wNum);
  controls_.Bind(h, hNum, &PlaySettings::h, &PlaySettings::hNum);
  controls_.Bind(rows.List("Height scaling:", "playyscale", {"Default.", "Interlace.", "Double.", "Force no scaling."}),
                &PlaySettings::yScale);
  rows.End();
  firstControls_[1] = x;
  return page;
}

QWidget* Tplayform::MakeSoundPage() {
  auto* page = new QWidget;
  Rows rows(page);
  for (size_t track = 0; track < tracks_.size(); ++track) {
    tracks_[track] = rows.Box(("Play track " + std::to_string(track + 1) + ".").c_str());
  }
  controls_.Bind(rows.Box("Sound only."), &PlaySettings::soundOnly);
  QCheckBox* directSound = rows.Box("Use DirectSound for playback?");
  controls_.Bind(directSound, &PlaySettings::directSound);
  rows.End();
  firstControls_[2] = directSound;
  return page;
}

QWidget* Tplayform::MakeExpertPage() {
  auto* page = new QWidget;
  Rows rows(page);
  QCheckBox* doubleBuffer = rows.Box("Double-buffer.");
  controls_.Bind(doubleBuffer, &PlaySettings::doubleBuffer);
  controls_.Bind(rows.Box("Don't clear between."), &PlaySettings::noClear);
  controls_.Bind(rows.Box("Don't remap palette."), &PlaySettings::noRemap);
  controls_.Bind(rows.Box("Load extra memory."), &PlaySettings::loadExtra);
  controls_.Bind(rows.Box("Show differences only."), &PlaySettings::deltasOnly);
  controls_.Bind(rows.Box("Don't pause on lost focus."), &PlaySettings::noPause);
  controls_.Bind(rows.List("Controls:", "playcont",
                          {"All enabled.", "No pause.", "No skip.", "No pause, no skip.", "No quit.",
                           "No pause, no quit.", "No skip, no quit.", "No pause. no skip, no quit."}),
                &PlaySettings::disabledControls);
  controls_.Bind(rows.List("Style:", "playnotitle",
                          {"Caption, thick border.", "Caption, thin border.", "No caption, thin border.",
                           "No caption, thick border.", "No caption, no border."}),
                &PlaySettings::style);
  const auto [simulate, simulateNum] =
      rows.Numbered("Simulate bytes/sec:", "playsimnum", 7, false,
                    "This is a bytes per second value, so a double-speed CD-ROM would be 300,000.");
  const auto [extra, extraNum] = rows.Numbered("Use extra memory:", "playextranum", 7, false);
  controls_.Bind(simulate, simulateNum, &PlaySettings::simulate, &PlaySettings::simulateNum);
  controls_.Bind(extra, extraNum, &PlaySettings::extraMem, &PlaySettings::extraMemNum);
  rows.End();
  firstControls_[3] = doubleBuffer;
  return page;
}

void Tplayform::ShowSettings(const PlaySettings& settings) {
  record_ = settings;
  controls_.Show(settings);
  for (size_t track = 0; track < tracks_.size(); ++track) tracks_[track]->setChecked(settings.tracks >> track & 1);
  const QSignalBlocker quiet(options_);
  options_->setCurrentIndex(std::clamp(settings.currentTab, 0, options_->count() - 1));
}

PlaySettings Tplayform::CurrentSettings() const {
  PlaySettings s = record_;
  controls_.Read(s);
  s.tracks = 0;
  for (size_t track = 0; track < tracks_.size(); ++track) {
    if (tracks_[track]->isChecked()) s.tracks |= 1 << track;
  }
  s.currentTab = options_->currentIndex();
  return s;
}

void Tplayform::SaveSettings() {
  PlaySettings s = CurrentSettings();
  SaveFileListState(*files_, s.filename, s.directory);
  s.filter = files_->FilterIndex();
  frontEnd_.settings.play = s;
}

void Tplayform::RefreshFileLists() { RefreshFileList(*files_); }

void Tplayform::FocusFirstControl() { files_->fileList()->setFocus(); }

void Tplayform::SelectionChanged() {
  const bool selected = !files_->SelectedPath().empty();
  for (QPushButton* button : {play_, analyze_, compile_}) button->setEnabled(selected);
}

void Tplayform::PlayPressed() {
  const std::string video = files_->SelectedPath();
  if (video.empty()) return;
  // Anything but a video (a bound player, a list, a flic, a picture) opens as its type says.
  if (!HasVideoMagic(video)) {
    OpenFileByType(frontEnd_, video);
    return;
  }
  const PlaySettings settings = CurrentSettings();
  const std::string problem = CheckPlaySettings(settings);
  if (!problem.empty()) {
    ErrorBox(frontEnd_, problem);
    return;
  }
  const std::string directory = files_->Directory();
  RunCommand(frontEnd_, directory, BuildPlayCommand(video, directory, PlayerSwitches(settings)));
  AddRecentFile(frontEnd_.settings, video);
}

void Tplayform::AnalyzePressed() {
  const std::string video = files_->SelectedPath();
  if (video.empty()) return;
  RunCommand(frontEnd_, files_->Directory(), "VntTune " + QuoteRelativeName(video, files_->Directory()));
  AddRecentFile(frontEnd_.settings, video);
}

void Tplayform::CompilePressed() {
  const std::string video = files_->SelectedPath();
  if (video.empty()) return;
  const PlaySettings settings = CurrentSettings();
  const std::string problem = CheckPlaySettings(settings);
  if (!problem.empty()) {
    ErrorBox(frontEnd_, problem);
    return;
  }
  OpenExecutableBuilder(frontEnd_, video, PlayerSwitches(settings), this);
  RefreshFileList(*files_);
}

void Tplayform::PermanentPressed() {
  SetPermanentFrameRate(frontEnd_, files_->SelectedPath(), CurrentSettings().frameRateNum);
}

void Tplayform::DefaultsPressed() {
  if (!ConfirmResetDefaults(frontEnd_)) return;
  PlaySettings settings = CurrentSettings();
  ResetPlayOptions(settings);
  ShowSettings(settings);
}

}  // namespace frontend
