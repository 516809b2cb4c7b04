#include "script/screen/script_window.h"

#include <QImage>

#include "platform/gui/window.h"
#include "player/player_window.h"
#include "script/language/script_error.h"

namespace script {

namespace {

PixelRect WholeBuffer(const VantBuffer& buffer) { return {0, 0, buffer.width, buffer.height}; }

}  // namespace

bool ScriptWindow::Exists() const { return playback_.Window() != nullptr && playback_.Buffer() != nullptr; }

bool ScriptWindow::Open(uint32_t options, int32_t x, int32_t y, int32_t width, int32_t height) {
  HidePointer();
  if (!playback_.Create(options, y, x, height, width)) return false;
  playback_.Window()->SetPointerHidden(true);
  return true;
}

void ScriptWindow::Close() {
  pointer_.reset();
  playback_.Destroy();
}

int32_t ScriptWindow::Width() const { return playback_.Buffer() != nullptr ? playback_.Buffer()->width : 0; }

int32_t ScriptWindow::Height() const { return playback_.Buffer() != nullptr ? playback_.Buffer()->height : 0; }

PixelCanvas ScriptWindow::Canvas() const {
  const VantBuffer* buffer = playback_.Buffer();
  if (buffer == nullptr) return {};
  return {buffer->pixels, buffer->width, buffer->height, buffer->pitch,
          (buffer->destinationFlags & VANT_BUFFER_BOTTOM_UP) != 0};
}

void ScriptWindow::Show(const PixelRect& area) {
  VantBuffer* buffer = playback_.Buffer();
  if (buffer == nullptr || area.Empty()) return;
  VantBufferBlit(buffer, nullptr, 0, 0, area.x, area.y, area.width, area.height);
}

void ScriptWindow::ShowAll() {
  if (playback_.Buffer() != nullptr) Show(WholeBuffer(*playback_.Buffer()));
}

void ScriptWindow::ShowChangedRects(VantVideo* video) { playback_.BlitChangedRects(video); }

int32_t ScriptWindow::RectMode() const { return playback_.Buffer() != nullptr ? playback_.Buffer()->rectMode : 0; }

bool ScriptWindow::DecodeInto(VantVideo* video, int32_t x, int32_t y) {
  VantBuffer* buffer = playback_.Buffer();
  if (buffer == nullptr) return false;
  return VantToBuffer(video, x, y, buffer->pitch, buffer->height, buffer->pixels,
                      static_cast<uint32_t>(buffer->destinationFlags)) != 0;
}

void ScriptWindow::TakePalette(const Palette& palette) {
  VantBuffer* buffer = playback_.Buffer();
  if (buffer == nullptr) return;
  VantBufferNewPalette(buffer, palette.data(), 0);
  if (pointer_) RenderPointer();
}

void ScriptWindow::ShowPalette() {
  VantBuffer* buffer = playback_.Buffer();
  if (buffer == nullptr) return;
  VantBufferSetPalette(buffer);
  if (buffer->screenColors != 256) ShowAll();
}

bool ScriptWindow::Focused() const {
  return playback_.Buffer() != nullptr && VantBufferFocused(playback_.Buffer()) != 0;
}

uint32_t ScriptWindow::Handle16() const {
  const platform::Window* window = playback_.Window();
  return window != nullptr ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window->Handle()) & 0xFFFF) : 0;
}

std::string ScriptWindow::KindName() const {
  char name[VANT_BUFFER_STRING_SIZE];
  return VantBufferString(name, playback_.Buffer() != nullptr ? playback_.Buffer()->kind : 0);
}

void ScriptWindow::SetTitle(const std::string& title) { playback_.SetTitle(title); }

void ScriptWindow::Move(int32_t x, int32_t y) {
  const VantBuffer* buffer = playback_.Buffer();
  if (buffer != nullptr && !buffer->fullScreen) playback_.Place(x, buffer->displayHeight, y, buffer->displayWidth);
}

void ScriptWindow::ShowPointer(const PixelCanvas& image, uint8_t transparent, int32_t x, int32_t y) {
  PointerPicture picture{{}, image.width, image.height, x, y, transparent};
  picture.indexes.reserve(static_cast<size_t>(int64_t{image.width} * image.height));
  for (int32_t row = 0; row < image.height; ++row) {
    picture.indexes.insert(picture.indexes.end(), image.Row(row), image.Row(row) + image.width);
  }
  pointer_ = std::move(picture);
  RenderPointer();
}

void ScriptWindow::HidePointer() {
  pointer_.reset();
  if (platform::Window* window = playback_.Window()) window->ClearOverlay();
}

// The pointer in the buffer's colours as they are now.
void ScriptWindow::RenderPointer() {
  platform::Window* window = playback_.Window();
  const VantBuffer* buffer = playback_.Buffer();
  if (window == nullptr || buffer == nullptr || !pointer_ || pointer_->width <= 0 || pointer_->height <= 0) return;
  QImage image(pointer_->width, pointer_->height, QImage::Format_ARGB32);
  for (int32_t row = 0; row < pointer_->height; ++row) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
    for (int32_t column = 0; column < pointer_->width; ++column) {
      const uint8_t index = pointer_->indexes[static_cast<size_t>(int64_t{row} * pointer_->width + column)];
      const VantBufferColor& color = buffer->colors[index];
      line[column] = index == pointer_->transparent ? qRgba(0, 0, 0, 0) : qRgb(color.red, color.green, color.blue);
    }
  }
  window->SetOverlay(image, QPoint(pointer_->x, pointer_->y));
}

std::optional<std::pair<int32_t, int32_t>> ScriptWindow::SystemPointer() const {
  const platform::Window* window = playback_.Window();
  if (window == nullptr) return std::nullopt;
  const std::optional<QPoint> at = window->PointerPosition();
  if (!at) return std::nullopt;
  return std::make_pair(at->x(), at->y());
}

void ScriptWindow::MoveSystemPointer(int32_t x, int32_t y) {
  if (platform::Window* window = playback_.Window()) window->MovePointer(QPoint(x, y));
}

uint32_t ScriptWindow::Clicks(bool right) const { return playback_.Clicks(right); }

bool ScriptWindow::KeyWaiting() const { return playback_.KeyWaiting(); }

int ScriptWindow::TakeKey() { return playback_.TakeKey(); }

void ScriptWindow::DispatchEvents() { playback_.Pump(); }

void ScriptWindow::SetProgramTitle(const std::string& title) { playback_.SetProgramTitle(title); }

platform::DialogAnswer ScriptWindow::Ask(const std::string& text, platform::DialogButtons buttons,
                                         platform::DialogIcon icon) {
  platform::DialogRequest request;
  request.caption = playback_.ProgramTitle();
  request.text = text;
  request.icon = icon;
  request.buttons = buttons;
  const bool yesNo = buttons == platform::DialogButtons::YesNo || buttons == platform::DialogButtons::YesNoCancel;
  request.defaultAnswer = yesNo ? platform::DialogAnswer::Yes : platform::DialogAnswer::Ok;
  if (platform::Window* window = playback_.Window()) request.owner = window->Widget();
  return platform::RunDialog(request).answer;
}

void ScriptWindow::ShowMessage(platform::DialogIcon icon, const std::string& text, const std::string& caption) {
  playback_.ShowMessage(icon, text, caption);
}

bool AutoPauseHolds(const ScriptWindow& window, const WindowSettings& settings) {
  return settings.autoPause && window.Exists() && !window.Focused();
}

void ErrorNoWindow(ScriptContext& context) {
  ScriptError(context, "  A window hasn't been created yet (use ScreenGraphics first).\r\n");
}

void RequireWindow(ScriptContext& context, const ScriptWindow& window) {
  if (!window.Exists()) ErrorNoWindow(context);
}

}  // namespace script
