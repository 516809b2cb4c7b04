#pragma once
// The one dialog service of the toolkit: message boxes, questions and file prompts.
//
// It has faces: an interactive one on Qt, and a non-interactive one that prints the text to
// standard error and takes the default answer. The interactive face serves when a person can
// answer (a display that is not the offscreen or minimal platform); tests put in a scripted face
// of their own. Texts are 8-bit (UTF-8) strings; "\r\n" line breaks are allowed.
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace platform {

// Text: one line typed in answer to a prompt; Choice: one entry picked from a list.
enum class DialogKind { Message, OpenFile, OpenFiles, SaveFile, Text, Choice };
enum class DialogIcon { None, Information, Warning, Error, Question };
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogAnswer { Ok, Cancel, Yes, No };

struct DialogRequest {
  DialogKind kind = DialogKind::Message;
  std::string caption;
  std::string text;  // the message or question; the prompt line of a file dialog
  DialogIcon icon = DialogIcon::None;
  DialogButtons buttons = DialogButtons::Ok;
  DialogAnswer defaultAnswer = DialogAnswer::Ok;
  // File prompts: where to start, the name offered, and Qt-style filters
  // ("Videos (*.vnt);;All files (*)").
  std::string directory;
  std::string fileName;
  std::string filter;
  // Text prompts: the text offered. Choices: the entries, and the one offered first.
  std::string value;
  std::vector<std::string> choices;
  QWidget* owner = nullptr;  // the window the dialog belongs to, if any
};

struct DialogResult {
  DialogAnswer answer = DialogAnswer::Cancel;
  std::vector<std::string> files;  // chosen files (Ok only)
  std::string value;               // the typed text or the picked entry (Ok only)
};

class DialogFace {
 public:
  virtual ~DialogFace() = default;
  virtual DialogResult Run(const DialogRequest& request) = 0;
};

// The non-interactive face. The interactive one is Qt's (platform/gui/qt_faces.h), reached
// through the window faces when a person can answer.
std::unique_ptr<DialogFace> MakeConsoleDialogFace();

// Puts a face in place of the chosen one while it lives (tests); faces nest.
class ScopedDialogFace {
 public:
  explicit ScopedDialogFace(DialogFace& face);
  ~ScopedDialogFace();
  ScopedDialogFace(const ScopedDialogFace&) = delete;
  ScopedDialogFace& operator=(const ScopedDialogFace&) = delete;

 private:
  DialogFace* previous_;
};

// A face for tests: answers from a script, in order, and keeps every request it was given. With
// the script used up it takes the default answer, like the non-interactive face. It puts itself
// in place while it lives.
class ScriptedDialogs : public DialogFace {
 public:
  ScriptedDialogs();
  DialogResult Run(const DialogRequest& request) override;

  void Answer(DialogAnswer answer) { script_.push_back({answer, {}, {}}); }
  void ChooseFiles(std::vector<std::string> files) {
    script_.push_back({DialogAnswer::Ok, std::move(files), {}});
  }
  // Types a text into a prompt, or picks an entry of a choice.
  void Enter(std::string value) { script_.push_back({DialogAnswer::Ok, {}, std::move(value)}); }
  const std::vector<DialogRequest>& asked() const { return asked_; }

 private:
  std::vector<DialogResult> script_;
  size_t next_ = 0;
  std::vector<DialogRequest> asked_;
  ScopedDialogFace scope_;
};

// True when dialogs go to a person (not to standard error or a script).
bool DialogsAreInteractive();

// Runs the request on the face in place.
DialogResult RunDialog(const DialogRequest& request);

// Shortcuts over RunDialog.
void ShowMessageBox(const std::string& caption, const std::string& text, DialogIcon icon,
                QWidget* owner = nullptr);
bool AskYesNo(const std::string& caption, const std::string& question, bool defaultNo,
              QWidget* owner = nullptr);
DialogAnswer AskYesNoCancel(const std::string& caption, const std::string& question,
                            DialogAnswer defaultAnswer, QWidget* owner = nullptr);
std::optional<std::string> PromptOpenFile(const std::string& caption,
                                          const std::string& directory,
                                          const std::string& filter, QWidget* owner = nullptr);
std::vector<std::string> PromptOpenFiles(const std::string& caption, const std::string& directory,
                                         const std::string& filter, QWidget* owner = nullptr);
std::optional<std::string> PromptSaveFile(const std::string& caption,
                                          const std::string& directory,
                                          const std::string& fileName, const std::string& filter,
                                          QWidget* owner = nullptr);
// The typed text, or nothing when cancelled; `label` stands above the field.
std::optional<std::string> PromptText(const std::string& caption, const std::string& label,
                                      const std::string& offered, QWidget* owner = nullptr);
// The picked entry, or nothing when cancelled or when there is nothing to pick.
std::optional<std::string> PromptChoice(const std::string& caption, const std::string& label,
                                        const std::vector<std::string>& choices,
                                        QWidget* owner = nullptr);

}  // namespace platform
