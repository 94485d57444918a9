// Program of the 14-bit OTP and windowed parts (family 16): every word
// takes program pulses until it reads back right, then three times as many
// again so the cells hold; IDs the same way after the verify, the
// configuration word with a hundred pulses.
#include <cstdio>

#include "families/mcu/pic.h"
#include "image/layout.h"

namespace families::pic {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr int kMaxPulses = 25;
constexpr int kOverPulses = 3;  // per pulse the word needed
constexpr int kConfigPulses = 100;

// One program pulse: load, 8 starts it, 14 ends it.
void Pulse(app::Programmer& p, uint16_t word) {
  PicLoad(p, cmd::kLoadProgram, word);
  p.bus.DelayTicks(30);
  PicCommand(p, cmd::kBeginErase);
  p.bus.DelayTicks(200);
  PicCommand(p, cmd::kEndProgramming);
}

// Pulses the word at the PC until it reads back, then the over-programming
// pulses; false when 25 pulses were not enough.
bool BurnWord(app::Programmer& p, uint16_t word) {
  for (int n = 1; n <= kMaxPulses; ++n) {
    Pulse(p, word);
    if (((PicRead(p, cmd::kReadProgram) ^ word) & 0x3FFF) == 0) {
      for (int k = 0; k < kOverPulses * n; ++k) Pulse(p, word);
      return true;
    }
  }
  return false;
}

bool ProgramWords(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const uint32_t words = pic.program_words - static_cast<uint32_t>(pic.reserved_words);
  p.SetProcessGauge("programming PIC program area", pic.program_words, kRed);
  PicEnterVddFirst(p);
  for (uint32_t i = 0; i < words; ++i) {
    if (!BurnWord(p, p.image.Word(i))) {
      PicExit(p);
      p.ReportError("Error writing program area");
      return false;
    }
    PicIncrement(p);
    if (p.ProgressTick(i)) {
      PicExit(p);
      p.ShowProgress(1, 0, 0);
      return false;
    }
  }
  PicExit(p);
  return true;
}

bool ProgramConfig(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const uint16_t config = p.image.Word(pic.config_index);
  p.SetProcessGauge("Programming PIC Config area", 1, kRed);
  PicEnterVddFirst(p);
  PicLoad(p, cmd::kLoadConfig, config);
  p.bus.DelayTicks(100);
  for (uint32_t k = 0; k < image::kPicIdWords; ++k) {
    if (!BurnWord(p, p.image.Word(image::kPicIdWord + k))) {
      PicExit(p);
      p.ReportError("Error writing ID area");
      return false;
    }
    PicIncrement(p);
  }
  PicIncrement(p, 3);
  for (int k = 0; k < kConfigPulses; ++k) Pulse(p, config);
  const uint16_t read = PicRead(p, cmd::kReadProgram);
  PicExit(p);
  if (((read ^ config) & pic.config_mask) != 0) {
    char text[64];
    std::snprintf(text, sizeof text, "Error blowing fuses 0x2007 = %04X", read);
    p.ReportError(text);
    return false;
  }
  return true;
}

}  // namespace

void ProgramOtpPic(app::Programmer& p) {
  if (!p.host.Ask("Do you really want program the device ?")) return;
  p.error = 1;
  if (!ProgramWords(p)) return;
  if (!VerifyAreas(p)) return;
  if (!ProgramConfig(p)) return;
  p.error = 0;
  p.bus.DelayTicks(10000);
  p.bus.PowerDown();
}

}  // namespace families::pic
