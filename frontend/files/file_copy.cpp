#include "frontend/files/file_copy.h"

#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

#include "frontend/core/basic_console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_format.h"
#include "platform/face/dialogs.h"
#include "platform/gui/stop_requests.h"
#include "platform/system/wildcard.h"

namespace frontend {

Tcopyform::Tcopyform(FrontEnd& frontEnd)
    : WorkWindow(frontEnd, frontEnd.helpContext, "Copying...", "Do you want to cancel the file copy?"),
      bar_(new QProgressBar(this)) {
  auto* layout = new QVBoxLayout(this);
  bar_->setTextVisible(false);
  bar_->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: blue; }"));
  bar_->setMinimumWidth(300);
  layout->addWidget(bar_);
  layout->addWidget(cancelButton(), 0, Qt::AlignHCenter);
}

platform::CopyResult Tcopyform::Copy(const std::string& source, const std::string& target) {
  setWindowTitle(ShownText("Copying " + NamePart(source) + "..."));
  BeginJob();
  bar_->setRange(0, 1);
  bar_->setValue(0);
  const platform::CopyResult result =
      platform::CopyFile(source, target, [this](uint64_t copied, uint64_t total) {
        const uint64_t blocks = total / platform::kCopyBlockSize + 1;
        const uint64_t done = (copied + platform::kCopyBlockSize - 1) / platform::kCopyBlockSize;
        bar_->setRange(0, static_cast<int>(std::min<uint64_t>(blocks, INT32_MAX)));
        bar_->setValue(static_cast<int>(std::min<uint64_t>(done, INT32_MAX)));
        return KeepGoing();
      });
  EndJob();
  return result;
}

CopyOutcome CopyFiles(FrontEnd& frontEnd, const std::string& sourceName, const std::string& targetName) {
  CopyOutcome outcome;
  const std::string source = ConsolePath(frontEnd, sourceName);
  outcome.target = platform::WildcardTargetName(ConsolePath(frontEnd, targetName), source);
  if (source == outcome.target || platform::SameFile(source, outcome.target)) {
    ErrorBox(frontEnd, "Error, cannot copy a file onto itself.");
    return outcome;
  }
  platform::CopyResult result;
  if (platform::DialogsAreInteractive()) {
    Tcopyform window(frontEnd);
    window.RunWork([&] { result = window.Copy(source, outcome.target); });
  } else {
    // A stop signal cancels a long copy instead of waiting for its end.
    result = platform::CopyFile(source, outcome.target, [](uint64_t, uint64_t) { return !platform::StopRequested(); });
  }
  switch (result.status) {
    case platform::CopyStatus::Copied: outcome.result = kCopyDone; break;
    case platform::CopyStatus::Cancelled: outcome.result = kCopyCancelled; break;
    case platform::CopyStatus::SameFile: ErrorBox(frontEnd, "Error, cannot copy a file onto itself."); break;
    case platform::CopyStatus::Failed: outcome.error = result.error; break;
  }
  return outcome;
}

}  // namespace frontend
