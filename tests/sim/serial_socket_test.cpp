// The serial socket: which register bit reaches which pin with which sense,
// and what status bit 7 reads with a chip that drives, releases or is not
// there.
#include "sim/serial_socket.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "sim/board.h"

namespace {

using sim::SerialLines;

// A chip that shows the lines it was given and drives what the test says.
class Probe final : public sim::SerialChip {
 public:
  explicit Probe(const sim::SerialWiring& wiring) : SerialChip(wiring) {}
  std::vector<uint8_t> Contents() const override { return std::vector<uint8_t>(4, 0xFF); }
  void SetContents(const std::vector<uint8_t>&) override {}
  std::optional<bool> drive;
  int power_ons = 0, power_offs = 0, changes = 0;

 private:
  void OnLines(const SerialLines&, const SerialLines&) override { ++changes; }
  std::optional<bool> Output(int64_t) const override { return drive; }
  void OnPowerOn(int64_t) override { ++power_ons; }
  void OnPowerOff(int64_t) override { ++power_offs; }
};

constexpr uint16_t kData = 0x378, kStatus = 0x379, kCtrl = 0x37A;

struct Socket {
  sim::Board board;
  Probe* chip;
  explicit Socket(const sim::SerialWiring& wiring) {
    auto probe = std::make_unique<Probe>(wiring);
    chip = probe.get();
    board.InsertChip(std::move(probe));
  }
  const SerialLines& Set(uint8_t data, uint8_t ctrl) {
    board.PortOut(kCtrl, ctrl);
    board.PortOut(kData, data);
    return chip->lines();
  }
  bool Status7() { return (board.PortIn(kStatus) & 0x80) != 0; }
};

TEST(SerialSocket, EachWiringMapsTheRegisterBitsWithItsSense) {
  // Power on (control bit 2) throughout; data bit 0 set, data bit 1 set.
  const struct {
    const sim::SerialWiring* wiring;
    uint8_t ctrl;
    bool data_line, selected, aux;
  } cases[] = {
      // I2C: SDA is data bit 0 as it stands; WP is the NOT of control bit 3.
      {&sim::kI2cWiring, 0x04, true, true, true},
      {&sim::kI2cWiring, 0x0C, true, true, false},
      // Microwire socket: DI inverted; CS high (selected) while bit 3 is 0.
      {&sim::kMicrowireWiring, 0x05, false, true, false},
      {&sim::kMicrowireWiring, 0x0D, false, false, false},
      // ICSP: DI as it stands; CS on control bit 0, selected while cleared.
      {&sim::kMicrowireIcspWiring, 0x04, true, true, false},
      {&sim::kMicrowireIcspWiring, 0x05, true, false, false},
      {&sim::kMicrowireIcspWiring, 0x0D, true, false, false},
      // CAT64LC and SPI: CS# selected while bit 3 is 1.
      {&sim::kCat64Wiring, 0x0D, false, true, false},
      {&sim::kCat64Wiring, 0x05, false, false, false},
      {&sim::kSpiWiring, 0x0D, false, true, false},
      {&sim::kSpiWiring, 0x05, false, false, false},
      // X24C44: CE selected while bit 3 is 0.
      {&sim::kNvramWiring, 0x05, false, true, false},
      {&sim::kNvramWiring, 0x0D, false, false, false},
      // PIC ICSP: no select pin; MCLR/VPP on while control bit 0 is cleared.
      {&sim::kPicIcspWiring, 0x04, true, true, true},
      {&sim::kPicIcspWiring, 0x0D, true, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.wiring->name) + " ctrl " + std::to_string(c.ctrl));
    Socket s(*c.wiring);
    const SerialLines& l = s.Set(0x07, c.ctrl);
    EXPECT_TRUE(l.power);
    EXPECT_TRUE(l.clock);
    EXPECT_EQ(l.data, c.data_line);
    EXPECT_EQ(l.selected, c.selected);
    EXPECT_EQ(l.aux, c.aux);
    // Data bit 1 low is the clock low, whatever else.
    EXPECT_FALSE(s.Set(0x05, c.ctrl).clock);
  }
}

TEST(SerialSocket, StatusBit7IsTheNodeInverted) {
  // SPI: SO when the chip drives it, else the loop-back of data bit 0.
  Socket spi(sim::kSpiWiring);
  spi.Set(0x01, 0x0D);
  EXPECT_FALSE(spi.Status7());  // loop-back: data bit 0 = 1 reads 0
  spi.Set(0x00, 0x0D);
  EXPECT_TRUE(spi.Status7());
  spi.chip->drive = true;
  EXPECT_FALSE(spi.Status7());
  spi.chip->drive = false;
  spi.Set(0x01, 0x0D);
  EXPECT_TRUE(spi.Status7());

  // I2C: a wired AND of data bit 0 and the chip's pull.
  Socket i2c(sim::kI2cWiring);
  i2c.Set(0x01, 0x04);
  EXPECT_FALSE(i2c.Status7());  // released, SDA high
  i2c.chip->drive = false;
  EXPECT_TRUE(i2c.Status7());  // the chip pulls low
  i2c.Set(0x00, 0x04);
  i2c.chip->drive = std::nullopt;
  EXPECT_TRUE(i2c.Status7());  // the port pulls low
  i2c.chip->drive = true;
  EXPECT_TRUE(i2c.Status7());  // open drain: nothing lifts the port's low

  // The PIC's PGD is shared the same way.
  Socket pic(sim::kPicIcspWiring);
  pic.Set(0x01, 0x04);
  pic.chip->drive = true;
  EXPECT_FALSE(pic.Status7());
  pic.chip->drive = false;
  EXPECT_TRUE(pic.Status7());
  pic.Set(0x00, 0x04);
  pic.chip->drive = true;
  EXPECT_TRUE(pic.Status7());  // the port's low wins

  // Unpowered, the line floats high whatever the chip would say.
  i2c.chip->drive = false;
  i2c.Set(0x00, 0x08);
  EXPECT_FALSE(i2c.Status7());
}

TEST(SerialSocket, PowerEdgesReachTheModelAndNothingElseWhileOff) {
  Socket s(sim::kSpiWiring);
  s.Set(0x00, 0x08);
  s.Set(0x03, 0x00);
  EXPECT_EQ(s.chip->changes, 0);
  s.Set(0x03, 0x04);
  EXPECT_EQ(s.chip->power_ons, 1);
  EXPECT_EQ(s.chip->changes, 1);
  s.Set(0x01, 0x04);
  EXPECT_EQ(s.chip->changes, 2);
  s.Set(0x01, 0x00);
  EXPECT_EQ(s.chip->power_offs, 1);
  EXPECT_EQ(s.chip->changes, 2);
}

TEST(SerialSocket, AnAbsentChipHearsAndSaysNothing) {
  Socket s(sim::kSpiWiring);
  ASSERT_TRUE(s.chip->InjectFault({"absent"}));
  s.chip->drive = true;
  s.Set(0x00, 0x0D);
  EXPECT_TRUE(s.Status7());  // the loop-back, not the chip
  EXPECT_EQ(s.chip->power_ons, 0);
  // Stuck bits are checked against the cells.
  EXPECT_FALSE(s.chip->InjectFault({"stuck", 4, 0, 1}));
  EXPECT_FALSE(s.chip->InjectFault({"stuck", 0, 8, 1}));
  EXPECT_FALSE(s.chip->InjectFault({"stuck", 0, 7, 2}));
  EXPECT_TRUE(s.chip->InjectFault({"stuck", 3, 7, 0}));
}

}  // namespace
