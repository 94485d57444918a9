#include "families/flash/wide/wide_bus.h"

namespace families::flash::wide {

constexpr int kSectorWriteFamily = 56;

void IdleWord(app::Programmer& p) {
  if (p.dev.family == kSectorWriteFamily) return;
  CommandWord(p.bus, 0xFF, 50, 10, 200);
}

void CommandWord(hw::Bus& bus, uint8_t code, int32_t extra, int32_t pulse, int32_t pause) {
  bus.StrobeWrite(0x00, code, extra);
  bus.ProgramPulse(pulse);
  Wait(bus, pause);
}

void CommandWordAt(hw::Bus& bus, uint32_t address, uint8_t code, int32_t extra, int32_t pulse,
                   int32_t pause) {
  bus.ShiftAddress(address);
  CommandWord(bus, code, extra, pulse, pause);
}

void DataWord(hw::Bus& bus, Word w, int32_t extra, int32_t pulse) {
  bus.StrobeWrite(w.high, w.low, extra);
  bus.Delay100ns(2);
  bus.ProgramPulse(pulse);
}

Word ReadBusWord(hw::Bus& bus, int32_t high_wait) {
  Word w;
  w.low = bus.ReadDataByte();
  Bit(bus, kStrobe, false);  // the multiplexer: D15..D8 to the read path
  Wait(bus, high_wait);
  w.high = bus.ReadDataByteSerial();
  return w;
}

Word ReadWordAt(hw::Bus& bus, uint32_t address, int32_t high_wait) {
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  bus.Delay100ns(2);
  Bit(bus, kDrive, false);
  return ReadBusWord(bus, high_wait);
}

Word ReadBack(hw::Bus& bus, int32_t high_wait) {
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.Delay100ns(2);
  return ReadBusWord(bus, high_wait);
}

Poll PollStatus(app::Programmer& p, int64_t bound_ns, uint8_t& sr) {
  hw::Bus& bus = p.bus;
  return PollStatusRegister(p, bound_ns, sr, [&bus] {
    bus.WriteData();
    Bit(bus, kDrive, false);
    bus.Delay100ns(2);
    const uint8_t got = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    bus.Delay100ns(2);
    return got;
  });
}

void ReportWordMismatch(app::Programmer& p, uint32_t k, Word chip) {
  // ReportMismatch16 puts its third argument in the upper half and the
  // image byte at the lower address in the upper half of "buffer": passing
  // (low, high) keeps both in the hex view's order.
  p.ReportMismatch16(2 * k, 0, chip.low, chip.high);
  p.error = 1;
}

uint32_t SpanWords(const app::DataSpan& span) {
  if (span.empty) return 0;
  return span.last / 2 + 1;
}

}  // namespace families::flash::wide
