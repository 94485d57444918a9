#pragma once

// The PIC18 flash parts (family 36): a 4-bit command and a 16-bit operand
// per frame on the ICSP lines of the mid-range parts; most work is core
// instructions that move the table pointer, then table reads and writes.

#include <array>
#include <cstdint>
#include <optional>

#include "app/dispatch.h"
#include "app/programmer.h"

namespace families::pic18 {

// Command codes.
namespace cmd {
inline constexpr int kCore = 0x0;
inline constexpr int kShiftOutTablat = 0x2;
inline constexpr int kTableRead = 0x8;
inline constexpr int kTableReadPostInc = 0x9;
inline constexpr int kTableReadPostDec = 0xA;
inline constexpr int kTableReadPreInc = 0xB;
inline constexpr int kTableWrite = 0xC;
inline constexpr int kTableWritePostInc2 = 0xD;
inline constexpr int kTableWritePostDec2 = 0xE;
inline constexpr int kTableWriteStart = 0xF;
}  // namespace cmd

// Core instructions the sequences send.
namespace ins {
inline constexpr uint16_t kNop = 0x0000;
inline constexpr uint16_t kBsfEepgd = 0x8EA6, kBcfEepgd = 0x9EA6;
inline constexpr uint16_t kBsfCfgs = 0x8CA6, kBcfCfgs = 0x9CA6;
inline constexpr uint16_t kBsfWren = 0x84A6, kBcfWren = 0x94A6;
inline constexpr uint16_t kBsfFree = 0x88A6, kBsfWr = 0x82A6, kBsfRd = 0x80A6;
inline constexpr uint16_t kMovlw = 0x0E00;
inline constexpr uint16_t kMovwfEecon2 = 0x6EA7, kMovwfEeadr = 0x6EA9, kMovwfEeadrh = 0x6EAA;
inline constexpr uint16_t kMovwfEedata = 0x6EA8, kMovwfTablat = 0x6EF5;
inline constexpr uint16_t kMovwfTblptrU = 0x6EF8, kMovwfTblptrH = 0x6EF7, kMovwfTblptrL = 0x6EF6;
inline constexpr uint16_t kMovfEedata = 0x50A8, kMovfEecon1 = 0x50A6;
inline constexpr uint16_t kIncfTblptrL = 0x2AF6;
}  // namespace ins

inline constexpr uint32_t kIdAddress = 0x200000;
inline constexpr uint32_t kConfigAddress = 0x300000;
inline constexpr uint32_t kEraseControl = 0x3C0004;
inline constexpr uint32_t kPanelSelect = 0x3C0006;
inline constexpr uint32_t kDeviceIdAddress = 0x3FFFFE;
inline constexpr int32_t kWriteHold = 1500;   // DelayTicks: the programming time
inline constexpr int32_t kEraseHold = 12000;  // DelayTicks: the erase time

// The lines and the mirror of the chip's table pointer. The mirror follows
// every command that moves the pointer, so the cached pointer set sends
// only the bytes that really differ from where the chip's pointer is.
struct P18Port {
  app::Programmer& p;
  std::optional<uint32_t> pointer;  // unknown until set
};

void P18Command(P18Port& port, int command, uint16_t operand);
void P18Core(P18Port& port, uint16_t instruction);
void P18CommandHold(P18Port& port, int command, uint16_t operand, int32_t hold_ticks);
void P18CommandWait(P18Port& port, int command, uint16_t operand, int32_t wait_ticks);
uint8_t P18ReadByte(P18Port& port, int command);
// All three pointer bytes.
void P18SetPointer(P18Port& port, uint32_t address);
// Only the pointer bytes that differ from the chip's pointer.
void P18SetPointerCached(P18Port& port, uint32_t address);
void P18TableWrite(P18Port& port, uint32_t address, uint16_t data);
void P18ConfigWrite(P18Port& port, uint32_t address, uint16_t data);

// The configuration bytes a part implements (CONFIG1L .. CONFIG7H).
using ConfigMask = std::array<uint8_t, 14>;
const ConfigMask& Pic18ConfigMask(int tag);
// The name of a part by DEVID2:DEVID1 (revision bits ignored); empty if unknown.
const char* Pic18DeviceName(uint16_t id);

// The erase sequence of the selected part's algorithm, in programming mode.
void EraseSequence(P18Port& port, int algorithm);

// In programming mode: code, IDs and data EEPROM against the image (false
// after reporting the first difference), and the configuration bytes
// under the part's masks.
bool VerifyProgrammed(P18Port& port);
bool VerifyConfig(P18Port& port);

// --- routines ------------------------------------------------------------------
void ReadPic18(app::Programmer& p);
void VerifyPic18(app::Programmer& p);
void BlankCheckPic18(app::Programmer& p);
void ErasePic18(app::Programmer& p);
void ProgramPic18(app::Programmer& p);
void DeviceIdPic18(app::Programmer& p);

}  // namespace families::pic18

namespace families {
void RegisterPic18(app::FamilyRegistry& registry);
}  // namespace families
