#pragma once
// The picture viewer: a BMP, GIF, TIFF, JPEG, TGA or PCX file shown in a window of its own, which
// any key closes and whose menu (a click) closes or prints it.
#include <cstdint>
#include <string>

#include <QImage>

#include "frontend/files/dialog_window.h"
#include "platform/image/image.h"

class QMenu;
class QPrinter;

namespace frontend {

// Larger pictures are not viewed: they would not fit a screen, and each would hold memory
// several times its size while it is shown.
inline constexpr uint64_t kLargestViewedPixels = uint64_t{1} << 25;

struct ViewedPicture {
  platform::ImageStatus status = platform::ImageStatus::WrongFormat;
  platform::Image image;  // 8 or 24 bits
};

// Tries the readers in the order BMP, GIF, TIFF, JPEG, TGA, PCX; the first whose information
// call accepts the file loads it. Its size is checked before anything is allocated (a picture
// over kLargestViewedPixels gives OutOfMemory). A file no reader accepts gives WrongFormat.
ViewedPicture LoadViewedPicture(const std::string& file);

// The image as Qt draws it (top row first).
QImage ToQImage(const platform::Image& image);

class ImageViewer : public DialogWindow {
 public:
  ImageViewer(FrontEnd& frontEnd, const std::string& file, const QImage& picture);

  QMenu& menu() const { return *menu_; }
  const QImage& picture() const { return picture_; }
  // Prints the picture as large as the page allows.
  bool PrintTo(QPrinter& printer);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Print();

  QImage picture_;
  QMenu* menu_;
};

// Shows the picture and gives true, or gives false (and shows nothing) when no reader takes the
// file. Where nobody can see a window, a picture that loads counts as shown.
bool ViewImageFile(FrontEnd& frontEnd, const std::string& file);

}  // namespace frontend
