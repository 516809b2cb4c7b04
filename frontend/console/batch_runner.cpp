#include "frontend/console/batch_runner.h"

namespace frontend {

std::string TrimBatchLine(const std::string& line) {
  size_t start = 0, end = line.size();
  while (start < end && static_cast<unsigned char>(line[start]) < 33) ++start;
  while (end > start && static_cast<unsigned char>(line[end - 1]) < 33) --end;
  return line.substr(start, end - start);
}

BatchRunner::BatchRunner(std::vector<std::string> lines, Hooks hooks)
    : lines_(std::move(lines)), hooks_(std::move(hooks)) {}

void BatchRunner::Continue() {
  if (running_ || waiting_ || finished_) return;
  running_ = true;
  while (next_ < lines_.size() && !cancelled_) {
    const size_t index = next_++;
    const std::string line = TrimBatchLine(lines_[index]);
    if (line.empty()) continue;
    hooks_.show(index, kCurrentLineMark + line);
    const RunOutcome outcome = hooks_.run(line);
    if (outcome.toolStarted && !cancelled_) {
      current_ = index;
      waiting_ = true;
      running_ = false;
      hooks_.watch(outcome.processId);
      return;
    }
    hooks_.show(index, lines_[index]);
  }
  running_ = false;
  Finish();
}

bool BatchRunner::ReportArrived() {
  if (!waiting_) return false;
  EndWait();
  return true;
}

bool BatchRunner::ToolEnded() {
  if (!waiting_) return false;
  hooks_.tell(kEndedWithoutReport);
  EndWait();
  return true;
}

void BatchRunner::Cancel() {
  if (finished_ || cancelled_) return;
  cancelled_ = true;
  if (waiting_) EndWait();
  if (!running_) Finish();
}

void BatchRunner::EndWait() {
  waiting_ = false;
  hooks_.show(current_, lines_[current_]);
}

void BatchRunner::Finish() {
  if (finished_) return;
  finished_ = true;
  hooks_.finished();
}

}  // namespace frontend
