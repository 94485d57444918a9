// Selection of the serially programmed PIC10/12/16 parts. The Tag's hundred
// picks the group (and with it the family type code and the write time);
// the device row gives the memory sizes, the algorithm number and the blank
// checksum.
#include <cstddef>
#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/mcu/mcu_select.h"
#include "families/mcu/pic_config.h"
#include "families/mcu/pic_tools.h"

namespace families::mcu {
namespace {

// One device row. An `eeprom` or `algorithm` of -1 keeps the group's value.
struct PicRow {
  int first, last;  // Tags
  uint32_t words;   // program memory words
  int eeprom;       // data EEPROM bytes
  int algorithm;
  uint16_t blank_checksum;
  uint16_t config_mask;
  bool reserved = false;  // last program word holds the calibration value
  uint16_t addend = 0;    // checksum addend for parts with few configuration bits
  int twc_us = 0;         // write time; 0 keeps the group's
  // The blank checksum's configuration terms where the mask does not give
  // the published figure: the first word's bits, the second word's bits.
  uint16_t sum_config_mask = 0;
  uint16_t sum_config2_mask = 0;
  // The windowed 12C508/509: the published blank checksum leaves out the
  // last word, which their program still writes.
  bool sum_skips_last = false;
};

// clang-format off
constexpr PicRow kPic[] = {
    // 12-bit OTP: 12C5xx, 16C505.
    {101, 101, 512, 0, 0, 0xEE20, 0x001F, true},
    {102, 102, 1024, 0, 0, 0xEC20, 0x001F, true},
    {103, 103, 512, 0, 0, 0xEE20, 0x001F, false, 0, 0, 0, 0, true},
    {104, 104, 1024, 0, 0, 0xEC20, 0x001F, false, 0, 0, 0, 0, true},
    {121, 121, 1024, 0, 9, 0xFC00, 0x0FFF, true},
    // 14-bit OTP and windowed 16C parts.
    {201, 201, 512, 0, 1, 0x3D7F, 0x3F7F},
    {204, 204, 512, 0, 1, 0x3D7F, 0x3F7F},
    {202, 202, 1024, 0, 2, 0x3B7F, 0x3F7F},
    {205, 205, 1024, 0, 2, 0x3B7F, 0x3F7F},
    {203, 203, 2048, 0, 3, 0x377F, 0x3F7F},
    {206, 206, 2048, 0, 3, 0x377F, 0x3F7F},
    {207, 207, 512, 0, 8, 0x3DFF, 0x3FFF},
    {208, 208, 1024, 0, 8, 0x3BFF, 0x3FFF},
    {210, 210, 2048, 0, 26, 0x37BF, 0x003F, false, 0x3F80},
    {211, 211, 2048, 0, 3, 0x377F, 0x3F7F},
    {212, 212, 4096, 0, 26, 0x2FBF, 0x003F, false, 0x3F80},
    {213, 213, 4096, 0, 3, 0x2F7F, 0x3F7F},
    {214, 214, 8192, 0, 3, 0x1F7F, 0x3F7F},
    {215, 215, 1024, 0, 25, 0x3BFF, 0x001F, false, 0x3FE0},
    {216, 216, 4096, 0, 27, 0x2F7F, 0x3F7F},
    {217, 217, 8192, 0, 28, 0x1F3F, 0x3F3F},
    {218, 218, 4096, 0, 28, 0x2F3F, 0x3F3F},
    {219, 219, 4096, 0, 29, 0x2F3F, 0x3F3F},
    {220, 220, 512, 0, 30, 0x3D3F, 0x3F3F},
    {221, 221, 1024, 0, 31, 0x3B3F, 0x3F3F},
    {222, 223, 2048, 0, 32, 0x373F, 0x3F3F},
    {224, 224, 2048, 0, 33, 0x377F, 0x3F7F},
    // 16C433: the calibration word ends program memory and stays out of the
    // sum and the writes; 12C671/672's word counts already stop before it.
    {225, 225, 2048, 0, 34, 0xF800, 0x3FFF, true},
    {231, 231, 1023, 0, 11, 0xFC00, 0x3FFF},
    {232, 232, 2047, 0, 12, 0xF800, 0x3FFF},
    // 16C712/716 and the 16C717/770/771/781/782 group: program size from
    // the parts, everything else from the group.
    {209, 209, 2048, -1, -1, 0x37FF, 0x3FFF},
    {251, 251, 2048, -1, -1, 0x37FF, 0x3FFF},
    {252, 252, 2048, -1, -1, 0x37FF, 0x3FFF},
    {253, 253, 4096, -1, -1, 0x2FFF, 0x3FFF},
    {254, 254, 1024, -1, -1, 0x3BFF, 0x3FFF},
    {255, 255, 2048, -1, -1, 0x37FF, 0x3FFF},
    // 16C84 / 16F8x.
    {301, 301, 1024, 64, 4, 0x3BFF, 0x001F, false, 0x3FE0},
    {302, 302, 512, 64, 36, 0x3DFF, 0x3FFF},
    {303, 303, 512, 64, 4, 0x3DFF, 0x3FFF},
    {304, 304, 1024, 64, 36, 0x3BFF, 0x3FFF},
    {305, 305, 1024, 64, 4, 0x3BFF, 0x3FFF},
    {306, 306, 1024, 64, 4, 0x3BFF, 0x3FFF, false, 0, 6000},
    // 16F6xx, 16F8xx, 12F6xx, 16F7x, 16F9xx.
    {401, 401, 1024, 128, 5, 0x39FF, 0x3DFF},
    {402, 402, 2048, 128, 5, 0x35FF, 0x3DFF},
    {403, 403, 1024, 128, 13, 0x1DFF, 0x21FF},
    {404, 404, 2048, 128, 13, 0x19FF, 0x21FF},
    {405, 405, 4096, 256, 13, 0x11FF, 0x21FF},
    {411, 411, 1024, 128, 15, 0x3BFF, 0x3FFF},
    {412, 412, 2048, 256, 15, 0x37FF, 0x3FFF},
    {421, 421, 1024, 128, 17, 0x1BFF, 0x1FFF},
    {422, 422, 2048, 256, 17, 0x17FF, 0x1FFF},
    {423, 423, 2048, 256, 16, 0x07FF, 0x0FFF},
    {424, 424, 2048, 256, 16, 0x07FF, 0x0FFF},
    {425, 425, 4096, 256, 16, 0x0FFF, 0x0FFF, false, 0, 0, 0x1FFF},
    {426, 426, 2048, 256, 16, 0x07FF, 0x0FFF},
    {430, 430, 2048, 0, 18, 0xF85F, 0x005F, false, 0, 3000},
    {431, 432, 4096, 0, 18, 0xF05F, 0x005F, false, 0, 3000},
    {433, 434, 8192, 0, 18, 0xE05F, 0x005F, false, 0, 3000},
    // 16F737/747/767/777: no data memory; programmed a word at a time with
    // 8 ended by 14 and erased with the PC in configuration space, as the
    // 16F7x are (algorithm 19, which the erase and program tables name).
    {441, 442, 4096, 0, 19, 0x29FF, 0x39FF},
    {443, 444, 8192, 0, 19, 0x19FF, 0x39FF},
    {451, 451, 4096, 256, 20, 0x3002, 0x3FFF, false, 0, 0, 0, 0x0003},
    {453, 453, 2048, 0, 35, 0x18CF, 0x20CF, false, 0, 3500},
    {461, 462, 4096, 256, 38, 0x0FFF, 0x1FFF},
    {463, 465, 8192, 256, 38, 0xFFFF, 0x1FFF},
    // 16F87x(A).
    {501, 501, 2048, 64, 6, 0x33FF, 0x3BFF},
    {502, 502, 4096, 128, 7, 0x2BFF, 0x3BFF},
    {503, 503, 8192, 256, 7, 0x1BFF, 0x3BFF},
    {512, 512, 4096, 128, 10, 0x1FCF, 0x2FCF, false, 0, 3000},
    {513, 513, 8192, 256, 10, 0x0FCF, 0x2FCF, false, 0, 3000},
    // 12F629/675, 16F630/676.
    {601, 601, 1024, 128, 14, 0xBE00, 0x01FF, true},
    {610, 610, 1024, 128, 14, 0xBE00, 0x01FF, true},
    // 12-bit flash: 10F, 12F5xx, 16F5x.
    {701, 701, 256, 0, 22, 0xEF1D, 0x001C, true},
    {702, 702, 512, 0, 22, 0xEE1D, 0x001C, true},
    {703, 703, 256, 0, 40, 0xEF20, 0x001F, true},
    {704, 704, 512, 0, 40, 0xEE20, 0x001F, true},
    {711, 711, 512, 0, 21, 0xEE20, 0x001F, true},
    {712, 712, 1024, 0, 21, 0xEC20, 0x001F, true},
    {713, 713, 1024, 0, 39, 0xEC40, 0x003F, true},
    {721, 721, 1024, 0, 24, 0xEC40, 0x003F, true},
    {722, 722, 1024, 0, 41, 0xEC80, 0x007F, true},
    // 16F54, 16F57/59: the published figures take the whole configuration
    // word, unimplemented bits reading 1.
    {731, 731, 512, 0, 23, 0x0DFF, 0x000F, false, 0, 0, 0x0FFF},
    {732, 732, 2048, 0, 42, 0x07FF, 0x000F, false, 0, 0, 0x0FFF},
};
// clang-format on

int FamilyFor(int tag) {
  if (tag < 200) return 18;
  if (tag < 300) return 16;
  if (tag >= 700 && tag < 800) return 53;
  return 17;
}

// What the group routine of a Tag hundred sets before the device row.
struct PicGroup {
  int twc_us;
  int algorithm;
  uint16_t config_mask;
};

PicGroup GroupFor(int tag) {
  const int hundred = tag / 100;
  switch (hundred) {
    case 1:
      return {200, 0, 0x0FFF};
    case 2:
      return {200, 3, 0x3FFF};
    case 3:
      return {12000, 4, 0x3FFF};
    case 4:
      return {tag == 401 || tag == 402 ? 13000 : 4000, 4, 0x3FFF};
    case 5:
      return {6000, 4, 0x3FFF};
    case 6:
      return {4000, 4, 0x3FFF};
    case 7:
      return {3000, 21, 0x0FFF};
    default:
      return {12000, 4, 0x3FFF};
  }
}

const PicRow* Find(int tag) {
  for (const PicRow& row : kPic) {
    if (tag >= row.first && tag <= row.last) return &row;
  }
  return nullptr;
}

}  // namespace

void M12C_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  app::Descriptor::Pic16& pic = d.pic16;
  const int tag = d.device_code;
  const int family = FamilyFor(tag);
  const bool twelve_bit = family == 18 || family == 53;
  // The buffer views show words laid out by family, so the family is known
  // before the size is set.
  d.family = family;

  const PicGroup group = GroupFor(tag);
  d.twc = group.twc_us;
  d.twp = 10;
  pic.algorithm = group.algorithm;
  pic.config_mask = group.config_mask;
  pic.eeprom_size = 0;
  pic.checksum_addend = 0;
  pic.checksum_config_mask = 0;
  pic.checksum_config2_mask = 0;
  pic.reserved_words = 0;
  pic.checksum_skip_words = 0;
  pic.id_words = 4;
  if (const PicRow* row = Find(tag)) {
    p.SetBufferSize(row->words);
    pic.program_words = row->words;
    if (row->eeprom >= 0) pic.eeprom_size = static_cast<uint32_t>(row->eeprom);
    if (row->algorithm >= 0) pic.algorithm = row->algorithm;
    pic.blank_checksum = row->blank_checksum;
    pic.config_mask = row->config_mask;
    pic.checksum_addend = row->addend;
    pic.checksum_config_mask = row->sum_config_mask;
    pic.checksum_config2_mask = row->sum_config2_mask;
    pic.reserved_words = row->reserved ? 1 : 0;
    pic.checksum_skip_words = row->reserved || row->sum_skips_last ? 1 : 0;
    if (row->twc_us != 0) d.twc = row->twc_us;
  }
  pic.id_index = twelve_bit ? pic.program_words : 0x2000;
  pic.config_index = twelve_bit ? 0x0FFF : 0x2007;
  // The calibration word is the last program word; the 12-bit flash parts
  // keep a backup of it after their ID locations.
  pic.osccal_index = pic.reserved_words != 0 ? pic.program_words - 1 : 0;
  pic.osccal_backup_index = pic.reserved_words != 0 && family == 53
                                ? pic.id_index + static_cast<uint32_t>(pic.id_words)
                                : 0;

  d.pic = true;
  p.controls.SetText("cbSkip_0xFF", "Skip Write 0x3FFF");
  // Running the chip from +5 V on MCLR only makes sense for flash parts.
  p.controls.Enable("cbMCLRE5", tag >= 300);
  pic::FillConfigPanel(p);
  pic::FillToolControls(p);
  d.socket_picture = 16;
  app::FinishSelection(p, family, 0);
}

}  // namespace families::mcu
