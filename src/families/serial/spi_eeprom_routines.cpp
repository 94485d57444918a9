// Family 6: the 25xxx SPI EEPROMs. The clock stretch lengthens every wait;
// with no stretch a read is one sequential transfer, with any stretch each
// byte is a transaction of its own.
#include <cstdio>

#include "app/default_routines.h"
#include "app/image_files.h"
#include "families/serial/serial_lines.h"
#include "families/serial/spi.h"
#include "families/serial/spi_primitives.h"
#include "image/buffer_ops.h"

namespace families::serial::spi {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kPower;
using hw::ctrl::kProgram;

// Up to 512 bytes A8 rides in the opcode; above, two or three address bytes.
void SpiSendCommand(Spi& spi, uint8_t opcode, uint32_t address) {
  const uint32_t size = spi.p.image.full_device_size;
  if (size <= 512) {
    spi.SpiSendByte(static_cast<uint8_t>(opcode | ((address >> 8) & 1) * 0x08));
  } else {
    spi.SpiSendByte(opcode);
    if (size > 65536) spi.SpiSendByte(static_cast<uint8_t>(address >> 16));
    spi.SpiSendByte(static_cast<uint8_t>(address >> 8));
  }
  spi.SpiSendByte(static_cast<uint8_t>(address));
}

void PowerUp6(Spi& spi, bool select_pulse) {
  hw::Bus& bus = spi.p.bus;
  CtrlBit(bus, kDrive, true);
  bus.SetData(kSerialData, false);  // SI and SCK low
  bus.SetData(kSerialClock, false);
  bus.WriteData();
  spi.SpiDeselect();
  CtrlBit(bus, kPower, true);
  bus.DelayTicks(10000);
  if (!select_pulse) return;
  spi.SpiSelect();
  spi.Wait(spi.s + 10);
  spi.SpiDeselect();
  spi.Wait(spi.s + 10);
}

// Reads bytes 0..last, handing each to `take` (false stops). Sequential
// with no stretch, a transaction per byte otherwise. True when it ran to
// the end.
template <typename Take>
app::LoopEnd ReadRange(Spi& spi, uint32_t last, Take take) {
  app::Programmer& p = spi.p;
  const uint8_t read = p.dev.spi.read;
  const bool sequential = spi.s == 0;
  if (sequential) {
    spi.SpiSelect();
    spi.Wait(10);
    SpiSendCommand(spi, read, 0);
  }
  app::DataSpan span;
  span.empty = false;
  span.last = last;
  return app::ForEachDataIndex(p, span, [&](uint32_t a) {
    if (sequential) return take(a, spi.SpiReadByte());
    spi.SpiSelect();
    spi.Wait(spi.s + 5);
    SpiSendCommand(spi, read, a);
    const uint8_t b = spi.SpiReadByte();
    spi.SpiDeselect();
    spi.Wait(spi.s + 2);
    return take(a, b);
  });
}

// The status register as the panel shows it: BP1..BP0 as the combo's
// index, WPEN as the check box.
void ShowProtection(app::Programmer& p, uint8_t status) {
  p.dev.spi_status = status;
  p.controls["cb25CxxxBP"].index = (status >> 2) & 3;
  p.controls.Check("cbWPEN25C", (status & 0x80) != 0);
  p.host.ControlsChanged();
}

void Command(Spi& spi, uint8_t opcode, int32_t before, int32_t after) {
  spi.SpiSelect();
  spi.Wait(spi.s + before);
  spi.SpiSendByte(opcode);
  spi.Wait(spi.s + after);
  spi.SpiDeselect();
}

// WREN, then WRSR with `status`, then the write-cycle time; the unprotect
// and protect steps differ only in their waits.
void WriteStatus(Spi& spi, uint8_t status, int32_t before, int32_t wren_after) {
  const app::Descriptor::Spi& t = spi.p.dev.spi;
  Command(spi, t.wren, before, wren_after);
  spi.Wait(spi.s + 80);
  spi.SpiSelect();
  spi.Wait(spi.s + before);
  spi.SpiSendByte(t.wrsr);
  spi.SpiSendByte(status);
  spi.Wait(spi.s + 10);
  spi.SpiDeselect();
  spi.Wait(spi.p.dev.twc + spi.s);
}

}  // namespace

void Read6(app::Programmer& p) {
  app::ClearImage(p, image::kFillFF);
  p.bus.DelayTicks(100);
  const uint32_t size = p.image.device_size;
  p.ShowProgress(5, size, app::colour::kBlack);
  Spi spi = SpiEepromLines(p);
  PowerUp6(spi, true);
  const app::LoopEnd end = ReadRange(spi, size - 1, [&](uint32_t a, uint8_t b) {
    p.image[a] = b;
    return true;
  });
  spi.SpiDeselect();
  spi.Wait(spi.s + 10);
  spi.SpiSelect();
  spi.Wait(spi.s + 10);
  spi.SpiSendByte(p.dev.spi.rdsr);
  const uint8_t status = spi.SpiReadByte();
  spi.Wait(spi.s + 10);
  spi.SpiDeselect();
  spi.Wait(spi.s + 10);
  ShowProtection(p, status);
  spi.PowerDown();
  if (end == app::LoopEnd::kCancelled) {
    p.Message("Process Cancelled", hw::kError);
    p.error = 1;
    return;
  }
  ShowReadDone(p, "Chip read OK");
  p.image.data_end = size;
}

void Verify6(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(6, span.last, app::colour::kGreen);
  p.error = 0;
  Spi spi = SpiEepromLines(p);
  PowerUp6(spi, true);
  const app::LoopEnd end = ReadRange(spi, span.last, [&](uint32_t a, uint8_t b) {
    if (b == p.image[a]) return true;
    p.ReportMismatch(a, 0, b);
    p.error = 1;
    return false;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  spi.SpiDeselect();
  spi.Wait(spi.s + 5);
  if (p.error == 0 && p.verify_after_program == 0) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  spi.PowerDown();
}

void Blank6(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.ShowProgress(7, size, app::colour::kWhite);
  Spi spi = SpiEepromLines(p);
  PowerUp6(spi, true);
  // The whole device, whatever is loaded: data above the file is data too.
  uint32_t found = 0;
  const app::LoopEnd end = ReadRange(spi, size - 1, [&](uint32_t a, uint8_t b) {
    found = a;
    return b == 0xFF;
  });
  spi.SpiDeselect();
  spi.PowerDown();
  if (end == app::LoopEnd::kStopped) {
    char text[48];
    std::snprintf(text, sizeof text, "Device is NOT Empty ($%4.6x)", found);
    p.Message(text, hw::kError);
    p.error = 1;
  } else if (end == app::LoopEnd::kCancelled) {
    p.ShowProgress(1, 0, 0);
  } else {
    p.Message("Device is Empty", hw::kResult);
  }
}

void Program6(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  const app::Descriptor& d = p.dev;
  p.ShowProgress(4, span.last, app::colour::kRed);
  p.error = 0;
  Spi spi = SpiEepromLines(p);
  PowerUp6(spi, false);
  WriteStatus(spi, 0x00, 15, 15);  // unprotect

  const bool pages = d.device_code > 200;
  const uint32_t step = pages ? std::max<uint32_t>(d.page_size, 1) : 1;
  for (uint64_t i = 0; !span.empty && i <= span.last; i += step) {
    const auto a = static_cast<uint32_t>(i);
    Command(spi, d.spi.wren, 10, 10);
    spi.Wait(spi.s + 50);
    spi.SpiSelect();
    if (pages) {
      spi.Wait(spi.s + 8);
      spi.SpiSendByte(d.spi.write);
      if (d.device_code > 400) spi.SpiSendByte(static_cast<uint8_t>(a >> 16));
      spi.SpiSendByte(static_cast<uint8_t>(a >> 8));
      spi.SpiSendByte(static_cast<uint8_t>(a));
      for (uint32_t k = 0; k < step; ++k) spi.SpiSendByte(p.image[a + k]);  // the last page whole
      spi.Wait(8);
    } else {
      spi.Wait(spi.s + 20);
      SpiSendCommand(spi, d.spi.write, a);
      spi.SpiSendByte(p.image[a]);
      spi.Wait(spi.s + 20);
    }
    spi.SpiDeselect();
    spi.Wait(d.twc + spi.s);  // no status polling: the write-cycle time
    if (p.Refresh(a)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  if (p.error == 0) {
    spi.Wait(10);
    WriteStatus(spi, d.spi_status & 0x8C, 10, 20);  // protect as chosen
    spi.PowerDown();
    p.verify_after_program = 1;
    Verify6(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  // WRDI closes every run, a cancelled one too.
  spi.SpiSelect();
  spi.Wait(2);
  spi.SpiSendByte(d.spi.wrdi);
  spi.Wait(2);
  spi.SpiDeselect();
  spi.PowerDown();
  CtrlBit(p.bus, kDrive, false);
}

}  // namespace families::serial::spi
