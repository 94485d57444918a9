// Families 39 and 1: every byte is its own transaction, and the program
// writes one byte per write cycle and reads it back.
#include <optional>

#include "app/default_routines.h"
#include "families/serial/i2c.h"
#include "families/serial/i2c_primitives.h"
#include "families/serial/serial_lines.h"

namespace families::serial::i2c {
namespace {

// Texts of the three acknowledges a read transaction waits for.
struct AckTexts {
  const char* select;
  const char* address;
  const char* read;
};

std::optional<uint8_t> Fail(app::Programmer& p, const char* text) {
  p.ReportError(text);
  return std::nullopt;
}

bool Stop(app::Programmer& p, const char* text) {
  p.ReportError(text);
  return false;
}

// Family 1's write select: A10..A8 in bits 3..1.
uint8_t Select1(uint32_t address) { return static_cast<uint8_t>(0xA0 + 2 * (address >> 8)); }

uint8_t FinishRead(app::Programmer& p) {
  const uint8_t b = I2CReadByte(p);
  I2CSendAck(p, true);
  I2CStop(p);
  return b;
}

// X24C01: address and read bit in the one byte.
std::optional<uint8_t> ReadAt39(app::Programmer& p, uint32_t address, const AckTexts& texts) {
  I2CStart(p);
  if (!I2CSendWithAck(p, static_cast<uint8_t>(address * 2 + 1))) return Fail(p, texts.select);
  return FinishRead(p);
}

// The random read: a dummy write of the address, STOP, START, read.
std::optional<uint8_t> ReadAt1(app::Programmer& p, uint32_t address, const AckTexts& texts) {
  I2CStart(p);
  if (!I2CSendWithAck(p, Select1(address))) return Fail(p, texts.select);
  if (!I2CSendWithAck(p, static_cast<uint8_t>(address))) return Fail(p, texts.address);
  I2CStart(p);
  I2CStop(p);
  I2CStart(p);
  if (!I2CSendWithAck(p, Select1(address) + 1)) return Fail(p, texts.read);
  return FinishRead(p);
}

using ReadAt = std::optional<uint8_t> (*)(app::Programmer&, uint32_t, const AckTexts&);

void ReadAll(app::Programmer& p, ReadAt read, const AckTexts& texts) {
  const uint32_t size = p.image.device_size;
  p.ShowProgress(5, size, app::colour::kBlack);
  I2cPowerUp(p, I2cRun::kRead);
  for (uint32_t a = 0; a < size; ++a) {
    p.error = 1;
    const std::optional<uint8_t> b = read(p, a, texts);
    if (!b) break;
    p.image[a] = *b;
    if (p.ProgressTick(a)) {
      p.ShowProgress(1, 0, 0);  // "program interrupted!"
      break;
    }
    p.error = 0;
  }
  I2cPowerDown(p);
  if (p.error == 0) {
    ShowReadDone(p, "Chip read OK");
    p.image.data_end = size - 1;
  }
}

void VerifyAll(app::Programmer& p, ReadAt read, const AckTexts& texts) {
  const bool reporting = p.verify_after_program == 0;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(6, span.last, app::colour::kGreen);
  p.error = 0;
  I2cPowerUp(p, I2cRun::kVerify);
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t a) {
    const std::optional<uint8_t> b = read(p, a, texts);
    if (b && *b == p.image[a]) return true;
    if (b) p.ReportMismatch(a, 0, *b);
    p.error = 1;
    return false;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  I2cPowerDownLines(p);
}

constexpr AckTexts k39Texts{"No ACK Read Command", nullptr, nullptr};
constexpr AckTexts k1ReadTexts{"No ACK Device Command", "No ACK Address A7-A0",
                               "No ACK Read D7-D0"};
constexpr AckTexts k1VerifyTexts{"No ACK Device+A10-A8", "No ACK Address A7-A0",
                                 "No ACK read DATA"};

// The per-byte program loop; `write` writes and reads back one byte and
// returns false when it has reported why it stopped.
template <typename Write>
void ProgramEach(app::Programmer& p, Write write) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(4, span.last, app::colour::kRed);
  I2cPowerUp(p, I2cRun::kProgram);
  for (uint64_t n = 0; n < span.count(); ++n) {
    const auto a = static_cast<uint32_t>(n);
    p.error = 1;
    if (!write(a)) break;
    if (p.ProgressTick(a)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
    p.error = 0;
  }
  if (p.error == 0) p.ShowProgress(3, 0, 0);
  I2cPowerDown(p);
}

}  // namespace

void Read39(app::Programmer& p) { ReadAll(p, ReadAt39, k39Texts); }
void Verify39(app::Programmer& p) { VerifyAll(p, ReadAt39, k39Texts); }

void Program39(app::Programmer& p) {
  ProgramEach(p, [&](uint32_t a) {
    const uint8_t data = p.image[a];
    I2CStart(p);
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a * 2))) return Stop(p, "No ACK Write Address");
    if (!I2CSendWithAck(p, data)) return Stop(p, "No ACK write DATA");
    I2CSdaLow(p);
    I2CStop(p);
    p.bus.DelayTicks(11932);  // 10 ms: this part has no acknowledge polling
    I2CStart(p);
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a * 2 + 1))) {
      return Stop(p, "No ACK Write Address");
    }
    if (FinishRead(p) != data) return Stop(p, "Verify Error");
    return true;
  });
}

void Read1(app::Programmer& p) { ReadAll(p, ReadAt1, k1ReadTexts); }
void Verify1(app::Programmer& p) { VerifyAll(p, ReadAt1, k1VerifyTexts); }

void Program1(app::Programmer& p) {
  // The first byte tolerates 10 failed polls, every later one 9.
  int failed_polls = 0;
  ProgramEach(p, [&](uint32_t a) {
    const uint8_t data = p.image[a];
    I2CStart(p);
    if (!I2CSendWithAck(p, Select1(a))) return Stop(p, "No ACK Device(WR) Command ");
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a))) return Stop(p, "No ACK Address A7-A0");
    if (!I2CSendWithAck(p, data)) return Stop(p, "No ACK write DATA");
    I2CSdaLow(p);
    I2CStop(p);
    p.bus.DelayTicks(1194);
    // Acknowledge polling: the part ignores its select while it writes.
    for (;;) {
      I2CStart(p);
      if (I2CSendWithAck(p, Select1(a))) break;
      p.bus.DelayTicks(1194);
      if (++failed_polls > 10) return Stop(p, " Too many Retries - would not program");
      I2CStop(p);
    }
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a))) return Stop(p, "No ACK Write Address");
    I2CStart(p);
    I2CStop(p);
    I2CStart(p);
    if (!I2CSendWithAck(p, Select1(a) + 1)) return Stop(p, "No ACK read DATA");
    const uint8_t b = FinishRead(p);
    if (b != data) {
      p.ReportMismatch(a, 0, b);
      return false;
    }
    failed_polls = 1;
    return true;
  });
}

}  // namespace families::serial::i2c
