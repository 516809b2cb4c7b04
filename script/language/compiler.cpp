#include "script/language/compiler.h"

#include "script/language/script_context.h"
#include "script/language/script_error.h"
#include "script/language/text_functions.h"
#include "toolsupport/base/text_words.h"

namespace script {

namespace {

// One line without its line end. False at the end of the file; `tooLong` when the line has more
// than the text limit (reading stops there).
bool ReadScriptLine(toolsupport::BufferedFile& file, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  if (file.AtEnd()) return false;
  for (int c = file.GetByte(); c >= 0 && c != '\n';
       c = file.GetByte()) {
    if (line.size() == kTextLimit + 1) {  // the '\r' of a line end may still follow
      tooLong = true;
      break;
    }
    line += c == '\0' ? ' ' : static_cast<char>(c);
  }
  while (!line.empty() && line.back() == '\r') line.pop_back();
  tooLong = tooLong || line.size() > kTextLimit;
  return true;
}

void AddLabel(ScriptContext& context, std::string line, size_t position) {
  const size_t comment = line.find('#');
  if (comment != std::string::npos) line.erase(comment);
  TrimText(line);
  UpperCase(line);
  if (context.run.labels.size() >= kMaxLabels) ScriptError(context, "  Too many labels.");
  std::string name = line.substr(1);
  if (name.size() > kLabelNameLimit) name.resize(kLabelNameLimit);
  context.run.labels.push_back({std::move(name), position});
}

}  // namespace

std::string TakeCommandWord(std::string& text) {
  TrimLeading(text);
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != ',') ++end;
  std::string word = text.substr(0, end);
  while (end < text.size() && IsBlank(text[end])) ++end;
  if (end < text.size() && text[end] == ',') ++end;
  text.erase(0, end);
  TrimText(text);
  return word;
}

void CompileScript(ScriptContext& context, toolsupport::BufferedFile& file, CompiledScript& compiled) {
  std::string line;
  bool tooLong = false;
  bool inTextBlock = false;
  for (uint32_t number = 1; ReadScriptLine(file, line, tooLong); ++number) {
    context.KeepResponsive();
    context.run.currentLine = number;
    if (tooLong) ScriptError(context, "  Line too long (more than 767 characters).");
    if (inTextBlock) {
      std::string rest = line;
      std::string first = TakeCommandWord(rest);
      UpperCase(first);
      inTextBlock = first != "TEXTEND";
      compiled.records.push_back({number, 0, true, line});
      continue;
    }
    TrimLeading(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == ':') {
      AddLabel(context, line, compiled.records.size());
      continue;
    }
    std::string word = TakeCommandWord(line);
    UpperCase(word);
    const std::optional<size_t> command = context.Commands().Find(word);
    if (!command) {
      context.run.lineBuffer = word + " " + line;
      ErrorBadCommand(context);
    }
    compiled.records.push_back({number, static_cast<uint8_t>(*command), false, line});
    inTextBlock = word == "TEXTBEGIN";
  }
}

}  // namespace script
