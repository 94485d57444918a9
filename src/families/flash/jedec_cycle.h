#pragma once

// The JEDEC command cycle in its normal and fast forms, and the data poll
// the program routines share.

#include <cstdint>
#include <initializer_list>

#include "app/programmer.h"
#include "families/flash/flash_devices.h"
#include "hw/bus.h"

namespace families::flash {

// The waits of one command cycle, in DelayTicks (pause_100ns in 100 ns):
// the address, [before_drive], bus driven, [data_settle], the byte,
// [before_strobe], WE# for `pulse`, [pause].
struct Cycle {
  int32_t before_drive = 0;
  int32_t data_settle = 0;
  int32_t before_strobe = 0;
  int32_t pulse = 0;
  int32_t pause = 0;
  int32_t pause_100ns = 0;
};

// The callers' timings.
inline constexpr Cycle kProgramCycle{};  // P1, P2: pulse twp, pause 0.2 us (set at the call)
inline constexpr Cycle kModeCycle{.pulse = 2, .pause = 4};  // P3..P6 commands
inline constexpr Cycle kEraseCycle{.before_drive = 4, .before_strobe = 4, .pulse = 10, .pause = 20};
inline constexpr Cycle kByteEraseCycle{.before_strobe = 10, .pulse = 10, .pause = 10};
inline constexpr Cycle kAutoselectG1{
    .before_drive = 4, .data_settle = 4, .before_strobe = 4, .pulse = 10, .pause = 20};
inline constexpr Cycle kAutoselectG2{.before_strobe = 3, .pulse = 5, .pause = 10};
inline constexpr Cycle kResetG2{.before_strobe = 3, .pulse = 1};
inline constexpr Cycle kAutoselectG3{.data_settle = 4, .pulse = 5, .pause = 20};

// One normal command cycle: the full address, then the byte and WE#.
void CommandCycle(hw::Bus& bus, uint32_t address, uint8_t byte, const Cycle& c);
// The bytes to the unlock set's addresses in order.
void CommandSequence(hw::Bus& bus, const UnlockSet& unlock, std::initializer_list<uint8_t> bytes,
                     const Cycle& c);

// The fast three-cycle command: the first cycle loads the unlock address in
// full; the second and third clock the three address registers once more,
// inserting a bit at their low ends, so 0x5555 becomes 0xAAAA (0x2AAA to a
// part that ignores A15) and back. The standard set inserts 0 then 1; the
// byte-mode set (type 15) 1 then 0. Each cycle is a WE# pulse of `pulse`
// ticks and, unless `byte_mode`, a 0.2 us pause.
void FastCommand(hw::Bus& bus, const UnlockSet& unlock, uint8_t code, bool byte_mode,
                 int32_t pulse);

// How the data poll after a program command goes on.
enum class PollEnd { kDone, kRetry, kFailed, kCancelled };

struct PollWay {
  int32_t read_wait_100ns = 1;    // before and after each read
  bool rewrite_each_poll = true;  // WriteData before every read, not only the first
};

// Reads the byte back until it equals `d`: DQ5 with a second read that
// still differs asks for a resend while `attempt` is at most 8, else the
// byte failed; Cancel and the 100 ms bound end it too. `last` is the byte
// read last.
PollEnd PollByte(app::Programmer& p, uint8_t d, int attempt, const PollWay& way, uint8_t& last);

}  // namespace families::flash
