// Every selectable 12-bit core PIC end to end: the blank checksum, program
// (OTP with its pulses, flash keeping the OSCCAL and its backup), erase
// where the part erases, read back with the OSCCAL report, the board at
// rest and no violations.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

struct Row {
  int tag;
  int family;
  uint32_t words;
  const char* checksum;  // a blank chip's, as the device table gives it
  uint32_t osccal_at;    // the factory MOVLW's address (0: none)
  uint32_t backup_at;    // its backup after the IDs (0: none)
};

// clang-format off
const Row kRows[] = {
    {101, 18, 512,  " 0xEE20", 0x1FF, 0},     {102, 18, 1024, " 0xEC20", 0x3FF, 0},
    {103, 18, 512,  " 0xEE20", 0, 0},         {104, 18, 1024, " 0xEC20", 0, 0},
    {121, 18, 1024, " 0xFC00", 0x3FF, 0},
    {701, 53, 256,  " 0xEF1D", 0x0FF, 0x104}, {702, 53, 512,  " 0xEE1D", 0x1FF, 0x204},
    {703, 53, 256,  " 0xEF20", 0x0FF, 0x104}, {704, 53, 512,  " 0xEE20", 0x1FF, 0x204},
    {711, 53, 512,  " 0xEE20", 0x1FF, 0x204}, {712, 53, 1024, " 0xEC20", 0x3FF, 0x404},
    {713, 53, 1024, " 0xEC40", 0x3FF, 0x404}, {721, 53, 1024, " 0xEC40", 0x3FF, 0x404},
    {722, 53, 1024, " 0xEC80", 0x3FF, 0x404}, {731, 53, 512,  " 0x0DFF", 0, 0},
    {732, 53, 2048, " 0x07FF", 0, 0},
};
// clang-format on

// The models' factory calibration: MOVLW 0x24.
constexpr uint16_t kFactory = 0x0C24;
// Oscillator bits 10, watchdog off, no code protection on any row.
constexpr uint16_t kConfig = 0x0FFA;

#ifdef DARAZ_SANITIZED
constexpr size_t kRowStride = 3;
#else
constexpr size_t kRowStride = 1;
#endif

std::vector<uint16_t> Words12(const PicSession& s, uint32_t count, int tag) {
  std::vector<uint16_t> words = s.Pattern(count, static_cast<uint32_t>(tag));
  for (uint16_t& w : words) w &= 0x0FFF;
  return words;
}

TEST(Pic12Rows, EveryRowRoundTrips) {
  const std::vector<uint16_t> ids = {0x001, 0x002, 0x003, 0x004};
  for (size_t r = 0; r < std::size(kRows); r += kRowStride) {
    const Row& row = kRows[r];
    SCOPED_TRACE(row.tag);
    PicSession s;
    s.Select12(row.tag);
    ASSERT_EQ(s.p.dev.family, row.family);
    ASSERT_EQ(s.chip12->part().program_words, row.words);
    const uint16_t mask = s.p.dev.pic16.config_mask;
    const bool otp = row.family == 18;

    s.Blank();
    EXPECT_TRUE(s.host.HasMessage(row.checksum)) << s.Last();
    EXPECT_EQ(s.Last(), "Device Blank");

    const std::vector<uint16_t> words = Words12(s, row.words, row.tag);
    s.Load12(words, ids, kConfig);
    if (otp) s.host.answers = {true};
    s.Program();
    EXPECT_EQ(s.host.Questions().size(), otp ? 1u : 0u);
    EXPECT_TRUE(s.host.HasMessage("Device Verified OK")) << s.Last();
    EXPECT_EQ(s.p.error, 0);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    if (otp) {
      // One pulse and eleven more on every word, a hundred on the
      // configuration word; the calibration word untouched.
      EXPECT_EQ(s.chip12->pulses(0), 12);
      EXPECT_EQ(s.chip12->pulses(row.words - 2), 12);
      EXPECT_EQ(s.chip12->pulses(row.words + 3), 12);
      EXPECT_EQ(s.chip12->pulses(s.chip12->config_address()), 100);
      if (row.osccal_at != 0) {
        EXPECT_EQ(s.chip12->pulses(row.osccal_at), 0);
      }
    } else {
      s.Erase();
      EXPECT_EQ(s.chip12->Word(0), 0x0FFF);
      EXPECT_EQ(s.chip12->Word(row.words), 0x0FFF);  // the IDs go too
      s.Blank();
      EXPECT_EQ(s.Last(), "Device Blank");
      s.Program();
      EXPECT_EQ(s.p.error, 0);
    }
    if (row.osccal_at != 0) {
      EXPECT_EQ(s.chip12->Word(row.osccal_at), kFactory);
    }
    if (row.backup_at != 0) {
      EXPECT_EQ(s.chip12->Word(row.backup_at), kFactory);
    }

    image::ClearBuf(s.p.image, image::kFillFF, {});
    s.Read();
    EXPECT_EQ(s.Last(), "PIC dumped OK");
    for (uint32_t i = 0; i < row.words; ++i) {
      const uint16_t expected = row.osccal_at != 0 && row.osccal_at == i ? kFactory : words[i];
      ASSERT_EQ(s.p.image.Word(i), expected) << i;
    }
    for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(s.p.image.Word(row.words + k), ids[k]);
    EXPECT_EQ(s.p.image.Word(0x0FFF) & mask, kConfig & mask);
    if (row.osccal_at != 0) {
      char text[64];
      std::snprintf(text, sizeof text, " (OSCCAL) MOVLW 0x24 at address 0x%X", row.osccal_at);
      EXPECT_TRUE(s.host.HasMessage(text));
    }

    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
}

}  // namespace
}  // namespace daraz_test
