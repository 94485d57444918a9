// Read, verify, blank check and device ID of the 14-bit parts.
#include <cstdio>
#include <string>

#include "app/image_files.h"
#include "families/mcu/pic.h"
#include "image/buffer_ops.h"
#include "image/layout.h"

namespace families::pic {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kConfigReadWords = 32;  // IDs, device ID, configuration words

std::string Hex4(const char* format, unsigned value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

void ReadPic(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  image::MemoryImage& img = p.image;
  app::ClearImage(p, image::kFillFF);
  p.SetProcessGauge("Reading PIC program area", pic.program_words, kGreen);
  PicEnterVddFirst(p);
  p.error = 0;
  bool cancelled = false;
  for (uint32_t i = 0; i < pic.program_words && !cancelled; ++i) {
    img.SetWord(i, PicRead(p, cmd::kReadProgram));
    PicIncrement(p);
    cancelled = p.ProgressTick(i);
  }
  if (!cancelled && pic.eeprom_size != 0) {
    p.SetProcessGauge("Reading Data program area", pic.eeprom_size, kGreen);
    for (uint32_t j = 0; j < pic.eeprom_size && !cancelled; ++j) {
      img.SetWord(image::kPicEepromWord + j, PicRead(p, cmd::kReadData) & 0xFF);
      PicIncrement(p);
      cancelled = p.ProgressTick(j);
    }
  }
  if (!cancelled) {
    PicLoad(p, cmd::kLoadConfig, 0x3FFF);
    for (uint32_t k = 0; k < kConfigReadWords; ++k) {
      img.SetWord(image::kPicIdWord + k, PicRead(p, cmd::kReadProgram));
      PicIncrement(p);
    }
  }
  FinishPicRead(p, cancelled);
}

void FinishPicRead(app::Programmer& p, bool cancelled, void (*report)(app::Programmer&)) {
  PicExit(p);
  p.bus.PowerDown();
  if (cancelled) {
    p.Message("Process Cancelled", hw::kError);
    p.error = 1;
    return;
  }
  p.image.data_end = p.image.device_size;
  if (report != nullptr) report(p);
  p.Message("PIC dumped OK", hw::kResult);
}

bool VerifyAreas(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const image::MemoryImage& img = p.image;
  // The OTP program leaves the factory calibration word alone, so there is
  // nothing of the file's to compare it with.
  const uint32_t words =
      pic.program_words - (p.dev.family == 16 ? static_cast<uint32_t>(pic.reserved_words) : 0u);
  p.SetProcessGauge("verifying PIC program area", pic.program_words, kGreen);
  PicEnterVddFirst(p);
  for (uint32_t i = 0; i < words; ++i) {
    const uint16_t read = PicRead(p, cmd::kReadProgram);
    if (((read ^ img.Word(i)) & 0x3FFF) != 0) {
      PicExit(p);
      p.ReportError("Error verifying PIC");
      return false;
    }
    PicIncrement(p);
    if (p.ProgressTick(i)) {
      PicExit(p);
      p.ShowProgress(1, 0, 0);
      return false;
    }
  }
  if (pic.eeprom_size != 0) {
    p.SetProcessGauge("verifying PIC data area", pic.eeprom_size, kGreen);
    for (uint32_t j = 0; j < pic.eeprom_size; ++j) {
      const uint16_t read = PicRead(p, cmd::kReadData);
      if (((read ^ img.Word(image::kPicEepromWord + j)) & 0xFF) != 0) {
        PicExit(p);
        p.ReportError("Error verifying PIC data area");
        return false;
      }
      PicIncrement(p);
    }
  }
  PicExit(p);
  p.Message("Device Verified OK", hw::kResult);
  return true;
}

void VerifyPic(app::Programmer& p) {
  p.error = VerifyAreas(p) ? 0 : 1;
  p.bus.PowerDown();
}

namespace {

BlankSum BlankSumPic14(app::Programmer& p, uint32_t counted) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  BlankSum out;
  PicEnterVddFirst(p);
  for (uint32_t i = 0; i < counted; ++i) {
    out.sum += PicRead(p, cmd::kReadProgram) & 0x3FFFu;
    PicIncrement(p);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      out.sum = 0;
      break;
    }
  }
  PicLoad(p, cmd::kLoadConfig, 0x3FFF);
  PicIncrement(p, 7);
  out.config = PicRead(p, cmd::kReadProgram) & 0x3FFF;
  if (pic.checksum_config2_mask != 0) {
    PicIncrement(p);
    out.config2 = PicRead(p, cmd::kReadProgram) & pic.checksum_config2_mask;
  }
  PicExit(p);
  return out;
}

}  // namespace

void BlankCheckPic(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const uint32_t counted = pic.program_words - static_cast<uint32_t>(pic.checksum_skip_words);
  p.SetProcessGauge("Check blank PIC program area", pic.program_words, kRed);
  const BlankSum s = IsPic12(p) ? BlankSumPic12(p, counted) : BlankSumPic14(p, counted);
  p.bus.PowerDown();
  const uint16_t mask = pic.checksum_config_mask != 0 ? pic.checksum_config_mask : pic.config_mask;
  const auto checksum =
      static_cast<uint16_t>((s.config & mask) + s.config2 + pic.checksum_addend + s.sum);
  p.Message(Hex4(" 0x%04X", checksum), hw::kInfo);
  if (checksum == pic.blank_checksum) {
    p.Message("Device Blank", hw::kResult);
  } else {
    p.Message("Device NOT blank!", hw::kError);
    p.error = 1;
  }
}

void DeviceIdPic(app::Programmer& p) {
  PicEnterVddFirst(p);
  PicLoad(p, cmd::kLoadConfig, 0x3FFF);
  uint16_t id = 0;
  for (int k = 0; k < 7; ++k) {
    id = PicRead(p, cmd::kReadProgram);
    PicIncrement(p);
  }
  PicExit(p);
  p.bus.PowerDown();
  ShowDeviceId(p, id);
}

}  // namespace families::pic
