// Saving: record layout, the families' areas, the extension rule and the
// guarantee that a failed save leaves the old file alone.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstring>
#include <sstream>

#include "image/file_filters.h"
#include "image/file_load.h"
#include "image/file_save.h"
#include "image_test_support.h"

namespace {

using image::FamilyLayout;
using image::MemoryImage;
using image::SaveType;
using image_test::ReadFile;
using image_test::RecordingHost;
using image_test::TempDir;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(!line.empty() && line.back() == '\r') << "record without CR LF: " << line;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

class Save : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto bytes = image_test::RandomBytes(0x40000, 11);
    std::memcpy(img.data(), bytes.data(), bytes.size());
  }
  std::string SaveText(SaveType type, const std::string& name = "out") {
    const auto r = image::SaveImageFile(dir / name, type, img, layout, host);
    EXPECT_TRUE(r.ok);
    saved = r.path;
    return ReadFile(r.path);
  }

  TempDir dir;
  MemoryImage img;
  FamilyLayout layout;
  RecordingHost host;
  std::string saved;
};

TEST_F(Save, IntelHexSegmentsAndEndRecord) {
  img.SetBufferSize(0x20010);
  const auto lines = Lines(SaveText(SaveType::kIntelHex));
  std::vector<size_t> address_records;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].substr(7, 2) == "04") address_records.push_back(i);
  }
  ASSERT_EQ(address_records.size(), 2u);
  EXPECT_EQ(address_records[0], 0x1000u);  // after the 4096 records of segment 0
  EXPECT_EQ(lines[0x1000], ":020000040001F9");
  EXPECT_EQ(lines[0x2001], ":020000040002F8");
  EXPECT_EQ(lines[0x2002].substr(0, 9), ":10000000");
  EXPECT_EQ(lines.size(), 0x2004u);
  EXPECT_EQ(lines.back(), ":00000001FF");
  EXPECT_EQ(saved, dir / "out.HEX");
  EXPECT_EQ(host.caption, "Tavrin Daraz RevSa(0.98V11)- out.HEX");
  EXPECT_TRUE(host.messages.empty());

  // A length that is not a multiple of 16 ends with a short record.
  img.SetBufferSize(0x21);
  const auto short_lines = Lines(SaveText(SaveType::kIntelHex, "short.hex"));
  ASSERT_EQ(short_lines.size(), 4u);
  EXPECT_EQ(short_lines[2].substr(0, 9), ":01002000");
}

TEST_F(Save, SRecordTypeFollowsTheSize) {
  img.SetBufferSize(0x10000);
  auto lines = Lines(SaveText(SaveType::kSRecord));
  EXPECT_EQ(saved, dir / "out.S19");
  EXPECT_EQ(lines.front().substr(0, 8), "S1130000");
  EXPECT_EQ(lines.back(), "S9030000FC");

  img.SetBufferSize(0x20000);
  lines = Lines(SaveText(SaveType::kSRecord));
  EXPECT_EQ(saved, dir / "out.S2");
  EXPECT_EQ(lines.front().substr(0, 10), "S214000000");
  EXPECT_EQ(lines.back(), "S804000000FB");
  EXPECT_EQ(lines.size(), 0x2001u);

  image::StringSink sink;
  const image::Area area = image::AreaAt(0x10, 3);
  image::WriteSRecords(img.data(), {&area, 1}, 3, sink);
  EXPECT_EQ(Lines(sink.text).back(), "S705000000FA");
  EXPECT_EQ(sink.text.substr(0, 12), "S30800000010");
}

TEST_F(Save, ExtensionIsAppendedUnlessItMatches) {
  EXPECT_EQ(image::WithExtension("x.bin", ".ROM"), "x.bin.ROM");
  EXPECT_EQ(image::WithExtension("x.rom", ".ROM"), "x.rom");
  EXPECT_EQ(image::WithExtension("a.s/x", ".S19"), "a.s/x.S19");
  EXPECT_EQ(image::WithExtension("x", ".HEX"), "x.HEX");
  img.SetBufferSize(16);
  SaveText(SaveType::kRom, "x.bin");
  EXPECT_EQ(saved, dir / "x.bin.ROM");
  SaveText(SaveType::kBinary, "y.BIN");
  EXPECT_EQ(saved, dir / "y.BIN");
  EXPECT_EQ(ReadFile(saved), std::string(reinterpret_cast<char*>(img.data()), 16));
}

TEST_F(Save, EveryFormatRoundTrips) {
  for (const uint32_t size : {1u, 15u, 0x10001u, 0x40000u}) {
    img.SetBufferSize(size);
    for (const SaveType type : {SaveType::kBinary, SaveType::kIntelHex, SaveType::kSRecord}) {
      const auto r = image::SaveImageFile(dir / "rt", type, img, layout, host);
      ASSERT_TRUE(r.ok);
      MemoryImage back;
      ASSERT_TRUE(image::LoadImageFile(r.path, back, layout, host).ok) << r.path;
      EXPECT_EQ(back.data_end, size) << r.path;
      EXPECT_EQ(0, std::memcmp(back.data(), img.data(), size)) << r.path;
      EXPECT_EQ(back[size], 0xFF);
    }
  }
}

TEST_F(Save, PicAreasSurviveIntelHexAndSRecords) {
  layout.family = image::kFamilyPicFlash14;
  layout.pic = true;
  layout.pic_program_words = 1024;
  layout.pic_data_words = 128;
  img.SetBufferSize(1024);
  img.SetWord(image::kPicConfigWord, 0x3F12);
  const auto areas = image::IntelHexAreas(img, layout);
  ASSERT_EQ(areas.size(), 3u);
  EXPECT_EQ(areas[1].offset, 0x400Eu);
  EXPECT_EQ(areas[1].length, 32u);
  EXPECT_EQ(areas[2].offset, 0x4200u);
  EXPECT_EQ(areas[2].length, 256u);

  for (const SaveType type : {SaveType::kIntelHex, SaveType::kSRecord}) {
    const auto r = image::SaveImageFile(dir / "pic", type, img, layout, host);
    ASSERT_TRUE(r.ok);
    MemoryImage back;
    ASSERT_TRUE(image::LoadImageFile(r.path, back, FamilyLayout(), host).ok);
    EXPECT_EQ(back.Word(image::kPicConfigWord), 0x3F12) << r.path;
    EXPECT_EQ(0, std::memcmp(back.data(), img.data(), 2048)) << r.path;
    EXPECT_EQ(0, std::memcmp(back.data() + 0x4200, img.data() + 0x4200, 256)) << r.path;
  }

  // Binary keeps the program words only, and says so first.
  const auto r = image::SaveImageFile(dir / "pic", SaveType::kBinary, img, layout, host);
  EXPECT_EQ(ReadFile(r.path).size(), 2048u);
  EXPECT_EQ(host.information, std::vector<std::string>{
                                  "This format will not preserve any Fuse and Data information"});

  layout.family = image::kFamilyPic12;
  layout.pic_id_index = 1024;
  layout.pic_config_index = image::kPic12ConfigWord;
  const auto pic12 = image::IntelHexAreas(img, layout);
  ASSERT_EQ(pic12.size(), 3u);
  EXPECT_EQ(pic12[0].length, 2048u);
  EXPECT_EQ(pic12[1].offset, 2048u);
  EXPECT_EQ(pic12[1].length, 8u);
  EXPECT_EQ(pic12[2].offset, 0x1FFEu);

  // PIC18: its areas lie far apart; the S-record file needs 24-bit
  // addresses to reach them.
  layout.family = image::kFamilyPic18;
  layout.pic18_code_words = 0x10000;
  layout.pic18_eeprom_bytes = 256;
  const auto pic18 = image::IntelHexAreas(img, layout);
  ASSERT_EQ(pic18.size(), 4u);
  EXPECT_EQ(pic18[3].offset, 0xF00000u);
  EXPECT_EQ(pic18[3].length, 256u) << "one EEPROM byte per image byte";
  EXPECT_EQ(image::SRecordTypeFor(pic18), 2);
}

TEST_F(Save, AvrEepromFile) {
  layout.family = image::kFamilyAvr;
  layout.avr_eeprom_bytes = 64;
  host.caption = "unchanged";
  const auto lines = Lines(SaveText(SaveType::kEeprom, "data"));
  EXPECT_EQ(saved, dir / "data.EEP");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].substr(0, 9), ":10000000");
  EXPECT_EQ(lines[3].substr(0, 9), ":10003000");
  EXPECT_EQ(host.caption, "unchanged");

  MemoryImage back;
  ASSERT_TRUE(image::LoadImageFile(saved, back, layout, host).ok);
  EXPECT_EQ(0, std::memcmp(back.data() + image::kAvrEepromOffset,
                           img.data() + image::kAvrEepromOffset, 64));
}

TEST_F(Save, HexRecordsNeverCrossASegment) {
  image::StringSink sink;
  const image::Area area = image::AreaAt(0xFFF8, 16);
  image::WriteIntelHex(img.data(), {&area, 1}, sink);
  const auto lines = Lines(sink.text);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(0, 9), ":08FFF800");
  EXPECT_EQ(lines[1], ":020000040001F9");
  EXPECT_EQ(lines[2].substr(0, 9), ":08000000");

  // Areas reaching past the image are cut at its end.
  image::StringSink cut;
  const image::Area past = image::AreaAt(image::kImageSize - 4, 100);
  image::WriteIntelHex(img.data(), {&past, 1}, cut);
  EXPECT_EQ(Lines(cut.text)[1].substr(0, 9), ":04FFFC00");
}

TEST_F(Save, FailedSaveKeepsTheOldFile) {
  img.SetBufferSize(0x10000);
  const std::string target = dir / "keep.HEX";
  image_test::WriteFile(target, "old contents");
  ::chmod(target.c_str(), 0640);

  // The child may write only a few bytes: the write fails half-way.
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    RecordingHost child;
    const auto r = image::SaveImageFile(target, SaveType::kIntelHex, img, layout, child);
    std::_Exit(!r.ok && child.errors == std::vector<std::string>{"Error opening file"} ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFile(target), "old contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  // A successful save replaces it and keeps its permissions.
  SaveText(SaveType::kIntelHex, "keep.HEX");
  EXPECT_NE(ReadFile(target), "old contents");
  struct stat st {};
  ::stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // A folder in the way, or a folder that does not exist.
  std::filesystem::create_directory(dir / "taken.BIN");
  EXPECT_FALSE(image::SaveImageFile(dir / "taken.BIN", SaveType::kBinary, img, layout, host).ok);
  EXPECT_FALSE(image::SaveImageFile(dir / "no/such.BIN", SaveType::kBinary, img, layout, host).ok);
  EXPECT_EQ(host.errors.size(), 2u);
}

// A file that would hold nothing is never written: an empty result would
// pass for a good one, or wipe the file it was converted from.
TEST_F(Save, NothingToSaveIsRefused) {
  FamilyLayout avr;
  avr.family = image::kFamilyAvr;
  avr.avr_eeprom_bytes = 128;
  FamilyLayout avr_without_eeprom = avr;
  avr_without_eeprom.avr_eeprom_bytes = 0;
  const struct {
    SaveType type;
    const FamilyLayout& layout;
    uint32_t device_size;
    const char* error;  // nullptr: written
  } cases[] = {
      {SaveType::kEeprom, layout, 0x8000, "An EEPROM (.eep) file needs an AVR device"},
      {SaveType::kEeprom, avr_without_eeprom, 0x800,
       "The device has no EEPROM area: there is nothing to save as an EEPROM (.eep) file"},
      {SaveType::kEeprom, avr, 0x800, nullptr},
      {SaveType::kBinary, layout, 0, "Nothing to save: the image holds no data for this file"},
      {SaveType::kRom, layout, 0, "Nothing to save: the image holds no data for this file"},
      {SaveType::kIntelHex, layout, 0, "Nothing to save: the image holds no data for this file"},
      {SaveType::kSRecord, layout, 0, "Nothing to save: the image holds no data for this file"},
      {SaveType::kBinary, layout, 1, nullptr},
  };
  int n = 0;
  for (const auto& c : cases) {
    img.SetBufferSize(c.device_size);
    host = RecordingHost();
    const std::string name = dir / ("f" + std::to_string(n++));
    image_test::WriteFile(name, "input");
    const auto r = image::SaveImageFile(name, c.type, img, c.layout, host, false);
    if (c.error == nullptr) {
      EXPECT_TRUE(r.ok) << n;
      EXPECT_NE(ReadFile(name), "input") << n;
      continue;
    }
    EXPECT_FALSE(r.ok) << n;
    EXPECT_EQ(r.status, image::SaveStatus::kNothingToSave) << n;
    EXPECT_EQ(host.errors, std::vector<std::string>{c.error}) << n;
    EXPECT_EQ(ReadFile(name), "input") << n;
  }
}

// Without the dialog's extension rule the file gets exactly the name asked
// for, and nothing else in the folder is touched.
TEST_F(Save, ExactNameTouchesNoOtherFile) {
  img.SetBufferSize(16);
  image_test::WriteFile(dir / "fw.BIN", "someone else's");
  image_test::WriteFile(dir / "fw.HEX", "someone else's");
  for (const auto type : {SaveType::kBinary, SaveType::kIntelHex}) {
    const auto r = image::SaveImageFile(dir / "fw", type, img, layout, host, false);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.path, dir / "fw");
  }
  EXPECT_EQ(ReadFile(dir / "fw.BIN"), "someone else's");
  EXPECT_EQ(ReadFile(dir / "fw.HEX"), "someone else's");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
  // What the dialog's way would write instead.
  EXPECT_EQ(image::SavePath(dir / "fw", SaveType::kRom, img, layout), dir / "fw.ROM");
  EXPECT_EQ(image::SavePath(dir / "x.bin", SaveType::kRom, img, layout), dir / "x.bin.ROM");
  EXPECT_EQ(image::SavePath(dir / "x.s19", SaveType::kSRecord, img, layout), dir / "x.s19");
}

// Devices and pipes are written where they are: replacing them with a
// regular file would break whatever reads them.
TEST_F(Save, SpecialFilesAreWrittenInPlace) {
  img.SetBufferSize(4);
  std::memcpy(img.data(), "ABCD", 4);
  auto r = image::SaveImageFile("/dev/null", SaveType::kBinary, img, layout, host, false);
  EXPECT_TRUE(r.ok);
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  const std::string fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const pid_t reader = ::fork();
  if (reader == 0) {
    const std::string got = ReadFile(fifo);
    std::_Exit(got == "ABCD" ? 0 : 1);
  }
  r = image::SaveImageFile(fifo, SaveType::kBinary, img, layout, host, false);
  EXPECT_TRUE(r.ok);
  int status = 0;
  ::waitpid(reader, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  // A stream that is not open is a failed save, not a written one.
  host = RecordingHost();
  r = image::SaveImageFile("/dev/fd/97", SaveType::kBinary, img, layout, host, false);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(host.errors, std::vector<std::string>{"Error opening file"});
}

TEST_F(Save, SavingThroughALinkReplacesItsTarget) {
  img.SetBufferSize(4);
  image_test::WriteFile(dir / "real.BIN", "old");
  std::filesystem::create_symlink(dir / "real.BIN", dir / "link.BIN");
  SaveText(SaveType::kBinary, "link.BIN");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.BIN"));
  EXPECT_EQ(ReadFile(dir / "real.BIN"), std::string(reinterpret_cast<char*>(img.data()), 4));
}

TEST(FileFilters, DialogListsInOrder) {
  const auto open = image::OpenFilters();
  ASSERT_EQ(open.size(), 10u);
  EXPECT_EQ(open[image::kOpenDefaultFilter].label, "All Daraz Files");
  EXPECT_EQ(open[0].label, "Binary  (*.BIN)");
  EXPECT_EQ(open[9].patterns[0], "*.*");
  // "All Daraz Files" offers every extension that names a format, and only those.
  std::vector<std::string> offered;
  for (const auto& p : open[image::kOpenDefaultFilter].patterns) {
    EXPECT_TRUE(image::FormatForPath("f" + std::string(p.substr(1))).has_value()) << p;
    offered.emplace_back(p.substr(2));
  }
  for (const char* ext : {"BIN", "ROM", "HEX", "IHX", "IHEX", "H86", "MCS", "A43", "EEP", "S",
                          "S19", "S2", "S3", "S28", "S37", "SREC", "MOT"}) {
    EXPECT_NE(std::find(offered.begin(), offered.end(), ext), offered.end()) << ext;
  }
  const auto save = image::SaveFilters();
  ASSERT_EQ(save.size(), 5u);
  EXPECT_EQ(save[static_cast<int>(SaveType::kEeprom) - 1].label, "EEPROM (*.eep)");
  EXPECT_EQ(image::DefaultSaveType(true), SaveType::kIntelHex);
}

}  // namespace
