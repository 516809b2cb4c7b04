#include "frontend/files/dialogs_attributes.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "platform/face/dialogs.h"
#include "platform/system/dos_attributes.h"

namespace frontend {
namespace {

constexpr const char* kCaption = "Change File Attributes";

}  // namespace

Tattrform::Tattrform(FrontEnd& frontEnd, unsigned attributes)
    : DialogWindow(frontEnd, kAttributesHelpContext, kCaption),
      attributes_(attributes),
      readOnly_(new QCheckBox(QStringLiteral("Read Only"), this)),
      hidden_(new QCheckBox(QStringLiteral("Hidden"), this)),
      system_(new QCheckBox(QStringLiteral("System"), this)),
      archive_(new QCheckBox(QStringLiteral("Archive"), this)),
      change_(new QPushButton(QStringLiteral("C&hange"), this)) {
  auto* layout = new QVBoxLayout(this);
  const struct {
    QCheckBox* box;
    unsigned bit;
    bool changeable;
  } boxes[] = {{readOnly_, platform::kDosReadOnly, true},
               {hidden_, platform::kDosHidden, false},
               {system_, platform::kDosSystem, false},
               {archive_, platform::kDosArchive, false}};
  for (const auto& entry : boxes) {
    entry.box->setChecked((attributes & entry.bit) != 0);
    entry.box->setEnabled(entry.changeable);
    layout->addWidget(entry.box);
  }
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  layout->addLayout(ButtonRow({change_, cancel}));
  change_->setDefault(true);
  QObject::connect(change_, &QPushButton::clicked, [this] { accept(); });
  QObject::connect(cancel, &QPushButton::clicked, [this] { reject(); });
}

unsigned Tattrform::Attributes() const {
  const unsigned shown = platform::kDosReadOnly | platform::kDosHidden | platform::kDosSystem | platform::kDosArchive;
  unsigned out = attributes_ & ~shown;
  if (readOnly_->isChecked()) out |= platform::kDosReadOnly;
  if (hidden_->isChecked()) out |= platform::kDosHidden;
  if (system_->isChecked()) out |= platform::kDosSystem;
  if (archive_->isChecked()) out |= platform::kDosArchive;
  return out;
}

std::optional<unsigned> EditAttributes(FrontEnd& frontEnd, const std::string& file, unsigned attributes) {
  if (!platform::DialogsAreInteractive()) {
    ScopedHelpContext help(frontEnd, kAttributesHelpContext);
    platform::DialogRequest request;
    request.caption = kCaption;
    request.text = file + ((attributes & platform::kDosReadOnly) ? ": Read Only" : ": not Read Only");
    request.buttons = platform::DialogButtons::OkCancel;
    request.defaultAnswer = platform::DialogAnswer::Cancel;
    request.owner = frontEnd.mainWindow;
    platform::RunDialog(request);
    return std::nullopt;
  }
  Tattrform window(frontEnd, attributes);
  if (window.Run() != QDialog::Accepted) return std::nullopt;
  return window.Attributes();
}

}  // namespace frontend
