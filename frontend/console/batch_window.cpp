#include "frontend/console/batch_window.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include "frontend/console/console.h"
#include "frontend/core/basic_console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"
#include "platform/face/frame_guard.h"
#include "platform/gui/window_placement.h"
#include "platform/system/process_watch.h"

namespace frontend {
namespace {

// How often a program that cannot be watched through a descriptor is looked at.
constexpr int kExitPollMs = 250;

// The batch parameters in force while it lives; the earlier ones afterwards.
class ScopedParameters {
 public:
  ScopedParameters(std::string& parameters, const std::string& given)
      : parameters_(parameters), previous_(parameters) {
    parameters_ = given;
  }
  ~ScopedParameters() { parameters_ = previous_; }
  ScopedParameters(const ScopedParameters&) = delete;
  ScopedParameters& operator=(const ScopedParameters&) = delete;

 private:
  std::string& parameters_;
  std::string previous_;
};

}  // namespace

Tbatchform::Tbatchform(FrontEnd& frontEnd, const std::string& file, std::vector<std::string> lines)
    : DialogWindow(frontEnd, kBatchHelpContext, "Vantrel for Windows Batch Player: " + NamePart(file)),
      memo_(new QPlainTextEdit(this)),
      cancel_(new QPushButton(QStringLiteral("&Cancel"), this)) {
  // No close box: the batch ends through Cancel (or Escape), which asks first.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral(" Batch File contents: "), this);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(memo_);
  layout->addWidget(group);
  layout->addLayout(ButtonRow({cancel_}));
  cancel_->setAutoDefault(false);
  QObject::connect(cancel_, &QPushButton::clicked, this, [this] { AskCancel(); });

  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QPalette colours = memo_->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::Button));
  memo_->setPalette(colours);
  QStringList shown;
  for (const std::string& line : lines) shown.push_back(ShownText(line));
  memo_->setPlainText(shown.join(QLatin1Char('\n')));

  resize(platform::ScaledForFont(QSize(555, 117), fontMetrics()) + QSize(0, cancel_->sizeHint().height() * 3));

  // The tools started from here report here; the console shows their reports as ever.
  endpoint_ = std::make_unique<ReportEndpoint>(
      [this](const platform::ReportRequest& request) {
        const uint32_t answer =
            ReceiveReport(this->frontEnd(), request, [this] { this->frontEnd().RestoreMainWindow(); });
        if (request.type == platform::ReportRequestType::Data && runner_->ReportArrived()) ContinueSoon();
        return answer;
      },
      windowTitle().toStdString());
  if (endpoint_->listening()) frontEnd.notifyTargets.Push(endpoint_->number());

  BatchRunner::Hooks hooks;
  hooks.run = [this](const std::string& line) {
    return RunCommand(this->frontEnd(), "", line, CommandOrigin::Batch);
  };
  hooks.show = [this](size_t index, const std::string& text) { ShowLine(index, text); };
  hooks.watch = [this](int processId) { Watch(processId); };
  hooks.tell = [this](const std::string& text) {
    this->frontEnd().console.Append(text);
    this->frontEnd().ShowPrompt();
  };
  hooks.finished = [this] {
    closing_ = true;
    accept();
  };
  runner_ = std::make_unique<BatchRunner>(std::move(lines), std::move(hooks));
}

Tbatchform::~Tbatchform() {
  if (endpoint_ && endpoint_->listening()) frontEnd().notifyTargets.Remove(endpoint_->number());
  endpoint_.reset();
  // The notifier goes before the descriptor it watches.
  delete exitNotifier_;
  delete exitPoll_;
  watch_.reset();
}

int32_t Tbatchform::reportNumber() const {
  return endpoint_ && endpoint_->listening() ? endpoint_->number() : 0;
}

void Tbatchform::RunLines() {
  ContinueSoon();
  Run();
}

void Tbatchform::ContinueSoon() {
  QTimer::singleShot(0, this, [this] {
    if (!platform::RunGuarded("The batch runner", [this] { runner_->Continue(); })) {
      closing_ = true;  // the batch ends here
      accept();
    }
  });
}

void Tbatchform::ShowLine(size_t index, const std::string& text) {
  const QTextBlock block = memo_->document()->findBlockByNumber(static_cast<int>(index));
  if (!block.isValid()) return;
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(ShownText(text));
  cursor.movePosition(QTextCursor::StartOfBlock);
  memo_->setTextCursor(cursor);
  memo_->ensureCursorVisible();
  memo_->repaint();
}

void Tbatchform::Watch(int processId) {
  // Called from a line's run, never from the signals of these two.
  delete exitNotifier_;
  delete exitPoll_;
  exitNotifier_ = nullptr;
  exitPoll_ = nullptr;
  watch_.reset();
  if (processId <= 0) return;  // only a report (or Cancel) ends this wait
  watch_ = std::make_unique<platform::ProcessExitWatch>(processId);
  if (watch_->fd() >= 0) {
    exitNotifier_ = new QSocketNotifier(watch_->fd(), QSocketNotifier::Read, this);
    QObject::connect(exitNotifier_, &QSocketNotifier::activated, this, [this] { CheckTool(); });
  } else {
    exitPoll_ = new QTimer(this);
    QObject::connect(exitPoll_, &QTimer::timeout, this, [this] { CheckTool(); });
    exitPoll_->start(kExitPollMs);
  }
}

void Tbatchform::CheckTool() {
  if (!watch_ || !watch_->Ended()) return;
  if (exitNotifier_) exitNotifier_->setEnabled(false);
  if (exitPoll_) exitPoll_->stop();
  if (runner_->ToolEnded()) ContinueSoon();
}

void Tbatchform::AskCancel() {
  if (runner_->finished() || runner_->cancelled()) return;
  if (YesNoBox(frontEnd(), "Cancel the batch file ?", kNo)) runner_->Cancel();
}

void Tbatchform::reject() {
  if (closing_) {
    QDialog::reject();
    return;
  }
  AskCancel();
}

void RunBatchFile(FrontEnd& frontEnd, const std::string& file, const std::string& parameters) {
  ScopedParameters scoped(frontEnd.batchParameters, parameters);
  const std::string words = TrimBlanks(parameters);
  frontEnd.console.AppendToLastLine(ShownName(frontEnd, file) + (words.empty() ? "" : " " + words));
  frontEnd.ShowPrompt();
  platform::RunGuarded("The batch " + file, [&] {
    const std::optional<std::string> text = LoadTextFile(file);
    if (!text) {
      ErrorBox(frontEnd, "Error, couldn't load " + file);
      return;
    }
    Tbatchform runner(frontEnd, file, SplitLines(*text));
    runner.RunLines();
  });
}

}  // namespace frontend
