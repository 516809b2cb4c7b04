#pragma once
// The print file of a script run: PRINTBEGIN opens it, TEXT, TEXTNOCR, TEXTBEGIN and
// PRINTPAGEADV write into it (instead of the window), PRINTEND closes it. A printer port's name
// ("lpt1" to "lpt3", "prn", or none) collects the job in a temporary file that goes to the
// system's printer when printing ends; any other name is an ordinary file.
#include <functional>
#include <string>
#include <string_view>

#include "script/file_slots.h"

namespace script {

class ScriptContext;

struct PrintFile {
  PrintFile() = default;
  PrintFile(const PrintFile&) = delete;
  PrintFile& operator=(const PrintFile&) = delete;
  // A job that never went to the printer leaves no temporary file behind.
  ~PrintFile();

  int slot = kNoSlot;  // the print file's file slot
  std::string spool;   // the temporary file of a printer port's job; empty for a plain file
};

// True for the names that mean a printer port (any case, a ':' after them allowed) and for none.
bool IsPrinterPortName(const std::string& name);

// Opens the print file unless one is open. When it cannot be opened, printing stays off.
void BeginPrinting(ScriptContext& context, const std::string& name);

// The bytes as they stand, into the print file when one is open.
void WritePrintText(ScriptContext& context, std::string_view text);

// Closes the print file when one is open; a printer port's job goes to the printer (a job that
// cannot be printed is said on standard error) and its temporary file is removed.
void EndPrinting(ScriptContext& context);

// Tests put a printer of their own in place of the system's; an empty function restores it.
using PrintService = std::function<bool(std::string_view bytes, std::string& error)>;
void SetPrintServiceForTesting(PrintService service);

}  // namespace script
