// The AT90S model on its own terms: the address latch that outlives a
// command, the long /WR pulses of the erase and the fuse write, 12 V on an
// unpowered socket, the state that goes into the chip file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "families/mcu/avr_fixture.h"
#include "families/mcu/avr_ops.h"

namespace daraz_test {
namespace {

namespace avr = families::avr;
using Strings = std::vector<std::string>;

TEST(AvrChip, TheHighAddressByteOutlivesTheCommand) {
  AvrSession s;
  s.Select(106);  // AT90S8515, 512-byte EEPROM
  avr::AvrEnterProgramming(s.p);
  // A flash read leaves 0x01 in the high address latch; an EEPROM write
  // that loads only its low byte lands in the upper half.
  avr::ReadFlashWord(s.p, 0x1A5);
  avr::AvrLoad(s.p, 0x200, 0x11);
  avr::AvrLoad(s.p, 0x000, 0x05);
  avr::AvrLoad(s.p, 0x080, 0x3C);
  avr::AvrWritePulse(s.p, 0);
  s.p.bus.DelayTicks(1500);
  s.p.bus.PowerDown();
  EXPECT_EQ(s.chip->eeprom()[0x105], 0x3C);
  EXPECT_EQ(s.chip->eeprom()[0x005], 0xFF);
  EXPECT_EQ(s.Violations(), Strings{});
}

TEST(AvrChip, EraseAndFuseNeedTheirLongWritePulses) {
  AvrSession s;
  s.Select(102);
  s.chip->SetContents(std::vector<uint8_t>(2048 + 128, 0x00));
  avr::AvrEnterProgramming(s.p);
  // 50 ticks (42 us) of /WR is far below the 5 ms a chip erase needs, and
  // 20 ticks below the 1 ms of a fuse write: neither takes.
  avr::AvrLoad(s.p, 0x200, 0x80);
  avr::AvrWritePulse(s.p, 0, 50);
  avr::AvrLoad(s.p, 0x200, 0x40);
  avr::AvrLoad(s.p, 0x080, 0xDE);
  avr::AvrWritePulse(s.p, 0, 20);
  s.p.bus.PowerDown();
  EXPECT_EQ(s.chip->flash()[0], 0x00);
  EXPECT_EQ(s.chip->fuses(), 0xFF);
  EXPECT_EQ(s.Violations(), (Strings{"chip erase /WR pulse shorter than tWLWH_CE",
                                     "fuse /WR pulse shorter than tWLWH_PFB"}));
}

TEST(AvrChip, TwelveVoltsOnAnUnpoweredSocketEntersNothing) {
  AvrSession s;
  s.Select(102);
  s.p.bus.SetCtrl(hw::ctrl::kStrobe, false);  // 12 V on RESET, Vcc off
  s.p.bus.WriteCtrl();
  s.p.bus.SetCtrl(hw::ctrl::kStrobe, true);
  s.p.bus.WriteCtrl();
  EXPECT_FALSE(s.chip->programming());
  EXPECT_EQ(s.Violations(),
            (Strings{"Vpp applied while Vcc is off", "Vpp driven while Vcc is off"}));
}

TEST(AvrChip, FusesAndLocksGoIntoTheChipFile) {
  AvrSession s;
  s.Select(104);
  ASSERT_TRUE(s.chip->SetState({"fuses", {0xE6}}));
  ASSERT_TRUE(s.chip->SetState({"locks", {0xFD}}));
  EXPECT_FALSE(s.chip->SetState({"option", {0x00}}));
  const std::vector<sim::StateSection> state = s.chip->State();
  ASSERT_EQ(state.size(), 2u);
  EXPECT_EQ(state[0].name, "fuses");
  EXPECT_EQ(state[0].bytes, std::vector<uint8_t>{0xE6});
  EXPECT_EQ(state[1].name, "locks");
  EXPECT_EQ(state[1].bytes, std::vector<uint8_t>{0xFD});
  // A lock byte from a file cannot clear bits the part does not have.
  ASSERT_TRUE(s.chip->SetState({"locks", {0x00}}));
  EXPECT_EQ(s.chip->locks(), 0xF9);
}

}  // namespace
}  // namespace daraz_test
