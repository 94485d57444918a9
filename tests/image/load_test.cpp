// Loading: the examples of each format, the fallbacks, and hostile input of
// every kind — which must leave the image and the data end as they were.
#include <gtest/gtest.h>

#include <string>

#include "image/file_load.h"
#include "image_test_support.h"

namespace {

using image::FamilyLayout;
using image::FileFormat;
using image::kImageSize;
using image::MemoryImage;
using image_test::RecordingHost;
using image_test::TempDir;
using image_test::WriteFile;

class Load : public ::testing::Test {
 protected:
  image::LoadResult LoadFile(const std::string& name, const std::string& content) {
    const std::string path = dir / name;
    WriteFile(path, content);
    return image::LoadImageFile(path, img, layout, host);
  }
  // Expects a refused load with `error` and an untouched image.
  void ExpectRefused(const std::string& name, const std::string& content, const char* error) {
    image_test::MarkImage(img);
    host = RecordingHost();
    // Shown escaped: the content may be any bytes.
    const std::string shown = ::testing::PrintToString(content);
    EXPECT_FALSE(LoadFile(name, content).ok) << name << ": " << shown;
    ASSERT_EQ(host.errors.size(), 1u) << shown;
    EXPECT_EQ(host.errors[0], error) << shown;
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(image_test::ImageIsMarked(img)) << shown;
  }

  TempDir dir;
  MemoryImage img;
  FamilyLayout layout;
  RecordingHost host;
};

// Every extension, with contents of each kind: a known extension decides,
// any other lets the content decide, and a forced format beats both.
TEST_F(Load, FormatByExtensionThenByContent) {
  const std::string hex = ":0400000001020304F2\r\n:00000001FF\r\n";
  const std::string srec = "S00600004844521B\nS107000001020304EE\nS9030000FC\n";
  const std::string binary = std::string("\x01\x02\x03\x04", 4);
  const std::string text = "hello world\n";
  const auto kHex = FileFormat::kIntelHex;
  const auto kS = FileFormat::kSRecord;
  const auto kBin = FileFormat::kBinary;
  const struct {
    const char* name;
    const std::string& content;
    FileFormat loaded;
  } cases[] = {
      {"a.hex", hex, kHex},
      {"a.HEX", hex, kHex},
      {"a.ihx", hex, kHex},
      {"a.IHEX", hex, kHex},
      {"a.h86", hex, kHex},
      {"a.mcs", hex, kHex},
      {"a.a43", hex, kHex},
      {"a.s", srec, kS},
      {"a.S19", srec, kS},
      {"a.s2", srec, kS},
      {"a.s3", srec, kS},
      {"a.s28", srec, kS},
      {"a.S37", srec, kS},
      {"a.srec", srec, kS},
      {"a.mot", srec, kS},
      {"a.bin", hex, kBin},
      {"a.ROM", srec, kBin},
      {"a.bin", binary, kBin},
      {"a", hex, kHex},
      {"a", srec, kS},
      {"a", binary, kBin},
      {"a.txt", hex, kHex},
      {"fw.dat", srec, kS},
      {"a.hex.bak", hex, kHex},
      {"a.s1", srec, kS},
      {"dir.hex/a", binary, kBin},
      {"a.txt", text, kBin},
      {"a.out", "\r\n\n  " + hex, kHex},
      {"a.out", "; made by an assembler\n" + hex, kHex},
      {"a.out", "header line\r\n" + srec, kS},
      // Record marks at the start of bytes no text has: binary.
      {"a.dat", ":\x01\x02\xFE" + hex, kBin},
      {"a.dat", "S1\x80" + srec, kBin},
      // The other format's file under a known extension: the fallback.
      {"a.hex", srec, kS},
      {"a.s19", hex, kHex},
  };
  for (const auto& c : cases) {
    std::filesystem::create_directories(std::filesystem::path(dir / c.name).parent_path());
    host = RecordingHost();
    const auto r = LoadFile(c.name, c.content);
    ASSERT_TRUE(r.ok) << c.name << ": " << (host.errors.empty() ? "" : host.errors[0]);
    EXPECT_EQ(r.format, c.loaded) << c.name;
    if (c.loaded != kBin) {
      EXPECT_EQ(img[0], 0x01) << c.name;
      EXPECT_EQ(img[3], 0x04) << c.name;
      EXPECT_EQ(img.data_end, 4u) << c.name;
    }
  }
  EXPECT_FALSE(image::FormatForPath("a.txt").has_value());
  EXPECT_EQ(image::FormatForPath("/x/A.Eep"), FileFormat::kEeprom);

  // A forced format: sdcc's HEX output as it stands, or the text itself.
  image::LoadOptions as_binary;
  as_binary.format = FileFormat::kBinary;
  WriteFile(dir / "f.ihx", hex);
  auto r = image::LoadImageFile(dir / "f.ihx", img, layout, host, as_binary);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(img[0], ':');
  EXPECT_EQ(img.data_end, hex.size());
  image::LoadOptions as_hex;
  as_hex.format = FileFormat::kIntelHex;
  WriteFile(dir / "f.bin", hex);
  ASSERT_TRUE(image::LoadImageFile(dir / "f.bin", img, layout, host, as_hex).ok);
  EXPECT_EQ(img[0], 0x01);

  for (const auto& [name, format] : std::vector<std::pair<std::string, FileFormat>>{
           {"bin", kBin}, {"HEX", kHex}, {"srec", kS}, {"Eep", FileFormat::kEeprom}}) {
    EXPECT_EQ(image::FormatByName(name), format) << name;
  }
  EXPECT_FALSE(image::FormatByName("s19").has_value());
}

TEST_F(Load, IntelHexRecordsAndAddressing) {
  image_test::MarkImage(img);
  const auto r = LoadFile("p.hex", ":020000040001F9\r\n:0100000055AA\r\n:00000001FF\r\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(img[0x10000], 0x55);
  EXPECT_EQ(img[0], 0xFF);  // cleared before the load
  EXPECT_EQ(img.data_end, 0x10001u);
  EXPECT_EQ(host.messages, std::vector<std::string>{"Hex File loaded OK"});
  EXPECT_EQ(host.kinds[0], 0);
  EXPECT_EQ(host.caption, "Tavrin Daraz RevSa(0.98V11)- p.hex");

  // Segment address 0x1000 -> 0x10000; LF endings, lower-case digits,
  // records after the end record, leading junk before the colon.
  ASSERT_TRUE(
      LoadFile("q.HEX", ":020000021000EC\n:00000001FF\njunk:02000200abcd84\n:0400000301020304EF\n")
          .ok);
  EXPECT_EQ(img[0x10002], 0xAB);
  EXPECT_EQ(img[0x10003], 0xCD);
  EXPECT_EQ(img.data_end, 0x10004u);
}

// A file that holds no data record would load an empty image and then
// "program" a blank chip: it is refused, and the image stays as it was.
TEST_F(Load, FilesWithoutDataRecordsAreRefused) {
  const std::pair<const char*, const char*> cases[] = {
      {"none.hex", "no records here\nnor here\n"}, {"end.hex", ":00000001FF\n"},
      {"zero.hex", ":0000000000\n:00000001FF\n"},  {"header.s19", "S00600004844521B\nS9030000FC\n"},
      {"noise.s19", "\x13\x88garbage\xFF\n"},      {"short.s28", "S1030000FC\n"},
  };
  for (const auto& [name, content] : cases) {
    ExpectRefused(name, content, (std::string("No data records in ") + name).c_str());
  }
  layout.family = image::kFamilyAvr;
  ExpectRefused("e.eep", ":00000001FF\n", "No data records in e.eep");
}

TEST_F(Load, LongRecordsAndLongLinesLoad) {
  std::string rec = ":FF000000";
  unsigned sum = 0xFF;
  for (int i = 0; i < 255; ++i) {
    char b[3];
    std::snprintf(b, sizeof b, "%02X", i);
    rec += b;
    sum += static_cast<unsigned>(i);
  }
  char c[3];
  std::snprintf(c, sizeof c, "%02X", (0u - sum) & 0xFF);
  rec += c;
  ASSERT_TRUE(LoadFile("long.hex", std::string(5000, ' ') + rec + "\r\n").ok);
  EXPECT_EQ(img[254], 254);
  EXPECT_EQ(img.data_end, 255u);
}

TEST_F(Load, SRecordsOfEveryWidth) {
  image_test::MarkImage(img);
  ASSERT_TRUE(
      LoadFile("a.s19", "S00600004844521B\r\nS1050010AABB85\r\nS5030001FB\r\nS9030000FC\r\n").ok);
  EXPECT_EQ(img[0x10], 0xAA);
  EXPECT_EQ(img[0x11], 0xBB);
  EXPECT_EQ(img.data_end, 0x12u);
  EXPECT_EQ(host.messages.back(), "S Record File loaded OK");

  ASSERT_TRUE(LoadFile("b.s28", "S2060100001122C5\nS804000000FB\n").ok);
  EXPECT_EQ(img[0x10000], 0x11);
  EXPECT_EQ(img.data_end, 0x10002u);
  ASSERT_TRUE(LoadFile("c.S37", "S3060000FFFF33C8\nS705000000FA\n").ok);
  EXPECT_EQ(img[0xFFFF], 0x33);

  // A record with no data (count too small) is skipped.
  ASSERT_TRUE(LoadFile("d.s", "S1030000FC\nS1040020AA31\n").ok);
  EXPECT_EQ(img[0x20], 0xAA);
}

TEST_F(Load, FallbackToTheOtherFormat) {
  // An S-record file named .HEX: its failing line holds "S", so the
  // S-record loader takes over and its result stands.
  image_test::MarkImage(img);
  auto r = LoadFile("s.hex", "S0 header: demo\nS1050010AABB85\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, FileFormat::kSRecord);
  EXPECT_EQ(img[0x10], 0xAA);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.messages.back(), "S Record File loaded OK");

  // And the other way: a failing S line that holds ":".
  r = LoadFile("h.s", ":0100000055AA\nS1:0100000055AA\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, FileFormat::kIntelHex);
  EXPECT_EQ(img[0], 0x55);

  // Without such a mark there is no second try.
  ExpectRefused("bad.hex", ":0100000055AB\n", "Checksum Error reading Hexfile");
}

TEST_F(Load, HostileTextIsRefusedAndChangesNothing) {
  const char* kHex = "Checksum Error reading Hexfile";
  const char* kAddr = "Address Error reading Hexfile (beyond 16 MB)";
  const std::pair<const char*, const char*> cases[] = {
      {":0100000055", kHex},                      // truncated: no checksum
      {":01000000", kHex},                        // truncated header
      {":0200000055AA", kHex},                    // count says 2, one byte present
      {":01000000G5AA", kHex},                    // bad digit
      {":010000005AA", kHex},                     // odd digit count
      {":0100000055AA77", kHex},                  // more on the line than the count says
      {":0100000055AB", kHex},                    // wrong checksum
      {":03000004000100F8", kHex},                // address record of the wrong length
      {":020000040100F9\n:0100000055AA", kAddr},  // 16 MB and up
      {":0200000400FFFB\n:10FFF80000000000000000000000000000000000F9", kAddr},
      {"S1050010AABB84", kHex},  // S-record checksum
      {"S10", kHex},
      {"S30AFFFFFFFF0102030405EA", kAddr},
      {"S206FFFFFE1122CA\n", nullptr},  // ends exactly at 16 MB: loads
  };
  for (const auto& [content, error] : cases) {
    const std::string name = content[0] == 'S' ? "f.s" : "f.hex";
    if (error == nullptr) {
      EXPECT_TRUE(LoadFile(name, content).ok) << content;
      continue;
    }
    ExpectRefused(name, content, error);
  }
}

TEST_F(Load, EepromFileLandsInTheAvrAreaOnTopOfTheImage) {
  image_test::MarkImage(img);
  layout.family = image::kFamilyAvr;
  layout.avr_program_bytes = 2048;
  img.SetBufferSize(2048);
  const auto r = LoadFile("e.eep", ":020010001122BB\r\n:00000001FF\r\n\r\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(img[image::kAvrEepromOffset + 0x10], 0x11);
  EXPECT_EQ(img[image::kAvrEepromOffset + 0x11], 0x22);
  EXPECT_EQ(img[0], image_test::Marks()[0]);  // not cleared
  EXPECT_EQ(img.data_end, 0x1234u);           // data end unchanged
  EXPECT_EQ(host.messages.back(), "EEPROM (Hex) File loaded OK");
  EXPECT_TRUE(host.caption.empty());

  ExpectRefused("e.eep", ":020010001122BB\nnot a record\n", "Error reading Hexfile (EEP)");
  ExpectRefused("e.eep", ":020010001122BC\n", "Checksum Error reading Hexfile (EEP)");
  ExpectRefused("e.eep", ":0200000400FCFE\n:020000001122CB\n",
                "Address Error reading Hexfile (EEP)");
}

TEST_F(Load, BinaryFiles) {
  image_test::MarkImage(img);
  ASSERT_TRUE(LoadFile("x.bin", std::string(100, '\x11')).ok);
  EXPECT_EQ(img.data_end, 100u);
  EXPECT_EQ(img[99], 0x11);
  EXPECT_EQ(img[100], 0xFF);
  EXPECT_EQ(img[kImageSize - 1], 0xFF);
  EXPECT_EQ(host.messages, std::vector<std::string>{"Binary File loaded OK"});
  EXPECT_EQ(host.caption, "Tavrin Daraz RevSa(0.98V11)- x.bin");

  // Larger than the image: the first 16 MB, with a warning.
  std::string big(20u << 20, '\0');
  big[kImageSize - 1] = 0x7E;
  big[kImageSize] = 0x7F;
  host = RecordingHost();
  ASSERT_TRUE(LoadFile("big.rom", big).ok);
  EXPECT_EQ(img.data_end, kImageSize);
  EXPECT_EQ(img[kImageSize - 1], 0x7E);
  EXPECT_EQ(host.kinds, std::vector<int>{1});

  ExpectRefused("empty.bin", "", "File is empty");
}

// The file offset moves every address of the file, like srec_cat -offset;
// data it would move off the image refuses the load.
TEST_F(Load, FileOffsetMovesTheData) {
  const std::string at_e000 = ":02E000001122EB\n:00000001FF\n";  // 0x11 0x22 at 0xE000
  const struct {
    const char* name;
    std::string content;
    int64_t offset;
    uint32_t first;  // where the first byte lands
    uint32_t data_end;
  } moved[] = {
      {"a.hex", at_e000, -0xE000, 0x0000, 0x0002},
      {"b.hex", at_e000, 0x10, 0xE010, 0xE012},
      {"c.s19", "S10520001122A7\n", -0x1FFF, 0x0001, 0x0003},
      {"d.bin", "\x11\x22", 0x100, 0x0100, 0x0102},
      {"e.bin", "\x11\x22", 0, 0x0000, 0x0002},
  };
  for (const auto& c : moved) {
    image::LoadOptions options;
    options.file_offset = c.offset;
    WriteFile(dir / c.name, c.content);
    image_test::MarkImage(img);
    ASSERT_TRUE(image::LoadImageFile(dir / c.name, img, layout, host, options).ok) << c.name;
    EXPECT_EQ(img[c.first], 0x11) << c.name;
    EXPECT_EQ(img[c.first + 1], 0x22) << c.name;
    EXPECT_EQ(img.data_end, c.data_end) << c.name;
    if (c.first > 0) {
      EXPECT_EQ(img[c.first - 1], 0xFF) << c.name;
    }
  }

  const struct {
    const char* name;
    const char* content;
    int64_t offset;
    const char* error;
  } refused[] = {
      {"a.hex", ":02E000001122EB\n", -0xE001, "The file offset moves data below address 0"},
      {"b.s19", "S10520001122A7\n", -0x2001, "The file offset moves data below address 0"},
      {"c.bin", "\x11", -1, "The file offset moves data below address 0"},
      {"d.hex", ":02E000001122EB\n", 0xFF2000, "Address Error reading Hexfile (beyond 16 MB)"},
      {"e.bin", "\x11\x22", 0xFFFFFF, "The file offset moves data beyond 16 MB"},
  };
  for (const auto& c : refused) {
    image::LoadOptions options;
    options.file_offset = c.offset;
    WriteFile(dir / c.name, c.content);
    image_test::MarkImage(img);
    host = RecordingHost();
    EXPECT_FALSE(image::LoadImageFile(dir / c.name, img, layout, host, options).ok) << c.name;
    ASSERT_EQ(host.errors.size(), 1u) << c.name;
    EXPECT_EQ(host.errors[0], c.error) << c.name;
    EXPECT_TRUE(image_test::ImageIsMarked(img)) << c.name;
  }
}

// With a device selected the load counts the bytes the file put where no
// area of the device is: they would never reach the chip.
TEST_F(Load, DataOutsideTheDeviceIsCounted) {
  img.SetBufferSize(0x2000);  // a 27C64
  const struct {
    const char* name;
    std::string content;
    uint64_t count;
    uint32_t first, last;
  } cases[] = {
      {"inside.hex", ":02000000112CC1\n:021FFE00AABB7C\n", 0, 0, 0},
      {"6502.hex", ":02E000001122EB\n:02FFFE00AABB9C\n", 4, 0xE000, 0xFFFF},
      {"edge.hex", ":021FFF00AABB7B\n", 1, 0x2000, 0x2000},
      {"big.bin", std::string(0x2800, '\0'), 0x800, 0x2000, 0x27FF},
      {"ff.s19", "S1052000FFFFDC\n", 2, 0x2000, 0x2001},  // 0xFF bytes count too
  };
  for (const auto& c : cases) {
    const auto r = LoadFile(c.name, c.content);
    ASSERT_TRUE(r.ok) << c.name;
    EXPECT_EQ(r.outside.count, c.count) << c.name;
    if (c.count == 0) continue;
    EXPECT_EQ(r.outside.first, c.first) << c.name;
    EXPECT_EQ(r.outside.last, c.last) << c.name;
  }
  // A device that ends inside a 64-byte block of the map.
  img.SetBufferSize(0x2010);
  const auto tail = LoadFile("tail.hex", ":04200E0001020304C4\n");  // 0x200E..0x2011
  ASSERT_TRUE(tail.ok);
  EXPECT_EQ(tail.outside.count, 2u);
  EXPECT_EQ(tail.outside.first, 0x2010u);

  // No device: nothing is outside.
  MemoryImage none;
  WriteFile(dir / "x.hex", ":02E000001122EB\n");
  EXPECT_TRUE(image::LoadImageFile(dir / "x.hex", none, layout, host).outside.empty());

  // A mid-range PIC's ID, configuration and data-EEPROM words are its own.
  layout.family = image::kFamilyPicFlash14;
  layout.pic = true;
  layout.pic_program_words = 1024;
  layout.pic_data_words = 64;
  img.SetBufferSize(1024);
  const auto r = LoadFile("pic.hex",
                          ":020000003412B8\n"    // program word 0
                          ":024000000100BD\n"    // ID word 0x2000
                          ":02400E00F13F80\n"    // configuration word 0x2007
                          ":02420000550067\n"    // data EEPROM byte 0 (word 0x2100)
                          ":02080000FF3FB8\n");  // word 0x400: past the program memory
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.outside.count, 2u);
  EXPECT_EQ(r.outside.first, 0x800u);
  EXPECT_EQ(r.outside.last, 0x801u);
}

// The loaders clear the image the way the family's clear does: a PIC's
// data-EEPROM words and the words behind a 12-bit part's program memory
// read 0x0000 after a load, not the erased program word.
TEST_F(Load, PicImageClearedByTheFamilysClear) {
  layout.family = image::kFamilyPicFlash14;
  layout.pic = true;
  layout.pic_program_words = 1024;
  img.SetBufferSize(1024);
  image_test::MarkImage(img);
  ASSERT_TRUE(LoadFile("p.hex", ":02000000FF3FC0\n").ok);
  EXPECT_EQ(img.Word(1), 0x3FFF);
  EXPECT_EQ(img.Word(image::kPicConfigWord), 0x3FFF);
  EXPECT_EQ(img.Word(image::kPicEepromWord), 0x0000);
  EXPECT_EQ(img.Word(image::kPicEepromWord + 127), 0x0000);
  // The clear of a PIC leaves the image beyond its window alone.
  EXPECT_EQ(img[0x8000], image_test::Marks()[0x8000]);

  layout.family = image::kFamilyPic12;
  layout.pic_data_words = 16;
  layout.pic_config_index = 0x3FF;
  img.SetBufferSize(0x200);
  ASSERT_TRUE(LoadFile("p.hex", ":02000000FF3FC0\n").ok);
  EXPECT_EQ(img.Word(0), 0x0FFF);
  EXPECT_EQ(img.Word(0x1FF), 0x0FFF);
  EXPECT_EQ(img.Word(0x200), 0x0000);  // the data area after the program words
  EXPECT_EQ(img.Word(0x20F), 0x0000);
  EXPECT_EQ(img.Word(0x3FF), 0x0FFF);  // the configuration word
}

// An EEPROM file numbers an AVR's EEPROM from 0; without an AVR it has no
// place in the image.
TEST_F(Load, EepromFileNeedsAnAvr) {
  ExpectRefused("e.eep", ":0100000055AA\n", "An EEPROM (.eep) file needs an AVR device");
  layout.family = image::kFamilyPicFlash14;
  ExpectRefused("e.eep", ":0100000055AA\n", "An EEPROM (.eep) file needs an AVR device");
  image::LoadOptions forced;
  forced.format = FileFormat::kEeprom;
  WriteFile(dir / "e.hex", ":0100000055AA\n");
  EXPECT_FALSE(image::LoadImageFile(dir / "e.hex", img, layout, host, forced).ok);
}

TEST_F(Load, UnreadableFilesAreRefused) {
  image_test::MarkImage(img);
  EXPECT_FALSE(image::LoadImageFile(dir / "missing.hex", img, layout, host).ok);
  std::filesystem::create_directory(dir / "folder.hex");
  EXPECT_FALSE(image::LoadImageFile(dir / "folder.hex", img, layout, host).ok);
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Error opening file", "Error opening file"}));
  EXPECT_TRUE(image_test::ImageIsMarked(img));

  // A line of many megabytes without a break is no text image file.
  ExpectRefused("huge.hex", std::string(3u << 20, 'A'), "Checksum Error reading Hexfile");
}

TEST_F(Load, PicAndAvrPostProcessing) {
  layout.family = image::kFamilyPicFlash14;
  layout.pic = true;
  layout.pic_program_words = 1024;
  img.device_size = 77;
  // Word 0 = 0xFFFF, configuration word 0x2007 = 0xFFF1.
  auto r = LoadFile("p.hex", ":02000000FFFF00\n:02400E00F1FFC0\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(img.device_size, 1024u);
  EXPECT_EQ(img.Word(0), 0x3FFF);
  EXPECT_EQ(r.pic_config, 0x3FF1);

  layout.family = image::kFamilyPic12;
  r = LoadFile("p.hex", ":02000000FFFF00\n");
  EXPECT_EQ(img.Word(0), 0x0FFF);
  layout.family = image::kFamilyPic18;
  r = LoadFile("p.hex", ":02000000FFFF00\n");
  EXPECT_EQ(img.Word(0), 0xFFFF);

  layout = FamilyLayout();
  layout.family = image::kFamilyAvr;
  layout.avr_program_bytes = 4096;
  img.device_size = 1;
  r = LoadFile("a.bin", "abc");
  EXPECT_FALSE(r.pic_config.has_value());
  EXPECT_EQ(img.device_size, 4096u);
  img.device_size = 1;
  ASSERT_TRUE(LoadFile("a.eep", ":0100000055AA\n").ok);
  EXPECT_EQ(img.device_size, 1u);
}

TEST(InputSourceLines, AllLineEndsAndChunkBoundaries) {
  image::InputSource in(std::string_view("a\r\nb\nc\rd\r\n\ne"));
  std::vector<std::string> lines;
  std::string_view line;
  while (in.NextLine(line) == image::InputSource::Status::kLine) lines.emplace_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));

  // From a file, with the CR of a CR LF as the last byte of the first read.
  TempDir dir;
  std::string text = std::string(51, 'y') + "\r\n";
  for (int i = 0; i < 20971; ++i) text += std::string(98, 'x') + "\r\n";
  ASSERT_EQ(text[image::InputSource::kChunk + image::InputSource::kMaxLineLength - 1], '\r');
  text += "end";
  WriteFile(dir / "t", text);
  FILE* f = std::fopen((dir / "t").c_str(), "rb");
  image::InputSource src(fileno(f));
  size_t count = 0;
  while (src.NextLine(line) == image::InputSource::Status::kLine) {
    ++count;
    if (count == 1) {
      EXPECT_EQ(line.size(), 51u);
    } else if (count < 20973) {
      ASSERT_EQ(line, std::string(98, 'x')) << count;
    }
  }
  EXPECT_EQ(count, 20973u);
  EXPECT_EQ(line, "end");
  std::fclose(f);
}

}  // namespace
