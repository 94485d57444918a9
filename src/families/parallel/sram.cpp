// The RAM test and the NVRAM write. A RAM is written with a plain WE#
// pulse and read back at once; the test then reads everything a second time,
// so a cell that another address overwrote (shorted or open address lines)
// shows up in the second pass.
#include "families/parallel/sram.h"

#include <algorithm>
#include <random>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families {
namespace sram {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using uv_eprom::Bit;

constexpr int kWrites = 6;  // a byte is written at most this often
constexpr int kReads = 11;  // and read back at most this often
constexpr int kNvramAttempts = 11;
constexpr int kNvramWaitStep = 5;
constexpr int kNvramLongestWait = 100;

// A byte written and read straight back.
uint8_t WriteAndRead(app::Programmer& p, uint32_t a, uint8_t b) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(a);
  Bit(bus, kDrive, true);  // OE# high, the port drives
  bus.WriteBusByte(b);
  Bit(bus, kProgram, true);  // WE# low
  bus.DelayTicks(2);
  Bit(bus, kProgram, false);  // WE# high: the RAM takes the byte
  bus.DelayTicks(7);
  bus.WriteData();
  Bit(bus, kDrive, false);  // OE# low
  return bus.ReadDataByte();
}

void FillPattern(app::Programmer& p, const std::function<uint8_t(uint32_t)>& byte_at) {
  image::MemoryImage& img = p.image;
  const uint32_t size = std::min(img.device_size, image::kImageSize);
  for (uint32_t i = 0; i < size; ++i) img[i] = byte_at(i);
  img.data_end = size == 0 ? 0 : size - 1;
}

}  // namespace

uint32_t RamAddress(const app::Programmer& p, uint32_t i) {
  uint32_t a = p.dev.scramble ? hw::Bus::ScrambleAddress(i) : i;
  if (p.dev.pin28) a |= 0x2000;
  if (p.dev.pin30) a |= 0x20000;
  return a;
}

bool WriteCheckRam(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  image::MemoryImage& img = p.image;
  p.error = 0;
  const app::DataSpan span = app::ClipDataEnd(img);
  // The write pass: no Cancel here, the read-back looks at it.
  for (uint64_t n = 0; n < span.count(); ++n) {
    const auto i = static_cast<uint32_t>(n);
    const uint32_t a = RamAddress(p, i);
    uint8_t r = 0;
    int writes = 0;
    do {
      r = WriteAndRead(p, a, img[i]);
    } while (r != img[i] && ++writes < kWrites);
    if (r != img[i]) {
      p.ReportMismatchAt(i, img[i], r);
      p.error = 1;
      return false;
    }
    p.ProgressTick(i);
  }
  Bit(bus, kProgram, false);
  Bit(bus, kDrive, false);

  p.SetProcessGauge(" Verify SRAM chip", img.device_size, app::colour::kBlack);
  for (uint64_t n = 0; n < span.count(); ++n) {
    const auto i = static_cast<uint32_t>(n);
    bus.ShiftAddress(RamAddress(p, i));
    uint8_t r = bus.ReadDataByte();
    for (int reads = 1; r != img[i] && reads < kReads; ++reads) r = bus.ReadDataByte();
    if (r != img[i]) {
      p.ReportMismatchAt(i, img[i], r);
      p.error = 1;
      return false;
    }
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      return false;
    }
  }
  return true;
}

void TestRamWith(app::Programmer& p, const std::function<uint8_t()>& next) {
  const uint32_t size = p.image.device_size;
  p.InitProgressStep(size);
  p.SetProcessGauge(" Test#1 SRAM chip", size, app::colour::kRed);
  p.bus.PowerUp();
  FillPattern(p, [](uint32_t i) { return (i & 1) == 0 ? uint8_t{0xAA} : uint8_t{0x55}; });
  bool ok = WriteCheckRam(p);
  if (ok) {
    p.SetProcessGauge(" Test#2 SRAM chip", size, app::colour::kRed);
    p.bus.PowerUp();
    FillPattern(p, [&next](uint32_t) { return next(); });
    ok = WriteCheckRam(p);
  }
  if (ok) p.Message("Device Test OK", hw::kResult);
  p.bus.PowerDown();
}

void TestRam(app::Programmer& p) {
  // A new pattern every run, so that a cell that happens to power up with
  // the right value cannot pass twice.
  std::mt19937 random(std::random_device{}());
  TestRamWith(p, [&random] { return static_cast<uint8_t>(random()); });
}

void WriteNvram(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  if (img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  const app::DataSpan span = app::ClipDataEnd(img);
  if (span.empty) return;
  p.SetProcessGauge("programming chip", span.last, app::colour::kRed);
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  p.error = 0;
  const uint32_t offset = img.buffer_offset;
  bool written = true;
  for (uint64_t n = 0; n < span.count() && written; ++n) {
    const auto i = static_cast<uint32_t>(n);
    const uint8_t b = img[i];
    // Identity for every part that does not need it.
    const uint32_t a = hw::Bus::ScrambleAddress(offset + i);
    int wait = p.dev.twc;
    for (int attempt = 1;; ++attempt) {
      Bit(bus, kProgram, false);
      bus.SetAddress(a, 0);
      bus.DelayTicks(1);
      bus.PutData(b, 0);
      bus.DelayTicks(1);
      bus.ProgramPulse(p.dev.twp);  // WE# low
      bus.DelayTicks(wait);
      bus.DelayTicks(2);
      bus.WriteData();
      Bit(bus, kDrive, false);
      const uint8_t r = bus.ReadDataByte();
      if (r == b) break;
      if (attempt == kNvramAttempts) {
        p.ReportMismatchAt(offset + i, b, r);
        p.error = 1;
        written = false;
        break;
      }
      wait = std::min(wait + kNvramWaitStep, kNvramLongestWait);
    }
    if (written && p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      written = false;
    }
  }
  if (written) {
    p.verify_after_program = 1;
    app::DefaultVerify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  bus.PowerDown();
}

}  // namespace sram

void RegisterSram(app::FamilyRegistry& registry) {
  registry.Register(20, app::Action::kProgram, &sram::TestRam);
  registry.Register(19, app::Action::kProgram, &sram::WriteNvram);
}

}  // namespace families
