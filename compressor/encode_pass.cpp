#include "compressor/encode_pass.h"

#include <cstdio>

namespace compressor {

const char* const kDiskFullMessage = "Error writing to disk - probably out of disk space.";

StoredGeometry StoredFrameGeometry(uint32_t inputPitch, uint32_t inputHeight,
                                   uint32_t heightScaling) {
  uint32_t width = (inputPitch + 3) / 4 * 4;
  uint32_t height = (inputHeight + 3) / 4 * 4;
  if (heightScaling == 1 || heightScaling == 2) height = height / 8 * 4;
  return {width, height};
}

uint64_t AutoKeyLimit(uint32_t width, uint32_t height, uint32_t percent) {
  return uint64_t{width} * height * percent / 1600;
}

FrameEncoder::FrameEncoder(const EncoderSettings& settings, FrameHints& hints, EncoderPorts ports)
    : settings_(settings),
      hints_(hints),
      ports_(std::move(ports)),
      schedule_(settings.keyInterval),
      blockCount_(size_t{settings.width / 4} * (settings.height / 4)),
      period_(FramePeriod(settings.input.frameRate)),
      frameBlocks_(blockCount_ * kBlockPixels),
      decoded_(blockCount_ * kBlockPixels, 0) {
  fetcher_.input = ports_.input;
  fetcher_.everyOther = settings.everyOther;
  if (ports_.output) picture_.resize(size_t{settings.width} * settings.height);
}

bool FrameEncoder::Fail(const std::string& message) {
  failure_ = toolsupport::Status::Error(message);
  return false;
}

bool FrameEncoder::Start() {
  if (settings_.width == 0 || settings_.height == 0 || settings_.width % 4 != 0 ||
      settings_.height % 4 != 0 || !ports_.input) {
    return Fail("Error: the frame size cannot be encoded.");
  }
  // Shares of the input file become bytes per second once, as the hint file's do.
  for (int64_t* target : {&settings_.regularTarget, &settings_.keyTarget}) {
    if (!IsFileShareTarget(*target)) continue;
    std::optional<int64_t> bytes = FileShareToBytesPerSecond(*target, settings_.input);
    if (!bytes) return Fail(kZeroPeriodMessage);
    *target = *bytes;
  }
  // A share of each frame's size needs a frame period; refuse before anything is encoded.
  bool frameShare = IsFrameShareTarget(settings_.regularTarget) ||
                    IsFrameShareTarget(settings_.keyTarget);
  for (size_t f = 0; f < hints_.hasRate.size(); ++f) {
    frameShare |= hints_.hasRate[f] && IsFrameShareTarget(hints_.rate[f]);
  }
  if (frameShare && period_ == 0) return Fail(kZeroPeriodMessage);
  if (hints_.key.size() < settings_.frames) {
    FrameHints fresh;
    fresh.Reset(settings_.frames);
    hints_ = fresh;
  }
  BeginPass(fetcher_, false);
  return true;
}

bool FrameEncoder::FitToRate(int64_t target) {
  report_.target = target;
  report_.estimatedSize = 0;
  report_.budget = -1;
  if (IsErrorTarget(target)) {
    report_.threshold = ErrorThresholdForPercent(target);
    return true;
  }
  int64_t bytesPerSecond = target;
  if (IsFrameShareTarget(target)) {
    std::optional<int64_t> bytes =
        FrameShareToBytesPerSecond(target, ports_.input->FrameDataSize(), period_);
    if (!bytes) return Fail(kZeroPeriodMessage);
    bytesPerSecond = *bytes;
  }
  report_.budget = FrameBudget(bytesPerSecond, period_, settings_.soundBytesPerFrame);
  ThresholdChoice choice = SearchThreshold(analysis_.scores, report_.budget);
  report_.threshold = choice.threshold;
  report_.estimatedSize = choice.size;
  return true;
}

bool FrameEncoder::EncodeFrame(uint32_t f) {
  report_ = FrameReport{};
  bool key = schedule_.Decide(f, hints_);
  report_.key = key;

  if (ports_.progress.Cancelled()) return false;
  bool ring = settings_.ringFrame && f + 1 == settings_.frames;
  FetchResult fetched = FetchEncoderFrame(fetcher_, ring);
  if (!fetched.status.ok()) {
    failure_ = fetched.status;
    return false;
  }
  EncoderInput& input = *ports_.input;
  size_t rowsNeeded = settings_.heightScaling ? 2 * size_t{settings_.height} - 1 : settings_.height;
  if (input.Pitch() < settings_.width || input.Rows() < rowsNeeded) {
    return Fail("Error: an input frame is smaller than the frame size.");
  }
  if (fetched.firstOfPass || fetched.paletteChanged) distance_.Rebuild(input.Palette(), settings_.usable);

  if (ports_.output && settings_.mixOriginals &&
      !ports_.output->WriteFrame(input.Palette(), input.Pixels(), input.Pitch(),
                                 settings_.width, static_cast<uint32_t>(input.Rows()))) {
    return Fail(ports_.output->FailureText());
  }

  GatherBlocks(input.Pixels(), input.Pitch(), settings_.width, settings_.height,
               settings_.heightScaling != 0, frameBlocks_.data());
  AnalyseFrame(frameBlocks_.data(), key ? nullptr : decoded_.data(), blockCount_, distance_,
               analysis_);
  int64_t target = hints_.TargetFor(f, key, settings_.keyTarget, settings_.regularTarget);
  if (!FitToRate(target)) return false;

  if (!key) {
    // Too much changed: code the frame as a key frame, at the key frames' rate.
    uint64_t limit = AutoKeyLimit(settings_.width, settings_.height, settings_.autoKeyPercent);
    if (CountChangedBlocks(analysis_.scores, report_.threshold) > limit) {
      int64_t shown = (settings_.everyOther ? 2 * int64_t{f} + 1 : f) + settings_.firstInputFrame;
      char text[64];
      std::snprintf(text, sizeof text, "Auto-key-framing frame %lld...",
                    static_cast<long long>(shown));
      ports_.progress.Show(toolsupport::ProgressKind::StatusNow, text);
      ForbidUnchanged(analysis_);
      schedule_.MakeKey(f, hints_);
      if (!FitToRate(hints_.TargetFor(f, true, settings_.keyTarget, settings_.regularTarget))) {
        return false;
      }
      report_.key = report_.autoKey = true;
    }
  }
  return Deliver();
}

bool FrameEncoder::Deliver() {
  ChooseBlockValues(analysis_, report_.threshold, values_);
  RebuildDecodedBlocks(values_, frameBlocks_.data(), decoded_.data());
  if (ports_.counter) ports_.counter->CountFrame(values_, frameBlocks_.data());
  if (ports_.blockFile) {
    records_.clear();
    AppendBlockRecords(values_, records_);
    if (!ports_.blockFile->Append(records_.data(), records_.size())) return Fail(ports_.blockFile->FailureText());
  }
  if (ports_.output) {
    ScatterBlocks(decoded_.data(), settings_.width, settings_.height, picture_.data(),
                  settings_.width);
    if (!ports_.output->WriteFrame(ports_.input->Palette(), picture_.data(), settings_.width,
                                   settings_.width, settings_.height)) {
      return Fail(ports_.output->FailureText());
    }
  }
  return true;
}

toolsupport::Status EncodePass(const EncoderSettings& settings, FrameHints& hints, const EncoderPorts& ports) {
  FrameEncoder encoder(settings, hints, ports);
  if (!encoder.Start()) return encoder.Failure();
  for (uint32_t f = 0; f < settings.frames; ++f) {
    if (!encoder.EncodeFrame(f)) return encoder.Failure();
  }
  return {};
}

}  // namespace compressor
