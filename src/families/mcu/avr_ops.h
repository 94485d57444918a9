#pragma once

// The AT90S parallel programming primitives and chip operations. Every
// figure the chip depends on is in the command record below.

#include <array>
#include <cstdint>

#include "app/programmer.h"

namespace families::avr {

using app::Programmer;

// The command record: what each operation loads, the address-register
// patterns that route control bit 3 to the chip's strobes and select its
// mode pins, and the waits in DelayTicks.
struct Commands {
  uint8_t chip_erase = 0x80, write_fuse = 0x40, write_lock = 0x20, write_flash = 0x10;
  uint8_t read_signature = 0x08, read_fuse_lock = 0x04, read_flash = 0x02, read_eeprom = 0x03;
  uint8_t write_eeprom = 0x11;
  uint32_t load = 0x18000;   // control 3 to XTAL1
  uint32_t write = 0x60000;  // control 3 to /WR
  uint32_t read = 0x40000;   // control 3 pulls /OE low
  uint32_t command = 0x200;  // XA1 XA0 = 10
  uint32_t address = 0x000;  // 00
  uint32_t data = 0x080;     // 01
  uint32_t high = 0x100;     // BS1: the high byte
  int write_pulse = 20;
  // The chip erase and the fuse write have no busy signal: the part does
  // the work while /WR is low and needs it low 5..15 ms and 1.0..1.8 ms.
  // 10 ms and 1.5 ms, the datasheet's typical figures.
  int erase_pulse = 11932;
  int fuse_pulse = 1790;
  int flash_wait = 2500, eeprom_wait = 1500, fuse_wait = 1500, lock_wait = 3500;
};
inline constexpr Commands kCommands{};

// EEPROM byte n sits at this image offset + n.
inline constexpr uint32_t kEepromImage = 0x40000;

// --- primitives ---------------------------------------------------------------
// Power up and put 12 V on RESET with the mode pins low.
void AvrEnterProgramming(Programmer& p);
// One XTAL1 load: `selector` picks command, address or data (and BS1).
void AvrLoad(Programmer& p, uint32_t selector, uint8_t byte);
// One /WR pulse with BS1 as given, `width` ticks long.
void AvrWritePulse(Programmer& p, uint32_t bs1, int width = kCommands.write_pulse);
// One /OE read with BS1 as given.
uint8_t AvrReadByte(Programmer& p, uint32_t bs1);

// --- chip operations ------------------------------------------------------------
void ChipErase(Programmer& p);
void WriteFlashWord(Programmer& p, uint32_t word, uint8_t lo, uint8_t hi);
void WriteEepromByte(Programmer& p, uint32_t address, uint8_t byte);
// Low byte first.
std::array<uint8_t, 2> ReadFlashWord(Programmer& p, uint32_t word);
uint8_t ReadEepromByte(Programmer& p, uint32_t address);
void WriteFuses(Programmer& p, uint8_t fuse);
void WriteLocks(Programmer& p, uint8_t lock);
std::array<uint8_t, 3> ReadSignature(Programmer& p);
uint8_t ReadFuseAndLock(Programmer& p);

}  // namespace families::avr
