// Family 2: two word-address bytes; one sequential read, and a program
// that writes whole pages.
#include "app/default_routines.h"
#include "families/serial/i2c.h"
#include "families/serial/i2c_primitives.h"
#include "families/serial/serial_lines.h"

namespace families::serial::i2c {
namespace {

bool Stop(app::Programmer& p, const char* text) {
  p.ReportError(text);
  return false;
}

// The address phase of the sequential read from 0: a dummy write, then a
// STOP and the read select.
bool StartRead(app::Programmer& p, const char* select, const char* high, const char* low,
               const char* read) {
  if (!I2CWriteSelect(p)) return Stop(p, select);
  if (!I2CSendWithAck(p, 0)) return Stop(p, high);
  if (!I2CSendWithAck(p, 0)) return Stop(p, low);
  I2CStart(p);
  I2CStop(p);
  if (!I2CReadSelect(p)) return Stop(p, read);
  return true;
}

}  // namespace

void Read2(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.SetProcessGauge("Read chip", size, app::colour::kBlack);
  I2cPowerUp(p, I2cRun::kRead);
  p.error = 1;
  if (StartRead(p, "No ACK write Command1", "No ACK Address A16-A8", "No ACK Address A7-A0",
                "No ACK read Command")) {
    p.error = 0;
    for (uint32_t a = 0; a < size; ++a) {
      p.image[a] = I2CReadByte(p);
      I2CSendAck(p, false);
      if (p.ProgressTick(a)) {
        p.ShowProgress(1, 0, 0);
        break;
      }
    }
    // The part has already begun the next byte; this clock does not stop it.
    I2CSendAck(p, true);
    I2CStop(p);
  }
  if (p.error == 0) p.Message("Device Read OK", hw::kResult);
  I2cPowerDownLines(p);
  if (p.error == 0) p.image.data_end = size - 1;
}

void Verify2(app::Programmer& p) {
  const bool reporting = p.verify_after_program == 0;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(6, span.last, app::colour::kGreen);
  p.error = 0;
  I2cPowerUp(p, I2cRun::kVerify);
  if (!StartRead(p, "No ACK write Command", "No ACK write Address byte",
                 "No ACK write Address byte", "No ACK read Command")) {
    p.error = 1;
  } else {
    const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t a) {
      const uint8_t b = I2CReadByte(p);
      if (b != p.image[a]) {
        p.ReportMismatch(a, 0, b);
        p.error = 1;
        return false;
      }
      I2CSendAck(p, false);
      return true;
    });
    if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
    if (end != app::LoopEnd::kStopped) {
      I2CSendAck(p, true);
      I2CStop(p);
    }
  }
  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  I2cPowerDownLines(p);
}

void Program2(app::Programmer& p) {
  const app::DataSpan span = app::ClipDataEnd(p.image);
  const uint32_t page = std::max<uint32_t>(p.dev.page_size, 1);
  p.ShowProgress(4, span.last, app::colour::kRed);
  I2cPowerUp(p, I2cRun::kProgram);
  int failed_polls = 0;
  for (uint64_t start = 0; !span.empty && start <= span.last; start += page) {
    const auto a = static_cast<uint32_t>(start);
    p.error = 1;
    const uint8_t first = p.image[a];
    if (!I2CWriteSelect(p)) {
      Stop(p, "No ACK Device");
      break;
    }
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a >> 8))) {
      Stop(p, "No ACK Address A16-A8");
      break;
    }
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a))) {
      Stop(p, "No ACK Address A7-A0");
      break;
    }
    // The whole page, past the end address too.
    bool sent = true;
    for (uint32_t k = 0; k < page && sent; ++k) sent = I2CSendWithAck(p, p.image[a + k]);
    if (!sent) {
      Stop(p, "No ACK Write Data");
      break;
    }
    I2CSdaLow(p);
    I2CStop(p);
    p.bus.DelayTicks(3000);
    bool gave_up = false;
    while (!I2CWriteSelect(p)) {
      p.bus.DelayTicks(1194);
      if (++failed_polls > 10) {
        gave_up = true;
        break;
      }
      I2CStop(p);
    }
    if (gave_up) {
      Stop(p, " Too many Retries - would not program");
      break;
    }
    // Read back the page's first byte.
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a >> 8))) {
      Stop(p, "No ACK Device");
      break;
    }
    if (!I2CSendWithAck(p, static_cast<uint8_t>(a))) {
      Stop(p, "No ACK  Address");
      break;
    }
    I2CStart(p);
    I2CStop(p);
    if (!I2CReadSelect(p)) {
      Stop(p, "No ACK read Data");
      break;
    }
    const uint8_t b = I2CReadByte(p);
    I2CSendAck(p, true);
    I2CStop(p);
    if (b != first) {
      Stop(p, " Verify Error ");
      break;
    }
    failed_polls = 0;
    if (p.ProgressTick(a)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
    p.error = 0;
  }
  p.bus.PowerDown();
  // The per-page check reads one byte a page: the verify pass reads them all.
  if (p.error == 0) {
    p.verify_after_program = 1;
    Verify2(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
}

}  // namespace families::serial::i2c
