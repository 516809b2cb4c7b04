#pragma once
// The print file of a script run: PRINTBEGIN opens it, TEXT, TEXTNOCR, TEXTBEGIN and
// PRINTPAGEADV write into it (instead of the window), PRINTEND closes it. A printer port's name
// ("lpt1" to "lpt3", "prn", or none) collects the job in a temporary file that goes to the
// system's printer when printing ends; any other name is an ordinary file.
#include <functional>
#include <string>
#include <string_view>

#include "script/language/file_slots.h"

namespace script {

// What prints a printer port's job: false, with the reason, when it cannot be printed.
using PrintService = std::function<bool(std::string_view bytes, std::string& error)>;

struct PrintFile {
  PrintFile() = default;
  PrintFile(const PrintFile&) = delete;
  PrintFile& operator=(const PrintFile&) = delete;
  // A job that never went to the printer leaves no temporary file behind.
  ~PrintFile();

  bool Active() const { return slot != kNoSlot; }

  int slot = kNoSlot;     // the print file's slot while printing is on
  std::string spoolPath;  // a printer port's job; empty while printing goes to a plain file or is off
  PrintService printer;   // none: the system's printer (tests put one of their own here)
};

// True for the names that mean a printer port (any case, a ':' after them allowed) and for none.
bool IsPrinterPortName(const std::string& name);

// Opens the print file in a slot unless one is open. When it cannot be opened, printing stays off.
void BeginPrinting(FileSlots& files, PrintFile& print, const std::string& name);

// The bytes as they stand, into the print file when one is open.
void WritePrintText(FileSlots& files, const PrintFile& print, std::string_view text);

// Closes the print file when one is open; a printer port's job goes to the printer (a job that
// cannot be printed is said on standard error) and its temporary file is removed. Empty, or the
// failure of a print file that could not be written (FileSlots::Close).
std::string EndPrinting(FileSlots& files, PrintFile& print);
// The same for a run that was stopped: a printer port's job is dropped unprinted.
void DropPrinting(FileSlots& files, PrintFile& print);

}  // namespace script
