// The 14-bit OTP and windowed parts (family 16) end to end: blank, the
// question, program with over-programming pulses, verify, read back.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

// Words the routines cover (the device rows) and the last word the program
// writes; 16C433 keeps its calibration word, 12C671/672 stop before theirs.
struct Row {
  int tag;
  uint32_t words;
  bool calibration_last;
};

const Row kRows[] = {
    {201, 512, false},  {202, 1024, false}, {203, 2048, false}, {204, 512, false},
    {205, 1024, false}, {206, 2048, false}, {207, 512, false},  {208, 1024, false},
    {209, 2048, false}, {210, 2048, false}, {211, 2048, false}, {212, 4096, false},
    {213, 4096, false}, {214, 8192, false}, {215, 1024, false}, {216, 4096, false},
    {217, 8192, false}, {218, 4096, false}, {219, 4096, false}, {220, 512, false},
    {221, 1024, false}, {222, 2048, false}, {223, 2048, false}, {224, 2048, false},
    {225, 2048, true},  {231, 1023, false}, {232, 2047, false}, {251, 2048, false},
    {252, 2048, false}, {253, 4096, false}, {254, 1024, false}, {255, 2048, false},
};

constexpr uint16_t kConfig = 0x3FF9;

#ifdef DARAZ_SANITIZED
// Under the sanitizers every third row: the sequences repeat across rows.
constexpr size_t kRowStride = 3;
#else
constexpr size_t kRowStride = 1;
#endif

TEST(Pic14Otp, EveryOtpRowProgramsOnceAndReadsBack) {
  for (size_t r = 0; r < std::size(kRows); r += kRowStride) {
    const Row& row = kRows[r];
    SCOPED_TRACE(row.tag);
    PicSession s;
    s.Select(row.tag);
    ASSERT_EQ(s.p.dev.family, 16);
    ASSERT_EQ(s.p.dev.pic16.program_words, row.words);
    const uint16_t mask = s.p.dev.pic16.config_mask;

    s.Blank();
    EXPECT_EQ(s.Last(), "Device Blank");

    const std::vector<uint16_t> words = s.Pattern(row.words, static_cast<uint32_t>(row.tag));
    s.Load(words, {}, kConfig);
    s.host.answers = {true};
    s.Program();
    EXPECT_EQ(s.host.Questions(),
              std::vector<std::string>{"Do you really want program the device ?"});
    EXPECT_TRUE(s.host.HasMessage("Device Verified OK")) << s.Last();
    EXPECT_EQ(s.p.error, 0);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    // A word right after its first pulse gets three more; the
    // configuration word a hundred.
    EXPECT_EQ(s.chip->pulses(0), 4);
    EXPECT_EQ(s.chip->pulses(0x2000), 4);
    EXPECT_EQ(s.chip->pulses(0x2007), 100);
    const uint32_t last = row.words - 1;
    EXPECT_EQ(s.chip->pulses(last), row.calibration_last ? 0 : 4);

    image::ClearBuf(s.p.image, image::kFillFF, {});
    s.Read();
    EXPECT_EQ(s.Last(), "PIC dumped OK");
    for (uint32_t i = 0; i < row.words; ++i) {
      const uint16_t expected = row.calibration_last && i == last ? 0x3FFF : words[i];
      ASSERT_EQ(s.p.image.Word(i), expected) << i;
    }
    for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(s.p.image.Word(0x2000 + k), k + 1);
    EXPECT_EQ(s.p.image.Word(0x2007) & mask, kConfig & mask);

    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
}

TEST(Pic14Otp, NoToTheQuestionTouchesNothing) {
  PicSession s;
  s.Select(203);
  s.Load(s.Pattern(2048), {}, kConfig);
  s.host.answers = {false};
  s.Program();
  EXPECT_EQ(s.chip->pulses(0), 0);
  EXPECT_EQ(s.chip->Program(0), 0x3FFF);
  EXPECT_EQ(s.chip->Config(0x2007), 0x3FFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(Pic14Otp, AWordThatNeverTakesStopsAfterTwentyFivePulses) {
  PicSession s;
  s.Select(203);
  sim::ChipFault never;
  never.kind = "never";
  never.address = 3;
  ASSERT_TRUE(s.chip->InjectFault(never));
  std::vector<uint16_t> words = s.Pattern(2048);
  words[3] = 0x0000;
  s.Load(words, {}, kConfig);
  s.host.answers = {true};
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error writing program area"), 1));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.chip->pulses(2), 4);
  EXPECT_EQ(s.chip->Program(4), 0x3FFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A word that takes on its third pulse gets nine more; one that needs 26
// fails after the 25th with nothing after it touched.
TEST(Pic14Otp, OverProgrammingFollowsThePulsesAWordTook) {
  for (const int need : {3, 26}) {
    SCOPED_TRACE(need);
    PicSession s;
    s.Select(203);
    sim::ChipFault weak;
    weak.kind = "weak";
    weak.address = 7;
    weak.arg1 = need;
    ASSERT_TRUE(s.chip->InjectFault(weak));
    s.Load(s.Pattern(2048), {}, kConfig);
    s.host.answers = {true};
    s.Program();
    if (need == 3) {
      EXPECT_EQ(s.p.error, 0);
      EXPECT_EQ(s.chip->pulses(7), 3 + 9);
      EXPECT_EQ(s.chip->pulses(8), 1 + 3);
    } else {
      EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error writing program area"), 1));
      EXPECT_EQ(s.chip->pulses(7), 25);
      EXPECT_EQ(s.chip->pulses(8), 0);
    }
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
}

}  // namespace
}  // namespace daraz_test
