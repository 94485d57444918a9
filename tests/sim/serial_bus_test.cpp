// The protocol decoders of the serial socket, driven edge by edge as the
// I2C, SPI and Microwire timing diagrams describe the controller's side.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "sim/i2c_bus.h"
#include "sim/microwire_bus.h"
#include "sim/spi_bus.h"

namespace {

// --- I2C -----------------------------------------------------------------------

class I2cLog : public sim::I2cTarget {
 public:
  std::string log;
  bool ack = true;
  uint8_t next = 0xA5;
  std::vector<std::string> timing;
  void OnStart() override { log += "S"; }
  void OnStop() override { log += "P"; }
  bool OnWrite(uint8_t byte, bool first) override {
    char text[8];
    std::snprintf(text, sizeof text, "%s%02X", first ? "@" : "w", byte);
    log += text;
    return ack;
  }
  uint8_t OnRead() override {
    log += "r";
    return next++;
  }
  void OnTiming(std::string_view v) override { timing.emplace_back(v); }
};

struct I2cBus {
  I2cLog target;
  sim::I2cDecoder dec{target, sim::I2cTiming{4000, 4700, 4700, 4000, 4000, 4700}};
  bool scl = true, sda = true;
  int64_t t = 0;
  I2cBus() { dec.PowerOn(true, true, 0); }
  void Set(bool c, bool d, int64_t wait = 5000) {
    t += wait;
    scl = c;
    sda = d;
    dec.Lines(scl, sda, t);
  }
  bool Line() const { return sda && !dec.PullsLow(t); }
  void Start() { Set(true, sda), Set(true, false), Set(false, false); }
  void Stop() { Set(false, false), Set(true, false), Set(true, true); }
  // Sends a byte and returns whether the target acknowledged it.
  bool Send(uint8_t b) {
    for (int i = 7; i >= 0; --i) {
      Set(false, (b >> i) & 1);
      Set(true, sda);
      Set(false, sda);
    }
    Set(false, true);
    Set(true, true);
    const bool ack = !Line();
    Set(false, true);
    return ack;
  }
  uint8_t Receive(bool ack) {
    uint8_t b = 0;
    for (int i = 0; i < 8; ++i) {
      Set(false, true);
      Set(true, true);
      b = static_cast<uint8_t>(b << 1 | (Line() ? 1 : 0));
      Set(false, true);
    }
    Set(false, !ack);
    Set(true, !ack);
    Set(false, !ack);
    return b;
  }
};

TEST(I2cDecoder, WritesReadsAndTheAcknowledgeSlots) {
  I2cBus bus;
  bus.Start();
  EXPECT_TRUE(bus.Send(0xA0));
  EXPECT_TRUE(bus.Send(0x3C));
  bus.Stop();
  bus.Start();
  EXPECT_TRUE(bus.Send(0xA1));
  EXPECT_EQ(bus.Receive(true), 0xA5);
  EXPECT_EQ(bus.Receive(false), 0xA6);
  // After the NACK the target has let go: a STOP is seen, nothing more read.
  bus.Stop();
  EXPECT_EQ(bus.target.log, "S@A0w3CPS@A1rrP");
  EXPECT_TRUE(bus.target.timing.empty());

  // A NACKed select leaves the bus alone until the next START.
  bus.target.ack = false;
  bus.target.log.clear();
  bus.Start();
  EXPECT_FALSE(bus.Send(0xA0));
  EXPECT_TRUE(bus.Line());
  bus.target.ack = true;
  EXPECT_FALSE(bus.Send(0x00));  // nobody listens
  bus.Start();                   // repeated START from SCL high is a START
  EXPECT_TRUE(bus.Send(0xA0));
  EXPECT_EQ(bus.target.log, "S@A0S@A0");
}

TEST(I2cDecoder, OneWriteMovingBothLinesIsAClockNotAStartOrStop) {
  I2cBus bus;
  bus.Start();
  bus.Send(0xA0);
  bus.Set(true, false);  // SCL up with SDA low
  bus.Set(false, true);  // SCL down and SDA up together
  bus.Set(true, true);
  bus.Set(false, false);  // and the other way round
  EXPECT_EQ(bus.target.log, "S@A0");
}

TEST(I2cDecoder, ClockPhasesShorterThanTheDatasheetAreNamed) {
  I2cBus bus;
  bus.Start();
  bus.Set(false, true);
  bus.Set(true, true, 4700);
  bus.Set(false, true, 3999);  // tHIGH is 4.0 us
  bus.Set(true, true, 4699);   // tLOW is 4.7 us
  EXPECT_EQ(bus.target.timing,
            (std::vector<std::string>{"SCL high shorter than tHIGH", "SCL low shorter than tLOW"}));
}

// tBUF runs from a STOP: the first START after power-on has none before it.
// The 400 kHz figures leave a START 1 us after power-on within tSU;STA.
TEST(I2cDecoder, TheFirstStartAfterPowerOnHasNoStopToBeFreeOf) {
  I2cLog target;
  sim::I2cDecoder dec{target, sim::I2cTiming{600, 1300, 600, 600, 600, 1300}};
  dec.PowerOn(true, true, 0);
  dec.Lines(true, false, 1000);  // START
  EXPECT_TRUE(target.timing.empty());
  dec.Lines(false, false, 2000);
  dec.Lines(true, false, 4000);
  dec.Lines(true, true, 5000);   // STOP
  dec.Lines(true, false, 6000);  // START 1 us after it
  EXPECT_EQ(target.timing,
            std::vector<std::string>{"bus free time before START shorter than tBUF"});
}

TEST(I2cDecoder, ASlowPartShowsItsAcknowledgeLate) {
  I2cBus bus;
  bus.dec.SetAckDelay(8381);
  bus.Start();
  for (int i = 7; i >= 0; --i) {
    bus.Set(false, (0xA0 >> i) & 1);
    bus.Set(true, bus.sda);
    bus.Set(false, bus.sda);
  }
  bus.Set(false, true);
  EXPECT_TRUE(bus.Line());  // not yet: the ninth clock has not begun
  bus.Set(true, true);
  bus.t += 3000;
  EXPECT_TRUE(bus.Line());
  bus.t += 5400;  // 8.4 us into the clock
  EXPECT_FALSE(bus.Line());
}

// --- SPI -------------------------------------------------------------------------

class SpiLog : public sim::SpiTarget {
 public:
  std::vector<uint8_t> in;
  int64_t bits = -1;
  void OnSelect() override { in.clear(); }
  std::optional<uint8_t> OnByte(uint8_t b, int index) override {
    in.push_back(b);
    return static_cast<uint8_t>(0x81 + index);
  }
  void OnDeselect(int64_t n) override { bits = n; }
};

TEST(SpiDecoder, SiOnRisingEdgesSoChangesOnFallingEdges) {
  SpiLog target;
  sim::SpiDecoder dec(target);
  dec.Select();
  EXPECT_FALSE(dec.Output().has_value());
  for (int i = 7; i >= 0; --i) {  // 0x9F in
    dec.Rise((0x9F >> i) & 1);
    dec.Fall();
  }
  ASSERT_EQ(target.in, std::vector<uint8_t>{0x9F});
  // The answer 0x81 = 1000 0001 is on SO from the last falling edge on; it
  // holds through each rising edge, so sampling before or after it agree.
  std::vector<bool> seen;
  for (int i = 0; i < 8; ++i) {
    const bool before = *dec.Output();
    dec.Rise(false);
    EXPECT_EQ(*dec.Output(), before);
    seen.push_back(before);
    dec.Fall();
  }
  EXPECT_EQ(seen, (std::vector<bool>{true, false, false, false, false, false, false, true}));
  dec.Rise(true);
  dec.Deselect();
  EXPECT_EQ(target.bits, 17);
  EXPECT_FALSE(dec.Output().has_value());
}

// --- Microwire ----------------------------------------------------------------------

class MwLog : public sim::MicrowireTarget {
 public:
  int opcode = -1;
  uint32_t address = 0, data = 0;
  Follows follows = Follows::kRead;
  std::optional<bool> complete;
  Follows OnCommand(int op, uint32_t a) override {
    opcode = op;
    address = a;
    return follows;
  }
  void OnData(uint32_t w) override { data = w; }
  uint32_t OnReadWord() override { return 0xA5C3; }
  void OnDeselect(bool c) override { complete = c; }
};

void Frame(sim::MicrowireDecoder& dec, uint32_t bits, int count) {
  for (int i = count - 1; i >= 0; --i) dec.Clock((bits >> i) & 1);
}

TEST(MicrowireDecoder, LeadingZerosStartBitOpcodeAddressAndData) {
  MwLog target;
  sim::MicrowireDecoder dec(target);
  dec.SetWidths(8, 16);  // 93C66 organised by 16
  dec.Select();
  Frame(dec, 0x0685, 14);  // three leading zeros, then 1 10 10000101
  EXPECT_EQ(target.opcode, 2);
  EXPECT_EQ(target.address, 0x85u);
  EXPECT_TRUE(dec.Reading());
  EXPECT_FALSE(dec.ReadLevel());  // the dummy 0
  uint32_t word = 0;
  for (int i = 0; i < 16; ++i) {
    dec.Clock(false);
    word = word << 1 | (dec.ReadLevel() ? 1 : 0);
  }
  EXPECT_EQ(word, 0xA5C3u);
  dec.Deselect();
  EXPECT_EQ(target.complete, true);

  // A write cut before its last data bit is incomplete.
  target.follows = MwLog::Follows::kData;
  dec.SetWidths(7, 8);
  dec.Select();
  Frame(dec, 0x283, 10);
  Frame(dec, 0x5A >> 1, 7);
  dec.Deselect();
  EXPECT_EQ(target.opcode, 1);
  EXPECT_EQ(target.address, 3u);
  EXPECT_EQ(target.complete, false);
  dec.Select();
  Frame(dec, 0x283, 10);
  Frame(dec, 0x5A, 8);
  dec.Deselect();
  EXPECT_EQ(target.data, 0x5Au);
  EXPECT_EQ(target.complete, true);
}

TEST(I2cDecoder, TheTargetLetsGoOfSdaForTheControllersAcknowledge) {
  I2cBus bus;
  bus.target.next = 0x00;  // a byte of zeros: the target pulls for every bit
  bus.Start();
  ASSERT_TRUE(bus.Send(0xA1));
  for (int i = 0; i < 8; ++i) {
    bus.Set(false, true);
    bus.Set(true, true);
    EXPECT_FALSE(bus.Line()) << "bit " << i;
    bus.Set(false, true);
  }
  // The ninth clock belongs to the controller: SDA stays as it leaves it.
  bus.Set(true, true);
  EXPECT_TRUE(bus.Line());
  bus.Set(false, true);
  bus.Stop();
  EXPECT_EQ(bus.target.log, "S@A1rP");
}

}  // namespace
