// Family 57: chip erase and identification, and the steps the SPI flash
// routines share.
#include <cstdio>

#include "app/chip_id.h"
#include "families/serial/serial_lines.h"
#include "families/serial/spi.h"
#include "families/serial/spi_flash_steps.h"

namespace families::serial::spi {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kPower;
using hw::ctrl::kProgram;

constexpr int kErasePolls = 10000;

// The erase's seconds counter next to the gauge: " %0.1f Sec" of polls x 0.01.
void ShowTimer(app::Programmer& p, int polls) {
  char text[32];
  std::snprintf(text, sizeof text, " %0.1f Sec", polls * 0.01);
  p.controls.SetText("pLoopp", text);
  p.host.ControlsChanged();
}

// Polls the status with `opcode` until `done(status)`, at most 10000 times,
// 10000 ticks apart while busy. Returns the message kind 2 text, or
// nullptr when cancelled.
template <typename Done>
const char* PollErase(Spi& spi, uint8_t opcode, Done done, const char* done_text) {
  app::Programmer& p = spi.p;
  for (int poll = 1; poll <= kErasePolls; ++poll) {
    spi.SpiSelect();
    spi.Wait(10);
    spi.SpiSendByte(opcode);
    const uint8_t status = spi.SpiReadByte();
    spi.SpiDeselect();
    spi.Wait(10);
    if (done(status)) return done_text;
    if (p.Refresh(poll)) return nullptr;
    spi.Wait(10000);
    ShowTimer(p, poll);
  }
  return "erase completed by time out";
}

void EndErase(app::Programmer& p, Spi& spi, const char* text) {
  spi.PowerDown();
  if (text == nullptr) {
    p.ShowProgress(1, 0, 0);
  } else {
    p.Message(text, hw::kResult);
  }
}

void Erase45(app::Programmer& p) {
  const app::Descriptor::Spi& t = p.dev.spi;
  p.SetProcessGauge("erasing chip delay time 100 Sec", kErasePolls, app::colour::kWhite);
  ShowLoopLabel(p, "  timer ");
  Spi spi = SpiFlashLines(p);
  PowerUp57(spi);
  CtrlBit(p.bus, kDrive, true);
  spi.Wait(10000);
  spi.SpiDeselect();
  spi.Wait(100);
  spi.SpiSelect();
  spi.Wait(5);
  for (const uint8_t b : {0xC7, 0x94, 0x80, 0x9A}) spi.SpiSendByte(b);  // no WREN
  spi.SpiDeselect();
  spi.Wait(5);
  spi.Wait(1000);
  const char* text = PollErase(
      spi, t.status45, [](uint8_t s) { return (s & 0x80) != 0; }, "erase completed by check DQ7");
  EndErase(p, spi, text);
}

}  // namespace

void PowerUp57(Spi& spi) {
  hw::Bus& bus = spi.p.bus;
  DataBit(bus, kSerialData, false);
  DataBit(bus, kSerialClock, false);
  CtrlBit(bus, kProgram, true);
  CtrlBit(bus, kDrive, true);
  CtrlBit(bus, kPower, true);
}

bool WaitWhileBusy(Spi& spi, int polls) {
  for (int poll = 0; poll < polls; ++poll) {
    spi.SpiSelect();
    spi.Wait(5);
    spi.SpiSendByte(spi.p.dev.spi.rdsr);
    const uint8_t status = spi.SpiReadByte();
    spi.SpiDeselect();
    spi.Wait(5);
    if ((status & 0x01) == 0) return true;
  }
  return false;
}

void UnprotectSst(Spi& spi) {
  const app::Descriptor::Spi& t = spi.p.dev.spi;
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(t.ewsr);
  spi.SpiDeselect();
  spi.Wait(1000);
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(t.wrsr);
  spi.SpiSendByte(0x00);
  spi.Wait(10);
  spi.SpiDeselect();
}

void ShowLoopLabel(app::Programmer& p, const char* text) {
  p.controls.SetText("lbLoopPeak", text);
  p.host.ControlsChanged();
}

void Erase57(app::Programmer& p) {
  const app::Descriptor::Spi& t = p.dev.spi;
  if (t.series45) {
    Erase45(p);
    return;
  }
  p.SetProcessGauge("Erasing chip delay time 100 Sec", kErasePolls, app::colour::kWhite);
  ShowLoopLabel(p, "  timer ");
  Spi spi = SpiFlashLines(p);
  PowerUp57(spi);
  spi.SpiDeselect();
  spi.Wait(30000);
  spi.SpiSelect();
  spi.Wait(100);
  spi.SpiDeselect();
  if (t.aai) {
    UnprotectSst(spi);
    spi.Wait(1000);
  }
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(t.wren);
  spi.SpiDeselect();
  spi.Wait(10);
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(t.chip_erase);
  spi.SpiDeselect();
  spi.Wait(30000);
  const char* text = PollErase(
      spi, t.rdsr, [](uint8_t s) { return (s & 0x01) == 0; }, "erase completed by check DQ0");
  EndErase(p, spi, text);
}

void GetId57(app::Programmer& p) {
  const app::Descriptor::Spi& t = p.dev.spi;
  Spi spi = SpiFlashLines(p);
  PowerUp57(spi);
  spi.SpiDeselect();
  spi.Wait(1000);
  spi.SpiSelect();
  uint8_t manufacturer = 0, type = 0;
  if (t.id_read == 0x9F) {
    spi.SpiSendByte(t.id_read);
    manufacturer = spi.SpiReadByte();
    type = spi.SpiReadByte();
  } else {
    spi.SpiSelect();
    spi.Wait(5);
    if (t.id_read == 0x15) {
      // The AT25F answers right after the opcode; an address would be
      // clocked over its codes.
      spi.SpiSendByte(t.id_read);
    } else {
      spi.SendOpcodeAddress(t.id_read, 0);
    }
    manufacturer = spi.SpiReadByte();
  }
  const uint8_t device = spi.SpiReadByte();
  spi.SpiDeselect();
  spi.Wait(100);
  spi.SpiSelect();
  spi.Wait(5);
  spi.SpiSendByte(t.series45 ? t.status45 : t.rdsr);
  const uint8_t status = spi.SpiReadByte();
  spi.SpiDeselect();
  spi.Wait(10);
  spi.PowerDown();
  app::ChipIdExtras extras;
  extras.lock_byte = status;
  app::LookupSpiChipId(p, manufacturer, type, device, extras);
}

}  // namespace families::serial::spi
