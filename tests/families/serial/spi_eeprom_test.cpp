// Family 6, the 25xxx SPI EEPROMs, end to end against the SPI EEPROM model.
#include "sim/spi_eeprom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "families/parallel/uv_eprom.h"
#include "families/serial/spi_primitives.h"
#include "families/serial/spi_select.h"
#include "serial_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::SerialSession;
using Frame = std::vector<uint8_t>;

class SpiEeprom : public ::testing::Test {
 protected:
  SerialSession s;
  sim::SpiEeprom* Chip() { return s.As<sim::SpiEeprom>(); }
  const std::vector<Frame>& Frames() { return Chip()->frames(); }
  size_t CountStarting(uint8_t opcode) {
    return static_cast<size_t>(std::count_if(Frames().begin(), Frames().end(), [&](const Frame& f) {
      return !f.empty() && f[0] == opcode;
    }));
  }
  void Stretch(int ticks) { families::uv_eprom::tbTWCChange(s.p, 3, ticks); }
};

TEST_F(SpiEeprom, A25x040CarriesA8InTheOpcode) {
  s.Select(HandlerId::M25C_Click, 103, "25x040");
  const auto data = s.LoadRandom(512);
  Chip()->RecordFrames(true);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.Cells(512), data);
  const Frame write{0x0A, 0xA5, data[0x1A5]};
  EXPECT_NE(std::find(Frames().begin(), Frames().end(), write), Frames().end());

  Stretch(5);
  Chip()->RecordFrames(true);
  s.Read();
  EXPECT_EQ(s.Image(512), data);
  bool read_1a5 = false;
  for (const Frame& f : Frames()) read_1a5 |= f.size() == 3 && f[0] == 0x0B && f[1] == 0xA5;
  EXPECT_TRUE(read_1a5);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];
}

TEST_F(SpiEeprom, TheProtectionChosenIsWrittenAfterTheDataAndReadBack) {
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  s.p.controls["cb25CxxxBP"].index = 2;  // upper half
  s.p.controls.Check("cbWPEN25C");
  families::serial::cb25CxxxBPChange(s.p);
  const auto data = s.LoadRandom(2048);
  Chip()->RecordFrames(true);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.Cells(2048), data);
  EXPECT_EQ(Chip()->protection(), 0x88);
  // WRSR 0x00 before the first page, WRSR 0x88 after the last.
  std::vector<size_t> wrsr, pages;
  for (size_t i = 0; i < Frames().size(); ++i) {
    if (Frames()[i].size() >= 2 && Frames()[i][0] == 0x01) wrsr.push_back(i);
    if (!Frames()[i].empty() && Frames()[i][0] == 0x02) pages.push_back(i);
  }
  ASSERT_EQ(wrsr.size(), 2u);
  ASSERT_EQ(pages.size(), 64u);
  EXPECT_EQ(Frames()[wrsr[0]][1], 0x00);
  EXPECT_LT(wrsr[0], pages.front());
  EXPECT_EQ(Frames()[wrsr[1]][1], 0x88);
  EXPECT_GT(wrsr[1], pages.back());

  // A new selection shows nothing protected; a read shows what the chip has.
  s.p.SetBufferSize(0);
  app::SelectDevice(s.p, HandlerId::M25C_Click, {202, "25x160  (32)"});
  EXPECT_EQ(s.p.controls.Index("cb25CxxxBP"), 0);
  s.Read();
  EXPECT_EQ(s.p.controls.Index("cb25CxxxBP"), 2);
  EXPECT_TRUE(s.p.controls.Checked("cbWPEN25C"));
  EXPECT_EQ(s.p.dev.spi_status & 0x8C, 0x88);
  EXPECT_EQ(s.Image(2048), data);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(SpiEeprom, NoStretchReadsInOneSelectionAnyStretchByteByByte) {
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  const auto data = s.Random(2048);
  s.chip->SetContents(data);
  for (const int stretch : {0, 5}) {
    SCOPED_TRACE(stretch);
    if (stretch != 0) Stretch(stretch);
    Chip()->RecordFrames(true);
    s.Read();
    EXPECT_EQ(s.Image(2048), data);
    EXPECT_EQ(CountStarting(0x03), stretch == 0 ? 1u : 2048u);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
  EXPECT_EQ(s.p.controls.Text("ed_tclip"), " 5.0 uS");
}

TEST_F(SpiEeprom, ProtectionAndWriteTimeFaults) {
  const struct {
    const char* fault;
    int arg1;
    bool passes;
  } cases[] = {
      {"write-time", 10, false},  // 10 ms against the 5 ms wait
      {"bp", 2, true},            // the unprotect step clears it
      {"wpen_wp_low", 0, false},  // the status register is locked
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    s.Select(HandlerId::M25C_Click, 204, "25x640  (32)");
    ASSERT_TRUE(s.Fault(c.fault, 0, c.arg1));
    const auto data = s.LoadRandom(8192);
    s.Program();
    if (c.passes) {
      EXPECT_EQ(s.Last(), "Device Programmed OK");
      EXPECT_EQ(s.Cells(8192), data);
    } else {
      EXPECT_EQ(s.Last().substr(0, 12), " Error at 0x");
      EXPECT_FALSE(s.Said("Device Programmed OK"));
    }
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

TEST_F(SpiEeprom, ARealPageSmallerThanTheRowsEndsInAMismatch) {
  // The 25x160 row sends 32-byte pages; 16-byte pages wrap the second half
  // of each onto the first, and the verify after the data finds byte 0.
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  ASSERT_TRUE(s.Fault("page", 0, 16));
  std::vector<uint8_t> data(64);
  for (uint32_t i = 0; i < 64; ++i) data[i] = static_cast<uint8_t>(i);
  s.Load(data);
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0x10  buffer = 0x00");
  EXPECT_FALSE(s.Said("Device Programmed OK"));
  EXPECT_EQ(s.Cells(1)[0], 0x10);
  EXPECT_EQ(s.Cells(48)[47], 0x3F);  // the second page's last byte on 0x2F
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(SpiEeprom, TheBlankCheckCoversTheWholeDevice) {
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  std::vector<uint8_t> cells(2048, 0xFF);
  cells[0x7FF] = 0x00;
  s.chip->SetContents(cells);
  s.Load({});  // nothing loaded
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is NOT Empty ($0007ff)");
  s.chip->SetContents(std::vector<uint8_t>(2048, 0xFF));
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(SpiEeprom, ACancelledProgramSkipsTheProtectionButStillSendsWrdi) {
  s.Select(HandlerId::M25C_Click, 206, "25x256  (64)");
  s.p.controls["cb25CxxxBP"].index = 3;
  families::serial::cb25CxxxBPChange(s.p);
  s.LoadRandom(32768);
  Chip()->RecordFrames(true);
  s.host.CancelAtRefresh(s.p, 3);
  s.Program();
  EXPECT_EQ(s.Last(), "program interrupted!");
  EXPECT_EQ(CountStarting(0x01), 1u);  // only the unprotect
  // The last command (the power-down's selections carry none).
  const auto last =
      std::find_if(Frames().rbegin(), Frames().rend(), [](const Frame& f) { return !f.empty(); });
  ASSERT_NE(last, Frames().rend());
  EXPECT_EQ(*last, Frame{0x04});
  EXPECT_EQ(Chip()->protection(), 0x00);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

}  // namespace

namespace {

// The bit timing of both SPI families, read off the trace: family 6 waits
// s+3, s+3, s+2 ticks around a sent bit and s+3 three times around a read
// one; family 57 waits 3 ticks a phase and samples SO before SCK rises.
// A tick is 838.1 ns; every register write costs the board's 1 us.
int64_t Ticks(int n) { return static_cast<int64_t>(n * 838.1); }

// SCK (data bit 1) edges: the time of each rise and each fall.
void SckEdges(const sim::Board& board, std::vector<int64_t>& rises, std::vector<int64_t>& falls) {
  uint8_t data = 0x04;
  for (const sim::TraceEntry& e : board.trace()) {
    if (!e.write || e.port != 0x378) continue;
    if ((e.value & 2) && !(data & 2)) rises.push_back(e.time_ns);
    if (!(e.value & 2) && (data & 2)) falls.push_back(e.time_ns);
    data = e.value;
  }
}

TEST_F(SpiEeprom, BitTimingOfBothFamilies) {
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  Stretch(5);
  s.board->EnableTrace(true);
  s.Read();
  std::vector<int64_t> rises, falls;
  SckEdges(*s.board, rises, falls);
  ASSERT_GT(rises.size(), 40u);
  // The first read transaction: 24 command bits sent, then 8 read.
  EXPECT_EQ(falls[0] - rises[0], Ticks(8) + 1000);                    // SCK high: s+3
  EXPECT_EQ(rises[1] - falls[0], Ticks(7) + 1000 + Ticks(8) + 1000);  // s+2, SI, s+3
  EXPECT_EQ(falls[24] - rises[24], 2 * Ticks(8) + 2000);              // s+3, sample, s+3
  EXPECT_EQ(rises[25] - falls[24], Ticks(8) + 1000);                  // s+3 before the next rise

  s.Select(HandlerId::MX25L512_Click, 402, "MX25L1005");
  s.board->EnableTrace(false);
  s.board->ClearTrace();
  s.board->EnableTrace(true);
  s.Read();
  rises.clear();
  falls.clear();
  SckEdges(*s.board, rises, falls);
  ASSERT_GT(rises.size(), 40u);
  EXPECT_EQ(falls[0] - rises[0], Ticks(3) + 1000);
  EXPECT_EQ(rises[1] - falls[0], Ticks(3) + 1000 + Ticks(3) + 1000);
  // Reads: the status read before SCK rises, then 3 ticks high, 3 low.
  EXPECT_EQ(falls[32] - rises[32], Ticks(3) + 1000);
  EXPECT_EQ(rises[33] - falls[32], Ticks(3) + 1000 + 1000);
}

TEST_F(SpiEeprom, ThreeAddressBytesAboveSixtyFourKilobytes) {
  s.Select(HandlerId::M25C_Click, 401, "AT25HP1024 (128)");
  auto cells = s.Random(131072);
  s.chip->SetContents(cells);
  Stretch(1);  // a transaction per byte, each with its own address
  s.Read();
  EXPECT_EQ(s.Image(131072), cells);
  EXPECT_FALSE(s.p.controls.Checked("cbWPEN25C"));
  EXPECT_EQ(s.p.controls.Index("cb25CxxxBP"), 0);
}

TEST_F(SpiEeprom, AStatusWriteTakesItsWriteCycleToo) {
  // 10 ms for every write: the unprotect's WRSR keeps the part busy past
  // the 5 ms wait, so already the first page's WREN is lost.
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  ASSERT_TRUE(s.Fault("write-time", 0, 10));
  const auto data = s.LoadRandom(64);
  s.Program();
  EXPECT_EQ(s.Last().substr(0, 19), " Error at 0x000000 ");
}

TEST_F(SpiEeprom, ACancelledBlankCheckSaysSo) {
  s.Select(HandlerId::M25C_Click, 206, "25x256  (64)");
  s.host.CancelAtRefresh(s.p, 2);
  s.Blank();
  EXPECT_EQ(s.Last(), "program interrupted!");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// The write cycle starts when CS# rises after a whole data byte: a WRITE
// that brought only its address writes nothing and leaves WEL set.
TEST_F(SpiEeprom, AWriteWithoutDataWritesNothingAndKeepsTheLatch) {
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  families::serial::Spi spi{s.p, false, 0};
  hw::Bus& bus = s.p.bus;
  bus.PowerUp();
  auto command = [&](std::initializer_list<uint8_t> bytes) {
    spi.SpiSelect();
    for (uint8_t b : bytes) spi.SpiSendByte(b);
    spi.SpiDeselect();
    bus.DelayTicks(100);
  };
  auto status = [&] {
    spi.SpiSelect();
    spi.SpiSendByte(0x05);
    const uint8_t b = spi.SpiReadByte();
    spi.SpiDeselect();
    return b;
  };
  command({0x06});
  command({0x02, 0x00, 0x10});
  EXPECT_EQ(status(), 0x02);  // WEL, not busy
  EXPECT_EQ(Chip()->write_cycles(), 0u);
  command({0x02, 0x00, 0x10, 0x5A});
  EXPECT_EQ(status(), 0x01);  // busy, WEL cleared
  EXPECT_EQ(Chip()->write_cycles(), 1u);
  bus.DelayTicks(6000);  // 5 ms
  EXPECT_EQ(status(), 0x00);
  EXPECT_EQ(s.Cells(0x11)[0x10], 0x5A);
  bus.PowerDown();
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];
}

// WRSR writes BP1/BP0 (and WPEN where the part has it); WIP and WEL are the
// chip's own.
TEST_F(SpiEeprom, TheStatusWriteTakesOnlyTheProtectionBits) {
  const struct {
    int tag;
    const char* caption;
    uint8_t want;
  } cases[] = {{103, "25x040", 0x0C}, {202, "25x160  (32)", 0x8C}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    s.Select(HandlerId::M25C_Click, c.tag, c.caption);
    families::serial::Spi spi{s.p, false, 0};
    hw::Bus& bus = s.p.bus;
    bus.PowerUp();
    spi.SpiSelect();
    spi.SpiSendByte(0x06);
    spi.SpiDeselect();
    spi.SpiSelect();
    spi.SpiSendByte(0x01);
    spi.SpiSendByte(0xFF);
    spi.SpiDeselect();
    bus.DelayTicks(6000);  // 5 ms
    EXPECT_EQ(Chip()->protection(), c.want);
    spi.SpiSelect();
    spi.SpiSendByte(0x05);
    EXPECT_EQ(spi.SpiReadByte(), c.want);
    spi.SpiDeselect();
    bus.PowerDown();
  }
}

// While the write cycle runs only RDSR is answered: a WREN sent then is lost.
TEST_F(SpiEeprom, AWrenDuringTheWriteCycleIsIgnored) {
  s.Select(HandlerId::M25C_Click, 202, "25x160  (32)");
  families::serial::Spi spi{s.p, false, 0};
  hw::Bus& bus = s.p.bus;
  bus.PowerUp();
  auto command = [&](std::initializer_list<uint8_t> bytes) {
    spi.SpiSelect();
    for (uint8_t b : bytes) spi.SpiSendByte(b);
    spi.SpiDeselect();
  };
  command({0x06});
  command({0x02, 0x00, 0x10, 0x5A});
  command({0x06});       // busy: ignored
  bus.DelayTicks(6000);  // 5 ms
  spi.SpiSelect();
  spi.SpiSendByte(0x05);
  EXPECT_EQ(spi.SpiReadByte(), 0x00);  // neither busy nor WEL
  spi.SpiDeselect();
  bus.PowerDown();
}

}  // namespace

// Above 64 KB the page write and each per-byte read take A23..A16 as a
// byte of its own.
TEST_F(SpiEeprom, AnAt25hp1024AddressesAboveSixtyFourKWithAThirdByte) {
  s.Select(HandlerId::M25C_Click, 401, "AT25HP1024 (128)");
  const auto data = s.LoadRandom(0x10080);  // data end 0x10080: pages 0 .. 0x10080
  Chip()->RecordFrames(true);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.Cells(0x10080), data);
  bool page_10000 = false;
  for (const Frame& f : Frames()) {
    page_10000 |=
        f.size() == 4 + 128 && f[0] == 0x02 && f[1] == 0x01 && f[2] == 0x00 && f[3] == 0x00;
  }
  EXPECT_TRUE(page_10000);

  Stretch(5);
  Chip()->RecordFrames(true);
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  bool read_1007f = false;  // the frame holds what went in on SI: the byte read is not in it
  for (const Frame& f : Frames()) {
    read_1007f |= f.size() == 5 && f[0] == 0x03 && f[1] == 0x01 && f[2] == 0x00 && f[3] == 0x7F;
  }
  EXPECT_TRUE(read_1007f);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];
}
