#include "frontend/files/dialogs_open.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/popup_menus.h"
#include "platform/face/dialogs.h"

namespace frontend {

Topenform::Topenform(FrontEnd& frontEnd, const OpenRequest& request)
    : DialogWindow(frontEnd, request.helpContext, request.caption),
      controls_(new FileControls(this)),
      open_(new QPushButton(ShownText(request.button), this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ShownText(request.prompt), this));
  layout->addWidget(controls_);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  layout->addLayout(ButtonRow({open_, cancel}));
  open_->setDefault(true);

  if (!request.filter.empty()) {
    controls_->SetFilter(request.filter);
    controls_->SetFilterIndex(request.filterIndex);
  }
  if (!request.mask.empty()) controls_->SetMask(request.mask);
  controls_->SetMultiSelect(request.multiSelect);
  const std::string start = request.startFile.empty() ? frontEnd.ConsoleDirectory() : request.startFile;
  const std::string startDirectory = DirectoryPart(start).empty() ? frontEnd.ConsoleDirectory() : DirectoryPart(start);
  if (!controls_->SetDirectory(startDirectory)) controls_->SetDirectory(frontEnd.ConsoleDirectory());
  controls_->SelectFile(NamePart(start));

  const auto update = [this] { open_->setEnabled(!controls_->SelectedPath().empty()); };
  controls_->onSelectionChanged = update;
  controls_->onFileActivated = [this](const std::string& path) { OpenFileByType(this->frontEnd(), path); };
  update();
  QObject::connect(open_, &QPushButton::clicked, [this] { Open(); });
  QObject::connect(cancel, &QPushButton::clicked, [this] {
    result_ = {};
    reject();
  });

  // Tools started from here (a double click) report here; the main window shows the reports.
  endpoint_ = std::make_unique<ReportEndpoint>(
      [this](const platform::ReportRequest& report) {
        return ReceiveReport(this->frontEnd(), report, [this] { this->frontEnd().RestoreMainWindow(); });
      },
      request.caption);
  if (endpoint_->listening()) frontEnd.notifyTargets.Push(endpoint_->number());
  if (PopupMenus* menus = frontEnd.mainMenus) {
    previousTarget_ = menus->Target();
    menus->Attach(*controls_);
  }
}

Topenform::~Topenform() {
  if (endpoint_ && endpoint_->listening()) frontEnd().notifyTargets.Remove(endpoint_->number());
  if (PopupMenus* menus = frontEnd().mainMenus) menus->SetTarget(previousTarget_);
}

int32_t Topenform::reportNumber() const { return endpoint_ && endpoint_->listening() ? endpoint_->number() : 0; }

void Topenform::Open() {
  const std::string path = controls_->SelectedPath();
  if (path.empty()) return;
  result_.file = path;
  result_.selected = controls_->SelectedFiles();
  accept();
}

OpenResult OpenFileDialog(FrontEnd& frontEnd, const OpenRequest& request) {
  if (!platform::DialogsAreInteractive()) {
    ScopedHelpContext help(frontEnd, request.helpContext);
    const std::string directory =
        DirectoryPart(request.startFile).empty() ? frontEnd.ConsoleDirectory() : DirectoryPart(request.startFile);
    const std::string filter = ServiceFilter(request.filter);
    OpenResult result;
    if (request.multiSelect) {
      for (const std::string& file : platform::PromptOpenFiles(request.caption, directory, filter, frontEnd.mainWindow)) {
        if (result.file.empty()) result.file = file;
        result.selected.push_back(NamePart(file));
      }
    } else if (const std::optional<std::string> file =
                   platform::PromptOpenFile(request.caption, directory, filter, frontEnd.mainWindow)) {
      result.file = *file;
      result.selected.push_back(NamePart(*file));
    }
    return result;
  }
  Topenform window(frontEnd, request);
  window.Run();
  return window.result();
}

}  // namespace frontend
