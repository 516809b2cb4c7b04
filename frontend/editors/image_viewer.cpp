#include "frontend/editors/image_viewer.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "frontend/chart/graph_print.h"
#include "frontend/core/front_end.h"
#include "frontend/core/text_format.h"
#include "platform/face/dialogs.h"

namespace frontend {
namespace {

constexpr int kBorder = 5;  // around the picture, on each side

const platform::ImageFormat kViewerOrder[] = {
    platform::ImageFormat::Bmp,  platform::ImageFormat::Gif, platform::ImageFormat::Tiff,
    platform::ImageFormat::Jpeg, platform::ImageFormat::Tga, platform::ImageFormat::Pcx,
};

}  // namespace

ViewedPicture LoadViewedPicture(const std::string& file) {
  ViewedPicture viewed;
  for (const platform::ImageFormat format : kViewerOrder) {
    platform::ImageInfo info;
    if (platform::ReadImageInfo(format, file, info) != platform::ImageStatus::Ok) continue;
    if (info.width <= 0 || info.height <= 0 ||
        static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height) > kLargestViewedPixels) {
      viewed.status = platform::ImageStatus::OutOfMemory;
      return viewed;
    }
    viewed.status = platform::AllocateImage(viewed.image, info.width, info.height, info.bitsPerPixel);
    if (viewed.status == platform::ImageStatus::Ok) viewed.status = platform::LoadImage(format, file, viewed.image);
    if (viewed.status != platform::ImageStatus::Ok) platform::FreeImage(viewed.image);
    return viewed;
  }
  return viewed;
}

QImage ToQImage(const platform::Image& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  QImage out(image.width, image.height, QImage::Format_RGB32);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.RowFromTop(y);
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* bgr = image.bitsPerPixel == 8 ? &image.palette[static_cast<size_t>(row[x]) * 4] : row + x * 3;
      line[x] = qRgb(bgr[2], bgr[1], bgr[0]);
    }
  }
  return out;
}

ImageViewer::ImageViewer(FrontEnd& frontEnd, const std::string& file, const QImage& picture)
    : DialogWindow(frontEnd, frontEnd.helpContext, "View graphics file: " + NamePart(file)),
      picture_(picture),
      menu_(new QMenu(this)) {
  setFixedSize(picture_.width() + 2 * kBorder, picture_.height() + 2 * kBorder);
  QObject::connect(menu_->addAction(QStringLiteral("&Close")), &QAction::triggered, [this] { accept(); });
  QObject::connect(menu_->addAction(QStringLiteral("&Print")), &QAction::triggered, [this] { Print(); });
}

bool ImageViewer::PrintTo(QPrinter& printer) { return chart::PrintScaledToPage(printer, picture_); }

void ImageViewer::Print() {
  if (!platform::DialogsAreInteractive()) return;  // nobody to choose a printer
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
}

void ImageViewer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(kBorder, kBorder, picture_);
}

void ImageViewer::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    DialogWindow::keyPressEvent(event);
    return;
  }
  accept();
}

void ImageViewer::mousePressEvent(QMouseEvent* event) { menu_->popup(event->globalPosition().toPoint()); }

bool ViewImageFile(FrontEnd& frontEnd, const std::string& file) {
  const ViewedPicture viewed = LoadViewedPicture(file);
  if (viewed.status != platform::ImageStatus::Ok) return false;
  if (!platform::DialogsAreInteractive()) return true;
  ImageViewer window(frontEnd, file, ToQImage(viewed.image));
  window.Run();
  return true;
}

}  // namespace frontend
