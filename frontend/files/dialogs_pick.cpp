#include "frontend/files/dialogs_pick.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "platform/face/dialogs.h"

namespace frontend {

Tlistwin::Tlistwin(FrontEnd& frontEnd, const PickRequest& request)
    : DialogWindow(frontEnd, request.helpContext, request.caption),
      list_(new QListWidget(this)),
      select_(new QPushButton(QStringLiteral("&Select"), this)) {
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(ShownText(request.prompt), this);
  prompt->setBuddy(list_);
  layout->addWidget(prompt);
  layout->addWidget(list_);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  layout->addLayout(ButtonRow({select_, cancel}));
  for (const std::string& entry : request.entries) list_->addItem(ShownText(entry));
  list_->setMinimumWidth(420);
  select_->setDefault(true);
  select_->setEnabled(false);
  QObject::connect(list_, &QListWidget::itemSelectionChanged,
                   [this] { select_->setEnabled(!list_->selectedItems().isEmpty()); });
  QObject::connect(list_, &QListWidget::itemDoubleClicked, [this] { Pick(); });
  QObject::connect(select_, &QPushButton::clicked, [this] { Pick(); });
  QObject::connect(cancel, &QPushButton::clicked, [this] {
    picked_.clear();
    reject();
  });
  QObject::connect(this, &QDialog::finished, [this] { list_->clear(); });
  QTimer::singleShot(0, list_, [this] { list_->setFocus(); });
}

void Tlistwin::Pick() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return;
  picked_ = TextOf(selected.front()->text());
  accept();
}

std::optional<std::string> PickFromList(FrontEnd& frontEnd, const PickRequest& request) {
  if (!platform::DialogsAreInteractive()) {
    ScopedHelpContext help(frontEnd, request.helpContext);
    return platform::PromptChoice(request.caption, request.prompt, request.entries, frontEnd.mainWindow);
  }
  Tlistwin window(frontEnd, request);
  if (window.Run() != QDialog::Accepted || window.picked().empty()) return std::nullopt;
  return window.picked();
}

}  // namespace frontend
