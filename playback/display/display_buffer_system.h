#pragma once
// What stands behind a display buffer on our window layer; the record only points at it.
#include <QImage>
#include <QList>
#include <cstdint>
#include <memory>
#include <optional>

#include "playback/display/full_screen_view.h"
#include "playback/display/vant_display.h"

struct VantBufferSystem {
  std::unique_ptr<uint8_t, void (*)(void*)> pixel_memory{nullptr, &AlignedFree};
  // The window palette: the colours the pixels are drawn with, made when first needed and
  // replaced by every new palette.
  std::optional<QList<QRgb>> palette;
  // The DIB-section kind: an indexed image over the buffer's own pixels, top row first.
  QImage bitmap;
  // The full-screen kinds: the view that stands in for the display mode.
  std::unique_ptr<playback::FullScreenView> view;
};

namespace playback {

// The buffer's colours as drawing colours, all 256 entries.
QList<QRgb> PaletteFromColors(const VantBuffer& buffer);

// The window palette, made from the colours when missing.
const QList<QRgb>& EnsurePalette(VantBuffer& buffer);

}  // namespace playback
