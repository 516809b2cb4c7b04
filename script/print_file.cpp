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

PrintSpool::~PrintSpool() {
  if (!path.empty()) unlink(path.c_str());
}

bool IsPrinterPortName(const std::string& name) {
  std::string word = UpperCased(name);
  if (!word.empty() && word.back() == ':') word.pop_back();
  return word.empty() || word == "PRN" || word == "LPT1" || word == "LPT2" || word == "LPT3";
}

void BeginPrinting(ScriptContext& context, const std::string& name) {
  if (context.Printing()) return;
  if (!IsPrinterPortName(name)) {
    context.printSlot = context.files.Open(name, SlotMode::kCreate);
    return;
  }
  std::string& spool = context.printSpool.path;
  spool = MakeSpoolFile();
  if (spool.empty()) return;
  context.printSlot = context.files.Open(spool, SlotMode::kCreate);
  if (context.printSlot == kNoSlot) {
    unlink(spool.c_str());
    spool.clear();
  }
}

void WritePrintText(ScriptContext& context, std::string_view text) {
  if (toolsupport::BufferedFile* file = context.files.File(context.printSlot)) {
    file->WriteRaw(text.data(), text.size());
  }
}

namespace {

void FinishPrinting(ScriptContext& context, bool print) {
  if (!context.Printing()) return;
  context.files.Close(context.printSlot);
  context.printSlot = kNoSlot;
  std::string& spool = context.printSpool.path;
  if (spool.empty()) return;
  std::string error;
  if (print && !PrintJob(ReadWholeFile(spool), error)) {
    std::fprintf(stderr, "The print job could not be printed: %s.\n", error.c_str());
  }
  unlink(spool.c_str());
  spool.clear();
}

}  // namespace

void EndPrinting(ScriptContext& context) { FinishPrinting(context, true); }

void DropPrinting(ScriptContext& context) { FinishPrinting(context, false); }

void SetPrintServiceForTesting(PrintService service) { TestPrintService() = std::move(service); }

}  // namespace script
