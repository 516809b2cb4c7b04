// Text inputs in the forms users write them, the settings file as the front end writes it, and
// report channel frames laid out by the channel's own field writers.
#include "frontend/core/ini_file.h"
#include "frontend/core/settings_file.h"
#include "fuzz/seeds/seed_folder.h"
#include "platform/system/report_channel.h"
#include "platform/system/report_wire.h"

namespace fuzzseeds {
namespace {

void WriteLists(const SeedFolders& folders) {
  folders.WriteText("list", "pictures.lst",
                    "# pictures of the title\r\n"
                    "title.bmp\r\n"
                    "/srv/pics/s01/intro.flc /S2 /E5\r\n"
                    "\"with blanks.pcx\" /E3\r\n"
                    "\r\n"
                    "Exam???.BMP*1-3\n"
                    "Frame??.tga /S4 /E6\n");
  folders.WriteText("list", "series.lst", "clip????.bmp*0008-0011\n");
}

void WriteHints(const SeedFolders& folders) {
  folders.WriteText("hints", "hints.txt",
                    "1 10 2000 1\r\n"
                    "5 * * 0\n"
                    "12 8 -50 *\n"
                    "30 40 95\n"
                    "60 60 -450 1\n");
}

void WriteScripts(const SeedFolders& folders) {
  folders.WriteText("script", "labels.ss",
                    "# counts down and calls a sub-routine\r\n"
                    ":START\r\n"
                    "VARSET COUNT, 3\r\n"
                    ":AGAIN\r\n"
                    "GOSUB SHOW\r\n"
                    "COMPUTE COUNT, COUNT - 1\r\n"
                    "IF COUNT > 0 ; GOTO AGAIN\r\n"
                    "END\r\n"
                    ":SHOW  # the label of the sub-routine\r\n"
                    "TEXT \"Count: %COUNT%\"\r\n"
                    "RETURN\r\n");
  folders.WriteText("script", "text_block.ss",
                    "SCREENGRAPHICS 320, 200\n"
                    "TEXTBEGIN\n"
                    "  kept as written\n"
                    "# also kept\n"
                    "textend\n"
                    "STRLENGTH LEN, \"abc\"\n"
                    "EXIT\n");
}

void WriteParams(const SeedFolders& folders) {
  folders.WriteText("params", "mixed.txt", "12\nA, \"text %A% and %B%\", -12 <= 'x' + B\n");
  folders.WriteText("params", "compare.txt", "abc\nNAME @<> \"ABC\", 7 * -3, %%A%% ; GOTO X\n");
}

void WriteSettingsFiles(const SeedFolders& folders) {
  frontend::Settings settings;
  settings.main.x = 40;
  settings.compress.filename = "clip.avi";
  settings.compress.keyFrames = true;
  settings.frameSpecific = {"1 10 2000 1", "20 30 * 0"};
  settings.recentFiles = {"/home/ann/clip.flc", "title.bmp"};
  settings.recentDirs = {"/home/ann"};
  frontend::IniFile file;
  file.Parse("; kept as it stands\n[Unknown]\nKey = Value\n");
  frontend::WriteSettings(settings, file);
  folders.WriteText("settings", "Vantrel.INI", file.Text());
}

std::vector<uint8_t> Request(platform::ReportRequestType type, uint32_t code, uint64_t wParam,
                             uint64_t lParam, const std::string& data) {
  std::vector<uint8_t> out;
  platform::AppendLE32(out, platform::report_wire::kRequestMagic);
  platform::AppendLE32(out, static_cast<uint32_t>(type));
  platform::AppendLE32(out, code);
  platform::AppendLE32(out, 0);
  platform::AppendLE64(out, wParam);
  platform::AppendLE64(out, lParam);
  platform::AppendLE32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<uint8_t> Reply(uint32_t result, const std::string& payload) {
  std::vector<uint8_t> out;
  platform::AppendLE32(out, platform::report_wire::kReplyMagic);
  platform::AppendLE32(out, result);
  platform::AppendLE32(out, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

void WriteReportFrames(const SeedFolders& folders) {
  using platform::ReportRequestType;
  const std::string report("Vant - Vantrel compressor. V 3.0k\r\n  Done.\0", 44);
  folders.Write("report", "data_request", Request(ReportRequestType::Data, platform::kStatusReportKind, 7, 0, report));
  folders.Write("report", "message_request",
                Request(ReportRequestType::Message, platform::kRestoreNoticeMessage, 0, 0, ""));
  folders.Write("report", "caption_request", Request(ReportRequestType::Caption, 0, 0, 0, ""));
  folders.Write("report", "decline_reply", Reply(platform::kFrontEndQueryDecline, ""));
  folders.Write("report", "caption_reply", Reply(0, "Vantrel for Windows"));
}

}  // namespace

void WriteTextSeeds(const SeedFolders& folders) {
  WriteLists(folders);
  WriteHints(folders);
  WriteScripts(folders);
  WriteParams(folders);
  WriteSettingsFiles(folders);
  WriteReportFrames(folders);
}

}  // namespace fuzzseeds
