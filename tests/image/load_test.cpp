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
    EXPECT_FALSE(LoadFile(name, content).ok) << name << ": " << content;
    ASSERT_EQ(host.errors.size(), 1u) << content;
    EXPECT_EQ(host.errors[0], error) << content;
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(image_test::ImageIsMarked(img)) << content;
  }

  TempDir dir;
  MemoryImage img;
  FamilyLayout layout;
  RecordingHost host;
};

TEST_F(Load, LoaderFollowsTheExtension) {
  EXPECT_EQ(image::LoaderForPath("/a/b.hex"), FileFormat::kIntelHex);
  EXPECT_EQ(image::LoaderForPath("x.Eep"), FileFormat::kEeprom);
  for (const char* s : {"a.s", "a.S19", "a.s2", "a.S3", "a.s28", "a.S37", "a.srec", "a.mot"}) {
    EXPECT_EQ(image::LoaderForPath(s), FileFormat::kSRecord) << s;
  }
  for (const char* s : {"a.bin", "a.rom", "a", "dir.hex/a", "a.hex.bak", "a.s1"}) {
    EXPECT_EQ(image::LoaderForPath(s), FileFormat::kBinary) << s;
  }
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

TEST_F(Load, IntelHexWithoutRecordsLoadsAnEmptyImage) {
  image_test::MarkImage(img);
  ASSERT_TRUE(LoadFile("none.hex", "no records here\nnor here\n").ok);
  EXPECT_EQ(img.data_end, 0u);
  EXPECT_EQ(img[100], 0xFF);
  EXPECT_EQ(host.messages, std::vector<std::string>{"Hex File loaded OK"});
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
  LoadFile("a.eep", ":00000001FF\n");
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
