// PIC18 erase and program.
#include <cstdio>
#include <string>

#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"
#include "image/layout.h"

namespace families::pic18 {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x008000;
constexpr int kEepromPolls = 2000;

std::string Format(const char* format, unsigned value) {
  char text[96];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

uint16_t Word(const image::MemoryImage& img, uint32_t byte) {
  return static_cast<uint16_t>(img[byte] | img[byte + 1] << 8);
}

// An erase-control write, a NOP, then the pause in which the erase runs.
void EraseWith(P18Port& port, uint16_t code) {
  P18TableWrite(port, kEraseControl, code);
  P18Core(port, ins::kNop);
  P18CommandWait(port, cmd::kCore, 0, kEraseHold + 2000);
}

void Unlock(P18Port& port) {
  P18Core(port, ins::kMovlw | 0x55);
  P18Core(port, ins::kMovwfEecon2);
  P18Core(port, ins::kMovlw | 0xAA);
  P18Core(port, ins::kMovwfEecon2);
}

// Algorithm 7: the row erase of 0x2000..0x2FFF before the chip erase.
void RowErase(P18Port& port) {
  P18SetPointer(port, kEraseControl);
  for (const uint16_t code : {0x81, 0x83, 0x88}) P18Command(port, cmd::kTableWrite, code);
  P18TableWrite(port, kPanelSelect, 0);
  P18Core(port, ins::kBsfEepgd);
  P18Core(port, ins::kBcfCfgs);
  for (uint32_t row = 0x2000; row < 0x3000; row += 64) {
    P18SetPointerCached(port, row);
    P18Core(port, ins::kBsfWren);
    P18Core(port, ins::kBsfFree);
    Unlock(port);
    P18Core(port, ins::kBsfWr);
    P18CommandWait(port, cmd::kCore, 0, kEraseHold);
    P18Core(port, ins::kBcfWren);
  }
}

bool Cancelled(app::Programmer& p, int64_t position) { return p.ProgressTick(position); }

// One chunk of the write buffer at `start`: post-increment writes, the last
// word starting the programming, then the held NOP.
void WriteChunk(P18Port& port, const image::MemoryImage& img, uint32_t start, uint32_t bytes) {
  P18SetPointerCached(port, start);
  for (uint32_t k = 0; k + 2 < bytes; k += 2) {
    P18Command(port, cmd::kTableWritePostInc2, Word(img, start + k));
  }
  P18Command(port, cmd::kTableWriteStart, Word(img, start + bytes - 2));
  P18CommandHold(port, cmd::kCore, ins::kNop, kWriteHold);
}

// Multi-panel: the same 8-byte row of every panel, committed together by
// the last panel's start-programming.
void WritePanels(P18Port& port, const image::MemoryImage& img, uint32_t offset, uint32_t panels) {
  for (uint32_t k = 0; k < panels; ++k) {
    const uint32_t start = k * 8192 + offset;
    P18SetPointerCached(port, start);
    for (uint32_t b = 0; b < 6; b += 2) {
      P18Command(port, cmd::kTableWritePostInc2, Word(img, start + b));
    }
    const bool last = k + 1 == panels;
    P18Command(port, last ? cmd::kTableWriteStart : cmd::kTableWrite, Word(img, start + 6));
  }
  P18CommandHold(port, cmd::kCore, ins::kNop, kWriteHold);
}

bool ProgramCode(P18Port& port) {
  app::Programmer& p = port.p;
  const app::Descriptor::Pic18& row = p.dev.pic18;
  const uint32_t bytes = row.code_words * 2;
  const int alg = row.erase_algorithm;
  p.SetProcessGauge(Format("Programming CODE (0x%X) Word", row.code_words), row.code_words, kGreen);
  const bool chunks = alg == 2 || alg == 5 || alg == 10 || alg == 7 || alg == 8;
  if (!chunks) {
    P18Core(port, ins::kBsfEepgd);
    P18Core(port, ins::kBsfCfgs);
    P18TableWrite(port, kPanelSelect, 0x0040);
  }
  P18Core(port, ins::kBsfEepgd);
  P18Core(port, ins::kBcfCfgs);
  if (chunks) {
    const uint32_t size = (alg == 7 || alg == 8) ? 8 : row.write_buffer;
    for (uint32_t a = 0; a < bytes; a += size) {
      WriteChunk(port, p.image, a, size);
      if (Cancelled(p, a / 2)) return false;
    }
    return true;
  }
  const uint32_t panels = row.panels != 0 ? row.panels : 1;
  for (uint32_t offset = 0; offset < 8192 && offset < bytes; offset += 8) {
    WritePanels(port, p.image, offset, panels);
    if (Cancelled(p, offset / 2 * panels)) return false;
  }
  return true;
}

void ProgramIds(P18Port& port) {
  const image::MemoryImage& img = port.p.image;
  P18Core(port, ins::kBsfEepgd);
  P18Core(port, ins::kBsfCfgs);
  P18TableWrite(port, kPanelSelect, 0);
  P18Core(port, ins::kBsfEepgd);
  P18Core(port, ins::kBcfCfgs);
  P18SetPointerCached(port, kIdAddress);
  for (uint32_t k = 0; k < 8; k += 2) {
    const int command = k == 6 ? cmd::kTableWriteStart : cmd::kTableWritePostInc2;
    P18Command(port, command, Word(img, image::kPic18IdOffset + k));
    P18CommandHold(port, cmd::kCore, ins::kNop, kWriteHold);
  }
}

bool ProgramEeprom(P18Port& port) {
  app::Programmer& p = port.p;
  const uint32_t size = p.dev.pic18.eeprom_size;
  p.SetProcessGauge(Format("Programming EEPROM (0x%X) byte", size), size, kRed);
  for (uint32_t j = 0; j < size; ++j) {
    P18Core(port, ins::kBcfEepgd);
    P18Core(port, ins::kBcfCfgs);
    P18Core(port, static_cast<uint16_t>(ins::kMovlw | (j & 0xFF)));
    P18Core(port, ins::kMovwfEeadr);
    P18Core(port, static_cast<uint16_t>(ins::kMovlw | (j >> 8)));
    P18Core(port, ins::kMovwfEeadrh);
    P18Core(port, static_cast<uint16_t>(ins::kMovlw | p.image[image::kPic18EepromOffset + j]));
    P18Core(port, ins::kMovwfEedata);
    P18Core(port, ins::kBsfWren);
    Unlock(port);
    P18Core(port, ins::kBsfWr);
    bool done = false;
    for (int poll = 0; poll < kEepromPolls && !done; ++poll) {
      P18Core(port, ins::kMovfEecon1);
      P18Core(port, ins::kMovwfTablat);
      P18Core(port, ins::kNop);
      done = (P18ReadByte(port, cmd::kShiftOutTablat) & 0x02) == 0;
    }
    P18Core(port, ins::kBcfWren);
    if (!done) {
      p.Message("ERROR timeOut write Data to EEPROM", hw::kError);
      return false;
    }
    if (Cancelled(p, j)) {
      p.Message("Process Cancelled", hw::kError);
      return false;
    }
  }
  return true;
}

void ProgramConfig(P18Port& port) {
  const image::MemoryImage& img = port.p.image;
  port.p.SetProcessGauge("EEPROM write CFG word", image::kPic18ConfigBytes, kGreen);
  P18Core(port, ins::kBsfEepgd);
  P18Core(port, ins::kBsfCfgs);
  P18Core(port, 0xEF00);  // GOTO 0x100000: the core away from the code being written
  P18Core(port, 0xF800);
  for (uint32_t k = 0; k < image::kPic18ConfigBytes; k += 2) {
    const uint8_t low = img[image::kPic18ConfigOffset + k];
    const uint8_t high = img[image::kPic18ConfigOffset + k + 1];
    P18SetPointerCached(port, kConfigAddress + k);
    // The byte in both halves: the part takes the half its address picks.
    P18Command(port, cmd::kTableWriteStart, static_cast<uint16_t>(low << 8 | low));
    P18CommandHold(port, cmd::kCore, ins::kNop, kWriteHold);
    P18Core(port, ins::kIncfTblptrL);
    P18Command(port, cmd::kTableWriteStart, static_cast<uint16_t>(high << 8 | high));
    P18CommandHold(port, cmd::kCore, ins::kNop, kWriteHold);
  }
}

void Leave(app::Programmer& p) {
  pic::PicExit(p);
  p.bus.PowerDown();
}

}  // namespace

void EraseSequence(P18Port& port, int algorithm) {
  switch (algorithm) {
    case 0:
      return;
    case 5:
      P18TableWrite(port, kEraseControl + 1, 0x010A);
      break;
    case 7:
      RowErase(port);
      break;
    case 8:
      for (const uint16_t code : {0x81, 0x83, 0x88, 0x89, 0x8A}) EraseWith(port, code);
      break;
    case 10:
      P18TableWrite(port, kEraseControl + 1, 0x0F0F);
      EraseWith(port, 0x8787);
      return;
    default:
      break;
  }
  EraseWith(port, 0x0080);
}

void ErasePic18(app::Programmer& p) {
  p.SetProcessGauge("Chip Erase ", 1, kRed);
  P18Port port{p, {}};
  pic::PicEnterVddFirst(p);
  EraseSequence(port, p.dev.pic18.erase_algorithm);
  Leave(p);
  p.error = 0;
  p.Message("Device " + p.controls.Text("edDevice") + " is erased", hw::kResult);
}

void ProgramPic18(app::Programmer& p) {
  P18Port port{p, {}};
  p.error = 1;
  pic::PicEnterVddFirst(p);
  EraseSequence(port, p.dev.pic18.erase_algorithm);
  bool ok = ProgramCode(port);
  if (!ok) {
    Leave(p);
    p.Message("Process Cancelled", hw::kError);
    return;
  }
  ProgramIds(port);
  if (p.dev.pic18.eeprom_size != 0 && !ProgramEeprom(port)) {
    Leave(p);
    return;
  }
  if (!VerifyProgrammed(port)) {
    Leave(p);
    return;
  }
  ProgramConfig(port);
  ok = VerifyConfig(port);
  Leave(p);
  if (!ok) {
    p.Message("ERROR Verify CFG word", hw::kError);
    return;
  }
  p.error = 0;
  p.Message("Programming [CODE,DevID,EEPROM,CFG] OK", hw::kResult);
}

}  // namespace families::pic18
