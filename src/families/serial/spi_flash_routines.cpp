// Family 57: read, verify, blank check and programming of the SPI flash.
// Every command is an opcode and a 24-bit address, most significant bit
// first; the 45-series rows go the same way with their linear image
// offsets as addresses.
#include <cstdio>
#include <string>

#include "app/default_routines.h"
#include "app/image_files.h"
#include "families/serial/serial_lines.h"
#include "families/serial/spi.h"
#include "families/serial/spi_flash_steps.h"
#include "families/serial/spi_primitives.h"
#include "image/buffer_ops.h"

namespace families::serial::spi {
namespace {

constexpr int kPagePolls = 30000;

// Reads 0..last in one sequential READ from address 0, after the power-up
// and a first deselect of `settle` ticks.
template <typename Take>
app::LoopEnd ReadAll(Spi& spi, uint32_t last, int32_t settle, Take take) {
  app::Programmer& p = spi.p;
  PowerUp57(spi);
  spi.SpiDeselect();
  spi.Wait(settle);
  spi.SpiSelect();
  spi.Wait(2);
  spi.SendOpcodeAddress(p.dev.spi.read, 0);
  app::DataSpan span;
  span.empty = false;
  span.last = last;
  const app::LoopEnd end =
      app::ForEachDataIndex(p, span, [&](uint32_t a) { return take(a, spi.SpiReadByte()); });
  spi.SpiDeselect();
  spi.Wait(10);
  spi.PowerDown();
  return end;
}

// WREN, then one page program of `page` image bytes at `start`, then the
// busy poll. False when the part stayed busy through every poll.
bool ProgramPage(Spi& spi, uint32_t start, uint32_t page) {
  const app::Descriptor::Spi& t = spi.p.dev.spi;
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(t.wren);
  spi.SpiDeselect();
  spi.Wait(5);
  spi.SpiSelect();
  spi.Wait(5);
  spi.SendOpcodeAddress(t.write, start);
  for (uint32_t k = 0; k < page; ++k) spi.SpiSendByte(spi.p.image[start + k]);
  spi.Wait(10);
  spi.SpiDeselect();
  spi.Wait(10);
  return WaitWhileBusy(spi, kPagePolls);
}

void ProgramPages(app::Programmer& p, const app::DataSpan& span) {
  const uint32_t page = std::max<uint32_t>(p.dev.page_size, 1);
  p.ShowProgress(4, span.last / page, app::colour::kRed);
  ShowLoopLabel(p, "  Sector ");
  Spi spi = SpiFlashLines(p);
  p.error = 0;
  PowerUp57(spi);
  CtrlBit(p.bus, hw::ctrl::kDrive, true);
  spi.Wait(30000);
  spi.SpiDeselect();
  spi.Wait(10);
  bool failed = false;
  uint32_t number = 0;
  for (uint64_t start = 0; start <= span.last; start += page, ++number) {
    if (!ProgramPage(spi, static_cast<uint32_t>(start), page)) {
      failed = true;
      break;
    }
    if (p.Refresh(number)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  if (failed) {
    char text[48];
    std::snprintf(text, sizeof text, " Error :Write sector  %u ", number);
    p.ReportError(text);
    p.error = 1;
  } else if (p.error == 0) {
    p.verify_after_program = 1;
    Verify57(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  spi.PowerDown();
}

// SST: the auto-address-increment program, one or two bytes per command.
void ProgramAai(app::Programmer& p, const app::DataSpan& span) {
  const app::Descriptor& d = p.dev;
  const uint8_t op = d.spi.aai_program;
  const uint32_t unit = op == 0xAD ? 2 : 1;
  p.ShowProgress(4, span.last, app::colour::kRed);
  ShowLoopLabel(p, "  Sector ");
  Spi spi = SpiFlashLines(p);
  p.error = 0;
  PowerUp57(spi);
  CtrlBit(p.bus, hw::ctrl::kDrive, true);
  spi.Wait(20000);
  spi.SpiDeselect();
  spi.Wait(100);
  UnprotectSst(spi);
  spi.Wait(1000);
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(d.spi.wren);
  spi.SpiDeselect();
  spi.Wait(5);
  spi.SpiSelect();
  spi.Wait(5);
  spi.SendOpcodeAddress(op, 0);
  for (uint32_t k = 0; k < unit; ++k) spi.SpiSendByte(p.image[k]);
  spi.SpiDeselect();
  spi.Wait(d.twc);
  for (uint64_t a = unit; a <= span.last; a += unit) {
    spi.SpiSelect();
    spi.Wait(2);
    spi.SpiSendByte(op);
    for (uint32_t k = 0; k < unit; ++k) spi.SpiSendByte(p.image[a + k]);
    spi.SpiDeselect();
    spi.Wait(d.twc);
    if (p.ProgressTick(static_cast<int64_t>(a))) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  // The part takes nothing but AAI, RDSR and WRDI until WRDI ends the mode,
  // so the verify's READ needs it first.
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(d.spi.wrdi);
  spi.SpiDeselect();
  spi.Wait(5);
  WaitWhileBusy(spi, kPagePolls);
  if (p.error == 0) {
    p.verify_after_program = 1;
    Verify57(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  spi.PowerDown();
}

}  // namespace

void Read57(app::Programmer& p) {
  app::ClearImage(p, image::kFillFF);
  p.bus.DelayTicks(100);
  const uint32_t size = p.image.device_size;
  p.ShowProgress(5, size, app::colour::kBlack);
  Spi spi = SpiFlashLines(p);
  const app::LoopEnd end = ReadAll(spi, size - 1, 10000, [&](uint32_t a, uint8_t b) {
    p.image[a] = b;
    return true;
  });
  if (end == app::LoopEnd::kCancelled) {
    p.Message("Process Cancelled", hw::kError);
    p.error = 1;
    return;
  }
  p.Message("Chip read OK", hw::kInfo);
  p.host.SetCaption(std::string(app::kCaptionPrefix) + p.controls.Text("edDevice") + "image");
  p.image.data_end = size;
}

void Verify57(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(6, span.last, app::colour::kGreen);
  p.error = 0;
  Spi spi = SpiFlashLines(p);
  const app::LoopEnd end = ReadAll(spi, span.last, 1000, [&](uint32_t a, uint8_t b) {
    if (b == p.image[a]) return true;
    p.ReportMismatch(a, 0, b);
    p.error = 1;
    return false;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  if (p.error == 0 && p.verify_after_program == 0) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
}

void Blank57(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.ShowProgress(7, size, app::colour::kWhite);
  Spi spi = SpiFlashLines(p);
  uint32_t found = 0;
  const app::LoopEnd end = ReadAll(spi, size - 1, 1000, [&](uint32_t a, uint8_t b) {
    found = a;
    return b == 0xFF;
  });
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

void Program57(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  if (span.empty) return;
  if (p.dev.spi.aai) {
    ProgramAai(p, span);
  } else {
    ProgramPages(p, span);
  }
}

}  // namespace families::serial::spi
