// The waits each MCS-51 primitive makes, summed from the step lists: the
// time a routine takes on the simulated board, less its port accesses (1 us
// each), is exactly the sum of its DelayTicks. A wait that is dropped or
// shortened shows here even where no chip limit catches it.
#include <string>
#include <utility>

#include "families/mcu/mcs51.h"
#include "families/mcu/mcs51_fixture.h"
#include "families/mcu/mcu_select.h"

namespace daraz_test {
namespace {

struct WaitCase {
  const char* name;
  app::HandlerId handler;
  int tag;
  void (*prepare)(Mcs51Session& s);
  void (*routine)(app::Programmer& p);
  int64_t ticks;
};

void Nothing(Mcs51Session&) {}
// An erased part and an image of four 0xFF bytes (indices 0..3): every
// byte verifies at its first read.
void FourBlankBytes(Mcs51Session& s) {
  image::ClearBuf(s.p.image, image::kFillFF, {});
  s.p.image.data_end = 3;
}
// The same image against a part whose first byte reads 0x00: it is read
// ten times and reported.
void FirstByteDiffers(Mcs51Session& s) {
  FourBlankBytes(s);
  s.chip->SetContents({0x00});
}
// One byte to program: 0x00 at index 0.
void OneZeroByte(Mcs51Session& s) {
  image::ClearBuf(s.p.image, image::kFillFF, {});
  s.p.image[0] = 0x00;
  s.p.image.data_end = 0;
}
// The same byte in a cell that takes it at the second write.
void OneZeroByteWrittenTwice(Mcs51Session& s) {
  OneZeroByte(s);
  ASSERT_TRUE(s.chip->InjectFault({"weak", 0, 2, 0}));
}
void LockChoice1(Mcs51Session& s) { s.p.dev.lock_mode = 1; }
void LockChoice2(Mcs51Session& s) { s.p.dev.lock_mode = 2; }
void LockChoice3(Mcs51Session& s) { s.p.dev.lock_mode = 3; }
void SpiOff(Mcs51Session& s) { s.p.dev.mcs51.option_word = 1; }
void EraseTwiceSet(Mcs51Session& s) { s.p.dev.mcs51.t_erase = 1; }
// Nothing in the socket: every read gives 0xFF.
void EmptySocket(Mcs51Session& s) { s.board->RemoveChip(); }

const WaitCase kCases[] = {
    // EnterMode: PowerUp, 20, RST 2 x 30000, 20; ReadSignature: 500, 20,
    // then two NextAddress (10, pulse 10, 10) each before a read after 10.
    {"AT89C2051 GetId", app::HandlerId::AT89Cx051_Click, 3, &Nothing, &families::mcs51::GetId,
     kPowerUp + 20 + 60000 + 20 + 500 + 20 + 2 * (30 + 10) + kPowerDown},
    // PowerUp, 100, SetAddress then 15, the read, 100, PowerDown.
    {"AT89S51 lock read", app::HandlerId::muMCS51_Click, 50, &Nothing,
     &families::mcs51::ReadLockBits, kPowerUp + 100 + 15 + 100 + kPowerDown},
    // The same with 500 under 12 V before the read and 500 after.
    {"AT89S8252 lock read", app::HandlerId::muMCS51_Click, 5, &Nothing,
     &families::mcs51::ReadLockBits, kPowerUp + 100 + 15 + 500 + 500 + kPowerDown},
    {"AT89S8253 lock read", app::HandlerId::muMCS51_Click, 52, &Nothing,
     &families::mcs51::ReadLockBits, kPowerUp + 100 + 15 + 400 + 500 + kPowerDown},
    // LockChip: EnterMode, then WriteLockS: PowerUp, Vpp 1000, 15, 15, tWPb
    // 2, 200, 100, tWC 100, PowerDown; then 20000 and PowerDown.
    {"AT89S51 lock bit 1", app::HandlerId::muMCS51_Click, 50, &LockChoice1,
     &families::mcs51::LockChip,
     kPowerUp + (kPowerUp + 1000 + 15 + 15 + 2 + 200 + 100 + 100 + kPowerDown) + 20000 +
         kPowerDown},
    // WriteSpiOption: PowerUp, 500, 15, 15, Vpp 500, tWPb 10, 100, tWC 1600,
    // PowerDown.
    {"AT89S8252 SPI byte", app::HandlerId::muMCS51_Click, 5, &SpiOff, &families::mcs51::WriteOption,
     kPowerUp + 500 + 15 + 15 + 500 + 10 + 100 + 1600 + kPowerDown},
    // One lock bit on the 20-pin part: LockChip's EnterMode, then WriteLock
    // with its own EnterMode: Vpp 1000, 15, 15, tWPb 10, 200, 100, tWC 2200,
    // PowerDown; then 20000 and PowerDown.
    {"AT89C2051 lock bit 1", app::HandlerId::AT89Cx051_Click, 3, &LockChoice1,
     &families::mcs51::LockChip,
     2 * (kPowerUp + 20 + 60000 + 20) + 1000 + 15 + 15 + 10 + 200 + 100 + 2200 + kPowerDown +
         20000 + kPowerDown},
    // GetId on the 40-pin part: PowerUp; ReadSignature: 500, then 10 after
    // each of 0x30, 0x31, 0x32 (the AT89C52 answers at 0x30 and 0x31, so no
    // second try and no fallback); PowerDown.
    {"AT89C52 GetId", app::HandlerId::muMCS51_Click, 3, &Nothing, &families::mcs51::GetId,
     kPowerUp + 500 + 3 * 10 + kPowerDown},
    // AT89S8253: 500, Vpp 200, 10, 10, 12, 20, 100.
    {"AT89S8253 GetId", app::HandlerId::muMCS51_Click, 52, &Nothing, &families::mcs51::GetId,
     kPowerUp + 500 + 200 + 10 + 10 + 12 + 20 + 100 + kPowerDown},
    // LockChip on the 40-pin part: EnterMode, then WriteLock: Vpp 5000, 15,
    // 15, tWPb 10, 20, tWC 1600; then 20000 and PowerDown.
    {"AT89C52 lock bit 1", app::HandlerId::muMCS51_Click, 3, &LockChoice1,
     &families::mcs51::LockChip, kPowerUp + 5000 + 15 + 15 + 10 + 20 + 1600 + 20000 + kPowerDown},
    // EraseOnce in programming mode: 10, 20, 120, tWPe 25000, 100, 200; then
    // 300000, PowerDown and 2000 ("tErase" 0: one round).
    {"AT89C52 erase", app::HandlerId::muMCS51_Click, 3, &Nothing, &families::mcs51::EraseChip,
     kPowerUp + 10 + 20 + 120 + 25000 + 100 + 200 + 300000 + kPowerDown + 2000},
    // EraseTwice: two power cycles of 10, 20, 100, pulse 10, 250000.
    {"AT89S52 erase", app::HandlerId::muMCS51_Click, 51, &Nothing, &families::mcs51::EraseChip,
     2 * (kPowerUp + 10 + 20 + 100 + 10 + 250000 + kPowerDown)},
    // WriteFuse: PowerUp, 500, 15, 15, Vpp 500, tWPb 10, 100, tWC 8000,
    // PowerDown.
    {"AT89S8253 fuse", app::HandlerId::muMCS51_Click, 52, &Nothing, &families::mcs51::WriteOption,
     kPowerUp + 500 + 15 + 15 + 500 + 10 + 100 + 8000 + kPowerDown},
    // VerifyChip of four bytes, one ReadByte each. 20-pin: EnterMode, then
    // per byte ReadByte (10, 20) and NextAddress (10, pulse 10, 10).
    {"AT89C2051 verify", app::HandlerId::AT89Cx051_Click, 3, &FourBlankBytes,
     &families::mcs51::VerifyChip, kPowerUp + 20 + 60000 + 20 + 4 * (30 + 30) + kPowerDown},
    // 40-pin: PowerUp, ReadByte 10 and 10, no NextAddress.
    {"AT89C52 verify", app::HandlerId::muMCS51_Click, 3, &FourBlankBytes,
     &families::mcs51::VerifyChip, kPowerUp + 4 * (10 + 10) + kPowerDown},
    // The AT89S8252/53 and AT89S8253 reads: 10, Vpp 80, 10.
    {"AT89S8252 verify", app::HandlerId::muMCS51_Click, 5, &FourBlankBytes,
     &families::mcs51::VerifyChip, kPowerUp + 4 * (10 + 80 + 10) + kPowerDown},
    {"AT89S8253 verify", app::HandlerId::muMCS51_Click, 52, &FourBlankBytes,
     &families::mcs51::VerifyChip, kPowerUp + 4 * (10 + 80 + 10) + kPowerDown},
    // ProgramChip of one byte that takes at the first attempt. AT89S52:
    // PowerUp; WriteByte: Vpp 10, 10 after the address, PutData 3, 10, tWP
    // 2, 30, tWC 100; ReadByte 10, 10; PowerDown; VerifyChip: PowerUp, one
    // read, PowerDown; the closing PowerDown.
    {"AT89S52 program", app::HandlerId::muMCS51_Click, 51, &OneZeroByte,
     &families::mcs51::ProgramChip,
     kPowerUp + (10 + 10 + 3 + 10 + 2 + 30 + 100) + 20 + kPowerDown + kPowerUp + 20 + kPowerDown +
         kPowerDown},
    // AT89C2051: EnterMode; WriteByte: Vpp 10, 10, PutData 10, 15, tWP 80,
    // 30, tWC 2200; ReadByte 30; NextAddress 30; PowerDown; VerifyChip with
    // its own EnterMode, one read and NextAddress; the closing PowerDown.
    {"AT89C2051 program", app::HandlerId::AT89Cx051_Click, 3, &OneZeroByte,
     &families::mcs51::ProgramChip,
     kPowerUp + 60040 + (10 + 10 + 10 + 15 + 80 + 30 + 2200) + 30 + 30 + kPowerDown + kPowerUp +
         60040 + 30 + 30 + kPowerDown + kPowerDown},
    // The same AT89S52 byte taking at the second write: the retry waits tWC
    // + 100.
    {"AT89S52 program, second attempt", app::HandlerId::muMCS51_Click, 51, &OneZeroByteWrittenTwice,
     &families::mcs51::ProgramChip,
     kPowerUp + (10 + 10 + 3 + 10 + 2 + 30 + 100) + 20 + (10 + 10 + 3 + 10 + 2 + 30 + 200) + 20 +
         kPowerDown + kPowerUp + 20 + kPowerDown + kPowerDown},
    // VerifyChip of a byte that differs: ten reads, the report's PowerDown,
    // then the closing PowerDown.
    {"AT89C52 verify, mismatch", app::HandlerId::muMCS51_Click, 3, &FirstByteDiffers,
     &families::mcs51::VerifyChip, kPowerUp + 10 * (10 + 10) + kPowerDown + kPowerDown},
    {"AT89C2051 verify, mismatch", app::HandlerId::AT89Cx051_Click, 3, &FirstByteDiffers,
     &families::mcs51::VerifyChip, kPowerUp + 60040 + 10 * 30 + kPowerDown + kPowerDown},
    // ReadChip and BlankCheck of the 1 KB AT89C1051: EnterMode, then per
    // byte ReadByte (10, 20) and NextAddress (10, pulse 10, 10); PowerDown.
    {"AT89C1051 read", app::HandlerId::AT89Cx051_Click, 2, &Nothing, &families::mcs51::ReadChip,
     kPowerUp + 60040 + 1024 * (30 + 30) + kPowerDown},
    {"AT89C1051 blank check", app::HandlerId::AT89Cx051_Click, 2, &Nothing,
     &families::mcs51::BlankCheck, kPowerUp + 60040 + 1024 * (30 + 30) + kPowerDown},
    // The 40-pin blank check of 4 KB: ReadByte 10 and 10 each.
    {"AT89C51 blank check", app::HandlerId::muMCS51_Click, 2, &Nothing,
     &families::mcs51::BlankCheck, kPowerUp + 4096 * (10 + 10) + kPowerDown},
    // GetId of the AT89S52: 0x30 answers, 0x31 gives 0xFF, so 0x32 is read
    // and then 0x100 and 0x200; five reads after 10 each.
    {"AT89S52 GetId", app::HandlerId::muMCS51_Click, 51, &Nothing, &families::mcs51::GetId,
     kPowerUp + 500 + 5 * 10 + kPowerDown},
    // An empty socket: 0x30 is tried again after the Vpp switch and 200,
    // then 0x31, 0x32, 0x100 and 0x200.
    {"empty 40-pin socket GetId", app::HandlerId::muMCS51_Click, 3, &EmptySocket,
     &families::mcs51::GetId, kPowerUp + 500 + 10 + 200 + 10 + 4 * 10 + kPowerDown},
    // EraseOnce on the 20-pin part, inside its EnterMode: 10, 20, 120,
    // tWPe 25000, 100, 200; then 300000, PowerDown and 2000.
    {"AT89C2051 erase", app::HandlerId::AT89Cx051_Click, 3, &Nothing, &families::mcs51::EraseChip,
     kPowerUp + 60040 + 10 + 20 + 120 + 25000 + 100 + 200 + 300000 + kPowerDown + 2000},
    // "tErase" set: after the 2000, the whole round once more.
    {"AT89C52 erase, tErase set", app::HandlerId::muMCS51_Click, 3, &EraseTwiceSet,
     &families::mcs51::EraseChip,
     2 * (kPowerUp + 10 + 20 + 120 + 25000 + 100 + 200 + 300000 + kPowerDown) + 2000},
    // The AT89C55WD (after its jumper box) and the AT89S8253 erase as the
    // AT89S52 does.
    {"AT89C55WD erase", app::HandlerId::muMCS51_Click, 7, &Nothing, &families::mcs51::EraseChip,
     2 * (kPowerUp + 10 + 20 + 100 + 10 + 250000 + kPowerDown)},
    {"AT89S8253 erase", app::HandlerId::muMCS51_Click, 52, &Nothing, &families::mcs51::EraseChip,
     2 * (kPowerUp + 10 + 20 + 100 + 10 + 250000 + kPowerDown)},
    // Lock choice 3 on the AT89C52: three WriteLocks (Vpp 5000, 15, 15,
    // tWPb 10, 20, tWC 1600) in one programming mode.
    {"AT89C52 lock choice 3", app::HandlerId::muMCS51_Click, 3, &LockChoice3,
     &families::mcs51::LockChip,
     kPowerUp + 3 * (5000 + 15 + 15 + 10 + 20 + 1600) + 20000 + kPowerDown},
    // Lock choice 2 on the AT89S51: two WriteLockS power cycles.
    {"AT89S51 lock choice 2", app::HandlerId::muMCS51_Click, 50, &LockChoice2,
     &families::mcs51::LockChip,
     kPowerUp + 2 * (kPowerUp + 1000 + 15 + 15 + 2 + 200 + 100 + 100 + kPowerDown) + 20000 +
         kPowerDown},
    // The AT89S8252: one WriteLock whatever the choice.
    {"AT89S8252 lock choice 2", app::HandlerId::muMCS51_Click, 5, &LockChoice2,
     &families::mcs51::LockChip, kPowerUp + 5000 + 15 + 15 + 10 + 20 + 1600 + 20000 + kPowerDown},
    // The AT89S8253: one WriteLockS (tWPb 10, tWC 8000).
    {"AT89S8253 lock choice 1", app::HandlerId::muMCS51_Click, 52, &LockChoice1,
     &families::mcs51::LockChip,
     kPowerUp + (kPowerUp + 1000 + 15 + 15 + 10 + 200 + 100 + 8000 + kPowerDown) + 20000 +
         kPowerDown},
    // Lock choice 2 on the 20-pin part: two WriteLocks, each in its own
    // EnterMode.
    {"AT89C2051 lock choice 2", app::HandlerId::AT89Cx051_Click, 3, &LockChoice2,
     &families::mcs51::LockChip,
     kPowerUp + 60040 +
         2 * (kPowerUp + 60040 + 1000 + 15 + 15 + 10 + 200 + 100 + 2200 + kPowerDown) + 20000 +
         kPowerDown},
    // PageProgram of one code page (data end 0): PowerUp; WritePage: 100,
    // 64 loads with a 2-tick pulse, tWC 8000; tWC 8000; VerifyPage: 64
    // reads (10, 80, 10); PowerDown; VerifyChip of one byte; PowerDown.
    {"AT89S8253 program, one page", app::HandlerId::muMCS51_Click, 52, &OneZeroByte,
     &families::mcs51::ProgramChip,
     kPowerUp + 100 + 64 * 2 + 8000 + 8000 + 64 * 100 + kPowerDown + kPowerUp + 100 + kPowerDown +
         kPowerDown},
};

TEST(Mcs51Waits, EachPrimitiveWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Mcs51Session s;
    s.Select(c.handler, c.tag);
    c.prepare(s);
    const int64_t waited = s.WaitedNs(c.routine);
    EXPECT_NEAR(waited, Ticks(c.ticks), 50);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// A page that never verifies: PowerUp, then 20 attempts of WritePage (100,
// 64 loads with a 2-tick pulse each, tWC 8000), tWC 8000 and VerifyPage,
// which reads the failing first byte 5 times (10, 80, 10 each) and gives
// up on the page; the error report powers down.
TEST(Mcs51Waits, AFailingPageIsWrittenTwentyTimesAndItsByteReadFiveTimesEach) {
  Mcs51Session s;
  s.Select40(52);
  ASSERT_TRUE(s.chip->InjectFault({"never", 0, 0, 0}));
  s.Load({0x00});
  const int64_t waited = s.WaitedNs(families::mcs51::ProgramChip);
  constexpr int64_t kAttempt = 100 + 64 * 2 + 8000 + 8000 + 5 * (10 + 80 + 10);
  // Each 2-tick wait is 0.2 ns short of its exact length (1280 of them).
  EXPECT_NEAR(waited, Ticks(kPowerUp + 20 * kAttempt + kPowerDown), 1000);
  EXPECT_EQ(s.host.LastMessage(), (std::pair<std::string, int>{" Error :Write Page  0 ", 1}));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
}  // namespace daraz_test
