#pragma once
// What the front end's small modal windows share: owned by the main window, their own help
// context in force while they are open (F1 and "&Help" show it), the arrow cursor, the
// toolkit's icon, and a place centred on their owner inside the screen.
#include <functional>
#include <initializer_list>
#include <string>

#include <QDialog>

class QHBoxLayout;
class QPushButton;

namespace frontend {

class FrontEnd;

class DialogWindow : public QDialog {
 public:
  DialogWindow(FrontEnd& frontEnd, int helpContext, const std::string& caption);

  // Shows the window modally; QDialog's result.
  int Run();
  // Shows it modally and carries out the work on its first tick, then closes it.
  void RunWork(const std::function<void()>& work);

  FrontEnd& frontEnd() const { return frontEnd_; }
  int helpContext() const { return helpContext_; }

 protected:
  // A "&Help" button that shows the window's help.
  QPushButton* MakeHelpButton();
  // A row of the buttons followed by "&Help".
  QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);
  void ShowHelp();
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FrontEnd& frontEnd_;
  int helpContext_;
};

// A window that does one long job while it is shown (a copy, a search): its Cancel button, Escape
// and its close box ask the question before the job stops; the window closes when the job ends.
class WorkWindow : public DialogWindow {
 public:
  WorkWindow(FrontEnd& frontEnd, int helpContext, const std::string& caption,
             const std::string& cancelQuestion);

  QPushButton* cancelButton() const { return cancel_; }
  bool cancelled() const { return cancelled_; }

 protected:
  // Marks the job running (Cancel asks only then) and clears an earlier cancel.
  void BeginJob();
  void EndJob() { running_ = false; }
  // Lets the window live between two steps of the job; false once the user cancelled.
  bool KeepGoing();
  void reject() override;

 private:
  void AskCancel();

  QPushButton* cancel_;
  std::string question_;
  bool running_ = false;
  bool cancelled_ = false;
};

// Lets the event loop deliver what is pending (a long job inside a window keeps it alive).
void PumpEvents();

// Qt's text of a name or message, and back.
QString ShownText(const std::string& text);
std::string TextOf(const QString& text);

}  // namespace frontend
