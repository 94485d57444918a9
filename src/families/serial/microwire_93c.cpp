// Family 8: the 93Cxx with the frame templates the selection widened for
// the part (or the organisation buttons re-derived).
#include "app/default_routines.h"
#include "app/image_files.h"
#include "families/serial/microwire.h"
#include "families/serial/microwire_primitives.h"
#include "families/serial/serial_lines.h"
#include "image/buffer_ops.h"

namespace families::serial::microwire {
namespace {

using hw::ctrl::kDrive;

// ICSP takes other chip-select pulses and waits.
struct Waits {
  int32_t erase_pulse, program_erase_pulse, write_pulse, write_wait, read_gap;
};
constexpr Waits kSocket{5, 5, 5, 15000, 0};
constexpr Waits kIcsp{5, 50, 30, 12000, 500};

const Waits& WaitsOf(const Microwire& mw) { return mw.icsp ? kIcsp : kSocket; }

// The units a pass over image bytes 0..last covers: bytes, or words w with
// 2w <= last.
uint32_t UnitCount(const app::Programmer& p, uint32_t last) {
  return p.dev.microwire.word_mode ? last / 2 + 1 : last + 1;
}

// One READ transaction; the unit's bytes go to `out` (bits 7..0 first).
void ReadUnit(Microwire& mw, uint32_t unit, uint8_t out[2]) {
  const app::Descriptor::Microwire& t = mw.p.dev.microwire;
  mw.Select();
  mw.p.bus.DelayTicks(1);
  mw.MwSendFrame(t.read | unit, t.frame_length);
  mw.p.bus.DelayTicks(10);
  if (t.word_mode) {
    out[1] = mw.MwReadByte();  // bits 15..8
    out[0] = mw.MwReadByte();
  } else {
    out[0] = mw.MwReadByte();
  }
  mw.Deselect();
  if (WaitsOf(mw).read_gap != 0) mw.p.bus.DelayTicks(WaitsOf(mw).read_gap);
}

void EndPowered(Microwire& mw) { mw.p.bus.PowerDown(); }

}  // namespace

void Read8(app::Programmer& p) {
  app::ClearImage(p, image::kFillFF);
  const uint32_t size = p.image.device_size;
  p.ShowProgress(5, size, app::colour::kBlack);
  Microwire mw = Wire93(p);
  MwPowerUp(mw, 20000);
  p.error = 0;
  const bool words = p.dev.microwire.word_mode;
  const uint32_t units = words ? size / 2 : size;
  for (uint32_t u = 0; u < units; ++u) {
    uint8_t b[2];
    ReadUnit(mw, u, b);
    if (words) {
      p.image[2 * u] = b[0];
      p.image[2 * u + 1] = b[1];
    } else {
      p.image[u] = b[0];
    }
    if (p.ProgressTick(u)) {
      p.error = 1;
      break;
    }
  }
  mw.Deselect();
  p.bus.PowerDown();
  p.bus.SetData(kSerialData, true);  // DI at rest for the next run
  CtrlBit(p.bus, kDrive, false);
  if (p.error != 0) {
    p.ShowProgress(1, 0, 0);
    return;
  }
  ShowReadDone(p, "Chip dumped OK");
  p.image.data_end = size;
}

void Verify8(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(6, span.last, app::colour::kGreen);
  Microwire mw = Wire93(p);
  MwPowerUp(mw, 30000);
  p.error = 0;
  const bool words = p.dev.microwire.word_mode;
  const uint32_t units = span.empty ? 0 : UnitCount(p, span.last);
  for (uint32_t u = 0; u < units && p.error == 0; ++u) {
    uint8_t b[2];
    ReadUnit(mw, u, b);
    // Compared in the order the bytes came: a word's bits 15..8 first.
    const int n = words ? 2 : 1;
    for (int k = n - 1; k >= 0; --k) {
      const uint32_t a = words ? 2 * u + static_cast<uint32_t>(k) : u;
      if (b[k] != p.image[a]) {
        p.ReportMismatch(a, 0, b[k]);
        p.error = 1;
        break;
      }
    }
    if (p.error == 0 && p.ProgressTick(u)) p.ShowProgress(1, 0, 0);
  }
  if (p.error == 0) p.ShowProgress(2, 0, 0);
  EndPowered(mw);
}

void Erase8(app::Programmer& p) {
  p.Message("Erase Chip 93Cxx ", hw::kInfo);
  Microwire mw = Wire93(p);
  const app::Descriptor::Microwire& t = p.dev.microwire;
  const int32_t pulse = WaitsOf(mw).erase_pulse;
  MwPowerUp(mw, 30000);
  mw.Select();
  mw.MwSendFrame(t.ewen, t.frame_length);
  mw.MwCsPulse(pulse);
  p.bus.DelayTicks(3000);
  mw.Select();
  mw.MwSendFrame(t.eral, t.frame_length);
  mw.MwCsPulse(pulse);  // ERAL starts on the CS edge
  p.bus.DelayTicks(30000);
  mw.Deselect();
  p.bus.PowerDown();
}

void Program8(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(4, span.last, app::colour::kRed);
  Microwire mw = Wire93(p);
  const Waits& w = WaitsOf(mw);
  const app::Descriptor::Microwire& t = p.dev.microwire;
  hw::Bus& bus = p.bus;
  MwPowerUp(mw, 30000);
  bus.DelayTicks(30000);

  mw.Select();
  mw.MwSendFrame(t.ewen, t.frame_length);
  mw.Deselect();
  bus.DelayTicks(10);
  // Erase unit 0 and watch DO for the ready level; the poll stops on the
  // first busy reading, and the waits below cover the erase.
  mw.Select();
  mw.MwSendFrame(t.erase, t.frame_length);
  mw.MwCsPulse(w.program_erase_pulse);
  for (int poll = 0; poll < 50; ++poll) {
    if ((bus.ReadStatus() & kStatusIn) != 0) break;
    bus.DelayTicks(1000);
  }
  mw.Deselect();
  bus.DelayTicks(5000);

  mw.Select();
  bus.DelayTicks(10);
  mw.MwSendFrame(t.ewen, t.frame_length);
  bus.DelayTicks(10);
  mw.Deselect();
  bus.DelayTicks(30000);

  const uint32_t units = span.empty ? 0 : UnitCount(p, span.last);
  p.error = 0;
  for (uint32_t u = 0; u < units; ++u) {
    mw.Select();
    bus.DelayTicks(2);
    mw.MwSendFrame(t.write | u, t.frame_length);
    if (t.word_mode) {
      mw.MwSendByte(p.image[2 * u + 1]);
      mw.MwSendByte(p.image[2 * u]);
    } else {
      mw.MwSendByte(p.image[u]);
    }
    bus.DelayTicks(5);
    mw.MwCsPulse(w.write_pulse);  // the write starts on this CS edge
    bus.DelayTicks(w.write_wait);
    mw.Deselect();
    if (p.ProgressTick(u)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  if (p.error == 0) Verify8(p);
  bus.PowerDown();
  if (p.error == 0) p.Message("Device Programed OK", hw::kResult);
}

}  // namespace families::serial::microwire
