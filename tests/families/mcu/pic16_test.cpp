// The 14-bit flash PICs end to end on the simulated board.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "families/mcu/pic.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

constexpr int k16F84A = 306;
// XT oscillator, watchdog off, power-up timer on, no code protection.
constexpr uint16_t kConfig = 0x3FF1;

class Pic16F84A : public PicSession, public ::testing::Test {
 protected:
  void SetUp() override { Select(k16F84A, "PIC 16F84A  (P 5mS)"); }

  std::vector<uint16_t> words = Pattern(1024);
  std::vector<uint8_t> data = [] {
    std::vector<uint8_t> d(64);
    for (size_t j = 0; j < d.size(); ++j) d[j] = static_cast<uint8_t>(0xA5 ^ (j * 7));
    return d;
  }();
};

TEST_F(Pic16F84A, BlankModelGivesItsChecksum) {
  // 1024 words of 0x3FFF sum to 0xFC00 in 16 bits; the configuration word
  // 0x3FFF adds 0x3FFF: 0x3BFF.
  Blank();
  EXPECT_TRUE(host.HasMessage(" 0x3BFF"));
  EXPECT_EQ(Last(), "Device Blank");
  EXPECT_EQ(board->RestState(), sim::kAtRest);
  EXPECT_TRUE(Violations().empty()) << ::testing::PrintToString(Violations());

  chip->SetProgram(100, 0x3FFE);
  Blank();
  EXPECT_TRUE(host.HasMessage(" 0x3BFE"));
  EXPECT_EQ(Last(), "Device NOT blank!");
}

TEST_F(Pic16F84A, ProgramsAProtectedChipAndReadsItBack) {
  sim::ChipFault cp;
  cp.kind = "cp";
  ASSERT_TRUE(chip->InjectFault(cp));
  ASSERT_TRUE(chip->code_protected());
  Load(words, data, kConfig);
  Program();
  EXPECT_TRUE(host.HasMessage("Device Verified OK")) << Last();
  EXPECT_EQ(p.error, 0);
  EXPECT_EQ(board->RestState(), sim::kAtRest);
  EXPECT_TRUE(Violations().empty()) << ::testing::PrintToString(Violations());
  // The 1/7/8 sequence lifted the protection; the configuration went last.
  EXPECT_FALSE(chip->code_protected());
  for (uint32_t i = 0; i < words.size(); ++i) ASSERT_EQ(chip->Program(i), words[i]) << i;
  for (uint32_t j = 0; j < data.size(); ++j) ASSERT_EQ(chip->Data(j), data[j]) << j;
  for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(chip->Config(0x2000 + k), k + 1);
  EXPECT_EQ(chip->Config(0x2007), kConfig);

  image::ClearBuf(p.image, image::kFillFF, {});
  Read();
  EXPECT_EQ(Last(), "PIC dumped OK");
  for (uint32_t i = 0; i < words.size(); ++i) ASSERT_EQ(p.image.Word(i), words[i]) << i;
  for (uint32_t j = 0; j < data.size(); ++j) ASSERT_EQ(p.image.Word(0x2100 + j), data[j]) << j;
  EXPECT_EQ(p.image.Word(0x2003), 4);
  EXPECT_EQ(p.image.Word(0x2006), 0x0560);
  EXPECT_EQ(p.image.Word(0x2007), kConfig);
  // Past 0x2007 the clear leaves 0; the read stops after 32 words from 0x2000.
  EXPECT_EQ(p.image.Word(0x2020), 0);
  EXPECT_EQ(board->RestState(), sim::kAtRest);

  Verify();
  EXPECT_EQ(Last(), "Device Verified OK");
  EXPECT_TRUE(Violations().empty()) << ::testing::PrintToString(Violations());
}

TEST_F(Pic16F84A, ProtectedChipReadsZeroUntilErased) {
  chip->SetProgram(0, 0x1234);
  chip->SetConfig(0x2007, 0x3FEF);  // CP bit 4 cleared
  Read();
  EXPECT_EQ(p.image.Word(0), 0x0000);
  Erase();
  EXPECT_FALSE(chip->code_protected());
  EXPECT_EQ(chip->Program(0), 0x3FFF);
  Blank();
  EXPECT_EQ(Last(), "Device Blank");
  EXPECT_EQ(board->RestState(), sim::kAtRest);
  EXPECT_TRUE(Violations().empty()) << ::testing::PrintToString(Violations());
}

TEST_F(Pic16F84A, WordThatFailsOnceIsWrittenAgain) {
  sim::ChipFault slow;
  slow.kind = "slow-word";
  slow.address = 5;
  ASSERT_TRUE(chip->InjectFault(slow));
  Load(words, data, kConfig);
  Program();
  EXPECT_TRUE(host.HasMessage("Device Verified OK"));
  EXPECT_EQ(chip->Program(5), words[5]);
  // Word 5 needed two cycles; the model counts the ones that changed a cell.
  EXPECT_EQ(chip->program_cycles(), 1024u);
}

TEST_F(Pic16F84A, WordThatNeverTakesEndsTheProgramPoweredDown) {
  sim::ChipFault never;
  never.kind = "never";
  never.address = 9;
  ASSERT_TRUE(chip->InjectFault(never));
  words[9] = 0x0000;
  Load(words, data, kConfig);
  Program();
  EXPECT_EQ(host.LastMessage(), std::make_pair(std::string("Error writing program area"), 1));
  EXPECT_EQ(p.error, 1);
  EXPECT_EQ(board->RestState(), sim::kAtRest);
  EXPECT_FALSE(chip->in_programming_mode());
  // Nothing after word 9 was touched; the configuration was never written.
  EXPECT_EQ(chip->Program(10), 0x3FFF);
  EXPECT_EQ(chip->Config(0x2007), 0x3FFF);
}

TEST_F(Pic16F84A, DeviceIdNamesThePartAndItsRevision) {
  chip->SetConfig(0x2006, 0x0560 | 3);
  GetId();
  ASSERT_EQ(host.Informations().size(), 1u);
  const std::string window = host.Informations()[0];
  EXPECT_NE(window.find("Microchip PIC device ID Value (2006h)"), std::string::npos);
  EXPECT_NE(window.find("000101011 00011"), std::string::npos) << window;
  EXPECT_NE(window.find("Revision 3"), std::string::npos);
  EXPECT_NE(window.find(" 0x0563"), std::string::npos);
  EXPECT_NE(window.find("PIC 16F84A"), std::string::npos);
  EXPECT_EQ(board->RestState(), sim::kAtRest);
}

TEST_F(Pic16F84A, CancelLeavesTheBoardAtRest) {
  Load(words, data, kConfig);
  const struct {
    void (*action)(app::Programmer&);
    const char* text;
  } kCases[] = {{app::mnuProgramClick, "program interrupted!"},
                {app::mnuReadClick, "Process Cancelled"},
                {app::mnuVerifyClick, "program interrupted!"},
                {app::mnuBlankClick, "program interrupted!"}};
  for (const auto& c : kCases) {
    host.Clear();
    host.CancelAtRefresh(p.cancel, 3);
    c.action(p);
    p.cancel = 0;
    EXPECT_TRUE(host.HasMessage(c.text, 1)) << c.text;
    EXPECT_EQ(board->RestState(), sim::kAtRest);
    EXPECT_FALSE(chip->in_programming_mode());
  }
}

// Leaving programming mode is its own sequence (lines low, VDD off, VPP off,
// the mode bit) before the power-down: a verify ends with it whether it
// finished or was cancelled.
TEST_F(Pic16F84A, AVerifyLeavesProgrammingModeTheSameWayWhenCancelled) {
  const auto writes = [this] {
    std::vector<std::pair<uint16_t, uint8_t>> out;
    for (const sim::TraceEntry& e : board->trace()) {
      if (e.write) out.emplace_back(e.port, e.value);
    }
    board->ClearTrace();
    return out;
  };
  board->EnableTrace(true);
  families::pic::PicEnterVddFirst(p);
  board->ClearTrace();
  families::pic::PicExit(p);
  p.bus.PowerDown();
  const auto leave = writes();
  ASSERT_GT(leave.size(), 4u);
  image::ClearBuf(p.image, image::kFillFF, {});  // what the blank part holds
  p.image.data_end = p.image.device_size;
  // The action frame sets bits of its own on both registers: the two
  // verifies are compared with each other, over the length of the sequence.
  std::vector<std::pair<uint16_t, uint8_t>> tails[2];
  for (const bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "cancelled" : "finished");
    host.Clear();
    if (cancel) host.CancelAtRefresh(p.cancel, 3);
    app::mnuVerifyClick(p);
    p.cancel = 0;
    EXPECT_EQ(p.error, cancel ? 1 : 0);
    const auto all = writes();
    ASSERT_GE(all.size(), leave.size());
    tails[cancel ? 1 : 0].assign(all.end() - static_cast<std::ptrdiff_t>(leave.size()), all.end());
    EXPECT_FALSE(chip->in_programming_mode());
  }
  EXPECT_EQ(tails[1], tails[0]);
}

TEST(PicDeviceName, KnownIdsIgnoreTheRevision) {
  EXPECT_STREQ(families::pic::PicDeviceName(0x0560), "PIC 16F84A");
  EXPECT_STREQ(families::pic::PicDeviceName(0x0E3F), "PIC 16F877A");
  EXPECT_STREQ(families::pic::PicDeviceName(0x0F9F), "PIC 12F629");
  EXPECT_STREQ(families::pic::PicDeviceName(0x3FE0), "");
}

}  // namespace
}  // namespace daraz_test
