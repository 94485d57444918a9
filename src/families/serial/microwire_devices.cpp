#include "families/serial/microwire_devices.h"

namespace families::serial {

app::Descriptor::Microwire BaseMicrowireTable() { return app::Descriptor::Microwire{}; }

void WidenMicrowire(app::Descriptor::Microwire& table, int k) {
  uint32_t* templates[] = {&table.read,  &table.write, &table.ewen, &table.ewds,
                           &table.erase, &table.eral,  &table.wral};
  for (uint32_t* t : templates) *t = k >= 0 ? *t << k : *t >> -k;
  table.address_bits += k;
  table.frame_length += k;
}

int MicrowireWidening(uint32_t device_size, bool word_mode) {
  if (word_mode) {
    if (device_size == 32 || device_size == 128) return -1;
    if (device_size == 256 || device_size == 512) return 1;
    if (device_size == 1024 || device_size == 2048) return 3;
    return 0;
  }
  if (device_size == 256 || device_size == 512) return 2;
  if (device_size == 1024 || device_size == 2048) return 4;
  return 0;
}

}  // namespace families::serial
