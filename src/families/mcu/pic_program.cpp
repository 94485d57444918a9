// Program of the 14-bit flash parts: erase, program memory (one word at a
// time with retries, or rows of latched words by the algorithm's strategy),
// data memory, the verify, then IDs and the configuration word.
#include <initializer_list>

#include "families/mcu/pic.h"
#include "image/layout.h"

namespace families::pic {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr int kWordAttempts = 9;
constexpr int kRetryUs = 500;     // more write time per failed attempt
constexpr int kDataAttempts = 5;  // the counter goes 1, 3, 5, 7, 9
constexpr int32_t kIdWrite = 14319;
constexpr int32_t kConfigWrite = 23864;

// How an algorithm writes program and data memory: words latched per
// write, the command that starts the write, the one that ends it (0: the
// write is self-timed), and data memory's start, end and wait.
struct Strategy {
  std::initializer_list<int> algorithms;
  int latches;
  int begin, end;
  int data_begin, data_end;
  int32_t data_wait;  // ticks; 0: tWC converted + 5000
};

constexpr int k8 = cmd::kBeginErase;
constexpr int k24 = cmd::kBeginProgramOnly;
constexpr int k14 = cmd::kEndProgramming;
constexpr int k23 = cmd::kEndProgramming23;

// clang-format off
const Strategy kStrategies[] = {
    {{10},     8, k24, k23, k24, k23, 0},
    {{15, 20}, 4, k24, k23, k24, k23, 0},
    {{16, 17}, 4, k8,  0,   k8,  0,   12000},
    {{38},     8, k8,  0,   k8,  0,   12000},
    // One word at a time, the write ended by command 14: 16F7x, 16F7x7
    // (their 8 programs until it is ended) and 16F716 (program only, 24).
    {{18, 19}, 1, k8,  k14, k8,  0,   0},
    {{35},     1, k24, k14, k8,  0,   0},
};
// clang-format on
// Everything else: one word at a time with command 8 and retries.
constexpr Strategy kPerWord{{}, 1, k8, 0, k8, 0, 0};

const Strategy& StrategyFor(int algorithm) {
  for (const Strategy& s : kStrategies) {
    for (const int a : s.algorithms) {
      if (a == algorithm) return s;
    }
  }
  return kPerWord;
}

void BeginWrite(app::Programmer& p, int begin, int end, int32_t wait) {
  PicCommand(p, begin);
  p.bus.DelayTicks(wait);
  if (end != 0) PicCommand(p, end);
}

// Writes one word at the PC with retries; false after the last attempt.
bool WriteWord(app::Programmer& p, const Strategy& s, uint16_t word, int twc_us) {
  for (int attempt = 0; attempt < kWordAttempts; ++attempt) {
    PicLoad(p, cmd::kLoadProgram, word);
    p.bus.DelayTicks(25);
    BeginWrite(p, s.begin, s.end, UsToTicks(twc_us + attempt * kRetryUs));
    if (((PicRead(p, cmd::kReadProgram) ^ word) & 0x3FFF) == 0) return true;
  }
  return false;
}

// Rows of latched words: load them with increments between, start the
// write, end it, step to the next row. The verify that follows checks them.
bool ProgramRows(app::Programmer& p, const Strategy& s) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const auto latches = static_cast<uint32_t>(s.latches);
  for (uint32_t i = 0; i < pic.program_words; i += latches) {
    for (uint32_t k = 0; k < latches; ++k) {
      PicLoad(p, cmd::kLoadProgram, p.image.Word(i + k));
      if (k + 1 < latches) PicIncrement(p);
    }
    BeginWrite(p, s.begin, s.end, UsToTicks(p.dev.twc));
    PicIncrement(p);
    if (p.ProgressTick(i)) {
      PicExit(p);
      p.ShowProgress(1, 0, 0);
      return false;
    }
  }
  return true;
}

bool ProgramArea(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  p.SetProcessGauge("programming PIC program area", pic.program_words, kRed);
  PicEnterVddFirst(p);
  const Strategy& s = StrategyFor(pic.algorithm);
  if (s.latches > 1) return ProgramRows(p, s);
  for (uint32_t i = 0; i < pic.program_words; ++i) {
    if (!WriteWord(p, s, p.image.Word(i), p.dev.twc)) {
      PicExit(p);
      p.ReportError("Error writing program area");
      return false;
    }
    p.bus.DelayTicks(25);
    PicIncrement(p);
    if (p.ProgressTick(i)) {
      PicExit(p);
      p.ShowProgress(1, 0, 0);
      return false;
    }
  }
  return true;
}

bool DataArea(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  if (pic.eeprom_size == 0) return true;
  const Strategy& s = StrategyFor(pic.algorithm);
  p.SetProcessGauge("programming PIC data area", pic.eeprom_size, kRed);
  PicEnterVddFirst(p);
  for (uint32_t j = 0; j < pic.eeprom_size; ++j) {
    const auto byte = static_cast<uint8_t>(p.image.Word(image::kPicEepromWord + j));
    uint8_t read = 0;
    bool ok = false;
    for (int attempt = 0; attempt < kDataAttempts && !ok; ++attempt) {
      PicLoad(p, cmd::kLoadData, byte);
      p.bus.DelayTicks(25);
      BeginWrite(p, s.data_begin, s.data_end,
                 s.data_wait != 0 ? s.data_wait : UsToTicks(p.dev.twc) + 5000);
      read = static_cast<uint8_t>(PicRead(p, cmd::kReadData));
      ok = read == byte;
    }
    if (!ok) {
      PicExit(p);
      p.ReportMismatch(image::kPicEepromByte + 2 * j, 0, read);
      return false;
    }
    p.bus.DelayTicks(10);
    PicIncrement(p);
  }
  return true;
}

// IDs and configuration are written with 8; on parts whose 8 programs until
// it is ended, the algorithm's end command follows, as for the words.
bool ConfigArea(app::Programmer& p, uint16_t config) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const Strategy& s = StrategyFor(pic.algorithm);
  const int end = s.begin == cmd::kBeginErase ? s.end : 0;
  p.SetProcessGauge("Programming PIC Config area", 1, kRed);
  PicEnterVddFirst(p);
  PicLoad(p, cmd::kLoadConfig, config);
  p.bus.DelayTicks(100);
  for (uint32_t k = 0; k < image::kPicIdWords; ++k) {
    const uint16_t id = p.image.Word(image::kPicIdWord + k);
    bool ok = false;
    for (int attempt = 0; attempt < kWordAttempts && !ok; ++attempt) {
      PicLoad(p, cmd::kLoadProgram, id);
      p.bus.DelayTicks(30);
      BeginWrite(p, cmd::kBeginErase, end, kIdWrite);
      ok = ((PicRead(p, cmd::kReadProgram) ^ id) & 0x3FFF) == 0;
    }
    if (!ok) {
      PicExit(p);
      p.ReportError("Error writing PIC id area");
      return false;
    }
    p.bus.DelayTicks(30);
    PicIncrement(p);
  }
  PicIncrement(p, 3);
  PicLoad(p, cmd::kLoadProgram, config);
  p.bus.DelayTicks(120);
  BeginWrite(p, cmd::kBeginErase, end, kConfigWrite);
  const uint16_t read = PicRead(p, cmd::kReadProgram);
  PicExit(p);
  if (((read ^ config) & pic.config_mask) != 0) {
    p.ReportError("Error blowing fuses address 0x2007");
    return false;
  }
  return true;
}

// Erase, program and data memory, the verify, IDs and configuration.
bool ProgramPic14(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  uint16_t config = p.image.Word(pic.config_index);
  if (pic.algorithm == kOsccalAlgorithm) {
    // The factory calibration survives: the chip's OSCCAL goes into the
    // image unless the user takes the file's, the band gap into the
    // configuration word written.
    const Calibration cal = ReadCalibration(p);
    if (!KeepOsccal(p, cal)) {
      p.bus.PowerDown();
      return false;
    }
    config = static_cast<uint16_t>((config & ~kBandGap) | cal.band_gap);
    EraseOwnVppFirst(p);
  } else {
    EraseByAlgorithm(p, pic.algorithm);
  }
  if (!ProgramArea(p) || !DataArea(p)) return false;
  PicExit(p);
  return VerifyAreas(p) && ConfigArea(p, config);
}

}  // namespace

void ProgramPic(app::Programmer& p) {
  p.error = 1;
  if (IsPic12(p)) {
    if (!ProgramFlashPic12(p)) return;
  } else if (!ProgramPic14(p)) {
    return;
  }
  p.error = 0;
  p.bus.DelayTicks(10000);
  p.bus.PowerDown();
  if (p.controls.Checked("cbMCLRE5")) {
    // The chip runs from VDD with MCLR pulled up: the one routine that ends
    // powered.
    p.bus.DelayTicks(20000);
    p.bus.SetCtrl(hw::ctrl::kPower, true);
    p.bus.WriteCtrl();
  }
}

}  // namespace families::pic
