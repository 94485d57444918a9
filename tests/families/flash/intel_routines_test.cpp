// Intel command-set routines end to end: one round trip per routine, the
// faults they must notice, the erases, the identifier reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "families/flash/flash_fixture.h"
#include "sim/flash12v.h"
#include "sim/flash12v_embedded.h"
#include "sim/wsm_flash.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;
using Type = daraz_test::HostEvent::Type;

bool AllErased(const std::vector<uint8_t>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](uint8_t b) { return b == 0xFF; });
}

struct RoundTrip {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  const char* erased;  // the erase's last message
  const char* programmed;
  bool wire = false;       // the 28F001BX's pin 1 to pin 30 wire is fitted
  bool no_buffer = false;  // the J3's buffered-write box cleared
  uint32_t at = 0;         // where the data goes (a buffer offset)
};

class IntelRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(IntelRoundTrip, ErasesProgramsAndReadsBack) {
  const RoundTrip& c = GetParam();
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  s.chip->SetJumper("wirelink", c.wire);
  if (c.no_buffer) s.p.controls.Check("cb28F320J3buffer", false);
  s.Fill(0x00);
  s.Erase();
  EXPECT_EQ(s.Last(), c.erased);
  EXPECT_TRUE(AllErased(s.Cells()));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.p.image.buffer_offset = c.at;
  const std::vector<uint8_t> data = s.LoadRandom(0x1000, 7);
  s.Program();
  EXPECT_EQ(s.Last(), c.programmed);
  EXPECT_EQ(s.p.error, 0);
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[c.at + i], data[i]) << "cell " << i;
  EXPECT_TRUE(s.Violations().empty());
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.p.image.buffer_offset = 0;
  s.ReadBack(c.at + 0x1000);
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(s.p.image[c.at + i], data[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Routines, IntelRoundTrip,
    ::testing::Values(RoundTrip{"I1_I3_28F010", HandlerId::M28F_Click, 105, "28F010",
                                "Erase Completed", "Device Compares OK"},
                      RoundTrip{"I2_I4_Am28F010A", HandlerId::M28F_Click, 123, "Am28F010A",
                                "erase completed by check DQ7", "Device Compares OK"},
                      RoundTrip{"I11_I12_MX28F1000P", HandlerId::MX28F20001Click, 101, "MX28F1000P",
                                "erase CHIP completed by check DQ7", "Device Compares OK"},
                      RoundTrip{"I5_I6_28F001BX_T_boot_block", HandlerId::i28Fx00_Click, 201,
                                "28F001BX-T", "erase completed", "Device Programmed OK", true,
                                false, 0x1F000},
                      RoundTrip{"I5_I6_28F400B5_T", HandlerId::i28Fx00_Click, 103, "28F400 B5- T",
                                "erase completed", "Device Programmed OK", false, false, 0x7E000},
                      RoundTrip{"I8_I6_28F320J3_buffered", HandlerId::i28Fx00_Click, 301,
                                "28F320J3", "erase completed", "Device Programmed OK", false, false,
                                0x10},
                      RoundTrip{"I8_I6_28F320J3_bytes", HandlerId::i28Fx00_Click, 301, "28F320J3",
                                "erase completed", "Device Programmed OK", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntelFaults, A28FByteThatNeverProgramsGets26PulsesAndNoVerify) {
  FlashSession s;
  s.Select(HandlerId::M28F_Click, 105, "28F010");
  auto* chip = s.As<sim::Flash12V>();
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x21, 6, 1}));
  s.Load(std::vector<uint8_t>(0x30, 0x00));
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000021  Chip = 0x40  buffer = 0x00");
  EXPECT_EQ(chip->ProgramsAt(0x21), 26);
  EXPECT_EQ(chip->ProgramsAt(0x20), 1);
  EXPECT_EQ(s.host.Count(Type::kShowGauge), 1u) << "no verify pass";
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(IntelFaults, StatusRegisterFailuresOfTheByteProgram) {
  struct Case {
    const char* name;
    int tag;
    const char* caption;
    sim::ChipFault fault;
    bool wire;
    const char* last;
    int error;
  };
  const Case cases[] = {
      {"Vpp missing", 204, "28F002BX-T", {"novpp", 0, 0, 0}, false, "  Vpp Range Error", 1},
      {"one-time SR4",
       204,
       "28F002BX-T",
       {"sr4-once", 0x5, 0, 0},
       false,
       "Device Programmed OK",
       0},
      {"boot block without the wire",
       201,
       "28F001BX-T",
       {"slow", 0, 1, 0},
       false,
       "  Byte Program Error",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FlashSession s;
    s.Select(HandlerId::i28Fx00_Click, c.tag, c.caption);
    ASSERT_TRUE(s.chip->InjectFault(c.fault));
    s.chip->SetJumper("wirelink", c.wire);
    s.p.image.buffer_offset = c.tag == 201 ? 0x1E000 : 0;
    s.Load({0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70});
    s.Program();
    EXPECT_EQ(s.Last(), c.last);
    EXPECT_EQ(s.p.error, c.error);
    EXPECT_TRUE(s.Violations().empty());
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(IntelFaults, AResendClearsTheStatusFirst) {
  FlashSession s;
  s.Select(HandlerId::i28Fx00_Click, 161, "28F004 S5");
  auto* chip = s.As<sim::WsmFlash>();
  ASSERT_TRUE(chip->InjectFault({"sr4-once", 0x3, 0, 0}));
  s.Load({1, 2, 3, 4, 5});
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(chip->status_clears(), 1u);
  EXPECT_EQ(chip->programs(), 6u);
}

// A part whose status register always reads one value, for the texts of
// each status the block erase can meet.
// The first `ready_reads` reads show the state machine ready instead.
class FixedStatus final : public sim::Chip {
 public:
  explicit FixedStatus(uint8_t status, int ready_reads = 0)
      : status_(status), ready_reads_(ready_reads) {}
  void Update(const sim::Pins&) override {}
  std::optional<uint8_t> DataOut(const sim::Pins& pins) override {
    if (!pins.power() || pins.drive()) return std::nullopt;
    return ready_reads_-- > 0 ? uint8_t{0x80} : status_;
  }
  std::vector<uint8_t> Contents() const override { return {}; }
  void SetContents(const std::vector<uint8_t>&) override {}

 private:
  uint8_t status_;
  int ready_reads_;
};

TEST(IntelFaults, EachBlockEraseStatusHasItsText) {
  struct Case {
    uint8_t status;
    const char* text;
  };
  for (const Case c : {Case{0xB0, " Command Sequence Error"}, Case{0xA0, " Block Erase Error"},
                       Case{0x88, "   Vpp Range Error"}, Case{0xA8, "   Vpp Range Error"}}) {
    SCOPED_TRACE(c.text);
    FlashSession s;
    s.Select(HandlerId::i28Fx00_Click, 103, "28F400 B5- T");
    s.board->InsertChip(std::make_unique<FixedStatus>(c.status));
    s.Erase();
    EXPECT_EQ(s.Last(), c.text);
    EXPECT_EQ(s.host.LastMessage().second, hw::kError);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.host.refreshes, 0) << "the first block already failed";
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// A part whose state machine never reports ready (SR7 stays 0): every
// status poll gives up, so the action ends with the part's failure text
// instead of hanging. A byte or buffer gets 100 ms a try (ten tries for
// I5, five for I8), a block erase 30 s, the J3's lock clear 5 s. The port
// is slowed to 100 us an access only to keep the dead polls short; the
// upper bounds leave room for the accesses between tries.
TEST(IntelFaults, AStateMachineThatNeverFinishesEndsEachAction) {
  struct Case {
    int tag;
    const char* caption;
    bool erase;
    int ready_reads;  // the J3's lock clear answered first
    const char* text;
    int64_t at_least_ns, at_most_ns;
  };
  const Case cases[] = {
      {103, "28F400 B5- T", true, 0, " Block Erase Error", 30'000'000'000, 30'500'000'000},
      {161, "28F004 S5", false, 0, "  Byte Program Error", 1'000'000'000, 1'500'000'000},
      {301, "28F320J3", true, 0, " Block Erase Error", 5'000'000'000, 5'500'000'000},
      {301, "28F320J3", false, 1, "  ERROR Word Program Fail", 500'000'000, 750'000'000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(HandlerId::i28Fx00_Click, c.tag, c.caption);
    s.board->InsertChip(std::make_unique<FixedStatus>(0x00, c.ready_reads));
    s.board->SetAccessCost(100'000);
    s.Load({0x12});
    const int64_t start = s.p.bus.clock().Now();
    c.erase ? s.Erase() : s.Program();
    const int64_t took = s.p.bus.clock().Now() - start;
    EXPECT_EQ(s.Last(), c.text);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_GE(took, c.at_least_ns);
    EXPECT_LT(took, c.at_most_ns);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// The embedded erases that give up: I4 after 2000 DQ7 passes, I12 after
// 1000. Each sets the error flag whatever colour its text has.
TEST(IntelFaults, AnEraseThatNeverEndsIsAFailure) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    sim::ChipFault fault;
    const char* text;
    int kind;
    int refreshes;  // DQ7 passes
  };
  const Case cases[] = {
      {HandlerId::M28F_Click,
       122,
       "Am28F512A",
       {"busy-forever", 0, 0, 0},
       "erase Chip Fail (Time Out)",
       hw::kResult,
       2000},
      {HandlerId::MX28F20001Click,
       101,
       "MX28F1000P",
       {"busy-forever", 0, 0, 0},
       "Erase Fail ",
       hw::kResult,
       1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    ASSERT_TRUE(s.chip->InjectFault(c.fault));
    s.Erase();
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(c.text), c.kind));
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.host.refreshes, c.refreshes);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(IntelErase, QuickEraseGivesEachAddressAtMost1001Pulses) {
  for (const int extra : {1000, 1001}) {
    SCOPED_TRACE(extra);
    FlashSession s;
    s.Select(HandlerId::M28F_Click, 103, "28F256");
    auto* chip = s.As<sim::Flash12V>();
    ASSERT_TRUE(chip->InjectFault({"erase-pulses", 0x10, extra, 0}));
    s.Erase();
    EXPECT_EQ(chip->erase_operations(), 1001u);
    if (extra == 1000) {
      EXPECT_EQ(s.Last(), "Erase Completed");
      EXPECT_EQ(s.p.error, 0);
    } else {
      EXPECT_EQ(s.host.LastMessage(),
                std::make_pair(std::string("Error erasing chip"), static_cast<int>(hw::kError)));
      EXPECT_EQ(s.p.error, 1);
    }
    EXPECT_TRUE(s.Violations().empty());
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(IntelErase, QuickEraseFillsVerifiesEveryAddressAndResumesWhereACellNeedsMore) {
  FlashSession s;
  s.Select(HandlerId::M28F_Click, 103, "28F256");
  auto* chip = s.As<sim::Flash12V>();
  ASSERT_TRUE(chip->InjectFault({"erase-pulses", 0x100, 2, 0}));
  std::vector<uint8_t> cells(32 * 1024, 0x5A);
  chip->SetContents(cells);
  s.p.image.buffer_offset = 0x4000;
  s.Load({1, 2, 3});
  s.Erase();
  EXPECT_EQ(s.Last(), "Erase Completed");
  EXPECT_TRUE(s.host.Questions().empty()) << "the erase asks nothing about the offset";
  EXPECT_EQ(s.p.image.data_end, 3u);
  EXPECT_TRUE(AllErased(s.Cells()));
  EXPECT_EQ(chip->erase_operations(), 3u);
  EXPECT_EQ(chip->erase_verifies(), 32u * 1024 + 2) << "address 0x100 verified three times";
  const auto gauges = s.host.Of(Type::kShowGauge);
  ASSERT_EQ(gauges.size(), 2u);
  EXPECT_EQ(gauges[0].text, "Erasing chip #1 ( Fill 0x00 )");
  EXPECT_EQ(gauges[1].text, "Erasing chip and Erase Verify");
  EXPECT_TRUE(s.Violations().empty()) << "every cell was 0x00 before the erase";
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(IntelErase, FastEraseSkipsTheFillVerifiesEveryTwentiethAddressAndOverErases) {
  FlashSession s;
  s.Select(HandlerId::M28F_Click, 104, "28F512");
  s.p.controls.Check("cb28FastErase");
  auto* chip = s.As<sim::Flash12V>();
  s.Erase();
  EXPECT_EQ(s.Last(), "Erase Completed");
  EXPECT_EQ(chip->erase_verifies(), (64u * 1024 + 19) / 20);
  EXPECT_EQ(chip->program_operations(), 0u);
  EXPECT_EQ(s.Violations(),
            std::vector<std::string>{"over-erase: erase of cells not programmed to 0x00 first"});
}

TEST(IntelErase, CancelInEachEraseSaysSoAndPowersDown) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    const char* text;
  };
  for (const Case c : {Case{HandlerId::M28F_Click, 105, "28F010", "Erase interrupted!"},
                       Case{HandlerId::M28F_Click, 123, "Am28F010A", "program interrupted!"},
                       Case{HandlerId::MX28F20001Click, 101, "MX28F1000P", "program interrupted!"},
                       Case{HandlerId::i28Fx00_Click, 103, "28F400 B5- T", "program interrupted!"},
                       Case{HandlerId::i28Fx00_Click, 301, "28F320J3", "program interrupted!"}}) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.host.CancelAtRefresh(s.p, 2);
    s.Erase();
    EXPECT_EQ(s.Last(), c.text);
    EXPECT_EQ(s.host.LastMessage().second, hw::kError);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  FlashSession s;  // and by the memory map
  s.Select(HandlerId::i28Fx00_Click, 103, "28F400 B5- T");
  s.p.controls.Check("cbMemMap");
  s.host.CancelAtRefresh(s.p, 2);
  s.Erase();
  EXPECT_EQ(s.Last(), "program interrupted!");
}

TEST(IntelErase, TheJ3ClearsItsLockBitsOnceAndWaitsForThem) {
  FlashSession s;
  s.Select(HandlerId::i28Fx00_Click, 301, "28F320J3");
  auto* chip = s.As<sim::WsmFlash>();
  s.Fill(0x00);
  ASSERT_TRUE(chip->InjectFault({"protect", 0x000000, 0, 0}));
  ASSERT_TRUE(chip->InjectFault({"protect", 0x3E0000, 0, 0}));
  ASSERT_TRUE(chip->InjectFault({"slow", 0x0, 2, 0}));  // 1 s, past the 0.7 s maximum
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed");
  EXPECT_EQ(chip->lock_clears(), 1u);
  EXPECT_EQ(chip->erases(), 32u);
  EXPECT_TRUE(AllErased(s.Cells()));
  EXPECT_TRUE(s.Violations().empty()) << "no 12 V on VPEN, no write while busy";
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(IntelErase, ByMemoryMapEveryEightKilobytes) {
  FlashSession s;
  s.Select(HandlerId::i28Fx00_Click, 102, "28F200 B5- B");
  s.p.controls.Check("cbMemMap");
  auto* chip = s.As<sim::WsmFlash>();
  s.Fill(0x00);
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed");
  EXPECT_EQ(chip->erases(), 32u);
  EXPECT_EQ(s.host.Of(Type::kShowGauge)[0].text, "Erasing chip by use Memory Map 8KB/block");
  EXPECT_TRUE(AllErased(s.Cells()));
}

// --- Get ID ----------------------------------------------------------------------------

TEST(IntelGetId, IdentifierCodesWhereEachPartKeepsThem) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    const char* codes[2];
    const char* names[2];
    bool cfi;
  };
  const Case cases[] = {
      {HandlerId::M28F_Click, 105, "28F010", {" 0x89", " 0xB4"}, {" Intel", " 28F010"}, false},
      {HandlerId::M28F_Click, 123, "Am28F010A", {" 0x01", " 0xA2"}, {" AMD", " Am28F010A"}, false},
      {HandlerId::i28Fx00_Click,
       103,
       "28F400 B5- T",
       {" 0x89", " 0x70"},
       {" Intel", " 28F400xx-T"},
       false},
      {HandlerId::i28Fx00_Click,
       161,
       "28F004 S5",
       {" 0x89", " 0xA7"},
       {" Intel", " 28F004 S5"},
       false},
      {HandlerId::i28Fx00_Click,
       201,
       "28F001BX-T",
       {" 0x89", " 0x94"},
       {" Intel", " 28F001BX-T"},
       false},
      {HandlerId::i28Fx00_Click,
       301,
       "28F320J3",
       {" 0x89", " 0x16"},
       {" Intel", " 28F320 J3"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.GetId();
    const app::Controls& k = s.p.controls;
    EXPECT_EQ(k.Text("edManufacID"), c.codes[0]);
    EXPECT_EQ(k.Text("edDeviceID"), c.codes[1]);
    EXPECT_EQ(k.Text("edManufacName"), c.names[0]);
    EXPECT_EQ(k.Text("edDeviceName"), c.names[1]);
    EXPECT_EQ(k.Visible("btnCFI"), c.cfi);
    EXPECT_TRUE(s.Violations().empty());
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
