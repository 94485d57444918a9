// The I2C EEPROM families end to end against the I2C EEPROM model.
#include <gtest/gtest.h>

#include <vector>

#include "families/serial/serial_controls.h"
#include "serial_fixture.h"
#include "sim/i2c_eeprom.h"

namespace {

using app::HandlerId;
using daraz_test::SerialSession;
using Event = sim::I2cDecoder::Event;
using Kind = Event::Kind;

class I2c : public ::testing::Test {
 protected:
  SerialSession s;
  sim::I2cEeprom* Chip() { return s.As<sim::I2cEeprom>(); }
};

TEST_F(I2c, A24C16RoundTripAddressesA10ToA8InTheSelectByte) {
  s.Select(HandlerId::M24C_Click, 205, "24C16");
  const auto data = s.LoadRandom(2048);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.Cells(2048), data);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");

  s.Load(std::vector<uint8_t>(2048, 0));
  Chip()->decoder().RecordEvents(true);
  s.Read();
  EXPECT_TRUE(s.Said("Chip read OK"));
  EXPECT_EQ(s.Image(2048), data);
  EXPECT_EQ(s.p.image.data_end, 2047u);
  EXPECT_EQ(s.host.caption, std::string(app::kCaptionPrefix) + "24C16 Image");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];

  // Byte 0x5A3: select 0xAA and word 0xA3, a STOP, then the read select 0xAB.
  const std::vector<Event>& ev = Chip()->decoder().events();
  const std::vector<std::pair<Kind, int>> want = {
      {Kind::kStart, -1}, {Kind::kWrite, 0xAA}, {Kind::kWrite, 0xA3},      {Kind::kStop, -1},
      {Kind::kStart, -1}, {Kind::kWrite, 0xAB}, {Kind::kRead, data[0x5A3]}};
  bool found = false;
  for (size_t i = 0; i + want.size() <= ev.size() && !found; ++i) {
    found = true;
    for (size_t k = 0; k < want.size() && found; ++k) {
      found = ev[i + k].kind == want[k].first &&
              (want[k].second < 0 || ev[i + k].byte == want[k].second);
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(I2c, A24C32WritesWholePagesAndTheVerifyPassCatchesWhatThePageCheckMisses) {
  s.Select(HandlerId::M24C_Click, 301, "24C32");
  for (const uint32_t end : {0x10u, 0x30u}) {
    SCOPED_TRACE(end);
    s.Insert();
    // The data is 0x10 or 0x30 bytes; the image beyond it still holds bytes
    // the last page carries along.
    const auto image = s.LoadRandom(4096, end);
    s.p.image.data_end = end;
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programmed OK");
    const uint32_t pages = end == 0x10 ? 1 : 2;
    EXPECT_EQ(Chip()->write_cycles(), pages);
    std::vector<uint8_t> want(image.begin(), image.begin() + 32 * pages);
    want.resize(128, 0xFF);
    EXPECT_EQ(s.Cells(128), want);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty());
  }
  // Bit 0 of byte 5 will not take a 0: the page check reads only byte 0.
  s.Insert();
  ASSERT_TRUE(s.Fault("stuck", 5, 0, 1));
  auto data = s.LoadRandom(0x30, 3);
  data[5] = 0x10;
  s.Load(data);
  s.Program();
  EXPECT_FALSE(s.Said("Device Programmed OK"));
  EXPECT_EQ(s.Last(), " Error at 0x000005  Chip = 0x11  buffer = 0x10");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(I2c, X24C01And24C512RoundTrips) {
  const struct {
    int tag;
    uint32_t size;
    std::vector<std::string> violations;
  } cases[] = {
      // The 100 kHz part: the STOP after the data byte comes 3 ticks and
      // two writes after SCL fell, 4.5 us against tLOW 4.7 us; the master
      // acknowledge clock is 2 ticks high, 2.7 us against tHIGH 4.0 us.
      {101, 128, {"SCL low shorter than tLOW", "SCL high shorter than tHIGH"}},
      {306, 65536, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    s.Select(HandlerId::M24C_Click, c.tag, "part");
    const auto data = s.LoadRandom(c.size);
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programmed OK");
    EXPECT_EQ(s.Cells(c.size), data);
    s.Load(std::vector<uint8_t>(c.size, 0));
    s.Read();
    EXPECT_EQ(s.Image(c.size), data);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), c.violations);
  }
}

TEST_F(I2c, AWriteThatNeverEndsGivesUpAfterTheTolerancedPolls) {
  // First byte: ten failed polls tolerated, the eleventh gives up; a later
  // byte tolerates nine.
  for (const uint32_t stuck_at : {0u, 3u}) {
    SCOPED_TRACE(stuck_at);
    s.Select(HandlerId::M24C_Click, 202, "24C02");
    ASSERT_TRUE(s.Fault("busy-forever", stuck_at));
    s.LoadRandom(16);
    s.Program();
    EXPECT_EQ(s.Last(), " Too many Retries - would not program");
    EXPECT_EQ(s.host.LastMessage().second, 1);
    EXPECT_FALSE(s.Said("Device Programmed OK"));
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(Chip()->busy_nacks(), stuck_at == 0 ? 11 : 10);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), std::vector<std::string>{"write cycle cut by power-off"});
  }
}

TEST_F(I2c, AnAbsentChipStopsTheReadAtItsFirstSelect) {
  const struct {
    int tag;
    const char* text;
  } cases[] = {{202, "No ACK Device Command"}, {301, "No ACK write Command1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    s.Select(HandlerId::M24C_Click, c.tag);
    ASSERT_TRUE(s.Fault("absent"));
    s.Read();
    EXPECT_TRUE(s.Said("Hardware present "));
    EXPECT_EQ(s.Last(), c.text);
    EXPECT_FALSE(s.Said("Chip read OK"));
    EXPECT_FALSE(s.Said("Device Read OK"));
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

TEST_F(I2c, WriteProtectHighLeavesTheChipAsItWasAndANewSelectionClearsIt) {
  s.Select(HandlerId::M24C_Click, 203, "24C04");
  families::serial::r24Cpin7highClick(s.p);
  EXPECT_EQ(s.p.dev.pin7, 1);
  s.LoadRandom(512);
  s.Program();
  EXPECT_EQ(s.Last().substr(0, 14), " Error at 0x00");
  EXPECT_EQ(s.Cells(512), std::vector<uint8_t>(512, 0xFF));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  s.Select(HandlerId::M24C_Click, 203, "24C04");
  EXPECT_EQ(s.p.dev.pin7, 0);
  EXPECT_TRUE(s.p.controls.Checked("r24Cpin7Low"));
}

TEST_F(I2c, ASlowAcknowledgeNeedsTheSlowRow) {
  const struct {
    int tag;
    bool passes;
  } cases[] = {{221, true}, {202, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    s.Select(HandlerId::M24C_Click, c.tag);
    ASSERT_TRUE(s.Fault("slow_ack"));
    const auto data = s.LoadRandom(256);
    s.Program();
    if (c.passes) {
      EXPECT_EQ(s.Last(), "Device Programmed OK");
      EXPECT_EQ(s.Cells(256), data);
    } else {
      EXPECT_EQ(s.Last(), "No ACK Device(WR) Command ");
    }
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

TEST_F(I2c, TheNextActionWorksAfterAReadLeftTheChipMidByte) {
  s.Select(HandlerId::M24C_Click, 302, "24C65");
  const auto data = s.LoadRandom(8192);
  s.Program();
  ASSERT_EQ(s.Last(), "Device Programmed OK");
  s.Read();  // ends with the part driving the next byte's bits
  EXPECT_TRUE(s.Said("Device Read OK"));
  EXPECT_EQ(s.Image(8192), data);
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty());
}

}  // namespace

namespace {

TEST_F(I2c, ASmallerPartLeavesTheSelectBytesPastItsSizeUnacknowledged) {
  // A 24C04 in the socket with the 24C08 chosen: A9 in the select byte is
  // a device-address pin the socket ties low.
  s.Select(HandlerId::M24C_Click, 203, "24C04");
  auto chip = app::MakeSimChip(s.p);
  app::SelectDevice(s.p, HandlerId::M24C_Click, {204, "24C08"});
  s.board->InsertChip(std::move(chip));
  s.LoadRandom(1024);
  s.Program();
  EXPECT_EQ(s.Last(), "No ACK Device(WR) Command ");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(I2c, ACancelledProgramSaysSo) {
  s.Select(HandlerId::M24C_Click, 202, "24C02");
  s.LoadRandom(256);
  s.host.CancelAtRefresh(s.p, 3);
  s.Program();
  EXPECT_EQ(s.Last(), "program interrupted!");
  EXPECT_FALSE(s.Said("Device Programmed OK"));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(I2c, ARealPageSmallerThanTheRowsWrapsAndThePageCheckSeesIt) {
  // A 24C32 row writes 32-byte pages; a part with 16-byte pages wraps the
  // second half of the frame onto the first.
  s.Select(HandlerId::M24C_Click, 301, "24C32");
  ASSERT_TRUE(s.Fault("page", 0, 16));
  std::vector<uint8_t> data(32);
  for (uint32_t i = 0; i < 32; ++i) data[i] = static_cast<uint8_t>(0x40 + i);
  s.Load(data);
  s.Program();
  EXPECT_EQ(s.Last(), " Verify Error ");  // byte 0 reads 0x50, not 0x40
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.Said("Device Programmed OK"));
  std::vector<uint8_t> want(data.begin() + 16, data.end());
  want.resize(32, 0xFF);
  EXPECT_EQ(s.Cells(32), want);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(I2c, TheAcknowledgePollingWaitsOutAWriteCycleUpToAboutThirteenMilliseconds) {
  // The first byte's polls: 1 ms after the STOP, then ten failed polls of
  // 1 ms and their bus time each are tolerated.
  const struct {
    int ms;
    const char* last;
  } cases[] = {{1, "Device Programmed OK"},
               {8, "Device Programmed OK"},
               {20, " Too many Retries - would not program"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ms);
    s.Select(HandlerId::M24C_Click, 202, "24C02");
    ASSERT_TRUE(s.Fault("write-time", 0, c.ms));
    s.LoadRandom(4);
    s.Program();
    EXPECT_EQ(s.Last(), c.last);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

TEST(SerialFaults, ArgumentsOutsideThePartAreRefused) {
  SerialSession s;
  s.Select(HandlerId::M24C_Click, 202, "24C02");
  EXPECT_FALSE(s.Fault("busy-forever", 256));
  EXPECT_TRUE(s.Fault("busy-forever", 255));
  EXPECT_FALSE(s.Fault("page", 0, 16));  // larger than the part's 8
  EXPECT_FALSE(s.Fault("write-time", 0, 0));
  s.Select(HandlerId::M93C_Click, 2);
  EXPECT_FALSE(s.Fault("write-time", 0, 0));
  EXPECT_FALSE(s.Fault("org", 0, 12));
  s.Select(HandlerId::MX25L512_Click, 404, "MX25L4005");
  EXPECT_FALSE(s.Fault("aai_strict"));  // no AAI on this part
  EXPECT_FALSE(s.Fault("bp", 0, 0));
  s.Select(HandlerId::M25C_Click, 103, "25x040");
  EXPECT_FALSE(s.Fault("wpen_wp_low"));  // no WPEN bit
  EXPECT_FALSE(s.Fault("bp", 0, 4));
}

TEST_F(I2c, TheFirstPollComesAfterTheWaitThatFollowsTheStop) {
  // Family 1 waits 1194 ticks (1.0 ms) after the STOP, family 2 3000 ticks
  // (2.5 ms), and 1194 ticks after every refused select.
  const struct {
    int tag;
    const char* caption;
    int ms;
    int nacks;  // selects refused during the last write cycle
  } cases[] = {{202, "24C02", 1, 0},
               {202, "24C02", 2, 1},
               {301, "24C32     (32)", 2, 0},
               {301, "24C32     (32)", 3, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " " + std::to_string(c.ms) + " ms");
    s.Select(HandlerId::M24C_Click, c.tag, c.caption);
    ASSERT_TRUE(s.Fault("write-time", 0, c.ms));
    s.LoadRandom(1);
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programmed OK");
    EXPECT_EQ(Chip()->busy_nacks(), c.nacks);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

TEST(SerialFaults, EachArgumentIsTakenUpToThePartsOwnLimit) {
  // Limits from the parts: a 24C02 pages 8 bytes, a 25x040 16 and a 25x160
  // 32 (with WPEN), the MX25L4005 256 with BP2..BP0; the 25xxx have BP1..BP0.
  const struct {
    HandlerId handler;
    int tag;
    const char* caption;
    const char* kind;
    uint32_t address;
    int arg1;
    bool taken;
  } cases[] = {
      {HandlerId::M24C_Click, 202, "SERIAL", "page", 0, 0, false},
      {HandlerId::M24C_Click, 202, "SERIAL", "page", 0, 1, true},
      {HandlerId::M24C_Click, 202, "SERIAL", "page", 0, 8, true},
      {HandlerId::M24C_Click, 202, "SERIAL", "page", 0, 9, false},
      {HandlerId::M24C_Click, 202, "SERIAL", "write-time", 0, 1, true},
      {HandlerId::M24C_Click, 202, "SERIAL", "slow_ack", 0, 0, true},
      {HandlerId::M24C_Click, 202, "SERIAL", "sto_ignored", 0, 0, false},
      {HandlerId::M93C_Click, 2, "SERIAL", "org", 0, 8, true},
      {HandlerId::M93C_Click, 2, "SERIAL", "org", 0, 16, true},
      {HandlerId::M93C_Click, 2, "SERIAL", "write-time", 0, 1, true},
      {HandlerId::M93C_Click, 2, "SERIAL", "ewen_ignored", 0, 0, true},
      {HandlerId::M93C_Click, 2, "SERIAL", "sto_ignored", 0, 0, false},
      {HandlerId::CAT64LC10_Click, 102, "SERIAL", "write-time", 0, 0, false},
      {HandlerId::CAT64LC10_Click, 102, "SERIAL", "write-time", 0, 1, true},
      {HandlerId::CAT64LC10_Click, 102, "SERIAL", "sto_ignored", 0, 0, false},
      {HandlerId::S24H30_Click, 2, "SERIAL", "sto_ignored", 0, 0, true},
      {HandlerId::S24H30_Click, 2, "SERIAL", "write-time", 0, 1, false},
      {HandlerId::M25C_Click, 103, "SERIAL", "write-time", 0, 0, false},
      {HandlerId::M25C_Click, 103, "SERIAL", "write-time", 0, 1, true},
      {HandlerId::M25C_Click, 103, "SERIAL", "bp", 0, -1, false},
      {HandlerId::M25C_Click, 103, "SERIAL", "bp", 0, 0, true},
      {HandlerId::M25C_Click, 103, "SERIAL", "bp", 0, 3, true},
      {HandlerId::M25C_Click, 103, "SERIAL", "page", 0, 0, false},
      {HandlerId::M25C_Click, 103, "SERIAL", "page", 0, 16, true},
      {HandlerId::M25C_Click, 103, "SERIAL", "page", 0, 17, false},
      {HandlerId::M25C_Click, 202, "SERIAL", "wpen_wp_low", 0, 0, true},
      {HandlerId::M25C_Click, 202, "SERIAL", "page", 0, 32, true},
      {HandlerId::M25C_Click, 202, "SERIAL", "page", 0, 33, false},
      {HandlerId::MX25L512_Click, 404, "MX25L4005", "bp", 0, 1, true},
      {HandlerId::MX25L512_Click, 404, "MX25L4005", "bp", 0, 7, true},
      {HandlerId::MX25L512_Click, 404, "MX25L4005", "bp", 0, 8, false},  // no such bit
      {HandlerId::MX25L512_Click, 404, "MX25L4005", "page", 0, 0, false},
      {HandlerId::MX25L512_Click, 404, "MX25L4005", "page", 0, 256, true},
      {HandlerId::MX25L512_Click, 404, "MX25L4005", "page", 0, 257, false},
      {HandlerId::MX25L512_Click, 404, "MX25L4005", "busy-forever", 0, 0, true},
      {HandlerId::MX25L512_Click, 201, "SST25VF512", "aai_strict", 0, 0, true},  // SST25VF512
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.arg1) + " tag " +
                 std::to_string(c.tag));
    SerialSession s;
    s.Select(c.handler, c.tag, c.caption);
    EXPECT_EQ(s.Fault(c.kind, c.address, c.arg1), c.taken);
  }
}

TEST_F(I2c, AVerifyReportsTheFirstDifferenceAndStops) {
  // Families 39 and 1: the loop ends at the first difference.
  const struct {
    int tag;
    const char* caption;
  } cases[] = {{101, "X24C01"}, {202, "24C02"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    s.Select(HandlerId::M24C_Click, c.tag, c.caption);
    std::vector<uint8_t> cells(16, 0x00);
    cells[2] = 0x08;
    cells[5] = 0x40;
    s.chip->SetContents(cells);
    s.Load(std::vector<uint8_t>(16, 0x00));
    s.Verify();
    EXPECT_EQ(s.Last(), " Error at 0x000002  Chip = 0x08  buffer = 0x00");
    EXPECT_FALSE(s.Said(" Error at 0x000005  Chip = 0x40  buffer = 0x00"));
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

}  // namespace
