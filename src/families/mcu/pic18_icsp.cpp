// The PIC18 frame level: every command the PIC18 routines send goes
// through here, and so does every move of the table pointer.
#include "families/mcu/pic18.h"

namespace families::pic18 {
namespace {

constexpr int kPgd = 0;           // data bit 0
constexpr int kPgc = 1;           // data bit 1
constexpr uint8_t kPgdIn = 0x80;  // status bit 7 reads NOT PGD
constexpr int32_t kPhase = 30;    // x 100 ns: one clock phase

void Line(hw::Bus& bus, int bit, bool on) {
  bus.SetData(bit, on);
  bus.WriteData();
}

// One bit: PGD, PGC high for `high` (a phase, or a hold in ticks), PGC low.
void Bit(hw::Bus& bus, bool b, int32_t hold_ticks = 0) {
  Line(bus, kPgd, b);
  Line(bus, kPgc, true);
  if (hold_ticks > 0) {
    bus.DelayTicks(hold_ticks);
  } else {
    bus.Delay100ns(kPhase);
  }
  Line(bus, kPgc, false);
  bus.Delay100ns(kPhase);
}

void Operand(hw::Bus& bus, uint16_t operand) {
  for (int i = 0; i < 16; ++i) Bit(bus, ((operand >> i) & 1) != 0);
}

void End(hw::Bus& bus) {
  Line(bus, kPgd, false);
  bus.Delay100ns(kPhase + 2);
}

// Where a command leaves the chip's table pointer.
void Follow(P18Port& port, int command, uint16_t operand) {
  if (!port.pointer) return;
  uint32_t& ptr = *port.pointer;
  switch (command) {
    case cmd::kCore:
      if (operand == ins::kIncfTblptrL) ptr = (ptr & ~0xFFu) | ((ptr + 1) & 0xFF);
      if (operand == ins::kMovwfTblptrU || operand == ins::kMovwfTblptrH ||
          operand == ins::kMovwfTblptrL) {
        port.pointer.reset();
      }
      return;
    case cmd::kTableReadPostInc:
    case cmd::kTableReadPreInc:
      ptr = (ptr + 1) & 0x3FFFFF;
      return;
    case cmd::kTableReadPostDec:
      ptr = (ptr - 1) & 0x3FFFFF;
      return;
    case cmd::kTableWritePostInc2:
      ptr = (ptr + 2) & 0x3FFFFF;
      return;
    case cmd::kTableWritePostDec2:
      ptr = (ptr - 2) & 0x3FFFFF;
      return;
    default:
      return;
  }
}

void SendCommand(hw::Bus& bus, int command, int32_t fourth_hold) {
  for (int i = 0; i < 4; ++i) Bit(bus, ((command >> i) & 1) != 0, i == 3 ? fourth_hold : 0);
}

}  // namespace

void P18Command(P18Port& port, int command, uint16_t operand) {
  hw::Bus& bus = port.p.bus;
  SendCommand(bus, command, 0);
  Operand(bus, operand);
  End(bus);
  Follow(port, command, operand);
}

void P18Core(P18Port& port, uint16_t instruction) { P18Command(port, cmd::kCore, instruction); }

void P18CommandHold(P18Port& port, int command, uint16_t operand, int32_t hold_ticks) {
  hw::Bus& bus = port.p.bus;
  SendCommand(bus, command, hold_ticks);
  Operand(bus, operand);
  End(bus);
  Follow(port, command, operand);
}

void P18CommandWait(P18Port& port, int command, uint16_t operand, int32_t wait_ticks) {
  hw::Bus& bus = port.p.bus;
  SendCommand(bus, command, 0);
  Line(bus, kPgd, false);
  bus.DelayTicks(wait_ticks);
  Operand(bus, operand);
  End(bus);
  Follow(port, command, operand);
}

uint8_t P18ReadByte(P18Port& port, int command) {
  hw::Bus& bus = port.p.bus;
  SendCommand(bus, command, 0);
  for (int i = 0; i < 8; ++i) Bit(bus, false);
  Line(bus, kPgd, true);  // released: the chip drives the wired-AND line
  uint8_t value = 0;
  for (int i = 0; i < 8; ++i) {
    Line(bus, kPgc, true);
    bus.Delay100ns(kPhase);
    if ((bus.ReadStatus() & kPgdIn) == 0) value = static_cast<uint8_t>(value | 1u << i);
    Line(bus, kPgc, false);
    bus.Delay100ns(kPhase);
  }
  End(bus);
  Follow(port, command, 0);
  return value;
}

void P18SetPointer(P18Port& port, uint32_t address) {
  port.pointer.reset();
  P18SetPointerCached(port, address);
}

void P18SetPointerCached(P18Port& port, uint32_t address) {
  constexpr uint16_t kMoves[3] = {ins::kMovwfTblptrU, ins::kMovwfTblptrH, ins::kMovwfTblptrL};
  for (int k = 0; k < 3; ++k) {
    const int shift = 16 - 8 * k;
    const uint32_t want = (address >> shift) & 0xFF;
    if (port.pointer && ((*port.pointer >> shift) & 0xFF) == want) continue;
    P18Core(port, static_cast<uint16_t>(ins::kMovlw | want));
    hw::Bus& bus = port.p.bus;
    SendCommand(bus, cmd::kCore, 0);  // the move itself: the mirror is set below
    Operand(bus, kMoves[k]);
    End(bus);
  }
  port.pointer = address & 0x3FFFFF;
}

void P18TableWrite(P18Port& port, uint32_t address, uint16_t data) {
  P18SetPointerCached(port, address);
  P18Command(port, cmd::kTableWrite, data);
}

void P18ConfigWrite(P18Port& port, uint32_t address, uint16_t data) {
  P18Core(port, ins::kBsfEepgd);
  P18Core(port, ins::kBsfCfgs);
  P18TableWrite(port, address, data);
}

}  // namespace families::pic18
