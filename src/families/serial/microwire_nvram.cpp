// Family 52: the serial NVRAMs. Every instruction has its own selection;
// instruction bytes go most significant bit first, data least significant
// bit first.
#include "app/default_routines.h"
#include "families/serial/microwire.h"
#include "families/serial/microwire_primitives.h"
#include "families/serial/serial_lines.h"

namespace families::serial::microwire {
namespace {

constexpr uint8_t kRead = 0x86, kWrite = 0x83, kWren = 0x84, kStore = 0x81, kRecall = 0x85;

// The unit's address in the instruction byte: word number in bits 6..3
// (X24C44), byte offset in bits 6..4 (S24H30).
uint8_t Address(const app::Programmer& p, uint32_t unit) {
  return static_cast<uint8_t>(p.dev.nvram_words ? (unit << 3) & 0x78 : (unit << 4) & 0x78);
}

void Instruction(Microwire& mw, uint8_t instruction) {
  mw.Select();
  mw.p.bus.DelayTicks(10);
  mw.MwSendByte(instruction);
  mw.p.bus.DelayTicks(10);
  mw.Deselect();
  mw.p.bus.DelayTicks(500);
}

void SendLsbFirst(Microwire& mw, uint8_t v) {
  for (int bit = 0; bit < 8; ++bit) mw.MwSendBit(((v >> bit) & 1) != 0);
}

uint8_t ReadLsbFirst(Microwire& mw) {
  uint8_t v = 0;
  for (int bit = 0; bit < 8; ++bit) v = static_cast<uint8_t>(v | (mw.MwReadBit() ? 1 : 0) << bit);
  return v;
}

// Power-up, then RCL (the EEPROM into the RAM) and WREN.
Microwire Open52(app::Programmer& p) {
  Microwire mw = Wire93(p);
  mw.icsp = false;
  MwPowerUp(mw, 20000);
  p.bus.DelayTicks(500);
  Instruction(mw, kRecall);
  Instruction(mw, kWren);
  return mw;
}

uint32_t UnitBytes(const app::Programmer& p) { return p.dev.nvram_words ? 2 : 1; }

// Reads unit `u` into `out`.
void ReadUnit(Microwire& mw, uint32_t u, uint8_t out[2]) {
  mw.Select();
  mw.p.bus.DelayTicks(10);
  mw.MwSendByte(kRead | Address(mw.p, u));
  mw.p.bus.DelayTicks(1);
  for (uint32_t k = 0; k < UnitBytes(mw.p); ++k) out[k] = ReadLsbFirst(mw);
  mw.Deselect();
}

}  // namespace

void Read52(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.ShowProgress(5, size, app::colour::kBlack);
  Microwire mw = Open52(p);
  p.error = 0;
  const uint32_t n = UnitBytes(p);
  for (uint32_t u = 0; u < size / n; ++u) {
    uint8_t b[2];
    ReadUnit(mw, u, b);
    for (uint32_t k = 0; k < n; ++k) p.image[n * u + k] = b[k];
    if (p.ProgressTick(u)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  p.bus.PowerDown();
  if (p.error != 0) return;
  ShowReadDone(p, "Chip dumped OK");
  p.image.data_end = size;
}

void Verify52(app::Programmer& p) {
  const bool reporting = p.verify_after_program == 0;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.SetProcessGauge("Comparing chip", span.last, app::colour::kGreen);
  Microwire mw = Open52(p);
  p.error = 0;
  const uint32_t n = UnitBytes(p);
  const uint32_t units = span.empty ? 0 : span.last / n + 1;
  for (uint32_t u = 0; u < units && p.error == 0; ++u) {
    uint8_t b[2];
    ReadUnit(mw, u, b);
    for (uint32_t k = 0; k < n; ++k) {
      if (b[k] != p.image[n * u + k]) {
        p.ReportMismatch(n * u + k, 0, b[k]);
        p.error = 1;
        break;
      }
    }
    if (p.error == 0 && p.ProgressTick(u)) p.ShowProgress(1, 0, 0);
  }
  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  p.bus.PowerDown();
}

void Program52(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(4, span.last, app::colour::kRed);
  Microwire mw = Open52(p);
  p.error = 0;
  const uint32_t n = UnitBytes(p);
  const uint32_t units = span.empty ? 0 : span.last / n + 1;
  for (uint32_t u = 0; u < units; ++u) {
    mw.Select();
    p.bus.DelayTicks(10);
    mw.MwSendByte(kWrite | Address(p, u));
    for (uint32_t k = 0; k < n; ++k) SendLsbFirst(mw, p.image[n * u + k]);
    mw.Deselect();
    if (p.ProgressTick(u)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  if (p.error == 0) {
    Instruction(mw, kStore);  // the RAM into the EEPROM
    p.bus.DelayTicks(30000);
  }
  p.bus.PowerDown();
  // The verify recalls the EEPROM first, so it checks what was stored.
  if (p.error == 0) {
    p.verify_after_program = 1;
    Verify52(p);
    if (p.error == 0) p.Message("Device Programed OK", hw::kResult);
  }
}

}  // namespace families::serial::microwire
