// How a JEDEC part's sector protection changes on the board: the MXIC
// protect command and the in-system algorithm of the LV parts (12 V on
// #RESET). See jedec_flash.h for the protocol.
#include "sim/jedec_flash.h"

namespace sim {
namespace {

// The part's own address: in byte mode board bit 0 is A-1.
uint32_t PartAddress(const JedecPart& part, uint32_t index) {
  return part.width == BusWidth::kByteMode ? index >> 1 : index;
}

constexpr uint32_t kA9 = 1u << 9, kA6 = 1u << 6;

}  // namespace

bool JedecFlash::ProtectEdges(const Pins& pins, const FlashEdges& e) {
  const int64_t now = pins.time_ns;
  if (e.power_off) {
    EndPulse(now);
    guard_ = Guard::kNone;
    swallow_commit_ = false;
    return false;
  }
  if (e.vpp_on || (e.power_on && bus_.vpp())) vpp_since_ns_ = now;
  if (part_.protect_mode == ProtectMode::kHighVoltage) return HighVoltageEdges(pins, e);
  if (e.vpp_off && guard_ == Guard::kInSystem) {
    EndPulse(now);
    guard_ = Guard::kNone;
  }
  if (guard_ == Guard::kMxicArmed && e.write_start && bus_.power()) {
    guard_ = Guard::kNone;
    Settle(now);
    const uint32_t index = cells_.Index(bus_.write_address());
    const uint32_t unit = PartAddress(part_, index);
    if ((unit & kA9) != 0 && op_ == Op::kNone) {
      StartPulse(now, index, (unit & kA6) != 0);
      swallow_commit_ = true;
    }
    return false;
  }
  if (swallow_commit_ && (e.commit || e.commit_oe_low)) {
    swallow_commit_ = false;
    return true;
  }
  return false;
}

bool JedecFlash::InSystemWrite(const Pins& pins, uint32_t index, uint8_t data) {
  if (part_.protect_mode != ProtectMode::kInSystem || !bus_.vpp()) return false;
  const int64_t now = pins.time_ns;
  if (guard_ == Guard::kNone) {
    // Any other first write is an ordinary command under temporary unprotect.
    if (data != 0x60 || step_ != 0 || mode_ != Mode::kRead) return false;
    if (now - vpp_since_ns_ < 1 * kUs) {
      Violation("protect command sooner than 1 us after 12 V on #RESET", now, pins.address);
    }
    guard_ = Guard::kInSystem;
    return true;
  }
  EndPulse(now);
  const uint32_t unit = PartAddress(part_, index);
  const bool sector_address = (unit & 0x3) == 0x2;  // A1 = 1, A0 = 0
  if (data == 0x60 && sector_address) {
    StartPulse(now, index, (unit & kA6) != 0);
    mode_ = Mode::kRead;
  } else if (data == 0x40 && sector_address) {
    mode_ = Mode::kAutoselect;  // verify: the status at the address
  } else if (data == 0xF0) {
    Reset();
  }
  return true;
}

bool JedecFlash::HighVoltageWired() const {
  return part_.protect_mode == ProtectMode::kHighVoltage &&
         (Jumper(kWireA9Oe) || Jumper(kWireA9OeCe));
}

bool JedecFlash::HighVoltageEdges(const Pins& pins, const FlashEdges& e) {
  const bool a9_oe = HighVoltageWired();
  const bool ce_high = Jumper(kWireA9OeCe) || (a9_oe && Jumper(kWireOeCe));
  if (!a9_oe && !Jumper(kWireOeCe)) return false;  // the socket as usual
  // Vcc off ends a pulse without effect and the normal handling resets.
  if (!bus_.power()) {
    pulse_.active = false;
    return false;
  }
  const int64_t now = pins.time_ns;
  const ProtectTiming& t = part_.protect_timing;
  if (pulse_.active && (e.commit || e.commit_oe_low || e.vpp_off)) {
    // The pulse counts only if it lasted long enough at 12 V.
    const int64_t width = now - pulse_.start_ns;
    if (width >= (pulse_.unprotect ? t.unprotect_ns : t.protect_ns)) ApplyPulse();
    pulse_.active = false;
  }
  if (e.write_start && a9_oe && bus_.vpp()) {
    if (now - vpp_since_ns_ < t.vid_setup_ns) {
      Violation("WE# sooner than 4 us after 12 V on A9 and OE#", now, pins.address);
    }
    pulse_ = {true, ce_high, sectors_.Find(cells_.Index(bus_.write_address())), now};
    ++high_voltage_pulses_;
  }
  return true;  // no command reaches the part while a wire is fitted
}

void JedecFlash::StartPulse(int64_t now, uint32_t index, bool unprotect) {
  pulse_ = {true, unprotect, sectors_.Find(index), now};
  if (part_.protect_mode != ProtectMode::kMxicCommand) return;
  // The MXIC command runs by itself: busy until its time has passed.
  op_ = Op::kProtect;
  toggles_ = 0;
  status_data_ = 0xFF;
  fails_ = false;
  limit_ns_ = kNever;
  const ProtectTiming& t = part_.protect_timing;
  done_ns_ = now + (unprotect ? t.unprotect_ns : t.protect_ns);
  mode_ = Mode::kAutoselect;
}

void JedecFlash::EndPulse(int64_t now) {
  // The MXIC command ends by itself (Settle); an in-system pulse ends with
  // the next write and counts only when it lasted long enough.
  if (!pulse_.active || op_ == Op::kProtect) return;
  const ProtectTiming& t = part_.protect_timing;
  if (now - pulse_.start_ns >= (pulse_.unprotect ? t.unprotect_ns : t.protect_ns)) ApplyPulse();
  pulse_.active = false;
}

void JedecFlash::ApplyPulse() {
  pulse_.active = false;
  if (!pulse_.unprotect) {
    if (refuse_[static_cast<size_t>(pulse_.sector)] == 0) Protect(pulse_.sector, true);
    return;
  }
  for (int s = 0; s < sectors_.count(); ++s) {
    if (!Protected(s)) {
      Violation("sector unprotect with a sector not protected", pulse_.start_ns, sectors_.Start(s));
      break;
    }
  }
  for (int s = 0; s < sectors_.count(); ++s) Protect(s, false);
}

}  // namespace sim
