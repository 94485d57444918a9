// Family 6, the 25xxx SPI EEPROMs, end to end against the SPI EEPROM model.
#include "sim/spi_eeprom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "families/parallel/uv_eprom.h"
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
      {"write_time", 10, false},  // 10 ms against the 5 ms wait
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
