// Programming UV EPROMs when the part does not simply take the data: weak
// cells, cells that never program, a chip that is not blank, a missing Vpp
// or chip, the data end at the device's edge, and Cancel.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "families/parallel/uv_eprom.h"
#include "uv_eprom_fixture.h"

namespace {

using daraz_test::EpromSession;
using daraz_test::kDataSetup;
using daraz_test::Kinds;
using daraz_test::kMarginal;
using daraz_test::kOverStress;
using daraz_test::kShortPulse;

constexpr int k27C256 = 204;  // variant C, CE/PGM with its own Vpp
constexpr int k27C512 = 205;  // two-pass K, OE/Vpp
constexpr int k27C64 = 202;   // variant B, PGM pin
constexpr int k27C040 = 208;  // variant E
constexpr int k27C010 = 206;  // variant D

int Panel(const EpromSession& s, const char* name) { return std::stoi(s.p.controls.Text(name)); }

void ExpectFailed(const EpromSession& s) {
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.p.error, 1);
}

struct WeakCase {
  const char* name;
  bool nmos;
  int tag;
  Kinds violations;
};

TEST(UvEpromWeakCells, ProgramWithMorePulsesAndShowThePeaks) {
  // The NMOS 27256 gets 1 ms pulses widened by 168 us past its 1.05 ms, and
  // no 3X over-program pulse after them.
  const WeakCase cases[] = {
      {"single pass, widening", false, k27C256, {kOverStress}},
      {"two passes, OE/Vpp", false, k27C512, {kOverStress}},
      {"NMOS single pass", true, 105, {kOverStress, kMarginal}},
  };
  for (const WeakCase& c : cases) {
    SCOPED_TRACE(c.name);
    EpromSession s;
    s.SelectPart(c.nmos, c.tag);
    const std::vector<uint8_t> data = s.LoadRandom(0x400);
    ASSERT_TRUE(s.chip->InjectFault({"weak", 0x100, 2, 0}));
    ASSERT_TRUE(s.chip->InjectFault({"weak", 0x200, 4, 0}));
    s.Program();
    EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
    EXPECT_EQ(s.Violations(), c.violations);
    EXPECT_EQ(s.chip->Cell(0x100), data[0x100]);
    EXPECT_EQ(s.chip->Cell(0x200), data[0x200]);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);

    const int loops = Panel(s, "pLoopp");
    EXPECT_GE(loops, 2);
    EXPECT_LT(loops, 26);
    if (c.tag != k27C512) {
      // Each retry widens the pulse by addStep and the wait by 10 ticks.
      EXPECT_EQ(Panel(s, "pTwpp"), s.p.dev.twp + (loops - 1) * s.p.dev.add_step);
      EXPECT_EQ(Panel(s, "pTwcp"), s.p.dev.twc + (loops - 1) * 10);
    } else {
      EXPECT_EQ(Panel(s, "pTwpp"), s.p.dev.twp + 50);
      EXPECT_EQ(Panel(s, "pTwcp"), s.p.dev.twc + 50);
    }
  }
}

TEST(UvEpromWeakCells, PanelsStartOverWithTheNextRun) {
  EpromSession s;
  s.Select27C(k27C256);
  s.LoadRandom(0x40);
  ASSERT_TRUE(s.chip->InjectFault({"weak", 0x20, 3, 0}));
  s.Run(families::uv_eprom::ProgramDispatch);
  ASSERT_EQ(Panel(s, "pLoopp"), 3);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  // Besides the two gauges, the panels are refreshed only when a peak grows:
  // at the first byte and at the weak one, not at every byte.
  using Type = daraz_test::HostEvent::Type;
  EXPECT_EQ(s.host.Of(Type::kControlsChanged).size(), s.host.Of(Type::kShowGauge).size() + 2);
  s.chip->Erase();
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_GE(Panel(s, "pLoopp"), 2);  // the weak cell again
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  s.chip->Erase();
  s.LoadRandom(0x10);  // the weak cell lies beyond this data
  s.Program();
  EXPECT_EQ(Panel(s, "pLoopp"), 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), Kinds{kOverStress});
}

// A fault the run must end on: the mismatch text at the right address, no
// success, and the socket powered down.
struct FaultCase {
  const char* name;
  int tag;
  std::function<void(EpromSession&)> inject;
  std::string message;
  uint64_t pulses;  // pulses the part saw before the run gave up
  Kinds violations;
};

TEST(UvEpromFaults, EndTheRunWithTheMismatchAtTheRightAddress) {
  // The image: 0x10 bytes of 0x00 then 0xFF; data end 0x10.
  const FaultCase cases[] = {
      {"stuck-at-1 bit, single pass",
       k27C256,
       [](EpromSession& s) {
         s.chip->InjectFault({"stuck", 0x0C, 2, 1});
       },
       " Error at 0x00000C  Chip = 0x04  buffer = 0x00",
       12 + 26,
       {kOverStress}},
      {"stuck-at-1 bit, two passes",
       k27C512,
       [](EpromSession& s) {
         s.chip->InjectFault({"stuck", 0x0C, 5, 1});
       },
       " Error at 0x00000C  Chip = 0x20  buffer = 0x00",
       0x11 + 26,
       {kOverStress}},
      // 2 x 20.95 ms is short of the 27C16's 45 ms: every good byte takes
      // two of the 25 tries.
      {"stuck-at-1 bit, 2716 (25 tries)",
       215,
       [](EpromSession& s) {
         s.chip->InjectFault({"stuck", 0x0C, 0, 1});
       },
       " Error at 0x00000C  Chip = 0x01  buffer = 0x00",
       12 * 2 + 25,
       {kShortPulse}},
      {"cell too weak to ever program",
       k27C64,
       [](EpromSession& s) {
         s.chip->InjectFault({"weak", 0x03, 1000, 0});
       },
       " Error at 0x000003  Chip = 0xFF  buffer = 0x00",
       3 + 26,
       {kOverStress}},
      {"Vpp missing",
       k27C040,
       [](EpromSession& s) {
         s.chip->InjectFault({"vpp_missing", 0, 0, 0});
       },
       " Error at 0x000000  Chip = 0xFF  buffer = 0x00",
       26,
       {kDataSetup, kOverStress}},
      {"no chip in the socket",
       k27C010,
       [](EpromSession& s) { s.board->RemoveChip(); },
       " Error at 0x000000  Chip = 0xFF  buffer = 0x00",
       0,
       {}},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    EpromSession s;
    s.Select27C(c.tag);
    s.Load(std::vector<uint8_t>(0x10, 0x00));
    const sim::EpromChip* chip = s.chip;
    c.inject(s);
    const bool inserted = s.board->chip() != nullptr;
    s.Program();
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(c.message, 1));
    ExpectFailed(s);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    if (inserted) {
      EXPECT_EQ(chip->pulses(), c.pulses);
    }
    EXPECT_EQ(s.Violations(), c.violations);
  }
}

TEST(UvEpromFaults, ACellAlreadyProgrammedWhereTheImageHasAOne) {
  EpromSession s;
  s.Select27C(k27C256);
  std::vector<uint8_t> contents(0x8000, 0xFF);
  contents[0x21] = 0x5A;
  s.chip->SetContents(contents);
  s.Load(std::vector<uint8_t>(0x40, 0xA5));
  s.Program();
  EXPECT_EQ(s.host.LastMessage(),
            std::make_pair(std::string(" Error at 0x000021  Chip = 0x00  buffer = 0xA5"), 1));
  ExpectFailed(s);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), Kinds{kOverStress});
}

TEST(UvEpromSkipFF, BlankBytesAreNeverPulsedButStillVerified) {
  EpromSession s;
  s.Select27C(k27C256);
  std::vector<uint8_t> data(0x100, 0xFF);
  for (uint32_t i = 0; i < data.size(); i += 3) data[i] = static_cast<uint8_t>(i / 3);
  s.Load(data);
  s.p.controls.Check("cbSkip_0xFF");
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.chip->pulses(), (data.size() + 2) / 3);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), Kinds{kOverStress});

  // Over a part that is not blank the final verify stops at the first 0xFF
  // byte whose cell holds something else.
  EpromSession dirty;
  dirty.Select27C(k27C256);
  std::vector<uint8_t> contents(0x8000, 0xFF);
  contents[0x40] = 0x00;
  contents[0x41] = 0x11;
  dirty.chip->SetContents(contents);
  dirty.Load(data);
  dirty.p.controls.Check("cbSkip_0xFF");
  dirty.Program();
  EXPECT_EQ(dirty.host.LastMessage(),
            std::make_pair(std::string(" Error at 0x000040  Chip = 0x00  buffer = 0xFF"), 1));
  EXPECT_TRUE(dirty.host.HasMessage("Verifying chip"));
  ExpectFailed(dirty);
  EXPECT_EQ(dirty.board->RestState(), sim::kAtRest);
}

TEST(UvEpromDataEnd, PassCoversOneBytePastTheDataAndTheDataEndIsKept) {
  EpromSession s;
  s.Select27C(k27C256);
  const std::vector<uint8_t> data = s.LoadRandom(100);
  s.p.image[100] = 0x3C;  // whatever the image holds past the data goes in too
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.chip->Cell(99), data[99]);
  EXPECT_EQ(s.chip->Cell(100), 0x3C);
  EXPECT_EQ(s.chip->Cell(101), 0xFF);
  EXPECT_EQ(s.p.image.data_end, 100u);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  // A data end beyond the part: the whole part, then the data end as loaded.
  EpromSession big;
  big.Select27C(k27C64);
  const std::vector<uint8_t> more = big.LoadRandom(0x3000);
  big.Program();
  EXPECT_TRUE(big.host.HasMessage("Device Programmed OK", 2)) << big.Last();
  EXPECT_EQ(big.p.image.data_end, 0x3000u);
  EXPECT_EQ(big.host.Of(daraz_test::HostEvent::Type::kShowGauge).front().value, 0x1FFF);
  EXPECT_EQ(big.chip->Cell(0x1FFF), more[0x1FFF]);
  EXPECT_EQ(big.board->RestState(), sim::kAtRest);
  EXPECT_EQ(big.Violations(), Kinds{kOverStress});
}

struct CancelCase {
  const char* name;
  int tag;
  int refresh;  // the gauge refresh Cancel is pressed in
  bool last_byte_reached;
};

TEST(UvEpromCancel, InterruptsPowersDownAndNeverClaimsSuccess) {
  const CancelCase cases[] = {
      {"single pass", k27C256, 5, false},
      {"two passes, first pass", k27C512, 5, false},
      {"two passes, second pass", k27C512, 1005, true},
      {"M87C256", 501, 5, false},
  };
  for (const CancelCase& c : cases) {
    SCOPED_TRACE(c.name);
    EpromSession s;
    s.Select27C(c.tag);
    s.LoadRandom(s.p.image.device_size);
    s.host.CancelAtRefresh(s.p, c.refresh);
    s.Program();
    EXPECT_TRUE(s.host.HasMessage("program interrupted!", 1)) << s.Last();
    EXPECT_FALSE(s.host.HasMessage("Verifying chip"));
    ExpectFailed(s);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), Kinds{kOverStress});
    const uint32_t last = s.p.image.device_size - 1;
    EXPECT_EQ(s.chip->Cell(last) == s.p.image[last], c.last_byte_reached);
  }
}

TEST(UvEpromWrongAlgorithm, APartProgrammedTheWrongWayFails) {
  // An OE/Vpp part read back with Vpp still on its OE pin never answers.
  EpromSession s;
  s.Select27C(k27C512);
  s.LoadRandom(0x20);
  s.host.Clear();
  families::uv_eprom::ProgramB(s.p);
  EXPECT_EQ(s.host.LastMessage().second, 1);
  ExpectFailed(s);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
