// Byte write: each byte is written, then read back until the part's write
// cycle is over and the byte holds. The wait grows while the part is slow
// and stays grown for the rest of the run, so a slow part costs its extra
// attempts only on the first bytes.
#include <algorithm>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "families/parallel/eeprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families::eeprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using uv_eprom::Bit;

constexpr int kAttempts = 26;
constexpr int kWaitStep = 1000;
constexpr int kLongestWait = 15000;

// The board address of a chip address: rearranged for the scrambled parts,
// with pin 30 held high where the part needs it.
uint32_t BoardAddress(const app::Programmer& p, uint32_t chip_address) {
  uint32_t a = p.dev.scramble ? hw::Bus::ScrambleAddress(chip_address) : chip_address;
  if (p.dev.pin30) a |= 0x20000;
  return a;
}

// One attempt: address, data, the write pulse, the wait, then the read-back
// with the outputs on.
uint8_t Attempt(app::Programmer& p, uint32_t board, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, false);
  bus.SetAddress(board, 2);
  bus.PutData(b, 2);
  bus.ProgramPulse(width);  // WE# low for the pulse width
  bus.DelayTicks(wait);
  bus.DelayTicks(2);
  bus.WriteData();
  Bit(bus, kDrive, false);  // OE# low
  return bus.ReadDataByte();
}

// What a run writes: `count` bytes; byte n is `byte_at(n)` at chip address
// `address_at(n)`. Skip Write 0xFF applies only where `skip_ff` says.
struct ByteRun {
  uint64_t count = 0;
  bool skip_ff = false;
  bool unprotect_first = false;  // AT28C byte mode: protection off once
};

// The loop both byte-write routines share. Returns false when the run
// stopped on a failing byte or on Cancel (error flag set).
template <typename ByteAt, typename AddressAt>
bool WriteBytes(app::Programmer& p, const ByteRun& run, ByteAt byte_at, AddressAt address_at) {
  hw::Bus& bus = p.bus;
  const int width = p.dev.twp;
  int wait = p.dev.twc;
  p.error = 0;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  if (run.unprotect_first) {
    SendCommand(p, kProtectionOff, {.pulse = 2, .after = 1}, p.dev.scramble);
  }
  uv_eprom::Peaks peaks;
  for (uint64_t n = 0; n < run.count; ++n) {
    const auto i = static_cast<uint32_t>(n);
    const uint8_t b = byte_at(i);
    const uint32_t address = address_at(i);
    int attempts = 1;
    if (!(run.skip_ff && b == 0xFF)) {
      const uint32_t board = BoardAddress(p, address);
      for (;;) {
        const uint8_t r = Attempt(p, board, b, width, wait);
        if (r == b) break;
        if (attempts == kAttempts) {
          p.ReportMismatchAt(address, b, r);
          p.error = 1;
          return false;
        }
        ++attempts;
        // The part is slower than the wait: wait longer from now on.
        wait = std::min(wait + kWaitStep, kLongestWait);
      }
    }
    peaks.Raise(p, attempts, wait, width);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);  // "program interrupted!", error flag set
      return false;
    }
  }
  return true;
}

void RunByteWrite(app::Programmer& p, bool unprotect_first) {
  image::MemoryImage& img = p.image;
  if (img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  const app::DataSpan span = app::ClipDataEnd(img);
  if (span.empty) return;
  p.SetProcessGauge("programming chip", span.last, app::colour::kRed);
  const uint32_t offset = img.buffer_offset;
  const ByteRun run{span.count(), uv_eprom::SkipFF(p), unprotect_first};
  const bool written = WriteBytes(
      p, run, [&img](uint32_t i) { return img[i]; }, [offset](uint32_t i) { return offset + i; });
  if (written) {
    p.verify_after_program = 1;
    app::DefaultVerify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  p.bus.PowerDown();
}

}  // namespace

void ProgramBytes(app::Programmer& p) { RunByteWrite(p, false); }

void ProgramAt28C(app::Programmer& p) {
  if (p.controls.Checked("cbAT28CxxbyteProg")) {
    RunByteWrite(p, true);
  } else {
    ProgramPages(p);
  }
}

void FillErase(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.InitProgressStep(size);
  p.SetProcessGauge("Fill 0xFF", size, app::colour::kRed);
  // Every cell from chip address 0, whatever the offset, Skip Write 0xFF
  // or the image say: the fill is the erase.
  const ByteRun run{size, false, false};
  const bool written = WriteBytes(
      p, run, [](uint32_t) { return uint8_t{0xFF}; }, [](uint32_t i) { return i; });
  p.bus.PowerDown();
  if (written) p.Message("erase completed", hw::kResult);
}

}  // namespace families::eeprom
