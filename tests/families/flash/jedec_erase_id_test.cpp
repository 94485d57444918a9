// JEDEC erase and Get ID routines end to end.
#include <gtest/gtest.h>

#include <algorithm>

#include "families/flash/flash_fixture.h"
#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"
#include "sim/sst28_flash.h"
#include "sim/trace.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;
using Type = daraz_test::HostEvent::Type;

bool AllErased(const std::vector<uint8_t>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](uint8_t b) { return b == 0xFF; });
}

// Each erase: what it says, the cells it leaves, the gauge, the peak texts.
TEST(JedecErase, EachEraseEndsAsItsPartSays) {
  struct Case {
    const char* name;
    HandlerId handler;
    int tag;
    const char* caption;
    const char* gauge;
    int64_t maximum;
    const char* done;
  };
  const Case cases[] = {
      {"E1", HandlerId::M29F_Click, 107, "29F040", "erasing chip delay time 40 Sec", 4000,
       "erase completed by check DQ7"},
      {"E2", HandlerId::Am29Fx00_Click, 102, "Am29F200", "Erasing chip (40 sec) ,check DQ6,DQ7",
       5000, "erase completed by check DQ7"},
      {"E3", HandlerId::SST28xF040A1Click, 1, "SST28xF040A", "erasing chip", 25, "erase completed"},
      {"E4", HandlerId::SST28xF040A1Click, 10, "LE28F4001", "Sector erasing chip ", 0x7FFFF,
       "Sector Erase All completed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.Fill(0x00);
    s.Erase();
    EXPECT_EQ(s.Last(), c.done);
    EXPECT_TRUE(AllErased(s.Cells()));
    const auto gauges = s.host.Of(Type::kShowGauge);
    ASSERT_EQ(gauges.size(), 1u);
    EXPECT_EQ(gauges[0].text, c.gauge);
    EXPECT_EQ(gauges[0].value, c.maximum);
    EXPECT_EQ(s.p.error, 0);
    EXPECT_TRUE(s.Violations().empty());
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(JedecErase, E1ShowsTheTimerAndItsSecondsWhileDq7IsLow) {
  FlashSession s;
  s.Select(HandlerId::M29F_Click, 105, "29F010");  // 8 s: about 950 passes of 8.4 ms
  s.Erase();
  EXPECT_EQ(s.p.controls.Text("lbLoopPeak"), "  timer ");
  const std::string shown = s.p.controls.Text("pLoopp");
  EXPECT_EQ(shown.substr(0, 2), " 9") << shown;
  EXPECT_EQ(shown.substr(shown.size() - 4), " Sec");
  EXPECT_EQ(s.Last(), "erase completed by check DQ7");
}

TEST(JedecErase, AnEraseThatNeverEndsAndAnEmptySocket) {
  {
    FlashSession s;  // E1 keeps the time-out as success
    s.Select(HandlerId::M29F_Click, 106, "29F020");
    ASSERT_TRUE(s.chip->InjectFault({"busy-forever", 0, 0, 0}));
    s.Erase();
    EXPECT_EQ(s.Last(), "erase completed by time out");
    EXPECT_EQ(s.host.refreshes, 4000);
    EXPECT_EQ(s.p.error, 0);
  }
  {
    FlashSession s;  // E2 calls it a failure
    s.Select(HandlerId::Am29Fx00_Click, 101, "Am29F100");
    ASSERT_TRUE(s.chip->InjectFault({"busy-forever", 0, 0, 0}));
    s.Erase();
    EXPECT_EQ(s.Last(), "Error erasing chip ");
    EXPECT_EQ(s.host.LastMessage().second, hw::kResult);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  {
    FlashSession s;  // nothing in the socket: DQ7 floats high at once
    s.Select(HandlerId::M29F_Click, 105, "29F010");
    s.board->RemoveChip();
    s.Erase();
    EXPECT_EQ(s.Last(), "erase completed by check DQ7");
    EXPECT_EQ(s.host.refreshes, 1);
  }
}

TEST(JedecErase, CancelInEachEraseSaysSoAndPowersDown) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
  };
  for (const Case c : {Case{HandlerId::M29F_Click, 105, "29F010"},
                       Case{HandlerId::Am29Fx00_Click, 102, "Am29F200"},
                       Case{HandlerId::SST28xF040A1Click, 1, "SST28xF040A"},
                       Case{HandlerId::SST28xF040A1Click, 10, "LE28F4001"}}) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.Fill(0x00);
    s.host.CancelAtRefresh(s.p, 3);
    s.Erase();
    EXPECT_EQ(s.Last(), "program interrupted!");
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// E2 over a part whose erase cannot finish (a bit stuck at 0): DQ7 never
// rises, and when its passes run out E2 reports the failure.
TEST(JedecErase, E2OverABitStuckAtZeroReportsItsFailure) {
  FlashSession s;
  s.Select(HandlerId::Am29Fx00_Click, 103, "Am29F400");
  ASSERT_TRUE(s.chip->InjectFault({"stuck", 0x100, 0, 0}));
  s.Erase();
  EXPECT_EQ(s.host.LastMessage(),
            std::make_pair(std::string("Error erasing chip "), static_cast<int>(hw::kResult)));
  EXPECT_FALSE(s.host.HasMessage("erase completed by check DQ7"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// --- Get ID --------------------------------------------------------------------------

struct IdCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  const char* part;  // the part in the socket when not the entry's own
  const char* codes[2];
  const char* names[2];
  bool cfi;
};

class JedecGetId : public ::testing::TestWithParam<IdCase> {};

TEST_P(JedecGetId, NamesThePartFromItsDatasheetCodes) {
  const IdCase& c = GetParam();
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  if (c.part != nullptr) {
    s.board->InsertChip(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart(c.part)));
  }
  s.GetId();
  const app::Controls& k = s.p.controls;
  EXPECT_EQ(k.Text("edManufacID"), c.codes[0]);
  EXPECT_EQ(k.Text("edDeviceID"), c.codes[1]);
  EXPECT_EQ(k.Text("edManufacName"), c.names[0]);
  EXPECT_EQ(k.Text("edDeviceName"), c.names[1]);
  EXPECT_EQ(k.Visible("btnCFI"), c.cfi);
  EXPECT_EQ(s.p.dev.cfi[0] == 'Q' && s.p.dev.cfi[1] == 'R' && s.p.dev.cfi[2] == 'Y', c.cfi);
  EXPECT_TRUE(s.Violations().empty());
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

INSTANTIATE_TEST_SUITE_P(Forms, JedecGetId,
                         ::testing::Values(IdCase{"G1",
                                                  HandlerId::M29F_Click,
                                                  107,
                                                  "29F040",
                                                  nullptr,
                                                  {" 0x01", " 0xA4"},
                                                  {" AMD", " Am29F040"},
                                                  false},
                                           IdCase{"G1_continuation",
                                                  HandlerId::M29F_Click,
                                                  107,
                                                  "29F040",
                                                  "A29040A",
                                                  {" 0x37", " 0x86"},
                                                  {" AMIC", " A29040A"},
                                                  false},
                                           IdCase{"G1_MXIC",
                                                  HandlerId::M29F_Click,
                                                  315,
                                                  "MX29F004 - T",
                                                  nullptr,
                                                  {" 0xC2", " 0x45"},
                                                  {" MXIC (MACRONIX)", " MX29F004T"},
                                                  false},
                                           IdCase{"G1_CFI_x8",
                                                  HandlerId::M29F_Click,
                                                  107,
                                                  "29F040",
                                                  "Am29LV065D",
                                                  {" 0x01", " 0x93"},
                                                  {" AMD", ""},
                                                  true},
                                           IdCase{"G2_repeats",
                                                  HandlerId::M29F_Click,
                                                  403,
                                                  "A29040A",
                                                  nullptr,
                                                  {" 0x37", " 0x86"},
                                                  {" AMIC", " A29040A"},
                                                  false},
                                           IdCase{"G2_SST",
                                                  HandlerId::M29F_Click,
                                                  202,
                                                  "39SF/49F010",
                                                  nullptr,
                                                  {" 0xBF", " 0xB5"},
                                                  {" SST / Sanyo", " SST39SF010A"},
                                                  false},
                                           IdCase{"G2_CFI_x8",
                                                  HandlerId::AT49F00x_Click,
                                                  501,
                                                  "Am29LV065  (64Mb)",
                                                  nullptr,
                                                  {" 0x01", " 0x93"},
                                                  {" AMD", ""},
                                                  true},
                                           IdCase{"G3",
                                                  HandlerId::Am29Fx00_Click,
                                                  103,
                                                  "Am29F400",
                                                  nullptr,
                                                  {" 0x01", " 0x23"},
                                                  {" AMD", " Am29F400T"},
                                                  false},
                                           IdCase{"G3_continuation",
                                                  HandlerId::Am29Fx00_Click,
                                                  604,
                                                  "EN29F800",
                                                  nullptr,
                                                  {" 0x1C", " 0xD6"},
                                                  {" EON", " EN29F800T"},
                                                  false},
                                           IdCase{"G3_CFI",
                                                  HandlerId::Am29Fx00_Click,
                                                  302,
                                                  "29LV400",
                                                  nullptr,
                                                  {" 0x01", " 0xB9"},
                                                  {" AMD", " Am29LV400BT"},
                                                  true},
                                           IdCase{"G4",
                                                  HandlerId::SST28xF040A1Click,
                                                  1,
                                                  "SST28xF040A",
                                                  nullptr,
                                                  {" 0xBF", " 0x04"},
                                                  {" SST / Sanyo", " SST28SF/VF040A"},
                                                  false},
                                           // The same die under its second source's name,
                                           // family 25: the same routine reads it.
                                           IdCase{"G4_LE28F4001",
                                                  HandlerId::SST28xF040A1Click,
                                                  10,
                                                  "LE28F4001",
                                                  nullptr,
                                                  {" 0xBF", " 0x04"},
                                                  {" SST / Sanyo", " SST28SF/VF040A"},
                                                  false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Only a maker code of 0x7F is a continuation: a part that answers 0x01
// and a device code of 0x7F is named from those two bytes, and its bank at
// 0x100 is never read.
TEST(JedecGetIdExtras, ADeviceCodeOf0x7FIsNoContinuation) {
  struct ReadAddresses : sim::TraceSink {
    void Record(const sim::TraceEntry&, const sim::SocketSignals& socket) override {
      if (socket.read_load) read.push_back(socket.address);
    }
    bool Finish(std::string*) override { return true; }
    std::vector<uint32_t> read;
  };
  FlashSession s;
  s.Select(HandlerId::M29F_Click, 107, "29F040");
  sim::JedecPart part = *sim::FindJedecPart("Am29F040");
  part.device = 0x7F;
  s.board->InsertChip(std::make_unique<sim::JedecFlash>(part));
  ReadAddresses sink;
  s.board->SetTraceSink(&sink);
  s.GetId();
  s.board->SetTraceSink(nullptr);
  EXPECT_EQ(s.p.controls.Text("edManufacID"), " 0x01");
  EXPECT_EQ(s.p.controls.Text("edDeviceID"), " 0x7F");
  ASSERT_FALSE(sink.read.empty());
  for (const uint32_t a : sink.read) EXPECT_NE(a & ~1u, 0x100u) << "read the second bank";
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(JedecGetIdExtras, TheFourBytesTheLockBytesAndTheQueryTableStayForLater) {
  FlashSession s;
  s.Select(HandlerId::M29F_Click, 105, "29F010");
  s.As<sim::JedecFlash>()->Protect(0, true);
  s.GetId();
  EXPECT_EQ(s.p.dev.id_extra, app::Descriptor::IdExtra::kFourBytes);
  EXPECT_EQ(s.p.dev.id_bytes, (std::array<uint8_t, 4>{0x01, 0x20, 0x01, 0x00}));
  EXPECT_EQ(s.p.controls.Text("edLockMode"), " 01 20 01 00");

  s.Select(HandlerId::AT49F00x_Click, 103, "AT49F002");
  s.As<sim::JedecFlash>()->Protect(0, true);  // the boot block locked out
  s.GetId();
  EXPECT_EQ(s.p.dev.id_extra, app::Descriptor::IdExtra::kLockBytes);
  EXPECT_EQ(s.p.dev.lock_bytes, (std::array<uint8_t, 2>{0xFF, 0xFF}));
  EXPECT_EQ(s.p.controls.Text("edLockMode"), " Lock FF FF");
  EXPECT_EQ(s.p.controls.Text("edDeviceName"), " AT49F002(N)");

  s.Select(HandlerId::Am29Fx00_Click, 302, "29LV400");
  s.GetId();
  EXPECT_EQ(s.p.dev.cfi[0x2C - 0x10], 4) << "erase regions";
  EXPECT_EQ(s.p.dev.cfi[0x40 - 0x10], 'P');
}

TEST(JedecGetIdExtras, TheNextActionReadsTheArrayAgain) {
  FlashSession s;
  s.Select(HandlerId::Am29Fx00_Click, 302, "29LV400");
  std::vector<uint8_t> cells(512 * 1024, 0xFF);
  for (uint32_t i = 0; i < 0x100; ++i) cells[i] = static_cast<uint8_t>(i);
  s.chip->SetContents(cells);
  s.GetId();
  s.ReadBack(0x100);
  for (uint32_t i = 0; i < 0x100; ++i) ASSERT_EQ(s.p.image[i], i);
}

TEST(JedecGetIdExtras, AnIdentificationSetsTheFastModeBoxForThePartsThatHaveIt) {
  FlashSession s;
  s.Select(HandlerId::AT49F00x_Click, 411, "M29F010B");
  s.GetId();
  EXPECT_EQ(s.p.controls.Text("edDeviceName"), " M29F010B");
  EXPECT_TRUE(s.p.controls.Checked("cbFujitsu_fastmode"));
  s.Load({0x12, 0x34});
  s.Program();  // now in unlock-bypass mode
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  s.board->InsertChip(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("M29F040B")));
  s.GetId();
  EXPECT_FALSE(s.p.controls.Checked("cbFujitsu_fastmode"));
}

}  // namespace
