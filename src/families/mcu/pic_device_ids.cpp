// The device IDs of the 14-bit flash parts (word 0x2006, revision bits
// masked off), from the parts' datasheets.
#include <cstdint>
#include <cstdio>
#include <string>

#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"

namespace families::pic {
namespace {

struct DeviceId {
  uint16_t id;
  const char* name;
};

constexpr DeviceId kIds[] = {
    {0x00A0, "PIC 16F72"},   {0x0460, "PIC 12F683"},  {0x04C0, "PIC 16F818"},
    {0x04E0, "PIC 16F819"},  {0x0560, "PIC 16F84A"},  {0x0600, "PIC 16F73"},
    {0x0620, "PIC 16F74"},   {0x0640, "PIC 16F76"},   {0x0660, "PIC 16F77"},
    {0x0720, "PIC 16F87"},   {0x0760, "PIC 16F88"},   {0x07A0, "PIC 16F627"},
    {0x07C0, "PIC 16F628"},  {0x08E0, "PIC 16F872"},  {0x0920, "PIC 16F874"},
    {0x0960, "PIC 16F873"},  {0x09A0, "PIC 16F877"},  {0x09E0, "PIC 16F876"},
    {0x0BA0, "PIC 16F737"},  {0x0BE0, "PIC 16F747"},  {0x0D00, "PIC 16F870"},
    {0x0D20, "PIC 16F871"},  {0x0DE0, "PIC 16F777"},  {0x0E00, "PIC 16F876A"},
    {0x0E20, "PIC 16F877A"}, {0x0E40, "PIC 16F873A"}, {0x0E60, "PIC 16F874A"},
    {0x0EA0, "PIC 16F767"},  {0x0F80, "PIC 12F629"},  {0x0FA0, "PIC 12F635"},
    {0x0FC0, "PIC 12F675"},  {0x1040, "PIC 16F627A"}, {0x1060, "PIC 16F628A"},
    {0x1080, "PIC 16F684"},  {0x10A0, "PIC 16F636"},  {0x10C0, "PIC 16F630"},
    {0x10E0, "PIC 16F676"},  {0x1100, "PIC 16F648A"}, {0x1140, "PIC 16F716"},
    {0x1180, "PIC 16F688"},  {0x1200, "PIC 16F785"},  {0x1380, "PIC 16F917"},
    {0x13A0, "PIC 16F916"},  {0x13C0, "PIC 16F914"},  {0x13E0, "PIC 16F913"},
    {0x1460, "PIC 16F946"},
};

}  // namespace

const char* PicDeviceName(uint16_t id) {
  const auto key = static_cast<uint16_t>(id & 0x3FE0);
  for (const DeviceId& row : kIds) {
    if (row.id == key) return row.name;
  }
  return "";
}

DeviceIdWindow DescribeDeviceId(int family, uint16_t id) {
  const bool pic18 = family == 36;
  DeviceIdWindow w;
  w.title = pic18 ? "Microchip PIC device ID Value (0x3FFFFE,0x3FFFFF)"
                  : "Microchip PIC device ID Value (2006h)";
  char value[16];
  std::snprintf(value, sizeof value, " 0x%04X", id);
  w.value = value;
  for (int bit = pic18 ? 15 : 13; bit >= 0; --bit) {
    w.binary += ((id >> bit) & 1) != 0 ? '1' : '0';
    if (bit == 5) w.binary += ' ';
  }
  w.revision = id & 0x1F;
  const char* name = pic18 ? pic18::Pic18DeviceName(id) : PicDeviceName(id);
  w.name = name[0] != '\0' ? name : (pic18 ? " Unknown device" : "Unknown device");
  return w;
}

void ShowDeviceId(app::Programmer& p, uint16_t id) {
  const DeviceIdWindow w = DescribeDeviceId(p.dev.family, id);
  app::ControlState& shown = p.controls[kDeviceIdControl];
  shown.index = id;
  shown.text = w.title;
  p.host.Information(w.title + "\n" + w.binary + "\nRevision " + std::to_string(w.revision) +
                     "\n" + w.value + "\n" + w.name);
  p.Message(w.value, hw::kResult);
}

void ForgetDeviceId(app::Programmer& p) {
  p.controls.SetText(kDeviceIdControl, "");
  p.controls[kDeviceIdControl].index = -1;
}

}  // namespace families::pic
