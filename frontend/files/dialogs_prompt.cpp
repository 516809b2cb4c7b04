#include "frontend/files/dialogs_prompt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "platform/face/dialogs.h"

namespace frontend {

Tstrwin::Tstrwin(FrontEnd& frontEnd, const TextRequest& request)
    : DialogWindow(frontEnd, request.helpContext, request.caption),
      label_(new QLabel(ShownText(request.label.empty() ? "Prompt" : request.label), this)),
      strtext_(new QLineEdit(ShownText(request.offered), this)),
      confirm_(new QPushButton(ShownText(request.button.empty() ? "&Find Next" : request.button), this)),
      cancel_(new QPushButton(QStringLiteral("&Cancel"), this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(strtext_);
  layout->addLayout(ButtonRow({confirm_, cancel_}));
  label_->setBuddy(strtext_);
  confirm_->setDefault(true);
  strtext_->setMinimumWidth(260);
  strtext_->selectAll();
  QObject::connect(confirm_, &QPushButton::clicked, [this] { Store(true); });
  QObject::connect(cancel_, &QPushButton::clicked, [this] { Store(false); });
}

void Tstrwin::Store(bool confirmed) {
  text_ = TextOf(strtext_->text());
  confirmed_ = confirmed;
  if (confirmed) {
    accept();
  } else {
    reject();
  }
}

std::optional<std::string> AskText(FrontEnd& frontEnd, const TextRequest& request) {
  if (!platform::DialogsAreInteractive()) {
    ScopedHelpContext help(frontEnd, request.helpContext);
    return platform::PromptText(request.caption, request.label, request.offered, frontEnd.mainWindow);
  }
  Tstrwin window(frontEnd, request);
  window.Run();
  if (!window.confirmed()) return std::nullopt;
  return window.text();
}

}  // namespace frontend
