// Selection of the PIC18F parts. The Tag picks one of nine device groups,
// which fixes the erase algorithm (and with it the write method); the row
// gives the memory sizes and the write-buffer size of the part.
#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/mcu/mcu_select.h"
#include "families/mcu/pic18_config.h"

namespace families::mcu {
namespace {

constexpr uint32_t KB = 1024;

struct Pic18Group {
  int first, last;  // Tags
  int erase_algorithm;
};

// clang-format off
constexpr Pic18Group kGroups[] = {
    {101, 108, 1},  // 18Fxx2/xx8
    {111, 116, 2},  // 18Fx220/x320
    {121, 126, 3},  // 18Fxx20
    {131, 134, 7},  // 18Fxx39
    {141, 144, 4},  // 18Fxx31
    {151, 154, 9},  // 18F6x2x/8x2x
    {161, 164, 6},  // 18Fxx80/xx85
    {171, 174, 5},  // 18Fx410/x490
    {181, 216, 10},  // 18F2xx0/2xx5, 18F4xx0/4xx5
};
// clang-format on

struct Pic18Row {
  int tag;
  uint32_t code_bytes;
  uint32_t eeprom;        // data EEPROM bytes
  uint32_t write_buffer;  // bytes per programming chunk
};

// clang-format off
constexpr Pic18Row kPic18[] = {
    {101, 16 * KB, 256, 8},  {102, 16 * KB, 256, 8},  {103, 32 * KB, 256, 8},
    {104, 32 * KB, 256, 8},  {105, 16 * KB, 256, 8},  {106, 16 * KB, 256, 8},
    {107, 32 * KB, 256, 8},  {108, 32 * KB, 256, 8},

    {111, 4 * KB, 256, 8},   {112, 4 * KB, 256, 8},   {113, 4 * KB, 256, 8},
    {114, 8 * KB, 256, 8},   {115, 8 * KB, 256, 8},   {116, 8 * KB, 256, 8},

    // The 18F6520..8720 datasheets give 1 KB of data EEPROM.
    {121, 32 * KB, 1024, 8},  {122, 32 * KB, 1024, 8},  {123, 64 * KB, 1024, 8},
    {124, 64 * KB, 1024, 8},  {125, 128 * KB, 1024, 8}, {126, 128 * KB, 1024, 8},

    {131, 12 * KB, 256, 8},  {132, 24 * KB, 256, 8},  {133, 12 * KB, 256, 8},
    {134, 24 * KB, 256, 8},

    {141, 8 * KB, 256, 8},   {142, 16 * KB, 256, 8},  {143, 8 * KB, 256, 8},
    {144, 16 * KB, 256, 8},

    {151, 48 * KB, 1024, 8}, {152, 64 * KB, 1024, 8}, {153, 48 * KB, 1024, 8},
    {154, 64 * KB, 1024, 8},

    {161, 48 * KB, 1024, 8}, {162, 48 * KB, 1024, 8}, {163, 64 * KB, 1024, 8},
    {164, 64 * KB, 1024, 8},

    {171, 16 * KB, 0, 16},   {172, 16 * KB, 0, 16},   {173, 16 * KB, 0, 16},
    {174, 16 * KB, 0, 16},

    {181, 16 * KB, 0, 32},   {182, 16 * KB, 256, 32}, {183, 24 * KB, 256, 32},
    {184, 16 * KB, 256, 32}, {185, 32 * KB, 0, 32},   {186, 48 * KB, 0, 64},
    {187, 32 * KB, 256, 32}, {188, 48 * KB, 1024, 64}, {189, 32 * KB, 256, 32},
    {190, 32 * KB, 256, 32}, {191, 48 * KB, 1024, 64}, {192, 64 * KB, 0, 64},
    {193, 64 * KB, 1024, 64}, {194, 64 * KB, 1024, 64},

    {195, 16 * KB, 0, 32},   {196, 16 * KB, 256, 32}, {197, 24 * KB, 256, 32},
    {198, 16 * KB, 256, 32}, {199, 32 * KB, 0, 32},   {200, 48 * KB, 0, 64},
    {201, 32 * KB, 256, 32}, {202, 48 * KB, 1024, 64}, {203, 32 * KB, 256, 32},
    {204, 32 * KB, 256, 32}, {205, 48 * KB, 1024, 64}, {206, 64 * KB, 0, 64},
    {207, 64 * KB, 1024, 64}, {208, 64 * KB, 1024, 64},
};
// clang-format on

}  // namespace

void PIC18F_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  app::Descriptor::Pic18& pic = d.pic18;
  const int tag = d.device_code;
  // The buffer views lay the image out by family, so the family is known
  // before the size is set.
  d.family = 36;
  for (const Pic18Group& group : kGroups) {
    if (tag >= group.first && tag <= group.last) pic.erase_algorithm = group.erase_algorithm;
  }
  for (const Pic18Row& row : kPic18) {
    if (row.tag != tag) continue;
    pic.code_words = row.code_bytes / 2;
    pic.eeprom_size = row.eeprom;
    pic.write_buffer = row.write_buffer;
    pic.panels = row.code_bytes / 8192;
    p.SetBufferSize(pic.code_words);
  }
  d.pic = true;
  d.socket_picture = 16;
  pic18::ShowConfigBoxes(p);
  app::FinishSelection(p, 36, 0);
}

}  // namespace families::mcu
