// Page write (AT28C) and sector write (AT29C, W29EE): a whole page goes to
// the part in one load, which must arrive inside the part's byte-load
// window, then the part programs it in one write cycle. A page that does
// not read back is loaded again, a bounded number of times.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "families/parallel/eeprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families::eeprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using uv_eprom::Bit;

constexpr int kPageAttempts = 15;
constexpr int kSectorAttempts = 20;
constexpr int kExtraStep = 2000;
constexpr int kLongestExtra = 20000;
// A page fails on its fifth differing read; four re-reads are allowed in all.
constexpr int kDifferences = 5;
constexpr uint32_t kLargestPage = 2048;

std::string SectorError(uint32_t number) {
  char text[48];
  std::snprintf(text, sizeof text, " Error :Write sector  %u ", number);
  return text;
}

// The page the user set, within what the buffer holds.
uint32_t PageSize(const app::Programmer& p) {
  return std::clamp<uint32_t>(p.dev.page_size, 1, kLargestPage);
}

// The page at `s` copied from the image, in full even past the data end.
std::vector<uint8_t> CopyPage(const app::Programmer& p, uint32_t s, uint32_t size) {
  std::vector<uint8_t> buffer(size, 0xFF);
  for (uint32_t j = 0; j < size && uint64_t{s} + j < image::kImageSize; ++j)
    buffer[j] = p.image[s + j];
  return buffer;
}

int CheckLoad(app::Programmer& p, uint32_t s, uint32_t size, bool scramble) {
  hw::Bus& bus = p.bus;
  Bit(bus, kDrive, false);  // OE# low
  int differences = 0;
  for (uint32_t j = 0; j < size && uint64_t{s} + j < image::kImageSize; ++j) {
    const uint32_t a = s + j;
    for (;;) {
      bus.ShiftAddress(scramble ? hw::Bus::ScrambleAddress(a) : a);
      if (bus.ReadDataByte() == p.image[a]) break;
      if (++differences == kDifferences) return 1;
    }
  }
  return 0;
}

// How one load is made and checked, and how often it may be tried.
struct LoadKind {
  int attempts;
  void (*write)(app::Programmer& p, uint32_t s, std::span<const uint8_t> buffer);
  int (*check)(app::Programmer& p, uint32_t s, uint32_t size);
  bool priority_per_load;  // page write: priority raised around each load only
  int extra_step;          // sector write: added to the wait after each failure
};

// Loads every page from 0 to the data end. Returns the number of the page
// that failed every attempt, or -1; -2 when cancelled.
int64_t LoadAll(app::Programmer& p, const app::DataSpan& span, uint32_t size, const LoadKind& kind,
                bool number_in_panel) {
  hw::Bus& bus = p.bus;
  int extra = 0;
  for (uint64_t s = 0; s <= span.last; s += size) {
    const auto start = static_cast<uint32_t>(s);
    const uint32_t number = start / size;
    const std::vector<uint8_t> buffer = CopyPage(p, start, size);
    bool written = false;
    for (int attempt = 0; attempt < kind.attempts && !written; ++attempt) {
      p.error = 0;
      if (kind.priority_per_load) p.ChangePriority(true);
      kind.write(p, start, buffer);
      if (kind.priority_per_load) p.ChangePriority(false);
      bus.DelayTicks(p.dev.twc + extra);
      p.error = kind.check(p, start, size);
      written = p.error == 0;
      if (!written) extra = std::min(extra + kind.extra_step, kLongestExtra);
    }
    if (!written) return number;
    if (number_in_panel) {
      p.controls.SetText("pLoopp", " " + std::to_string(number) + " ");
      p.host.ControlsChanged();
    }
    if (p.ProgressTick(kind.priority_per_load ? number : start)) {
      p.ShowProgress(1, 0, 0);  // "program interrupted!" and nothing more
      return -2;
    }
  }
  return -1;
}

// The frame around LoadAll: the end of the run, the error or the verify.
void FinishRun(app::Programmer& p, int64_t failed) {
  if (failed >= 0) {
    p.error = 1;
    p.ReportError(SectorError(static_cast<uint32_t>(failed)));
  } else if (failed == -1) {
    p.verify_after_program = 1;
    app::DefaultVerify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  p.bus.PowerDown();
}

int CheckPage(app::Programmer& p, uint32_t s, uint32_t size) { return PageCheck(p, s, size); }
int CheckSector(app::Programmer& p, uint32_t s, uint32_t size) { return SectorCheck(p, s, size); }

}  // namespace

// --- page write (AT28C) --------------------------------------------------------------

void PageWrite(app::Programmer& p, uint32_t s, std::span<const uint8_t> buffer) {
  hw::Bus& bus = p.bus;
  const bool scramble = p.dev.scramble;
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFF);
  // The protected write keeps software data protection on; the six-byte
  // sequence turns it off at the end of this write cycle.
  if (p.controls.Checked("cbAT28CxxDis")) {
    SendCommand(p, kProtectionOff, {.pulse = 2, .after = 1}, scramble);
  } else {
    SendCommand(p, kProtectedWrite, {.pulse = 2, .after = 1}, scramble);
  }
  for (uint32_t j = 0; j < buffer.size(); ++j) {
    const uint32_t a = s + j;
    CommandWrite(p, scramble ? hw::Bus::ScrambleAddress(a) : a, buffer[j], {.pulse = 2});
  }
}

int PageCheck(app::Programmer& p, uint32_t s, uint32_t page_size) {
  return CheckLoad(p, s, page_size, p.dev.scramble);
}

void ProgramPages(app::Programmer& p) {
  // Chip address = image index: the page write takes no offset.
  const app::DataSpan span = app::ClipDataEnd(p.image);
  if (span.empty) return;
  const uint32_t size = PageSize(p);
  const uint32_t pages = span.last / size;
  p.InitProgressStep(pages + 1);
  p.ShowProgress(4, pages, app::colour::kRed);
  p.bus.PowerUp();
  p.bus.ShiftAddress(0xFFFFFF);
  const LoadKind kind{kPageAttempts, &PageWrite, &CheckPage, true, 0};
  FinishRun(p, LoadAll(p, span, size, kind, false));
}

// --- sector write (AT29C, W29EE) ------------------------------------------------------

void SectorWrite(app::Programmer& p, uint32_t s, std::span<const uint8_t> buffer) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFFF);
  SendCommand(p, kProtectedWrite, {.pulse = 3}, false);
  for (uint32_t j = 0; j < buffer.size(); ++j) CommandWrite(p, s + j, buffer[j], {.pulse = 2});
  Bit(bus, kDrive, false);
}

int SectorCheck(app::Programmer& p, uint32_t s, uint32_t sector_size) {
  return CheckLoad(p, s, sector_size, false);
}

void ProgramSectors(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  if (span.empty) return;
  const uint32_t size = PageSize(p);
  p.InitProgressStep(span.last / size + 1);
  p.ShowProgress(4, span.last, app::colour::kRed);
  p.controls.SetText("lbLoopPeak", "  Sector ");
  p.host.ControlsChanged();
  p.bus.PowerUp();
  p.bus.ShiftAddress(0xFFFFFF);
  p.ChangePriority(true);
  const LoadKind kind{kSectorAttempts, &SectorWrite, &CheckSector, false, kExtraStep};
  const int64_t failed = LoadAll(p, span, size, kind, true);
  p.ChangePriority(false);
  FinishRun(p, failed);
}

}  // namespace families::eeprom
