// Family 32: the CAT64LC10/20/40, 16-bit words in 16-bit frames with an
// active-low CS (control bit 3 set selects).
#include "app/default_routines.h"
#include "families/serial/microwire.h"
#include "families/serial/microwire_primitives.h"
#include "families/serial/serial_lines.h"

namespace families::serial::microwire {
namespace {

constexpr uint32_t kReadFrame = 0xA800, kEnableFrame = 0xA300, kDisableFrame = 0xA000;
constexpr uint32_t kWriteFrame = 0xA4000000;

Microwire Wire64(app::Programmer& p) { return Microwire{p, false, 3, true}; }

void PowerUp64(app::Programmer& p) {
  CtrlBit(p.bus, hw::ctrl::kPower, true);
  p.bus.DelayTicks(10000);
}

uint16_t ReadWord(Microwire& mw, uint32_t w) {
  app::Programmer& p = mw.p;
  mw.Select();
  p.bus.DelayTicks(5);
  mw.MwSendFrame(kReadFrame | ((w << p.dev.cat64_shift) & 0xFF), 16);
  uint16_t v = 0;
  for (int bit = 0; bit < 16; ++bit) v = static_cast<uint16_t>(v << 1 | (mw.MwReadBit() ? 1 : 0));
  mw.Deselect();
  p.bus.DelayTicks(2);
  p.bus.DelayTicks(5);
  return v;
}

// Words w with 2w <= the clipped data end: an odd-length file's last byte
// goes with its word.
uint32_t WordCount(const app::DataSpan& span) { return span.empty ? 0 : span.last / 2 + 1; }

}  // namespace

void Read32(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.ShowProgress(5, size, app::colour::kBlack);
  Microwire mw = Wire64(p);
  PowerUp64(p);
  p.error = 0;
  for (uint32_t w = 0; w < size / 2; ++w) {
    const uint16_t v = ReadWord(mw, w);
    p.image[2 * w] = static_cast<uint8_t>(v);
    p.image[2 * w + 1] = static_cast<uint8_t>(v >> 8);
    if (p.ProgressTick(w)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  p.bus.PowerDown();
  if (p.error != 0) return;
  ShowReadDone(p, "Chip read OK");
  p.image.data_end = size;
}

void Verify32(app::Programmer& p) {
  const bool reporting = p.verify_after_program == 0;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(6, span.last, app::colour::kGreen);
  Microwire mw = Wire64(p);
  PowerUp64(p);
  p.error = 0;
  const uint32_t words = WordCount(span);
  for (uint32_t w = 0; w < words && p.error == 0; ++w) {
    const uint16_t v = ReadWord(mw, w);
    for (uint32_t k = 0; k < 2; ++k) {
      const auto b = static_cast<uint8_t>(v >> (8 * k));
      if (b != p.image[2 * w + k]) {
        p.ReportMismatch(2 * w + k, 0, b);
        p.error = 1;
        break;
      }
    }
    if (p.error == 0 && p.ProgressTick(w)) p.ShowProgress(1, 0, 0);
  }
  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  p.bus.PowerDown();
}

void Program32(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(4, span.last, app::colour::kRed);
  Microwire mw = Wire64(p);
  hw::Bus& bus = p.bus;
  p.error = 0;
  PowerUp64(p);
  mw.Select();
  bus.DelayTicks(15);
  mw.MwSendFrame(kEnableFrame, 16);
  bus.DelayTicks(80);
  // The first write frame follows the enable within the same selection.
  const uint32_t words = WordCount(span);
  for (uint32_t w = 0; w < words; ++w) {
    const uint32_t word = p.image[2 * w] | uint32_t{p.image[2 * w + 1]} << 8;
    mw.Select();
    bus.DelayTicks(20);
    mw.MwSendFrame(kWriteFrame | w << (p.dev.cat64_shift + 16) | word, 32);
    bus.DelayTicks(p.dev.twc);  // the write starts on the frame's last bit
    mw.Deselect();
    if (p.ProgressTick(w)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  if (p.error == 0) {
    p.verify_after_program = 1;
    Verify32(p);
  }
  mw.Select();
  bus.DelayTicks(2);
  mw.MwSendFrame(kDisableFrame, 16);
  mw.Deselect();
  bus.PowerDown();
  if (p.error == 0) p.ShowProgress(3, 0, 0);
}

}  // namespace families::serial::microwire
