#pragma once
// The compressor's first pass: every frame analysed, fitted to its data rate, turned into block
// records for the temporary block file, and its symbols counted for the second pass's trees.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compressor/block_analysis.h"
#include "compressor/block_records.h"
#include "compressor/colour_distance.h"
#include "compressor/content_analysis.h"
#include "compressor/data_rate.h"
#include "compressor/frame_fetch.h"
#include "compressor/frame_hints.h"
#include "compressor/key_frames.h"
#include "compressor/pass_workers.h"
#include "compressor/rate_control.h"
#include "toolsupport/base/status.h"
#include "toolsupport/threads/worker_pool.h"

namespace compressor {

// The switches and facts that drive the pass (the compressor fills it from its command line).
struct EncoderSettings {
  uint32_t width = 0;            // stored frame size, multiples of 4
  uint32_t height = 0;
  uint32_t frames = 0;           // frames to encode, ring frame included
  uint32_t heightScaling = 0;    // /Z: 1 or 2 take every other input row
  uint32_t keyInterval = 0x10000000;  // /J
  uint32_t autoKeyPercent = 95;       // /A
  int64_t regularTarget = 240000;     // /N
  int64_t keyTarget = 20;             // /K
  bool everyOther = false;       // /V
  bool ringFrame = false;        // /G: the last frame is frame 0 again
  bool mixOriginals = false;     // /M: the output also gets the input frames
  InputRateFacts input;          // file size, input frames and the output frame-rate value
  uint32_t soundBytesPerFrame = 0;
  int64_t firstInputFrame = 1;   // the input's start frame + 1, for messages
  UsableRange usable;
};

// The stored frame size for an input frame of the given row pitch and height: the pitch (the
// width rounded up to 4) and the height rounded up to 4; with height scaling (/Z1, /Z2) half
// of that, rounded down to 4, taken from every other input row.
struct StoredGeometry {
  uint32_t width = 0;
  uint32_t height = 0;
};
StoredGeometry StoredFrameGeometry(uint32_t inputPitch, uint32_t inputHeight,
                                   uint32_t heightScaling);

// Blocks that may change before a frame becomes a key frame: /A percent of the 4x4 blocks.
uint64_t AutoKeyLimit(uint32_t width, uint32_t height, uint32_t percent);

extern const char* const kDiskFullMessage;

// Where the block records go (the temporary block file).
class BlockFileSink {
 public:
  virtual ~BlockFileSink() = default;
  virtual bool Append(const uint8_t* data, size_t size) = 0;  // false: write error
  // What a write error says.
  virtual std::string FailureText() const { return kDiskFullMessage; }
};

// Counts a coded frame's symbols into the four trees, in the order the writer will write them.
class FrameSymbolCounter {
 public:
  virtual ~FrameSymbolCounter() = default;
  // values: one per block; frameBlocks: the frame's pixels in block order (for full blocks).
  virtual void CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) = 0;
};

// A picture output that shows what the coding looks like (output other than a video file).
class FrameOutput {
 public:
  virtual ~FrameOutput() = default;
  virtual bool WriteFrame(const uint8_t* palette, const uint8_t* pixels, size_t pitch,
                          uint32_t width, uint32_t height) = 0;  // false: write error
  // What a write error says.
  virtual std::string FailureText() const { return kDiskFullMessage; }
};

struct EncoderPorts {
  EncoderInput* input = nullptr;
  BlockFileSink* blockFile = nullptr;       // none: no video file is written
  FrameSymbolCounter* counter = nullptr;    // none: nothing to count
  FrameOutput* output = nullptr;            // none: no picture output
  toolsupport::Progress progress;           // status lines; its cancel query is tested between frames
  // Threads for the block analysis; none: all of it on the calling thread. With more than one
  // thread the pass reads a few frames ahead and scores them while it codes the frame before.
  toolsupport::WorkerPool* workers = nullptr;
};

// What happened to one frame.
struct FrameReport {
  bool key = false;
  bool autoKey = false;       // became a key frame because too much had changed
  int64_t target = 0;
  uint32_t threshold = 0;
  uint64_t estimatedSize = 0; // 0 for error targets, which search nothing
  int64_t budget = -1;        // -1 for error targets
};

class FrameEncoder {
 public:
  FrameEncoder(const EncoderSettings& settings, FrameHints& hints, EncoderPorts ports);
  // Gives up the frames read ahead: nothing works on them any more when it returns.
  ~FrameEncoder();
  FrameEncoder(const FrameEncoder&) = delete;
  FrameEncoder& operator=(const FrameEncoder&) = delete;

  // Checks the settings and hints before the first frame; false when they cannot be encoded.
  bool Start();
  // Encodes frame f (frames in ascending order). False when the pass must stop.
  bool EncodeFrame(uint32_t f);
  // After the last frame: waits until every frame is counted and in the block file. False when
  // its last writes failed.
  bool Finish();
  // Why Start or EncodeFrame gave false: an error, or a stop.
  const toolsupport::Status& Failure() const { return failure_; }

  const FrameReport& LastReport() const { return report_; }
  const std::vector<uint32_t>& BlockValues() const { return current_->values; }
  // The frame as the decoder will show it, in block order.
  const std::vector<uint8_t>& DecodedBlocks() const { return decoded_; }

 private:
  // A frame as it was read, with its scores being computed.
  struct ReadFrame : AnalysedFrame {
    uint32_t number = 0;
    FetchResult fetched;
    toolsupport::Status status;  // not ok: the pass ends at this frame
    uint64_t dataSize = 0;
    std::vector<uint8_t> original;  // the input frame itself, when the picture output mixes it in
    size_t originalPitch = 0, originalRows = 0;
    ContentAnalyser::Job job;
    std::vector<uint32_t> values;  // as coded
  };

  bool Fail(const std::string& message);
  void ReadAhead(uint32_t f);
  void ReadNext();
  bool FitToRate(int64_t target);
  bool Deliver();
  bool FinishRecords();
  void Recycle(std::unique_ptr<ReadFrame>& frame);

  EncoderSettings settings_;
  FrameHints& hints_;
  EncoderPorts ports_;
  PassWorkers workers_;
  ContentAnalyser analyser_;
  FrameFetcher fetcher_;
  KeyFrameSchedule schedule_;
  ColorDistanceTable distance_;
  size_t blockCount_;
  int64_t period_;
  std::deque<std::unique_ptr<ReadFrame>> ahead_;  // read, not yet coded, in frame order
  std::unique_ptr<ReadFrame> current_;            // the frame being coded
  std::vector<std::unique_ptr<ReadFrame>> spare_;
  uint32_t nextRead_ = 0;
  const ReadFrame* lastRead_ = nullptr;  // it stays until the frame after it is coded
  bool readEnded_ = false;  // a frame could not be read: nothing after it is
  std::vector<uint8_t> decoded_;
  std::vector<uint8_t> picture_;   // the decoded frame as rows, for the picture output
  // The symbols of the last coded frame are counted and its records written on a helper while
  // this thread goes on, one frame at a time in frame order; recording_ keeps that frame once it
  // is no longer the current one.
  toolsupport::WorkerPool::BatchHandle records_;
  std::unique_ptr<ReadFrame> recording_;
  bool recordsWritten_ = true;
  std::vector<uint8_t> recordBytes_;
  FrameReport report_;
  toolsupport::Status failure_ = toolsupport::Status::Stopped();
};

// Runs the whole pass: success, a stop, or the error that ended it.
toolsupport::Status EncodePass(const EncoderSettings& settings, FrameHints& hints, const EncoderPorts& ports);

}  // namespace compressor
