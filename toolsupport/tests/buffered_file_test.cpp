#include "toolsupport/io/buffered_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "toolsupport/tests/media_test_files.h"
#include "testsupport/file_contents.h"

namespace {

using namespace toolsupport;
using testing_files::ScratchDirectory;
using testing_files::WriteBytes;
using testing_files::WriteText;

std::vector<uint8_t> Pattern(size_t count, uint8_t seed) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
  return bytes;
}

TEST(BufferedFile, WritePositionAndSizeAroundAFullBuffer) {
  ScratchDirectory dir;
  for (size_t count : {511u, 512u, 513u, 1024u, 1500u}) {
    std::string path = dir / ("w" + std::to_string(count));
    BufferedFile file;
    ASSERT_TRUE(file.Create(path.c_str()));
    std::vector<uint8_t> data = Pattern(count, 3);
    // Byte by byte, so that the buffer is exactly full at 512 before it is written.
    for (size_t i = 0; i < count; ++i) {
      file.PutByte(data[i]);
      ASSERT_EQ(file.Seek(-1), static_cast<int64_t>(i + 1)) << count;
    }
    EXPECT_EQ(file.Size(), static_cast<int64_t>(count));
    EXPECT_TRUE(file.AtEnd());
    file.Close();
    EXPECT_FALSE(file.WriteError());
    EXPECT_EQ(testsupport::ReadFileBytes(path), data);
  }
}

TEST(BufferedFile, FlushPutsTheBufferedBytesIntoTheOpenFile) {
  ScratchDirectory dir;
  const std::string path = dir / "flushed";
  BufferedFile file;
  ASSERT_TRUE(file.Create(path.c_str()));
  const std::vector<uint8_t> first = Pattern(100, 1);
  file.WriteRaw(first.data(), first.size());
  EXPECT_TRUE(testsupport::ReadFileBytes(path).empty());
  file.Flush();
  EXPECT_EQ(testsupport::ReadFileBytes(path), first);
  file.PutByte(9);  // writing goes on after the flushed bytes
  file.Close();
  std::vector<uint8_t> all = first;
  all.push_back(9);
  EXPECT_EQ(testsupport::ReadFileBytes(path), all);
}

TEST(BufferedFile, LittleEndianValuesAndBitsShareOneStream) {
  ScratchDirectory dir;
  std::string path = dir / "values";
  BufferedFile file;
  ASSERT_TRUE(file.Create(path.c_str()));
  file.PutBits(1, 1);
  file.PutBits(0, 1);
  file.PutBits(1, 1);
  file.AlignBits();
  file.PutWord(0x1234);
  file.PutLong(0xA1B2C3D4);
  file.PutBits(0x3, 2);
  file.PutByte(0xFF);  // shifted in after the two pending bits
  file.Close();  // completes the partial byte
  EXPECT_EQ(testsupport::ReadFileBytes(path), (std::vector<uint8_t>{0x05, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0xFF, 0x03}));
}

TEST(BufferedFile, SwitchingFromWritingToReadingSeesTheBufferedBytes) {
  ScratchDirectory dir;
  std::string path = dir / "mixed";
  BufferedFile file;
  ASSERT_TRUE(file.Create(path.c_str()));
  std::vector<uint8_t> data = Pattern(10, 40);
  file.Write(data.data(), data.size());
  EXPECT_EQ(file.Seek(2), 10);
  uint8_t got[4] = {};
  ASSERT_EQ(file.Read(got, 4), 4u);
  EXPECT_TRUE(std::equal(got, got + 4, data.begin() + 2));
  // Writing again continues at the read position.
  file.PutByte(0xEE);
  EXPECT_EQ(file.Seek(-1), 7);
  file.Close();
  data[6] = 0xEE;
  EXPECT_EQ(testsupport::ReadFileBytes(path), data);
}

// Random reads, writes, small values and seeks against a model of the file, with
// buffers small enough that every request size crosses their boundaries.
TEST(BufferedFile, RandomMixedAccessMatchesAModel) {
  ScratchDirectory dir;
  std::mt19937 rng(11);
  for (int32_t buffer_size : {16, -16, 512, 3072}) {
    std::string path = dir / ("random" + std::to_string(buffer_size));
    std::vector<uint8_t> model;
    int64_t position = 0;
    BufferedFile file(buffer_size);
    ASSERT_TRUE(file.Create(path.c_str()));
    for (int step = 0; step < 3000; ++step) {
      int kind = static_cast<int>(rng() % 6);
      size_t count = rng() % 4 == 0 ? rng() % 5000 : rng() % 40;
      if (kind == 0 || kind == 1) {
        std::vector<uint8_t> data = Pattern(count, static_cast<uint8_t>(step));
        ASSERT_EQ(file.Write(data.data(), count), count);
        if (static_cast<int64_t>(model.size()) < position + static_cast<int64_t>(count)) {
          model.resize(position + count);
        }
        std::copy(data.begin(), data.end(), model.begin() + position);
        position += static_cast<int64_t>(count);
      } else if (kind == 2) {
        std::vector<uint8_t> got(count);
        size_t expected = std::min<size_t>(count, model.size() - position);
        ASSERT_EQ(file.Read(got.data(), count), expected) << "step " << step;
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + expected, model.begin() + position)) << "step " << step;
        position += static_cast<int64_t>(expected);
      } else if (kind == 3) {
        int64_t target = static_cast<int64_t>(rng() % (model.size() + 1));
        ASSERT_EQ(file.Seek(target), position);
        position = target;
      } else if (kind == 4) {
        int c = file.GetByte();
        if (position < static_cast<int64_t>(model.size())) {
          ASSERT_EQ(c, model[position]) << "step " << step;
          ++position;
        } else {
          ASSERT_EQ(c, -1);
        }
      } else {
        uint32_t value = static_cast<uint32_t>(rng());
        file.PutLong(value);
        if (static_cast<int64_t>(model.size()) < position + 4) model.resize(position + 4);
        for (int i = 0; i < 4; ++i) model[position + i] = static_cast<uint8_t>(value >> (8 * i));
        position += 4;
      }
      ASSERT_EQ(file.Seek(-1), position) << "step " << step;
      ASSERT_EQ(file.AtEnd(), position >= static_cast<int64_t>(model.size())) << "step " << step;
      ASSERT_EQ(file.Size(), static_cast<int64_t>(model.size())) << "step " << step;
    }
    file.Close();
    EXPECT_FALSE(file.WriteError());
    EXPECT_EQ(testsupport::ReadFileBytes(path), model) << buffer_size;
  }
}

TEST(BufferedFile, ReadingAnExistingFileAndItsEnd) {
  ScratchDirectory dir;
  std::string path = dir / "in";
  std::vector<uint8_t> data = Pattern(1300, 9);
  WriteBytes(path, data);
  BufferedFile file;
  ASSERT_TRUE(file.Open(path.c_str()));
  EXPECT_FALSE(file.AtEnd());  // without asking the size first
  std::vector<uint8_t> got(2000);
  EXPECT_EQ(file.Read(got.data(), 100), 100u);
  EXPECT_EQ(file.Read(got.data() + 100, 2000 - 100), 1200u);  // short at the end
  got.resize(1300);
  EXPECT_EQ(got, data);
  EXPECT_TRUE(file.AtEnd());
  EXPECT_EQ(file.GetByte(), -1);
  EXPECT_EQ(file.Size(), 1300);
  file.Close();
  EXPECT_TRUE(file.AtEnd());
  EXPECT_EQ(file.Size(), 0);
  EXPECT_EQ(file.Read(got.data(), 10), 0u);
  EXPECT_EQ(file.Write(got.data(), 10), 0u);
}

TEST(BufferedFile, OpenFailuresLeaveTheFileClosed) {
  ScratchDirectory dir;
  BufferedFile file;
  EXPECT_FALSE(file.Open((dir / "missing").c_str()));
  EXPECT_FALSE(file.Open(dir.path().c_str()));  // a directory
  EXPECT_FALSE(file.Open(""));
  EXPECT_FALSE(file.Open(nullptr));
  EXPECT_FALSE(file.Create((dir / "no/such/folder").c_str()));
  EXPECT_EQ(file.Name(), nullptr);
  EXPECT_FALSE(file.IsOpen());
}

TEST(BufferedFile, LongNamesAreKeptWhole) {
  ScratchDirectory dir;
  std::string path = dir / (std::string(200, 'n') + ".dat");
  BufferedFile file;
  ASSERT_TRUE(file.Create(path.c_str()));
  std::string copy;
  EXPECT_EQ(std::string(file.Name(&copy)), path);
  EXPECT_EQ(copy, path);
}

TEST(BufferedFile, ShortWritesSetTheErrorFlag) {
  BufferedFile small;
  ASSERT_TRUE(small.Create("/dev/full"));
  small.PutLong(1);
  EXPECT_FALSE(small.WriteError());  // still buffered
  small.Close();
  EXPECT_TRUE(small.WriteError());

  BufferedFile large;
  ASSERT_TRUE(large.Create("/dev/full"));
  std::vector<uint8_t> data(5000, 1);
  large.Write(data.data(), data.size());
  EXPECT_TRUE(large.WriteError());

  // A file opened for reading only cannot be written either.
  ScratchDirectory dir;
  std::string path = dir / "readonly";
  WriteText(path, "abc");
  BufferedFile reading;
  ASSERT_TRUE(reading.Open(path.c_str()));
  reading.PutByte('x');
  reading.Close();
  EXPECT_TRUE(reading.WriteError());
  EXPECT_EQ(testsupport::ReadFileBytes(path), (std::vector<uint8_t>{'a', 'b', 'c'}));
}

std::vector<std::string> ReadAllLines(const std::string& path, size_t maximum, int32_t buffer_size = 512) {
  BufferedFile file(buffer_size);
  EXPECT_TRUE(file.Open(path.c_str()));
  std::vector<std::string> lines;
  std::vector<char> line(maximum);
  while (!file.AtEnd()) lines.emplace_back(file.ReadLine(line.data(), maximum));
  return lines;
}

TEST(BufferedFile, LinesWithEveryLineEnd) {
  ScratchDirectory dir;
  std::string path = dir / "lines";
  WriteText(path, "abc\r\ndef\nghi\r\r\n\n\r\nmid\rdle\nlast");
  EXPECT_EQ(ReadAllLines(path, 128),
            (std::vector<std::string>{"abc", "def", "ghi", "", "", "mid\rdle", "last"}));
  // A maximum of 3 stores two characters; the rest of the line follows, and a line
  // end split from its text reads as an empty line.
  EXPECT_EQ(ReadAllLines(path, 3), (std::vector<std::string>{"ab", "c", "", "de", "f", "gh", "i", "", "", "",
                                                             "mi", "d", "dl", "e", "la", "st"}));
}

TEST(BufferedFile, LongLinesCrossTheBuffer) {
  ScratchDirectory dir;
  std::string path = dir / "long";
  std::string first(1000, 'x');
  std::string second(300, 'y');
  WriteText(path, first + "\r\n" + second + "\n");
  EXPECT_EQ(ReadAllLines(path, 2000, 16), (std::vector<std::string>{first, second}));
  std::vector<std::string> split = ReadAllLines(path, 701);
  ASSERT_EQ(split.size(), 3u);
  EXPECT_EQ(split[0], std::string(700, 'x'));
  EXPECT_EQ(split[1], std::string(300, 'x'));
  EXPECT_EQ(split[2], second);
}

}  // namespace
