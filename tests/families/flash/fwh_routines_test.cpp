// The firmware-hub families end to end through the address-multiplexed
// adapter: every access loads its address on R/C# edges.
#include <gtest/gtest.h>

#include <algorithm>

#include "families/flash/flash_fixture.h"
#include "families/flash/fwh/fwh.h"
#include "families/flash/fwh/fwh_bus.h"
#include "sim/jedec_flash.h"
#include "sim/wsm_flash.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

bool AllErased(const std::vector<uint8_t>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](uint8_t b) { return b == 0xFF; });
}

struct HubCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  const char* erased;
  bool quad = false;
  bool smart = false;
};

class HubRoundTrip : public ::testing::TestWithParam<HubCase> {};

TEST_P(HubRoundTrip, ErasesProgramsVerifiesAndReadsBack) {
  const HubCase& c = GetParam();
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  s.p.controls.Check("cbQuadruple", c.quad);
  s.p.controls.Check("cbSamartProg", c.smart);
  s.Fill(0x00);
  s.Erase();
  EXPECT_EQ(s.Last(), c.erased);
  EXPECT_EQ(s.p.error, 0);
  const auto gauges = s.host.Of(daraz_test::RecordingHost::Type::kShowGauge);
  ASSERT_FALSE(gauges.empty());
  EXPECT_EQ(gauges.front().text, c.handler == HandlerId::N82802AB_Click
                                     ? "Erasing chip 50 Sec"
                                     : "erasing chip delay time 40 Sec");
  EXPECT_TRUE(AllErased(s.Cells()));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.Blank();
  EXPECT_EQ(s.Last(), "Device Emtry");

  const std::vector<uint8_t> data = s.LoadRandom(0x400, 5);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.error, 0);
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[i], data[i]) << "cell " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.ReadBack(0x800);
  EXPECT_EQ(s.Last(), "Chip read OK");
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(s.p.image[i], data[i]) << "byte " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Routines, HubRoundTrip,
    ::testing::Values(HubCase{"F3_F4_82802AB", HandlerId::N82802AB_Click, 101, "intel 82802AB",
                              "erase completed"},
                      HubCase{"F3_F4_AT49LW040_boot_blocks", HandlerId::N82802AB_Click, 101,
                              "AT49LW040", "erase completed"},
                      HubCase{"F3_quadruple_M50FW040", HandlerId::N82802AB_Click, 112, "M50FW040",
                              "erase completed", true},
                      HubCase{"F6_F7_SST49LF002A", HandlerId::SST49LF002_Click, 101, "SST49LF002A",
                              "erase completed by check DQ7"},
                      HubCase{"F6_F7_W49V002A_smart", HandlerId::SST49LF002_Click, 101, "W49V002A",
                              "erase completed by check DQ7", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The Intel Get ID reads the codes through the multiplexed load and leaves
// the part reading array data.
TEST(HubIdentify, CodesOfBothFamilies) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    const char* device;
  };
  for (const Case& c : {Case{HandlerId::N82802AB_Click, 101, "intel 82802AB", " 82802AB"},
                        Case{HandlerId::SST49LF002_Click, 101, "SST49LF002A", " SST49LF002A"}}) {
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.chip->SetContents(std::vector<uint8_t>(s.p.image.full_device_size, 0x3C));
    s.GetId();
    EXPECT_EQ(s.p.controls.Text("edDeviceName"), c.device) << c.caption;
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    // Read array again: a read sees the cells, not the codes.
    s.ReadBack(4);
    EXPECT_EQ(s.p.image[0], 0x3C) << c.caption;
    EXPECT_EQ(s.p.image[1], 0x3C) << c.caption;
  }
}

TEST(HubFaults, VppMissingEndsInTheRangeErrorAfterTenTries) {
  FlashSession s;
  s.Select(HandlerId::N82802AB_Click, 101, "intel 82802AB");
  ASSERT_TRUE(s.chip->InjectFault({"novpp", 0, 0, 0}));
  s.LoadRandom(0x10, 3);
  s.Program();
  EXPECT_EQ(s.Last(), "  Vpp Range Error");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.As<sim::WsmFlash>()->programs(), 10u);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The adapter keeps the part powered between actions: one left in its
// status or identifier mode (a cancelled action) must still verify and read
// right, so those begin with the family's read-array command.
TEST(HubFaults, VerifyAndReadOfAPartLeftInStatusOrIdMode) {
  for (const uint8_t mode : {uint8_t{0x70}, uint8_t{0x90}}) {
    FlashSession s;
    s.Select(HandlerId::N82802AB_Click, 101, "intel 82802AB");
    const std::vector<uint8_t> data = s.LoadRandom(0x100, 9);
    s.Program();
    ASSERT_EQ(s.Last(), "Device Programmed OK");
    s.p.bus.PowerUp();
    families::fwh::CommandAt(s.p, 0, mode, 5, 10);
    s.p.bus.PowerDown();
    s.Verify();
    EXPECT_EQ(s.Last(), "Device Verify OK") << int{mode};
    s.ReadBack(0x100);
    EXPECT_EQ(s.p.image[0], data[0]) << int{mode};
    EXPECT_EQ(s.p.image[1], data[1]) << int{mode};
  }
}

// A JEDEC hub byte that never reads back as written (a bit stuck at 1)
// ends the program with the mismatch and a failed action: no verify runs
// after it and nothing past it is written.
TEST(HubFaults, AByteThatNeverReadsBackFailsTheProgram) {
  FlashSession s;
  s.Select(HandlerId::SST49LF002_Click, 101, "SST49LF002A");
  ASSERT_TRUE(s.chip->InjectFault({"stuck", 0x21, 6, 1}));
  s.Load(std::vector<uint8_t>(0x30, 0x00));
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000021  Chip = 0x40  buffer = 0x00");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.host.Count(daraz_test::RecordingHost::Type::kShowGauge), 1u) << "no verify pass";
  const std::vector<uint8_t> cells = s.Cells();
  EXPECT_EQ(cells[0x20], 0x00);
  EXPECT_EQ(cells[0x22], 0xFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

// The JEDEC hub chip erase shows the time gone by after each pass of
// 10000 ticks (8.4 ms) that still finds the part busy: the SST49LF002A's
// 70 ms erase is still running at the eighth read, so the last shown is
// pass 7, 0.07 s.
TEST(HubErase, TheChipEraseShowsTheSecondsWhileThePartIsBusy) {
  FlashSession s;
  s.Select(HandlerId::SST49LF002_Click, 101, "SST49LF002A");
  s.Fill(0x00);
  s.p.controls.SetText("pLoopp", "");
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed by check DQ7");
  EXPECT_EQ(s.p.controls.Text("pLoopp"), " 0.1 Sec");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(HubFaults, ACancelledProgramStopsAndSaysSo) {
  const struct {
    HandlerId handler;
    int tag;
    const char* caption;
  } cases[] = {{HandlerId::SST49LF002_Click, 103, "SST49LF004A"},
               {HandlerId::N82802AB_Click, 101, "intel 82802AB"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.LoadRandom(0x8000, 9);
    s.host.CancelAtRefresh(s.p, 2);
    s.Program();
    EXPECT_EQ(s.Last(), "program interrupted!");
    EXPECT_EQ(s.p.error, 1);
    // Stopped at the second gauge step, far short of the 32 K bytes.
    const auto* jedec = s.As<sim::JedecFlash>();
    EXPECT_LE(jedec != nullptr ? jedec->programs() : s.As<sim::WsmFlash>()->programs(), 2u * 512);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// Cancel pressed while the part is still busy with the first byte: the
// status poll stops and says so.
TEST(HubFaults, ACancelDuringTheStatusPollStopsAndSaysSo) {
  FlashSession s;
  s.Select(HandlerId::N82802AB_Click, 101, "intel 82802AB");
  ASSERT_TRUE(s.chip->InjectFault({"slow", 0, 100, 0}));  // 1 ms for byte 0
  s.Load({0x12, 0x34});
  s.host.on_events = [&s] { s.p.cancel.store(1); };
  families::fwh::F3(s.p);
  EXPECT_EQ(s.Last(), "program interrupted!");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.As<sim::WsmFlash>()->programs(), 1u);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The hub blank check reads from byte 0 and names the first byte that is
// not 0xFF, of either family.
TEST(HubBlank, TheFirstByteThatIsNotErasedIsNamed) {
  const struct {
    HandlerId handler;
    const char* caption;
    uint32_t address;
    const char* text;
  } cases[] = {{HandlerId::N82802AB_Click, "intel 82802AB", 0, "Device is NOT Empty ($000000)"},
               {HandlerId::SST49LF002_Click, "SST49LF002A", 0x3FFFF,
                "Device is NOT Empty ($03ffff)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, 101, c.caption);
    std::vector<uint8_t> cells(s.p.image.full_device_size, 0xFF);
    cells[c.address] = 0xFE;
    s.chip->SetContents(cells);
    s.Blank();
    EXPECT_EQ(s.Last(), c.text);
    EXPECT_FALSE(s.host.HasMessage("Device Emtry"));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// The hub verify's gauge: the verify caption in green, up to the data end.
TEST(HubVerify, TheGaugeRunsToTheDataEnd) {
  FlashSession s;
  s.Select(HandlerId::N82802AB_Click, 101, "intel 82802AB");
  const std::vector<uint8_t> data = s.LoadRandom(0x40, 6);
  std::vector<uint8_t> cells(s.p.image.full_device_size, 0xFF);
  std::copy(data.begin(), data.end(), cells.begin());
  s.chip->SetContents(cells);
  s.p.image.data_end = 0x3F;
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.ExpectOneVerifyGauge(0x3F);
}

// Every byte up to the data end is compared: one that differs in the last
// byte only still fails the verify, on both hub families.
TEST(HubVerify, TheLastByteIsComparedToo) {
  struct Case {
    HandlerId handler;
    const char* caption;
  };
  for (const Case& c : {Case{HandlerId::N82802AB_Click, "intel 82802AB"},
                        Case{HandlerId::SST49LF002_Click, "SST49LF002A"}}) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, 101, c.caption);
    std::vector<uint8_t> cells(s.p.image.full_device_size, 0x5A);
    cells[0x3F] = 0x5B;
    s.chip->SetContents(cells);
    s.Load(std::vector<uint8_t>(0x40, 0x5A));
    s.p.image.data_end = 0x3F;
    s.Verify();
    EXPECT_EQ(s.Last(), " Error at 0x00003F  Chip = 0x5B  buffer = 0x5A");
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(HubQuadruple, EveryM50PartTakesIt) {
  const struct {
    int tag;
    const char* caption;
  } cases[] = {{111, "M50FW002"},  {112, "M50FW040"},   {113, "M50FW080"},  {114, "M50FW016"},
               {115, "M50LPW116"}, {116, "M50FLW040A"}, {117, "M50FLW040B"}};
  for (const auto& c : cases) {
    FlashSession s;
    s.Select(HandlerId::N82802AB_Click, c.tag, c.caption);
    s.p.controls.Check("cbQuadruple");
    std::vector<uint8_t> data(0x40);
    for (uint32_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
    s.Load(data);
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programmed OK") << c.caption;
    // Sixteen groups; the one past the data end is all 0xFF and skipped.
    EXPECT_EQ(s.As<sim::WsmFlash>()->programs(), 16u) << c.caption;
    EXPECT_EQ(s.Cells()[0x3F], 0x40) << c.caption;
  }
}

// Quadruple program: groups of four aligned addresses; a 0xFF inside a
// group is sent, the group past data end takes the image's bytes, an
// all-0xFF group is skipped.
TEST(HubQuadruple, GroupsOfFourToDataEnd) {
  FlashSession s;
  s.Select(HandlerId::N82802AB_Click, 112, "M50FW040");
  s.p.controls.Check("cbQuadruple");
  std::vector<uint8_t> data(0x1002, 0x11);
  data[0x101] = 0xFF;                                       // inside a group
  for (uint32_t i = 0x200; i < 0x204; ++i) data[i] = 0xFF;  // a whole group
  s.Load(data);
  s.p.image[0x1002] = 0x22;  // past data end, inside the last group
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  const std::vector<uint8_t> cells = s.Cells();
  EXPECT_EQ(cells[0x100], 0x11);
  EXPECT_EQ(cells[0x101], 0xFF);
  EXPECT_EQ(cells[0x1001], 0x11);
  EXPECT_EQ(cells[0x1002], 0x22);
  EXPECT_EQ(cells[0x1003], 0xFF);
  // 0x1004 / 4 groups, less the one left alone.
  EXPECT_EQ(s.As<sim::WsmFlash>()->programs(), 0x1004u / 4 - 1);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

}  // namespace
