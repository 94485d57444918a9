// The AT89S8253 (sub-type 8) programs in pages: 64-byte pages of code up to
// 0x2FFF, 32-byte pages of data EEPROM from 0x3000. A page is loaded byte by
// byte with short pulses while the Vpp switch is on and written when it
// goes off; then it is read back, and written again until it holds.
#include <cstdio>
#include <vector>

#include "app/default_routines.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcs51_ops.h"

namespace families::mcs51 {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

constexpr uint32_t kDataStart = 0x3000;  // the first data-EEPROM page
constexpr uint32_t kCodePage = 64;
constexpr uint32_t kDataPage = 32;
constexpr uint32_t kDataPattern = 0x64000;  // page load into the data EEPROM
constexpr int kPageAttempts = 20;
constexpr int kPageReads = 5;    // a byte must read wrong this often to fail the page
constexpr int kDataGauge = 256;  // gauge maximum once the data EEPROM is reached

void WritePage(Programmer& p, uint32_t start, const std::vector<uint8_t>& page, bool data) {
  hw::Bus& bus = p.bus;
  const uint32_t pattern = data ? kDataPattern : p.dev.mcs51.socket.write_code;
  Bit(bus, kProgram, false);
  Bit(bus, kStrobe, false);
  bus.DelayTicks(100);
  bus.ShiftAddress(0xFFFF);
  for (uint32_t k = 0; k < page.size(); ++k) {
    bus.ShiftAddress(pattern | (start + k));
    Bit(bus, kDrive, true);
    bus.WriteBusByte(page[k]);
    Bit(bus, kProgram, true);
    bus.DelayTicks(2);
    Bit(bus, kProgram, false);
  }
  Bit(bus, kStrobe, true);  // the part writes the page now
  DataTail(bus);
  bus.DelayTicks(p.dev.mcs51.twc);
}

bool VerifyPage(Programmer& p, const Ops& ops, uint32_t start, const std::vector<uint8_t>& page) {
  Bit(p.bus, kDrive, false);
  for (uint32_t k = 0; k < page.size(); ++k) {
    uint8_t r = ops.read(p, start + k);
    for (int n = 1; n < kPageReads && r != page[k]; ++n) r = ops.read(p, start + k);
    if (r != page[k]) return false;
  }
  return true;
}

}  // namespace

void PageProgram(Programmer& p) {
  const Ops& ops = *OpsFor(p);
  hw::Bus& bus = p.bus;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  const uint32_t last = span.last;
  p.ShowProgress(4, last < kDataStart ? last / kCodePage : kDataGauge, 0xFF);
  p.controls.SetText("lbLoopPeak", "  Page ");
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFF);
  p.ChangePriority(true);
  p.error = 0;
  int page_number = 0;
  for (uint32_t s = 0; !span.empty && s <= last; ++page_number) {
    const bool data = s >= kDataStart;
    const uint32_t size = data ? kDataPage : kCodePage;
    std::vector<uint8_t> page(size);
    for (uint32_t k = 0; k < size; ++k) page[k] = p.image[s + k];
    bool written = false;
    for (int n = 0; n < kPageAttempts && !written; ++n) {
      WritePage(p, s, page, data);
      bus.DelayTicks(p.dev.mcs51.twc);
      written = VerifyPage(p, ops, s, page);
    }
    if (!written) {
      p.error = 1;
      break;
    }
    char text[16];
    std::snprintf(text, sizeof text, " %d ", page_number);
    p.controls.SetText("pLoopp", text);
    p.host.ControlsChanged();
    if (p.Refresh(page_number)) {
      p.ShowProgress(1, 0, 0);  // sets the error flag: the report below follows
      break;
    }
    s += size;
  }
  p.ChangePriority(false);
  if (p.error != 0) {
    char text[40];
    std::snprintf(text, sizeof text, " Error :Write Page  %d ", page_number);
    p.ReportError(text);
    return;
  }
  bus.PowerDown();
  VerifyChip(p);
  // Only a chip that verified is locked or called programmed.
  if (p.error == 0) {
    if (p.controls.Checked("cbAutoLockBit")) {
      bus.PowerDown();
      bus.DelayTicks(20000);
      LockChip(p);
      p.Message("Device Programmed and Lock bit", hw::kResult);
    } else {
      p.ShowProgress(3, 0, 0);
    }
  }
  bus.PowerDown();
}

}  // namespace families::mcs51
