#include "frontend/pages/executable_builder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/name_parts.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/popup_menus.h"
#include "frontend/pages/page_controls.h"
#include "frontend/pages/page_utilities.h"
#include "platform/face/dialogs.h"
#include "platform/face/frame_guard.h"
#include "platform/gui/window_placement.h"
#include "platform/system/file_operations.h"

namespace frontend {
namespace {

constexpr const char* kCaption = "Compile Vantrel Executable";

bool SameDirectory(const std::string& a, const std::string& b) {
  return WithSeparator(a) == WithSeparator(b) || platform::SameFile(a, b);
}

// Each name of the list in double quotes; a name already quoted stays one name.
std::string QuotedNames(const std::string& list) {
  std::string quoted;
  for (auto [word, rest] = SplitFirstWord(list); !word.empty(); std::tie(word, rest) = SplitFirstWord(rest)) {
    if (!quoted.empty()) quoted += " ";
    quoted += Quoted(Unquoted(word));
  }
  return quoted;
}

}  // namespace

ExecutableBuild StartingBuild(const std::string& inputFile, const std::string& playerSwitches) {
  ExecutableBuild build;
  build.inputFile = inputFile;
  build.outputDirectory = WithoutSeparator(DirectoryPart(inputFile));
  build.outputName = NamePart(WithoutExtension(inputFile)) + ".exe";
  build.videos = Quoted(NamePart(inputFile));
  build.playerSwitches = TrimBlanks(playerSwitches);
  return build;
}

std::string OutputExecutable(const ExecutableBuild& build) {
  const std::string name = Unquoted(build.outputName);
  if (!name.empty() && name[0] == '/') return name;
  return WithSeparator(build.outputDirectory) + name;
}

std::string DeliveredPlayer(const std::string& programDirectory) {
  return WithSeparator(programDirectory) + ToolProgramName("VantPlW");
}

std::string BuildBinderCommand(const ExecutableBuild& build, const std::string& programDirectory) {
  const std::string output = OutputExecutable(build);
  const bool besideInput = SameDirectory(DirectoryPart(output), DirectoryPart(build.inputFile));
  return "VntCompi " + Quoted(DeliveredPlayer(programDirectory)) + " " +
         Quoted(besideInput ? NamePart(output) : output) + " \"" + TrimBlanks(build.playerSwitches) +
         "\" " + QuotedNames(build.videos);
}

Tselff::Tselff(FrontEnd& frontEnd, const std::string& inputFile, const std::string& playerSwitches,
               QWidget* owner)
    : DialogWindow(frontEnd, frontEnd.helpContext, kCaption), input_(inputFile) {
  setObjectName(QStringLiteral("Tselff"));
  if (owner) setParent(owner, windowFlags());

  auto* outputGroup = new QGroupBox(QStringLiteral(" &Output executable file: "), this);
  files_ = new FileControls(outputGroup);
  files_->SetPartNames("out");
  files_->filterBox()->hide();
  files_->SetMask("*.exe");
  output_ = new QLineEdit(outputGroup);
  output_->setObjectName(QStringLiteral("outtext"));
  auto* outputLayout = new QVBoxLayout(outputGroup);
  outputLayout->addWidget(output_);
  outputLayout->addWidget(files_, 1);

  auto* inputGroup = new QGroupBox(QStringLiteral(" &Input information: "), this);
  videos_ = new QLineEdit(inputGroup);
  videos_->setObjectName(QStringLiteral("sfiles"));
  switches_ = new QLineEdit(inputGroup);
  switches_->setObjectName(QStringLiteral("pswitches"));
  auto* list = new QPushButton(QStringLiteral("List"), inputGroup);
  list->setObjectName(QStringLiteral("List"));
  list->setAutoDefault(false);
  auto* systemGroup = new QGroupBox(QStringLiteral(" Create for what Operating System: "), inputGroup);
  const char* const systemNames[3][2] = {{"os1", "Win 95, Win NT, or Win 32s"},
                                         {"os2", "Windows 3.1 (runs under Win32)"},
                                         {"os3", "MS-DOS"}};
  auto* systemLayout = new QVBoxLayout(systemGroup);
  for (int i = 2; i >= 0; --i) {
    systems_[i] = new QRadioButton(QString::fromUtf8(systemNames[i][1]), systemGroup);
    systems_[i]->setObjectName(QString::fromUtf8(systemNames[i][0]));
    // Only the player the toolkit delivers can be bound.
    systems_[i]->setEnabled(i == 0);
    systemLayout->addWidget(systems_[i]);
  }
  systems_[0]->setChecked(true);
  auto* switchRow = new QHBoxLayout;
  switchRow->addWidget(switches_, 1);
  switchRow->addWidget(list);
  auto* inputLayout = new QVBoxLayout(inputGroup);
  inputLayout->addWidget(new QLabel(QStringLiteral("Compile what Vantrel files:"), inputGroup));
  inputLayout->addWidget(videos_);
  inputLayout->addWidget(new QLabel(QStringLiteral("Create with what player switches:"), inputGroup));
  inputLayout->addLayout(switchRow);
  inputLayout->addWidget(systemGroup);
  inputLayout->addStretch();

  compile_ = new QPushButton(QStringLiteral("Co&mpile"), this);
  compile_->setObjectName(QStringLiteral("outok"));
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cancel->setObjectName(QStringLiteral("outcancel"));
  cancel->setAutoDefault(false);
  auto* buttons = ButtonRow({compile_, cancel});
  buttons->insertStretch(0);
  auto* columns = new QHBoxLayout;
  columns->addWidget(outputGroup, 1);
  columns->addWidget(inputGroup, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);
  resize(platform::ScaledForFont(QSize(620, 340), fontMetrics()));

  compile_->setDefault(true);
  QObject::connect(compile_, &QPushButton::clicked, Guarded([this] { CompilePressed(); }));
  QObject::connect(cancel, &QPushButton::clicked, [this] { reject(); });
  QObject::connect(list, &QPushButton::clicked, Guarded([this] { ListPressed(); }));
  QObject::connect(output_, &QLineEdit::textChanged, [this] { OutputTextChanged(); });
  files_->onSelectionChanged = Guarded([this] { OutputFileChanged(); });
  files_->onFileActivated = [this](const std::string& path) {
    platform::RunGuarded("Opening " + path, [&] {
      OpenFileByType(this->frontEnd(), path);
      RefreshOutputList();
    });
  };

  // The binder started from here reports here; the main window's console shows it.
  endpoint_ = std::make_unique<ReportEndpoint>(
      [this](const platform::ReportRequest& report) {
        const uint32_t answer =
            ReceiveReport(this->frontEnd(), report, [this] { this->frontEnd().RestoreMainWindow(); });
        // The new program shows in the output list once the binder has finished.
        if (answer == 1) QTimer::singleShot(0, this, [this] { RefreshOutputList(); });
        return answer;
      },
      kCaption);
  if (endpoint_->listening()) frontEnd.notifyTargets.Push(endpoint_->number());
  if (frontEnd.mainMenus) menuTarget_ = std::make_unique<ScopedMenuTarget>(*frontEnd.mainMenus, *files_);

  const ExecutableBuild build = StartingBuild(inputFile, playerSwitches);
  defaultOutput_ = build.outputName;
  ShowBuild(build);
}

Tselff::~Tselff() {
  if (endpoint_ && endpoint_->listening()) frontEnd().notifyTargets.Remove(endpoint_->number());
}

int32_t Tselff::reportNumber() const { return endpoint_ && endpoint_->listening() ? endpoint_->number() : 0; }

QRadioButton& Tselff::systemButton(int number) { return *systems_[std::clamp(number, 1, 3) - 1]; }

ExecutableBuild Tselff::CurrentBuild() const {
  ExecutableBuild build;
  build.inputFile = input_;
  build.outputDirectory = files_->Directory();
  build.outputName = output_->text().toStdString();
  build.videos = videos_->text().toStdString();
  build.playerSwitches = switches_->text().toStdString();
  return build;
}

void Tselff::ShowBuild(const ExecutableBuild& build) {
  input_ = build.inputFile;
  if (!files_->SetDirectory(build.outputDirectory)) files_->SetDirectory(frontEnd().ConsoleDirectory());
  // An existing program of that name is highlighted; the name stays as given either way.
  files_->onSelectionChanged = nullptr;
  if (!files_->SelectFile(Unquoted(build.outputName))) files_->ClearSelection();
  files_->onSelectionChanged = Guarded([this] { OutputFileChanged(); });
  output_->setText(Shown(build.outputName));
  videos_->setText(Shown(build.videos));
  switches_->setText(Shown(build.playerSwitches));
  output_->selectAll();
  output_->setFocus();
  OutputTextChanged();
}

void Tselff::OutputFileChanged() {
  const std::string picked = NamePart(files_->SelectedPath());
  output_->setText(Shown(picked.empty() ? defaultOutput_ : picked));
}

void Tselff::OutputTextChanged() { compile_->setEnabled(!TrimBlanks(output_->text().toStdString()).empty()); }

void Tselff::RefreshOutputList() { RefreshFileList(*files_, NamePart(OutputExecutable(CurrentBuild()))); }

void Tselff::CompilePressed() {
  const ExecutableBuild build = CurrentBuild();
  if (TrimBlanks(build.outputName).empty()) return;
  RunCommand(frontEnd(), DirectoryPart(build.inputFile),
             BuildBinderCommand(build, frontEnd().ProgramDirectory()));
}

void Tselff::ListPressed() {
  // Started without a video, the player lists its switches.
  frontEnd().starter().Start(Quoted(DeliveredPlayer(frontEnd().ProgramDirectory())), DirectoryPart(input_));
}

void OpenExecutableBuilder(FrontEnd& frontEnd, const std::string& inputFile,
                           const std::string& playerSwitches, QWidget* owner) {
  if (!platform::DialogsAreInteractive()) return;  // nobody could fill it in
  Tselff builder(frontEnd, inputFile, playerSwitches, owner);
  builder.Run();
}

}  // namespace frontend
