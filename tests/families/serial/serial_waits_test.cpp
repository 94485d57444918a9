// The waits of every serial routine, summed from the step lists. On the
// simulated board the time a routine takes, less its port accesses (1 us
// each), is the sum of its DelayTicks; the virtual clock keeps whole
// nanoseconds, so each wait of n ticks counts n x 838.1 ns rounded down,
// and the sums below are built wait by wait. A wait that is dropped,
// shortened or lengthened shows here even where no chip limit catches it.
// Only the busy polls depend on the chip; their number is read from the
// model (RDSR commands, refused selects) and each poll's waits are summed
// by hand like the rest.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "families/parallel/uv_eprom.h"
#include "families/serial/i2c.h"
#include "families/serial/microwire.h"
#include "families/serial/serial_controls.h"
#include "families/serial/spi.h"
#include "serial_fixture.h"
#include "sim/i2c_eeprom.h"
#include "sim/spi_flash.h"

namespace {

using app::HandlerId;
using daraz_test::SerialSession;
namespace i2c = families::serial::i2c;
namespace mw = families::serial::microwire;
namespace spi = families::serial::spi;

using daraz_test::kPowerDown;
using daraz_test::Ticks;
// The board's power-down: its one wait.
constexpr int64_t kBoardDown = Ticks(kPowerDown);

// --- SPI flash (family 57): every phase 3 ticks ---
constexpr int64_t kFlashSend = 8 * 3 * Ticks(3);  // SpiSendByte
constexpr int64_t kFlashRead = 8 * 2 * Ticks(3);  // SpiReadByte
constexpr int64_t kFlashDown = 4 * Ticks(3) + kBoardDown;
// Read, verify and blank check: the first deselect's wait, select, wait 2,
// READ with address 0, n bytes, deselect, wait 10, power-down.
constexpr int64_t FlashRead(int64_t first_wait, int64_t n) {
  return Ticks(first_wait) + Ticks(2) + 4 * kFlashSend + n * kFlashRead + Ticks(10) + kFlashDown;
}
// One busy poll: select, wait 5, RDSR, the status, deselect, wait 5.
constexpr int64_t kFlashPoll = Ticks(5) + kFlashSend + kFlashRead + Ticks(5);

// --- SPI EEPROM (family 6): s = clock stretch ---
constexpr int64_t EeSend(int64_t s) { return 8 * (2 * Ticks(s + 3) + Ticks(s + 2)); }
constexpr int64_t EeRead(int64_t s) { return 8 * 3 * Ticks(s + 3); }
constexpr int64_t EeUp(int64_t s) {
  return Ticks(10000) + 2 * Ticks(s + 10);
}  // with the select pulse
constexpr int64_t EeDown(int64_t s) { return 4 * Ticks(s + 3) + kBoardDown; }
// Unprotect / protect: WREN framed by `before` and `after`, wait s+80, WRSR
// and the status byte after `before`, wait s+10, the write-cycle time + s.
constexpr int64_t EeStatus(int64_t s, int64_t before, int64_t after, int64_t twc) {
  return Ticks(s + before) + EeSend(s) + Ticks(s + after) + Ticks(s + 80) + Ticks(s + before) +
         2 * EeSend(s) + Ticks(s + 10) + Ticks(twc + s);
}
// A verify of n bytes with an `command`-byte READ frame.
constexpr int64_t EeVerify(int64_t s, int64_t command, int64_t n) {
  const int64_t body = s == 0 ? Ticks(10) + command * EeSend(0) + n * EeRead(0)
                              : n * (Ticks(s + 5) + command * EeSend(s) + EeRead(s) + Ticks(s + 2));
  return EeUp(s) + body + Ticks(s + 5) + EeDown(s);
}
// A program of byte 0 of a 25x010 (byte write, 16-bit frame), then the
// protection write, the verify and the closing WRDI.
constexpr int64_t EeProgramByte(int64_t s) {
  const int64_t twc = 6000;
  return Ticks(10000) + EeStatus(s, 15, 15, twc) +
         (Ticks(s + 10) + EeSend(s) + Ticks(s + 10) + Ticks(s + 50) + Ticks(s + 20) +
          3 * EeSend(s) + Ticks(s + 20) + Ticks(twc + s)) +
         Ticks(10) + EeStatus(s, 10, 20, twc) + EeDown(s) + EeVerify(s, 2, 1) +
         (Ticks(2) + EeSend(s) + Ticks(2)) + EeDown(s);
}

// --- I2C: t = 3 (10 slow) in the acknowledge, 2 (10 slow) in the master's ---
constexpr int64_t kI2cStart = 2 * Ticks(8), kI2cStop = 2 * Ticks(8);
constexpr int64_t kI2cSend = 8 * (Ticks(3) + 2 * Ticks(5)) + Ticks(5);
constexpr int64_t kI2cRead = 8 * 4 * Ticks(3);
constexpr int64_t I2cSendAck(bool slow) { return 4 * Ticks(slow ? 10 : 3); }  // send + get ack
constexpr int64_t I2cMasterAck(bool slow) { return 4 * Ticks(slow ? 10 : 2); }
constexpr int64_t I2cWith(bool slow) { return kI2cSend + I2cSendAck(slow); }
// Verify and the family-2 read end with the lines low, 10000, then the
// board's power-down.
constexpr int64_t kI2cDownLines = Ticks(10000) + kBoardDown;
// Family 1's random read of one byte: W, address, start-stop-start, R,
// the byte, NACK, stop.
constexpr int64_t I2cRandomRead(bool slow) {
  return kI2cStart + 2 * I2cWith(slow) + 2 * kI2cStart + kI2cStop + I2cWith(slow) + kI2cRead +
         I2cMasterAck(slow) + kI2cStop;
}
// Family 2's address phase: write select, two address bytes, start, stop,
// read select.
constexpr int64_t kI2cStartRead =
    kI2cStart + 3 * I2cWith(false) + kI2cStart + kI2cStop + kI2cStart + I2cWith(false);
// One refused acknowledge poll: start, select, 1194, stop.
constexpr int64_t kI2cFailedPoll = kI2cStart + I2cWith(false) + Ticks(1194) + kI2cStop;

// --- Microwire: 2 ticks a phase (93Cxx, NVRAM), 3 (CAT64LC) ---
constexpr int64_t MwBits(int64_t n, int64_t phase = 2) { return n * 3 * Ticks(phase); }
// A 93C46 READ in 8-bit mode: select, wait 1, the 10-bit frame, wait 10,
// one byte.
constexpr int64_t k93Read = Ticks(1) + MwBits(10) + Ticks(10) + MwBits(8);
// A CAT64LC word: select, wait 5, 16-bit frame, 16 bits, deselect, 2 and 5.
constexpr int64_t kCatWord = Ticks(5) + MwBits(16, 3) + MwBits(16, 3) + Ticks(2) + Ticks(5);
// Family 52: power-up 20000, wait 500, then RCL and WREN, each select,
// wait 10, the byte, wait 10, deselect, wait 500.
constexpr int64_t kNvInstruction = Ticks(10) + MwBits(8) + Ticks(10) + Ticks(500);
constexpr int64_t kNvOpen = Ticks(20000) + Ticks(500) + 2 * kNvInstruction;
// One READ unit: select, wait 10, READ, wait 1, `bytes` bytes.
constexpr int64_t NvUnit(int64_t bytes) {
  return Ticks(10) + MwBits(8) + Ticks(1) + bytes * MwBits(8);
}

enum class Polls { kNone, kRdsr, kStatus45, kRefusedSelects };

struct WaitCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  void (*prepare)(SerialSession& s);
  void (*routine)(app::Programmer& p);
  int64_t ns;                  // every fixed wait
  Polls polls = Polls::kNone;  // what counts the busy polls
  int64_t poll_ns = 0;         // the waits of one poll
  int64_t extra_ns = 0;        // taken off once when polls were counted (see the case)
};

void Nothing(SerialSession&) {}
void LastByte(SerialSession& s, uint32_t last) {
  image::ClearBuf(s.p.image, image::kFillFF, {});
  s.p.image.data_end = last;
}
// Bytes 0..3 of the image, all 0xFF: a blank chip verifies to the end.
void FourBlank(SerialSession& s) { LastByte(s, 3); }
// One byte to program, 0x00 at index 0.
void OneZero(SerialSession& s) {
  LastByte(s, 0);
  s.p.image[0] = 0x00;
}
void TwoZero(SerialSession& s) {
  LastByte(s, 1);
  s.p.image[0] = 0x00;
  s.p.image[1] = 0x00;
}
// A chip whose byte 2 is not blank: the blank check stops there.
void DataAtTwo(SerialSession& s) {
  std::vector<uint8_t> cells = s.chip->Contents();
  cells[2] = 0x00;
  s.chip->SetContents(cells);
}
void Stretch5(SerialSession& s) {
  families::uv_eprom::tbTWCChange(s.p, 3, 5);
  FourBlank(s);
}
void Stretch3OneZero(SerialSession& s) {
  families::uv_eprom::tbTWCChange(s.p, 3, 3);
  OneZero(s);
}
void Icsp(SerialSession& s) {
  s.p.controls.Check("cb93ICSP");
  families::serial::cb93ICSP_Click(s.p);
  FourBlank(s);
}
void Record(SerialSession& s) { s.As<sim::SpiFlash>()->RecordCommands(true); }
void RecordOneZero(SerialSession& s) {
  Record(s);
  OneZero(s);
}
void RecordTwoZero(SerialSession& s) {
  Record(s);
  TwoZero(s);
}

const WaitCase kCases[] = {
    // --- family 57 ---
    {"MX25L1005 verify", HandlerId::MX25L512_Click, 402, "MX25L1005", &FourBlank, &spi::Verify57,
     FlashRead(1000, 4)},
    {"MX25L1005 blank stops at 2", HandlerId::MX25L512_Click, 402, "MX25L1005", &DataAtTwo,
     &spi::Blank57, FlashRead(1000, 3)},
    // Read: wait 100 before the power-up, 10000 after the first deselect.
    {"Pm25LV512 read", HandlerId::MX25L512_Click, 101, "Pm25LV512", &Nothing, &spi::Read57,
     Ticks(100) + FlashRead(10000, 65536)},
    // Identification: 1000 after the deselect; 0x9F and two bytes without
    // a wait, or wait 5 and the command with its address (0x15 alone); the
    // device byte; 100, 5, RDSR, its byte, 10.
    {"MX25L1005 id 0x9F", HandlerId::MX25L512_Click, 402, "MX25L1005", &Nothing, &spi::GetId57,
     Ticks(1000) + kFlashSend + 3 * kFlashRead + Ticks(100) + Ticks(5) + kFlashSend + kFlashRead +
         Ticks(10) + kFlashDown},
    {"SST25VF512 id 0x90", HandlerId::MX25L512_Click, 201, "SST25VF512", &Nothing, &spi::GetId57,
     Ticks(1000) + Ticks(5) + 4 * kFlashSend + 2 * kFlashRead + Ticks(100) + Ticks(5) + kFlashSend +
         kFlashRead + Ticks(10) + kFlashDown},
    {"AT25F512 id 0x15", HandlerId::MX25L512_Click, 501, "AT25F512", &Nothing, &spi::GetId57,
     Ticks(1000) + Ticks(5) + kFlashSend + 2 * kFlashRead + Ticks(100) + Ticks(5) + kFlashSend +
         kFlashRead + Ticks(10) + kFlashDown},
    // Page program of one 256-byte page: 30000, deselect, 10; select, 5,
    // WREN, deselect, 5; select, 5, 0x02 and the address, 256 bytes, 10,
    // deselect, 10; the polls; the verify of byte 0; the power-down.
    {"MX25L1005 page program", HandlerId::MX25L512_Click, 402, "MX25L1005", &RecordOneZero,
     &spi::Program57,
     Ticks(30000) + Ticks(10) + (Ticks(5) + kFlashSend + Ticks(5)) +
         (Ticks(5) + 4 * kFlashSend + 256 * kFlashSend) + Ticks(10) + Ticks(10) +
         FlashRead(1000, 1) + kFlashDown,
     Polls::kRdsr, kFlashPoll, 0},
    // AAI of two bytes with 0xAF: 20000, deselect, 100; EWSR after 5, 1000;
    // WRSR 0x00 after 5, 10; 1000; WREN after 5, 5; the first unit after 5
    // with address 0, the write-cycle time 35; the second unit after 2, 35;
    // WRDI after 5, 5; the polls; the verify; the power-down.
    {"SST25VF512 AAI program", HandlerId::MX25L512_Click, 201, "SST25VF512", &RecordTwoZero,
     &spi::Program57,
     Ticks(20000) + Ticks(100) + (Ticks(5) + kFlashSend + Ticks(1000)) +
         (Ticks(5) + 2 * kFlashSend + Ticks(10)) + Ticks(1000) +
         (Ticks(5) + kFlashSend + Ticks(5)) + (Ticks(5) + 5 * kFlashSend + Ticks(35)) +
         (Ticks(2) + 2 * kFlashSend + Ticks(35)) + (Ticks(5) + kFlashSend + Ticks(5)) +
         FlashRead(1000, 2) + kFlashDown,
     Polls::kRdsr, kFlashPoll, 0},
    // Chip erase: deselect, 30000; select, 100, deselect; WREN after 5,
    // 10; 0xC7 after 5; 30000; each poll: 10, RDSR, byte, 10, and 10000
    // after every poll but the last.
    {"MX25L1005 erase", HandlerId::MX25L512_Click, 402, "MX25L1005", &Record, &spi::Erase57,
     Ticks(30000) + Ticks(100) + (Ticks(5) + kFlashSend + Ticks(10)) + (Ticks(5) + kFlashSend) +
         Ticks(30000) + kFlashDown,
     Polls::kRdsr, Ticks(10) + kFlashSend + kFlashRead + Ticks(10) + Ticks(10000), Ticks(10000)},

    // 45-series erase: 10000, deselect, 100; select, 5, C7 94 80 9A;
    // deselect, 5, 1000; the polls with 0xD7 as above.
    {"AT45DB041D erase", HandlerId::MX25L512_Click, 604, "AT45DB041D", &Record, &spi::Erase57,
     Ticks(10000) + Ticks(100) + Ticks(5) + 4 * kFlashSend + Ticks(5) + Ticks(1000) + kFlashDown,
     Polls::kStatus45, Ticks(10) + kFlashSend + kFlashRead + Ticks(10) + Ticks(10000),
     Ticks(10000)},

    // --- family 6 ---
    // 25x040: the 16-bit READ frame; no stretch reads in one select.
    {"25x040 verify", HandlerId::M25C_Click, 103, "25x040", &FourBlank, &spi::Verify6,
     EeVerify(0, 2, 4)},
    {"25x040 verify stretch 5", HandlerId::M25C_Click, 103, "25x040", &Stretch5, &spi::Verify6,
     EeVerify(5, 2, 4)},
    // Blank check: the reading, deselect, power-down (no wait between).
    {"25x040 blank stops at 2", HandlerId::M25C_Click, 103, "25x040", &DataAtTwo, &spi::Blank6,
     EeUp(0) + Ticks(10) + 2 * EeSend(0) + 3 * EeRead(0) + EeDown(0)},
    // Read: 100; the read of 128 bytes; deselect, 10; select, 10, RDSR,
    // its byte, 10; deselect, 10; power-down.
    {"25x010 read", HandlerId::M25C_Click, 101, "25x010", &Nothing, &spi::Read6,
     Ticks(100) + EeUp(0) + Ticks(10) + 2 * EeSend(0) + 128 * EeRead(0) + Ticks(10) + Ticks(10) +
         EeSend(0) + EeRead(0) + Ticks(10) + Ticks(10) + EeDown(0)},
    {"25x010 program", HandlerId::M25C_Click, 101, "25x010", &OneZero, &spi::Program6,
     EeProgramByte(0)},
    {"25x010 program stretch 3", HandlerId::M25C_Click, 101, "25x010", &Stretch3OneZero,
     &spi::Program6, EeProgramByte(3)},
    // A page write of 32 bytes: WREN, 50; select, 8, 0x02, two address
    // bytes, 32 bytes, 8; the write-cycle time. The verify's frame on a
    // 2 KB part has two address bytes.
    {"25x160 page program", HandlerId::M25C_Click, 202, "25x160  (32)", &OneZero, &spi::Program6,
     Ticks(10000) + EeStatus(0, 15, 15, 6000) +
         (Ticks(10) + EeSend(0) + Ticks(10) + Ticks(50) + Ticks(8) + 35 * EeSend(0) + Ticks(8) +
          Ticks(6000)) +
         Ticks(10) + EeStatus(0, 10, 20, 6000) + EeDown(0) + EeVerify(0, 3, 1) +
         (Ticks(2) + EeSend(0) + Ticks(2)) + EeDown(0)},

    // --- I2C --- power-up 15000 (read, verify) or 20000 (program).
    {"X24C01 verify", HandlerId::M24C_Click, 101, "X24C01", &FourBlank, &i2c::Verify39,
     Ticks(15000) + 4 * (kI2cStart + I2cWith(false) + kI2cRead + I2cMasterAck(false) + kI2cStop) +
         kI2cDownLines},
    {"24C02 verify", HandlerId::M24C_Click, 202, "24C02", &FourBlank, &i2c::Verify1,
     Ticks(15000) + 4 * I2cRandomRead(false) + kI2cDownLines},
    {"SDE2526 verify", HandlerId::M24C_Click, 221, "SDE2526", &FourBlank, &i2c::Verify1,
     Ticks(15000) + 4 * I2cRandomRead(true) + kI2cDownLines},
    // The family-1 read ends with the board's power-down alone.
    {"24C01A read", HandlerId::M24C_Click, 201, "24C01A/B", &Nothing, &i2c::Read1,
     Ticks(15000) + 128 * I2cRandomRead(false) + kBoardDown},
    // Family 2: each byte acknowledged, then NACK and stop.
    {"24C32 verify", HandlerId::M24C_Click, 301, "24C32", &FourBlank, &i2c::Verify2,
     Ticks(15000) + kI2cStartRead + 4 * (kI2cRead + I2cMasterAck(false)) + I2cMasterAck(false) +
         kI2cStop + kI2cDownLines},
    {"24C32 read", HandlerId::M24C_Click, 301, "24C32", &Nothing, &i2c::Read2,
     Ticks(15000) + kI2cStartRead + 4096 * (kI2cRead + I2cMasterAck(false)) + I2cMasterAck(false) +
         kI2cStop + kI2cDownLines},
    // X24C01: address and data, stop, 11932 with no polling, the read-back.
    {"X24C01 program", HandlerId::M24C_Click, 101, "X24C01", &OneZero, &i2c::Program39,
     Ticks(20000) + kI2cStart + 2 * I2cWith(false) + kI2cStop + Ticks(11932) + kI2cStart +
         I2cWith(false) + kI2cRead + I2cMasterAck(false) + kI2cStop + kBoardDown},
    // 24C02: W, address, data, stop, 1194; the refused polls; the poll
    // that is taken, the address, start-stop-start, R and the byte.
    {"24C02 program", HandlerId::M24C_Click, 202, "24C02", &OneZero, &i2c::Program1,
     Ticks(20000) + kI2cStart + 3 * I2cWith(false) + kI2cStop + Ticks(1194) + kI2cStart +
         I2cWith(false) + I2cWith(false) + 2 * kI2cStart + kI2cStop + I2cWith(false) + kI2cRead +
         I2cMasterAck(false) + kI2cStop + kBoardDown,
     Polls::kRefusedSelects, kI2cFailedPoll, 0},
    // 24C32: a whole page of 32 after the two address bytes, stop, 3000;
    // the polls; the read-back of the page's first byte; the board's
    // power-down; the verify pass over byte 0.
    {"24C32 program", HandlerId::M24C_Click, 301, "24C32", &OneZero, &i2c::Program2,
     Ticks(20000) + kI2cStart + 35 * I2cWith(false) + kI2cStop + Ticks(3000) + kI2cStart +
         I2cWith(false) + 2 * I2cWith(false) + kI2cStart + kI2cStop + kI2cStart + I2cWith(false) +
         kI2cRead + I2cMasterAck(false) + kI2cStop + kBoardDown + Ticks(15000) + kI2cStartRead +
         kI2cRead + 2 * I2cMasterAck(false) + kI2cStop + kI2cDownLines,
     Polls::kRefusedSelects, kI2cFailedPoll, 0},

    // --- family 8 --- power-up 20000 (read) or 30000.
    {"93C46 verify", HandlerId::M93C_Click, 2, "93C46 (8bit)", &FourBlank, &mw::Verify8,
     Ticks(30000) + 4 * k93Read + kBoardDown},
    // ICSP: power-up 100 and 4000, 500 after every unit.
    {"93C46 ICSP verify", HandlerId::M93C_Click, 2, "93C46 (8bit)", &Icsp, &mw::Verify8,
     Ticks(100) + Ticks(4000) + 4 * (k93Read + Ticks(500)) + kBoardDown},
    // 16-bit: the 9-bit frame and two bytes a word.
    {"93C46A verify", HandlerId::M93C_Click, 10, "93C46A (16bit)", &FourBlank, &mw::Verify8,
     Ticks(30000) + 2 * (Ticks(1) + MwBits(9) + Ticks(10) + 2 * MwBits(8)) + kBoardDown},
    {"93C46 read", HandlerId::M93C_Click, 2, "93C46 (8bit)", &Nothing, &mw::Read8,
     Ticks(20000) + 128 * k93Read + kBoardDown},
    // EWEN, pulse 5, 3000; ERAL, pulse 5, 30000.
    {"93C46 erase", HandlerId::M93C_Click, 2, "93C46 (8bit)", &Nothing, &mw::Erase8,
     Ticks(30000) + MwBits(10) + Ticks(5) + Ticks(3000) + MwBits(10) + Ticks(5) + Ticks(30000) +
         kBoardDown},
    // 30000 twice; EWEN, 10; ERASE, pulse 5, the ready poll that stops at
    // its first reading (the part shows busy); 5000; select, 10, EWEN, 10,
    // 30000; select, 2, WRITE and the byte, 5, pulse 5, 15000; the verify.
    {"93C46 program", HandlerId::M93C_Click, 2, "93C46 (8bit)", &OneZero, &mw::Program8,
     Ticks(30000) + Ticks(30000) + MwBits(10) + Ticks(10) + MwBits(10) + Ticks(5) + Ticks(5000) +
         Ticks(10) + MwBits(10) + Ticks(10) + Ticks(30000) +
         (Ticks(2) + MwBits(18) + Ticks(5) + Ticks(5) + Ticks(15000)) +
         (Ticks(30000) + k93Read + kBoardDown) + kBoardDown},

    // --- family 32 --- power-up 10000.
    {"CAT64LC10 verify", HandlerId::CAT64LC10_Click, 101, "CAT64LC10", &FourBlank, &mw::Verify32,
     Ticks(10000) + 2 * kCatWord + kBoardDown},
    // Enable after 15, 80; one word: 20, the 32-bit frame, 7000; the
    // verify; select, 2, the disable frame.
    {"CAT64LC10 program", HandlerId::CAT64LC10_Click, 101, "CAT64LC10", &TwoZero, &mw::Program32,
     Ticks(10000) + Ticks(15) + MwBits(16, 3) + Ticks(80) + Ticks(20) + MwBits(32, 3) +
         Ticks(7000) + (Ticks(10000) + kCatWord + kBoardDown) + Ticks(2) + MwBits(16, 3) +
         kBoardDown},

    // --- family 52 ---
    {"X24C44 verify", HandlerId::S24H30_Click, 2, "X24C44", &FourBlank, &mw::Verify52,
     kNvOpen + 2 * NvUnit(2) + kBoardDown},
    {"S24H30 verify", HandlerId::S24H30_Click, 1, "S24H30", &FourBlank, &mw::Verify52,
     kNvOpen + 4 * NvUnit(1) + kBoardDown},
    // One word: select, 10, WRITE, two bytes; STO; 30000; power-down; the
    // verify of that word.
    {"X24C44 program", HandlerId::S24H30_Click, 2, "X24C44", &TwoZero, &mw::Program52,
     kNvOpen + Ticks(10) + MwBits(8) + 2 * MwBits(8) + kNvInstruction + Ticks(30000) + kBoardDown +
         (kNvOpen + NvUnit(2) + kBoardDown)},
};

int64_t CountPolls(SerialSession& s, Polls polls) {
  if (polls == Polls::kRdsr || polls == Polls::kStatus45) {
    const uint8_t opcode = polls == Polls::kRdsr ? 0x05 : 0xD7;
    int64_t n = 0;
    for (const auto& c : s.As<sim::SpiFlash>()->commands()) n += c.opcode == opcode ? 1 : 0;
    return n;
  }
  if (polls == Polls::kRefusedSelects) return s.As<sim::I2cEeprom>()->busy_nacks();
  return 0;
}

TEST(SerialWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    SerialSession s;
    s.Select(c.handler, c.tag, c.caption);
    c.prepare(s);
    const int64_t waited = s.WaitedNs(c.routine);
    const int64_t polls = CountPolls(s, c.polls);
    if (c.polls != Polls::kNone) {
      ASSERT_GT(polls, 0);
    }
    const int64_t want = c.ns + polls * c.poll_ns - (polls > 0 ? c.extra_ns : 0);
    EXPECT_NEAR(waited, want, 2) << "off by " << (waited - want) / 838.1 << " ticks";
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

}  // namespace
