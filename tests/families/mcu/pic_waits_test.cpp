// The waits of the PIC routines, summed from the step lists: the time a
// routine takes on the simulated board, less its port accesses (1 us each),
// is the sum of its DelayTicks.
#include <gtest/gtest.h>

#include "families/mcu/pic.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

// Each DelayTicks lands on a whole nanosecond, so the sums are of waits
// in ns, one term per call.
constexpr int64_t W(int64_t ticks) { return ticks * 8381 / 10; }
// Enter VDD first: 100, 3000, 1000. A bit sent: four waits of 3; a bit
// read: three. A command: 5, six bits, 30. A data frame: sixteen bits, 10.
// A read frame: sixteen bits read, 10. Exit: 10, 1000, 5000.
constexpr int64_t kEnter = W(100) + W(3000) + W(1000);
constexpr int64_t kSendBit = 4 * W(3);
constexpr int64_t kCommand = W(5) + 6 * kSendBit + W(30);
constexpr int64_t kFrame = 16 * kSendBit + W(10);
constexpr int64_t kRead = kCommand + 16 * 3 * W(3) + W(10);
constexpr int64_t kExit = W(10) + W(1000) + W(5000);
constexpr int64_t kPowerDown = W(10000);
// An OTP program pulse: load, 30, 8, 200, 14.
constexpr int64_t kOtpPulse = kCommand + kFrame + W(30) + kCommand + W(200) + kCommand;
// An OTP word right at its first pulse: the pulse, the read, three more
// pulses, the increment.
constexpr int64_t kOtpWord = kOtpPulse + kRead + 3 * kOtpPulse + kCommand;

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
     kEnter + kCommand + kFrame + W(10) + kCommand + W(40000) + kExit + kPowerDown},
    // 16C620 (512 words, no data memory): the words; the verify (a read
    // and an increment each); load configuration, 100, four IDs, three
    // increments, a hundred pulses on the configuration word and its read;
    // then 10000 and PowerDown.
    {"16C620 OTP program", 201, &AnswerYes, &families::pic::ProgramOtpPic,
     (kEnter + 512 * kOtpWord + kExit) + (kEnter + 512 * (kRead + kCommand) + kExit) +
         (kEnter + kCommand + kFrame + W(100) + 4 * kOtpWord + 3 * kCommand + 100 * kOtpPulse +
          kRead + kExit) +
         W(10000) + kPowerDown},
};

TEST(PicWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    PicSession s;
    s.Select(c.tag);
    c.prepare(s);
    const int64_t start = s.board->clock().now_ns();
    const uint64_t accesses = s.board->accesses();
    c.routine(s.p);
    const int64_t waited = s.board->clock().now_ns() - start -
                           static_cast<int64_t>(s.board->accesses() - accesses) * 1000;
    // A wait of whole ticks may land a nanosecond short of W(): a few us
    // over the thousands of waits of a program.
    EXPECT_NEAR(waited, c.ns, 5000);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
}  // namespace daraz_test
