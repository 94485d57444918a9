// The AT90S actions: flash first, then the data EEPROM, each action inside
// one stay in programming mode. The parallel mode has no busy signal, so
// every write is followed by its fixed wait; reads that disagree with the
// image are taken up to 11 times before they count.
#include <array>
#include <cstdio>

#include "app/chip_id.h"
#include "app/default_routines.h"
#include "app/image_files.h"
#include "families/mcu/avr.h"
#include "families/mcu/avr_ops.h"
#include "image/buffer_ops.h"

namespace families::avr {
namespace {

constexpr int kReads = 11;

// The word at image offset `off` as the chip must hold it: low byte first.
bool WordIs(const std::array<uint8_t, 2>& w, uint8_t lo, uint8_t hi) {
  return w[0] == lo && w[1] == hi;
}

// Cancel seen at a tick: "program interrupted!" and the error flag.
bool Cancelled(Programmer& p, int64_t position) {
  if (!p.ProgressTick(position)) return false;
  p.ShowProgress(1, 0, 0);
  return true;
}

}  // namespace

void ReadChip(Programmer& p) {
  image::MemoryImage& img = p.image;
  const uint32_t size = img.device_size;
  const uint32_t eeprom = p.dev.avr.eeprom_size;
  app::ClearImage(p, image::kFillFF);
  p.SetProcessGauge("READ chip (Flash)", size, app::colour::kGreen);
  AvrEnterProgramming(p);
  p.error = 0;
  for (uint32_t off = 0; off < size; off += 2) {
    const std::array<uint8_t, 2> w = ReadFlashWord(p, off / 2);
    img[off] = w[0];
    img[off + 1] = w[1];
    if (Cancelled(p, off)) {
      p.bus.PowerDown();
      return;
    }
  }
  p.SetProcessGauge("READ chip (EEPROM)", eeprom, app::colour::kGreen);
  for (uint32_t n = 0; n < eeprom; ++n) {
    img[kEepromImage + n] = ReadEepromByte(p, n);
    if (Cancelled(p, n)) {
      p.bus.PowerDown();
      return;
    }
  }
  if (p.error == 0) p.Message("Device Read OK", hw::kResult);
  img.data_end = size;
  p.bus.PowerDown();
}

void VerifyChip(Programmer& p) {
  const image::MemoryImage& img = p.image;
  const app::DataSpan span = app::ClipDataEnd(img);
  if (span.empty) return;
  p.SetProcessGauge("Verify chip ( FLASH )", span.last, app::colour::kGreen);
  AvrEnterProgramming(p);
  p.error = 0;
  for (uint32_t off = 0; off <= span.last; off += 2) {
    std::array<uint8_t, 2> w = ReadFlashWord(p, off / 2);
    for (int n = 1; n < kReads && !WordIs(w, img[off], img[off + 1]); ++n) {
      w = ReadFlashWord(p, off / 2);
    }
    if (!WordIs(w, img[off], img[off + 1])) {
      // The image shows the even byte as the upper half: the chip's low
      // byte goes in the same place, so the two numbers compare.
      p.ReportMismatch16(off, 0, w[0], w[1]);
      p.error = 1;
      return;
    }
    if (Cancelled(p, off)) {
      p.bus.PowerDown();
      return;
    }
  }
  const uint32_t eeprom = p.dev.avr.eeprom_size;
  p.SetProcessGauge("Verify chip ( EEPROM )", eeprom, app::colour::kGreen);
  for (uint32_t n = 0; n < eeprom; ++n) {
    const uint8_t want = img[kEepromImage + n];
    uint8_t b = ReadEepromByte(p, n);
    for (int k = 1; k < kReads && b != want; ++k) b = ReadEepromByte(p, n);
    if (b != want) {
      p.ReportMismatch(kEepromImage + n, 0, b);
      p.error = 1;
      return;
    }
    if (Cancelled(p, n)) {
      p.bus.PowerDown();
      return;
    }
  }
  if (p.error == 0) p.ShowProgress(2, 0, 0);
  p.bus.PowerDown();
}

void ProgramChip(Programmer& p) {
  const image::MemoryImage& img = p.image;
  const app::DataSpan span = app::ClipDataEnd(img);
  if (span.empty) return;
  p.error = 0;
  p.SetProcessGauge("programming chip (FLASH)", span.last, app::colour::kRed);
  AvrEnterProgramming(p);
  for (uint32_t off = 0; off <= span.last; off += 2) {
    WriteFlashWord(p, off / 2, img[off], img[off + 1]);
    if (Cancelled(p, off)) {
      p.bus.PowerDown();
      return;
    }
  }
  const uint32_t eeprom = p.dev.avr.eeprom_size;
  p.SetProcessGauge("programming chip (EEPROM)", eeprom, app::colour::kRed);
  for (uint32_t n = 0; n < eeprom; ++n) {
    WriteEepromByte(p, n, img[kEepromImage + n]);
    if (Cancelled(p, n)) {
      p.bus.PowerDown();
      return;
    }
  }
  p.bus.PowerDown();
  // The verify's "Device Verify OK" is the program's last word.
  VerifyChip(p);
}

void BlankCheck(Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.ShowProgress(7, size, app::colour::kWhite);
  AvrEnterProgramming(p);
  for (uint32_t off = 0; off < size; off += 2) {
    std::array<uint8_t, 2> w = ReadFlashWord(p, off / 2);
    for (int n = 1; n < kReads && !WordIs(w, 0xFF, 0xFF); ++n) w = ReadFlashWord(p, off / 2);
    if (!WordIs(w, 0xFF, 0xFF)) {
      char text[40];
      std::snprintf(text, sizeof text, "Device is NOT Empty ($%4.4x)", off);
      p.Message(text, hw::kError);
      p.bus.PowerDown();
      return;
    }
    if (Cancelled(p, off)) {
      p.bus.PowerDown();
      return;
    }
  }
  p.Message("Device is Empty", hw::kResult);
  p.bus.PowerDown();
}

void EraseChip(Programmer& p) {
  p.controls.Show("pProcess");
  p.SetProcessGauge("Erasing chip", 10, app::colour::kRed);
  AvrEnterProgramming(p);
  p.bus.DelayTicks(30000);
  ChipErase(p);
  for (int i = 0; i < 3; ++i) p.bus.DelayTicks(30000);
  p.bus.PowerDown();
}

void GetId(Programmer& p) {
  AvrEnterProgramming(p);
  const std::array<uint8_t, 3> s = ReadSignature(p);
  const uint8_t fuse_lock = ReadFuseAndLock(p);
  p.bus.DelayTicks(1000);
  p.bus.PowerDown();
  p.dev.avr.signature = s;
  p.dev.avr.fuse_lock = fuse_lock;
  app::ChipIdExtras extras;
  extras.third_byte = s[2];
  extras.lock_byte = fuse_lock;
  extras.lock_bits_low = p.dev.avr.locks_in_low_bits;
  app::LookupChipId(p, s[0], s[1], extras);
}

}  // namespace families::avr
