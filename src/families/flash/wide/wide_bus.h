#pragma once

// The word steps of the flash parts driven 16 bits wide through the TSOP
// adapters (families 44, 45, 56): a word is written as the high byte
// latched in the adapter's upper latch and the low byte driven, and read as
// the low byte through the read path, then the high byte through the read
// multiplexer (selected while control bit 0 is low) one bit at a time.
// The memory image holds words low byte first; chip addresses are word
// indexes.

#include <cstdint>

#include "app/programmer.h"
#include "families/flash/flash_frame.h"
#include "hw/bus.h"

namespace families::flash::wide {

struct Word {
  uint8_t low = 0xFF;
  uint8_t high = 0xFF;
  uint16_t value() const { return static_cast<uint16_t>(low | high << 8); }
  bool operator==(const Word&) const = default;
};

// The image word k (bytes 2k, 2k + 1).
inline Word ImageWord(const app::Programmer& p, uint32_t k) {
  return {p.image[2 * k], p.image[2 * k + 1]};
}

// The idle word 0x00FF every word operation starts from (a read-array
// command to the Intel parts, nothing to the JEDEC ones): StrobeWrite(0x00,
// 0xFF, 50), a 10-tick write pulse, 200 ticks. The W29C102 (56) does not get
// it: to a sector-write part without data protection it is a data write.
void IdleWord(app::Programmer& p);

// One command word (high byte 0x00) at the address the registers hold:
// StrobeWrite(0x00, code, extra), a write pulse of `pulse` ticks, `pause`.
void CommandWord(hw::Bus& bus, uint8_t code, int32_t extra, int32_t pulse, int32_t pause);
// The same after shifting `address`.
void CommandWordAt(hw::Bus& bus, uint32_t address, uint8_t code, int32_t extra, int32_t pulse,
                   int32_t pause);

// The data word at the address the registers hold: StrobeWrite(high, low,
// extra), 0.2 us, then WE# for `pulse` ticks.
void DataWord(hw::Bus& bus, Word w, int32_t extra, int32_t pulse);

// The word on the bus with the outputs already on: the low byte through the
// read path, control bit 0 low, `high_wait` ticks, the high byte through the
// multiplexer one bit at a time (which leaves control bit 0 high).
Word ReadBusWord(hw::Bus& bus, int32_t high_wait);

// A word read at `address`: the address, control bit 1 pulsed high for
// 0.2 us (outputs off, then on again), then ReadBusWord.
Word ReadWordAt(hw::Bus& bus, uint32_t address, int32_t high_wait);

// The read-back after a write: the data register back to its shadow, the
// bus released, 0.2 us, then ReadBusWord.
Word ReadBack(hw::Bus& bus, int32_t high_wait);

// The chip address of word k: the word index, rearranged when the device's
// scramble flag is set. The buffer offset never applies to the word
// families (its field is disabled for them).
inline uint32_t WordAddress(const app::Programmer& p, uint32_t k) {
  return p.dev.scramble ? hw::Bus::ScrambleAddress(k) : k;
}

// The status register's low byte until SR7 (the state machine ready), with
// the window let run and Cancel looked at between reads ("program
// interrupted!" on Cancel); kTimedOut once `bound_ns` has passed.
Poll PollStatus(app::Programmer& p, int64_t bound_ns, uint8_t& sr);

// The J3 (Tags 301..399 of family 45): the write buffer and the only lock
// bits of the 16-bit Intel parts that outlive a power-down.
inline bool IsJ3(const app::Programmer& p) {
  return p.dev.family == 45 && p.dev.device_code >= 301 && p.dev.device_code <= 399;
}

// The 16-bit mismatch report of a word at image byte 2k, in the byte order
// of the hex view on both sides; the error flag is set.
void ReportWordMismatch(app::Programmer& p, uint32_t k, Word chip);

// The words of the data span (data end clipped to the device, one past it
// as every pass goes), at least one.
uint32_t SpanWords(const app::DataSpan& span);

}  // namespace families::flash::wide
