// JEDEC routines against parts that misbehave, the safety of the 12 V line,
// the buffer offset, and the command addresses the parts depend on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "families/flash/flash_fixture.h"
#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"
#include "sim/trace.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

std::string Mismatch(uint32_t address, uint8_t chip, uint8_t buffer) {
  char text[80];
  std::snprintf(text, sizeof text, " Error at 0x%06X  Chip = 0x%02X  buffer = 0x%02X", address,
                chip, buffer);
  return text;
}

// The chip byte a mismatch text shows.
int ChipByteOf(const std::string& text) {
  unsigned chip = 0;
  const size_t at = text.find("Chip = 0x");
  if (at == std::string::npos || std::sscanf(text.c_str() + at, "Chip = 0x%X", &chip) != 1) {
    return -1;
  }
  return static_cast<int>(chip);
}

// Writes of `data` to `address` that the part took as bus cycles.
int WritesOf(const sim::JedecFlash* chip, uint32_t address, uint8_t data) {
  int n = 0;
  for (const auto& w : chip->writes()) n += w.address == address && w.data == data;
  return n;
}

TEST(JedecFaults, AStuckBitEndsAfterNineSendsWithTheComparedByte) {
  FlashSession s;
  s.Select(HandlerId::M29F_Click, 105, "29F010");
  auto* chip = s.As<sim::JedecFlash>();
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x105, 2, 1}));
  chip->RecordWrites(true);
  s.p.image.buffer_offset = 0x100;
  std::vector<uint8_t> data(0x10, 0x00);
  data[4] = 0xFF;  // skipped
  s.Load(data);
  s.Program();
  const std::string text = s.Last();
  EXPECT_EQ(text.substr(0, text.find("Chip")), " Error at 0x000105  ");
  EXPECT_EQ(text.substr(text.find("buffer")), "buffer = 0x00") << "image[5], the byte compared";
  EXPECT_EQ(ChipByteOf(text) & 0x20, 0x20) << "the second read after DQ5";
  EXPECT_EQ(WritesOf(chip, 0x105, 0x00), 9);
  EXPECT_EQ(chip->Cell(0x104), 0xFF);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.host.Count(daraz_test::HostEvent::Type::kShowGauge), 1u) << "no verify pass";
  EXPECT_EQ(s.Violations(), std::vector<std::string>{"write while busy"});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// Bytes that never read back: a part without DQ5 and a stuck bit, and P7
// on a page that never finishes, end by the 100 ms bound; a protected
// sector and a part without unlock bypass under P3 read back 0xFF, which
// looks like DQ5, and end after nine sends. Each ends with the mismatch
// and no verify pass.
TEST(JedecFaults, ByteThatNeverReadsBackFailsWithinBounds) {
  struct Case {
    const char* name;
    HandlerId handler;
    int tag;
    const char* caption;
    const char* box;
    sim::ChipFault fault;
    uint32_t fails_at;
    bool by_time;
    std::vector<std::string> violations;
  };
  const Case cases[] = {
      {"SST39SF010A stuck bit",
       HandlerId::M29F_Click,
       202,
       "39SF/49F010",
       nullptr,
       {"stuck", 0x3, 0, 1},
       3,
       true,
       {}},
      {"protected sector, P3",
       HandlerId::AT49F00x_Click,
       413,
       "M29F040B",
       "cbFujitsu_fastmode",
       {"protect", 0x0, 0, 0},
       0,
       false,
       {}},
      {"no unlock bypass, P3",
       HandlerId::AT49F00x_Click,
       413,
       "M29F040B",
       "cbFujitsu_fastmode",
       {"nobypass", 0, 0, 0},
       0,
       false,
       {}},
      {"P7, a page that never finishes",
       HandlerId::Am29Fx00_Click,
       201,
       "MX29F1610",
       nullptr,
       {"slow", 0x3, 1000000, 0},
       3,
       true,
       daraz_test::kFastFormShift},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    if (c.box != nullptr) s.p.controls.Check(c.box);
    ASSERT_TRUE(s.chip->InjectFault(c.fault));
    const std::vector<uint8_t> data{0x11, 0x22, 0x33, 0x44, 0x55};
    s.Load(data);
    const int64_t start = s.board->clock().now_ns();
    s.Program();
    const int64_t took = s.board->clock().now_ns() - start;
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, " Error at 0x%06X  Chip", c.fails_at);
    EXPECT_EQ(s.Last().substr(0, 24), prefix) << s.Last();
    EXPECT_EQ(s.Last().substr(s.Last().find("buffer")),
              Mismatch(0, 0, data[c.fails_at]).substr(Mismatch(0, 0, 0).find("buffer")));
    if (c.by_time) {
      EXPECT_GE(took, 100'000'000);
    }
    EXPECT_LT(took, 1'000'000'000);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.host.Count(daraz_test::HostEvent::Type::kShowGauge), 1u) << "no verify pass";
    EXPECT_EQ(s.Violations(), c.violations);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(JedecFaults, P7TakesDq5AsTheStatusError) {
  FlashSession s;
  s.Select(HandlerId::Am29Fx00_Click, 201, "MX29F1610");
  ASSERT_TRUE(s.chip->InjectFault({"stuck", 0x1, 7, 1}));
  s.Load({0x00, 0x00, 0x00});
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Program ERROR (SR4 = 1)", hw::kError));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.p.controls.Text("pTwcp"), " 0x0 ") << "only byte 0 was done";
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// P2 (29F002) and P4 (Am29F400 in byte mode) each put 12 V on #RESET for
// the program when the box is checked; without it the protected sector
// keeps its cells and the program fails.
TEST(JedecFaults, AProtectedSectorProgramsOnlyWithTemporaryUnprotect) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    uint32_t address;
    bool polls_to_the_end;  // P4 reads back after its tenth send
  };
  const Case cases[] = {
      {HandlerId::AT49F00x_Click, 103, "29F002", 0x3C000, false},
      {HandlerId::Am29Fx00_Click, 103, "Am29F400", 0x10000, true},
  };
  for (const Case& c : cases) {
    for (const bool unprotect : {false, true}) {
      SCOPED_TRACE(std::string(c.caption) + (unprotect ? ", box checked" : ", box clear"));
      FlashSession s;
      s.Select(c.handler, c.tag, c.caption);
      ASSERT_TRUE(s.chip->InjectFault({"protect", c.address, 0, 0}));
      s.As<sim::JedecFlash>()->RecordWrites(true);
      s.p.controls.Check("cbProtect", unprotect);
      s.p.image.buffer_offset = c.address;
      s.Load({0x12, 0x34});
      s.Program();
      if (unprotect) {
        EXPECT_EQ(s.Last(), "Device Programmed OK");
      } else if (!c.polls_to_the_end) {
        EXPECT_EQ(s.Last(), Mismatch(c.address, 0xFF, 0x12));
      } else {
        EXPECT_EQ(s.Last().substr(0, 24), " Error at 0x010000  Chip");
      }
      EXPECT_EQ(s.p.error, unprotect ? 0 : 1);
      EXPECT_EQ(s.As<sim::JedecFlash>()->Cell(c.address + 1), unprotect ? 0x34 : 0xFF);
      // 12 V is on from the first send: the byte needs no second one.
      int sends = 0;
      for (const auto& w : s.As<sim::JedecFlash>()->writes()) sends += w.data == 0x12;
      EXPECT_EQ(sends, unprotect ? 1 : c.polls_to_the_end ? 10 : 9);
      EXPECT_TRUE(s.Violations().empty());
      EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    }
  }
}

// While Vcc is off the control register must have bit 0 set (no 12 V).
bool TwelveVoltsWithoutVcc(const std::vector<uint8_t>& control_writes) {
  for (const uint8_t c : control_writes) {
    if ((c & 0x04) == 0 && (c & 0x01) == 0) return true;
  }
  return false;
}

TEST(JedecFaults, P4ResendsTenTimesWithPowerDipsAndNoTwelveVoltsWhileUnpowered) {
  FlashSession s;
  s.Select(HandlerId::Am29Fx00_Click, 103, "Am29F400");
  auto* chip = s.As<sim::JedecFlash>();
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x2, 0, 1}));
  chip->RecordWrites(true);
  s.p.controls.Check("cbProtect");
  s.board->EnableTrace(true);
  s.Load({0x00, 0x00, 0x00, 0x00});
  s.Program();
  EXPECT_EQ(s.Last().substr(0, 24), " Error at 0x000002  Chip");
  EXPECT_EQ(ChipByteOf(s.Last()) & 0x80, 0x80) << "still programming when read back";
  EXPECT_EQ(WritesOf(chip, 0x2, 0x00), 10);
  // The dips: Vcc off for 400 ticks (335 us) and 12 V only with Vcc.
  const auto& trace = s.board->trace();
  int dips = 0;
  int64_t off_at = -1;
  for (const auto& e : trace) {
    if (!e.write || e.port != s.board->base() + 2) continue;
    if ((e.value & 0x04) == 0 && off_at < 0) off_at = e.time_ns;
    if ((e.value & 0x04) != 0 && off_at >= 0) {
      const int64_t off = e.time_ns - off_at;
      if (off < 500'000) {  // PowerUp's own cycle is longer
        ++dips;
        EXPECT_GE(off, 335'000);
      }
      off_at = -1;
    }
  }
  EXPECT_EQ(dips, 9);
  // The read-back wait after each send: twc (30), then 20 ticks more a
  // send, at most 100: from the byte's write to the release of the bus,
  // plus the two port accesses in between.
  const int waits[] = {30, 50, 70, 90, 100, 100, 100, 100, 100, 100};
  int send = 0;
  for (const auto& w : chip->writes()) {
    if (w.address != 0x2 || w.data != 0x00) continue;
    int64_t released = -1;
    for (const auto& e : trace) {
      if (e.write && e.port == s.board->base() + 2 && e.time_ns > w.time_ns &&
          (e.value & 0x02) == 0) {
        released = e.time_ns;
        break;
      }
    }
    ASSERT_LT(send, 10);
    const int64_t expected = static_cast<int64_t>(waits[send] * 838.1) + 2000;
    EXPECT_NEAR(static_cast<double>(released - w.time_ns), static_cast<double>(expected), 1000.0)
        << "send " << send + 1;
    ++send;
  }
  EXPECT_EQ(send, 10);
  EXPECT_FALSE(TwelveVoltsWithoutVcc(s.ControlWrites()));
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(JedecFaults, TheUnprotectBoxOfAnEarlierChipPutsNoTwelveVoltsOnA29F040) {
  FlashSession s;
  s.Select(HandlerId::AT49F00x_Click, 103, "29F002");
  s.p.controls.Check("cbProtect");
  s.Select(HandlerId::M29F_Click, 107, "29F040");
  s.board->EnableTrace(true);
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed by check DQ7");
  for (const uint8_t c : s.ControlWrites()) EXPECT_EQ(c & 0x01, 0x01) << "12 V on pin 1 (A18)";
  EXPECT_TRUE(s.Violations().empty());
}

// Without temporary unprotect the #RESET/Vpp pin never sees 12 V: not while
// programming, not at the pin's release before the verify, not in the erase.
TEST(JedecFaults, WithoutTheUnprotectBoxNoRoutinePutsTwelveVoltsOnReset) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    const char* box;
  };
  for (const Case c : {Case{HandlerId::AT49F00x_Click, 103, "29F002", nullptr},
                       Case{HandlerId::AT49F00x_Click, 413, "M29F040B", "cbFujitsu_fastmode"},
                       Case{HandlerId::Am29Fx00_Click, 103, "Am29F400", nullptr},
                       Case{HandlerId::Am29Fx00_Click, 303, "29LV800", "cbFujitsu_fastmode"},
                       Case{HandlerId::Am29Fx00_Click, 505, "AT49F8011", "cbFujitsu_fastmode"},
                       Case{HandlerId::Am29Fx00_Click, 201, "MX29F1610", nullptr}}) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    if (c.box != nullptr) s.p.controls.Check(c.box);
    s.board->EnableTrace(true);
    s.Erase();
    s.LoadRandom(0x40);
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programmed OK");
    for (const uint8_t w : s.ControlWrites()) ASSERT_EQ(w & 0x01, 0x01) << "12 V on #RESET";
  }
}

// P5 with the temporary-unprotect box: 12 V on #RESET (control bit 0 low)
// for the byte loop only. It comes off before the unlock-bypass exit, so the
// exit commands and the verify meet a part at logic level.
TEST(JedecFaults, P5TakesTwelveVoltsOffResetBeforeLeavingBypass) {
  FlashSession s;
  s.Select(HandlerId::Am29Fx00_Click, 303, "29LV800");
  s.p.controls.Check("cbFujitsu_fastmode");
  s.p.controls.Check("cbProtect");
  auto* chip = s.As<sim::JedecFlash>();
  chip->RecordWrites(true);
  s.board->EnableTrace(true);
  s.Load({0x5A, 0x00, 0x3C});
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  int64_t exit_ns = -1;
  for (const auto& w : chip->writes()) {
    if (w.data == 0x90) exit_ns = w.time_ns;
  }
  ASSERT_GE(exit_ns, 0) << "no bypass exit";
  bool twelve_volts_in_loop = false;
  int control_before_exit = -1;
  for (const auto& e : s.board->trace()) {
    if (!e.write || e.port != s.board->base() + 2) continue;
    if (e.time_ns < exit_ns) {
      control_before_exit = e.value;
      twelve_volts_in_loop |= (e.value & 0x01) == 0;
    } else {
      ASSERT_EQ(e.value & 0x01, 0x01) << "12 V back on #RESET after the exit";
    }
  }
  EXPECT_TRUE(twelve_volts_in_loop);
  EXPECT_EQ(control_before_exit & 0x01, 0x01) << "12 V still on #RESET at the exit";
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(JedecFaults, P1WithAnOffsetProgramsChipAddressOffsetPlusIndexFromImageIndex) {
  FlashSession s;
  s.Select(HandlerId::M29F_Click, 105, "29F010");
  s.p.image.buffer_offset = 0x100;
  const std::vector<uint8_t> data = s.LoadRandom(0x80);
  s.Program();
  EXPECT_EQ(s.host.Questions(), std::vector<std::string>{"Use offset of 0x000100"});
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  auto* chip = s.As<sim::JedecFlash>();
  for (uint32_t j = 0; j < data.size(); ++j) ASSERT_EQ(chip->Cell(0x100 + j), data[j]) << j;
  EXPECT_EQ(chip->Cell(0xFF), 0xFF);
}

// Where the short and standard sets decode alike (the A29040A compares
// eleven address bits), the addresses the routine sends are pinned.
TEST(JedecFaults, TheShortSetIsSentToShortSetPartsAndTheNextSelectionIsStandardAgain) {
  FlashSession s;
  s.Select(HandlerId::M29F_Click, 403, "A29040A");
  auto* chip = s.As<sim::JedecFlash>();
  chip->RecordWrites(true);
  s.Load({0x5A});
  s.Program();
  ASSERT_GE(chip->writes().size(), 4u);
  EXPECT_EQ(chip->writes()[0].address, 0x555u);
  EXPECT_EQ(chip->writes()[1].address, 0x2AAu);
  EXPECT_EQ(chip->writes()[2].address, 0x555u);

  s.Select(HandlerId::M29F_Click, 107, "29F040");  // decodes 15 bits: the short set fails there
  s.Load({0x5A});
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
}

TEST(JedecFaults, TheFastFormReachesTheSecondAndThirdAddressByOneShift) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    uint32_t first, second, third;
  };
  for (const Case c : {Case{HandlerId::M29F_Click, 105, "29F010", 0x5555, 0xAAAA, 0x5555},
                       Case{HandlerId::Am29Fx00_Click, 103, "Am29F400", 0xAAAA, 0x5555, 0xAAAA}}) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.p.controls.Check("cbFastPro");
    auto* chip = s.As<sim::JedecFlash>();
    chip->RecordWrites(true);
    s.Load({0x5A});
    s.Program();
    ASSERT_GE(chip->writes().size(), 4u);
    EXPECT_EQ(chip->writes()[0].address, c.first);
    EXPECT_EQ(chip->writes()[1].address, c.second);
    EXPECT_EQ(chip->writes()[2].address, c.third);
    EXPECT_EQ(chip->writes()[3].address, 0u);
    EXPECT_EQ(s.Last(), "Device Programmed OK");
  }
}

// Records the address on the socket at each OE# rising edge.
class OeRises : public sim::TraceSink {
 public:
  void Record(const sim::TraceEntry&, const sim::SocketSignals& s) override {
    if (s.vcc && s.oe_n && !oe_high_) addresses.push_back(s.address);
    oe_high_ = s.oe_n;
  }
  bool Finish(std::string*) override { return true; }
  std::vector<uint32_t> addresses;

 private:
  bool oe_high_ = false;
};

TEST(JedecFaults, Sst28SoftwareUnprotectIsSevenReadsTakenAsOeRises) {
  FlashSession s;
  s.Select(HandlerId::SST28xF040A1Click, 1, "SST28xF040A");
  OeRises rises;
  s.board->SetTraceSink(&rises);
  s.Fill(0x00);
  s.Erase();
  s.board->SetTraceSink(nullptr);
  const std::vector<uint32_t> unprotect{0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x041A};
  EXPECT_NE(std::search(rises.addresses.begin(), rises.addresses.end(), unprotect.begin(),
                        unprotect.end()),
            rises.addresses.end());
  EXPECT_EQ(s.Last(), "erase completed");
  EXPECT_EQ(s.Cells()[0x7FFFF], 0xFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
