#include "script/script_window.h"

#include <QImage>

#include "platform/gui/window.h"
#include "player/player_window.h"
#include "script/script_context.h"
#include "script/script_error.h"
#include "script/script_wait.h"

namespace script {

namespace {

PixelRect WholeBuffer(const VantBuffer& buffer) { return {0, 0, buffer.width, buffer.height}; }

}  // namespace

bool ScriptWindow::Exists() const { return PlayerWindow() != nullptr && PlayerBuffer() != nullptr; }

bool ScriptWindow::Open(uint32_t options, int32_t x, int32_t y, int32_t width, int32_t height) {
  HidePointer();
  if (!CreatePlayerWindow(options, y, x, height, width)) return false;
  PlayerWindow()->SetPointerHidden(true);
  return true;
}

void ScriptWindow::Close() {
  pointer_.reset();
  DestroyPlayerWindow();
}

int32_t ScriptWindow::Width() const { return PlayerBuffer() != nullptr ? PlayerBuffer()->width : 0; }

int32_t ScriptWindow::Height() const { return PlayerBuffer() != nullptr ? PlayerBuffer()->height : 0; }

PixelCanvas ScriptWindow::Canvas() const {
  const VantBuffer* buffer = PlayerBuffer();
  if (buffer == nullptr) return {};
  return {buffer->pixels, buffer->width, buffer->height, buffer->pitch,
          (buffer->destinationFlags & VANT_BUFFER_BOTTOM_UP) != 0};
}

void ScriptWindow::Show(const PixelRect& area) {
  VantBuffer* buffer = PlayerBuffer();
  if (buffer == nullptr || area.Empty()) return;
  VantBufferBlit(buffer, nullptr, 0, 0, area.x, area.y, area.width, area.height);
}

void ScriptWindow::ShowAll() {
  if (PlayerBuffer() != nullptr) Show(WholeBuffer(*PlayerBuffer()));
}

void ScriptWindow::ShowChangedRects(VantVideo* video) { BlitChangedRects(video); }

int32_t ScriptWindow::RectMode() const { return PlayerBuffer() != nullptr ? PlayerBuffer()->rectMode : 0; }

bool ScriptWindow::DecodeInto(VantVideo* video, int32_t x, int32_t y) {
  VantBuffer* buffer = PlayerBuffer();
  if (buffer == nullptr) return false;
  return VantToBuffer(video, x, y, buffer->pitch, buffer->height, buffer->pixels,
                      static_cast<uint32_t>(buffer->destinationFlags)) != 0;
}

void ScriptWindow::TakePalette(const Palette& palette) {
  VantBuffer* buffer = PlayerBuffer();
  if (buffer == nullptr) return;
  VantBufferNewPalette(buffer, palette.data(), 0);
  if (pointer_) RenderPointer();
}

void ScriptWindow::ShowPalette() {
  VantBuffer* buffer = PlayerBuffer();
  if (buffer == nullptr) return;
  VantBufferSetPalette(buffer);
  if (buffer->screenColors != 256) ShowAll();
}

bool ScriptWindow::Focused() const {
  return PlayerBuffer() != nullptr && VantBufferFocused(PlayerBuffer()) != 0;
}

uint32_t ScriptWindow::Handle16() const {
  const platform::Window* window = PlayerWindow();
  return window != nullptr ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window->Handle()) & 0xFFFF) : 0;
}

std::string ScriptWindow::KindName() const {
  char name[VANT_BUFFER_STRING_SIZE];
  return VantBufferString(name, PlayerBuffer() != nullptr ? PlayerBuffer()->kind : 0);
}

void ScriptWindow::SetTitle(const std::string& title) { SetPlayerWindowTitle(title); }

void ScriptWindow::Move(int32_t x, int32_t y) {
  const VantBuffer* buffer = PlayerBuffer();
  if (buffer != nullptr && !buffer->fullScreen) PlacePlayerWindow(x, buffer->displayHeight, y, buffer->displayWidth);
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
  if (platform::Window* window = PlayerWindow()) window->ClearOverlay();
}

// The pointer in the buffer's colours as they are now.
void ScriptWindow::RenderPointer() {
  platform::Window* window = PlayerWindow();
  const VantBuffer* buffer = PlayerBuffer();
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
  const platform::Window* window = PlayerWindow();
  if (window == nullptr) return std::nullopt;
  const std::optional<QPoint> at = window->PointerPosition();
  if (!at) return std::nullopt;
  return std::make_pair(at->x(), at->y());
}

void ScriptWindow::MoveSystemPointer(int32_t x, int32_t y) {
  if (platform::Window* window = PlayerWindow()) window->MovePointer(QPoint(x, y));
}

uint32_t ScriptWindow::Clicks(bool right) { return PlayerClicks(right); }

bool ScriptWindow::KeyWaiting() { return PlayerKeyWaiting(); }

int ScriptWindow::TakeKey() { return TakePlayerKey(); }

void ScriptWindow::DispatchEvents() {
  PumpPlayerMessages();
  StopWhenSignalled();
}

platform::DialogAnswer ScriptWindow::Ask(const std::string& text, platform::DialogButtons buttons,
                                         platform::DialogIcon icon) {
  platform::DialogRequest request;
  request.caption = PlayerProgramTitle();
  request.text = text;
  request.icon = icon;
  request.buttons = buttons;
  const bool yesNo = buttons == platform::DialogButtons::YesNo || buttons == platform::DialogButtons::YesNoCancel;
  request.defaultAnswer = yesNo ? platform::DialogAnswer::Yes : platform::DialogAnswer::Ok;
  if (platform::Window* window = PlayerWindow()) request.owner = window->Widget();
  return platform::RunDialog(request).answer;
}

bool ScriptWindowExists() { return PlayerWindow() != nullptr && PlayerBuffer() != nullptr; }

bool AutoPauseHolds(const ScriptContext& context) {
  return context.settings.autoPause && context.window.Exists() && !context.window.Focused();
}

void CloseScriptWindow(ScriptContext& context) {
  context.animations.ReleaseWindowTargets();
  context.window.Close();
  ResetTextState(context);
  ResetMousePointer(context);
}

void ErrorNoWindow(ScriptContext& context) {
  ScriptError(context, "  A window hasn't been created yet (use ScreenGraphics first).\r\n");
}

void RequireWindow(ScriptContext& context) {
  if (!context.window.Exists()) ErrorNoWindow(context);
}

}  // namespace script
