// Family 57, the SPI flash, end to end against the SPI flash model.
#include "sim/spi_flash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "serial_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::SerialSession;
using Command = sim::SpiFlash::Command;

constexpr uint32_t KB = 1024;

class SpiFlash : public ::testing::Test {
 protected:
  SerialSession s;
  sim::SpiFlash* Chip() { return s.As<sim::SpiFlash>(); }
  int64_t Now() { return s.board->clock().now_ns(); }
  std::vector<Command> Of(uint8_t opcode) {
    std::vector<Command> out;
    for (const Command& c : Chip()->commands()) {
      if (c.opcode == opcode) out.push_back(c);
    }
    return out;
  }
};

TEST_F(SpiFlash, EraseBlankProgramVerifyRead) {
  s.Select(HandlerId::MX25L512_Click, 404, "MX25L4005");
  s.chip->SetContents(s.Random(512 * KB));
  const int64_t start = Now();
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed by check DQ0");
  EXPECT_GE(Now() - start, 7'500'000'000);  // the part's erase time
  EXPECT_EQ(s.p.controls.Text("lbLoopPeak"), "  timer ");
  EXPECT_EQ(s.Cells(512 * KB), std::vector<uint8_t>(512 * KB, 0xFF));
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");

  const auto data = s.LoadRandom(5000);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.controls.Text("lbLoopPeak"), "  Sector ");
  EXPECT_EQ(s.Cells(5000), data);
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.Read();
  EXPECT_EQ(s.Last(), "Chip read OK");
  EXPECT_EQ(s.host.caption, std::string(app::kCaptionPrefix) + "MX25L4005image");
  EXPECT_EQ(s.Image(5000), data);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];
}

TEST_F(SpiFlash, ProtectedBlocksFailTheProgramAndSurviveTheErase) {
  s.Select(HandlerId::MX25L512_Click, 402, "MX25L1005");
  s.chip->SetContents(std::vector<uint8_t>(128 * KB, 0x00));
  ASSERT_TRUE(s.Fault("bp", 0, 7));
  s.LoadRandom(300);
  s.Program();
  EXPECT_EQ(s.Last().substr(0, 12), " Error at 0x");
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed by check DQ0");  // kind 2, as for every erase
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is NOT Empty ($000000)");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(SpiFlash, AWriteInProgressThatNeverEnds) {
  s.Select(HandlerId::MX25L512_Click, 403, "MX25L2005");
  ASSERT_TRUE(s.Fault("busy-forever"));
  s.LoadRandom(256);
  s.Program();
  EXPECT_EQ(s.Last(), " Error :Write sector  0 ");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);

  s.Insert();
  ASSERT_TRUE(s.Fault("busy-forever"));
  const int64_t start = Now();
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed by time out");
  EXPECT_GT(Now() - start, 84'000'000'000);  // 10,000 polls 8.4 ms apart
  EXPECT_EQ(s.p.controls.Text("pLoopp"), " 100.0 Sec");
  // The window hears of every timer update (and of the gauge and labels).
  EXPECT_GE(s.host.controls_changed, 10000);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{"write cycle cut by power-off"});
}

TEST_F(SpiFlash, APageSmallerThanTheRowsIsReported) {
  s.Select(HandlerId::MX25L512_Click, 404, "M25P40/PE40");
  ASSERT_TRUE(s.Fault("page", 0, 128));
  s.LoadRandom(512);
  s.Program();
  EXPECT_EQ(s.Last().substr(0, 12), " Error at 0x");
  EXPECT_FALSE(s.Said("Device Programmed OK"));
}

TEST_F(SpiFlash, SstAutoAddressIncrementWritesPairsAndEndsWithWrdi) {
  s.Select(HandlerId::MX25L512_Click, 205, "SST25VF080");
  Chip()->RecordCommands(true);
  const auto data = s.LoadRandom(4);  // data end 4: bytes 0..4, pairs at 0, 2, 4
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  const auto aai = Of(0xAD);
  ASSERT_EQ(aai.size(), 3u);
  EXPECT_EQ(aai[0].address, 0u);
  EXPECT_EQ(aai[0].data_bytes, 2u);
  EXPECT_EQ(aai[1].data_bytes, 2u);
  EXPECT_EQ(Of(0x04).size(), 1u);  // WRDI, before the verify's READ
  auto want = data;
  want.push_back(0xFF);
  EXPECT_EQ(s.Cells(5), want);
  EXPECT_FALSE(Chip()->aai_mode());
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty());
}

TEST_F(SpiFlash, SstSingleByteAutoIncrementAndItsIdentification) {
  s.Select(HandlerId::MX25L512_Click, 201, "SST25VF512");
  ASSERT_TRUE(s.Fault("aai_strict"));
  const auto data = s.LoadRandom(64 * KB);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.Cells(64 * KB), data);
  s.GetId();
  EXPECT_EQ(s.p.controls.Text("edManufacID"), " 0xBF");
  EXPECT_EQ(s.p.controls.Text("edDeviceName"), " SST25VF512");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(SpiFlash, IdentificationByEachCommand) {
  const struct {
    int tag;
    const char* caption;
    const char* maker;
    const char* device;
    const char* status;
  } cases[] = {
      {404, "MX25L4005", " MXIC", " MX25L4005A", " 0x00"},
      {302, "25LC(AA)1024", " MicroChip", "", " 0x00"},
      {104, "Pm25LV040", " pFLASH", " Pm25LV040", " 0x1C"},
      {501, "AT25F512", " ATMEL", " AT25F512", " 0x00"},
      {604, "AT45DB041D", " ATMEL", " AT45DB041D", " 0x9C"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    s.Select(HandlerId::MX25L512_Click, c.tag, c.caption);
    if (c.tag == 104) {
      ASSERT_TRUE(s.Fault("bp", 0, 7));
    }
    s.GetId();
    const app::Controls& k = s.p.controls;
    EXPECT_EQ(k.Text("edManufacName"), c.maker);
    EXPECT_EQ(k.Text("edDeviceName"), c.device);
    EXPECT_EQ(k.Text("lbLockbit"), "Status Register");
    EXPECT_EQ(k.Text("edLockbit"), c.status);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
  EXPECT_EQ(s.p.controls.Text("edManufacID"), " 0x1F");
}

TEST_F(SpiFlash, The45SeriesRowsEraseThroughTheirOwnSequenceAndFailToProgram) {
  s.Select(HandlerId::MX25L512_Click, 604, "AT45DB041D");
  Chip()->RecordCommands(true);
  s.chip->SetContents(std::vector<uint8_t>(600, 0x00));
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed by check DQ7");
  ASSERT_FALSE(Of(0xC7).empty());
  EXPECT_EQ(Of(0xC7)[0].data_bytes, 3u);  // 94 80 9A
  EXPECT_FALSE(Of(0xD7).empty());
  EXPECT_TRUE(Of(0x06).empty());  // no WREN
  EXPECT_EQ(s.Cells(600), std::vector<uint8_t>(600, 0xFF));

  Chip()->RecordCommands(true);
  s.LoadRandom(600);  // three pages, the last one whole
  s.Program();
  // 264-byte pages at the linear image offsets.
  const auto pages = Of(0x02);
  ASSERT_EQ(pages.size(), 3u);
  for (uint32_t k = 0; k < 3; ++k) {
    EXPECT_EQ(pages[k].address, 264 * k);
    EXPECT_EQ(pages[k].data_bytes, 264u);
  }
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFF  buffer = 0x" +
                          std::string(1, "0123456789ABCDEF"[s.p.image[0] >> 4]) +
                          std::string(1, "0123456789ABCDEF"[s.p.image[0] & 15]));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

}  // namespace

#include "families/serial/spi_flash_steps.h"
#include "families/serial/spi_primitives.h"

namespace {

// In AAI mode the strict parts answer nothing but AAI, RDSR and WRDI: a
// READ before WRDI finds SO released, the same READ after it the data.
TEST_F(SpiFlash, InStrictAaiModeOnlyWrdiLetsAReadThrough) {
  s.Select(HandlerId::MX25L512_Click, 205, "SST25VF080");
  families::serial::Spi spi{s.p, true, 0};
  hw::Bus& bus = s.p.bus;
  bus.PowerUp();
  auto command = [&](std::initializer_list<uint8_t> bytes) {
    spi.SpiSelect();
    for (uint8_t b : bytes) spi.SpiSendByte(b);
    spi.SpiDeselect();
    bus.DelayTicks(100);
  };
  command({0x50});
  command({0x01, 0x00});  // EWSR, WRSR 0: the power-up protection off
  command({0x06});
  command({0xAD, 0x00, 0x00, 0x00, 0x12, 0x34});
  ASSERT_TRUE(Chip()->aai_mode());
  auto read0 = [&] {
    spi.SpiSelect();
    spi.SendOpcodeAddress(0x03, 0);
    const uint8_t b = spi.SpiReadByte();
    spi.SpiDeselect();
    return b;
  };
  // SO released: the loop-back of SI's last bit. Address bit 0 = 0 is sent
  // as a set register bit; status bit 7 then reads 0, a received 1.
  EXPECT_EQ(read0(), 0xFF);
  command({0x04});
  EXPECT_FALSE(Chip()->aai_mode());
  EXPECT_EQ(read0(), 0x12);
  bus.PowerDown();
}

// Every instruction starts on a falling CS#: a part powered up with CS#
// already low takes nothing until it has been deselected once.
TEST(SpiPowerUp, ACommandNeedsCsToFallWhileThePartIsPowered) {
  const struct {
    HandlerId handler;
    int tag;
    const char* caption;
    bool flash;
  } cases[] = {{HandlerId::MX25L512_Click, 404, "MX25L4005", true},
               {HandlerId::M25C_Click, 202, "25x160  (32)", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    SerialSession s;
    s.Select(c.handler, c.tag, c.caption);
    families::serial::Spi spi{s.p, c.flash, 0};
    families::serial::spi::PowerUp57(spi);  // selects, then powers
    s.p.bus.DelayTicks(100);
    auto status = [&] {
      spi.SpiSendByte(0x05);
      return spi.SpiReadByte();
    };
    // WREN clocked in without a falling CS#: no latch. RDSR after a proper
    // select shows WEL clear; a WREN after it sets it.
    spi.SpiSendByte(0x06);
    spi.SpiDeselect();
    spi.SpiSelect();
    EXPECT_EQ(status(), 0x00);
    spi.SpiDeselect();
    spi.SpiSelect();
    spi.SpiSendByte(0x06);
    spi.SpiDeselect();
    spi.SpiSelect();
    EXPECT_EQ(status(), 0x02);
    spi.SpiDeselect();
    spi.PowerDown();
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

// Wire-level checks of the flash model's write latch and AAI mode.
TEST_F(SpiFlash, APageProgramUsesUpTheLatchAndTheOlderAaiPartsLeaveAaiOnAnyCommand) {
  families::serial::Spi spi{s.p, true, 0};
  hw::Bus& bus = s.p.bus;
  auto command = [&](std::initializer_list<uint8_t> bytes) {
    spi.SpiSelect();
    for (uint8_t b : bytes) spi.SpiSendByte(b);
    spi.SpiDeselect();
    bus.DelayTicks(100);
  };
  auto read = [&](uint8_t opcode, int address_bytes) {
    spi.SpiSelect();
    spi.SpiSendByte(opcode);
    for (int k = 0; k < address_bytes; ++k) spi.SpiSendByte(0x00);
    const uint8_t b = spi.SpiReadByte();
    spi.SpiDeselect();
    return b;
  };

  // MX25L4005: WEL is reset when the page program completes (tPP 5 ms), and
  // a second program without WREN writes nothing.
  s.Select(HandlerId::MX25L512_Click, 404, "MX25L4005");
  bus.PowerUp();
  command({0x06});
  command({0x02, 0x00, 0x00, 0x00, 0x5A});
  bus.DelayTicks(7000);  // 5.9 ms
  EXPECT_EQ(read(0x05, 0), 0x00);
  command({0x02, 0x00, 0x00, 0x01, 0x00});
  bus.DelayTicks(7000);
  EXPECT_EQ(s.Cells(2), (std::vector<uint8_t>{0x5A, 0xFF}));
  bus.PowerDown();

  // SST25VF512 (AAI by single bytes, no command restriction): a READ in AAI
  // mode ends the mode and is answered.
  s.Select(HandlerId::MX25L512_Click, 201, "SST25VF512");
  bus.PowerUp();
  command({0x50});
  command({0x01, 0x00});  // EWSR, WRSR 0: the power-up protection off
  command({0x06});
  command({0xAF, 0x00, 0x00, 0x00, 0x12});
  bus.DelayTicks(100);  // AAI byte time 20 us
  ASSERT_TRUE(Chip()->aai_mode());
  EXPECT_EQ(read(0x03, 3), 0x12);
  EXPECT_FALSE(Chip()->aai_mode());
  bus.PowerDown();
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];
}

// tVSL: the MX25L4005 takes no instruction sooner than 10 us after Vcc.
TEST_F(SpiFlash, AnInstructionSoonerThanTvslAfterPowerUpIsIgnoredAndNamed) {
  s.Select(HandlerId::MX25L512_Click, 404, "MX25L4005");
  families::serial::Spi spi{s.p, true, 0};
  families::serial::spi::PowerUp57(spi);
  spi.SpiDeselect();
  spi.SpiSelect();  // two port writes, about 2 us, after Vcc
  spi.SpiSendByte(0x9F);
  const uint8_t early = spi.SpiReadByte();
  spi.SpiDeselect();
  s.p.bus.DelayTicks(12);  // 10 us
  spi.SpiSelect();
  spi.SpiSendByte(0x9F);
  EXPECT_EQ(spi.SpiReadByte(), 0xC2);
  spi.SpiDeselect();
  spi.PowerDown();
  // SO released: the loop-back of RDID's last bit, a 1 sent as a cleared
  // register bit, reads 0.
  EXPECT_EQ(early, 0x00);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{"CS# low sooner than tVSL after power-up"});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// The protection bits travel in the chip file's "status" section; only the
// bits the part has come back.
TEST(SpiState, TheProtectionTravelsInTheStatusSection) {
  const struct {
    HandlerId handler;
    int tag;
    const char* caption;
    uint8_t kept;
  } cases[] = {{HandlerId::MX25L512_Click, 404, "MX25L4005", 0x1C},  // BP2..BP0
               {HandlerId::M25C_Click, 103, "25x040", 0x0C},         // BP1..BP0
               {HandlerId::M25C_Click, 202, "25x160  (32)", 0x8C}};  // and WPEN
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    SerialSession s;
    s.Select(c.handler, c.tag, c.caption);
    EXPECT_FALSE(s.chip->SetState({"protection", {0x0C}}));
    EXPECT_FALSE(s.chip->SetState({"status", {0x0C, 0x00}}));
    ASSERT_TRUE(s.chip->SetState({"status", {0xFF}}));
    const std::vector<sim::StateSection> state = s.chip->State();
    ASSERT_EQ(state.size(), 1u);
    EXPECT_EQ(state[0].name, "status");
    EXPECT_EQ(state[0].bytes, std::vector<uint8_t>{c.kept});
  }
}

}  // namespace

// Pages above 64 KB carry A16 in the first address byte: written anywhere
// else they would land on the first 64 KB and fail the verify.
TEST_F(SpiFlash, PagesAboveSixtyFourKGoToTheirOwnAddress) {
  s.Select(HandlerId::MX25L512_Click, 402, "MX25L1005");
  Chip()->RecordCommands(true);
  const auto data = s.LoadRandom(0x10100);  // data end 0x10100: pages 0 .. 0x10100
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  const auto pages = Of(0x02);
  ASSERT_EQ(pages.size(), 258u);
  EXPECT_EQ(pages[256].address, 0x10000u);
  EXPECT_EQ(pages[257].address, 0x10100u);
  EXPECT_EQ(s.Cells(0x10100), data);
  s.Read();
  EXPECT_EQ(s.Image(0x10100), data);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];
}
