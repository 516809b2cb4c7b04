#include "frontend/files/output_name_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/name_parts.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/popup_menus.h"
#include "platform/face/dialogs.h"
#include "platform/gui/window_placement.h"
#include "platform/system/file_operations.h"

namespace frontend {
namespace {

QString Shown(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

std::string ResolveOutputName(const std::string& typedText, const std::string& listDirectory,
                              const std::string& proposal) {
  const std::string typed = Unquoted(typedText);
  std::string result = typed;
  if (typed.empty() || typed[0] != '/') result = WithSeparator(listDirectory) + typed;
  result = std::filesystem::path(result).lexically_normal().string();
  if (platform::IsDirectory(result)) result = WithSeparator(result) + NamePart(proposal);
  if (ExtensionOf(result).empty()) result += ExtensionOf(NamePart(proposal));
  return result;
}

Toutwin::Toutwin(FrontEnd& frontEnd, const OutputNameRequest& request, PopupMenus* menus,
                 QWidget* owner)
    : QDialog(owner ? owner : frontEnd.mainWindow),
      frontEnd_(frontEnd),
      request_(request),
      help_(frontEnd, request.helpContext),
      prompt_(new QGroupBox(Shown(request.prompt), this)),
      files_(new FileControls(prompt_)),
      name_(new QLineEdit(prompt_)),
      ok_(new QPushButton(Shown(request.button.empty() ? "&OK" : request.button), this)),
      cancel_(new QPushButton(QStringLiteral("&Cancel"), this)) {
  setObjectName(QStringLiteral("Toutwin"));
  setWindowTitle(Shown(request.caption));
  setModal(true);
  files_->SetPartNames("out");
  name_->setObjectName(QStringLiteral("outtext"));
  ok_->setObjectName(QStringLiteral("outok"));
  auto* help = new QPushButton(QStringLiteral("&Help"), this);

  auto* promptLayout = new QVBoxLayout(prompt_);
  promptLayout->addWidget(name_);
  promptLayout->addWidget(files_);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addWidget(help);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(prompt_, 1);
  layout->addLayout(buttons);
  resize(platform::ScaledForFont(QSize(520, 300), fontMetrics()));

  ok_->setDefault(true);
  QObject::connect(ok_, &QPushButton::clicked, [this] { OkPressed(); });
  QObject::connect(cancel_, &QPushButton::clicked, [this] { CancelPressed(); });
  QObject::connect(help, &QPushButton::clicked, [this] { ShowTabHelp(frontEnd_); });

  if (!request.filter.empty()) files_->SetFilter(request.filter);
  files_->SetFilterIndex(request.filterIndex);
  const std::string directory = DirectoryPart(request.proposal);
  if (!directory.empty()) files_->SetDirectory(directory);
  name_->setText(Shown(NamePart(request.proposal)));
  name_->selectAll();
  files_->onSelectionChanged = [this] { FilePicked(); };
  files_->onFileActivated = [this](const std::string& path) { OpenFileByType(frontEnd_, path); };

  endpoint_ = std::make_unique<ReportEndpoint>(
      [this](const platform::ReportRequest& report) {
        return ReceiveReport(frontEnd_, report, [this] { frontEnd_.RestoreMainWindow(); });
      },
      request.caption);
  if (endpoint_->listening()) {
    notifyTarget_ = std::make_unique<ScopedNotifyTarget>(frontEnd_.notifyTargets, endpoint_->number());
  }
  if (menus) menuTarget_ = std::make_unique<ScopedMenuTarget>(*menus, *files_);
  platform::OpenCentred(*this);
}

Toutwin::~Toutwin() = default;

int32_t Toutwin::notifyNumber() const { return endpoint_ ? endpoint_->number() : 0; }

void Toutwin::FilePicked() {
  const std::string picked = NamePart(files_->SelectedPath());
  name_->setText(Shown(picked.empty() ? NamePart(request_.proposal) : picked));
}

void Toutwin::OkPressed() {
  const std::string name =
      ResolveOutputName(name_->text().toStdString(), files_->Directory(), request_.proposal);
  if (!AcceptOutputName(frontEnd_, name, request_.policy, request_.proposal)) return;
  chosen_ = name;
  accept();
}

void Toutwin::CancelPressed() {
  chosen_.clear();
  reject();
}

void Toutwin::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    ShowTabHelp(frontEnd_);
    return;
  }
  QDialog::keyPressEvent(event);
}

void InstallOutputNameDialog(FrontEnd& frontEnd, PopupMenus* menus) {
  FrontEnd* fe = &frontEnd;
  auto fallback = frontEnd.dialogs.askOutputName;
  frontEnd.dialogs.askOutputName = [fe, menus, fallback](const OutputNameRequest& request) -> std::string {
    if (!platform::DialogsAreInteractive()) return fallback ? fallback(request) : "";
    Toutwin dialog(*fe, request, menus, QApplication::activeModalWidget());
    dialog.exec();
    return dialog.chosen();
  };
}

}  // namespace frontend
