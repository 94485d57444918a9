// Cross-checks against an independent implementation of the record
// formats: files written by srec_cat must load byte for byte, and files we
// write must read back through srec_cat byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "image/file_load.h"
#include "image/file_save.h"
#include "image_test_support.h"

namespace {

using image::FamilyLayout;
using image::kImageSize;
using image::MemoryImage;
using image_test::RecordingHost;

class SrecCat : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!image_test::HaveSrecCat()) GTEST_SKIP() << "srec_cat is not installed";
  }
  // Runs srec_cat in the temporary folder.
  void Tool(const std::string& args) {
    ASSERT_EQ(
        image_test::Run("cd '" + dir.path().string() + "' && srec_cat " + args + " >/dev/null"), 0)
        << args;
  }
  void WriteBinary(const std::string& name, const std::vector<uint8_t>& bytes) {
    image_test::WriteFile(dir / name,
                          std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }

  image_test::TempDir dir;
  FamilyLayout layout;
  RecordingHost host;
};

// Two blocks with a hole between them, written by srec_cat in every
// flavour of each format, must load as exactly those bytes.
TEST_F(SrecCat, ItsFilesLoadByteIdentical) {
  struct Flavour {
    std::string output;  // srec_cat output options
    std::string name;
    uint32_t second_block;  // where the second block goes
  };
  const std::vector<Flavour> flavours = {
      {"-intel -obs 16", "a16.hex", 0x50000},
      {"-intel -obs 32 -line-termination=crlf", "a32.hex", 0x50000},
      {"-intel -obs 255", "a255.hex", 0x50000},
      {"-intel -obs 255 -line-termination=crlf", "b255.hex", 0xFF0000},
      {"-motorola -address-length=2 -disable=header -disable=data-count", "a.s19", 0xF000},
      {"-motorola -address-length=2 -enable=data-count -line-termination=crlf", "b.s19", 0xF000},
      {"-motorola -address-length=3 -obs 32", "a.s28", 0x50000},
      {"-motorola -address-length=3 -disable=header -line-termination=crlf -obs 250", "b.s28",
       0xFFFF00},
      {"-motorola -address-length=4 -enable=data-count", "a.s37", 0x50000},
      {"-motorola -address-length=4 -disable=header -obs 250 -line-termination=nl", "b.s37",
       0x123456},
  };
  const auto first = image_test::RandomBytes(0xC000, 1);
  const auto second = image_test::RandomBytes(0x100, 2);
  WriteBinary("first.bin", first);
  WriteBinary("second.bin", second);
  for (const Flavour& f : flavours) {
    Tool("first.bin -binary second.bin -binary -offset " + std::to_string(f.second_block) + " -o " +
         f.name + " " + f.output);
    MemoryImage img;
    const auto r = image::LoadImageFile(dir / f.name, img, layout, host);
    ASSERT_TRUE(r.ok) << f.name << " " << (host.errors.empty() ? "" : host.errors.back());
    EXPECT_EQ(0, std::memcmp(img.data(), first.data(), first.size())) << f.name;
    EXPECT_EQ(0, std::memcmp(img.data() + f.second_block, second.data(), second.size())) << f.name;
    EXPECT_EQ(img[first.size()], 0xFF) << f.name;
    EXPECT_EQ(img[f.second_block - 1], 0xFF) << f.name;
    EXPECT_EQ(img.data_end, f.second_block + second.size()) << f.name;
  }
}

TEST_F(SrecCat, OurFilesReadBackByteIdentical) {
  MemoryImage img;
  const auto bytes = image_test::RandomBytes(0x28003, 3);
  std::memcpy(img.data(), bytes.data(), bytes.size());
  const std::string expected(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (const uint32_t size : {0x8003u, 0x28003u}) {
    img.SetBufferSize(size);
    for (const auto type : {image::SaveType::kIntelHex, image::SaveType::kSRecord}) {
      const auto r = image::SaveImageFile(dir / "ours", type, img, layout, host);
      ASSERT_TRUE(r.ok);
      const char* format = type == image::SaveType::kIntelHex ? "-intel" : "-motorola";
      Tool("'" + r.path + "' " + format + " -o back.bin -binary");
      EXPECT_EQ(image_test::ReadFile(dir / "back.bin"), expected.substr(0, size)) << r.path;
    }
  }
}

// The whole 16 MB both ways, in both text formats.
TEST_F(SrecCat, SixteenMegabyteRoundTrips) {
  MemoryImage img;
  const auto bytes = image_test::RandomBytes(kImageSize, 4);
  std::memcpy(img.data(), bytes.data(), kImageSize);
  img.SetBufferSize(kImageSize);
  WriteBinary("full.bin", bytes);
  for (const auto type : {image::SaveType::kIntelHex, image::SaveType::kSRecord}) {
    const bool hex = type == image::SaveType::kIntelHex;
    const auto r = image::SaveImageFile(dir / "full", type, img, layout, host);
    ASSERT_TRUE(r.ok);
    Tool("'" + r.path + "' " + (hex ? "-intel" : "-motorola") + " -o back.bin -binary");
    EXPECT_TRUE(image_test::ReadFile(dir / "back.bin") ==
                std::string(reinterpret_cast<const char*>(bytes.data()), kImageSize))
        << r.path;

    const std::string theirs = hex ? "theirs.hex" : "theirs.s";
    Tool(std::string("full.bin -binary -o ") + theirs + (hex ? " -intel" : " -motorola"));
    MemoryImage back;
    ASSERT_TRUE(image::LoadImageFile(dir / theirs, back, layout, host).ok);
    EXPECT_EQ(back.data_end, kImageSize);
    EXPECT_EQ(0, std::memcmp(back.data(), bytes.data(), kImageSize)) << theirs;
  }
}

}  // namespace
