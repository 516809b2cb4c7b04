// Every program that writes files, run as a user runs it while the faults a user meets strike: the
// disk fills up, a stop signal comes at several moments of the run, or the output names one of the
// run's inputs (directly, through a list file, through a link). Each time the program fails
// saying why, and the folder it works in holds exactly what it held before: the old output, every
// input, and no partial or temporary file. A stopped program may instead have completed what it
// was writing, and a stopped script keeps what it had written to its files. One test body runs
// the whole table.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "faults/tests/materials.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using faultstest::Materials;
using faultstest::Names;
using faultstest::Snapshot;
using testsupport::ReadFileText;
using faultstest::WriteFile;

// Where a run works: `work` is the folder whose files the faults strike and the checks cover;
// `outside` holds what the run needs that is no part of them (scripts, batches, logs).
struct Places {
  std::string work, outside;
  std::string W(const std::string& name) const { return work + "/" + name; }
  std::string O(const std::string& name) const { return outside + "/" + name; }
};

void Copy(const Places& at, std::initializer_list<const char*> names) {
  for (const char* name : names) fs::copy_file(Materials::Get().Path(name), at.W(name));
}

void Link(const Places& at, const std::string& link, const std::string& target) {
  fs::create_symlink(target, at.W(link));
}

void OldFiles(const Places& at, std::initializer_list<std::string> names) {
  for (const std::string& name : names) WriteFile(at.W(name), "the old " + name + " that must survive\n");
}

// The words of a command line (and the program's name): "@/" at the start of a word stands for
// the work folder, "^/" for the folder outside, and "PLAYER" for the player program.
using Words = std::vector<std::string>;

Words Expand(const Words& words, const Places& at) {
  Words expanded;
  for (const std::string& word : words) {
    if (word.rfind("@/", 0) == 0) {
      expanded.push_back(at.W(word.substr(2)));
    } else if (word.rfind("^/", 0) == 0) {
      expanded.push_back(at.O(word.substr(2)));
    } else {
      expanded.push_back(word == "PLAYER" ? testsupport::ProgramPath("vantplw") : word);
    }
  }
  return expanded;
}

// The output named as an input (the program's preparation makes the list and the link).
struct SameFile {
  const char* how;  // "Direct", "ThroughList", "ThroughLink"
  Words arguments;
};

enum class Fault {
  kDiskFullAtOnce, kDiskFullHalfway,
  kSignalAtFirstRead, kSignalHalfwayThroughReading, kSignalAtFirstWrite, kSignalHalfway, kSignalAtLastWrite,
  kSameFile
};

// The moments a stop signal comes in a run that reads and writes files of the work folder.
const std::vector<Fault> kReadingAndWriting = {Fault::kSignalAtFirstRead, Fault::kSignalAtFirstWrite,
                                               Fault::kSignalHalfway, Fault::kSignalAtLastWrite};

// What a stop signal leaves of a program's outputs, beside every other file as it was.
enum class Stopped {
  kOldOutput,             // the old output, as after any failure
  kOldOrCompleteOutput,   // what it was writing is completed or left as it was
  kWhatItWrote,           // a script's file keeps what the script had written (the lines of a complete run up to the signal)
};

// One row of the table: a program, what it works on and how it says its failures. A row with
// `arguments` gets the full disk cases when it has `outputs`, and a stop signal at each of its
// `signals`; each entry of `sameFile` is one more case. A stopped program exits with 1 saying so.
struct Program {
  const char* name = "";
  const char* program = "";
  std::function<void(const Places&)> prepare = {};  // the inputs, and the old output if there is one
  Words arguments = {};                // a complete run; none: only the same-file cases
  std::vector<std::string> outputs = {};  // what a complete run changes or makes in the work folder
  std::vector<SameFile> sameFile = {};
  std::vector<Fault> signals = kReadingAndWriting;
  Stopped stopped = Stopped::kOldOutput;
  bool offscreen = false;              // Qt on its offscreen platform, for programs that need windows
  int failureExit = 1;                 // the exit code of a run that fails
  const char* diskFullSays = "probably out of disk space";
  const char* sameFileSays = "Output filename must be different than the input filename.";
  const char* log = nullptr;           // a file outside where failures are said besides standard error
};

// An input of the compressor and the converter, with a list naming it and a link to it.
void VideoInput(const Places& at) {
  Copy(at, {"clip.avi"});
  WriteFile(at.W("list.lst"), at.W("clip.avi") + "\n");
  Link(at, "link.vnt", "clip.avi");
}

// The front end runs the batch from outside and then closes, writing its settings file.
void Batch(const Places& at, const std::string& name, const std::string& lines) {
  WriteFile(at.O(name), lines + "savehist " + at.O("history.txt") + "\nexit\n");
}

// The script copies a file and traces what FILECOPY gave, outside.
void CopyScript(const Places& at, const std::string& name, const std::string& target) {
  WriteFile(at.O(name), "debugfile \"" + at.O("trace.txt") + "\"\nfilecopy ok \"" + at.W("big.bin") + "\" \"" +
                            at.W(target) + "\"\ndebugtext \"copied: %ok%\"\n");
}

const std::vector<Program>& Programs() {
  static const std::vector<Program> programs = {
      {.name = "CompressorVideo",
       .program = "vantcw",
       .prepare = [](const Places& at) { VideoInput(at); OldFiles(at, {"out.vnt"}); },
       .arguments = {"@/clip.avi", "@/out.vnt", "/O"},
       .outputs = {"out.vnt"},
       .sameFile = {{"Direct", {"@/clip.avi", "@/clip.avi", "/O"}},
                    {"ThroughList", {"@/list.lst", "@/clip.avi", "/O"}},
                    {"ThroughLink", {"@/clip.avi", "@/link.vnt", "/O"}}}},
      {.name = "CompressorFlic",
       .program = "vantcw",
       .prepare = [](const Places& at) { VideoInput(at); OldFiles(at, {"out.flc"}); },
       .arguments = {"@/clip.avi", "@/out.flc", "/O"},
       .outputs = {"out.flc"}},
      {.name = "CompressorPictures",
       .program = "vantcw",
       .prepare = [](const Places& at) { VideoInput(at); OldFiles(at, {"pic0.bmp", "pic3.bmp"}); },
       .arguments = {"@/clip.avi", "@/pic.bmp", "/O"},
       .outputs = {"pic0.bmp", "pic1.bmp", "pic2.bmp", "pic3.bmp", "pic4.bmp", "pic5.bmp"}},
      {.name = "ConverterFlic",
       .program = "picprw",
       .prepare =
           [](const Places& at) {
             VideoInput(at);
             Copy(at, {"clip.flc"});
             WriteFile(at.W("flics.lst"), at.W("clip.flc") + "\n");
             Link(at, "link.flc", "clip.flc");
             OldFiles(at, {"out.flc"});
           },
       .arguments = {"@/clip.avi", "@/out.flc", "/O"},
       .outputs = {"out.flc"},
       .sameFile = {{"Direct", {"@/clip.flc", "@/clip.flc", "/O"}},
                    {"ThroughList", {"@/flics.lst", "@/clip.flc", "/O"}},
                    {"ThroughLink", {"@/clip.flc", "@/link.flc", "/O"}}}},
      // A series written over a series read: frame0.bmp to frame5.bmp are both, and the list's
      // three entries are the first three pictures of the output.
      {.name = "ConverterPictures",
       .program = "picprw",
       .prepare =
           [](const Places& at) {
             VideoInput(at);
             Copy(at, {"frame0.bmp", "frame1.bmp", "frame2.bmp", "frame3.bmp", "frame4.bmp", "frame5.bmp"});
             WriteFile(at.W("frames.lst"), at.W("frame0.bmp") + "\n" + at.W("frame1.bmp") + "\n" + at.W("frame2.bmp") + "\n");
             OldFiles(at, {"pic0.bmp", "pic5.bmp"});
           },
       .arguments = {"@/clip.avi", "@/pic.bmp", "/O"},
       .outputs = {"pic0.bmp", "pic1.bmp", "pic2.bmp", "pic3.bmp", "pic4.bmp", "pic5.bmp"},
       .sameFile = {{"Direct", {"@/frame?.bmp*0-5", "@/frame.bmp", "/O"}},
                    {"ThroughList", {"@/frames.lst", "@/frame.bmp", "/O"}}}},
      {.name = "Mixer",
       .program = "vantmiw",
       .prepare =
           [](const Places& at) {
             Copy(at, {"clip.vnt", "tone.wav"});
             WriteFile(at.W("sounds.lst"), at.W("tone.wav") + "\n");
             Link(at, "link.vnt", "clip.vnt");
             OldFiles(at, {"out.vnt"});
           },
       .arguments = {"@/clip.vnt", "@/tone.wav", "@/out.vnt", "/O"},
       .outputs = {"out.vnt"},
       .sameFile = {{"Direct", {"@/clip.vnt", "@/tone.wav", "@/clip.vnt", "/O"}},
                    {"ThroughList", {"@/clip.vnt", "@/sounds.lst", "@/tone.wav", "/O"}},
                    {"ThroughLink", {"@/clip.vnt", "@/tone.wav", "@/link.vnt", "/O"}}}},
      {.name = "SoundExtractor",
       .program = "audprw",
       .prepare =
           [](const Places& at) {
             Copy(at, {"tone.wav"});
             WriteFile(at.W("sounds.lst"), at.W("tone.wav") + "\n");
             Link(at, "link.wav", "tone.wav");
             OldFiles(at, {"out.wav"});
           },
       .arguments = {"@/tone.wav", "@/out.wav", "/O", "/R22050"},
       .outputs = {"out.wav"},
       .sameFile = {{"Direct", {"@/tone.wav", "@/tone.wav", "/O"}},
                    {"ThroughList", {"@/sounds.lst", "@/tone.wav", "/O"}},
                    {"ThroughLink", {"@/tone.wav", "@/link.wav", "/O"}}}},
      // The binder has no switch to overwrite and asks, which without a display is answered No:
      // it makes a new file.
      {.name = "Binder",
       .program = "vntcompi",
       .prepare =
           [](const Places& at) {
             Copy(at, {"clip.vnt"});
             Link(at, "link.exe", "clip.vnt");
           },
       .arguments = {"PLAYER", "@/show.exe", "/L", "@/clip.vnt"},
       .outputs = {"show.exe"},
       .sameFile = {{"Direct", {"PLAYER", "@/clip.vnt", "/L", "@/clip.vnt"}},
                    {"ThroughLink", {"PLAYER", "@/link.exe", "/L", "@/clip.vnt"}}}},
      // The script player's file commands: a created file replaces an old one only when closed.
      {.name = "ScriptCreatedFile",
       .program = "vantscw",
       .prepare =
           [](const Places& at) {
             OldFiles(at, {"notes.txt"});
             WriteFile(at.O("write.ss"), "filecreate f \"" + at.W("notes.txt") +
                                             "\"\nvarset n 0\n:again\nfilewrite f \"a line of the notes the script keeps\"\n"
                                             "compute n n + 1\nif n < 1500 goto \"again\"\nfileclose f\n");
           },
       .arguments = {"^/write.ss"},
       .outputs = {"notes.txt"},
       .signals = {Fault::kSignalAtFirstWrite, Fault::kSignalHalfway, Fault::kSignalAtLastWrite},
       .stopped = Stopped::kWhatItWrote,
       .diskFullSays = "No space left on device"},
      // FILECOPY tells its failure in its variable, which the script traces outside.
      {.name = "ScriptCopy",
       .program = "vantscw",
       .prepare =
           [](const Places& at) {
             Copy(at, {"big.bin"});
             Link(at, "link.bin", "big.bin");
             OldFiles(at, {"copy.bin"});
             CopyScript(at, "copy.ss", "copy.bin");
             CopyScript(at, "onto-link.ss", "link.bin");
           },
       .arguments = {"^/copy.ss"},
       .outputs = {"copy.bin"},
       .sameFile = {{"ThroughLink", {"^/onto-link.ss"}}},
       .failureExit = 0,
       .diskFullSays = "copied: 0",
       .sameFileSays = "copied: 0",
       .log = "trace.txt"},
      // The front end's console copy, and its settings file written when it closes.
      {.name = "FrontEndCopy",
       .program = "vantrelw",
       .prepare =
           [](const Places& at) {
             Copy(at, {"big.bin"});
             Link(at, "link.bin", "big.bin");
             OldFiles(at, {"keep.bin"});
             Batch(at, "copy.sbt", "copy " + at.W("big.bin") + " " + at.W("keep.bin") + "\n");
             Batch(at, "onto-link.sbt", "copy " + at.W("big.bin") + " " + at.W("link.bin") + "\n");
           },
       .arguments = {"^/copy.sbt", "^/Vantrel.INI"},
       .outputs = {"keep.bin"},
       .sameFile = {{"ThroughLink", {"^/onto-link.sbt", "^/Vantrel.INI"}}},
       .offscreen = true,
       .failureExit = 0,
       .diskFullSays = "No space left on device",
       .sameFileSays = "cannot copy a file onto itself",
       .log = "history.txt"},
      {.name = "FrontEndSettings",
       .program = "vantrelw",
       .prepare =
           [](const Places& at) {
             WriteFile(at.W("Vantrel.INI"), "[Mine]\nKept=1\n[VantMain]\nX=17\n");
             Batch(at, "close.sbt", "");
           },
       .arguments = {"^/close.sbt", "@/Vantrel.INI"},
       .outputs = {"Vantrel.INI"},
       .stopped = Stopped::kOldOrCompleteOutput,
       .offscreen = true,
       .diskFullSays = "No space left on device"},
      // A rename never replaces: here the only fault is a target that is the source.
      {.name = "FrontEndRename",
       .program = "vantrelw",
       .prepare =
           [](const Places& at) {
             OldFiles(at, {"a.txt"});
             Link(at, "link.txt", "a.txt");
             Batch(at, "same.sbt", "cd " + at.work + "\nren a.txt a.txt\n");
             Batch(at, "onto-link.sbt", "cd " + at.work + "\nren a.txt link.txt\n");
           },
       .sameFile = {{"Direct", {"^/same.sbt", "^/Vantrel.INI"}}, {"ThroughLink", {"^/onto-link.sbt", "^/Vantrel.INI"}}},
       .offscreen = true,
       .failureExit = 0,
       .sameFileSays = "Could not rename a.txt: File exists",
       .log = "history.txt"},
      // The player and a bound copy write nothing: a stop signal while they read leaves every
      // file as it was.
      {.name = "Player",
       .program = "vantplw",
       .prepare = [](const Places& at) { Copy(at, {"clip.vnt"}); },
       .arguments = {"@/clip.vnt", "/J"},
       .signals = {Fault::kSignalAtFirstRead, Fault::kSignalHalfwayThroughReading},
       .offscreen = true},
      {.name = "BoundPlayer",
       .program = "@/bound.exe",
       .prepare = [](const Places& at) { Copy(at, {"bound.exe"}); },
       .arguments = {"/J"},
       .signals = {Fault::kSignalAtFirstRead, Fault::kSignalHalfwayThroughReading},
       .offscreen = true},
  };
  return programs;
}

struct Case {
  size_t program;
  Fault fault;
  size_t sameFile = 0;
};

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  static const char* const kFaults[] = {"DiskFullAtOnce",      "DiskFullHalfway",    "SignalAtFirstRead",
                                        "SignalHalfwayThroughReading", "SignalAtFirstWrite", "SignalHalfway",
                                        "SignalAtLastWrite",   "SameFile"};
  const Program& program = Programs()[info.param.program];
  std::string name = std::string(program.name) + "_" + kFaults[static_cast<int>(info.param.fault)];
  if (info.param.fault == Fault::kSameFile) name += program.sameFile[info.param.sameFile].how;
  return name;
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (size_t p = 0; p < Programs().size(); ++p) {
    const Program& program = Programs()[p];
    if (!program.arguments.empty()) {
      if (!program.outputs.empty()) {
        for (Fault fault : {Fault::kDiskFullAtOnce, Fault::kDiskFullHalfway}) cases.push_back({p, fault});
      }
      for (Fault fault : program.signals) cases.push_back({p, fault});
    }
    for (size_t s = 0; s < program.sameFile.size(); ++s) cases.push_back({p, Fault::kSameFile, s});
  }
  return cases;
}

class FaultInjection : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    at.work = scratch / "work";
    at.outside = scratch / "outside";
    fs::create_directory(at.work);
    fs::create_directory(at.outside);
  }

  // Runs the program with the fault library preloaded and the given settings of it.
  testsupport::ProgramResult Run(const Program& program, const std::vector<std::string>& arguments,
                                 std::vector<std::pair<std::string, std::string>> faults) {
    testsupport::ProgramOptions options;
    options.offscreen = program.offscreen;
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    // A sanitized program finds its runtime behind the preloaded library.
    options.environment.emplace_back("ASAN_OPTIONS", std::string(sanitizer ? sanitizer : "") + ":verify_asan_link_order=0");
    options.environment.emplace_back("LD_PRELOAD", fs::path(testsupport::ProgramPath("vantcw")).parent_path().parent_path() /
                                                       "lib/libvant_write_faults.so");
    options.environment.emplace_back("VANT_FAULT_FOLDER", at.work);
    options.environment.emplace_back("XDG_CONFIG_HOME", at.outside);
    for (auto& fault : faults) options.environment.push_back(std::move(fault));
    return testsupport::RunProgram(Expand({program.program}, at)[0], arguments, options);
  }

  // What the run said about its failure: in its log outside, and on standard error.
  std::string Said(const Program& program, const testsupport::ProgramResult& run) const {
    return (program.log ? ReadFileText(at.O(program.log)) : std::string()) + run.errors;
  }

  testsupport::ScratchDirectory scratch;
  Places at;
};

TEST_P(FaultInjection, FailsSayingWhyAndLeavesEveryFileAsItWas) {
  const Case& c = GetParam();
  const Program& program = Programs()[c.program];
  Materials::Get();
  program.prepare(at);
  const std::map<std::string, std::string> before = Snapshot(at.work);

  std::vector<std::string> arguments;
  std::vector<std::pair<std::string, std::string>> faults;
  std::map<std::string, std::string> complete;  // the work folder after a run without a fault
  const char* says = program.sameFileSays;
  if (c.fault == Fault::kSameFile) {
    arguments = Expand(program.sameFile[c.sameFile].arguments, at);
  } else {
    // A run without a fault first: it completes, and measures what the run reads and writes.
    arguments = Expand(program.arguments, at);
    const testsupport::ProgramResult clean = Run(program, arguments, {{"VANT_FAULT_REPORT", at.O("measured")}});
    ASSERT_EQ(clean.exitCode, 0) << clean.errors;
    complete = Snapshot(at.work);
    for (const std::string& output : program.outputs) {
      ASSERT_TRUE(complete.count(output)) << output;
      EXPECT_NE(before.count(output) ? before.at(output) : "", complete.at(output)) << output;
    }
    unsigned long long written = 0, read = 0;
    ASSERT_EQ(std::sscanf(ReadFileText(at.O("measured")).c_str(), "written %llu read %llu", &written, &read), 2);
    ASSERT_EQ(written > 0, !program.outputs.empty()) << written;
    ASSERT_GT(read + written, 0u);
    // Back to the folder as it was.
    fs::remove_all(at.work);
    fs::remove_all(at.outside);
    SetUp();
    program.prepare(at);
    ASSERT_EQ(Snapshot(at.work), before);

    says = "Stopped by a signal.";
    switch (c.fault) {
      case Fault::kDiskFullAtOnce: faults = {{"VANT_FAULT_ENOSPC_AFTER", "0"}}; says = program.diskFullSays; break;
      case Fault::kDiskFullHalfway: faults = {{"VANT_FAULT_ENOSPC_AFTER", std::to_string(written / 2)}}; says = program.diskFullSays; break;
      case Fault::kSignalAtFirstRead: faults = {{"VANT_FAULT_SIGNAL_AFTER_READ", "1"}}; break;
      case Fault::kSignalHalfwayThroughReading: faults = {{"VANT_FAULT_SIGNAL_AFTER_READ", std::to_string(read / 2)}}; break;
      case Fault::kSignalAtFirstWrite: faults = {{"VANT_FAULT_SIGNAL_AFTER_WRITTEN", "1"}}; break;
      case Fault::kSignalHalfway: faults = {{"VANT_FAULT_SIGNAL_AFTER_WRITTEN", std::to_string(written / 2)}}; break;
      case Fault::kSignalAtLastWrite: faults = {{"VANT_FAULT_SIGNAL_AFTER_WRITTEN", std::to_string(written)}}; break;
      case Fault::kSameFile: break;
    }
  }
  const bool signalled = c.fault != Fault::kSameFile && c.fault != Fault::kDiskFullAtOnce && c.fault != Fault::kDiskFullHalfway;
  const testsupport::ProgramResult run = Run(program, arguments, faults);
  EXPECT_EQ(run.exitCode, signalled ? 1 : program.failureExit) << run.errors;
  const std::string said = Said(program, run);
  EXPECT_NE(said.find(says), std::string::npos) << "expected \"" << says << "\" in:\n" << said << "\n" << run.errors;
  std::map<std::string, std::string> after = Snapshot(at.work);
  if (signalled) {
    // An output that a stop signal may leave otherwise is held to that, and then left out.
    for (const std::string& output : program.outputs) {
      if (!after.count(output) || after.at(output) == before.at(output)) continue;
      const std::string& full = complete.at(output);
      switch (program.stopped) {
        case Stopped::kOldOutput: continue;
        case Stopped::kOldOrCompleteOutput: EXPECT_EQ(after.at(output), full) << output; break;
        case Stopped::kWhatItWrote:
          EXPECT_EQ(full.compare(0, after.at(output).size(), after.at(output)), 0) << output << " is no part of the complete run's";
          EXPECT_EQ(after.at(output).back(), '\n') << output << " ends inside a line";
          break;
      }
      after[output] = before.at(output);
    }
  }
  EXPECT_EQ(Names(after), Names(before));
  EXPECT_TRUE(after == before) << "a file changed";
}

INSTANTIATE_TEST_SUITE_P(Programs, FaultInjection, testing::ValuesIn(AllCases()), CaseName);

}  // namespace
