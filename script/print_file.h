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

// The temporary file of a printer port's job; empty while printing goes to a plain file or is off.
struct PrintSpool {
  PrintSpool() = default;
  PrintSpool(const PrintSpool&) = delete;
  PrintSpool& operator=(const PrintSpool&) = delete;
  // A job that never went to the printer leaves no temporary file behind.
  ~PrintSpool();

  std::string path;
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
// The same for a run that was stopped: a printer port's job is dropped unprinted.
void DropPrinting(ScriptContext& context);

// Tests put a printer of their own in place of the system's; an empty function restores it.
using PrintService = std::function<bool(std::string_view bytes, std::string& error)>;
void SetPrintServiceForTesting(PrintService service);

}  // namespace script
