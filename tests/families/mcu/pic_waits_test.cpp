// The waits of the PIC routines, summed from the step lists: the time a
// routine takes on the simulated board, less its port accesses (1 us each),
// is the sum of its DelayTicks.
#include <gtest/gtest.h>

#include <vector>

#include "families/mcu/pic.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

// Each DelayTicks lands on a whole nanosecond, so the sums are of waits
// in ns, one term per call.
// Enter VDD first: 100, 3000, 1000. A bit sent: four waits of 3; a bit
// read: three. A command: 5, six bits, 30. A data frame: sixteen bits, 10.
// A read frame: sixteen bits read, 10. Exit: 10, 1000, 5000.
constexpr int64_t kEnter = Ticks(100) + Ticks(3000) + Ticks(1000);
constexpr int64_t kSendBit = 4 * Ticks(3);
constexpr int64_t kCommand = Ticks(5) + 6 * kSendBit + Ticks(30);
constexpr int64_t kFrame = 16 * kSendBit + Ticks(10);
constexpr int64_t kRead = kCommand + 16 * 3 * Ticks(3) + Ticks(10);
constexpr int64_t kExit = Ticks(10) + Ticks(1000) + Ticks(5000);
constexpr int64_t kDown = Ticks(kPowerDown);
// An OTP program pulse: load, 30, 8, 200, 14.
constexpr int64_t kOtpPulse = kCommand + kFrame + Ticks(30) + kCommand + Ticks(200) + kCommand;
// An OTP word right at its first pulse: the pulse, the read, three more
// pulses, the increment.
constexpr int64_t kOtpWord = kOtpPulse + kRead + 3 * kOtpPulse + kCommand;
// 12-bit OTP: a pulse is load, 20, 8, tWC of 200, 14, 30; a word right at
// its first pulse: the pulse, 50, the read, eleven pulses with 20 after
// each, the increment.
constexpr int64_t kPulse12 =
    kCommand + kFrame + Ticks(20) + kCommand + Ticks(200) + kCommand + Ticks(30);
constexpr int64_t kOtpWord12 =
    kPulse12 + Ticks(50) + kRead + 11 * (kPulse12 + Ticks(20)) + kCommand;
// 12-bit flash: load, 25, 8, tWC of 3000 us (3580 ticks), the read; with
// 14 after the wait on the 16F5x.
constexpr int64_t kFlashWord = kCommand + kFrame + Ticks(25) + kCommand + Ticks(3580) + kRead;
constexpr int64_t kFlashWord14 = kFlashWord + kCommand;
// The 12-bit verify of n words: past the configuration word, then a read
// and an increment each.
constexpr int64_t Verify12(int64_t n) { return kEnter + kCommand + n * (kRead + kCommand) + kExit; }
// The flash erase of an n-word part: from the configuration word past
// program memory, bulk erase, 40000.
constexpr int64_t Erase12(int64_t n) {
  return kEnter + (n + 1) * kCommand + kCommand + Ticks(40000) + kExit;
}

struct WaitCase {
  const char* name;
  int tag;
  void (*prepare)(PicSession& s);
  void (*routine)(app::Programmer& p);
  int64_t ns;
};

void Nothing(PicSession&) {}
void AnswerYes(PicSession& s) { s.host.answers = {true}; }

const WaitCase kCases[] = {
    // 16F73 erase: load configuration, 10, bulk erase program, 40000.
    {"16F73 erase", 431, &Nothing, &families::pic::ErasePic,
     kEnter + kCommand + kFrame + Ticks(10) + kCommand + Ticks(40000) + kExit + kDown},
    // 12F683: load configuration, no increment, bulk erase program, 40000,
    // bulk erase data, 40000.
    {"12F683 erase", 423, &Nothing, &families::pic::ErasePic,
     kEnter + kCommand + kFrame + kCommand + Ticks(40000) + kCommand + Ticks(40000) + kExit +
         kDown},
    // 16C620 (512 words, no data memory): the words; the verify (a read
    // and an increment each); load configuration, 100, four IDs, three
    // increments, a hundred pulses on the configuration word and its read;
    // then 10000 and PowerDown.
    {"16C620 OTP program", 201, &AnswerYes, &families::pic::ProgramOtpPic,
     (kEnter + 512 * kOtpWord + kExit) + (kEnter + 512 * (kRead + kCommand) + kExit) +
         (kEnter + kCommand + kFrame + Ticks(100) + 4 * kOtpWord + 3 * kCommand + 100 * kOtpPulse +
          kRead + kExit) +
         Ticks(10000) + kDown},
    // 16F54 erase: no calibration to keep.
    {"16F54 erase", 731, &Nothing, &families::pic::ErasePic, Erase12(512) + kDown},
    // 12C508 (the last word its calibration): 511 words, the skip, four
    // IDs; the verify; the configuration: 1000, a hundred pulses of
    // command 2, 10, the frame, 20, 8, 1000, 14; a fresh entry to read it;
    // 20000 and PowerDown.
    {"12C508 OTP program", 101, &AnswerYes, &families::pic::ProgramOtpPic12,
     (kEnter + kCommand + 511 * kOtpWord12 + kCommand + 4 * kOtpWord12 + kExit) + Verify12(511) +
         (kEnter + Ticks(1000) +
          100 * (kCommand + Ticks(10) + kFrame + Ticks(20) + kCommand + Ticks(1000) + kCommand) +
          kExit + kEnter + kRead + kExit + Ticks(20000)) +
         kDown},
    // 12F508: the calibration read (512 increments to 0x1FF, five more to
    // the backup), the erase, both written back, 511 words, the skip, four
    // IDs, the verify, the configuration word; 10000 and PowerDown.
    {"12F508 program", 711, &Nothing, &families::pic::ProgramPic,
     (kEnter + 512 * kCommand + kRead + 5 * kCommand + kRead + kExit) + Erase12(512) +
         (kEnter + 512 * kCommand + kFlashWord + 5 * kCommand + kFlashWord + kExit) +
         (kEnter + kCommand + 511 * (kFlashWord + kCommand) + kCommand +
          4 * (kFlashWord + kCommand) + kExit) +
         Verify12(511) + (kEnter + kFlashWord + kExit) + Ticks(10000) + kDown},
    // 16F54: every word ended by 14, no calibration.
    {"16F54 program", 731, &Nothing, &families::pic::ProgramPic,
     Erase12(512) + (kEnter + kCommand + 516 * (kFlashWord14 + kCommand) + kExit) + Verify12(512) +
         (kEnter + kFlashWord14 + kExit) + Ticks(10000) + kDown},
};

TEST(PicWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    PicSession s;
    if (c.tag < 200 || c.tag >= 700) {
      s.Select12(c.tag);
    } else {
      s.Select(c.tag);
    }
    c.prepare(s);
    const int64_t waited = s.WaitedNs(c.routine);
    // A wait of whole ticks may land a nanosecond short of Ticks(): a few us
    // over the thousands of waits of a program.
    EXPECT_NEAR(waited, c.ns, 5000);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// An OTP word that never takes: words 0..2 at their first pulse, word 3's
// 25 pulses each read back, then the exit (VDD before VPP, with its waits)
// and the error's PowerDown.
TEST(PicWaits, AFailedOtpWordLeavesProgrammingModeFirst) {
  PicSession s;
  s.Select(201);
  sim::ChipFault never;
  never.kind = "never";
  never.address = 3;
  ASSERT_TRUE(s.chip->InjectFault(never));
  std::vector<uint16_t> words = s.Pattern(512);
  words[3] = 0x0000;
  s.Load(words, {}, 0x3FF9);
  s.host.answers = {true};
  const int64_t waited = s.WaitedNs(families::pic::ProgramOtpPic);
  EXPECT_EQ(s.Last(), "Error writing program area");
  EXPECT_NEAR(waited, kEnter + 3 * kOtpWord + 25 * (kOtpPulse + kRead) + kExit + kDown, 1000);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// "MCLRE +5V": after the PowerDown that ends programming, 20000 ticks, then
// VDD alone on again (VPP off, control bit 0 high).
TEST(PicWaits, MclreFiveVoltsPowersAgainAfterItsWait) {
  int64_t waited[2] = {};
  for (const bool mclre : {false, true}) {
    SCOPED_TRACE(mclre);
    PicSession s;
    s.Select12(731);
    s.Load12(std::vector<uint16_t>(512, 0x0A5A), {1, 2, 3, 4}, 0x0FF9);
    s.p.controls.Check("cbMCLRE5", mclre);
    waited[mclre ? 1 : 0] = s.WaitedNs(families::pic::ProgramPic);
    EXPECT_EQ(s.p.error, 0);
    EXPECT_EQ(s.board->pins().power(), mclre);
    EXPECT_TRUE(s.board->pins().strobe());
  }
  EXPECT_NEAR(waited[1] - waited[0], Ticks(20000), 10);
}

}  // namespace
}  // namespace daraz_test
