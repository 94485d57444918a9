#include "app/image_files.h"

#include <algorithm>
#include <cctype>

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

bool LoadFile(Programmer& p, const std::string& path) {
  if (p.RefuseWhileBusy()) return false;
  ProgrammerFileHost host(p);
  const image::LoadResult result = image::LoadImageFile(path, p.image, LayoutOf(p), host);
  if (result.ok && result.pic_config) p.dev.pic16.config_word = *result.pic_config;
  winstat(p);
  return result.ok;
}

image::SaveType SaveTypeForPath(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return image::SaveType::kBinary;
  }
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (ext == "HEX") return image::SaveType::kIntelHex;
  if (ext == "ROM") return image::SaveType::kRom;
  if (ext == "EEP") return image::SaveType::kEeprom;
  if (ext == "S" || ext == "S19" || ext == "S2" || ext == "S28" || ext == "S3" || ext == "S37" ||
      ext == "SREC" || ext == "MOT") {
    return image::SaveType::kSRecord;
  }
  return image::SaveType::kBinary;
}

std::string SaveFile(Programmer& p, const std::string& path, image::SaveType type) {
  if (p.RefuseWhileBusy()) return {};
  ProgrammerFileHost host(p);
  const image::SaveResult result = image::SaveImageFile(path, type, p.image, LayoutOf(p), host);
  return result.ok ? result.path : std::string();
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

bool InvertBuffer(Programmer& p) { return BufferOp(p, [&] { image::InvertData(p.image); }); }
bool SwapBufferBytes(Programmer& p) { return BufferOp(p, [&] { image::SwapBytes(p.image); }); }

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
