// Inputs and outputs that cannot be used, met as a user meets them: each tool fails with exit code
// 1, says why (the limit passed, the system's reason, where a cut input ends) and writes nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "faults/tests/materials.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using faultstest::Materials;
using testsupport::ReadFileText;
using faultstest::WriteFile;

// A PCX header announcing 65535 x 65535 pixels of 8 bits, and no pixels.
std::string HugePcx() {
  std::string header(128, '\0');
  header[0] = 0x0A, header[1] = 5, header[2] = 1, header[3] = 8;
  header[8] = header[10] = static_cast<char>(0xFE), header[9] = header[11] = static_cast<char>(0xFF);  // 65534
  header[65] = 1;
  header[66] = header[67] = static_cast<char>(0xFF);
  return header;
}

// The first `share` of a material's bytes.
std::string Cut(const char* material, double share) {
  const std::string bytes = ReadFileText(Materials::Get().Path(material));
  return bytes.substr(0, static_cast<size_t>(bytes.size() * share));
}

using Words = std::vector<std::string>;

struct Refusal {
  const char* what;
  const char* program;
  std::function<Words()> arguments;
  const char* says;
  bool once = false;  // the text stands once, not more often
};

TEST(FailureMessages, EveryToolSaysWhyAndWritesNothing) {
  const std::string tone = Materials::Get().Path("tone.wav");
  const std::string video = Materials::Get().Path("clip.vnt");
  // Names are given as a user in the folder gives them (an absolute name under a file would be
  // read as a switch).
  const Refusal refusals[] = {
      {"a picture past the limits", "picprw", [] { return Words{"huge.pcx", "out.flc"}; },
       "huge.pcx: the picture is too large: 65535 x 65535 pixels."},
      {"the same to the compressor", "vantcw", [] { return Words{"huge.pcx", "out.vnt"}; },
       "huge.pcx: the picture is too large: 65535 x 65535 pixels."},
      {"an output folder that is a file", "picprw", [] { return Words{"clip.avi", "cut.wav/out.flc"}; },
       "Error creating the output flic cut.wav/out.flc: Not a directory."},
      {"the same to the compressor", "vantcw", [] { return Words{"clip.avi", "cut.wav/out.vnt"}; },
       "cut.wav/: Not a directory."},
      {"the same to the sound extractor", "audprw", [&] { return Words{tone, "cut.wav/out.wav"}; },
       "Error creating the output file cut.wav/out.wav: Not a directory."},
      {"the same to the mixer", "vantmiw", [&] { return Words{video, tone, "cut.wav/out.vnt"}; },
       "Error creating output Vantrel file cut.wav/out.vnt: Not a directory."},
      {"the same to the binder", "vntcompi",
       [&] { return Words{testsupport::ProgramPath("vantplw"), "cut.wav/show.exe", "/L", video}; },
       "Error creating the output file cut.wav/show.exe: Not a directory."},
      {"a WAV cut short", "audprw", [] { return Words{"cut.wav", "out.wav"}; },
       "Error reading cut.wav: the sound ends after 15000 of its 20000 bytes."},
      {"the same to the mixer", "vantmiw", [&] { return Words{video, "cut.wav", "out.vnt"}; },
       "Error reading cut.wav: the sound ends after 15000 of its 20000 bytes."},
      {"the same to the compressor", "vantcw", [] { return Words{"cut.wav", "out.vnt"}; },
       "Error reading cut.wav: the sound ends after 15000 of its 20000 bytes."},
      {"a video whose frames are cut short", "audprw", [] { return Words{"cut.vnt", "out.wav"}; },
       "Error reading cut.vnt: the sound ends after "},
      {"a list entry that cannot be opened", "picprw", [] { return Words{"list.lst", "out.flc"}; },
       "gone.bmp - skipped.", true},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(std::string(refusal.program) + ": " + refusal.what);
    testsupport::ScratchDirectory scratch;
    const std::string folder = scratch.path();
    WriteFile(folder + "/huge.pcx", HugePcx());
    WriteFile(folder + "/cut.wav", faultstest::Wav(11025, 20000).substr(0, 44 + 15000));
    WriteFile(folder + "/cut.vnt", Cut("clip.vnt", 0.6));
    fs::copy_file(Materials::Get().Path("clip.avi"), folder + "/clip.avi");
    WriteFile(folder + "/list.lst", "gone.bmp\nclip.avi\n");
    const auto before = faultstest::Snapshot(folder);

    const testsupport::ProgramResult run =
        testsupport::RunProgram(refusal.program, refusal.arguments(), {.directory = folder});
    if (refusal.once) {
      // Shown once however often the list is walked; the run itself goes on without the entry.
      const size_t first = run.errors.find(refusal.says);
      EXPECT_NE(first, std::string::npos) << run.errors;
      EXPECT_EQ(run.errors.find(refusal.says, first + 1), std::string::npos) << run.errors;
      EXPECT_EQ(run.exitCode, 0) << run.errors;
      continue;
    }
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_NE(run.errors.find(refusal.says), std::string::npos) << run.errors;
    EXPECT_TRUE(faultstest::Snapshot(folder) == before) << faultstest::Names(faultstest::Snapshot(folder));
  }
}

}  // namespace
