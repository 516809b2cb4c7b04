#include "platform/face/dialogs.h"

#include <cstdio>

#include "platform/face/display_env.h"
#include "platform/face/window_faces.h"

namespace platform {
namespace {

DialogFace*& FaceInPlace() {
  static DialogFace* face = nullptr;
  return face;
}

DialogResult RunOnChosenFace(const DialogRequest& request) {
  if (FaceInPlace() != nullptr) return FaceInPlace()->Run(request);
  if (PersonCanAnswer()) {
    if (WindowFaces* faces = QtFaces()) return faces->RunDialog(request);
  }
  static const std::unique_ptr<DialogFace> console = MakeConsoleDialogFace();
  return console->Run(request);
}

const char* AnswerWord(DialogAnswer answer) {
  switch (answer) {
    case DialogAnswer::Ok: return "OK";
    case DialogAnswer::Cancel: return "Cancel";
    case DialogAnswer::Yes: return "Yes";
    case DialogAnswer::No: return "No";
  }
  return "";
}

// Line breaks of the "\r\n" kind print as plain newlines.
std::string ForConsole(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

class ConsoleDialogFace : public DialogFace {
 public:
  DialogResult Run(const DialogRequest& request) override {
    std::string line = request.caption;
    if (!line.empty() && !request.text.empty()) line += ": ";
    line += ForConsole(request.text);
    DialogResult result;
    if (request.kind == DialogKind::Message) {
      result.answer = request.defaultAnswer;
      if (request.buttons != DialogButtons::Ok) line += std::string(" -> ") + AnswerWord(result.answer);
    } else if (request.kind == DialogKind::Text || request.kind == DialogKind::Choice) {
      result.answer = DialogAnswer::Cancel;  // nobody to type or pick
      line += " -> nothing entered";
    } else {
      result.answer = DialogAnswer::Cancel;  // nobody to pick a file
      line += " -> no file chosen";
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return result;
  }
};

DialogRequest FilePrompt(DialogKind kind, const std::string& caption, const std::string& directory,
                         const std::string& filter, QWidget* owner) {
  DialogRequest request;
  request.kind = kind;
  request.caption = caption;
  request.directory = directory;
  request.filter = filter;
  request.buttons = DialogButtons::OkCancel;
  request.defaultAnswer = DialogAnswer::Cancel;
  request.owner = owner;
  return request;
}

}  // namespace

std::unique_ptr<DialogFace> MakeConsoleDialogFace() { return std::make_unique<ConsoleDialogFace>(); }

ScopedDialogFace::ScopedDialogFace(DialogFace& face) : previous_(FaceInPlace()) {
  FaceInPlace() = &face;
}

ScopedDialogFace::~ScopedDialogFace() { FaceInPlace() = previous_; }

ScriptedDialogs::ScriptedDialogs() : scope_(*this) {}

DialogResult ScriptedDialogs::Run(const DialogRequest& request) {
  asked_.push_back(request);
  if (next_ < script_.size()) return script_[next_++];
  const bool message = request.kind == DialogKind::Message;
  return {message ? request.defaultAnswer : DialogAnswer::Cancel, {}, {}};
}

bool DialogsAreInteractive() { return FaceInPlace() == nullptr && PersonCanAnswer(); }

DialogResult RunDialog(const DialogRequest& request) { return RunOnChosenFace(request); }

void ShowMessageBox(const std::string& caption, const std::string& text, DialogIcon icon,
                    QWidget* owner) {
  DialogRequest request;
  request.caption = caption;
  request.text = text;
  request.icon = icon;
  request.owner = owner;
  RunDialog(request);
}

bool AskYesNo(const std::string& caption, const std::string& question, bool defaultNo,
              QWidget* owner) {
  DialogRequest request;
  request.caption = caption;
  request.text = question;
  request.icon = DialogIcon::Question;
  request.buttons = DialogButtons::YesNo;
  request.defaultAnswer = defaultNo ? DialogAnswer::No : DialogAnswer::Yes;
  request.owner = owner;
  return RunDialog(request).answer == DialogAnswer::Yes;
}

DialogAnswer AskYesNoCancel(const std::string& caption, const std::string& question,
                            DialogAnswer defaultAnswer, QWidget* owner) {
  DialogRequest request;
  request.caption = caption;
  request.text = question;
  request.icon = DialogIcon::Question;
  request.buttons = DialogButtons::YesNoCancel;
  request.defaultAnswer = defaultAnswer;
  request.owner = owner;
  return RunDialog(request).answer;
}

std::optional<std::string> PromptOpenFile(const std::string& caption, const std::string& directory,
                                          const std::string& filter, QWidget* owner) {
  const DialogResult result =
      RunDialog(FilePrompt(DialogKind::OpenFile, caption, directory, filter, owner));
  if (result.answer != DialogAnswer::Ok || result.files.empty()) return std::nullopt;
  return result.files.front();
}

std::vector<std::string> PromptOpenFiles(const std::string& caption, const std::string& directory,
                                         const std::string& filter, QWidget* owner) {
  const DialogResult result =
      RunDialog(FilePrompt(DialogKind::OpenFiles, caption, directory, filter, owner));
  return result.answer == DialogAnswer::Ok ? result.files : std::vector<std::string>{};
}

std::optional<std::string> PromptSaveFile(const std::string& caption, const std::string& directory,
                                          const std::string& fileName, const std::string& filter,
                                          QWidget* owner) {
  DialogRequest request = FilePrompt(DialogKind::SaveFile, caption, directory, filter, owner);
  request.fileName = fileName;
  const DialogResult result = RunDialog(request);
  if (result.answer != DialogAnswer::Ok || result.files.empty()) return std::nullopt;
  return result.files.front();
}

std::optional<std::string> PromptText(const std::string& caption, const std::string& label,
                                      const std::string& offered, QWidget* owner) {
  DialogRequest request = FilePrompt(DialogKind::Text, caption, "", "", owner);
  request.text = label;
  request.value = offered;
  const DialogResult result = RunDialog(request);
  if (result.answer != DialogAnswer::Ok) return std::nullopt;
  return result.value;
}

std::optional<std::string> PromptChoice(const std::string& caption, const std::string& label,
                                        const std::vector<std::string>& choices, QWidget* owner) {
  if (choices.empty()) return std::nullopt;
  DialogRequest request = FilePrompt(DialogKind::Choice, caption, "", "", owner);
  request.text = label;
  request.choices = choices;
  request.value = choices.front();
  const DialogResult result = RunDialog(request);
  if (result.answer != DialogAnswer::Ok) return std::nullopt;
  return result.value;
}

}  // namespace platform
