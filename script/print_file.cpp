#include "script/print_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/gui/text_printing.h"
#include "script/script_context.h"
#include "script/text_functions.h"

namespace script {

namespace {

PrintService& TestPrintService() {
  static PrintService service;
  return service;
}

bool PrintJob(std::string_view bytes, std::string& error) {
  if (TestPrintService()) return TestPrintService()(bytes, error);
  return platform::PrintPlainText(bytes, error);
}

// An exclusively created temporary file; empty when none can be made.
std::string MakeSpoolFile() {
  const char* base = std::getenv("TMPDIR");
  std::string path = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/vantprint-XXXXXX";
  const int handle = mkstemp(path.data());
  if (handle < 0) return {};
  close(handle);
  return path;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

PrintFile::~PrintFile() {
  if (!spool.empty()) unlink(spool.c_str());
}

bool IsPrinterPortName(const std::string& name) {
  std::string word = UpperCased(name);
  if (!word.empty() && word.back() == ':') word.pop_back();
  return word.empty() || word == "PRN" || word == "LPT1" || word == "LPT2" || word == "LPT3";
}

void BeginPrinting(ScriptContext& context, const std::string& name) {
  PrintFile& print = context.print;
  if (print.slot != kNoSlot) return;
  if (!IsPrinterPortName(name)) {
    print.slot = context.files.Open(name, SlotMode::kCreate);
    return;
  }
  print.spool = MakeSpoolFile();
  if (print.spool.empty()) return;
  print.slot = context.files.Open(print.spool, SlotMode::kCreate);
  if (print.slot == kNoSlot) {
    unlink(print.spool.c_str());
    print.spool.clear();
  }
}

void WritePrintText(ScriptContext& context, std::string_view text) {
  if (toolsupport::BufferedFile* file = context.files.File(context.print.slot)) {
    toolsupport::BufferedFileWriteRaw(*file, text.data(), text.size());
  }
}

void EndPrinting(ScriptContext& context) {
  PrintFile& print = context.print;
  if (print.slot == kNoSlot) return;
  context.files.Close(print.slot);
  print.slot = kNoSlot;
  if (print.spool.empty()) return;
  std::string error;
  if (!PrintJob(ReadWholeFile(print.spool), error)) {
    std::fprintf(stderr, "The print job could not be printed: %s.\n", error.c_str());
  }
  unlink(print.spool.c_str());
  print.spool.clear();
}

void SetPrintServiceForTesting(PrintService service) { TestPrintService() = std::move(service); }

}  // namespace script
