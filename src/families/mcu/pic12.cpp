// Read, verify and the blank sum of the 12-bit core parts (families 18 and
// 53). The core has no Load Configuration: entering programming mode puts
// the PC at the configuration word, and the first increment goes to 0.
#include <cstdio>
#include <string>

#include "app/image_files.h"
#include "families/mcu/pic.h"
#include "image/buffer_ops.h"

namespace families::pic {
namespace {

constexpr uint32_t kGreen = 0x008000;
constexpr uint16_t kMovlwMask = 0x0F00;
constexpr uint16_t kMovlw = 0x0C00;

std::string Format(const char* format, unsigned value, unsigned address = 0) {
  char text[80];
  std::snprintf(text, sizeof text, format, value, address);
  return text;
}

// The calibration instruction in the last program word, as the read
// reports it.
void ReportOsccal(app::Programmer& p) {
  const uint32_t address = p.dev.pic16.program_words - 1;
  const uint16_t word = p.image.Word(address);
  if ((word & kMovlwMask) == kMovlw) {
    p.Message(Format(" (OSCCAL) MOVLW 0x%.2X at address 0x%X", word & 0xFFu, address), hw::kInfo);
  } else {
    p.Message(Format(" No command MOVLW xx (OSCCAL) at address 0x%X", address), hw::kInfo);
  }
}

}  // namespace

void ReadPic12(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  image::MemoryImage& img = p.image;
  app::ClearImage(p, image::kFillFF);
  p.SetProcessGauge("Reading PIC program area", pic.program_words, kGreen);
  PicEnterVddFirst(p);
  p.error = 0;
  img.SetWord(pic.config_index, PicRead(p, cmd::kReadProgram) & kMask12);
  PicIncrement(p);
  bool cancelled = false;
  for (uint32_t i = 0; i < pic.program_words && !cancelled; ++i) {
    img.SetWord(i, PicRead(p, cmd::kReadProgram) & kMask12);
    PicIncrement(p);
    cancelled = p.ProgressTick(i);
  }
  // The IDs follow program memory, the backup OSCCAL (where there is one)
  // the IDs.
  const uint32_t after = static_cast<uint32_t>(pic.id_words) + (pic.osccal_backup_index ? 1 : 0);
  for (uint32_t k = 0; k < after && !cancelled; ++k) {
    img.SetWord(pic.id_index + k, PicRead(p, cmd::kReadProgram) & kMask12);
    PicIncrement(p);
  }
  const bool calibrated = p.dev.family == 18 || pic.reserved_words != 0;
  FinishPicRead(p, cancelled, calibrated ? &ReportOsccal : nullptr);
}

bool VerifyPic12Words(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  // The calibration word is the chip's own: the programs keep it.
  const uint32_t words = pic.program_words - static_cast<uint32_t>(pic.reserved_words);
  p.SetProcessGauge("verifying PIC program area", pic.program_words, kGreen);
  PicEnterVddFirst(p);
  PicIncrement(p);
  for (uint32_t i = 0; i < words; ++i) {
    const uint16_t read = PicRead(p, cmd::kReadProgram);
    if (((read ^ p.image.Word(i)) & kMask12) != 0) {
      PicExit(p);
      p.ReportError(Format("Error at $%6x", i));
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
  p.Message("Device Verified OK", hw::kResult);
  return true;
}

void VerifyPic12(app::Programmer& p) {
  p.error = VerifyPic12Words(p) ? 0 : 1;
  p.bus.PowerDown();
}

BlankSum BlankSumPic12(app::Programmer& p, uint32_t counted) {
  BlankSum out;
  PicEnterVddFirst(p);
  // The configuration word is where the PC starts.
  out.config = PicRead(p, cmd::kReadProgram) & kMask12;
  PicIncrement(p);
  for (uint32_t i = 0; i < counted; ++i) {
    out.sum += PicRead(p, cmd::kReadProgram) & kMask12;
    PicIncrement(p);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      out.sum = 0;
      break;
    }
  }
  PicExit(p);
  return out;
}

}  // namespace families::pic
