#include "compressor/encode_pass.h"

#include <algorithm>
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

namespace {

const char* const kInputTooSmallMessage = "Error: an input frame is smaller than the frame size.";
const char* const kOutOfOrderMessage = "Error: the frames are not encoded in order.";

}  // namespace

FrameEncoder::FrameEncoder(const EncoderSettings& settings, FrameHints& hints, EncoderPorts ports)
    : settings_(settings),
      hints_(hints),
      ports_(std::move(ports)),
      workers_(ports_.workers),
      analyser_(workers_.Pool(), settings.usable),
      schedule_(settings.keyInterval),
      blockCount_(size_t{settings.width / 4} * (settings.height / 4)),
      period_(FramePeriod(settings.input.frameRate)),
      decoded_(blockCount_ * kBlockPixels, 0) {
  fetcher_.input = ports_.input;
  fetcher_.everyOther = settings.everyOther;
  if (ports_.output) picture_.resize(size_t{settings.width} * settings.height);
}

FrameEncoder::~FrameEncoder() {
  if (records_) workers_.Pool().Drop(records_);
  for (const std::unique_ptr<ReadFrame>& frame : ahead_) {
    if (frame->job) analyser_.Drop(frame->job);
  }
}

void FrameEncoder::Recycle(std::unique_ptr<ReadFrame>& frame) {
  if (frame) spare_.push_back(std::move(frame));
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

// Frames are read in order on this thread (the input is one stream); with helpers, a few ahead,
// so that their scores are computed while earlier frames are coded.
void FrameEncoder::ReadAhead(uint32_t f) {
  while (!readEnded_ && nextRead_ < settings_.frames && nextRead_ - f < workers_.FramesAhead()) ReadNext();
}

void FrameEncoder::ReadNext() {
  std::unique_ptr<ReadFrame> frame;
  if (spare_.empty()) {
    frame = std::make_unique<ReadFrame>();
    frame->blocks.resize(blockCount_ * kBlockPixels);
  } else {
    frame = std::move(spare_.back());
    spare_.pop_back();
  }
  frame->number = nextRead_++;
  frame->job = nullptr;
  const bool ring = settings_.ringFrame && frame->number + 1 == settings_.frames;
  frame->fetched = FetchEncoderFrame(fetcher_, ring);
  frame->status = frame->fetched.status;
  EncoderInput& input = *ports_.input;
  const size_t rowsNeeded = settings_.heightScaling ? 2 * size_t{settings_.height} - 1 : settings_.height;
  if (frame->status.ok() && (input.Pitch() < settings_.width || input.Rows() < rowsNeeded)) {
    frame->status = toolsupport::Status::Error(kInputTooSmallMessage);
  }
  if (!frame->status.ok()) {
    readEnded_ = true;
    ahead_.push_back(std::move(frame));
    return;
  }
  std::copy(input.Palette(), input.Palette() + frame->palette.size(), frame->palette.begin());
  frame->dataSize = input.FrameDataSize();
  if (ports_.output && settings_.mixOriginals) {
    frame->originalPitch = input.Pitch();
    frame->originalRows = input.Rows();
    frame->original.assign(input.Pixels(), input.Pixels() + input.Pitch() * input.Rows());
  }
  GatherBlocks(input.Pixels(), input.Pitch(), settings_.width, settings_.height,
               settings_.heightScaling != 0, frame->blocks.data());
  frame->job = analyser_.Start(*frame, lastRead_);
  lastRead_ = frame.get();
  ahead_.push_back(std::move(frame));
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
    std::optional<int64_t> bytes = FrameShareToBytesPerSecond(target, current_->dataSize, period_);
    if (!bytes) return Fail(kZeroPeriodMessage);
    bytesPerSecond = *bytes;
  }
  report_.budget = FrameBudget(bytesPerSecond, period_, settings_.soundBytesPerFrame);
  ThresholdChoice choice = SearchThreshold(current_->analysis.scores, report_.budget);
  report_.threshold = choice.threshold;
  report_.estimatedSize = choice.size;
  return true;
}

bool FrameEncoder::EncodeFrame(uint32_t f) {
  report_ = FrameReport{};
  bool key = schedule_.Decide(f, hints_);
  report_.key = key;

  if (ports_.progress.Cancelled()) return false;
  ReadAhead(f);
  if (ahead_.empty() || ahead_.front()->number != f) return Fail(kOutOfOrderMessage);
  // The frame before stays until its records are written.
  if (records_) {
    recording_ = std::move(current_);
  } else {
    Recycle(current_);
  }
  current_ = std::move(ahead_.front());
  ahead_.pop_front();
  ReadFrame& frame = *current_;
  if (!frame.status.ok()) {
    failure_ = frame.status;
    return false;
  }
  if (frame.fetched.firstOfPass || frame.fetched.paletteChanged) distance_.Rebuild(frame.palette.data(), settings_.usable);

  if (ports_.output && settings_.mixOriginals &&
      !ports_.output->WriteFrame(frame.palette.data(), frame.original.data(), frame.originalPitch,
                                 settings_.width, static_cast<uint32_t>(frame.originalRows))) {
    return Fail(ports_.output->FailureText());
  }

  const bool scored = analyser_.Finish(frame.job, frame, [this] { return ports_.progress.Cancelled(); });
  frame.job = nullptr;
  if (!scored) return false;
  ScoreUnchanged(frame.blocks.data(), key ? nullptr : decoded_.data(), 0, blockCount_, distance_, frame.analysis);
  int64_t target = hints_.TargetFor(f, key, settings_.keyTarget, settings_.regularTarget);
  if (!FitToRate(target)) return false;

  if (!key) {
    // Too much changed: code the frame as a key frame, at the key frames' rate.
    uint64_t limit = AutoKeyLimit(settings_.width, settings_.height, settings_.autoKeyPercent);
    if (CountChangedBlocks(frame.analysis.scores, report_.threshold) > limit) {
      int64_t shown = (settings_.everyOther ? 2 * int64_t{f} + 1 : f) + settings_.firstInputFrame;
      char text[64];
      std::snprintf(text, sizeof text, "Auto-key-framing frame %lld...",
                    static_cast<long long>(shown));
      ports_.progress.Show(toolsupport::ProgressKind::StatusNow, text);
      ForbidUnchanged(frame.analysis);
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
  ReadFrame& frame = *current_;
  ChooseBlockValues(frame.analysis, report_.threshold, frame.values);
  RebuildDecodedBlocks(frame.values, frame.blocks.data(), decoded_.data());
  if (ports_.output) {
    ScatterBlocks(decoded_.data(), settings_.width, settings_.height, picture_.data(),
                  settings_.width);
    if (!ports_.output->WriteFrame(frame.palette.data(), picture_.data(), settings_.width,
                                   settings_.width, settings_.height)) {
      return Fail(ports_.output->FailureText());
    }
  }
  if (!ports_.counter && !ports_.blockFile) return true;
  // Counting and the block file take the frames in order: the frame before is finished first.
  if (!FinishRecords()) return false;
  const ReadFrame* recorded = current_.get();
  records_ = workers_.Pool().Submit(1, [this, recorded](size_t, unsigned) {
    if (ports_.counter) ports_.counter->CountFrame(recorded->values, recorded->blocks.data());
    if (ports_.blockFile) {
      recordBytes_.clear();
      AppendBlockRecords(recorded->values, recordBytes_);
      recordsWritten_ = ports_.blockFile->Append(recordBytes_.data(), recordBytes_.size());
    }
  });
  // Without helpers the frame is finished here, as it is coded.
  return workers_.Pool().Threads() > 1 || FinishRecords();
}

bool FrameEncoder::FinishRecords() {
  if (!records_) return true;
  workers_.Pool().Wait(records_);
  records_ = nullptr;
  Recycle(recording_);
  if (!recordsWritten_) return Fail(ports_.blockFile->FailureText());
  return true;
}

bool FrameEncoder::Finish() { return FinishRecords(); }

toolsupport::Status EncodePass(const EncoderSettings& settings, FrameHints& hints, const EncoderPorts& ports) {
  FrameEncoder encoder(settings, hints, ports);
  if (!encoder.Start()) return encoder.Failure();
  for (uint32_t f = 0; f < settings.frames; ++f) {
    if (!encoder.EncodeFrame(f)) return encoder.Failure();
  }
  if (!encoder.Finish()) return encoder.Failure();
  return {};
}

}  // namespace compressor
