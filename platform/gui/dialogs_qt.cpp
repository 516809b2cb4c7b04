// The interactive face of the dialog service.
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/gui/qt_faces.h"
#include "platform/gui/qt_application.h"
#include "platform/gui/stop_requests.h"
#include "platform/gui/toolkit_icon.h"

namespace platform {
namespace {

QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }
QString FileName(const std::string& name) { return QFile::decodeName(name.c_str()); }
std::string FileName(const QString& name) { return QFile::encodeName(name).toStdString(); }

QMessageBox::Icon BoxIcon(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::Information: return QMessageBox::Information;
    case DialogIcon::Warning: return QMessageBox::Warning;
    case DialogIcon::Error: return QMessageBox::Critical;
    case DialogIcon::Question: return QMessageBox::Question;
    case DialogIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton BoxButton(DialogAnswer answer) {
  switch (answer) {
    case DialogAnswer::Ok: return QMessageBox::Ok;
    case DialogAnswer::Cancel: return QMessageBox::Cancel;
    case DialogAnswer::Yes: return QMessageBox::Yes;
    case DialogAnswer::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

DialogResult RunMessageBox(const DialogRequest& request) {
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QMessageBox::StandardButton escape = QMessageBox::Ok;
  switch (request.buttons) {
    case DialogButtons::Ok: break;
    case DialogButtons::OkCancel:
      buttons = QMessageBox::Ok | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
    case DialogButtons::YesNo:
      buttons = QMessageBox::Yes | QMessageBox::No;
      escape = QMessageBox::No;
      break;
    case DialogButtons::YesNoCancel:
      buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
  }
  QString text = Text(request.text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(BoxIcon(request.icon), Text(request.caption), text, buttons, request.owner);
  box.setWindowIcon(ToolkitIcon());
  if (buttons.testFlag(BoxButton(request.defaultAnswer))) {
    box.setDefaultButton(BoxButton(request.defaultAnswer));
  }
  box.setEscapeButton(escape);
  // A box that a stop request ends (or that comes after one) is answered as by Escape.
  switch (ExecUnlessStopped(box).value_or(escape)) {
    case QMessageBox::Yes: return {DialogAnswer::Yes, {}, {}};
    case QMessageBox::No: return {DialogAnswer::No, {}, {}};
    case QMessageBox::Cancel: return {DialogAnswer::Cancel, {}, {}};
    default: return {DialogAnswer::Ok, {}, {}};
  }
}

DialogResult RunFileDialog(const DialogRequest& request) {
  QFileDialog dialog(request.owner, Text(request.caption), FileName(request.directory),
                     Text(request.filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setWindowIcon(ToolkitIcon());
  switch (request.kind) {
    case DialogKind::OpenFiles: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case DialogKind::SaveFile:
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      if (!request.fileName.empty()) dialog.selectFile(FileName(request.fileName));
      break;
    default: dialog.setFileMode(QFileDialog::ExistingFile); break;
  }
  if (!request.text.empty()) dialog.setLabelText(QFileDialog::LookIn, Text(request.text));
  DialogResult result;
  if (ExecUnlessStopped(dialog) != QDialog::Accepted) return result;
  result.answer = DialogAnswer::Ok;
  for (const QString& file : dialog.selectedFiles()) result.files.push_back(FileName(file));
  return result;
}

DialogResult RunInputDialog(const DialogRequest& request) {
  QInputDialog dialog(request.owner);
  dialog.setWindowTitle(Text(request.caption));
  dialog.setLabelText(Text(request.text));
  if (request.kind == DialogKind::Choice) {
    QStringList items;
    for (const std::string& choice : request.choices) items << Text(choice);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
  }
  dialog.setTextValue(Text(request.value));
  DialogResult result;
  if (ExecUnlessStopped(dialog) != QDialog::Accepted) return result;
  result.answer = DialogAnswer::Ok;
  result.value = dialog.textValue().toStdString();
  return result;
}

class QtDialogFace : public DialogFace {
 public:
  DialogResult Run(const DialogRequest& request) override {
    if (!MakeGuiApplication()) return MakeConsoleDialogFace()->Run(request);
    switch (request.kind) {
      case DialogKind::Message: return RunMessageBox(request);
      case DialogKind::Text:
      case DialogKind::Choice: return RunInputDialog(request);
      default: return RunFileDialog(request);
    }
  }
};

}  // namespace

std::unique_ptr<DialogFace> MakeQtDialogFace() { return std::make_unique<QtDialogFace>(); }

}  // namespace platform
