#pragma once

// The PIC18 flash core on the ICSP lines of the serial socket.
//
// Entry and exit as on the mid-range parts (VPP on MCLR while VDD is on,
// PGC and PGD low). Every frame is a 4-bit command and a 16-bit operand,
// least significant bit first, latched on PGC falling. Command 0 executes
// the operand as a core instruction; 8..B are table reads and 2 shifts out
// TABLAT: after the command, 8 clocks the chip ignores, then 8 clocks on
// whose rising edge it drives a bit of the byte. C..F are table writes
// into the write buffer (or an erase or panel register at 0x3C0004..6);
// F starts programming, which the part carries out only while the fourth
// clock of the next command is held high for at least P9.
//
// A bulk erase is the erase code in 0x3C0004 (and 0x3C0005 where the part
// has it), a NOP, and the next command's PGC-low pause after its fourth
// clock lasting at least P11. With 0x40 in 0x3C0006 the part writes in
// multi-panel mode: one 8-byte buffer per 8 KB panel, all committed by one
// start-programming. Data EEPROM goes through EEADR/EEADRH/EEDATA and
// EECON1/EECON2 (55, AA, then WR, which clears when the write ends).
//
// EEPGD and CFGS read 'x' after power-on in the parts' datasheets; the
// model sets both, the worst case for a programmer that forgets them.
//
// Violations: "VPP without VDD", "VPP raised with PGC or PGD high", "PGC
// clocked outside programming mode", "PGC sooner than P12 after entering
// programming", "programming hold shorter than P9", "bulk erase pause
// shorter than P11", "row erase pause shorter than P10", "bulk erase code
// 0xHHLL is no chip erase", "core instruction 0xNNNN not modelled",
// "table read at 0xNNNNNN outside every area" (and write), "WR without
// WREN and 55/AA", "RD with EEPGD or CFGS set", "program write with
// EEPGD clear or CFGS set", "configuration write with CFGS clear",
// "unknown command 0xN".
//
// Faults besides "absent" and "stuck": "cp" (code protection set),
// "slow-word" ADDR (the first write of the byte does not take), "never"
// ADDR (the byte never takes a value), "eeprom-wr-stuck" (WR never
// clears), "short-p9" (the part needs ten times its P9).

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/serial_socket.h"

namespace sim {

struct Pic18Part {
  std::string_view name;
  uint32_t code_bytes = 32768;
  uint32_t eeprom_bytes = 256;
  uint16_t device_id = 0;                 // DEVID2:DEVID1 with revision 0
  uint32_t write_buffer = 8;              // bytes committed by one start-programming
  uint8_t erase_low = 0x80;               // chip-erase code at 0x3C0004
  int erase_high = -1;                    // and at 0x3C0005 (-1: the part has no such register)
  std::array<uint8_t, 14> config_mask{};  // implemented bits of CONFIG1L..CONFIG7H
  // Datasheet timing: P9 programming, P10 row erase, P11 bulk erase,
  // P12 hold of PGC/PGD after entry, the data EEPROM write.
  int64_t p9_ns = 1'000'000;
  int64_t p10_ns = 5'000'000;
  int64_t p11_ns = 5'000'000;
  int64_t p12_ns = 2'000;
  int64_t eeprom_write_ns = 4'000'000;
};

const Pic18Part* FindPic18Part(std::string_view name);

class Pic18Chip final : public SerialChip {
 public:
  explicit Pic18Chip(const Pic18Part& part);

  std::string_view ModelName() const override { return "pic18"; }
  bool VppSafeWithoutVcc() const override { return true; }
  // Code bytes, the 8 ID bytes, the 14 configuration bytes, data EEPROM.
  std::vector<uint8_t> Contents() const override;
  void SetContents(const std::vector<uint8_t>& bytes) override;

  const Pic18Part& part() const { return part_; }
  uint8_t Code(uint32_t a) const { return code_.at(a); }
  uint8_t Id(uint32_t k) const { return ids_.at(k); }
  uint8_t Config(uint32_t k) const { return config_.at(k); }
  uint8_t Eeprom(uint32_t a) const { return eeprom_.at(a); }
  bool code_protected() const {
    return (config_[kCpByte] & 0x0F) != (part_.config_mask[kCpByte] & 0x0F);
  }
  uint64_t table_reads() const { return table_reads_; }
  uint64_t bulk_erases() const { return bulk_erases_; }
  // The core instructions executed since the last call, for tests that pin
  // what a sequence sends.
  std::vector<uint16_t> TakeCoreTrace() { return std::exchange(core_trace_, {}); }

 private:
  static constexpr uint32_t kCpByte = 8;  // CONFIG5L

  // MCLR is a port pin (CONFIG3H MCLRE = 0) and the part clocks itself
  // from its internal oscillator (FOSC3:0 = 100x): with VDD first it runs
  // its code before VPP arrives and never sees the programming entry.
  bool RunsWithoutMclr() const {
    return (part_.config_mask[5] & 0x80) != 0 && (config_[5] & 0x80) == 0 &&
           (part_.config_mask[1] & 0x08) != 0 && (config_[1] & 0x0E) == 0x08;
  }

  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t time_ns) const override;
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;
  bool InjectModelFault(const ChipFault& fault) override;

  void Reset();
  void FourthClock(int64_t held_ns, int64_t t);
  void Pause(int64_t pause_ns);
  void Execute(uint16_t operand);
  void Core(uint16_t instruction, int64_t t);
  void SetBit(int bit, bool on, int64_t t);
  uint8_t TableRead(uint32_t address);
  void TableWrite(uint32_t address, uint16_t operand);
  void Commit();
  void ProgramByte(uint32_t address, uint8_t value);
  void BulkErase();
  bool WrBusy(int64_t t) const { return wr_stuck_ || t < wr_until_ns_; }

  Pic18Part part_;
  std::vector<uint8_t> code_;
  std::array<uint8_t, 8> ids_{};
  std::array<uint8_t, 14> config_{};
  std::vector<uint8_t> eeprom_;

  bool in_mode_ = false;
  bool first_clock_ = true;
  int64_t entered_ns_ = 0;
  int bits_ = 0;
  int command_ = 0;
  uint32_t operand_ = 0;
  int64_t rose_ns_ = 0;
  int64_t fourth_fell_ns_ = 0;
  uint8_t out_ = 0;
  bool driving_ = false;
  bool out_level_ = false;

  // Core registers.
  uint32_t tblptr_ = 0;
  uint8_t tablat_ = 0, w_ = 0;
  uint8_t eecon1_ = 0, eedata_ = 0, eeadr_ = 0, eeadrh_ = 0;
  int unlock_ = 0;  // 1 after 0x55 to EECON2, 2 after 0xAA
  int64_t wr_until_ns_ = 0;
  bool goto_second_ = false;

  // Pending work.
  bool multi_panel_ = false;
  uint8_t erase_regs_[2] = {0, 0};  // 0x3C0004, 0x3C0005
  bool erase_written_ = false;      // a table write reached 0x3C0004
  bool erase_armed_ = false;        // ... and a NOP followed: the next pause erases
  bool row_erase_armed_ = false;
  bool program_armed_ = false;          // start-programming seen: the next fourth clock
  std::map<uint32_t, uint8_t> buffer_;  // address -> byte awaiting programming
  std::optional<std::pair<uint32_t, uint8_t>> config_latch_;

  std::set<uint32_t> slow_, never_;
  bool wr_stuck_ = false;
  int64_t p9_scale_ = 1;
  uint64_t table_reads_ = 0;
  uint64_t bulk_erases_ = 0;
  std::vector<uint16_t> core_trace_;
};

}  // namespace sim
