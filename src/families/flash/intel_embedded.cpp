// The embedded chip erases of the 12 V parts: I4 (Am28FxxxA) and I12
// (MX28F), completion seen on DQ7.
#include "families/flash/flash_frame.h"
#include "families/flash/intel.h"

namespace families::intel {

using namespace flash;

namespace {

struct EmbeddedErase {
  const char* caption;
  uint32_t colour;
  int passes;
  int32_t settle;     // ticks around the DQ7 read
  const char* done;   // DQ7 rose
  const char* fails;  // it never did
};

// One byte of the erase command: the byte, the wait before WE#, the pulse.
void EraseByte(hw::Bus& bus, int32_t before_pulse, int32_t pulse) {
  bus.WriteBusByte(0x30);
  bus.DelayTicks(before_pulse);
  bus.ProgramPulse(pulse);
}

// Polls DQ7 once a pass; " %0.1f Sec" as it goes. Returns false on Cancel.
bool Poll(app::Programmer& p, const EmbeddedErase& e, bool& done) {
  hw::Bus& bus = p.bus;
  done = false;
  for (int pass = 0; pass < e.passes; ++pass) {
    if (p.Refresh(pass)) {
      p.ShowProgress(1, 0, 0);
      return false;
    }
    bus.DelayTicks(10000);
    Bit(bus, kDrive, false);
    bus.DelayTicks(e.settle);
    const uint8_t r = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    bus.DelayTicks(e.settle);
    if ((r & 0x80) != 0) {
      done = true;
      return true;
    }
    ShowSeconds(p, pass);
  }
  return true;
}

void Report(app::Programmer& p, const EmbeddedErase& e, bool done) {
  if (done) {
    p.Message(e.done, hw::kResult);
  } else {
    p.Message(e.fails, hw::kResult);
    p.error = 1;  // a failure, whatever colour its text has
  }
}

}  // namespace

void I4(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const EmbeddedErase e{"erasing chip delay time 20 Sec", app::colour::kRed,           2000, 10,
                        "erase completed by check DQ7",   "erase Chip Fail (Time Out)"};
  p.SetProcessGauge(e.caption, e.passes, e.colour);
  bus.PowerUp();
  Vpp(bus, true);
  bus.DelayTicks(2000);
  bus.SetCtrl(kDrive, true);
  Bit(bus, kProgram, false);
  bus.DelayTicks(5);
  EraseByte(bus, 5, 8);
  bus.DelayTicks(5);
  EraseByte(bus, 10, 8);
  bus.DelayTicks(200);
  bool done = false;
  if (Poll(p, e, done)) Report(p, e, done);
  bus.PowerDown();  // 12 V and Vcc drop together
}

void I12(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const EmbeddedErase e{"Erase Chip ,Check DQ7 ",
                        app::colour::kWhite,
                        1000,
                        20,
                        "erase CHIP completed by check DQ7",
                        "Erase Fail "};
  p.SetProcessGauge(e.caption, e.passes, e.colour);
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFFF);
  Vpp(bus, true);
  bus.DelayTicks(1000);
  Bit(bus, kDrive, true);
  bus.DelayTicks(15);
  EraseByte(bus, 30, 15);
  bus.DelayTicks(30);
  EraseByte(bus, 30, 15);
  bus.DelayTicks(1000);
  p.error = 0;
  bool done = false;
  const bool finished = Poll(p, e, done);
  Vpp(bus, false);
  bus.DelayTicks(1000);
  if (finished) Report(p, e, done);
  bus.PowerDown();
}

}  // namespace families::intel
