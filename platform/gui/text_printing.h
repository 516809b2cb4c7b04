#pragma once
// Printing plain text on the system's printer, for print jobs a program collected as bytes the
// way a printer port takes them: lines end at "\r\n", "\n" or "\r", a form feed (byte 12) ends
// the page, a tab moves to the next multiple of eight columns.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using PrintPage = std::vector<std::string>;  // its lines, without line ends

// The pages of the bytes. A form feed ends its page; a new page begins only when something
// follows it, so a job that ends with one has no empty page at its end. No bytes, no pages.
std::vector<PrintPage> SplitPrintPages(std::string_view bytes);

// Prints the bytes in a fixed-pitch font, lines longer than the page wrapped, on the system's
// default printer, or into a PDF file when `pdfFile` is given. Texts are read as UTF-8. False,
// with the reason in `error`, when there is no printer, no GUI to draw with, or printing failed.
// A job without pages prints nothing and succeeds.
bool PrintPlainText(std::string_view bytes, std::string& error, const std::string& pdfFile = "");

}  // namespace platform
