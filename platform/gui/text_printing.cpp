#include "platform/gui/text_printing.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/gui/qt_application.h"

namespace platform {

namespace {

constexpr char kFormFeed = '\x0C';
constexpr size_t kTabColumns = 8;

std::string ExpandTabs(const std::string& line) {
  std::string expanded;
  for (char c : line) {
    if (c == '\t') {
      expanded.append(kTabColumns - expanded.size() % kTabColumns, ' ');
    } else {
      expanded += c;
    }
  }
  return expanded;
}

// The lines of one page's bytes; a line end at the very end opens no further line.
PrintPage SplitLines(std::string_view text) {
  PrintPage lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(ExpandTabs(line));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(ExpandTabs(line));
  return lines;
}

// Cuts a line into pieces of at most `columns` characters (counted as UTF-16 units).
std::vector<QString> WrapLine(const QString& line, int columns) {
  std::vector<QString> pieces;
  if (line.isEmpty()) pieces.push_back(line);
  for (qsizetype start = 0; start < line.size(); start += columns) pieces.push_back(line.mid(start, columns));
  return pieces;
}

}  // namespace

std::vector<PrintPage> SplitPrintPages(std::string_view bytes) {
  std::vector<PrintPage> pages;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t feed = bytes.find(kFormFeed, start);
    const size_t end = feed == std::string_view::npos ? bytes.size() : feed;
    pages.push_back(SplitLines(bytes.substr(start, end - start)));
    start = feed == std::string_view::npos ? bytes.size() : feed + 1;
  }
  return pages;
}

bool PrintPlainText(std::string_view bytes, std::string& error, const std::string& pdfFile) {
  const std::vector<PrintPage> pages = SplitPrintPages(bytes);
  if (pages.empty()) return true;
  if (!MakeGuiApplication()) {
    error = "printing needs a display";
    return false;
  }
  QPrinter printer(QPrinter::HighResolution);
  if (!pdfFile.empty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdfFile));
  } else if (QPrinterInfo::defaultPrinter().isNull()) {
    error = "there is no printer";
    return false;
  }
  printer.setDocName("VantScript");
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = "the printer cannot be used";
    return false;
  }
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(10);
  painter.setFont(font);
  const QFontMetrics metrics(font, &printer);
  const QRect area = painter.viewport();
  const int lineHeight = std::max(1, metrics.lineSpacing());
  const int columns = std::max(1, area.width() / std::max(1, metrics.horizontalAdvance('M')));
  const int rows = std::max(1, area.height() / lineHeight);
  bool first = true;
  for (const PrintPage& page : pages) {
    int row = 0;
    if (!first && !printer.newPage()) break;
    first = false;
    for (const std::string& line : page) {
      for (const QString& piece : WrapLine(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())), columns)) {
        if (row == rows) {
          printer.newPage();
          row = 0;
        }
        painter.drawText(0, row * lineHeight + metrics.ascent(), piece);
        ++row;
      }
    }
  }
  if (!painter.end()) {
    error = "printing failed";
    return false;
  }
  return true;
}

}  // namespace platform
