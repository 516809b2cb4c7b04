// Every program that writes files, run as a user runs it while the faults a user meets strike: the
// disk fills up, a stop signal comes at several moments of the run, or the output names one of the
// run's inputs (directly, through a list file, through a link). Each time the program fails
// saying why, and the folder it works in holds exactly what it held before: the old output, every
// input, and no partial or temporary file. One test body runs the whole table.
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
using faultstest::ReadFile;
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

using Arguments = std::function<std::vector<std::string>(const Places&)>;

// The output named as an input (the program's preparation makes the list and the link).
struct SameFile {
  const char* how;  // "Direct", "ThroughList", "ThroughLink"
  Arguments arguments;
};

struct Program {
  const char* name;
  const char* program;
  std::function<void(const Places&)> prepare = {};  // the inputs, and the old output if there is one
  Arguments arguments = {};
  std::vector<std::string> outputs = {};  // what a complete run changes or makes in the work folder
  bool signals = true;               // stop signals are the tools' own (the others' are tested apart)
  bool offscreen = false;
  int failureExit = 1;               // the exit code of a run that fails
  const char* diskFullSays = "probably out of disk space";
  const char* sameFileSays = "Output filename must be different than the input filename.";
  const char* log = nullptr;         // a file outside where failures are said besides standard error
  std::vector<SameFile> sameFile = {};
};

// The front end runs a batch from `outside` and then closes, writing its settings file.
std::vector<std::string> FrontEnd(const Places& at, const std::string& batch, const std::string& settings) {
  WriteFile(at.O("jobs.sbt"), batch + "savehist " + at.O("history.txt") + "\nexit\n");
  return {at.O("jobs.sbt"), settings};
}

const std::vector<Program>& Programs() {
  static const std::vector<Program> programs = [] {
    std::vector<Program> table;
    const auto videoInput = [](const Places& at) {
      Copy(at, {"clip.avi"});
      WriteFile(at.W("list.lst"), at.W("clip.avi") + "\n");
      Link(at, "link.vnt", "clip.avi");
    };
    const std::vector<SameFile> videoSameFile = {
        {"Direct", [](const Places& at) { return std::vector<std::string>{at.W("clip.avi"), at.W("clip.avi"), "/O"}; }},
        {"ThroughList", [](const Places& at) { return std::vector<std::string>{at.W("list.lst"), at.W("clip.avi"), "/O"}; }},
        {"ThroughLink", [](const Places& at) { return std::vector<std::string>{at.W("clip.avi"), at.W("link.vnt"), "/O"}; }},
    };
    table.push_back({.name = "CompressorVideo",
                     .program = "vantcw",
                     .prepare = [videoInput](const Places& at) { videoInput(at); OldFiles(at, {"out.vnt"}); },
                     .arguments = [](const Places& at) { return std::vector<std::string>{at.W("clip.avi"), at.W("out.vnt"), "/O"}; },
                     .outputs = {"out.vnt"},
                     .sameFile = videoSameFile});
    table.push_back({.name = "CompressorFlic",
                     .program = "vantcw",
                     .prepare = [videoInput](const Places& at) { videoInput(at); OldFiles(at, {"out.flc"}); },
                     .arguments = [](const Places& at) { return std::vector<std::string>{at.W("clip.avi"), at.W("out.flc"), "/O"}; },
                     .outputs = {"out.flc"}});
    table.push_back({.name = "CompressorPictures",
                     .program = "vantcw",
                     .prepare = [videoInput](const Places& at) {
                       videoInput(at);
                       OldFiles(at, {"pic0.bmp", "pic3.bmp", "pic5.bmp"});
                     },
                     .arguments = [](const Places& at) { return std::vector<std::string>{at.W("clip.avi"), at.W("pic.bmp"), "/O"}; },
                     .outputs = {"pic0.bmp", "pic1.bmp", "pic2.bmp", "pic3.bmp", "pic4.bmp", "pic5.bmp"}});
    table.push_back({.name = "ConverterFlic",
                     .program = "picprw",
                     .prepare = [videoInput](const Places& at) {
                       videoInput(at);
                       Copy(at, {"clip.flc"});
                       WriteFile(at.W("flics.lst"), at.W("clip.flc") + "\n");
                       Link(at, "link.flc", "clip.flc");
                       OldFiles(at, {"out.flc"});
                     },
                     .arguments = [](const Places& at) { return std::vector<std::string>{at.W("clip.avi"), at.W("out.flc"), "/O"}; },
                     .outputs = {"out.flc"},
                     .sameFile = {
                         {"Direct", [](const Places& at) { return std::vector<std::string>{at.W("clip.flc"), at.W("clip.flc"), "/O"}; }},
                         {"ThroughList", [](const Places& at) { return std::vector<std::string>{at.W("flics.lst"), at.W("clip.flc"), "/O"}; }},
                         {"ThroughLink", [](const Places& at) { return std::vector<std::string>{at.W("clip.flc"), at.W("link.flc"), "/O"}; }},
                     }});
    table.push_back({.name = "ConverterPictures",
                     .program = "picprw",
                     .prepare = [videoInput](const Places& at) {
                       videoInput(at);
                       Copy(at, {"frame0.bmp", "frame1.bmp", "frame2.bmp", "frame3.bmp", "frame4.bmp", "frame5.bmp"});
                       WriteFile(at.W("frames.lst"), at.W("frame0.bmp") + "\n" + at.W("frame1.bmp") + "\n" + at.W("frame2.bmp") + "\n");
                       OldFiles(at, {"pic0.bmp", "pic5.bmp"});
                     },
                     .arguments = [](const Places& at) { return std::vector<std::string>{at.W("clip.avi"), at.W("pic.bmp"), "/O"}; },
                     .outputs = {"pic0.bmp", "pic1.bmp", "pic2.bmp", "pic3.bmp", "pic4.bmp", "pic5.bmp"},
                     .sameFile = {
                         // The series written from a series read: frame0.bmp to frame5.bmp are both.
                         {"Direct", [](const Places& at) { return std::vector<std::string>{at.W("frame?.bmp*0-5"), at.W("frame.bmp"), "/O"}; }},
                         // The list's three entries make frame0.bmp to frame2.bmp, its own entries.
                         {"ThroughList", [](const Places& at) { return std::vector<std::string>{at.W("frames.lst"), at.W("frame.bmp"), "/O"}; }},
                     }});
    table.push_back({.name = "Mixer",
                     .program = "vantmiw",
                     .prepare = [](const Places& at) {
                       Copy(at, {"clip.vnt", "tone.wav"});
                       WriteFile(at.W("sounds.lst"), at.W("tone.wav") + "\n");
                       Link(at, "link.vnt", "clip.vnt");
                       OldFiles(at, {"out.vnt"});
                     },
                     .arguments = [](const Places& at) {
                       return std::vector<std::string>{at.W("clip.vnt"), at.W("tone.wav"), at.W("out.vnt"), "/O"};
                     },
                     .outputs = {"out.vnt"},
                     .sameFile = {
                         {"Direct", [](const Places& at) { return std::vector<std::string>{at.W("clip.vnt"), at.W("tone.wav"), at.W("clip.vnt"), "/O"}; }},
                         {"ThroughList", [](const Places& at) { return std::vector<std::string>{at.W("clip.vnt"), at.W("sounds.lst"), at.W("tone.wav"), "/O"}; }},
                         {"ThroughLink", [](const Places& at) { return std::vector<std::string>{at.W("clip.vnt"), at.W("tone.wav"), at.W("link.vnt"), "/O"}; }},
                     }});
    table.push_back({.name = "SoundExtractor",
                     .program = "audprw",
                     .prepare = [](const Places& at) {
                       Copy(at, {"tone.wav"});
                       WriteFile(at.W("sounds.lst"), at.W("tone.wav") + "\n");
                       Link(at, "link.wav", "tone.wav");
                       OldFiles(at, {"out.wav"});
                     },
                     .arguments = [](const Places& at) { return std::vector<std::string>{at.W("tone.wav"), at.W("out.wav"), "/O", "/R22050"}; },
                     .outputs = {"out.wav"},
                     .sameFile = {
                         {"Direct", [](const Places& at) { return std::vector<std::string>{at.W("tone.wav"), at.W("tone.wav"), "/O"}; }},
                         {"ThroughList", [](const Places& at) { return std::vector<std::string>{at.W("sounds.lst"), at.W("tone.wav"), "/O"}; }},
                         {"ThroughLink", [](const Places& at) { return std::vector<std::string>{at.W("tone.wav"), at.W("link.wav"), "/O"}; }},
                     }});
    // The binder has no switch to overwrite and asks, which without a display is answered No: it
    // makes a new file.
    table.push_back({.name = "Binder",
                     .program = "vntcompi",
                     .prepare = [](const Places& at) {
                       Copy(at, {"clip.vnt"});
                       Link(at, "link.exe", "clip.vnt");
                     },
                     .arguments = [](const Places& at) {
                       return std::vector<std::string>{testsupport::ProgramPath("vantplw"), at.W("show.exe"), "/L", at.W("clip.vnt")};
                     },
                     .outputs = {"show.exe"},
                     .sameFile = {
                         {"Direct", [](const Places& at) {
                            return std::vector<std::string>{testsupport::ProgramPath("vantplw"), at.W("clip.vnt"), "/L", at.W("clip.vnt")};
                          }},
                         {"ThroughLink", [](const Places& at) {
                            return std::vector<std::string>{testsupport::ProgramPath("vantplw"), at.W("link.exe"), "/L", at.W("clip.vnt")};
                          }},
                     }});
    // The script player's file commands: a created file replaces an old one only when closed.
    table.push_back({.name = "ScriptCreatedFile",
                     .program = "vantscw",
                     .prepare = [](const Places& at) {
                       OldFiles(at, {"notes.txt"});
                       WriteFile(at.O("write.ss"), "filecreate f \"" + at.W("notes.txt") +
                                                       "\"\nvarset n 0\n:again\n"
                                                       "filewrite f \"a line of the notes the script keeps, one of many\"\n"
                                                       "compute n n + 1\nif n < 1500 goto \"again\"\nfileclose f\n");
                     },
                     .arguments = [](const Places& at) { return std::vector<std::string>{at.O("write.ss")}; },
                     .outputs = {"notes.txt"},
                     .signals = false,
                     .diskFullSays = "No space left on device"});
    // FILECOPY tells its failure in its variable, which the script traces outside.
    table.push_back({.name = "ScriptCopy",
                     .program = "vantscw",
                     .prepare = [](const Places& at) {
                       Copy(at, {"big.bin"});
                       Link(at, "link.bin", "big.bin");
                       OldFiles(at, {"copy.bin"});
                     },
                     .arguments = [](const Places& at) {
                       WriteFile(at.O("copy.ss"), "debugfile \"" + at.O("trace.txt") + "\"\nfilecopy ok \"" + at.W("big.bin") +
                                                      "\" \"" + at.W("copy.bin") + "\"\ndebugtext \"copied: %ok%\"\n");
                       return std::vector<std::string>{at.O("copy.ss")};
                     },
                     .outputs = {"copy.bin"},
                     .signals = false,
                     .failureExit = 0,
                     .diskFullSays = "copied: 0",
                     .sameFileSays = "copied: 0",
                     .log = "trace.txt",
                     .sameFile = {
                         {"ThroughLink", [](const Places& at) {
                            WriteFile(at.O("copy.ss"), "debugfile \"" + at.O("trace.txt") + "\"\nfilecopy ok \"" + at.W("big.bin") +
                                                           "\" \"" + at.W("link.bin") + "\"\ndebugtext \"copied: %ok%\"\n");
                            return std::vector<std::string>{at.O("copy.ss")};
                          }},
                     }});
    // The front end's console copy, and its settings file written when it closes.
    table.push_back({.name = "FrontEndCopy",
                     .program = "vantrelw",
                     .prepare = [](const Places& at) {
                       Copy(at, {"big.bin"});
                       Link(at, "link.bin", "big.bin");
                       OldFiles(at, {"keep.bin"});
                     },
                     .arguments = [](const Places& at) {
                       return FrontEnd(at, "copy " + at.W("big.bin") + " " + at.W("keep.bin") + "\n", at.O("Vantrel.INI"));
                     },
                     .outputs = {"keep.bin"},
                     .signals = false,
                     .offscreen = true,
                     .failureExit = 0,
                     .diskFullSays = "No space left on device",
                     .sameFileSays = "cannot copy a file onto itself",
                     .log = "history.txt",
                     .sameFile = {
                         {"ThroughLink", [](const Places& at) {
                            return FrontEnd(at, "copy " + at.W("big.bin") + " " + at.W("link.bin") + "\n", at.O("Vantrel.INI"));
                          }},
                     }});
    table.push_back({.name = "FrontEndSettings",
                     .program = "vantrelw",
                     .prepare = [](const Places& at) { WriteFile(at.W("Vantrel.INI"), "[Mine]\nKept=1\n[VantMain]\nX=17\n"); },
                     .arguments = [](const Places& at) { return FrontEnd(at, "", at.W("Vantrel.INI")); },
                     .outputs = {"Vantrel.INI"},
                     .signals = false,
                     .offscreen = true,
                     .diskFullSays = "No space left on device"});
    // A rename never replaces: here the only fault is a target that is the source.
    table.push_back({.name = "FrontEndRename",
                     .program = "vantrelw",
                     .prepare = [](const Places& at) {
                       OldFiles(at, {"a.txt"});
                       Link(at, "link.txt", "a.txt");
                     },
                     .arguments = {},
                     .outputs = {},
                     .signals = false,
                     .offscreen = true,
                     .failureExit = 0,
                     .sameFileSays = "Could not rename a.txt: File exists",
                     .log = "history.txt",
                     .sameFile = {
                         {"Direct", [](const Places& at) {
                            return FrontEnd(at, "cd " + at.work + "\nren a.txt a.txt\n", at.O("Vantrel.INI"));
                          }},
                         {"ThroughLink", [](const Places& at) {
                            return FrontEnd(at, "cd " + at.work + "\nren a.txt link.txt\n", at.O("Vantrel.INI"));
                          }},
                     }});
    return table;
  }();
  return programs;
}

enum class Fault { kDiskFullAtOnce, kDiskFullHalfway, kSignalAtFirstRead, kSignalAtFirstWrite, kSignalHalfway, kSignalAtLastWrite, kSameFile };

struct Case {
  size_t program;
  Fault fault;
  size_t sameFile = 0;
};

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  static const char* const kFaults[] = {"DiskFullAtOnce", "DiskFullHalfway", "SignalAtFirstRead", "SignalAtFirstWrite",
                                        "SignalHalfway", "SignalAtLastWrite", "SameFile"};
  const Program& program = Programs()[info.param.program];
  std::string name = std::string(program.name) + "_" + kFaults[static_cast<int>(info.param.fault)];
  if (info.param.fault == Fault::kSameFile) name += program.sameFile[info.param.sameFile].how;
  return name;
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (size_t p = 0; p < Programs().size(); ++p) {
    const Program& program = Programs()[p];
    if (program.arguments) {
      for (Fault fault : {Fault::kDiskFullAtOnce, Fault::kDiskFullHalfway}) cases.push_back({p, fault});
      if (program.signals) {
        for (Fault fault : {Fault::kSignalAtFirstRead, Fault::kSignalAtFirstWrite, Fault::kSignalHalfway, Fault::kSignalAtLastWrite}) {
          cases.push_back({p, fault});
        }
      }
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
    return testsupport::RunProgram(program.program, arguments, options);
  }

  // What the run said about its failure: in its log outside, and on standard error.
  std::string Said(const Program& program, const testsupport::ProgramResult& run) const {
    return (program.log ? ReadFile(at.O(program.log)) : std::string()) + run.errors;
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
  const char* says = program.sameFileSays;
  if (c.fault == Fault::kSameFile) {
    arguments = program.sameFile[c.sameFile].arguments(at);
  } else {
    // A run without a fault first: it completes, and measures what the run reads and writes.
    arguments = program.arguments(at);
    const testsupport::ProgramResult clean = Run(program, arguments, {{"VANT_FAULT_REPORT", at.O("measured")}});
    ASSERT_EQ(clean.exitCode, 0) << clean.errors;
    const std::map<std::string, std::string> made = Snapshot(at.work);
    for (const std::string& output : program.outputs) {
      ASSERT_TRUE(made.count(output)) << output;
      EXPECT_NE(before.count(output) ? before.at(output) : "", made.at(output)) << output;
    }
    unsigned long long written = 0, read = 0;
    ASSERT_EQ(std::sscanf(ReadFile(at.O("measured")).c_str(), "written %llu read %llu", &written, &read), 2);
    ASSERT_GT(written, 0u);
    // Back to the folder as it was.
    fs::remove_all(at.work);
    fs::remove_all(at.outside);
    SetUp();
    program.prepare(at);
    arguments = program.arguments(at);
    ASSERT_EQ(Snapshot(at.work), before);

    says = "Stopped by a signal.";
    switch (c.fault) {
      case Fault::kDiskFullAtOnce: faults = {{"VANT_FAULT_ENOSPC_AFTER", "0"}}; says = program.diskFullSays; break;
      case Fault::kDiskFullHalfway: faults = {{"VANT_FAULT_ENOSPC_AFTER", std::to_string(written / 2)}}; says = program.diskFullSays; break;
      case Fault::kSignalAtFirstRead: faults = {{"VANT_FAULT_SIGNAL_AFTER_READ", "1"}}; break;
      case Fault::kSignalAtFirstWrite: faults = {{"VANT_FAULT_SIGNAL_AFTER_WRITTEN", "1"}}; break;
      case Fault::kSignalHalfway: faults = {{"VANT_FAULT_SIGNAL_AFTER_WRITTEN", std::to_string(written / 2)}}; break;
      case Fault::kSignalAtLastWrite: faults = {{"VANT_FAULT_SIGNAL_AFTER_WRITTEN", std::to_string(written)}}; break;
      case Fault::kSameFile: break;
    }
  }
  const testsupport::ProgramResult run = Run(program, arguments, faults);
  EXPECT_EQ(run.exitCode, program.failureExit) << run.errors;
  const std::string said = Said(program, run);
  EXPECT_NE(said.find(says), std::string::npos) << "expected \"" << says << "\" in:\n" << said << "\n" << run.errors;
  const std::map<std::string, std::string> after = Snapshot(at.work);
  EXPECT_EQ(Names(after), Names(before));
  EXPECT_TRUE(after == before) << "a file changed";
}

INSTANTIATE_TEST_SUITE_P(Programs, FaultInjection, testing::ValuesIn(AllCases()), CaseName);

}  // namespace
