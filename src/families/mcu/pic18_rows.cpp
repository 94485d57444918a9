// The PIC18 groups' configuration masks and the device-ID names, from the
// parts' datasheets.
#include "families/mcu/pic18.h"

namespace families::pic18 {
namespace {

struct MaskRow {
  int first, last;  // Tags
  ConfigMask mask;  // CONFIG1L .. CONFIG7H
};

constexpr ConfigMask kUsb = {0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xC5,
                             0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};

// clang-format off
constexpr MaskRow kMasks[] = {
    {101, 108, {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
    {111, 116, {0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x83, 0x85, 0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40}},
    {121, 126, {0x00, 0x27, 0x0F, 0x0F, 0x83, 0x01, 0x85, 0x00, 0xFF, 0xC0, 0xFF, 0xE0, 0xFF, 0x40}},
    {131, 134, {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
    {141, 144, {0x00, 0xCF, 0x0F, 0x3F, 0x3C, 0x9D, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
    {151, 164, {0x00, 0x27, 0x0F, 0x0F, 0x83, 0x01, 0x85, 0x00, 0xFF, 0xC0, 0xFF, 0xE0, 0xFF, 0x40}},
    {171, 174, {0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x83, 0x81, 0x00, 0x01, 0x80, 0x00, 0x00, 0x00, 0x00}},
    // 18F2455/2550/4455/4550: the USB clock dividers in CONFIG1L, VREGEN in
    // CONFIG2L; otherwise as the rest of their group below.
    {183, 183, kUsb}, {189, 189, kUsb}, {197, 197, kUsb}, {203, 203, kUsb},
    {181, 216, {0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x87, 0xC5, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
};
// clang-format on

constexpr ConfigMask kAll = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

struct IdName {
  uint16_t id;  // DEVID2:DEVID1, revision bits clear
  const char* name;
};

// clang-format off
constexpr IdName kNames[] = {
    {0x0400, " PIC 18F252/2539"}, {0x0420, " PIC 18F452/4539"}, {0x0480, " PIC 18F242/2439"},
    {0x04A0, " PIC 18F442/4439"}, {0x0500, " PIC 18F2320"},     {0x0520, " PIC 18F4320"},
    {0x0580, " PIC 18F2220"},     {0x05A0, " PIC 18F4220"},     {0x0600, " PIC 18F8720"},
    {0x0620, " PIC 18F6720"},     {0x0640, " PIC 18F8620"},     {0x0660, " PIC 18F6620"},
    {0x07C0, " PIC 18F1320"},     {0x07E0, " PIC 18F1220"},     {0x0800, " PIC 18F248"},
    {0x0820, " PIC 18F448"},      {0x0840, " PIC 18F258"},      {0x0860, " PIC 18F458"},
    {0x0880, " PIC 18F4431"},     {0x08A0, " PIC 18F4331"},     {0x08C0, " PIC 18F2431"},
    {0x08E0, " PIC 18F2331"},     {0x0A00, " PIC 18F8680"},     {0x0A20, " PIC 18F8585"},
    {0x0A40, " PIC 18F6680"},     {0x0A60, " PIC 18F6585"},     {0x0A80, " PIC 18F8621"},
    {0x0AA0, " PIC 18F6621"},     {0x0AC0, " PIC 18F8525"},     {0x0AE0, " PIC 18F6525"},
    {0x0B00, " PIC 18F8520"},     {0x0B20, " PIC 18F6520"},     {0x0C00, " PIC 18F4620"},
    {0x0C20, " PIC 18F4610"},     {0x0C40, " PIC 18F4525"},     {0x0C60, " PIC 18F4515"},
    {0x0C80, " PIC 18F2620"},     {0x0CA0, " PIC 18F2610"},     {0x0CC0, " PIC 18F2525"},
    {0x0CE0, " PIC 18F2515"},     {0x0E80, " PIC 18F4680"},     {0x0EA0, " PIC 18F4585"},
    {0x0EC0, " PIC 18F2680"},     {0x0EE0, " PIC 18F2585"},     {0x1080, " PIC 18F4520"},
    {0x10A0, " PIC 18F4510"},     {0x10C0, " PIC 18F4420"},     {0x10E0, " PIC 18F4410"},
    {0x1100, " PIC 18F2520"},     {0x1120, " PIC 18F2510"},     {0x1140, " PIC 18F2420"},
    {0x1160, " PIC 18F2410"},     {0x1200, " PIC 18F4550"},     {0x1220, " PIC 18F4455"},
    {0x1240, " PIC 18F2550"},     {0x1260, " PIC 18F2455"},     {0x1300, " PIC 18F8490"},
    {0x1320, " PIC 18F6490"},     {0x1340, " PIC 18F8410"},     {0x1360, " PIC 18F6410"},
    {0x1A80, " PIC 18F4580"},     {0x1AA0, " PIC 18F4480"},     {0x1AC0, " PIC 18F2580"},
    {0x1AE0, " PIC 18F2480"},
};
// clang-format on

}  // namespace

const ConfigMask& Pic18ConfigMask(int tag) {
  for (const MaskRow& row : kMasks) {
    if (tag >= row.first && tag <= row.last) return row.mask;
  }
  return kAll;
}

const char* Pic18DeviceName(uint16_t id) {
  const auto key = static_cast<uint16_t>(id & 0xFFE0);
  for (const IdName& row : kNames) {
    if (row.id == key) return row.name;
  }
  return "";
}

}  // namespace families::pic18
