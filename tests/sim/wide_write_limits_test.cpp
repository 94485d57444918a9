// The write limits of the word-wide and firmware-hub parts, one WE#-timed
// write at the pins each: every limit met to the nanosecond passes, one
// nanosecond short is logged. The limits are the datasheets' AC tables.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"
#include "sim/wsm_flash.h"

namespace {

constexpr int64_t kMs = 1'000'000;

struct Limits {
  const char* part;
  bool wsm;                // write-state-machine part, else JEDEC
  int64_t pulse_ns;        // tWP
  int64_t address_hold_ns; // tAH, from WE# falling (the address is latched then)
  int64_t data_setup_ns;   // tDS, before WE# rises
};

// tAS is 0 ns on every one of them: an address that settles at the WE# fall
// itself is in time.
const Limits kParts[] = {
    {"Am29F100T x16", false, 45, 45, 30},     // 5 V boot-sector word mode
    {"MBM29LV160TE x16", false, 35, 45, 35},  // 3 V word mode
    {"SST39VF160", false, 40, 30, 30},        // SST x16
    {"SST49LF002A", false, 100, 50, 50},      // SST hub, PP mode
    {"W49V002A", false, 100, 50, 50},         // Winbond hub, PP mode
    {"28F400B3-T", true, 50, 10, 50},         // boot block B3
    {"28F320J3 x16", true, 50, 10, 50},       // StrataFlash J3
    {"82802AB", true, 100, 50, 50},           // Intel hub, PP mode
};

struct Timing {
  int64_t pulse_ns;
  int64_t address_after_fall_ns;  // when the address changes, from the WE# fall
  int64_t address_before_fall_ns; // when the address settled, before the WE# fall
  int64_t data_setup_ns;
};

// One write of 0xFF (read array / no command) at the given timing; the
// violations the part logged.
std::vector<std::string> WriteOnce(const Limits& l, const Timing& t) {
  std::unique_ptr<sim::Chip> chip;
  if (l.wsm) {
    chip = std::make_unique<sim::WsmFlash>(*sim::FindWsmPart(l.part));
  } else {
    chip = std::make_unique<sim::JedecFlash>(*sim::FindJedecPart(l.part));
  }
  // Vpp off (strobe high), OE# high (the port drives), power on.
  constexpr uint8_t kStrobe = 0x01, kDrive = 0x02, kPower = 0x04, kWe = 0x08;
  sim::Pins pins;
  pins.ctrl = kStrobe | kDrive | kPower;
  chip->Update(pins);
  const int64_t fall = 1 * kMs;  // well past the power-up time
  pins.time_ns = fall;
  pins.address = 0x10;
  pins.address_since_ns = fall - t.address_before_fall_ns;
  pins.data = 0xFF;
  pins.data_since_ns = fall;
  pins.ctrl |= kWe;
  chip->Update(pins);
  pins.time_ns = fall + t.pulse_ns;
  if (t.address_after_fall_ns >= 0) {
    pins.address = 0x11;
    pins.address_since_ns = fall + t.address_after_fall_ns;
  }
  pins.data_since_ns = pins.time_ns - t.data_setup_ns;
  pins.ctrl &= static_cast<uint8_t>(~kWe);
  chip->Update(pins);
  return chip->violations();
}

TEST(WideWriteLimits, EachLimitHoldsToTheNanosecond) {
  using V = std::vector<std::string>;
  for (const Limits& l : kParts) {
    SCOPED_TRACE(l.part);
    // The pulse long enough for the address to change inside it.
    const int64_t long_pulse = std::max(l.pulse_ns, l.address_hold_ns + 1);
    EXPECT_EQ(WriteOnce(l, {l.pulse_ns, -1, 0, l.data_setup_ns}), V{});
    EXPECT_EQ(WriteOnce(l, {long_pulse, l.address_hold_ns, 0, l.data_setup_ns}), V{});
    EXPECT_EQ(WriteOnce(l, {l.pulse_ns - 1, -1, 0, l.data_setup_ns}),
              V{"write pulse shorter than tWP"});
    EXPECT_EQ(WriteOnce(l, {long_pulse, l.address_hold_ns - 1, 0, l.data_setup_ns}),
              V{"address changed within tAH after WE#"});
    EXPECT_EQ(WriteOnce(l, {l.pulse_ns, -1, 0, l.data_setup_ns - 1}),
              V{"data setup before the end of WE# shorter than tDS"});
  }
}

}  // namespace
