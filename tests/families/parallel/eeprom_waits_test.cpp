// The waits of the EEPROM, erasable EPROM and RAM routines, summed by hand
// from their step lists: on the simulated board the time a routine takes,
// less its port accesses (1 us each), is exactly the sum of its delays. A
// wait that is dropped, shortened or lengthened shows here even where the
// part's own limit has a wide margin; so does a loop that runs once too
// often or too rarely.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "eeprom_fixture.h"
#include "families/parallel/ee_eprom.h"
#include "families/parallel/eeprom.h"
#include "families/parallel/sram.h"
#include "sim/eprom_chip.h"
#include "sim/flash12v.h"
#include "sim/parallel_eeprom.h"
#include "sim/sram_chip.h"

namespace {

using app::HandlerId;
using daraz_test::kPowerDown;
using daraz_test::kPowerUp;
using daraz_test::Ticks;

sim::ChipFault Fault(const char* kind, uint32_t address = 0, int arg1 = 0, int arg2 = 0) {
  return sim::ChipFault{kind, address, arg1, arg2};
}

using Eeprom = daraz_test::ModelSession<sim::ParallelEeprom>;

constexpr int k28C256 = 3;
constexpr int kAT28C256 = 102;
constexpr int kAT29C010A = 105;
constexpr int kW29EE011 = 202;

// The command sequences and the primitives built on them. The identification
// reads are 2 x 500 ns each (read strobe width 5).
TEST(EepromWaits, CommandSequencesWaitAsTheirStepsSay) {
  {
    SCOPED_TRACE("ReadId3: 100, AA 55 90 (1, 2, 5), 1000, 4 reads, 10, AA 55 F0 (2), 1000");
    Eeprom s;
    s.Select(HandlerId::AT29C_Click, kAT29C010A);
    const int64_t w = s.WaitedNs([&] { families::eeprom::ReadId3(s.p); });
    EXPECT_NEAR(w, Ticks(kPowerUp + 100 + 3 * 8 + 1000 + 10 + 3 * 2 + 1000 + kPowerDown) + 4 * 1000,
                40);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("ReadId6: 1000, AA 55 80 AA 55 60 (2), 10000, 2 reads, 10, AA 55 F0, 10000");
    Eeprom s;
    s.Select(HandlerId::AT29C_Click, kW29EE011);
    const int64_t w = s.WaitedNs([&] { families::eeprom::ReadId6(s.p); });
    EXPECT_NEAR(
        w, Ticks(kPowerUp + 1000 + 6 * 2 + 10000 + 10 + 3 * 2 + 10000 + kPowerDown) + 2 * 1000, 40);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("ChipErase that never ends: 200, six writes (2, 3), 300000, 3000 x (30000 + 10)");
    Eeprom s;
    s.Select(HandlerId::AT29C_Click, kAT29C010A);
    ASSERT_TRUE(s.chip->InjectFault(Fault("erase-cycles", 0, 0)));
    const int64_t w = s.WaitedNs([&] { families::eeprom::ChipErase(s.p); });
    EXPECT_NEAR(w, Ticks(kPowerUp + 200 + 6 * 5 + 300000 + 3000 * 30010 + kPowerDown), 7000);
    EXPECT_EQ(s.host.LastMessage().first, "erase Chip Fail (Time Out)");
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("PageWrite: AA 55 A0 (2, 1), then 64 bytes (2)");
    Eeprom s;
    s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
    s.p.bus.PowerUp();
    const std::vector<uint8_t> page(64, 0x5A);
    int64_t w = s.WaitedNs([&] { families::eeprom::PageWrite(s.p, 0, page); });
    EXPECT_NEAR(w, Ticks(3 * 3 + 64 * 2), 100);
    SCOPED_TRACE("with protection off: AA 55 80 AA 55 20 (2, 1), then 64 bytes");
    s.p.bus.DelayTicks(20000);  // the write cycle of the first load
    s.p.controls.Check("cbAT28CxxDis");
    w = s.WaitedNs([&] { families::eeprom::PageWrite(s.p, 64, page); });
    EXPECT_NEAR(w, Ticks(6 * 3 + 64 * 2), 100);
    s.p.bus.PowerDown();
  }
  {
    SCOPED_TRACE("SectorWrite: AA 55 A0 (3), then 128 bytes (2)");
    Eeprom s;
    s.Select(HandlerId::AT29C_Click, kAT29C010A);
    s.p.bus.PowerUp();
    const std::vector<uint8_t> sector(128, 0x5A);
    const int64_t w = s.WaitedNs([&] { families::eeprom::SectorWrite(s.p, 0, sector); });
    EXPECT_NEAR(w, Ticks(3 * 3 + 128 * 2), 200);
    s.p.bus.PowerDown();
  }
}

// A byte that never holds: 26 attempts of SetAddress 2, PutData 2, the
// pulse tWP 120, the wait and 2; the wait starts at tWC 1000 and grows by
// 1000 up to 15000. The mismatch report powers down, and so does the end.
TEST(EepromWaits, AFailingByteWaitsLongerEachAttemptUpToTheCap) {
  Eeprom s;
  s.Select(HandlerId::M28C_Click, k28C256);
  ASSERT_TRUE(s.chip->InjectFault(Fault("stuck", 0, 0, 1)));
  s.Load({0x00});
  s.p.image.data_end = 0;
  const int64_t w = s.WaitedNs([&] { families::eeprom::ProgramBytes(s.p); });
  // 1000 + 2000 + ... + 15000, then 11 x 15000.
  constexpr int64_t kWaits = 120000 + 11 * 15000;
  EXPECT_NEAR(w, Ticks(kPowerUp + 26 * (2 + 2 + 120 + 2) + kWaits + 2 * kPowerDown), 200);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// The check of a page: a byte that differs is read again, five reads in all
// for the page, then the page fails. Counted in port accesses: a check of
// one good byte (the outputs on and one read), against the same check
// with a byte that never matches, which adds four re-reads of its address.
TEST(EepromWaits, APageCheckReadsAFailingByteFiveTimes) {
  Eeprom s;
  s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
  s.chip->SetContents(std::vector<uint8_t>(32 * 1024, 0x00));
  hw::Bus& bus = s.p.bus;
  bus.PowerUp();
  image::ClearBuf(s.p.image, image::kFillFF, {});
  s.p.image[0] = 0x00;
  auto accesses = [&](uint32_t size, int expect) {
    bus.ShiftAddress(0x7FFF);  // the same start for every check
    const uint64_t before = s.board->accesses();
    EXPECT_EQ(families::eeprom::PageCheck(s.p, 0, size), expect);
    return static_cast<int64_t>(s.board->accesses() - before);
  };
  const int64_t good = accesses(1, 0);
  // One re-read: the address shifted again and the data read.
  const uint64_t before = s.board->accesses();
  bus.ShiftAddress(0);
  bus.ReadDataByte();
  const auto reread = static_cast<int64_t>(s.board->accesses() - before);
  ASSERT_GT(reread, 0);
  s.p.image[0] = 0x33;  // differs on every read
  EXPECT_EQ(accesses(64, 1), good + 4 * reread);
  bus.PowerDown();
}

// The erasable EPROMs' erase loops. W27C512 (no read level flag): 100,
// Vpp 1000, 20, the pulse 15 x 20000, 100, Vpp off 1000, read level 200.
// SST37VF (read level flag): the same without the 200; its first cycle is
// preceded by 2000 instead of 100.
TEST(EepromWaits, EraseCyclesOfTheErasableEproms) {
  using Eprom = daraz_test::ModelSession<sim::EpromChip>;
  constexpr int64_t kPulse = 1000 + 20 + 15 * 20000 + 100 + 1000;
  {
    SCOPED_TRACE("W27C512 that never erases: 20 cycles");
    Eprom s;
    s.Select(HandlerId::M27E_Click, 2);
    s.chip->SetContents(std::vector<uint8_t>(64 * 1024, 0x00));
    s.chip->SetJumper("erase", true);
    ASSERT_TRUE(s.chip->InjectFault(Fault("erase-cycles", 0, 0)));
    const int64_t w = s.WaitedNs([&] { families::ee_eprom::HighVoltageErase(s.p); });
    EXPECT_NEAR(w, Ticks(kPowerUp + 20 * (100 + kPulse + 200) + kPowerDown), 1000);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("SST37VF010 that never erases, with the prompts");
    Eprom s;
    s.Select(HandlerId::SST37VF_Click, 102);
    s.chip->SetContents(std::vector<uint8_t>(128 * 1024, 0x00));
    s.chip->SetJumper("erase", true);
    ASSERT_TRUE(s.chip->InjectFault(Fault("erase-cycles", 0, 0)));
    s.host.default_answer = true;
    const int64_t w = s.WaitedNs([&] { families::ee_eprom::EraseWithPrompts(s.p); });
    EXPECT_NEAR(w, Ticks(kPowerUp + 2000 + kPulse + 19 * (100 + kPulse) + kPowerDown), 1000);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

// MX26C1000, one byte that takes at its first attempt: 1000 after Vpp on;
// the attempt 8, 8, pulse 8, 10, pulse 8, 30, 8, pulse 8, 20, 5; leaving
// program mode 10, pulse 10, 20, 500. The verify pass reads without waits.
TEST(EepromWaits, Mx26ProgramOfOneByte) {
  daraz_test::ModelSession<sim::Flash12V> s;
  s.Select(HandlerId::MX26C10001Click, 101, "MX26C1000");
  s.Load({0x12});
  s.p.image.data_end = 0;
  const int64_t w = s.WaitedNs([&] { families::ee_eprom::ProgramMx26(s.p); });
  EXPECT_NEAR(w,
              Ticks(kPowerUp + 1000 + (8 + 8 + 8 + 10 + 8 + 30 + 8 + 8 + 20 + 5) +
                    (10 + 10 + 20 + 500) + kPowerDown),
              100);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// SST37VF010 (tWP 30, tWC 20), two bytes: Vpp on 1000; per byte PutData
// 10, 10, the pulse, tWC; Vpp off 1000; then the verify: PowerUp, 500, one
// read of 2 x 100 ns a byte, PowerDown.
TEST(EepromWaits, Sst37ProgramOfTwoBytes) {
  daraz_test::ModelSession<sim::EpromChip> s;
  s.Select(HandlerId::SST37VF_Click, 102);
  s.Load({0x12, 0x34});
  s.p.image.data_end = 1;
  const int64_t w = s.WaitedNs([&] { families::ee_eprom::ProgramSst37(s.p); });
  EXPECT_NEAR(w,
              Ticks(kPowerUp + 1000 + 2 * (10 + 10 + 30 + 20) + 1000 + kPowerUp + 500 + kPowerDown +
                    kPowerDown) +
                  2 * 200,
              100);
  EXPECT_EQ(s.host.LastMessage().first, "Device Programmed OK");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

using Ram = daraz_test::ModelSession<sim::Sram>;

// The RAM test of a 6116 (2 KB): each byte written with a pulse of 2 and 7
// after it, read back without waits; two tests, each after its PowerUp.
TEST(EepromWaits, RamTestAndNvramWrite) {
  {
    SCOPED_TRACE("RAM test 6116");
    Ram s;
    s.Select(HandlerId::SRAM_Click, 1);
    uint8_t next = 0;
    const int64_t w =
        s.WaitedNs([&] { families::sram::TestRamWith(s.p, [&next] { return next += 7; }); });
    EXPECT_NEAR(w, Ticks(2 * kPowerUp + 2 * 2048 * (2 + 7) + kPowerDown), 5000);
    EXPECT_EQ(s.host.LastMessage().first, "Device Test OK");
  }
  {
    // DS1230: tWP 3, tWC 5. Byte 0 takes at once (1, 1, 3, 5, 2); byte 1
    // never holds: 11 attempts, the wait 5, 10, ... 55. The mismatch
    // report powers down, and so does the end.
    SCOPED_TRACE("NVRAM byte that never holds");
    Ram s;
    s.Select(HandlerId::DS12XX_Click, 3);
    ASSERT_TRUE(s.chip->InjectFault(Fault("stuck", 0x1, 0, 1)));
    s.Load({0x20, 0x40});
    s.p.image.data_end = 1;
    const int64_t w = s.WaitedNs([&] { families::sram::WriteNvram(s.p); });
    EXPECT_NEAR(w, Ticks(kPowerUp + 12 + 11 * 7 + 5 * 66 + 2 * kPowerDown), 100);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

}  // namespace

namespace {

// On a fast port (100 ns an access) the routines' own waits carry every
// datasheet limit the parts check: a wait that is dropped or halved breaks
// one of them instead of hiding behind the slow accesses around it.
template <typename Chip>
void FastPortRoundTrip(HandlerId handler, int tag, uint32_t count, const char* caption = "PART",
                       int write_ms = -1) {
  daraz_test::ModelSession<Chip> s;
  s.Select(handler, tag, caption);
  if (write_ms >= 0) {
    ASSERT_TRUE(s.chip->InjectFault(Fault("write-time", 0, write_ms)));
  }
  s.board->SetAccessCost(100);
  const std::vector<uint8_t> data = s.LoadRandom(count, static_cast<uint32_t>(tag));
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.p.error, 0);
  for (uint32_t a = 0; a < count; ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << a;
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(EepromWaits, ProgramOnAFastPort) {
  // The byte write waits tWC (0.84 ms) before its read-back and writes
  // again while a slower part is still busy, so it runs on a part whose
  // write cycle is over at once; the pulse and setup limits still hold.
  // The page write waits for a part of 1 ms.
  {
    SCOPED_TRACE("28C256 byte write");
    FastPortRoundTrip<sim::ParallelEeprom>(HandlerId::M28C_Click, k28C256, 0x20, "PART", 0);
  }
  {
    SCOPED_TRACE("AT28C256 page write");
    FastPortRoundTrip<sim::ParallelEeprom>(HandlerId::AT28Cxxx_Click, kAT28C256, 200, "PART", 1);
  }
  {
    SCOPED_TRACE("AT29C010A sector write");
    FastPortRoundTrip<sim::ParallelEeprom>(HandlerId::AT29C_Click, kAT29C010A, 300);
  }
  {
    SCOPED_TRACE("W29EE011 sector write");
    FastPortRoundTrip<sim::ParallelEeprom>(HandlerId::AT29C_Click, kW29EE011, 300);
  }
  {
    SCOPED_TRACE("DS1230 NVRAM");
    FastPortRoundTrip<sim::Sram>(HandlerId::DS12XX_Click, 3, 0x100);
  }
  {
    SCOPED_TRACE("SST37VF010");
    FastPortRoundTrip<sim::EpromChip>(HandlerId::SST37VF_Click, 102, 0x40);
  }
  {
    SCOPED_TRACE("MX26C1000");
    FastPortRoundTrip<sim::Flash12V>(HandlerId::MX26C10001Click, 101, 0x40, "MX26C1000");
  }
}

}  // namespace
