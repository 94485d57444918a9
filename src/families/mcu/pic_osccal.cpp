// The factory calibration of the 12F629/675 and 16F630/676: the OSCCAL
// RETLW in program word 0x3FF and the band-gap bits of the configuration
// word. A bulk erase takes both, so the routines that erase read them first
// and write them back.
#include <cstdio>

#include "families/mcu/pic.h"

namespace families::pic {
namespace {

constexpr uint16_t kRetlw = 0x3400;
constexpr int32_t kConfigWrite = 23864;
constexpr uint16_t kErased = 0x3FFF;

}  // namespace

Calibration ReadCalibration(app::Programmer& p) {
  Calibration cal;
  PicEnterVddFirst(p);
  PicIncrement(p, kOsccalWord);
  const uint16_t word = PicRead(p, cmd::kReadProgram);
  PicLoad(p, cmd::kLoadConfig, kErased);
  PicIncrement(p, 7);
  cal.band_gap = PicRead(p, cmd::kReadProgram) & kBandGap;
  PicExit(p);
  // Anything but a RETLW (an erased word, a protected chip reading 0) is no
  // calibration to keep.
  if ((word & 0x3F00) == kRetlw) cal.osccal = word;
  return cal;
}

void WriteCalibration(app::Programmer& p, const Calibration& cal) {
  if (cal.osccal != kErased) {
    PicEnterVddFirst(p);
    PicIncrement(p, kOsccalWord);
    PicLoad(p, cmd::kLoadProgram, cal.osccal);
    p.bus.DelayTicks(25);
    PicCommand(p, cmd::kBeginErase);
    p.bus.DelayTicks(UsToTicks(p.dev.twc));
    PicExit(p);
  }
  if (cal.band_gap != kBandGap) {
    // Every other bit stays erased: the user's configuration comes later.
    const auto word = static_cast<uint16_t>((kErased & ~kBandGap) | cal.band_gap);
    PicEnterVddFirst(p);
    PicLoad(p, cmd::kLoadConfig, word);
    PicIncrement(p, 7);
    PicLoad(p, cmd::kLoadProgram, word);
    p.bus.DelayTicks(120);
    PicCommand(p, cmd::kBeginErase);
    p.bus.DelayTicks(kConfigWrite);
    PicExit(p);
  }
}

bool KeepOsccal(app::Programmer& p, const Calibration& cal) {
  if (cal.osccal == kErased) return true;
  const auto file = static_cast<uint16_t>(p.image.Word(kOsccalWord) & kErased);
  if (file == cal.osccal) return true;
  bool take_file = false;
  switch (p.controls.Index(kOsccalSource)) {
    case kOsccalFromChip:
      break;
    case kOsccalFromFile:
      take_file = true;
      break;
    case kOsccalUnanswered: {
      // No one may answer this one on a blanket yes: a factory calibration
      // lost is lost for good.
      char text[128];
      std::snprintf(text, sizeof text,
                    "OSCCAL = 0x%04X differs from the file's 0x%04X: choose chip or file",
                    cal.osccal, file);
      p.ReportError(text);
      return false;
    }
    default: {
      char text[128];
      std::snprintf(text, sizeof text,
                    "OSCCAL = 0x%04X \n Do you want use value from file ( 0x%04X ) instead ?",
                    cal.osccal, file);
      take_file = p.host.Ask(text);
    }
  }
  if (!take_file) p.image.SetWord(kOsccalWord, cal.osccal);
  return true;
}

void EraseOwnVppFirst(app::Programmer& p) {
  PicEnterVppFirst(p);
  PicLoad(p, cmd::kLoadConfig, 0x2000);
  PicCommand(p, cmd::kBulkEraseProgram);
  p.bus.DelayTicks(40000);
  PicCommand(p, cmd::kBulkEraseData);
  p.bus.DelayTicks(40000);
  PicExit(p);
}

}  // namespace families::pic
