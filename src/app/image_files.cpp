#include "app/image_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "app/programmer.h"
#include "app/winstat.h"
#include "image/buffer_ops.h"
#include "image/file_load.h"

namespace app {

image::FamilyLayout LayoutOf(const Programmer& p) {
  const Descriptor& d = p.dev;
  image::FamilyLayout layout;
  layout.family = d.family;
  layout.pic = d.pic;
  layout.pic_program_words = d.pic16.program_words;
  layout.pic_data_words = d.pic16.eeprom_size;
  layout.pic_config_index = d.pic16.config_index;
  layout.pic_id_index = d.pic16.id_index;
  layout.pic18_code_words = d.pic18.code_words;
  layout.pic18_eeprom_bytes = d.pic18.eeprom_size;
  layout.avr_program_bytes = d.avr.flash_size;
  layout.avr_eeprom_bytes = d.avr.eeprom_size;
  return layout;
}

void ProgrammerFileHost::Message(const std::string& text, int kind) { p_.host.Message(text, kind); }
void ProgrammerFileHost::ReportError(const std::string& text) { p_.ReportError(text); }
void ProgrammerFileHost::SetCaption(const std::string& text) { p_.host.SetCaption(text); }
void ProgrammerFileHost::Information(const std::string& text) { p_.host.Information(text); }

std::string OutsideWarning(const Programmer& p, const std::string& file,
                           const image::Extent& outside) {
  const std::string name =
      file == "-" ? std::string("stdin") : std::filesystem::path(file).filename().string();
  std::string device = p.controls.Text("edDevice");
  if (device.empty()) device = "device";
  char text[256];
  std::snprintf(text, sizeof text,
                "%llu bytes of %s, from 0x%06X to 0x%06X, lie outside the %s (0x000000 to "
                "0x%06X) and will not be programmed",
                static_cast<unsigned long long>(outside.count), name.c_str(), outside.first,
                outside.last, device.c_str(),
                p.image.device_size == 0 ? 0u : p.image.device_size - 1);
  return text;
}

image::LoadResult LoadFile(Programmer& p, const std::string& path,
                           const image::LoadOptions& options) {
  if (p.RefuseWhileBusy()) return {};
  ProgrammerFileHost host(p);
  const image::LoadResult result = image::LoadImageFile(path, p.image, LayoutOf(p), host, options);
  if (result.ok && result.pic_config) p.dev.pic16.config_word = *result.pic_config;
  winstat(p);
  if (result.ok && !result.outside.empty()) {
    p.host.Warning(OutsideWarning(p, path, result.outside));
  }
  return result;
}

image::SaveType SaveTypeFor(image::FileFormat format) {
  switch (format) {
    case image::FileFormat::kIntelHex:
      return image::SaveType::kIntelHex;
    case image::FileFormat::kSRecord:
      return image::SaveType::kSRecord;
    case image::FileFormat::kEeprom:
      return image::SaveType::kEeprom;
    case image::FileFormat::kBinary:
      break;
  }
  return image::SaveType::kBinary;
}

image::SaveType SaveTypeForPath(const std::string& path) {
  const std::optional<image::FileFormat> format = image::FormatForPath(path);
  if (!format) return image::SaveType::kBinary;
  if (*format == image::FileFormat::kBinary) {
    const auto dot = path.find_last_of('.');
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext == "ROM" ? image::SaveType::kRom : image::SaveType::kBinary;
  }
  return SaveTypeFor(*format);
}

std::string SaveFile(Programmer& p, const std::string& path, image::SaveType type) {
  if (p.RefuseWhileBusy()) return {};
  ProgrammerFileHost host(p);
  const image::SaveResult result = image::SaveImageFile(path, type, p.image, LayoutOf(p), host);
  return result.ok ? result.path : std::string();
}

std::string SavePathFor(const Programmer& p, const std::string& path, image::SaveType type) {
  return image::SavePath(path, type, p.image, LayoutOf(p));
}

image::SaveResult SaveFileAs(Programmer& p, const std::string& path, image::SaveType type) {
  if (p.RefuseWhileBusy()) return {};
  ProgrammerFileHost host(p);
  return image::SaveImageFile(path, type, p.image, LayoutOf(p), host, false);
}

std::string SaveRefusal(const Programmer& p, image::SaveType type) {
  return image::SaveRefusal(type, p.image, LayoutOf(p)).value_or(std::string());
}

namespace {

// Runs a buffer operation unless an action is running, then refreshes.
template <typename Op>
bool BufferOp(Programmer& p, Op&& op) {
  if (p.RefuseWhileBusy()) return false;
  op();
  winstat(p);
  return true;
}

}  // namespace

void ClearImage(Programmer& p, int pattern) {
  image::ClearBuf(p.image, pattern, LayoutOf(p));
  p.host.SetCaption(image::kCaptionPrefix);
  p.dev.pic16.config_word = 0x3FFF;
}

bool ClearBuffer(Programmer& p, int pattern) {
  return BufferOp(p, [&] { ClearImage(p, pattern); });
}

bool InvertBuffer(Programmer& p) {
  return BufferOp(p, [&] { image::InvertData(p.image); });
}
bool SwapBufferBytes(Programmer& p) {
  return BufferOp(p, [&] { image::SwapBytes(p.image); });
}

bool MoveBuffer(Programmer& p, uint32_t a, uint32_t b, uint32_t size) {
  return BufferOp(p, [&] {
    image::MoveAtoB(p.image, a, b, size);
    p.Message("Move Data(buffer) A to B address OK", hw::kResult);
  });
}

bool CopyToFullChip(Programmer& p) {
  return BufferOp(p, [&] { image::CopyDataToFullChip(p.image); });
}

bool Tm377a(Programmer& p, bool encode) {
  return BufferOp(p, [&] {
    if (encode) {
      image::Tm377aEncode(p.image);
    } else {
      image::Tm377aDecode(p.image);
    }
  });
}

}  // namespace app
