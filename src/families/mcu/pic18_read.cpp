// PIC18 read, verify, blank check and device ID: table reads with the
// pointer moving on by itself, data EEPROM through EEADR/EEDATA.
#include <cstdio>
#include <string>

#include "app/image_files.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"
#include "families/mcu/pic18_config.h"
#include "image/buffer_ops.h"
#include "image/layout.h"

namespace families::pic18 {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x008000;

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

enum class Walk { kRead, kVerify, kAfterProgram };

struct Texts {
  const char* code_gauge;
  const char* code_error;
  const char* eeprom_gauge;
  const char* eeprom_error;
};

const Texts& TextsOf(Walk walk) {
  static const Texts kRead{"Reading program memory (0x%X) Word", "",
                           "Reading DATA memory (0x%X) Word", ""};
  static const Texts kVerify{"Verify CODE (0x%X) Word",
                             "ERROR Verify program memory at 0x%.6X = %.2X%.2X",
                             "Verify EEPROM (0x%X) byte", "ERROR Verify EEPROM DATA  at 0x%.2X"};
  static const Texts kProgram{"Verify CODE (0x%X) Word", "ERROR Program memory at 0x%.6X",
                              "Verify EEPROM (0x%X) byte", "ERROR EEPROM DATA  at 0x%.2X"};
  return walk == Walk::kRead ? kRead : walk == Walk::kVerify ? kVerify : kProgram;
}

// Data EEPROM byte `j` (EEPGD and CFGS already clear).
uint8_t ReadEeprom(P18Port& port, uint32_t j) {
  P18Core(port, static_cast<uint16_t>(ins::kMovlw | (j & 0xFF)));
  P18Core(port, ins::kMovwfEeadr);
  P18Core(port, static_cast<uint16_t>(ins::kMovlw | (j >> 8)));
  P18Core(port, ins::kMovwfEeadrh);
  P18Core(port, ins::kBsfRd);
  P18Core(port, ins::kMovfEedata);
  P18Core(port, ins::kMovwfTablat);
  return P18ReadByte(port, cmd::kShiftOutTablat);
}

void ReadConfig(P18Port& port) {
  P18SetPointerCached(port, kConfigAddress);
  for (uint32_t k = 0; k < image::kPic18ConfigBytes; ++k) {
    port.p.image[image::kPic18ConfigOffset + k] = P18ReadByte(port, cmd::kTableReadPostInc);
  }
}

// The areas a read fills and a verify compares; false on the first
// difference (reported) or on Cancel ("Process Cancelled").
bool WalkAreas(P18Port& port, Walk walk) {
  app::Programmer& p = port.p;
  image::MemoryImage& img = p.image;
  const app::Descriptor::Pic18& row = p.dev.pic18;
  const Texts& texts = TextsOf(walk);
  const bool read = walk == Walk::kRead;
  p.SetProcessGauge(Format(texts.code_gauge, row.code_words), row.code_words, kGreen);
  P18SetPointer(port, 0);
  for (uint32_t a = 0; a < row.code_words * 2; a += 2) {
    const uint8_t low = P18ReadByte(port, cmd::kTableReadPostInc);
    const uint8_t high = P18ReadByte(port, cmd::kTableReadPostInc);
    if (read) {
      img[a] = low;
      img[a + 1] = high;
    } else if (low != img[a] || high != img[a + 1]) {
      p.Message(Format(texts.code_error, a, high, low), hw::kError);
      return false;
    }
    if (p.ProgressTick(a / 2)) {
      p.Message("Process Cancelled", hw::kError);
      return false;
    }
  }
  P18SetPointerCached(port, kIdAddress);
  for (uint32_t k = 0; k < image::kPic18IdBytes; ++k) {
    const uint8_t b = P18ReadByte(port, cmd::kTableReadPostInc);
    if (read) {
      img[image::kPic18IdOffset + k] = b;
    } else if (b != img[image::kPic18IdOffset + k]) {
      p.Message(Format("ERROR Program ID Error at 0x%.6X", kIdAddress + k), hw::kError);
      return false;
    }
  }
  if (read) {
    ReadConfig(port);
  } else if (walk == Walk::kVerify && !VerifyConfig(port)) {
    p.Message("ERROR Verify CFG word", hw::kError);
    return false;
  }
  if (row.eeprom_size == 0) return true;
  p.SetProcessGauge(Format(texts.eeprom_gauge, row.eeprom_size), row.eeprom_size, kRed);
  // EEPGD and CFGS come up undefined; with either set RD reads nothing.
  P18Core(port, ins::kBcfEepgd);
  P18Core(port, ins::kBcfCfgs);
  for (uint32_t j = 0; j < row.eeprom_size; ++j) {
    const uint8_t b = ReadEeprom(port, j);
    if (read) {
      img[image::kPic18EepromOffset + j] = b;
    } else if (b != img[image::kPic18EepromOffset + j]) {
      p.Message(Format(texts.eeprom_error, j), hw::kError);
      return false;
    }
    if (p.ProgressTick(j)) {
      p.Message("Process Cancelled", hw::kError);
      return false;
    }
  }
  return true;
}

// DEVID1 then DEVID2, as one word.
uint16_t ReadDeviceId(P18Port& port) {
  P18SetPointer(port, kDeviceIdAddress);
  const uint8_t low = P18ReadByte(port, cmd::kTableReadPostInc);
  const uint8_t high = P18ReadByte(port, cmd::kTableReadPostInc);
  return static_cast<uint16_t>(high << 8 | low);
}

void Leave(app::Programmer& p) {
  pic::PicExit(p);
  p.bus.PowerDown();
}

// Every PIC18 has a device ID; all ones means no part answered on PGD (none
// in the socket, or one that did not enter programming mode, as a part
// running from its internal oscillator with MCLR off can). A read or blank
// check of nothing must not pass for an erased chip.
bool Answered(P18Port& port) {
  if (ReadDeviceId(port) != 0xFFFF) return true;
  port.p.Message("ERROR no device ID (0xFFFF): the part is not in programming mode", hw::kError);
  return false;
}

}  // namespace

bool VerifyProgrammed(P18Port& port) { return WalkAreas(port, Walk::kAfterProgram); }

bool VerifyConfig(P18Port& port) {
  app::Programmer& p = port.p;
  const ConfigMask& mask = Pic18ConfigMask(p.dev.device_code);
  P18SetPointerCached(port, kConfigAddress);
  bool same = true;
  for (uint32_t k = 0; k < image::kPic18ConfigBytes; ++k) {
    const uint8_t b = P18ReadByte(port, cmd::kTableReadPostInc);
    if (((b ^ p.image[image::kPic18ConfigOffset + k]) & mask[k]) != 0) same = false;
  }
  return same;
}

void ReadPic18(app::Programmer& p) {
  app::ClearImage(p, image::kFillFF);
  P18Port port{p, {}};
  pic::PicEnterVddFirst(p);
  const bool ok = WalkAreas(port, Walk::kRead) && Answered(port);
  Leave(p);
  p.error = ok ? 0 : 1;
  if (!ok) return;
  p.image.data_end = p.image.device_size;
  p.Message("Read Code,ID,EEPROM,CFG -- ok", hw::kResult);
}

void VerifyPic18(app::Programmer& p) {
  P18Port port{p, {}};
  pic::PicEnterVddFirst(p);
  const bool ok = WalkAreas(port, Walk::kVerify);
  Leave(p);
  p.error = ok ? 0 : 1;
  if (ok) p.Message("Verify Code,ID,EEPROM,CFG -- ok", hw::kResult);
}

void BlankCheckPic18(app::Programmer& p) {
  const uint32_t words = p.dev.pic18.code_words;
  p.SetProcessGauge("Check blank ", words, kRed);
  P18Port port{p, {}};
  pic::PicEnterVddFirst(p);
  P18SetPointer(port, 0);
  p.error = 0;
  for (uint32_t a = 0; a < words * 2; ++a) {
    if (P18ReadByte(port, cmd::kTableReadPostInc) != 0xFF) {
      Leave(p);
      p.error = 1;
      p.Message(Format("ERROR Chip not empty at 0x%.6X", a), hw::kError);
      return;
    }
    if ((a & 1) != 0 && p.ProgressTick(a / 2)) {
      Leave(p);
      p.error = 1;
      p.Message("Process Cancelled", hw::kError);
      return;
    }
  }
  const bool answered = Answered(port);
  Leave(p);
  if (!answered) {
    p.error = 1;
    return;
  }
  p.Message("CHK Blank Code OK (no Checksum CFG)", hw::kResult);
}

void DeviceIdPic18(app::Programmer& p) {
  P18Port port{p, {}};
  pic::PicEnterVddFirst(p);
  const uint16_t id = ReadDeviceId(port);
  Leave(p);
  p.error = 0;
  pic::ShowDeviceId(p, id);
}

}  // namespace families::pic18

namespace families {

void RegisterPic18(app::FamilyRegistry& registry) {
  using app::Action;
  registry.Register(36, Action::kRead, &pic18::ReadPic18);
  registry.Register(36, Action::kProgram, &pic18::ProgramPic18);
  registry.Register(36, Action::kVerify, &pic18::VerifyPic18);
  registry.Register(36, Action::kBlank, &pic18::BlankCheckPic18);
  registry.Register(36, Action::kErase, &pic18::ErasePic18);
  registry.Register(36, Action::kGetId, &pic18::DeviceIdPic18);
}

}  // namespace families
