// The W29C102 (family 56): a 64 K x 16 sector-write part. Program is the
// sector write of the byte-wide sector parts in words (each 256-byte sector
// of the image is one load of 128 words behind the protected-write
// command), erase is W6, Get ID the six-word entry.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/chip_id.h"
#include "families/flash/flash_devices.h"
#include "families/flash/wide/wide.h"
#include "families/flash/wide/wide_bus.h"
#include "families/flash/wide/wide_program.h"

namespace families::wide {

using namespace flash;
using namespace flash::wide;

namespace {

constexpr uint32_t kSectorWords = 128;
constexpr int kAttempts = 20;
// The wait after a load: the part's 10 ms write cycle (its datasheet
// maximum), then 2000 ticks more after each failed load, up to 20000.
constexpr int32_t kWriteCycle = 12000;
constexpr int32_t kExtraStep = 2000;
constexpr int32_t kLongestExtra = 20000;
constexpr int kDifferences = 5;  // a sector fails on its fifth differing read
constexpr int32_t kHighWait = 30;

// Three or six command words to the unlock set, the latch at 0x00.
void Command(hw::Bus& bus, std::initializer_list<uint8_t> codes) {
  size_t i = 0;
  for (const uint8_t code : codes) {
    CommandWordAt(bus, kStandardUnlock[i++ % kStandardUnlock.size()], code, 5, 3, 5);
  }
}

void LoadSector(app::Programmer& p, uint32_t first, uint32_t last) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, false);
  Command(bus, {0xAA, 0x55, 0xA0});
  for (uint32_t k = first; k <= last; ++k) {
    bus.ShiftAddress(k);
    DataWord(bus, ImageWord(p, k), 0, 2);
  }
  Bit(bus, kDrive, false);
}

// The sector read back word by word; false at the fifth differing read.
bool CheckSector(app::Programmer& p, uint32_t first, uint32_t last) {
  int differences = 0;
  for (uint32_t k = first; k <= last; ++k) {
    while (!(ReadWordAt(p.bus, k, kHighWait) == ImageWord(p, k))) {
      if (++differences == kDifferences) return false;
    }
  }
  return true;
}

}  // namespace

void SectorWriteProgram(app::Programmer& p) {
  const WideRun run = BeginWideProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  ShowPeak(p, "lbLoopPeak", "  Sector ");
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  p.error = 0;
  int32_t extra = 0;
  bool ok = true;
  for (uint32_t first = 0; ok && first < run.words; first += kSectorWords) {
    // A sector is written whole: the words past the data end go too.
    const uint32_t last = first + kSectorWords - 1;
    const uint32_t number = first / kSectorWords;
    bool written = false;
    for (int attempt = 0; attempt < kAttempts && !written; ++attempt) {
      LoadSector(p, first, last);
      bus.DelayTicks(kWriteCycle + extra);
      written = CheckSector(p, first, last);
      if (!written) extra = std::min(extra + kExtraStep, kLongestExtra);
    }
    if (!written) {
      char text[48];
      std::snprintf(text, sizeof text, " Error :Write sector  %u ", number);
      p.ReportError(text);
      p.error = 1;
      ok = false;
      break;
    }
    ShowPeak(p, "pLoopp", " " + std::to_string(number) + " ");
    if (p.ProgressTick(2 * last)) {
      p.ShowProgress(1, 0, 0);
      ok = false;
    }
  }
  bus.PowerDown();
  FinishWideProgram(p, run, ok);
}

void W29Erase(app::Programmer& p) { W6(p); }

void W29GetId(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  Command(bus, {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x60});
  bus.DelayTicks(10);
  const uint16_t manufacturer = ReadWordAt(bus, 0, kHighWait).value();
  const uint16_t device = ReadWordAt(bus, 1, kHighWait).value();
  Command(bus, {0xAA, 0x55, 0xF0});
  bus.DelayTicks(10);
  bus.PowerDown();
  std::fill(p.dev.cfi.begin(), p.dev.cfi.end(), 0);  // the part has no query table
  app::ChipIdExtras extras;
  app::LookupChipId16(p, manufacturer, device, extras);
}

}  // namespace families::wide
