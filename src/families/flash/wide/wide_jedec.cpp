// W4 to W7: the JEDEC parts in word mode (family 44).
#include <algorithm>

#include "app/chip_id.h"
#include "app/default_routines.h"
#include "families/flash/flash_devices.h"
#include "families/flash/jedec_cycle.h"
#include "families/flash/wide/wide.h"
#include "families/flash/wide/wide_bus.h"
#include "families/flash/wide/wide_program.h"

namespace families::wide {

using namespace flash;
using namespace flash::wide;

namespace {

constexpr int kSends = 4;             // sends of one word before it counts as failed
constexpr int32_t kWaitStep = 20;     // the wait grows by this much a resend
constexpr int32_t kWaitLimit = 100;   // up to this
constexpr int32_t kProgramHigh = 20;  // high-byte wait of the program read-back
constexpr int32_t kBypassHigh = 12;
constexpr int kErasePasses = 10000;
constexpr uint8_t kEraseBytes[6] = {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x10};

// A three-word command in the fast form with the latch cleared first, so
// the command words carry a high byte of 0x00.
void FastWordCommand(app::Programmer& p, uint8_t code) {
  hw::Bus& bus = p.bus;
  bus.WriteBusByte(0x00);
  Bit(bus, kStrobe, false);
  bus.DelayTicks(30);
  Bit(bus, kStrobe, true);
  bus.DelayTicks(60);
  FastCommand(bus, kStandardUnlock, code, false, p.dev.twp);
}

// The leave-bypass words 0x90, 0xF0 at whatever address the registers hold.
void LeaveBypass(hw::Bus& bus) {
  CommandWord(bus, 0x90, 8, 2, 5);
  CommandWord(bus, 0xF0, 8, 2, 5);
}

// What W4 and W5 share around their word loop.
template <typename Open, typename Send>
void ProgramWords(app::Programmer& p, Open&& open, Send&& send) {
  const WideRun run = BeginWideProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  p.error = 0;
  IdleWord(p);
  open();
  const bool ok = ForEachWord(p, run, [&](uint32_t k, Word want) {
    int32_t w = p.dev.twc;
    for (int n = 1;; ++n) {
      const Word chip = send(k, want, w);
      if (chip == want) return true;
      if (n == kSends) {
        ReportWordMismatch(p, k, chip);
        return false;
      }
      w = std::min(w + kWaitStep, kWaitLimit);
    }
  });
  if (ok) {
    Bit(bus, kStrobe, true);
    bus.DelayTicks(500);
    LeaveBypass(bus);
  }
  bus.PowerDown();
  FinishWideProgram(p, run, ok);
}

}  // namespace

void W4(app::Programmer& p) {
  if (FastMode(p)) {
    W5(p);
    return;
  }
  hw::Bus& bus = p.bus;
  ProgramWords(
      p, [] {},
      [&](uint32_t k, Word want, int32_t w) {
        FastWordCommand(p, 0xA0);
        bus.ShiftAddress(WordAddress(p, k));
        DataWord(bus, want, 8, p.dev.twp);
        Wait(bus, w);
        return ReadBack(bus, kProgramHigh);
      });
}

void W5(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const auto enter_bypass = [&p] { FastWordCommand(p, 0x20); };
  ProgramWords(p, enter_bypass, [&](uint32_t k, Word want, int32_t w) {
    bus.ShiftAddress(WordAddress(p, k));
    CommandWord(bus, 0xA0, 8, 2, 5);
    DataWord(bus, want, 8, p.dev.twp);
    Wait(bus, w);
    ReadBack(bus, kBypassHigh);
    bus.DelayTicks(kBypassHigh);
    return ReadBack(bus, kBypassHigh);
  });
}

void W6(app::Programmer& p) {
  p.SetProcessGauge("Erasing chip (100 sec) ,check DQ6,DQ7", kErasePasses, 0xFFFFFF);
  ShowPeak(p, "lbLoopPeak", "  timer ");
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  IdleWord(p);
  for (size_t i = 0; i < 6; ++i) {
    bus.ShiftAddress(kStandardUnlock[i]);
    bus.StrobeWrite(0x00, kEraseBytes[i], 100);
    bus.DelayTicks(3);
    bus.ProgramPulse(5);
    bus.DelayTicks(5);
  }
  bus.DelayTicks(150);
  Bit(bus, kDrive, false);
  bool done = false;
  for (int pass = 0; pass < kErasePasses && !done; ++pass) {
    p.Refresh(pass);
    if (Pump(p)) {
      p.ShowProgress(1, 0, 0);
      bus.PowerDown();
      return;
    }
    bus.DelayTicks(10000);
    Bit(bus, kDrive, true);
    bus.DelayTicks(10);
    Bit(bus, kDrive, false);
    bus.DelayTicks(5);
    // DQ7 of the low byte: 0 while the erase runs, the erased cell's 1 after.
    if ((bus.ReadDataByte() & 0x80) != 0) {
      done = true;
    } else {
      ShowSeconds(p, pass);
    }
  }
  bus.PowerDown();
  if (done) {
    p.Message("erase completed by check DQ7", hw::kResult);
  } else {
    p.Message("Error erasing chip ", hw::kResult);
    p.error = 1;
  }
}

void W7(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  CommandWord(bus, 0xF0, 50, 10, 0);  // reset
  for (size_t i = 0; i < 3; ++i) {
    static constexpr uint8_t kAutoselect[3] = {0xAA, 0x55, 0x90};
    CommandWordAt(bus, kStandardUnlock[i], kAutoselect[i], 50, 10, 50);
  }
  bus.DelayTicks(10);
  constexpr int32_t kIdHigh = 60;
  uint16_t manufacturer = ReadWordAt(bus, 0, kIdHigh).value();
  uint16_t device = 0;
  if ((manufacturer & 0xFF) == 0x7F) {
    // A JEDEC continuation code: the codes sit in the next bank.
    manufacturer = ReadWordAt(bus, 0x100, kIdHigh).value();
    device = ReadWordAt(bus, 0x101, kIdHigh).value();
  } else {
    device = ReadWordAt(bus, 1, kIdHigh).value();
  }
  // Sector 0's protection, before the part leaves identifier mode.
  const uint8_t lock = ReadWordAt(bus, 2, kIdHigh).low;
  bus.DelayTicks(200);
  CommandWord(bus, 0xF0, 50, 10, 0);
  CommandWordAt(bus, 0x55555, 0x98, 50, 10, 200);
  ReadWideCfi(p, kIdHigh);
  bus.PowerDown();  // which also leaves the query mode
  IdentifyWide(p, manufacturer, device, lock);
}

}  // namespace families::wide
