#pragma once
// Printing a chart's picture scaled to the printer's page.
class QImage;
class QPrinter;

namespace chart {

// Prints the image as large as the printer's page allows, keeping its proportions. False when
// the printer could not be started.
bool PrintScaledToPage(QPrinter& printer, const QImage& image);

}  // namespace chart
