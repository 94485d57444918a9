#include "image/buffer_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/checksum.h"
#include "image/hex_field.h"
#include "image_test_support.h"

namespace {

using image::FamilyLayout;
using image::kImageSize;
using image::MemoryImage;

TEST(HexField, ReadsLikeScanfHex) {
  struct Case {
    const char* text;
    bool ok;
    uint32_t value;
  };
  const Case cases[] = {
      {"1A2", true, 0x1A2},
      {"  0x1a2", true, 0x1A2},
      {"0XfF", true, 0xFF},
      {"\t7fz9", true, 0x7F},
      {"0x", true, 0},
      {"0xG", true, 0},
      {"123456789", true, 0x23456789},
      {"", false, 0},
      {"   ", false, 0},
      {"xyz", false, 0},
      {"-5", false, 0},
      {"FFFFFFFF", true, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    uint32_t v = 0xDEADBEEF;
    EXPECT_EQ(image::ParseHexField(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 0xDEADBEEF) << c.text;
  }
}

TEST(Clear, PatternsFillTheWholeImage) {
  MemoryImage img;
  const FamilyLayout plain;
  image::ClearBuf(img, image::kFillAA55, plain);
  EXPECT_EQ(img[0], 0xAA);
  EXPECT_EQ(img[1], 0x55);
  EXPECT_EQ(img[0xFFFFFF], 0x55);
  image::ClearBuf(img, image::kFill55AA, plain);
  EXPECT_EQ(img[0], 0x55);
  EXPECT_EQ(img[0xFFFFFF], 0xAA);
  image::ClearBuf(img, image::kFill00, plain);
  EXPECT_EQ(img[0x800000], 0x00);
  image::ClearBuf(img, image::kFillFF, plain);
  EXPECT_EQ(img[0], 0xFF);
  EXPECT_EQ(img[0xFFFFFF], 0xFF);
  image::ClearBuf(img, 9, plain);  // unknown pattern: nothing changes
  EXPECT_EQ(img[0x123456], 0xFF);
}

TEST(Clear, PicFamiliesGetTheirBlankWords) {
  MemoryImage img;
  FamilyLayout pic14;
  pic14.family = image::kFamilyPicFlash14;
  std::memset(img.data(), 0x77, kImageSize);
  image::ClearBuf(img, image::kFill00, pic14);
  EXPECT_EQ(img.Word(0), 0x3FFF);
  EXPECT_EQ(img.Word(8199), 0x3FFF);
  EXPECT_EQ(img.Word(8200), 0);
  EXPECT_EQ(img.Word(16383), 0);
  EXPECT_EQ(img[0x8000], 0x77);  // beyond the 32 KB window: untouched

  FamilyLayout pic12;
  pic12.family = image::kFamilyPic12;
  pic12.pic_data_words = 4;
  pic12.pic_config_index = image::kPic12ConfigWord;
  img.SetBufferSize(512);
  std::memset(img.data(), 0x77, kImageSize);
  image::ClearBuf(img, image::kFillFF, pic12);
  EXPECT_EQ(img.Word(0), 0x0FFF);
  EXPECT_EQ(img.Word(511), 0x0FFF);
  EXPECT_EQ(img.Word(512), 0);
  EXPECT_EQ(img.Word(515), 0);
  EXPECT_EQ(img.Word(516), 0x7777);
  EXPECT_EQ(img.Word(0x0FFF), 0x0FFF);

  // A configuration index past the image must not be written.
  pic12.pic_config_index = 0xFFFFFFFF;
  image::ClearBuf(img, image::kFillFF, pic12);
}

TEST(BufferOps, InvertAndSwapStopAtTheDataEnd) {
  MemoryImage img;
  for (uint32_t i = 0; i < 8; ++i) img[i] = static_cast<uint8_t>(i);
  img.data_end = 3;
  image::InvertData(img);
  EXPECT_EQ(img[2], 0xFD);
  EXPECT_EQ(img[3], 3);
  image::InvertData(img);

  // An odd data end swaps the last byte with the one after it.
  image::SwapBytes(img);
  EXPECT_EQ(std::vector<uint8_t>(img.data(), img.data() + 6),
            (std::vector<uint8_t>{1, 0, 3, 2, 4, 5}));

  // A data end past the image (from a family routine gone wrong) is clipped.
  img.data_end = 0xFFFFFFFF;
  img[kImageSize - 2] = 1;
  img[kImageSize - 1] = 2;
  image::SwapBytes(img);
  image::InvertData(img);
  EXPECT_EQ(img[kImageSize - 1], 0xFE);
}

TEST(BufferOps, MoveHandlesOverlapBothWaysAndClipsToTheImage) {
  MemoryImage img;
  for (uint32_t i = 0; i < 0x200; ++i) img[i] = static_cast<uint8_t>(i);
  image::MoveAtoB(img, 0x100, 0x108, 0x10);
  for (uint32_t j = 0; j < 0x10; ++j) EXPECT_EQ(img[0x108 + j], 0x00 + j) << j;
  for (uint32_t i = 0; i < 0x200; ++i) img[i] = static_cast<uint8_t>(i);
  image::MoveAtoB(img, 0x108, 0x100, 0x10);
  for (uint32_t j = 0; j < 0x10; ++j) EXPECT_EQ(img[0x100 + j], 0x08 + j) << j;

  img[kImageSize - 1] = 0x5A;
  image::MoveAtoB(img, kImageSize - 1, 0, 0xFFFFFFFF);  // cut to one byte
  EXPECT_EQ(img[0], 0x5A);
  EXPECT_EQ(img[1], 0x01);
  image::MoveAtoB(img, 0, kImageSize - 2, 100);  // cut to two bytes
  EXPECT_EQ(img[kImageSize - 2], 0x5A);
  image::MoveAtoB(img, 0, 0x2000000, 100);  // destination outside: nothing
}

TEST(BufferOps, CopyDataToFullChipRepeatsTheData) {
  MemoryImage img;
  img.SetBufferSize(0x800);
  for (uint32_t i = 0; i < 0x300; ++i) img[i] = static_cast<uint8_t>(i * 13);
  img[0x800] = 0x42;
  img.data_end = 0x300;
  image::CopyDataToFullChip(img);
  for (uint32_t i = 0; i < 0x800; ++i) ASSERT_EQ(img[i], static_cast<uint8_t>((i % 0x300) * 13));
  EXPECT_EQ(img[0x800], 0x42);
  EXPECT_EQ(img.data_end, 0x800u);

  img.data_end = 0x900;  // data end beyond the device: nothing happens
  image::CopyDataToFullChip(img);
  EXPECT_EQ(img.data_end, 0x900u);
}

TEST(BufferOps, Tm377aShufflesAndRestoresTheFirst32K) {
  EXPECT_EQ(image::Tm377aEncodeAddress(1), 0x4000u);
  EXPECT_EQ(image::Tm377aEncodeAddress(2), 1u);
  EXPECT_EQ(image::Tm377aDecodeAddress(0x4000), 1u);
  EXPECT_EQ(image::Tm377aDecodeAddress(1), 2u);
  MemoryImage img;
  const auto bytes = image_test::RandomBytes(0x8001, 7);
  std::memcpy(img.data(), bytes.data(), bytes.size());
  image::Tm377aEncode(img);
  EXPECT_EQ(img[0x4000], bytes[1]);
  EXPECT_EQ(img[1], bytes[2]);
  EXPECT_EQ(img[0x8000], bytes[0x8000]);
  image::Tm377aDecode(img);
  EXPECT_EQ(0, std::memcmp(img.data(), bytes.data(), bytes.size()));
}

TEST(Checksum, SumAndCrcWithTheirDisplayForms) {
  MemoryImage img;
  std::memset(img.data(), 0xFF, kImageSize);
  img.SetBufferSize(2048);
  EXPECT_EQ(image::ShowChecksum(img, false, image::kChecksumSum16), "0xF800");
  EXPECT_EQ(image::Checksum(img, false, 2), image::Crc32(img.data(), 2048));
  EXPECT_EQ(image::ChecksumText(0xCBF43926, 1), " 0xCBF43926");
  EXPECT_EQ(image::ChecksumText(0x12, 0), "0x0012");

  const char* check = "123456789";
  EXPECT_EQ(image::Crc32(reinterpret_cast<const uint8_t*>(check), 9), 0xCBF43926u);

  // PIC parts always cover 20000 bytes; a device larger than the image
  // covers the image.
  img.SetBufferSize(16);
  EXPECT_EQ(image::Checksum(img, true, 0), (20000u * 255) & 0xFFFF);
  img.SetBufferSize(0xFFFFFFFF);
  EXPECT_EQ(image::ChecksumLength(img, false), kImageSize);
}

}  // namespace
