// The 12-bit core PICs: the OTP pulses and their limits, the question, the
// flash erase keeping the calibration, the verify's report, and what the
// model's core does with the PC, the bulk erase and the end of a write.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "families/mcu/pic.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

namespace pic = families::pic;

constexpr uint16_t kConfig = 0x0FFA;
constexpr uint16_t kFactory = 0x0C24;
const std::vector<uint16_t> kIds = {1, 2, 3, 4};

std::vector<uint16_t> Words(uint32_t count) {
  std::vector<uint16_t> words(count);
  for (uint32_t i = 0; i < count; ++i) words[i] = static_cast<uint16_t>((i * 37 + 5) & 0x0FFF);
  return words;
}

void Weak(PicSession& s, uint32_t address, int pulses) {
  ASSERT_TRUE(s.chip12->InjectFault({"weak", address, pulses, 0}));
}

// 12C508: a word that takes at its third pulse gets 33 more, the first
// word as any later one; the configuration word a hundred.
TEST(Pic12Otp, AWordTakingThreePulsesGetsThirtyThreeMore) {
  PicSession s;
  s.Select12(101);
  Weak(s, 0, 3);
  Weak(s, 7, 3);
  s.Load12(Words(512), kIds, kConfig);
  s.host.answers = {true};
  s.Program();
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.chip12->pulses(0), 3 + 33);
  EXPECT_EQ(s.chip12->pulses(7), 3 + 33);
  EXPECT_EQ(s.chip12->pulses(8), 1 + 11);
  EXPECT_EQ(s.chip12->pulses(0x200), 1 + 11);
  EXPECT_EQ(s.chip12->pulses(0x3FF), 100);
  // The five implemented bits of 0xFFA; the others read 1.
  EXPECT_EQ(s.chip12->Word(0x3FF), 0x0FFA);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

TEST(Pic12Otp, NoToTheQuestionTouchesNothing) {
  PicSession s;
  s.Select12(101);
  s.Load12(Words(512), kIds, kConfig);
  s.host.answers = {false};
  s.Program();
  EXPECT_EQ(s.host.Questions(),
            std::vector<std::string>{"Do you really want program the device ?"});
  EXPECT_EQ(s.chip12->pulses(0), 0);
  EXPECT_EQ(s.chip12->Word(0), 0x0FFF);
  EXPECT_EQ(s.chip12->Word(0x3FF), 0x0FFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The first word gives up after 8 pulses, every later one after 9; the
// next word is never touched.
TEST(Pic12Otp, PulseLimitsOfTheFirstAndLaterWords) {
  struct Case {
    uint32_t address;
    int need;
    int pulses;  // what the word gets
    bool ok;
  };
  for (const Case c : {Case{0, 9, 8, false}, Case{5, 10, 9, false}, Case{5, 9, 9 + 99, true}}) {
    SCOPED_TRACE(testing::Message() << c.address << " needs " << c.need);
    PicSession s;
    s.Select12(101);
    Weak(s, c.address, c.need);
    s.Load12(Words(512), kIds, kConfig);
    s.host.answers = {true};
    s.Program();
    EXPECT_EQ(s.chip12->pulses(c.address), c.pulses);
    if (c.ok) {
      EXPECT_EQ(s.p.error, 0);
    } else {
      EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error writing program area"), 1));
      EXPECT_EQ(s.chip12->pulses(c.address + 1), 0);
    }
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// 12F508: the erase keeps the MOVLW and its backup at 0x204 and takes
// everything else; a calibration word that was lost comes back from the
// backup.
TEST(Pic12Flash, EraseKeepsTheCalibrationAndItsBackup) {
  PicSession s;
  s.Select12(711);
  s.Load12(Words(512), kIds, kConfig);
  s.Program();
  ASSERT_EQ(s.p.error, 0);
  s.Erase();
  EXPECT_EQ(s.chip12->Word(0x000), 0x0FFF);
  EXPECT_EQ(s.chip12->Word(0x1FE), 0x0FFF);
  EXPECT_EQ(s.chip12->Word(0x1FF), kFactory);
  EXPECT_EQ(s.chip12->Word(0x200), 0x0FFF);
  EXPECT_EQ(s.chip12->Word(0x204), kFactory);
  EXPECT_EQ(s.chip12->Word(0x3FF), 0x0FFF);

  s.chip12->SetWord(0x1FF, 0x0FFF);
  s.Erase();
  EXPECT_EQ(s.chip12->Word(0x1FF), kFactory);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

TEST(Pic12Flash, VerifyNamesTheWordThatDiffers) {
  PicSession s;
  s.Select12(711);
  s.Load12(Words(512), kIds, kConfig);
  s.Program();
  ASSERT_EQ(s.p.error, 0);
  s.p.image.SetWord(0x105, 0x0123);
  s.Verify();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error at $   105"), 1));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// Cancel during each action: its text, the chip out of programming mode,
// the board at rest.
TEST(Pic12Flash, CancelLeavesTheBoardAtRest) {
  const struct {
    int tag;
    void (*action)(app::Programmer&);
    const char* text;
  } kCases[] = {{711, app::mnuProgramClick, "program interrupted!"},
                {101, app::mnuProgramClick, "program interrupted!"},
                {711, app::mnuReadClick, "Process Cancelled"},
                {711, app::mnuVerifyClick, "program interrupted!"},
                {711, app::mnuBlankClick, "program interrupted!"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.tag << " " << c.text);
    PicSession s;
    s.Select12(c.tag);
    // Something to program; for the rest an image the blank chip matches.
    if (c.action == app::mnuProgramClick) {
      s.Load12(Words(s.p.dev.pic16.program_words), kIds, kConfig);
    } else {
      image::ClearBuf(s.p.image, image::kFillFF, {});
      s.p.image.data_end = s.p.image.device_size;
    }
    s.host.answers = {true};
    s.host.CancelAtRefresh(s.p.cancel, 3);
    c.action(s.p);
    EXPECT_TRUE(s.host.HasMessage(c.text, 1)) << ::testing::PrintToString(s.host.Messages());
    EXPECT_EQ(s.p.error, 1) << "a cancelled action is no success";
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_FALSE(s.chip12->in_programming_mode());
  }
}

// --- the model, driven through the ICSP primitives ----------------------------------

uint16_t ReadAfter(app::Programmer& p, int increments) {
  pic::PicEnterVddFirst(p);
  pic::PicIncrement(p, increments);
  const uint16_t word = pic::PicRead(p, pic::cmd::kReadProgram);
  pic::PicExit(p);
  return word;
}

// 12F508: the PC starts at the configuration word (0x3FF), the first
// increment goes to 0, and 0x400 increments come round again.
TEST(Pic12Model, PcStartsAtTheConfigurationWordAndWraps) {
  PicSession s;
  s.Select12(711);
  s.chip12->SetWord(0x3FF, 0x0FEA);
  s.chip12->SetWord(0x000, 0x0123);
  EXPECT_EQ(ReadAfter(s.p, 0), 0x0FEA);
  EXPECT_EQ(ReadAfter(s.p, 1), 0x0123);
  EXPECT_EQ(ReadAfter(s.p, 0x400), 0x0FEA);
  EXPECT_EQ(ReadAfter(s.p, 0x401), 0x0123);
  // No Load Configuration on this core.
  pic::PicEnterVddFirst(s.p);
  pic::PicCommand(s.p, pic::cmd::kLoadConfig);
  pic::PicExit(s.p);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{"unknown command 0x00"});
}

TEST(Pic12Model, BulkEraseReachesWhatThePcSays) {
  struct Case {
    int increments;
    bool program, ids;
    std::vector<std::string> violations;
  };
  const Case cases[] = {
      {0, true, false, {}},     // at the configuration word
      {0x201, true, true, {}},  // at the first ID
      {0x11, false, false, {"bulk erase with the PC in program memory"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.increments);
    PicSession s;
    s.Select12(711);
    s.chip12->SetWord(0x010, 0x0000);
    s.chip12->SetWord(0x200, 0x0001);
    s.chip12->SetWord(0x3FF, 0x0FE0);
    pic::PicEnterVddFirst(s.p);
    pic::PicIncrement(s.p, c.increments);
    pic::PicCommand(s.p, pic::cmd::kBulkEraseProgram);
    s.p.bus.DelayTicks(40000);
    pic::PicExit(s.p);
    EXPECT_EQ(s.chip12->Word(0x010), c.program ? 0x0FFF : 0x0000);
    EXPECT_EQ(s.chip12->Word(0x3FF), c.program ? 0x0FFF : 0x0FE0);
    EXPECT_EQ(s.chip12->Word(0x200), c.ids ? 0x0FFF : 0x0001);
    EXPECT_EQ(s.chip12->Word(0x204), c.ids ? 0x0FFF : kFactory);
    EXPECT_EQ(s.chip12->Word(0x1FF), c.program ? 0x0FFF : kFactory);
    EXPECT_EQ(s.Violations(), c.violations);
  }
}

// A write at word 0: ended by 14 sooner than 2 ms it does not take; the
// 12F508 finishes by itself after 2 ms, the 16F54 only on the 14.
TEST(Pic12Model, HowAWriteEnds) {
  struct Case {
    int tag;
    int32_t wait;  // ticks between 8 and what follows
    bool end;      // 14 sent
    uint16_t word;
    std::vector<std::string> violations;
  };
  const Case cases[] = {
      {711, 1000, true, 0x0FFF, {"programming ended before its minimum time"}},
      {711, 3000, false, 0x0123, {}},
      {711, 3000, true, 0x0123, {}},
      {731, 3000, true, 0x0123, {}},
      {731,
       3000,
       false,
       0x0FFF,
       {"command during a programming cycle", "programming cycle cut by leaving programming mode"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tag << " " << c.wait << " " << c.end);
    PicSession s;
    s.Select12(c.tag);
    pic::PicEnterVddFirst(s.p);
    pic::PicIncrement(s.p);
    pic::PicLoad(s.p, pic::cmd::kLoadProgram, 0x0123);
    pic::PicCommand(s.p, pic::cmd::kBeginErase);
    s.p.bus.DelayTicks(c.wait);
    if (c.end) pic::PicCommand(s.p, pic::cmd::kEndProgramming);
    pic::PicIncrement(s.p);
    pic::PicExit(s.p);
    EXPECT_EQ(s.chip12->Word(0), c.word);
    EXPECT_EQ(s.Violations(), c.violations);
  }
}

// What the simulated chip file keeps: program words, IDs, the backup
// OSCCAL and the configuration word, as 2 x 0x400 bytes for the 12F508.
TEST(Pic12Model, ContentsCarryEveryArea) {
  PicSession s;
  s.Select12(711);
  s.chip12->SetWord(0x000, 0x0123);
  s.chip12->SetWord(0x203, 0x0004);
  s.chip12->SetWord(0x3FF, 0x0FEA);
  const std::vector<uint8_t> bytes = s.chip12->Contents();
  ASSERT_EQ(bytes.size(), 0x800u);
  EXPECT_EQ(bytes[0], 0x23);
  EXPECT_EQ(bytes[1], 0x01);
  EXPECT_EQ(bytes[0x7FE], 0xEA);
  EXPECT_EQ(bytes[0x7FF], 0x0F);
  sim::Pic12Chip copy(*sim::FindPic12Part("12F508"));
  copy.SetContents(bytes);
  for (const uint32_t a : {0x000u, 0x1FFu, 0x203u, 0x204u, 0x3FFu}) {
    EXPECT_EQ(copy.Word(a), s.chip12->Word(a)) << a;
  }
}

}  // namespace
}  // namespace daraz_test
