#include "playback/tests/coded_video.h"

#include <map>
#include <set>
#include <span>
#include <stdexcept>

#include "playback/frame_coding.h"
#include "playback/tests/hand_video.h"
#include "playback/video_file_format.h"
#include "playback/video_file_writer.h"

namespace {

using Symbols = std::vector<std::pair<VideoTreeIndex, uint16_t>>;

// The block code that turns `before` into `now` at block (bx, by).
BlockCode CodeBlock(const Picture& now, const Picture* before, uint32_t bx, uint32_t by) {
  BlockCode block;
  std::set<uint8_t> colors;
  bool same = before != nullptr;
  for (uint32_t y = 0; y < 4; ++y) {
    for (uint32_t x = 0; x < 4; ++x) {
      const uint8_t pixel = now.At(bx * 4 + x, by * 4 + y);
      block.pixels[y * 4 + x] = pixel;
      colors.insert(pixel);
      if (same && before->At(bx * 4 + x, by * 4 + y) != pixel) same = false;
    }
  }
  if (same) {
    block.type = UnchangedBlock;
  } else if (colors.size() == 1) {
    block.type = SolidBlock;
    block.solidColor = *colors.begin();
  } else if (colors.size() == 2) {
    block.type = TwoColorBlock;
    const uint8_t low = *colors.begin(), high = *colors.rbegin();
    block.colorPair = static_cast<uint16_t>(low | high << 8);
    for (int i = 0; i < 16; ++i) {
      if (block.pixels[i] == high) block.mask |= static_cast<uint16_t>(1u << i);
    }
  } else {
    block.type = FullBlock;
  }
  return block;
}

Symbols FrameSymbols(const Picture& now, const Picture* before) {
  std::vector<BlockCode> blocks;
  for (uint32_t by = 0; by < now.height / 4; ++by) {
    for (uint32_t bx = 0; bx < now.width / 4; ++bx) blocks.push_back(CodeBlock(now, before, bx, by));
  }
  Symbols symbols;
  WalkFrameSymbols(std::span<const BlockCode>(blocks),
                   [&](VideoTreeIndex tree, uint16_t symbol) { symbols.emplace_back(tree, symbol); });
  return symbols;
}

void ToPalette(const ColorTable& colors, vntfile::Palette& palette) {
  for (int e = 0; e < 256; ++e) {
    for (int c = 0; c < 3; ++c) palette[e][c] = colors[e][c];
  }
}

}  // namespace

ColorTable TestPalette(uint32_t seed) {
  ColorTable table;
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t components[3] = {i + seed, 255 - i + 3 * seed, 7 * i + seed};
    for (int c = 0; c < 3; ++c) table[i][c] = vntfile::Widen6To8(static_cast<uint8_t>((components[c] & 0xFF) >> 2));
  }
  return table;
}

CodedVideo WriteCodedVideo(const std::string& path, const CodedVideoSpec& spec) {
  if (spec.pictures.empty() || spec.palettes.size() != spec.pictures.size()) {
    throw std::invalid_argument("a picture and a palette per frame");
  }
  std::vector<Picture> stored = spec.pictures;
  std::vector<ColorTable> palettes = spec.palettes;
  if (spec.ringFrame) {
    stored.push_back(spec.pictures.front());
    palettes.push_back(spec.palettes.front());
  }

  // Every frame's symbols, then trees over all of them.
  std::vector<Symbols> frames;
  for (size_t i = 0; i < stored.size(); ++i) {
    const bool key = spec.keyFrames || i == 0;
    frames.push_back(FrameSymbols(stored[i], key ? nullptr : &stored[i - 1]));
  }
  std::array<std::set<uint32_t>, 4> used;
  for (const Symbols& symbols : frames) {
    for (auto [tree, symbol] : symbols) used[tree].insert(symbol);
  }
  hand::VideoTrees shapes;
  std::array<std::map<uint32_t, std::string>, 4> codes;
  for (int t = 0; t < 4; ++t) {
    if (used[t].empty()) continue;
    shapes.shapes[t] = hand::BalancedShape(std::vector<uint32_t>(used[t].begin(), used[t].end()));
    for (uint32_t e = 0, v = 0; e < 3; ++e, ++v) {  // escape values that are no leaf
      while (used[t].count(v)) ++v;
      shapes.escapes[t][e] = static_cast<uint16_t>(v);
    }
    for (auto& [value, code] : hand::AllCodes(shapes.shapes[t])) codes[t][value] = code;
  }

  vntfile::VideoFileWriter writer;
  if (!writer.Begin(path, static_cast<uint32_t>(spec.pictures.size()), spec.ringFrame, shapes.Description())) {
    throw std::runtime_error("cannot begin " + path);
  }
  CodedVideo coded;
  coded.path = path;
  coded.pictures = stored;
  vntfile::Palette previous{};
  for (size_t i = 0; i < stored.size(); ++i) {
    vntfile::FrameBlocks frame;
    vntfile::Palette next;
    ToPalette(palettes[i], next);
    vntfile::WritePaletteChunk(frame.palette, next, previous, spec.ringFrame && i + 1 == stored.size());
    hand::BitSink sink;
    for (auto [tree, symbol] : frames[i]) sink.Text(codes[tree][symbol]);
    frame.video = sink.Bytes();
    frame.video.resize((frame.video.size() + 3) / 4 * 4, 0);
    if (!writer.AddFrame(frame)) throw std::runtime_error("cannot add a frame");
    ColorTable held;
    for (int e = 0; e < 256; ++e) {
      for (int c = 0; c < 3; ++c) held[e][c] = vntfile::Widen6To8(previous[e][c] >> 2);
    }
    coded.palettes.push_back(held);
  }
  VideoFileHeader header{};
  header.width = spec.pictures.front().width;
  header.height = spec.pictures.front().height;
  header.frameRate = spec.frameRate;
  header.flags = spec.flags;
  const std::array<uint32_t, 4> sizes = shapes.Sizes();
  for (int t = 0; t < 4; ++t) header.treeSizes[t] = sizes[t];
  if (!writer.Finish(header)) throw std::runtime_error("cannot finish " + path);
  coded.frameSizes = writer.frameSizes();
  return coded;
}
