#include "script/system/print_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/gui/text_printing.h"
#include "script/language/text_functions.h"

namespace script {

namespace {

bool PrintJob(const PrintFile& print, std::string_view bytes, std::string& error) {
  if (print.printer) return print.printer(bytes, error);
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
  if (!spoolPath.empty()) unlink(spoolPath.c_str());
}

bool IsPrinterPortName(const std::string& name) {
  std::string word = UpperCased(name);
  if (!word.empty() && word.back() == ':') word.pop_back();
  return word.empty() || word == "PRN" || word == "LPT1" || word == "LPT2" || word == "LPT3";
}

void BeginPrinting(FileSlots& files, PrintFile& print, const std::string& name) {
  if (print.Active()) return;
  if (!IsPrinterPortName(name)) {
    print.slot = files.Open(name, SlotMode::kCreate);
    return;
  }
  std::string& spool = print.spoolPath;
  spool = MakeSpoolFile();
  if (spool.empty()) return;
  print.slot = files.Open(spool, SlotMode::kCreate);
  if (print.slot == kNoSlot) {
    unlink(spool.c_str());
    spool.clear();
  }
}

void WritePrintText(FileSlots& files, const PrintFile& print, std::string_view text) {
  if (toolsupport::BufferedFile* file = files.File(print.slot)) file->WriteRaw(text.data(), text.size());
}

namespace {

std::string FinishPrinting(FileSlots& files, PrintFile& print, bool toPrinter) {
  if (!print.Active()) return {};
  const std::string failure = files.Close(print.slot);
  print.slot = kNoSlot;
  std::string& spool = print.spoolPath;
  if (spool.empty()) return failure;
  std::string error;
  if (toPrinter && !PrintJob(print, ReadWholeFile(spool), error)) {
    std::fprintf(stderr, "The print job could not be printed: %s.\n", error.c_str());
  }
  unlink(spool.c_str());
  spool.clear();
  return failure;
}

}  // namespace

std::string EndPrinting(FileSlots& files, PrintFile& print) { return FinishPrinting(files, print, true); }

void DropPrinting(FileSlots& files, PrintFile& print) { FinishPrinting(files, print, false); }

}  // namespace script
